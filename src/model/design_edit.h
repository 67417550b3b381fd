// Editing the design list: removing a record, picking a corner of the edited box, and the two
// ways of giving a bar (length, centre and angles, or two end points).
// Units: mm and degrees; axes L, W, H are 1, 2, 3.
#pragma once

#include <array>
#include <optional>

#include "base/rotate.h"
#include "base/view_window.h"
#include "model/model_store.h"

// Removes record k (1..n_gr) by moving every later record up by one: sides, centre,
// divisions, rotations, corner displacements, kind and material. n_gr is left to the caller.
void remove_record(ModelStore& m, int k);

// The corner 1..8 of the edited record nearest to the surface point (x, y) in twips, from the
// projected corners apex_scr and the view window; of equal distances the higher number wins.
int16_t pick_corner(const ModelStore& m, const ViewWindow& view, double x, double y);

// The bar's ends: the centre plus the vector (+-length / 2, 0, 0) turned by the rotations.
// Point1 is the +L end, Point2 the -L end.
struct BarEnds {
  Vec3 point1, point2;
};
BarEnds bar_end_points(double length, const Vec3& centre, const Vec3& rotation_degrees);

// Length, centre and rotations (degrees, about L always 0) of a bar from Point1 to Point2;
// nothing when the two points coincide.
using Point3d = std::array<double, 3>;  // L, W, H
struct BarGeometry {
  double length;
  Point3d centre;
  Point3d rotation_degrees;
};
std::optional<BarGeometry> bar_from_points(const Point3d& point1, const Point3d& point2);
