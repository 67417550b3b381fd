// The analysis model built from the design, and the fast merge walks against the plain ones.
#include "model/mesh.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "design_fixtures.h"

namespace {

int count_prop(const ModelStore& m, int prop) {
  int n = 0;
  for (int e = 1; e <= m.n_elem; ++e) n += m.elem_nod(e, 3) == prop;
  return n;
}

// Builds without a section file: every record is a design record here.
void build(ModelStore& m, MergeWalk walk = MergeWalk::fast) { build_analysis_model(m, SectionValueTable(), walk); }

// The analysis layer of two stores is the same, row for row.
void expect_same_model(const ModelStore& a, const ModelStore& b) {
  ASSERT_EQ(a.n_node, b.n_node);
  ASSERT_EQ(a.n_elem, b.n_elem);
  ASSERT_EQ(a.n_prop, b.n_prop);
  for (int i = 1; i <= a.n_node; ++i)
    for (int x = 1; x <= 3; ++x) ASSERT_EQ(a.node_xyz(i, x), b.node_xyz(i, x)) << "node " << i;
  for (int e = 1; e <= a.n_elem; ++e)
    for (int x = 1; x <= 3; ++x) {
      ASSERT_EQ(a.elem_nod(e, x), b.elem_nod(e, x)) << "element " << e;
      ASSERT_EQ(a.elem_prop(e, x), b.elem_prop(e, x)) << "element " << e;
    }
  for (int p = 1; p <= a.n_prop; ++p)
    for (int x = 1; x <= 7; ++x) ASSERT_EQ(a.prop_tab(p, x), b.prop_tab(p, x));
}

TEST(AnalysisModel, GroundStructureCountsOfOneBox) {
  // Nodes and elements of one 100 mm cube for its divisions along L, W, H.
  const std::tuple<int, int, int, int, int> cases[] = {
      {1, 1, 1, 8, 28}, {2, 1, 1, 12, 62}, {2, 2, 2, 27, 302}, {3, 3, 3, 64, 1716}, {8, 1, 1, 36, 518}};
  for (const auto& [dl, dw, dh, nodes, elements] : cases) {
    ModelStore m;
    add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), dl, dw, dh);
    build(m);
    EXPECT_EQ(m.n_node, nodes) << dl << "," << dw << "," << dh;
    EXPECT_EQ(m.n_elem, elements) << dl << "," << dw << "," << dh;
    EXPECT_EQ(m.n_prop, 1);
    EXPECT_EQ(count_prop(m, 1), elements);
  }
}

TEST(AnalysisModel, OneCubeWithItsDesignSet) {
  ModelStore m;
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  build(m);
  // Pairs in order (1,2), (1,3), ..., (7,8); nodes in corner order.
  EXPECT_EQ(m.elem_nod(1, 2), 2);
  EXPECT_EQ(m.elem_nod(28, 1), 7);
  EXPECT_EQ(m.node_xyz(6, 1), -50.0f);
  // Design set: -E, G = 206000 / 2 / 1.33, no section values.
  EXPECT_EQ(m.prop_tab(1, 1), -206000.0f);
  EXPECT_NEAR(m.prop_tab(1, 2), 77443.609, 0.01);
  for (int c = 3; c <= 7; ++c) EXPECT_EQ(m.prop_tab(1, c), 0.0f);
}

TEST(AnalysisModel, CapacityErrorsLeaveThePreviousModel) {
  ModelStore m;
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  build(m);
  const ModelStore before = m;

  // 5 x 4 x 4: 150 points, more pairs than one record may examine.
  m.gr_div(1, 1) = 5;
  m.gr_div(1, 2) = m.gr_div(1, 3) = 4;
  EXPECT_EQ(error_of([&] { build(m); }),
            "Capacity exceeded (box/bar 1: 150 lattice points, more than 10000 pairs)");
  expect_same_model(m, before);

  // Line-shaped boxes (no width, no height) of 30 divisions: 124 points and 480 elements
  // each; the ninth passes 1000 nodes long before 5000 elements.
  ModelStore lines;
  for (int i = 0; i < 9; ++i) add_box(lines, Vec3(100, 0, 0), Vec3(0, 10.0f * i, 0), 30, 1, 1);
  EXPECT_EQ(error_of([&] { build(lines); }), "Capacity exceeded (more than 1000 nodes at box/bar 9)");
  EXPECT_EQ(lines.n_node, 0);
  lines.n_gr = 8;
  build(lines);
  EXPECT_EQ(lines.n_node, 8 * 31);  // the four points of each layer merge
  EXPECT_EQ(lines.n_elem, 8 * 30);
  // Exactly 1000 nodes before merging (8 x 124 and a cube's 8) is still a model.
  add_box(lines, Vec3(100, 100, 100), Vec3(0, 0, 500), 1, 1, 1);
  EXPECT_NO_THROW(build(lines));
}

