// A record's rotation, corners and lattice, and the rule that joins two lattice points by a beam.
#include "model/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "design_fixtures.h"

namespace {

void expect_near(const Vec3& got, const Vec3& want, double tol = 1e-4) {
  for (int a = 1; a <= 3; ++a) EXPECT_NEAR(got[a], want[a], tol) << "axis " << a;
}

TEST(Geometry, CornersAreTurnedMovedAndDisplaced) {
  ModelStore m;
  const int k = add_box(m, Vec3(100, 60, 20), Vec3(10, 20, 30), 1, 1, 1, Vec3(0, 0, 90));
  m.gr_apex(k, 1, 3) = 5;
  const RecordCorners rc = record_corners(m, k);
  // Corner 1 is (+50, +30, -10) locally; a quarter turn about H takes L to W and W to -L.
  expect_near(rc.plain[1], Vec3(-30 + 10, 50 + 20, -10 + 30));
  expect_near(rc.displaced[1], Vec3(-20, 70, 25));
  // Corner 6 is (-50, -30, -10) and not displaced.
  expect_near(rc.plain[6], Vec3(30 + 10, -50 + 20, 20));
  expect_near(rc.displaced[6], rc.plain[6], 0);
}

TEST(Geometry, LatticeOrderAndBlend) {
  ModelStore m;
  const int k = add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 1, 1, 1, Vec3(30, 20, 10));
  m.gr_apex(k, 7, 2) = 12.5f;
  const RecordCorners rc = record_corners(m, k);
  // Divisions 1, 1, 1: the points are the displaced corners in corner order.
  const Lattice cube = record_lattice(m, k, rc.displaced);
  ASSERT_EQ(cube.count(), 8);
  for (int c = 1; c <= 8; ++c) expect_near(cube.xyz[c], rc.displaced[c], 0);

  // Divisions 2, 1, 1 of an axis-aligned box whose corner 1 (+L, +W, -H) moved 10 along L:
  // W layer from the top, H layer upwards, L layer from the top.
  ModelStore b;
  const int kb = add_box(b, Vec3(100, 100, 100), Vec3(0, 0, 0), 2, 1, 1);
  b.gr_apex(kb, 1, 1) = 10;
  const Lattice lat = record_lattice(b, kb, record_corners(b, kb).displaced);
  ASSERT_EQ(lat.count(), 12);
  using Index = std::array<int16_t, 3>;
  EXPECT_EQ(lat.index[1], (Index{2, 1, 0}));
  EXPECT_EQ(lat.index[2], (Index{1, 1, 0}));
  EXPECT_EQ(lat.index[3], (Index{0, 1, 0}));
  EXPECT_EQ(lat.index[12], (Index{0, 0, 1}));
  expect_near(lat.xyz[1], Vec3(60, 50, -50));  // the moved corner
  expect_near(lat.xyz[2], Vec3(5, 50, -50));   // the edge midpoint follows by half
  expect_near(lat.xyz[3], Vec3(-50, 50, -50));

  EXPECT_EQ(error_of([&] { lattice_points(rc.displaced, 2, 0, 1, 4); }), "Overflow (division number 0 of box/bar 4)");
}

TEST(Geometry, GroundStructureRule) {
  ModelStore m;
  const int k = add_box(m, Vec3(100, 100, 100), Vec3(0, 0, 0), 2, 1, 1);
  const Lattice lat = record_lattice(m, k, record_corners(m, k).displaced);
  const std::vector<PointPair> pairs = choose_pairs(lat, AxisWeights{}, k);
  ASSERT_EQ(pairs.size(), 62u);
  // In order of p, then q; the four pairs two L layers apart on one W, H line are missing.
  EXPECT_EQ(pairs[0].p, 1);
  EXPECT_EQ(pairs[0].q, 2);
  EXPECT_EQ(pairs[1].q, 4);  // 1-3 runs through point 2
  for (const PointPair& pq : pairs) {
    const auto& a = lat.index[pq.p];
    const auto& b = lat.index[pq.q];
    EXPECT_FALSE(std::abs(a[0] - b[0]) == 2 && a[1] == b[1] && a[2] == b[2]);
  }
  // With the L axis ignored, pairs that differ by one L layer and two W or H layers would
  // also go; here W and H have one division, so ignoring W and H drops every pair within an
  // L layer (differences 0 along L, divisible by 2).
  const std::vector<PointPair> line = choose_pairs(lat, AxisWeights{true, false, false}, k);
  EXPECT_EQ(line.size(), 2u * 16u);
}

}  // namespace
