// Editing a section sketch, and the picture drawn of it.
#include <gtest/gtest.h>

#include <string>

#include "base/recording_canvas.h"
#include "section/sketch_display.h"
#include "section/sketch_edit.h"
#include "support/test_support.h"

using test_support::error_of;

namespace {
constexpr int s = 3;  // any section but the first, so nothing depends on section 1

struct Wall {
  int p1, p2;
  float t;
};

// Section s with the points given as (W, H) pairs, mm, and the walls between them.
SectionTable with_points(std::initializer_list<std::pair<float, float>> points, std::initializer_list<Wall> walls = {}) {
  SectionTable t;
  t.n_sec = s;
  for (auto [w, h] : points) add_section_point(t, s, w, h);
  for (const Wall& l : walls) add_section_line(t, s, l.p1, l.p2, l.t);
  return t;
}
}  // namespace

TEST(SketchEdit, NearestPointHasNoRadiusAndTiesGoToTheLowerNumber) {
  const SketchMap map;
  SectionTable empty;
  EXPECT_EQ(nearest_section_point(empty, s, map, 3500, 3500), 0);

  SectionTable t = with_points({{10, 0}, {-10, 0}, {0, 5}});
  // The origin is 300 twips from points 1 and 2 and 150 from point 3.
  EXPECT_EQ(nearest_section_point(t, s, map, 3500, 3500), 3);
  t.pnt_xy(s, 3, 2) = 10;
  EXPECT_EQ(nearest_section_point(t, s, map, 3500, 3500), 1);
  // Far outside the frame the nearest point is still picked.
  EXPECT_EQ(nearest_section_point(t, s, map, -90000, 3500), 2);
}

TEST(SketchEdit, NearestLineMeasuresToFiveInnerSamples) {
  const SketchMap map;
  // The short line's samples lie 1..5 mm from point 1; the long line's middle one is point 1.
  const SectionTable t = with_points({{0, 0}, {6, 0}, {0, -30}, {0, 30}}, {{1, 2, 1}, {3, 4, 1}});
  // A press on the short line's end picks the long line.
  EXPECT_EQ(nearest_section_line(t, s, map, map.x_of(0), map.y_of(0)), 2);
  EXPECT_EQ(nearest_section_line(t, s, map, map.x_of(3), map.y_of(0)), 1);

  // Two lines at equal distance: the lower number.
  const SectionTable u = with_points({{-10, 10}, {10, 10}, {-10, -10}, {10, -10}}, {{1, 2, 1}, {3, 4, 1}});
  EXPECT_EQ(nearest_section_line(u, s, map, 3500, 3500), 1);
  EXPECT_EQ(nearest_section_line(SectionTable{}, s, map, 3500, 3500), 0);
}

TEST(SketchEdit, DeletingLineTwoOfThreeKeepsTheOthersWithTheirThicknesses) {
  SectionTable t = with_points({{0, 0}, {10, 0}, {10, 10}}, {{1, 2, 1.5f}, {2, 3, 2.5f}, {3, 1, 3.5f}});
  delete_section_line(t, s, 2);
  ASSERT_EQ(t.n_line(s), 2);
  EXPECT_EQ(t.line_pnt(s, 2, 1) * 10 + t.line_pnt(s, 2, 2), 31);
  EXPECT_EQ(t.line_t(s, 1), 1.5f);
  EXPECT_EQ(t.line_t(s, 2), 3.5f);
  EXPECT_EQ(t.n_pnt(s), 3);  // points stay

  delete_section_line(t, s, 2);  // the last line
  delete_section_line(t, s, 1);
  EXPECT_EQ(t.n_line(s), 0);
}

