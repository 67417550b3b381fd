// Uniform member loads in the frame engine against the beam formulas, and the equilibrium and
// superposition of a small 3-D frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "solver/frame.h"
#include "solver/member_forces.h"
#include "support/model_builder.h"

namespace {

using test_support::E;
using test_support::G;
using test_support::Model;

constexpr double A = 2000, I = 4e6, J = 8e6;  // a stocky non-design section, mm2 and mm4

struct Analysed {
  std::vector<Section> sections;
  std::unique_ptr<FrameAnalysis> analysis;
  std::vector<CaseForces> cases;
};

// Every case of m analysed and its forces, case c with the member loads w_of[c] added.
Analysed analyse(ModelFile m, const std::vector<std::vector<MemberLoad>>& w_of) {
  for (size_t c = 0; c < m.cases.size(); ++c) {
    const auto equivalent = equivalent_nodal_loads(m, w_of[c]);
    for (size_t i = 0; i < equivalent.size(); ++i)
      for (size_t k = 0; k < 6; ++k) m.cases[c].loads[i][k] += equivalent[i][k];
  }
  Analysed out;
  out.analysis = std::make_unique<FrameAnalysis>(m);
  for (const FrameElement& e : out.analysis->elements()) out.sections.push_back(e.section);
  out.analysis->solve(out.sections);
  for (int c = 0; c < out.analysis->case_count(); ++c)
    out.cases.push_back(case_forces(*out.analysis, m, out.sections, c, w_of[static_cast<size_t>(c)]));
  return out;
}

// A beam along L of `pieces` equal elements from the origin, its W axis the global W; one case.
Model beam(double length, int pieces) {
  Model m;
  const int set = m.non_design(A, I, I, J);
  for (int i = 0; i <= pieces; ++i) m.node(length * i / pieces, 0, 0);
  for (int i = 1; i <= pieces; ++i) m.element(i, i + 1, set);
  m.add_case();
  return m;
}

void fix(ModelFileCase& c, int node, std::initializer_list<int> dofs) {
  for (int d : dofs) c.fixed[static_cast<size_t>(node - 1)][static_cast<size_t>(d - 1)] = true;
}

double largest_unbalance(const CaseForces& f) {
  double largest = 0;
  for (const auto& node : f.unbalance)
    for (double v : node) largest = std::max(largest, std::fabs(v));
  return largest;
}

// One element pinned at node 1 (torsion held), on a roller at the far end, w N/mm down (-H):
// the moment inside it is the parabola w x (L - x) / 2, its peak w L^2 / 8 sagging at midspan.
TEST(MemberLoad, SimplySupportedBeamTakesTheParabolaOfMoment) {
  const double L = 3000, w = 2, mid = w * L * L / 8;
  Model m = beam(L, 1);
  fix(m.f.cases[0], 1, {1, 2, 3, 4});
  fix(m.f.cases[0], 2, {2, 3});
  const std::vector<MemberLoad> load{{0, 0, -w}};
  const Analysed r = analyse(m.f, {load});
  const MemberForces& first = r.cases[0].members[0];
  EXPECT_NEAR(first.largest_moment(), mid, 1e-9 * mid);
  EXPECT_NEAR(first.at(L / 4)[4], -3 * mid / 4, 1e-9 * mid);
  const auto peaks = first.peak_sections();
  ASSERT_EQ(peaks.size(), 3u);
  EXPECT_EQ(peaks[2].end, 0);
  EXPECT_NEAR(peaks[2].x, L / 2, 1e-9 * L);
}

// The single element's resultants inside it are those of the two-element beam's midspan node.
TEST(MemberLoad, ResultantsInsideAnElementMatchANodeThere) {
  const double L = 2000;
  const MemberLoad w{0.5, -1.5, -3};  // along, across and down: every component of at(x)
  Model one = beam(L, 1), two = beam(L, 2);
  for (Model* m : {&one, &two}) {
    Model::clamp(m->f.cases[0], 1);
    fix(m->f.cases[0], m->f.n_node, {2, 3});
  }
  const Analysed r1 = analyse(one.f, {{w}}), r2 = analyse(two.f, {{w, w}});
  const EndForces inside = r1.cases[0].members[0].at(L / 2), node = r2.cases[0].members[1].end1;
  for (size_t k = 0; k < 6; ++k) EXPECT_NEAR(inside[k], node[k], 1e-8 * std::max(1.0, std::fabs(node[k]))) << k;
}

// Two elements under w N/mm down (-H), simply supported as above and fixed at both ends: each
// support carries w L / 2; at midspan 5 / 384 and 1 / 384 of w L^4 / (E I) and the moments
// w L^2 / 8 and w L^2 / 24 sagging; at the fixed ends w L^2 / 12 hogging (tension on the +H side).
TEST(MemberLoad, SupportedAndFixedEndedBeamsByTheFormulas) {
  const double L = 2400, w = 3, wl2 = w * L * L;
  const struct {
    bool fixed;
    double deflection, mid, end;
  } cases[] = {{false, 5, wl2 / 8, 0}, {true, 1, wl2 / 24, wl2 / 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixed);
    Model m = beam(L, 2);
    if (c.fixed) {
      Model::clamp(m.f.cases[0], 1);
      Model::clamp(m.f.cases[0], 3);
    } else {
      fix(m.f.cases[0], 1, {1, 2, 3, 4});
      fix(m.f.cases[0], 3, {2, 3});
    }
    const std::vector<MemberLoad> load(2, MemberLoad{0, 0, -w});
      const Analysed r = analyse(m.f, {load});
    const CaseForces& f = r.cases[0];
    const double tolerance = 1e-9 * c.mid;
    EXPECT_NEAR(r.analysis->displacement(0, 1, 2), -c.deflection * w * std::pow(L, 4) / (384 * E * I), 1e-9);
    EXPECT_NEAR(f.members[0].end2[4], -c.mid, tolerance);
    EXPECT_NEAR(f.members[1].end1[4], -c.mid, tolerance);
    EXPECT_NEAR(f.members[0].end1[4], c.end, tolerance);
    EXPECT_NEAR(f.members[1].end2[4], c.end, tolerance);
    EXPECT_NEAR(f.members[0].largest_moment(), std::max(c.mid, c.end), tolerance);
    EXPECT_NEAR(f.reactions[0][2], w * L / 2, 1e-9 * w * L);
    EXPECT_NEAR(f.reactions[2][2], w * L / 2, 1e-9 * w * L);
    EXPECT_NEAR(f.reactions[0][4], -c.end, tolerance);
    EXPECT_NEAR(f.reactions[2][4], c.end, tolerance);
    EXPECT_LT(largest_unbalance(f), 1e-9 * w * L);
  }
}

// A round tube clamped at the origin, rising at 30 degrees in the L-H plane, under its own
// weight w N/mm (-H): w cos 30 across it and w sin 30 along it.
TEST(MemberLoad, InclinedCantileverCarriesItsOwnWeight) {
  const double L = 1500, w = 0.4, a = std::numbers::pi / 6, c = std::cos(a), s = std::sin(a);
  const Section tube = tube_section(60, 4);
  Model m;
  const int root = m.node(0, 0, 0), tip = m.node(L * c, 0, L * s);
  m.element(root, tip, m.non_design(tube.A, tube.Iw, tube.Ih, tube.J));
  Model::clamp(m.add_case(), root);
  const std::vector<MemberLoad> weight{{0, 0, -w}};
  const Analysed r = analyse(m.f, {weight});
  const CaseForces& f = r.cases[0];
  const MemberForces& bar = f.members[0];
  const double across = w * c, along = w * s;

  // The clamp holds the weight and its moment about W: w L (L cos 30 / 2).
  const auto& held = f.reactions[0];
  EXPECT_NEAR(held[0], 0, 1e-9 * w * L);
  EXPECT_NEAR(held[1], 0, 1e-9 * w * L);
  EXPECT_NEAR(held[2], w * L, 1e-9 * w * L);
  EXPECT_NEAR(held[4], -w * L * L * c / 2, 1e-9 * w * L * L);
  EXPECT_LT(largest_unbalance(f), 1e-9 * w * L);

  // The root: compression w sin 30 L, shear w cos 30 L, moment w cos 30 L^2 / 2; a free tip.
  EXPECT_NEAR(bar.end1[0], -along * L, 1e-9 * w * L);
  EXPECT_NEAR(bar.compression(), along * L, 1e-9 * w * L);
  EXPECT_NEAR(std::hypot(bar.end1[1], bar.end1[2]), across * L, 1e-9 * w * L);
  EXPECT_NEAR(bar.largest_moment(), across * L * L / 2, 1e-9 * w * L * L);
  for (double v : bar.end2) EXPECT_NEAR(v, 0, 1e-9 * w * L * L);
  EXPECT_NEAR(std::hypot(bar.at(L / 2)[4], bar.at(L / 2)[5]), across * L * L / 8, 1e-9 * w * L * L);

  // The tip: w_perp L^4 / (8 E I) across, down the slope; w_par L^2 / (2 E A) shorter.
  const double bend = across * std::pow(L, 4) / (8 * E * tube.Iw), shorten = along * L * L / (2 * E * tube.A);
  // Across is z = (-sin, 0, cos), the load along -z; along is x = (cos, 0, sin).
  EXPECT_NEAR(r.analysis->displacement(0, 1, 0), bend * s - shorten * c, 1e-9 * bend);
  EXPECT_NEAR(r.analysis->displacement(0, 1, 2), -bend * c - shorten * s, 1e-9 * bend);
  EXPECT_NEAR(r.analysis->displacement(0, 1, 1), 0, 1e-12);
}

// A three-legged frame in space: legs clamped at the ground meeting a triangle of beams, and a
// nodal load; tripod_loads() puts every member under a load of its own in a different direction.
Model tripod() {
  Model m;
  const int set = m.non_design(A, I, 2 * I, J);
  const int g1 = m.node(0, 0, 0), g2 = m.node(2000, 0, 0), g3 = m.node(800, 1500, 0);
  const int t1 = m.node(200, 300, 1800), t2 = m.node(1700, 200, 1900), t3 = m.node(900, 1300, 1700);
  const std::array<std::array<int, 2>, 6> bars{{{g1, t1}, {g2, t2}, {g3, t3}, {t1, t2}, {t2, t3}, {t3, t1}}};
  for (const auto& b : bars) m.element(b[0], b[1], set, {0.3, 0.1, 1});
  ModelFileCase& c = m.add_case();
  for (int g : {g1, g2, g3}) Model::clamp(c, g);
  Model::load(c, t2, 1, 500);
  return m;
}

std::vector<MemberLoad> tripod_loads() {
  return {{0, 0, -0.8}, {0.2, 0, -0.8}, {0, -0.3, -0.8}, {0.5, 0.4, -1}, {0, 0, -2}, {-0.6, 0.1, 0.3}};
}

TEST(MemberLoad, ReactionsOfASpaceFrameBalanceItsMemberLoads) {
  const std::vector<MemberLoad> w = tripod_loads();
  const Model m = tripod();
  const Analysed r = analyse(m.f, {w});
  const CaseForces& f = r.cases[0];

  // Forces and moments about the origin of the reactions, the nodal load and every member's
  // load (at its middle) sum to nothing.
  std::array<double, 6> sum{};
  auto add = [&sum](const std::array<double, 3>& at, const std::array<double, 3>& force) {
    for (size_t k = 0; k < 3; ++k) sum[k] += force[k];
    sum[3] += at[1] * force[2] - at[2] * force[1];
    sum[4] += at[2] * force[0] - at[0] * force[2];
    sum[5] += at[0] * force[1] - at[1] * force[0];
  };
  double scale = 0;
  for (size_t i = 0; i < m.f.nodes.size(); ++i) {
    add(m.f.nodes[i], {f.reactions[i][0], f.reactions[i][1], f.reactions[i][2]});
    for (size_t k = 3; k < 6; ++k) sum[k] += f.reactions[i][k];
  }
  add(m.f.nodes[4], {500, 0, 0});
  for (size_t j = 0; j < w.size(); ++j) {
    const auto& p1 = m.f.nodes[static_cast<size_t>(m.f.elements[j].node1 - 1)];
    const auto& p2 = m.f.nodes[static_cast<size_t>(m.f.elements[j].node2 - 1)];
    const double length = std::hypot(p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]);
    add({(p1[0] + p2[0]) / 2, (p1[1] + p2[1]) / 2, (p1[2] + p2[2]) / 2},
        {w[j][0] * length, w[j][1] * length, w[j][2] * length});
    scale = std::max(scale, std::hypot(w[j][0], w[j][1], w[j][2]) * length);
  }
  for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(sum[k], 0, 1e-9 * scale) << k;
  for (size_t k = 3; k < 6; ++k) EXPECT_NEAR(sum[k], 0, 1e-9 * scale * 2000) << k;
  EXPECT_LT(largest_unbalance(f), 1e-9 * scale);
  // Each member in equilibrium under its end forces and its load.
  for (const MemberForces& bar : f.members)
    for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(bar.end2[k], bar.end1[k] - bar.load[k] * bar.length, 1e-9 * scale);
}

