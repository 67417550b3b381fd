// The plastic bound: the least-volume pin-jointed truss of the ultimate states, against a
// hand-worked truss and against the dual program written out here; where there is none, why;
// its dump.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <coin/ClpSimplex.hpp>

#include "evaluate/plastic_bound.h"
#include "formats/json.h"
#include "support/model_builder.h"

namespace {

using test_support::Model;

CheckSettings steel_of(double yield, double gamma_m0) {
  CheckSettings s;
  s.yield = yield;
  s.gamma_m0 = gamma_m0;
  return s;
}

// P down on the apex of two struts at 30 degrees: each carries P / (2 sin 30) over 1000 mm. A
// ULS combination scales the truss by its factor; the self-weight and an SLS combination take
// no part.
TEST(PlasticBound, TwoStrutsCarryTheirLoadAtTheDesignYieldStress) {
  const double P = 12000;
  const ModelFile m = test_support::two_struts(P).f;
  const CheckSettings steel = steel_of(355, 1.05);
  const double volume = 2 * (P / (2 * 0.5)) * 1000 / (355 / 1.05);

  const PlasticBound b = plastic_bound(plastic_layout(m, {}), steel, 7850);
  EXPECT_EQ(b.problem, "");
  EXPECT_NEAR(b.volume, volume, 1e-9 * volume);
  EXPECT_NEAR(b.mass, volume * 7850 * 1e-9, 1e-9 * b.mass);
  EXPECT_EQ(b.members, 2);

  Loading combined;
  combined.self_weight = true;
  combined.combinations = {{"ULS1", LimitState::uls, 1.35, {1.35}}, {"SLS1", LimitState::sls, 1, {10}}};
  const PlasticBound uls = plastic_bound(plastic_layout(m, combined), steel, 2700);
  EXPECT_NEAR(uls.volume, 1.35 * volume, 1e-9 * volume);
  EXPECT_NEAR(uls.mass, 1.35 * volume * 2700 * 1e-9, 1e-9 * uls.mass);
}

// Pushed across as well as down, the struts carry (P / sin 30 +- H / cos 30) / 2: the least
// largest force of the stiffest layout is the larger, whichever strut carries it.
TEST(PlasticBound, StiffestLayoutKnowsItsLargestForce) {
  const double P = 1000, H = 300;
  for (const double across : {H, -H}) {
    Model m = test_support::two_struts(P);
    Model::load(m.f.cases[0], 3, 1, across);
    const auto layout = pin_jointed_layout(m.f);
    ASSERT_TRUE(layout);
    const double larger = (P / 0.5 + H / std::sqrt(0.75)) / 2, smaller = (P / 0.5 - H / std::sqrt(0.75)) / 2;
    EXPECT_NEAR(layout->peak, larger, 1e-6 * larger);
    EXPECT_NEAR(layout->load_path, 1000 * (larger + smaller), 1e-6 * larger);
  }
}

// A box of 8 nodes with every pair of them a design member but one, a non-design bar; two load
// cases on different supports (case 1 pinned at the four feet, case 2 one foot pinned, one held
// along W and H, two along H).
Model box() {
  Model m;
  for (double h : {0.0, 800.0})
    for (auto [l, w] : {std::pair{0.0, 0.0}, {1000.0, 0.0}, {1000.0, 600.0}, {0.0, 600.0}}) m.node(l, w, h);
  const int design = m.design(), bar = m.non_design(100, 1000, 1000, 2000);
  for (int a = 1; a <= 8; ++a)
    for (int b = a + 1; b <= 8; ++b) m.element(a, b, a == 5 && b == 7 ? bar : design);
  ModelFileCase& one = m.add_case();
  for (int foot = 1; foot <= 4; ++foot)
    for (int dof = 1; dof <= 3; ++dof) one.fixed[static_cast<size_t>(foot - 1)][static_cast<size_t>(dof - 1)] = true;
  Model::load(one, 6, 1, 5000);
  Model::load(one, 6, 3, -20000);
  Model::load(one, 7, 2, 3000);
  ModelFileCase& two = m.add_case();
  two.fixed[0] = {true, true, true, false, false, false};
  two.fixed[1] = {false, true, true, false, false, false};
  two.fixed[2] = {false, false, true, false, false, false};
  two.fixed[3] = {false, false, true, false, false, false};
  Model::load(two, 8, 2, -4000);
  Model::load(two, 8, 3, -10000);
  Model::load(two, 5, 1, 2000);
  return m;
}

// One state of the dual: its loads (per node, along L, W, H) and the supports it stands on.
struct DualState {
  std::vector<std::array<double, 3>> load;
  const ModelFileCase* supports;
};

// The dual of the least-volume program, from the virtual work of the states' displacements u_s:
// maximise sum_s f_s . u_s over the u_s whose elongations e_s of each design member satisfy
// sum_s |e_s| <= L (so the work f . u = sum N e never exceeds sum a L), a non-design bar not
// elongating. Its optimum is the least sum a L; over f_y / gamma_M0 the volume.
double dual_load_path(const ModelFile& m, const std::vector<DualState>& states) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  ClpSimplex lp;
  lp.setLogLevel(0);
  lp.setOptimizationDirection(-1);
  std::vector<std::vector<int>> u(states.size(), std::vector<int>(3 * m.nodes.size(), -1));
  for (size_t s = 0; s < states.size(); ++s)
    for (size_t i = 0; i < m.nodes.size(); ++i)
      for (size_t k = 0; k < 3; ++k) {
        if (states[s].supports->fixed[i][k]) continue;
        u[s][3 * i + k] = lp.numberColumns();
        lp.addColumn(0, nullptr, nullptr, -inf, inf, states[s].load[i][k]);
      }
  for (size_t j = 0; j < m.elements.size(); ++j) {
    const auto n1 = static_cast<size_t>(m.elements[j].node1 - 1), n2 = static_cast<size_t>(m.elements[j].node2 - 1);
    std::array<double, 3> d{};
    for (size_t k = 0; k < 3; ++k) d[k] = m.nodes[n2][k] - m.nodes[n1][k];
    const double L = std::hypot(d[0], d[1], d[2]);
    const bool design = m.props[static_cast<size_t>(m.elements[j].prop - 1)][0] < 0;
    std::vector<int> strain_bounds;
    for (size_t s = 0; s < states.size(); ++s) {
      std::vector<int> cols;
      std::vector<double> coefficients;
      for (size_t k = 0; k < 3; ++k)
        for (auto [node, sign] : {std::pair{n2, 1.0}, {n1, -1.0}})
          if (const int c = u[s][3 * node + k]; c >= 0 && d[k] != 0) {
            cols.push_back(c);
            coefficients.push_back(sign * d[k] / L);
          }
      if (!design) {  // e = 0
        lp.addRow(static_cast<int>(cols.size()), cols.data(), coefficients.data(), 0, 0);
        continue;
      }
      const int t = lp.numberColumns();  // t >= |e|
      lp.addColumn(0, nullptr, nullptr, 0, inf, 0);
      strain_bounds.push_back(t);
      cols.push_back(t);
      for (const double sign : {-1.0, 1.0}) {  // e - t <= 0, e + t >= 0
        coefficients.push_back(sign);
        lp.addRow(static_cast<int>(cols.size()), cols.data(), coefficients.data(), sign < 0 ? -inf : 0, sign < 0 ? 0 : inf);
        coefficients.pop_back();
      }
    }
    if (design) {
      const std::vector<double> ones(strain_bounds.size(), 1.0);
      lp.addRow(static_cast<int>(strain_bounds.size()), strain_bounds.data(), ones.data(), -inf, L);
    }
  }
  lp.primal();
  EXPECT_TRUE(lp.isProvenOptimal());
  return lp.objectiveValue();
}

