// The result display against hand calculations: prisms, threshold, sections, painting order.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "base/number_labels.h"
#include "base/recording_canvas.h"
#include "post/result_display.h"
#include "section/sketch_edit.h"
#include "support/drawing.h"

namespace {

// A one-cycle result built in memory. With the view angles (0, 0, 0) the drawing shows W to the
// right and H downwards, and the depth of a point is its L.
struct Result {
  std::unique_ptr<ResultStore> store = std::make_unique<ResultStore>();
  ResultStore& r = *store;

  explicit Result(float pd_max = 20) {
    r.pd_max = pd_max;
    r.pn_cyc = 1;
  }
  int node(float l, float w, float h) {
    const int i = ++r.pn_node;
    r.pnode_xyz(1, i, 1) = l;
    r.pnode_xyz(1, i, 2) = w;
    r.pnode_xyz(1, i, 3) = h;
    return i;
  }
  int element(int n1, int n2, float diameter, int kind = 0, Vec3 ref = {}) {
    const int e = ++r.pn_elem;
    r.pe_nod(e, 1) = static_cast<int16_t>(n1);
    r.pe_nod(e, 2) = static_cast<int16_t>(n2);
    r.pe_flag(e) = static_cast<int16_t>(kind);
    r.pe_dia(1, e) = diameter;
    for (int a = 1; a <= 3; ++a) r.pe_ref(e, a) = ref[a];
    return e;
  }
  // A section whose lines join the given (W, H) points pairwise: {p1, p2, p3, p4} gives 2 lines.
  int section(const std::vector<std::pair<float, float>>& ends) {
    const int s = ++r.sections.n_sec;
    for (size_t i = 1; i < ends.size(); i += 2) {
      const int p = add_section_point(r.sections, s, ends[i - 1].first, ends[i - 1].second);
      add_section_line(r.sections, s, p, add_section_point(r.sections, s, ends[i].first, ends[i].second), 0);
    }
    return s;
  }
};

ResultPicture plain_view(float threshold = 1, bool hidden = false) {
  ResultPicture p;
  p.threshold = threshold;
  p.hidden_lines = hidden;
  p.angles = Vec3(0, 0, 0);
  return p;
}

RecordingCanvas drawn(ResultDisplay& d, const Result& m, const ResultPicture& p = plain_view()) {
  RecordingCanvas c;
  d.draw(c, m.r, p);
  return c;
}

std::vector<Primitive> lines_of(const RecordingCanvas& c, int colour) { return test_support::of(c.primitives(), Primitive::Op::line, colour); }

constexpr int design_colour = 6, section_colour = 0, grey = 7, axes_colour = 9, centre_colour = 14;

}  // namespace

TEST(ResultDisplay, PrismCornersEdgesAndAxesByHand) {
  Result m;
  m.node(0, 0, 0);
  m.node(100, 0, 0);
  m.node(0, 100, 100);  // widens the extent: D = 100, centre (50, 50)
  m.element(1, 2, 20);
  ResultDisplay d;
  const RecordingCanvas c = drawn(d, m);

  using Ends = std::array<double, 4>;
  auto ends = [](const Primitive& p) { return Ends{p.x1, p.y1, p.x2, p.y2}; };
  const auto prism = lines_of(c, design_colour);
  ASSERT_EQ(prism.size(), 18u);  // 6 longitudinal edges, 6 at each end
  // Frame of an element along L: R = (0, 1, 0) / D, so U1 = H and U2 = W. The corner at -30
  // degrees of node 1 lies at W = -10 cos 30 = -8.66, H = 10 sin(-30) = -5, and maps to
  // x = (-8.66 - 50) / 100 * 6000 + 4000 = 480, y = (-5 - 50) / 100 * 6000 + 4000 = 700; its
  // neighbour at +30 degrees to y = 1300. Edge 1-4 of face 1 joins them.
  EXPECT_EQ(ends(prism[0]), (Ends{480, 700, 480, 1300}));

  // The triad at the origin, 0.3 D long: L points at the viewer, W right, H down.
  const auto axes = lines_of(c, axes_colour);
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(ends(axes[0]), (Ends{1000, 1000, 1000, 1000}));
  EXPECT_EQ(ends(axes[1]), (Ends{1000, 1000, 2800, 1000}));
  EXPECT_EQ(ends(axes[2]), (Ends{1000, 1000, 1000, 2800}));
}

