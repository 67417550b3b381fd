// Numbers beside points, on any canvas, and where the labels of one picture go.
#include "base/number_labels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <string>
#include <unordered_map>

namespace {

// The overlap of two boxes, twips squared; 0 when they only touch.
double overlap(const LabelBox& a, const LabelBox& b) {
  const double w = std::min(a.x2, b.x2) - std::max(a.x1, b.x1);
  const double h = std::min(a.y2, b.y2) - std::max(a.y1, b.y1);
  return w > 0 && h > 0 ? w * h : 0;
}

// The eight places round the point, as unit steps (right, up-right, up, ... counter-clockwise on
// the page, y downwards), in the order of how far each turns from the preferred way.
std::array<int, 8> places_in_order(const LabelRequest& l) {
  const double preferred = std::atan2(-l.towards_y, l.towards_x);
  std::array<double, 8> turn{};
  for (int k = 0; k < 8; ++k) {
    const double d = std::remainder(k * M_PI / 4 - preferred, 2 * M_PI);
    turn[static_cast<size_t>(k)] = std::round(std::fabs(d) * 1e6);  // equal turns compare equal
  }
  std::array<int, 8> order{};
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return turn[static_cast<size_t>(a)] < turn[static_cast<size_t>(b)]; });
  return order;
}

// The box at place k: beside the point to the right, left, above or below, or off a corner.
LabelBox box_at(const LabelRequest& l, int k) {
  static constexpr int across[8] = {1, 1, 0, -1, -1, -1, 0, 1}, up[8] = {0, 1, 1, 1, 0, -1, -1, -1};
  const int sx = across[k], sy = up[k];
  const double x1 = sx > 0 ? l.x + label_gap : sx < 0 ? l.x - label_gap - l.width : l.x - l.width / 2;
  const double y1 = sy > 0 ? l.y - label_gap - l.height : sy < 0 ? l.y + label_gap : l.y - l.height / 2;
  return {x1, y1, x1 + l.width, y1 + l.height};
}

// The boxes taken so far, filed by the cells of a coarse grid they touch, so that a label is
// weighed against its neighbours only: a picture of thousands of numbers stays quick.
class TakenBoxes {
 public:
  void add(const LabelBox& b) {
    const int id = static_cast<int>(boxes_.size());
    boxes_.push_back(b);
    if (!(cells_across(b) <= wide)) return wide_.push_back(id);  // also a box not finite
    for_cells(b, [&](int64_t key) { cells_[key].push_back(id); });
  }
  // The area of b that boxes taken cover (each box once).
  double covered(const LabelBox& b) {
    double sum = 0;
    if (!(cells_across(b) <= wide)) {
      for (const LabelBox& t : boxes_) sum += overlap(b, t);
      return sum;
    }
    for (int id : wide_) sum += overlap(b, boxes_[static_cast<size_t>(id)]);
    ++visit_;
    seen_.resize(boxes_.size(), 0);
    for_cells(b, [&](int64_t key) {
      const auto it = cells_.find(key);
      if (it == cells_.end()) return;
      for (int id : it->second)
        if (seen_[static_cast<size_t>(id)] != visit_) {
          seen_[static_cast<size_t>(id)] = visit_;
          sum += overlap(b, boxes_[static_cast<size_t>(id)]);
        }
    });
    return sum;
  }

 private:
  static constexpr double cell = 600;  // twips
  static constexpr double wide = 64;   // cells: a box wider is weighed against every label
  static double cells_across(const LabelBox& b) { return std::max(b.x2 - b.x1, b.y2 - b.y1) / cell; }
  template <class F>
  static void for_cells(const LabelBox& b, F f) {
    const auto x1 = static_cast<int64_t>(std::floor(b.x1 / cell)), x2 = static_cast<int64_t>(std::floor(b.x2 / cell));
    const auto y1 = static_cast<int64_t>(std::floor(b.y1 / cell)), y2 = static_cast<int64_t>(std::floor(b.y2 / cell));
    for (int64_t x = x1; x <= x2; ++x)
      for (int64_t y = y1; y <= y2; ++y) f(x * 4000037 + y);
  }
  std::vector<LabelBox> boxes_;
  std::vector<int> wide_;
  std::unordered_map<int64_t, std::vector<int>> cells_;
  std::vector<int> seen_;
  int visit_ = 0;
};

}  // namespace

std::vector<LabelBox> stroke_boxes(double x1, double y1, double x2, double y2, double half_width) {
  const double length = std::hypot(x2 - x1, y2 - y1);
  const int pieces = std::max(1, static_cast<int>(std::ceil(length / (2 * half_width))));
  std::vector<LabelBox> out;
  for (int k = 0; k < pieces; ++k) {
    const double t = (k + 0.5) / pieces, x = x1 + t * (x2 - x1), y = y1 + t * (y2 - y1);
    const double half_x = std::fabs(x2 - x1) / pieces / 2 + half_width, half_y = std::fabs(y2 - y1) / pieces / 2 + half_width;
    out.push_back({x - half_x, y - half_y, x + half_x, y + half_y});
  }
  return out;
}

std::vector<std::optional<LabelBox>> place_labels(const std::vector<LabelRequest>& labels,
                                                  const std::vector<LabelBox>& obstacles) {
  TakenBoxes taken;
  for (const LabelBox& b : obstacles) taken.add(b);
  std::vector<std::optional<LabelBox>> out;
  for (const LabelRequest& l : labels) {
    std::optional<LabelBox> best;
    double least = 0;
    for (int k : places_in_order(l)) {
      const LabelBox b = box_at(l, k);
      const double c = taken.covered(b);
      if (!best || c < least) best = b, least = c;
      if (c == 0) break;
    }
    if (least > 0 && l.droppable) best.reset();
    if (best) taken.add(*best);
    out.push_back(best);
  }
  return out;
}

void draw_number_labels(Canvas& canvas, const std::vector<NumberLabel>& labels, LabelKind kind) {
  if (labels.empty()) return;
  const CanvasState kept = canvas.state();
  const bool node = kind == LabelKind::node;
  canvas.set_font_size(label_points);
  canvas.set_text_colour(node ? node_label_colour : element_label_colour);
  // A line of 9-point text stands about 220 twips high: a node's number sits above its point.
  const double up = node ? -label_gap - 220 : label_gap;
  for (const NumberLabel& l : labels) {
    canvas.move_to(l.x + label_gap, l.y + up);
    canvas.text(std::to_string(l.number));
  }
  canvas.state() = kept;
}
