// The three-angle rotation shared by the displays, box generation and corner moves,
// and the view-angle vector read from the angle text boxes.
#pragma once

#include <numbers>
#include <string_view>

// A point or vector in the global axes; components are 1-based: 1 = L, 2 = W, 3 = H.
struct Vec3 {
  float c[3] = {0, 0, 0};
  Vec3() = default;
  Vec3(float l, float w, float h) : c{l, w, h} {}
  float& operator[](int axis) { return c[axis - 1]; }
  float operator[](int axis) const { return c[axis - 1]; }
};

// Rotate_3D for many points turned by the same angles: the sines and cosines are taken once.
// Angles in radians about L, W, H.
class FixedRotation {
 public:
  explicit FixedRotation(const Vec3& angles);
  void apply(Vec3& p) const;

 private:
  double sin_[3], cos_[3];
};

// Turns p in place by a[1] about L, then a[2] about W, then a[3] about H (radians,
// right-handed): p := Rz(a3) Ry(a2) Rx(a1) p, each step stored back in single precision.
// "Overflow" when a component leaves the single range.
void Rotate_3D(Vec3& p, const Vec3& a);

// The modelling window's pi is 4 atan(1); the post-processing window uses 3.14159.
inline constexpr double pi_modelling = std::numbers::pi;
inline constexpr double pi_post = 3.14159;

// A whole-degree view angle brought into -360..360, the range of the angle scroll bars, by
// whole turns.
int wrap_degrees(long degrees);

// Angle vector in radians from three texts in degrees: a(k) = value / 180 * pi in double
// precision, stored as Single. A text that is not a number gives 0 for its angle, so that
// a drawing never fails while the user is typing.
Vec3 angles_from_texts(std::string_view l, std::string_view w, std::string_view h, double pi);