// Case 1: the member loads and the nodal load; case 2: another nodal load; case 3 their
// combination 1.35 x case 1 + 1.5 x case 2, analysed as a case of its own.
TEST(MemberLoad, ACombinationIsTheFactoredSumOfItsCases) {
  std::vector<MemberLoad> w = tripod_loads(), none, combined;
  for (const MemberLoad& q : w) combined.push_back({1.35 * q[0], 1.35 * q[1], 1.35 * q[2]});
  Model m = tripod();
  ModelFileCase second = m.f.cases[0];
  for (auto& node : second.loads) node.fill(0);
  Model::load(second, 6, 3, -800);
  Model::load(second, 4, 5, 2e5);
  ModelFileCase both = m.f.cases[0];
  for (size_t i = 0; i < both.loads.size(); ++i)
    for (size_t k = 0; k < 6; ++k) both.loads[i][k] = 1.35 * m.f.cases[0].loads[i][k] + 1.5 * second.loads[i][k];
  m.f.cases.push_back(second);
  m.f.cases.push_back(both);
  const Analysed r = analyse(m.f, {w, none, combined});

  for (size_t j = 0; j < w.size(); ++j) {
    SCOPED_TRACE(j);
    MemberForces sum;
    sum.add(r.cases[0].members[j], 1.35).add(r.cases[1].members[j], 1.5);
    const MemberForces& direct = r.cases[2].members[j];
    for (size_t k = 0; k < 6; ++k) {
      EXPECT_NEAR(sum.end1[k], direct.end1[k], 1e-8 * std::max(1.0, std::fabs(direct.end1[k])));
      EXPECT_NEAR(sum.end2[k], direct.end2[k], 1e-8 * std::max(1.0, std::fabs(direct.end2[k])));
    }
    for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(sum.load[k], direct.load[k], 1e-12);
    EXPECT_NEAR(sum.largest_moment(), direct.largest_moment(), 1e-8 * direct.largest_moment());
  }
  for (size_t i = 0; i < 3; ++i)
    for (size_t k = 0; k < 6; ++k)
      EXPECT_NEAR(1.35 * r.cases[0].reactions[i][k] + 1.5 * r.cases[1].reactions[i][k], r.cases[2].reactions[i][k],
                  1e-8 * std::max(1.0, std::fabs(r.cases[2].reactions[i][k])));
}