TEST(ResultDisplay, ThresholdTurnsThinDesignElementsIntoCentreLines) {
  Result m(20);
  const int a = m.node(0, 0, 0), b = m.node(100, 50, 0), c3 = m.node(0, 100, 100);
  m.element(a, b, 20);
  m.element(b, c3, 10);
  m.element(c3, a, 9.999f);
  m.element(a, c3, 1, 1, Vec3(0, 1, 0));  // non-design: drawn whatever its diameter
  m.section({{0, 0}, {10, 0}});
  ResultDisplay d;
  const struct {
    float threshold;
    size_t prisms, centres;
  } cases[] = {
      {1.0f, 1, 2},  // only the element of maximum diameter
      {0.5f, 2, 1},  // 10 = 0.5 x 20 exactly: equality draws the beam
      {0.0f, 3, 0},
      {2.0f, 0, 3},  // above the scroll bar's range: still a threshold
  };
  for (const auto& c : cases) {
    const RecordingCanvas canvas = drawn(d, m, plain_view(c.threshold));
    EXPECT_EQ(lines_of(canvas, design_colour).size(), 18 * c.prisms) << c.threshold;
    EXPECT_EQ(lines_of(canvas, centre_colour).size(), c.centres) << c.threshold;
    EXPECT_EQ(lines_of(canvas, section_colour).size(), 4u) << c.threshold;
  }
}

TEST(ResultDisplay, PrismAlongWTurnsByTheHAxis) {
  Result m;
  const int o = m.node(0, 0, 0);
  const int w = m.node(0, 100, 0);
  const double s997 = std::sqrt(1 - 0.997 * 0.997), s999 = std::sqrt(1 - 0.999 * 0.999);
  const int n997 = m.node(static_cast<float>(100 * s997), 99.7f, 0);
  const int n999 = m.node(static_cast<float>(100 * s999), 99.9f, 0);
  m.element(o, w, 20);     // faces 0..5
  m.element(o, n997, 20);  // faces 6..11
  m.element(o, n999, 20);  // faces 12..17
  ResultDisplay d;
  const RecordingCanvas c = drawn(d, m, plain_view(1, true));
  const auto& f = d.faces();
  ASSERT_EQ(f.size(), 18u);
  // D = 100 (the W extent), centre H = 0. Along W the reference is (0, 0, 1): U2 = H, U1 = L,
  // so corner 1 (-30 degrees) lies at H = -10 cos 30, L = 10 sin(-30) = -5.
  EXPECT_NEAR(f[0].v[0], -0.0866, 1e-4);
  EXPECT_NEAR(f[0].depth[0], -5, 1e-4);
  EXPECT_NEAR(f[0].depth[3], 5, 1e-4);
  // |W2 - W1| / |A| = 0.997 keeps (0, 1, 0): U1 = H, corner 1 at H = 10 sin(-30) = -5.
  EXPECT_NEAR(f[6].v[0], -0.05, 1e-4);
  // 0.999 is past 0.998: the H reference again.
  EXPECT_NEAR(f[12].v[0], -0.0866, 1e-4);
}

