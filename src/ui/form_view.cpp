// The view controls shared by the modelling and post-processing windows.
#include "ui/form_view.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <cmath>
#include <cstdlib>

#include "formats/json.h"
#include "formats/numtext.h"
#include "ui/qt_controls.h"

namespace {
// A fixed reminder of the axes beside the angle controls: W to the right, H up, L towards the
// viewer. It does not follow the view angles.
void make_axis_sketch(QWidget* frame, Twips at) {
  QLabel* sketch = make_label(frame, "AxisSketch", {}, at);
  QPixmap picture(sketch->size());
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setPen(Qt::black);
  QFont font = p.font();
  font.setPixelSize(10);
  p.setFont(font);
  const QPoint origin(34, 18);
  p.drawLine(origin, origin + QPoint(30, 0));
  p.drawText(origin + QPoint(33, 4), "W");
  p.drawLine(origin, origin + QPoint(0, -16));
  p.drawText(origin + QPoint(3, -8), "H");
  p.drawLine(origin, origin + QPoint(-14, 8));
  p.drawText(origin + QPoint(-26, 10), "L");
  p.end();
  sketch->setPixmap(picture);
}
}  // namespace

ViewForm::ViewForm(const char* name, int width_twips, int height_twips, ViewWindow initial, double pi,
                   ZoomButtonNames names, int left, int top)
    : FormWindow(name, "MARULLA", width_twips, height_twips), initial_(initial), pi_(pi) {
  // The picture keeps to the part of the window left of its controls.
  canvas().set_clip(QRect(0, 0, left / twips_per_pixel, 1 << 16));
  Frame1 = make_frame(this, "Frame1", "View Angle [deg]", {left, top, 5640, 1920});
  const char* axis[] = {"L:", "W:", "H:"};
  const char* text_names[] = {"Text1", "Text2", "Text3"};
  const char* scroll_names[] = {"HScroll1", "HScroll2", "HScroll3"};
  const char* label_names[] = {"Label1", "Label2", "Label3"};
  const int initial_angle[] = {0, 180, 0};
  QLineEdit* texts[3];
  QScrollBar* scrolls[3];
  for (int k = 0; k < 3; ++k) {
    const int y = 300 + 330 * k;
    make_label(Frame1, label_names[k], axis[k], {120, y + 30, 300, 270});
    texts[k] = make_text(Frame1, text_names[k], QString::number(initial_angle[k]), {420, y, 900, 300});
    scrolls[k] = make_hscroll(Frame1, scroll_names[k], -360, 360, initial_angle[k], {1380, y, 2700, 270});
  }
  Text1 = texts[0], Text2 = texts[1], Text3 = texts[2];
  HScroll1 = scrolls[0], HScroll2 = scrolls[1], HScroll3 = scrolls[2];

  Frame9 = make_frame(Frame1, "Frame9", {}, {4200, 240, 1320, 1080});
  Command4 = make_button(Frame9, "Command4", "L-W", {0, 0, 1320, 330}, "Set L-W Plane");
  Command5 = make_button(Frame9, "Command5", "W-H", {0, 360, 1320, 330}, "Set W-H Plane");
  Command6 = make_button(Frame9, "Command6", "H-L", {0, 720, 1320, 330}, "Set H-L Plane");

  Frame15 = make_frame(Frame1, "Frame15", {}, {120, 1380, 5400, 420});
  zoom_in_button = make_button(Frame15, names.in_name, names.in_caption, {0, 0, 900, 360}, "Zoom In");
  zoom_out_button = make_button(Frame15, names.out_name, names.out_caption, {960, 0, 900, 360}, "Zoom Out");
  Command17 = make_button(Frame15, "Command17", "FIT", {1920, 0, 900, 360}, "Reset Zoom");
  Check2 = make_check(Frame15, "Check2", "ZOOM", {2940, 0, 1200, 360},
                      "Select Box Zoom (Mouse Left Button Down and Drag)");
  make_axis_sketch(Frame15, {4200, 0, 1200, 420});
  wire_view();
}


void ViewForm::wire_view() {
  on_change(Text1, this, &ViewForm::Text1_Change);
  on_change(Text2, this, &ViewForm::Text2_Change);
  on_change(Text3, this, &ViewForm::Text3_Change);
  on_change(HScroll1, this, &ViewForm::HScroll1_Change);
  on_change(HScroll2, this, &ViewForm::HScroll2_Change);
  on_change(HScroll3, this, &ViewForm::HScroll3_Change);
  on_click(Command4, this, &ViewForm::Command4_Click);
  on_click(Command5, this, &ViewForm::Command5_Click);
  on_click(Command6, this, &ViewForm::Command6_Click);
  on_click(zoom_in_button, this, &ViewForm::zoom_in_click);
  on_click(zoom_out_button, this, &ViewForm::zoom_out_click);
  on_click(Command17, this, &ViewForm::Command17_Click);
  on_click(Check2, this, &ViewForm::Check2_Click);
}

