// The modelling window's design stage: the geometry panel, making, modifying and deleting
// records, bars from two points, corner moves, and the refresh of the preview.
#include <QLabel>

#include "formats/numtext.h"
#include "model/design_edit.h"
#include "model/mesh.h"
#include "model/preview.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/qt_controls.h"
#include "ui/shell.h"

using namespace form2_layout;

namespace {
// Three labelled text boxes side by side, labels above.
void make_triple(QWidget* frame, const char* const labels[3], const char* const names[3], const char* const texts[3],
                 QLineEdit* out[3]) {
  for (int k = 0; k < 3; ++k) {
    const int left = 120 + 1780 * k;
    make_label(frame, (std::string("Label") + (names[k] + 4)).c_str(), labels[k], {left, 240, 1600, 270});
    out[k] = make_text(frame, names[k], texts[k], {left, 510, 1600, 300});
  }
}

// Three rows of label, text box and scroll bar.
void make_mirrored_rows(QWidget* frame, const char* const labels[3], const char* const names[3],
                        const char* const scroll_names[3], const char* text, int min, int max, int value,
                        QLineEdit* texts[3], QScrollBar* scrolls[3]) {
  for (int k = 0; k < 3; ++k) {
    const int top = 270 + 330 * k;
    make_label(frame, (std::string("Label") + (names[k] + 4)).c_str(), labels[k], {120, top + 30, 900, 270});
    texts[k] = make_text(frame, names[k], text, {1020, top, 900, 300});
    scrolls[k] = make_hscroll(frame, scroll_names[k], min, max, value, {1980, top + 15, 3300, 270});
  }
}

double number_in(const QLineEdit* t) { return to_number(text_of(t)); }

// A text box's number for the bar's ends, where an empty text counts as 0; an end beyond the
// Single range could only give a bar the record cannot hold.
double number_or_zero(const QLineEdit* t, const char* name) {
  return t->text().trimmed().isEmpty() ? 0.0 : typed_single(text_of(t), name);
}

QString fixed2(double v) { return QString::fromStdString(format_number(v, pattern::fixed2)); }
QString fixed4(double v) { return QString::fromStdString(format_number(v, pattern::fixed4)); }
QString plain(double v) { return QString::fromStdString(plain_text(v)); }
QString plain(float v) { return QString::fromStdString(plain_text(v)); }
}  // namespace

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
  make_geometry_panel();
  make_corner_panel();
  make_bar_panel();

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

