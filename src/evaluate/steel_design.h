// The steel checks of a round member (a solid rod or a circular tube) to EN 1993-1-1 in one load
// case: cross-section class, tension, compression, bending with the resultant moment, shear with
// torsion, axial force with bending, flexural buckling, the interaction of compression and the
// resultant moment (6.3.3 with the factors of Annex B), and a slenderness limit, with f_y by the
// thickness. Each check is a ratio of effect to resistance; the member's utilisation is the
// largest. Units: mm, N, N mm, N/mm2.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "solver/member_forces.h"

// The settings of the checks, as the post-processing window takes them.
struct CheckSettings {
  double yield = 235;              // f_y up to 40 mm thick, N/mm2 (follows the grade, may be set apart)
  double k_factor = 1.0;           // buckling length = K x the buckling member's length
  std::string grade = "S235";      // S235, S275, S355, S420 or S460: chooses the buckling curve
  bool cold_formed = false;        // tubes cold-formed (curve c) rather than hot-finished
  double gamma_m0 = 1.0;           // partial factor of cross-section resistance
  double gamma_m1 = 1.0;           // partial factor of member (buckling) resistance
  double slenderness_limit = 200;  // largest L_cr / i of a member in compression; 0: no limit
  // f_y of steel t mm thick (EN 1993-1-1 Table 3.1), N/mm2: `yield` up to 40 mm; above, the
  // grade's value for 40 < t <= 80 mm, alike for hot-rolled bars and hot-finished hollow sections
  // (20 N/mm2 lower in S235, S275 and S355, 30 in S420 and S460). A yield stress set apart from
  // the grade is lowered in the same proportion. The table ends at 80 mm; thicker steel keeps its
  // 40..80 mm value.
  double yield_at(double thickness) const;
  bool operator==(const CheckSettings&) const = default;
};

// The steel grades offered, and the nominal yield stress of each (N/mm2, thickness up to 40 mm);
// 0 for a name that is not a grade.
inline constexpr std::array<const char*, 5> steel_grades{"S235", "S275", "S355", "S420", "S460"};
double grade_yield(const std::string& grade);

// The checks a member can fail, in the order of the tables. A drawn (non-design) section has only
// yield and euler: its largest normal stress against f_y, and its compression against the Euler
// force. Any member in compression fails by frame buckling in a state whose loads buckle the frame.
enum class Governs {
  none,
  tension,
  compression,
  bending,
  axial_bending,
  shear,
  buckling,
  interaction,
  slenderness,
  class4,
  yield,
  euler,
  frame_buckling  // the frame buckles (alpha_cr <= 1) in a state where the member is in compression
};
inline constexpr size_t check_count = static_cast<size_t>(Governs::frame_buckling) + 1;
// "tension", "compression", "bending", "axial and bending", "shear", "buckling", "interaction",
// "slenderness", "class 4", "yield", "Euler buckling"; "-" for none.
const char* governs_name(Governs g);

// One member in one load case. A ratio left empty is a check not made for this member (a drawn
// section is not checked as a round one, nor the other way round).
struct MemberCheck {
  double axial = 0;        // N, tension positive: governing_axial
  double moment = 0;       // largest resultant bending moment along the member, N mm
  double stress = 0;       // largest |normal stress|: N / A plus bending at the extreme fibre, N/mm2
  double l_cr = 0;         // buckling length, mm
  double euler = 0;        // pi^2 E I_min / L_cr^2, N
  int section_class = 0;   // 1..4 for a round member, 0 for a drawn section
  double lambda_bar = 0;   // relative slenderness over L_cr
  double chi = 1;          // flexural buckling reduction factor
  // The resistances the checks used, N and N mm; 0 for one no check of this member used.
  double n_rd = 0;         // N_pl,Rd = A f_y / gamma_M0, also N_t,Rd of a round member
  double n_b_rd = 0;       // chi A f_y / gamma_M1
  double m_rd = 0;         // M_pl,Rd or M_el,Rd, reduced for shear above half its resistance
  double m_n_rd = 0;       // M_N,Rd of a class 1 or 2 tube under axial force
  double v_rd = 0;         // V_pl,Rd = A_v f_y / (sqrt 3 gamma_M0)
  std::array<std::optional<double>, check_count> ratio{};  // indexed by Governs
  double utilisation = 0;  // the largest ratio
  Governs governs = Governs::none;
  const std::optional<double>& ratio_of(Governs g) const { return ratio[static_cast<size_t>(g)]; }
};

