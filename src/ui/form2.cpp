// The modelling window's controls, their load state and the wiring of its handlers.
#include "ui/form2.h"

#include <QFont>
#include <array>
#include <utility>

#include "formats/json.h"
#include "ui/qt_controls.h"
#include "ui/shell.h"

using namespace form2_layout;

namespace {

// The procedure text of the modelling window, line for line, with this program's limits
// (model_store.h: max_nodes, max_elements; the solver takes a model of that size).
const char* const procedure_text =
    "Object:  Maximize Stiffness, under Constrained Volume\n"
    "                                       (Minimize Weight)  of Structure.\n"
    "Procedure:\n"
    "\n"
    "  1. Make Box/Bar, which are Composed of Beam Elements.\n"
    "     ( Any Corner Points, which are Located Same Coordinates,\n"
    "       Merged into one Point )\n"
    "\n"
    "  2. Set Boundary Conditions and Apply Loads to any Points.\n"
    "     ( Rigid Mode should be Deleted.\n"
    "        i.e. If Constructed Structure is Assumed to be Rigid Body,\n"
    "             6 Degrees of Freedom are Constrained. )\n"
    "     ( Loads should be Applied for At Least 1 Degree of Freedom )\n"
    "\n"
    "  3. After Calculation of Topology Optimization, Optimum Shape\n"
    "     can be Reviewed.\n"
    "\n"
    "\n"
    "Limitation:\n"
    "    Maximum Number of Nodes                         = 1000\n"
    "    Maximum Number of Elements                     = 5000\n"
    "    Maximum Number of Multi Loading Conditions =     5\n"
    "    Maximum Number of Calculation Cycles         =  100\n"
    "Caution:\n"
    "    If Model Exceeds above Values, This Program will Stop in Error.\n"
    "    If 'Windows' do not support 'OpenGL', DISP.SHAPE_Check_Box in\n"
    "     Detailed_Information_for_Analysis_Frame should be UnChecked.";
}  // namespace

Form2::Form2()
    : ViewForm("Form2", form_width, form_height, modelling_view, pi_modelling,
               {"Command21", "in", "Command22", "out"}, column_a, 60),
      design(this),
      geometry(this),
      corner(this),
      bar_ends(this),
      modify_choice(this, "Frame10", "Text22", "HScroll13", "Command7", "Modify", nullptr),
      delete_choice(this, "Frame12", "Text23", "HScroll14", "Command10", "Delete", "Command11"),
      conditions(this),
      settings(this),
      files(this) {
  end_button = make_button(this, "Command18", "END", {column_a, 7740, 1500, 420}, "Exit with No Analysis");
  end_button->hide();
  // The shared view frame grows to take "Node No." under its own controls.
  Frame1->resize(Frame1->width(), 2340 / twips_per_pixel);
  make_node_numbers_check(Frame1, {120, 1920, 1500, 300});
  show_coordinates = make_check(this, "Check4", "(L,W,H)", {column_a + 1620, 7800, 1500, 300});
  unit_label = make_label(this, "Label28", "Unit: mm, N", {column_a + 3240, 7800, 2200, 300});
  make_cover_labels();
  make_status_line(this, {column_a, 8160, column_width, 660});
  // Moves without a button name the node under the pointer in the boundary-condition stage.
  setMouseTracking(true);
  wire();
}

void Form2::make_cover_labels() {
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  mono.setPointSize(8);
  procedure_label = make_label(this, "Label29", procedure_text, {240, 1200, 8640, 6600});
  procedure_label->setFont(mono);
  start_label = make_label(this, "Label38", "  START when Click Right hand side Button", {240, 240, 8640, 450});
  QFont big = start_label->font();
  big.setPointSize(14);
  big.setBold(true);
  start_label->setFont(big);
  disclaimer_label = make_label(this, "Label41",
                       "You must verify your results. No responsibility is assumed for the validity, "
                       "accuracy or applicability of any result obtained from this system.",
                       {240, 7920, 8640, 600});
  disclaimer_label->setWordWrap(true);
}

