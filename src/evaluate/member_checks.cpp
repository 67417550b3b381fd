// The shown frame analysed once per design, and the checks of its members from those forces.
#include "evaluate/member_checks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "evaluate/drawn_section_check.h"
#include "formats/fields.h"
#include "formats/numtext.h"

namespace {
using std::numbers::pi;
}  // namespace

double FrameForces::total_compliance() const {
  double sum = 0;
  for (double c : compliance) sum += c;
  return sum;
}

namespace {
// The model with, after its load cases, each case's supports and springs again carrying only the
// members' weights (as their equivalent nodal loads).
ModelFile with_weight_cases(const ModelFile& m, const std::vector<MemberLoad>& w) {
  ModelFile out = m;
  const auto equivalent = equivalent_nodal_loads(m, w);
  for (const ModelFileCase& c : m.cases) {
    ModelFileCase weight = c;
    weight.records.clear();
    weight.loads = equivalent;
    out.cases.push_back(std::move(weight));
  }
  return out;
}

// An error of a weight case names the load case whose supports it shares.
SolverError renamed(SolverError e, int case_count) {
  if (e.load_case <= case_count) return e;
  const std::string was = "load case " + std::to_string(e.load_case);
  std::string text = e.what();
  if (text.rfind(was, 0) == 0) text = "the self-weight in load case " + std::to_string(e.load_case - case_count) + text.substr(was.size());
  SolverError out(text);
  out.node = e.node;
  out.dof = e.dof;
  out.load_case = e.load_case - case_count;
  return out;
}

// One load case, or the self-weight, of the analysis: its forces and displacements.
struct Solution {
  CaseForces forces;
  std::vector<std::array<double, 6>> u;
};

// A solution of the same frame that carries nothing: the sum a combination starts from.
Solution at_rest(const Solution& like) {
  Solution zero = like;
  for (MemberForces& m : zero.forces.members) {
    const double length = m.length;
    m = MemberForces{};
    m.length = length;
  }
  for (auto* table : {&zero.forces.reactions, &zero.forces.unbalance, &zero.u})
    for (auto& row : *table) row.fill(0);
  return zero;
}

// sum += factor x part, member by member and node by node.
void add_to(Solution& sum, const Solution& part, double factor) {
  for (size_t j = 0; j < sum.forces.members.size(); ++j) sum.forces.members[j].add(part.forces.members[j], factor);
  const std::array<std::pair<std::vector<std::array<double, 6>>*, const std::vector<std::array<double, 6>>*>, 3> tables{
      {{&sum.forces.reactions, &part.forces.reactions}, {&sum.forces.unbalance, &part.forces.unbalance}, {&sum.u, &part.u}}};
  for (const auto& [to, from] : tables)
    for (size_t i = 0; i < to->size(); ++i)
      for (size_t k = 0; k < 6; ++k) (*to)[i][k] += factor * (*from)[i][k];
}

// Every load case of the model analysed alone, and its supports carrying only the members' weight.
struct CaseSolutions {
  std::vector<Solution> cases, weights;  // per load case; weights empty without the self-weight
  std::vector<double> compliance;        // per load case
};

CaseSolutions solve_cases(const ShownFrame& f, const std::vector<MemberLoad>& w) {
  const int n = static_cast<int>(f.model.cases.size());
  const ModelFile model = w.empty() ? f.model : with_weight_cases(f.model, w);
  const std::vector<Section> sections = f.section_values();
  CaseSolutions out;
  try {
    FrameAnalysis analysis(model);
    analysis.set_factor_reuse(false);
    analysis.solve(sections);
    for (int c = 0; c < analysis.case_count(); ++c) {
      Solution s{case_forces(analysis, model, sections, c, c < n ? std::vector<MemberLoad>{} : w), {}};
      for (int i = 0; i < model.n_node; ++i) {
        s.u.push_back({});
        for (int k = 0; k < 6; ++k) s.u.back()[static_cast<size_t>(k)] = analysis.displacement(c, i, k);
      }
      if (c < n) out.compliance.push_back(analysis.compliance(c));
      (c < n ? out.cases : out.weights).push_back(std::move(s));
    }
  } catch (const SolverError& e) {
    throw renamed(e, n);
  }
  return out;
}
}  // namespace

// A state is the superposition of the cases' solutions, as its loads are of theirs.
FrameForces analyse_frame(const ShownFrame& f, const Loading& loading) {
  if (const std::string why = combination_problem(f.model, loading.combinations); !why.empty()) throw SolverError(why);
  const std::vector<MemberLoad> w = member_weights(f, loading);
  const CaseSolutions solved = solve_cases(f, w);
  FrameForces out;
  out.compliance = solved.compliance;
  out.weight = frame_weight(f, w);
  if (solved.cases.empty()) return out;
  out.states = load_states(solved.cases.size(), loading);
  for (const LoadState& state : out.states) {
    Solution sum = superpose(state, at_rest(solved.cases[0]), solved.cases, solved.weights, add_to);
    out.by_state.push_back(std::move(sum.forces));
    out.displacements.push_back(std::move(sum.u));
  }
  return out;
}

