// The modelling window's panels: their controls at their places, under their designer names.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <string>

#include "ui/form2.h"
#include "ui/qt_controls.h"

using namespace form2_layout;

namespace {
// Three labelled text boxes side by side, labels above.
std::array<QLineEdit*, 3> make_triple(QWidget* frame, const char* const labels[3], const char* const names[3],
                                      const char* const texts[3]) {
  std::array<QLineEdit*, 3> out{};
  for (int k = 0; k < 3; ++k) {
    const int left = 120 + 1780 * k;
    make_label(frame, (std::string("Label") + (names[k] + 4)).c_str(), labels[k], {left, 240, 1600, 270});
    out[static_cast<size_t>(k)] = make_text(frame, names[k], texts[k], {left, 510, 1600, 300});
  }
  return out;
}

// Three rows of label, text box and scroll bar.
void make_mirrored_rows(QWidget* frame, const char* const labels[3], const char* const names[3],
                        const char* const scroll_names[3], const char* text, int min, int max, int value,
                        std::array<QLineEdit*, 3>& texts, std::array<QScrollBar*, 3>& scrolls) {
  for (size_t k = 0; k < 3; ++k) {
    const int top = 270 + 330 * static_cast<int>(k);
    make_label(frame, (std::string("Label") + (names[k] + 4)).c_str(), labels[k], {120, top + 30, 900, 270});
    texts[k] = make_text(frame, names[k], text, {1020, top, 900, 300});
    scrolls[k] = make_hscroll(frame, scroll_names[k], min, max, value, {1980, top + 15, 3300, 270});
  }
}
}  // namespace

DesignPanel::DesignPanel(QWidget* window) {
  frame = make_frame(window, "Frame11", {}, {column_a, 2520, column_width, 2160});
  make = make_button(frame, "Command1", "Make", {120, 120, 1500, 420});
  box = make_option(frame, "Option1", "Box", {1800, 120, 1200, 300});
  bar = make_option(frame, "Option2", "Bar", {1800, 420, 1200, 300});
  box->setChecked(true);
  modify = make_button(frame, "Command8", "Modify", {120, 840, 1500, 420});
  remove = make_button(frame, "Command9", "Delete", {1800, 840, 1500, 420});
  go_to_analysis = make_button(frame, "Command12", "Go to Analysis", {120, 1500, 3180, 480},
                               "Go to Boundary Condition Setting Window");
}

GeometryPanel::GeometryPanel(QWidget* window) {
  frame = make_frame(window, "Frame2", "Geometry Information", {column_b, 60, column_width, 8160});
  static const char* const sides[] = {"L_side", "W_side", "H_side"};
  static const char* const axes[] = {"L", "W", "H"};
  static const char* const rotations[] = {"L_axis", "W_axis", "H_axis"};

  sides_frame = make_frame(frame, "Frame3", "Length of Sides", {120, 240, 5400, 900});
  static const char* const length_names[] = {"Text7", "Text8", "Text9"};
  static const char* const length_texts[] = {"100", "100", "100"};
  side = make_triple(sides_frame, sides, length_names, length_texts);

  centre_frame = make_frame(frame, "Frame4", "Position of Center", {120, 1200, 5400, 900});
  static const char* const centre_names[] = {"Text10", "Text11", "Text12"};
  static const char* const centre_texts[] = {"0", "0", "0"};
  centre = make_triple(centre_frame, axes, centre_names, centre_texts);

  rotation_frame = make_frame(frame, "Frame5", "Rotation [deg]", {120, 2160, 5400, 1320});
  static const char* const rotation_names[] = {"Text4", "Text5", "Text6"};
  static const char* const rotation_scrolls[] = {"HScroll4", "HScroll5", "HScroll6"};
  make_mirrored_rows(rotation_frame, rotations, rotation_names, rotation_scrolls, "0", -360, 360, 0, rotation,
                     rotation_scroll);

  division_frame = make_frame(frame, "Frame7", "Division No. of Sides", {120, 3540, 5400, 1320});
  static const char* const division_names[] = {"Text13", "Text14", "Text15"};
  static const char* const division_scrolls[] = {"HScroll7", "HScroll8", "HScroll9"};
  make_mirrored_rows(division_frame, sides, division_names, division_scrolls, "1", 1, 8, 1, division, division_scroll);

  material_frame = make_frame(frame, "Frame18", "Material Property", {120, 4920, 5400, 960});
  make_label(material_frame, "Label36", "E  [N/mm2]", {120, 300, 2000, 270});
  young = make_text(material_frame, "Text36", "206000", {2220, 270, 1800, 300});
  make_label(material_frame, "Label37", "Poisson's Ratio", {120, 630, 2000, 270});
  poisson = make_text(material_frame, "Text37", "0.33", {2220, 600, 1800, 300});

  kind_frame = make_frame(frame, "Frame19", "Design or Non-Design", {120, 5940, 5400, 960});
  design_element = make_option(kind_frame, "Option4", "Design Element", {120, 270, 5000, 300},
                               "Select Design Element for Topology Optimization");
  non_design_element = make_option(kind_frame, "Option7", "Non-Design Element", {120, 600, 5000, 300},
                                   "Select Non-Design Element for Topology Optimization (After Click Below OK Button, "
                                   "Create Shape of Cross Section)");
  design_element->setChecked(true);

  move_apex = make_check(frame, "Check1", "Move of Apex", {120, 7080, 2400, 300},
                         "Check If Corner Point of Box should be slightly Moved");
  model_size = make_label(frame, "Label61", "", {120, 7410, 3660, 690});
  model_size->setWordWrap(true);
  model_size->setToolTip("Nodes and Elements of the Analysis Model with This Geometry");
  ok = make_button(frame, "Command2", "OK", {3900, 7500, 1500, 480});
  frame->hide();
}

