// Clipping and Bresenham's walk over a pixel buffer.
#include "base/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// Liang-Barsky: cuts the segment to [0, w) x [0, h); false when nothing is left.
bool clip(double& x1, double& y1, double& x2, double& y2, double w, double h) {
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1, w - 1e-9 - x1, y1, h - 1e-9 - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
  x2 = x1 + t1 * dx;
  y2 = y1 + t1 * dy;
  x1 = ax;
  y1 = ay;
  return true;
}

// Bresenham's walk; at every step `width` pixels across the main direction, starting `first`
// pixels to one side. `Checked` tests every pixel against the buffer; a walk known to stay
// inside does without.
template <bool Checked, bool Dotted>
void walk(const PixelBuffer& b, int x0, int y0, int x1, int y1, uint32_t colour, int width, int first) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  const bool flat = dx >= -dy;
  const long across = flat ? b.stride : 1;  // from one pixel of a step to the next
  int err = dx + dy, phase = 0;
  for (;;) {
    if (!Dotted || phase == 0) {
      const int fx = flat ? x0 : x0 + first, fy = flat ? y0 + first : y0;
      uint32_t* p = b.pixels + static_cast<long>(fy) * b.stride + fx;
      for (int k = 0; k < width; ++k, p += across) {
        if (Checked) {
          const int x = flat ? fx : fx + k, y = flat ? fy + k : fy;
          if (x < 0 || y < 0 || x >= b.width || y >= b.height) continue;
        }
        *p = colour;
      }
    }
    if (x0 == x1 && y0 == y1) return;
    if (Dotted) phase = phase == 2 ? 0 : phase + 1;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

template <bool Dotted>
void walk(const PixelBuffer& b, int x0, int y0, int x1, int y1, uint32_t colour, int width, int first) {
  const int lo = first, hi = first + width - 1;  // pixels across, relative to the centre
  const bool inside = std::min(x0, x1) + lo >= 0 && std::min(y0, y1) + lo >= 0 &&
                      std::max(x0, x1) + hi < b.width && std::max(y0, y1) + hi < b.height;
  if (inside)
    walk<false, Dotted>(b, x0, y0, x1, y1, colour, width, first);
  else
    walk<true, Dotted>(b, x0, y0, x1, y1, colour, width, first);
}
}  // namespace

void raster_line(const PixelBuffer& b, double x1, double y1, double x2, double y2, uint32_t colour, int width,
                 bool dotted) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  const int w = width < 1 ? 1 : width;
  // The centre line is clipped to the buffer widened by the line's half width, so that the
  // edge of a wide line along the border stays; pixels outside are skipped one by one.
  const double margin = w / 2.0 + 1;
  double ax = x1 + margin, ay = y1 + margin, bx = x2 + margin, by = y2 + margin;
  if (!clip(ax, ay, bx, by, b.width + 2 * margin, b.height + 2 * margin)) return;
  const int px1 = static_cast<int>(std::floor(ax - margin)), py1 = static_cast<int>(std::floor(ay - margin));
  const int px2 = static_cast<int>(std::floor(bx - margin)), py2 = static_cast<int>(std::floor(by - margin));
  if (dotted)
    walk<true>(b, px1, py1, px2, py2, colour, w, -(w - 1) / 2);
  else
    walk<false>(b, px1, py1, px2, py2, colour, w, -(w - 1) / 2);
}
