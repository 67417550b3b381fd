// The preview of the design stage: every box drawn as its ground structure and every bar as
// one line, the edited record highlighted with its corner circles, and the axis marks; plus
// the fit of a rotated model into the normalised view, which the model display shares.
#pragma once

#include <cstdint>

#include "base/canvas.h"
#include "base/rotate.h"
#include "base/view_window.h"
#include "model/model_store.h"

// Centre and size of a rotated model on the surface. Normalised coordinates of a rotated
// point p are u = (p[2] - c2) / half_range (to the right) and v = (p[3] - c3) / half_range
// (down the surface), each stored as Single.
struct ViewFit {
  float c2 = 0, c3 = 0;   // centre of the rotated extent, mm
  double half_range = 1;  // R, mm

  float u(const Vec3& rotated) const { return static_cast<float>((double(rotated[2]) - c2) / half_range); }
  float v(const Vec3& rotated) const { return static_cast<float>((double(rotated[3]) - c3) / half_range); }
};

// Collects the extent of rotated points (components 2 and 3) and gives the fit: the centre of
// each extent, and R = (max(max2, max3) - min(min2, min3)) / 2, half of the overall span of
// both screen directions together, so that both keep one scale and every point lies within
// +-1. R is computed in double. Without points, or when they all project onto one point
// (R = 0), R is 1 so that the drawing never divides by zero.
class ExtentFit {
 public:
  void add(const Vec3& rotated);
  ViewFit fit() const;

 private:
  float max2_ = -1e20f, max3_ = -1e20f, min2_ = 1e20f, min3_ = 1e20f;
};

// The fit of the design preview: the displaced corners of records 1..n_gr turned by the view
// angles (radians about L, W, H).
ViewFit design_fit(const ModelStore& m, const Vec3& view_angles);

// Steps 4 to 6 of the refresh of the design stage, drawn onto the canvas as it is (the caller
// clears it and stores the input panel first). Nothing is drawn when n_gr < 1.
// For each record: a box as one line per chosen pair (all three axes tested), its eight
// corners as circles of radius 80 twips; a bar as one line between the centres of its ends,
// each end a circle. The edited record n_gr - n_gr_m is drawn solid in colour 6 (a bar 10
// pixels wide) with solid red corners, its picked corner (apex_sel) ringed in light red;
// the others dotted in colour 1. With show_coordinates every corner (bar end) is labelled
// " (L,W,H)" with its undisplaced coordinates, mm. Last, the axis marks in black: three lines
// parallel to the edited record's edges L, W, H from its projected centre, and three lines
// from the world origin along +L, +W, +H, 0.3 R long.
// Updates corner_xyz (each record in turn), apex_xyz (undisplaced corners of the edited
// record), node_uv (the lattice of each record in turn) and apex_scr (the displaced corners
// of the edited record, for picking). view_angles in radians; lengths in mm, surface in twips.
// A record whose lattice cannot be built (a division below 1, over 10000 pairs) ends the
// drawing with its run-time error.
void draw_design_preview(Canvas& canvas, ModelStore& m, const Vec3& view_angles, const ViewWindow& view,
                         bool show_coordinates);
