// The modelling window: owns the model store and the stages of the work (design, boundary
// conditions), shown as panels. Its handlers live by stage: form2_view.cpp,
// form2_design.cpp, form2_bc.cpp, form2_analysis.cpp.
#pragma once

#include <array>

#include "analysis/temp_file.h"
#include "base/analysis_model.h"
#include "model/model_store.h"
#include "ui/form_view.h"

#include "bc/point_conditions.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

// The modelling window's layout in twips: the model in the square at the top-left corner, the
// stage panels in column A and the geometry and settings panels in column B.
namespace form2_layout {
inline constexpr int form_width = 20640, form_height = 9000;
inline constexpr int column_a = 9120, column_b = 14880, column_width = 5640;
}  // namespace form2_layout

// The modelling window's panels. Each makes its controls at their places, under their designer
// names (the names scenarios and the guide use), and hides itself where the window starts
// without it. Rows of three run along L, W and H.
struct DesignPanel {
  explicit DesignPanel(QWidget* window);
  QWidget* frame;                // Frame11
  QPushButton* make;             // Command1 "Make"
  QRadioButton* box;             // Option1
  QRadioButton* bar;             // Option2
  QPushButton* modify;           // Command8
  QPushButton* remove;           // Command9 "Delete"
  QPushButton* go_to_analysis;   // Command12
};

struct GeometryPanel {
  explicit GeometryPanel(QWidget* window);
  QWidget* frame;                              // Frame2 "Geometry Information"
  QWidget* sides_frame;                        // Frame3 "Length of Sides"
  std::array<QLineEdit*, 3> side;              // Text7..Text9, mm
  QWidget* centre_frame;                       // Frame4 "Position of Center"
  std::array<QLineEdit*, 3> centre;            // Text10..Text12, mm
  QWidget* rotation_frame;                     // Frame5 "Rotation [deg]"
  std::array<QLineEdit*, 3> rotation;          // Text4..Text6, degrees
  std::array<QScrollBar*, 3> rotation_scroll;  // HScroll4..HScroll6
  QWidget* division_frame;                     // Frame7 "Division No. of Sides"
  std::array<QLineEdit*, 3> division;          // Text13..Text15
  std::array<QScrollBar*, 3> division_scroll;  // HScroll7..HScroll9
  QWidget* material_frame;                     // Frame18 "Material Property"
  QLineEdit* young;                            // Text36, E in N/mm2
  QLineEdit* poisson;                          // Text37
  QWidget* kind_frame;                         // Frame19 "Design or Non-Design"
  QRadioButton* design_element;                // Option4
  QRadioButton* non_design_element;            // Option7
  QCheckBox* move_apex;                        // Check1 "Move of Apex"
  QLabel* model_size;                          // Label61: the model's counts while edited
  QPushButton* ok;                             // Command2
};

struct CornerPanel {
  explicit CornerPanel(QWidget* window);
  QWidget* frame;                                  // Frame8 "for Selected Apex"
  std::array<QLineEdit*, 3> coordinate;            // Text16..Text18, mm
  std::array<QLineEdit*, 3> displacement;          // Text19..Text21, mm
  std::array<QScrollBar*, 3> displacement_scroll;  // HScroll10..HScroll12
  QPushButton* ok;                                 // Command3
};

struct BarEndsPanel {
  explicit BarEndsPanel(QWidget* window);
  QWidget* frame;                   // Frame16 "Coordinate"
  std::array<QLineEdit*, 3> first;  // Text25..Text27: Point1, mm
  std::array<QLineEdit*, 3> second; // Text28..Text30: Point2, mm
  QPushButton* modify;              // Command19
};

