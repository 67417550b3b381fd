// The analysis-model display: fit and orientation, element lines, the axis triad, the
// boundary-condition symbols of the current case, and the degenerate models.
#include "view/model_display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/recording_canvas.h"

namespace {
using Op = Primitive::Op;

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

std::vector<Primitive> drawn(ModelStore& m, const ViewWindow& view = modelling_view, CanvasState* end = nullptr) {
  RecordingCanvas canvas;
  draw_model_display(canvas, m, initial_angles, view);
  if (end) *end = canvas.state();
  return canvas.primitives();
}

std::vector<Primitive> of(const std::vector<Primitive>& all, Op op, int colour) {
  std::vector<Primitive> out;
  for (const Primitive& p : all)
    if (p.op == op && p.colour == colour) out.push_back(p);
  return out;
}

std::vector<Primitive> red(const std::vector<Primitive>& all) {
  std::vector<Primitive> out;
  for (const Primitive& p : all)
    if (p.op != Op::text && p.colour == 4) out.push_back(p);
  return out;
}

void expect_at(const Primitive& p, double x, double y) {
  EXPECT_EQ(p.x1, x);
  EXPECT_EQ(p.y1, y);
}
}  // namespace

TEST(ModelDisplay, InitialAnglesDrawLargerWRightAndLargerHHigher) {
  ModelStore m = two_nodes();
  CanvasState end;
  const auto all = drawn(m, modelling_view, &end);

  const auto lines = of(all, Op::line, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].x1, 1500);
  EXPECT_EQ(lines[0].y1, 5500);
  EXPECT_EQ(lines[0].x2, 5500);
  EXPECT_EQ(lines[0].y2, 3500);
  EXPECT_EQ(lines[0].state.line_width, 2);
  EXPECT_EQ(lines[0].state.line_style, LineStyle::solid);
  EXPECT_NEAR(m.node_uv(2, 1), 2.0 / 3, 1e-6);
  EXPECT_NEAR(m.node_uv(2, 2), -1.0 / 3, 1e-6);

  // Plain nodes: black dots of radius 50, solid black fill, 1 pixel.
  const auto dots = of(all, Op::circle, 0);
  ASSERT_EQ(dots.size(), 2u);
  expect_at(dots[1], 5500, 3500);
  EXPECT_EQ(dots[1].x2, 50);
  EXPECT_EQ(dots[1].state.fill_style, FillStyle::solid);
  EXPECT_EQ(dots[1].state.fill_colour, 0);
  EXPECT_EQ(dots[1].state.line_width, 1);

  // The triad last: light blue lines from the origin, each labelled at its end in size 18.
  const auto axes = of(all, Op::line, 9);
  ASSERT_EQ(axes.size(), 3u);
  const double ends[3][2] = {{1500, 5500}, {2400, 5500}, {1500, 4600}};
  const char* names[] = {"L", "W", "H"};
  for (int k = 0; k < 3; ++k) {
    expect_at(axes[k], 1500, 5500);
    EXPECT_EQ(axes[k].x2, ends[k][0]);
    EXPECT_EQ(axes[k].y2, ends[k][1]);
  }
  std::vector<Primitive> texts;
  for (const Primitive& p : all)
    if (p.op == Op::text) texts.push_back(p);
  ASSERT_EQ(texts.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(texts[k].text, names[k]);
    expect_at(texts[k], ends[k][0], ends[k][1]);
    EXPECT_EQ(texts[k].state.font_size, 18);
    EXPECT_EQ(texts[k].state.text_colour, 9);
  }
  EXPECT_EQ(all.size(), 1u + 2 + 3 + 3);
  // What the drawing leaves set for whoever draws next.
  EXPECT_EQ(end.line_width, 2);
  EXPECT_EQ(end.line_style, LineStyle::solid);
  EXPECT_EQ(end.fill_style, FillStyle::solid);
  EXPECT_EQ(end.fill_colour, 10);
  EXPECT_EQ(end.text_colour, 9);
  EXPECT_EQ(end.font_size, 18);
}

