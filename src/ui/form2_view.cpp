// The modelling window's view handling: its redraw rule and the box-zoom branch of its mouse
// handlers.
#include "ui/form2.h"

#include "base/canvas.h"
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
// With Shift in "Create/Modify" the left button selects instead of picking.
void Form2::Form_MouseDown(int button, int shift, float x, float y) {
  if (button == 1 && (shift & 1) && !conditions.frame->isHidden() && conditions.create_modify->isChecked()) {
    banding_ = true;
    band_[0] = band_[2] = x;
    band_[1] = band_[3] = y;
    return;
  }
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
// In pick mode the node under the pointer is ringed as well.
void Form2::Form_MouseMove(int button, int shift, float x, float y) {
  if (banding_) {
    band_[2] = x;
    band_[3] = y;
    return Draw_3D();
  }
  turn_move(shift, x, y);
  if (button == 0 && !conditions.frame->isHidden()) {
    const std::vector<int16_t> nodes = nodes_near(model, view_win, x, y, 8 * twips_per_pixel);
    std::string named;
    for (size_t k = 0; k < nodes.size(); ++k)
      named += (k == 0 ? "Under the pointer: " : k == 1 ? "; on the same spot: " : ", ") + node_text(model, nodes[k]);
    set_note(named);
    const bool picking = conditions.create_modify->isChecked() || conditions.remove->isChecked();
    const int16_t under = picking && !nodes.empty() ? nodes.front() : int16_t{0};
    if (under != hovered_) {
      hovered_ = under;
      Draw_3D();
    }
  }
  box_zoom_move(x, y);
}

void Form2::Form_MouseUp(int, int, float x, float y) {
  if (banding_) {
    banding_ = false;
    return select_nodes(band_[0], band_[1], x, y);
  }
  if (!turn_up()) box_zoom_up(x, y);
}

void Form2::Draw_3D() {
  draw_model_display(canvas(), model, view_angles(), view_win);
  if (node_numbers_shown()) draw_number_labels(canvas(), node_labels(model, view_win), LabelKind::node);
  draw_marks();
}

// Selected nodes in magenta rings, the node under the pointer in a red one, the rubber band
// dashed.
void Form2::draw_marks() {
  constexpr int red = 4, magenta = 5;
  constexpr double ring = 90;
  Canvas& c = canvas();
  c.set_line_width(2);
  c.set_fill_style(FillStyle::transparent);
  auto ring_at = [&](int16_t node, int colour) {
    if (node < 1 || node > model.n_node) return;
    const ScreenPoint at = to_screen(view_win, model.node_uv(node, 1), model.node_uv(node, 2));
    c.circle(at.x, at.y, ring, colour);
  };
  for (int16_t node : selection_) ring_at(node, magenta);
  ring_at(hovered_, red);
  if (banding_) {
    c.set_line_width(1);
    c.set_line_style(LineStyle::dash);
    c.rect(band_[0], band_[1], band_[2], band_[3], magenta, false);
    c.set_line_style(LineStyle::solid);
  }
  c.set_line_width(1);
}