TEST(SketchEdit, UnusedPointsAreDroppedAndLineEndsRenumbered) {
  // Points 1..5; point 3 belongs to no line.
  SectionTable t = with_points({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}, {{1, 2, 1}, {4, 5, 1}, {5, 1, 1}});
  EXPECT_EQ(drop_unused_points(t, s), 4);
  EXPECT_FLOAT_EQ(t.pnt_xy(s, 3, 2), 4);
  EXPECT_EQ(t.line_pnt(s, 2, 2), 4);
  EXPECT_EQ(t.line_pnt(s, 3, 1), 4);

  // A line from a point to itself keeps that point; a section whose points all lie on lines
  // is unchanged.
  SectionTable u = with_points({{0, 0}, {7, 7}}, {{2, 2, 1}});
  EXPECT_EQ(drop_unused_points(u, s), 1);
  EXPECT_FLOAT_EQ(u.pnt_xy(s, 1, 1), 7);
  EXPECT_EQ(u.line_pnt(s, 1, 1), 1);
  EXPECT_EQ(drop_unused_points(u, s), 1);
}

TEST(SketchEdit, PointsAndLinesBeyondTheTableAreRefused) {
  SectionTable t;
  for (int p = 1; p <= 100; ++p) add_section_point(t, s, float(p), 0);
  EXPECT_EQ(error_of([&] { add_section_point(t, s, 0, 0); }),
            "Capacity exceeded (a 101st point of section 3 (at most 100 points))");
  EXPECT_EQ(t.n_pnt(s), 100);

  for (int l = 1; l <= 200; ++l) add_section_line(t, s, 1, 2, 1);
  EXPECT_NE(error_of([&] { check_room_for_line(t, s); }), "");
  EXPECT_EQ(error_of([&] { add_section_line(t, s, 1, 2, 1); }).rfind("Capacity exceeded (a 201st line", 0), 0u);
  EXPECT_EQ(t.n_line(s), 200);
}

TEST(SketchEdit, TypedNumbers) {
  EXPECT_FLOAT_EQ(single_from_text("  1.0000E+01", "Y="), 10);
  EXPECT_EQ(error_of([] { single_from_text("abc", "Width="); }), "Type mismatch (Width= \"abc\" is not a number)");
  EXPECT_NE(error_of([] { single_from_text("1e39", "Width="); }).find("Overflow"), std::string::npos);
}

TEST(SketchDisplay, DotsWallThicknessAxesAndFrameSize) {
  SectionTable t = with_points({{-50, 0}, {50.01f, 0}}, {{1, 2, 2}});
  RecordingCanvas c;
  draw_sketch(c, t, s, SketchMap{});
  const auto& p = c.primitives();
  ASSERT_EQ(p.size(), 10u);
  // Dots at the rounded positions: 50.01 mm is 5000.3 twips.
  EXPECT_EQ(p[0].x1, 2000);
  EXPECT_EQ(p[1].x1, 5000);
  // The thickness at the middle of the rounded ends, the axis letters, the frame's size.
  EXPECT_EQ(p[3].text, "t2.0");
  EXPECT_EQ(p[3].state.x, 3500);
  EXPECT_EQ(p[5].text, "W");
  EXPECT_EQ(p[7].text, "H");
  EXPECT_EQ(p[9].text, "W: 200,  H: 200");

  // The frame's dash-dot-dot is its own: a marker drawn over the sketch is solid.
  EXPECT_EQ(p[8].state.line_style, LineStyle::dash_dot_dot);
  mark_point(c, 3800, 3200);
  EXPECT_EQ(c.primitives().back().state.line_style, LineStyle::solid);

  // The next picture starts solid again, and a section without lines shows no thickness.
  t.n_line(s) = 0;
  draw_sketch(c, t, s, SketchMap{});
  EXPECT_EQ(c.primitives().size(), 8u);
  EXPECT_EQ(c.primitives()[0].state.line_style, LineStyle::solid);
}

TEST(SketchDisplay, ReadoutIsWrittenOnItsEraseStrip) {
  RecordingCanvas c;
  const SketchMap map;
  erase_readout(c, map);
  draw_readout(c, map, 10, -5);
  const auto& p = c.primitives();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_TRUE(p[0].filled);
  EXPECT_EQ(p[1].text, "   W=  1.0000E+01, H= -5.0000E+00");
  EXPECT_DOUBLE_EQ(p[0].x1, p[1].state.x);
}
