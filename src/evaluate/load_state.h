// The states a frame is analysed and checked in: each load case of the model with the members'
// own weight, or, when there are load combinations, each combination: the factored sum of its
// cases and of the weight. One rule makes them, and one function gives the loads a state applies,
// for the analysis, the input deck and the report alike. Units: N, N mm, N/mm, mm.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "evaluate/loading.h"
#include "evaluate/shown_frame.h"
#include "solver/member_forces.h"

inline constexpr int envelope_state = -1;  // every state at once

struct LoadState {
  std::string name;      // "load case 2", "combination ULS1"
  std::string key;       // in column names: "2", "ULS1"
  bool strength = true;  // its members are checked (a load case, or an ULS combination)
  bool service = true;   // its deflection is checked (a load case, or an SLS combination)
  bool combined = false;        // a combination, not a load case as it stands
  std::vector<double> factors;  // per load case of the model
  double self_weight = 1;       // the factor of the members' own weight (when it is on)
  size_t supports = 0;          // the load case (0-based) whose supports and springs it stands on
};

// The states of a model of `case_count` load cases under the loading: the cases, or the
// combinations in their order. A combination stands on the supports of the first case it uses
// (those of case 1 when it uses none): combination_problem says whether they all share them.
std::vector<LoadState> load_states(size_t case_count, const Loading& loading);

// The state's factored sum of the parts of its cases and of the weight on its supports
// (`weights` per load case, empty without the self-weight), added to `sum`; `add(sum, part,
// factor)` adds factor x part to sum. Terms of factor 0 take no part.
template <class T, class Add>
T superpose(const LoadState& s, T sum, const std::vector<T>& cases, const std::vector<T>& weights, Add add) {
  for (size_t c = 0; const T& part : cases)
    if (const double factor = s.factors.at(c++); factor != 0) add(sum, part, factor);
  if (!weights.empty() && s.self_weight != 0) add(sum, weights[s.supports], s.self_weight);
  return sum;
}

// Each member's own weight per mm along it (N/mm, global): its area x density x g in the
// loading's direction; none when the self-weight is off.
std::vector<MemberLoad> member_weights(const ShownFrame& f, const Loading& loading);
// The frame's weight under those member loads, N.
double frame_weight(const ShownFrame& f, const std::vector<MemberLoad>& w);

// Loads on the frame's nodes: per node, forces (N) and moments (N mm) along and about L, W, H.
using NodeLoads = std::vector<std::array<double, 6>>;
// into += factor x loads, node by node.
void add_loads(NodeLoads& into, const NodeLoads& loads, double factor);

// A state's nodal loads on the model's nodes: its cases' loads, factored and summed.
NodeLoads state_nodal_loads(const ModelFile& m, const LoadState& s);

// What a state applies to the frame: its cases' nodal loads, factored and summed, and the
// members' weight with its factor.
struct StateLoads {
  NodeLoads nodal;
  std::vector<MemberLoad> weight;  // per member, N/mm; empty without the self-weight
  NodeLoads weight_at_nodes;       // its equivalent nodal loads, as the analysis takes them; empty without
  double weight_factor = 0;
  double frame_weight = 0;         // N, of the whole frame, before the factor
};
StateLoads state_loads(const ShownFrame& f, const LoadState& s, const Loading& loading);