// How a member buckles: its buckling length, whether that runs over several elements in line
// (then the moments of one element say nothing of the whole length's, and C_m is 1), and whether
// an end of it is held by nothing (a cantilever: it sways, and C_m is 0.9, Table B.3).
struct BucklingLength {
  double l_cr = 0;  // mm
  bool several = false;
  bool free_end = false;
};

// Buckling curves of EN 1993-1-1 Table 6.1 and their imperfection factors alpha.
enum class BucklingCurve { a0, a, b, c, d };
double imperfection_factor(BucklingCurve curve);
// chi = 1 / (phi + sqrt(phi^2 - lambda^2)), phi = 0.5 (1 + alpha (lambda - 0.2) + lambda^2), at
// most 1; exactly 1 at and below lambda_bar 0.2, where buckling may be ignored (6.3.1.2).
double buckling_reduction(double lambda_bar, BucklingCurve curve);
// Table 6.2: hot-finished tubes curve a (a0 in S460), cold-formed tubes and solid rods curve c.
BucklingCurve round_curve(bool solid, const CheckSettings& s);

// A rod (wall 0, or a wall of half the diameter or more) or a tube, mm.
struct RoundSection {
  double outer = 0;
  double wall = 0;
  bool solid() const;
  double area() const;             // mm2
  double second_moment() const;    // about any diameter, mm4
  double elastic_modulus() const;  // I / (D / 2), mm3
  double plastic_modulus() const;  // (D^3 - d^3) / 6, mm3
  double thickness() const;        // what sets f_y: the wall of a tube, the diameter of a rod, mm
  // The shear area: 2 A / pi for a tube (6.2.6(3)(g)); 0.9 A for a rod, the usual value for a
  // solid circle, which EN 1993-1-1 does not list.
  double shear_area() const;
};

// Table 5.2, tubes in compression and bending: the largest D / t of class 1, 2 or 3 (a class
// outside 1..3 takes the nearest), 50, 70 and 90 epsilon^2, epsilon^2 = 235 / f_y. f_y in N/mm2.
double tube_class_limit(int section_class, double yield);
// The class of a section: 1, 2, 3 while D / t is at most the tube limit of that class; beyond,
// class 4. Solid rods are class 1. f_y in N/mm2.
int section_class(const RoundSection& s, double yield);

// The C_m of Annex B (Table B.3) for a moment varying linearly from m1 to m2 along the member
// (either sign convention, as long as both ends share it): 0.6 + 0.4 psi >= 0.4, psi the smaller
// end moment over the larger; 1 without moment. N mm in.
double moment_factor(double m1, double m2);

// The C_m of Table B.3 for the moment of a uniform member load with end moments m1, m2 and
// m_mid midway (one sign convention for all three). With M_h the larger end moment, psi the
// other over it and M_s = m_mid: while |M_s| <= |M_h|, alpha_s = M_s / M_h and C_m is
// 0.2 + 0.8 alpha_s for alpha_s >= 0, else 0.1 - 0.8 alpha_s (psi >= 0) or 0.1 (1 - psi) - 0.8
// alpha_s (psi < 0), each at least 0.4; beyond, alpha_h = M_h / M_s and C_m is 0.95 + 0.05
// alpha_h, or 0.95 + 0.05 alpha_h (1 + 2 psi) for alpha_h and psi both negative. 1 without moment.
double moment_factor_uniform(double m1, double m_mid, double m2);

// The axial force the checks of a member take, N, tension positive: the largest compression
// along it, or without any the largest tension (with a member load N changes along it).
double governing_axial(const MemberForces& m);

// Every check of a round member of elastic modulus E (N/mm2) with the forces m of one load case,
// each at the sections along the member where it can be largest. Class 4 (a wall too thin for
// these checks) is reported as such and never passes: its ratio is D / t over the class 3 limit,
// and it governs whatever the other ratios, which are made with the elastic section for
// information.
MemberCheck check_round_member(const RoundSection& s, double E, const BucklingLength& b, const MemberForces& m,
                               const CheckSettings& settings);
