// The elastic critical load factor of a frame: the factor alpha_cr on the axial forces of one
// state of its linear analysis at which the frame buckles, from K phi = alpha (-K_G) phi with K
// the elastic stiffness (supports and springs of the state) and K_G the geometric stiffness of
// the members' axial forces. Each member is cut into pieces so that the cubic shape functions
// follow its buckled shape: alpha_cr of a pinned, a fixed-pinned and a cantilever column within
// 0.3 % of Euler's. Units: mm, N.
#pragma once

#include <vector>

#include <Eigen/Core>

#include "solver/frame.h"
#include "solver/member_forces.h"

struct FrameBuckling {
  bool compressed = false;  // some member that counts is in compression: alpha has a meaning
  double alpha = 0;         // the lowest positive critical load factor; 0 when none was found
  int mode_node = -1;       // the frame's node (0-based) that moves most in the buckled shape
};

// The buckling of the frame of `model` (its nodes and elements, the supports and springs of load
// case `supports`, 0-based) with one section per element, under the axial forces of `forces`
// (per element, as an analysis of one state gives them). Elements whose flag in `geometric` is
// cleared (members hidden as thin) keep their stiffness but take no axial force (or are left out,
// where only they hold a piece of the frame). A frame that is not held is the SolverError of a
// mechanism.
FrameBuckling frame_buckling(const ModelFile& model, const std::vector<Section>& sections, size_t supports,
                             const std::vector<MemberForces>& forces, const std::vector<char>& geometric);
