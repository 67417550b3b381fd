// The supports, springs, loads and dimension lines over a picture, worked out by hand on the
// surface (twips) of a frame seen face on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/recording_canvas.h"
#include "post/case_overlay.h"
#include "post/result_display.h"
#include "support/drawing.h"

namespace {

// A square in the W-H plane, 1000 mm a side. Seen with the angles (0, 0, 0), W runs right and H
// down the page, L away from the viewer; the square fills the view window's normalised -0.5..0.5,
// so that node 1 (W 0, H 0) stands at (1000, 1000) and node 4 (W 1000, H 1000) at (7000, 7000).
struct Square {
  std::unique_ptr<ResultStore> store = std::make_unique<ResultStore>();
  Square() {
    ResultStore& r = *store;
    r.pd_max = 20;
    r.pn_cyc = 1;
    const float at[4][2] = {{0, 0}, {1000, 0}, {0, 1000}, {1000, 1000}};
    for (const auto& p : at) {
      const int i = ++r.pn_node;
      r.pnode_xyz(1, i, 1) = 0;
      r.pnode_xyz(1, i, 2) = p[0];
      r.pnode_xyz(1, i, 3) = p[1];
    }
  }
  PictureProjection face_on() const { return PictureProjection(*store, 1, Vec3(0, 0, 0), post_view); }
};

NodeConditions at_node(int node) {
  NodeConditions n;
  n.node = node;
  return n;
}

}  // namespace

TEST(CaseOverlay, ConditionsAndKindsOfSupport) {
  ModelFileCase c;
  c.fixed.assign(4, {});
  c.loads.assign(4, {});
  c.springs.assign(4, {});
  c.fixed[0] = {true, true, true, true, true, true};
  c.springs[2][4] = 5;
  c.loads[3][1] = -1;
  const std::vector<NodeConditions> held = case_conditions(c);
  ASSERT_EQ(held.size(), 3u);
  EXPECT_EQ(held[0].node, 1);
  EXPECT_EQ(held[1].node, 3);
  EXPECT_EQ(held[1].springs[4], 5);
  EXPECT_EQ(held[2].node, 4);
  EXPECT_EQ(held[2].loads[1], -1);
  EXPECT_EQ(support_kind({true, true, true, true, true, true}), SupportKind::fixed);
  EXPECT_EQ(support_kind({true, true, true, false, true, false}), SupportKind::pinned);
  EXPECT_EQ(support_kind({false, false, true, false, false, false}), SupportKind::partial);
  EXPECT_EQ(support_kind({false, false, false, false, false, true}), SupportKind::partial);
  EXPECT_EQ(support_kind({}), SupportKind::none);
  EXPECT_EQ(held_dofs({true, true, false, false, false, true}), "L W rH");
}

// Forces point at their node, moments are double-headed along their axis, a load along the line
// of sight is a circle, and a second arrow on one line stands behind the first.
TEST(CaseOverlay, ArrowsByHand) {
  const Square sq;
  NodeConditions n = at_node(4);
  n.loads = {-5000, 0, -20000, 0, 2e6, -3e6};
  const CaseSymbols s = case_symbols({n}, *sq.store, 1, sq.face_on());
  ASSERT_EQ(s.arrows.size(), 4u);
  const LoadArrow &along_l = s.arrows[0], &up = s.arrows[1], &about_w = s.arrows[2], &about_h = s.arrows[3];
  EXPECT_TRUE(along_l.end_on);
  EXPECT_TRUE(along_l.towards_viewer);  // -L comes out of the page
  EXPECT_EQ(along_l.label.text, "5 kN");
  EXPECT_FALSE(up.end_on);
  EXPECT_FALSE(up.moment);
  EXPECT_DOUBLE_EQ(up.tip_x, 7000);
  EXPECT_DOUBLE_EQ(up.tip_y, 7060);  // -H is up the page: the arrow comes from below
  EXPECT_DOUBLE_EQ(up.tail_y, 7780);
  EXPECT_EQ(up.label.text, "20 kN");
  EXPECT_DOUBLE_EQ(up.label.y, up.tail_y);
  EXPECT_DOUBLE_EQ(up.label.towards_y, 1);  // its value beyond its tail
  EXPECT_EQ(up.label.colour, force_colour);
  EXPECT_TRUE(about_w.moment);
  EXPECT_DOUBLE_EQ(about_w.tip_x, 6940);
  EXPECT_DOUBLE_EQ(about_w.tail_x, 6220);
  EXPECT_EQ(about_w.label.text, "2 kN m");
  EXPECT_EQ(about_w.label.colour, moment_colour);
  EXPECT_DOUBLE_EQ(about_h.tip_y, 7840);  // behind the force along -H
  EXPECT_DOUBLE_EQ(about_h.tail_y, 8560);
  EXPECT_EQ(about_h.label.text, "3 kN m");
  // Drawn: a force's shaft and head (3 strokes), a moment's with its second head (5), the end-on
  // force's circle with a dot.
  RecordingCanvas c;
  draw_case_symbols(c, s);
  EXPECT_EQ(test_support::count_of(c.primitives(), Primitive::Op::line, force_colour), 3);
  EXPECT_EQ(test_support::count_of(c.primitives(), Primitive::Op::line, moment_colour), 10);
  EXPECT_EQ(test_support::count_of(c.primitives(), Primitive::Op::circle, force_colour), 2);
  EXPECT_EQ(case_texts(s).size(), 4u);
  // A force away from the viewer: a circle with a cross, its strokes corner to corner.
  NodeConditions away = at_node(1);
  away.loads = {5000, 0, 0, 0, 0, 0};
  RecordingCanvas cross;
  draw_case_symbols(cross, case_symbols({away}, *sq.store, 1, sq.face_on()));
  EXPECT_EQ(test_support::shapes(cross.primitives(), force_colour),
            (std::vector<std::string>{"circle 1000,1000 r100 open", "line 930,930 1070,1070 w2", "line 930,1070 1070,930 w2"}));
}

