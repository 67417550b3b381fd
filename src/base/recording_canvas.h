// A canvas that keeps every primitive drawn since its last clear, with its attributes:
// the surface of tests, and the record the scenario runner prints of a window.
#pragma once

#include <string>
#include <vector>

#include "base/canvas.h"

struct Primitive {
  enum class Op { line, rect, circle, text };
  Op op;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // circle: centre (x1, y1), radius in x2
  int colour = 0;
  bool filled = false;  // rect
  std::string text;
  CanvasState state;  // attributes when it was drawn; for text, its position
};

class RecordingCanvas : public Canvas {
 public:
  const std::vector<Primitive>& primitives() const { return prims_; }
  int clears() const { return clears_; }  // how many times the surface was cleared
  // One JSON object a line: the clear, then every primitive.
  std::string to_json_lines() const;

 protected:
  void do_clear() override;
  void do_line(double x1, double y1, double x2, double y2, int colour) override;
  void do_rect(double x1, double y1, double x2, double y2, int colour, bool filled) override;
  void do_circle(double x, double y, double radius, int colour) override;
  void do_text(const std::string& s, double& width, double& height) override;

 private:
  std::vector<Primitive> prims_;
  int clears_ = 0;
};
