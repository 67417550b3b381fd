// The recording canvas and its JSON form.
#include "base/recording_canvas.h"

#include "formats/json.h"

namespace {
const char* style_name(LineStyle s) {
  switch (s) {
    case LineStyle::solid: return "solid";
    case LineStyle::dash: return "dash";
    case LineStyle::dot: return "dot";
    case LineStyle::dash_dot: return "dash-dot";
    case LineStyle::dash_dot_dot: return "dash-dot-dot";
  }
  return "solid";
}

const char* fill_name(FillStyle s) {
  switch (s) {
    case FillStyle::solid: return "solid";
    case FillStyle::transparent: return "transparent";
    case FillStyle::diagonal_cross: return "diagonal-cross";
  }
  return "transparent";
}

std::string primitive_json(const Primitive& p) {
  JsonWriter j;
  j.begin_object();
  switch (p.op) {
    case Primitive::Op::line:
      j.key("op").value("line").key("x1").value(p.x1).key("y1").value(p.y1).key("x2").value(p.x2).key("y2").value(p.y2);
      break;
    case Primitive::Op::rect:
      j.key("op").value("rect").key("x1").value(p.x1).key("y1").value(p.y1).key("x2").value(p.x2).key("y2").value(p.y2);
      j.key("filled").value(p.filled);
      break;
    case Primitive::Op::circle:
      j.key("op").value("circle").key("x").value(p.x1).key("y").value(p.y1).key("r").value(p.x2);
      j.key("fill_style").value(fill_name(p.state.fill_style)).key("fill_colour").value(p.state.fill_colour);
      break;
    case Primitive::Op::text:
      j.key("op").value("text").key("x").value(p.x1).key("y").value(p.y1).key("text").value(p.text);
      j.key("font_size").value(p.state.font_size).key("text_colour").value(p.state.text_colour);
      break;
  }
  if (p.op != Primitive::Op::text) {
    j.key("colour").value(p.colour).key("width").value(p.state.line_width);
    j.key("style").value(style_name(p.state.line_style));
  }
  j.end_object();
  return j.str();
}
}  // namespace

std::string RecordingCanvas::to_json_lines() const {
  std::string out = "{\"op\":\"clear\"}\n";
  for (const Primitive& p : prims_) out += primitive_json(p) + "\n";
  return out;
}

void RecordingCanvas::do_clear() {
  prims_.clear();
  ++clears_;
}

void RecordingCanvas::do_line(double x1, double y1, double x2, double y2, int colour) {
  prims_.push_back({Primitive::Op::line, x1, y1, x2, y2, colour, false, {}, state()});
}

void RecordingCanvas::do_rect(double x1, double y1, double x2, double y2, int colour, bool filled) {
  prims_.push_back({Primitive::Op::rect, x1, y1, x2, y2, colour, filled, {}, state()});
}

void RecordingCanvas::do_circle(double x, double y, double radius, int colour) {
  prims_.push_back({Primitive::Op::circle, x, y, radius, 0, colour, false, {}, state()});
}

void RecordingCanvas::do_text(const std::string& s, double& width, double& height) {
  prims_.push_back({Primitive::Op::text, state().x, state().y, 0, 0, state().text_colour, false, s, state()});
  measure_text(s, width, height);
}
