// How far the frame analysed is from buckling: the critical load factor alpha_cr of every state
// whose members are checked for strength, on that state's axial forces, with the supports and
// springs of the load case it stands on. Members hidden as thin keep their stiffness but take no
// axial force.
#pragma once

#include <string>
#include <vector>

#include "evaluate/member_checks.h"
#include "solver/stability.h"

class JsonWriter;

struct StateStability {
  int state = 0;  // 0-based, among the frame's states
  FrameBuckling buckling;
  double phi = 0;             // the equivalent sway imperfection, rad
  bool second_order = false;  // its forces are second order with the sway imperfection
  std::string direction;      // the sway that governs its largest utilisation ("+L"), or ""
  std::string problem;        // why the buckling or second-order analysis could not be made, or ""
  // The frame buckles under the state's loads: alpha_cr <= 1 with a member in compression.
  bool buckles() const { return buckling.compressed && buckling.alpha > 0 && buckling.alpha <= 1; }
};

// One entry per state checked for strength, in the order of the states. `drawn` flags the
// members that take their axial force (those drawn as beams).
std::vector<StateStability> frame_stability(const ShownFrame& f, const FrameForces& forces, const std::vector<char>& drawn);

// The entry of the smallest alpha_cr, or null when no state has one.
const StateStability* least_stable(const std::vector<StateStability>& stability);

// "Critical load factor alpha_cr 12.3 (load case 1)" for the smallest, or "" when no state has
// one; at most 1 it adds that the frame buckles under these loads.
std::string stability_text(const FrameForces& forces, const std::vector<StateStability>& stability);

// The window's dump: `stability`, per state checked for strength {state (its name), alpha_cr
// (null without compression), mode_node (1-based; 0 without), phi (rad), second_order (its forces
// are), direction (of the sway that governs its largest utilisation; left out without one)}.
void write_stability_json(JsonWriter& j, const FrameForces& forces, const std::vector<StateStability>& stability);