void Form2::make_geometry_panel() {
  Frame2 = make_frame(this, "Frame2", "Geometry Information", {column_b, 60, column_width, 8160});
  static const char* const sides[] = {"L_side", "W_side", "H_side"};
  static const char* const axes[] = {"L", "W", "H"};
  static const char* const rotations[] = {"L_axis", "W_axis", "H_axis"};
  QLineEdit* t[3];
  QScrollBar* s[3];

  Frame3 = make_frame(Frame2, "Frame3", "Length of Sides", {120, 240, 5400, 900});
  static const char* const length_names[] = {"Text7", "Text8", "Text9"};
  static const char* const length_texts[] = {"100", "100", "100"};
  make_triple(Frame3, sides, length_names, length_texts, t);
  Text7 = t[0], Text8 = t[1], Text9 = t[2];

  Frame4 = make_frame(Frame2, "Frame4", "Position of Center", {120, 1200, 5400, 900});
  static const char* const centre_names[] = {"Text10", "Text11", "Text12"};
  static const char* const centre_texts[] = {"0", "0", "0"};
  make_triple(Frame4, axes, centre_names, centre_texts, t);
  Text10 = t[0], Text11 = t[1], Text12 = t[2];

  Frame5 = make_frame(Frame2, "Frame5", "Rotation [deg]", {120, 2160, 5400, 1320});
  static const char* const rotation_names[] = {"Text4", "Text5", "Text6"};
  static const char* const rotation_scrolls[] = {"HScroll4", "HScroll5", "HScroll6"};
  make_mirrored_rows(Frame5, rotations, rotation_names, rotation_scrolls, "0", -360, 360, 0, t, s);
  Text4 = t[0], Text5 = t[1], Text6 = t[2];
  HScroll4 = s[0], HScroll5 = s[1], HScroll6 = s[2];

  Frame7 = make_frame(Frame2, "Frame7", "Division No. of Sides", {120, 3540, 5400, 1320});
  static const char* const division_names[] = {"Text13", "Text14", "Text15"};
  static const char* const division_scrolls[] = {"HScroll7", "HScroll8", "HScroll9"};
  make_mirrored_rows(Frame7, sides, division_names, division_scrolls, "1", 1, 8, 1, t, s);
  Text13 = t[0], Text14 = t[1], Text15 = t[2];
  HScroll7 = s[0], HScroll8 = s[1], HScroll9 = s[2];

  Frame18 = make_frame(Frame2, "Frame18", "Material Property", {120, 4920, 5400, 960});
  make_label(Frame18, "Label36", "E  [N/mm2]", {120, 300, 2000, 270});
  Text36 = make_text(Frame18, "Text36", "206000", {2220, 270, 1800, 300});
  make_label(Frame18, "Label37", "Poisson's Ratio", {120, 630, 2000, 270});
  Text37 = make_text(Frame18, "Text37", "0.33", {2220, 600, 1800, 300});

  Frame19 = make_frame(Frame2, "Frame19", "Design or Non-Design", {120, 5940, 5400, 960});
  Option4 = make_option(Frame19, "Option4", "Design Element", {120, 270, 5000, 300},
                        "Select Design Element for Topology Optimization");
  Option7 = make_option(Frame19, "Option7", "Non-Design Element", {120, 600, 5000, 300},
                        "Select Non-Design Element for Topology Optimization (After Click Below OK Button, Create "
                        "Shape of Cross Section)");
  Option4->setChecked(true);

  Check1 = make_check(Frame2, "Check1", "Move of Apex", {120, 7080, 2400, 300},
                      "Check If Corner Point of Box should be slightly Moved");
  Command2 = make_button(Frame2, "Command2", "OK", {3900, 7500, 1500, 480});
  Frame2->hide();
}

void Form2::make_corner_panel() {
  Frame8 = make_frame(this, "Frame8", "for Selected Apex", {column_a, 4140, column_width, 2880},
                      "Select Corner Point by Mouse Left Button Down, and, Move Coordinate for Selected Point");
  make_label(Frame8, "Label15", "Coordinate", {120, 240, 2000, 270});
  static const char* const axes[] = {"L=", "W=", "H="};
  static const char* const coordinate_names[] = {"Text16", "Text17", "Text18"};
  QLineEdit* t[3];
  for (int k = 0; k < 3; ++k) {
    const int left = 120 + 1780 * k;
    make_label(Frame8, (std::string("Label") + (coordinate_names[k] + 4)).c_str(), axes[k], {left, 540, 400, 270});
    t[k] = make_text(Frame8, coordinate_names[k], "None", {left + 420, 510, 1260, 300});
  }
  Text16 = t[0], Text17 = t[1], Text18 = t[2];
  make_label(Frame8, "Label22", "Displacement(Movement)", {120, 900, 4000, 270});
  static const char* const disp_labels[] = {"L", "W", "H"};
  static const char* const disp_names[] = {"Text19", "Text20", "Text21"};
  static const char* const disp_scrolls[] = {"HScroll10", "HScroll11", "HScroll12"};
  QScrollBar* s[3];
  for (int k = 0; k < 3; ++k) {
    const int top = 1170 + 330 * k;
    make_label(Frame8, (std::string("Label") + (disp_names[k] + 4)).c_str(), disp_labels[k], {120, top + 30, 400, 270});
    t[k] = make_text(Frame8, disp_names[k], "0.0", {540, top, 1260, 300});
    s[k] = make_hscroll(Frame8, disp_scrolls[k], -1000, 1000, 0, {1860, top + 15, 3600, 270});
  }
  Text19 = t[0], Text20 = t[1], Text21 = t[2];
  HScroll10 = s[0], HScroll11 = s[1], HScroll12 = s[2];
  Command3 = make_button(Frame8, "Command3", "OK", {3900, 2280, 1500, 420});
  Frame8->hide();
}

