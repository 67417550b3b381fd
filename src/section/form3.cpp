// The cross-section editor window and its file procedures.
#include "section/form3.h"

#include <filesystem>

#include "app/form2.h"
#include "app/form4.h"
#include "app/forms.h"
#include "app/qt_controls.h"
#include "formats/json.h"
#include "formats/numtext.h"

Form3::Form3() : FormWindow("Form3", "MARULLA", 8685, 8085) {}

int Form3::hand_over_n_gr() const { return to_i16(to_number(text_of(Forms::form4().Text1))); }
int Form3::hand_over_n_gr_m() const { return to_i16(to_number(text_of(Forms::form4().Text2))); }

void Form3::Form_Load() {
  table.prepare();
  table.n_sec = 1;
  const std::string n_gr_text = text_of(Forms::form4().Text1);
  const bool has_records = n_gr_text == "1" || (is_number(n_gr_text) && to_number(n_gr_text) > 1);
  // A project whose first record is a non-design bar has no file yet: an empty table.
  std::error_code ec;
  if (has_records && std::filesystem::exists(section_file_name, ec)) table = read_section_file();
  if (!is_number(n_gr_text)) return;
  sec_no = static_cast<int16_t>(hand_over_n_gr() - hand_over_n_gr_m());
  if (sec_no >= 1 && sec_no <= max_sections && table.n_sec < sec_no) {
    table.n_sec = sec_no;
    table.set_empty(sec_no);
  }
}

void Form3::Form_Unload() {
  Forms::unload("Form3");
  Form2& f = Forms::form2();
  f.show();
  f.Grnd();
}

void Form3::grand_file_r_w() {
  const int n_gr = hand_over_n_gr(), n_gr_m = hand_over_n_gr_m();
  write_record_section(table, n_gr, n_gr_m);
  sec_no = static_cast<int16_t>(n_gr - n_gr_m);
}

void Form3::del_file_r_w() { delete_record_section(table, hand_over_n_gr(), hand_over_n_gr_m()); }

void Form3::dump(JsonWriter& j) {
  j.key("sec_no").value(int(sec_no)).key("n_sec").value(int(table.n_sec));
  j.key("sections").begin_array();
  for (int s = 1; s <= std::min<int>(table.n_sec, max_sections); ++s) {
    j.begin_object().key("points").begin_array();
    for (int p = 1; p <= std::min<int>(table.n_pnt(s), max_section_points); ++p)
      j.begin_array().value(table.pnt_xy(s, p, 1)).value(table.pnt_xy(s, p, 2)).end_array();
    j.end_array().key("lines").begin_array();
    for (int l = 1; l <= std::min<int>(table.n_line(s), max_section_lines); ++l)
      j.begin_array()
          .value(int(table.line_pnt(s, l, 1)))
          .value(int(table.line_pnt(s, l, 2)))
          .value(table.line_t(s, l))
          .end_array();
    j.end_array().end_object();
  }
  j.end_array();
}

bool Form3::call(const std::string& procedure) {
  if (procedure == "grand_file_r_w") return grand_file_r_w(), true;
  if (procedure == "del_file_r_w") return del_file_r_w(), true;
  return false;
}
