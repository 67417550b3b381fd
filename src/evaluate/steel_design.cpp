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

// One C_m for the resultant moment. A straight-line moment takes 0.2 + 0.8 |M_mid| / |M_end| (at
// least 0.4): in one plane that is Table B.3's 0.6 + 0.4 psi, and a moment that turns along the
// member (equal end moments at right angles: 0.77) is not taken as a reversing one. Under a load
// across the member, the uniform-load row on the components along the largest end or mid-length
// moment. No turn of the section's axes changes it.
double resultant_moment_factor(const MemberForces& m) {
  const auto size = [](const EndForces& f) { return std::hypot(f[4], f[5]); };
  if (m.load[1] == 0 && m.load[2] == 0) {
    const double end = std::max(size(m.end1), size(m.end2));
    if (end == 0) return 1;
    const double middle = std::hypot(m.end1[4] + m.end2[4], m.end1[5] + m.end2[5]) / 2;
    return std::max(0.4, 0.2 + 0.8 * middle / end);
  }
  const EndForces mid = m.at(m.length / 2);
  const EndForces* largest = &m.end1;
  for (const EndForces* f : {&mid, &m.end2})
    if (size(*f) > size(*largest)) largest = f;
  // Scaled by the largest moment's size, which the ratios of Table B.3 do not see.
  const auto along = [largest](const EndForces& f) { return f[4] * (*largest)[4] + f[5] * (*largest)[5]; };
  return moment_factor_uniform(along(m.end1), along(mid), along(m.end2));
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

// Annex B, Table B.1, members not susceptible to torsional deformation (hollow sections): k_yy
// from C_m, lambda_bar and n = N_Ed / (chi N_Rk / gamma_M1); k_zy, 0.6 or 0.8 k_yy, is never larger.
double interaction_factor(bool plastic, double cm, double lambda_bar, double n) {
  if (plastic) return cm * (1 + std::min(lambda_bar - 0.2, 0.8) * n);
  return cm * (1 + 0.6 * std::min(lambda_bar, 1.0) * n);
}

// Table 3.1, per grade of steel_grades: f_y up to 40 mm and from 40 to 80 mm thick, N/mm2.
struct GradeYield {
  double thin, thick;
};
constexpr std::array<GradeYield, steel_grades.size()> grade_yields{
    {{235, 215}, {275, 255}, {355, 335}, {420, 390}, {460, 430}}};

const GradeYield* yields_of(const std::string& grade) {
  for (size_t k = 0; k < steel_grades.size(); ++k)
    if (grade == steel_grades[k]) return &grade_yields[k];
  return nullptr;
}
}  // namespace

double grade_yield(const std::string& grade) {
  const GradeYield* y = yields_of(grade);
  return y ? y->thin : 0;
}

