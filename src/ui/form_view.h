// What both drawing windows share: the view-angle frame with its mirrored texts and scroll
// bars, the set-plane buttons, zoom in/out, "FIT" and the box zoom, and the view window.
#pragma once

#include <string>

#include "base/rotate.h"
#include "base/view_window.h"
#include "ui/form_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

struct Twips;

// Names and captions of a window's own zoom buttons ("Command21" "in" / "Command8" "IN").
struct ZoomButtonNames {
  const char* in_name;
  const char* in_caption;
  const char* out_name;
  const char* out_caption;
};

class ViewForm : public FormWindow {
  Q_OBJECT

 public:
  ViewForm(const char* name, int width_twips, int height_twips, ViewWindow initial, double pi,
           ZoomButtonNames zoom, int frame_left, int frame_top);

  // Redraws the whole surface from the data (each window's own rule).
  virtual void redraw() = 0;
  // The view angles in radians from the angle texts.
  Vec3 view_angles() const;

  // Angle mirrors, set-plane buttons, zoom.
  void Text1_Change();
  void Text2_Change();
  void Text3_Change();
  void HScroll1_Change();
  void HScroll2_Change();
  void HScroll3_Change();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command17_Click();
  virtual void Check2_Click() {}
  void Check6_Click() { redraw(); }
  void zoom_in_click();
  void zoom_out_click();
  // The wheel zooms about the pointer, a notch as "in" or "out".
  void Form_MouseWheel(int steps, float x, float y) override;

  QWidget* Frame1;
  QLineEdit* Text1;
  QLineEdit* Text2;
  QLineEdit* Text3;
  QScrollBar* HScroll1;
  QScrollBar* HScroll2;
  QScrollBar* HScroll3;
  QWidget* Frame9;
  QPushButton* Command4;
  QPushButton* Command5;
  QPushButton* Command6;
  QWidget* Frame15;
  QPushButton* Command17;
  QCheckBox* Check2;
  // "Node No.": each node's number beside it. Each window places it in its own view controls.
  QCheckBox* Check6 = nullptr;
  bool node_numbers_shown() const;

  // The status line: what the last action did ("Saved temp_save.dat"). A passing note (the node
  // under the pointer) takes its place until an empty note gives the last action back.
  void set_status(const std::string& text);
  void set_note(const std::string& text);
  std::string status() const;
  QLabel* StatusLine = nullptr;  // made by the windows that have one

  ViewWindow view_win;
  ViewWindow view_win0;
  int form_w0 = 0, form_h0 = 0;
  BoxZoom zoom;

 protected:
  // The view part of the window's load: view window and its copy, extents, zoom flag.
  void view_load();
  // The box zoom's three mouse steps; `armed` is the window's own condition for a press.
  void box_zoom_down(bool armed, float x, float y);
  void box_zoom_move(float x, float y);
  void box_zoom_up(float x, float y);
  void write_view_json(JsonWriter& j) const;
  void make_node_numbers_check(QWidget* frame, const Twips& at);
  void make_status_line(QWidget* parent, const Twips& at);
  // Turning the view with the mouse: a press of the right button, or of the left while the
  // window has nothing armed for it (`left_armed`: picking, box zoom), starts a turn and is
  // taken (true); moving turns by a degree per two pixels, sideways about H (about L with
  // shift), up and down about W; the angles' scroll bars and texts follow.
  bool turn_down(int button, bool left_armed, float x, float y);
  void turn_move(int shift, float x, float y);
  bool turn_up();  // true when it ended a turn

  QPushButton* zoom_in_button;
  QPushButton* zoom_out_button;

 private:
  void set_angles(const char* l, const char* w, const char* h);
  void wire_view();
  ViewWindow initial_;
  double pi_;
  std::string action_status_;
  struct Turn {
    bool on = false;
    float x = 0, y = 0;
    int start[3] = {0, 0, 0};  // the angles when the turn began, degrees
  } turn_;
};
