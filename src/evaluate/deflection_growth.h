// What growing members does to a frame's deflection, by virtual work, and which members to grow
// for a deflection limit: those that reduce the governing deflection most per kilogram.
#pragma once

#include <vector>

#include "evaluate/member_checks.h"

// How the displacement `moved` of a frame (of its node along its own direction, in its state)
// falls as member j stiffens. A unit load at the node along that direction, on the supports and
// springs of the state, gives the virtual displacements u_v; member j's stiffness growing by dK_j
// and its own weight by dw_j change the displacement by about -u_v^T dK_j u + u_v^T df_j, u the
// state's displacements and df_j the equivalent nodal loads of dw_j (with the state's factor of
// the self-weight, when it is on). Per member, the fall per unit of its section's values, for a
// round section (Iw = Ih = I, J = 2 I): `area` mm per mm2 of A of its stiffness, `weight` of its
// weight, `moment` mm per mm4 of I. A frame the unit load cannot be carried by is the engine's
// SolverError.
// The fall of a finite step takes the stiffness's part as a member of a frame whose forces do not
// move from member to member, where it is exact: the member's part of the displacement goes as
// 1 / A and 1 / I, so the first-order fall is scaled by the value before over the value after
// (without that, a step to ten times the stiffness would be foretold ten times the member's part).
struct DeflectionSensitivity {
  std::vector<double> area, weight, moment;  // per member of the frame
  double fall(size_t j, const Section& from, const Section& to) const {
    const double dA = to.A - from.A, dI = to.Iw - from.Iw;
    return dA * (area[j] * from.A / to.A + weight[j]) + dI * moment[j] * from.Iw / to.Iw;
  }
};
DeflectionSensitivity deflection_sensitivity(const ShownFrame& f, const FrameForces& forces, const Loading& loading,
                                             const Movement& moved);

// A way to grow one item (members that keep one section): what it adds, in any unit of mass, and
// the fall of the deflection it is expected to bring (mm).
struct GrowthOption {
  double mass = 0;
  double fall = 0;
};

// Per item, which of its options (-1: none) to take so that the falls add up to at least `needed`
// for little mass: each item's options are reduced to the steps along the upper hull of fall
// against mass (each step bringing less per unit of mass than the one before), and the steps of
// every item are taken in order of fall per mass, best first, until the falls cover `needed` or
// no step with a fall is left; the item of the step that covers it takes the lightest of its
// options that still does (which may lie below the hull). Then each item taken, heaviest first,
// falls back to the lightest of its options, or to none, that keeps the need covered. Options of
// no fall, or of no mass, are never taken.
std::vector<int> choose_growth(const std::vector<std::vector<GrowthOption>>& options, double needed);
