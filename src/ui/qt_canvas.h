// The Qt drawing surface of a window: paints into a persistent image (1 pixel = 15 twips) so
// that what a handler draws stays until the next clear, and records every primitive.
#pragma once

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "base/recording_canvas.h"

class QWidget;

inline constexpr int twips_per_pixel = 15;

class QtCanvas : public RecordingCanvas {
 public:
  explicit QtCanvas(QWidget* owner) : owner_(owner) {}
  void resize(int width_px, int height_px);
  // What is drawn from now on stays inside `area` (pixels): the picture of a window never paints
  // over its controls, however far it is zoomed.
  void set_clip(const QRect& area);
  // The picture so far; what is still in the painter is finished first.
  const QImage& image();
  // What a clear paints the surface with: the windows' background unless set (a printed page
  // takes white).
  void set_background(const QColor& colour) { background_ = colour; }
  void measure_text(const std::string& s, double& width, double& height) const override;

 protected:
  void do_clear() override;
  void do_line(double x1, double y1, double x2, double y2, int colour) override;
  void do_rect(double x1, double y1, double x2, double y2, int colour, bool filled) override;
  void do_circle(double x, double y, double radius, int colour) override;
  void do_text(const std::string& s, double& width, double& height) override;

 private:
  void changed();
  // One painter stays open on the image between clears: opening one per primitive costs more
  // than drawing the primitive.
  QPainter& painter();
  void finish_painting();
  QColor background_{window_background.r, window_background.g, window_background.b};
  struct PenKey {
    int colour, width;
    LineStyle style;
    bool antialiased;
    bool operator==(const PenKey&) const = default;
  };
  PenKey pen_key(int colour, bool antialiased) const;
  void use_pen(const PenKey& key);
  PenKey pen_{};
  bool pen_set_ = false;

  QWidget* owner_;
  QImage image_;
  QRect clip_;  // empty: the whole image
  std::unique_ptr<QPainter> painter_;
};
