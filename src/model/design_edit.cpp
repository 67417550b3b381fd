// Record removal, corner picking and the geometry of a bar given by its ends.
#include "model/design_edit.h"

#include <cmath>

void remove_record(ModelStore& m, int k) {
  for (int j = k; j <= m.n_gr - 1; ++j) {
    for (int a = 1; a <= 3; ++a) {
      m.gr_len(j, a) = m.gr_len(j + 1, a);
      m.gr_cen(j, a) = m.gr_cen(j + 1, a);
      m.gr_div(j, a) = m.gr_div(j + 1, a);
      m.gr_rot(j, a) = m.gr_rot(j + 1, a);
      for (int c = 1; c <= 8; ++c) m.gr_apex(j, c, a) = m.gr_apex(j + 1, c, a);
    }
    m.gr_div(j, 4) = m.gr_div(j + 1, 4);
    for (int a = 1; a <= 3; ++a) m.gr_mat(j, a) = m.gr_mat(j + 1, a);
  }
}

int16_t pick_corner(const ModelStore& m, const ViewWindow& view, double x, double y) {
  double best = 1e30;
  int16_t picked = 0;
  for (int16_t c = 1; c <= 8; ++c) {
    const double cx = view.sx * m.apex_scr(c, 1) + view.cx;
    const double cy = view.sy * m.apex_scr(c, 2) + view.cy;
    const double d = std::sqrt((cy - y) * (cy - y) + (cx - x) * (cx - x));
    if (d <= best) {
      best = d;
      picked = c;
    }
  }
  return picked;
}

BarEnds bar_end_points(double length, const Vec3& centre, const Vec3& rotation_degrees) {
  const double to_radians = 4 * std::atan(1.0) / 180;
  const Vec3 a(static_cast<float>(rotation_degrees[1] * to_radians), static_cast<float>(rotation_degrees[2] * to_radians),
               static_cast<float>(rotation_degrees[3] * to_radians));
  const float h = static_cast<float>(length / 2);
  Vec3 plus(h, 0, 0), minus(-h, 0, 0);
  Rotate_3D(plus, a);
  Rotate_3D(minus, a);
  BarEnds ends;
  for (int k = 1; k <= 3; ++k) {
    ends.point1[k] = centre[k] + plus[k];
    ends.point2[k] = centre[k] + minus[k];
  }
  return ends;
}

namespace {
// arccos as atan(-x / sqrt(1 - x^2)) + 2 atan(1), for |x| < 1.
double arccos(double x) { return std::atan(-x / std::sqrt(1 - x * x)) + 2 * std::atan(1.0); }

double sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
}  // namespace

std::optional<BarGeometry> bar_from_points(const Point3d& p1, const Point3d& p2) {
  constexpr double pi = pi_modelling;  // 4 atan(1)
  BarGeometry g{};
  Point3d d;
  for (int k = 0; k < 3; ++k) {
    g.centre[k] = (p1[k] + p2[k]) / 2;
    d[k] = p1[k] - p2[k];
  }
  g.length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  if (g.length == 0) return std::nullopt;
  const double horizontal = std::sqrt(d[0] * d[0] + d[1] * d[1]);
  // About W: the bar's slope out of the L-W plane; about H: its heading within that plane.
  double x = horizontal / g.length;
  const double a2 = x > 0.999998 ? 0 : x < -0.999998 ? pi : -arccos(x) * sign(d[2]);
  double a3 = 0;
  if (horizontal != 0) {
    x = d[0] / horizontal;
    a3 = x > 0.999998 ? 0 : x < -0.999998 ? pi : arccos(x) * sign(d[1]);
  }
  g.rotation_degrees = {0.0, a2 / pi * 180, a3 / pi * 180};
  return g;
}
