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

// The refresh: store the panel into the edited record while it is open, then draw.
void Form2::Grnd() {
  canvas().clear();
  if (model.n_gr < 1) return;
  if (!geometry.frame->isHidden()) {
    store_panel();
    geometry.model_size->setText(QString::fromStdString(model_count_text(model)));
  }
  draw_design_preview(canvas(), model, view_angles(), view_win, value_of(show_coordinates) == 1);
  // A bar's two ends follow every edit of its geometry, so that its frame's "Modify" never
  // takes the bar back to where it was; not while that "Modify" itself sets the geometry.
  if (!geometry.frame->isHidden() && !bar_ends.frame->isHidden() && !setting_from_ends_) fill_bar_ends();
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
  const GeometryPanel& g = geometry;
  const QLineEdit* texts[14] = {g.side[0],     g.side[1],     g.side[2],     g.centre[0],   g.centre[1],
                                g.centre[2],   g.division[0], g.division[1], g.division[2], g.rotation[0],
                                g.rotation[1], g.rotation[2], g.young,       g.poisson};
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
  model.gr_mat(k, 3) = geometry.design_element->isChecked() ? 1.0f : 0.0f;
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
  geometry.move_apex->setVisible(box);
  geometry.side[1]->setText(box ? "100.0" : "10.0");
  geometry.side[1]->setVisible(box);
  geometry.side[2]->setText(box ? "100.0" : "10.0");
  geometry.side[2]->setVisible(box);
  if (!box) {
    geometry.division[0]->setText("1");
    geometry.division[1]->setText("1");
    geometry.division[2]->setText("1");
  }
  geometry.division_frame->setVisible(box);
}

void Form2::fill_bar_ends() {
  auto row = [](const std::array<QLineEdit*, 3>& t) {
    return Vec3(float(number_in(t[0])), float(number_in(t[1])), float(number_in(t[2])));
  };
  const Vec3 centre = row(geometry.centre), rotation = row(geometry.rotation);
  const BarEnds ends = bar_end_points(number_in(geometry.side[0]), centre, rotation);
  QLineEdit* p1[] = {bar_ends.first[0], bar_ends.first[1], bar_ends.first[2]};
  QLineEdit* p2[] = {bar_ends.second[0], bar_ends.second[1], bar_ends.second[2]};
  for (int a = 1; a <= 3; ++a) {
    p1[a - 1]->setText(fixed2(ends.point1[a]));
    p2[a - 1]->setText(fixed2(ends.point2[a]));
  }
}

void Form2::Command1_Click() {
  if (model.n_gr >= max_records) raise_error(err::capacity, "at most 100 boxes and bars");
  procedure_label->hide();
  start_label->hide();
  disclaimer_label->hide();
  model.n_gr_m = 0;
  model.n_gr = add_i16(model.n_gr, 1);
  model.apex_mov.fill(0);
  geometry.frame->show();
  model.apex_sel = 0;
  corner.displacement[0]->setText("0");
  corner.displacement[1]->setText("0");
  corner.displacement[2]->setText("0");
  design.frame->hide();
  if (design.box->isChecked()) {
    model.gr_div(model.n_gr, 4) = 1;
    geometry.move_apex->show();
    geometry.side[1]->setText("100");
    geometry.side[1]->show();
    geometry.side[2]->setText("100");
    geometry.side[2]->show();
    geometry.rotation[0]->setText("0");
    geometry.rotation[1]->setText("0");
    geometry.rotation[2]->setText("0");
    geometry.division_frame->show();
  } else {
    model.gr_div(model.n_gr, 4) = 2;
    show_record_kind(false);
    bar_ends.frame->show();
    fill_bar_ends();
  }
  Grnd();
  geometry.young->setText("206000");
  geometry.poisson->setText("0.33");
  set_status(std::string(design.box->isChecked() ? "Box " : "Bar ") + std::to_string(model.n_gr) +
             " made: set its geometry and press \"OK\"");
}

void Form2::write_hand_over() {
  SectionHandOver record = handed_over();
  record.n_gr = model.n_gr;
  record.n_gr_m = model.n_gr_m;
  hand_over(record);
}

