// EN 1993-1-1 for rods and circular tubes: the section's values, its class, the buckling curves
// and every check of one member in one load case.
#include "evaluate/steel_design.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "solver/frame.h"

namespace {
using std::numbers::pi;

// Effect over resistance; nothing to carry is 0 whatever the resistance, and something to carry
// with no resistance is infinitely over.
double ratio(double effect, double resistance) {
  if (effect == 0) return 0;
  return resistance > 0 ? effect / resistance : std::numeric_limits<double>::infinity();
}

// The largest |value| of one component of the resultants along the member.
double largest_along(const MemberForces& m, size_t k) {
  const auto component = [k](const EndForces& f) { return f[k]; };
  return std::fabs(m.largest_of(component).forces[k]);
}

// C_m about one axis from the moments of component k (4 or 5), whose plane takes the member
// load's component q: the uniform-load row of Table B.3 under such a load, else the linear one.
double axis_moment_factor(const MemberForces& m, size_t k, double q) {
  if (q == 0) return moment_factor(m.end1[k], m.end2[k]);
  return moment_factor_uniform(m.end1[k], m.at(m.length / 2)[k], m.end2[k]);
}

// The largest N / A + M / W_el along the member, N/mm2.
double largest_round_stress(const RoundSection& s, const MemberForces& m) {
  const double A = s.area(), W = s.elastic_modulus();
  double largest = 0;
  for (const MemberForces::Station& at : m.peak_sections(A > 0 ? W / A : 0))
    largest = std::max(largest, ratio(std::fabs(at.forces[0]), A) + ratio(std::hypot(at.forces[4], at.forces[5]), W));
  return largest;
}

// The largest resultant shear along the member, N: the shears are linear, so at an end.
double largest_shear(const MemberForces& m) {
  return std::max(std::hypot(m.end1[1], m.end1[2]), std::hypot(m.end2[1], m.end2[2]));
}

// Annex B, Table B.1, members not susceptible to torsional deformation (hollow sections):
// k_yy, k_yz, k_zy, k_zz from the C_m of each axis, lambda_bar and n = N_Ed / (chi N_Rk / gamma_M1).
struct InteractionFactors {
  double yy, yz, zy, zz;
};
InteractionFactors interaction_factors(bool plastic, double cm_y, double cm_z, double lambda_bar, double n) {
  if (plastic) {
    const double kyy = cm_y * (1 + std::min(lambda_bar - 0.2, 0.8) * n);
    const double kzz = cm_z * (1 + std::min(lambda_bar - 0.2, 0.8) * n);
    return {kyy, 0.6 * kzz, 0.6 * kyy, kzz};
  }
  const double kyy = cm_y * (1 + 0.6 * std::min(lambda_bar, 1.0) * n);
  const double kzz = cm_z * (1 + 0.6 * std::min(lambda_bar, 1.0) * n);
  return {kyy, kzz, 0.8 * kyy, kzz};
}
}  // namespace

double grade_yield(const std::string& grade) {
  static constexpr double yields[] = {235, 275, 355, 420, 460};
  for (size_t k = 0; k < steel_grades.size(); ++k)
    if (grade == steel_grades[k]) return yields[k];
  return 0;
}

const char* governs_name(Governs g) {
  switch (g) {
    case Governs::tension: return "tension";
    case Governs::compression: return "compression";
    case Governs::bending: return "bending";
    case Governs::axial_bending: return "axial and bending";
    case Governs::shear: return "shear";
    case Governs::buckling: return "buckling";
    case Governs::interaction: return "interaction";
    case Governs::slenderness: return "slenderness";
    case Governs::class4: return "class 4";
    case Governs::yield: return "yield";
    case Governs::euler: return "Euler buckling";
    case Governs::none: break;
  }
  return "-";
}

double imperfection_factor(BucklingCurve curve) {
  switch (curve) {
    case BucklingCurve::a0: return 0.13;
    case BucklingCurve::a: return 0.21;
    case BucklingCurve::b: return 0.34;
    case BucklingCurve::c: return 0.49;
    case BucklingCurve::d: break;
  }
  return 0.76;
}

