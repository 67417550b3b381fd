// Drawing of the section sketch and of the editor's markers.
#include "section/sketch_display.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "formats/numtext.h"

namespace {
constexpr int black = 0, red = 4, olive = 6, light_blue = 9, white = 15;
constexpr float frame_half_mm = 100;  // the frame spans W and H from -100 to +100 mm
constexpr double axis_twips = 1000;

struct Pos {
  double x, y;
};

// A surface coordinate rounded to whole twips (halves to even). A point typed or generated
// far outside any surface is drawn at the far edge of a huge one rather than failing.
double whole_twips(float v) { return std::nearbyint(std::clamp<double>(v, -1e9, 1e9)); }

// Surface position of point p of section s as it is drawn.
Pos point_at(const SectionTable& t, int s, int p, const SketchMap& map) {
  return {whole_twips(map.x_of(t.pnt_xy(s, p, 1))), whole_twips(map.y_of(t.pnt_xy(s, p, 2)))};
}

void filled_circle(Canvas& c, double x, double y, double radius, int outline, int fill, int width) {
  c.set_line_width(width);
  c.set_fill_style(FillStyle::solid);
  c.set_fill_colour(fill);
  c.circle(x, y, radius, outline);
}
}  // namespace

void draw_sketch(Canvas& c, const SectionTable& t, int s, const SketchMap& map) {
  c.clear();
  c.set_line_style(LineStyle::solid);
  for (int p = 1; p <= t.n_pnt(s); ++p) {
    const Pos at = point_at(t, s, p, map);
    filled_circle(c, at.x, at.y, 60, black, black, 1);
  }

  for (int l = 1; l <= t.n_line(s); ++l) {
    const Pos a = point_at(t, s, t.line_pnt(s, l, 1), map);
    const Pos b = point_at(t, s, t.line_pnt(s, l, 2), map);
    c.set_line_width(3);
    c.line(a.x, a.y, b.x, b.y, olive);
    c.move_to((a.x + b.x) / 2, (a.y + b.y) / 2);
    c.set_font_size(12);
    std::string label = "t";
    label += format_number(t.line_t(s, l), pattern::one_decimal);
    c.text(label);
  }

  c.set_line_width(2);
  c.set_text_colour(light_blue);
  c.line(map.org_x, map.org_y, map.org_x + axis_twips, map.org_y, light_blue);
  c.set_font_size(18);
  c.text("W");
  c.line(map.org_x, map.org_y, map.org_x, map.org_y - axis_twips, light_blue);
  c.text("H");

  c.set_line_width(1);
  c.set_line_style(LineStyle::dash_dot_dot);
  c.set_fill_style(FillStyle::transparent);
  c.rect(map.x_of(-frame_half_mm), map.y_of(frame_half_mm), map.x_of(frame_half_mm), map.y_of(-frame_half_mm),
         light_blue, false);
  // The rectangle leaves the position at its lower right corner, where the size is written.
  c.set_font_size(12);
  c.text("W: 200,  H: 200");
  // The dash-dot-dot style is the frame's own: the markers drawn over the sketch are solid.
  c.set_line_style(LineStyle::solid);
}

namespace {
// The readout strip: from (org_x / 1.5, org_y * 1.9) to (org_x / 0.58, org_y * 1.98), twips.
double strip_left(const SketchMap& m) { return m.org_x / 1.5; }
double strip_top(const SketchMap& m) { return m.org_y * 1.9; }
}  // namespace

void draw_readout(Canvas& c, const SketchMap& map, float w, float h) {
  c.set_font_size(12);
  c.set_text_colour(light_blue);
  c.move_to(strip_left(map), strip_top(map));
  c.text("   W=" + format_number(w, pattern::sci4) + ", H=" + format_number(h, pattern::sci4));
}

void erase_readout(Canvas& c, const SketchMap& map) {
  c.rect(strip_left(map), strip_top(map), map.org_x / 0.58, map.org_y * 1.98, white, true);
}

void mark_point(Canvas& c, double x, double y) { filled_circle(c, x, y, 80, red, red, 3); }

void mark_picked_point(Canvas& c, const SectionTable& t, int s, int p, const SketchMap& map) {
  const Pos at = point_at(t, s, p, map);
  mark_point(c, at.x, at.y);
}

void mark_drag(Canvas& c, const SketchMap& map, float w, float h, double x, double y) {
  c.set_line_width(2);
  c.set_fill_style(FillStyle::transparent);
  c.circle(whole_twips(map.x_of(w)), whole_twips(map.y_of(h)), 80, red);
  filled_circle(c, x, y, 80, black, red, 2);
}

void mark_line(Canvas& c, const SectionTable& t, int s, int l, const SketchMap& map) {
  const Pos a = point_at(t, s, t.line_pnt(s, l, 1), map);
  const Pos b = point_at(t, s, t.line_pnt(s, l, 2), map);
  c.set_line_width(5);
  c.line(a.x, a.y, b.x, b.y, red);
}
