// The analysis-model display as a user sees it: elements, nodes, the case's symbols, the triad.
#include "model/model_display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/drawing.h"

using namespace test_support;

namespace {
using S = std::vector<std::string>;
constexpr int black = 0, red = 4, light_blue = 9;

const Vec3 initial_angles = angles_from_texts("0", "180", "0", pi_modelling);

int add_node(ModelStore& m, float l, float w, float h) {
  const int i = ++m.n_node;
  m.node_xyz(i, 1) = l;
  m.node_xyz(i, 2) = w;
  m.node_xyz(i, 3) = h;
  return i;
}

// Node 1 at the origin, node 2 at W 100, H 50, one element between them. With the initial
// angles the rotated extent is W 0..100, H -50..0 (H turned downwards), so the centre is
// (50, -25), R = (100 - (-50)) / 2 = 75 and the nodes land at u = -+2/3, v = +-1/3:
// node 1 at (3500 - 2000, 4500 + 1000), node 2 at (5500, 3500). The triad (0.3 R = 22.5 mm)
// stands on node 1: L points into the surface (zero length), W 900 twips right, H 900 up.
ModelStore two_nodes() {
  ModelStore m;
  m.form_load();
  add_node(m, 0, 0, 0);
  add_node(m, 0, 100, 50);
  m.n_elem = 1;
  m.elem_nod(1, 1) = 1;
  m.elem_nod(1, 2) = 2;
  return m;
}

std::vector<Primitive> drawn(ModelStore& m, const ViewWindow& view = modelling_view) {
  RecordingCanvas canvas;
  draw_model_display(canvas, m, initial_angles, view);
  return canvas.primitives();
}
}  // namespace

TEST(ModelDisplay, InitialAnglesDrawLargerWRightAndLargerHHigher) {
  ModelStore m = two_nodes();
  const auto all = drawn(m);
  EXPECT_EQ(shapes(all, black), (S{"line 1500,5500 5500,3500 w2", "circle 1500,5500 r50 solid", "circle 5500,3500 r50 solid"}));
  EXPECT_EQ(shapes(all, light_blue), (S{"line 1500,5500 1500,5500 w2", "text L 1500,5500", "line 1500,5500 2400,5500 w2",
                                        "text W 2400,5500", "line 1500,5500 1500,4600 w2", "text H 1500,4600"}));
  EXPECT_EQ(all.size(), 9u);
  // Picking measures against the normalised positions kept in the store.
  EXPECT_NEAR(m.node_uv(2, 1), 2.0 / 3, 1e-6);
  EXPECT_NEAR(m.node_uv(2, 2), -1.0 / 3, 1e-6);
}

// Node 2 at (5500, 3500); D_W = (900, 0), D_H = (0, -900). Supports stand a quarter along their
// axis (225), forces end a third along (300), a moment's circle sits at a sixth (150).
TEST(ModelDisplay, EachConditionDrawsItsSymbolAlongItsAxis) {
  ModelStore m = two_nodes();
  m.bc_flag(1, 2) = 1;
  // A marked node with nothing set: the square and the load circle, and no black dot.
  EXPECT_EQ(shapes(drawn(m), red), (S{"rect 5420,3420 5580,3580 solid", "circle 5500,3500 r80 solid"}));
  EXPECT_EQ(count_of(drawn(m), Op::circle, black), 1);

  m.bc_val(1, 2, 1, 2) = 1;      // W fixed
  m.bc_val(1, 2, 1, 6) = 1;      // rotation about H fixed
  m.spring_val(1, 2, 3) = 10;    // spring along H
  m.spring_val(1, 2, 5) = 10;    // spring about W
  m.bc_val(1, 2, 2, 3) = -5;     // force along H
  m.bc_val(1, 2, 2, 5) = 100;    // moment about W
  const S symbols{"rect 5420,3420 5580,3580 solid",
                  "line 5500,3500 5725,3500 w1", "circle 5725,3500 r100 open",
                  "line 5500,3500 5500,3275 w1", "rect 5400,3175 5600,3375 open",
                  "line 5500,3500 5500,3275 w1", "circle 5500,3275 r100 hatched",
                  "line 5500,3500 5725,3500 w1", "rect 5625,3400 5825,3600 hatched",
                  "circle 5500,3500 r80 solid",
                  "line 5500,3500 5500,3200 w5",
                  "line 5500,3500 5800,3500 w1 dot", "circle 5650,3500 r100 open"};
  EXPECT_EQ(shapes(drawn(m), red), symbols);
  // A load's sign and size do not show.
  m.bc_val(1, 2, 2, 3) = 50;
  EXPECT_EQ(shapes(drawn(m), red), symbols);
}

