// What a drawing put on the surface: primitives picked by kind and colour, or as short lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "base/recording_canvas.h"

namespace test_support {

using Op = Primitive::Op;

// The colour a primitive shows in: a text's is its text colour.
inline int shown_colour(const Primitive& p) { return p.op == Op::text ? p.state.text_colour : p.colour; }

inline std::vector<Primitive> of(const std::vector<Primitive>& all, Op op, int colour = -1) {
  std::vector<Primitive> out;
  for (const Primitive& p : all)
    if (p.op == op && (colour < 0 || shown_colour(p) == colour)) out.push_back(p);
  return out;
}

inline int count_of(const std::vector<Primitive>& all, Op op, int colour = -1) { return int(of(all, op, colour).size()); }

// "line 1500,5500 5500,3500 w2", "circle 5500,3500 r80 solid", "rect 5400,3175 5600,3375 open",
// "text L 1500,5500": every primitive shown in `colour`, in drawing order.
inline std::vector<std::string> shapes(const std::vector<Primitive>& all, int colour) {
  auto fill = [](const Primitive& p) {
    if (p.op == Op::rect && p.filled) return "solid";
    return p.state.fill_style == FillStyle::solid ? "solid" : p.state.fill_style == FillStyle::transparent ? "open" : "hatched";
  };
  std::vector<std::string> out;
  for (const Primitive& p : all) {
    if (shown_colour(p) != colour) continue;
    std::ostringstream s;
    switch (p.op) {
      case Op::line:
        s << "line " << p.x1 << ',' << p.y1 << ' ' << p.x2 << ',' << p.y2 << " w" << p.state.line_width
          << (p.state.line_style == LineStyle::dot ? " dot" : "");
        break;
      case Op::rect: s << "rect " << p.x1 << ',' << p.y1 << ' ' << p.x2 << ',' << p.y2 << ' ' << fill(p); break;
      case Op::circle: s << "circle " << p.x1 << ',' << p.y1 << " r" << p.x2 << ' ' << fill(p); break;
      case Op::text: s << "text " << p.text << ' ' << p.x1 << ',' << p.y1; break;
    }
    out.push_back(s.str());
  }
  return out;
}

}  // namespace test_support
