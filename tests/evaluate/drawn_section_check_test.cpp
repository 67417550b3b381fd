// The checks of a drawn section against hand formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "evaluate/drawn_section_check.h"
#include "evaluate/member_checks.h"
#include "section/typical_shapes.h"

namespace {
constexpr int s = 1;
constexpr double pi = std::numbers::pi;

SectionTable table_of(std::initializer_list<std::array<float, 5>> lines) {
  SectionTable t;
  t.n_sec = s;
  for (const auto& l : lines) {
    const int p = t.n_pnt(s), n = ++t.n_line(s);
    t.pnt_xy(s, p + 1, 1) = l[0], t.pnt_xy(s, p + 1, 2) = l[1];
    t.pnt_xy(s, p + 2, 1) = l[2], t.pnt_xy(s, p + 2, 2) = l[3];
    t.n_pnt(s) = static_cast<int16_t>(p + 2);
    t.line_pnt(s, n, 1) = static_cast<int16_t>(p + 1);
    t.line_pnt(s, n, 2) = static_cast<int16_t>(p + 2);
    t.line_t(s, n) = l[4];
  }
  return t;
}

MemberForces at_both_ends(const EndForces& f) { return {f, f}; }

// The 80 x 50 x 6 angle on its centre lines, corner at the origin, by hand.
struct Angle {
  SectionTable table = table_of({{0, 0, 80, 0, 6}, {0, 0, 0, 50, 6}});
  double area = 780, wc = 480.0 * 40 / 780, hc = 300.0 * 25 / 780;
  double iw = 80.0 * 216 / 12 + 480 * hc * hc + 6.0 * 125000 / 12 + 300 * (25 - hc) * (25 - hc);
  double ih = 6.0 * 512000 / 12 + 480 * (40 - wc) * (40 - wc) + 50.0 * 216 / 12 + 300 * wc * wc;
  double iwh = 480 * (40 - wc) * (0 - hc) + 300 * (0 - wc) * (25 - hc);
  // sigma = N / A + [(Mw Ih + Mh Iwh) h' - (Mh Iw + Mw Iwh) w'] / (Iw Ih - Iwh^2), w' and h'
  // from the centroid, the moments about it.
  double stress(double n, double mw, double mh, double w, double h) const {
    const double dw = w - wc, dh = h - hc;
    return n / area + ((mw * ih + mh * iwh) * dh - (mh * iw + mw * iwh) * dw) / (iw * ih - iwh * iwh);
  }
  // The eight outer corners of the two legs.
  std::vector<std::array<double, 2>> corners() const {
    return {{0, 3}, {80, 3}, {80, -3}, {0, -3}, {-3, 0}, {-3, 50}, {3, 50}, {3, 0}};
  }
};
}  // namespace

// 100 x 2 bent about its weak axis by M = 100000 N mm: M / (100 x 2^2 / 6) = 1500 N/mm2 at
// the faces, not 0 at the centre line; about its strong axis M 50 / (2 x 100^3 / 12).
TEST(DrawnSectionCheck, PlateStressAtTheWallFace) {
  const SectionTable plate = table_of({{-50, 0, 50, 0, 2}});
  const DrawnCheckSettings steel{235, 1.05, 1.0};
  const DrawnSectionCheck weak = check_drawn_section(plate, s, at_both_ends({0, 0, 0, 0, 1e5, 0}), 210000, 1000, steel);
  EXPECT_NEAR(weak.stress, 1500, 1e-9);
  EXPECT_NEAR(std::fabs(weak.stress_at[1]), 1, 1e-12);
  // Stood upright and bent about H alike; of its equal stresses the first corner of the first
  // end is named.
  const DrawnSectionCheck upright = check_drawn_section(table_of({{0, -50, 0, 50, 2}}), s,
                                                        at_both_ends({0, 0, 0, 0, 0, 1e5}), 210000, 1000, steel);
  EXPECT_NEAR(upright.stress, 1500, 1e-9);
  EXPECT_EQ(upright.stress_end, 1);
  EXPECT_EQ(upright.stress_at, (std::array<double, 2>{-1, -50}));
  EXPECT_NEAR(weak.stress_ratio, 1500 / (235 / 1.05), 1e-9);

  // The larger moment at end 2 governs there.
  const DrawnSectionCheck strong =
      check_drawn_section(plate, s, {{0, 0, 0, 0, 0, 2e5}, {0, 0, 0, 0, 0, -3e5}}, 210000, 1000, steel);
  EXPECT_NEAR(strong.stress, 3e5 * 50 / (2 * 1e6 / 12), 1e-9);
  EXPECT_EQ(strong.stress_end, 2);
  EXPECT_NEAR(std::fabs(strong.stress_at[0]), 50, 1e-12);
}

