#include "model/preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "design_fixtures.h"
#include "model/geometry.h"
#include "view/recording_canvas.h"

namespace {

using Op = Primitive::Op;

// The initial view: W to the right, H upwards.
const Vec3 w_h_plane = radians_from_degrees(Vec3(0, 180, 0));

std::vector<Primitive> drawn(ModelStore& m, bool labels = false, Vec3 angles = w_h_plane) {
  RecordingCanvas canvas;
  canvas.clear();
  draw_design_preview(canvas, m, angles, modelling_view, labels);
  return canvas.primitives();
}

std::vector<Primitive> of(const std::vector<Primitive>& all, Op op, int colour = -1) {
  std::vector<Primitive> out;
  for (const Primitive& p : all)
    if (p.op == op && (colour < 0 || p.colour == colour)) out.push_back(p);
  return out;
}

TEST(DesignPreview, OneEditedBox) {
  ModelStore m;
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  m.apex_sel = 3;
  const std::vector<Primitive> all = drawn(m);

  const auto pairs = of(all, Op::line, 6);
  ASSERT_EQ(pairs.size(), 28u);
  for (const Primitive& p : pairs) {
    EXPECT_EQ(p.state.line_style, LineStyle::solid);
    EXPECT_EQ(p.state.line_width, 1);
  }
  // Eight solid red corners and the light red ring of the picked corner, drawn over corner 3.
  const auto corners = of(all, Op::circle, 4);
  ASSERT_EQ(corners.size(), 8u);
  for (const Primitive& c : corners) {
    EXPECT_EQ(c.x2, 80);
    EXPECT_EQ(c.state.line_width, 3);
    EXPECT_EQ(c.state.fill_style, FillStyle::solid);
    EXPECT_EQ(c.state.fill_colour, 4);
  }
  const auto ring = of(all, Op::circle, 12);
  ASSERT_EQ(ring.size(), 1u);
  EXPECT_EQ(ring[0].x2, 120);
  // Centre 0, R = 50: corner 3 (+L, +W, +H) is at u = 1, v = -1, drawn at the upper right.
  EXPECT_EQ(ring[0].x1, 6500);
  EXPECT_EQ(ring[0].y1, 1500);
  EXPECT_EQ(corners[0].x1, 6500);  // corner 1 (+W, -H): lower right
  EXPECT_EQ(corners[0].y1, 7500);

  // Axis marks: three labelled edge lines and three world axes, black; no other text.
  EXPECT_EQ(of(all, Op::line, 0).size(), 6u);
  const auto texts = of(all, Op::text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text + texts[1].text + texts[2].text, "LWH");
  EXPECT_EQ(all.size(), 28u + 8 + 1 + 6 + 3);

  // What the window keeps for picking and for the panel.
  for (int c = 1; c <= 8; ++c)
    for (int a = 1; a <= 3; ++a) EXPECT_EQ(m.apex_xyz(c, a), 50.0f * corner_sign[c][a - 1]);
  EXPECT_NEAR(m.apex_scr(3, 1), 1, 1e-6);
  EXPECT_NEAR(m.apex_scr(3, 2), -1, 1e-6);
  EXPECT_NEAR(m.node_uv(8, 1), -1, 1e-6);  // corner 8 (-W, +H)
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

  EXPECT_EQ(of(all, Op::line, 6).size(), 28u);
  // The other box and the bar: dotted blue, one line per pair plus the bar's line.
  const auto others = of(all, Op::line, 1);
  ASSERT_EQ(others.size(), 62u + 1);
  for (const Primitive& p : others) {
    EXPECT_EQ(p.state.line_style, LineStyle::dot);
    EXPECT_EQ(p.state.line_width, 1);
  }
  const auto rings = of(all, Op::circle, 1);
  ASSERT_EQ(rings.size(), 2u + 8);
  for (const Primitive& c : rings) EXPECT_EQ(c.state.fill_style, FillStyle::transparent);
  EXPECT_TRUE(of(all, Op::circle, 12).empty());

  // Labels: 8 + 2 + 8 corner labels in red, size 7, undisplaced coordinates at the displaced
  // corner; then the three axis labels.
  const auto texts = of(all, Op::text);
  ASSERT_EQ(texts.size(), 18u + 3);
  EXPECT_EQ(texts[0].text, " ( 50.00, 50.00,-50.00)");
  EXPECT_EQ(texts[0].state.text_colour, 4);
  EXPECT_EQ(texts[0].state.font_size, 7);
  const auto red = of(all, Op::circle, 4);
  EXPECT_EQ(texts[0].x1, red[0].x1);
  EXPECT_EQ(texts[0].y1, red[0].y1);
  // The bar runs along L from (100, 0, 100) ("Point1") to (-100, 0, 100): its ends' labels.
  EXPECT_EQ(texts[8].text, " ( 100.00, 0.00, 100.00)");
  EXPECT_EQ(texts[9].text, " (-100.00, 0.00, 100.00)");

  // Picking works on the edited record, even though another one was drawn last.
  RecordCorners rc = record_corners(m, 1);
  Vec3 p = rc.displaced[1];
  Rotate_3D(p, w_h_plane);
  const ViewFit fit = design_fit(m, w_h_plane);
  EXPECT_EQ(m.apex_scr(1, 1), fit.u(p));
  EXPECT_EQ(m.apex_xyz(1, 2), 50.0f);

  // An edited bar: 10 pixels wide, solid yellow, red ends.
  m.n_gr_m = 1;
  const std::vector<Primitive> bar = drawn(m);
  const auto thick = of(bar, Op::line, 6);
  ASSERT_EQ(thick.size(), 1u);
  EXPECT_EQ(thick[0].state.line_width, 10);
  EXPECT_EQ(of(bar, Op::circle, 4).size(), 2u);
}

TEST(DesignPreview, FlatBoxAndEmptyList) {
  // The preview tests all three axes: a flat box shows the pairs between its coinciding
  // layers that the analysis model drops (137 of 153 pairs against 28 elements).
  ModelStore m;
  add_box(m, Vec3(100, 100, 0), Vec3(0, 0, 0), 2, 2, 1);
  EXPECT_EQ(of(drawn(m), Op::line, 6).size(), 137u);

  ModelStore empty;
  EXPECT_TRUE(drawn(empty).empty());
}

TEST(DesignPreview, Fit) {
  ExtentFit none;
  EXPECT_EQ(none.fit().half_range, 1);  // no points: nothing to divide by zero
  ExtentFit one;
  one.add(Vec3(5, 7, 9));
  EXPECT_EQ(one.fit().half_range, 1);
  EXPECT_EQ(one.fit().u(Vec3(0, 7, 9)), 0.0f);
  ExtentFit two;
  two.add(Vec3(0, -10, 100));
  two.add(Vec3(0, 10, 110));
  // Half of the span of both directions together: (110 - (-10)) / 2.
  EXPECT_EQ(two.fit().half_range, 60);
  EXPECT_EQ(two.fit().c2, 0);
  EXPECT_EQ(two.fit().c3, 105);
}

}  // namespace
