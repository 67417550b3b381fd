// The value axes of the convergence plot: their range, ticks and labels. A series of positive
// values never gets an axis below zero; labels stay short (engineering notation, exponents in
// steps of three) so that they fit beside a narrow plot; a logarithmic axis shows the small
// progress of the last cycles beside a first cycle many times larger.
#pragma once

#include <string>
#include <vector>

struct PlotTick {
  double value = 0;
  std::string label;
};

struct PlotAxis {
  double min = 0, max = 1;  // in the values' own unit, also on a logarithmic axis
  bool log = false;
  std::vector<PlotTick> ticks;  // increasing, each within [min, max]
};

// The axis for `values` (any order). A logarithmic axis is given only to a series whose values
// are all above zero; for any other the axis is linear (log false).
PlotAxis value_axis(const std::vector<double>& values, bool logarithmic);

// `v` in engineering notation: the mantissa times 10 to `exponent` (a multiple of three, 0
// writes no exponent), with `decimals` decimals: 1.5e6, 250e3, 0.25, 0.
std::string engineering_label(double v, int exponent, int decimals);
