// The states of a loading and the loads each applies.
#include "evaluate/load_state.h"

#include <cmath>

std::vector<LoadState> load_states(size_t case_count, const Loading& loading) {
  std::vector<LoadState> out;
  if (loading.combinations.empty()) {
    for (size_t c = 0; c < case_count; ++c) {
      LoadState s;
      s.name = "load case " + std::to_string(c + 1);
      s.key = std::to_string(c + 1);
      s.factors.assign(case_count, 0);
      s.factors[c] = 1;
      s.supports = c;
      out.push_back(std::move(s));
    }
    return out;
  }
  for (const Combination& k : loading.combinations) {
    LoadState s;
    s.name = "combination " + k.name;
    s.key = k.name;
    s.strength = k.kind == LimitState::uls;
    s.service = !s.strength;
    s.combined = true;
    s.factors = k.factors;
    s.factors.resize(case_count, 0.0);  // cases past the end have factor 0
    while (s.supports + 1 < case_count && s.factors[s.supports] == 0) ++s.supports;
    if (s.factors.empty() || s.factors[s.supports] == 0) s.supports = 0;
    s.self_weight = k.self_weight;
    out.push_back(std::move(s));
  }
  return out;
}

std::vector<MemberLoad> member_weights(const ShownFrame& f, const Loading& loading) {
  std::array<double, 3> down{};
  if (!loading.self_weight || !direction_vector(loading.direction, down)) return {};
  std::vector<MemberLoad> w;
  const double per_mm3 = loading.density * 1e-9 * gravity;  // N/mm3
  for (const MemberSection& s : f.sections)
    w.push_back({s.values.A * per_mm3 * down[0], s.values.A * per_mm3 * down[1], s.values.A * per_mm3 * down[2]});
  return w;
}

double frame_weight(const ShownFrame& f, const std::vector<MemberLoad>& w) {
  double weight = 0;
  for (size_t j = 0; j < w.size(); ++j) weight += std::hypot(w[j][0], w[j][1], w[j][2]) * member_length(f.model, j);
  return weight;
}

void add_loads(NodeLoads& into, const NodeLoads& loads, double factor) {
  for (size_t i = 0; i < into.size(); ++i)
    for (size_t k = 0; k < 6; ++k) into[i][k] += factor * loads[i][k];
}

NodeLoads state_nodal_loads(const ModelFile& m, const LoadState& s) {
  std::vector<NodeLoads> cases;
  for (const ModelFileCase& c : m.cases) cases.push_back(c.loads);
  return superpose(s, NodeLoads(static_cast<size_t>(m.n_node), std::array<double, 6>{}), cases, {}, add_loads);
}

StateLoads state_loads(const ShownFrame& f, const LoadState& s, const Loading& loading) {
  StateLoads out;
  out.nodal = state_nodal_loads(f.model, s);
  out.weight = member_weights(f, loading);
  if (!out.weight.empty()) out.weight_at_nodes = equivalent_nodal_loads(f.model, out.weight);
  out.weight_factor = out.weight.empty() ? 0 : s.self_weight;
  out.frame_weight = frame_weight(f, out.weight);
  return out;
}
