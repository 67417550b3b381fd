// Rotation about the three global axes in turn.
#include "base/rotate.h"

#include <cmath>
#include <cstdlib>

#include "formats/numtext.h"

FixedRotation::FixedRotation(const Vec3& angles) {
  for (int i = 0; i < 3; ++i) {
    sin_[i] = std::sin(double(angles[i + 1]));
    cos_[i] = std::cos(double(angles[i + 1]));
  }
}

void FixedRotation::apply(Vec3& p) const {
  // About L: W and H turn, L stays.
  float w = to_single(p[2] * cos_[0] - p[3] * sin_[0]);
  float h = to_single(p[3] * cos_[0] + p[2] * sin_[0]);
  p[2] = w;
  p[3] = h;
  // About W: H and L turn.
  float l = to_single(p[3] * sin_[1] + p[1] * cos_[1]);
  h = to_single(-p[1] * sin_[1] + p[3] * cos_[1]);
  p[1] = l;
  p[3] = h;
  // About H: L and W turn.
  l = to_single(p[1] * cos_[2] - p[2] * sin_[2]);
  w = to_single(p[2] * cos_[2] + p[1] * sin_[2]);
  p[1] = l;
  p[2] = w;
}

void Rotate_3D(Vec3& p, const Vec3& a) { FixedRotation(a).apply(p); }

Vec3 angles_from_texts(std::string_view l, std::string_view w, std::string_view h, double pi) {
  auto radians = [pi](std::string_view text) -> float {
    if (!is_number(text)) return 0.0f;
    return static_cast<float>(to_number(text) / 180.0 * pi);
  };
  return Vec3(radians(l), radians(w), radians(h));
}

int wrap_degrees(long degrees) {
  long a = degrees % 360;
  if (degrees > 360 && a == 0) a = 360;
  if (degrees < -360 && a == 0) a = -360;
  return static_cast<int>(std::abs(degrees) <= 360 ? degrees : a);
}
