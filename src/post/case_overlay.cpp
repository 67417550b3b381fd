// The supports, springs, loads and dimension lines drawn over a picture of the frame.
#include "post/case_overlay.h"

#include <algorithm>
#include <cmath>

#include "formats/numtext.h"

namespace {

const char* const dof_names[6] = {"L", "W", "H", "rL", "rW", "rH"};

// Sizes on the surface, twips.
constexpr double arrow_length = 720, node_gap = 60, head = 150, second_head = 120, end_on_radius = 100;
constexpr double spring_length = 420, zig = 70, ground = 240, hatch = 90;
constexpr double same_line = 0.966;  // cos 15 degrees: arrows this close in direction share a line
constexpr double least_across = 0.2;  // sin 11.5 degrees: a direction closer to the line of sight is end on
constexpr double shortest_dimension = 300;

P3 unit_axis(int axis) {
  P3 d{0, 0, 0};
  d[static_cast<size_t>(axis)] = 1;
  return d;
}

// The value of a load as its label says it: kN or kN m, without sign.
std::string load_text(int dof, double value) {
  return dof <= 3 ? report_number(std::fabs(value) / 1000) + " kN" : report_number(std::fabs(value) / 1e6) + " kN m";
}

// How far from the node an arrow along `dir` starts: a gap, or behind the arrows before it on its line.
double arrow_start(const std::vector<LoadArrow>& before, const ScreenPoint& s, const SurfaceDirection& dir) {
  double start = node_gap;
  for (const LoadArrow& b : before) {
    const double bx = b.tip_x - b.tail_x, by = b.tip_y - b.tail_y;
    if (!b.end_on && (bx * dir.x + by * dir.y) / std::hypot(bx, by) > same_line)
      start = std::max(start, std::hypot(b.tail_x - s.x, b.tail_y - s.y) + node_gap);
  }
  return start;
}

// The arrows of one node, dof by dof.
void node_arrows(const NodeConditions& n, const ScreenPoint& s, const PictureProjection& p, std::vector<LoadArrow>& out) {
  std::vector<LoadArrow> here;
  for (int d = 0; d < 6; ++d) {
    const double value = n.loads[static_cast<size_t>(d)];
    if (value == 0) continue;
    const SurfaceDirection dir = surface_direction(p, (value < 0 ? -1.0 : 1.0) * unit_axis(d % 3));
    const bool moment = d >= 3;
    LoadArrow a{n.node, d + 1, double(s.x), double(s.y), double(s.x), double(s.y), moment, dir.end_on, dir.towards_viewer,
                {double(s.x), double(s.y), 1, -1, load_text(d + 1, value), moment ? moment_colour : force_colour}};
    if (!dir.end_on) {
      const double start = arrow_start(here, s, dir);
      a.tip_x = s.x - dir.x * start;
      a.tip_y = s.y - dir.y * start;
      a.tail_x = a.tip_x - dir.x * arrow_length;
      a.tail_y = a.tip_y - dir.y * arrow_length;
      a.label.x = a.tail_x;
      a.label.y = a.tail_y;
      a.label.towards_x = -dir.x;
      a.label.towards_y = -dir.y;
    }
    here.push_back(a);
  }
  out.insert(out.end(), here.begin(), here.end());
}

void node_springs(const NodeConditions& n, const ScreenPoint& s, const PictureProjection& p, CaseSymbols& out) {
  for (int d = 0; d < 6; ++d) {
    if (n.springs[static_cast<size_t>(d)] == 0) continue;
    SurfaceDirection dir = surface_direction(p, unit_axis(d % 3));
    if (dir.end_on) {
      dir.x = dir.y = std::sqrt(0.5);
      out.names.push_back({s.x + dir.x * spring_length, s.y + dir.y * spring_length, 1, 1,
                           std::string("k_") + dof_names[d], support_colour});
    } else if (dir.y < 0 || (dir.y == 0 && dir.x < 0)) {
      dir.x = -dir.x, dir.y = -dir.y;  // down the page
    }
    out.springs.push_back({n.node, d + 1, double(s.x), double(s.y), dir.x, dir.y, dir.end_on});
  }
}

// A stroke with short slashes under it, as ground: from (x1, y) to (x2, y).
void hatched(Canvas& c, double x1, double x2, double y) {
  c.line(x1, y, x2, y, support_colour);
  for (double x = x1 + hatch; x <= x2 + 1; x += hatch) c.line(x, y, x - hatch, y + hatch, support_colour);
}

void draw_support(Canvas& c, const SupportSymbol& s) {
  const double x = s.x, y = s.y;
  switch (s.kind) {
    case SupportKind::fixed: return hatched(c, x - ground, x + ground, y + node_gap);
    case SupportKind::pinned:
    case SupportKind::partial: {
      const double base = s.kind == SupportKind::pinned ? y + 300 : y + 250;
      c.line(x, y + 40, x - 160, base, support_colour);
      c.line(x - 160, base, x + 160, base, support_colour);
      c.line(x + 160, base, x, y + 40, support_colour);
      if (s.kind == SupportKind::pinned) return hatched(c, x - ground, x + ground, base);
      c.set_fill_style(FillStyle::transparent);
      c.circle(x - 80, base + 45, 45, support_colour);
      c.circle(x + 80, base + 45, 45, support_colour);
      return c.line(x - ground, base + 90, x + ground, base + 90, support_colour);
    }
    case SupportKind::none: return;
  }
}

void draw_spring(Canvas& c, const SpringSymbol& s) {
  const double nx = -s.dy, ny = s.dx;  // across the zigzag
  auto at = [&](double along, double side) { return std::array<double, 2>{s.x + s.dx * along + nx * side, s.y + s.dy * along + ny * side}; };
  std::array<double, 2> from = at(node_gap, 0);
  constexpr int teeth = 6;
  for (int k = 1; k <= teeth; ++k) {
    const double along = node_gap + spring_length * k / (teeth + 1);
    const std::array<double, 2> to = at(along, k % 2 ? zig : -zig);
    c.line(from[0], from[1], to[0], to[1], support_colour);
    from = to;
  }
  const std::array<double, 2> end = at(node_gap + spring_length, 0);
  c.line(from[0], from[1], end[0], end[1], support_colour);
  if (s.dof > 3) {
    c.set_fill_style(FillStyle::transparent);
    return c.circle(end[0] + s.dx * 50, end[1] + s.dy * 50, 50, support_colour);
  }
  const std::array<double, 2> a = at(node_gap + spring_length, -ground / 2), b = at(node_gap + spring_length, ground / 2);
  c.line(a[0], a[1], b[0], b[1], support_colour);
}

// Two strokes back from (x, y) either side of the way (dx, dy) points.
void arrow_head(Canvas& c, double x, double y, double dx, double dy, int colour) {
  constexpr double along = 0.906, across = 0.423;  // cos and sin of 25 degrees
  c.line(x, y, x - head * (along * dx - across * dy), y - head * (along * dy + across * dx), colour);
  c.line(x, y, x - head * (along * dx + across * dy), y - head * (along * dy - across * dx), colour);
}

void draw_arrow(Canvas& c, const LoadArrow& a) {
  const int colour = a.label.colour;
  c.set_fill_style(FillStyle::transparent);
  if (a.end_on) {
    c.circle(a.tip_x, a.tip_y, end_on_radius, colour);
    if (a.moment) c.circle(a.tip_x, a.tip_y, end_on_radius * 1.6, colour);
    if (a.towards_viewer) {
      c.set_fill_style(FillStyle::solid);
      c.set_fill_colour(colour);
      return c.circle(a.tip_x, a.tip_y, 25, colour);
    }
    const double r = end_on_radius * 0.7;
    c.line(a.tip_x - r, a.tip_y - r, a.tip_x + r, a.tip_y + r, colour);
    return c.line(a.tip_x - r, a.tip_y + r, a.tip_x + r, a.tip_y - r, colour);
  }
  const double dx = (a.tip_x - a.tail_x) / arrow_length, dy = (a.tip_y - a.tail_y) / arrow_length;
  c.line(a.tail_x, a.tail_y, a.tip_x, a.tip_y, colour);
  arrow_head(c, a.tip_x, a.tip_y, dx, dy, colour);
  if (a.moment) arrow_head(c, a.tip_x - dx * second_head, a.tip_y - dy * second_head, dx, dy, colour);
}

}  // namespace

