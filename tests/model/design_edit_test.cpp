// Editing the design list: bars from their ends and back, corner picking, record removal.
#include <gtest/gtest.h>

#include "model/design_edit.h"

TEST(BarFromPoints, AnglesOfBarsAlongTheAxes) {
  const struct {
    Point3d p1, p2;
    double about_w, about_h;
  } bars[] = {{{0, 50, 0}, {0, -50, 0}, 0, 90},      {{0, -50, 0}, {0, 50, 0}, 0, -90},
              {{10, 20, 130}, {10, 20, 30}, -90, 0}, {{10, 20, 30}, {10, 20, 130}, 90, 0},
              {{-100, 0, 0}, {0, 0, 0}, 0, 180}};
  for (const auto& b : bars) {
    const auto g = bar_from_points(b.p1, b.p2);
    ASSERT_TRUE(g);
    EXPECT_NEAR(g->rotation_degrees[1], b.about_w, 1e-12) << b.p1[0] << ", " << b.p1[1] << ", " << b.p1[2];
    EXPECT_NEAR(g->rotation_degrees[2], b.about_h, 1e-12) << b.p1[0] << ", " << b.p1[1] << ", " << b.p1[2];
  }
  EXPECT_DOUBLE_EQ(bar_from_points({0, 50, 0}, {0, -50, 0})->length, 100);
  EXPECT_EQ(bar_from_points({10, 20, 130}, {10, 20, 30})->centre, (Point3d{10, 20, 80}));
  EXPECT_FALSE(bar_from_points({1, 2, 3}, {1, 2, 3}));
}

TEST(BarFromPoints, EndsComputedBackFromTheRecordAreThePoints) {
  const Point3d p1{120, -35, 60}, p2{-20, 40, -15};
  auto g = bar_from_points(p1, p2);
  ASSERT_TRUE(g);
  const Vec3 centre(float(g->centre[0]), float(g->centre[1]), float(g->centre[2]));
  const Vec3 rot(float(g->rotation_degrees[0]), float(g->rotation_degrees[1]), float(g->rotation_degrees[2]));
  const BarEnds ends = bar_end_points(g->length, centre, rot);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_NEAR(ends.point1[k], p1[k - 1], 1e-3);
    EXPECT_NEAR(ends.point2[k], p2[k - 1], 1e-3);
  }
}

TEST(PickCorner, NearestCornerAndTiesToTheHigherNumber) {
  ModelStore m;
  const ViewWindow view{1000, 1000, 1000, 1000};
  for (int c = 1; c <= 8; ++c) {
    m.apex_scr(c, 1) = float(c);
    m.apex_scr(c, 2) = 0;
  }
  EXPECT_EQ(pick_corner(m, view, 3100, 1000), 2);  // corner 2 sits at x = 3000
  EXPECT_EQ(pick_corner(m, view, -50000, 90000), 1);  // far away still picks
  m.apex_scr(6, 1) = m.apex_scr(3, 1);  // two corners projected onto one point
  EXPECT_EQ(pick_corner(m, view, 4000, 1000), 6);
}

TEST(RemoveRecord, LaterRecordsMoveUpWithEverything) {
  ModelStore m;
  m.n_gr = 3;
  for (int k = 1; k <= 3; ++k) {
    m.gr_len(k, 1) = 100.0f * k;
    m.gr_cen(k, 3) = -1.0f * k;
    m.gr_rot(k, 2) = 10.0f * k;
    m.gr_div(k, 1) = int16_t(k);
    m.gr_div(k, 4) = k == 3 ? 2 : 1;
    m.gr_apex(k, 8, 3) = 0.5f * k;
    m.gr_mat(k, 1) = 1000.0f * k;
    m.gr_mat(k, 3) = k == 3 ? 0.0f : 1.0f;
  }
  remove_record(m, 2);
  EXPECT_EQ(m.gr_len(1, 1), 100);
  EXPECT_EQ(m.gr_len(2, 1), 300);
  EXPECT_EQ(m.gr_cen(2, 3), -3);
  EXPECT_EQ(m.gr_rot(2, 2), 30);
  EXPECT_EQ(m.gr_div(2, 1), 3);
  EXPECT_EQ(m.gr_div(2, 4), 2);
  EXPECT_EQ(m.gr_apex(2, 8, 3), 1.5f);
  EXPECT_EQ(m.gr_mat(2, 1), 3000);
  EXPECT_EQ(m.gr_mat(2, 3), 0);
}
