// Colour scales, legends and the deformed frame of the force and utilisation views.
#include "evaluate/force_view.h"

#include <algorithm>
#include <cmath>

#include "formats/json.h"
#include "formats/numtext.h"

namespace {
constexpr Rgb neutral{200, 200, 200}, tension{220, 0, 0}, compression{0, 0, 220};
constexpr Rgb green{0, 170, 0}, yellow{255, 220, 0}, red{255, 0, 0}, dark_red{120, 0, 0};

Rgb blend(Rgb a, Rgb b, double t) {
  auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

std::string number(double v, const char* unit) { return significant_text(v, 3) + unit; }
}  // namespace

int axial_colour(double axial, double largest) {
  const double t = largest > 0 ? std::clamp(std::fabs(axial) / largest, 0.0, 1.0) : 0.0;
  return rgb_colour(blend(neutral, axial >= 0 ? tension : compression, t));
}

int utilisation_colour(double u) {
  if (u > 1) return rgb_colour(dark_red);
  if (u <= 0.5) return rgb_colour(blend(green, yellow, std::max(u, 0.0) / 0.5));
  return rgb_colour(blend(yellow, red, (u - 0.5) / 0.5));
}

double shown_axial(const FrameChecks& checks, int state, size_t j) {
  if (state != envelope_state) return checks.by_state[static_cast<size_t>(state)][j].axial;
  double value = 0;
  for (const auto& c : checks.by_state)
    if (std::fabs(c[j].axial) > std::fabs(value)) value = c[j].axial;
  return value;
}

double shown_utilisation(const FrameChecks& checks, int state, size_t j) {
  return state == envelope_state ? checks.envelope[j].utilisation : checks.by_state[static_cast<size_t>(state)][j].utilisation;
}

double deformation_factor(const FrameForces& forces, int state, double size) {
  const double largest = largest_movement(forces, state).value;
  return largest > 0 ? 0.1 * size / largest : 0.0;
}

double apply_force_view(ResultPicture& p, const ForceView& v, const ShownFrame& f, const FrameForces* forces,
                        const FrameChecks* checks, const std::vector<char>& counted, int n_elem, double size) {
  const size_t members = f.element.size();
  const ColourBy by = checks != nullptr ? v.by : ColourBy::diameter;
  if (by != ColourBy::diameter || members < static_cast<size_t>(n_elem)) {
    p.element_colour.assign(static_cast<size_t>(n_elem) + 1, not_drawn);
    double largest = 0;
    for (size_t j = 0; j < members && by == ColourBy::axial; ++j)
      if (counted[j]) largest = std::max(largest, std::fabs(shown_axial(*checks, v.state, j)));
    for (size_t j = 0; j < members; ++j) {
      int colour = f.sections[j].shape != MemberSection::Shape::general ? 6 : 0;  // the plain picture's
      if (by == ColourBy::axial) colour = axial_colour(shown_axial(*checks, v.state, j), largest);
      if (by == ColourBy::utilisation) colour = utilisation_colour(shown_utilisation(*checks, v.state, j));
      p.element_colour[static_cast<size_t>(f.element[j])] = colour;
    }
    if (by == ColourBy::axial) {
      p.legend.title = "Axial force";
      for (double t : {1.0, 0.5, 0.0, -0.5, -1.0})
        p.legend.entries.emplace_back(axial_colour(t * largest, largest),
                                      number(t * largest, t > 0 ? " N tension" : t < 0 ? " N compression" : " N"));
    } else if (by == ColourBy::utilisation) {
      p.legend.title = "Utilisation";
      p.legend.entries.emplace_back(utilisation_colour(1.01), "above 1");
      for (double u : {1.0, 0.75, 0.5, 0.25, 0.0}) p.legend.entries.emplace_back(utilisation_colour(u), number(u, ""));
    }
  }
  for (size_t j = 0; j < members; ++j)
    if (counted[j] && f.sections[j].shape != MemberSection::Shape::general) {
      if (p.element_beam.empty()) p.element_beam.assign(static_cast<size_t>(n_elem) + 1, 0);
      p.element_beam[static_cast<size_t>(f.element[j])] = 1;
    }
  for (size_t j = 0; j < members; ++j)
    if (f.sections[j].shape == MemberSection::Shape::tube) {
      if (p.element_diameter.empty()) p.element_diameter.assign(static_cast<size_t>(n_elem) + 1, 0.0f);
      p.element_diameter[static_cast<size_t>(f.element[j])] = static_cast<float>(f.sections[j].outer);
    }
  for (size_t j = 0; j < members && !p.element_diameter.empty(); ++j)
    if (f.sections[j].shape == MemberSection::Shape::circle)
      p.element_diameter[static_cast<size_t>(f.element[j])] = static_cast<float>(f.sections[j].outer);
  if (!v.deformed || forces == nullptr) return 0;
  const double factor = deformation_factor(*forces, v.state, size);
  // The envelope shows the state that moves most.
  const int shown_state = v.state != envelope_state ? v.state : largest_movement(*forces).state;
  const auto& shown = forces->displacements[static_cast<size_t>(shown_state)];
  p.deformed.assign(shown.size() + 1, P3{});
  for (size_t i = 0; i < shown.size(); ++i) p.deformed[i + 1] = {factor * shown[i][0], factor * shown[i][1], factor * shown[i][2]};
  return factor;
}

std::vector<char> members_shown(const ShownFrame& f, const ResultStore& r, int c, float threshold) {
  std::vector<char> shown(f.element.size());
  for (size_t j = 0; j < f.element.size(); ++j) shown[j] = shown_as_beam(r, c, f.element[j], threshold);
  return shown;
}

std::string drawn_members_text(const ResultStore& r, int c, float threshold) {
  if (c < 1 || c > r.pn_cyc) return {};
  int drawn = 0;
  for (int e = 1; e <= r.pn_elem; ++e) drawn += shown_as_beam(r, c, e, threshold) ? 1 : 0;
  return "At threshold " + plain_text(threshold) + ", " + std::to_string(drawn) + " of " + std::to_string(r.pn_elem) +
         (r.pn_elem == 1 ? " member is" : " members are") + " drawn as beams; the checks count these.";
}

std::string frame_name(FrameKind kind, const std::vector<char>& drawn, float threshold) {
  if (kind == FrameKind::clean) return "the clean frame";
  if (kind == FrameKind::sized) return "the sized frame";
  const auto hidden = std::count(drawn.begin(), drawn.end(), 0);
  std::string name = "the optimised design at threshold " + plain_text(threshold);
  if (hidden == 0) return name;
  name += " (" + plural(hidden, "member") + " hidden as thin";
  if (2 * static_cast<size_t>(hidden) > drawn.size()) name += ": \"Clean Up\" gives the frame to build";
  return name + ")";
}

void write_force_json(JsonWriter& j, const ShownFrame& f, const FrameForces& forces, const FrameChecks& checks,
                      const std::vector<char>& counted, int n_elem) {
  std::vector<int> member(static_cast<size_t>(n_elem) + 1, -1);
  for (size_t k = 0; k < f.element.size(); ++k) member[static_cast<size_t>(f.element[k])] = static_cast<int>(k);
  j.key("forces").begin_array();
  for (const auto& c : checks.by_state) {
    j.begin_array();
    for (int e = 1; e <= n_elem; ++e) {
      const int k = member[static_cast<size_t>(e)];
      if (k < 0) {
        j.begin_array().end_array();
        continue;
      }
      const MemberCheck& m = c[static_cast<size_t>(k)];
      j.begin_array().value(m.axial).value(m.moment).value(m.stress).value(m.utilisation).end_array();
    }
    j.end_array();
  }
  j.end_array();
  const FrameSummary s = summarise(forces, checks, counted);
  j.key("utilisation_max").begin_object();
  if (s.member >= 0)
    j.key("value").value(s.worst.utilisation).key("element").value(f.element[static_cast<size_t>(s.member)])
        .key("case").value(s.worst.state + 1).key("check").value(governs_name(s.worst.governs));
  j.end_object();
  j.key("design_checks").begin_array();
  for (int e = 1; e <= n_elem; ++e) {
    const int k = member[static_cast<size_t>(e)];
    if (k < 0 || checks.by_state.empty()) {
      j.null();
      continue;
    }
    const MemberCheck& m = checks.governing(static_cast<size_t>(k));
    j.begin_object().key("chain").value(checks.chain(static_cast<size_t>(k))).key("l_cr").value(m.l_cr);
    j.key("class");
    if (m.section_class > 0) j.value(m.section_class);
    else j.null();
    j.key("lambda_bar");
    if (m.ratio_of(Governs::buckling)) j.value(m.lambda_bar).key("chi").value(m.chi);
    else j.null().key("chi").null();
    j.key("utilisation").value(m.utilisation).key("check").value(governs_name(m.governs));
    j.key("case").value(checks.envelope[static_cast<size_t>(k)].state + 1).end_object();
  }
  j.end_array();
  j.key("displacement_max").begin_array();
  for (size_t c = 0; c < forces.displacements.size(); ++c) {
    const Movement m = largest_movement(forces, static_cast<int>(c));
    j.begin_object().key("node").value(m.value > 0 ? m.node + 1 : 0).key("value").value(m.value).end_object();
  }
  j.end_array();
}

void write_deflection_json(JsonWriter& j, const FrameForces& forces, const std::vector<Deflection>& deflected, double limit) {
  j.key("deflection").begin_array();
  for (size_t s = 0; const Deflection& d : deflected) {
    if (!forces.states[s++].service) continue;
    j.begin_object().key("node").value(d.moved.value > 0 ? d.moved.node + 1 : 0).key("value").value(d.moved.value).key("ratio");
    if (limit > 0) j.value(d.ratio);
    else j.null();
    j.end_object();
  }
  j.end_array();
}
