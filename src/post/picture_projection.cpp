// The projection of the result display's pictures.
#include "post/picture_projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

PictureProjection::PictureProjection(const ResultStore& r, int cycle, const Vec3& angles, const ViewWindow& view)
    : turn_(angles), view_(view) {
  const bool fitted = cycle >= 1 && cycle <= r.pn_cyc;
  float max2 = -1e20f, max3 = -1e20f, min2 = 1e20f, min3 = 1e20f;
  if (fitted) {
    for (int i = 1; i <= r.pn_node; ++i) {
      const Vec3 q = rotated(node_of(r, cycle, i));
      max2 = std::max(max2, q[2]);
      min2 = std::min(min2, q[2]);
      max3 = std::max(max3, q[3]);
      min3 = std::min(min3, q[3]);
    }
  }
  c2_ = (min2 + max2) / 2;
  c3_ = (min3 + max3) / 2;
  size_ = std::max(max2 - min2, max3 - min3);
  if (!(size_ > 0) || !std::isfinite(size_)) {
    // Every node on one projected point, or no node: a size that keeps the beams visible.
    size_ = r.pd_max > 0 && std::isfinite(r.pd_max) ? r.pd_max : 1.0f;
    if (!fitted || r.pn_node == 0) c2_ = c3_ = 0;
  }
}

Vec3 PictureProjection::rotated(const P3& p) const {
  Vec3 q(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]));
  turn_.apply(q);
  return q;
}

ProjectedPoint PictureProjection::normalised(const P3& p) const {
  const Vec3 q = rotated(p);
  return {static_cast<float>((double(q[2]) - c2_) / size_), static_cast<float>((double(q[3]) - c3_) / size_), q[1]};
}

std::array<double, 2> PictureProjection::step(const P3& d) const {
  const Vec3 q = rotated(d);
  return {double(q[2]) / size_ * view_.sx, double(q[3]) / size_ * view_.sy};
}

std::vector<NamedView> plane_views() {
  return {{"L-W plane", angles_from_texts("-90", "0", "90", pi_post)},
          {"W-H plane", angles_from_texts("0", "180", "0", pi_post)},
          {"H-L plane", angles_from_texts("-90", "90", "0", pi_post)}};
}

NamedView view_showing(const std::vector<P3>& nodes) {
  P3 spread{0, 0, 0};
  if (!nodes.empty())
    for (size_t a = 0; a < 3; ++a) {
      const auto [low, high] = std::minmax_element(nodes.begin(), nodes.end(),
                                                   [a](const P3& p, const P3& q) { return p[a] < q[a]; });
      spread[a] = (*high)[a] - (*low)[a];
    }
  const double largest = std::max({spread[0], spread[1], spread[2]});
  // The plane without a spread: H for L-W, L for W-H, W for H-L.
  static constexpr size_t normal_of[3] = {2, 0, 1};
  const std::vector<NamedView> planes = plane_views();
  if (largest > 0)
    for (size_t k = 0; k < 3; ++k)
      if (spread[normal_of[k]] < 1e-6 * largest) return planes[k];
  // H up: about W by -160 degrees, about H by -60, and about L by the angle that keeps H upright,
  // atan(sin(-160) tan(-60)), about 30.6 degrees.
  const double w = -160 * std::numbers::pi / 180, h = -60 * std::numbers::pi / 180;
  const double l = std::atan(std::sin(w) * std::tan(h));
  return {"oblique view", Vec3(static_cast<float>(l), static_cast<float>(w), static_cast<float>(h))};
}
