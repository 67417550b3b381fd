// The post-processing window's controls and view handling.
#include "post/form1.h"

#include "app/qt_controls.h"
#include "formats/json.h"

namespace {
constexpr int form_width = 14160, form_height = 8235;
constexpr int column = 8400;
}  // namespace

Form1::Form1()
    : ViewForm("Form1", form_width, form_height, post_view, pi_post, {"Command8", "IN", "Command9", "OUT"}, column,
               2520) {
  Command8 = zoom_in_button;
  Command9 = zoom_out_button;
  Frame1->resize(Frame1->width(), 2340 / twips_per_pixel);
  Check1 = make_check(Frame1, "Check1", "Hidden Lines", {120, 1920, 3000, 300}, "Select Display Option of Hidden Lines");
  // The view controls appear once results are read.
  Frame1->hide();
  wire();
}

void Form1::wire() { on_click(Check1, this, &Form1::Check1_Click); }

void Form1::Form_Load() {
  view_load();
  res_ok = 0;
}

void Form1::dump(JsonWriter& j) {
  j.key("res_ok").value(int(res_ok));
  write_view_json(j);
}

void Form1::Draw_3D() { canvas().clear(); }

void Form1::Check1_Click() { Draw_3D(); }

void Form1::Form_MouseDown(int, int, float x, float y) { box_zoom_down(value_of(Check2) == 1, x, y); }
void Form1::Form_MouseMove(int, int, float x, float y) { box_zoom_move(x, y); }
void Form1::Form_MouseUp(int, int, float x, float y) { box_zoom_up(x, y); }

bool Form1::call(const std::string& procedure) {
  if (procedure == "Draw_3D") return Draw_3D(), true;
  return false;
}
