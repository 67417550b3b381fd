// The plastic bound of the ultimate states, by the pin-jointed program.
#include "evaluate/plastic_bound.h"

#include "formats/json.h"
#include "formats/numtext.h"

PinJointedOutcome plastic_layout(const ModelFile& m, const Loading& loading) {
  std::vector<PinJointedLoads> sets;
  for (const LoadState& s : load_states(m.cases.size(), loading))
    if (s.strength) sets.push_back({s.name, s.supports, state_nodal_loads(m, s)});
  return pin_jointed_layout(m, sets, {.seconds = plastic_seconds});
}

PlasticBound plastic_bound(const PinJointedOutcome& layout, const CheckSettings& steel, double density) {
  PlasticBound b;
  if (!layout.layout) {
    b.problem = "no pin-jointed truss: " + layout.problem;
    return b;
  }
  b.volume = layout.layout->load_path * steel.gamma_m0 / steel.yield;
  b.mass = b.volume * density * 1e-9;
  b.members = layout.layout->members;
  return b;
}

std::string bound_text(double mass, const PlasticBound& b) {
  if (!b.problem.empty() || !(b.mass > 0)) return {};
  return "Mass " + significant_text(mass, 3) + " kg, " + significant_text(mass / b.mass, 3) +
         " x the lightest pin-jointed truss on this ground structure, " + significant_text(b.mass, 3) + " kg";
}

void write_plastic_bound_json(JsonWriter& j, const std::optional<PlasticBound>& bound) {
  j.key("plastic_bound");
  if (!bound) {
    j.null();
    return;
  }
  const PlasticBound& b = *bound;
  j.begin_object();
  if (b.problem.empty()) {
    j.key("mass").value(b.mass).key("volume").value(b.volume);
  } else {
    j.key("mass").null().key("volume").null();
  }
  j.key("members").value(b.members).key("problem").value(b.problem).end_object();
}