std::vector<NodeConditions> case_conditions(const ModelFileCase& c) {
  std::vector<NodeConditions> out;
  for (size_t i = 0; i < c.fixed.size(); ++i) {
    const NodeConditions n{static_cast<int>(i + 1), c.fixed[i], c.springs[i], c.loads[i]};
    const bool any = std::any_of(n.fixed.begin(), n.fixed.end(), [](bool f) { return f; }) ||
                     std::any_of(n.springs.begin(), n.springs.end(), [](double k) { return k != 0; }) ||
                     std::any_of(n.loads.begin(), n.loads.end(), [](double f) { return f != 0; });
    if (any) out.push_back(n);
  }
  return out;
}

SupportKind support_kind(const std::array<bool, 6>& fixed) {
  const bool translations = fixed[0] && fixed[1] && fixed[2];
  if (translations && fixed[3] && fixed[4] && fixed[5]) return SupportKind::fixed;
  if (translations) return SupportKind::pinned;
  return std::any_of(fixed.begin(), fixed.end(), [](bool f) { return f; }) ? SupportKind::partial : SupportKind::none;
}

std::string held_dofs(const std::array<bool, 6>& fixed) {
  std::string out;
  for (size_t d = 0; d < 6; ++d)
    if (fixed[d]) out += (out.empty() ? "" : " ") + std::string(dof_names[d]);
  return out;
}

