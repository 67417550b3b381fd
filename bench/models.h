// Models the solver benchmarks (and the optimiser's tests) share: planar ground structures under
// one load, and 3-D lattices with several load cases. Nodes 100 mm apart, one design set of steel.
#pragma once

#include <array>
#include <cstdlib>
#include <numeric>

#include "base/analysis_model.h"

namespace bench {

inline constexpr double steel_E = 206000;  // N/mm2

inline ModelFileCase empty_case(int nodes) {
  ModelFileCase c;
  c.fixed.assign(static_cast<size_t>(nodes), {});
  c.loads.assign(static_cast<size_t>(nodes), {});
  c.springs.assign(static_cast<size_t>(nodes), {});
  return c;
}

inline void add_design_set(ModelFile& f) {
  f.props.push_back({-steel_E, steel_E / 2 / 1.33, 0, 0, 0, 0, 0});
  f.n_prop = 1;
}

// A design beam from node a to node b (1-based), its reference point 1 mm off node a along W, or
// along H for a beam along W.
inline void add_beam(ModelFile& f, int a, int b) {
  std::array<double, 3> ref = f.nodes[static_cast<size_t>(a - 1)];
  const auto& pb = f.nodes[static_cast<size_t>(b - 1)];
  ref[ref[0] == pb[0] && ref[2] == pb[2] ? 2 : 1] += 1;
  f.elements.push_back({a, b, 1, ref});
  f.n_elem = static_cast<int>(f.elements.size());
}

enum class Supports { wall, two_corners };

// A planar ground structure of nx x ny nodes in the L-H plane: a beam between every pair of nodes
// whose line passes through no other node. wall: the left edge clamped, 1000 N down at the middle
// of the right edge; two_corners: the bottom corners clamped, 1000 N down at the bottom middle.
// Volume ratio 0.05, the other settings at their defaults.
inline ModelFile ground_structure(int nx, int ny, Supports supports) {
  ModelFile f;
  auto id = [&](int i, int j) { return 1 + i + nx * j; };
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) f.nodes.push_back({100.0 * i, 0, 100.0 * j});
  f.n_node = nx * ny;
  add_design_set(f);
  for (int a = 0; a < f.n_node; ++a)
    for (int b = a + 1; b < f.n_node; ++b)
      if (std::gcd(std::abs(a % nx - b % nx), std::abs(a / nx - b / nx)) == 1) add_beam(f, a + 1, b + 1);
  ModelFileCase c = empty_case(f.n_node);
  auto clamp = [&](int node) { c.fixed[static_cast<size_t>(node - 1)].fill(true); };
  if (supports == Supports::wall) {
    for (int j = 0; j < ny; ++j) clamp(id(0, j));
    c.loads[static_cast<size_t>(id(nx - 1, ny / 2) - 1)][2] = -1000;
  } else {
    clamp(id(0, 0));
    clamp(id(nx - 1, 0));
    c.loads[static_cast<size_t>(id(nx / 2, 0) - 1)][2] = -1000;
  }
  f.cases.push_back(c);
  f.settings.volume_ratio = 0.05f;
  return f;
}

// A lattice of n x n x h nodes: beams along the axes, then face diagonals until the element
// count is reached. The bottom layer clamped, or with `springs` only its corners clamped and the
// other bottom nodes on vertical springs of 50 N/mm; `cases` load cases of 1000 N on top nodes,
// along L, W, H in turn. Volume ratio 0.05.
inline ModelFile lattice(int n, int h, int elements, int cases = 5, bool springs = false) {
  ModelFile f;
  auto id = [&](int i, int j, int k) { return 1 + i + n * (j + n * k); };
  for (int k = 0; k < h; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) f.nodes.push_back({100.0 * i, 100.0 * j, 100.0 * k});
  f.n_node = static_cast<int>(f.nodes.size());
  add_design_set(f);
  auto add = [&](int a, int b) {
    if (f.n_elem < elements) add_beam(f, a, b);
  };
  for (int k = 0; k < h; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        if (i + 1 < n) add(id(i, j, k), id(i + 1, j, k));
        if (j + 1 < n) add(id(i, j, k), id(i, j + 1, k));
        if (k + 1 < h) add(id(i, j, k), id(i, j, k + 1));
      }
  for (int k = 0; k < h; ++k)
    for (int j = 0; j + 1 < n; ++j)
      for (int i = 0; i + 1 < n; ++i) {
        add(id(i, j, k), id(i + 1, j + 1, k));
        if (k + 1 < h) add(id(i, j, k), id(i + 1, j, k + 1));
        if (k + 1 < h) add(id(i, j, k), id(i, j + 1, k + 1));
      }
  for (int k = 0; k < h; ++k)
    for (int j = 0; j + 1 < n; ++j)
      for (int i = 0; i + 1 < n; ++i) add(id(i + 1, j, k), id(i, j + 1, k));
  for (int c = 0; c < cases; ++c) {
    ModelFileCase mc = empty_case(f.n_node);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        const auto node = static_cast<size_t>(id(i, j, 0) - 1);
        const bool corner = (i == 0 || i == n - 1) && (j == 0 || j == n - 1);
        mc.fixed[node].fill(!springs || corner);
        if (springs && !corner) mc.springs[node][2] = 50;
      }
    const int top = id((c * 3) % n, (c * 7) % n, h - 1);
    mc.loads[static_cast<size_t>(top - 1)][static_cast<size_t>(c % 3)] = 1000;
    f.cases.push_back(mc);
  }
  f.settings.volume_ratio = 0.05f;
  return f;
}

}  // namespace bench
