// Drawing of the design preview and the fit it shares with the model display.
#include "model/preview.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "formats/numtext.h"
#include "model/geometry.h"

void ExtentFit::add(const Vec3& p) {
  max2_ = std::max(max2_, p[2]);
  max3_ = std::max(max3_, p[3]);
  min2_ = std::min(min2_, p[2]);
  min3_ = std::min(min3_, p[3]);
}

ViewFit ExtentFit::fit() const {
  ViewFit f;
  f.c2 = static_cast<float>((double(min2_) + max2_) / 2);
  f.c3 = static_cast<float>((double(min3_) + max3_) / 2);
  f.half_range = (double(std::max(max2_, max3_)) - std::min(min2_, min3_)) / 2;
  if (!(f.half_range > 0)) f.half_range = 1;
  return f;
}

namespace {
// Every record's corners, and its displaced corners turned by the view angles: computed once
// per drawing for the fit, the circles and the picking positions.
struct RecordView {
  RecordCorners corners;
  CornerSet turned;
};

std::vector<RecordView> record_views(const ModelStore& m, const FixedRotation& view_turn, ExtentFit& extent) {
  std::vector<RecordView> views(static_cast<size_t>(std::max<int>(m.n_gr, 0)) + 1);
  for (int r = 1; r <= m.n_gr; ++r) {
    RecordView& rv = views[r];
    rv.corners = record_corners(m, r);
    for (int c = 1; c <= 8; ++c) {
      rv.turned[c] = rv.corners.displaced[c];
      view_turn.apply(rv.turned[c]);
      extent.add(rv.turned[c]);
    }
  }
  return views;
}

constexpr int black = 0, blue = 1, red = 4, yellow = 6, light_red = 12;
constexpr double corner_radius = 80, picked_radius = 120;

struct Projector {
  const FixedRotation& turn;
  const ViewFit& fit;
  const ViewWindow& view;

