// The input deck for a general FE program, checked by CalculiX (ccx, Debian's calculix-ccx,
// which the test set-up installs) against Marulla's own analysis and the beam formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <Eigen/Core>
#include <Eigen/Geometry>

#include "base/analysis_model.h"
#include "bench/models.h"
#include "evaluate/loading.h"
#include "evaluate/member_checks.h"
#include "evaluate/shown_frame.h"
#include "export/fe_deck.h"
#include "solver/frame.h"
#include "solver/optimiser.h"
#include "support/test_support.h"

namespace {

using test_support::WorkingDirectory;
namespace fs = std::filesystem;

// A step of a deck as the load cases it sums: a factor per case.
using Factors = std::vector<double>;

constexpr double steel_E = 206000, steel_G = steel_E / 2 / 1.33;

// ---- frames ----

ModelFile model_of(const std::vector<std::array<double, 3>>& nodes, int cases) {
  ModelFile m;
  m.nodes = nodes;
  m.n_node = static_cast<int>(nodes.size());
  for (int c = 0; c < cases; ++c) m.cases.push_back(bench::empty_case(m.n_node));
  return m;
}

int add_set(ModelFile& m, bool design, const Section& s = {}) {
  m.props.push_back({design ? -steel_E : steel_E, steel_G, s.A, s.Iw, s.Ih, s.J, 0});
  m.n_prop = static_cast<int>(m.props.size());
  return m.n_prop;
}

void add_member(ShownFrame& f, int a, int b, int prop, std::array<double, 3> ref, const MemberSection& s) {
  f.model.elements.push_back({a, b, prop, ref});
  f.model.n_elem = static_cast<int>(f.model.elements.size());
  f.sections.push_back(s);
  f.element.push_back(f.model.n_elem);
  f.fibres.emplace_back();
}

// A design member's reference: node a moved 1 mm along W.
std::array<double, 3> off_w(const ModelFile& m, int a) {
  std::array<double, 3> p = m.nodes[static_cast<size_t>(a - 1)];
  p[1] += 1;
  return p;
}

// ---- Marulla's answer ----

struct Answer {
  std::vector<Eigen::VectorXd> u;          // per step: 6 per node
  std::vector<Eigen::VectorXd> reactions;  // per step: 6 per node, of the supports and springs
  std::vector<double> compliance;          // per step
};

// The loads the frame carries, of the load cases times their factors: a load on a fixed dof goes
// straight into its support.
Eigen::VectorXd load_of(const ModelFile& m, const Factors& factors) {
  Eigen::VectorXd f = Eigen::VectorXd::Zero(6 * m.n_node);
  for (size_t c = 0; c < factors.size(); ++c)
    for (size_t i = 0; i < m.cases[c].loads.size(); ++i)
      for (size_t k = 0; k < 6; ++k)
        if (!m.cases[c].fixed[i][k]) f[static_cast<Eigen::Index>(6 * i + k)] += factors[c] * m.cases[c].loads[i][k];
  return f;
}

// The case whose supports a step has: the first it uses, else case 1.
const ModelFileCase& supports_of(const ModelFile& m, const Factors& factors) {
  for (size_t c = 0; c < factors.size(); ++c)
    if (factors[c] != 0) return m.cases[c];
  return m.cases[0];
}

// Marulla's answer for each step of the deck: the state of analyse_frame that is the step's load
// case (its one factor) without combinations, or its combination.
Answer marulla_answer(const ShownFrame& f, const Loading& loading, const std::vector<Factors>& steps) {
  const FrameForces forces = analyse_frame(f, loading);
  Answer a;
  for (size_t s = 0; s < steps.size(); ++s) {
    size_t state = s;
    if (loading.combinations.empty())
      state = static_cast<size_t>(std::find(steps[s].begin(), steps[s].end(), 1.0) - steps[s].begin());
    Eigen::VectorXd u(6 * f.model.n_node), r(u.size());
    for (Eigen::Index d = 0; d < u.size(); ++d) {
      const size_t node = static_cast<size_t>(d / 6), dof = static_cast<size_t>(d % 6);
      u[d] = forces.displacements[state][node][dof];
      r[d] = forces.by_state[state].reactions[node][dof];
    }
    a.u.push_back(u);
    a.reactions.push_back(r);
    a.compliance.push_back(load_of(f.model, steps[s]).dot(u));
  }
  return a;
}

// ---- ccx's answer ----

// A number as ccx prints it: "-1.234567E-05", or without the E past two exponent digits.
double fortran_number(std::string t) {
  if (t.find_first_of("Ee") == std::string::npos) {
    const size_t sign = t.find_first_of("+-", 1);
    if (sign != std::string::npos) t.insert(sign, "E");
  }
  return std::stod(t);
}

struct DatBlocks {
  std::map<int, std::map<int, std::array<double, 6>>> u;   // step -> node -> displacements
  std::map<int, std::map<int, std::array<double, 3>>> rf;  // step -> node -> forces
};

DatBlocks read_dat(const fs::path& path) {
  DatBlocks out;
  enum { none, displacements, forces } block = none;
  int step = 0;
  for (const std::string& line : test_support::file_lines(path)) {
    if (line.find(" for set ") != std::string::npos) {
      block = line.find("displacements") != std::string::npos ? displacements
              : line.find("forces") != std::string::npos  ? forces
                                                          : none;
      step = static_cast<int>(std::lround(fortran_number(line.substr(line.rfind(' ') + 1))));
      continue;
    }
    std::istringstream in(line);
    std::vector<std::string> tokens;
    for (std::string t; in >> t;) tokens.push_back(t);
    // the values after the key's `first` columns
    const auto fill = [&tokens](auto& v, size_t first) {
      for (size_t k = 0; k < v.size(); ++k) v[k] = fortran_number(tokens[k + first]);
    };
    if (block == displacements && tokens.size() == 7) fill(out.u[step][std::stoi(tokens[0])], 1);
    if (block == forces && tokens.size() == 4) fill(out.rf[step][std::stoi(tokens[0])], 1);
  }
  return out;
}

// Runs ccx on job.inp in the current directory; a missing ccx fails the test, never skips it.
DatBlocks run_ccx(const std::string& job) {
  if (std::system("command -v ccx > /dev/null 2>&1") != 0) {
    ADD_FAILURE() << "ccx is not installed: the deck cannot be checked. Install the Debian package calculix-ccx "
                     "(scripts/setup calculix-ccx, as scripts/test does).";
    return {};
  }
  const int rc = std::system(("OMP_NUM_THREADS=1 ccx -i " + job + " > " + job + ".log 2>&1").c_str());
  EXPECT_EQ(rc, 0) << test_support::file_text(job + ".log");
  return read_dat(job + ".dat");
}

// Where the deck's springs and supports report their forces (the first component of the RF of
// a ground node): per ground node, the dof it holds (0-based, 6 per node), read from the SPRING2
// elements (end, ground) and the *EQUATION that makes each frame node's dof the sum of the ends
// of its springs and a loose node.
std::map<int, int> grounds_of(const std::vector<std::string>& deck) {
  std::map<int, int> ground_of_end, follows;  // end -> ground; end -> dof (0-based, 6 per node) it is part of
  bool equations = false;
  for (size_t i = 0; i < deck.size(); ++i) {
    const std::string& line = deck[i];
    int a = 0, b = 0, c = 0;
    if (line.rfind("*ELEMENT,TYPE=SPRING2", 0) == 0 && i + 1 < deck.size() && std::sscanf(deck[i + 1].c_str(), "%d,%d,%d", &a, &b, &c) == 3)
      ground_of_end[b] = c;
    if (!line.empty() && line[0] == '*') {
      equations = line == "*EQUATION";
      continue;
    }
    if (!equations || line.find(',') != std::string::npos) continue;
    // a count of terms, then the terms four to a line: node, dof, factor
    const int count = std::stoi(line);
    std::vector<int> nodes_dofs;
    for (size_t k = i + 1; k < deck.size() && static_cast<int>(nodes_dofs.size()) < 2 * count; ++k) {
      std::istringstream in(deck[k]);
      std::string field;
      for (int f = 0; std::getline(in, field, ','); ++f)
        if (f % 3 != 2) nodes_dofs.push_back(std::stoi(field));
    }
    for (int t = 1; t < count; ++t) follows[nodes_dofs[static_cast<size_t>(2 * t)]] = 6 * (nodes_dofs[0] - 1) + nodes_dofs[1] - 1;
  }
  std::map<int, int> grounds;
  for (const auto& [end, ground] : ground_of_end) grounds[ground] = follows.at(end);
  return grounds;
}

// ccx's reactions are the forces of the deck's supports on the frame (its RF of their ground
// nodes): ccx 2.20 reports no usable nodal forces of its beam U1 (see the deck's head). `steps`
// are the deck's steps as sums of load cases.
Answer ccx_answer(const ShownFrame& f, const Loading& loading, const std::vector<Factors>& steps) {
  write_fe_deck(f, loading, "frame.inp");
  const DatBlocks dat = run_ccx("frame");
  const auto grounds = grounds_of(test_support::file_lines("frame.inp"));
  Answer a;
  for (size_t s = 0; s < steps.size(); ++s) {
    const int step = static_cast<int>(s) + 1;
    if (!dat.u.count(step)) {
      ADD_FAILURE() << "ccx wrote no results for step " << step;
      return a;
    }
    const ModelFileCase& mc = supports_of(f.model, steps[s]);
    const Eigen::VectorXd load = load_of(f.model, steps[s]);
    Eigen::VectorXd u = Eigen::VectorXd::Zero(6 * f.model.n_node);
    for (const auto& [node, v] : dat.u.at(step))
      if (node <= f.model.n_node)
        for (int d = 0; d < 6; ++d) u[6 * (node - 1) + d] = v[static_cast<size_t>(d)];
    a.u.push_back(u);
    // What the supports and springs exert on the frame; Marulla counts a load on a support as
    // taken by it, which the deck leaves out.
    Eigen::VectorXd r = Eigen::VectorXd::Zero(u.size());
    if (dat.rf.count(step))
      for (const auto& [node, v] : dat.rf.at(step))
        if (grounds.count(node)) r[grounds.at(node)] += v[0];
    for (Eigen::Index d = 0; d < r.size(); ++d) {
      const size_t node = static_cast<size_t>(d / 6), dof = static_cast<size_t>(d % 6);
      for (size_t c = 0; c < steps[s].size(); ++c)
        if (mc.fixed[node][dof]) r[d] -= steps[s][c] * f.model.cases[c].loads[node][dof];
    }
    a.reactions.push_back(r);
    a.compliance.push_back(load.dot(u));
  }
  return a;
}

// ---- comparison ----

// The largest difference of translations (forces) against the largest translation (force) of
// the case, and of rotations (moments) against the largest rotation (moment).
double relative_difference(const Eigen::VectorXd& a, const Eigen::VectorXd& b) {
  double worst = 0;
  for (int part = 0; part < 2; ++part) {
    double scale = 0, diff = 0;
    for (Eigen::Index d = 0; d < a.size(); ++d)
      if ((d % 6) / 3 == part) {
        scale = std::max(scale, std::fabs(a[d]));
        diff = std::max(diff, std::fabs(a[d] - b[d]));
      }
    if (scale > 0) worst = std::max(worst, diff / scale);
  }
  return worst;
}

// Every step of ccx (the deck of f with `loading`) against Marulla's cases summed with the
// step's factors; returns the worst relative difference.
double compare(const ShownFrame& f, const Loading& loading, const std::vector<Factors>& steps, double tolerance = 1e-5) {
  const Answer ours = marulla_answer(f, loading, steps);
  const Answer theirs = ccx_answer(f, loading, steps);
  double worst = 0;
  EXPECT_EQ(theirs.u.size(), steps.size());
  for (size_t s = 0; s < theirs.u.size(); ++s) {
    const double du = relative_difference(ours.u[s], theirs.u[s]);
    const double dr = relative_difference(ours.reactions[s], theirs.reactions[s]);
    const double dc = std::fabs(ours.compliance[s] - theirs.compliance[s]) / std::max(std::fabs(ours.compliance[s]), 1e-300);
    EXPECT_LT(du, tolerance) << "displacements, step " << s + 1;
    EXPECT_LT(dr, tolerance) << "reactions, step " << s + 1 << "\nMarulla: " << ours.reactions[s].transpose()
                             << "\nccx:     " << theirs.reactions[s].transpose();
    EXPECT_LT(dc, tolerance) << "compliance, step " << s + 1;
    worst = std::max({worst, du, dr, dc});
  }
  std::printf("[ deck     ] worst relative difference to ccx: %.2g\n", worst);
  return worst;
}

// The deck of the load cases alone, a step per case.
double compare(const ShownFrame& f, const std::vector<size_t>& step_cases, double tolerance = 1e-5) {
  std::vector<Factors> steps;
  for (size_t c : step_cases) {
    steps.emplace_back(f.model.cases.size(), 0.0);
    steps.back()[c] = 1;
  }
  return compare(f, Loading{}, steps, tolerance);
}

}  // namespace

