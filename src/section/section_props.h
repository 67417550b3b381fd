// Section properties of a thin-walled sketch: area and the second moments about the sketch
// axes W and H through the origin (not the centroid), as the model file stores them; and the
// same walls about their centroid and principal axes with their torsion constant. Each line is a
// thin rectangle of its length and thickness, turned to its angle and moved to its midpoint by
// the parallel-axis rule.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "section/section_table.h"

struct SectionProperties {
  double sec_a = 0;   // area, mm2
  double sec_iw = 0;  // second moment about the W axis (horizontal), mm4
  double sec_ih = 0;  // second moment about the H axis (vertical), mm4
};

// Properties of section s of the table from its lines 1..n_line(s), in line order; a line
// whose ends coincide adds nothing. Lengths and thicknesses in mm.
// With single_precision sums every sum is stored back as Single after each addition (the
// editor's writers); with double_precision the area stays Single and the two moments are
// summed in double (the modelling window's copy writer), which may differ in the last digit.
SectionProperties section_properties(const SectionTable& table, int s, MomentSums sums);

// The section as a member check sees it: the same thin walls (lines with their thickness, no
// corner corrections), taken about their centroid and principal axes, with the St Venant
// torsion constant. Only walls of positive length and thickness carry anything. The analysis
// keeps section_properties above; these values say how far the section differs from it.
// Units: mm, mm2, mm4; angles in degrees; W horizontal, H vertical.
struct DrawnSectionProperties {
  double area = 0;                        // mm2
  double centroid_w = 0, centroid_h = 0;  // mm, from the sketch origin
  double iw = 0, ih = 0;                  // about axes through the centroid parallel to W and H, mm4
  double iwh = 0;                         // integral of (W - Wc)(H - Hc) dA, mm4
  double i1 = 0, i2 = 0;                  // principal second moments, i1 >= i2, mm4
  double angle = 0;                       // of the i1 axis anticlockwise from W, [0, 180) degrees
  double j = 0;                           // St Venant torsion constant, mm4
  int cells = 0;                          // independent closed cells the walls form
  double size = 0;                        // larger side of the box around the wall corners, mm
  // Each wall's line moved by half its thickness to either side: first end left, second end
  // left, second end right, first end right (left and right as seen from the first end).
  std::vector<std::array<double, 2>> corners;
};

// Section s of the table as drawn, in double precision. Coordinates and lengths in mm, the
// area in mm2, second moments and J in mm4, the angle in degrees.
// Torsion: open walls give L t^3 / 3 each. A closed cell gives 4 A_m^2 / (sum of L / t) over
// its walls (Bredt), A_m the area inside their centre lines; the walls outside it stay open
// walls. Walls meet only where they share an end point (ends within 1e-6 of the sketch's size
// count as one). A group of walls with several cells is taken as if slit to its one strongest
// closed cell: a lower bound of its St Venant constant, as cutting a wall never stiffens.
// Separate groups of walls add up.
DrawnSectionProperties drawn_section_properties(const SectionTable& table, int s);

// Whether each difference between the section as drawn and the section about its centroid
// matters to the analysis, which takes the bar's axis at the sketch origin, bends it about W
// and H with the second moments about the origin, and twists it with J = Iw + Ih.
struct DrawnSectionNotes {
  bool centroid_off = false;   // the centroid lies more than 1 % of the section's size from the origin
  bool product_moment = false; // i2 lies more than 1 % below the smaller of iw, ih
  bool torsion = false;        // the St Venant J and Iw + Ih about the origin differ by more than 2 times
  bool any() const { return centroid_off || product_moment || torsion; }
};
// `as_drawn` as section_properties gives it (mm2, mm4), `d` for the same section.
DrawnSectionNotes drawn_section_notes(const DrawnSectionProperties& d, const SectionProperties& as_drawn);
// What the analysis changes by taking the section as drawn, one sentence per note; "" without
// any. Values in mm, mm4, degrees.
std::string drawn_section_note_text(const DrawnSectionProperties& d, const SectionProperties& as_drawn);
