// The modelling window: owns the model store and the stages of the work (design, boundary
// conditions), shown as panels. Its handlers live by stage: form2_view.cpp,
// form2_design.cpp, form2_bc.cpp, form2_analysis.cpp.
#pragma once

#include "analysis/temp_file.h"
#include "base/analysis_model.h"
#include "model/model_store.h"
#include "ui/form_view.h"

struct PointConditions;

class QLabel;
class QRadioButton;

// The modelling window's layout in twips: the model in the square at the top-left corner, the
// stage panels in column A and the geometry and settings panels in column B.
namespace form2_layout {
inline constexpr int form_width = 20640, form_height = 9000;
inline constexpr int column_a = 9120, column_b = 14880, column_width = 5640;
}  // namespace form2_layout

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

  // Design panel.
  QWidget* Frame11;
  QPushButton* Command1;  // Make
  QRadioButton* Option1;  // Box
  QRadioButton* Option2;  // Bar
  QPushButton* Command8;  // Modify
  QPushButton* Command9;  // Delete
  QPushButton* Command12;  // Go to Analysis
  // Geometry panel and its companions.
  QWidget* Frame2;
  QWidget* Frame3;  // Length of Sides
  QLineEdit *Text7, *Text8, *Text9;
  QWidget* Frame4;  // Position of Center
  QLineEdit *Text10, *Text11, *Text12;
  QWidget* Frame5;  // Rotation [deg]
  QLineEdit *Text4, *Text5, *Text6;
  QScrollBar *HScroll4, *HScroll5, *HScroll6;
  QWidget* Frame7;  // Division No. of Sides
  QLineEdit *Text13, *Text14, *Text15;
  QScrollBar *HScroll7, *HScroll8, *HScroll9;
  QWidget* Frame18;  // Material Property
  QLineEdit *Text36, *Text37;
  QWidget* Frame19;  // Design or Non-Design
  QRadioButton* Option4;  // Design Element
  QRadioButton* Option7;  // Non-Design Element
  QCheckBox* Check1;      // Move of Apex
  QPushButton* Command2;  // OK
  QWidget* Frame8;        // for Selected Apex
  QLineEdit *Text16, *Text17, *Text18;  // corner coordinates
  QLineEdit *Text19, *Text20, *Text21;  // corner displacements
  QScrollBar *HScroll10, *HScroll11, *HScroll12;
  QPushButton* Command3;  // OK of the corner move
  QWidget* Frame16;       // Coordinate of a bar's ends
  QLineEdit *Text25, *Text26, *Text27, *Text28, *Text29, *Text30;
  QPushButton* Command19;
  QCheckBox* Check4;  // (L,W,H) labels on the preview
  // Record selectors.
  QWidget* Frame10;
  QLineEdit* Text22;
  QScrollBar* HScroll13;
  QPushButton* Command7;
  QWidget* Frame12;
  QLineEdit* Text23;
  QScrollBar* HScroll14;
  QPushButton* Command10;
  QPushButton* Command11;
  // Boundary-condition stage (form2_bc.cpp): public procedures, handlers and steps.
  void bc_box0();     // the picked point's data in the current case cleared
  void bc_box(const PointConditions& p);  // the point dialog's values stored for the picked point
  void bc_discard();  // the point dialog closed without "OK"
  void Command12_Click();  // Go to Analysis
  void Option3_Click();    // Create/Modify
  void Option5_Click();    // Delete
  void Text24_Change();    // Case No.=
  void Command14_Click();  // Cancel
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
  // The modelling window's copy of the cross-section table, for the temporary save and restore.
  SectionTable sections_copy;
  // Boundary-condition panel.
  QWidget* Frame13;
  QRadioButton* Option3;  // Create/Modify
  QRadioButton* Option5;  // Delete
  QRadioButton* Option6;  // Operate View Angle
  QWidget* Frame22;
  QLineEdit* Text24;  // load case
  QCheckBox* Check3;  // Set Detailed Analysis Information
  QPushButton* Command14;  // Cancel
  QPushButton* Command13;  // Analysis
  QWidget* Frame17;  // Detailed Information for Analysis
  QLineEdit *Text31, *Text32, *Text33, *Text34, *Text35;
  QCheckBox* Check5;  // DISP.SHAPE
  // Files, end, labels.
  QWidget* Frame14;
  QPushButton* Command15;  // Save
  QPushButton* Command16;  // Read
  QPushButton* Command18;  // END
  QLabel* Label28;
  QLabel* Label29;
  QLabel* Label38;
  QLabel* Label41;
  QPushButton* Command21;  // in
  QPushButton* Command22;  // out

 private:
  void make_design_panels();
  void make_geometry_panel();
  void make_corner_panel();
  void make_bar_panel();
  void make_bc_panels();
  void make_settings_panel();
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
  bool setting_from_ends_ = false;  // the bar frame's "Modify" is setting the geometry
};
