// The editing operations of the section sketch on the section table.
#include "section/sketch_edit.h"

#include <cmath>

#include "formats/errors.h"
#include "formats/numtext.h"

namespace {
std::string of_section(int s) { return " of section " + std::to_string(s); }

double distance(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }
}  // namespace

int add_section_point(SectionTable& t, int s, float w, float h) {
  if (t.n_pnt(s) >= max_section_points)
    raise_error(err::capacity, "a 101st point" + of_section(s) + " (at most 100 points)");
  const int p = ++t.n_pnt(s);
  t.pnt_xy(s, p, 1) = w;
  t.pnt_xy(s, p, 2) = h;
  return p;
}

int nearest_section_point(const SectionTable& t, int s, const SketchMap& map, double x, double y) {
  double best = 1e30;
  int found = 0;
  for (int p = 1; p <= t.n_pnt(s); ++p) {
    const double d = distance(x, y, map.x_of(t.pnt_xy(s, p, 1)), map.y_of(t.pnt_xy(s, p, 2)));
    if (d < best) {
      best = d;
      found = p;
    }
  }
  return found;
}

int nearest_section_line(const SectionTable& t, int s, const SketchMap& map, double x, double y) {
  double best = 1e30;
  int found = 0;
  for (int l = 1; l <= t.n_line(s); ++l) {
    const int p1 = t.line_pnt(s, l, 1), p2 = t.line_pnt(s, l, 2);
    const double x1 = map.x_of(t.pnt_xy(s, p1, 1)), y1 = map.y_of(t.pnt_xy(s, p1, 2));
    const double x2 = map.x_of(t.pnt_xy(s, p2, 1)), y2 = map.y_of(t.pnt_xy(s, p2, 2));
    for (int k = 1; k <= 5; ++k) {
      const double d = distance(x, y, x1 + (x2 - x1) * k / 6, y1 + (y2 - y1) * k / 6);
      if (d < best) {
        best = d;
        found = l;
      }
    }
  }
  return found;
}

void check_room_for_line(const SectionTable& t, int s) {
  if (t.n_line(s) >= max_section_lines)
    raise_error(err::capacity, "a 201st line" + of_section(s) + " (at most 200 lines)");
}

int add_section_line(SectionTable& t, int s, int p1, int p2, float thickness) {
  check_room_for_line(t, s);
  const int l = ++t.n_line(s);
  t.line_pnt(s, l, 1) = static_cast<int16_t>(p1);
  t.line_pnt(s, l, 2) = static_cast<int16_t>(p2);
  t.line_t(s, l) = thickness;
  return l;
}

void delete_section_line(SectionTable& t, int s, int l) {
  for (int k = l; k <= t.n_line(s) - 1; ++k) {
    t.line_pnt(s, k, 1) = t.line_pnt(s, k + 1, 1);
    t.line_pnt(s, k, 2) = t.line_pnt(s, k + 1, 2);
    t.line_t(s, k) = t.line_t(s, k + 1);
  }
  t.n_line(s) = static_cast<int16_t>(t.n_line(s) - 1);
}

int drop_unused_points(SectionTable& t, int s) {
  // pnt_use: first the number of line ends at each point, then the point's new number.
  // An end naming no point of the section (only a hand-made file holds one) is left alone.
  Table<int16_t, max_section_points> pnt_use;
  const auto is_point = [&](int p) { return p >= 1 && p <= t.n_pnt(s); };
  for (int l = 1; l <= t.n_line(s); ++l)
    for (int end = 1; end <= 2; ++end)
      if (is_point(t.line_pnt(s, l, end))) ++pnt_use(t.line_pnt(s, l, end));
  int16_t m = 0;
  for (int p = 1; p <= t.n_pnt(s); ++p)
    if (pnt_use(p) > 0) pnt_use(p) = ++m;
  for (int l = 1; l <= t.n_line(s); ++l)
    for (int end = 1; end <= 2; ++end)
      if (is_point(t.line_pnt(s, l, end))) t.line_pnt(s, l, end) = pnt_use(t.line_pnt(s, l, end));
  // A point moves to its new number, never above its old one, so nothing is overwritten
  // before it has been copied.
  for (int p = 1; p <= t.n_pnt(s); ++p) {
    if (pnt_use(p) == 0) continue;
    t.pnt_xy(s, pnt_use(p), 1) = t.pnt_xy(s, p, 1);
    t.pnt_xy(s, pnt_use(p), 2) = t.pnt_xy(s, p, 2);
  }
  t.n_pnt(s) = m;
  return m;
}

float single_from_text(const std::string& text, const std::string& what) {
  if (!is_number(text)) raise_error(err::type_mismatch, what + " \"" + text + "\" is not a number");
  return to_single(to_number(text));
}
