// Chains of elements in line through the nodes that do not hold them, walked from each element
// not yet in a chain, for the supports of one load case.
#include "evaluate/buckling_members.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <numeric>

namespace {
using Point = std::array<double, 3>;

Point towards(const Point& from, const Point& to) { return {to[0] - from[0], to[1] - from[1], to[2] - from[2]}; }
double dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const Point& a) { return std::sqrt(dot(a, a)); }
Point cross(const Point& a, const Point& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

int other_end(const ModelFileElement& e, int node) { return e.node1 - 1 == node ? e.node2 - 1 : e.node1 - 1; }

// Two directions closer than 1 degree are one: in line along a chain, or parallel across it.
const double one_degree = std::sin(std::numbers::pi / 180);

// The model seen from the chains of one load case's supports.
struct ChainWalk {
  const ModelFile& m;
  const std::vector<char>& members;
  const ModelFileCase* supports;          // nullptr: none
  std::vector<std::vector<size_t>> at;    // per node: the counted members that meet there

  const Point& point(int node) const { return m.nodes[static_cast<size_t>(node)]; }
  Point along(size_t j, int node) const { return towards(point(node), point(other_end(m.elements[j], node))); }
  bool fixed(int node, size_t dof) const { return supports && supports->fixed[static_cast<size_t>(node)][dof]; }

  // Whether node holds element j's chain across: of the fixed translations and the members there,
  // projected on the plane across the chain, two point in different directions. A member in line
  // (the chain's own elements among them) or a support along the chain has no part across.
  bool holds(size_t j, int node) const {
    const Point a = along(j, node);
    const Point d{a[0] / norm(a), a[1] / norm(a), a[2] / norm(a)};
    std::vector<Point> across;
    auto add = [&](const Point& v) {
      const double s = dot(v, d);
      const Point p{v[0] - s * d[0], v[1] - s * d[1], v[2] - s * d[2]};
      if (norm(p) > one_degree * norm(v)) across.push_back({p[0] / norm(p), p[1] / norm(p), p[2] / norm(p)});
    };
    for (size_t dof = 0; dof < 3; ++dof)
      if (fixed(node, dof)) add({dof == 0 ? 1.0 : 0.0, dof == 1 ? 1.0 : 0.0, dof == 2 ? 1.0 : 0.0});
    for (size_t k : at[static_cast<size_t>(node)]) add(along(k, node));
    for (size_t u = 0; u < across.size(); ++u)
      for (size_t w = u + 1; w < across.size(); ++w)
        if (norm(cross(across[u], across[w])) > one_degree) return true;
    return false;
  }

  // The member that continues j in line through `node` (the first of any), or n when the chain
  // ends there.
  size_t continuation(size_t j, int node) const {
    const size_t n = m.elements.size();
    if (!members[j] || holds(j, node)) return n;
    const Point a = along(j, node);
    const double in_line = std::cos(std::numbers::pi / 180);
    for (size_t k : at[static_cast<size_t>(node)]) {
      const Point b = along(k, node);
      if (k != j && -dot(a, b) >= in_line * norm(a) * norm(b)) return k;
    }
    return n;
  }

  // The chain ends at `node` in element j, and nothing at all holds it there.
  bool free(size_t j, int node) const {
    const auto& joined = at[static_cast<size_t>(node)];
    return !fixed(node, 0) && !fixed(node, 1) && !fixed(node, 2) &&
           std::all_of(joined.begin(), joined.end(), [j](size_t k) { return k == j; });
  }
};
}  // namespace

BucklingLength BucklingMembers::buckling_length(size_t j, double k_factor) const {
  return {k_factor * length[j], elements[j] > 1, free_end[j] != 0};
}

BucklingMembers buckling_members(const ModelFile& m, const std::vector<char>& members, size_t supports) {
  const size_t n = m.elements.size();
  ChainWalk walk{m, members, supports < m.cases.size() ? &m.cases[supports] : nullptr,
                 std::vector<std::vector<size_t>>(m.nodes.size())};
  for (size_t j = 0; j < n; ++j)
    if (members[j])
      for (int node : {m.elements[j].node1 - 1, m.elements[j].node2 - 1}) walk.at[static_cast<size_t>(node)].push_back(j);

  BucklingMembers out{std::vector<int>(n, 0), std::vector<double>(n, 0), std::vector<int>(n, 0), std::vector<char>(n, 0)};
  int chains = 0;
  for (size_t first = 0; first < n; ++first) {
    if (out.chain[first] != 0) continue;
    std::vector<size_t> chain{first};
    out.chain[first] = ++chains;
    bool free_end = false;
    // Walk away from the first element through each of its ends.
    for (int node : {m.elements[first].node1 - 1, m.elements[first].node2 - 1}) {
      size_t j = first;
      for (size_t k = walk.continuation(j, node); k < n && out.chain[k] == 0; k = walk.continuation(j, node)) {
        out.chain[k] = chains;
        chain.push_back(k);
        node = other_end(m.elements[k], node);
        j = k;
      }
      free_end = free_end || walk.free(j, node);
    }
    double length = 0;
    for (size_t j : chain) length += norm(walk.along(j, m.elements[j].node1 - 1));
    for (size_t j : chain) {
      out.length[j] = length;
      out.elements[j] = static_cast<int>(chain.size());
      out.free_end[j] = free_end;
    }
  }
  return out;
}

std::vector<BucklingMembers> state_chains(const ModelFile& m, const std::vector<char>& members,
                                          const std::vector<LoadState>& states) {
  std::map<size_t, BucklingMembers> made;  // by load case
  std::vector<BucklingMembers> out;
  for (const LoadState& s : states) {
    auto it = made.find(s.supports);
    if (it == made.end()) it = made.emplace(s.supports, buckling_members(m, members, s.supports)).first;
    out.push_back(it->second);
  }
  return out;
}

std::vector<int> pieces(size_t n, const std::vector<BucklingMembers>& chains) {
  std::vector<size_t> root(n);
  std::iota(root.begin(), root.end(), 0);
  auto find = [&root](size_t j) {
    while (root[j] != j) j = root[j] = root[root[j]];
    return j;
  };
  for (const BucklingMembers& b : chains) {
    std::vector<size_t> first(n + 1, n);  // per chain: its first element
    for (size_t j = 0; j < n; ++j) {
      size_t& f = first[static_cast<size_t>(b.chain[j])];
      if (f == n) f = j;
      else root[find(j)] = find(f);
    }
  }
  std::vector<int> out(n), number(n, 0);
  int count = 0;
  for (size_t j = 0; j < n; ++j) {
    int& piece = number[find(j)];
    if (piece == 0) piece = ++count;
    out[j] = piece;
  }
  return out;
}
