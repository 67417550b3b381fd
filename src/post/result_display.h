// The result display of the post-processing window (its Draw_3D): one cycle of the result store
// as beams with volume. Design elements at or above the density threshold are hexagonal prisms
// of their diameter, thinner ones dotted yellow centre lines; non-design elements are their
// section sketch drawn along the element; optionally the faces are painted back to front.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "post/element_frame.h"

#include "base/canvas.h"
#include "base/rotate.h"
#include "base/view_window.h"
#include "post/case_overlay.h"
#include "post/result_store.h"

// A colour scale beside the picture: a title and, top to bottom, swatches with their values.
struct Legend {
  std::string title;
  std::vector<std::pair<int, std::string>> entries;  // colour, label
};

// An element left out of the picture altogether (removed by a clean-up).
inline constexpr int not_drawn = -1;

// What one drawing shows.
struct ResultPicture {
  int cycle = 1;            // 1..pn_cyc; any other cycle draws the axis triad alone
  float threshold = 1;      // fraction of pd_max: a design element thinner than that is a centre line
  bool hidden_lines = false;
  Vec3 angles;              // view angles in radians about L, W, H
  ViewWindow view = post_view;
  // The views beyond the diameters, each empty for the plain picture. Per element 1..pn_elem
  // (index 0 unused): the colour of its edges (or not_drawn), and the diameter it is drawn with
  // in place of the cycle's (mm).
  std::vector<int> element_colour;
  std::vector<float> element_diameter;
  // Per element 1..pn_elem (index 0 unused): drawn as a beam whatever its diameter (a member
  // added back to hold a mechanism); empty: none is.
  std::vector<char> element_beam;
  // Per node 1..pn_node (index 0 unused): the magnified displacement (L, W, H in mm); the
  // deformed frame is drawn over the picture as solid centre lines in deformed_colour.
  std::vector<P3> deformed;
  Legend legend;
  // The numbers of the nodes and of the elements drawn as beams (design elements at or above
  // the threshold and non-design bars), beside them at a fixed size.
  bool node_numbers = false;
  bool element_numbers = false;
  // Over the frame: the supports, springs and loads of a load case (none when empty), and the
  // dimension lines of the box round the nodes of the beams drawn.
  std::vector<NodeConditions> conditions;
  bool dimensions = false;
  // The surface's size in twips when known (0: not): the labels stay inside it. A colour painted
  // under each label, so that no line behind it runs through it (none when negative).
  double surface_width = 0, surface_height = 0;
  int label_background = -1;
};
inline constexpr int deformed_colour = 13;

// A quadrilateral of a prism or of a section line drawn along its element, corners 1..4 at
// index 0..3: normalised surface position (u right, v down) and depth (the rotated L component:
// larger is further from the viewer).
struct Face {
  float u[4], v[4], depth[4];
  bool design;
  int colour;  // of its edges
  float key;  // -(d1 + d2 + d3 + d4) / 4 in Single: larger is nearer
};

// How the faces are ranked for back-to-front painting. Both give the same order: by key,
// larger first, and of equal keys the lower face number first. The selection is the plain
// quadratic search, kept as the reference of the benchmark and the tests.
enum class FaceRanking { stable_sort, selection };

// The ranks of faces (0-based face numbers, nearest first). Painting runs from the last rank
// to the first: the greatest mean depth first, and of equal depths the lower face number last.
std::vector<int> rank_faces(const std::vector<Face>& faces, FaceRanking how = FaceRanking::stable_sort);

class ResultDisplay {
 public:
  // Clears the canvas and draws cycle p.cycle of r (lengths in mm, surface in twips):
  //  - the extent of the cycle's rotated nodes gives the centre and the size D, the larger of
  //    the two screen extents (not half of it); a point (rotated) maps to ((p2 - c2) / D,
  //    (p3 - c3) / D) and then through the view window. D = 0 (every node on one projected
  //    point) falls back to pd_max, or 1 mm;
  //  - a design element is a prism when threshold * pd_max <= its diameter (equality draws
  //    it), else a centre line (width 1, dotted, colour 14), drawn at once in both modes;
  //  - the k-th non-design element takes the k-th section with lines (or the previous one's
  //    when they run out) and draws one face per section line;
  //  - without hidden lines every face's edges are drawn at once: 1-4, 4-3, 3-2 for a prism
  //    face (18 lines a prism), also 2-1 for a section face (4 a section line); design faces
  //    solid in colour 6, section faces dotted in colour 0, width 1;
  //  - with hidden lines the faces are kept and painted after all elements, back to front
  //    (rank_faces): two light grey strokes 5 wide across the face, then its four edges;
  //  - then the loads, supports and dimension lines over it, and the texts: node numbers, the
  //    dimensions, the loads' values, the supports' names and element numbers, placed together
  //    clear of each other and of the legend (place_labels; an element number without room is
  //    left out);
  //  - last the axis triad at the origin, 0.3 D long, L, W, H in light blue, width 2.
  // Frames: a non-design element turns its section by its reference taken as a direction (its
  // W axis along the part of the reference across the element, H along element x W); a prism
  // by R = T / D - P1 with T = P1 + (0, 1, 0), or P1 + (0, 0, 1) when |W2 - W1| / |P2 - P1| >
  // 0.998. A reference along the element falls back to the global axis most across it; an
  // element of zero length collapses to its node. Nothing here fails on such geometry; only a
  // coordinate beyond the Single range ("Overflow") ends the drawing.
  void draw(Canvas& canvas, const ResultStore& r, const ResultPicture& p);

  void set_ranking(FaceRanking how) { ranking_ = how; }
  // The faces of the last drawing with hidden lines, by face number, and their painting order.
  const std::vector<Face>& faces() const { return faces_; }
  const std::vector<int>& painted() const { return painted_; }

 private:
  std::vector<Face> faces_;  // grows as needed: no face is ever dropped
  std::vector<int> painted_;
  FaceRanking ranking_ = FaceRanking::stable_sort;
};
