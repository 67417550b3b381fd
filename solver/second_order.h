// Second-order analysis of a frame: equilibrium in the displaced geometry, K + K_G(N) u = f,
// with the geometric stiffness of the members' axial forces N iterated until N settles. The
// members in compression are cut into pieces as for the critical load factor, so that a
// member's end forces take the sway of the frame and the bending of the member alike. Units:
// mm, N, N mm.
#pragma once

#include <array>
#include <vector>

#include "solver/frame.h"
#include "solver/member_forces.h"

struct SecondOrderForces {
  std::vector<MemberForces> members;  // per element: its end forces and member load
  int iterations = 0;                 // solves made until the axial forces settled
};

// The frame of `model` with one section per element on the supports and springs of load case
// `supports` (0-based), under each set of nodal loads in `nodal` (per node: forces and moments
// along and about L, W, H) with the uniform member loads `loads` (N/mm, global, per element;
// empty for none): one answer per set. `first` gives the axial forces they start from (the
// first-order forces of the loads without what tells the sets apart). Elements whose flag in
// `geometric` is cleared (members hidden as thin) keep their stiffness but take no axial force.
// The sets share one factorisation of K + K_G(first), which then preconditions the solves of
// each set's own iterations. A frame that is not held, one whose stiffness K + K_G is no longer
// positive (it buckles under these loads) and one whose axial forces do not settle are
// SolverErrors saying so.
std::vector<SecondOrderForces> second_order_forces(const ModelFile& model, const std::vector<Section>& sections,
                                                   size_t supports,
                                                   const std::vector<std::vector<std::array<double, 6>>>& nodal,
                                                   const std::vector<MemberLoad>& loads,
                                                   const std::vector<MemberForces>& first,
                                                   const std::vector<char>& geometric);