TEST(ModelDisplay, NodeWithDataButNothingSetShowsSquareAndCircle) {
  ModelStore m = two_nodes();
  m.bc_flag(1, 2) = 1;
  const auto marks = red(drawn(m));
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].op, Op::rect);
  EXPECT_TRUE(marks[0].filled);
  EXPECT_EQ(marks[0].x1, 5420);
  EXPECT_EQ(marks[0].y1, 3420);
  EXPECT_EQ(marks[0].x2, 5580);
  EXPECT_EQ(marks[0].y2, 3580);
  EXPECT_EQ(marks[1].op, Op::circle);
  expect_at(marks[1], 5500, 3500);
  EXPECT_EQ(marks[1].x2, 80);
  EXPECT_EQ(marks[1].state.fill_style, FillStyle::solid);
  EXPECT_EQ(marks[1].state.fill_colour, 4);
  // The marked node gets no black dot.
  EXPECT_EQ(of(drawn(m), Op::circle, 0).size(), 1u);
}

// Node 2 at (5500, 3500); D_W = (900, 0), D_H = (0, -900).
TEST(ModelDisplay, FixedSpringAndLoadSymbols) {
  ModelStore m = two_nodes();
  m.bc_flag(1, 2) = 1;
  m.bc_val(1, 2, 1, 2) = 1;      // W fixed: circle a quarter along W
  m.bc_val(1, 2, 1, 6) = 1;      // rotation about H fixed: square a quarter along H
  m.spring_val(1, 2, 3) = 10;    // spring along H: hatched circle
  m.spring_val(1, 2, 5) = 10;    // spring about W: hatched square
  m.bc_val(1, 2, 2, 3) = -5;     // force along H: 5-pixel line a third along H
  m.bc_val(1, 2, 2, 5) = 100;    // moment about W: dotted line a third along W, circle at a sixth
  const auto marks = red(drawn(m));
  ASSERT_EQ(marks.size(), 1u + 4 * 2 + 1 + 1 + 2);

  // marks[0] square, then per symbol a thin line and its shape.
  EXPECT_EQ(marks[1].op, Op::line);
  EXPECT_EQ(marks[1].state.line_width, 1);
  EXPECT_EQ(marks[1].x2, 5725);
  EXPECT_EQ(marks[1].y2, 3500);
  EXPECT_EQ(marks[2].op, Op::circle);
  expect_at(marks[2], 5725, 3500);
  EXPECT_EQ(marks[2].x2, 100);
  EXPECT_EQ(marks[2].state.line_width, 2);
  EXPECT_EQ(marks[2].state.fill_style, FillStyle::transparent);

  EXPECT_EQ(marks[4].op, Op::rect);
  EXPECT_FALSE(marks[4].filled);
  EXPECT_EQ(marks[4].x1, 5400);
  EXPECT_EQ(marks[4].y1, 3175);
  EXPECT_EQ(marks[4].x2, 5600);
  EXPECT_EQ(marks[4].y2, 3375);
  EXPECT_EQ(marks[4].state.fill_style, FillStyle::transparent);

  EXPECT_EQ(marks[6].op, Op::circle);
  expect_at(marks[6], 5500, 3275);
  EXPECT_EQ(marks[6].state.fill_style, FillStyle::diagonal_cross);
  EXPECT_EQ(marks[8].op, Op::rect);
  EXPECT_EQ(marks[8].x1, 5625);
  EXPECT_EQ(marks[8].y1, 3400);
  EXPECT_EQ(marks[8].state.fill_style, FillStyle::diagonal_cross);

  // Loads: the filled circle, the force, the moment.
  EXPECT_EQ(marks[9].op, Op::circle);
  EXPECT_EQ(marks[9].x2, 80);
  EXPECT_EQ(marks[10].op, Op::line);
  EXPECT_EQ(marks[10].state.line_width, 5);
  EXPECT_EQ(marks[10].x2, 5500);
  EXPECT_EQ(marks[10].y2, 3200);
  EXPECT_EQ(marks[11].state.line_style, LineStyle::dot);
  EXPECT_EQ(marks[11].state.line_width, 1);
  EXPECT_EQ(marks[11].x2, 5800);
  EXPECT_EQ(marks[11].y2, 3500);
  EXPECT_EQ(marks[12].op, Op::circle);
  expect_at(marks[12], 5650, 3500);
  EXPECT_EQ(marks[12].state.line_style, LineStyle::solid);
  EXPECT_EQ(marks[12].state.fill_style, FillStyle::transparent);
}

