// The clean (and sized) frame of a cycle and its status line.
#include "evaluate/built_frame.h"

#include "formats/json.h"
#include "formats/numtext.h"

namespace {
std::string digits(double v, int n = 3) { return significant_text(v, n); }

// "Standard sizes: mass 0.6231 kg" or "Standard sizes in at most 3 section types: mass 12.4 kg
// against 11.2 kg with as many as needed".
std::string sized_mass(const BuiltFrame& b, double density) {
  const std::string mass = digits(frame_mass(b.clean.frame, density), 4) + " kg";
  if (b.options.section_types <= 0) return "Standard sizes: mass " + mass;
  return "Standard sizes in at most " + plural(b.options.section_types, "section type") + ": mass " + mass + " against " +
         digits(b.unlimited_volume * density * 1e-9, 4) + " kg with as many as needed";
}

// " (3 rounds)", or how the sizing ended when it did not settle and which set it kept.
std::string sizing_end(const Sizing& s) {
  if (s.settled) return " (" + plural(s.rounds, "round") + ")";
  const std::string kept = (s.failing.empty() ? "; kept the lightest set that passes, of round "
                                              : "; no set passed: kept the one with fewest failing members, of round ") +
                           std::to_string(s.kept_set + 1) + ")";
  if (s.cycled) return " (the sizes came back to a set tried before after " + plural(s.rounds, "round") + kept;
  return " (stopped after " + plural(s.rounds, "round") + " with members still changing" + kept;
}

// "elements 3, 7 and 12" of the frame's members (0-based) given.
std::string elements_text(const ShownFrame& f, const std::vector<int>& members) {
  std::string s = members.size() == 1 ? "element " : "elements ";
  for (size_t k = 0; k < members.size(); ++k) {
    if (k > 0) s += k + 1 == members.size() ? " and " : ", ";
    s += std::to_string(f.element[static_cast<size_t>(members[k])]);
  }
  return s;
}

// What fails in the sized frame: "; 2 members fail even in the largest section (elements 3 and
// 7)", or "; element 4 fails in the section chosen".
std::string sizing_failures(const ShownFrame& f, const Sizing& s) {
  if (s.failing.empty()) return {};
  const std::string which = " (" + elements_text(f, s.failing) + ")";
  const int n = static_cast<int>(s.failing.size());
  if (s.too_small == 0) return "; " + plural(n, "member") + (n == 1 ? " fails" : " fail") + " in the sections chosen" + which;
  std::string t = "; " + plural(s.too_small, "member") + (s.too_small == 1 ? " fails" : " fail") + " even in the largest section";
  if (s.too_small < n) t += ", " + std::to_string(n - s.too_small) + " in the sections chosen";
  return t + which;
}

// "; grown for the deflection limit: 6 members, +1.2 kg" (nothing when the sizes for strength
// meet it), or by how much the frame stays past the limit and why growing stopped.
std::string deflection_growth(const Sizing& s, double density) {
  const std::string added = ", +" + digits(s.grown_volume * density * 1e-9) + " kg";
  if (s.deflection_met()) return s.grown > 0 ? "; grown for the deflection limit: " + plural(s.grown, "member") + added : "";
  const std::string past = digits(s.deflection_ratio) + " times the limit with " +
                           (s.grown > 0 ? plural(s.grown, "member") + " grown" + added : "no member grown");
  if (s.stuck) return "; the deflection limit cannot be met: " + past + ", and no larger section that passes reduces it";
  return "; the deflection limit is not met: " + past + ", after " + plural(s.growth_rounds, "round") + " of growth";
}

// "; held by 3 members added back: 12, 40, 41", or, when they do not hold it all, "; 2 members
// added back (12, 40) do not hold it"; "" when none was.
std::string added_text(const CleanFrame& c) {
  if (c.added_elements.empty()) return {};
  std::string numbers;
  for (int e : c.added_elements) numbers += (numbers.empty() ? "" : ", ") + std::to_string(e);
  const int n = static_cast<int>(c.added_elements.size());
  if (c.forces) return "; held by " + plural(n, "member") + " added back: " + numbers;
  return "; " + plural(n, "member") + " added back (" + numbers + (n == 1 ? ") does" : ") do") + " not hold it";
}
}  // namespace

BuiltFrame build_frame(const AnalysedFrame& design, const std::vector<char>& drawn, const std::vector<StandardSection>* sizes,
                       const CheckSettings& checks, const Loading& loading, const SizingOptions& options, bool hold) {
  return build_from_clean(design, clean_up(design.frame, drawn, loading, hold), sizes, checks, loading, options);
}