TEST(ResultDisplay, SectionsFollowTheirReferenceDirectionAndTheKthSectionWithLines) {
  Result m;
  const int a = m.node(0, 500, 500), b = m.node(100, 500, 500), c3 = m.node(0, 600, 600);
  m.section({});                                  // section 1: no lines, not counted
  m.section({{0, 0}, {10, 0}});                   // the first non-design element's
  m.section({{0, 0}, {0, 20}, {5, 5}, {5, 15}});  // the second's, and the third's
  m.element(a, b, 5, 1, Vec3(0, 0, 1));  // its W axis along global H
  m.element(b, c3, 20, 0, Vec3(100, 501, 500));
  m.element(a, c3, 5, 1, Vec3(0, 1, 0));
  m.element(b, c3, 5, 1, Vec3(1, 0, 0));
  ResultDisplay d;
  const RecordingCanvas c = drawn(d, m);
  const auto section = lines_of(c, section_colour);
  ASSERT_EQ(section.size(), 4u + 8u + 8u);  // 4 edges per section line
  EXPECT_EQ(section[0].state.line_style, LineStyle::dot);
  // The reference is a direction, wherever the element lies: section W = 10 goes 10 mm along
  // global H, drawn straight down the surface by 10 / D * 6000 = 600 twips (D = 100).
  EXPECT_EQ(section[0].x1, section[0].x2);
  EXPECT_EQ(section[0].y2 - section[0].y1, 600);
}

TEST(ResultDisplay, EqualDepthsArePaintedWithTheLowerFaceNumberLast) {
  auto face = [](float key) {
    Face f{};
    f.key = key;
    return f;
  };
  const std::vector<Face> faces = {face(1), face(2), face(1), face(2), face(0)};
  const std::vector<int> expected = {1, 3, 0, 2, 4};  // nearest first
  EXPECT_EQ(rank_faces(faces, FaceRanking::stable_sort), expected);
  EXPECT_EQ(rank_faces(faces, FaceRanking::selection), expected);

  // The stable sort ranks exactly as the quadratic selection, ties and all.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> depth(-20, 20);
  std::vector<Face> many;
  for (int i = 0; i < 3000; ++i) many.push_back(face(static_cast<float>(depth(random)) / 4));
  EXPECT_EQ(rank_faces(many, FaceRanking::stable_sort), rank_faces(many, FaceRanking::selection));
}

TEST(ResultDisplay, HiddenLinesPaintBackToFrontAfterTheCentreLines) {
  Result m;
  const int a = m.node(0, 0, 0), b = m.node(0, 100, 0), c3 = m.node(50, 50, 80);
  m.element(a, c3, 1);  // below the threshold: a centre line, drawn at once
  m.element(a, b, 20);
  ResultPicture p = plain_view(0.5f, true);
  p.angles = Vec3(0.3f, 0.4f, 0.5f);
  ResultDisplay d;
  const RecordingCanvas c = drawn(d, m, p);
  const auto& prims = c.primitives();
  ASSERT_EQ(prims.size(), 1u + 6u * 6u + 3u + 3u);
  EXPECT_EQ(prims[0].colour, centre_colour);  // under every face
  EXPECT_EQ(lines_of(c, grey).size(), 12u);
  // Greatest mean depth first.
  const auto& order = d.painted();
  ASSERT_EQ(order.size(), 6u);
  for (size_t i = 1; i < order.size(); ++i)
    EXPECT_LE(d.faces()[static_cast<size_t>(order[i - 1])].key, d.faces()[static_cast<size_t>(order[i])].key);
}

TEST(ResultDisplay, TheFaceStoreGrowsPastTenThousandFaces) {
  Result m;
  for (int i = 0; i < 1000; ++i) m.node(static_cast<float>(i % 10) * 100, static_cast<float>(i / 10 % 10) * 100, static_cast<float>(i / 100) * 100);
  for (int e = 0; e < 2000; ++e) m.element(1 + e % 1000, 1 + (e * 7 + 13) % 1000, 20);
  ResultDisplay d;
  const RecordingCanvas c = drawn(d, m, plain_view(0, true));
  EXPECT_EQ(d.faces().size(), 12000u);
  EXPECT_EQ(lines_of(c, grey).size(), 24000u);
}