TEST(ModelDisplay, LoadSignAndSizeDoNotShow) {
  ModelStore plus = two_nodes(), minus = two_nodes();
  plus.bc_flag(1, 2) = minus.bc_flag(1, 2) = 1;
  plus.bc_val(1, 2, 2, 3) = 5;
  minus.bc_val(1, 2, 2, 3) = -5;
  RecordingCanvas a, b;
  draw_model_display(a, plus, initial_angles, modelling_view);
  draw_model_display(b, minus, initial_angles, modelling_view);
  EXPECT_EQ(a.to_json_lines(), b.to_json_lines());
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
  const ViewWindow view{3500, 4500, 3001, 3001};
  const auto all = drawn(m, view);
  const auto axes = of(all, Op::line, 9);
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(axes[1].x2 - axes[1].x1, 901);
  const auto marks = red(all);
  EXPECT_EQ(marks[2].x1, 5726);
  EXPECT_EQ(marks[4].x2, 5801);
  EXPECT_EQ(marks[6].x1, 5651);
  for (const Primitive& p : all)
    for (double c : {p.x1, p.y1, p.x2, p.y2}) EXPECT_EQ(c, std::nearbyint(c));
}

TEST(ModelDisplay, ShowsTheCurrentCaseOnly) {
  ModelStore m = two_nodes();
  m.bc_flag(2, 2) = 1;
  m.bc_val(2, 2, 2, 1) = 100;
  m.case_no = 1;
  EXPECT_TRUE(red(drawn(m)).empty());
  m.case_no = 2;
  EXPECT_EQ(red(drawn(m)).size(), 3u);  // square, circle; the force along L has no length here
}

TEST(ModelDisplay, DegenerateModelsDraw) {
  // One node: R falls back to 1 mm, the node sits at the centre of the view.
  ModelStore one;
  one.form_load();
  add_node(one, 0, 100, 50);
  auto all = drawn(one);
  ASSERT_EQ(of(all, Op::circle, 0).size(), 1u);
  expect_at(of(all, Op::circle, 0)[0], 3500, 4500);
  EXPECT_EQ(one.node_uv(1, 1), 0);

  // Several nodes on one point draw the same way.
  add_node(one, 0, 100, 50);
  EXPECT_EQ(of(drawn(one), Op::circle, 0).size(), 2u);

  // No nodes: only the triad, at the centre, 0.3 normalised units long.
  ModelStore none;
  none.form_load();
  all = drawn(none);
  const auto axes = of(all, Op::line, 9);
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(all.size(), 6u);
  expect_at(axes[1], 3500, 4500);
  EXPECT_EQ(axes[1].x2, 4400);
  EXPECT_EQ(axes[2].y2, 3600);

  // A tiny model far from the origin (W and turned H both near 1e6 mm, R = 0.5 mm): the triad
  // would lie billions of twips away and is left out; the model and its symbols are drawn.
  ModelStore far;
  far.form_load();
  add_node(far, 0, 1e6f, -1e6f);
  add_node(far, 0, 1e6f + 1, -1e6f - 1);
  far.bc_flag(1, 1) = 1;
  far.bc_val(1, 1, 1, 3) = 1;
  all = drawn(far);
  EXPECT_TRUE(of(all, Op::line, 9).empty());
  EXPECT_EQ(red(all).size(), 4u);
}