SurfaceDirection surface_direction(const PictureProjection& p, const P3& d) {
  const Vec3 q = p.rotated(d);
  const bool towards = q[1] < 0;
  const std::array<double, 2> step = p.step(d);
  const double length = std::hypot(step[0], step[1]);
  if (!(std::hypot(double(q[2]), double(q[3])) > least_across * norm(d)) || !(length > 0)) return {0, 0, true, towards};
  return {step[0] / length, step[1] / length, false, towards};
}

CaseSymbols case_symbols(const std::vector<NodeConditions>& nodes, const ResultStore& r, int cycle,
                         const PictureProjection& p) {
  CaseSymbols out;
  for (const NodeConditions& n : nodes) {
    if (n.node < 1 || n.node > r.pn_node) continue;  // conditions of another mesh
    const ScreenPoint s = p.screen(node_of(r, cycle, n.node));
    if (const SupportKind kind = support_kind(n.fixed); kind != SupportKind::none) {
      out.supports.push_back({n.node, kind, double(s.x), double(s.y)});
      if (kind == SupportKind::partial)
        out.names.push_back({double(s.x), s.y + 340.0, 0, 1, held_dofs(n.fixed), support_colour});
    }
    node_springs(n, s, p, out);
    node_arrows(n, s, p, out.arrows);
  }
  return out;
}

std::vector<OverlayText> case_texts(const CaseSymbols& s) {
  std::vector<OverlayText> out;
  for (const LoadArrow& a : s.arrows) out.push_back(a.label);
  out.insert(out.end(), s.names.begin(), s.names.end());
  return out;
}

std::vector<LabelBox> case_obstacles(const CaseSymbols& s) {
  std::vector<LabelBox> out;
  auto add = [&out](const std::vector<LabelBox>& boxes) { out.insert(out.end(), boxes.begin(), boxes.end()); };
  for (const LoadArrow& a : s.arrows) {
    const double r = a.moment ? end_on_radius * 1.6 : end_on_radius;
    if (a.end_on) out.push_back({a.tip_x - r, a.tip_y - r, a.tip_x + r, a.tip_y + r});
    else add(stroke_boxes(a.tail_x, a.tail_y, a.tip_x, a.tip_y, head / 2));
  }
  for (const SupportSymbol& k : s.supports) out.push_back({k.x - ground, k.y + 40, k.x + ground, k.y + 400});
  for (const SpringSymbol& k : s.springs) {
    const double reach = node_gap + spring_length + 100;
    add(stroke_boxes(k.x + k.dx * node_gap, k.y + k.dy * node_gap, k.x + k.dx * reach, k.y + k.dy * reach, zig));
  }
  return out;
}

void draw_case_symbols(Canvas& canvas, const CaseSymbols& s) {
  const CanvasState kept = canvas.state();
  canvas.set_line_width(1);
  canvas.set_line_style(LineStyle::solid);
  for (const SupportSymbol& k : s.supports) draw_support(canvas, k);
  for (const SpringSymbol& k : s.springs) draw_spring(canvas, k);
  canvas.set_line_width(2);
  for (const LoadArrow& a : s.arrows) draw_arrow(canvas, a);
  canvas.state() = kept;
}