void Form2::make_bar_panel() {
  Frame16 = make_frame(this, "Frame16", "Coordinate", {column_a, 2520, column_width, 1560});
  static const char* const names[] = {"Text25", "Text26", "Text27", "Text28", "Text29", "Text30"};
  QLineEdit* t[6];
  for (int p = 0; p < 2; ++p) {
    const int top = 300 + 390 * p;
    make_label(Frame16, p == 0 ? "LabelPoint1" : "LabelPoint2", p == 0 ? "Point1" : "Point2", {120, top + 30, 900, 270});
    for (int k = 0; k < 3; ++k) t[3 * p + k] = make_text(Frame16, names[3 * p + k], "", {1020 + 1500 * k, top, 1400, 300});
  }
  Text25 = t[0], Text26 = t[1], Text27 = t[2], Text28 = t[3], Text29 = t[4], Text30 = t[5];
  Command19 = make_button(Frame16, "Command19", "Modify", {3900, 1020, 1500, 420});
  Frame16->hide();
}

void Form2::make_settings_panel() {
  Frame17 = make_frame(this, "Frame17", "Detailed Information for Analysis", {column_b, 60, column_width, 2640});
  struct Setting {
    const char* label_name;
    const char* label;
    const char* tip;
    const char* name;
    const char* text;
  };
  static const Setting settings[] = {
      {"Label31", "Max Diame.", "Input Maximum Diameter of Beam Elements for Topology Optimization", "Text31", "20"},
      {"Label32", "Init.Valu.Ratio", "Recommend Current Value", "Text32", "0.0001"},
      {"Label33", "Obj.Vol.Ratio", "Input Volume Ratio [ INPUT VALUE : 1 = Desired Total Volume : Initial one ]",
       "Text33", "0.01"},
      {"Label34", "Move Limit", "Recommend Current Value", "Text34", "1.0"},
      {"Label35", "Penalty Factor", "Recommend Current Value", "Text35", "1.0"},
  };
  QLineEdit* t[5];
  for (int k = 0; k < 5; ++k) {
    const int top = 270 + 360 * k;
    make_label(Frame17, settings[k].label_name, settings[k].label, {120, top + 30, 2400, 270})->setToolTip(settings[k].tip);
    t[k] = make_text(Frame17, settings[k].name, settings[k].text, {2640, top, 1800, 300});
  }
  Text31 = t[0], Text32 = t[1], Text33 = t[2], Text34 = t[3], Text35 = t[4];
  Check5 = make_check(Frame17, "Check5", "DISP.SHAPE", {120, 2100, 3000, 300},
                      "Release Check If Display should be turned off during Calculation of Topology Optimization");
  Check5->setChecked(true);
  Frame17->hide();
}

// The refresh: store the panel into the edited record while it is open, then draw.
void Form2::Grnd() {
  canvas().clear();
  if (model.n_gr < 1) return;
  if (!Frame2->isHidden()) store_panel();
  draw_design_preview(canvas(), model, view_angles(), view_win, value_of(Check4) == 1);
  // A bar's two ends follow every edit of its geometry, so that its frame's "Modify" never
  // takes the bar back to where it was; not while that "Modify" itself sets the geometry.
  if (!Frame2->isHidden() && !Frame16->isHidden() && !setting_from_ends_) fill_bar_ends();
}

void Form2::fem_data_pro() { build_analysis_model(model); }

namespace {
// The panel's inputs in the order the refresh reads them, named as errors name them: sides,
// centre, divisions, rotations, E and Poisson's ratio.
constexpr const char* panel_field_names[14] = {
    "L_side", "W_side", "H_side", "Center L", "Center W", "Center H", "Division L_side", "Division W_side",
    "Division H_side", "L_axis [deg]", "W_axis [deg]", "H_axis [deg]", "E [N/mm2]", "Poisson's Ratio"};
constexpr size_t first_division = 6, first_material = 12;

// One input as the record holds it: a Single, or for a division a 16-bit Integer.
double panel_value(const QLineEdit* text, size_t i) {
  const std::string& name = panel_field_names[i];
  if (i < first_division || i >= first_division + 3) return typed_single(text_of(text), name);
  try {
    return to_i16(typed_number(text_of(text), name));
  } catch (const RunTimeError& e) {
    raise_error(e.name(), name);
  }
}
}  // namespace