BuiltFrame build_from_clean(const AnalysedFrame& design, CleanFrame clean, const std::vector<StandardSection>* sizes,
                       const CheckSettings& checks, const Loading& loading, const SizingOptions& options) {
  BuiltFrame b;
  b.options = options;
  b.clean = std::move(clean);
  b.optimised_volume = frame_volume(design.frame);
  b.optimised_compliance = design.forces.total_compliance();
  if (sizes == nullptr || !b.clean.forces) return b;
  if (options.section_types > 0) {
    ShownFrame unlimited = b.clean.frame;
    FrameForces forces = *b.clean.forces;
    SizingOptions as_needed = options;
    as_needed.section_types = 0;
    size_members(unlimited, forces, *sizes, checks, loading, as_needed);
    b.unlimited_volume = frame_volume(unlimited);
  }
  b.sizing = size_members(b.clean.frame, *b.clean.forces, *sizes, checks, loading, options);
  const ShownFrame& f = b.clean.frame;
  const std::vector<char> every(f.sections.size(), 1);
  b.bill = bill_of_materials(f, pieces(every.size(), state_chains(f.model, every, b.clean.forces->states)), loading.density);
  return b;
}

std::string built_status(const BuiltFrame& b, double density, const std::string& checks_summary,
                         const Deflection& deflected) {
  const CleanFrame& c = b.clean;
  std::string s = "Clean frame: " + std::to_string(c.frame.element.size()) + " members, " + std::to_string(c.nodes) +
                  " nodes; removed " + std::to_string(c.removed()) + " (" + std::to_string(c.removed_thin) + " thin, " +
                  std::to_string(c.removed_hanging) + " hanging, " + std::to_string(c.removed_loose) + " loose)";
  if (c.collinear_nodes > 0)
    s += "; " + std::to_string(c.collinear_nodes) + (c.collinear_nodes == 1 ? " node joins" : " nodes join") +
         " two members in line";
  s += added_text(c) + ".";
  if (!c.forces) return s + " It cannot stand: " + c.problem;
  const double ratio_v = frame_volume(c.frame) / b.optimised_volume;
  const double ratio_c = c.forces->total_compliance() / b.optimised_compliance;
  if (b.sizing) {
    s += " " + sized_mass(b, density) + ", " + plural(b.bill->pieces(), "piece") +
         " of " + plural(static_cast<int>(b.bill->lines.size()), "section") + ", volume " + digits(ratio_v) +
         " and compliance " + digits(ratio_c) + " of the optimised design's";
    s += sizing_end(*b.sizing) + sizing_failures(c.frame, *b.sizing);
    if (b.sizing->for_deflection)
      s += deflection_growth(*b.sizing, density);
    else if (deflected.ratio > 1)
      s += "; the sections are chosen for strength, and the frame deflects past the limit";
    s += ".";
  } else {
    s += " Volume " + digits(ratio_v) + " and compliance " + digits(ratio_c) + " of the optimised design's.";
  }
  return s + " " + checks_summary;
}

std::string unstable_export(const BuiltFrame& b) {
  if (b.clean.forces) return {};
  std::string why = b.clean.problem;
  if (!why.empty() && why.back() == '.') why.pop_back();
  return "the clean frame cannot stand: " + why + ", or \"Show Optimised\" exports the optimised design";
}

void write_built_json(JsonWriter& j, const BuiltFrame& b, int n_elem) {
  const CleanFrame& c = b.clean;
  j.key("clean").begin_object();
  j.key("members").value(static_cast<int>(c.frame.element.size())).key("nodes").value(c.nodes);
  j.key("volume").value(frame_volume(c.frame));
  j.key("compliance").value(c.forces ? c.forces->total_compliance() : 0.0);
  j.key("mechanism").value(!c.forces && !c.load_lost).key("load_lost").value(c.load_lost);
  j.key("removed").value(c.removed()).key("problem").value(c.problem);
  j.key("added").begin_array();
  for (int e : c.added_elements) j.value(e);
  j.end_array();
  j.end_object();
  if (b.bill) j.key("frame_mass").value(b.bill->mass()).key("pieces").value(b.bill->pieces());
  if (b.sizing && b.sizing->for_deflection) {
    const Sizing& s = *b.sizing;
    j.key("deflection_growth").begin_object();
    j.key("met").value(s.deflection_met()).key("ratio").value(s.deflection_ratio).key("members").value(s.grown);
    j.key("volume").value(s.grown_volume).key("rounds").value(s.growth_rounds).key("stuck").value(s.stuck);
    j.end_object();
  }
  std::vector<std::string> names(static_cast<size_t>(n_elem), "");
  for (size_t k = 0; k < c.frame.element.size(); ++k) names[static_cast<size_t>(c.frame.element[k] - 1)] = c.frame.sections[k].name;
  j.key("sizes").begin_array();
  for (const std::string& n : names) j.value(n);
  j.end_array();
}