std::vector<DimensionLine> dimension_lines(const PictureProjection& p, const P3& low, const P3& high, double clearance) {
  std::vector<DimensionLine> out;
  for (int a = 0; a < 3; ++a) {
    const auto b = static_cast<size_t>((a + 1) % 3), c = static_cast<size_t>((a + 2) % 3);
    ScreenPoint best1{}, best2{};
    double best_side = -1e300;
    bool across = true;
    for (int k = 0; k < 4; ++k) {  // the four edges along axis a
      P3 e1 = low;
      e1[b] = k & 1 ? high[b] : low[b];
      e1[c] = k & 2 ? high[c] : low[c];
      P3 e2 = e1;
      e2[static_cast<size_t>(a)] = high[static_cast<size_t>(a)];
      const ScreenPoint s1 = p.screen(e1), s2 = p.screen(e2);
      across = std::abs(s2.x - s1.x) >= std::abs(s2.y - s1.y);
      const double side = across ? s1.y + s2.y : s1.x + s2.x;  // lowest on the page, or furthest right
      if (side > best_side) best_side = side, best1 = s1, best2 = s2;
    }
    const double ux = best2.x - best1.x, uy = best2.y - best1.y, length = std::hypot(ux, uy);
    if (length < shortest_dimension) continue;
    // Out from the box: down the page for an edge across it, to the right for one up it.
    double nx = -uy / length, ny = ux / length;
    if ((across && ny < 0) || (!across && nx < 0)) nx = -nx, ny = -ny;
    DimensionLine d{a + 1, best1.x + nx * clearance, best1.y + ny * clearance, best2.x + nx * clearance,
                    best2.y + ny * clearance, double(best1.x), double(best1.y), double(best2.x), double(best2.y), {}};
    const std::string value = report_number(high[static_cast<size_t>(a)] - low[static_cast<size_t>(a)]);
    d.label = {(d.x1 + d.x2) / 2, (d.y1 + d.y2) / 2, nx, ny, std::string(dof_names[a]) + " " + value + " mm", 0};
    out.push_back(d);
  }
  return out;
}

std::vector<LabelBox> dimension_obstacles(const std::vector<DimensionLine>& lines) {
  std::vector<LabelBox> out;
  for (const DimensionLine& d : lines) {
    const std::vector<LabelBox> boxes = stroke_boxes(d.x1, d.y1, d.x2, d.y2, 40);
    out.insert(out.end(), boxes.begin(), boxes.end());
  }
  return out;
}

void draw_dimension_lines(Canvas& canvas, const std::vector<DimensionLine>& lines) {
  const CanvasState kept = canvas.state();
  canvas.set_line_width(1);
  canvas.set_line_style(LineStyle::solid);
  constexpr double slash = 70;
  for (const DimensionLine& d : lines) {
    const double length = std::hypot(d.x2 - d.x1, d.y2 - d.y1);
    const double ux = (d.x2 - d.x1) / length, uy = (d.y2 - d.y1) / length;
    const double nx = (d.x1 - d.from1_x) / std::max(1.0, std::hypot(d.x1 - d.from1_x, d.y1 - d.from1_y));
    const double ny = (d.y1 - d.from1_y) / std::max(1.0, std::hypot(d.x1 - d.from1_x, d.y1 - d.from1_y));
    canvas.line(d.x1, d.y1, d.x2, d.y2, 0);
    // Extension lines from a gap off the edge to a little past the line, and a slash at each end.
    canvas.line(d.from1_x + nx * node_gap, d.from1_y + ny * node_gap, d.x1 + nx * node_gap, d.y1 + ny * node_gap, 0);
    canvas.line(d.from2_x + nx * node_gap, d.from2_y + ny * node_gap, d.x2 + nx * node_gap, d.y2 + ny * node_gap, 0);
    for (const auto& [x, y] : {std::pair{d.x1, d.y1}, std::pair{d.x2, d.y2}})
      canvas.line(x - (ux + nx) * slash, y - (uy + ny) * slash, x + (ux + nx) * slash, y + (uy + ny) * slash, 0);
  }
  canvas.state() = kept;
}
