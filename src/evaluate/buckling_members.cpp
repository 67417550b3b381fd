// Chains of elements in line through unbraced nodes, walked from each element not yet in a chain.
#include "evaluate/buckling_members.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {
using Point = std::array<double, 3>;

Point towards(const Point& from, const Point& to) { return {to[0] - from[0], to[1] - from[1], to[2] - from[2]}; }
double dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const Point& a) { return std::sqrt(dot(a, a)); }

// Per node: held by a support or a spring in some load case.
std::vector<char> supported_nodes(const ModelFile& m) {
  std::vector<char> held(m.nodes.size(), 0);
  for (const ModelFileCase& c : m.cases)
    for (size_t i = 0; i < m.nodes.size(); ++i)
      for (size_t k = 0; k < c.fixed[i].size(); ++k)
        if (c.fixed[i][k] || c.springs[i][k] > 0) held[i] = 1;
  return held;
}

int other_end(const ModelFileElement& e, int node) { return e.node1 - 1 == node ? e.node2 - 1 : e.node1 - 1; }
}  // namespace

BucklingMembers buckling_members(const ModelFile& m, const std::vector<char>& members) {
  const size_t n = m.elements.size();
  std::vector<std::vector<size_t>> at(m.nodes.size());
  for (size_t j = 0; j < n; ++j)
    if (members[j])
      for (int node : {m.elements[j].node1 - 1, m.elements[j].node2 - 1}) at[static_cast<size_t>(node)].push_back(j);
  const std::vector<char> held = supported_nodes(m);
  const double in_line = std::cos(std::numbers::pi / 180);
  // The element that continues j in line through `node`, or n when the chain ends there.
  auto continuation = [&](size_t j, int node) {
    const auto& joined = at[static_cast<size_t>(node)];
    if (!members[j] || held[static_cast<size_t>(node)] || joined.size() != 2) return n;
    const size_t k = joined[0] == j ? joined[1] : joined[0];
    const Point& p = m.nodes[static_cast<size_t>(node)];
    const Point a = towards(p, m.nodes[static_cast<size_t>(other_end(m.elements[j], node))]);
    const Point b = towards(p, m.nodes[static_cast<size_t>(other_end(m.elements[k], node))]);
    return -dot(a, b) >= in_line * norm(a) * norm(b) ? k : n;
  };

  BucklingMembers out{std::vector<int>(n, 0), std::vector<double>(n, 0), std::vector<int>(n, 0)};
  int chains = 0;
  for (size_t first = 0; first < n; ++first) {
    if (out.chain[first] != 0) continue;
    std::vector<size_t> chain{first};
    out.chain[first] = ++chains;
    // Walk away from the first element through each of its ends.
    for (int node : {m.elements[first].node1 - 1, m.elements[first].node2 - 1}) {
      size_t j = first;
      for (size_t k = continuation(j, node); k < n && out.chain[k] == 0; k = continuation(j, node)) {
        out.chain[k] = chains;
        chain.push_back(k);
        node = other_end(m.elements[k], node);
        j = k;
      }
    }
    double length = 0;
    for (size_t j : chain) {
      const ModelFileElement& e = m.elements[j];
      length += norm(towards(m.nodes[static_cast<size_t>(e.node1 - 1)], m.nodes[static_cast<size_t>(e.node2 - 1)]));
    }
    for (size_t j : chain) {
      out.length[j] = length;
      out.elements[j] = static_cast<int>(chain.size());
    }
  }
  return out;
}