// A skew cantilever of three round members, clamped at one end; at the other end a load across
// it in two directions and a torque about L. A load on the clamp is the support's.
TEST(FeDeck, CantileverAgreesWithCcx) {
  WorkingDirectory wd;
  ShownFrame f;
  f.model = model_of({{0, 0, 0}, {100, 60, 30}, {200, 120, 60}, {300, 180, 90}}, 1);
  const int set = add_set(f.model, true);
  for (int i = 1; i <= 3; ++i) add_member(f, i, i + 1, set, off_w(f.model, i), circle_member(12.0 - i));
  ModelFileCase& c = f.model.cases[0];
  c.fixed[0].fill(true);
  c.loads[3] = {0, 150, -80, 2000, 0, 0};
  c.loads[0][1] = 999;  // on the clamp, which takes it
  compare(f, {0});
}

// A support is a spring 1e8 times the stiffest member end at its node, as a power of ten, and a
// rotation's is measured against the member's rotational stiffness. One rod of 10 mm, 100 mm
// long: along, E A / L = 161 792 N/mm (1e14 after the ratio); about, 4 E I / L = 4.04e6 N mm/rad
// (1e15), or G J / L where that is larger.
TEST(FeDeck, ASupportIsStifferThanItsMemberEndAlongAndAbout) {
  WorkingDirectory wd;
  ShownFrame f;
  f.model = model_of({{0, 0, 0}, {100, 0, 0}}, 1);
  add_member(f, 1, 2, add_set(f.model, true), off_w(f.model, 1), circle_member(10));
  f.model.cases[0].fixed[0].fill(true);
  f.model.cases[0].loads[1][2] = -10;
  write_fe_deck(f, "frame.inp");
  std::string deck = test_support::file_text("frame.inp");
  auto support = [&](int dof) {
    const size_t at = deck.find("** support at node 1, dof " + std::to_string(dof) + " ");
    EXPECT_NE(at, std::string::npos) << dof;
    std::istringstream lines(deck.substr(at));
    std::string line;
    for (int k = 0; k < 6; ++k) std::getline(lines, line);  // the comment, element, spring and dof lines
    return std::stod(line);
  };
  for (int dof = 1; dof <= 3; ++dof) EXPECT_EQ(support(dof), 1e14) << dof;
  for (int dof = 4; dof <= 6; ++dof) EXPECT_EQ(support(dof), 1e15) << dof;

  // A general section whose torsion is far stiffer than its bending: about, G J / L = 7.74e8
  // N mm/rad (1e17) rules, not 4 E I / L = 8.24e5.
  const Section stiff_in_torsion{100, 100, 100, 1e6};
  f.model.props[0] = {steel_E, steel_G, 100, 100, 100, 1e6, 0};
  f.sections[0] = general_member(stiff_in_torsion);
  write_fe_deck(f, "frame.inp");
  deck = test_support::file_text("frame.inp");
  for (int dof = 4; dof <= 6; ++dof) EXPECT_EQ(support(dof), 1e17) << dof;
}

