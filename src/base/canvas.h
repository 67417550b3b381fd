// The drawing surface every display draws on: measured in twips with y growing downwards,
// colours are palette numbers 0..15, line widths are pixels. The surface keeps the current
// attributes and the current position as a window's surface does; implementations paint
// (the Qt canvas) or record (tests, the scenario runner).
#pragma once

#include <cstdint>
#include <string>

enum class LineStyle { solid = 0, dash = 1, dot = 2, dash_dot = 3, dash_dot_dot = 4 };
enum class FillStyle { solid = 0, transparent = 1, diagonal_cross = 7 };

struct Rgb {
  int r, g, b;
};
// Colours: 0..15 the 16-colour palette (0 black .. 15 bright white); beyond it any RGB colour,
// numbered by rgb_colour, for the scales of the force and utilisation views.
Rgb palette_rgb(int colour);
inline constexpr int first_rgb_colour = 0x1000000;
constexpr int rgb_colour(Rgb c) { return first_rgb_colour + (c.r << 16) + (c.g << 8) + c.b; }

// The background of both drawing windows, RGB (192, 192, 255).
inline constexpr Rgb window_background{192, 192, 255};

struct CanvasState {
  int line_width = 1;  // pixels
  LineStyle line_style = LineStyle::solid;
  FillStyle fill_style = FillStyle::transparent;
  int fill_colour = 0;
  int text_colour = 0;
  double font_size = 8.25;  // points
  double x = 0, y = 0;      // current position, twips
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Clears the surface to the background and moves the current position to (0, 0).
  void clear();
  // A straight line from (x1, y1) to (x2, y2); the current position moves to its end.
  void line(double x1, double y1, double x2, double y2, int colour);
  // A rectangle outline, or filled in its colour; the current position moves to (x2, y2).
  void rect(double x1, double y1, double x2, double y2, int colour, bool filled);
  // A circle outlined in colour and filled as the fill style and fill colour say.
  void circle(double x, double y, double radius, int colour);
  // Text at the current position; the position then moves to the start of the next line.
  void text(const std::string& s);
  void move_to(double x, double y);
  // The width and height in twips that `s` takes at the current font size. A surface that paints
  // measures with its font; the others take half the font size a character, a line 1.15 of it.
  virtual void measure_text(const std::string& s, double& width, double& height) const;

  CanvasState& state() { return state_; }
  const CanvasState& state() const { return state_; }
  void set_line_width(int pixels) { state_.line_width = pixels; }
  void set_line_style(LineStyle s) { state_.line_style = s; }
  void set_fill_style(FillStyle s) { state_.fill_style = s; }
  void set_fill_colour(int c) { state_.fill_colour = c; }
  void set_text_colour(int c) { state_.text_colour = c; }
  void set_font_size(double points) { state_.font_size = points; }

 protected:
  // What an implementation does for each primitive; the state holds the attributes.
  virtual void do_clear() = 0;
  virtual void do_line(double x1, double y1, double x2, double y2, int colour) = 0;
  virtual void do_rect(double x1, double y1, double x2, double y2, int colour, bool filled) = 0;
  virtual void do_circle(double x, double y, double radius, int colour) = 0;
  // Draws the text at the current position and returns its width and height in twips.
  virtual void do_text(const std::string& s, double& width, double& height) = 0;

 private:
  CanvasState state_;
};
