// The section sketch on the editor's surface: the mapping between sketch coordinates (W to
// the right, H upwards, mm) and the surface (twips, y downwards), the whole picture (points,
// walls with their thickness labels, axes, the 200 x 200 mm frame), the coordinate readout
// and the markers the editing modes draw over the picture.
#pragma once

#include "base/canvas.h"
#include "section/section_table.h"

// Origin of the sketch on the surface and the scale of both axes.
struct SketchMap {
  float org_x = 3500, org_y = 3500;  // surface position of W = 0, H = 0, twips
  float scl_w = 30, scl_h = 30;      // twips per mm along W and H

  // Surface position of a sketch point (W, H in mm), twips.
  float x_of(float w) const { return org_x + scl_w * w; }
  float y_of(float h) const { return org_y - scl_h * h; }
  // Sketch coordinates of a surface position (twips), mm.
  float w_of(float x) const { return (x - org_x) / scl_w; }
  float h_of(float y) const { return -(y - org_y) / scl_h; }
};

// Clears the surface and draws section s: every point a black dot (radius 60 twips), every
// line in colour 6, 3 pixels wide, labelled "t" and its thickness ("#0.0", mm) at its middle
// in the surface's current text colour, then the W and H axes (1000 twips, colour 9) and the
// dash-dot-dot frame of W and H -100..100 mm with its "W: 200,  H: 200" text.
// Positions are rounded to whole twips. Line ends outside the section's points are drawn
// where the table puts them; nothing is checked beyond the table's bounds.
void draw_sketch(Canvas& canvas, const SectionTable& table, int s, const SketchMap& map);

// The readout "   W=..., H=..." of a sketch position (mm, "  #.0000E+00" each), colour 9,
// font 12, below the frame.
void draw_readout(Canvas& canvas, const SketchMap& map, float w, float h);
// Fills the readout strip with white, erasing the previous readout.
void erase_readout(Canvas& canvas, const SketchMap& map);

// A picked or new point: a red filled circle of radius 80 twips at a surface position (twips).
void mark_point(Canvas& canvas, double x, double y);
// Point p of section s marked as picked: the same red circle at its drawn position.
void mark_picked_point(Canvas& canvas, const SectionTable& table, int s, int p, const SketchMap& map);
// A point being dragged: a red ring around its present position (W, H in mm) and a red dot
// with black outline at the pointer (surface twips).
void mark_drag(Canvas& canvas, const SketchMap& map, float w, float h, double x, double y);
// Line l of section s drawn red and 5 pixels wide: a line just made or about to be deleted.
void mark_line(Canvas& canvas, const SectionTable& table, int s, int l, const SketchMap& map);
