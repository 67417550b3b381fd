// What the members of an analysed frame carry: the stress resultants at both ends of every
// element in its own axes, and what the supports and springs give back at the nodes. No member
// loads exist (loads act at nodes), so the axial force, shear and torsion are constant along an
// element and its bending moments vary linearly between the ends.
#pragma once

#include <array>
#include <vector>

#include "frame.h"

struct ModelFile;

// Stress resultants on the cross-section whose outward normal is the element's x (node 1 to
// node 2), at one end: N (tension positive), Vy, Vz (N, along the section's W and H axes), T
// (N mm, about x), My, Mz (N mm, about the section's W and H axes). The normal stress at a
// section point (w, h) is N / A + My h / Iw - Mz w / Ih.
using EndForces = std::array<double, 6>;

struct MemberForces {
  EndForces end1{}, end2{};
  double axial() const { return end1[0]; }
  // The largest resultant bending moment along the member, N mm: |M| of a linear moment is
  // convex along the element, so its largest value is at one of the ends.
  double largest_moment() const;
};

struct CaseForces {
  std::vector<MemberForces> members;               // per element
  std::vector<std::array<double, 6>> reactions;    // per node, dofs 1..6: what supports and springs
                                                   // exert on the frame (N, N mm); 0 elsewhere
  std::vector<std::array<double, 6>> unbalance;    // per node: element end forces - load - reaction,
                                                   // zero to rounding where the frame is in equilibrium
};

// The forces of load case c (0-based) of an analysis already solved with `sections`, the loads,
// supports and springs taken from the model it was built from. A load on a fixed dof goes into
// that support's reaction.
CaseForces case_forces(const FrameAnalysis& a, const ModelFile& model, const std::vector<Section>& sections, int c);