TEST(ResultDisplay, DegenerateGeometryAndCyclesDrawWithoutFailing) {
  auto finite = [](const RecordingCanvas& c) {
    for (const Primitive& p : c.primitives())
      if (!std::isfinite(p.x1) || !std::isfinite(p.y1) || !std::isfinite(p.x2) || !std::isfinite(p.y2)) return false;
    return true;
  };
  ResultDisplay d;
  {
    // Every node on one point: D = 0, an element of zero length, a non-design one with it.
    Result m;
    const int a = m.node(5, 5, 5), b = m.node(5, 5, 5);
    m.element(a, b, 20);
    m.element(a, b, 20, 1, Vec3(0, 1, 0));
    m.section({{0, 0}, {10, 0}});
    for (bool hidden : {false, true}) {
      RecordingCanvas c;
      EXPECT_NO_THROW(d.draw(c, m.r, plain_view(0, hidden)));
      EXPECT_TRUE(finite(c));
    }
  }
  {
    // One element seen end on (D = 0 again, the size falls back to pd_max); a non-design
    // element whose reference runs along it; a non-design element without any section.
    Result m;
    const int a = m.node(0, 0, 0), b = m.node(100, 0, 0);
    m.element(a, b, 20);
    m.element(a, b, 20, 1, Vec3(1, 0, 0));
    RecordingCanvas c;
    EXPECT_NO_THROW(d.draw(c, m.r, plain_view(0, true)));
    EXPECT_TRUE(finite(c));
    EXPECT_EQ(lines_of(c, design_colour).size(), 24u);
    EXPECT_EQ(lines_of(c, section_colour).size(), 0u);
    // A cycle the store does not hold draws the axes alone.
    for (int cycle : {0, 2, 201}) {
      ResultPicture p = plain_view();
      p.cycle = cycle;
      d.draw(c, m.r, p);
      EXPECT_EQ(c.primitives().size(), 6u) << cycle;
      EXPECT_TRUE(finite(c));
    }
  }
}

// Node numbers at the nodes of the elements drawn as beams, element numbers at their middles; a
// zoom moves them with their points but keeps their size.
TEST(ResultDisplay, NumbersStandBesideWhatIsDrawnAtOneSize) {
  Result m;
  const int a = m.node(0, 0, 0), b = m.node(0, 100, 0), c3 = m.node(0, 0, 100);
  m.node(0, 100, 100);  // joined by nothing
  m.element(a, b, 20);
  m.element(b, c3, 2);  // thin at threshold 1: a centre line, not numbered
  ResultPicture p = plain_view();
  auto texts = [&](const ResultPicture& q) {
    ResultDisplay d;
    std::vector<Primitive> out;
    for (const Primitive& t : test_support::of(drawn(d, m, q).primitives(), Primitive::Op::text, -1))
      if (t.state.font_size == label_points) out.push_back(t);
    return out;
  };
  EXPECT_TRUE(texts(p).empty());
  p.node_numbers = p.element_numbers = true;
  const std::vector<Primitive> plain = texts(p);
  std::vector<std::string> written;
  for (const Primitive& t : plain) written.push_back(t.text);
  EXPECT_EQ(written, (std::vector<std::string>{"1", "1", "2"}));  // element 1, then its nodes
  // Node 1 at W 0, H 0 maps to (1000, 1000); its number up and right, the element's below its
  // middle (4000, 1000).
  EXPECT_GT(plain[1].state.x, 1000);
  EXPECT_LT(plain[1].state.y, 1000);
  EXPECT_GT(plain[0].state.x, 4000);
  EXPECT_GT(plain[0].state.y, 1000);
  EXPECT_NE(plain[0].state.text_colour, plain[1].state.text_colour);
  p.view.sx *= 2;
  p.view.sy *= 2;
  const std::vector<Primitive> zoomed = texts(p);
  ASSERT_EQ(zoomed.size(), 3u);
  EXPECT_NE(zoomed[2].state.x, plain[2].state.x);
  for (const Primitive& t : zoomed) EXPECT_EQ(t.state.font_size, label_points);
}

