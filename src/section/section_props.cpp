// Area and second moments of a section sketch: as the model file stores them (about the
// sketch origin, in the precision the file was always written with), and about the centroid
// and principal axes with the St Venant torsion constant for the member checks.
#include "section/section_props.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

SectionProperties section_properties(const SectionTable& t, int s, MomentSums sums) {
  // Sums, increments and intermediate values follow the precision the file has always been
  // written with: each named intermediate is a Single; powers are taken in double.
  float sec_a = 0, iw_single = 0, ih_single = 0;
  double iw_double = 0, ih_double = 0;
  const bool single = sums == MomentSums::single_precision;

  for (int l = 1; l <= t.n_line(s); ++l) {
    const int p1 = t.line_pnt(s, l, 1), p2 = t.line_pnt(s, l, 2);
    const float w1 = t.pnt_xy(s, p1, 1), h1 = t.pnt_xy(s, p1, 2);
    const float w2 = t.pnt_xy(s, p2, 1), h2 = t.pnt_xy(s, p2, 2);
    const float th = t.line_t(s, l);
    const float dw = w2 - w1, dh = h2 - h1;
    const float len = static_cast<float>(std::sqrt(double(dw) * dw + double(dh) * dh));
    if (!(len > 0)) continue;

    const float area = len * th;
    sec_a = sec_a + area;
    const float a = static_cast<float>(std::pow(double(th), 3) * len / 12);  // across the wall
    const float b = static_cast<float>(std::pow(double(len), 3) * th / 12);  // along the wall
    const float ratio = dw / len;
    const float c = static_cast<float>(double(ratio) * ratio);  // cos^2 of the angle to W
    const float own_w = a * c + (1 - c) * b;
    const float own_h = (1 - c) * a + c * b;
    const float mid_h = (h1 + h2) / 2, mid_w = (w1 + w2) / 2;
    const double shift_w = double(mid_h) * mid_h * area;  // parallel-axis terms
    const double shift_h = double(mid_w) * mid_w * area;

    if (single) {
      iw_single = iw_single + own_w;
      iw_single = static_cast<float>(iw_single + shift_w);
      ih_single = ih_single + own_h;
      ih_single = static_cast<float>(ih_single + shift_h);
    } else {
      iw_double = iw_double + own_w;
      iw_double = iw_double + shift_w;
      ih_double = ih_double + own_h;
      ih_double = ih_double + shift_h;
    }
  }
  SectionProperties p;
  p.sec_a = sec_a;
  p.sec_iw = single ? iw_single : iw_double;
  p.sec_ih = single ? ih_single : ih_double;
  return p;
}

