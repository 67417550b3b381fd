// The point dialog "B.C & A.L": fixed degrees of freedom, springs to ground and loads of the
// point picked on the modelling window, for the current load case. It keeps no data of its
// own: the modelling window hands it the point's conditions on a pick, and "OK" hands the
// conditions read from its controls back to the modelling window.
#pragma once

#include <vector>

#include "bc/point_conditions.h"
#include "ui/form_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Form5 : public FormWindow {
  Q_OBJECT

 public:
  Form5();

  // The six boxes start ticked, so every spring and load starts hidden at "0".
  void Form_Load() override;
  // Closing by the window's own button discards the edit and switches the modelling window on.
  void Form_Unload() override;
  void dump(JsonWriter& j) override;
  bool call(const std::string& procedure) override;

  void Command1_Click();  // OK
  void Command2_Click();  // ALL
  void Check1_Click();
  void Check2_Click();
  void Check3_Click();
  void Check4_Click();
  void Check5_Click();
  void Check6_Click();

  // The conditions of `nodes` shown in the controls, and reading them back: all twelve texts
  // are read before anything is handed on, so one that is not a number raises an error naming
  // its field. One node's own conditions, or what several share: a box partly ticked and a text
  // left empty where they differ, which "OK" leaves as each node has it.
  void show_conditions(const PointConditions& p, std::vector<int16_t> nodes);
  void show_shared(const SharedConditions& s, std::vector<int16_t> nodes);
  PointConditions conditions() const;
  SharedConditions shared() const;

  // The controls of degree of freedom 1..6 (L, W, H, rotations about L, W, H).
  QCheckBox* fixed_box(int dof) const;
  QLineEdit* spring_text(int dof) const;
  QLineEdit* load_text(int dof) const;

  QLabel* Label1;  // Boundary Conditions
  QLabel* Label2;  // Applied Loads
  QWidget* Frame1;  // Fixed D.O.F.
  QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5, *Check6;
  QPushButton* Command2;  // ALL
  QWidget* Frame3;        // Spring Stiff.
  QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5, *Text6;
  QWidget* Frame5;  // Load
  QLineEdit *Text7, *Text8, *Text9, *Text10, *Text11, *Text12;
  QLabel *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
  QLabel* Label9;         // unit
  QLabel* Label10;        // the node edited, with its coordinates (also in the title)
  QPushButton* Command1;  // OK
  QCheckBox* Check10;     // All Load Cases

 private:
  std::vector<int16_t> nodes_;  // the nodes edited

 private:
  // A fixed degree of freedom carries no spring and no load: ticking hides both texts at "0",
  // clearing shows them again with what they hold.
  void fixed_changed(int dof);
  void wire();
};
