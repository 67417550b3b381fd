// Member forces, reactions and checks of a frame against hand calculations and textbook results.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

#include "evaluate/frame_stability.h"
#include "formats/numtext.h"
#include "support/model_builder.h"

namespace {

using test_support::E;
using test_support::Model;
using std::numbers::pi;

ShownFrame with_diameters(const ModelFile& m, double d) {
  return frame_of(m, std::vector<double>(m.elements.size(), d));
}

void expect_forces(const EndForces& got, const EndForces& want, double tolerance) {
  for (size_t k = 0; k < 6; ++k) EXPECT_NEAR(got[k], want[k], tolerance) << "component " << k;
}

// A design beam along L, clamped at node 1: the section's W and H axes are the global ones.
TEST(MemberForces, CantileverCarriesItsTipLoadsToTheSupport) {
  const double L = 1000, Fw = 100, Fh = 200, T = 5000, d = 20;
  Model m;
  const int n1 = m.node(0, 0, 0), n2 = m.node(L, 0, 0);
  m.element(n1, n2, m.design());
  ModelFileCase& c = m.add_case();
  Model::clamp(c, n1);
  Model::load(c, n2, 2, Fw);
  Model::load(c, n2, 3, Fh);
  Model::load(c, n2, 4, T);
  const ShownFrame f = with_diameters(m.f, d);
  const FrameForces forces = analyse_frame(f);

  // Cut at x: what lies beyond carries the tip loads, so V = F, T = T and M = (L - x) e_x x F.
  const MemberForces& bar = forces.by_state[0].members[0];
  expect_forces(bar.end1, {0, Fw, Fh, T, -L * Fh, L * Fw}, 1e-6);
  expect_forces(bar.end2, {0, Fw, Fh, T, 0, 0}, 1e-6);
  EXPECT_NEAR(bar.largest_moment(), L * std::hypot(Fw, Fh), 1e-6);
  // The clamp gives back the loads and their moments about it.
  expect_forces(forces.by_state[0].reactions[0], {0, -Fw, -Fh, -T, L * Fh, -L * Fw}, 1e-6);

  // At the root the outer fibre takes M r / I; nothing is in compression, so bending of the rod
  // governs: M / (W_pl f_y), W_pl = d^3 / 6.
  const FrameChecks checks = check_frame(f, forces, {235, 1.0});
  const MemberCheck& k = checks.by_state[0][0];
  const double I = pi * std::pow(d, 4) / 64;
  const double stress = L * std::hypot(Fw, Fh) * (d / 2) / I;
  EXPECT_NEAR(k.stress, stress, 1e-9 * stress);
  EXPECT_NEAR(k.utilisation, L * std::hypot(Fw, Fh) / (d * d * d / 6 * 235), 1e-9);
  EXPECT_EQ(k.governs, Governs::bending);
}

// A round member bends alike about every axis: turning its reference direction (its W and H axes
// about its length) changes none of its ratios. A class 3 CHS 273 x 5 in S355, a cantilever along
// L under its own weight, pushed at its tip and bent there by a force along W and a moment about
// W: moments in no one plane, whose interaction governs.
TEST(MemberChecks, ARoundMemberDoesNotDependOnItsReferenceDirection) {
  const auto checked = [](double degrees) {
    const double a = degrees * pi / 180;
    Model m;
    const int n1 = m.node(0, 0, 0), n2 = m.node(8000, 0, 0);
    m.element(n1, n2, m.design(), {0, std::cos(a), std::sin(a)});
    ModelFileCase& c = m.add_case();
    Model::clamp(c, n1);
    Model::load(c, n2, 1, -300e3);
    Model::load(c, n2, 2, 2e3);
    Model::load(c, n2, 5, 20e6);
    ShownFrame f = with_diameters(m.f, 0);
    f.sections[0] = tube_member(273, 5, "");
    Loading weight;
    weight.self_weight = true;
    return check_frame(f, analyse_frame(f, weight), {355, 1.0, "S355"}).by_state[0][0];
  };
  const MemberCheck straight = checked(0);
  EXPECT_EQ(straight.section_class, 3);
  EXPECT_EQ(straight.governs, Governs::interaction);
  for (double degrees : {30.0, 45.0}) {
    const MemberCheck turned = checked(degrees);
    EXPECT_NEAR(turned.utilisation, straight.utilisation, 1e-9) << degrees;
    for (size_t g = 0; g < check_count; ++g)
      EXPECT_NEAR(turned.ratio[g].value_or(-1), straight.ratio[g].value_or(-1), 1e-9)
          << governs_name(static_cast<Governs>(g)) << " at " << degrees;
  }
}

// Two slender bars from the supports at (-+866, 0, 0) to the apex (0, 0, 500), 30 degrees to the
// horizontal, 1000 N down at the apex: each bar is a strut of N = F / (2 sin a) = 1000 N, up to
// the bending of a rigid apex (of the order I / (A L^2) = 6e-6). The supports are pins; one of them
// stops the turn about the line between them.
TEST(MemberForces, TwoBarFrameCarriesTheTrussForce) {
  const double F = 1000, d = 10;
  const Model m = test_support::two_struts(F);
  const ShownFrame f = with_diameters(m.f, d);
  const FrameForces forces = analyse_frame(f);
  for (const MemberForces& bar : forces.by_state[0].members) EXPECT_NEAR(bar.end1[0], -F / (2 * 0.5), 1e-4 * F);
  for (int node : {1, 2}) {
    EXPECT_NEAR(forces.by_state[0].reactions[static_cast<size_t>(node - 1)][2], F / 2, 1e-4 * F);
    EXPECT_NEAR(std::fabs(forces.by_state[0].reactions[static_cast<size_t>(node - 1)][0]), F / 2 / std::tan(pi / 6), 1e-4 * F);
  }

  // Euler: pi^2 E I / (K L)^2 = 968.95 N for K = 1; lambda_bar = sqrt(A f_y / N_cr) = 4.36445,
  // curve c (a rod): chi = 0.047192, so N_b,Rd = chi A f_y = 871.0 N. L / i = 400, twice the limit,
  // governs. A buckling length of 0.7 L: lambda_bar 3.05511, chi 0.091959, ratio 0.589179.
  const FrameChecks pinned = check_frame(f, forces, {235, 1.0});
  EXPECT_NEAR(pinned.by_state[0][0].chi, 0.047192, 1e-6);
  EXPECT_NEAR(pinned.by_state[0][0].ratio_of(Governs::buckling).value(), 1.148084, 1e-3);
  EXPECT_NEAR(pinned.envelope[0].utilisation, 2.0, 1e-9);
  EXPECT_EQ(pinned.envelope[0].governs, Governs::slenderness);
  const FrameChecks braced = check_frame(f, forces, {235, 0.7, "S235", false, 1.0, 1.0, 0});
  EXPECT_NEAR(braced.by_state[0][1].ratio_of(Governs::buckling).value(), 0.589179, 1e-3);
  EXPECT_NEAR(braced.envelope[1].utilisation, 0.589179, 1e-3);  // the interaction, with nearly no moment
}

// Two design beams in line, 1000 mm each, pinned at both far ends: a bend of 2 degrees at the
// middle node makes two members again.
TEST(BucklingMembers, ElementsInLineThroughAnUnbracedNodeBuckleAsOne) {
  auto strut = [](double bend_degrees) {
    Model m;
    const double a = bend_degrees * pi / 180;
    const int n1 = m.node(0, 0, 0), n2 = m.node(1000, 0, 0), n3 = m.node(1000 + 1000 * std::cos(a), 1000 * std::sin(a), 0);
    const int set = m.design();
    m.element(n1, n2, set);
    m.element(n2, n3, set);
    ModelFileCase& c = m.add_case();
    for (size_t dof = 0; dof < 4; ++dof) c.fixed[static_cast<size_t>(n1 - 1)][dof] = true;
    c.fixed[static_cast<size_t>(n3 - 1)][1] = c.fixed[static_cast<size_t>(n3 - 1)][2] = true;
    return m.f;
  };
  const std::vector<char> both{1, 1};
  const BucklingMembers one = buckling_members(strut(0), both, 0);
  EXPECT_EQ(one.chain, (std::vector<int>{1, 1}));
  EXPECT_EQ(one.elements, (std::vector<int>{2, 2}));
  EXPECT_NEAR(one.length[0], 2000, 1e-9);
  EXPECT_NEAR(one.length[1], 2000, 1e-9);
  EXPECT_EQ(buckling_members(strut(0.5), both, 0).chain, (std::vector<int>{1, 1}));
  EXPECT_EQ(buckling_members(strut(2), both, 0).chain, (std::vector<int>{1, 2}));

  // Elements listed out of order, one of them reversed: the chain is found from its middle
  // element both ways, 0 -> 1 -> 2 -> 3 with element 2 running 3 -> 2.
  Model line;
  for (double x : {0.0, 400.0, 1000.0, 1500.0}) line.node(x, 0, 0);
  const int set = line.design();
  line.element(2, 3, set);
  line.element(1, 2, set);
  line.element(4, 3, set);
  ModelFileCase& ends = line.add_case();
  Model::clamp(ends, 1);
  Model::clamp(ends, 4);
  const BucklingMembers across = buckling_members(line.f, {1, 1, 1}, 0);
  EXPECT_EQ(across.chain, (std::vector<int>{1, 1, 1}));
  EXPECT_NEAR(across.length[1], 1500, 1e-9);
}

// A 3 m column up H in three elements, pinned at its foot, held along L and W at its top; at node 2
// (1000 mm up) supports of `fixed` and a spring along L in load case `held`, members to `braces`.
ModelFile column(const std::vector<int>& fixed, const std::vector<std::array<double, 3>>& braces = {}, size_t held = 0,
                 bool spring = false) {
  Model m;
  for (double h : {0.0, 1000.0, 2000.0, 3000.0}) m.node(0, 0, h);
  const int set = m.design();
  for (int k = 1; k <= 3; ++k) m.element(k, k + 1, set);
  for (const auto& p : braces) m.element(2, m.node(p[0], p[1], p[2]), set);
  for (size_t c = 0; c < 2; ++c) {
    ModelFileCase& k = m.add_case();
    for (int dof : {1, 2, 3, 6}) k.fixed[0][static_cast<size_t>(dof - 1)] = true;
    k.fixed[3][0] = k.fixed[3][1] = true;
    Model::load(k, 4, 3, c == 0 ? -1000 : -10000);
    if (c != held) continue;
    for (int dof : fixed) k.fixed[1][static_cast<size_t>(dof - 1)] = true;
    if (spring) Model::spring(k, 2, 1, 1);
  }
  return m.f;
}

// Node 2 ends the column's buckling member in load case 1 only when what holds it there in that
// case (supports of L, W or H, members not in line) points two different ways across the column.
TEST(BucklingMembers, OnlyANodeHeldAcrossBothWaysEndsAChain) {
  const std::tuple<const char*, ModelFile, double> cases[] = {
      {"a spring", column({}, {}, 0, true), 3000},
      {"a support along L", column({1}), 3000},
      {"supports along L and along the column", column({1, 3}), 3000},
      {"rotational supports", column({4, 5, 6}), 3000},
      {"supports along L and W in load case 2", column({1, 2}, {}, 1), 3000},
      {"members along L and -L", column({}, {{1000, 0, 1000}, {-1000, 0, 1000}}), 3000},
      {"members along W and half a degree off it", column({}, {{0, 1000, 1000}, {8.7265, 999.962, 1000}}), 3000},
      {"a member seen along L, a support along L", column({1}, {{1000, 0, 2000}}), 3000},
      {"supports along L and W", column({1, 2}), 1000},
      {"members along L and W", column({}, {{1000, 0, 1000}, {0, 1000, 1000}}), 1000},
      {"a member seen along L, a support along W", column({2}, {{1000, 0, 2000}}), 1000},
  };
  for (const auto& [what, m, want] : cases)
    EXPECT_NEAR(buckling_members(m, std::vector<char>(m.elements.size(), 1), 0).length[0], want, 1e-9) << what;
  const ModelFile braced = column({}, {{1000, 0, 1000}, {0, 1000, 1000}});  // one brace not counted: holds nothing
  EXPECT_NEAR(buckling_members(braced, {1, 1, 1, 1, 0}, 0).length[0], 3000, 1e-9);

  // Each state takes the chains of its own supports; the tables show those of the governing state
  // (case 2, ten times the load); what buckles as one in any state is one piece of the frame.
  const ShownFrame f = with_diameters(column({1, 2}, {}, 1), 20);
  const FrameChecks checks = check_frame(f, analyse_frame(f), {235, 1.0, "S235", false, 1.0, 1.0, 0});
  EXPECT_NEAR(checks.by_state[0][0].l_cr, 3000, 1e-9);
  EXPECT_NEAR(checks.by_state[1][0].l_cr, 1000, 1e-9);
  EXPECT_EQ(checks.chain(1), 2);
  EXPECT_EQ(pieces(3, checks.buckling), (std::vector<int>{1, 1, 1}));
}

// A cantilever rod in two elements, d 40, 1500 mm, clamped at its foot, 20 kN down and 500 N along
// L at its free tip: its buckling member sways, and the root's interaction takes C_m = 0.9 (Table
// B.3), not the 1 of a member of several elements nor the 0.6 of its end moments.
TEST(BucklingMembers, ACantileverSwaysWithCmOfPointNine) {
  Model m;
  const int set = m.design();
  for (double h : {0.0, 750.0, 1500.0}) m.node(0, 0, h);
  for (int k : {1, 2}) m.element(k, k + 1, set);
  ModelFileCase& c = m.add_case();
  Model::clamp(c, 1);
  Model::load(c, 3, 3, -20000);
  Model::load(c, 3, 1, 500);
  const ShownFrame f = with_diameters(m.f, 40);
  const MemberCheck k = check_frame(f, analyse_frame(f), {235, 1.0}).by_state[0][0];
  const double n = 20000 / (k.chi * pi * 400 * 235), my = 500 * 1500 / (40 * 40 * 40 / 6.0 * 235);
  EXPECT_NEAR(k.ratio_of(Governs::interaction).value(), n + 0.9 * (1 + std::min(k.lambda_bar - 0.2, 0.8) * n) * my, 1e-6);
}

// A fixed-base portal frame, columns h = 3000, beam b = 6000, all of one I (k = (I/b) / (I/h) =
// 0.5) and nearly rigid axially, with P along L at the top of the left column. The textbook sway
// moments: at the bases P h / 2 (3k + 1) / (6k + 1), at the corners P h / 2 3k / (6k + 1); each
// column takes P / 2 of shear, the beam P / 2 of compression, the columns +-(P h - 2 M_base) / b.
TEST(MemberForces, PortalFrameSwayMomentsAreTheTextbookOnes) {
  const double h = 3000, b = 6000, P = 10000, I = 1e8, k = (I / b) / (I / h);
  Model m;
  const int set = m.non_design(1e8, I, I, 2 * I);
  const int base1 = m.node(0, 0, 0), top1 = m.node(0, 0, h), top2 = m.node(b, 0, h), base2 = m.node(b, 0, 0);
  m.element(base1, top1, set);
  m.element(top1, top2, set);
  m.element(base2, top2, set);
  ModelFileCase& c = m.add_case();
  Model::clamp(c, base1);
  Model::clamp(c, base2);
  Model::load(c, top1, 1, P);
  const FrameForces forces = analyse_frame(with_diameters(m.f, 0));
  const auto& members = forces.by_state[0].members;
  const double base = P * h / 2 * (3 * k + 1) / (6 * k + 1), corner = P * h / 2 * 3 * k / (6 * k + 1);
  const double tolerance = 1e-5 * base;
  for (int column : {0, 2}) {
    EXPECT_NEAR(std::hypot(members[static_cast<size_t>(column)].end1[4], members[static_cast<size_t>(column)].end1[5]), base, tolerance);
    EXPECT_NEAR(std::hypot(members[static_cast<size_t>(column)].end2[4], members[static_cast<size_t>(column)].end2[5]), corner, tolerance);
    EXPECT_NEAR(std::hypot(members[static_cast<size_t>(column)].end1[1], members[static_cast<size_t>(column)].end1[2]), P / 2, 1e-5 * P);
  }
  EXPECT_NEAR(members[1].largest_moment(), corner, tolerance);
  EXPECT_NEAR(members[1].end1[0], -P / 2, 1e-5 * P);
  EXPECT_NEAR(members[0].end1[0], (P * h - 2 * base) / b, 1e-5 * P);
  EXPECT_NEAR(members[2].end1[0], -(P * h - 2 * base) / b, 1e-5 * P);
}

// A cantilever bar of an unsymmetric sketch (points from W -10 to 30, H -20 to 50 about the
// bar's axis) with 500 N along H at its tip and 2000 N of tension.
TEST(MemberForces, ADrawnSectionIsCheckedAtItsExtremeFibre) {
  const double L = 800, A = 600, Iw = 4e5, Ih = 9e5;
  Model m;
  const int n1 = m.node(0, 0, 0), n2 = m.node(L, 0, 0);
  m.element(n1, n2, m.non_design(A, Iw, Ih, 1e5), {0, 1, 0});
  ModelFileCase& c = m.add_case();
  Model::clamp(c, n1);
  Model::load(c, n2, 3, 500);
  Model::load(c, n2, 1, 2000);
  ShownFrame f = with_diameters(m.f, 0);
  f.fibres[0] = {{-10, 50}, {30, 50}, {30, -20}, {-10, -20}};
  const FrameForces forces = analyse_frame(f);
  // My = -500 L at the root: fibres at H = -20 are in tension, 2000 / A + 500 L 20 / Iw = 23.33;
  // those at H = 50 in compression, 2000 / A - 500 L 50 / Iw = -46.67: the larger in size wins.
  const FrameChecks checks = check_frame(f, forces, {235, 1.0});
  EXPECT_NEAR(checks.by_state[0][0].stress, 500 * L * 50 / Iw - 2000 / A, 1e-9);
  EXPECT_EQ(checks.by_state[0][0].governs, Governs::yield);
  EXPECT_EQ(checks.by_state[0][0].section_class, 0);
  EXPECT_FALSE(checks.by_state[0][0].ratio_of(Governs::bending));  // not checked as a round member
  // Without a sketch the circle of its area stands in: r = sqrt(A / pi).
  f.fibres[0].clear();
  EXPECT_NEAR(check_frame(f, forces, {235, 1.0}).by_state[0][0].stress,
              2000 / A + 500 * L * std::sqrt(A / pi) / Iw, 1e-9);
}

// A drawn section keeps its two checks over its buckling member: a bar of A = 100, I_W = 2e4 and
// I_H = 5e3 mm4, 1000 mm, pinned, pushed with 5000 N: N_cr = pi^2 E I_H / L^2 = 9869.6 N, so
// Euler buckling 0.50661 governs over 50 / 235 = 0.21277; two such bars in line through a node
// nothing holds buckle over 2000 mm, at four times the ratio.
TEST(MemberForces, ADrawnStrutBucklesAboutItsWeakerAxisOverItsChain) {
  auto strut = [](int pieces) {
    Model m;
    const int set = m.non_design(100, 2e4, 5e3, 2.5e4);
    int last = m.node(0, 0, 0);
    const int first = last;
    for (int k = 1; k <= pieces; ++k) {
      const int next = m.node(1000.0 * k, 0, 0);
      m.element(last, next, set);
      last = next;
    }
    ModelFileCase& c = m.add_case();
    for (size_t dof = 0; dof < 4; ++dof) c.fixed[static_cast<size_t>(first - 1)][dof] = true;
    c.fixed[static_cast<size_t>(last - 1)][1] = c.fixed[static_cast<size_t>(last - 1)][2] = true;
    Model::load(c, last, 1, -5000);
    return with_diameters(m.f, 0);
  };
  const ShownFrame one = strut(1), two = strut(2);
  const MemberCheck k = check_frame(one, analyse_frame(one), {235, 1.0}).by_state[0][0];
  EXPECT_NEAR(k.euler, pi * pi * E * 5e3 / 1e6, 1e-6);
  EXPECT_NEAR(k.ratio_of(Governs::euler).value(), 5000 / (pi * pi * E * 5e3 / 1e6), 1e-9);
  EXPECT_NEAR(k.ratio_of(Governs::yield).value(), 50.0 / 235, 1e-9);
  EXPECT_EQ(k.governs, Governs::euler);
  const CheckSettings factored{235, 1.0, "S235", false, 1.1, 1.0};
  EXPECT_NEAR(check_frame(one, analyse_frame(one), factored).by_state[0][0].ratio_of(Governs::yield).value(), 1.1 * 50 / 235, 1e-9);
  const FrameChecks chained = check_frame(two, analyse_frame(two), {235, 1.0});
  EXPECT_NEAR(chained.by_state[0][1].ratio_of(Governs::euler).value(), 4 * 5000 / (pi * pi * E * 5e3 / 1e6), 1e-9);
  EXPECT_NEAR(chained.by_state[0][1].l_cr, 2000, 1e-9);
}

}  // namespace