void ViewForm::view_load() {
  view_win = initial_;
  view_win0 = initial_;
  form_h0 = height_twips();
  form_w0 = width_twips();
  zoom.drag = 0;
}

Vec3 ViewForm::view_angles() const {
  return angles_from_texts(text_of(Text1), text_of(Text2), text_of(Text3), pi_);
}

void ViewForm::Text1_Change() { scroll_from_text(Text1, HScroll1); }
void ViewForm::Text2_Change() { scroll_from_text(Text2, HScroll2); }
void ViewForm::Text3_Change() { scroll_from_text(Text3, HScroll3); }

void ViewForm::HScroll1_Change() {
  Text1->setText(QString::number(HScroll1->value()));
  redraw();
}
void ViewForm::HScroll2_Change() {
  Text2->setText(QString::number(HScroll2->value()));
  redraw();
}
void ViewForm::HScroll3_Change() {
  Text3->setText(QString::number(HScroll3->value()));
  redraw();
}

void ViewForm::set_angles(const char* l, const char* w, const char* h) {
  Text1->setText(l);
  Text2->setText(w);
  Text3->setText(h);
}

void ViewForm::Command4_Click() { set_angles("-90", "0", "90"); }
void ViewForm::Command5_Click() { set_angles("0", "180", "0"); }
void ViewForm::Command6_Click() { set_angles("-90", "90", "0"); }

void ViewForm::zoom_in_click() {
  zoom_in(view_win);
  redraw();
}

void ViewForm::zoom_out_click() {
  zoom_out(view_win);
  redraw();
}

void ViewForm::Command17_Click() {
  view_win = view_win0;
  set_height_twips(to_i16(form_h0));
  set_width_twips(to_i16(form_w0));
  redraw();
}

void ViewForm::Form_MouseWheel(int steps, float x, float y) {
  for (int k = 0; k < std::abs(steps); ++k) zoom_about(view_win, steps > 0 ? 1.1 : 0.9, x, y);
  redraw();
}

namespace {
constexpr float twips_per_degree = 2 * twips_per_pixel;
}  // namespace

bool ViewForm::turn_down(int button, bool left_armed, float x, float y) {
  if (!(button == 2 || (button == 1 && !left_armed))) return false;
  turn_ = {true, x, y, {HScroll1->value(), HScroll2->value(), HScroll3->value()}};
  return true;
}

// From where the turn began, so that rounding to whole degrees never adds up.
void ViewForm::turn_move(int shift, float x, float y) {
  if (!turn_.on) return;
  const long across = std::lround((x - turn_.x) / twips_per_degree), up = std::lround((turn_.y - y) / twips_per_degree);
  QScrollBar* sideways = (shift & 1) ? HScroll1 : HScroll3;
  const int base = (shift & 1) ? turn_.start[0] : turn_.start[2];
  sideways->setValue(wrap_degrees(base + across));
  HScroll2->setValue(wrap_degrees(turn_.start[1] + up));
}

bool ViewForm::turn_up() {
  const bool was = turn_.on;
  turn_.on = false;
  return was;
}

void ViewForm::box_zoom_down(bool armed, float x, float y) {
  if (armed) zoom.press(x, y);
}

void ViewForm::box_zoom_move(float x, float y) {
  if (zoom.drag == 1 && value_of(Check2) == 1) zoom.drag_to(canvas(), x, y);
}

void ViewForm::box_zoom_up(float x, float y) {
  if (value_of(Check2) != 1 || zoom.drag != 1) return;
  if (!zoom.release(x, y, static_cast<float>(height_twips()), view_win, view_win0)) return;
  redraw();
  set_value(Check2, 0);
  zoom.drag = 0;
}

void ViewForm::make_status_line(QWidget* parent, const Twips& at) {
  StatusLine = make_label(parent, "Label60", "", at);
  StatusLine->setWordWrap(true);
  StatusLine->setToolTip("What the Last Action did");
}

void ViewForm::set_status(const std::string& text) {
  action_status_ = text;
  if (StatusLine) StatusLine->setText(QString::fromStdString(text));
}

void ViewForm::set_note(const std::string& text) {
  if (StatusLine) StatusLine->setText(QString::fromStdString(text.empty() ? action_status_ : text));
}

std::string ViewForm::status() const { return StatusLine ? StatusLine->text().toStdString() : action_status_; }

void ViewForm::write_view_json(JsonWriter& j) const {
  j.key("view").begin_array().value(view_win.cx).value(view_win.cy);
  j.value(view_win.sx).value(view_win.sy).end_array();
  j.key("zoom_drag").value(int(zoom.drag));
  if (StatusLine) j.key("status").value(status());
}

void ViewForm::make_node_numbers_check(QWidget* frame, const Twips& at) {
  Check6 = make_check(frame, "Check6", "Node No.", at, "Show the Number of Each Node beside It");
  on_click(Check6, this, &ViewForm::Check6_Click);
}

bool ViewForm::node_numbers_shown() const { return Check6 != nullptr && value_of(Check6) == 1; }
