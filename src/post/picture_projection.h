// Where the model's points fall on a picture of the result display: the view angles' rotation,
// the fit of the cycle's nodes into normalised coordinates, then the view window. The frame, the
// supports and loads drawn over it, and its dimension lines all go through one projection.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/rotate.h"
#include "base/view_window.h"
#include "post/element_frame.h"
#include "post/result_store.h"

// A point as the picture places it: normalised surface position (u right, v down) and depth (the
// rotated L component: larger is further from the viewer).
struct ProjectedPoint {
  float u, v, depth;
};

class PictureProjection {
 public:
  // The extent of the rotated nodes of `cycle` (1..pn_cyc; any other fits no node) gives the
  // centre and the size D, the larger of the two screen extents; a point (rotated) maps to
  // ((p2 - c2) / D, (p3 - c3) / D). D = 0 (every node on one projected point) falls back to
  // pd_max, or 1 mm. Angles in radians about L, W, H; lengths mm.
  PictureProjection(const ResultStore& r, int cycle, const Vec3& angles, const ViewWindow& view);

  Vec3 rotated(const P3& p) const;
  ProjectedPoint normalised(const P3& p) const;
  ScreenPoint screen(double u, double v) const { return to_screen(view_, u, v); }
  ScreenPoint screen(const ProjectedPoint& p) const { return screen(p.u, p.v); }
  ScreenPoint screen(const P3& p) const { return screen(normalised(p)); }
  // The step on the surface (twips, x right, y down, not rounded) of a model vector d (mm).
  std::array<double, 2> step(const P3& d) const;
  float size() const { return size_; }  // D, mm

 private:
  FixedRotation turn_;  // the sines and cosines taken once a drawing
  ViewWindow view_;
  float c2_ = 0, c3_ = 0, size_ = 1;
};

// A view of the frame by name: "L-W plane" (L right, W up), "W-H plane" (W right, H up), "H-L
// plane" (L up, H right) or "oblique view" (H up, L to the right and down the page, W to the right
// and up it, seen from above), angles in radians about L, W, H.
struct NamedView {
  std::string name;
  Vec3 angles;
};
// The three planes, in that order.
std::vector<NamedView> plane_views();
// The view a frame reads best in: the plane its nodes lie in (a spread along one axis below 1e-6
// of the largest), else the oblique view, in which the nodes of a regular lattice stand apart.
NamedView view_showing(const std::vector<P3>& nodes);
