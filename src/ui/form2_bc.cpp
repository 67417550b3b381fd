// The modelling window's boundary-condition stage: its panel, "Go to Analysis", the choice of
// the load case, picking a point and opening the point dialog on it, bc_box0 and bc_box, and
// "Cancel" back to the design stage.
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "base/placement.h"
#include "bc/node_pick.h"
#include "bc/point_conditions.h"
#include "formats/fields.h"
#include "formats/numtext.h"
#include "model/mesh.h"
#include "ui/form2.h"
#include "ui/form5.h"
#include "ui/qt_controls.h"
#include "ui/shell.h"

using namespace form2_layout;

namespace {
constexpr int red = 4, light_grey = 7;
constexpr double marker_radius = 80;
}  // namespace

// The mesh is built before the stage changes: a design that cannot be meshed, or an empty
// one, stays in the design stage instead of showing the previous model for picking.
void Form2::Command12_Click() {
  if (model.n_gr < 1) raise_error(err::nothing_to_analyse, "make a box or bar first");
  fem_data_pro();
  if (const std::string bar = floating_bar(model); !bar.empty()) raise_error(err::floating, bar);
  conditions.restore->setVisible(!kept_conditions_.empty());
  design.frame->hide();
  conditions.frame->show();
  Draw_3D();
  end_button->show();
  set_status("Meshed: " + std::to_string(model.n_node) + " nodes, " + std::to_string(model.n_elem) +
             " elements. Choose \"Create/Modify\" and press on a node.");
}

// A pick and a box zoom never share a mouse press: choosing to pick disarms the zoom.
void Form2::Option3_Click() { set_value(Check2, 0); }
void Form2::Option5_Click() { set_value(Check2, 0); }

// Each step runs on its own: a text that is not a number leaves the case as it was but still
// selects "Operate View Angle" and redraws. A number outside 1..mx_case is replaced by the
// nearest end, which runs this handler again with it.
void Form2::Text24_Change() {
  const std::string text = text_of(conditions.case_number);
  if (text.empty() || text == "-") return;
  bool replaced = false;
  run_ignoring_errors([&] {
    const CaseChoice choice = choose_case(text, model.mx_case);
    if (choice.limited) {
      replaced = true;
      conditions.case_number->setText(QString::number(choice.case_no));
    } else {
      model.case_no = choice.case_no;
    }
  });
  if (replaced) return;
  conditions.view_angle->setChecked(true);
  run_ignoring_errors([&] { Draw_3D(); });
}

void Form2::pick_point_at(float x, float y) {
  const int16_t node = pick_node(model, view_win, x, y);
  if (node < 1) return;  // no analysis model to pick from
  model.bc_node = node;
  const ScreenPoint at = to_screen(view_win, model.node_uv(node, 1), model.node_uv(node, 2));
  const int colour = conditions.create_modify->isChecked() ? red : light_grey;
  canvas().set_line_width(3);
  canvas().set_fill_colour(colour);
  canvas().set_fill_style(FillStyle::solid);
  canvas().circle(at.x, at.y, marker_radius, colour);
  if (conditions.create_modify->isChecked()) {
    // A point without data always opens empty.
    if (model.bc_flag(model.case_no, node) == 0) bc_box0();
    open_point_dialog();
  } else {
    model.bc_flag(model.case_no, node) = 0;
    bc_box0();
    redraw();
    set_status("Cleared " + node_text(model, node) + " in case " + std::to_string(model.case_no));
  }
  // Every pick needs a fresh choice of "Create/Modify" or "Delete".
  conditions.view_angle->setChecked(true);
}

// The dialog shows what the point carries in the current case (in a case not yet in use, what
// the case starts from); ticking a box from here runs the dialog's own rule, hiding that degree
// of freedom's spring and load.
void Form2::open_point_dialog() {
  const PointConditions p = conditions_to_edit(model, model.case_no, model.bc_node);
  Form5& dialog = point_dialog();
  dialog.show_conditions(p, {model.bc_node});
  model.bc_flag(model.case_no, model.bc_node) = 1;
  show_point_dialog(node_text(model, model.bc_node));
}

// The selected nodes together: a field shows their value where they agree, and is empty (a
// box partly ticked) where they differ.
void Form2::Command43_Click() {
  if (selection_.empty()) return;
  point_dialog().show_shared(shared_conditions(model, model.case_no, selection_), selection_);
  model.bc_node = selection_.front();
  show_point_dialog(plural(static_cast<int>(selection_.size()), "node"));
}

void Form2::show_point_dialog(const std::string& what) {
  Form5& dialog = point_dialog();
  const std::string where = what + ", case " + std::to_string(model.case_no);
  dialog.setWindowTitle(QString::fromStdString("B.C & A.L - " + where));
  dialog.Label10->setText(QString::fromStdString(where));
  shell().show("Form5");
  // Transient for this window, so the window system keeps it above the modelling window it
  // switches off: it can never hide behind it. (Not a child widget: switching this window off
  // would switch the dialog off with it.)
  if (dialog.windowHandle() && windowHandle()) dialog.windowHandle()->setTransientParent(windowHandle());
  place_dialog_beside_node(dialog);
  set_status("Editing " + what + " in case " + std::to_string(model.case_no));
  setEnabled(false);
}

