// Where the labels of a picture go, with text sizes given as numbers (no font involved).
#include <gtest/gtest.h>

#include "base/number_labels.h"

namespace {

LabelRequest text_at(double x, double y, double towards_x, double towards_y, bool droppable = false) {
  return {x, y, 200, 100, towards_x, towards_y, droppable};
}

bool covers(const LabelBox& a, const LabelBox& b) {
  return std::min(a.x2, b.x2) > std::max(a.x1, b.x1) && std::min(a.y2, b.y2) > std::max(a.y1, b.y1);
}

}  // namespace

// Each label goes the way it prefers, a gap off its point, while that place is free.
TEST(LabelLayout, PreferredPlacesAGapOffThePoint) {
  const auto boxes = place_labels({text_at(1000, 1000, 1, -1), text_at(3000, 1000, 1, 1), text_at(5000, 1000, 0, 1),
                                   text_at(7000, 1000, -1, 0)},
                                  {});
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(*boxes[0], (LabelBox{1045, 855, 1245, 955}));  // up and right
  EXPECT_EQ(*boxes[1], (LabelBox{3045, 1045, 3245, 1145}));  // down and right
  EXPECT_EQ(*boxes[2], (LabelBox{4900, 1045, 5100, 1145}));  // under, centred
  EXPECT_EQ(*boxes[3], (LabelBox{6755, 950, 6955, 1050}));  // left, centred
}

// Labels of one point (nodes that the view puts on one another) take the four corners round it,
// the first given its choice; then a droppable label is left out, another takes the place it
// covers least of: beside the point, where it grazes two corners.
TEST(LabelLayout, LaterLabelsMoveOrGiveWay) {
  std::vector<LabelRequest> same(4, text_at(1000, 1000, 1, -1));
  same.push_back(text_at(1000, 1000, 1, -1, true));
  same.push_back(text_at(1000, 1000, 1, -1));
  const auto boxes = place_labels(same, {});
  ASSERT_EQ(boxes.size(), 6u);
  EXPECT_EQ(*boxes[0], (LabelBox{1045, 855, 1245, 955}));   // up and right
  EXPECT_EQ(*boxes[1], (LabelBox{755, 855, 955, 955}));     // up and left
  EXPECT_EQ(*boxes[2], (LabelBox{1045, 1045, 1245, 1145}));  // down and right
  EXPECT_EQ(*boxes[3], (LabelBox{755, 1045, 955, 1145}));    // down and left
  EXPECT_FALSE(boxes[4].has_value());
  EXPECT_EQ(*boxes[5], (LabelBox{1045, 950, 1245, 1050}));
}

// An obstacle (a legend, a symbol) keeps labels off; a label that only touches it is clear of it.
TEST(LabelLayout, ObstaclesAreKeptClearOfButMayBeTouched) {
  const LabelBox legend{0, 0, 1245, 855};  // touches the preferred place's top edge
  auto boxes = place_labels({text_at(1000, 1000, 1, -1)}, {legend});
  EXPECT_EQ(*boxes[0], (LabelBox{1045, 855, 1245, 955}));
  boxes = place_labels({text_at(1000, 1000, 1, -1)}, {{0, 0, 1245, 900}});
  EXPECT_FALSE(covers(*boxes[0], {0, 0, 1245, 900}));
  EXPECT_EQ(*boxes[0], (LabelBox{1045, 950, 1245, 1050}));  // the next way round: right of the point
  // A box reaching far beyond the others (the outside of a picture) is weighed like any other.
  boxes = place_labels({text_at(1000, 1000, 1, -1)}, {{1100, -1e9, 1e9, 1e9}});
  EXPECT_LE(boxes[0]->x2, 1100);
}

// A slanting stroke is kept clear of along its length, not over the whole box round it.
TEST(LabelLayout, StrokeBoxesFollowTheStroke) {
  const std::vector<LabelBox> boxes = stroke_boxes(0, 0, 1000, 1000, 50);
  EXPECT_GE(boxes.size(), 10u);
  auto inside = [&](double x, double y) {
    for (const LabelBox& b : boxes)
      if (x >= b.x1 && x <= b.x2 && y >= b.y1 && y <= b.y2) return true;
    return false;
  };
  for (double t = 0; t <= 1000; t += 25) EXPECT_TRUE(inside(t, t)) << t;
  EXPECT_FALSE(inside(900, 100));
  EXPECT_FALSE(inside(100, 900));
}
