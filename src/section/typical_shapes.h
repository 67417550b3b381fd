// The two prepared thin-walled sections of the editor, centred on the sketch origin: a
// rectangular tube and an octagon standing for a circular tube. A generated shape replaces
// the points and lines of its section. Lengths in mm; W horizontal, H vertical.
#pragma once

#include "section/section_table.h"

enum class TypicalShape { rectangular, circular };

struct TypicalShapeInput {
  TypicalShape shape = TypicalShape::rectangular;
  float width = 100, height = 100;  // outer sizes along W and H of the rectangular tube, mm
  float radius = 50;                // of the octagon's corners, mm
  float thickness = 1;              // of every wall, mm
};

// Section s becomes the rectangular tube: corners 1 (w/2, h/2), 2 (w/2, -h/2), 3 (-w/2, -h/2),
// 4 (-w/2, h/2) joined 1-2, 2-3, 3-4, 4-1, every wall of thickness t.
void make_rectangular_tube(SectionTable& table, int s, float w, float h, float t);

// Section s becomes the regular octagon of corner radius r: corner n at the angle
// (n - 1) * 6.28318 / 8 radians from W, line n from corner n to corner n + 1 and line 8 back
// to corner 1, every wall of thickness t. The angle constant is the one the section files
// have always been made with, not the exact 2 pi: corner 3 lies 0.0000663 mm off H for r = 50.
void make_octagon(SectionTable& table, int s, float r, float t);

// The selected shape, made only when the product of its sizes and the thickness
// (w * h * t or r * t), rounded to a Single, is above 0: two negative sizes make a mirrored
// shape, a zero size makes nothing. True when section s was replaced.
bool make_typical_shape(SectionTable& table, int s, const TypicalShapeInput& input);
