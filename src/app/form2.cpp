// The modelling window's controls, their load state and the wiring of its handlers.
#include "app/form2.h"

#include <QFont>

#include "app/forms.h"
#include "app/qt_controls.h"
#include "formats/json.h"

namespace {
constexpr int form_width = 20640, form_height = 9000;
constexpr int column_a = 9120, column_b = 14880, column_width = 5640;

// The procedure text of the modelling window, line for line.
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
    "    Maximum Number of Nodes                         =  200\n"
    "    Maximum Number of Elements                     = 1500\n"
    "    Maximum Number of Multi Loading Conditions =     5\n"
    "    Maximum Number of Calculation Cycles         =  100\n"
    "Caution:\n"
    "    If Model Exceeds above Values, This Program will Stop in Error.\n"
    "    If 'Windows' do not support 'OpenGL', DISP.SHAPE_Check_Box in\n"
    "     Detailed_Information_for_Analysis_Frame should be UnChecked.";
}  // namespace

Form2::Form2()
    : ViewForm("Form2", form_width, form_height, modelling_view, pi_modelling,
               {"Command21", "in", "Command22", "out"}, column_a, 60) {
  Command21 = zoom_in_button;
  Command22 = zoom_out_button;
  make_design_panels();
  make_bc_panels();
  Frame14 = make_frame(this, "Frame14", {}, {column_a, 7140, column_width, 480});
  Command15 = make_button(Frame14, "Command15", "Save", {0, 0, 1500, 420}, "Save Temporary Data File");
  Command16 = make_button(Frame14, "Command16", "Read", {1620, 0, 1500, 420}, "Read Temporary Data File");
  Command18 = make_button(this, "Command18", "END", {column_a, 7740, 1500, 420}, "Exit with No Analysis");
  Command18->hide();
  Label28 = make_label(this, "Label28", "Unit: mm, N", {column_a + 3240, 7800, 2200, 300});
  make_cover_labels();
  wire();
}

void Form2::make_design_panels() {
  Frame11 = make_frame(this, "Frame11", {}, {column_a, 2520, column_width, 2160});
  Command1 = make_button(Frame11, "Command1", "Make", {120, 120, 1500, 420});
  Option1 = make_option(Frame11, "Option1", "Box", {1800, 120, 1200, 300});
  Option2 = make_option(Frame11, "Option2", "Bar", {1800, 420, 1200, 300});
  Option1->setChecked(true);
  Command8 = make_button(Frame11, "Command8", "Modify", {120, 840, 1500, 420});
  Command9 = make_button(Frame11, "Command9", "Delete", {1800, 840, 1500, 420});
  Command12 = make_button(Frame11, "Command12", "Go to Analysis", {120, 1500, 3180, 480},
                          "Go to Boundary Condition Setting Window");

  Frame2 = make_frame(this, "Frame2", "Geometry Information", {column_b, 60, column_width, 8820});
  Check1 = make_check(Frame2, "Check1", "Move of Apex", {120, 7740, 2400, 300},
                      "Check If Corner Point of Box should be slightly Moved");
  Command2 = make_button(Frame2, "Command2", "OK", {3900, 8160, 1500, 480});
  Frame2->hide();
  Frame8 = make_frame(this, "Frame8", "for Selected Apex", {column_a, 4140, column_width, 2880});
  Command3 = make_button(Frame8, "Command3", "OK", {3900, 2280, 1500, 420});
  Frame8->hide();
  Frame16 = make_frame(this, "Frame16", "Coordinate", {column_a, 2520, column_width, 1560});
  Frame16->hide();

  Frame10 = make_frame(this, "Frame10", "Design Box/Bar No.", {column_a, 2520, column_width, 960});
  Text22 = make_text(Frame10, "Text22", "1", {120, 360, 900, 300});
  HScroll13 = make_hscroll(Frame10, "HScroll13", 1, 10, 1, {1080, 375, 2640, 270});
  Command7 = make_button(Frame10, "Command7", "Modify", {3900, 300, 1500, 420});
  Frame10->hide();
  Frame12 = make_frame(this, "Frame12", "Design Box/Bar No.", {column_a, 2520, column_width, 1440});
  Text23 = make_text(Frame12, "Text23", "1", {120, 360, 900, 300});
  HScroll14 = make_hscroll(Frame12, "HScroll14", 1, 10, 1, {1080, 375, 2640, 270});
  Command10 = make_button(Frame12, "Command10", "Delete", {3900, 300, 1500, 420});
  Command11 = make_button(Frame12, "Command11", "Cancel", {3900, 840, 1500, 420});
  Frame12->hide();
}

void Form2::make_bc_panels() {
  Frame13 = make_frame(this, "Frame13", "Set Boundary Condition", {column_a, 2520, column_width, 3000});
  Option3 = make_option(Frame13, "Option3", "Create/Modify", {120, 300, 3000, 300},
                        "Create/Modify Boundary Condition (Select Point by Mouse Left Button Down)");
  Option5 = make_option(Frame13, "Option5", "Delete", {120, 600, 3000, 300},
                        "Delete Boundary Condition (Select Point by Mouse Left Button Down)");
  Option6 = make_option(Frame13, "Option6", "Operate View Angle", {120, 900, 3000, 300});
  Option6->setChecked(true);
  Frame22 = make_frame(Frame13, "Frame22", {}, {3240, 300, 2280, 420});
  make_label(Frame22, "Label26", "Case No.=", {0, 60, 1200, 300});
  Text24 = make_text(Frame22, "Text24", "1", {1260, 0, 900, 330},
                     "Input Sequent Case No. for Multi Loading Conditions");
  Check3 = make_check(Frame13, "Check3", "Set Detailed Analysis Information", {120, 1320, 5000, 300});
  Command14 = make_button(Frame13, "Command14", "Cancel", {120, 2280, 1500, 480});
  Command13 = make_button(Frame13, "Command13", "Analysis", {1800, 2280, 3600, 480},
                          "Start Topology Optimization (Click below Check Button If Display should be "
                          "turned off during Calculation)");
  Frame13->hide();
  Frame17 = make_frame(this, "Frame17", "Detailed Information for Analysis", {column_b, 60, column_width, 3600});
  Frame17->hide();
}

void Form2::make_cover_labels() {
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  mono.setPointSize(8);
  Label29 = make_label(this, "Label29", procedure_text, {240, 1200, 8640, 6600});
  Label29->setFont(mono);
  Label38 = make_label(this, "Label38", "  START when Click Right hand side Button", {240, 240, 8640, 450});
  QFont big = Label38->font();
  big.setPointSize(14);
  big.setBold(true);
  Label38->setFont(big);
  Label41 = make_label(this, "Label41",
                       "You must verify your results. No responsibility is assumed for the validity, "
                       "accuracy or applicability of any result obtained from this system.",
                       {240, 7920, 8640, 600});
  Label41->setWordWrap(true);
}

void Form2::wire() {
  on_click(Check3, this, &Form2::Check3_Click);
  on_click(Command18, this, &Form2::Command18_Click);
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
  Frame17->setVisible(value_of(Check3) == 1);
  Draw_3D();
}

void Form2::Command18_Click() { Forms::end_program(); }

bool Form2::call(const std::string& procedure) {
  if (procedure == "Grnd") return Grnd(), true;
  if (procedure == "Draw_3D") return Draw_3D(), true;
  return false;
}
