// The result display: prisms, section sketches, centre lines, back-to-front painting and the
// axis triad of one optimisation cycle.
#include "post/result_display.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>

#include "base/number_labels.h"
#include "post/element_frame.h"

namespace {

constexpr int colour_section = 0, colour_design = 6, colour_grey = 7, colour_axes = 9, colour_axis_fill = 10,
              colour_centre = 14;

// A corner as the face store keeps it.
using Corner = ProjectedPoint;

float face_key(const Corner (&k)[4]) { return -((k[0].depth + k[1].depth + k[2].depth + k[3].depth) / 4.0f); }

void set_face_style(Canvas& canvas, bool design) {
  canvas.set_line_width(1);
  if (design) {
    canvas.set_line_style(LineStyle::solid);
  } else {
    canvas.set_line_style(LineStyle::dot);
    canvas.set_text_colour(colour_section);
  }
}

// The edges of a face in the order 1-4, 4-3, 3-2 and, when `closed`, 2-1.
void draw_edges(Canvas& canvas, const ScreenPoint (&s)[4], int colour, bool closed) {
  canvas.line(s[0].x, s[0].y, s[3].x, s[3].y, colour);
  canvas.line(s[3].x, s[3].y, s[2].x, s[2].y, colour);
  canvas.line(s[2].x, s[2].y, s[1].x, s[1].y, colour);
  if (closed) canvas.line(s[1].x, s[1].y, s[0].x, s[0].y, colour);
}

// One drawing: the state shared by its steps.
class Drawing {
 public:
  Drawing(Canvas& canvas, const ResultStore& r, const ResultPicture& p, std::vector<Face>& faces)
      : canvas_(canvas), r_(r), p_(p), proj_(r, p.cycle, p.angles, p.view), faces_(faces) {
    cycle_ = (p.cycle >= 1 && p.cycle <= r.pn_cyc) ? p.cycle : 0;
    size_ = proj_.size();
    faces_.clear();
  }

  void elements() {
    if (cycle_ == 0) return;
    const std::vector<int> section = element_sections(r_);
    for (int e = 1; e <= r_.pn_elem; ++e) {
      if (colour_of(e, true) == not_drawn) continue;
      const P3 p1 = node_of(r_, cycle_, r_.pe_nod(e, 1));
      const P3 p2 = node_of(r_, cycle_, r_.pe_nod(e, 2));
      if (r_.is_non_design(e)) {
        if (const int s = section[static_cast<size_t>(e)]; s > 0) section_beam(e, s, p1, p2);
      } else if (beam(e)) {
        prism(e, diameter(e) / 2, p1, p2);
      } else {
        canvas_.set_line_width(1);
        canvas_.set_line_style(LineStyle::dot);
        const ScreenPoint a = proj_.screen(proj_.normalised(p1)), b = proj_.screen(proj_.normalised(p2));
        canvas_.line(a.x, a.y, b.x, b.y, colour_centre);
      }
    }
  }

  // Back to front: the greatest mean depth first, the nearest face last.
  void paint(FaceRanking how, std::vector<int>& painted) {
    std::vector<int> rank = rank_faces(faces_, how);
    painted.assign(rank.rbegin(), rank.rend());
    for (int f : painted) {
      const Face& face = faces_[static_cast<size_t>(f)];
      canvas_.set_line_width(5);
      canvas_.set_line_style(LineStyle::solid);
      for (int third = 1; third <= 2; ++third) {
        const double w = third / 3.0;
        const ScreenPoint a = proj_.screen(face.u[0] + w * (face.u[3] - face.u[0]), face.v[0] + w * (face.v[3] - face.v[0]));
        const ScreenPoint b = proj_.screen(face.u[1] + w * (face.u[2] - face.u[1]), face.v[1] + w * (face.v[2] - face.v[1]));
        canvas_.line(a.x, a.y, b.x, b.y, colour_grey);
      }
      set_face_style(canvas_, face.design);
      ScreenPoint s[4];
      for (int i = 0; i < 4; ++i) s[i] = proj_.screen(face.u[i], face.v[i]);
      draw_edges(canvas_, s, face.colour, true);
    }
  }

