// Painting the canvas primitives with QPainter into the window's image.
#include "ui/qt_canvas.h"

#include "base/raster.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>

namespace {
QColor qcolour(int colour) {
  const Rgb c = palette_rgb(colour);
  return QColor(c.r, c.g, c.b);
}

double px(double twips) { return twips / twips_per_pixel; }

QPen pen_of(int colour, int width, LineStyle style) {
  QPen pen(qcolour(colour));
  // A one-pixel line is a cosmetic pen, the fast path of the raster engine.
  pen.setWidth(width > 1 ? width : 0);
  switch (style) {
    case LineStyle::solid: pen.setStyle(Qt::SolidLine); break;
    case LineStyle::dash: pen.setStyle(Qt::DashLine); break;
    case LineStyle::dot: pen.setStyle(Qt::DotLine); break;
    case LineStyle::dash_dot: pen.setStyle(Qt::DashDotLine); break;
    case LineStyle::dash_dot_dot: pen.setStyle(Qt::DashDotDotLine); break;
  }
  return pen;
}

QBrush brush_of(const CanvasState& s) {
  switch (s.fill_style) {
    case FillStyle::solid: return QBrush(qcolour(s.fill_colour), Qt::SolidPattern);
    case FillStyle::diagonal_cross: return QBrush(qcolour(s.fill_colour), Qt::DiagCrossPattern);
    case FillStyle::transparent: break;
  }
  return Qt::NoBrush;
}

QFont font_of(const CanvasState& s) {
  QFont f;
  f.setPointSizeF(s.font_size);
  return f;
}
}  // namespace

QPainter& QtCanvas::painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    if (!clip_.isEmpty()) painter_->setClipRect(clip_);
  }
  return *painter_;
}

void QtCanvas::set_clip(const QRect& area) {
  finish_painting();
  clip_ = area;
}

void QtCanvas::finish_painting() {
  painter_.reset();
  pen_set_ = false;
}

const QImage& QtCanvas::image() {
  finish_painting();
  return image_;
}

void QtCanvas::resize(int width_px, int height_px) {
  if (image_.width() == width_px && image_.height() == height_px) return;
  finish_painting();
  QImage grown(width_px, height_px, QImage::Format_RGB32);
  grown.fill(background_);
  QPainter p(&grown);
  p.drawImage(0, 0, image_);
  image_ = grown;
}

void QtCanvas::changed() {
  if (owner_) owner_->update();
}

void QtCanvas::do_clear() {
  finish_painting();
  image_.fill(background_);
  RecordingCanvas::do_clear();
  changed();
}

// Pen and antialiasing are set only when they change: a redraw may paint a hundred thousand
// lines in a few colours.
QtCanvas::PenKey QtCanvas::pen_key(int colour, bool antialiased) const {
  return {colour, state().line_width, state().line_style, antialiased};
}

void QtCanvas::use_pen(const PenKey& key) {
  QPainter& p = painter();
  if (pen_set_ && key == pen_) return;
  p.setRenderHint(QPainter::Antialiasing, key.antialiased);
  p.setPen(pen_of(key.colour, key.width, key.style));
  pen_ = key;
  pen_set_ = true;
}

// Solid and dotted lines, nearly all of a picture, are written straight into the image; the
// painter draws the other styles.
void QtCanvas::do_line(double x1, double y1, double x2, double y2, int colour) {
  const LineStyle style = state().line_style;
  if (style == LineStyle::solid || style == LineStyle::dot) {
    finish_painting();
    const Rgb c = palette_rgb(colour);
    // The buffer is the clip's part of the image, so that the raster's own clipping keeps to it.
    const QRect area = clip_.isEmpty() ? image_.rect() : clip_.intersected(image_.rect());
    const int stride = static_cast<int>(image_.bytesPerLine() / 4);
    const PixelBuffer buffer{reinterpret_cast<uint32_t*>(image_.bits()) + area.y() * stride + area.x(), area.width(),
                             area.height(), stride};
    raster_line(buffer, px(x1) - area.x(), px(y1) - area.y(), px(x2) - area.x(), px(y2) - area.y(),
                qRgb(c.r, c.g, c.b), state().line_width, style == LineStyle::dot);
  } else {
    use_pen(pen_key(colour, false));
    painter().drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
  }
  RecordingCanvas::do_line(x1, y1, x2, y2, colour);
  changed();
}

void QtCanvas::do_rect(double x1, double y1, double x2, double y2, int colour, bool filled) {
  use_pen(pen_key(colour, false));
  QPainter& p = painter();
  p.setBrush(filled ? QBrush(qcolour(colour)) : brush_of(state()));
  p.drawRect(QRectF(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2))).normalized());
  RecordingCanvas::do_rect(x1, y1, x2, y2, colour, filled);
  changed();
}

void QtCanvas::do_circle(double x, double y, double radius, int colour) {
  use_pen(pen_key(colour, true));
  QPainter& p = painter();
  p.setBrush(brush_of(state()));
  p.drawEllipse(QPointF(px(x), px(y)), px(radius), px(radius));
  RecordingCanvas::do_circle(x, y, radius, colour);
  changed();
}

void QtCanvas::do_text(const std::string& s, double& width, double& height) {
  QPainter& p = painter();
  p.setFont(font_of(state()));
  p.setPen(qcolour(state().text_colour));
  pen_set_ = false;
  const QFontMetricsF m(p.font());
  p.drawText(QPointF(px(state().x), px(state().y) + m.ascent()), QString::fromStdString(s));
  RecordingCanvas::do_text(s, width, height);
  changed();
}

void QtCanvas::measure_text(const std::string& s, double& width, double& height) const {
  const QFontMetricsF m(font_of(state()));
  width = m.horizontalAdvance(QString::fromStdString(s)) * twips_per_pixel;
  height = m.height() * twips_per_pixel;
}
