// Event conversion and the persistent drawing surface of every window.
#include "ui/form_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>

#include "formats/errors.h"
#include "formats/json.h"
#include "ui/shell.h"

FormWindow::FormWindow(const char* name, const QString& caption, int width_twips, int height_twips)
    : QWidget(nullptr), canvas_(this) {
  setObjectName(name);
  setWindowTitle(caption);
  setAttribute(Qt::WA_DeleteOnClose, false);
  setFocusPolicy(Qt::StrongFocus);
  resize(width_twips / twips_per_pixel, height_twips / twips_per_pixel);
  canvas_.resize(width(), height());
}

void FormWindow::Form_Unload() { shell().end_program(); }

void FormWindow::dump(JsonWriter&) {}

void FormWindow::set_height_twips(int twips) { resize(width(), twips / twips_per_pixel); }
void FormWindow::set_width_twips(int twips) { resize(twips / twips_per_pixel, height()); }

void FormWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, canvas_.image());
}

void FormWindow::resizeEvent(QResizeEvent*) { canvas_.resize(width(), height()); }

namespace {
int button_of(Qt::MouseButtons b) {
  return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}
int shift_of(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}
float twips(double pixels) { return static_cast<float>(pixels * twips_per_pixel); }
}  // namespace

void FormWindow::mousePressEvent(QMouseEvent* e) {
  run_guarded([&] {
    Form_MouseDown(button_of(e->button()), shift_of(e->modifiers()), twips(e->position().x()), twips(e->position().y()));
  });
}

void FormWindow::mouseMoveEvent(QMouseEvent* e) {
  run_guarded([&] {
    Form_MouseMove(button_of(e->buttons()), shift_of(e->modifiers()), twips(e->position().x()), twips(e->position().y()));
  });
}

void FormWindow::mouseReleaseEvent(QMouseEvent* e) {
  run_guarded([&] {
    Form_MouseUp(button_of(e->button()), shift_of(e->modifiers()), twips(e->position().x()), twips(e->position().y()));
  });
}

// A notch is 120 eighths of a degree; fine-stepping wheels add up to whole notches.
void FormWindow::wheelEvent(QWheelEvent* e) {
  wheel_eighths_ += e->angleDelta().y();
  const int steps = wheel_eighths_ / 120;
  wheel_eighths_ -= steps * 120;
  if (steps != 0) run_guarded([&] { Form_MouseWheel(steps, twips(e->position().x()), twips(e->position().y())); });
  e->accept();
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
  const QString text = e->text();
  if (text.isEmpty()) return QWidget::keyPressEvent(e);
  run_guarded([&] { Form_KeyPress(text.at(0).unicode()); });
}

void FormWindow::closeEvent(QCloseEvent* e) {
  // The registry owns the window: it is unloaded, never just closed.
  e->ignore();
  run_guarded([&] { Form_Unload(); });
}