// A portal frame in the L-H plane: two round columns clamped at the foot and a non-design beam
// of a general section (Iw != Ih, J not Iw + Ih) turned about its axis. Case 2 pins the right
// foot only. Node 5 has no member but a spring, which the deck must leave out for ccx to run.
ShownFrame portal_frame() {
  ShownFrame f;
  f.model = model_of({{0, 0, 0}, {0, 0, 1000}, {1000, 0, 1000}, {1000, 0, 0}, {500, 500, 0}}, 3);
  const int columns = add_set(f.model, true);
  const Section beam{2400, 9.0e6, 2.5e6, 1.3e7};
  const int bar = add_set(f.model, false, beam);
  add_member(f, 1, 2, columns, off_w(f.model, 1), tube_member(60.3, 4, "60.3x4"));
  add_member(f, 2, 3, bar, {0, 1, 0.4}, general_member(beam));
  add_member(f, 3, 4, columns, off_w(f.model, 3), circle_member(40));
  for (ModelFileCase& c : f.model.cases) {
    c.fixed[0].fill(true);
    c.fixed[3].fill(true);
    c.springs[4][2] = 100;
  }
  f.model.cases[0].loads[1] = {5000, 0, -20000, 0, 0, 0};
  f.model.cases[0].loads[2] = {0, 3000, 0, 0, 0, 1e5};
  f.model.cases[1].fixed[3] = {true, true, true, false, false, false};
  f.model.cases[1].loads[2] = {-2000, 1000, 0, 0, 4e5, 0};
  for (size_t c : {0u, 2u}) f.model.cases[c].springs[2][4] = 5e7;
  f.model.cases[2].loads[1] = {0, -1500, 800, 2e5, 0, 0};
  f.model.cases[2].loads[3][2] = 700;  // on the foot, which takes it
  return f;
}

