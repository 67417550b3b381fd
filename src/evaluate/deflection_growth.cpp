// The virtual-work sensitivity of a deflection to the members' sections, and the choice of the
// members to grow for it.
#include "evaluate/deflection_growth.h"

#include <algorithm>

#include "evaluate/load_state.h"

namespace {
using Vector12 = Eigen::Matrix<double, 12, 1>;

// The state's displacements at element e's ends, turned into its own axes.
Vector12 local_ends(const FrameElement& e, const std::vector<std::array<double, 6>>& u) {
  Vector12 out;
  for (int end = 0; end < 2; ++end) {
    const auto& at = u[static_cast<size_t>(end == 0 ? e.node1 : e.node2)];
    for (int part = 0; part < 2; ++part)
      out.segment<3>(6 * end + 3 * part) = e.axes * Eigen::Vector3d(at[3 * part], at[3 * part + 1], at[3 * part + 2]);
  }
  return out;
}

// The frame's model with one case: a unit load at the node along `direction`, on the supports and
// springs of load case `supports`.
ModelFile unit_load_model(const ModelFile& m, size_t supports, int node, const Eigen::Vector3d& direction) {
  ModelFile out = m;
  ModelFileCase c = m.cases[supports];
  c.records.clear();
  for (auto& load : c.loads) load.fill(0);
  for (int k = 0; k < 3; ++k) c.loads[static_cast<size_t>(node)][static_cast<size_t>(k)] = direction[k];
  out.cases = {c};
  return out;
}

// The self-weight of the state per mm2 of a member's area, N/mm per mm2, global; zero when off.
Eigen::Vector3d weight_per_area(const Loading& loading, const LoadState& state) {
  std::array<double, 3> down{};
  if (!loading.self_weight || !direction_vector(loading.direction, down)) return Eigen::Vector3d::Zero();
  return Eigen::Vector3d(down.data()) * (loading.density * 1e-9 * gravity * state.self_weight);
}

// The option of least mass whose fall is at least `want` (one is known to be).
int lightest_covering(const std::vector<GrowthOption>& options, double want) {
  int best = -1;
  for (size_t k = 0; k < options.size(); ++k)
    if (options[k].mass > 0 && options[k].fall >= want && (best < 0 || options[k].mass < options[static_cast<size_t>(best)].mass))
      best = static_cast<int>(k);
  return best;
}

// The falls of the options chosen covering `needed`, each item in turn, heaviest first, takes the
// lightest of its options (or none) that keeps them covering it: an item taken early for its
// good fall per mass may not be needed beside one taken later.
void trim(const std::vector<std::vector<GrowthOption>>& options, double needed, std::vector<int>& chosen) {
  const auto taken = [&](size_t i) { return chosen[i] < 0 ? GrowthOption{} : options[i][static_cast<size_t>(chosen[i])]; };
  std::vector<size_t> order;
  double covered = 0;
  for (size_t i = 0; i < chosen.size(); ++i)
    if (chosen[i] >= 0) {
      order.push_back(i);
      covered += taken(i).fall;
    }
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return taken(a).mass > taken(b).mass; });
  for (size_t i : order) {
    const double others = covered - taken(i).fall;
    const int lighter = others >= needed ? -1 : lightest_covering(options[i], needed - others);
    covered = others + (lighter < 0 ? 0 : options[i][static_cast<size_t>(lighter)].fall);
    chosen[i] = lighter;
  }
}
}  // namespace

DeflectionSensitivity deflection_sensitivity(const ShownFrame& f, const FrameForces& forces, const Loading& loading,
                                             const Movement& moved) {
  const size_t n = f.sections.size();
  DeflectionSensitivity out{std::vector<double>(n, 0), std::vector<double>(n, 0), std::vector<double>(n, 0)};
  if (moved.node < 0 || !(moved.value > 0)) return out;
  const LoadState& state = forces.states[static_cast<size_t>(moved.state)];
  const std::vector<std::array<double, 6>>& u = forces.displacements[static_cast<size_t>(moved.state)];
  const auto& at = u[static_cast<size_t>(moved.node)];
  const Eigen::Vector3d direction = Eigen::Vector3d(at[0], at[1], at[2]) / moved.value;
  FrameAnalysis unit(unit_load_model(f.model, state.supports, moved.node, direction));
  unit.set_factor_reuse(false);
  unit.solve(f.section_values());
  const Eigen::Vector3d weight = weight_per_area(loading, state);
  for (size_t j = 0; j < n; ++j) {
    const FrameElement& e = unit.elements()[j];
    const Vector12 virtual_u = unit.local_displacements(0, static_cast<int>(j));
    const Vector12 real_u = local_ends(e, u);
    // What the nodes exert on the member against a unit area's weight: the equivalent loads reversed.
    const Vector12 held = fixed_end_forces(e.axes * weight, e.length);
    out.area[j] = virtual_u.dot(local_stiffness(e.E, e.G, {1, 0, 0, 0}, e.length) * real_u);
    out.weight[j] = virtual_u.dot(held);
    out.moment[j] = virtual_u.dot(local_stiffness(e.E, e.G, {0, 1, 1, 2}, e.length) * real_u);
  }
  return out;
}

std::vector<int> choose_growth(const std::vector<std::vector<GrowthOption>>& options, double needed) {
  struct Step {
    size_t item;
    int option;
    double fall, per_mass;
  };
  std::vector<Step> steps;
  for (size_t i = 0; i < options.size(); ++i) {
    GrowthOption at;  // nothing grown yet
    for (;;) {
      int best = -1;
      double best_rate = 0;
      for (size_t k = 0; k < options[i].size(); ++k) {
        const GrowthOption& o = options[i][k];
        if (!(o.mass > at.mass)) continue;
        if (const double rate = (o.fall - at.fall) / (o.mass - at.mass); rate > best_rate) {
          best = static_cast<int>(k);
          best_rate = rate;
        }
      }
      if (best < 0) break;
      const GrowthOption& next = options[i][static_cast<size_t>(best)];
      steps.push_back({i, best, next.fall - at.fall, best_rate});
      at = next;
    }
  }
  std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return a.per_mass > b.per_mass; });
  std::vector<int> chosen(options.size(), -1);
  double covered = 0;
  for (const Step& s : steps) {
    if (covered >= needed) break;
    const double had = chosen[s.item] < 0 ? 0 : options[s.item][static_cast<size_t>(chosen[s.item])].fall;
    chosen[s.item] = s.option;
    covered += s.fall;
    if (covered >= needed) chosen[s.item] = lightest_covering(options[s.item], needed - (covered - s.fall - had));
  }
  if (covered >= needed) trim(options, needed, chosen);
  return chosen;
}
