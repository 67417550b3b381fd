// Where a window opens beside something it must not hide: the point dialog beside the picked
// node, topo beside the post-processing window. Screen pixels, y downwards.
#pragma once

struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// The place for a window of `width` x `height` on `screen` that leaves `target` (a point is a
// rectangle of no size) uncovered, `gap` away from it: to its right, else left, below, above,
// each lined up with the target's middle. When none of them fits on the screen, each is kept
// on it and the one that covers least of `keep` (a part of the target that matters most), then
// of the target, is taken.
ScreenRect place_beside(const ScreenRect& target, const ScreenRect& keep, int width, int height,
                        const ScreenRect& screen, int gap);

// The place for a window of `width` x `height` on `screen` that covers none of `controls` (the
// bounding box of the controls of `window`, which started it), `gap` away from what it keeps
// clear of: at full size beside `window` (right, left), below or above it where one of these
// lies on the screen; else in the largest room the screen has beside, below or above the
// controls (which may cover the rest of `window`), as small as that room asks and no smaller
// than it must be. Where the controls leave the screen no room, place_beside's choice.
ScreenRect place_clear_of(const ScreenRect& window, const ScreenRect& controls, int width, int height,
                          const ScreenRect& screen, int gap);

// The area two rectangles share, in square pixels.
long long overlap_area(const ScreenRect& a, const ScreenRect& b);
