// The input deck for a general finite-element program: the frame shown in the keyword format of
// CalculiX, built so that ccx 2.20 gives the answer of Marulla's own Euler-Bernoulli analysis.
// Why it is built as it is (each point measured with ccx 2.20) is said in the deck's own head.
#include "export/fe_deck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <Eigen/Core>
#include <Eigen/Geometry>

#include "evaluate/load_state.h"
#include "formats/errors.h"
#include "formats/fields.h"
#include "solver/frame.h"

namespace {

// The shear factor of the sections makes every element's shear deformation at most this
// fraction of its bending deformation.
constexpr double shear_share = 1e-10;
// A support is a spring this many times stiffer than the stiffest member end at its node: it
// moves the frame by about this fraction, and rounding costs about as much where it is off.
constexpr double support_ratio = 1e8;
// ccx refuses a Poisson's ratio of 0.5 or more.
constexpr double largest_poisson = 0.499;

// A number as ccx reads it: at most 12 significant digits, so never more than 20 characters
// (ccx reads no more: "-2.77555756156289e-17" comes back as -0.278), and always with a decimal
// point (under *SPRING, ccx does not take "10" or "1e+06" for a stiffness).
std::string num(double v) {
  if (!std::isfinite(v)) raise_error(err::overflow, "a value of the frame that is not a finite number");
  if (v == 0) return "0.";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.12g", v);
  std::string s = buf;
  if (s.find('.') == std::string::npos) {
    const size_t e = s.find('e');
    if (e == std::string::npos)
      s += '.';
    else
      s.insert(e, ".");
  }
  return s;
}

// A number in a comment, for reading: six significant digits.
std::string text(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

std::string num3(const Eigen::Vector3d& v) { return num(v.x()) + "," + num(v.y()) + "," + num(v.z()); }

struct Material {
  double E = 0, nu = 0;
  std::string note;  // why it differs from its set's material, or ""
  int prop = 0;      // 1-based property set
};

struct Member {
  int node1 = 0, node2 = 0;  // 1-based
  Eigen::Matrix3d axes;      // rows x, W, H
  double length = 0;
  int material = 0;          // index into the materials
  double shear_modulus = 0;  // of that material as ccx takes it
};

// A spring to ground on (node, dof), switched on in some steps: one of the model, or a support
// (a spring so stiff that the node stands still, whose force is the reaction). It lies between
// dof 1 of an auxiliary node, its end, and a ground node fixed in every step.
struct Spring {
  int node = 0, dof = 0;  // 1-based; dof 1..6
  double k = 0;           // N/mm or N mm/rad
  bool support = false;
  int element = 0, end = 0, ground = 0;
};

// A frame node's dof that has springs: it is the sum of dof 1 of the ends of its springs and of
// a loose auxiliary node (*EQUATION). A step fixes every term but one: the end of the spring it
// switches on, or the loose node when it switches on none, so that the dof moves with that
// term alone and every other spring has both its nodes fixed.
struct Held {
  int node = 0, dof = 0, loose = 0;
  std::vector<int> springs;
};

// One *STEP: the springs and supports of a load case switched on, and its loads as written
// (none at a node no member touches, and of the load cases none on a fixed dof).
struct Step {
  std::string title;  // "load case 2", "combination ULS1 (ULS): ..."
  int springs_of = 0;  // 0-based load case
  NodeLoads loads;
};

struct Deck {
  std::vector<char> touched;  // per node
  std::vector<Member> members;
  std::vector<Material> materials;
  std::vector<Spring> springs;
  std::vector<Held> held;
  std::vector<std::vector<int>> active;  // per case: the springs it switches on
  std::vector<Step> steps;
  std::vector<std::string> without_load;  // "Load case 3", "Combination SLS2": no step
  bool self_weight = false, combined = false;
  double weight = 0;  // of all members, N
  double shear_factor = 1;
  std::vector<std::array<double, 2>> support_stiffness;  // per node: translations, rotations
  int nodes_left_out = 0, springs_left_out = 0, loads_left_out = 0, loads_on_supports = 0;
  int torsion_raised = 0;  // materials whose torsion could not be matched
};

double poisson_of(double E, double G) { return E / (2 * G) - 1; }

int material_for(Deck& d, const ModelFile& m, int prop, const Section& s) {
  const auto& v = m.props[static_cast<size_t>(prop - 1)];
  const double E = std::fabs(v[0]), G = v[1];
  // ccx's member takes G (I11 + I22) for torsion: the pair of elements gives G (Iw + Ih), which
  // is G J for round members and for Marulla's own sketches; another J gets a Poisson's ratio
  // of its own so that G' (Iw + Ih) = G J.
  const double polar = s.Iw + s.Ih;
  double nu = s.J > 0 && polar > 0 ? poisson_of(E, G * s.J / polar) : poisson_of(E, G);
  std::string note;
  if (std::fabs(s.J - polar) > 1e-9 * polar) note = "torsion of J = " + text(s.J) + " mm4 with Iw + Ih = " + text(polar);
  if (nu > largest_poisson) {
    note += std::string(note.empty() ? "" : "; ") + "Poisson's ratio " + text(nu) + " lowered to " +
            text(largest_poisson) + ", the most ccx takes: torsion stiffer than Marulla's";
    nu = largest_poisson;
  }
  const std::string key = num(E) + "," + num(nu);
  for (size_t i = 0; i < d.materials.size(); ++i)
    if (num(d.materials[i].E) + "," + num(d.materials[i].nu) == key) return static_cast<int>(i);
  if (nu == largest_poisson) ++d.torsion_raised;
  d.materials.push_back({E, nu, note, prop});
  return static_cast<int>(d.materials.size() - 1);
}

// ---- loads ----

// A name as it may stand in a comment line: control characters (a line break would end the
// comment and start a keyword line) become spaces.
std::string comment_text(std::string name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return name;
}

bool has_load(const NodeLoads& loads) {
  return std::any_of(loads.begin(), loads.end(), [](const std::array<double, 6>& at) {
    return std::any_of(at.begin(), at.end(), [](double v) { return v != 0; });
  });
}

// A direction or density the weight cannot have is refused.
void check_weight(const Loading& loading) {
  std::array<double, 3> unit{};
  if (!direction_vector(loading.direction, unit))
    raise_error(err::invalid_setting, "the direction of the self-weight, \"" + loading.direction + "\"");
  if (!(loading.density >= 0 && std::isfinite(loading.density)))
    raise_error(err::invalid_setting, "the density of the self-weight, " + text(loading.density) + " kg/m3");
}

// The loads of a state as the deck writes them: its cases' loads, except at a node no member
// touches and on a dof its supports fix (the support takes them), and the nodal loads equivalent
// to the members' weight, as the analysis takes them, everywhere.
NodeLoads step_loads(const ShownFrame& f, const Deck& d, const LoadState& state, const StateLoads& loads) {
  const ModelFileCase& held = f.model.cases[state.supports];
  NodeLoads out(d.touched.size(), std::array<double, 6>{});
  for (size_t i = 0; i < out.size(); ++i)
    for (size_t k = 0; k < 6; ++k)
      if (d.touched[i] && !held.fixed[i][k]) out[i][k] = loads.nodal[i][k];
  if (!loads.weight.empty()) add_loads(out, loads.weight_at_nodes, loads.weight_factor);
  return out;
}

// "load case 2 and the self-weight", or "combination ULS1 (ULS): 1.35 x self-weight + 1.5 x load
// case 1".
std::string step_title(const LoadState& state, const Combination* k, bool self_weight) {
  if (k == nullptr) return state.name + (self_weight ? " and the self-weight" : "");
  std::string terms;
  if (self_weight && state.self_weight != 0) terms = " " + text(state.self_weight) + " x self-weight";
  for (size_t c = 0; c < state.factors.size(); ++c)
    if (state.factors[c] != 0)
      terms += (terms.empty() ? " " : " + ") + text(state.factors[c]) + " x load case " + std::to_string(c + 1);
  return "combination " + comment_text(k->name) + " (" + limit_state_name(k->kind) + "):" + (terms.empty() ? " no load" : terms);
}

// The steps: one per state, each only if it has a load.
void plan_steps(Deck& d, const ShownFrame& f, const Loading& loading) {
  if (const std::string why = combination_problem(f.model, loading.combinations); !why.empty()) raise_error(err::invalid_setting, why);
  if (loading.self_weight) check_weight(loading);
  d.self_weight = loading.self_weight;
  d.combined = !loading.combinations.empty();
  const std::vector<LoadState> states = load_states(f.model.cases.size(), loading);
  for (size_t s = 0; s < states.size(); ++s) {
    const StateLoads loads = state_loads(f, states[s], loading);
    d.weight = loads.frame_weight;
    const Combination* k = d.combined ? &loading.combinations[s] : nullptr;
    Step step{step_title(states[s], k, d.self_weight), static_cast<int>(states[s].supports), step_loads(f, d, states[s], loads)};
    if (has_load(step.loads))
      d.steps.push_back(std::move(step));
    else
      d.without_load.push_back(k ? "Combination " + comment_text(k->name) : "Load case " + std::to_string(s + 1));
  }
}

// The smallest power of ten at or above x (x > 0).
double power_of_ten_above(double x) { return std::pow(10.0, std::ceil(std::log10(x))); }

// The members in the frame's order, each with its axes and material; marks the nodes they touch
// and counts the nodes left out.
void add_members(Deck& d, const ShownFrame& f) {
  const ModelFile& m = f.model;
  d.touched.assign(static_cast<size_t>(m.n_node), 0);
  for (size_t j = 0; j < m.elements.size(); ++j) {
    const ModelFileElement& e = m.elements[j];
    const Eigen::Vector3d p1(m.nodes[static_cast<size_t>(e.node1 - 1)].data());
    const Eigen::Vector3d p2(m.nodes[static_cast<size_t>(e.node2 - 1)].data());
    const bool design = m.props[static_cast<size_t>(e.prop - 1)][0] < 0;
    Member mb;
    mb.node1 = e.node1;
    mb.node2 = e.node2;
    mb.length = (p2 - p1).norm();
    mb.axes = beam_axes(p1, p2, Eigen::Vector3d(e.ref.data()), design, "member " + std::to_string(j + 1));
    mb.material = material_for(d, m, e.prop, f.sections[j].values);
    const Material& mat = d.materials[static_cast<size_t>(mb.material)];
    mb.shear_modulus = mat.E / (2 * (1 + mat.nu));
    d.touched[static_cast<size_t>(e.node1 - 1)] = d.touched[static_cast<size_t>(e.node2 - 1)] = 1;
    d.members.push_back(mb);
  }
  d.nodes_left_out = static_cast<int>(std::count(d.touched.begin(), d.touched.end(), 0));
}

// The shear factor: 12 E I / (k G A L^2) at most shear_share on every element.
void choose_shear_factor(Deck& d, const ShownFrame& f) {
  double worst = 0;
  for (size_t j = 0; j < d.members.size(); ++j) {
    const Member& mb = d.members[j];
    const Section& s = f.sections[j].values;
    const double E = d.materials[static_cast<size_t>(mb.material)].E;
    worst = std::max(worst, 12 * E * std::max(s.Iw, s.Ih) / (mb.shear_modulus * s.A / 2 * mb.length * mb.length));
  }
  if (worst > 0 && std::isfinite(worst)) d.shear_factor = std::max(1.0, power_of_ten_above(worst / shear_share));
}

// The stiffness of a support: support_ratio times the stiffest member end at its node, along
// (E A / L, 12 E I / L^3) and about (4 E I / L, G J / L) its axes, as a power of ten.
void choose_support_stiffness(Deck& d, const ShownFrame& f) {
  const ModelFile& m = f.model;
  d.support_stiffness.assign(static_cast<size_t>(m.n_node), {0, 0});
  for (size_t j = 0; j < d.members.size(); ++j) {
    const Member& mb = d.members[j];
    const Section& s = f.sections[j].values;
    const double E = d.materials[static_cast<size_t>(mb.material)].E, G = m.props[static_cast<size_t>(m.elements[j].prop - 1)][1];
    const double L = mb.length, I = std::max(s.Iw, s.Ih);
    const double along = std::max(E * s.A / L, 12 * E * I / (L * L * L)), about = std::max(4 * E * I / L, G * s.J / L);
    for (int node : {mb.node1, mb.node2}) {
      auto& k = d.support_stiffness[static_cast<size_t>(node - 1)];
      k[0] = std::max(k[0], along);
      k[1] = std::max(k[1], about);
    }
  }
  for (auto& k : d.support_stiffness)
    for (double& v : k)
      if (v > 0 && std::isfinite(v)) v = power_of_ten_above(v * support_ratio);
}

// Makes the springs of the deck: each (node, dof, support, stiffness) once, its end and ground
// nodes numbered after the frame's, and its dof held with a loose node of its own.
class SpringMaker {
 public:
  SpringMaker(Deck& d, int n_node) : d_(d), next_node_(n_node) {}

  // The spring on (node, dof), both 1-based, of stiffness k: its index, made on first use.
  int at(int node, int dof, double k, bool support) {
    const auto [it, added] = known_.try_emplace({node, dof, support, k}, static_cast<int>(d_.springs.size()));
    if (added) {
      const int end = ++next_node_, ground = ++next_node_;
      d_.springs.push_back({node, dof, k, support, 0, end, ground});
      auto h = std::find_if(d_.held.begin(), d_.held.end(), [&](const Held& x) { return x.node == node && x.dof == dof; });
      if (h == d_.held.end()) h = d_.held.insert(d_.held.end(), Held{node, dof, ++next_node_, {}});
      h->springs.push_back(it->second);
    }
    return it->second;
  }

 private:
  Deck& d_;
  int next_node_;                                            // the last node number given
  std::map<std::tuple<int, int, bool, double>, int> known_;  // (node, dof, support, stiffness) -> spring
};

// The springs and supports load case c switches on. What lies at a node no member touches is
// left out and counted, and so is a load on a fixed dof.
void add_case_springs(Deck& d, const ModelFile& m, size_t c, SpringMaker& springs) {
  const ModelFileCase& mc = m.cases[c];
  for (int i = 0; i < m.n_node; ++i)
    for (int k = 0; k < 6; ++k) {
      const size_t ii = static_cast<size_t>(i), kk = static_cast<size_t>(k);
      const double load = mc.loads[ii][kk], k_spring = mc.springs[ii][kk];
      const bool fixed = mc.fixed[ii][kk];
      if (load != 0 && fixed) ++d.loads_on_supports;
      if (!d.touched[ii]) {
        if (load != 0 && !fixed) ++d.loads_left_out;
        if (k_spring > 0) ++d.springs_left_out;
        continue;
      }
      if (fixed)
        d.active[c].push_back(springs.at(i + 1, k + 1, d.support_stiffness[ii][k < 3 ? 0 : 1], true));
      else if (k_spring > 0)
        d.active[c].push_back(springs.at(i + 1, k + 1, k_spring, false));
    }
}

// The springs and supports of every load case; their SPRING2 elements follow the members' U1
// elements.
void add_springs(Deck& d, const ModelFile& m) {
  SpringMaker springs(d, m.n_node);
  d.active.resize(m.cases.size());
  for (size_t c = 0; c < m.cases.size(); ++c) add_case_springs(d, m, c, springs);
  for (size_t s = 0; s < d.springs.size(); ++s) d.springs[s].element = static_cast<int>(2 * d.members.size() + s + 1);
}

Deck plan(const ShownFrame& f, const Loading& loading) {
  Deck d;
  add_members(d, f);
  choose_shear_factor(d, f);
  choose_support_stiffness(d, f);
  add_springs(d, f.model);
  plan_steps(d, f, loading);
  return d;
}

std::string member_kind(const ShownFrame& f, size_t j) {
  const MemberSection& s = f.sections[j];
  switch (s.shape) {
    case MemberSection::Shape::circle:
      return "solid circle d = " + text(s.outer) + " mm";
    case MemberSection::Shape::tube:
      return (s.wall > 0 ? "round tube " + text(s.outer) + " x " + text(s.wall) + " mm" : "solid rod d = " + text(s.outer) + " mm") +
             (s.name.empty() ? "" : " (" + s.name + ")");
    case MemberSection::Shape::general:
      break;
  }
  return "general section of property set " + std::to_string(f.model.elements[j].prop);
}

// The paragraphs of the head on the steps: what a step is and, with the self-weight, how the
// members' weight is written and what that means for their section forces.
std::vector<std::string> steps_head(const Deck& d, const Loading& loading) {
  std::vector<std::string> lines;
  if (d.combined)
    lines = {
        "COMBINATIONS. One *STEP per load combination that has a load, in the order of the table,",
        "named with its factors in the comment above it. Its loads (*CLOAD, OP=NEW) are the sum of",
        "its load cases' loads times their factors (a case of factor 0 takes no part), and of the",
        "self-weight times its factor. It switches on the springs and supports of the cases it uses,",
        "which are the same for all of them (those of load case 1 when it uses none), and switches",
        "off the others.",
    };
  else
    lines = {
        "LOAD CASES. One *STEP per load case that has a load, with its own loads (*CLOAD, OP=NEW);",
        "it switches on the springs and supports of its case and switches off the others.",
    };
  if (!d.self_weight) return lines;
  const std::string& dir = loading.direction;
  const std::string axis = dir.substr(0, 1) + "xyz"[std::string_view("LWH").find(dir[1])];
  const std::vector<std::string> weight = {
      "SELF-WEIGHT. Every member carries its weight spread evenly along it, w = A x density x g,",
      "in N/mm with A in mm2: density " + text(loading.density) + " kg/m3 and g = " + text(gravity) + " m/s2 give w = A x " +
          text(loading.density * 1e-9 * gravity) + ".",
      "It acts along " + dir + " (" + axis + "), " +
          (d.combined ? "times the self-weight factor of each combination." : "in every step with factor 1."),
      "ccx 2.20 takes no body force on U1 elements (*DLOAD with GRAV stops it: \"no body forces for",
      "this type of element\") and ignores a distributed load on them, so the weight is written as",
      "its equivalent nodal loads (*CLOAD): at each end of a member of length L half the member's",
      "weight, w L / 2, and the end moment w L^2 / 12 of the member clamped at both ends, reversed",
      "(about the axis across the member and the part of w across it). So the nodes move exactly as",
      "under the spread weight. Unlike a load case's loads, these are written on fixed dofs too, so",
      "that the forces of the supports are the reactions. The section forces ccx gives a member are",
      "those of its end displacements alone: the member's own add those of its weight on it clamped",
      "at both ends (end forces w L / 2 of the parts of w across and along it, and of the part across",
      "it end moments w L^2 / 12 and w L^2 / 24 at its middle, of opposite sense).",
  };
  lines.insert(lines.end(), weight.begin(), weight.end());
  return lines;
}

// The head's paragraphs on the frame: units and numbering, and how a member is written, and why.
std::vector<std::string> members_head(const Deck& d) {
  const std::string k = text(d.shear_factor);
  return {
      "Marulla: the frame shown, as an input deck for a general finite-element program, in the",
      "keyword format of CalculiX (checked with ccx 2.20). Units mm, N, N/mm2, rad. The global",
      "x, y, z are Marulla's L, W, H; nodes keep Marulla's numbers; the line above each",
      "member's sections names its element in Marulla's result and its section.",
      "",
      "MEMBERS. Each member is two user elements U1 (ccx's beam with shear deformation) on the",
      "same two nodes, numbered 2m-1 and 2m for member m, each bending only in its own 1-2 plane",
      "(its second moment for the 1-3 plane is 0):",
      "  element 2m-1: 1-direction = the member's W axis, I11 = Ih (bending that moves along W),",
      "  element 2m:   1-direction = the member's H axis, I11 = Iw (bending that moves along H),",
      "each with half the area, so that together they give E A, E Iw, E Ih, and G (Iw + Ih) in",
      "torsion, which is G J for round members and for Marulla's sketched sections. A section",
      "whose J differs has a material of its own whose Poisson's ratio makes G (Iw + Ih) = G J.",
      "Every section is SECTION=GENERAL, the only one U1 takes: A, I11, I12 = 0, I22 = 0, k.",
      "The shear factor k = " + k + " on every section makes shear deformation vanish",
      "(12 E I / (k G A L^2) <= 1e-10), so the members are Euler-Bernoulli beams as in Marulla.",
      "Why: ccx expands its beams B31/B32 into solid elements, a different model that only",
      "approaches a beam (and refuses B31 with a round section); U1 in ccx 2.20 bends wrongly",
      "in its 1-3 plane (the deflections of a chain of elements alternate: one coupling term",
      "has the wrong sign), so only its 1-2 plane is used. So built, ccx agrees with Marulla",
      "to the seven digits it prints.",
      "",
  };
}

// The head's paragraphs on the springs and supports, and on what the deck leaves out.
std::vector<std::string> springs_head(const Deck& d) {
  return {
      "SPRINGS AND SUPPORTS. Each spring to ground is a SPRING2 element on dof 1 between an",
      "auxiliary node, its end (set NAUX), and a ground node of its own (set NGROUND), both at",
      "its frame node; ground nodes are fixed in every step. A frame node's dof that has springs",
      "is the sum of dof 1 of their ends and of one more auxiliary node, the loose node",
      "(*EQUATION: node dof - loose - ends = 0). Each step (*BOUNDARY, OP=NEW) fixes every term",
      "but one: the end of the spring it switches on, or the loose node when it switches on",
      "none; the auxiliary nodes' dofs 2 to 6 are always fixed. So the frame node's dof moves",
      "with that one term, and a spring that is off has both its nodes fixed: it neither acts",
      "nor is left hanging from a free node (whose stiffness ccx's solver would have to cancel,",
      "costing digits where a stiff support is off). A support is such a spring " + text(support_ratio) + " times as",
      "stiff as the stiffest member end at its node, so that the node moves by about that",
      "fraction of the frame's displacements. It is a spring and not a *BOUNDARY on the node",
      "because ccx 2.20 reports as nodal forces (RF) of U1 elements their section forces, not",
      "the reactions, while the force of a spring comes out exactly.",
      "LEFT OUT: nodes that no member touches, with their supports, springs and loads (a spring",
      "at such a node makes ccx's matrix singular; a load there, held by its spring alone, never",
      "reaches the frame, though Marulla's compliance counts it); a load on a fixed dof (its",
      "support takes it, as in Marulla, whose reaction there is this support's force minus that",
      "load); " + std::string(d.combined ? "combinations" : "load cases") + " without a load.",
      "",
  };
}

// The head's paragraph on what ccx prints, and how to read it.
std::vector<std::string> output_head() {
  return {
      "OUTPUT (the .dat file). *NODE PRINT U: displacements (mm) and rotations (rad) of the",
      "frame's nodes. *NODE PRINT RF of the ground nodes: as fx, the force of every spring and",
      "support on the frame, so the reactions, along its dof (N), or about it (N mm) for a",
      "rotation; 0 for a spring the step switches off.",
      "*EL PRINT S: the section forces of every element at its first node (integration point 1)",
      "and second node (point 2), as a tensor in global axes. Turned into the element's axes (1",
      "along it, 2 its 1-direction, 3 = 1 x 2): S11 is its normal force (the member's is the sum",
      "of its two elements), -S22 its bending moment about axis 3, S23 / k its torque, and S12",
      "its shear force, imprecise with so large a k (take (S22 at point 2 - S22 at point 1) / L).",
      "ccx prints seven digits: where a member that does not lie along a global axis carries",
      "torque, k times that torque fills every printed component and hides N and M.",
      "Numbers carry 12 significant digits: ccx reads at most 20 characters of a number.",
  };
}

// Under the head, what this deck holds and what it leaves out, counted.
void write_counts(DataFileWriter& out, const ShownFrame& f, const Deck& d, const Loading& loading) {
  const auto supports = std::count_if(d.springs.begin(), d.springs.end(), [](const Spring& s) { return s.support; });
  out.line("** This deck: " + std::to_string(d.members.size()) + " members, " +
           std::to_string(f.model.n_node - d.nodes_left_out) + " nodes, " + std::to_string(supports) + " supports and " +
           std::to_string(d.springs.size() - static_cast<size_t>(supports)) + " springs (by node and dof), " +
           std::to_string(d.steps.size()) + " steps for " +
           (d.combined ? std::to_string(loading.combinations.size()) + " combinations of " : "") +
           std::to_string(f.model.cases.size()) + " load cases.");
  if (d.self_weight) out.line("** Self-weight of the members: " + text(d.weight) + " N along " + loading.direction + ".");
  auto left_out = [&](int count, const std::string& what) {
    if (count > 0) out.line("** Left out: " + what + ": " + std::to_string(count) + ".");
  };
  left_out(d.nodes_left_out, "nodes that no member touches");
  left_out(d.springs_left_out, "springs at such nodes (a dof of a load case each)");
  left_out(d.loads_left_out, "loads at such nodes (a dof of a load case each)");
  left_out(d.loads_on_supports, "loads on a fixed dof (a dof of a load case each)");
  for (const std::string& name : d.without_load) out.line("** " + name + " has no load here: no step.");
  if (d.torsion_raised > 0)
    out.line("** Note: " + std::to_string(d.torsion_raised) + " materials carry more torsion than in Marulla (see them).");
}

void write_head(DataFileWriter& out, const ShownFrame& f, const Deck& d, const Loading& loading) {
  for (const std::vector<std::string>& part : {members_head(d), steps_head(d, loading), springs_head(d), output_head()})
    for (const std::string& l : part) out.line(l.empty() ? "**" : "** " + l);
  out.line("**");
  write_counts(out, f, d, loading);
}

// "x,y,z" of frame node `node` (1-based): where the deck's nodes at it lie.
std::string place_of(const ModelFile& m, int node) {
  return num3(Eigen::Vector3d(m.nodes[static_cast<size_t>(node - 1)].data()));
}

// The frame's nodes that members touch, then the ground and auxiliary nodes of the springs, each
// at its frame node.
void write_nodes(DataFileWriter& out, const ModelFile& m, const Deck& d) {
  out.line("*NODE,NSET=NFRAME");
  for (int i = 0; i < m.n_node; ++i)
    if (d.touched[static_cast<size_t>(i)]) out.line(std::to_string(i + 1) + "," + place_of(m, i + 1));
  if (!d.springs.empty()) {
    out.line("** the ground nodes of the springs and supports");
    out.line("*NODE,NSET=NGROUND");
    for (const Spring& s : d.springs) out.line(std::to_string(s.ground) + "," + place_of(m, s.node));
  }
  if (!d.held.empty()) {
    out.line("** the auxiliary nodes: the ends of the springs and the loose nodes, whose dofs 1 sum to a frame node's dof");
    out.line("*NODE,NSET=NAUX");
    for (const Held& h : d.held) {
      const std::string at = "," + place_of(m, h.node);
      for (int s : h.springs) out.line(std::to_string(d.springs[static_cast<size_t>(s)].end) + at);
      out.line(std::to_string(h.loose) + at);
    }
  }
}

// The two U1 elements of every member, 2m-1 and 2m, on its two nodes.
void write_member_elements(DataFileWriter& out, const Deck& d) {
  out.line("*USER ELEMENT,TYPE=U1,INTEGRATION POINTS=2,MAXDOF=6,NODES=2");
  out.line("*ELEMENT,TYPE=U1,ELSET=EFRAME");
  for (size_t j = 0; j < d.members.size(); ++j) {
    const std::string ends = "," + std::to_string(d.members[j].node1) + "," + std::to_string(d.members[j].node2);
    out.line(std::to_string(2 * j + 1) + ends);
    out.line(std::to_string(2 * j + 2) + ends);
  }
}

// Every spring and support: a SPRING2 element in a set of its own, from its end to its ground
// node on dof 1.
void write_springs(DataFileWriter& out, const Deck& d) {
  for (size_t s = 0; s < d.springs.size(); ++s) {
    const Spring& sp = d.springs[s];
    const std::string name = "SP" + std::to_string(s + 1);
    out.line(std::string("** ") + (sp.support ? "support" : "spring") + " at node " + std::to_string(sp.node) + ", dof " +
             std::to_string(sp.dof) + (sp.dof <= 3 ? " (N/mm)" : " (N mm/rad)") + ": end " + std::to_string(sp.end) +
             ", ground node " + std::to_string(sp.ground));
    out.line("*ELEMENT,TYPE=SPRING2,ELSET=" + name);
    out.line(std::to_string(sp.element) + "," + std::to_string(sp.end) + "," + std::to_string(sp.ground));
    out.line("*SPRING,ELSET=" + name);
    out.line("1,1");
    out.line(num(sp.k));
  }
}

// Every held dof as the sum of its terms: node dof = loose + the ends.
void write_equations(DataFileWriter& out, const Deck& d) {
  if (!d.held.empty()) out.line("*EQUATION");
  for (const Held& h : d.held) {
    std::vector<std::string> terms = {std::to_string(h.node) + "," + std::to_string(h.dof) + ",1.", std::to_string(h.loose) + ",1,-1."};
    for (int s : h.springs) terms.push_back(std::to_string(d.springs[static_cast<size_t>(s)].end) + ",1,-1.");
    out.line(std::to_string(terms.size()));
    // ccx takes at most four terms a line
    for (size_t t = 0; t < terms.size(); t += 4) {
      std::string line;
      for (size_t u = t; u < std::min(t + 4, terms.size()); ++u) line += (u > t ? "," : "") + terms[u];
      out.line(line);
    }
  }
}

void write_materials(DataFileWriter& out, const Deck& d) {
  for (size_t i = 0; i < d.materials.size(); ++i) {
    const Material& mat = d.materials[i];
    out.line("** material of property set " + std::to_string(mat.prop) + " (and of any set alike)" +
             (mat.note.empty() ? "" : ": " + mat.note));
    out.line("*MATERIAL,NAME=MAT" + std::to_string(i + 1));
    out.line("*ELASTIC");
    out.line(num(mat.E) + "," + num(mat.nu));
  }
}

// The sections of member j (0-based): one per element, with half the area and the second moment
// of the plane it bends in, and its 1-direction; k is the shear factor as written.
void write_member_sections(DataFileWriter& out, const ShownFrame& f, const Deck& d, size_t j, const std::string& k) {
  const Member& mb = d.members[j];
  const Section& s = f.sections[j].values;
  const std::string id = std::to_string(j + 1);
  const std::string material = "MAT" + std::to_string(mb.material + 1);
  out.line("** member " + id + " = element " + std::to_string(f.element[j]) + " of the result: " + member_kind(f, j) +
           "; A = " + text(s.A) + ", Iw = " + text(s.Iw) + ", Ih = " + text(s.Ih) + ", J = " + text(s.J));
  const struct {
    const char* side;
    double I;
    int axis;
  } halves[2] = {{"W", s.Ih, 1}, {"H", s.Iw, 2}};
  for (int h = 0; h < 2; ++h) {
    const std::string set = "M" + id + halves[h].side;
    out.line("*ELSET,ELSET=" + set);
    out.line(std::to_string(2 * j + 1 + static_cast<size_t>(h)));
    out.line("*BEAM SECTION,ELSET=" + set + ",MATERIAL=" + material + ",SECTION=GENERAL");
    out.line(num(s.A / 2) + "," + num(halves[h].I) + ",0.,0.," + k);
    out.line(num3(mb.axes.row(halves[h].axis).transpose()));
  }
}

void write_model(DataFileWriter& out, const ShownFrame& f, const Deck& d) {
  out.line("*HEADING");
  out.line("Marulla frame: " + std::to_string(d.members.size()) + " members");
  write_nodes(out, f.model, d);
  write_member_elements(out, d);
  write_springs(out, d);
  write_equations(out, d);
  write_materials(out, d);
  const std::string k = num(d.shear_factor);
  for (size_t j = 0; j < d.members.size(); ++j) write_member_sections(out, f, d, j, k);
}

void write_steps(DataFileWriter& out, const Deck& d) {
  const std::vector<int> no_spring;
  for (const Step& step : d.steps) {
    out.line("** " + step.title);
    out.line("*STEP");
    out.line("*STATIC");
    out.line("*BOUNDARY,OP=NEW");
    const size_t c = static_cast<size_t>(step.springs_of);
    const std::vector<int>& on = c < d.active.size() ? d.active[c] : no_spring;
    auto is_on = [&](int s) { return std::find(on.begin(), on.end(), s) != on.end(); };
    for (const Held& h : d.held) {
      for (int s : h.springs) {
        const Spring& sp = d.springs[static_cast<size_t>(s)];
        out.line(std::to_string(sp.ground) + ",1,6");
        out.line(std::to_string(sp.end) + (is_on(s) ? ",2,6" : ",1,6"));
      }
      out.line(std::to_string(h.loose) + (std::any_of(h.springs.begin(), h.springs.end(), is_on) ? ",1,6" : ",2,6"));
    }
    out.line("*CLOAD,OP=NEW");
    for (size_t i = 0; i < step.loads.size(); ++i)
      for (size_t k = 0; k < 6; ++k)
        if (step.loads[i][k] != 0) out.line(std::to_string(i + 1) + "," + std::to_string(k + 1) + "," + num(step.loads[i][k]));
    out.line("*NODE PRINT,NSET=NFRAME");
    out.line("U");
    if (!d.springs.empty()) {
      out.line("*NODE PRINT,NSET=NGROUND");
      out.line("RF");
    }
    out.line("*EL PRINT,ELSET=EFRAME");
    out.line("S");
    out.line("*END STEP");
  }
}

}  // namespace

double fe_deck_shear_factor(const ShownFrame& f) { return plan(f, Loading{}).shear_factor; }

void write_fe_deck(const ShownFrame& f, const Loading& loading, const std::string& path) {
  const Deck d = plan(f, loading);
  DataFileWriter out(path);
  write_head(out, f, d, loading);
  write_model(out, f, d);
  write_steps(out, d);
  out.commit();
}

void write_fe_deck(const ShownFrame& f, const std::string& path) { write_fe_deck(f, Loading{}, path); }
