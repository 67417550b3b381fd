// A drawn section about its centroid and principal axes, its St Venant torsion constant and
// what the editor says about it, against hand formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <numbers>

#include "section/section_props.h"
#include "section/sketch_edit.h"
#include "section/typical_shapes.h"

namespace {
constexpr int s = 3;

struct Line {
  float w1, h1, w2, h2, t;
};

// Section s made of the lines given, each with two points of its own.
SectionTable drawn(std::initializer_list<Line> lines) {
  SectionTable t;
  t.n_sec = s;
  for (const Line& l : lines) {
    const int p = add_section_point(t, s, l.w1, l.h1);
    add_section_line(t, s, p, add_section_point(t, s, l.w2, l.h2), l.t);
  }
  return t;
}

SectionTable tube(float width, float height, float wall) {
  SectionTable t;
  t.n_sec = s;
  make_rectangular_tube(t, s, width, height, wall);
  return t;
}

DrawnSectionProperties props(std::initializer_list<Line> lines) { return drawn_section_properties(drawn(lines), s); }

// An 80 x 50 x 6 angle on its centre lines, corner at the origin, long leg along W.
SectionTable angle_80_50_6() { return drawn({{0, 0, 80, 0, 6}, {0, 0, 0, 50, 6}}); }

struct Values {
  double area, centroid_w, centroid_h, iw, ih, iwh, i1, i2, angle, j;
};

// Each value against its hand figure to the last few digits of a double; the principal
// moments, a difference of larger sums, within `principal` mm4.
void expect_values(const DrawnSectionProperties& d, const Values& v, double principal) {
  const double got[] = {d.area, d.centroid_w, d.centroid_h, d.iw, d.ih, d.iwh, d.angle, d.j};
  const double want[] = {v.area, v.centroid_w, v.centroid_h, v.iw, v.ih, v.iwh, v.angle, v.j};
  const char* names[] = {"area", "centroid W", "centroid H", "Iw", "Ih", "Iwh", "angle", "J"};
  for (size_t k = 0; k < std::size(got); ++k) EXPECT_DOUBLE_EQ(got[k], want[k]) << names[k];
  EXPECT_NEAR(d.i1, v.i1, principal);
  EXPECT_NEAR(d.i2, v.i2, principal);
}
}  // namespace

// 100 x 2: A = 200, about W 100 x 2^3 / 12, about H 2 x 100^3 / 12, J = 100 x 2^3 / 3; the
// stronger axis (i1) is H, at 90 degrees. Raised by 10 and moved 50 along W, or drawn from
// right to left, it keeps these about its centroid. Its corners lie 1 mm to either side.
TEST(DrawnSection, PlateAboutItsCentroid) {
  const struct {
    Line line;
    double w, h;
  } plates[] = {{{-50, 0, 50, 0, 2}, 0, 0}, {{0, 10, 100, 10, 2}, 50, 10}, {{100, 10, 0, 10, 2}, 50, 10}};
  for (const auto& p : plates) {
    SCOPED_TRACE(p.w);
    const DrawnSectionProperties d = props({p.line});
    expect_values(d, {200, p.w, p.h, 200.0 / 3, 500000.0 / 3, 0, 500000.0 / 3, 200.0 / 3, 90, 800.0 / 3}, 1e-9);
    EXPECT_EQ(d.cells, 0);
    EXPECT_DOUBLE_EQ(d.size, 100);
  }
  const std::vector<std::array<double, 2>> corners{{-50, 1}, {50, 1}, {50, -1}, {-50, -1}};
  EXPECT_EQ(props({{-50, 0, 50, 0, 2}}).corners, corners);
}