// An axial force at the corner of the angle (the sketch origin) also bends it about the
// centroid: Mw = -N Hc, Mh = N Wc. Moments about W and H at the origin add to them.
TEST(DrawnSectionCheck, AngleStressesAboutTheCentroid) {
  const Angle a;
  const DrawnSectionProperties d = drawn_section_properties(a.table, s);
  struct Case {
    double n, my, mz;
  };
  for (const Case c : {Case{1e4, 0, 0}, Case{-2e4, 3e5, 0}, Case{0, 0, -4e5}, Case{5e3, -1e5, 2e5}}) {
    const double mw = c.my - c.n * a.hc, mh = c.mz + c.n * a.wc;
    double largest = 0;
    for (const auto& p : a.corners()) {
      const double hand = a.stress(c.n, mw, mh, p[0], p[1]);
      EXPECT_NEAR(drawn_section_stress(d, {c.n, 0, 0, 0, c.my, c.mz}, p[0], p[1]), hand, 1e-9 * (1 + std::fabs(hand)))
          << c.n << " " << c.my << " " << c.mz << " at " << p[0] << ", " << p[1];
      largest = std::max(largest, std::fabs(hand));
    }
    const DrawnSectionCheck k = check_drawn_section(d, at_both_ends({c.n, 0, 0, 0, c.my, c.mz}), 210000, 1000, {});
    EXPECT_NEAR(k.stress, largest, 1e-9 * largest);
  }
  // N alone at the centroid stresses the section evenly.
  EXPECT_NEAR(drawn_section_stress(d, {780, 0, 0, 0, 780 * a.hc, -780 * a.wc}, 80, -3), 1, 1e-12);
}

// The angle as a 1 m column of E 210000, f_y 235, gamma_M1 1.1: it buckles about its weaker
// principal axis, i2 = 103397 mm4 (not 179325 about W through the centroid): N_cr = pi^2 E i2
// / L^2, lambda_bar = sqrt(A f_y / N_cr) = 0.925, curve c for an open section, and its
// torsional buckling is left unchecked. In tension nothing buckles.
TEST(DrawnSectionCheck, AngleColumnBucklesAboutItsWeakerPrincipalAxis) {
  const Angle a;
  const DrawnCheckSettings steel{235, 1.0, 1.1};
  const DrawnSectionCheck k = check_drawn_section(a.table, s, at_both_ends({-5e4, 0, 0, 0, 0, 0}), 210000, 1000, steel);
  const double n_cr = pi * pi * 210000 * 103397.24 / 1e6, lambda = std::sqrt(780 * 235 / n_cr);
  const double phi = (1 + 0.49 * (lambda - 0.2) + lambda * lambda) / 2;
  const double chi = 1 / (phi + std::sqrt(phi * phi - lambda * lambda));
  EXPECT_FALSE(k.closed);
  EXPECT_EQ(k.alpha, 0.49);
  EXPECT_NEAR(k.n_cr, n_cr, 0.1);
  EXPECT_NEAR(k.lambda_bar, 0.92484, 1e-5);
  EXPECT_NEAR(k.chi, chi, 1e-6);
  EXPECT_NEAR(k.n_b_rd, chi * 780 * 235 / 1.1, 0.1);
  EXPECT_NEAR(k.buckling_ratio, 5e4 / (chi * 780 * 235 / 1.1), 1e-6);
  EXPECT_TRUE(k.torsional_buckling_unchecked);
  EXPECT_NE(drawn_section_check_note(k), "");
  EXPECT_DOUBLE_EQ(k.utilisation(), std::max(k.stress_ratio, k.buckling_ratio));

  const DrawnSectionCheck pulled = check_drawn_section(a.table, s, at_both_ends({5e4, 0, 0, 0, 0, 0}), 210000, 1000, steel);
  EXPECT_EQ(pulled.buckling_ratio, 0);
  EXPECT_FALSE(pulled.torsional_buckling_unchecked);
  EXPECT_EQ(drawn_section_check_note(pulled), "");
}

