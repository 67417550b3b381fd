// Nearest-node picking.
#include "bc/node_pick.h"

#include <cmath>

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