TEST(AnalysisModel, ExactlyFiveThousandElementsIsAModel) {
  // A cube (28), five boxes of 2 x 1 x 1 (62 each) and nine of 8 x 1 x 1 (518 each), apart.
  ModelStore m;
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  for (int i = 1; i <= 14; ++i) add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 200.0f * i), i <= 5 ? 2 : 8, 1, 1);
  build(m);
  EXPECT_EQ(m.n_elem, 5000);
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, -200), 1, 1, 1);
  EXPECT_EQ(error_of([&] { build(m); }), "Capacity exceeded (more than 5000 elements at box/bar 16)");
  EXPECT_EQ(m.n_elem, 5000);  // the previous model stays
}

TEST(AnalysisModel, TwoBoxesSharingAFaceKeepItOnceWithTheLaterSet) {
  ModelStore m;
  EXPECT_EQ(model_count_text(m), "");
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  add_box(m, Vec3(100, 100, 100), Vec3(100, 0, 0), 1, 1, 1);
  build(m);
  EXPECT_EQ(m.n_node, 12);
  EXPECT_EQ(m.n_elem, 28 + 28 - 6);  // the face's 4 edges and 2 diagonals once
  EXPECT_EQ(m.n_prop, 2);
  EXPECT_EQ(count_prop(m, 2), 28);
  EXPECT_EQ(count_prop(m, 1), 22);
  // The face's elements keep the first box's places: its +L corners 1, 3, 5, 7 are joined by
  // elements 2 (1-3), 4 (1-5), 6 (1-7), ...; they now carry set 2.
  EXPECT_EQ(m.elem_nod(2, 1), 1);
  EXPECT_EQ(m.elem_nod(2, 2), 3);
  EXPECT_EQ(m.elem_nod(2, 3), 2);
  EXPECT_EQ(m.elem_nod(1, 3), 1);  // 1-2 runs along L inside the first box

  // The counts shown while the geometry is edited.
  m.gr_mat(2, 2) = -1;  // a Poisson's ratio the property set refuses does not hide the counts
  EXPECT_EQ(model_count_text(m), "Model: 12 nodes, 50 elements");
  m.gr_div(1, 1) = 5;
  m.gr_div(1, 2) = m.gr_div(1, 3) = 4;
  EXPECT_EQ(model_count_text(m), "Over the limit: box/bar 1: 150 lattice points, more than 10000 pairs");
}

TEST(AnalysisModel, BarsAndTheirPropertySets) {
  // A design bar and a non-design bar of the same material differ in the sign of E and in
  // the section values of the non-design one (its section is record 2's).
  ModelStore m;
  add_bar(m, 100, Vec3(50, 0, 0));
  add_bar(m, 100, Vec3(50, 100, 0), Vec3(0, 0, 90), 0.0f);
  SectionValueTable sections;
  sections(2, 1) = 200;
  build_analysis_model(m, sections);
  ASSERT_EQ(m.n_node, 4);
  ASSERT_EQ(m.n_elem, 2);
  EXPECT_EQ(m.prop_tab(2, 1), 206000.0f);
  EXPECT_EQ(m.prop_tab(1, 3), 0.0f);
  EXPECT_EQ(m.prop_tab(2, 3), 200.0f);
  // The first bar runs along L from the origin, its reference along W.
  for (int a = 1; a <= 3; ++a) {
    EXPECT_EQ(m.node_xyz(1, a), 0.0f);
    EXPECT_EQ(m.node_xyz(2, a), a == 1 ? 100.0f : 0.0f);
    EXPECT_EQ(m.elem_prop(1, a), a == 2 ? 10.0f : 0.0f);
  }
  EXPECT_EQ(m.elem_nod(1, 1), 1);
  EXPECT_EQ(m.elem_nod(1, 2), 2);
  // Turned 90 degrees about H, the second bar runs along W from (50, 50, 0) to (50, 150, 0)
  // and its reference (local W) points along -L.
  EXPECT_NEAR(m.node_xyz(3, 2), 50, 1e-4);
  EXPECT_NEAR(m.node_xyz(4, 2), 150, 1e-4);
  EXPECT_NEAR(m.elem_prop(2, 1), -10, 1e-4);

  // Poisson's ratio -1 would divide by zero.
  m.gr_mat(1, 2) = -1;
  EXPECT_EQ(error_of([&] { build_analysis_model(m, sections); }),
            "Division by zero (Poisson's ratio -1 of box/bar 1)");
}