// A plate turned 30 degrees from W: with c = cos 30, s = sin 30, along = t L^3 / 12 and
// across = L t^3 / 12, Iw = s^2 along + c^2 across, Ih = c^2 along + s^2 across,
// Iwh = c s (along - across); its principal moments are along and across, the stronger axis
// square to the plate at 120 degrees. Turned 150 degrees the product moment changes sign and
// the stronger axis lies at 60.
TEST(DrawnSection, TurnedPlate) {
  const double along = 2.0 * 1e6 / 12, across = 100.0 * 8 / 12;
  for (const double turn : {30.0, 150.0}) {
    const double a = turn * std::numbers::pi / 180, c = std::cos(a), sn = std::sin(a);
    const DrawnSectionProperties d = props({{0, 0, float(100 * c), float(100 * sn), 2}});
    EXPECT_NEAR(d.iw, sn * sn * along + c * c * across, 0.05) << turn;
    EXPECT_NEAR(d.ih, c * c * along + sn * sn * across, 0.05) << turn;
    EXPECT_NEAR(d.iwh, c * sn * (along - across), 0.05) << turn;
    EXPECT_NEAR(d.i1, along, 0.05) << turn;
    EXPECT_NEAR(d.i2, across, 0.05) << turn;
    EXPECT_NEAR(d.angle, turn == 30 ? 120 : 60, 1e-4) << turn;
  }
}

// The angle by hand: A = 6 (80 + 50) = 780; centroid W = 480 x 40 / 780, H = 300 x 25 / 780.
// Iw = 80 x 6^3 / 12 + 480 Hc^2 + 6 x 50^3 / 12 + 300 (25 - Hc)^2, Ih alike; the product
// moment 480 (40 - Wc)(0 - Hc) + 300 (0 - Wc)(25 - Hc) (each leg's own is zero); principal
// moments from Mohr's circle; J = (80 + 50) x 6^3 / 3 = 9360.
TEST(DrawnSection, Angle80x50x6) {
  const DrawnSectionProperties d = drawn_section_properties(angle_80_50_6(), s);
  const double wc = 480.0 * 40 / 780, hc = 300.0 * 25 / 780;
  const double iw = 80.0 * 216 / 12 + 480 * hc * hc + 6.0 * 125000 / 12 + 300 * (25 - hc) * (25 - hc);
  const double ih = 6.0 * 512000 / 12 + 480 * (40 - wc) * (40 - wc) + 50.0 * 216 / 12 + 300 * wc * wc;
  const double iwh = 480 * (40 - wc) * (0 - hc) + 300 * (0 - wc) * (25 - hc);
  const double mean = (iw + ih) / 2, r = std::sqrt((iw - ih) * (iw - ih) / 4 + iwh * iwh);
  // tan 2a = -2 Iwh / (Iw - Ih), the stronger axis near the short leg's direction.
  const double angle = 90 + std::atan(-2 * iwh / (iw - ih)) / 2 * 180 / std::numbers::pi;
  expect_values(d, {780, wc, hc, iw, ih, iwh, mean + r, mean - r, angle, 9360}, 1e-6);
  EXPECT_EQ(d.cells, 0);
  // Each leg's line 3 mm to its left, then to its right (seen from its first end).
  const std::vector<std::array<double, 2>> corners{{0, 3}, {80, 3}, {80, -3}, {0, -3},
                                                   {-3, 0}, {-3, 50}, {3, 50}, {3, 0}};
  EXPECT_EQ(d.corners, corners);
  EXPECT_DOUBLE_EQ(d.size, 83);  // -3 .. 80 along W
  // Stood on its long leg the section's size is its height.
  EXPECT_DOUBLE_EQ(props({{0, 0, 0, 80, 6}, {0, 0, 50, 0, 6}}).size, 83);
}