CornerPanel::CornerPanel(QWidget* window) {
  frame = make_frame(window, "Frame8", "for Selected Apex", {column_a, 4140, column_width, 2880},
                     "Select Corner Point by Mouse Left Button Down, and, Move Coordinate for Selected Point");
  make_label(frame, "Label15", "Coordinate", {120, 240, 2000, 270});
  static const char* const axes[] = {"L=", "W=", "H="};
  static const char* const coordinate_names[] = {"Text16", "Text17", "Text18"};
  for (size_t k = 0; k < 3; ++k) {
    const int left = 120 + 1780 * static_cast<int>(k);
    make_label(frame, (std::string("Label") + (coordinate_names[k] + 4)).c_str(), axes[k], {left, 540, 400, 270});
    coordinate[k] = make_text(frame, coordinate_names[k], "None", {left + 420, 510, 1260, 300});
  }
  make_label(frame, "Label22", "Displacement(Movement)", {120, 900, 4000, 270});
  static const char* const disp_labels[] = {"L", "W", "H"};
  static const char* const disp_names[] = {"Text19", "Text20", "Text21"};
  static const char* const disp_scrolls[] = {"HScroll10", "HScroll11", "HScroll12"};
  for (size_t k = 0; k < 3; ++k) {
    const int top = 1170 + 330 * static_cast<int>(k);
    make_label(frame, (std::string("Label") + (disp_names[k] + 4)).c_str(), disp_labels[k], {120, top + 30, 400, 270});
    displacement[k] = make_text(frame, disp_names[k], "0.0", {540, top, 1260, 300});
    displacement_scroll[k] = make_hscroll(frame, disp_scrolls[k], -1000, 1000, 0, {1860, top + 15, 3600, 270});
  }
  ok = make_button(frame, "Command3", "OK", {3900, 2280, 1500, 420});
  frame->hide();
}

BarEndsPanel::BarEndsPanel(QWidget* window) {
  frame = make_frame(window, "Frame16", "Coordinate", {column_a, 2520, column_width, 1560});
  static const char* const names[] = {"Text25", "Text26", "Text27", "Text28", "Text29", "Text30"};
  for (int p = 0; p < 2; ++p) {
    const int top = 300 + 390 * p;
    make_label(frame, p == 0 ? "LabelPoint1" : "LabelPoint2", p == 0 ? "Point1" : "Point2", {120, top + 30, 900, 270});
    std::array<QLineEdit*, 3>& point = p == 0 ? first : second;
    for (int k = 0; k < 3; ++k)
      point[static_cast<size_t>(k)] = make_text(frame, names[3 * p + k], "", {1020 + 1500 * k, top, 1400, 300});
  }
  modify = make_button(frame, "Command19", "Modify", {3900, 1020, 1500, 420});
  frame->hide();
}

RecordChoice::RecordChoice(QWidget* window, const char* frame_name, const char* number_name, const char* scroll_name,
                           const char* ok_name, const char* ok_caption, const char* cancel_name) {
  frame = make_frame(window, frame_name, "Design Box/Bar No.", {column_a, 2520, column_width, cancel_name ? 1440 : 960});
  number = make_text(frame, number_name, "1", {120, 360, 900, 300});
  scroll = make_hscroll(frame, scroll_name, 1, 10, 1, {1080, 375, 2640, 270});
  ok = make_button(frame, ok_name, ok_caption, {3900, 300, 1500, 420});
  if (cancel_name) cancel = make_button(frame, cancel_name, "Cancel", {3900, 840, 1500, 420});
  frame->hide();
}