TEST(AnalysisModel, FlatBoxIgnoresItsFlatAxis) {
  // Height 0: the two H layers coincide and merge; pairs across the layers fall onto pairs
  // within one, and pairs of a point with itself vanish as zero-length elements.
  ModelStore m;
  add_box(m, Vec3(100, 100, 0), Vec3(0, 0, 0), 1, 1, 1);
  build(m);
  EXPECT_EQ(m.n_node, 4);
  EXPECT_EQ(m.n_elem, 6);  // 4 edges and 2 diagonals of the square

  // 2 x 2 divisions: the 3 x 3 plane grid has 36 pairs, 8 of them through a middle point.
  ModelStore grid;
  add_box(grid, Vec3(100, 100, 0), Vec3(0, 0, 0), 2, 2, 1);
  build(grid);
  EXPECT_EQ(grid.n_node, 9);
  EXPECT_EQ(grid.n_elem, 28);
  for (int e = 1; e <= grid.n_elem; ++e) EXPECT_NE(grid.elem_nod(e, 1), grid.elem_nod(e, 2));
}

TEST(AnalysisModel, MergeToleranceAndTheMergeWalk) {
  // Bars end to end: 0.1 mm apart their ends merge, 0.11 mm apart they do not.
  for (const auto& [gap, nodes] : {std::pair{0.1f, 3}, std::pair{0.11f, 4}}) {
    ModelStore m;
    add_bar(m, 100, Vec3(-50, 0, 0));
    add_bar(m, 100, Vec3(50 + gap, 0, 0));
    build(m);
    EXPECT_EQ(m.n_node, nodes) << gap;
  }
  EXPECT_TRUE(nodes_coincide(Vec3(0, 0, 0), Vec3(0.06f, 0.08f, 0)));  // 0.1 by Pythagoras

  // Node 3 lies within 0.1 of node 1 and of node 2: it takes node 1's number first, then
  // node 2's, and the group of node 2 keeps node 3's coordinates (the last of the group).
  const std::vector<Vec3> chain{Vec3(), Vec3(0, 0, 0), Vec3(0.2f, 0, 0), Vec3(0.1f, 0, 0)};
  const std::vector<int16_t> expected{0, 1, 2, 2};
  EXPECT_EQ(merge_node_numbers(chain), expected);
  EXPECT_EQ(merge_node_numbers_plain(chain), expected);
  MeshBuild mesh;
  mesh.nodes = chain;
  mesh.elements.push_back({1, 2, 1, Vec3()});
  mesh.elements.push_back({3, 1, 1, Vec3()});
  mesh.elements.push_back({2, 3, 1, Vec3()});  // merged into one node: dropped
  merge_and_clean(mesh);
  ASSERT_EQ(mesh.node_count(), 2);
  EXPECT_EQ(mesh.nodes[2][1], 0.1f);
  ASSERT_EQ(mesh.element_count(), 1);  // 1-2 and 2-1 coincide; the last one's row stays
  EXPECT_EQ(mesh.elements[1].n1, 2);
  EXPECT_EQ(mesh.elements[1].n2, 1);
}

TEST(AnalysisModel, SectionFileIsReadOnlyForANonEmptyList) {
  const test_support::WorkingDirectory dir;
  const std::string path = "sections.dat";
  ModelStore m;
  build_analysis_model(m, path);  // empty list: no file needed, nothing changes
  EXPECT_EQ(m.n_node, 0);

  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1);
  build(m);
  m.gr_div(1, 1) = 2;
  EXPECT_EQ(error_of([&] { build_analysis_model(m, path); }), "File not found (" + path + ")");
  EXPECT_EQ(m.n_node, 8);

  test_support::write_file(path, "    1\r\n    0    0\r\n");
  build_analysis_model(m, path);
  EXPECT_EQ(m.n_node, 12);
  // A smaller model clears the rows it no longer uses.
  m.gr_div(1, 1) = 1;
  build_analysis_model(m, path);
  EXPECT_EQ(m.n_node, 8);
  EXPECT_EQ(m.node_xyz(12, 1), 0.0f);
  EXPECT_EQ(m.elem_nod(62, 1), 0);
}

