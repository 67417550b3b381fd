// Drawing of the analysis model with its boundary-condition symbols.
#include "model/model_display.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/preview.h"

namespace {
constexpr int black = 0, red = 4, light_blue = 9, light_green = 10;

// A surface point in whole twips. Kept in double: the triad stands at the model's origin,
// which lies far off the surface when a small model sits far from it, and its axis vectors
// must still come out exact.
struct Pt {
  double x, y;
};

// Nearest whole twips, halves to even (the default rounding mode), as to_screen rounds.
Pt whole(double x, double y) { return {std::nearbyint(x), std::nearbyint(y)}; }
Pt screen(const ViewWindow& view, double u, double v) { return whole(u * view.sx + view.cx, v * view.sy + view.cy); }

// The point a fraction 1/divisor of the way along d from p, taken to whole twips.
Pt along(const Pt& p, const Pt& d, double divisor) { return whole(p.x + d.x / divisor, p.y + d.y / divisor); }

// Whether a point can be painted at all; a far-off triad is left out rather than failing.
bool drawable(const Pt& p) { return std::fabs(p.x) < 2e9 && std::fabs(p.y) < 2e9; }

struct Triad {
  Pt origin;
  Pt end[4];  // 1..3: ends of L, W, H
  Pt d[4];    // 1..3: end minus origin
};

Triad axis_triad(const FixedRotation& turn, const ViewFit& fit, const ViewWindow& view) {
  const float a = static_cast<float>(0.3 * fit.half_range);
  Triad t{};
  Vec3 o(0, 0, 0);
  turn.apply(o);
  t.origin = screen(view, fit.u(o), fit.v(o));
  for (int k = 1; k <= 3; ++k) {
    Vec3 e;
    e[k] = a;
    turn.apply(e);
    t.end[k] = screen(view, fit.u(e), fit.v(e));
    t.d[k] = {t.end[k].x - t.origin.x, t.end[k].y - t.origin.y};
  }
  return t;
}

bool nonzero(float value) { return std::fabs(value) > 0; }

// Fixed degrees of freedom and springs: a thin line to a quarter of the axis, then an open
// (fixed) or hatched (spring) circle for a translation, a square for a rotation.
void draw_supports(Canvas& canvas, const ModelStore& m, int c, int i, const Pt& p, const Triad& t) {
  canvas.set_line_width(1);
  canvas.set_fill_colour(red);
  canvas.set_fill_style(FillStyle::solid);
  canvas.rect(p.x - 80, p.y - 80, p.x + 80, p.y + 80, red, true);
  canvas.set_fill_style(FillStyle::transparent);
  auto symbol = [&](int dof, bool hatched) {
    const int k = dof <= 3 ? dof : dof - 3;
    const Pt at = along(p, t.d[k], 4);
    canvas.set_line_width(1);
    canvas.line(p.x, p.y, at.x, at.y, red);
    canvas.set_line_width(2);
    if (hatched) canvas.set_fill_style(FillStyle::diagonal_cross);
    if (dof <= 3)
      canvas.circle(at.x, at.y, 100, red);
    else
      canvas.rect(at.x - 100, at.y - 100, at.x + 100, at.y + 100, red, false);
  };
  for (int dof = 1; dof <= 6; ++dof)
    if (std::nearbyint(double(m.bc_val(c, i, 1, dof))) > 0) symbol(dof, false);
  canvas.set_fill_style(FillStyle::transparent);
  for (int dof = 1; dof <= 6; ++dof)
    if (nonzero(m.spring_val(c, i, dof))) symbol(dof, true);
}

// Loads: a filled red circle on the node, a 5-pixel line a third of the axis long for a force,
// a dotted line with a circle halfway along it for a moment.
void draw_loads(Canvas& canvas, const ModelStore& m, int c, int i, const Pt& p, const Triad& t) {
  canvas.set_line_width(1);
  canvas.set_fill_colour(red);
  canvas.set_fill_style(FillStyle::solid);
  canvas.circle(p.x, p.y, 80, red);
  canvas.set_line_width(5);
  for (int k = 1; k <= 3; ++k) {
    if (!nonzero(m.bc_val(c, i, 2, k))) continue;
    const Pt to = along(p, t.d[k], 3);
    canvas.line(p.x, p.y, to.x, to.y, red);
  }
  for (int k = 1; k <= 3; ++k) {
    if (!nonzero(m.bc_val(c, i, 2, k + 3))) continue;
    const Pt to = along(p, t.d[k], 3), mid = along(p, t.d[k], 6);
    canvas.set_line_width(1);
    canvas.set_line_style(LineStyle::dot);
    canvas.line(p.x, p.y, to.x, to.y, red);
    canvas.set_line_width(2);
    canvas.set_line_style(LineStyle::solid);
    canvas.set_fill_style(FillStyle::transparent);
    canvas.circle(mid.x, mid.y, 100, red);
  }
}

void draw_axes(Canvas& canvas, const Triad& t) {
  static const char* const names[] = {"", "L", "W", "H"};
  canvas.set_line_width(2);
  canvas.set_fill_colour(light_green);
  canvas.set_fill_style(FillStyle::solid);
  canvas.set_text_colour(light_blue);
  for (int k = 1; k <= 3; ++k) {
    if (!drawable(t.origin) || !drawable(t.end[k])) continue;
    canvas.line(t.origin.x, t.origin.y, t.end[k].x, t.end[k].y, light_blue);
    canvas.set_font_size(18);
    canvas.text(names[k]);
  }
}
}  // namespace

