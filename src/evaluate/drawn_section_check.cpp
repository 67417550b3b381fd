// Elastic stresses and flexural buckling of a drawn section, about its centroid and
// principal axes.
#include "evaluate/drawn_section_check.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
constexpr double curve_b = 0.34;  // closed sections
constexpr double curve_c = 0.49;  // open sections
}  // namespace

double DrawnSectionCheck::utilisation() const { return std::max(stress_ratio, buckling_ratio); }

double buckling_reduction(double lambda_bar, double alpha) {
  if (lambda_bar <= 0.2) return 1;
  if (!std::isfinite(lambda_bar)) return 0;  // no critical force at all
  const double phi = (1 + alpha * (lambda_bar - 0.2) + lambda_bar * lambda_bar) / 2;
  return std::min(1.0, 1 / (phi + std::sqrt(phi * phi - lambda_bar * lambda_bar)));
}

double drawn_section_stress(const DrawnSectionProperties& d, const EndForces& f, double w, double h) {
  const double n = f[0];
  // The axial force acts at the origin: about the centroid it adds N times its distance.
  // (My = integral of sigma h dA, Mz = -integral of sigma w dA.)
  const double m_w = f[4] - n * d.centroid_h, m_h = f[5] + n * d.centroid_w;
  // Principal axis 1 (i1) at d.angle from W, axis 2 a right angle further on; u and v are
  // the point's coordinates along them, m1 and m2 the moment's parts about them.
  const double a = d.angle * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  const double dw = w - d.centroid_w, dh = h - d.centroid_h;
  const double u = dw * c + dh * s, v = -dw * s + dh * c;
  const double m1 = m_w * c + m_h * s, m2 = -m_w * s + m_h * c;
  return n / d.area + m1 * v / d.i1 - m2 * u / d.i2;
}

DrawnSectionCheck check_drawn_section(const DrawnSectionProperties& d, const MemberForces& m, double e_modulus,
                                      double l_cr, const DrawnCheckSettings& settings) {
  DrawnSectionCheck k;
  k.closed = d.cells > 0;
  k.alpha = k.closed ? curve_b : curve_c;
  const double compression = m.compression();
  k.torsional_buckling_unchecked = !k.closed && compression > 0;
  constexpr double infinity = std::numeric_limits<double>::infinity();

  if (!(d.area > 0)) {
    const bool loaded = std::any_of(m.end1.begin(), m.end1.end(), [](double v) { return v != 0; }) ||
                        std::any_of(m.end2.begin(), m.end2.end(), [](double v) { return v != 0; });
    k.chi = 0;
    if (loaded) k.stress = k.stress_ratio = infinity;
    if (compression > 0) k.buckling_ratio = infinity;
    return k;
  }

  // At a corner the stress is a parabola along the member: the ends first, then any vertex inside.
  const auto consider = [&d, &k](const MemberForces::Station& at, const std::array<double, 2>& p) {
    const double sigma = std::fabs(drawn_section_stress(d, at.forces, p[0], p[1]));
    if (sigma > k.stress) {
      k.stress = sigma;
      k.stress_end = at.end;
      k.stress_x = at.x;
      k.stress_at = p;
    }
  };
  for (const MemberForces::Station& end : {MemberForces::Station{0, 1, m.end1}, MemberForces::Station{m.length, 2, m.end2}})
    for (const auto& p : d.corners) consider(end, p);
  for (const auto& p : d.corners) {
    const MemberForces::Station at = m.largest_of([&](const EndForces& f) { return drawn_section_stress(d, f, p[0], p[1]); });
    if (at.end == 0) consider(at, p);
  }
  k.stress_ratio = k.stress / (settings.yield / settings.gamma_m0);

  const double squash = d.area * settings.yield;
  k.n_cr = l_cr > 0 ? std::numbers::pi * std::numbers::pi * e_modulus * d.i2 / (l_cr * l_cr) : infinity;
  k.lambda_bar = std::sqrt(squash / k.n_cr);
  k.chi = buckling_reduction(k.lambda_bar, k.alpha);
  k.n_b_rd = k.chi * squash / settings.gamma_m1;
  if (compression > 0) k.buckling_ratio = compression / k.n_b_rd;
  return k;
}

DrawnSectionCheck check_drawn_section(const SectionTable& table, int s, const MemberForces& m, double e_modulus,
                                      double l_cr, const DrawnCheckSettings& settings) {
  return check_drawn_section(drawn_section_properties(table, s), m, e_modulus, l_cr, settings);
}

std::string drawn_section_check_note(const DrawnSectionCheck& c) {
  return c.torsional_buckling_unchecked
             ? "Torsional and flexural-torsional buckling of this open section are outside the checks."
             : "";
}
