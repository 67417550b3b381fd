// The frame judged as it stands: its critical load factor in every ultimate state, the state's
// forces to second order with the equivalent sway imperfection, and the member checks over their
// system lengths under those forces. Each ultimate state is analysed four times, with the
// imperfection across the self-weight's direction each way along both horizontal axes; each
// member takes the direction that governs it. A state whose loads buckle the frame (alpha_cr <=
// 1) has no second-order forces: every member in compression in it fails by frame buckling.
// Serviceability states and deflections stay first order.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "evaluate/frame_stability.h"
#include "evaluate/member_checks.h"

// The equivalent sway imperfection phi = phi0 alpha_h alpha_m (rad) of a frame `height` mm high:
// phi0 = 1/200, alpha_h = 2 / sqrt(h [m]) within 2/3..1, alpha_m = 1.
double sway_imperfection(double height);

// The frame's height along `down` (a unit vector): the extent of the nodes of the members flagged
// in `drawn`, mm.
double frame_height(const ModelFile& m, const std::vector<char>& drawn, const std::array<double, 3>& down);

// The four directions of the sway across `down`: along the first, then the second, of the other
// two axes, each way: "+L", "-L", "+W", "-W" for -H.
struct SwayDirection {
  std::string name;
  std::array<double, 3> unit{};
};
std::array<SwayDirection, 4> sway_directions(const std::array<double, 3>& down);

// The equivalent horizontal forces of the sway imperfection phi along `across`: at each node, phi
// times its load along `down` (the nodal loads of the state with the nodal share of the weight).
NodeLoads sway_forces(const NodeLoads& loads, double phi, const std::array<double, 3>& down,
                      const std::array<double, 3>& across);

struct FrameJudgement {
  FrameForces forces;  // ultimate states: each member's forces in the direction that governs it
  FrameChecks checks;
  std::vector<StateStability> stability;  // per ultimate state
};

// Judges f, analysed to first order under `loading` into `first`. `drawn` flags the members that
// count (those drawn as beams); the others keep their stiffness but take no axial force.
FrameJudgement judge_frame(const ShownFrame& f, const FrameForces& first, const CheckSettings& steel,
                           const Loading& loading, const std::vector<char>& drawn);

// The ratio of frame buckling of member j in state s: 1 / alpha_cr when the state's loads buckle
// the frame and j is in compression, else 0.
double frame_buckling_ratio(const FrameJudgement& judged, size_t s, size_t j);
