// Node and element numbers beside a drawing's points: the one way both drawing windows and the
// report's pictures write them, at a fixed size on the surface, so that zooming moves the numbers
// with their points but never shrinks or swells them.
#pragma once

#include <vector>

#include "base/canvas.h"

struct NumberLabel {
  double x = 0, y = 0;  // the point labelled, twips on the surface
  int number = 0;
};

// What labels are for: nodes sit up and right of their point, elements (at their middles) down
// and right, each in its colour, so that a node's number and an element's never cover each other.
enum class LabelKind { node, element };

inline constexpr double label_points = 9;  // font size of every label, points

// Draws each number beside its point; the canvas's text attributes and position are as before.
void draw_number_labels(Canvas& canvas, const std::vector<NumberLabel>& labels, LabelKind kind);
