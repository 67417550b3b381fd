// Nearest-node picking.
#include "bc/node_pick.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "formats/fields.h"

int16_t pick_node(const ModelStore& m, const ViewWindow& view, double x, double y) {
  double best = 1e30;
  int16_t picked = 0;
  for (int16_t i = 1; i <= m.n_node; ++i) {
    // Measured to where the node is drawn, so that nodes drawn on one spot tie exactly
    // rather than by the rounding noise of their rotation.
    const double nx = std::nearbyint(double(m.node_uv(i, 1)) * view.sx + view.cx);
    const double ny = std::nearbyint(double(m.node_uv(i, 2)) * view.sy + view.cy);
    const double d = std::hypot(nx - x, ny - y);
    // "<=": a later node at the same distance replaces the earlier one.
    if (d <= best) {
      best = d;
      picked = i;
    }
  }
  return picked;
}

namespace {
// Where node i is drawn, in whole twips as pick_node measures it.
std::pair<double, double> drawn_at(const ModelStore& m, const ViewWindow& view, int16_t i) {
  return {std::nearbyint(double(m.node_uv(i, 1)) * view.sx + view.cx),
          std::nearbyint(double(m.node_uv(i, 2)) * view.sy + view.cy)};
}
}  // namespace

int16_t node_near(const ModelStore& m, const ViewWindow& view, double x, double y, double radius) {
  const int16_t i = pick_node(m, view, x, y);
  if (i < 1) return 0;
  const auto [nx, ny] = drawn_at(m, view, i);
  return std::hypot(nx - x, ny - y) <= radius ? i : int16_t{0};
}

std::vector<int16_t> nodes_near(const ModelStore& m, const ViewWindow& view, double x, double y, double radius) {
  const int16_t first = node_near(m, view, x, y, radius);
  if (first < 1) return {};
  std::vector<int16_t> nodes{first};
  const auto spot = drawn_at(m, view, first);
  for (int16_t i = 1; i <= m.n_node; ++i)
    if (i != first && drawn_at(m, view, i) == spot) nodes.push_back(i);
  return nodes;
}

std::vector<int16_t> nodes_in_box(const ModelStore& m, const ViewWindow& view, double x1, double y1, double x2, double y2) {
  std::vector<int16_t> inside;
  for (int16_t i = 1; i <= m.n_node; ++i) {
    const auto [nx, ny] = drawn_at(m, view, i);
    if (nx >= std::min(x1, x2) && nx <= std::max(x1, x2) && ny >= std::min(y1, y2) && ny <= std::max(y1, y2))
      inside.push_back(i);
  }
  return inside;
}

// A node meant at W 0 reads W 0, not the 3.48091e-05 the mesh's single precision left.
std::string node_text(const ModelStore& m, int16_t node) {
  return "node " + std::to_string(node) + " (" +
         place_text(m.node_xyz(node, 1), m.node_xyz(node, 2), m.node_xyz(node, 3), model_size(m)) + ")";
}