void Form2::Command2_Click() {
  set_value(geometry.move_apex, 0);
  Grnd();
  Check1_Click();
  design.frame->show();
  geometry.frame->hide();
  corner.frame->hide();
  write_hand_over();
  const int k = sub_i16(model.n_gr, model.n_gr_m);
  set_status(std::string(model.gr_div(k, 4) == 1 ? "Box " : "Bar ") + std::to_string(k) + " kept (" +
             std::to_string(model.n_gr) + " in the list)");
  if (model.gr_div(k, 4) == 1 || geometry.design_element->isChecked()) {
    section_editor().grand_file_r_w();
  } else {
    hide();
    Form3::show_for_non_design_bar();
  }
  bar_ends.frame->hide();
}

// "Modify" and "Delete" of the design panel: the selector offers records 1..n_gr and starts
// at the last one.
void Form2::open_selector(QWidget* frame, QScrollBar* scroll, QLineEdit* number) {
  if (model.n_gr == 0) return;
  scroll->setMaximum(model.n_gr);
  scroll->setValue(model.n_gr);
  number->setText(QString::number(model.n_gr));
  frame->show();
  design.frame->hide();
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

void Form2::Command8_Click() { open_selector(modify_choice.frame, modify_choice.scroll, modify_choice.number); }

void Form2::HScroll13_Change() {
  modify_choice.number->setText(QString::number(modify_choice.scroll->value()));
  select_record(modify_choice.number);
  show_record_kind(model.gr_div(sub_i16(model.n_gr, model.n_gr_m), 4) == 1);
  Grnd();
}

void Form2::Command7_Click() {
  select_record(modify_choice.number);
  const int k = sub_i16(model.n_gr, model.n_gr_m);
  // A number typed rather than scrolled to has not yet set the panel up for its kind.
  show_record_kind(model.gr_div(k, 4) == 1);
  load_record_into_panel(k);
  Grnd();
  geometry.frame->show();
  modify_choice.frame->hide();
  if (model.gr_div(k, 4) == 2) {
    bar_ends.frame->show();
    fill_bar_ends();
  }
}

// The record's inputs into the panel's texts, its corner displacements into the move buffer.
void Form2::load_record_into_panel(int k) {
  QLineEdit* lengths[] = {geometry.side[0], geometry.side[1], geometry.side[2]};
  QLineEdit* centre[] = {geometry.centre[0], geometry.centre[1], geometry.centre[2]};
  QLineEdit* divisions[] = {geometry.division[0], geometry.division[1], geometry.division[2]};
  QLineEdit* rotations[] = {geometry.rotation[0], geometry.rotation[1], geometry.rotation[2]};
  for (int a = 1; a <= 3; ++a) lengths[a - 1]->setText(plain(model.gr_len(k, a)));
  for (int a = 1; a <= 3; ++a) centre[a - 1]->setText(plain(model.gr_cen(k, a)));
  for (int a = 1; a <= 3; ++a) divisions[a - 1]->setText(QString::number(model.gr_div(k, a)));
  for (int a = 1; a <= 3; ++a) rotations[a - 1]->setText(plain(model.gr_rot(k, a)));
  geometry.young->setText(plain(model.gr_mat(k, 1)));
  geometry.poisson->setText(plain(model.gr_mat(k, 2)));
  (model.gr_mat(k, 3) > 0 ? geometry.design_element : geometry.non_design_element)->setChecked(true);
  for (int c = 1; c <= 8; ++c)
    for (int a = 1; a <= 3; ++a) model.apex_mov(c, a) = model.gr_apex(k, c, a);
  model.apex_sel = 0;
  corner.displacement[0]->setText("0");
  corner.displacement[1]->setText("0");
  corner.displacement[2]->setText("0");
}

void Form2::Command9_Click() { open_selector(delete_choice.frame, delete_choice.scroll, delete_choice.number); }

void Form2::HScroll14_Change() {
  delete_choice.number->setText(QString::number(delete_choice.scroll->value()));
  select_record(delete_choice.number);
  Grnd();
}

void Form2::Command10_Click() {
  select_record(delete_choice.number);  // the number as typed, which the scroll bar may not have seen
  if (model.n_gr_m > 0) {
    const int k = sub_i16(model.n_gr, model.n_gr_m);
    write_hand_over();
    section_editor().del_file_r_w();
    remove_record(model, k);
  }
  model.n_gr = std::max<int16_t>(0, sub_i16(model.n_gr, 1));
  model.n_gr_m = 0;
  Grnd();
  set_status("Deleted box/bar " + text_of(delete_choice.number) + " (" + std::to_string(model.n_gr) + " left)");
  delete_choice.frame->hide();
  design.frame->show();
  SectionHandOver deleted = handed_over();
  deleted.del_flag = 1;
  hand_over(deleted);
}

void Form2::Command11_Click() {
  model.n_gr_m = 0;
  Grnd();
  delete_choice.frame->hide();
  design.frame->show();
}

void Form2::Command19_Click() {
  setting_from_ends_ = true;
  const struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{setting_from_ends_};
  for (int pass = 0; pass < 2; ++pass) {
    const Point3d p1{number_or_zero(bar_ends.first[0], "Point1 L"), number_or_zero(bar_ends.first[1], "Point1 W"),
                     number_or_zero(bar_ends.first[2], "Point1 H")};
    const Point3d p2{number_or_zero(bar_ends.second[0], "Point2 L"), number_or_zero(bar_ends.second[1], "Point2 W"),
                     number_or_zero(bar_ends.second[2], "Point2 H")};
    const auto bar = bar_from_points(p1, p2);
    if (!bar) return;
    geometry.side[0]->setText(plain(bar->length));
    geometry.centre[0]->setText(plain(bar->centre[0]));
    geometry.centre[1]->setText(plain(bar->centre[1]));
    geometry.centre[2]->setText(plain(bar->centre[2]));
    geometry.rotation[0]->setText(plain(bar->rotation_degrees[0]));
    geometry.rotation[1]->setText(plain(bar->rotation_degrees[1]));
    geometry.rotation[2]->setText(plain(bar->rotation_degrees[2]));
  }
  setting_from_ends_ = false;
  Grnd();
}

// Corner moves.

void Form2::Check1_Click() {
  if (value_of(geometry.move_apex) == 1) {
    corner.frame->show();
    model.apex_sel = 0;
    corner.displacement[0]->setText("0");
    corner.displacement[1]->setText("0");
    corner.displacement[2]->setText("0");
  } else {
    corner.frame->hide();
    model.apex_sel = 0;
    corner.coordinate[0]->setText("None");
    corner.coordinate[1]->setText("None");
    corner.coordinate[2]->setText("None");
  }
  set_value(Check2, 0);
}

void Form2::Command3_Click() {
  set_value(geometry.move_apex, 0);
  Grnd();
  Check1_Click();
}

void Form2::pick_corner_at(float x, float y) {
  model.apex_sel = pick_corner(model, view_win, x, y);
  for (int a = 1; a <= 3; ++a) {
    const double at = double(model.apex_xyz(model.apex_sel, a)) + model.apex_mov(model.apex_sel, a);
    corner.coordinate[static_cast<size_t>(a - 1)]->setText(fixed4(at));
  }
}

void Form2::displacement_scroll(int axis) {
  const size_t k = static_cast<size_t>(axis - 1);
  QScrollBar* scroll = corner.displacement_scroll[k];
  corner.displacement[k]->setText(fixed4(scroll->value()));
  if (model.apex_sel > 0) {
    model.apex_mov(model.apex_sel, axis) = static_cast<float>(scroll->value());
    corner.coordinate[k]->setText(
        fixed4(double(model.apex_xyz(model.apex_sel, axis)) + model.apex_mov(model.apex_sel, axis)));
  }
  Grnd();
}

void Form2::coordinate_text(int axis) {
  const QLineEdit* coordinate = corner.coordinate[static_cast<size_t>(axis - 1)];
  if (coordinate->text().isEmpty() || coordinate->text() == "-" || model.apex_sel < 1) return;
  static const char* const names[] = {"Coordinate L=", "Coordinate W=", "Coordinate H="};
  const double moved = typed_number(text_of(coordinate), names[axis - 1]) - model.apex_xyz(model.apex_sel, axis);
  if (!in_single_range(moved)) raise_error(err::overflow, names[axis - 1]);
  model.apex_mov(model.apex_sel, axis) = static_cast<float>(moved);
  corner.displacement[static_cast<size_t>(axis - 1)]->setText(fixed4(model.apex_mov(model.apex_sel, axis)));
  Grnd();
}