TEST(FeDeck, PortalFrameWithAGeneralSectionAgreesWithCcx) {
  WorkingDirectory wd;
  const ShownFrame f = portal_frame();
  compare(f, {0, 1, 2});
}

TEST(FeDeck, ADeckWithoutWeightOrCombinationsIsUnchanged) {
  WorkingDirectory wd;
  write_fe_deck(portal_frame(), "frame.inp");
  EXPECT_EQ(test_support::file_text("frame.inp"), test_support::file_text(test_support::tests_dir() / "data" / "portal_frame.inp"));
}

// A frame of two bays along L and a storey along H whose three load cases hold it differently:
// case 1 clamps the three feet; case 2 pins the outer feet, leaves the middle one on a stiff
// vertical spring and adds a rotational spring at a top corner; case 3 clamps the left foot
// only, holds the right top corner sideways along L and W, and puts a soft spring on a foot
// that case 1 clamps.
TEST(FeDeck, EachStepHoldsOnlyItsOwnCasesSupports) {
  WorkingDirectory wd;
  ShownFrame f;
  f.model = model_of({{0, 0, 0}, {0, 0, 1500}, {2000, 0, 1500}, {2000, 0, 0}, {4000, 0, 1500}, {4000, 0, 0}}, 3);
  const int set = add_set(f.model, true);
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {3, 5}, {5, 6}}) add_member(f, a, b, set, off_w(f.model, a), tube_member(60.3, 4, "60.3x4"));
  auto& cases = f.model.cases;
  for (int foot : {0, 3, 5}) cases[0].fixed[static_cast<size_t>(foot)].fill(true);
  cases[0].loads[1] = {4000, 1500, -9000, 0, 0, 2e5};
  cases[0].loads[4] = {0, -800, -12000, 3e5, 0, 0};
  for (int foot : {0, 5}) cases[1].fixed[static_cast<size_t>(foot)] = {true, true, true, false, false, false};
  cases[1].fixed[0][3] = true;  // torsion of the left column
  cases[1].springs[3][2] = 5e5;
  cases[1].springs[1][4] = 4e8;
  cases[1].loads[2] = {-3000, 700, -6000, 0, 1e5, 0};
  cases[2].fixed[0].fill(true);
  cases[2].fixed[4][0] = cases[2].fixed[4][1] = true;
  cases[2].springs[5][2] = 300;
  cases[2].loads[2] = {2500, -900, -4000, 0, 0, -1.5e5};
  cases[2].loads[4][0] = 1000;  // on the held corner, which takes it
  compare(f, {0, 1, 2}, 5e-7);
}

