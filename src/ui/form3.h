// The cross-section editor window: the sketch of one section (the record handed over on
// Form4) made of points and walls with their thickness, or generated as a typical shape, and
// written to the cross-section data file on "Return". It also writes the file for the
// modelling window without being shown (grand_file_r_w, del_file_r_w).
#pragma once

#include "section/section_table.h"
#include "section/sketch_display.h"
#include "ui/form_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class Form3 : public FormWindow {
  Q_OBJECT

 public:
  Form3();

  // The opening preparation: the table read afresh for the record handed over on Form4.
  void Form_Load() override;
  // Closing by the window's own button: "Return" when the section has a line, otherwise back
  // to the modelling window without writing anything.
  void Form_Unload() override;
  // Mouse events on the sketch, positions in twips; every button acts alike.
  void Form_MouseDown(int button, int shift, float x, float y) override;
  void Form_MouseMove(int button, int shift, float x, float y) override;
  void Form_MouseUp(int button, int shift, float x, float y) override;
  void dump(JsonWriter& j) override;
  bool call(const std::string& procedure) override;

  // Public procedures of the modelling window's "OK" and "Delete".
  void grand_file_r_w();
  void del_file_r_w();
  // Shows the editor for the non-design bar handed over on Form4. A window already loaded
  // (hidden, by grand_file_r_w or del_file_r_w) is prepared afresh first. When the
  // preparation fails (a malformed file, a section beyond 200) the error is reported, the
  // editor unloaded and the modelling window shown again.
  static void show_for_non_design_bar();

  // Handlers.
  void Option1_Click();   // Make Point
  void Option2_Click();   // Move Point
  void Option3_Click();   // Make   Line
  void Option5_Click();   // Delete Line
  void Check1_Click();    // Typical Shapes
  void Text1_Change();    // thickness of the newest line
  void Command2_Click();  // OK of the thickness
  void Text2_Change();    // typed coordinates of the picked point (Text2 and Text3)
  void Command1_Click();  // Return
  void Command3_Click();  // Create New Shape

  SectionTable table;
  int16_t sec_no = 0;      // section edited: n_gr - n_gr_m
  int16_t pick_pnt = 0;    // point last picked (Move Point, Make Line)
  int16_t pick_line = 0;   // line last picked (Delete Line)
  int16_t line_open = 0;   // 1 while a new line awaits its second end
  int16_t line_first = 0;  // first end of that line
  int16_t drag_on = 0;     // 1 while the picked point is dragged
  int16_t drawn_once = 0;  // 1 once the sketch was drawn after opening
  SketchMap map;

  QLabel* Label1;  // Cross Section of Beam
  QWidget* Frame3;  // Coordinate of Point
  QLineEdit* Text2;  // W
  QLineEdit* Text3;  // H
  QLabel* Label38;  // Unit
  QWidget* Frame1;  // Selection
  QRadioButton* Option1;
  QRadioButton* Option2;
  QRadioButton* Option3;
  QRadioButton* Option5;
  QCheckBox* Check1;
  QWidget* Frame2;  // Thickness
  QLineEdit* Text1;
  QPushButton* Command2;
  QPushButton* Command1;  // Return
  QWidget* Frame4;        // Typical Cross Sectional Shapes
  QRadioButton* Option4;  // rectangular tube
  QRadioButton* Option6;  // circular tube
  QLineEdit* Text4;       // Width
  QLineEdit* Text5;       // Height
  QLineEdit* Text6;       // Radius
  QLineEdit* Text7;       // Thickness
  QPushButton* Command3;  // Create New Shape
  QLabel* Label40;        // the section's area, second moments and torsion constant as drawn
  QLabel* Label41;        // the same walls about their centroid and principal axes, St Venant J
  QLabel* Label60;        // the status line: what the analysis changes by taking the section as drawn

 private:
  void make_typical_shape_panel();
  void wire();
  void redraw();
  void show_properties();
  // The editing mode chosen in "Selection", as dumped: "none" until one is chosen.
  const char* mode() const;
  // Writes the pointer's W and H (mm) into Text2 and Text3, which moves the picked point.
  void write_coordinates(float w, float h);
  // Unloads the editor and shows the modelling window refreshed.
  void back_to_modelling();
  // n_gr and n_gr_m as handed over on Form4.
};
