// Node and element numbers beside a drawing's points: the one way both drawing windows and the
// report's pictures write them, at a fixed size on the surface, so that zooming moves the numbers
// with their points but never shrinks or swells them. And the rule that keeps the labels of one
// picture clear of each other and of what else is written on it.
#pragma once

#include <optional>
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
inline constexpr int node_label_colour = 1, element_label_colour = 4;  // dark blue, dark red

// Draws each number beside its point; the canvas's text attributes and position are as before.
void draw_number_labels(Canvas& canvas, const std::vector<NumberLabel>& labels, LabelKind kind);

// A box on the surface, twips, y downwards.
struct LabelBox {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool operator==(const LabelBox&) const = default;
};

// A text to place beside a point: its size as measured, and the way it would rather go
// (towards_x, towards_y: up and right is (1, -1)).
struct LabelRequest {
  double x = 0, y = 0;           // the point, twips
  double width = 0, height = 0;  // the text's size, twips
  double towards_x = 1, towards_y = -1;
  bool droppable = false;        // may be left out when every place is taken
};

// The gap between a point and its label, twips.
inline constexpr double label_gap = 45;

// Places the labels in the order given (the first have the first choice): each tries the eight
// places round its point, a gap away (beside, above, below and at the corners), nearest its
// preferred way first, and takes the first that covers no label placed before it and no
// obstacle. When every place is taken, a droppable label is left out (no box), any other takes
// the place it covers least of (the first of equals). Boxes that only touch do not cover.
std::vector<std::optional<LabelBox>> place_labels(const std::vector<LabelRequest>& labels,
                                                  const std::vector<LabelBox>& obstacles);

// A stroke from (x1, y1) to (x2, y2) as obstacles: boxes along it, each reaching `half_width`
// beyond its piece of the stroke on every side, so that a slanting stroke does not take the
// whole box round it.
std::vector<LabelBox> stroke_boxes(double x1, double y1, double x2, double y2, double half_width);