double CheckSettings::yield_at(double thickness) const {
  const GradeYield* y = yields_of(grade);
  return thickness > 40 && y ? yield * y->thick / y->thin : yield;
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
    case Governs::frame_buckling: return "frame buckling";
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
double RoundSection::thickness() const { return solid() ? outer : wall; }
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

namespace {
// The largest ratio governs; a section of class 4 fails by its class, by how far its D / t lies
// beyond class 3's limit.
void take_governing(MemberCheck& k, const RoundSection& s, double fy) {
  for (size_t g = 0; g < check_count; ++g)
    if (k.ratio[g] && *k.ratio[g] > k.utilisation) {
      k.utilisation = *k.ratio[g];
      k.governs = static_cast<Governs>(g);
    }
  if (k.section_class != 4) return;
  const double beyond = s.outer / s.wall / tube_class_limit(3, fy);
  k.ratio[static_cast<size_t>(Governs::class4)] = beyond;
  k.utilisation = std::max(k.utilisation, beyond);
  k.governs = Governs::class4;
}
}  // namespace

MemberCheck check_round_member(const RoundSection& s, double E, const BucklingLength& b, const MemberForces& m,
                               const CheckSettings& settings) {
  MemberCheck k;
  const double fy = settings.yield_at(s.thickness()), A = s.area(), I = s.second_moment();
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
  k.n_rd = N_Rd;
  set(Governs::tension, ratio(m.tension(), N_Rd));
  set(Governs::compression, ratio(compression, N_Rd));

  // Shear with torsion (6.2.6, 6.2.7(9)): V_Ed / V_pl,Rd + tau_t / tau_Rd <= 1 is the same limit as
  // V_Ed <= V_pl,T,Rd. Above half of it, bending takes the reduced yield stress (1 - rho) f_y of
  // 6.2.8 over the whole section. At or beyond the limit the section fails in shear and has no
  // moment resistance left to reduce: bending is then checked without shear, so that its ratios
  // stay numbers and a bending failure still shows beside the shear one.
  const double tau_Rd = fy / (std::sqrt(3.0) * settings.gamma_m0);
  const double V = largest_shear(m);
  const double tau_t = ratio(std::fabs(m.end1[3]) * s.outer / 2, 2 * I);
  k.v_rd = s.shear_area() * tau_Rd;
  const double shear = ratio(V, k.v_rd) + ratio(tau_t, tau_Rd);
  set(Governs::shear, shear);
  const double rho = shear > 0.5 && shear < 1 ? std::pow(2 * shear - 1, 2) : 0.0;
  const double M_Rd = W * fy * (1 - rho) / settings.gamma_m0;
  k.m_rd = M_Rd;
  set(Governs::bending, ratio(k.moment, M_Rd));

  // Axial force and bending (6.2.9): a class 1 or 2 tube M_N,Rd = M_pl,Rd (1 - n^1.7); a rod and
  // a class 3 section the linear sum, for class 3 that of the elastic stresses at the outer fibre.
  // The largest axial force with the largest moment, wherever each lies along the member.
  const double n = ratio(largest_axial, N_Rd);
  const bool reduced_moment = plastic && !s.solid() && n < 1;
  if (reduced_moment) k.m_n_rd = M_Rd * (1 - std::pow(n, 1.7));
  set(Governs::axial_bending, reduced_moment ? ratio(k.moment, k.m_n_rd) : n + ratio(k.moment, M_Rd));

  // Flexural buckling over the buckling length (6.3.1): the same about every axis.
  k.l_cr = b.l_cr;
  k.euler = b.l_cr > 0 ? pi * pi * E * I / (b.l_cr * b.l_cr) : std::numeric_limits<double>::infinity();
  k.lambda_bar = std::sqrt(ratio(A * fy, k.euler));
  k.chi = buckling_reduction(k.lambda_bar, round_curve(s.solid(), settings));
  const double N_b_Rd = k.chi * A * fy / settings.gamma_m1;
  k.n_b_rd = N_b_Rd;
  set(Governs::buckling, ratio(compression, N_b_Rd));

  // Compression and bending (6.3.3): a round section bends alike about every axis, so the resultant
  // moment is taken as if about W alone, with one C_m; 6.62 then never exceeds 6.61. No
  // lateral-torsional buckling (chi_LT = 1).
  double interaction = 0;
  if (compression > 0) {
    const double cm = b.free_end ? 0.9 : b.several ? 1.0 : resultant_moment_factor(m);
    const double n_b = ratio(compression, N_b_Rd);
    interaction = n_b + interaction_factor(plastic, cm, k.lambda_bar, n_b) * ratio(k.moment, W * fy / settings.gamma_m1);
  }
  set(Governs::interaction, interaction);

  const double radius_of_gyration = A > 0 ? std::sqrt(I / A) : 0.0;
  const bool limited = compression > 0 && settings.slenderness_limit > 0;
  set(Governs::slenderness, limited ? ratio(b.l_cr, radius_of_gyration * settings.slenderness_limit) : 0.0);

  take_governing(k, s, fy);
  return k;
}
