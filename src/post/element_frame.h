// Points along a beam element: the vector arithmetic, an element's end points in a cycle and
// the two unit vectors across its axis that place a section sketch or a prism around it.
// Shared by the result display and the exports. Lengths in mm; components L, W, H.
#pragma once

#include <array>
#include <cmath>

#include "post/result_store.h"

using P3 = std::array<double, 3>;  // L, W, H in mm

inline P3 operator+(const P3& a, const P3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline P3 operator-(const P3& a, const P3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline P3 operator*(double s, const P3& a) { return {s * a[0], s * a[1], s * a[2]}; }
inline P3 cross(const P3& a, const P3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(const P3& a, const P3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double norm(const P3& a) { return std::sqrt(dot(a, a)); }

// Node `node` of cycle c.
inline P3 node_of(const ResultStore& r, int c, int node) {
  return {r.pnode_xyz(c, node, 1), r.pnode_xyz(c, node, 2), r.pnode_xyz(c, node, 3)};
}

// The section frame of an element along a = P2 - P1 with reference r: U1 = (a x r) / |a x r|,
// U2 = (U1 x a) / |U1 x a|, so that U2 is the part of r across the element and U1 = element x
// U2. A sketch point (W, H) lies at P + W U2 + H U1. A reference along the element (or none)
// falls back to the global axis most across it; an element of zero length gets zero vectors.
struct ElementAxes {
  P3 u1{}, u2{};
};
ElementAxes element_axes(const P3& a, P3 r);