// A picture crowded with numbers and loads: nodes on top of each other in the view, a legend, a
// surface of known size. No two texts of the picture cover each other, none leaves the surface
// or covers the legend, every node and load keeps its text, and element numbers without room
// are left out.
TEST(ResultDisplay, LabelsOfACrowdedPictureStandApart) {
  Result m;
  // Seen face on (W right, H down), pairs of nodes one behind the other along L.
  for (float l : {0.0f, 100.0f})
    for (float w : {0.0f, 100.0f}) {
      const int a = m.node(l, w, 0), b = m.node(l, w, 100);
      m.element(a, b, 20);
    }
  for (int e = 1; e <= 4; e += 2) m.element(2 * e - 1, 2 * e + 1, 20);
  ResultPicture p = plain_view();
  p.node_numbers = p.element_numbers = true;
  p.legend = {"Utilisation", {{12, "above 1"}, {10, "0"}}};
  p.view.cx = 4700;  // the frame from 1700 to 7700 across, clear of the legend's corner
  p.surface_width = 8400;
  p.surface_height = 8000;
  NodeConditions loaded;
  loaded.node = 2;
  loaded.loads = {0, 15000, -20000, 0, 0, 0};
  NodeConditions held;
  held.node = 1;
  held.fixed = {true, true, true, false, false, false};
  p.conditions = {held, loaded};
  ResultDisplay d;
  const RecordingCanvas c = drawn(d, m, p);
  std::vector<LabelBox> boxes;
  std::vector<std::string> texts;
  std::vector<Primitive> written = test_support::of(c.primitives(), Primitive::Op::text, -1);
  written.resize(written.size() - 3);  // the legend's title and entries, drawn last
  for (const Primitive& t : written) {
    if (t.state.font_size != label_points) continue;
    double w = 0, h = 0;
    RecordingCanvas measure;
    measure.set_font_size(t.state.font_size);
    measure.measure_text(t.text, w, h);
    boxes.push_back({t.x1, t.y1, t.x1 + w, t.y1 + h});
    texts.push_back(t.text);
  }
  for (size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_GE(boxes[i].x1, 0) << texts[i];
    EXPECT_LE(boxes[i].x2, 8400) << texts[i];
    EXPECT_GE(boxes[i].y1, 0) << texts[i];
    EXPECT_FALSE(boxes[i].x1 < 1110 && boxes[i].y1 < 1080) << texts[i] << " on the legend";  // 11 characters wide
    for (size_t k = 0; k < i; ++k)
      EXPECT_FALSE(std::min(boxes[i].x2, boxes[k].x2) > std::max(boxes[i].x1, boxes[k].x1) &&
                   std::min(boxes[i].y2, boxes[k].y2) > std::max(boxes[i].y1, boxes[k].y1))
          << texts[i] << " covers " << texts[k];
  }
  for (const char* kept : {"1", "2", "3", "4", "5", "6", "7", "8", "15 kN", "20 kN"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), kept), texts.end()) << kept;
  EXPECT_LE(texts.size(), 16u);  // eight node numbers, two loads, at most six element numbers
  // The loads' arrows and the pinned support are drawn over the frame.
  EXPECT_EQ(test_support::count_of(c.primitives(), Primitive::Op::line, force_colour), 6);
  EXPECT_GT(test_support::count_of(c.primitives(), Primitive::Op::line, support_colour), 3);
}

// The dimension lines of a plane view stand clear of the thickest beam: W under the square, 450
// twips and the 100 mm radius (600 twips at D = 1000 mm) below its lower edge.
TEST(ResultDisplay, DimensionLinesClearTheThickestBeam) {
  Result m(200);
  const int a = m.node(0, 0, 0), b = m.node(0, 1000, 0), c3 = m.node(0, 0, 1000), d4 = m.node(0, 1000, 1000);
  m.element(a, b, 200);
  m.element(c3, d4, 40);
  m.element(a, c3, 40);
  ResultPicture p = plain_view(0.1f);
  p.dimensions = true;
  ResultDisplay d;
  const RecordingCanvas c = drawn(d, m, p);
  std::vector<double> across;
  for (const Primitive& l : lines_of(c, 0))
    if (l.y1 == l.y2 && l.x1 == 1000 && l.x2 == 7000) across.push_back(l.y1);
  EXPECT_EQ(across, (std::vector<double>{8050}));
}
