// Rotation, projection, zoom and box-zoom arithmetic of the drawing windows.
#include <gtest/gtest.h>

#include <cmath>

#include "base/rotate.h"
#include "base/view_window.h"
#include "formats/mirror.h"
#include "support/drawing.h"
#include "support/test_support.h"

namespace {
Vec3 degrees(double l, double w, double h) {
  auto rad = [](double d) { return static_cast<float>(d / 180.0 * pi_modelling); };
  return Vec3(rad(l), rad(w), rad(h));
}

void expect_near(const Vec3& p, float l, float w, float h) {
  EXPECT_NEAR(p[1], l, 1e-6);
  EXPECT_NEAR(p[2], w, 1e-6);
  EXPECT_NEAR(p[3], h, 1e-6);
}
}  // namespace

TEST(Rotate3D, AppliesLThenWThenH) {
  // Rx(90) takes W to H, Ry(90) takes H to L, Rz(90) takes L to W: W ends on W.
  Vec3 p(0, 1, 0);
  Rotate_3D(p, degrees(90, 90, 90));
  expect_near(p, 0, 1, 0);
  // In the other order the same angles would give a different vector; a general case
  // against the matrix product Rz Ry Rx.
  const double a = 0.3, b = -1.1, c = 2.0;
  Vec3 q(1.5f, -2.0f, 0.75f);
  Rotate_3D(q, Vec3(float(a), float(b), float(c)));
  const double x = 1.5, y = -2.0, z = 0.75;
  const double y1 = y * std::cos(a) - z * std::sin(a), z1 = z * std::cos(a) + y * std::sin(a);
  const double x2 = z1 * std::sin(b) + x * std::cos(b), z2 = -x * std::sin(b) + z1 * std::cos(b);
  const double x3 = x2 * std::cos(c) - y1 * std::sin(c), y3 = y1 * std::cos(c) + x2 * std::sin(c);
  expect_near(q, float(x3), float(y3), float(z2));
}

TEST(Rotate3D, OverflowOfSingleRangeIsARunTimeError) {
  Vec3 p(3e38f, 3e38f, 0);
  EXPECT_EQ(test_support::error_name_of([&] { Rotate_3D(p, degrees(0, 0, 45)); }), "Overflow");
}

TEST(ViewAngles, ReadFromTextsAndZeroWhenNotANumber) {
  const Vec3 a = angles_from_texts("90", "-180", "abc", pi_modelling);
  EXPECT_FLOAT_EQ(a[1], float(pi_modelling / 2));
  EXPECT_FLOAT_EQ(a[2], float(-pi_modelling));
  EXPECT_EQ(a[3], 0.0f);
  // The post-processing window's own pi.
  EXPECT_FLOAT_EQ(angles_from_texts("180", "", "-", pi_post)[1], 3.14159f);
}

TEST(ViewWindowArithmetic, ZoomInAndOutScaleOffsetsAndScales) {
  ViewWindow v = modelling_view;
  zoom_in(v);
  EXPECT_EQ(v, (ViewWindow{3535, 4545, 3300, 3300}));
  v = modelling_view;
  zoom_out(v);
  EXPECT_EQ(v, (ViewWindow{3465, 4455, 2700, 2700}));
}

TEST(ViewMouse, WheelZoomKeepsThePointerAndAnglesWrapByWholeTurns) {
  ViewWindow v{3500, 4500, 3000, 3000};
  zoom_about(v, 1.1, 3000, 4000);
  EXPECT_EQ(v, (ViewWindow{3550, 4550, 3300, 3300}));
  // (3000 - cx) / sx, the normalised point under the pointer, is unchanged: -1/6.
  EXPECT_NEAR((3000 - v.cx) / v.sx, -1.0 / 6, 1e-6);
  EXPECT_EQ(wrap_degrees(365), 5);
  EXPECT_EQ(wrap_degrees(-370), -10);
  EXPECT_EQ(wrap_degrees(360), 360);
  EXPECT_EQ(wrap_degrees(720), 360);
  EXPECT_EQ(wrap_degrees(-45), -45);
}