double buckling_reduction(double lambda_bar, BucklingCurve curve) {
  if (lambda_bar <= 0.2) return 1;
  const double phi = 0.5 * (1 + imperfection_factor(curve) * (lambda_bar - 0.2) + lambda_bar * lambda_bar);
  return std::min(1.0, 1 / (phi + std::sqrt(phi * phi - lambda_bar * lambda_bar)));
}

BucklingCurve round_curve(bool solid, const CheckSettings& s) {
  if (solid || s.cold_formed) return BucklingCurve::c;
  return s.grade == "S460" ? BucklingCurve::a0 : BucklingCurve::a;
}

bool RoundSection::solid() const { return !(wall > 0) || 2 * wall >= outer; }
double RoundSection::area() const { return tube_section(outer, wall).A; }
double RoundSection::second_moment() const { return tube_section(outer, wall).Iw; }
double RoundSection::elastic_modulus() const { return outer > 0 ? second_moment() / (outer / 2) : 0; }
double RoundSection::plastic_modulus() const {
  const double inner = solid() ? 0 : outer - 2 * wall;
  return (outer * outer * outer - inner * inner * inner) / 6;
}
double RoundSection::shear_area() const { return solid() ? 0.9 * area() : 2 * area() / pi; }

double tube_class_limit(int section_class, double yield) {
  static constexpr double limits[] = {50, 70, 90};
  return limits[std::clamp(section_class, 1, 3) - 1] * (235 / yield);
}

int section_class(const RoundSection& s, double yield) {
  if (s.solid()) return 1;
  const double slender = s.outer / s.wall;
  for (int c = 1; c <= 3; ++c)
    if (slender <= tube_class_limit(c, yield)) return c;
  return 4;
}

double moment_factor(double m1, double m2) {
  const double larger = std::max(std::fabs(m1), std::fabs(m2));
  if (larger == 0) return 1;
  const double psi = std::fabs(m1) >= std::fabs(m2) ? m2 / m1 : m1 / m2;
  return std::max(0.4, 0.6 + 0.4 * psi);
}

double moment_factor_uniform(double m1, double m_mid, double m2) {
  const bool first = std::fabs(m1) >= std::fabs(m2);
  const double m_h = first ? m1 : m2, m_s = m_mid;
  if (m_h == 0 && m_s == 0) return 1;
  const double psi = m_h == 0 ? 0 : (first ? m2 : m1) / m_h;
  if (std::fabs(m_s) <= std::fabs(m_h)) {
    const double alpha_s = m_s / m_h;
    if (alpha_s >= 0) return std::max(0.4, 0.2 + 0.8 * alpha_s);
    return std::max(0.4, (psi >= 0 ? 0.1 : 0.1 * (1 - psi)) - 0.8 * alpha_s);
  }
  const double alpha_h = m_h / m_s;
  return 0.95 + 0.05 * alpha_h * (alpha_h < 0 && psi < 0 ? 1 + 2 * psi : 1);
}

double governing_axial(const MemberForces& m) {
  const double compression = m.compression();
  return compression > 0 ? -compression : m.tension();
}