// A 100 x 60 x 2 tube, 3 m long: closed, so curve b, about its weaker axis (W here:
// Iw = 2 (100 x 2 x 30^2 + 100 x 2^3 / 12) + 2 x 2 x 60^3 / 12). A short one does not buckle.
TEST(DrawnSectionCheck, TubeColumnOnCurveB) {
  SectionTable t;
  t.n_sec = s;
  make_rectangular_tube(t, s, 100, 60, 2);
  const double iw = 2 * (100 * 2 * 900.0 + 100.0 * 8 / 12) + 2 * (2 * 216000.0 / 12);
  const DrawnSectionCheck k = check_drawn_section(t, s, at_both_ends({-1e5, 0, 0, 0, 0, 0}), 210000, 3000, {});
  const double n_cr = pi * pi * 210000 * iw / 9e6, lambda = std::sqrt(640 * 235 / n_cr);
  const double phi = (1 + 0.34 * (lambda - 0.2) + lambda * lambda) / 2;
  const double chi = 1 / (phi + std::sqrt(phi * phi - lambda * lambda));
  EXPECT_TRUE(k.closed);
  EXPECT_EQ(k.alpha, 0.34);
  EXPECT_NEAR(k.lambda_bar, lambda, 1e-9);
  EXPECT_NEAR(k.buckling_ratio, 1e5 / (chi * 640 * 235), 1e-9);
  EXPECT_FALSE(k.torsional_buckling_unchecked);
  EXPECT_NEAR(k.stress, 1e5 / 640, 1e-9);

  const DrawnSectionCheck stub = check_drawn_section(t, s, at_both_ends({-1e5, 0, 0, 0, 0, 0}), 210000, 100, {});
  EXPECT_EQ(stub.chi, 1);
  EXPECT_NEAR(stub.buckling_ratio, 1e5 / (640 * 235), 1e-12);
}

// A section with nothing that carries fails under any force and passes unloaded.
TEST(DrawnSectionCheck, SectionWithoutWalls) {
  const SectionTable none = table_of({{0, 0, 50, 0, 0}});
  constexpr double inf = std::numeric_limits<double>::infinity();
  const DrawnSectionCheck loaded = check_drawn_section(none, s, {{}, {0, 0, 0, 0, 1, 0}}, 210000, 1000, {});
  EXPECT_EQ(loaded.utilisation(), inf);
  EXPECT_EQ(loaded.buckling_ratio, 0);
  EXPECT_EQ(check_drawn_section(none, s, at_both_ends({-1, 0, 0, 0, 0, 0}), 210000, 1000, {}).buckling_ratio, inf);
  EXPECT_EQ(check_drawn_section(none, s, {}, 210000, 1000, {}).utilisation(), 0);
}

// A non-design bar read with its results is checked with its drawn section about the centroid:
// the angle's buckling about i2 = 103397 mm4, not about the smaller of Iw and Ih through the
// sketch origin that the model file carries (251440 and 475000 mm4, 2.43 times i2).
TEST(DrawnSectionCheck, ANonDesignBarOfTheResultsIsCheckedAboutItsPrincipalAxes) {
  const Angle a;
  ModelFile m;
  m.n_node = 2, m.n_elem = 1, m.n_prop = 1;
  m.nodes = {{0, 0, 0}, {1000, 0, 0}};
  m.elements = {{1, 2, 1, {0, 1, 0}}};
  m.props = {{210000, 80000, 780, 251440, 475000, 726440, 0}};
  auto r = std::make_unique<ResultStore>();
  r->pn_node = 2, r->pn_elem = 1, r->pn_cyc = 1, r->pd_max = 20;
  r->pe_nod(1, 1) = 1, r->pe_nod(1, 2) = 2, r->pe_flag(1) = 1;
  r->sections = a.table;
  const ShownFrame f = shown_frame(*r, m, 1);
  ASSERT_EQ(f.drawn.size(), 1u);
  ASSERT_TRUE(f.drawn[0]);
  CheckSettings steel;
  steel.gamma_m1 = 1.1;
  const MemberCheck k = check_member(f, 0, f.sections[0], {1000, false}, at_both_ends({-5e4, 0, 0, 0, 0, 0}), steel);
  EXPECT_NEAR(k.euler, pi * pi * 210000 * 103397.24 / 1e6, 0.1);
  EXPECT_GT(k.ratio_of(Governs::buckling).value_or(0), 0.0);
}