ConditionsPanel::ConditionsPanel(QWidget* window) {
  frame = make_frame(window, "Frame13", "Set Boundary Condition", {column_a, 2520, column_width, 3000});
  create_modify = make_option(frame, "Option3", "Create/Modify", {120, 300, 3000, 300},
                              "Create/Modify Boundary Condition (Select Point by Mouse Left Button Down)");
  remove = make_option(frame, "Option5", "Delete", {120, 600, 3000, 300},
                       "Delete Boundary Condition (Select Point by Mouse Left Button Down)");
  view_angle = make_option(frame, "Option6", "Operate View Angle", {120, 900, 3000, 300});
  view_angle->setChecked(true);
  case_frame = make_frame(frame, "Frame22", {}, {3240, 300, 2280, 420});
  make_label(case_frame, "Label26", "Case No.=", {0, 60, 1200, 300});
  case_number = make_text(case_frame, "Text24", "1", {1260, 0, 900, 330},
                          "Input Sequent Case No. for Multi Loading Conditions");
  show_settings = make_check(frame, "Check3", "Set Detailed Analysis Information", {120, 1320, 5000, 300});
  copy_case = make_button(frame, "Command40", "Copy Case", {120, 1740, 1500, 420},
                          "Copy the Supports and Springs of This Case into the Case beside");
  copy_to = make_text(frame, "Text40", "2", {1740, 1800, 600, 300}, "Load Case to Copy into");
  restore = make_button(frame, "Command41", "Restore Conditions", {2520, 1740, 2880, 420},
                        "Put back the Supports, Springs and Loads that Cancel cleared, on the Nodes at the Same Places");
  restore->hide();
  edit_selected = make_button(frame, "Command43", "Edit Selected", {3240, 780, 2280, 420},
                              "Set the Supports, Springs and Loads of the Selected Nodes Together (Shift+Click or "
                              "Shift+Drag Selects, Esc Clears)");
  edit_selected->hide();
  cancel = make_button(frame, "Command14", "Cancel", {120, 2280, 1500, 480});
  analysis = make_button(frame, "Command13", "Analysis", {1800, 2280, 3600, 480},
                         "Start Topology Optimization (Click below Check Button If Display should be "
                         "turned off during Calculation)");
  frame->hide();
}

SettingsPanel::SettingsPanel(QWidget* window) {
  frame = make_frame(window, "Frame17", "Detailed Information for Analysis", {column_b, 60, column_width, 2640});
  struct Setting {
    const char* label_name;
    const char* label;
    const char* tip;
    const char* name;
    const char* text;
  };
  static const Setting rows[] = {
      {"Label31", "Max Diame.", "Input Maximum Diameter of Beam Elements for Topology Optimization", "Text31", "20"},
      {"Label32", "Init.Valu.Ratio", "Recommend Current Value", "Text32", "0.0001"},
      {"Label33", "Obj.Vol.Ratio", "Input Volume Ratio [ INPUT VALUE : 1 = Desired Total Volume : Initial one ]",
       "Text33", "0.01"},
      {"Label34", "Move Limit", "Recommend Current Value", "Text34", "1.0"},
      {"Label35", "Penalty Factor", "Recommend Current Value", "Text35", "1.0"},
  };
  QLineEdit** texts[] = {&max_diameter, &init_ratio, &volume_ratio, &move_limit, &penalty};
  for (int k = 0; k < 5; ++k) {
    const int top = 270 + 360 * k;
    make_label(frame, rows[k].label_name, rows[k].label, {120, top + 30, 2400, 270})->setToolTip(rows[k].tip);
    *texts[k] = make_text(frame, rows[k].name, rows[k].text, {2640, top, 1800, 300});
  }
  display_shape = make_check(frame, "Check5", "DISP.SHAPE", {120, 2100, 3000, 300},
                             "Release Check If Display should be turned off during Calculation of Topology Optimization");
  display_shape->setChecked(true);
  frame->hide();
}

FilesPanel::FilesPanel(QWidget* window) {
  frame = make_frame(window, "Frame14", {}, {column_a, 7140, column_width, 480});
  save = make_button(frame, "Command15", "Save", {0, 0, 1500, 420}, "Save Temporary Data File");
  read = make_button(frame, "Command16", "Read", {1620, 0, 1500, 420}, "Read Temporary Data File");
}