  // Normalised (u, v) of a model point.
  void uv(Vec3 p, float& u, float& v) const {
    turn.apply(p);
    u = fit.u(p);
    v = fit.v(p);
  }
  ScreenPoint screen(double u, double v) const { return to_screen(view, u, v); }
};

std::string coordinate_label(const Vec3& p) {
  return " (" + format_number(p[1], pattern::fixed2) + "," + format_number(p[2], pattern::fixed2) + "," +
         format_number(p[3], pattern::fixed2) + ")";
}

void label_at(Canvas& canvas, const ScreenPoint& at, const Vec3& p) {
  canvas.set_text_colour(red);
  canvas.set_font_size(7);
  canvas.move_to(at.x, at.y);
  canvas.text(coordinate_label(p));
}

// A corner or bar end: solid red for the edited record, a dotted blue ring otherwise.
void corner_circle(Canvas& canvas, const ScreenPoint& at, bool edited, bool picked) {
  if (edited) {
    canvas.set_line_width(3);
    canvas.set_line_style(LineStyle::solid);
    canvas.set_fill_style(FillStyle::solid);
    canvas.set_fill_colour(red);
    canvas.circle(at.x, at.y, corner_radius, red);
    if (picked) canvas.circle(at.x, at.y, picked_radius, light_red);
  } else {
    canvas.set_line_width(1);
    canvas.set_line_style(LineStyle::dot);
    canvas.set_fill_style(FillStyle::transparent);
    canvas.circle(at.x, at.y, corner_radius, blue);
  }
}

Vec3 mean_of(const CornerSet& p, int a, int b, int c, int d) {
  Vec3 r;
  for (int x = 1; x <= 3; ++x) r[x] = static_cast<float>((double(p[a][x]) + p[b][x] + p[c][x] + p[d][x]) / 4);
  return r;
}

void draw_record(Canvas& canvas, ModelStore& m, int r, bool edited, const RecordView& rv, const Projector& proj,
                 bool labels) {
  const RecordCorners& rc = rv.corners;
  for (int c = 1; c <= 8; ++c)
    for (int a = 1; a <= 3; ++a) m.corner_xyz(c, a) = rc.plain[c][a];
  if (edited)
    for (int c = 1; c <= 8; ++c)
      for (int a = 1; a <= 3; ++a) m.apex_xyz(c, a) = rc.plain[c][a];

  const int kind = m.gr_div(r, 4);
  if (kind != 1 && kind != 2) return;  // not a record the list can hold: nothing to draw

  // A bar's block has divisions 1, 1, 1: its lattice is its eight displaced corners.
  Lattice bar_lattice;
  if (kind == 2) bar_lattice.xyz.assign(rc.displaced.begin(), rc.displaced.end());
  const Lattice lattice = kind == 1 ? record_lattice(m, r, rc.displaced) : std::move(bar_lattice);
  std::vector<PointPair> pairs;
  if (kind == 1) pairs = choose_pairs(lattice, AxisWeights{}, r);

  const int n = lattice.count();
  std::vector<ScreenPoint> at(static_cast<size_t>(n) + 1, ScreenPoint{0, 0});
  for (int p = 1; p <= n; ++p) {
    float u, v;
    proj.uv(lattice.xyz[p], u, v);
    m.node_uv(p, 1) = u;
    m.node_uv(p, 2) = v;
    at[p] = proj.screen(u, v);
  }
  ScreenPoint corner_at[9];
  for (int c = 1; c <= 8; ++c) {
    const float u = proj.fit.u(rv.turned[c]), v = proj.fit.v(rv.turned[c]);
    m.apex_scr(c, 1) = u;
    m.apex_scr(c, 2) = v;
    corner_at[c] = proj.screen(u, v);
  }

  const int colour = edited ? yellow : blue;
  const LineStyle style = edited ? LineStyle::solid : LineStyle::dot;
  if (kind == 1) {
    canvas.set_line_width(1);
    canvas.set_line_style(style);
    for (const PointPair& pq : pairs) canvas.line(at[pq.p].x, at[pq.p].y, at[pq.q].x, at[pq.q].y, colour);
    for (int c = 1; c <= 8; ++c) {
      corner_circle(canvas, corner_at[c], edited, edited && m.apex_sel == c);
      if (labels) label_at(canvas, corner_at[c], rc.plain[c]);
    }
    return;
  }

  // Bar: from the centre of its +L end (points 1, 3, 5, 7) to that of its -L end.
  auto end_of = [&](int a, int b, int c, int d) {
    const double u = (double(m.node_uv(a, 1)) + m.node_uv(b, 1) + m.node_uv(c, 1) + m.node_uv(d, 1)) / 4;
    const double v = (double(m.node_uv(a, 2)) + m.node_uv(b, 2) + m.node_uv(c, 2) + m.node_uv(d, 2)) / 4;
    return proj.screen(u, v);
  };
  const ScreenPoint end1 = end_of(1, 3, 5, 7), end2 = end_of(2, 4, 6, 8);
  canvas.set_line_width(edited ? 10 : 1);
  canvas.set_line_style(style);
  canvas.line(end1.x, end1.y, end2.x, end2.y, colour);
  corner_circle(canvas, end1, edited, false);
  if (labels) label_at(canvas, end1, mean_of(rc.plain, 1, 3, 5, 7));
  corner_circle(canvas, end2, edited, false);
  if (labels) label_at(canvas, end2, mean_of(rc.plain, 2, 4, 6, 8));
}

// Whether a normalised point lands on the surface's coordinate range (a far origin may not).
bool drawable(const ViewWindow& view, double u, double v) {
  const double x = u * view.sx + view.cx, y = v * view.sy + view.cy;
  return std::fabs(x) < 2e9 && std::fabs(y) < 2e9;
}

void draw_axis_marks(Canvas& canvas, ModelStore& m, const RecordView& rv, const Projector& proj) {
  float pu[9], pv[9];
  for (int c = 1; c <= 8; ++c) {
    m.apex_scr(c, 1) = proj.fit.u(rv.turned[c]);
    m.apex_scr(c, 2) = proj.fit.v(rv.turned[c]);
    proj.uv(rv.corners.plain[c], pu[c], pv[c]);
  }
  double cu = 0, cv = 0;
  for (int c = 1; c <= 8; ++c) {
    cu += pu[c];
    cv += pv[c];
  }
  cu /= 8;
  cv /= 8;

  canvas.set_line_width(1);
  canvas.set_line_style(LineStyle::solid);
  canvas.set_text_colour(black);
  canvas.set_font_size(9);
  // The record's own edges from corner 6 (-L, -W, -H): towards 5 (L), 2 (W) and 8 (H).
  const ScreenPoint from = proj.screen(cu, cv);
  const struct {
    int corner;
    const char* name;
  } edges[3] = {{5, "L"}, {2, "W"}, {8, "H"}};
  for (const auto& e : edges) {
    const ScreenPoint to = proj.screen(cu + 0.6 * (pu[e.corner] - pu[6]), cv + 0.6 * (pv[e.corner] - pv[6]));
    canvas.line(from.x, from.y, to.x, to.y, black);
    canvas.text(e.name);
  }

  // The world axes at the origin.
  const double length = 0.3 * proj.fit.half_range;
  float ou, ov;
  proj.uv(Vec3(0, 0, 0), ou, ov);
  if (!drawable(proj.view, ou, ov)) return;
  const ScreenPoint origin = proj.screen(ou, ov);
  for (int a = 1; a <= 3; ++a) {
    Vec3 tip;
    tip[a] = static_cast<float>(length);
    float u, v;
    proj.uv(tip, u, v);
    if (!drawable(proj.view, u, v)) continue;
    const ScreenPoint to = proj.screen(u, v);
    canvas.line(origin.x, origin.y, to.x, to.y, black);
  }
}
}  // namespace

void draw_design_preview(Canvas& canvas, ModelStore& m, const Vec3& view_angles, const ViewWindow& view,
                         bool show_coordinates) {
  if (m.n_gr < 1) return;
  const int edited = m.n_gr - m.n_gr_m;
  const FixedRotation view_turn(view_angles);
  ExtentFit extent;
  const std::vector<RecordView> views = record_views(m, view_turn, extent);
  const ViewFit fit = extent.fit();
  const Projector proj{view_turn, fit, view};
  for (int r = 1; r <= m.n_gr; ++r) draw_record(canvas, m, r, r == edited, views[r], proj, show_coordinates);
  // A selector number outside the list edits no record: no marks, picking keeps its corners.
  if (edited >= 1 && edited <= m.n_gr) draw_axis_marks(canvas, m, views[edited], proj);
}

ViewFit design_fit(const ModelStore& m, const Vec3& view_angles) {
  ExtentFit extent;
  record_views(m, FixedRotation(view_angles), extent);
  return extent.fit();
}
