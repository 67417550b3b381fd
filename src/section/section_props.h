// Section properties of a thin-walled sketch: area and the second moments about the sketch
// axes W and H through the origin (not the centroid). Each line is a thin rectangle of its
// length and thickness, turned to its angle and moved to its midpoint by the parallel-axis rule.
#pragma once

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