// Three structures of a 20 mm rod in one frame, each of two members of 1000 mm so that a node
// lies halfway: a cantilever along L clamped at node 1, a beam along W pinned at node 4 and on
// a roller at node 6, a column along H clamped at node 7. Node 10, which no member touches, has
// a spring and a load that the deck leaves out.
ShownFrame weighed_frame() {
  ShownFrame f;
  f.model = model_of({{0, 0, 0}, {1000, 0, 0}, {2000, 0, 0},
                      {3000, 0, 0}, {3000, 1000, 0}, {3000, 2000, 0},
                      {5000, 0, 0}, {5000, 0, 1000}, {5000, 0, 2000}, {6000, 0, 0}},
                     1);
  const int set = add_set(f.model, true);
  for (int first : {1, 4, 7})
    for (int a : {first, first + 1}) {
      std::array<double, 3> ref = f.model.nodes[static_cast<size_t>(a - 1)];
      ref[first == 4 ? 0 : 1] += 1;  // across the member
      add_member(f, a, a + 1, set, ref, circle_member(20));
    }
  ModelFileCase& c = f.model.cases[0];
  c.fixed[0].fill(true);
  c.fixed[3] = {true, true, true, false, true, false};  // the pin also holds the beam's torsion
  c.fixed[5] = {true, false, true, false, false, false};
  c.fixed[6].fill(true);
  c.springs[9][0] = 50;
  c.loads[9][0] = 100;
  return f;
}