// "Design Box/Bar No." for "Modify" (Frame10, Text22, HScroll13, Command7) or for "Delete"
// (Frame12, Text23, HScroll14, Command10 and its "Cancel" Command11).
struct RecordChoice {
  RecordChoice(QWidget* window, const char* frame_name, const char* number_name, const char* scroll_name,
               const char* ok_name, const char* ok_caption, const char* cancel_name);
  QWidget* frame;
  QLineEdit* number;
  QScrollBar* scroll;
  QPushButton* ok;
  QPushButton* cancel = nullptr;
};

struct ConditionsPanel {
  explicit ConditionsPanel(QWidget* window);
  QWidget* frame;               // Frame13 "Set Boundary Condition"
  QRadioButton* create_modify;  // Option3
  QRadioButton* remove;         // Option5 "Delete"
  QRadioButton* view_angle;     // Option6 "Operate View Angle"
  QWidget* case_frame;          // Frame22
  QLineEdit* case_number;       // Text24 "Case No.="
  QCheckBox* show_settings;     // Check3 "Set Detailed Analysis Information"
  QPushButton* copy_case;       // Command40 "Copy Case": supports and springs into case copy_to
  QLineEdit* copy_to;           // Text40
  QPushButton* restore;         // Command41 "Restore Conditions", while some are kept by place
  QPushButton* edit_selected;   // Command43 "Edit Selected", while nodes are selected
  QPushButton* cancel;          // Command14
  QPushButton* analysis;        // Command13
};

struct SettingsPanel {
  explicit SettingsPanel(QWidget* window);
  QWidget* frame;             // Frame17 "Detailed Information for Analysis"
  QLineEdit* max_diameter;    // Text31 "Max Diame."
  QLineEdit* init_ratio;      // Text32 "Init.Valu.Ratio"
  QLineEdit* volume_ratio;    // Text33 "Obj.Vol.Ratio"
  QLineEdit* move_limit;      // Text34 "Move Limit"
  QLineEdit* penalty;         // Text35 "Penalty Factor"
  QCheckBox* display_shape;   // Check5 "DISP.SHAPE"
};

struct FilesPanel {
  explicit FilesPanel(QWidget* window);
  QWidget* frame;       // Frame14
  QPushButton* save;    // Command15
  QPushButton* read;    // Command16
};

class Form2 : public ViewForm {
  Q_OBJECT

 public:
  Form2();

  void Form_Load() override;
  void dump(JsonWriter& j) override;
  bool call(const std::string& procedure) override;

  // Public procedures.
  void Grnd();          // refresh of the design stage
  void Draw_3D();       // display of the analysis model in the boundary-condition stage
  void fem_data_pro();  // rebuild of the analysis model from the design list

  // The redraw rule: Draw_3D while the boundary-condition panel is shown, Grnd otherwise.
  void redraw() override;

  // Design-stage handlers.
  void Command1_Click();   // Make
  void Command2_Click();   // OK of the geometry panel
  void Command3_Click();   // OK of the corner move
  void Command7_Click();   // Modify the selected record
  void Command8_Click();   // Modify: choose a record
  void Command9_Click();   // Delete: choose a record
  void Command10_Click();  // Delete the selected record
  void Command11_Click();  // Cancel the deletion
  void Command19_Click();  // bar from two points
  void Check1_Click();     // Move of Apex
  void HScroll13_Change();
  void HScroll14_Change();
  void refresh_on_text(const QLineEdit* text);  // Text7..Text12
  void rotation_or_division_scroll(QScrollBar* scroll, QLineEdit* text);  // HScroll4..9
  void displacement_scroll(int axis);                                     // HScroll10..12
  void coordinate_text(int axis);                                // Text16..18

  // View and stage handlers.
  void Check2_Click() override;
  void Check3_Click();
  void Command18_Click();
  void Form_MouseDown(int button, int shift, float x, float y) override;
  void Form_MouseMove(int button, int shift, float x, float y) override;
  void Form_MouseUp(int button, int shift, float x, float y) override;

  ModelStore model;
  // The modelling window's copy of the cross-section table, for the temporary save and restore.
  SectionTable sections_copy;

