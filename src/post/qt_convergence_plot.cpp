// The convergence plot: two line series on their own axes and a marker pair.
#include "post/qt_convergence_plot.h"

#include <QMouseEvent>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace {
const QColor compliance_colour(0, 0, 128), volume_colour(0, 128, 0), mark_colour(255, 0, 0);

QValueAxis* make_axis(const QString& title, const QColor& colour) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setLabelsColor(colour);
  axis->setTitleBrush(colour);
  return axis;
}

QLineSeries* make_line(const QString& name, const QColor& colour) {
  auto* s = new QLineSeries;
  s->setName(name);
  s->setPen(QPen(colour, 2));
  return s;
}

QScatterSeries* make_marker() {
  auto* s = new QScatterSeries;
  s->setMarkerSize(9);
  s->setColor(mark_colour);
  s->setBorderColor(mark_colour);
  return s;
}

// Whole cycles between ticks, 1, 2 or 5 times a power of ten, about five ticks in all.
double cycle_step(int last) {
  double step = 1;
  for (int k = 0; last / step > 6; ++k) step *= (k % 3 == 1) ? 2.5 : 2;
  return step;
}

// Labels short enough for a narrow plot: as many decimals as the range needs, or an exponent
// for values far from 1.
QString label_format(double low, double high) {
  const double big = std::max(std::fabs(low), std::fabs(high));
  if (big >= 1e6 || big < 1e-3) return "%.2e";
  const int decimals = std::clamp(2 - static_cast<int>(std::floor(std::log10(high - low))), 0, 4);
  return QString("%.%1f").arg(decimals);
}

// A value range with a little room, never empty. Values that differ only in their last digits
// (a volume ratio held on its target) are drawn as the flat line they are, not as noise.
std::pair<double, double> padded(double low, double high) {
  const double size = std::max(std::fabs(low), std::fabs(high));
  if (!(high - low > 1e-3 * size)) {
    const double middle = (low + high) / 2, room = size == 0 ? 1 : size * 0.05;
    return {middle - room, middle + room};
  }
  const double room = (high - low) * 0.05;
  return {low - room, high + room};
}
}  // namespace

ConvergencePlot::ConvergencePlot(QWidget* parent)
    : QChartView(parent),
      compliance_(make_line("Compliance [N mm]", compliance_colour)),
      volume_(make_line("Volume ratio", volume_colour)),
      mark_compliance_(make_marker()),
      mark_volume_(make_marker()),
      cycles_(make_axis("Cycle", Qt::black)),
      compliance_axis_(make_axis("Compliance [N mm]", compliance_colour)),
      volume_axis_(make_axis("Volume ratio", volume_colour)) {
  auto* c = new QChart;
  c->setMargins(QMargins(2, 2, 2, 2));
  c->legend()->hide();
  c->addAxis(cycles_, Qt::AlignBottom);
  c->addAxis(compliance_axis_, Qt::AlignLeft);
  c->addAxis(volume_axis_, Qt::AlignRight);
  cycles_->setLabelFormat("%d");
  cycles_->setTickType(QValueAxis::TicksDynamic);
  cycles_->setTickAnchor(0);
  for (auto [series, axis] : {std::pair<QAbstractSeries*, QValueAxis*>{compliance_, compliance_axis_},
                              {volume_, volume_axis_}, {mark_compliance_, compliance_axis_}, {mark_volume_, volume_axis_}}) {
    c->addSeries(series);
    series->attachAxis(cycles_);
    series->attachAxis(axis);
  }
  setChart(c);
  setRenderHint(QPainter::Antialiasing);
  setToolTip("Compliance and volume ratio of every cycle; click to show a cycle");
  fit_axes();
}

void ConvergencePlot::set_history(const std::vector<CyclePoint>& points) {
  points_ = points;
  QList<QPointF> c, v;
  for (const CyclePoint& p : points_) {
    if (std::isfinite(p.compliance)) c.append(QPointF(p.cycle, p.compliance));
    if (std::isfinite(p.volume_ratio)) v.append(QPointF(p.cycle, p.volume_ratio));
  }
  compliance_->replace(c);
  volume_->replace(v);
  fit_axes();
  mark(marked_);
}

void ConvergencePlot::add(const CyclePoint& point) {
  points_.push_back(point);
  if (std::isfinite(point.compliance)) compliance_->append(point.cycle, point.compliance);
  if (std::isfinite(point.volume_ratio)) volume_->append(point.cycle, point.volume_ratio);
  fit_axes();
  mark(point.cycle);
}

void ConvergencePlot::mark(int cycle) {
  marked_ = cycle;
  mark_compliance_->clear();
  mark_volume_->clear();
  for (const CyclePoint& p : points_)
    if (p.cycle == cycle) {
      if (std::isfinite(p.compliance)) mark_compliance_->append(p.cycle, p.compliance);
      if (std::isfinite(p.volume_ratio)) mark_volume_->append(p.cycle, p.volume_ratio);
    }
}

void ConvergencePlot::fit_axes() {
  // Each axis over the values its lines carry; one without any keeps 0..1.
  double c_low = INFINITY, c_high = -INFINITY, v_low = INFINITY, v_high = -INFINITY;
  int last = 1;
  for (const CyclePoint& p : points_) {
    if (std::isfinite(p.compliance)) {
      c_low = std::min(c_low, p.compliance);
      c_high = std::max(c_high, p.compliance);
    }
    if (std::isfinite(p.volume_ratio)) {
      v_low = std::min(v_low, p.volume_ratio);
      v_high = std::max(v_high, p.volume_ratio);
    }
    last = std::max(last, p.cycle);
  }
  if (!(c_low <= c_high)) c_low = 0, c_high = 1;
  if (!(v_low <= v_high)) v_low = 0, v_high = 1;
  cycles_->setRange(1, std::max(2, last));
  cycles_->setTickInterval(cycle_step(last));
  const auto [cl, ch] = padded(c_low, c_high);
  const auto [vl, vh] = padded(v_low, v_high);
  for (auto [axis, low, high] : {std::tuple{compliance_axis_, cl, ch}, std::tuple{volume_axis_, vl, vh}}) {
    axis->setRange(low, high);
    axis->applyNiceNumbers();
    axis->setLabelFormat(label_format(axis->min(), axis->max()));
  }
}

int ConvergencePlot::cycle_at(const QPointF& position) const {
  if (points_.empty()) return 0;
  const double x = chart()->mapToValue(mapToScene(position.toPoint()), compliance_).x();
  const auto nearest = std::min_element(points_.begin(), points_.end(), [x](const CyclePoint& a, const CyclePoint& b) {
    return std::fabs(a.cycle - x) < std::fabs(b.cycle - x);
  });
  return nearest->cycle;
}

QPointF ConvergencePlot::position_of(int cycle) const {
  for (const CyclePoint& p : points_)
    if (p.cycle == cycle) {
      if (std::isfinite(p.compliance))
        return mapFromScene(chart()->mapToPosition(QPointF(p.cycle, p.compliance), compliance_));
      return mapFromScene(chart()->mapToPosition(QPointF(p.cycle, p.volume_ratio), volume_));
    }
  return {};
}

void ConvergencePlot::mousePressEvent(QMouseEvent* event) {
  const int cycle = cycle_at(event->position());
  if (cycle > 0 && on_cycle_clicked) on_cycle_clicked(cycle);
  event->accept();
}
