// The modelling window: owns the model store and the stages of the work (design, boundary
// conditions), shown as panels. Its handlers live with their subsystems: view/form2_view.cpp,
// model/form2_design.cpp, bc/form2_bc.cpp, analysis/form2_analysis.cpp.
#pragma once

#include "model/model_store.h"
#include "view/form_view.h"

class QLabel;
class QRadioButton;

class Form2 : public ViewForm {
  Q_OBJECT

 public:
  Form2();

  void Form_Load() override;
  void dump(JsonWriter& j) override;
  bool call(const std::string& procedure) override;

  // Public procedures.
  void Grnd();     // refresh of the design stage
  void Draw_3D();  // display of the analysis model in the boundary-condition stage

  // The redraw rule: Draw_3D while the boundary-condition panel is shown, Grnd otherwise.
  void redraw() override;

  // Handlers.
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
  QCheckBox* Check1;      // Move of Apex
  QPushButton* Command2;  // OK
  QWidget* Frame8;
  QPushButton* Command3;  // OK of the corner move
  QWidget* Frame16;
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
  QWidget* Frame17;
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
  void make_bc_panels();
  void make_cover_labels();
  void wire();
};