void draw_model_display(Canvas& canvas, ModelStore& m, const Vec3& view_angles, const ViewWindow& view) {
  canvas.clear();
  const FixedRotation turn(view_angles);
  const int n_node = std::max<int>(m.n_node, 0), n_elem = std::max<int>(m.n_elem, 0);

  // Fit: every node turned once, its components 2 and 3 widening the extent.
  std::vector<Vec3> turned(static_cast<size_t>(n_node) + 1);
  ExtentFit extent;
  for (int i = 1; i <= n_node; ++i) {
    Vec3 p(m.node_xyz(i, 1), m.node_xyz(i, 2), m.node_xyz(i, 3));
    turn.apply(p);
    extent.add(p);
    turned[i] = p;
  }
  const ViewFit fit = extent.fit();
  std::vector<Pt> at(static_cast<size_t>(n_node) + 1, Pt{0, 0});
  for (int i = 1; i <= n_node; ++i) {
    m.node_uv(i, 1) = fit.u(turned[i]);
    m.node_uv(i, 2) = fit.v(turned[i]);
    at[i] = screen(view, m.node_uv(i, 1), m.node_uv(i, 2));
  }

  canvas.set_line_width(2);
  canvas.set_line_style(LineStyle::solid);
  for (int e = 1; e <= n_elem; ++e) {
    const int n1 = m.elem_nod(e, 1), n2 = m.elem_nod(e, 2);
    const Pt p1 = screen(view, m.node_uv(n1, 1), m.node_uv(n1, 2));
    const Pt p2 = screen(view, m.node_uv(n2, 1), m.node_uv(n2, 2));
    canvas.line(p1.x, p1.y, p2.x, p2.y, black);
  }

  const Triad triad = axis_triad(turn, fit, view);
  const int c = m.case_no;
  for (int i = 1; i <= n_node; ++i) {
    const Pt& p = at[i];
    const int flag = m.bc_flag(c, i);
    if (flag == 0) {
      canvas.set_line_width(1);
      canvas.set_fill_colour(black);
      canvas.set_fill_style(FillStyle::solid);
      canvas.circle(p.x, p.y, 50, black);
    } else if (flag == 1) {
      draw_supports(canvas, m, c, i, p, triad);
      draw_loads(canvas, m, c, i, p, triad);
    }
  }
  draw_axes(canvas, triad);
}

std::vector<NumberLabel> node_labels(ModelStore& m, const ViewWindow& view) {
  std::vector<NumberLabel> labels;
  for (int i = 1; i <= m.n_node; ++i) {
    const Pt p = screen(view, m.node_uv(i, 1), m.node_uv(i, 2));
    labels.push_back({p.x, p.y, i});
  }
  return labels;
}
