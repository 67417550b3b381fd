// The frame across a beam element.
#include "post/element_frame.h"

ElementAxes element_axes(const P3& a, P3 r) {
  const double len = norm(a);
  if (!(len > 0) || !std::isfinite(len)) return {};  // an element of zero length is a point
  P3 v1 = cross(a, r);
  double n1 = norm(v1);
  if (!(n1 > 1e-9 * len * norm(r)) || !std::isfinite(n1)) {
    // A reference along the element (or none at all): the global axis most across it.
    size_t k = 0;
    for (size_t i = 1; i < 3; ++i)
      if (std::fabs(a[i]) < std::fabs(a[k])) k = i;
    r = P3{};
    r[k] = 1;
    v1 = cross(a, r);
    n1 = norm(v1);
  }
  const P3 v2 = cross(v1, a);
  return {(1 / n1) * v1, (1 / norm(v2)) * v2};
}
