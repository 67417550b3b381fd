// The plastic bound: the least-volume pin-jointed truss on the model's ground structure (its
// design elements as potential members, its nodes, each state's supports) that carries every
// ultimate state at the design yield stress f_y / gamma_M0 in tension and compression. No
// buckling, no self-weight, no bending: a frame of these members can be lighter than it only by
// breaking those assumptions, so it measures how far a frame is from the lightest possible.
#pragma once

#include <optional>
#include <string>

#include "evaluate/load_state.h"
#include "evaluate/steel_design.h"
#include "solver/pin_jointed.h"

class JsonWriter;

// The truss in the model's units, of the ultimate states of a model under a loading: each load
// case, or each ULS combination as the factored sum of its cases' nodal loads on the supports of
// the case it stands on.
// The program stops after plastic_seconds (CPU time) and leaves no bound, saying so.
inline constexpr double plastic_seconds = 3;  // the first force view of a large model waits no longer
PinJointedOutcome plastic_layout(const ModelFile& m, const Loading& loading);

struct PlasticBound {
  double volume = 0;    // mm3
  double mass = 0;      // kg
  int members = 0;      // members that carry force in it
  std::string problem;  // why there is none ("" when there is)
};
// The truss's volume and mass at the design yield stress and the density (kg/m3).
PlasticBound plastic_bound(const PinJointedOutcome& layout, const CheckSettings& steel, double density);

// "Mass 7.37 kg, 1.67 x the lightest pin-jointed truss on this ground structure, 4.42 kg" of a
// frame of `mass` kg; "" without a bound.
std::string bound_text(double mass, const PlasticBound& b);

// The window's dump: `plastic_bound` {mass (kg), volume (mm3), members, problem}; without a bound
// mass and volume are null, members 0 and problem says why; null when the model was not evaluated.
void write_plastic_bound_json(JsonWriter& j, const std::optional<PlasticBound>& b);