DualState dual_state(const ModelFile& m, size_t supports, const std::vector<double>& factors) {
  DualState s{std::vector<std::array<double, 3>>(m.nodes.size()), &m.cases[supports]};
  for (size_t c = 0; c < factors.size(); ++c)
    for (size_t i = 0; i < m.nodes.size(); ++i)
      for (size_t k = 0; k < 3; ++k) s.load[i][k] += factors[c] * m.cases[c].loads[i][k];
  return s;
}

// Two ULS combinations on the box: the second of case 2 alone stands on case 2's supports, the
// first sums both cases on case 1's. The primal program of the evaluation and the dual written
// here meet.
TEST(PlasticBound, BoxOfTwoStatesMeetsTheDualProgram) {
  const ModelFile m = box().f;
  Loading loading;
  loading.combinations = {{"ULS1", LimitState::uls, 0, {1.2, 0.9}},
                          {"ULS2", LimitState::uls, 0, {0, 1.5}},
                          {"SLS1", LimitState::sls, 0, {20, 20}}};
  const double dual = dual_load_path(m, {dual_state(m, 0, {1.2, 0.9}), dual_state(m, 1, {0, 1.5})});
  const PlasticBound b = plastic_bound(plastic_layout(m, loading), steel_of(275, 1), 7850);
  ASSERT_EQ(b.problem, "");
  EXPECT_NEAR(b.volume, dual / 275, 1e-7 * b.volume);
  EXPECT_GT(b.members, 0);
  EXPECT_LT(b.members, 27);

  // Each state alone needs less.
  loading.combinations.erase(loading.combinations.begin());
  EXPECT_LT(plastic_bound(plastic_layout(m, loading), steel_of(275, 1), 7850).volume, b.volume * (1 - 1e-3));
}

