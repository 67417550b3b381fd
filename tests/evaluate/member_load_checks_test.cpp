// The member checks under a uniform member load, whose largest moment and stress lie inside the
// member.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "evaluate/drawn_section_check.h"
#include "evaluate/member_checks.h"
#include "evaluate/steel_design.h"
#include "section/typical_shapes.h"

namespace {

constexpr double E = 210000;

// A member of length L with a uniform load q (own axes) and end 1's resultants f1; end 2 from
// its equilibrium.
MemberForces loaded(double L, const std::array<double, 3>& q, const EndForces& f1) {
  MemberForces m;
  m.length = L;
  m.load = q;
  m.end1 = f1;
  m.end2 = m.at(L * (1 - 1e-15));
  m.end2[0] = f1[0] - q[0] * L;
  m.end2[1] = f1[1] - q[1] * L;
  m.end2[2] = f1[2] - q[2] * L;
  return m;
}

// Simply supported, w down (-z): My = -w x (L - x) / 2, N along it.
MemberForces simply_supported(double L, double w, double N = 0) {
  return loaded(L, {0, 0, -w}, {N, 0, -w * L / 2, 0, 0, 0});
}

TEST(MemberLoadChecks, TheUniformLoadRowsOfTableB3) {
  // alpha_s rows: the smaller end moment psi M_h, the span moment alpha_s M_h.
  EXPECT_NEAR(moment_factor_uniform(-12, 6, -12), 0.5, 1e-12);     // fixed-ended: alpha_s -1/2, psi 1
  EXPECT_NEAR(moment_factor_uniform(10, -5, -5), 0.55, 1e-12);     // alpha_s -1/2, psi -1/2
  EXPECT_NEAR(moment_factor_uniform(10, 8, 5), 0.84, 1e-12);       // alpha_s 0.8
  EXPECT_NEAR(moment_factor_uniform(10, 1, 5), 0.4, 1e-12);        // 0.28, at least 0.4
  // alpha_h rows: the span moment larger.
  EXPECT_NEAR(moment_factor_uniform(0, 8, 0), 0.95, 1e-12);        // simply supported
  EXPECT_NEAR(moment_factor_uniform(4, 8, 2), 0.975, 1e-12);       // alpha_h 1/2
  EXPECT_NEAR(moment_factor_uniform(-4, 8, 1), 0.95 - 0.025 * 0.5, 1e-12);  // alpha_h -1/2, psi -1/4
  EXPECT_NEAR(moment_factor_uniform(-4, 8, -2), 0.95 - 0.025, 1e-12);       // psi 1/2: no (1 + 2 psi)
  EXPECT_EQ(moment_factor_uniform(0, 0, 0), 1);
  // A vanishing load leaves the straight-line moment: the linear row's value.
  for (double psi : {-1.0, -0.6, -0.25, 0.0, 0.4, 1.0})
    EXPECT_NEAR(moment_factor_uniform(10, 5 * (1 + psi), 10 * psi), moment_factor(10, 10 * psi), 1e-12) << psi;
}

// A plate 100 x 10 (W x H) simply supported over 2000 mm, 3 N/mm down: at midspan
// w L^2 / 8 = 1.5e6 N mm over Iw = 100 x 10^3 / 12 gives 180 N/mm2 at the faces; the ends carry none.
TEST(MemberLoadChecks, ADrawnSectionIsCheckedWhereTheMomentPeaks) {
  SectionTable t;
  t.n_sec = 1;
  t.pnt_xy(1, 1, 1) = -50, t.pnt_xy(1, 1, 2) = 0, t.pnt_xy(1, 2, 1) = 50, t.pnt_xy(1, 2, 2) = 0;
  t.n_pnt(1) = 2;
  t.n_line(1) = 1;
  t.line_pnt(1, 1, 1) = 1, t.line_pnt(1, 1, 2) = 2;
  t.line_t(1, 1) = 10;
  const double L = 2000, w = 3, stress = w * L * L / 8 * 5 / (100.0 * 1000 / 12);
  const MemberForces m = simply_supported(L, w, 1000);
  const DrawnSectionCheck k = check_drawn_section(t, 1, m, E, L, {235, 1.0, 1.0});
  EXPECT_NEAR(k.stress, stress + 1000.0 / 1000, 1e-6 * stress);  // the tension adds N / A on one face
  EXPECT_EQ(k.stress_end, 0);
  EXPECT_NEAR(k.stress_x, L / 2, 1e-6 * L);

  // The same from the sketch points of a general section.
  const Section plate{1000, 100.0 * 1000 / 12, 10.0 * 1e6 / 12, 1};
  EXPECT_NEAR(largest_stress(general_member(plate), {{-50, -5}, {50, 5}}, m), stress + 1, 1e-6 * stress);
}

// A tube whose tension grows along it while the moment peaks at midspan: the largest of
// |N| / A + |M| / W sampled finely, which lies neither at an end nor at the moment's peak.
TEST(MemberLoadChecks, ARoundStressPeaksWhereAxialAndBendingTogetherDo) {
  const RoundSection tube{60, 3};
  const double A = tube.area(), W = tube.elastic_modulus();
  const MemberForces m = loaded(3000, {-40, 0, -2}, {60000, 0, -3000, 0, 0, 0});
  double sampled = 0, at_peak_moment = 0;
  for (int i = 0; i <= 200000; ++i) {
    const EndForces f = m.at(m.length * i / 200000);
    sampled = std::max(sampled, std::fabs(f[0]) / A + std::hypot(f[4], f[5]) / W);
  }
  for (const auto& s : m.peak_sections())
    at_peak_moment = std::max(at_peak_moment, std::fabs(s.forces[0]) / A + std::hypot(s.forces[4], s.forces[5]) / W);
  ASSERT_GT(sampled, at_peak_moment * 1.001);  // the moment's peak alone would miss it
  const MemberCheck k = check_round_member(tube, E, {3000, false}, m, {});
  EXPECT_NEAR(k.stress, sampled, 1e-6 * sampled);
  EXPECT_GE(k.stress, sampled * (1 - 1e-12));
  EXPECT_NEAR(largest_stress(tube_member(60, 3, ""), {}, m), sampled, 1e-6 * sampled);
}

// A column under its own weight along it: compression at its foot, tension at its head.
TEST(MemberLoadChecks, AxialForceAndShearAreTakenWhereLargest) {
  const RoundSection rod{30, 0};
  const double L = 2000, N_Rd = rod.area() * 235;
  const MemberForces m = loaded(L, {-60, 0, 3}, {-70000, 0, 2000, 0, 0, 0});  // N: -70 kN to +50 kN
  const MemberCheck k = check_round_member(rod, E, {L, false}, m, {});
  EXPECT_NEAR(k.axial, -70000, 1e-9);
  EXPECT_NEAR(*k.ratio_of(Governs::tension), 50000 / N_Rd, 1e-12);
  EXPECT_NEAR(*k.ratio_of(Governs::compression), 70000 / N_Rd, 1e-12);
  EXPECT_NEAR(*k.ratio_of(Governs::shear), 4000 / (rod.shear_area() * 235 / std::sqrt(3.0)), 1e-12);
}

// A class 1 tube column, pinned, 4 m, 50 kN and 1.5 N/mm across: M = w L^2 / 8 at midspan with
// C_m = 0.95, k_yy = C_m (1 + min(lambda - 0.2, 0.8) n) (Table B.1, plastic).
TEST(MemberLoadChecks, ABeamColumnTakesTheUniformLoadFactor) {
  const RoundSection tube{114.3, 5};
  const double L = 4000, w = 1.5, N = 50000, M = w * L * L / 8;
  const MemberForces m = simply_supported(L, w, -N);
  const MemberCheck k = check_round_member(tube, E, {L, false}, m, {});
  EXPECT_NEAR(k.moment, M, 1e-9 * M);
  const double n = N / (k.chi * tube.area() * 235), my = M / (tube.plastic_modulus() * 235);
  const double kyy = 0.95 * (1 + std::min(k.lambda_bar - 0.2, 0.8) * n);
  EXPECT_NEAR(*k.ratio_of(Governs::interaction), n + kyy * my, 1e-9);
  // The same load along W bends it about H, with the same C_m.
  const MemberForces across = loaded(L, {0, -w, 0}, {-N, -w * L / 2, 0, 0, 0, 0});
  EXPECT_NEAR(*check_round_member(tube, E, {L, false}, across, {}).ratio_of(Governs::interaction), n + kyy * my, 1e-9);
  // Over several elements in line the moments of one say nothing of the whole: C_m 1.
  const MemberCheck chain = check_round_member(tube, E, {L, true}, m, {});
  EXPECT_NEAR(*chain.ratio_of(Governs::interaction), n + kyy / 0.95 * my, 1e-9);
}

}  // namespace