// The symbol offsets are fractions of whole-twip axis vectors. With a scale of 3001 the triad
// origin is at 1499 (1499.33) and the W end at 2400 (2399.63), so D_W = 901, and node 2 at 5501
// (5500.67): its fixed-W circle is at 5501 + 901/4 = 5726.25 -> 5726, its force line ends at
// 5501 + 901/3 -> 5801, its moment circle at 5501 + 901/6 -> 5651.
TEST(ModelDisplay, FractionsOfWholeUnits) {
  ModelStore m = two_nodes();
  m.bc_flag(1, 2) = 1;
  m.bc_val(1, 2, 1, 2) = 1;
  m.bc_val(1, 2, 2, 2) = 1;
  m.bc_val(1, 2, 2, 5) = 1;
  const auto all = drawn(m, ViewWindow{3500, 4500, 3001, 3001});
  const auto marks = shapes(all, red);
  ASSERT_EQ(marks.size(), 7u);
  EXPECT_EQ(marks[2], "circle 5726,3500 r100 open");
  EXPECT_EQ(marks[4], "line 5501,3500 5801,3500 w5");
  EXPECT_EQ(marks[6], "circle 5651,3500 r100 open");
  for (const Primitive& p : all)
    for (double c : {p.x1, p.y1, p.x2, p.y2}) EXPECT_EQ(c, std::nearbyint(c));
}

TEST(ModelDisplay, ShowsTheCurrentCaseOnly) {
  ModelStore m = two_nodes();
  m.bc_flag(2, 2) = 1;
  m.bc_val(2, 2, 2, 1) = 100;
  m.case_no = 1;
  EXPECT_TRUE(shapes(drawn(m), red).empty());
  m.case_no = 2;
  EXPECT_EQ(shapes(drawn(m), red).size(), 3u);  // square, circle; the force along L has no length here
}

TEST(ModelDisplay, DegenerateModelsDraw) {
  // One node, then two on one point: R falls back to 1 mm, the nodes sit at the centre.
  ModelStore one;
  one.form_load();
  add_node(one, 0, 100, 50);
  EXPECT_EQ(shapes(drawn(one), black), (S{"circle 3500,4500 r50 solid"}));
  add_node(one, 0, 100, 50);
  EXPECT_EQ(count_of(drawn(one), Op::circle, black), 2);

  // No nodes: only the triad, at the centre, 0.3 normalised units long.
  ModelStore none;
  none.form_load();
  const auto all = drawn(none);
  EXPECT_EQ(all.size(), 6u);
  EXPECT_EQ(shapes(all, light_blue)[2], "line 3500,4500 4400,4500 w2");

  // A tiny model far from the origin (W and turned H both near 1e6 mm, R = 0.5 mm): the triad
  // would lie billions of twips away and is left out; the model and its symbols are drawn.
  ModelStore far;
  far.form_load();
  add_node(far, 0, 1e6f, -1e6f);
  add_node(far, 0, 1e6f + 1, -1e6f - 1);
  far.bc_flag(1, 1) = 1;
  far.bc_val(1, 1, 1, 3) = 1;
  EXPECT_TRUE(shapes(drawn(far), light_blue).empty());
  EXPECT_EQ(shapes(drawn(far), red).size(), 4u);
}