  // The frame displaced by the picture's magnified displacements, over what is drawn.
  void deformed() {
    if (cycle_ == 0 || p_.deformed.empty()) return;
    canvas_.set_line_width(1);
    canvas_.set_line_style(LineStyle::solid);
    for (int e = 1; e <= r_.pn_elem; ++e) {
      if (colour_of(e, true) == not_drawn || !beam(e)) continue;
      const int n1 = r_.pe_nod(e, 1), n2 = r_.pe_nod(e, 2);
      const ScreenPoint a = proj_.screen(proj_.normalised(node_of(r_, cycle_, n1) + p_.deformed[static_cast<size_t>(n1)]));
      const ScreenPoint b = proj_.screen(proj_.normalised(node_of(r_, cycle_, n2) + p_.deformed[static_cast<size_t>(n2)]));
      canvas_.line(a.x, a.y, b.x, b.y, deformed_colour);
    }
  }

  // The supports, springs and loads of the picture's load case and the dimension lines, over the
  // frame; then every text of the picture, placed together clear of each other and of the legend.
  void overlay_and_labels(const std::optional<LabelBox>& legend) {
    if (cycle_ == 0) return;
    std::vector<int> nodes;
    std::vector<NumberLabel> elements;
    beams_drawn(nodes, elements);
    const CaseSymbols symbols = case_symbols(p_.conditions, r_, cycle_, proj_);
    draw_case_symbols(canvas_, symbols);
    std::vector<LabelBox> obstacles = case_obstacles(symbols);
    if (legend) obstacles.push_back(*legend);
    surroundings(obstacles);
    std::vector<OverlayText> texts;
    if (p_.dimensions && !nodes.empty()) {
      const std::vector<DimensionLine> lines = dimension_lines(proj_, box_corner(nodes, false), box_corner(nodes, true), clearance());
      draw_dimension_lines(canvas_, lines);
      for (const DimensionLine& d : lines) texts.push_back(d.label);
      const std::vector<LabelBox> strokes = dimension_obstacles(lines);
      obstacles.insert(obstacles.end(), strokes.begin(), strokes.end());
    }
    const std::vector<OverlayText> loads = case_texts(symbols);
    texts.insert(texts.end(), loads.begin(), loads.end());
    for (const NodeConditions& n : p_.conditions)
      if (n.node >= 1 && n.node <= r_.pn_node && std::find(nodes.begin(), nodes.end(), n.node) == nodes.end())
        nodes.push_back(n.node);
    labels(nodes, elements, texts, obstacles);
  }

  // The axis triad's ends: L, W, H, each 0.3 D from the origin.
  std::array<ScreenPoint, 3> axis_ends() const {
    const double a = 0.3 * size_;
    return {proj_.screen(P3{a, 0, 0}), proj_.screen(P3{0, a, 0}), proj_.screen(P3{0, 0, a})};
  }

  void axes() {
    const ScreenPoint o = proj_.screen(P3{0, 0, 0});
    const std::array<ScreenPoint, 3> ends = axis_ends();
    canvas_.set_line_width(2);
    canvas_.set_line_style(LineStyle::solid);  // a wide line is never dotted
    canvas_.set_fill_colour(colour_axis_fill);
    canvas_.set_fill_style(FillStyle::solid);
    canvas_.set_text_colour(colour_axes);
    const char* names[3] = {"L", "W", "H"};
    for (int i = 0; i < 3; ++i) {
      canvas_.line(o.x, o.y, ends[i].x, ends[i].y, colour_axes);
      canvas_.set_font_size(18);
      canvas_.text(names[i]);
    }
  }

 private:
  int colour_of(int e, bool design) const {
    if (p_.element_colour.empty()) return design ? colour_design : colour_section;
    return p_.element_colour[static_cast<size_t>(e)];
  }

