// Picking a node of the analysis model with the mouse in the boundary-condition stage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/view_window.h"
#include "model/model_store.h"

// The node 1..n_node nearest to the surface point (x, y) in twips, measured to each node's
// drawn position: the nearest whole twips of view.sx * u + view.cx, view.sy * v + view.cy,
// from node_uv as the last drawing left it. Of equal distances the higher number wins.
// 0 when there are no nodes.
int16_t pick_node(const ModelStore& m, const ViewWindow& view, double x, double y);

// The node drawn within `radius` twips of (x, y) (the nearest, as pick_node), or 0.
int16_t node_near(const ModelStore& m, const ViewWindow& view, double x, double y, double radius);

// Every node drawn on the spot of node_near's node, that one first (the one a press picks),
// then the others that lie behind or before it in the view, by number; empty when none is near.
std::vector<int16_t> nodes_near(const ModelStore& m, const ViewWindow& view, double x, double y, double radius);

// Every node drawn inside the box with corners (x1, y1) and (x2, y2) in twips (edges included),
// by number.
std::vector<int16_t> nodes_in_box(const ModelStore& m, const ViewWindow& view, double x1, double y1, double x2, double y2);

// "node 12 (L 50, W 0, H 100)": a node of the analysis model with its coordinates in mm, as
// the model file will hold them.
std::string node_text(const ModelStore& m, int16_t node);