// The 100 x 60 tube of 2 mm walls: Bredt's J = 4 A_m^2 / sum(L / t) with A_m = 100 x 60 and
// sum(L / t) = 320 / 2, no product moment. A fin of 30 x 3 on a corner adds 30 x 3^3 / 3.
// Drawn with points of its own at every corner it is the same tube.
TEST(DrawnSection, RectangularTubeByBredt) {
  SectionTable t = tube(100, 60, 2);
  const DrawnSectionProperties d = drawn_section_properties(t, s);
  const double bredt = 4.0 * 6000 * 6000 / 160;
  const double iw = 2 * (100 * 2 * 900.0 + 100.0 * 8 / 12) + 2 * (2 * 216000.0 / 12);
  const double ih = 2 * (60 * 2 * 2500.0 + 60.0 * 8 / 12) + 2 * (2 * 1e6 / 12);
  expect_values(d, {640, 0, 0, iw, ih, 0, ih, iw, 90, bredt}, 1e-6);
  EXPECT_EQ(d.cells, 1);

  // The fin from corner (50, 30) outwards along W.
  add_section_line(t, s, 1, add_section_point(t, s, 80, 30), 3);
  EXPECT_NEAR(drawn_section_properties(t, s).j, bredt + 30 * 27.0 / 3, 1e-6);

  const DrawnSectionProperties loose =
      props({{50, 30, 50, -30, 2}, {50, -30, -50, -30, 2}, {-50, -30, -50, 30, 2}, {-50, 30, 50, 30, 2}});
  EXPECT_NEAR(loose.j, bredt, 1e-6);
  EXPECT_EQ(loose.cells, 1);
  // One wall left out: an open channel, every wall L t^3 / 3.
  const DrawnSectionProperties channel = props({{50, 30, 50, -30, 2}, {50, -30, -50, -30, 2}, {-50, -30, -50, 30, 2}});
  EXPECT_NEAR(channel.j, 220 * 8.0 / 3, 1e-9);
  EXPECT_EQ(channel.cells, 0);
}

// With a middle web the tube has two cells; taken as slit to its strongest one (the outer
// wall, 4 x 6000^2 / 160) with the web an open wall of 60 x 2^3 / 3. Two tubes side by side
// add up; a 50 x 60 cell alone gives 4 x 3000^2 / 110.
TEST(DrawnSection, SeveralCells) {
  SectionTable t = tube(100, 60, 2);
  add_section_point(t, s, 0, 30);
  add_section_point(t, s, 0, -30);
  // Outer walls split at the web: 1-2 right, 2-6, 6-3, 3-4 left, 4-5, 5-1; web 5-6.
  t.n_line(s) = 0;
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 6}, {6, 3}, {3, 4}, {4, 5}, {5, 1}, {5, 6}})
    add_section_line(t, s, a, b, 2);
  const DrawnSectionProperties d = drawn_section_properties(t, s);
  EXPECT_EQ(d.cells, 2);
  EXPECT_NEAR(d.j, 4.0 * 6000 * 6000 / 160 + 60 * 8.0 / 3, 1e-6);

  const DrawnSectionProperties two = props({{0, 0, 50, 0, 2}, {50, 0, 50, 60, 2}, {50, 60, 0, 60, 2}, {0, 60, 0, 0, 2},
                                            {100, 0, 150, 0, 2}, {150, 0, 150, 60, 2}, {150, 60, 100, 60, 2},
                                            {100, 60, 100, 0, 2}});
  EXPECT_EQ(two.cells, 2);
  EXPECT_NEAR(two.j, 2 * 4.0 * 3000 * 3000 / 110, 1e-6);
}

// A wall drawn twice over the same two points encloses nothing: two open walls, no cell.
TEST(DrawnSection, AWallDrawnTwiceIsNoCell) {
  SectionTable t = drawn({{-50, 0, 50, 0, 2}});
  add_section_line(t, s, 2, 1, 2);
  const DrawnSectionProperties d = drawn_section_properties(t, s);
  EXPECT_EQ(d.cells, 0);
  EXPECT_NEAR(d.j, 2 * 800.0 / 3, 1e-9);
}

