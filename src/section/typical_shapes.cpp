// Generation of the prepared sections.
#include "section/typical_shapes.h"

#include <cmath>
#include <limits>

namespace {
void set_point(SectionTable& t, int s, int p, float w, float h) {
  t.pnt_xy(s, p, 1) = w;
  t.pnt_xy(s, p, 2) = h;
}

void set_line(SectionTable& t, int s, int l, int p1, int p2, float thickness) {
  t.line_pnt(s, l, 1) = static_cast<int16_t>(p1);
  t.line_pnt(s, l, 2) = static_cast<int16_t>(p2);
  t.line_t(s, l) = thickness;
}

// A product that stays above 0 once rounded to a Single: below half the least Single it
// rounds to 0.
bool positive_as_single(double product) { return product > std::numeric_limits<float>::denorm_min() / 2.0; }
}  // namespace

void make_rectangular_tube(SectionTable& t, int s, float w, float h, float th) {
  t.n_pnt(s) = 4;
  set_point(t, s, 1, w / 2, h / 2);
  set_point(t, s, 2, w / 2, -h / 2);
  set_point(t, s, 3, -w / 2, -h / 2);
  set_point(t, s, 4, -w / 2, h / 2);
  t.n_line(s) = 4;
  for (int l = 1; l <= 4; ++l) set_line(t, s, l, l, l % 4 + 1, th);
}

void make_octagon(SectionTable& t, int s, float r, float th) {
  t.n_pnt(s) = 8;
  t.n_line(s) = 8;
  for (int n = 1; n <= 8; ++n) {
    const double angle = (n - 1) * 6.28318 / 8;
    set_point(t, s, n, static_cast<float>(r * std::cos(angle)), static_cast<float>(r * std::sin(angle)));
    set_line(t, s, n, n, n + 1, th);
  }
  t.line_pnt(s, 8, 2) = 1;  // closes the ring
}

bool make_typical_shape(SectionTable& t, int s, const TypicalShapeInput& in) {
  if (in.shape == TypicalShape::rectangular) {
    if (!positive_as_single(double(in.width) * in.height * in.thickness)) return false;
    make_rectangular_tube(t, s, in.width, in.height, in.thickness);
  } else {
    if (!positive_as_single(double(in.radius) * in.thickness)) return false;
    make_octagon(t, s, in.radius, in.thickness);
  }
  return true;
}
