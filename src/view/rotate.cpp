// Rotation about the three global axes in turn.
#include "view/rotate.h"

#include <cmath>

#include "app/errors.h"
#include "formats/numtext.h"

namespace {
float to_single(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 3.4028234663852886e38) raise_error(err::overflow);
  return static_cast<float>(v);
}
}  // namespace

void Rotate_3D(Vec3& p, const Vec3& a) {
  // About L: W and H turn, L stays.
  double s = std::sin(double(a[1])), c = std::cos(double(a[1]));
  float w = to_single(p[2] * c - p[3] * s);
  float h = to_single(p[3] * c + p[2] * s);
  p[2] = w;
  p[3] = h;
  // About W: H and L turn.
  s = std::sin(double(a[2]));
  c = std::cos(double(a[2]));
  float l = to_single(p[3] * s + p[1] * c);
  h = to_single(-p[1] * s + p[3] * c);
  p[1] = l;
  p[3] = h;
  // About H: L and W turn.
  s = std::sin(double(a[3]));
  c = std::cos(double(a[3]));
  l = to_single(p[1] * c - p[2] * s);
  w = to_single(p[2] * c + p[1] * s);
  p[1] = l;
  p[2] = w;
}

Vec3 angles_from_texts(std::string_view l, std::string_view w, std::string_view h, double pi) {
  auto radians = [pi](std::string_view text) -> float {
    if (!is_number(text)) return 0.0f;
    return static_cast<float>(to_number(text) / 180.0 * pi);
  };
  return Vec3(radians(l), radians(w), radians(h));
}