Movement largest_movement(const FrameForces& forces, int state) {
  Movement m;
  const bool any_service = std::any_of(forces.states.begin(), forces.states.end(), [](const LoadState& s) { return s.service; });
  for (size_t c = 0; c < forces.displacements.size(); ++c) {
    if (state == envelope_state ? any_service && !forces.states[c].service : static_cast<int>(c) != state) continue;
    for (size_t i = 0; i < forces.displacements[c].size(); ++i) {
      const auto& u = forces.displacements[c][i];
      if (const double d = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]); m.node < 0 || d > m.value)
        m = {static_cast<int>(i), static_cast<int>(c), d};
    }
  }
  return m;
}

Deflection deflection(const FrameForces& forces, int state, double limit) {
  const Movement m = largest_movement(forces, state);
  return {m, limit > 0 ? m.value / limit : 0.0};
}

std::vector<Deflection> deflections(const FrameForces& forces, double limit) {
  std::vector<Deflection> out;
  for (size_t s = 0; s < forces.states.size(); ++s) out.push_back(deflection(forces, static_cast<int>(s), limit));
  return out;
}

// sigma = N / A + My h / Iw - Mz w / Ih at a sketch point (w, h); for a circle the resultant
// moment at the outer radius. Each at the sections along the member where it can be largest:
// at a point sigma is a parabola along the member, at the outer radius of a circle |N| / A +
// |M| r / I peaks where its derivative vanishes.
double largest_stress(const MemberSection& s, const std::vector<SketchPoint>& fibres, const MemberForces& m) {
  const Section& v = s.values;
  double largest = 0;
  if (s.shape != MemberSection::Shape::general || fibres.empty()) {
    const double radius = s.shape == MemberSection::Shape::general ? std::sqrt(v.A / pi) : s.outer / 2;
    const double I = std::min(v.Iw, v.Ih);
    for (const MemberForces::Station& at : m.peak_sections(I / (radius * v.A)))
      largest = std::max(largest, std::fabs(at.forces[0] / v.A) + std::hypot(at.forces[4], at.forces[5]) * radius / I);
    return largest;
  }
  for (const SketchPoint& p : fibres) {
    const auto sigma = [&v, &p](const EndForces& f) { return f[0] / v.A + f[4] * p[1] / v.Iw - f[5] * p[0] / v.Ih; };
    largest = std::max(largest, std::fabs(sigma(m.largest_of(sigma).forces)));
  }
  return largest;
}

namespace {
// A drawn section: its largest normal stress against f_y / gamma_M0, and its compression against
// the Euler force about its weaker axis over the buckling length.
MemberCheck check_drawn_member(const MemberSection& s, const std::vector<SketchPoint>& fibres, double E,
                               const BucklingLength& b, const MemberForces& m, const CheckSettings& settings) {
  MemberCheck k;
  k.axial = governing_axial(m);
  k.moment = m.largest_moment();
  k.stress = largest_stress(s, fibres, m);
  k.l_cr = b.l_cr;
  k.euler = pi * pi * E * std::min(s.values.Iw, s.values.Ih) / (b.l_cr * b.l_cr);
  const double yielding = k.stress / (settings.yield / settings.gamma_m0);
  const double buckling = k.axial < 0 ? -k.axial / k.euler : 0;
  k.ratio[static_cast<size_t>(Governs::yield)] = yielding;
  k.ratio[static_cast<size_t>(Governs::euler)] = buckling;
  k.utilisation = std::max(yielding, buckling);
  k.governs = k.utilisation <= 0 ? Governs::none : buckling > yielding ? Governs::euler : Governs::yield;
  return k;
}

// A drawn section about its centroid and principal axes: the elastic stress at the outer corners
// of its walls against f_y / gamma_M0, and flexural buckling about its weaker principal axis
// (curve b closed, c open) against chi A f_y / gamma_M1.
MemberCheck check_principal_member(const DrawnSectionProperties& d, double E, const BucklingLength& b,
                                   const MemberForces& m, const CheckSettings& settings) {
  const DrawnSectionCheck c = check_drawn_section(d, m, E, b.l_cr, {settings.yield, settings.gamma_m0, settings.gamma_m1});
  MemberCheck k;
  k.axial = governing_axial(m);
  k.moment = m.largest_moment();
  k.stress = c.stress;
  k.l_cr = b.l_cr;
  k.euler = c.n_cr;
  k.lambda_bar = c.lambda_bar;
  k.chi = c.chi;
  k.n_b_rd = c.n_b_rd;
  k.ratio[static_cast<size_t>(Governs::yield)] = c.stress_ratio;
  k.ratio[static_cast<size_t>(Governs::buckling)] = c.buckling_ratio;
  k.utilisation = c.utilisation();
  k.governs = !(k.utilisation > 0) ? Governs::none : c.buckling_ratio > c.stress_ratio ? Governs::buckling : Governs::yield;
  return k;
}
}  // namespace