namespace {
// The ultimate state of a cantilever column in two elements under 1.5 times its load buckles at
// Euler's load over twice its length; the serviceability state is not asked.
TEST(FrameStability, UltimateStatesBuckleAtTheirFactoredLoads) {
  const double P = 1000, d = 20, L = 1000;
  Model m;
  const int top = m.node(0, 0, L), middle = m.node(0, 0, L / 2), base = m.node(0, 0, 0);
  m.element(base, middle, m.design());
  m.element(middle, top, 1);
  ModelFileCase& c = m.add_case();
  Model::clamp(c, base);
  Model::load(c, top, 3, -P);
  const ShownFrame f = with_diameters(m.f, d);
  Loading loading;
  loading.combinations = {{"U", LimitState::uls, 0, {1.5}}, {"S", LimitState::sls, 0, {1}}};
  const FrameForces forces = analyse_frame(f, loading);
  const std::vector<StateStability> stability = frame_stability(f, forces, {1, 1});
  ASSERT_EQ(stability.size(), 1u);
  EXPECT_EQ(stability[0].state, 0);
  const double euler = pi * pi * E * (pi * std::pow(d, 4) / 64) / std::pow(2 * L, 2);
  EXPECT_NEAR(stability[0].buckling.alpha * 1.5 * P / euler, 1, 1e-3);
  EXPECT_EQ(stability[0].buckling.mode_node, top - 1);
  EXPECT_EQ(stability_text(forces, stability), "Critical load factor alpha_cr " + significant_text(stability[0].buckling.alpha, 3) + " (combination U)");
  // The largest displacement of the serviceability state is the tip's, node 1.
  const std::string summary = summary_text(f, summarise(forces, check_frame(f, forces, {}), {1, 1}), "the column");
  EXPECT_NE(summary.find(" mm at node 1 at (0, 0, 1000), combination S."), std::string::npos) << summary;
}

// The summary names the most utilised member counted, wherever it stands: the thinner second
// strut, and the first when the second is not counted.
TEST(FrameSummary, NamesTheMostUtilisedMemberCounted) {
  const Model m = test_support::two_struts(20000);
  const ShownFrame f = frame_of(m.f, {30, 20});
  const FrameForces forces = analyse_frame(f);
  const FrameChecks checks = check_frame(f, forces, {});
  ASSERT_GT(checks.envelope[1].utilisation, checks.envelope[0].utilisation);
  EXPECT_EQ(summarise(forces, checks, {1, 1}).member, 1);
  EXPECT_EQ(summarise(forces, checks, {1, 0}).member, 0);
}
}  // namespace