// The members' weight against the beam formulas, w = A density g along the direction given,
// for L = 2000 mm: downwards, the cantilever's tip sinks w L^4 / 8 E I and turns w L^3 / 6 E I,
// the beam's middle sinks 5 w L^4 / 384 E I and its ends turn w L^3 / 24 E I, and the column's
// top sinks w L^2 / 2 E A (3/4 of that halfway); along L the cantilever and the column swap
// parts. The supports give back the whole weight, and the clamp the cantilever's moment w L^2 / 2.
TEST(FeDeck, SelfWeightGivesTheBeamFormulas) {
  WorkingDirectory wd;
  const ShownFrame f = weighed_frame();
  const Section rod = circle_section(20);
  const double L = 2000, EI = steel_E * rod.Iw, EA = steel_E * rod.A;
  Loading loading{true, "-H", 7800, {}, 0};
  const double w = rod.A * 7800 * 1e-9 * 9.81;
  const double bent = w * std::pow(L, 4) / 8 / EI, turned = w * std::pow(L, 3) / 6 / EI;
  const double sagged = 5 * w * std::pow(L, 4) / 384 / EI, end_turned = w * std::pow(L, 3) / 24 / EI;
  const double shortened = w * L * L / 2 / EA;
  struct Expected {
    int node, dof;  // 1-based
    double value;
  };
  const struct {
    const char* direction;
    Eigen::Vector3d down;
    std::vector<Expected> expected;
  } cases[] = {
      {"-H", {0, 0, -1}, {{3, 3, -bent}, {3, 5, turned}, {5, 3, -sagged}, {4, 4, -end_turned}, {6, 4, end_turned},
              {9, 3, -shortened}, {8, 3, -0.75 * shortened}, {1, 5, -w * L * L / 2}}},
      {"+L", {1, 0, 0}, {{3, 1, shortened}, {5, 1, sagged}, {4, 6, -end_turned}, {9, 1, bent}, {9, 5, turned}, {7, 5, -w * L * L / 2}}},
  };
  for (const auto& [direction, down, expected] : cases) {
    loading.direction = direction;
    const Answer a = ccx_answer(f, loading, {{0}});
    ASSERT_EQ(a.u.size(), 1u) << direction;
    Eigen::Vector3d held = Eigen::Vector3d::Zero();
    for (int node = 0; node < f.model.n_node; ++node) held += a.reactions[0].segment<3>(6 * node);
    for (int dof = 0; dof < 6; ++dof) EXPECT_EQ(a.u[0][6 * 9 + dof], 0) << "node 10 is not in the deck";
    EXPECT_NEAR(held.dot(down), -6 * w * 1000, 1e-5 * 6 * w * 1000) << direction;
    EXPECT_NEAR((held - held.dot(down) * down).norm(), 0, 1e-6 * 6 * w * 1000) << direction;
    for (const Expected& e : expected) {
      // the clamps' moments are reactions, the rest displacements
      const bool clamp = e.node == 1 || e.node == 7;
      const double got = (clamp ? a.reactions[0] : a.u[0])[6 * (e.node - 1) + e.dof - 1];
      EXPECT_NEAR(got, e.value, 1e-5 * std::fabs(e.value)) << direction << ", node " << e.node << ", dof " << e.dof;
    }
  }
  const std::string deck = test_support::file_text("frame.inp");
  EXPECT_NE(deck.find("** load case 1 and the self-weight\r\n*STEP"), std::string::npos);
  EXPECT_NE(deck.find("Left out: loads at such nodes (a dof of a load case each): 1."), std::string::npos);
  // ccx takes a load on a node the deck does not have without a word
  bool loads = false;
  for (const std::string& line : test_support::file_lines("frame.inp")) {
    if (line.empty()) continue;
    if (line[0] == '*') loads = line == "*CLOAD,OP=NEW";
    if (loads && line[0] != '*') {
      EXPECT_LE(std::stoi(line), 9) << line;
    }
  }
  EXPECT_NE(deck.find("Self-weight of the members: " + std::to_string(static_cast<int>(std::lround(6000 * w)))), std::string::npos);
}

