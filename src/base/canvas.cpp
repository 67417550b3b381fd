// Shared behaviour of every drawing surface: the current position and attributes.
#include "base/canvas.h"

#include "formats/errors.h"

Rgb palette_rgb(int colour) {
  static constexpr Rgb palette[16] = {
      {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {0, 128, 128},   {128, 0, 0},     {128, 0, 128},
      {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},   {0, 255, 0},     {0, 255, 255},
      {255, 0, 0},   {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
  if (colour >= first_rgb_colour && colour < first_rgb_colour + 0x1000000)
    return {(colour >> 16) & 255, (colour >> 8) & 255, colour & 255};
  if (colour < 0 || colour > 15) raise_error(err::subscript, "palette colour " + std::to_string(colour));
  return palette[colour];
}

void Canvas::clear() {
  do_clear();
  state_.x = 0;
  state_.y = 0;
}

void Canvas::line(double x1, double y1, double x2, double y2, int colour) {
  do_line(x1, y1, x2, y2, colour);
  state_.x = x2;
  state_.y = y2;
}

void Canvas::rect(double x1, double y1, double x2, double y2, int colour, bool filled) {
  do_rect(x1, y1, x2, y2, colour, filled);
  state_.x = x2;
  state_.y = y2;
}

void Canvas::circle(double x, double y, double radius, int colour) {
  do_circle(x, y, radius, colour);
  state_.x = x;
  state_.y = y;
}

void Canvas::text(const std::string& s) {
  double width = 0, height = 0;
  do_text(s, width, height);
  // Printing ends the line: the next text starts below, at the left margin.
  state_.x = 0;
  state_.y += height;
}

void Canvas::measure_text(const std::string& s, double& width, double& height) const {
  // A point is 20 twips.
  height = state_.font_size * 20 * 1.15;
  width = static_cast<double>(s.size()) * state_.font_size * 10;
}

void Canvas::move_to(double x, double y) {
  state_.x = x;
  state_.y = y;
}