  // The panels, in the order they are made (a later one lies above an earlier one).
  DesignPanel design;          // Frame11: make, modify, delete, go to analysis
  GeometryPanel geometry;      // Frame2: the record being made or modified
  CornerPanel corner;          // Frame8: a box corner's move
  BarEndsPanel bar_ends;       // Frame16: a bar by its two end points
  RecordChoice modify_choice;  // Frame10: the record to modify
  RecordChoice delete_choice;  // Frame12: the record to delete
  ConditionsPanel conditions;  // Frame13: supports and loads, the way to "Analysis"
  SettingsPanel settings;      // Frame17: the optimisation's settings
  FilesPanel files;            // Frame14: save and read the design
  QPushButton* end_button;     // Command18 "END"
  QCheckBox* show_coordinates; // Check4 "(L,W,H)": coordinates on the preview
  QLabel* unit_label;          // Label28
  QLabel* procedure_label;     // Label29: the procedure shown before the first record
  QLabel* start_label;         // Label38
  QLabel* disclaimer_label;    // Label41

  // Boundary-condition stage (form2_bc.cpp): public procedures, handlers and steps.
  void bc_box0();     // the picked point's data in the current case cleared
  // The point dialog's values stored for the picked point, in the case shown or, for its
  // supports and springs, in every case in use and in the cases used later.
  void bc_box(const PointConditions& p, bool every_case = false);
  // The dialog's values for the selected nodes: what it sets put over each node's own, in the
  // case shown or, for supports and springs, in every case in use and later; the selection then clears.
  void bc_box_selected(const SharedConditions& set, bool every_case = false);
  void bc_discard();  // the point dialog closed without "OK"
  void Command12_Click();  // Go to Analysis
  void Option3_Click();    // Create/Modify
  void Option5_Click();    // Delete
  void Text24_Change();    // Case No.=
  void Command14_Click();  // Cancel
  void Command40_Click();  // Copy Case
  void Command41_Click();  // Restore Conditions
  void Command43_Click();  // Edit Selected
  // Esc clears the selection of nodes.
  void Form_KeyPress(int ascii) override;
  // With Shift in "Create/Modify": a click adds the node a pick would find, a drag adds every
  // node drawn inside its rubber band.
  void select_nodes(float x1, float y1, float x2, float y2);
  void clear_selection();
  const std::vector<int16_t>& selection() const { return selection_; }
  void pick_point_at(float x, float y);
  void open_point_dialog();
  void place_dialog_beside_node(QWidget& dialog);
  // Analysis run (form2_analysis.cpp).
  void Command13_Click();  // Analysis
  void Command15_Click();  // Save
  void Command16_Click();  // Read
  void refem();            // re-analysis: the calculated model back from the files
  AnalysisSettings analysis_settings() const;
  void show_analysis_settings(const AnalysisSettings& settings);
 private:
  // Design-stage steps.
  void store_panel();  // the input panel into the edited record
  void show_record_kind(bool box);
  void fill_bar_ends();
  void write_hand_over();
  void load_record_into_panel(int k);
  void restore_saved(const SavedDesign& saved);
  void open_selector(QWidget* frame, QScrollBar* scroll, QLineEdit* number);
  void select_record(const QLineEdit* number);
  void pick_corner_at(float x, float y);
  void make_cover_labels();
  void wire();
  // What "Cancel" cleared, by place, for "Restore Conditions" on the next visit to the stage.
  std::vector<PlacedConditions> kept_conditions_;
  // Nodes selected together for the point dialog, and the rubber band being drawn (in twips).
  std::vector<int16_t> selection_;
  bool banding_ = false;
  float band_[4] = {0, 0, 0, 0};
  int16_t hovered_ = 0;  // the node ringed under the pointer
  void draw_marks();     // the selection and the node under the pointer, over the model
  void show_point_dialog(const std::string& what);
  bool setting_from_ends_ = false;  // the bar frame's "Modify" is setting the geometry
};
