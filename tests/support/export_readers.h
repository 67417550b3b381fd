// Readers of the exported files for the tests alone, independent of the writers.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <numeric>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace test_support {

using Vertex = std::array<float, 3>;

struct StlCheck {
  bool well_formed = false;    // 84 bytes + 50 a triangle, exactly
  size_t triangles = 0;
  int unpaired_edges = 0;      // directed edges a->b without a matching b->a: 0 when closed
  int normals_against = 0;     // stored normals opposite to the vertex order
  int inside_out_parts = 0;    // connected parts of negative volume
  double volume = 0;           // signed, mm3: positive for outward-facing solids
};

inline StlCheck check_stl(const std::string& path) {
  const std::string bytes = file_text(path);
  StlCheck check;
  if (bytes.size() < 84) return check;
  uint32_t count = 0;
  std::memcpy(&count, bytes.data() + 80, 4);
  check.well_formed = bytes.size() == 84 + size_t(count) * 50;
  if (!check.well_formed) return check;
  check.triangles = count;
  std::map<Vertex, int> index;
  std::vector<std::array<int, 3>> tris;
  std::map<std::pair<int, int>, int> edges;
  for (size_t t = 0; t < count; ++t) {
    float f[12];
    std::memcpy(f, bytes.data() + 84 + t * 50, sizeof f);
    Vertex v[3];
    for (int k = 0; k < 3; ++k) v[k] = {f[3 + 3 * k], f[4 + 3 * k], f[5 + 3 * k]};
    std::array<int, 3> ids;
    for (int k = 0; k < 3; ++k) ids[size_t(k)] = index.emplace(v[k], int(index.size())).first->second;
    for (int k = 0; k < 3; ++k) ++edges[{ids[size_t(k)], ids[size_t((k + 1) % 3)]}];
    tris.push_back(ids);
    const double ax = v[1][0] - v[0][0], ay = v[1][1] - v[0][1], az = v[1][2] - v[0][2];
    const double bx = v[2][0] - v[0][0], by = v[2][1] - v[0][1], bz = v[2][2] - v[0][2];
    const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    if (nx * f[0] + ny * f[1] + nz * f[2] < 0) ++check.normals_against;
  }
  for (const auto& [e, n] : edges) {
    const auto back = edges.find({e.second, e.first});
    check.unpaired_edges += std::abs(n - (back == edges.end() ? 0 : back->second));
  }
  // Parts joined by shared vertices, each with its volume by the divergence theorem.
  std::vector<int> parent(index.size());
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&](int i) {
    while (parent[size_t(i)] != i) i = parent[size_t(i)] = parent[size_t(parent[size_t(i)])];
    return i;
  };
  for (const auto& t : tris)
    for (int k = 1; k < 3; ++k) parent[size_t(root(t[size_t(k)]))] = root(t[0]);
  std::vector<Vertex> at(index.size());
  for (const auto& [v, i] : index) at[size_t(i)] = v;
  std::map<int, double> part_volume;
  for (const auto& t : tris) {
    const Vertex &a = at[size_t(t[0])], &b = at[size_t(t[1])], &c = at[size_t(t[2])];
    const double v = (double(a[0]) * (double(b[1]) * c[2] - double(b[2]) * c[1]) -
                      double(a[1]) * (double(b[0]) * c[2] - double(b[2]) * c[0]) +
                      double(a[2]) * (double(b[0]) * c[1] - double(b[1]) * c[0])) / 6;
    part_volume[root(t[0])] += v;
    check.volume += v;
  }
  for (const auto& [part, v] : part_volume) check.inside_out_parts += v < 0;
  return check;
}

// A DXF file as its (group code, value) pairs.
inline std::vector<std::pair<int, std::string>> dxf_groups(const std::string& path) {
  const std::vector<std::string> lines = file_lines(path);
  std::vector<std::pair<int, std::string>> groups;
  for (size_t i = 0; i + 1 < lines.size(); i += 2) groups.push_back({std::stoi(lines[i]), lines[i + 1]});
  return groups;
}

inline std::vector<std::string> csv_cells(const std::string& row) {
  std::vector<std::string> cells(1);
  for (char c : row) {
    if (c == ',') cells.emplace_back();
    else cells.back().push_back(c);
  }
  return cells;
}

}  // namespace test_support