// Every handler of the window, in the order of its controls.
void Form2::wire() {
  on_click(design.make, this, &Form2::Command1_Click);
  on_click(design.modify, this, &Form2::Command8_Click);
  on_click(design.remove, this, &Form2::Command9_Click);
  on_click(design.go_to_analysis, this, &Form2::Command12_Click);
  for (const auto& row : {geometry.side, geometry.centre})
    for (QLineEdit* t : row) on_edit(t, this, [this, t] { refresh_on_text(t); });
  std::vector<std::pair<QLineEdit*, QScrollBar*>> mirrors;
  for (size_t k = 0; k < 3; ++k) mirrors.emplace_back(geometry.rotation[k], geometry.rotation_scroll[k]);
  for (size_t k = 0; k < 3; ++k) mirrors.emplace_back(geometry.division[k], geometry.division_scroll[k]);
  for (auto [text, scroll] : mirrors) {
    on_edit(text, this, [text, scroll] { scroll_from_text(text, scroll); });
    connect(scroll, &QScrollBar::valueChanged, this,
            [this, text, scroll] { run_guarded([&] { rotation_or_division_scroll(scroll, text); }); });
  }
  on_click(geometry.move_apex, this, &Form2::Check1_Click);
  on_click(geometry.ok, this, &Form2::Command2_Click);
  for (int axis = 1; axis <= 3; ++axis) {
    QLineEdit* text = corner.displacement[static_cast<size_t>(axis - 1)];
    QScrollBar* scroll = corner.displacement_scroll[static_cast<size_t>(axis - 1)];
    QLineEdit* coordinate = corner.coordinate[static_cast<size_t>(axis - 1)];
    on_edit(coordinate, this, [this, axis] { coordinate_text(axis); });
    on_edit(text, this, [text, scroll] { scroll_from_text(text, scroll); });
    connect(scroll, &QScrollBar::valueChanged, this, [this, axis] { run_guarded([&] { displacement_scroll(axis); }); });
  }
  on_click(corner.ok, this, &Form2::Command3_Click);
  on_click(bar_ends.modify, this, &Form2::Command19_Click);
  on_change(modify_choice.scroll, this, &Form2::HScroll13_Change);
  on_click(modify_choice.ok, this, &Form2::Command7_Click);
  on_change(delete_choice.scroll, this, &Form2::HScroll14_Change);
  on_click(delete_choice.ok, this, &Form2::Command10_Click);
  on_click(delete_choice.cancel, this, &Form2::Command11_Click);
  on_click(conditions.create_modify, this, &Form2::Option3_Click);
  on_click(conditions.remove, this, &Form2::Option5_Click);
  on_edit(conditions.case_number, this, &Form2::Text24_Change);
  on_click(conditions.show_settings, this, &Form2::Check3_Click);
  on_click(conditions.copy_case, this, &Form2::Command40_Click);
  on_click(conditions.restore, this, &Form2::Command41_Click);
  on_click(conditions.edit_selected, this, &Form2::Command43_Click);
  on_click(conditions.cancel, this, &Form2::Command14_Click);
  on_click(conditions.analysis, this, &Form2::Command13_Click);
  on_click(files.save, this, &Form2::Command15_Click);
  on_click(files.read, this, &Form2::Command16_Click);
  on_click(end_button, this, &Form2::Command18_Click);
  on_click(show_coordinates, this, &Form2::redraw);
}

void Form2::Form_Load() {
  model.form_load();
  view_load();
}

void Form2::dump(JsonWriter& j) {
  write_model_json(j, model);
  write_view_json(j);
}

void Form2::Check3_Click() {
  settings.frame->setVisible(value_of(conditions.show_settings) == 1);
  Draw_3D();
}

void Form2::Command18_Click() { shell().end_program(); }

bool Form2::call(const std::string& procedure) {
  if (procedure == "Grnd") return Grnd(), true;
  if (procedure == "Draw_3D") return Draw_3D(), true;
  if (procedure == "fem_data_pro") return fem_data_pro(), true;
  if (procedure == "bc_box0") return bc_box0(), true;
  if (procedure == "refem") return refem(), true;
  return false;
}
