// View window arithmetic: projection to the surface, zoom in and out, box zoom.
#include "base/view_window.h"

#include <algorithm>
#include <cmath>

#include "base/canvas.h"
#include "formats/numtext.h"

ScreenPoint to_screen(const ViewWindow& view, double u, double v) {
  return {round_even(u * view.sx + view.cx), round_even(v * view.sy + view.cy)};
}

namespace {
void scale_view(ViewWindow& view, double offset_factor, double scale_factor) {
  view.cx = static_cast<float>(view.cx * offset_factor);
  view.cy = static_cast<float>(view.cy * offset_factor);
  view.sx = static_cast<float>(view.sx * scale_factor);
  view.sy = static_cast<float>(view.sy * scale_factor);
}

}  // namespace

void zoom_in(ViewWindow& view) { scale_view(view, 1.01, 1.1); }
void zoom_out(ViewWindow& view) { scale_view(view, 0.99, 0.9); }

// A normalised point u lies at u sx + cx; keeping x = u sx + cx with sx' = f sx gives
// cx' = x - (x - cx) f.
void zoom_about(ViewWindow& view, double factor, double x, double y) {
  view.cx = static_cast<float>(x - (x - double(view.cx)) * factor);
  view.cy = static_cast<float>(y - (y - double(view.cy)) * factor);
  view.sx = static_cast<float>(view.sx * factor);
  view.sy = static_cast<float>(view.sy * factor);
}

void BoxZoom::press(float x, float y) {
  x1 = x2 = x;
  y1 = y2 = y;
  drag = 1;
}

void BoxZoom::drag_to(Canvas& canvas, float x, float y) {
  constexpr int white = 15, light_red = 12;
  canvas.set_line_width(1);
  canvas.set_line_style(LineStyle::solid);
  canvas.line(x1, y1, x2, y1, white);
  canvas.line(x1, y1, x1, y2, white);
  canvas.line(x1, y1, x, y1, light_red);
  canvas.line(x1, y1, x1, y, light_red);
  x2 = x;
  y2 = y;
}

bool BoxZoom::release(float x, float y, float extent, ViewWindow& view, const ViewWindow& initial) {
  x2 = x;
  y2 = y;
  const double e = extent;
  const double dx = std::fabs(double(x2) - x1), dy = std::fabs(double(y2) - y1);
  if (dx == 0 || dy == 0) {
    view = initial;
    return false;
  }
  const double sx = e * view.sx / dx, sy = e * view.sy / dy;
  const double scale = sy < sx ? sy : sx;
  const double cx = e / 2 - (e / dx) / 2 * ((double(x1) + x2) - 2.0 * view.cx);
  const double cy = e / 2 - (e / dy) / 2 * ((double(y1) + y2) - 2.0 * view.cy);
  if (!in_single_range(scale) || !in_single_range(cx) || !in_single_range(cy)) {
    view = initial;
    return false;
  }
  view = {static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(scale), static_cast<float>(scale)};
  drag = 0;
  return true;
}
