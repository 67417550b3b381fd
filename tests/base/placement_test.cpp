// Placing a window beside what it must not hide (screen pixels, worked out by hand).
#include <gtest/gtest.h>

#include "base/placement.h"

namespace {
bool same(const ScreenRect& a, const ScreenRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
}  // namespace

TEST(Placement, BesideThePointRightFirstThenLeftThenBelow) {
  const ScreenRect screen{0, 0, 1920, 1080};
  const ScreenRect node{300, 400, 0, 0};
  // Right of the node, 24 px away, its middle level with the node.
  EXPECT_TRUE(same(place_beside(node, node, 500, 300, screen, 24), {324, 250, 500, 300}));
  // No room on the right: on the left.
  const ScreenRect right_edge{1700, 400, 0, 0};
  EXPECT_TRUE(same(place_beside(right_edge, right_edge, 500, 300, screen, 24), {1176, 250, 500, 300}));
  // Near the top, the dialog is kept on the screen, still beside the node.
  const ScreenRect top{300, 20, 0, 0};
  EXPECT_TRUE(same(place_beside(top, top, 500, 300, screen, 24), {324, 0, 500, 300}));
  // A window as wide as the screen cannot go beside: below.
  EXPECT_TRUE(same(place_beside(node, node, 1920, 300, screen, 24), {0, 424, 1920, 300}));
}

TEST(Placement, WithoutRoomItLeavesThePartThatMattersInSight) {
  // A post-processing window of 1328 x 580 at the top left of a 1920 x 1080 screen; its status
  // column is x 560..936, y 430..570. Nothing of that size fits beside it: kept on the screen,
  // the place below (y 500) covers 70 rows of the status, the one on the right (x 592) all of
  // them, and the others the whole window: below is taken.
  const ScreenRect screen{0, 0, 1920, 1080};
  const ScreenRect post{0, 0, 1328, 580}, status{560, 430, 376, 140};
  const ScreenRect at = place_beside(post, status, 1328, 580, screen, 8);
  EXPECT_TRUE(same(at, {0, 500, 1328, 580}));
  EXPECT_EQ(overlap_area(at, status), 376LL * 70);
  // On a screen tall enough, below it and clear of it.
  EXPECT_TRUE(same(place_beside(post, status, 1328, 580, {0, 0, 1920, 1200}, 8), {0, 588, 1328, 580}));
}