// The texts are read in this order; one that is not a number ends the refresh there, with
// the fields before it stored. A value the record cannot hold (beyond the Single or Integer
// range) stores nothing at all, so the record never holds an infinity.
void Form2::store_panel() {
  const int k = sub_i16(model.n_gr, model.n_gr_m);
  const QLineEdit* texts[14] = {Text7, Text8, Text9, Text10, Text11, Text12, Text13,
                                Text14, Text15, Text4, Text5, Text6, Text36, Text37};
  double values[14] = {};
  size_t read = 0;
  std::string mismatch;
  for (; read < 14; ++read) {
    try {
      values[read] = panel_value(texts[read], read);
    } catch (const RunTimeError& e) {
      if (e.name() != err::type_mismatch) throw;
      mismatch = e.where();
      break;
    }
  }
  for (size_t i = 0; i < read; ++i) {
    const int a = static_cast<int>(i % 3) + 1;
    const auto v = static_cast<float>(values[i]);
    if (i < 3) model.gr_len(k, a) = v;
    else if (i < first_division) model.gr_cen(k, a) = v;
    else if (i < first_division + 3) model.gr_div(k, a) = static_cast<int16_t>(values[i]);
    else if (i < first_material) model.gr_rot(k, a) = v;
    else model.gr_mat(k, a) = v;
  }
  if (!mismatch.empty()) raise_error(err::type_mismatch, mismatch);
  model.gr_mat(k, 3) = Option4->isChecked() ? 1.0f : 0.0f;
  for (int c = 1; c <= 8; ++c)
    for (int a = 1; a <= 3; ++a) model.gr_apex(k, c, a) = model.apex_mov(c, a);
}

void Form2::refresh_on_text(const QLineEdit* text) {
  if (text->text().isEmpty() || text->text() == "-") return;
  Grnd();
}

void Form2::rotation_or_division_scroll(QScrollBar* scroll, QLineEdit* text) {
  text->setText(QString::number(scroll->value()));
  Grnd();
}

// Shows the panel for a box (corner moves, W and H sides, divisions) or a bar.
void Form2::show_record_kind(bool box) {
  Check1->setVisible(box);
  Text8->setText(box ? "100.0" : "10.0");
  Text8->setVisible(box);
  Text9->setText(box ? "100.0" : "10.0");
  Text9->setVisible(box);
  if (!box) {
    Text13->setText("1");
    Text14->setText("1");
    Text15->setText("1");
  }
  Frame7->setVisible(box);
}

void Form2::fill_bar_ends() {
  const Vec3 centre(float(number_in(Text10)), float(number_in(Text11)), float(number_in(Text12)));
  const Vec3 rotation(float(number_in(Text4)), float(number_in(Text5)), float(number_in(Text6)));
  const BarEnds ends = bar_end_points(number_in(Text7), centre, rotation);
  QLineEdit* p1[] = {Text25, Text26, Text27};
  QLineEdit* p2[] = {Text28, Text29, Text30};
  for (int a = 1; a <= 3; ++a) {
    p1[a - 1]->setText(fixed2(ends.point1[a]));
    p2[a - 1]->setText(fixed2(ends.point2[a]));
  }
}

void Form2::Command1_Click() {
  if (model.n_gr >= max_records) raise_error(err::capacity, "at most 100 boxes and bars");
  Label29->hide();
  Label38->hide();
  Label41->hide();
  model.n_gr_m = 0;
  model.n_gr = add_i16(model.n_gr, 1);
  model.apex_mov.fill(0);
  Frame2->show();
  model.apex_sel = 0;
  Text19->setText("0");
  Text20->setText("0");
  Text21->setText("0");
  Frame11->hide();
  if (Option1->isChecked()) {
    model.gr_div(model.n_gr, 4) = 1;
    Check1->show();
    Text8->setText("100");
    Text8->show();
    Text9->setText("100");
    Text9->show();
    Text4->setText("0");
    Text5->setText("0");
    Text6->setText("0");
    Frame7->show();
  } else {
    model.gr_div(model.n_gr, 4) = 2;
    show_record_kind(false);
    Frame16->show();
    fill_bar_ends();
  }
  Grnd();
  Text36->setText("206000");
  Text37->setText("0.33");
  set_status(std::string(Option1->isChecked() ? "Box " : "Bar ") + std::to_string(model.n_gr) +
             " made: set its geometry and press \"OK\"");
}