// Without member loads the forces are those of the nodal loads alone, bit for bit; a shorter
// list of loads leaves the members beyond it unloaded, a longer one has nothing beyond them.
TEST(MemberLoad, NoMemberLoadLeavesTheNodalAnalysisAlone) {
  std::vector<MemberLoad> w = tripod_loads();
  const Model plain = tripod();
  const Analysed r = analyse(plain.f, {{}});
  const CaseForces zero = case_forces(*r.analysis, plain.f, r.sections, 0, std::vector<MemberLoad>(6));
  for (size_t j = 0; j < 6; ++j) {
    EXPECT_EQ(r.cases[0].members[j].end1, zero.members[j].end1);
    EXPECT_EQ(r.cases[0].members[j].end2, zero.members[j].end2);
  }
  EXPECT_EQ(r.cases[0].reactions, zero.reactions);

  // Loads past the last member are none of the model's: left out.
  std::vector<MemberLoad> longer = w;
  longer.resize(40, MemberLoad{1e3, 1e3, 1e3});
  EXPECT_EQ(equivalent_nodal_loads(plain.f, longer), equivalent_nodal_loads(plain.f, w));

  w.resize(2);
  const auto shorter = equivalent_nodal_loads(plain.f, w);
  for (size_t k = 0; k < 6; ++k) EXPECT_EQ(shorter[5][k], 0) << k;  // node 6 joins members 3, 5, 6 only
  EXPECT_NE(shorter[3][2], 0);
}

// A moment whose largest value lies inside the member away from the middle, in both planes at
// once: the largest of |M| sampled finely is what largest_moment finds, never less.
TEST(MemberLoad, TheLargestMomentInsideIsFoundInBothPlanes) {
  MemberForces m;
  m.length = 1000;
  m.load = {0, -0.6, -1};
  m.end1 = {0, -360, -500, 0, 3e4, -5e4};
  m.end2 = m.at(m.length * (1 - 1e-15));
  double sampled = 0;
  for (int i = 0; i <= 100000; ++i) {
    const EndForces f = m.at(m.length * i / 100000);
    sampled = std::max(sampled, std::hypot(f[4], f[5]));
  }
  EXPECT_GT(sampled, std::max(std::hypot(m.end1[4], m.end1[5]), std::hypot(m.end2[4], m.end2[5])) * 1.01);
  EXPECT_NEAR(m.largest_moment(), sampled, 1e-6 * sampled);
  EXPECT_GE(m.largest_moment(), sampled * (1 - 1e-12));
}

}  // namespace