std::string dumped(const PlasticBound& b) {
  JsonWriter j;
  j.begin_object();
  write_plastic_bound_json(j, b);
  j.end_object();
  return j.str();
}

// A load the members cannot carry leaves no bound, and the dump says why: a triangle pinned at
// one corner turns about it under a load across its side; a load along W reaches no member of
// the struts; a moment on a free rotation no pin-jointed member carries.
TEST(PlasticBound, NoneWhereTheMembersCannotCarryTheLoad) {
  Model turning;
  const int a = turning.node(0, 0, 0), b = turning.node(1000, 0, 0), c = turning.node(1000, 0, 1000);
  const int set = turning.design();
  turning.element(a, b, set);
  turning.element(b, c, set);
  turning.element(c, a, set);
  ModelFileCase& k = turning.add_case();
  for (size_t dof = 0; dof < 3; ++dof) k.fixed[0][dof] = true;
  Model::load(k, c, 1, 1000);
  const PlasticBound mechanism = plastic_bound(plastic_layout(turning.f, {}), {}, 7850);
  EXPECT_EQ(dumped(mechanism),
            "{\"plastic_bound\":{\"mass\":null,\"volume\":null,\"members\":0,\"problem\":\"no pin-jointed truss: the "
            "members, pin-jointed, are a mechanism under the loads of load case 1\"}}");

  Model across = test_support::two_struts(1000);
  Model::load(across.f.cases[0], 3, 2, 10);
  EXPECT_EQ(plastic_bound(plastic_layout(across.f, {}), {}, 7850).problem,
            "no pin-jointed truss: load case 1 loads node 3 along W, which no member reaches");
  Model turned = test_support::two_struts(1000);
  Model::load(turned.f.cases[0], 3, 6, 10);
  EXPECT_EQ(plastic_bound(plastic_layout(turned.f, {}), {}, 7850).problem,
            "no pin-jointed truss: load case 1 loads node 3 about H, which pin-jointed members cannot carry");
  Model::load(turned.f.cases[0], 3, 6, 0);
  Model::load(turned.f.cases[0], 3, 3, 0);
  EXPECT_EQ(plastic_bound(plastic_layout(turned.f, {}), {}, 7850).problem, "no pin-jointed truss: nothing loads the members");
}

}  // namespace
