// The prepared sections: the rectangular tube, the octagon, and the sizes they accept.
#include <gtest/gtest.h>

#include "section/typical_shapes.h"

namespace {
constexpr int s = 2;

void expect_point(const SectionTable& t, int p, float w, float h, float tolerance = 0) {
  EXPECT_NEAR(t.pnt_xy(s, p, 1), w, tolerance) << "point " << p;
  EXPECT_NEAR(t.pnt_xy(s, p, 2), h, tolerance) << "point " << p;
}
}  // namespace

TEST(TypicalShapes, DefaultRectangle) {
  SectionTable t;
  t.n_sec = s;
  ASSERT_TRUE(make_typical_shape(t, s, TypicalShapeInput{}));
  ASSERT_EQ(t.n_pnt(s), 4);
  ASSERT_EQ(t.n_line(s), 4);
  const float corners[5][2] = {{}, {50, 50}, {50, -50}, {-50, -50}, {-50, 50}};
  for (int l = 1; l <= 4; ++l) {
    expect_point(t, l, corners[l][0], corners[l][1]);
    EXPECT_EQ(t.line_pnt(s, l, 1), l);
    EXPECT_EQ(t.line_pnt(s, l, 2), l % 4 + 1);
    EXPECT_FLOAT_EQ(t.line_t(s, l), 1);
  }
}

TEST(TypicalShapes, OctagonCarriesTheOffsetsOfItsAngleConstant) {
  SectionTable t;
  TypicalShapeInput in;
  in.shape = TypicalShape::circular;
  ASSERT_TRUE(make_typical_shape(t, s, in));
  ASSERT_EQ(t.n_pnt(s), 8);
  ASSERT_EQ(t.n_line(s), 8);
  expect_point(t, 1, 50, 0);
  expect_point(t, 2, 35.35536f, 35.35532f, 2e-5f);
  // 6.28318 / 4 falls 1.3268e-6 short of a right angle: 50 x that off the axis.
  expect_point(t, 3, 6.634e-5f, 50, 1e-8f);
  expect_point(t, 5, -50, 1.3268e-4f, 1e-7f);
  expect_point(t, 7, -1.990e-4f, -50, 1e-7f);
  for (int l = 1; l <= 7; ++l) EXPECT_EQ(t.line_pnt(s, l, 2), l + 1);
  EXPECT_EQ(t.line_pnt(s, 8, 1), 8);
  EXPECT_EQ(t.line_pnt(s, 8, 2), 1);
}

TEST(TypicalShapes, OnlyThePositiveProductMakesAShape) {
  SectionTable t;
  t.n_pnt(s) = 3;  // a sketch already there
  TypicalShapeInput in;
  in.width = 0;
  EXPECT_FALSE(make_typical_shape(t, s, in));
  in.width = 100;
  in.thickness = -1;
  EXPECT_FALSE(make_typical_shape(t, s, in));
  // Positive in double but 0 as a Single.
  in.thickness = 1;
  in.width = in.height = 1e-30f;
  EXPECT_FALSE(make_typical_shape(t, s, in));
  in.shape = TypicalShape::circular;
  in.radius = 0;
  EXPECT_FALSE(make_typical_shape(t, s, in));
  EXPECT_EQ(t.n_pnt(s), 3);
  EXPECT_EQ(t.n_line(s), 0);

  // Two negative sizes pass and mirror the rectangle.
  in.shape = TypicalShape::rectangular;
  in.width = -100;
  in.height = -40;
  ASSERT_TRUE(make_typical_shape(t, s, in));
  expect_point(t, 1, -50, -20);
}