TEST(ViewWindowArithmetic, ScreenPositionsRoundHalvesToEven) {
  const ViewWindow v{100, 200, 5, 5};
  EXPECT_EQ(to_screen(v, 0.5, -0.5), (ScreenPoint{102, 198}));  // 102.5 -> 102, 197.5 -> 198
  EXPECT_EQ(to_screen(v, 0.7, 0.1), (ScreenPoint{104, 200}));   // 103.5 -> 104, 200.5 -> 200
}

TEST(BoxZoom, UsesTheSmallerRatioAndCentresTheBox) {
  BoxZoom z;
  ViewWindow v = modelling_view;
  z.press(2000, 3000);
  ASSERT_TRUE(z.release(3000, 3500, 8235, v, modelling_view));  // 1000 wide, 500 high
  // Width ratio 8235/1000 against height ratio 8235/500: the width's wins for both scales.
  EXPECT_FLOAT_EQ(v.sx, 8235.0f * 3000 / 1000);
  EXPECT_FLOAT_EQ(v.sy, v.sx);
  // cx = E/2 - (E/dx)/2 ((x1 + x2) - 2 cx0); cy alike with dy.
  EXPECT_FLOAT_EQ(v.cx, float(8235 / 2.0 - (8235 / 1000.0) / 2 * (5000 - 7000)));
  EXPECT_FLOAT_EQ(v.cy, float(8235 / 2.0 - (8235 / 500.0) / 2 * (6500 - 9000)));
  EXPECT_EQ(z.drag, 0);
}

TEST(BoxZoom, EmptyBoxResetsTheViewAndStaysArmed) {
  BoxZoom z;
  ViewWindow v{1, 2, 3, 4};
  z.press(500, 500);
  EXPECT_FALSE(z.release(500, 900, 8235, v, modelling_view));
  EXPECT_EQ(v, modelling_view);
  EXPECT_EQ(z.drag, 1);
}

// Each move erases the last band's two edges from the pressed corner in white and draws the
// new ones in light red, thin and solid whatever was set before.
TEST(BoxZoom, RubberBandErasesInWhiteAndDrawsTwoEdgesInLightRed) {
  RecordingCanvas c;
  c.set_line_width(3);
  c.set_line_style(LineStyle::dot);
  BoxZoom z;
  z.press(100, 200);
  z.drag_to(c, 400, 600);
  z.drag_to(c, 500, 700);
  const std::vector<Primitive> second(c.primitives().begin() + 4, c.primitives().end());
  EXPECT_EQ(test_support::shapes(second, 15), (std::vector<std::string>{"line 100,200 400,200 w1", "line 100,200 100,600 w1"}));
  EXPECT_EQ(test_support::shapes(second, 12), (std::vector<std::string>{"line 100,200 500,200 w1", "line 100,200 100,700 w1"}));
}

TEST(Mirror, TypedTextMovesTheScrollBarOnlyWhenItFits) {
  EXPECT_EQ(mirror_value("12.5", -360, 360), 12);
  EXPECT_EQ(mirror_value(" 13.5 ", -360, 360), 14);
  EXPECT_EQ(mirror_value("-360", -360, 360), -360);
  EXPECT_EQ(mirror_value("400", -360, 360), std::nullopt);
  EXPECT_EQ(mirror_value("", -360, 360), std::nullopt);
  EXPECT_EQ(mirror_value("1e9", -360, 360), std::nullopt);
  // A threshold in hundredths: 0.555 is 55.50000000000001 after scaling.
  EXPECT_EQ(mirror_value("0.555", 0, 100, 100), 56);
  EXPECT_EQ(mirror_value("2", 0, 100, 100), std::nullopt);
}
