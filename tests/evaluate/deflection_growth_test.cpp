// Standard sizes grown for the deflection limit: the fall of a deflection by virtual work, the
// choice of the members to grow, and the frames it gives.
#include <gtest/gtest.h>

#include <cmath>

#include "evaluate/built_frame.h"
#include "evaluate/deflection_growth.h"
#include "evaluate/frame_judgement.h"
#include "formats/json.h"
#include "formats/numtext.h"
#include "support/model_builder.h"

namespace {

using test_support::E;
using test_support::Model;
constexpr double pi = 3.14159265358979323846;

// A cantilever of 1000 mm along L, clamped at node 1, and a short arm of 100 mm hanging from its
// tip down to node 3, loaded there by 100 N along W. Node 3 moves along W by
// P (L^3 / (3 E I1) + h^2 L / (G J1) + h^3 / (3 E I2)), J1 = 2 I1: the cantilever's bending and
// twist give nearly all of it, the arm's bending a thousandth; per kilogram the cantilever
// stiffens it most by far.
Model hanging_arm() {
  Model m;
  const int set = m.design();
  const int root = m.node(0, 0, 0), tip = m.node(1000, 0, 0), end = m.node(1000, 0, -100);
  m.element(root, tip, set);
  m.element(tip, end, set);
  ModelFileCase& c = m.add_case();
  Model::clamp(c, root);
  Model::load(c, end, 2, 100);
  return m;
}
double arm_deflection(double I1, double I2) {
  return 100 * (1e9 / (3 * E * I1) + 1e4 * 1000 / (test_support::G * 2 * I1) + 1e6 / (3 * E * I2));
}

const CheckSettings steel{235, 1.0};

struct Sized {
  ShownFrame f;
  FrameForces forces;
  Sizing s;
};
Sized sized(const Model& m, const Loading& loading, SizingOptions o = {}) {
  Sized x{frame_of(m.f, std::vector<double>(m.f.elements.size(), 10)), {}, {}};
  x.forces = analyse_frame(x.f, loading);
  x.s = size_members(x.f, x.forces, default_sections(), steel, loading, o);
  return x;
}
Loading limited(double mm) {
  Loading l;
  l.deflection_limit = mm;
  return l;
}

// Fixed at the root, the tip of a cantilever falls by P L^3 / (3 E I); per mm4 more, by its
// derivative P L^3 / (3 E I^2), and by half when I doubles; an axial stiffening changes nothing.
// With the self-weight on (factored in a combination), a small change of either member of the
// arm moves node 3 along its direction as foretold.
TEST(DeflectionGrowth, TheFallOfADeflectionByVirtualWork) {
  Model m;
  const int set = m.design();
  m.element(m.node(0, 0, 0), m.node(1000, 0, 0), set);
  Model::clamp(m.add_case(), 1);
  Model::load(m.f.cases[0], 2, 3, -100);
  const ShownFrame bar = frame_of(m.f, {20});
  const FrameForces bar_forces = analyse_frame(bar);
  const Movement tip = largest_movement(bar_forces);
  const double I = pi * std::pow(20.0, 4) / 64;
  ASSERT_EQ(tip.node, 1);
  EXPECT_NEAR(tip.value, 100 * 1e9 / (3 * E * I), 1e-9);
  const DeflectionSensitivity bar_sense = deflection_sensitivity(bar, bar_forces, {}, tip);
  EXPECT_NEAR(bar_sense.moment[0], 100 * 1e9 / (3 * E * I * I), 1e-9 * bar_sense.moment[0]);
  EXPECT_NEAR(bar_sense.area[0], 0, 1e-15);
  EXPECT_EQ(bar_sense.weight[0], 0);  // the self-weight is off
  // Nothing else carries the load: twice the second moment halves the deflection, as foretold.
  const Section twice{bar.sections[0].values.A, 2 * I, 2 * I, 4 * I};
  EXPECT_NEAR(bar_sense.fall(0, bar.sections[0].values, twice), tip.value / 2, 1e-9 * tip.value);

  // Ten times steel, so that the weight counts, and twice over in the one state.
  const Loading heavy{true, "-H", 78500, {{"S", LimitState::sls, 2, {1}}}};
  const ShownFrame arm = frame_of(hanging_arm().f, {12, 8});
  const FrameForces forces = analyse_frame(arm, heavy);
  const Movement moved = largest_movement(forces);
  ASSERT_EQ(moved.node, 2);
  const DeflectionSensitivity sense = deflection_sensitivity(arm, forces, heavy, moved);
  const auto& u = forces.displacements[0][2];
  for (size_t j = 0; j < 2; ++j)
    for (const Section& step : {Section{1, 0, 0, 0}, Section{0, 1, 1, 2}}) {
      ShownFrame stiffer = arm;
      Section& s = stiffer.sections[j].values;
      const Section was = s;
      const double by = 1e-3 * (step.A > 0 ? s.A : s.Iw);
      s = {s.A + by * step.A, s.Iw + by * step.Iw, s.Ih + by * step.Ih, s.J + by * step.J};
      const auto v = analyse_frame(stiffer, heavy).displacements[0][2];  // a copy: the analysis is a temporary
      const double along = (v[0] * u[0] + v[1] * u[1] + v[2] * u[2]) / moved.value;
      const double fall = sense.fall(j, was, s);
      EXPECT_NEAR(fall, moved.value - along, 3e-3 * std::abs(fall)) << j << " " << step.A;
      if (step.A > 0) {
        EXPECT_LT(fall, 0) << j;  // heavier and no stiffer across: it sags more
      }
    }
}

// Worked by hand: item 0's options (mass, fall) (1, 4), (2, 5), (3, 9) make the steps 0 (4 per
// unit of mass), then 2 (2.5); item 1's (1, 3) and (2, -1) the step 0 (3). Steps are taken best
// first; the one that covers the need takes the lightest option of its item that still does,
// though (2, 5) lies below the hull; then an item taken early falls back when the others cover.
TEST(DeflectionGrowth, MembersGrowMostFallPerMassFirst) {
  const std::vector<std::vector<GrowthOption>> options{{{1, 4}, {2, 5}, {3, 9}}, {{1, 3}, {2, -1}}};
  EXPECT_EQ(choose_growth(options, 0), (std::vector<int>{-1, -1}));
  EXPECT_EQ(choose_growth(options, 3), (std::vector<int>{0, -1}));
  EXPECT_EQ(choose_growth(options, 6), (std::vector<int>{0, 0}));
  EXPECT_EQ(choose_growth(options, 8), (std::vector<int>{1, 0}));
  EXPECT_EQ(choose_growth(options, 10), (std::vector<int>{2, 0}));
  EXPECT_EQ(choose_growth(options, 100), (std::vector<int>{2, 0}));  // not covered: all that helps
  EXPECT_EQ(choose_growth({{{0, 5}, {1, -2}}}, 1), std::vector<int>{-1});  // nothing for nothing, nothing that sags
  // Item 0 (1, 2) is taken first (2 per unit), then item 1's (3, 5) (1.67) covers 4 alone: item 0
  // is let go.
  EXPECT_EQ(choose_growth({{{1, 2}}, {{1, 1.5}, {3, 5}}}, 4), (std::vector<int>{-1, 1}));
}

// Sized for strength, the arm deflects past 5 mm; grown for it, only the cantilever grows, to the
// lightest section that meets the limit (any lighter one deflects past it or fails), the arm keeps
// its section, and every member still passes.
TEST(DeflectionGrowth, TheMemberThatStiffensMostPerKilogramGrowsUntilTheLimitIsMet) {
  const Model m = hanging_arm();
  const Sized strength = sized(m, {});
  const double before = deflection(strength.forces, envelope_state, 5).ratio;
  ASSERT_GT(before, 1.5);
  EXPECT_FALSE(strength.s.for_deflection);
  const Sized x = sized(m, limited(5));
  EXPECT_TRUE(x.s.for_deflection);
  EXPECT_TRUE(x.s.deflection_met()) << x.s.deflection_ratio;
  EXPECT_FALSE(x.s.stuck);
  EXPECT_EQ(x.s.grown, 1);
  EXPECT_EQ(x.f.sections[1].name, strength.f.sections[1].name);
  EXPECT_NE(x.f.sections[0].name, strength.f.sections[0].name);
  const double I1 = x.f.sections[0].values.Iw, I2 = x.f.sections[1].values.Iw;
  EXPECT_NEAR(largest_movement(x.forces).value, arm_deflection(I1, I2), 1e-6 * arm_deflection(I1, I2));
  EXPECT_NEAR(x.s.deflection_ratio, arm_deflection(I1, I2) / 5, 1e-6);
  EXPECT_NEAR(x.s.grown_volume, 1000 * (x.f.sections[0].values.A - strength.f.sections[0].values.A), 1e-6);
  std::printf("cantilever %s (%.4g mm) grown to %s (%.4g mm) in %d rounds\n", strength.f.sections[0].name.c_str(),
              largest_movement(strength.forces).value, x.f.sections[0].name.c_str(), largest_movement(x.forces).value,
              x.s.growth_rounds);
  const FrameJudgement judged = judge_frame(x.f, x.forces, steel, limited(5), {1, 1});
  for (const MemberEnvelope& e : judged.checks.envelope) EXPECT_LE(e.utilisation, 1);
  EXPECT_TRUE(x.s.failing.empty());
  for (const StandardSection& s : default_sections()) {
    const MemberSection t = standard_member(s);
    if (t.values.A >= x.f.sections[0].values.A) continue;
    ShownFrame lighter = x.f;
    lighter.sections[0] = t;
    const FrameForces forces = analyse_frame(lighter);
    EXPECT_TRUE(largest_movement(forces).value > 5 ||
                judge_frame(lighter, forces, steel, {}, {1, 1}).checks.envelope[0].utilisation > 1)
        << s.name;
  }
}

// With combinations only the serviceability one is held to the limit: the arm grows until it
// meets it, with its own weight, though the ultimate one, at 1.5 times the load, deflects past it.
TEST(DeflectionGrowth, OnlyTheServiceabilityStatesAreHeldToTheLimit) {
  Loading loading{true, "-H", 7850, {{"S", LimitState::sls, 1, {1}}, {"U", LimitState::uls, 1.35, {1.5}}}, 5};
  const Sized x = sized(hanging_arm(), loading);
  EXPECT_TRUE(x.s.deflection_met()) << x.s.deflection_ratio;
  EXPECT_GT(x.s.grown, 0);
  ASSERT_EQ(x.forces.states.size(), 2u);
  const double service = largest_movement(x.forces, 0).value, ultimate = largest_movement(x.forces, 1).value;
  EXPECT_LE(service, 5);
  EXPECT_GT(ultimate, 5);
  EXPECT_NEAR(x.s.deflection_ratio, service / 5, 1e-12);
  EXPECT_TRUE(x.s.failing.empty());
}

// The status line and the window's dump say what the growth did: the mass it added, or by how
// much the frame stays past a limit that no section meets, or that the rounds ran out.
TEST(DeflectionGrowth, TheLineSaysWhatGrewOrHowFarTheLimitIsMissed) {
  const Model m = hanging_arm();
  const std::vector<StandardSection> sizes = default_sections();
  const auto build = [&](double limit, SizingOptions o = {}) {
    const ShownFrame f = frame_of(m.f, {10, 10});
    return build_frame({f, analyse_frame(f)}, {1, 1}, &sizes, steel, limited(limit), o);
  };
  const BuiltFrame met = build(5);
  ASSERT_TRUE(met.sizing);
  const std::string kg = significant_text(met.sizing->grown_volume * 7850e-9, 3);
  const std::string line = built_status(met, 7850, "", {{}, 2.0});
  EXPECT_NE(line.find("); grown for the deflection limit: 1 member, +" + kg + " kg."), std::string::npos) << line;
  EXPECT_EQ(line.find("chosen for strength"), std::string::npos) << line;
  JsonWriter j;
  j.begin_object();
  write_built_json(j, met, 2);
  j.end_object();
  EXPECT_NE(j.str().find("\"deflection_growth\":{\"met\":true,\"ratio\":"), std::string::npos) << j.str();
  EXPECT_NE(j.str().find(",\"members\":1,\"volume\":"), std::string::npos) << j.str();

  // No section of the list holds node 3 within 0.01 micrometre: both members end in the largest.
  const BuiltFrame missed = build(1e-5);
  ASSERT_TRUE(missed.sizing);
  EXPECT_TRUE(missed.sizing->stuck);
  EXPECT_FALSE(missed.sizing->deflection_met());
  EXPECT_EQ(missed.clean.frame.sections[0].name, "CHS 406.4x10");
  const double ratio = largest_movement(*missed.clean.forces).value / 1e-5;
  EXPECT_NEAR(missed.sizing->deflection_ratio, ratio, 1e-9 * ratio);
  const std::string stuck = built_status(missed, 7850, "", {{}, ratio});
  EXPECT_NE(stuck.find("; the deflection limit cannot be met: " + significant_text(ratio, 3) + " times the limit with 2 "
                       "members grown, +" + significant_text(missed.sizing->grown_volume * 7850e-9, 3) +
                       " kg, and no larger section that passes reduces it."),
            std::string::npos)
      << stuck;

  SizingOptions none;
  none.growth_rounds = 0;
  const BuiltFrame unrounded = build(5, none);
  const std::string out = built_status(unrounded, 7850, "", {{}, 2.0});
  EXPECT_NE(out.find("; the deflection limit is not met: " + significant_text(unrounded.sizing->deflection_ratio, 3) +
                     " times the limit with no member grown, after 0 rounds of growth."),
            std::string::npos)
      << out;
  // A frame exactly at the limit meets it: nothing grows, and nothing is tried.
  const double at = largest_movement(*build(0).clean.forces).value;
  const BuiltFrame exact = build(at);
  EXPECT_TRUE(exact.sizing->deflection_met());
  EXPECT_EQ(exact.sizing->deflection_ratio, 1.0);
  EXPECT_EQ(exact.sizing->grown, 0);
  EXPECT_EQ(exact.sizing->growth_rounds, 0);
  EXPECT_FALSE(exact.sizing->stuck);
  EXPECT_EQ(built_status(exact, 7850, "", {{}, 1.0}).find("deflection limit"), std::string::npos);
  // Sized without a limit, the line keeps saying that the sizes are for strength alone.
  const BuiltFrame plain = build(0);
  EXPECT_FALSE(plain.sizing->for_deflection);
  EXPECT_NE(built_status(plain, 7850, "", {{}, 2.0}).find("the sections are chosen for strength, and the frame deflects past the limit"),
            std::string::npos);
}

}  // namespace