namespace {
// A wall that carries something: positive length and thickness; ends in mm.
struct Wall {
  double w1, h1, w2, h2, t, len;
};

std::vector<Wall> carrying_walls(const SectionTable& t, int s) {
  std::vector<Wall> walls;
  for (int l = 1; l <= t.n_line(s); ++l) {
    const int p1 = t.line_pnt(s, l, 1), p2 = t.line_pnt(s, l, 2);
    Wall w{t.pnt_xy(s, p1, 1), t.pnt_xy(s, p1, 2), t.pnt_xy(s, p2, 1), t.pnt_xy(s, p2, 2), t.line_t(s, l), 0};
    w.len = std::hypot(w.w2 - w.w1, w.h2 - w.h1);
    if (w.len > 0 && w.t > 0) walls.push_back(w);
  }
  return walls;
}

double open_wall_torsion(const Wall& w) { return w.len * w.t * w.t * w.t / 3; }

// The walls as a graph: nodes where ends meet, one edge per wall.
struct WallGraph {
  std::vector<std::array<int, 2>> ends;  // per wall: its two nodes
  std::vector<std::array<double, 2>> node_at;
};

WallGraph wall_graph(const std::vector<Wall>& walls, double tolerance) {
  WallGraph g;
  auto node_of = [&](double w, double h) {
    for (size_t n = 0; n < g.node_at.size(); ++n)
      if (std::hypot(g.node_at[n][0] - w, g.node_at[n][1] - h) <= tolerance) return static_cast<int>(n);
    g.node_at.push_back({w, h});
    return static_cast<int>(g.node_at.size() - 1);
  };
  for (const Wall& w : walls) g.ends.push_back({node_of(w.w1, w.h1), node_of(w.w2, w.h2)});
  return g;
}

// When the chosen walls form one simple closed loop, the area inside their centre lines
// (shoelace over the loop's nodes, mm2) and sum of L / t; otherwise nothing.
struct Cell {
  double area = 0, length_over_t = 0;
};
std::optional<Cell> cell_of(const std::vector<Wall>& walls, const WallGraph& g, const std::vector<int>& chosen) {
  std::vector<std::vector<int>> at(g.node_at.size());  // chosen walls at each node
  for (int e : chosen)
    for (int k = 0; k < 2; ++k) at[static_cast<size_t>(g.ends[static_cast<size_t>(e)][static_cast<size_t>(k)])].push_back(e);
  for (const auto& list : at)
    if (!list.empty() && list.size() != 2) return std::nullopt;
  // Every node has two chosen walls, so the walk from the first wall comes back to it; it
  // must have walked every wall on the way.
  Cell c;
  int wall = chosen.front(), node = g.ends[static_cast<size_t>(wall)][0];
  for (size_t steps = 0; steps < chosen.size(); ++steps) {
    const auto& ends = g.ends[static_cast<size_t>(wall)];
    const int next = ends[0] == node ? ends[1] : ends[0];
    const auto& a = g.node_at[static_cast<size_t>(node)];
    const auto& b = g.node_at[static_cast<size_t>(next)];
    c.area += (a[0] * b[1] - b[0] * a[1]) / 2;
    c.length_over_t += walls[static_cast<size_t>(wall)].len / walls[static_cast<size_t>(wall)].t;
    node = next;
    const auto& there = at[static_cast<size_t>(node)];
    wall = there[0] == wall ? there[1] : there[0];
    // Back at the start before every wall was walked: more than one loop.
    if (wall == chosen.front() && steps + 1 < chosen.size()) return std::nullopt;
  }
  c.area = std::fabs(c.area);
  return c;
}

// St Venant constant of one connected group of walls (indices into `walls`), with `loops`
// fundamental cycles (each a list of walls). Every simple cycle is a sum (mod 2) of fundamental
// ones; up to 12 of them every sum is tried, beyond that only the fundamental cycles.
double group_torsion(const std::vector<Wall>& walls, const WallGraph& g, const std::vector<int>& group,
                     const std::vector<std::vector<int>>& loops) {
  double all_open = 0;
  for (int e : group) all_open += open_wall_torsion(walls[static_cast<size_t>(e)]);
  double best = all_open;  // slit everywhere: never more than the section gives
  const size_t k = loops.size();
  const bool every_sum = k <= 12;
  const size_t tries = every_sum ? (size_t{1} << k) - 1 : k;
  std::vector<char> in(walls.size());
  for (size_t m = 1; m <= tries; ++m) {
    std::fill(in.begin(), in.end(), 0);
    for (size_t f = 0; f < k; ++f)
      if (every_sum ? (m >> f) & 1 : f == m - 1)
        for (int e : loops[f]) in[static_cast<size_t>(e)] ^= 1;
    std::vector<int> chosen;
    double rest_open = 0, own_open = 0;
    for (int e : group) {
      if (in[static_cast<size_t>(e)]) {
        chosen.push_back(e);
        own_open += open_wall_torsion(walls[static_cast<size_t>(e)]);
      } else {
        rest_open += open_wall_torsion(walls[static_cast<size_t>(e)]);
      }
    }
    if (chosen.empty()) continue;
    const std::optional<Cell> c = cell_of(walls, g, chosen);
    if (!c) continue;
    const double bredt = 4 * c->area * c->area / c->length_over_t;
    best = std::max(best, std::max(bredt, own_open) + rest_open);
  }
  return best;
}

struct Torsion {
  double j = 0;
  int cells = 0;
};

// `size`: of the section, mm; ends closer than a millionth of it meet.
Torsion st_venant(const std::vector<Wall>& walls, double size) {
  const WallGraph g = wall_graph(walls, 1e-6 * size);
  const size_t n_node = g.node_at.size();
  // Groups of connected walls, each with a spanning tree; a wall closing a path the tree
  // already has is a cycle of its own, found by the tree's parents.
  std::vector<int> group_of(n_node, -1), parent_wall(n_node, -1), parent(n_node, -1), depth(n_node, 0);
  std::vector<std::vector<int>> walls_at(n_node);
  for (size_t e = 0; e < walls.size(); ++e)
    for (int k = 0; k < 2; ++k) walls_at[static_cast<size_t>(g.ends[e][static_cast<size_t>(k)])].push_back(static_cast<int>(e));
  std::vector<char> tree(walls.size(), 0);
  int groups = 0;
  for (size_t start = 0; start < n_node; ++start) {
    if (group_of[start] >= 0) continue;
    std::vector<int> queue{static_cast<int>(start)};
    group_of[start] = groups;
    for (size_t q = 0; q < queue.size(); ++q) {
      const int n = queue[q];
      for (int e : walls_at[static_cast<size_t>(n)]) {
        const auto& ends = g.ends[static_cast<size_t>(e)];
        const int other = ends[0] == n ? ends[1] : ends[0];
        if (group_of[static_cast<size_t>(other)] >= 0) continue;
        group_of[static_cast<size_t>(other)] = groups;
        parent[static_cast<size_t>(other)] = n;
        parent_wall[static_cast<size_t>(other)] = e;
        depth[static_cast<size_t>(other)] = depth[static_cast<size_t>(n)] + 1;
        tree[static_cast<size_t>(e)] = 1;
        queue.push_back(other);
      }
    }
    ++groups;
  }
  std::vector<std::vector<int>> members(static_cast<size_t>(groups));
  std::vector<std::vector<std::vector<int>>> loops(static_cast<size_t>(groups));
  for (size_t e = 0; e < walls.size(); ++e) {
    const int group = group_of[static_cast<size_t>(g.ends[e][0])];
    members[static_cast<size_t>(group)].push_back(static_cast<int>(e));
    if (tree[e]) continue;
    std::vector<int> loop{static_cast<int>(e)};
    int a = g.ends[e][0], b = g.ends[e][1];
    while (a != b) {
      int& deeper = depth[static_cast<size_t>(a)] >= depth[static_cast<size_t>(b)] ? a : b;
      loop.push_back(parent_wall[static_cast<size_t>(deeper)]);
      deeper = parent[static_cast<size_t>(deeper)];
    }
    // A wall whose ends meet within the tolerance encloses nothing: it stays an open wall.
    if (loop.size() > 1) loops[static_cast<size_t>(group)].push_back(std::move(loop));
  }
  Torsion out;
  for (size_t group = 0; group < members.size(); ++group) {
    out.j += group_torsion(walls, g, members[group], loops[group]);
    // A wall drawn twice, or walls back and forth along one line, close nothing.
    for (const std::vector<int>& loop : loops[group])
      if (const std::optional<Cell> c = cell_of(walls, g, loop); c && c->area > 1e-9 * size * size) ++out.cells;
  }
  return out;
}
}  // namespace