  // Drawn as a beam: at or above the threshold, a non-design bar, or one the picture asks for.
  bool beam(int e) const {
    return shown_as_beam(r_, cycle_, e, p_.threshold) || (!p_.element_beam.empty() && p_.element_beam[static_cast<size_t>(e)]);
  }

  float diameter(int e) const {
    return p_.element_diameter.empty() ? r_.pe_dia(cycle_, e) : p_.element_diameter[static_cast<size_t>(e)];
  }

  // What else the labels keep off: the triad's letters (18 points at the axes' ends) and, on a
  // surface of known size, all round outside it.
  void surroundings(std::vector<LabelBox>& obstacles) {
    const CanvasState kept = canvas_.state();
    canvas_.set_font_size(18);
    double w = 0, h = 0;
    canvas_.measure_text("W", w, h);
    for (const ScreenPoint& e : axis_ends()) obstacles.push_back({double(e.x), double(e.y), e.x + w, e.y + h});
    canvas_.state() = kept;
    const double w_s = p_.surface_width, h_s = p_.surface_height, far = 1e9;
    if (w_s > 0 && h_s > 0)
      for (const LabelBox& b : {LabelBox{-far, -far, far, 0}, LabelBox{-far, h_s, far, far}, LabelBox{-far, -far, 0, far},
                                LabelBox{w_s, -far, far, far}})
        obstacles.push_back(b);
  }

