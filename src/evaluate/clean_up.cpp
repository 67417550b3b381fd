// The clean-up: thin beams out, then what hangs loose, repeatedly; then the analysis or the
// reason the frame left cannot stand.
#include "evaluate/clean_up.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "evaluate/held_frame.h"

namespace {

// Per node: whether a support, spring or load of any case holds it in place, and whether a
// support or spring does.
struct NodeRoles {
  std::vector<char> held, supported;
};

NodeRoles node_roles(const ModelFile& m) {
  NodeRoles r{std::vector<char>(m.nodes.size(), 0), std::vector<char>(m.nodes.size(), 0)};
  for (const ModelFileCase& c : m.cases)
    for (size_t i = 0; i < m.nodes.size(); ++i)
      for (size_t k = 0; k < 6; ++k) {
        if (c.fixed[i][k] || c.springs[i][k] > 0) r.supported[i] = r.held[i] = 1;
        if (c.loads[i][k] != 0) r.held[i] = 1;
      }
  return r;
}

std::array<int, 2> ends(const ModelFile& m, size_t j) {
  return {m.elements[j].node1 - 1, m.elements[j].node2 - 1};
}

// Members at each node among those kept.
std::vector<std::vector<size_t>> members_at(const ModelFile& m, const std::vector<char>& keep) {
  std::vector<std::vector<size_t>> at(m.nodes.size());
  for (size_t j = 0; j < m.elements.size(); ++j)
    if (keep[j])
      for (int n : ends(m, j)) at[static_cast<size_t>(n)].push_back(j);
  return at;
}

// Removes members hanging from an unheld node with no other member; returns how many went.
int remove_hanging(const ModelFile& m, const NodeRoles& roles, std::vector<char>& keep) {
  int removed = 0;
  for (bool again = true; again;) {
    again = false;
    const auto at = members_at(m, keep);
    for (size_t i = 0; i < at.size(); ++i)
      if (!roles.held[i] && at[i].size() == 1 && keep[at[i][0]]) {
        keep[at[i][0]] = 0;
        ++removed;
        again = true;
      }
  }
  return removed;
}

// Removes the pieces (connected by kept members) without a support or spring; returns how many
// members went.
int remove_loose(const ModelFile& m, const NodeRoles& roles, std::vector<char>& keep) {
  std::vector<int> parent(m.nodes.size());
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&](int n) {
    while (parent[static_cast<size_t>(n)] != n) n = parent[static_cast<size_t>(n)] = parent[static_cast<size_t>(parent[static_cast<size_t>(n)])];
    return n;
  };
  for (size_t j = 0; j < m.elements.size(); ++j)
    if (keep[j]) parent[static_cast<size_t>(root(ends(m, j)[0]))] = root(ends(m, j)[1]);
  std::vector<char> piece_held(m.nodes.size(), 0);
  for (size_t i = 0; i < m.nodes.size(); ++i)
    if (roles.supported[i]) piece_held[static_cast<size_t>(root(static_cast<int>(i)))] = 1;
  int removed = 0;
  for (size_t j = 0; j < m.elements.size(); ++j)
    if (keep[j] && !piece_held[static_cast<size_t>(root(ends(m, j)[0]))]) {
      keep[j] = 0;
      ++removed;
    }
  return removed;
}

// Unheld nodes where just two members meet in a straight line (within 1e-6 rad).
int collinear_nodes(const ModelFile& m, const NodeRoles& roles, const std::vector<char>& keep) {
  const auto at = members_at(m, keep);
  int count = 0;
  for (size_t i = 0; i < at.size(); ++i) {
    if (roles.held[i] || at[i].size() != 2) continue;
    std::array<std::array<double, 3>, 2> dir{};
    for (size_t k = 0; k < 2; ++k) {
      const auto e = ends(m, at[i][k]);
      const auto& far = m.nodes[static_cast<size_t>(e[0] == static_cast<int>(i) ? e[1] : e[0])];
      for (size_t a = 0; a < 3; ++a) dir[k][a] = far[a] - m.nodes[i][a];
    }
    const double dot = dir[0][0] * dir[1][0] + dir[0][1] * dir[1][1] + dir[0][2] * dir[1][2];
    const double n0 = std::sqrt(dir[0][0] * dir[0][0] + dir[0][1] * dir[0][1] + dir[0][2] * dir[0][2]);
    const double n1 = std::sqrt(dir[1][0] * dir[1][0] + dir[1][1] * dir[1][1] + dir[1][2] * dir[1][2]);
    if (dot < 0 && 1 + dot / (n0 * n1) < 1e-12) ++count;
  }
  return count;
}

