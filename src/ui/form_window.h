// The base of every window: its designer name, a drawing surface that is the window's own
// background, mouse and key events converted to twips and passed to the window's handlers,
// and its extent in twips.
#pragma once

#include <QWidget>
#include <string>

#include "ui/qt_canvas.h"

class JsonWriter;

class FormWindow : public QWidget {
  Q_OBJECT

 public:
  FormWindow(const char* name, const QString& caption, int width_twips, int height_twips);

  QtCanvas& canvas() { return canvas_; }

  // Runs once when the registry loads the window, after construction.
  virtual void Form_Load() {}
  // Mouse events on the drawing surface: button 1 left, 2 right, 4 middle; shift 1 shift,
  // 2 ctrl, 4 alt; position in twips.
  virtual void Form_MouseDown(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
  virtual void Form_MouseMove(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
  virtual void Form_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
  // The mouse wheel: `steps` notches away from the user (negative towards), position in twips.
  virtual void Form_MouseWheel(int /*steps*/, float /*x*/, float /*y*/) {}
  virtual void Form_KeyPress(int /*ascii*/) {}
  // Closing by the window's own close button; by default it ends the program, since a
  // window-less program that keeps running cannot be reached any more.
  virtual void Form_Unload();
  // The window's state for the scenario runner's dump.
  virtual void dump(JsonWriter& j);
  // Runs a public procedure by name (Grnd, Draw_3D, ...); false when the window has none.
  virtual bool call(const std::string& /*procedure*/) { return false; }

  int height_twips() const { return height() * twips_per_pixel; }
  int width_twips() const { return width() * twips_per_pixel; }
  void set_height_twips(int twips);
  void set_width_twips(int twips);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QtCanvas canvas_;
  int wheel_eighths_ = 0;
};
