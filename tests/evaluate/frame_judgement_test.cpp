// Second-order forces with the sway imperfection, against a cantilever worked in closed form;
// the imperfection's size and directions; a state whose loads buckle the frame.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "evaluate/frame_judgement.h"
#include "support/model_builder.h"

namespace {

using test_support::E;
using test_support::Model;
using std::numbers::pi;

TEST(SwayImperfection, FollowsTheFramesHeightWithinItsBounds) {
  EXPECT_DOUBLE_EQ(sway_imperfection(1000), 1.0 / 200);  // alpha_h 2 is held to 1
  EXPECT_DOUBLE_EQ(sway_imperfection(4000), 1.0 / 200);
  EXPECT_DOUBLE_EQ(sway_imperfection(6000), 2 / std::sqrt(6.0) / 200);
  EXPECT_DOUBLE_EQ(sway_imperfection(9000), 2.0 / 3 / 200);
  EXPECT_DOUBLE_EQ(sway_imperfection(16000), 2.0 / 3 / 200);  // alpha_h 1/2 is held to 2/3
  const std::array<SwayDirection, 4> down_h = sway_directions({0, 0, -1}), along_l = sway_directions({1, 0, 0});
  EXPECT_EQ(down_h[0].name + down_h[1].name + down_h[2].name + down_h[3].name, "+L-L+W-W");
  EXPECT_EQ(along_l[0].name + along_l[1].name + along_l[2].name + along_l[3].name, "+W-W+H-H");
  EXPECT_EQ(down_h[3].unit, (std::array<double, 3>{0, -1, 0}));
  // phi times the load along the self-weight's direction, whichever way it points.
  const NodeLoads h = sway_forces({{10, 20, -300, 1, 2, 3}, {0, 0, 100, 0, 0, 0}}, 0.01, {0, 0, -1}, {0, 1, 0});
  EXPECT_EQ(h[0], (std::array<double, 6>{0, 3, 0, 0, 0, 0}));
  EXPECT_EQ(h[1], (std::array<double, 6>{0, -1, 0, 0, 0, 0}));
  // The height of the members drawn only.
  Model m;
  const int base = m.node(0, 0, 0), middle = m.node(0, 0, 2000), top = m.node(0, 0, 9000);
  m.element(base, middle, m.design());
  m.element(middle, top, 1);
  EXPECT_DOUBLE_EQ(frame_height(m.f, {1, 0}, {0, 0, -1}), 2000);
  EXPECT_DOUBLE_EQ(frame_height(m.f, {1, 1}, {0, 0, -1}), 9000);
  EXPECT_DOUBLE_EQ(frame_height(m.f, {1, 1}, {1, 0, 0}), 0);
  Model leaning;
  const int foot = leaning.node(0, 0, 0), head = leaning.node(3000, 0, 2000);
  leaning.element(foot, head, leaning.design());
  EXPECT_DOUBLE_EQ(frame_height(leaning.f, {1}, {-1, 0, 0}), 3000);
  EXPECT_DOUBLE_EQ(frame_height(leaning.f, {1}, {0, 0, 1}), 2000);
}

// A cantilever column 6 m high (alpha_h = 2 / sqrt 6) of a 60 mm rod, clamped at its foot, with P
// down and H along +L at its top: in the +L sway its base moment is (H + phi P) tan(kL) / k. No
// slenderness limit, so that the moments govern.
struct Cantilever {
  static constexpr double L = 6000, d = 60;
  Model m;
  explicit Cantilever(double P, double H = 100) {
    const int base = m.node(0, 0, 0), top = m.node(0, 0, L);
    m.element(base, top, m.design());
    ModelFileCase& c = m.add_case();
    Model::clamp(c, 1);
    Model::load(c, 2, 3, -P);
    Model::load(c, 2, 1, H);
  }
  FrameJudgement judged(const Loading& loading = {}) const {
    const ShownFrame f = frame_of(m.f, {d});
    return judge_frame(f, analyse_frame(f, loading), {235, 1.0, "S235", false, 1.0, 1.0, 0}, loading, {1});
  }
};

TEST(FrameJudgement, ACantileverSwaysWithItsImperfectionToSecondOrder) {
  const double P = 4000, H = 100, I = pi * std::pow(Cantilever::d, 4) / 64;
  const Cantilever column(P, H);
  const FrameJudgement j = column.judged();
  ASSERT_EQ(j.stability.size(), 1u);
  const StateStability& s = j.stability[0];
  const double phi = 2 / std::sqrt(6.0) / 200, k = std::sqrt(P / (E * I));
  EXPECT_TRUE(s.second_order);
  EXPECT_EQ(s.direction, "+L");
  EXPECT_DOUBLE_EQ(s.phi, phi);
  EXPECT_NEAR(s.buckling.alpha * P / (pi * pi * E * I / std::pow(2 * Cantilever::L, 2)), 1, 3e-3);
  const MemberForces& base = j.forces.by_state[0].members[0];
  EXPECT_NEAR(std::hypot(base.end1[4], base.end1[5]) / ((H + phi * P) * std::tan(k * Cantilever::L) / k), 1, 1e-3);
  // The check is that of these forces; the deflection stays first order.
  EXPECT_NEAR(j.checks.by_state[0][0].moment, std::hypot(base.end1[4], base.end1[5]), 1e-6);
  const ShownFrame f = frame_of(column.m.f, {Cantilever::d});
  const FrameForces first = analyse_frame(f);
  EXPECT_EQ(j.forces.displacements, first.displacements);
  EXPECT_NEAR(std::hypot(first.by_state[0].members[0].end1[4], first.by_state[0].members[0].end1[5]), H * Cantilever::L, 1e-6);
  // Pushed the other way the column sways along -L.
  EXPECT_EQ(Cantilever(P, -H).judged().stability[0].direction, "-L");
  // A serviceability combination stays first order and is not judged.
  Loading loading;
  loading.combinations = {{"U", LimitState::uls, 0, {1.0}}, {"S", LimitState::sls, 0, {1.0}}};
  const FrameJudgement both = column.judged(loading);
  ASSERT_EQ(both.stability.size(), 1u);
  EXPECT_EQ(both.forces.by_state[1].members[0].end1, first.by_state[0].members[0].end1);
  EXPECT_EQ(both.forces.by_state[0].members[0].end1, base.end1);
}

// The self-weight along any axis, with its factor: a column along L under gravity towards -L
// carries P and 1.35 times its own weight at its foot, to second order too.
TEST(FrameJudgement, TheFactoredSelfWeightAlongAnyAxisLoadsTheSecondOrder) {
  const double L = 6000, d = 60, P = 2000;
  Model m;
  const int foot = m.node(0, 0, 0), top = m.node(L, 0, 0);
  m.element(foot, top, m.design(), {0, 0, 1});
  ModelFileCase& c = m.add_case();
  Model::clamp(c, foot);
  Model::load(c, top, 1, -P);
  const ShownFrame f = frame_of(m.f, {d});
  Loading loading;
  loading.self_weight = true;
  loading.direction = "-L";
  loading.combinations = {{"U", LimitState::uls, 1.35, {1.0}}};
  const FrameJudgement j = judge_frame(f, analyse_frame(f, loading), {235, 1.0}, loading, {1});
  ASSERT_TRUE(j.stability[0].second_order);
  const double weight = pi * d * d / 4 * 7850e-9 * 9.81 * L;
  EXPECT_NEAR(j.forces.by_state[0].members[0].end1[0] / -(P + 1.35 * weight), 1, 1e-9);
  EXPECT_DOUBLE_EQ(j.stability[0].phi, 2 / std::sqrt(6.0) / 200);
  EXPECT_EQ(j.stability[0].direction.substr(1), j.stability[0].direction[1] == 'W' ? "W" : "H");
}

// Above the cantilever's critical load (8.7 kN) the state cannot stand: its compressed member
// fails by frame buckling with 1 / alpha_cr, which the summary counts above 1.
TEST(FrameJudgement, AStateWhoseLoadsBuckleTheFrameFailsItsCompressedMembers) {
  const FrameJudgement j = Cantilever(12000).judged();
  const StateStability& s = j.stability[0];
  ASSERT_TRUE(s.buckles());
  EXPECT_FALSE(s.second_order);
  const MemberCheck& k = j.checks.by_state[0][0];
  EXPECT_EQ(k.governs, Governs::frame_buckling);
  EXPECT_DOUBLE_EQ(k.utilisation, 1 / s.buckling.alpha);
  EXPECT_DOUBLE_EQ(frame_buckling_ratio(j, 0, 0), 1 / s.buckling.alpha);
  EXPECT_EQ(summarise(j.forces, j.checks, {1}).above_one, 1);
  EXPECT_EQ(std::string(governs_name(k.governs)), "frame buckling");
  // Pulled instead, nothing buckles and nothing fails by it.
  const FrameJudgement pulled = Cantilever(-12000).judged();
  EXPECT_FALSE(pulled.stability[0].buckles());
  EXPECT_EQ(frame_buckling_ratio(pulled, 0, 0), 0);
}

// A tower of four columns h high on pinned feet at the corners of a square of side a, their tops
// joined by four beams, each top pushed down with P. It sways as its two portals along L do: a
// column's top is held against turning by the beam in its plane alone (6 E I_b / a, the beam in
// double curvature), so its critical load solves kh tan(kh) = 6 (I_b / I_c) (h / a), k^2 = P /
// (E I_c); the beams across the sway turn whole. Each column in four pieces meets it to 0.3 %.
TEST(FrameBuckling, APinnedTowerSwaysAsItsPortalsDo) {
  const double h = 3000, a = 2000, dc = 50, db = 60, P = 1000;
  Model m;
  const int set = m.design();
  int feet[4], tops[4];
  for (int c = 0; c < 4; ++c) {
    const double x = c == 1 || c == 2 ? a : 0, y = c >= 2 ? a : 0;
    feet[c] = m.node(x, y, 0);
    tops[c] = m.node(x, y, h);
  }
  for (int c = 0; c < 4; ++c) m.element(feet[c], tops[c], set);
  for (int c = 0; c < 4; ++c) m.element(tops[c], tops[(c + 1) % 4], set, {0, 0, 1});
  ModelFileCase& load = m.add_case();
  for (int c = 0; c < 4; ++c) {
    for (size_t dof = 0; dof < 3; ++dof) load.fixed[static_cast<size_t>(feet[c] - 1)][dof] = true;
    Model::load(load, tops[c], 3, -P);
  }
  load.fixed[static_cast<size_t>(feet[0] - 1)][5] = true;  // the columns' own twist is held at one foot
  const ShownFrame f = frame_of(m.f, {dc, dc, dc, dc, db, db, db, db});
  const FrameJudgement j = judge_frame(f, analyse_frame(f), {235, 1.0}, {}, std::vector<char>(8, 1));
  const double Ic = pi * std::pow(dc, 4) / 64, Ib = pi * std::pow(db, 4) / 64, held = 6 * (Ib / Ic) * (h / a);
  double lo = 0, hi = pi / 2;  // kh tan(kh) rises from 0 to infinity on (0, pi/2)
  for (int step = 0; step < 100; ++step) {
    const double mid = (lo + hi) / 2;
    (mid * std::tan(mid) < held ? lo : hi) = mid;
  }
  const double critical = E * Ic * std::pow(lo / h, 2);
  ASSERT_EQ(j.stability.size(), 1u);
  EXPECT_NEAR(j.stability[0].buckling.alpha * P / critical, 1, 3e-3);
  EXPECT_EQ(j.stability[0].phi, 1.0 / 200);
  EXPECT_TRUE(j.stability[0].second_order);
}

}  // namespace