// A load left on a node that no kept member holds: "" when none.
std::string load_on_removed(const ShownFrame& f, const std::vector<char>& touched) {
  const ModelFile& m = f.model;
  for (size_t c = 0; c < m.cases.size(); ++c)
    for (size_t i = 0; i < m.nodes.size(); ++i)
      for (size_t k = 0; k < 6; ++k)
        if (m.cases[c].loads[i][k] != 0 && !touched[i] && !(m.cases[c].springs[i][k] > 0) && !m.cases[c].fixed[i][k])
          return "load case " + std::to_string(c + 1) + ": the load " + free_direction(static_cast<int>(k)) + " at " +
                 node_text(m, static_cast<int>(i)) + " is left on a removed member";
  return {};
}

constexpr const char* lower_threshold = "; a lower threshold keeps more members.";

}  // namespace

std::string free_direction(int dof) {
  static constexpr const char* names[6] = {"along L", "along W", "along H", "about L", "about W", "about H"};
  return dof >= 0 && dof < 6 ? names[dof] : "";
}

double frame_volume(const ShownFrame& f) {
  double v = 0;
  for (size_t j = 0; j < f.sections.size(); ++j) v += f.sections[j].values.A * member_length(f.model, j);
  return v;
}

namespace {
// The frame of the members kept, its nodes and those that join two members in line; returns per
// node whether a kept member touches it.
std::vector<char> take_frame(CleanFrame& out, const ShownFrame& full, const NodeRoles& roles, const std::vector<char>& keep) {
  const ModelFile& m = full.model;
  out.frame = with_members(full, keep);
  out.collinear_nodes = collinear_nodes(m, roles, keep);
  std::vector<char> touched(m.nodes.size(), 0);
  for (size_t j = 0; j < keep.size(); ++j)
    if (keep[j])
      for (int n : ends(m, j)) touched[static_cast<size_t>(n)] = 1;
  out.nodes = static_cast<int>(std::count(touched.begin(), touched.end(), 1));
  return touched;
}

// The members kept once thin design beams go, and then what hangs and what is loose.
std::vector<char> members_kept(CleanFrame& out, const ShownFrame& full, const std::vector<char>& drawn, const NodeRoles& roles) {
  std::vector<char> keep(full.sections.size(), 1);
  for (size_t j = 0; j < keep.size(); ++j)
    if (full.sections[j].shape == MemberSection::Shape::circle && !drawn[j]) {
      keep[j] = 0;
      ++out.removed_thin;
    }
  // Removing a loose piece can leave nothing hanging, and the other way round: repeat both.
  for (int more = 1; more > 0;) {
    const int hanging = remove_hanging(full.model, roles, keep), loose = remove_loose(full.model, roles, keep);
    out.removed_hanging += hanging;
    out.removed_loose += loose;
    more = hanging + loose;
  }
  return keep;
}

// The analysis of the frame kept, or why it cannot stand.
void analyse_clean(CleanFrame& out, const Loading& loading) {
  try {
    out.forces = analyse_frame(out.frame, loading);
  } catch (const SolverError& e) {
    if (e.node < 0) throw;
    out.problem = "load case " + std::to_string(e.load_case) + ": the clean frame is a mechanism, " +
                  node_text(out.frame.model, e.node) + " is free " + free_direction(e.dof) +
                  (out.unheld ? ", and no removed member alone holds it" : "") + lower_threshold;
  }
}
}  // namespace

std::vector<char> members_kept(const ShownFrame& full, const std::vector<char>& drawn) {
  CleanFrame counts;
  return members_kept(counts, full, drawn, node_roles(full.model));
}

CleanFrame clean_up(const ShownFrame& full, const std::vector<char>& drawn, const Loading& loading, bool hold) {
  CleanFrame out;
  const NodeRoles roles = node_roles(full.model);
  std::vector<char> keep = members_kept(out, full, drawn, roles);
  const std::vector<char> touched = take_frame(out, full, roles, keep);
  if (const std::string left = load_on_removed(out.frame, touched); !left.empty()) {
    out.problem = left + lower_threshold;
    out.load_lost = true;
    return out;
  }
  if (out.frame.element.empty()) {
    out.problem = "no member is left" + std::string(lower_threshold);
    return out;
  }
  if (hold) {
    const Holding held = hold_mechanism(full, keep, loading);
    out.added = held.added;
    for (int j : held.added) out.added_elements.push_back(full.element[static_cast<size_t>(j)]);
    out.unheld = held.free_after > 0;
    if (!held.added.empty()) take_frame(out, full, roles, keep);
  }
  analyse_clean(out, loading);
  return out;
}
