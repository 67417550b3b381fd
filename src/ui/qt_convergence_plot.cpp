// The convergence plot: two line series on their own axes and a marker pair.
#include "ui/qt_convergence_plot.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace {
const QColor compliance_colour(0, 0, 128), volume_colour(0, 128, 0), mark_colour(255, 0, 0);

template <typename Axis>
Axis* make_axis(const QString& title, const QColor& colour) {
  auto* axis = new Axis;
  axis->setTitleText(title);
  axis->setLabelsColor(colour);
  axis->setTitleBrush(colour);
  return axis;
}

// A value axis drawn with its own ticks and labels; a logarithmic one is drawn in log10 units.
void show_axis(QCategoryAxis* axis, const PlotAxis& range) {
  for (const QString& label : axis->categoriesLabels()) axis->remove(label);
  const auto scale = [&](double v) { return range.log ? std::log10(v) : v; };
  const double low = scale(range.min), high = scale(range.max);
  axis->setRange(low, high);
  // A category ends where its label stands, so the first one starts just below the axis.
  axis->setStartValue(low - 1e-6 * (high - low));
  for (const PlotTick& t : range.ticks) axis->append(QString::fromStdString(t.label), scale(t.value));
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

}  // namespace

ConvergencePlot::ConvergencePlot(QWidget* parent)
    : QChartView(parent),
      compliance_(make_line("Compliance [N mm]", compliance_colour)),
      volume_(make_line("Volume ratio", volume_colour)),
      mark_compliance_(make_marker()),
      mark_volume_(make_marker()),
      cycles_(make_axis<QValueAxis>("Cycle", Qt::black)),
      compliance_axis_(make_axis<QCategoryAxis>("Compliance [N mm]", compliance_colour)),
      volume_axis_(make_axis<QCategoryAxis>("Volume ratio", volume_colour)) {
  auto* c = new QChart;
  // Room above the plot for the box that chooses the compliance scale.
  c->setMargins(QMargins(2, 18, 2, 2));
  c->legend()->hide();
  c->addAxis(cycles_, Qt::AlignBottom);
  c->addAxis(compliance_axis_, Qt::AlignLeft);
  c->addAxis(volume_axis_, Qt::AlignRight);
  cycles_->setLabelFormat("%d");
  cycles_->setTickType(QValueAxis::TicksDynamic);
  cycles_->setTickAnchor(0);
  for (QCategoryAxis* axis : {compliance_axis_, volume_axis_})
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  for (auto [series, axis] : {std::pair<QAbstractSeries*, QAbstractAxis*>{compliance_, compliance_axis_},
                              {volume_, volume_axis_}, {mark_compliance_, compliance_axis_}, {mark_volume_, volume_axis_}}) {
    c->addSeries(series);
    series->attachAxis(cycles_);
    series->attachAxis(axis);
  }
  setChart(c);
  setRenderHint(QPainter::Antialiasing);
  setToolTip("Compliance and volume ratio of every cycle; click to show a cycle");
  Check30 = new QCheckBox("log", this);
  Check30->setObjectName("Check30");
  Check30->setToolTip("Logarithmic Compliance Axis");
  Check30->setChecked(true);
  Check30->move(4, 0);
  connect(Check30, &QCheckBox::toggled, this, [this] {
    fill_series();
    mark(marked_);
  });
  fit_axes();
}

double ConvergencePlot::compliance_y(double compliance) const {
  return compliance_range_.log ? std::log10(compliance) : compliance;
}

// The axes first: whether the compliance is drawn on a logarithmic scale depends on them.
void ConvergencePlot::fill_series() {
  fit_axes();
  QList<QPointF> c, v;
  for (const CyclePoint& p : points_) {
    if (std::isfinite(p.compliance)) c.append(QPointF(p.cycle, compliance_y(p.compliance)));
    if (std::isfinite(p.volume_ratio)) v.append(QPointF(p.cycle, p.volume_ratio));
  }
  compliance_->replace(c);
  volume_->replace(v);
}

PlotAxis ConvergencePlot::cycle_axis() const {
  PlotAxis axis;
  axis.min = cycles_->min();
  axis.max = cycles_->max();
  return axis;
}

void ConvergencePlot::set_history(const std::vector<CyclePoint>& points) {
  points_ = points;
  fill_series();
  mark(marked_);
}

void ConvergencePlot::add(const CyclePoint& point) {
  points_.push_back(point);
  const bool was_log = compliance_range_.log;
  fit_axes();
  if (compliance_range_.log != was_log) {
    fill_series();  // a first value at or below zero turns the scale linear
  } else {
    if (std::isfinite(point.compliance)) compliance_->append(point.cycle, compliance_y(point.compliance));
    if (std::isfinite(point.volume_ratio)) volume_->append(point.cycle, point.volume_ratio);
  }
  mark(point.cycle);
}

void ConvergencePlot::mark(int cycle) {
  marked_ = cycle;
  mark_compliance_->clear();
  mark_volume_->clear();
  for (const CyclePoint& p : points_)
    if (p.cycle == cycle) {
      if (std::isfinite(p.compliance)) mark_compliance_->append(p.cycle, compliance_y(p.compliance));
      if (std::isfinite(p.volume_ratio)) mark_volume_->append(p.cycle, p.volume_ratio);
    }
}

void ConvergencePlot::fit_axes() {
  // Each axis over the values its lines carry.
  std::vector<double> compliances, volumes;
  int last = 1;
  for (const CyclePoint& p : points_) {
    if (std::isfinite(p.compliance)) compliances.push_back(p.compliance);
    if (std::isfinite(p.volume_ratio)) volumes.push_back(p.volume_ratio);
    last = std::max(last, p.cycle);
  }
  cycles_->setRange(1, std::max(2, last));
  cycles_->setTickInterval(cycle_step(last));
  compliance_range_ = value_axis(compliances, Check30->isChecked());
  volume_range_ = value_axis(volumes, false);
  show_axis(compliance_axis_, compliance_range_);
  show_axis(volume_axis_, volume_range_);
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
        return mapFromScene(chart()->mapToPosition(QPointF(p.cycle, compliance_y(p.compliance)), compliance_));
      return mapFromScene(chart()->mapToPosition(QPointF(p.cycle, p.volume_ratio), volume_));
    }
  return {};
}

void ConvergencePlot::mousePressEvent(QMouseEvent* event) {
  const int cycle = cycle_at(event->position());
  if (cycle > 0 && on_cycle_clicked) on_cycle_clicked(cycle);
  event->accept();
}