void Form2::select_nodes(float x1, float y1, float x2, float y2) {
  // A press released within a few pixels is a click: the node a pick would find.
  const bool click = std::fabs(x2 - x1) < 4 * twips_per_pixel && std::fabs(y2 - y1) < 4 * twips_per_pixel;
  const std::vector<int16_t> found =
      click ? std::vector<int16_t>{pick_node(model, view_win, x2, y2)} : nodes_in_box(model, view_win, x1, y1, x2, y2);
  for (int16_t node : found)
    if (node >= 1 && std::find(selection_.begin(), selection_.end(), node) == selection_.end()) selection_.push_back(node);
  conditions.edit_selected->setVisible(!selection_.empty());
  Draw_3D();
  set_status("Selected " + plural(static_cast<int>(selection_.size()), "node") +
             (selection_.empty() ? "" : ": \"Edit Selected\" sets them together, Esc clears the selection"));
}

void Form2::clear_selection() {
  selection_.clear();
  conditions.edit_selected->hide();
  if (!conditions.frame->isHidden()) Draw_3D();
}

void Form2::Form_KeyPress(int ascii) {
  if (ascii != 27 || selection_.empty()) return;
  clear_selection();
  set_status("Selection cleared");
}

// The dialog opens beside the picked node, never over it, so the node stays in sight.
void Form2::place_dialog_beside_node(QWidget& dialog) {
  const ScreenPoint at = to_screen(view_win, model.node_uv(model.bc_node, 1), model.node_uv(model.bc_node, 2));
  const QPoint node = mapToGlobal(QPoint(int(at.x / twips_per_pixel), int(at.y / twips_per_pixel)));
  const QRect screen = this->screen()->availableGeometry();
  // With its frame (title bar, borders), which a window system makes known once it is shown.
  const QRect frame = dialog.frameGeometry();
  const ScreenRect point{node.x(), node.y(), 0, 0};
  const ScreenRect place = place_beside(point, point, frame.width(), frame.height(),
                                        {screen.x(), screen.y(), screen.width(), screen.height()}, 24);
  dialog.move(place.x, place.y);
}

void Form2::bc_box0() { clear_point_conditions(model, model.case_no, model.bc_node); }

namespace {
// "Set node 4 in case 2", "Set 4 nodes: supports and springs in every case, also cases used
// later; loads in case 1".
std::string set_text(const std::string& what, bool every_case, int case_no) {
  return "Set " + what +
         (every_case ? ": supports and springs in every case, also cases used later; loads in case " : " in case ") +
         std::to_string(case_no);
}
}  // namespace

void Form2::bc_box_selected(const SharedConditions& set, bool every_case) {
  give_shared_conditions(model, model.case_no, selection_, set, every_case);
  const int count = static_cast<int>(selection_.size());
  selection_.clear();
  conditions.edit_selected->hide();
  conditions.view_angle->setChecked(true);
  Draw_3D();
  set_status(set_text(plural(count, "node"), every_case, model.case_no));
}

void Form2::bc_box(const PointConditions& p, bool every_case) {
  if (every_case)
    store_point_conditions_in_every_case(model, model.case_no, model.bc_node, p);
  else
    give_point_conditions(model, model.case_no, model.bc_node, p);
  Draw_3D();
  set_status(set_text(node_text(model, model.bc_node), every_case, model.case_no));
}

// What the point carried stays as it was; a point that was opened without data loses the
// marker the opening gave it.
void Form2::bc_discard() {
  setEnabled(true);
  if (!selection_.empty()) {  // the selection stays for another try
    Draw_3D();
    return set_status("Closed without \"OK\": the selected nodes kept what they had");
  }
  if (carries_nothing(model, model.case_no, model.bc_node)) model.bc_flag(model.case_no, model.bc_node) = 0;
  redraw();
  set_status("Closed without \"OK\": " + node_text(model, model.bc_node) + " kept what it had");
}

// Back to the design stage with no boundary condition in any case. The stage's own controls
// go back to their start (case 1, "Operate View Angle", settings closed), so that they do
// not contradict what the next "Go to Analysis" shows.
void Form2::Command14_Click() {
  selection_.clear();
  conditions.edit_selected->hide();
  kept_conditions_ = conditions_by_place(model);
  clear_all_conditions(model);
  conditions.case_number->setText("1");
  conditions.view_angle->setChecked(true);
  set_value(conditions.show_settings, 0);
  design.frame->show();
  conditions.frame->hide();
  settings.frame->hide();
  Grnd();
  set_status(std::string("Back to the design stage: supports, springs and loads cleared in every case") +
             (kept_conditions_.empty() ? "" : "; \"Restore Conditions\" puts them back after \"Go to Analysis\""));
}

void Form2::Command40_Click() {
  const CaseChoice target = choose_case(text_of(conditions.copy_to), model.mx_case);
  if (target.limited)
    raise_error(err::subscript, "load case " + text_of(conditions.copy_to) + " of 1 to " + std::to_string(model.mx_case));
  copy_case_supports(model, model.case_no, target.case_no);
  Draw_3D();
  set_status("Copied the supports and springs of case " + std::to_string(model.case_no) + " into case " +
             std::to_string(target.case_no));
}

void Form2::Command41_Click() {
  const RestoredConditions r = restore_conditions(model, kept_conditions_);
  kept_conditions_.clear();
  conditions.restore->hide();
  Draw_3D();
  std::string said = "Restored the conditions of " + plural(r.restored, "node");
  if (r.missing > 0) {
    const auto& at = r.first_missing;
    said += "; " + plural(r.missing, "place") + " found no node, the first at " +
            point_text(at[0], at[1], at[2], model_size(model));
  }
  set_status(said);
}