MemberCheck check_round_member(const RoundSection& s, double E, const BucklingLength& b, const MemberForces& m,
                               const CheckSettings& settings) {
  MemberCheck k;
  const double fy = settings.yield, A = s.area(), I = s.second_moment();
  const double compression = m.compression(), largest_axial = std::max(compression, m.tension());
  k.axial = governing_axial(m);
  k.moment = m.largest_moment();
  k.stress = largest_round_stress(s, m);
  k.section_class = section_class(s, fy);
  // A ratio that is not a number (a section of no size) must not read as passing.
  auto set = [&k](Governs g, double r) {
    k.ratio[static_cast<size_t>(g)] = std::isnan(r) ? std::numeric_limits<double>::infinity() : r;
  };

  // Cross-section: class 1 and 2 plastic, class 3 (and class 4, for information) elastic.
  const bool plastic = k.section_class <= 2;
  const double W = plastic ? s.plastic_modulus() : s.elastic_modulus();
  const double N_Rd = A * fy / settings.gamma_m0;
  set(Governs::tension, ratio(m.tension(), N_Rd));
  set(Governs::compression, ratio(compression, N_Rd));

  // Shear with torsion (6.2.6, 6.2.7(9)): V_Ed / V_pl,Rd + tau_t / tau_Rd <= 1 is the same limit as
  // V_Ed <= V_pl,T,Rd. Above half of it, bending takes the reduced yield stress (1 - rho) f_y of
  // 6.2.8 over the whole section.
  const double tau_Rd = fy / (std::sqrt(3.0) * settings.gamma_m0);
  const double V = largest_shear(m);
  const double tau_t = ratio(std::fabs(m.end1[3]) * s.outer / 2, 2 * I);
  const double shear = ratio(V, s.shear_area() * tau_Rd) + ratio(tau_t, tau_Rd);
  set(Governs::shear, shear);
  const double rho = shear > 0.5 ? std::min(1.0, std::pow(2 * shear - 1, 2)) : 0.0;
  const double M_Rd = W * fy * (1 - rho) / settings.gamma_m0;
  set(Governs::bending, ratio(k.moment, M_Rd));

  // Axial force and bending (6.2.9): a class 1 or 2 tube M_N,Rd = M_pl,Rd (1 - n^1.7); a rod and
  // a class 3 section the linear sum, for class 3 that of the elastic stresses at the outer fibre.
  // The largest axial force with the largest moment, wherever each lies along the member.
  const double n = ratio(largest_axial, N_Rd);
  const bool reduced_moment = plastic && !s.solid() && n < 1;
  set(Governs::axial_bending,
      reduced_moment ? ratio(k.moment, M_Rd * (1 - std::pow(n, 1.7))) : n + ratio(k.moment, M_Rd));

  // Flexural buckling over the buckling length (6.3.1): the same about every axis.
  k.l_cr = b.l_cr;
  k.euler = b.l_cr > 0 ? pi * pi * E * I / (b.l_cr * b.l_cr) : std::numeric_limits<double>::infinity();
  k.lambda_bar = std::sqrt(ratio(A * fy, k.euler));
  k.chi = buckling_reduction(k.lambda_bar, round_curve(s.solid(), settings));
  const double N_b_Rd = k.chi * A * fy / settings.gamma_m1;
  set(Governs::buckling, ratio(compression, N_b_Rd));

  // Compression and bending (6.3.3, 6.61 and 6.62): the moments about W and H of the element's
  // axes, each with its C_m; a round section has no lateral-torsional buckling (chi_LT = 1).
  double interaction = 0;
  if (compression > 0) {
    const double cm_y = b.free_end ? 0.9 : b.several ? 1.0 : axis_moment_factor(m, 4, m.load[2]);
    const double cm_z = b.free_end ? 0.9 : b.several ? 1.0 : axis_moment_factor(m, 5, m.load[1]);
    const double n_b = ratio(compression, N_b_Rd);
    const InteractionFactors f = interaction_factors(plastic, cm_y, cm_z, k.lambda_bar, n_b);
    const double M_Rd1 = W * fy / settings.gamma_m1;  // M_Rk / gamma_M1
    const double my = ratio(largest_along(m, 4), M_Rd1), mz = ratio(largest_along(m, 5), M_Rd1);
    interaction = std::max(n_b + f.yy * my + f.yz * mz, n_b + f.zy * my + f.zz * mz);
  }
  set(Governs::interaction, interaction);

  const double radius_of_gyration = A > 0 ? std::sqrt(I / A) : 0.0;
  const bool limited = compression > 0 && settings.slenderness_limit > 0;
  set(Governs::slenderness, limited ? ratio(b.l_cr, radius_of_gyration * settings.slenderness_limit) : 0.0);

  for (size_t g = 0; g < check_count; ++g)
    if (k.ratio[g] && *k.ratio[g] > k.utilisation) {
      k.utilisation = *k.ratio[g];
      k.governs = static_cast<Governs>(g);
    }
  if (k.section_class == 4) {
    const double beyond = s.outer / s.wall / tube_class_limit(3, fy);
    set(Governs::class4, beyond);
    k.utilisation = std::max(k.utilisation, beyond);
    k.governs = Governs::class4;
  }
  return k;
}
