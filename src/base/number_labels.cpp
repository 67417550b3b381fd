// Numbers beside points, on any canvas.
#include "base/number_labels.h"

#include <string>

namespace {
constexpr int node_colour = 1, element_colour = 4;  // dark blue, red
constexpr double gap = 45;                          // twips between a point and its number
}  // namespace

void draw_number_labels(Canvas& canvas, const std::vector<NumberLabel>& labels, LabelKind kind) {
  if (labels.empty()) return;
  const CanvasState kept = canvas.state();
  const bool node = kind == LabelKind::node;
  canvas.set_font_size(label_points);
  canvas.set_text_colour(node ? node_colour : element_colour);
  // A line of 9-point text stands about 220 twips high: a node's number sits above its point.
  const double up = node ? -gap - 220 : gap;
  for (const NumberLabel& l : labels) {
    canvas.move_to(l.x + gap, l.y + up);
    canvas.text(std::to_string(l.number));
  }
  canvas.state() = kept;
}
