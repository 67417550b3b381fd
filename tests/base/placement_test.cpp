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

// The solver's window beside the window that started it, or where the screen has no room for
// that, over none of its controls: a post-processing window of 1328 x 816 at the top left, its
// controls x 560..1328, y 8..816, and a solver window of 1328 x 549.
TEST(Placement, TheSolverWindowCoversNoControlOfTheWindowThatStartedIt) {
  const ScreenRect post{0, 0, 1328, 816}, controls{560, 8, 768, 808};
  // A screen tall enough: below, at full size.
  EXPECT_TRUE(same(place_clear_of(post, controls, 1328, 549, {0, 0, 1920, 1440}, 8), {0, 824, 1328, 549}));
  // 1920 x 1080: the largest room is below the controls (1328 x 256, more than the 584 x 549
  // on their right or the 552 x 549 on their left), lined up with their middle.
  const ScreenRect low = place_clear_of(post, controls, 1328, 549, {0, 0, 1920, 1080}, 8);
  EXPECT_TRUE(same(low, {280, 824, 1328, 256}));
  EXPECT_EQ(overlap_area(low, controls), 0);
  // A smaller window fits whole over the picture left of the controls, against them.
  EXPECT_TRUE(same(place_clear_of(post, controls, 500, 400, {0, 0, 1400, 900}, 8), {52, 212, 500, 400}));
  // A screen a little wider than the window: the room on the controls' right is taken.
  const ScreenRect right = place_clear_of(post, controls, 1328, 549, {0, 0, 2300, 830}, 8);
  EXPECT_TRUE(same(right, {1336, 138, 964, 549}));
  // The same window lower on the screen: the room above its controls is the largest.
  EXPECT_TRUE(same(place_clear_of({0, 264, 1328, 816}, {560, 272, 768, 808}, 1328, 549, {0, 0, 1920, 1080}, 8),
                   {280, 0, 1328, 264}));
  // A window wider than the screen is made as narrow as the screen, below the controls.
  EXPECT_TRUE(same(place_clear_of({0, 0, 400, 300}, {0, 0, 400, 300}, 1200, 500, {0, 0, 1000, 1000}, 8), {0, 308, 1000, 500}));
  // Controls that fill the screen leave no room: place_beside's choice.
  const ScreenRect screen{0, 0, 1328, 816};
  EXPECT_TRUE(same(place_clear_of(post, screen, 600, 300, screen, 8), place_beside(post, screen, 600, 300, screen, 8)));
}