  // The nodes of the beams drawn (in the order first met) and the beams' middles, numbered.
  void beams_drawn(std::vector<int>& nodes, std::vector<NumberLabel>& middles) const {
    std::vector<char> seen(static_cast<size_t>(r_.pn_node) + 1, 0);
    for (int e = 1; e <= r_.pn_elem; ++e) {
      if (colour_of(e, true) == not_drawn || !beam(e)) continue;
      const int n[2] = {r_.pe_nod(e, 1), r_.pe_nod(e, 2)};
      for (int k : n) {
        if (!seen[static_cast<size_t>(k)]) nodes.push_back(k);
        seen[static_cast<size_t>(k)] = 1;
      }
      const ScreenPoint a = proj_.screen(node_of(r_, cycle_, n[0])), b = proj_.screen(node_of(r_, cycle_, n[1]));
      middles.push_back({(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, e});
    }
  }

  // A corner of the box round the nodes: the least (high false) or the greatest coordinates.
  P3 box_corner(const std::vector<int>& nodes, bool high) const {
    P3 c = node_of(r_, cycle_, nodes.front());
    for (int n : nodes) {
      const P3 q = node_of(r_, cycle_, n);
      for (size_t a = 0; a < 3; ++a) c[a] = high ? std::max(c[a], q[a]) : std::min(c[a], q[a]);
    }
    return c;
  }

  // How far out of the box round the nodes a dimension line stands: clear of the thickest beam.
  double clearance() const {
    float thickest = 0;
    for (int e = 1; e <= r_.pn_elem; ++e)
      if (colour_of(e, true) != not_drawn && !r_.is_non_design(e) && beam(e))
        thickest = std::max(thickest, diameter(e));
    return 450 + thickest / 2 / size_ * std::fabs(p_.view.sy);
  }

  // The node numbers first, then the other texts, then the element numbers, each placed where it
  // covers none before it; drawn element numbers first, as ever, then nodes, then the rest.
  void labels(const std::vector<int>& nodes, const std::vector<NumberLabel>& elements,
              const std::vector<OverlayText>& texts, const std::vector<LabelBox>& obstacles) {
    const CanvasState kept = canvas_.state();
    canvas_.set_font_size(label_points);
    struct Text {
      std::string text;
      int colour;
    };
    std::vector<Text> what;
    std::vector<LabelRequest> requests;
    auto request = [&](double x, double y, double tx, double ty, const std::string& text, int colour, bool droppable) {
      double w = 0, h = 0;
      canvas_.measure_text(text, w, h);
      requests.push_back({x, y, w, h, tx, ty, droppable});
      what.push_back({text, colour});
    };
    if (p_.node_numbers)
      for (int n : nodes) {
        const ScreenPoint s = proj_.screen(node_of(r_, cycle_, n));
        request(s.x, s.y, 1, -1, std::to_string(n), node_label_colour, false);
      }
    for (const OverlayText& t : texts) request(t.x, t.y, t.towards_x, t.towards_y, t.text, t.colour, false);
    if (p_.element_numbers)
      for (const NumberLabel& e : elements) request(e.x, e.y, 1, 1, std::to_string(e.number), element_label_colour, true);
    const std::vector<std::optional<LabelBox>> boxes = place_labels(requests, obstacles);
    const size_t first_element = requests.size() - (p_.element_numbers ? elements.size() : 0);
    std::vector<size_t> order;
    for (size_t i = first_element; i < requests.size(); ++i) order.push_back(i);
    for (size_t i = 0; i < first_element; ++i) order.push_back(i);
    for (size_t i : order) {
      if (!boxes[i]) continue;
      if (p_.label_background >= 0) canvas_.rect(boxes[i]->x1, boxes[i]->y1, boxes[i]->x2, boxes[i]->y2, p_.label_background, true);
      canvas_.set_text_colour(what[i].colour);
      canvas_.move_to(boxes[i]->x1, boxes[i]->y1);
      canvas_.text(what[i].text);
    }
    canvas_.state() = kept;
  }

  void section_beam(int e, int s, const P3& p1, const P3& p2) {
    const SectionTable& t = r_.sections;
    const ElementAxes ax = element_axes(p2 - p1, {r_.pe_ref(e, 1), r_.pe_ref(e, 2), r_.pe_ref(e, 3)});
    auto at = [&](int q, const P3& node) { return node + double(t.pnt_xy(s, q, 1)) * ax.u2 + double(t.pnt_xy(s, q, 2)) * ax.u1; };
    if (!p_.hidden_lines) set_face_style(canvas_, false);
    for (int l = 1; l <= t.n_line(s); ++l) {
      const int q1 = t.line_pnt(s, l, 1), q2 = t.line_pnt(s, l, 2);
      const Corner k[4] = {proj_.normalised(at(q1, p1)), proj_.normalised(at(q1, p2)), proj_.normalised(at(q2, p2)),
                           proj_.normalised(at(q2, p1))};
      face(k, false, colour_of(e, false));
    }
  }

  void prism(int e, double radius, const P3& p1, const P3& p2) {
    const P3 a = p2 - p1;
    // The reference point is 1 mm off node 1 across the element; the frame turns by it divided
    // by the picture's size less node 1, which only sets how the hexagon stands about its axis.
    const bool along_w = std::fabs(a[1]) / norm(a) > 0.998;
    const P3 t = p1 + P3{0, along_w ? 0.0 : 1.0, along_w ? 1.0 : 0.0};
    const ElementAxes ax = element_axes(a, (1.0 / size_) * t - p1);
    constexpr double step = 6.28318 / 6;
    Corner ring1[7], ring2[7];  // angles (j - 1/2) step, j = 0..6, at node 1 and node 2
    for (int j = 0; j <= 6; ++j) {
      const double theta = j * step - step / 2;
      const P3 off = (-radius * std::cos(theta)) * ax.u2 + (radius * std::sin(theta)) * ax.u1;
      ring1[j] = proj_.normalised(p1 + off);
      ring2[j] = proj_.normalised(p2 + off);
    }
    if (!p_.hidden_lines) set_face_style(canvas_, true);
    for (int j = 1; j <= 6; ++j) {
      const Corner k[4] = {ring1[j - 1], ring2[j - 1], ring2[j], ring1[j]};
      face(k, true, colour_of(e, true));
    }
  }

  void face(const Corner (&k)[4], bool design, int colour) {
    if (p_.hidden_lines) {
      Face f;
      for (int i = 0; i < 4; ++i) {
        f.u[i] = k[i].u;
        f.v[i] = k[i].v;
        f.depth[i] = k[i].depth;
      }
      f.design = design;
      f.colour = colour;
      f.key = face_key(k);
      faces_.push_back(f);
      return;
    }
    ScreenPoint s[4];
    for (int i = 0; i < 4; ++i) s[i] = proj_.screen(k[i]);
    // Edge 2-1 of a prism face is edge 4-3 of the face before it: each is drawn once.
    draw_edges(canvas_, s, colour, !design);
  }

  Canvas& canvas_;
  const ResultStore& r_;
  const ResultPicture& p_;
  PictureProjection proj_;
  std::vector<Face>& faces_;
  int cycle_ = 0;
  float size_ = 1;
};

// Swatches 240 twips square down the upper left corner of the surface, each with its value
// beside, under the title; the picture's zoom does not move them.
void draw_legend(Canvas& canvas, const Legend& legend) {
  if (legend.entries.empty()) return;
  constexpr double swatch = 240, step = 300, x = 120;
  double y = 480;
  canvas.set_line_width(1);
  canvas.set_line_style(LineStyle::solid);
  canvas.set_font_size(9);
  canvas.set_text_colour(0);
  canvas.move_to(x, y - 360);
  canvas.text(legend.title);
  for (const auto& [colour, label] : legend.entries) {
    canvas.rect(x, y, x + swatch, y + swatch, colour, true);
    canvas.move_to(x + swatch + 120, y);
    canvas.text(label);
    y += step;
  }
}

// The box the legend takes, to keep the labels off it; none without a legend.
std::optional<LabelBox> legend_box(Canvas& canvas, const Legend& legend) {
  if (legend.entries.empty()) return std::nullopt;
  const CanvasState kept = canvas.state();
  canvas.set_font_size(9);
  double w = 0, h = 0, right = 0;
  canvas.measure_text(legend.title, w, h);
  right = 120 + w;
  for (const auto& entry : legend.entries) {
    canvas.measure_text(entry.second, w, h);
    right = std::max(right, 480 + w);
  }
  canvas.state() = kept;
  return LabelBox{120, 120, right, 480 + 300.0 * static_cast<double>(legend.entries.size())};
}

}  // namespace

std::vector<int> rank_faces(const std::vector<Face>& faces, FaceRanking how) {
  const size_t n = faces.size();
  std::vector<int> rank(n);
  if (how == FaceRanking::stable_sort) {
    std::iota(rank.begin(), rank.end(), 0);
    std::stable_sort(rank.begin(), rank.end(), [&](int a, int b) {
      return faces[static_cast<size_t>(a)].key > faces[static_cast<size_t>(b)].key;
    });
    return rank;
  }
  // Rank by rank, the face of the largest key not yet taken; the first of equal keys wins.
  std::vector<char> used(n, 0);
  for (size_t r = 0; r < n; ++r) {
    float best = -1e30f;
    size_t pick = n;
    for (size_t i = 0; i < n; ++i)
      if (!used[i] && faces[i].key > best) {
        best = faces[i].key;
        pick = i;
      }
    if (pick == n) pick = static_cast<size_t>(std::find(used.begin(), used.end(), 0) - used.begin());
    used[pick] = 1;
    rank[r] = static_cast<int>(pick);
  }
  return rank;
}

void ResultDisplay::draw(Canvas& canvas, const ResultStore& r, const ResultPicture& p) {
  canvas.clear();
  painted_.clear();
  Drawing d(canvas, r, p, faces_);
  d.elements();
  if (p.hidden_lines) d.paint(ranking_, painted_);
  d.deformed();
  const std::optional<LabelBox> legend = legend_box(canvas, p.legend);
  d.overlay_and_labels(legend);
  d.axes();
  draw_legend(canvas, p.legend);
}
