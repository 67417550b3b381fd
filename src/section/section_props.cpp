// Area and second moments of a section sketch.
#include "section/section_props.h"

#include <cmath>

SectionProperties section_properties(const SectionTable& t, int s, MomentSums sums) {
  // Sums, increments and intermediate values follow the precision the file has always been
  // written with: each named intermediate is a Single; powers are taken in double.
  float sec_a = 0, iw_single = 0, ih_single = 0;
  double iw_double = 0, ih_double = 0;
  const bool single = sums == MomentSums::single_precision;

  for (int l = 1; l <= t.n_line(s); ++l) {
    const int p1 = t.line_pnt(s, l, 1), p2 = t.line_pnt(s, l, 2);
    const float w1 = t.pnt_xy(s, p1, 1), h1 = t.pnt_xy(s, p1, 2);
    const float w2 = t.pnt_xy(s, p2, 1), h2 = t.pnt_xy(s, p2, 2);
    const float th = t.line_t(s, l);
    const float dw = w2 - w1, dh = h2 - h1;
    const float len = static_cast<float>(std::sqrt(double(dw) * dw + double(dh) * dh));
    if (!(len > 0)) continue;

    const float area = len * th;
    sec_a = sec_a + area;
    const float a = static_cast<float>(std::pow(double(th), 3) * len / 12);  // across the wall
    const float b = static_cast<float>(std::pow(double(len), 3) * th / 12);  // along the wall
    const float ratio = dw / len;
    const float c = static_cast<float>(double(ratio) * ratio);  // cos^2 of the angle to W
    const float own_w = a * c + (1 - c) * b;
    const float own_h = (1 - c) * a + c * b;
    const float mid_h = (h1 + h2) / 2, mid_w = (w1 + w2) / 2;
    const double shift_w = double(mid_h) * mid_h * area;  // parallel-axis terms
    const double shift_h = double(mid_w) * mid_w * area;

    if (single) {
      iw_single = iw_single + own_w;
      iw_single = static_cast<float>(iw_single + shift_w);
      ih_single = ih_single + own_h;
      ih_single = static_cast<float>(ih_single + shift_h);
    } else {
      iw_double = iw_double + own_w;
      iw_double = iw_double + shift_w;
      ih_double = ih_double + own_h;
      ih_double = ih_double + shift_h;
    }
  }
  SectionProperties p;
  p.sec_a = sec_a;
  p.sec_iw = single ? iw_single : iw_double;
  p.sec_ih = single ? ih_single : ih_double;
  return p;
}