// Supports stand under their node by kind; a node held in part names what holds it; a spring
// runs along its axis, down the page, one seen end on is named.
TEST(CaseOverlay, SupportsAndSprings) {
  const Square sq;
  NodeConditions fixed = at_node(1), pinned = at_node(2), roller = at_node(3);
  fixed.fixed = {true, true, true, true, true, true};
  pinned.fixed = {true, true, true, false, false, false};
  roller.fixed = {false, false, true, false, false, false};
  roller.springs = {100, 0, 0, 0, 0, 0};  // along L: end on
  pinned.springs = {0, 0, 50, 0, 0, 0};   // along H: down the page
  const CaseSymbols s = case_symbols({fixed, pinned, roller}, *sq.store, 1, sq.face_on());
  ASSERT_EQ(s.supports.size(), 3u);
  EXPECT_EQ(s.supports[0].kind, SupportKind::fixed);
  EXPECT_EQ(s.supports[1].kind, SupportKind::pinned);
  EXPECT_DOUBLE_EQ(s.supports[1].x, 7000);
  EXPECT_DOUBLE_EQ(s.supports[1].y, 1000);
  EXPECT_EQ(s.supports[2].kind, SupportKind::partial);
  ASSERT_EQ(s.springs.size(), 2u);
  EXPECT_EQ(s.springs[0].node, 2);
  EXPECT_FALSE(s.springs[0].end_on);
  EXPECT_DOUBLE_EQ(s.springs[0].dy, 1);
  EXPECT_TRUE(s.springs[1].end_on);
  std::vector<std::string> names;
  for (const OverlayText& t : s.names) names.push_back(t.text);
  EXPECT_EQ(names, (std::vector<std::string>{"H", "k_L"}));
  EXPECT_GT(s.names[0].y, 7000);  // under the roller
  const double reach = 420 * std::sqrt(0.5);  // the end-on spring's end, down and right of node 3
  EXPECT_NEAR(s.names[1].x, 1000 + reach, 1e-9);
  EXPECT_NEAR(s.names[1].y, 7000 + reach, 1e-9);
  // The labels keep off every symbol: the arrows' boxes, the supports under their nodes.
  const std::vector<LabelBox> keep_off = case_obstacles(s);
  EXPECT_GT(keep_off.size(), 3u);
  EXPECT_TRUE(std::any_of(keep_off.begin(), keep_off.end(), [](const LabelBox& b) { return b.x1 < 7000 && b.x2 > 7000 && b.y1 > 1000; }));
}

// The box's edges along W and H get dimension lines: W under the square, H on its right, each
// 450 twips out; L, seen end on, gets none.
TEST(CaseOverlay, DimensionLinesBesideTheBox) {
  const Square sq;
  const std::vector<DimensionLine> d = dimension_lines(sq.face_on(), {0, 0, 0}, {0, 1000, 1000}, 450);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].axis, 2);
  EXPECT_DOUBLE_EQ(d[0].x1, 1000);
  EXPECT_DOUBLE_EQ(d[0].y1, 7450);
  EXPECT_DOUBLE_EQ(d[0].x2, 7000);
  EXPECT_DOUBLE_EQ(d[0].from2_y, 7000);
  EXPECT_EQ(d[0].label.text, "W 1000 mm");
  EXPECT_DOUBLE_EQ(d[0].label.towards_y, 1);
  EXPECT_EQ(d[1].axis, 3);
  EXPECT_DOUBLE_EQ(d[1].x1, 7450);
  EXPECT_DOUBLE_EQ(d[1].y2, 7000);
  EXPECT_EQ(d[1].label.text, "H 1000 mm");
  EXPECT_DOUBLE_EQ(d[1].label.towards_x, 1);
}

// A flat frame is seen in its plane, any other in the oblique view: H straight up the page, L to
// the right and down, W to the right and up.
TEST(CaseOverlay, ViewThatShowsTheFrame) {
  EXPECT_EQ(view_showing({{0, 0, 0}, {0, 5, 0}, {0, 0, 3}}).name, "W-H plane");
  EXPECT_EQ(view_showing({{0, 0, 2}, {4, 5, 2}}).name, "L-W plane");
  EXPECT_EQ(view_showing({{0, 1, 0}, {4, 1, 3}}).name, "H-L plane");
  const NamedView v = view_showing({{0, 0, 0}, {6000, 2000, 2500}});
  EXPECT_EQ(v.name, "oblique view");
  const Square sq;
  const PictureProjection p(*sq.store, 1, v.angles, post_view);
  const auto l = p.step({1, 0, 0}), w = p.step({0, 1, 0}), h = p.step({0, 0, 1});
  EXPECT_NEAR(h[0], 0, 1e-3 * std::fabs(h[1]));
  EXPECT_LT(h[1], 0);
  EXPECT_GT(l[0], 0);
  EXPECT_GT(l[1], 0);
  EXPECT_GT(w[0], 0);
  EXPECT_LT(w[1], 0);
}
