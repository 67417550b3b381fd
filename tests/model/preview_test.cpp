// The design preview as a user sees it: the edited record over the others, corners, labels.
#include "model/preview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design_fixtures.h"
#include "model/geometry.h"
#include "support/drawing.h"

using namespace test_support;

namespace {
using S = std::vector<std::string>;
constexpr int blue = 1, red = 4, yellow = 6, light_red = 12, black = 0;

// The initial view: W to the right, H upwards.
const Vec3 w_h_plane = radians_from_degrees(Vec3(0, 180, 0));

std::vector<Primitive> drawn(ModelStore& m, bool labels = false) {
  RecordingCanvas canvas;
  canvas.clear();
  draw_design_preview(canvas, m, w_h_plane, modelling_view, labels);
  return canvas.primitives();
}

TEST(DesignPreview, OneEditedBox) {
  ModelStore m;
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  m.apex_sel = 3;
  const std::vector<Primitive> all = drawn(m);

  EXPECT_EQ(count_of(all, Op::line, yellow), 28);
  // Centre 0, R = 50: corner 1 (+W, -H) is drawn at the lower right, corner 3 (+L, +W, +H) at
  // the upper right, where the picked corner's larger disc, edged in light red, goes over it.
  const auto corners = shapes(all, red);
  ASSERT_EQ(corners.size(), 8u);
  EXPECT_EQ(corners[0], "circle 6500,7500 r80 solid");
  EXPECT_EQ(shapes(all, light_red), (S{"circle 6500,1500 r120 solid"}));
  // Axis marks: three labelled edge lines and three world axes; no other text.
  EXPECT_EQ(count_of(all, Op::line, black), 6);
  const auto texts = of(all, Op::text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text + texts[1].text + texts[2].text, "LWH");
  EXPECT_EQ(all.size(), 28u + 8 + 1 + 6 + 3);

  // What the window keeps for picking.
  EXPECT_NEAR(m.apex_scr(3, 1), 1, 1e-6);
  EXPECT_NEAR(m.apex_scr(3, 2), -1, 1e-6);
}

TEST(DesignPreview, EditedRecordAgainstTheOthers) {
  ModelStore m;
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  add_bar(m, 200, Vec3(0, 0, 100));
  add_box(m, Vec3(100, 100, 100), Vec3(0, 200, 0), 2, 1, 1);
  m.gr_apex(1, 1, 2) = 20;  // corner 1 of the edited box moved 20 along W
  m.n_gr_m = 2;             // record 1 is edited
  m.apex_sel = 0;
  const std::vector<Primitive> all = drawn(m, true);

  EXPECT_EQ(count_of(all, Op::line, yellow), 28);
  // The other box and the bar: dotted blue, one line per pair plus the bar's line, and open
  // rings on their corners; nothing is ringed as picked.
  const auto others = of(all, Op::line, blue);
  ASSERT_EQ(others.size(), 62u + 1);
  for (const Primitive& p : others) EXPECT_EQ(p.state.line_style, LineStyle::dot);
  const auto rings = of(all, Op::circle, blue);
  ASSERT_EQ(rings.size(), 2u + 8);
  for (const Primitive& c : rings) EXPECT_EQ(c.state.fill_style, FillStyle::transparent);
  EXPECT_EQ(count_of(all, Op::circle, light_red), 0);

  // Labels: 8 + 2 + 8 corner labels in red, undisplaced coordinates at the displaced corner;
  // then the three axis labels.
  const auto texts = of(all, Op::text);
  ASSERT_EQ(texts.size(), 18u + 3);
  EXPECT_EQ(texts[0].text, " ( 50.00, 50.00,-50.00)");
  EXPECT_EQ(texts[0].state.text_colour, red);
  const auto corners = of(all, Op::circle, red);
  EXPECT_EQ(texts[0].x1, corners[0].x1);
  EXPECT_EQ(texts[0].y1, corners[0].y1);
  // The bar runs along L from (100, 0, 100) ("Point1") to (-100, 0, 100): its ends' labels.
  EXPECT_EQ(texts[8].text, " ( 100.00, 0.00, 100.00)");
  EXPECT_EQ(texts[9].text, " (-100.00, 0.00, 100.00)");

  // Picking works on the edited record, even though another one was drawn last.
  RecordCorners rc = record_corners(m, 1);
  Vec3 p = rc.displaced[1];
  Rotate_3D(p, w_h_plane);
  EXPECT_EQ(m.apex_scr(1, 1), design_fit(m, w_h_plane).u(p));
  EXPECT_EQ(m.apex_xyz(1, 2), 50.0f);

  // An edited bar: one thick yellow line with red ends.
  m.n_gr_m = 1;
  const std::vector<Primitive> bar = drawn(m);
  const auto thick = of(bar, Op::line, yellow);
  ASSERT_EQ(thick.size(), 1u);
  EXPECT_EQ(thick[0].state.line_width, 10);
  EXPECT_EQ(count_of(bar, Op::circle, red), 2);
}

TEST(DesignPreview, FlatBoxAndEmptyList) {
  // A flat box shows the pairs between its coinciding layers: 137 of 153, against 28 elements.
  ModelStore m;
  add_box(m, Vec3(100, 100, 0), Vec3(0, 0, 0), 2, 2, 1);
  EXPECT_EQ(count_of(drawn(m), Op::line, yellow), 137);

  ModelStore empty;
  EXPECT_TRUE(drawn(empty).empty());
  // Points that all project onto one spot (a bar seen end on) keep a half range of 1.
  ExtentFit spot;
  spot.add(Vec3(0, 5, 5));
  spot.add(Vec3(100, 5, 5));
  EXPECT_EQ(spot.fit().half_range, 1);
}

}  // namespace
