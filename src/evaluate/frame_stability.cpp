// The critical load factor of each ultimate state, through the engine's buckling analysis.
#include "evaluate/frame_stability.h"

#include "formats/json.h"
#include "formats/numtext.h"

std::vector<StateStability> frame_stability(const ShownFrame& f, const FrameForces& forces, const std::vector<char>& drawn) {
  std::vector<StateStability> out;
  const std::vector<Section> sections = f.section_values();
  for (size_t s = 0; s < forces.states.size(); ++s) {
    if (!forces.states[s].strength) continue;
    StateStability entry;
    entry.state = static_cast<int>(s);
    try {
      entry.buckling = frame_buckling(f.model, sections, forces.states[s].supports, forces.by_state[s].members, drawn);
    } catch (const SolverError& e) {
      entry.problem = e.what();
    }
    out.push_back(std::move(entry));
  }
  return out;
}

const StateStability* least_stable(const std::vector<StateStability>& stability) {
  const StateStability* least = nullptr;
  for (const StateStability& s : stability)
    if (s.buckling.alpha > 0 && (least == nullptr || s.buckling.alpha < least->buckling.alpha)) least = &s;
  return least;
}

std::string stability_text(const FrameForces& forces, const std::vector<StateStability>& stability) {
  const StateStability* least = least_stable(stability);
  if (least == nullptr) return {};
  const double alpha = least->buckling.alpha;
  const std::string text = "Critical load factor alpha_cr " + significant_text(alpha, 3) + " (" +
                           forces.states[static_cast<size_t>(least->state)].name + ")";
  if (alpha <= 1) return text + ": the frame buckles under these loads";
  return text;
}

void write_stability_json(JsonWriter& j, const FrameForces& forces, const std::vector<StateStability>& stability) {
  j.key("stability").begin_array();
  for (const StateStability& s : stability) {
    j.begin_object().key("state").value(forces.states[static_cast<size_t>(s.state)].name).key("alpha_cr");
    if (s.buckling.alpha > 0) j.value(s.buckling.alpha);
    else j.null();
    j.key("mode_node").value(s.buckling.mode_node + 1).key("phi").value(s.phi).key("second_order").value(s.second_order);
    if (!s.direction.empty()) j.key("direction").value(s.direction);
    j.end_object();
  }
  j.end_array();
}