void Form2::write_hand_over() {
  SectionHandOver record = handed_over();
  record.n_gr = model.n_gr;
  record.n_gr_m = model.n_gr_m;
  hand_over(record);
}

void Form2::Command2_Click() {
  set_value(Check1, 0);
  Grnd();
  Check1_Click();
  Frame11->show();
  Frame2->hide();
  Frame8->hide();
  write_hand_over();
  const int k = sub_i16(model.n_gr, model.n_gr_m);
  set_status(std::string(model.gr_div(k, 4) == 1 ? "Box " : "Bar ") + std::to_string(k) + " kept (" +
             std::to_string(model.n_gr) + " in the list)");
  if (model.gr_div(k, 4) == 1 || Option4->isChecked()) {
    section_editor().grand_file_r_w();
  } else {
    hide();
    Form3::show_for_non_design_bar();
  }
  Frame16->hide();
}

// "Modify" and "Delete" of the design panel: the selector offers records 1..n_gr and starts
// at the last one.
void Form2::open_selector(QWidget* frame, QScrollBar* scroll, QLineEdit* number) {
  if (model.n_gr == 0) return;
  scroll->setMaximum(model.n_gr);
  scroll->setValue(model.n_gr);
  number->setText(QString::number(model.n_gr));
  frame->show();
  Frame11->hide();
  select_record(number);
  Grnd();
}

// The record typed or scrolled to becomes the selected one. A typed number may name no
// record at all: it is refused before anything changes.
void Form2::select_record(const QLineEdit* number) {
  const int16_t k = to_i16(number_in(number));
  if (k < 1 || k > model.n_gr)
    raise_error(err::subscript, "no box/bar " + std::to_string(k) + "; they are numbered 1 to " +
                                    std::to_string(model.n_gr));
  model.n_gr_m = sub_i16(model.n_gr, k);
}

void Form2::Command8_Click() { open_selector(Frame10, HScroll13, Text22); }

void Form2::HScroll13_Change() {
  Text22->setText(QString::number(HScroll13->value()));
  select_record(Text22);
  show_record_kind(model.gr_div(sub_i16(model.n_gr, model.n_gr_m), 4) == 1);
  Grnd();
}

void Form2::Command7_Click() {
  select_record(Text22);
  const int k = sub_i16(model.n_gr, model.n_gr_m);
  // A number typed rather than scrolled to has not yet set the panel up for its kind.
  show_record_kind(model.gr_div(k, 4) == 1);
  load_record_into_panel(k);
  Grnd();
  Frame2->show();
  Frame10->hide();
  if (model.gr_div(k, 4) == 2) {
    Frame16->show();
    fill_bar_ends();
  }
}

// The record's inputs into the panel's texts, its corner displacements into the move buffer.
void Form2::load_record_into_panel(int k) {
  QLineEdit* lengths[] = {Text7, Text8, Text9};
  QLineEdit* centre[] = {Text10, Text11, Text12};
  QLineEdit* divisions[] = {Text13, Text14, Text15};
  QLineEdit* rotations[] = {Text4, Text5, Text6};
  for (int a = 1; a <= 3; ++a) lengths[a - 1]->setText(plain(model.gr_len(k, a)));
  for (int a = 1; a <= 3; ++a) centre[a - 1]->setText(plain(model.gr_cen(k, a)));
  for (int a = 1; a <= 3; ++a) divisions[a - 1]->setText(QString::number(model.gr_div(k, a)));
  for (int a = 1; a <= 3; ++a) rotations[a - 1]->setText(plain(model.gr_rot(k, a)));
  Text36->setText(plain(model.gr_mat(k, 1)));
  Text37->setText(plain(model.gr_mat(k, 2)));
  (model.gr_mat(k, 3) > 0 ? Option4 : Option7)->setChecked(true);
  for (int c = 1; c <= 8; ++c)
    for (int a = 1; a <= 3; ++a) model.apex_mov(c, a) = model.gr_apex(k, c, a);
  model.apex_sel = 0;
  Text19->setText("0");
  Text20->setText("0");
  Text21->setText("0");
}

void Form2::Command9_Click() { open_selector(Frame12, HScroll14, Text23); }

void Form2::HScroll14_Change() {
  Text23->setText(QString::number(HScroll14->value()));
  select_record(Text23);
  Grnd();
}

