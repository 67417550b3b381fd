// The display of the analysis model in the boundary-condition stage: elements as black lines,
// nodes as dots, the boundary-condition symbols of the current load case, the axis triad at
// the model's origin. It also leaves every node's normalised position for picking.
#pragma once

#include "base/canvas.h"
#include "base/number_labels.h"
#include "base/rotate.h"
#include "base/view_window.h"
#include "model/model_store.h"

// Clears the canvas and draws the analysis model (nodes 1..n_node, elements 1..n_elem) turned
// by view_angles (radians about L, W, H) and fitted with the shared fit (half of the overall
// span, R = 1 when it is 0 or there are no nodes), then mapped through `view` (twips).
// Writes node_uv(i, 1..2) for i = 1..n_node. Symbols of a node carrying data in case_no,
// with D_k the screen vector of the triad's axis k (0.3 R long) taken between whole twips:
//   fixed translation k (dof 1..3): a line to D_k/4 and an open circle (radius 100) there;
//   fixed rotation about k (dof 4..6): the same line and an open square (half side 100);
//   spring: the same symbol hatched; load along k: a 5-pixel line to D_k/3; moment about k:
//   a dotted line to D_k/3 and an open circle at D_k/6. Every node with data shows a filled
//   red square (half side 80) and a filled red circle (radius 80); a node without a black dot.
// The symbols show which degrees of freedom carry values, never their sign or size.
// Leaves line width 2, solid lines, solid fill in colour 10, text colour 9, font size 18.
// Node or element numbers beyond the store raise "Subscript out of range".
void draw_model_display(Canvas& canvas, ModelStore& m, const Vec3& view_angles, const ViewWindow& view);
// Every node at the place the last drawing gave it (node_uv through `view`), with its number.
std::vector<NumberLabel> node_labels(ModelStore& m, const ViewWindow& view);