DrawnSectionProperties drawn_section_properties(const SectionTable& t, int s) {
  DrawnSectionProperties d;
  const std::vector<Wall> walls = carrying_walls(t, s);
  if (walls.empty()) return d;

  double lo_w = walls[0].w1, hi_w = lo_w, lo_h = walls[0].h1, hi_h = lo_h;
  double first_w = 0, first_h = 0;
  for (const Wall& w : walls) {
    const double area = w.len * w.t;
    d.area += area;
    first_w += area * (w.w1 + w.w2) / 2;
    first_h += area * (w.h1 + w.h2) / 2;
    // Corners on the left of the wall's direction (first end to second), then on its right.
    const double nw = -(w.h2 - w.h1) / w.len * w.t / 2, nh = (w.w2 - w.w1) / w.len * w.t / 2;
    for (const auto& c : {std::array<double, 2>{w.w1 + nw, w.h1 + nh}, std::array<double, 2>{w.w2 + nw, w.h2 + nh},
                          std::array<double, 2>{w.w2 - nw, w.h2 - nh}, std::array<double, 2>{w.w1 - nw, w.h1 - nh}}) {
      d.corners.push_back(c);
      lo_w = std::min(lo_w, c[0]), hi_w = std::max(hi_w, c[0]);
      lo_h = std::min(lo_h, c[1]), hi_h = std::max(hi_h, c[1]);
    }
  }
  d.size = std::max(hi_w - lo_w, hi_h - lo_h);
  d.centroid_w = first_w / d.area;
  d.centroid_h = first_h / d.area;

  // A wall's own moments along and across it, turned by its direction (c, s), plus its area
  // at its midpoint's distance from the centroid.
  for (const Wall& w : walls) {
    const double area = w.len * w.t, c = (w.w2 - w.w1) / w.len, sn = (w.h2 - w.h1) / w.len;
    const double along = w.t * w.len * w.len * w.len / 12, across = w.len * w.t * w.t * w.t / 12;
    const double dw = (w.w1 + w.w2) / 2 - d.centroid_w, dh = (w.h1 + w.h2) / 2 - d.centroid_h;
    d.iw += sn * sn * along + c * c * across + area * dh * dh;
    d.ih += c * c * along + sn * sn * across + area * dw * dw;
    d.iwh += c * sn * (along - across) + area * dw * dh;
  }
  // Rounding of a symmetric section leaves a product moment of nothing but noise.
  if (std::fabs(d.iwh) < 1e-12 * (d.iw + d.ih)) d.iwh = 0;

  // The second moment about an axis at angle a from W is
  //   I(a) = (iw + ih) / 2 + (iw - ih) / 2 cos 2a - iwh sin 2a,
  // largest at 2a = atan2(-iwh, (iw - ih) / 2).
  const double mean = (d.iw + d.ih) / 2, half_difference = (d.iw - d.ih) / 2;
  const double radius = std::hypot(half_difference, d.iwh);
  d.i1 = mean + radius;
  d.i2 = mean - radius;
  if (radius > 1e-9 * mean) {
    d.angle = std::atan2(-d.iwh, half_difference) / 2 * 180 / std::numbers::pi;
    // atan2 gives (-180, 180], so the angle lies in (-90, 90]; with the noise gone above it
    // is never so small a negative that adding 180 rounds to 180.
    if (d.angle < 0) d.angle += 180;
  }

  const Torsion torsion = st_venant(walls, d.size);
  d.j = torsion.j;
  d.cells = torsion.cells;
  return d;
}

