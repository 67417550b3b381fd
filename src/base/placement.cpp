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
