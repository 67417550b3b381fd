// The modelling window's view handling: its redraw rule and the box-zoom branch of its mouse
// handlers.
#include "ui/form2.h"

#include "bc/node_pick.h"
#include "model/model_display.h"
#include "ui/qt_controls.h"

void Form2::redraw() {
  if (!conditions.frame->isHidden())
    Draw_3D();
  else
    Grnd();
}

void Form2::Check2_Click() {
  // Box zoom never runs together with corner picking or point picking.
  const bool picking =
      value_of(geometry.move_apex) == 1 || conditions.create_modify->isChecked() || conditions.remove->isChecked();
  if (value_of(Check2) == 1 && picking) set_value(Check2, 0);
}

// The right button turns the view; so does the left while no picking and no box zoom is armed.
void Form2::Form_MouseDown(int button, int, float x, float y) {
  const bool picking_points = conditions.create_modify->isChecked() || conditions.remove->isChecked();
  const bool picking = conditions.frame->isHidden() ? value_of(geometry.move_apex) == 1 : picking_points;
  if (turn_down(button, picking || value_of(Check2) == 1, x, y)) return;
  if (conditions.frame->isHidden() && value_of(geometry.move_apex) == 1) pick_corner_at(x, y);
  if (!conditions.frame->isHidden() && picking_points) pick_point_at(x, y);
  box_zoom_down(value_of(Check2) == 1 && value_of(geometry.move_apex) == 0, x, y);
}

// The node under the pointer (within 8 pixels), and any drawn on the same spot, are named on the
// status line while no button is down in the boundary-condition stage: the picture shows no
// node numbers, and nodes behind one another look like one.
void Form2::Form_MouseMove(int button, int shift, float x, float y) {
  turn_move(shift, x, y);
  if (button == 0 && !conditions.frame->isHidden()) {
    const std::vector<int16_t> nodes = nodes_near(model, view_win, x, y, 8 * twips_per_pixel);
    std::string named;
    for (size_t k = 0; k < nodes.size(); ++k)
      named += (k == 0 ? "Under the pointer: " : k == 1 ? "; on the same spot: " : ", ") + node_text(model, nodes[k]);
    set_note(named);
  }
  box_zoom_move(x, y);
}

void Form2::Form_MouseUp(int, int, float x, float y) {
  if (!turn_up()) box_zoom_up(x, y);
}

void Form2::Draw_3D() { draw_model_display(canvas(), model, view_angles(), view_win); }