// ---- The fast walks give exactly the plain walks' results ----------------------------------

TEST(MergeWalks, FastWalksEqualThePlainWalksOnRandomModels) {
  std::mt19937 rng(20240611);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int built = 0;
  for (int trial = 0; trial < 60; ++trial) {
    ModelStore m;
    const int records = pick(1, 8);
    for (int r = 0; r < records; ++r) {
      // Centres on a 50 mm grid so that faces and edges meet and merge.
      const Vec3 centre(50.0f * pick(-2, 2), 50.0f * pick(-2, 2), 50.0f * pick(-1, 1));
      if (pick(0, 4) == 0) {
        add_bar(m, 50.0f * pick(1, 3), centre, Vec3(0, 0, 90.0f * pick(0, 1)), float(pick(0, 1)));
        continue;
      }
      const Vec3 size(50.0f * pick(1, 2), 50.0f * pick(1, 2), pick(0, 5) == 0 ? 0.0f : 50.0f * pick(1, 2));
      const int k = add_box(m, size, centre, pick(1, 3), pick(1, 3), pick(1, 2));
      // Corner moves around the merge tolerance: chains of nodes that merge only in part.
      for (int n = pick(0, 3); n > 0; --n)
        m.gr_apex(k, pick(1, 8), pick(1, 3)) = 0.05f * pick(-3, 3);
    }
    ModelStore fast = m, plain = m;
    const std::string e1 = error_of([&] { build(fast, MergeWalk::fast); });
    const std::string e2 = error_of([&] { build(plain, MergeWalk::plain); });
    ASSERT_EQ(e1, e2);
    if (!e1.empty()) continue;
    ++built;
    expect_same_model(fast, plain);
  }
  EXPECT_GT(built, 40);
}

TEST(MergeWalks, FastWalksEqualThePlainWalksOnDenseClouds) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 20; ++trial) {
    // Nodes on a 0.05 mm grid (many within 0.1 of each other, chains across cells), some far.
    std::vector<Vec3> nodes{Vec3()};
    std::uniform_int_distribution<int> grid(-12, 12);
    std::uniform_real_distribution<float> far(-1e4f, 1e4f);
    for (int i = 0; i < 1000; ++i) {
      if (i % 10 == 0)
        nodes.emplace_back(far(rng), far(rng), far(rng));
      else
        nodes.emplace_back(0.05f * grid(rng), 0.05f * grid(rng), trial % 2 ? 0.05f * grid(rng) : 0.0f);
    }
    ASSERT_EQ(merge_node_numbers(nodes), merge_node_numbers_plain(nodes));

    std::vector<MeshElement> elements{MeshElement()};
    std::uniform_int_distribution<int> node(1, 40);
    for (int e = 0; e < 5000; ++e)
      elements.push_back({static_cast<int16_t>(node(rng)), static_cast<int16_t>(node(rng)), 1, Vec3()});
    ASSERT_EQ(duplicate_element_numbers(elements), duplicate_element_numbers_plain(elements));
  }
}

}  // namespace

// A bar that meets nothing at either end floats beside the box (after a re-mesh its end no
// longer lands on a lattice point); one end on the box holds it as a cantilever, and a bar
// alone is the whole model.
TEST(AnalysisModel, AFloatingBarIsNamedWithItsEnds) {
  ModelStore m;
  add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 2, 2, 2);
  add_bar(m, 100, Vec3(100, 0, 0));  // from (50, 0, 0), the middle of the +L face
  build(m);
  EXPECT_EQ(floating_bar(m), "");
  m.gr_div(1, 2) = 3;  // W lattice at -50, -16.7, 16.7, 50: the face's middle is gone
  build(m);
  EXPECT_EQ(floating_bar(m), "bar 2 meets no lattice point and no other bar at either end, (50, 0, 0) and (150, 0, 0)");
  ModelStore alone;
  add_bar(alone, 100, Vec3(50, 0, 0));
  build(alone);
  EXPECT_EQ(floating_bar(alone), "");
}
