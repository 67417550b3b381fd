// Second-order forces with sway imperfections, through the engine's second-order analysis, and
// the member checks under them.
#include "evaluate/frame_judgement.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "solver/second_order.h"

namespace {
double along(const std::array<double, 6>& load, const std::array<double, 3>& unit) {
  return load[0] * unit[0] + load[1] * unit[1] + load[2] * unit[2];
}

// Member j fails by frame buckling in state s with `ratio` when it is in compression there.
void fail_compressed(FrameJudgement& out, size_t s, const std::vector<char>& drawn, double ratio) {
  for (size_t j = 0; j < drawn.size(); ++j) {
    if (!drawn[j] || !(out.forces.by_state[s].members[j].compression() > 0)) continue;
    MemberCheck& k = out.checks.by_state[s][j];
    k.ratio[static_cast<size_t>(Governs::frame_buckling)] = ratio;
    if (ratio > k.utilisation) {
      k.utilisation = ratio;
      k.governs = Governs::frame_buckling;
    }
  }
}

// What the state puts on the frame: its nodal loads and its factored member weights.
struct AppliedLoads {
  NodeLoads nodal;
  NodeLoads vertical;  // the nodal loads with the nodal share of the weight: what the sway tilts
  std::vector<MemberLoad> weight;
};

AppliedLoads applied_loads(const ShownFrame& f, const LoadState& state, const Loading& loading) {
  const StateLoads loads = state_loads(f, state, loading);
  AppliedLoads a{loads.nodal, loads.nodal, {}};
  if (loads.weight.empty() || loads.weight_factor == 0) return a;
  add_loads(a.vertical, loads.weight_at_nodes, loads.weight_factor);
  for (const MemberLoad& w : loads.weight)
    a.weight.push_back({w[0] * loads.weight_factor, w[1] * loads.weight_factor, w[2] * loads.weight_factor});
  return a;
}

// State s to second order with the sway each way: each member keeps the direction that governs it.
void take_second_order(FrameJudgement& out, const ShownFrame& f, const std::vector<Section>& sections, const Loading& loading,
                       const std::vector<char>& drawn, const CheckSettings& steel, const std::array<double, 3>& down,
                       StateStability& st) {
  const size_t s = static_cast<size_t>(st.state);
  const LoadState& state = out.forces.states[s];
  const AppliedLoads loads = applied_loads(f, state, loading);
  const std::vector<MemberForces> first = out.forces.by_state[s].members;
  const std::array<SwayDirection, 4> directions = sway_directions(down);
  std::vector<NodeLoads> swayed;
  for (const SwayDirection& d : directions) {
    swayed.push_back(loads.nodal);
    add_loads(swayed.back(), sway_forces(loads.vertical, st.phi, down, d.unit), 1);
  }
  const std::vector<SecondOrderForces> sway =
      second_order_forces(f.model, sections, state.supports, swayed, loads.weight, first, drawn);
  std::vector<size_t> taken(drawn.size(), 0);
  for (size_t d = 0; d < directions.size(); ++d) {
    const std::vector<MemberCheck> checks = check_state(f, sway[d].members, out.checks.buckling[s], steel);
    for (size_t j = 0; j < checks.size(); ++j)
      if (d == 0 || checks[j].utilisation > out.checks.by_state[s][j].utilisation) {
        out.checks.by_state[s][j] = checks[j];
        out.forces.by_state[s].members[j] = sway[d].members[j];
        taken[j] = d;
      }
  }
  st.second_order = true;
  int worst = -1;
  for (size_t j = 0; j < drawn.size(); ++j)
    if (drawn[j] && (worst < 0 || out.checks.by_state[s][j].utilisation > out.checks.by_state[s][static_cast<size_t>(worst)].utilisation))
      worst = static_cast<int>(j);
  if (worst >= 0) st.direction = directions[taken[static_cast<size_t>(worst)]].name;
}
}  // namespace

double sway_imperfection(double height) {
  const double h = height / 1000;
  const double alpha_h = h > 0 ? std::clamp(2 / std::sqrt(h), 2.0 / 3, 1.0) : 1.0;
  return alpha_h / 200;
}

double frame_height(const ModelFile& m, const std::vector<char>& drawn, const std::array<double, 3>& down) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (size_t j = 0; j < m.elements.size() && j < drawn.size(); ++j) {
    if (!drawn[j]) continue;
    for (const int node : {m.elements[j].node1, m.elements[j].node2}) {
      const auto& p = m.nodes[static_cast<size_t>(node - 1)];
      const double level = p[0] * down[0] + p[1] * down[1] + p[2] * down[2];
      low = std::min(low, level);
      high = std::max(high, level);
    }
  }
  return high > low ? high - low : 0;
}

std::array<SwayDirection, 4> sway_directions(const std::array<double, 3>& down) {
  const std::string axes = "LWH";
  std::array<SwayDirection, 4> out;
  size_t d = 0;
  for (size_t k = 0; k < 3; ++k) {
    if (down[k] != 0) continue;
    for (const double sign : {1.0, -1.0}) {
      out[d].name = std::string(sign > 0 ? "+" : "-") + axes[k];
      out[d].unit = {};
      out[d++].unit[k] = sign;
    }
  }
  return out;
}

NodeLoads sway_forces(const NodeLoads& loads, double phi, const std::array<double, 3>& down,
                      const std::array<double, 3>& across) {
  NodeLoads out(loads.size(), std::array<double, 6>{});
  for (size_t i = 0; i < loads.size(); ++i)
    for (size_t k = 0; k < 3; ++k) out[i][k] = phi * along(loads[i], down) * across[k];
  return out;
}

FrameJudgement judge_frame(const ShownFrame& f, const FrameForces& first, const CheckSettings& steel,
                           const Loading& loading, const std::vector<char>& drawn) {
  FrameJudgement out{first, check_frame(f, first, steel, drawn), frame_stability(f, first, drawn)};
  std::array<double, 3> down{0, 0, -1};
  direction_vector(loading.direction, down);
  const double phi = sway_imperfection(frame_height(f.model, drawn, down));
  const std::vector<Section> sections = f.section_values();
  for (StateStability& st : out.stability) {
    st.phi = phi;
    if (!st.problem.empty()) continue;
    const size_t s = static_cast<size_t>(st.state);
    if (st.buckles()) {
      fail_compressed(out, s, drawn, 1 / st.buckling.alpha);
      continue;
    }
    try {
      take_second_order(out, f, sections, loading, drawn, steel, down, st);
    } catch (const SolverError& e) {
      // Buckled under the second-order axial forces, though not under the first-order ones.
      st.problem = e.what();
      fail_compressed(out, s, drawn, st.buckling.alpha > 0 ? std::max(1.0, 1 / st.buckling.alpha) : 1.0);
    }
  }
  take_envelope(out.checks, out.forces.states);
  return out;
}

double frame_buckling_ratio(const FrameJudgement& judged, size_t s, size_t j) {
  return judged.checks.by_state[s][j].ratio_of(Governs::frame_buckling).value_or(0.0);
}
