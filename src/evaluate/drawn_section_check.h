// The checks of a non-design bar's drawn section in steel to EN 1993-1-1: the largest elastic
// normal stress at the outer corners of its walls, about the principal axes through the
// centroid, and flexural buckling about the weaker principal axis (6.3.1). The analysis puts
// the bar's axis at the sketch origin, so its axial force there also bends the section about
// the centroid. Outside these checks: shear and torsion stresses, local buckling of thin walls,
// and the torsional and flexural-torsional buckling of open sections (flagged when the bar is
// compressed, as they may then govern).
// Units: mm, N, N mm, N/mm2; section axes W and H of the element.
#pragma once

#include <array>
#include <string>

#include "section/section_props.h"
#include "solver/member_forces.h"

struct DrawnCheckSettings {
  double yield = 235;     // f_y, N/mm2
  double gamma_m0 = 1.0;  // resistance of cross-sections
  double gamma_m1 = 1.0;  // resistance to buckling
};

struct DrawnSectionCheck {
  // Elastic normal stress, N/mm2: the largest |sigma| over the wall corners along the member.
  double stress = 0;
  int stress_end = 1;                 // the end (1 or 2) where it lies, 0 inside the member
  double stress_x = 0;                // where it lies, mm from node 1
  std::array<double, 2> stress_at{};  // the corner (W, H) where it lies, mm
  double stress_ratio = 0;            // stress / (f_y / gamma_M0)

  // Flexural buckling about the weaker principal axis (i2).
  bool closed = false;       // the walls close at least one cell: curve b; open: curve c
  double alpha = 0;          // imperfection factor, 0.34 (b) or 0.49 (c)
  double n_cr = 0;           // pi^2 E i2 / L_cr^2, N
  double lambda_bar = 0;     // sqrt(A f_y / N_cr)
  double chi = 1;            // 1 up to lambda_bar 0.2
  double n_b_rd = 0;         // chi A f_y / gamma_M1, N
  double buckling_ratio = 0; // compression / N_b,Rd; 0 for a bar in tension or unloaded

  // An open section in compression: its torsional and flexural-torsional buckling, which may
  // govern, are not checked.
  bool torsional_buckling_unchecked = false;

  double utilisation() const;  // the larger of the two ratios
};

// The checks of one member in one load case. `d` from drawn_section_properties (computed
// once per section), `m` the member's forces in its own axes, `e_modulus` its Young's
// modulus (N/mm2), `l_cr` its buckling length (mm). A section without walls that carry
// anything has no resistance: any force gives ratios of infinity.
DrawnSectionCheck check_drawn_section(const DrawnSectionProperties& d, const MemberForces& m, double e_modulus,
                                      double l_cr, const DrawnCheckSettings& settings);
// The same for section s of the table.
DrawnSectionCheck check_drawn_section(const SectionTable& table, int s, const MemberForces& m, double e_modulus,
                                      double l_cr, const DrawnCheckSettings& settings);

// Normal stress (N/mm2) at sketch point (w, h) (mm) under the end forces f: N at the sketch
// origin, My and Mz about the W and H axes through it (solver/member_forces.h), taken about
// the centroid and the principal axes.
double drawn_section_stress(const DrawnSectionProperties& d, const EndForces& f, double w, double h);

// chi of EN 1993-1-1 6.3.1.2 (no units) for imperfection factor alpha: 1 up to lambda_bar 0.2, else
// 1 / (Phi + sqrt(Phi^2 - lambda_bar^2)), Phi = (1 + alpha (lambda_bar - 0.2) + lambda_bar^2) / 2.
double buckling_reduction(double lambda_bar, double alpha);

// "Torsional and flexural-torsional buckling of this open section are outside the checks."
// when flagged, else "".
std::string drawn_section_check_note(const DrawnSectionCheck& c);