MemberCheck check_member(const ShownFrame& f, size_t j, const MemberSection& s, const BucklingLength& b,
                         const MemberForces& m, const CheckSettings& settings) {
  const double E = std::fabs(f.model.props[static_cast<size_t>(f.model.elements[j].prop - 1)][0]);
  if (s.shape == MemberSection::Shape::general && j < f.drawn.size() && f.drawn[j])
    return check_principal_member(*f.drawn[j], E, b, m, settings);
  if (s.shape == MemberSection::Shape::general) return check_drawn_member(s, f.fibres[j], E, b, m, settings);
  CheckSettings own = settings;
  own.cold_formed = s.cold_formed.value_or(settings.cold_formed);
  return check_round_member({s.outer, s.shape == MemberSection::Shape::tube ? s.wall : 0.0}, E, b, m, own);
}

FrameChecks check_frame(const ShownFrame& f, const FrameForces& forces, const CheckSettings& s) {
  return check_frame(f, forces, s, std::vector<char>(f.sections.size(), 1));
}

std::vector<MemberCheck> check_state(const ShownFrame& f, const std::vector<MemberForces>& members,
                                     const BucklingMembers& chains, const CheckSettings& s) {
  std::vector<MemberCheck> checks(f.sections.size());
  for (size_t j = 0; j < checks.size(); ++j)
    checks[j] = check_member(f, j, f.sections[j], chains.buckling_length(j, s.k_factor), members[j], s);
  return checks;
}

void take_envelope(FrameChecks& checks, const std::vector<LoadState>& states) {
  checks.envelope.assign(checks.by_state.empty() ? 0 : checks.by_state[0].size(), {});
  bool first = true;  // the first state checked for strength
  for (size_t c = 0; c < checks.by_state.size(); ++c) {
    if (!states[c].strength) continue;
    for (size_t j = 0; j < checks.envelope.size(); ++j) {
      const MemberCheck& k = checks.by_state[c][j];
      MemberEnvelope& e = checks.envelope[j];
      if (first || k.utilisation > e.utilisation) e = {k.utilisation, static_cast<int>(c), k.governs};
    }
    first = false;
  }
}

FrameChecks check_frame(const ShownFrame& f, const FrameForces& forces, const CheckSettings& s,
                        const std::vector<char>& members) {
  FrameChecks out;
  out.buckling = state_chains(f.model, members, forces.states);
  for (size_t c = 0; c < forces.by_state.size(); ++c)
    out.by_state.push_back(check_state(f, forces.by_state[c].members, out.buckling[c], s));
  take_envelope(out, forces.states);
  if (out.envelope.empty()) out.envelope.assign(f.sections.size(), {});
  return out;
}

FrameSummary summarise(const FrameForces& forces, const FrameChecks& checks,
                       const std::vector<char>& counted, double deflection_limit) {
  FrameSummary s;
  for (size_t j = 0; j < checks.envelope.size(); ++j) {
    if (!counted[j]) continue;
    const MemberEnvelope& e = checks.envelope[j];
    if (s.member < 0 || e.utilisation > s.worst.utilisation) {
      s.member = static_cast<int>(j);
      s.worst = e;
    }
    ++s.counted;
    if (!(e.utilisation <= 1)) ++s.above_one;
  }
  if (s.member >= 0) s.worst_in = forces.states[static_cast<size_t>(s.worst.state)].name;
  s.deflected = deflection(forces, envelope_state, deflection_limit);
  const Movement& moved = s.deflected.moved;
  if (moved.node >= 0) s.moved_in = forces.states[static_cast<size_t>(moved.state)].name;
  s.deflection_limit = deflection_limit;
  return s;
}

std::string node_text(const ModelFile& m, int node0) {
  const auto& p = m.nodes[static_cast<size_t>(node0)];
  return "node " + std::to_string(node0 + 1) + " at " + point_text(p[0], p[1], p[2]);
}

std::string summary_text(const ShownFrame& f, const FrameSummary& s, const std::string& frame) {
  std::string text;
  if (s.member < 0) {
    text = "No member to check in " + frame + ".";
  } else {
    const ModelFileElement& el = f.model.elements[static_cast<size_t>(s.member)];
    text = "Largest utilisation " + significant_text(s.worst.utilisation, 3) + ": element " +
           std::to_string(f.element[static_cast<size_t>(s.member)]) + " (" + node_text(f.model, el.node1 - 1) + " to " +
           node_text(f.model, el.node2 - 1) + "), " + s.worst_in + ", " +
           governs_name(s.worst.governs) + "; " + std::to_string(s.above_one) + " of " + plural(s.counted, "member") + " above 1 in " + frame + ".";
    if (!s.mass.empty()) text += " " + s.mass + ".";
  }
  const Movement& moved = s.deflected.moved;
  if (moved.node >= 0)
    text += " Largest displacement " + significant_text(moved.value, 3) + " mm at " + node_text(f.model, moved.node) +
            ", " + s.moved_in +
            (s.deflection_limit > 0 ? ", " + significant_text(s.deflected.ratio, 3) + " of the deflection limit " +
                                          significant_text(s.deflection_limit, 3) + " mm"
                                    : "") +
            ".";
  if (!s.stability.empty()) text += " " + s.stability + ".";
  return text;
}
