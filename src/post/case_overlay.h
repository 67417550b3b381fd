// What a picture of the frame shows beside the members: the supports, springs and loads of one
// load case, and the frame's overall dimension lines. The geometry (which symbol where, arrow
// ends, each text and the point it belongs to) is worked out on the surface in twips through the
// picture's projection; drawing it only strokes the lines. Loads N and N mm, texts kN and kN m.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/analysis_model.h"
#include "base/canvas.h"
#include "base/number_labels.h"
#include "post/picture_projection.h"

// What a load case holds at one node.
struct NodeConditions {
  int node = 0;                     // 1..n_node
  std::array<bool, 6> fixed{};      // dofs 1..6 at index 0..5
  std::array<double, 6> springs{};  // N/mm, N mm/rad
  std::array<double, 6> loads{};    // N, N mm
};
// The nodes of a load case that are held, sprung or loaded, in node order.
std::vector<NodeConditions> case_conditions(const ModelFileCase& c);

// How a node is held: every dof (fixed), the three translations (pinned, whatever holds its
// rotations), or less than that (partial: a roller, or rotations alone).
enum class SupportKind { none, fixed, pinned, partial };
SupportKind support_kind(const std::array<bool, 6>& fixed);
// The dofs held, named: "H", "L W rH".
std::string held_dofs(const std::array<bool, 6>& fixed);

// A model direction on the surface: a unit step (x right, y down), or, when it runs within about
// 11 degrees of the line of sight, seen end on, pointing towards the viewer or away.
struct SurfaceDirection {
  double x = 0, y = 0;
  bool end_on = false, towards_viewer = false;
};
SurfaceDirection surface_direction(const PictureProjection& p, const P3& d);

// A text of the overlay and the point it belongs to; it goes beside the point, the way given
// first (the labels of a picture are placed together, see place_labels).
struct OverlayText {
  double x = 0, y = 0, towards_x = 1, towards_y = -1;
  std::string text;
  int colour = 0;
};

// A load at a node: a force points at the node (its tip a gap off the node, its tail an arrow's
// length back), a moment is a double-headed arrow along its axis by the right-hand rule, drawn
// the same way. One seen end on is a circle round the node, with a dot (towards the viewer) or a
// cross (away). Arrows along one line at a node stand one behind the other.
struct LoadArrow {
  int node = 0, dof = 0;  // dof 1..6
  double tip_x = 0, tip_y = 0, tail_x = 0, tail_y = 0;  // twips; end on: both the node
  bool moment = false, end_on = false, towards_viewer = false;
  OverlayText label;  // "20 kN", "5 kN m" at the tail, the value without its sign
};

// A support symbol under its node: a hatched bar (fixed), a triangle on a hatched bar (pinned),
// a triangle on rollers with the held dofs named under it (partial).
struct SupportSymbol {
  int node = 0;
  SupportKind kind = SupportKind::none;
  double x = 0, y = 0;  // the node, twips
};
// A spring to ground: a zigzag from the node along its dof's axis (turned to run down the page),
// ending in a bar (translation) or a small circle (rotation). One seen end on runs down and to
// the right and is named ("k_L").
struct SpringSymbol {
  int node = 0, dof = 0;
  double x = 0, y = 0;    // the node, twips
  double dx = 0, dy = 1;  // unit step along the zigzag
  bool end_on = false;
};

struct CaseSymbols {
  std::vector<SupportSymbol> supports;
  std::vector<SpringSymbol> springs;
  std::vector<LoadArrow> arrows;
  std::vector<OverlayText> names;  // of the partial supports' held dofs and the end-on springs
};
// The symbols at the nodes of cycle `cycle` of r (1..pn_cyc), in node order; a node beyond r's is passed over.
CaseSymbols case_symbols(const std::vector<NodeConditions>& nodes, const ResultStore& r, int cycle,
                         const PictureProjection& p);
void draw_case_symbols(Canvas& canvas, const CaseSymbols& s);
// Every text of the symbols: the loads' values, then the names.
std::vector<OverlayText> case_texts(const CaseSymbols& s);
// Where the symbols stand, for the labels to keep off (place_labels).
std::vector<LabelBox> case_obstacles(const CaseSymbols& s);

inline constexpr int support_colour = 2, force_colour = 12, moment_colour = 5;  // dark green, red, purple

// A dimension line of one axis of the box round the frame's nodes: beside the box edge along
// that axis lowest on the page (for an edge running across the page) or furthest right (for one
// running up it), `clearance` twips out, with extension lines from the edge's ends, slashes at
// its ends and the length ("L 6000 mm") at its middle. An axis whose edge shows shorter than
// 300 twips gets none.
struct DimensionLine {
  int axis = 1;  // 1..3: L, W, H
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;        // the line, twips
  double from1_x = 0, from1_y = 0, from2_x = 0, from2_y = 0;  // the edge's ends
  OverlayText label;
};
std::vector<DimensionLine> dimension_lines(const PictureProjection& p, const P3& low, const P3& high, double clearance);
std::vector<LabelBox> dimension_obstacles(const std::vector<DimensionLine>& lines);
void draw_dimension_lines(Canvas& canvas, const std::vector<DimensionLine>& lines);
