// What the members of an analysed frame carry: the stress resultants at both ends of every
// element in its own axes, the uniform load it carries along its length (a member load, such as
// its own weight), and what the supports and springs give back at the nodes. The engine solves a
// member load through its equivalent nodal loads (the reversed fixed-end forces); the member's
// resultants then add the fixed-end forces back. Along an element the axial force and shears vary
// linearly, the torsion is constant and the bending moments are parabolas (straight lines without
// a member load), so the largest moment may lie inside the element.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "frame.h"

struct ModelFile;

// Stress resultants on the cross-section whose outward normal is the element's x (node 1 to
// node 2), at one end: N (tension positive), Vy, Vz (N, along the section's W and H axes), T
// (N mm, about x), My, Mz (N mm, about the section's W and H axes). The normal stress at a
// section point (w, h) is N / A + My h / Iw - Mz w / Ih.
using EndForces = std::array<double, 6>;

// A uniform load along a member, N/mm, in global L, W, H.
using MemberLoad = std::array<double, 3>;

struct MemberForces {
  EndForces end1{}, end2{};
  std::array<double, 3> load{};  // the uniform member load in the element's axes x, y (W), z (H), N/mm
  double length = 0;             // mm

  // The largest compression and tension along the member (N, >= 0): N is linear, so at an end.
  double compression() const;
  double tension() const;
  // The resultants at distance x (mm) from node 1, as end1 and end2 are given: at(0) is end1,
  // at(length) end2.
  EndForces at(double x) const;
  // The largest resultant bending moment |(My, Mz)| along the member, N mm: at an end or where
  // the derivative of My^2 + Mz^2 (a cubic in x) vanishes inside.
  double largest_moment() const;
  // A section along the member and its resultants; end 1 or 2 at node 1 or 2, 0 inside.
  struct Station {
    double x = 0;  // mm from node 1
    int end = 0;
    EndForces forces{};
  };
  // The sections where |M| + lever |N| can be largest, lever in mm: both ends (node 1 first)
  // and the interior ones where its derivative vanishes. With lever 0 those of the largest
  // moment; with lever W / A (the elastic modulus over the area) those of the largest normal
  // stress of a round section. Without a member load only the ends.
  std::vector<Station> peak_sections(double lever = 0) const;
  // Where |g| is largest along the member, for g linear in the resultants (such as the normal
  // stress at one point of the section): a parabola in x, so at an end or at its vertex. Ties
  // go to node 1, then node 2.
  template <typename Linear>
  Station largest_of(const Linear& g) const;
  // This += factor x other, end forces and load alike: a combination of load cases with the same
  // supports is the factored sum of its cases' member forces. Takes other's length when it has none.
  MemberForces& add(const MemberForces& other, double factor);

 private:
  // x (mm) of the extreme of the parabola through g0, g_mid, g1 at node 1, midway and node 2,
  // when it lies inside a loaded member; else -1.
  double vertex(double g0, double g_mid, double g1) const;
};

struct CaseForces {
  std::vector<MemberForces> members;               // per element
  std::vector<std::array<double, 6>> reactions;    // per node, dofs 1..6: what supports and springs
                                                   // exert on the frame (N, N mm); 0 elsewhere
  std::vector<std::array<double, 6>> unbalance;    // per node: element end forces - load - reaction,
                                                   // zero to rounding where the frame is in equilibrium
};

// The fixed-end forces of a uniform load q (N/mm, own axes) on a beam of length L held at both
// ends, in its axes and dofs (u, v, w, rx, ry, rz at node 1, then node 2): what the nodes exert
// on it.
Eigen::Matrix<double, 12, 1> fixed_end_forces(const Eigen::Vector3d& q, double L);

// The equivalent nodal loads of uniform member loads w (N/mm, global; indexed like
// model.elements, missing ones unloaded): per node (0-based), the forces (N) and moments (N mm)
// along and about L, W, H that the fixed-end forces of every loaded member put on its nodes,
// reversed.
std::vector<std::array<double, 6>> equivalent_nodal_loads(const ModelFile& model, const std::vector<MemberLoad>& w);

// The forces of load case c (0-based) of an analysis already solved with `sections`, the loads,
// supports and springs taken from the model it was built from. A load on a fixed dof goes into
// that support's reaction. With member loads w, the model's case c holds their equivalent nodal
// loads added to its own: the members' resultants take the fixed-end forces back, and the
// reactions and unbalance are those of the case's own nodal loads with the member loads.
CaseForces case_forces(const FrameAnalysis& a, const ModelFile& model, const std::vector<Section>& sections, int c,
                       const std::vector<MemberLoad>& w = {});

template <typename Linear>
MemberForces::Station MemberForces::largest_of(const Linear& g) const {
  const double g0 = g(end1), g1 = g(end2);
  Station best = std::abs(g1) > std::abs(g0) ? Station{length, 2, end2} : Station{0, 1, end1};
  if (const double x = vertex(g0, g(at(length / 2)), g1); x > 0) {
    const EndForces inside = at(x);
    if (std::abs(g(inside)) > std::abs(g(best.forces))) best = {x, 0, inside};
  }
  return best;
}