// Walls that carry nothing: no length, no thickness. A section of only such walls has no
// values at all.
TEST(DrawnSection, WallsWithoutLengthOrThicknessCarryNothing) {
  const DrawnSectionProperties d = props({{-50, 0, 50, 0, 2}, {5, 5, 5, 5, 3}, {0, -20, 0, 20, 0}});
  EXPECT_DOUBLE_EQ(d.area, 200);
  EXPECT_NEAR(d.j, 800.0 / 3, 1e-9);
  EXPECT_EQ(d.corners.size(), 4u);
  const DrawnSectionProperties none = props({{0, -20, 0, 20, 0}});
  EXPECT_EQ(none.area, 0);
  EXPECT_EQ(none.i1, 0);
  EXPECT_TRUE(none.corners.empty());
  EXPECT_FALSE(drawn_section_notes(none, {}).any());
}

// What the editor says. The centred plate: only its torsion constant (Iw + Ih = 166733 against
// 266.7). Raised 1.05 mm (of its 100 mm) its centroid is off, 0.95 mm not. Turned 1 degree
// its weaker moment drops 43 % below Iw, turned 0.1 degree 0.8 %. The angle: all three. A
// centred square tube: nothing (Bredt 1e6 against 1.33e6).
TEST(DrawnSection, WhatTheEditorNotes) {
  auto notes = [](const SectionTable& t) {
    return drawn_section_notes(drawn_section_properties(t, s), section_properties(t, s, MomentSums::double_precision));
  };
  auto text = [](const SectionTable& t) {
    return drawn_section_note_text(drawn_section_properties(t, s), section_properties(t, s, MomentSums::single_precision));
  };
  const DrawnSectionNotes plate = notes(drawn({{-50, 0, 50, 0, 2}}));
  EXPECT_FALSE(plate.centroid_off);
  EXPECT_FALSE(plate.product_moment);
  EXPECT_TRUE(plate.torsion);
  EXPECT_TRUE(notes(drawn({{-50, 1.05f, 50, 1.05f, 2}})).centroid_off);
  EXPECT_FALSE(notes(drawn({{-50, 0.95f, 50, 0.95f, 2}})).centroid_off);
  auto turned = [&](double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    const float c = float(50 * std::cos(a)), sn = float(50 * std::sin(a));
    return notes(drawn({{-c, -sn, c, sn, 2}}));
  };
  EXPECT_TRUE(turned(1).product_moment);
  EXPECT_FALSE(turned(0.1).product_moment);
  const DrawnSectionNotes angle = notes(angle_80_50_6());
  EXPECT_TRUE(angle.centroid_off && angle.product_moment && angle.torsion);
  EXPECT_FALSE(notes(tube(100, 100, 1)).any());
  // A 150 x 50 x 1 tube: Iw + Ih = 187500 + 20833 + 562500 + 562500 = 1.333e6 against Bredt's
  // 4 x 7500^2 / 400 = 562500, 2.37 times: noted.
  EXPECT_TRUE(notes(tube(150, 50, 1)).torsion);

  EXPECT_EQ(text(angle_80_50_6()),
            "The analysis takes this section as drawn. Its centroid lies 26.43 mm from the origin, where the analysis "
            "puts the bar's axis: the bar bends about the origin (Iw 251440, Ih 1.0249e+06 mm4) and its axial force "
            "bends it too. W and H are not principal axes: the weakest lies at 157.6\u00b0 from W, I2 = 103397 mm4, "
            "42 % below the smaller of Iw and Ih about the centroid. Its torsion constant Iw + Ih = 1.27634e+06 mm4 "
            "is 136.4 times the St Venant J.");
  EXPECT_EQ(text(tube(100, 100, 1)), "");
  // A plate turned 30 degrees from W is weakest about the axis along it.
  EXPECT_NE(text(drawn({{0, 0, float(100 * std::cos(std::numbers::pi / 6)), 50, 2}}))
                .find("the weakest lies at 30\u00b0 from W, I2 = 66.6667 mm4"),
            std::string::npos);
}
