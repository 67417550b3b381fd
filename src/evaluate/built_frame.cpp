// The clean (and sized) frame of a cycle and its status line.
#include "evaluate/built_frame.h"

#include "formats/json.h"
#include "formats/numtext.h"

namespace {
std::string digits(double v, int n = 3) { return significant_text(v, n); }
}  // namespace

BuiltFrame build_frame(const AnalysedFrame& design, const std::vector<char>& drawn, const std::vector<StandardSection>* sizes,
                       const CheckSettings& checks, const Loading& loading) {
  BuiltFrame b;
  b.clean = clean_up(design.frame, drawn, loading);
  b.optimised_volume = frame_volume(design.frame);
  b.optimised_compliance = design.forces.total_compliance();
  if (sizes != nullptr && b.clean.forces) b.sizing = size_members(b.clean.frame, *b.clean.forces, *sizes, checks, loading);
  return b;
}

std::string built_status(const BuiltFrame& b, double density, const std::string& checks_summary,
                         double deflection_limit) {
  const CleanFrame& c = b.clean;
  std::string s = "Clean frame: " + std::to_string(c.frame.element.size()) + " members, " + std::to_string(c.nodes) +
                  " nodes; removed " + std::to_string(c.removed()) + " (" + std::to_string(c.removed_thin) + " thin, " +
                  std::to_string(c.removed_hanging) + " hanging, " + std::to_string(c.removed_loose) + " loose)";
  if (c.collinear_nodes > 0)
    s += "; " + std::to_string(c.collinear_nodes) + (c.collinear_nodes == 1 ? " node joins" : " nodes join") +
         " two members in line";
  s += ".";
  if (!c.forces) return s + " It cannot stand: " + c.problem;
  const double ratio_v = frame_volume(c.frame) / b.optimised_volume;
  const double ratio_c = c.forces->total_compliance() / b.optimised_compliance;
  if (b.sizing) {
    s += " Standard sizes: mass " + digits(frame_mass(c.frame, density), 4) + " kg, volume " + digits(ratio_v) +
         " and compliance " + digits(ratio_c) + " of the optimised design's";
    s += b.sizing->settled ? " (" + std::to_string(b.sizing->rounds) + (b.sizing->rounds == 1 ? " round)" : " rounds)")
                           : " (stopped after " + std::to_string(max_sizing_rounds) + " rounds with members still changing)";
    if (b.sizing->too_small > 0)
      s += "; " + std::to_string(b.sizing->too_small) + " members fail even in the largest section";
    if (deflection_limit > 0 && largest_movement(*c.forces).value > deflection_limit)
      s += "; the sections are chosen for strength, and the frame deflects past the limit";
    s += ".";
  } else {
    s += " Volume " + digits(ratio_v) + " and compliance " + digits(ratio_c) + " of the optimised design's.";
  }
  return s + " " + checks_summary;
}

void write_built_json(JsonWriter& j, const BuiltFrame& b, int n_elem) {
  const CleanFrame& c = b.clean;
  j.key("clean").begin_object();
  j.key("members").value(static_cast<int>(c.frame.element.size())).key("nodes").value(c.nodes);
  j.key("volume").value(frame_volume(c.frame));
  j.key("compliance").value(c.forces ? c.forces->total_compliance() : 0.0);
  j.key("mechanism").value(!c.forces).key("removed").value(c.removed()).key("problem").value(c.problem);
  j.end_object();
  std::vector<std::string> names(static_cast<size_t>(n_elem), "");
  for (size_t k = 0; k < c.frame.element.size(); ++k) names[static_cast<size_t>(c.frame.element[k] - 1)] = c.frame.sections[k].name;
  j.key("sizes").begin_array();
  for (const std::string& n : names) j.value(n);
  j.end_array();
}
