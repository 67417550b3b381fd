// The convergence plot of an optimisation: compliance (left axis) and volume ratio (right
// axis) against cycle, with a marker at the cycle shown. A click on the plot asks for the
// cycle nearest to it. The compliance axis is logarithmic unless its box "log" is cleared.
// Used by the post-processing window and by topo, where it grows cycle by cycle.
#pragma once

#include <QtCharts/QChartView>
#include <functional>
#include <vector>

#include "post/plot_axis.h"
#include "post/result_store.h"

class QCategoryAxis;
class QCheckBox;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

class ConvergencePlot : public QChartView {
  Q_OBJECT

 public:
  explicit ConvergencePlot(QWidget* parent);

  // Replaces the history.
  void set_history(const std::vector<CyclePoint>& points);
  // One more cycle at the end.
  void add(const CyclePoint& point);
  // Puts the marker on `cycle`; a cycle without a point hides it.
  void mark(int cycle);
  const std::vector<CyclePoint>& history() const { return points_; }
  int marked() const { return marked_; }

  // The cycle of the history nearest to a position on the widget (0 when there is none).
  int cycle_at(const QPointF& position) const;
  // The widget position of a cycle's compliance point (its volume ratio's without one).
  QPointF position_of(int cycle) const;
  // Called with the cycle a click chose.
  std::function<void(int)> on_cycle_clicked;

  // The axes as drawn: cycles, compliance (N mm), volume ratio.
  PlotAxis cycle_axis() const;
  const PlotAxis& compliance_axis() const { return compliance_range_; }
  const PlotAxis& volume_axis() const { return volume_range_; }
  QCheckBox* Check30;  // log: a logarithmic compliance axis

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void fit_axes();
  // The series' points from the history, the compliance on the axis' own scale.
  void fill_series();
  double compliance_y(double compliance) const;

  std::vector<CyclePoint> points_;
  QLineSeries* compliance_;
  QLineSeries* volume_;
  QScatterSeries* mark_compliance_;
  QScatterSeries* mark_volume_;
  QValueAxis* cycles_;
  QCategoryAxis* compliance_axis_;
  QCategoryAxis* volume_axis_;
  PlotAxis compliance_range_, volume_range_;
  int marked_ = 0;
};
