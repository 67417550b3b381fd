// Placing a window beside what it must not hide.
#include "base/placement.h"

#include <algorithm>

namespace {
int clamp_to(int v, int low, int size, int room) { return std::max(low, std::min(v, low + room - size)); }

// A target that lies on the screen's border (a point at its edge) still counts as shown.
bool covers_point(const ScreenRect& r, const ScreenRect& t) {
  return t.x >= r.x && t.x <= r.x + r.width && t.y >= r.y && t.y <= r.y + r.height;
}
}  // namespace

long long overlap_area(const ScreenRect& a, const ScreenRect& b) {
  const long long w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
  const long long h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
  return w > 0 && h > 0 ? w * h : 0;
}

namespace {
bool on_screen(const ScreenRect& w, const ScreenRect& s) {
  return w.x >= s.x && w.y >= s.y && w.x + w.width <= s.x + s.width && w.y + w.height <= s.y + s.height;
}

// The window in a room of the screen beside the controls c, against their side, lined up with
// their middle as far as the room allows; none when the room is empty.
struct Room {
  ScreenRect area;
  bool after;     // right of or below the controls
  bool vertical;  // below or above: the window slides along L of the screen
};
ScreenRect window_in(const Room& r, const ScreenRect& c, int width, int height) {
  const int w = std::min(width, r.area.width), h = std::min(height, r.area.height);
  if (w <= 0 || h <= 0) return {};
  if (r.vertical)
    return {clamp_to(c.x + c.width / 2 - w / 2, r.area.x, w, r.area.width), r.after ? r.area.y : r.area.y + r.area.height - h, w, h};
  return {r.after ? r.area.x : r.area.x + r.area.width - w, clamp_to(c.y + c.height / 2 - h / 2, r.area.y, h, r.area.height), w, h};
}
}  // namespace

ScreenRect place_clear_of(const ScreenRect& window, const ScreenRect& c, int width, int height, const ScreenRect& s,
                          int gap) {
  const ScreenRect beside = place_beside(window, c, width, height, s, gap);
  if (on_screen(beside, s) && overlap_area(beside, window) == 0) return beside;
  const Room rooms[] = {
      {{c.x + c.width + gap, s.y, s.x + s.width - (c.x + c.width + gap), s.height}, true, false},
      {{s.x, s.y, c.x - gap - s.x, s.height}, false, false},
      {{s.x, c.y + c.height + gap, s.width, s.y + s.height - (c.y + c.height + gap)}, true, true},
      {{s.x, s.y, s.width, c.y - gap - s.y}, false, true},
  };
  ScreenRect best{};
  for (const Room& r : rooms) {
    const ScreenRect w = window_in(r, c, width, height);
    if (static_cast<long long>(w.width) * w.height > static_cast<long long>(best.width) * best.height) best = w;
  }
  return best.width > 0 ? best : beside;
}

ScreenRect place_beside(const ScreenRect& t, const ScreenRect& keep, int width, int height, const ScreenRect& s,
                        int gap) {
  const int mid_y = clamp_to(t.y + t.height / 2 - height / 2, s.y, height, s.height);
  const int mid_x = clamp_to(t.x + t.width / 2 - width / 2, s.x, width, s.width);
  const ScreenRect wanted[] = {
      {t.x + t.width + gap, mid_y, width, height},  // right
      {t.x - gap - width, mid_y, width, height},    // left
      {mid_x, t.y + t.height + gap, width, height},  // below
      {mid_x, t.y - gap - height, width, height},    // above
  };
  const auto covered = [](const ScreenRect& r, const ScreenRect& part) -> long long {
    return part.width == 0 && part.height == 0 ? (covers_point(r, part) ? 1 : 0) : overlap_area(r, part);
  };
  ScreenRect best{};
  long long least_kept = -1, least = -1;
  for (const ScreenRect& w : wanted) {
    const bool fits = w.x >= s.x && w.y >= s.y && w.x + w.width <= s.x + s.width && w.y + w.height <= s.y + s.height;
    if (fits) return w;
    // Kept on the screen, it covers some of the target.
    const ScreenRect kept{clamp_to(w.x, s.x, width, s.width), clamp_to(w.y, s.y, height, s.height), width, height};
    const long long on_keep = covered(kept, keep), on_target = covered(kept, t);
    if (least < 0 || on_keep < least_kept || (on_keep == least_kept && on_target < least)) {
      least_kept = on_keep;
      least = on_target;
      best = kept;
    }
  }
  return best;
}