DrawnSectionNotes drawn_section_notes(const DrawnSectionProperties& d, const SectionProperties& as_drawn) {
  DrawnSectionNotes n;
  if (d.area <= 0) return n;
  n.centroid_off = std::hypot(d.centroid_w, d.centroid_h) > 0.01 * d.size;
  n.product_moment = d.i2 < 0.99 * std::min(d.iw, d.ih);
  const double analysed = double(as_drawn.sec_iw) + as_drawn.sec_ih;
  n.torsion = d.j > 2 * analysed || analysed > 2 * d.j;
  return n;
}

std::string drawn_section_note_text(const DrawnSectionProperties& d, const SectionProperties& as_drawn) {
  const DrawnSectionNotes n = drawn_section_notes(d, as_drawn);
  if (!n.any()) return "";
  // Second moments to six digits as beside the sketch, lengths, angles and ratios to four.
  auto g = [](double v, int digits = 4) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    return std::string(text);
  };
  std::string text = "The analysis takes this section as drawn.";
  if (n.centroid_off)
    text += " Its centroid lies " + g(std::hypot(d.centroid_w, d.centroid_h)) +
            " mm from the origin, where the analysis puts the bar's axis: the bar bends about the origin "
            "(Iw " + g(as_drawn.sec_iw, 6) + ", Ih " + g(as_drawn.sec_ih, 6) + " mm4) and its axial force bends it too.";
  if (n.product_moment) {
    double weak = d.angle + 90;
    if (weak >= 180) weak -= 180;
    text += " W and H are not principal axes: the weakest lies at " + g(weak) + "\u00b0 from W, I2 = " + g(d.i2, 6) +
            " mm4, " + g(std::round(100 * (1 - d.i2 / std::min(d.iw, d.ih)))) +
            " % below the smaller of Iw and Ih about the centroid.";
  }
  if (n.torsion) {
    const double analysed = double(as_drawn.sec_iw) + as_drawn.sec_ih;
    text += " Its torsion constant Iw + Ih = " + g(analysed, 6) + " mm4 is " +
            (analysed > d.j ? g(analysed / d.j) + " times" : "1/" + g(d.j / analysed) + " of") + " the St Venant J.";
  }
  return text;
}