void Form2::Command10_Click() {
  select_record(Text23);  // the number as typed, which the scroll bar may not have seen
  if (model.n_gr_m > 0) {
    const int k = sub_i16(model.n_gr, model.n_gr_m);
    write_hand_over();
    section_editor().del_file_r_w();
    remove_record(model, k);
  }
  model.n_gr = std::max<int16_t>(0, sub_i16(model.n_gr, 1));
  model.n_gr_m = 0;
  Grnd();
  set_status("Deleted box/bar " + text_of(Text23) + " (" + std::to_string(model.n_gr) + " left)");
  Frame12->hide();
  Frame11->show();
  SectionHandOver deleted = handed_over();
  deleted.del_flag = 1;
  hand_over(deleted);
}

void Form2::Command11_Click() {
  model.n_gr_m = 0;
  Grnd();
  Frame12->hide();
  Frame11->show();
}

void Form2::Command19_Click() {
  setting_from_ends_ = true;
  const struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{setting_from_ends_};
  for (int pass = 0; pass < 2; ++pass) {
    const Point3d p1{number_or_zero(Text25, "Point1 L"), number_or_zero(Text26, "Point1 W"),
                     number_or_zero(Text27, "Point1 H")};
    const Point3d p2{number_or_zero(Text28, "Point2 L"), number_or_zero(Text29, "Point2 W"),
                     number_or_zero(Text30, "Point2 H")};
    const auto bar = bar_from_points(p1, p2);
    if (!bar) return;
    Text7->setText(plain(bar->length));
    Text10->setText(plain(bar->centre[0]));
    Text11->setText(plain(bar->centre[1]));
    Text12->setText(plain(bar->centre[2]));
    Text4->setText(plain(bar->rotation_degrees[0]));
    Text5->setText(plain(bar->rotation_degrees[1]));
    Text6->setText(plain(bar->rotation_degrees[2]));
  }
  setting_from_ends_ = false;
  Grnd();
}

// Corner moves.

void Form2::Check1_Click() {
  if (value_of(Check1) == 1) {
    Frame8->show();
    model.apex_sel = 0;
    Text19->setText("0");
    Text20->setText("0");
    Text21->setText("0");
  } else {
    Frame8->hide();
    model.apex_sel = 0;
    Text16->setText("None");
    Text17->setText("None");
    Text18->setText("None");
  }
  set_value(Check2, 0);
}

void Form2::Command3_Click() {
  set_value(Check1, 0);
  Grnd();
  Check1_Click();
}

void Form2::pick_corner_at(float x, float y) {
  model.apex_sel = pick_corner(model, view_win, x, y);
  QLineEdit* coordinates[] = {Text16, Text17, Text18};
  for (int a = 1; a <= 3; ++a)
    coordinates[a - 1]->setText(fixed4(double(model.apex_xyz(model.apex_sel, a)) + model.apex_mov(model.apex_sel, a)));
}

void Form2::displacement_scroll(int axis) {
  QScrollBar* scroll = std::array{HScroll10, HScroll11, HScroll12}[axis - 1];
  std::array{Text19, Text20, Text21}[axis - 1]->setText(fixed4(scroll->value()));
  if (model.apex_sel > 0) {
    model.apex_mov(model.apex_sel, axis) = static_cast<float>(scroll->value());
    std::array{Text16, Text17, Text18}[axis - 1]->setText(
        fixed4(double(model.apex_xyz(model.apex_sel, axis)) + model.apex_mov(model.apex_sel, axis)));
  }
  Grnd();
}

void Form2::coordinate_text(int axis) {
  const QLineEdit* coordinate = std::array{Text16, Text17, Text18}[axis - 1];
  if (coordinate->text().isEmpty() || coordinate->text() == "-" || model.apex_sel < 1) return;
  static const char* const names[] = {"Coordinate L=", "Coordinate W=", "Coordinate H="};
  const double moved = typed_number(text_of(coordinate), names[axis - 1]) - model.apex_xyz(model.apex_sel, axis);
  if (!in_single_range(moved)) raise_error(err::overflow, names[axis - 1]);
  model.apex_mov(model.apex_sel, axis) = static_cast<float>(moved);
  std::array{Text19, Text20, Text21}[axis - 1]->setText(fixed4(model.apex_mov(model.apex_sel, axis)));
  Grnd();
}
