// The view window of a drawing window (offset and scale from normalised model coordinates to
// twips on the surface), its zoom operations, and the box zoom dragged with the mouse.
#pragma once

#include <cstdint>

class Canvas;

struct ViewWindow {
  float cx = 0, cy = 0;  // surface position of normalised 0, twips
  float sx = 0, sy = 0;  // twips per normalised unit
  bool operator==(const ViewWindow&) const = default;
};

inline constexpr ViewWindow modelling_view{3500, 4500, 3000, 3000};
inline constexpr ViewWindow post_view{4000, 4000, 6000, 6000};

// Surface position (twips) of a normalised point (u, v): the nearest whole numbers of
// u sx + cx and v sy + cy, halves to even.
struct ScreenPoint {
  int x, y;
  bool operator==(const ScreenPoint&) const = default;
};
ScreenPoint to_screen(const ViewWindow& view, double u, double v);

// Zoom in multiplies the offsets by 1.01 and the scales by 1.1; zoom out by 0.99 and 0.9.
// The offsets move too, so the picture also shifts from or towards the top-left corner.
void zoom_in(ViewWindow& view);
void zoom_out(ViewWindow& view);
// The mouse wheel's zoom: the scales times `factor` (1.1 in, 0.9 out, as the buttons), the
// offsets moved so that the surface point (x, y), in twips, stays where it is.
void zoom_about(ViewWindow& view, double factor, double x, double y);

// Box zoom: a drag from one corner to another brings the box to the square of side E (the
// surface height) at the top-left corner of the surface.
struct BoxZoom {
  int16_t drag = 0;  // 1 while a box is being dragged
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;

  void press(float x, float y);
  // Erases the previous rubber band in white, draws the new one in light red: two edges from
  // the start corner. The white traces stay on the blue background until the next redraw.
  void drag_to(Canvas& canvas, float x, float y);
  // Ends the drag at (x, y) and zooms the view; true when the view was zoomed (redraw and
  // disarm). An empty box or an arithmetic overflow resets the view to `initial` and returns
  // false with the drag still armed.
  bool release(float x, float y, float extent, ViewWindow& view, const ViewWindow& initial);
};