// The portal under its weight downwards in every case, then sideways in combinations (one of the
// weight alone, one on case 2's pinned foot).
TEST(FeDeck, SelfWeightAgreesWithMarullasAnalysis) {
  WorkingDirectory wd;
  const ShownFrame f = portal_frame();
  Loading loading{true, "-H", 7850, {}, 0};
  compare(f, loading, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
  loading.direction = "+W";
  loading.density = 2700;
  loading.combinations = {{"ULS1", LimitState::uls, 1.35, {1.5, 0, 1.05}},
                          {"SLS2", LimitState::sls, 1, {0, 1}},
                          {"weight", LimitState::sls, 1, {}}};
  compare(f, loading, {{1.5, 0, 1.05}, {0, 1, 0}, {}});
}

// A case of factor 0 takes no part, not even with its supports (SLS2 uses case 2 alone, whose
// right foot is pinned where case 1 clamps it), and a combination without a load has no step;
// a combination may take the weight off.
TEST(FeDeck, ACombinationIsTheFactoredSumOfItsCases) {
  WorkingDirectory wd;
  const ShownFrame f = portal_frame();
  Loading loading;
  loading.combinations = {{"SLS1", LimitState::sls, 1.0, {1, 0, 0.7}},  // the weight is off: its factor counts for nothing
                          {"SLS\n2", LimitState::sls, 0, {0, 0.8}}};
  compare(f, loading, {{1, 0, 0.7}, {0, 0.8, 0}});
  loading.combinations.insert(loading.combinations.begin() + 1, {"none", LimitState::uls, 1.35, {}});
  write_fe_deck(f, loading, "frame.inp");
  const std::string deck = test_support::file_text("frame.inp");
  for (const char* held : {"2 steps for 3 combinations of 3 load cases.", "Combination none has no load here: no step.",
                           "** combination SLS1 (SLS): 1 x load case 1 + 0.7 x load case 3\r\n*STEP",
                           "** combination SLS 2 (SLS): 0.8 x load case 2\r\n*STEP"})
    EXPECT_NE(deck.find(held), std::string::npos) << held;

  loading.self_weight = true;
  loading.combinations = {{"SLS1", LimitState::sls, -0.5, {1, 0, 0.7}}};
  compare(f, loading, {{1, 0, 0.7}});
}

// A 3 x 3 x 2 lattice on springs, three load cases held differently, optimised; the members at or
// above a tenth of the largest diameter are the frame shown. Some springs are left out with the
// nodes the threshold leaves bare.
TEST(FeDeck, OptimisedGroundStructureAgreesWithCcx) {
  WorkingDirectory wd;
  ModelFile m = bench::lattice(3, 2, 40, 3, true);
  m.cases[1].springs[1][2] = 80;
  m.cases[1].springs[3][4] = 2e6;
  m.cases[2].fixed[1].fill(true);
  Optimiser opt(m);
  const std::vector<CycleRecord> cycles = opt.run();
  ASSERT_FALSE(cycles.empty());
  std::vector<char> keep;
  for (double d : cycles.back().diameters) keep.push_back(d >= 0.1 * m.settings.max_diameter);
  const ShownFrame f = with_members(frame_of(m, cycles.back().diameters), keep);
  std::printf("[ deck     ] %d of %d members kept after %zu cycles\n", f.model.n_elem, m.n_elem, cycles.size());
  compare(f, {0, 1, 2});

  const std::string deck = test_support::file_text("frame.inp");
  for (const char* held : {"support at node 2, dof 1", "spring at node 2, dof 3", "spring at node 4, dof 5", "Left out: springs"})
    EXPECT_NE(deck.find(held), std::string::npos) << held;

  // Every number fits what ccx reads.
  for (const std::string& line : test_support::file_lines("frame.inp")) {
    if (line.empty() || !(std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-')) continue;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) EXPECT_LE(field.size(), 20u) << line;
  }
}

// Refused before anything is written; cases 2 and 3 of the portal differ by case 3's spring at
// node 3.
TEST(FeDeck, ALoadingTheDeckCannotCarryIsRefused) {
  WorkingDirectory wd;
  const ShownFrame f = portal_frame();
  Loading weighed{true, "-H", 7850, {}, 0};
  const struct {
    std::string direction;
    double density;
    std::vector<Combination> combinations;
    const char* message;
  } wrong[] = {
      {"down", 7850, {}, "\"down\""},
      {"-H", -7850, {}, "-7850 kg/m3"},
      {"-H", std::nan(""), {}, "nan kg/m3"},
      {"-H", 7850, {{"ULS1", LimitState::uls, 1.35, {1.5, 0, 1.5}}, {"ULS2", LimitState::uls, 1.35, {0, 1.5, 1.5}}},
       "Combination ULS2 combines load cases 2 and 3, whose supports differ at node 3"},
  };
  for (const auto& w : wrong) {
    weighed.direction = w.direction;
    weighed.density = w.density;
    weighed.combinations = w.combinations;
    const std::string message = test_support::error_of([&] { write_fe_deck(f, weighed, "frame.inp"); });
    EXPECT_NE(message.find("Invalid setting"), std::string::npos) << message;
    EXPECT_NE(message.find(w.message), std::string::npos) << message;
    EXPECT_FALSE(fs::exists("frame.inp")) << w.message;
  }
  // A density of 0 is a frame without weight, not a wrong one.
  weighed.direction = "-H";
  weighed.density = 0;
  weighed.combinations.clear();
  EXPECT_EQ(test_support::error_of([&] { write_fe_deck(f, weighed, "frame.inp"); }), "");
  EXPECT_NE(test_support::file_text("frame.inp").find("Self-weight of the members: 0 N along -H."), std::string::npos);
}
