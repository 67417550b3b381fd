// Axis ranges and labels of the convergence plot.
#include "post/plot_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// 1, 2 or 5 times a power of ten, the smallest at least `rough`.
double nice_step(double rough) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= rough * (1 - 1e-9)) return m * power;
  return 10 * power;
}

// k times step, exact for steps like 0.01 (28 x 0.01 would be 0.28000000000000003).
double multiple(double k, double step) {
  if (step < 1) return k / std::round(1 / step);
  return k * step;
}

// The exponent the labels of an axis share: none for values a reader takes in at a glance,
// else the multiple of three that leaves the largest mantissa between 1 and 999.
int shared_exponent(double largest) {
  if (largest == 0 || (largest >= 1e-2 && largest < 1e4)) return 0;
  return 3 * static_cast<int>(std::floor(std::log10(largest) / 3));
}

// Decimals that tell ticks `step` apart once divided by 10^exponent.
int decimals_for(double step, int exponent) {
  const double scaled = step / std::pow(10.0, exponent);
  return std::clamp(static_cast<int>(std::ceil(-std::log10(scaled) - 1e-9)), 0, 4);
}

// Ticks every `step` from `low` to `high` (both multiples of step), labelled alike.
std::vector<PlotTick> even_ticks(double low, double high, double step) {
  std::vector<PlotTick> ticks;
  const int exponent = shared_exponent(std::max(std::fabs(low), std::fabs(high)));
  const int decimals = decimals_for(step, exponent);
  const long first = std::lround(low / step), last = std::lround(high / step);
  for (long k = first; k <= last; ++k) {
    const double v = multiple(static_cast<double>(k), step);
    ticks.push_back({v, engineering_label(v, exponent, decimals)});
  }
  return ticks;
}

// A value range with a little room, never empty: values that differ only in their last digits
// (a volume ratio held on its target) are drawn as the flat line they are.
std::pair<double, double> padded(double low, double high) {
  const double size = std::max(std::fabs(low), std::fabs(high));
  if (!(high - low > 1e-3 * size)) {
    const double room = size == 0 ? 1 : size * 0.05;
    return {low - room, high + room};
  }
  const double room = (high - low) * 0.05;
  return {low - room, high + room};
}

PlotAxis linear_axis(double low, double high) {
  const bool positive = low >= 0;
  auto [a, b] = padded(low, high);
  if (positive) a = std::max(a, 0.0);
  const double step = nice_step((b - a) / 5);
  PlotAxis axis;
  axis.min = multiple(std::floor(a / step), step);
  axis.max = multiple(std::ceil(b / step), step);
  if (positive) axis.min = std::max(axis.min, 0.0);
  axis.ticks = even_ticks(axis.min, axis.max, step);
  return axis;
}

// Above a decade: ticks at 1, 2 and 5 times each power of ten (powers alone beyond three
// decades), the ends on ticks. Within a decade: even ticks, the ends on ticks above zero.
PlotAxis log_axis(double low, double high) {
  const double room = std::max(0.05 * std::log10(high / low), std::log10(1.05));
  const double a = low / std::pow(10.0, room), b = high * std::pow(10.0, room);
  PlotAxis axis;
  axis.log = true;
  const double decades = std::log10(b / a);
  if (decades < 1) {
    const double step = nice_step((b - a) / 5);
    axis.min = multiple(std::floor(a / step), step);
    if (axis.min <= 0) axis.min = a;
    axis.max = multiple(std::ceil(b / step), step);
    axis.ticks = even_ticks(multiple(std::ceil(axis.min / step - 1e-9), step), axis.max, step);
    return axis;
  }
  const std::vector<double> multiples = decades > 3 ? std::vector<double>{1} : std::vector<double>{1, 2, 5};
  std::vector<double> candidates;
  for (int p = static_cast<int>(std::floor(std::log10(a))); p <= static_cast<int>(std::ceil(std::log10(b))); ++p)
    for (double m : multiples) candidates.push_back(m * std::pow(10.0, p));
  axis.min = candidates.front();
  axis.max = candidates.back();
  for (double c : candidates) {
    if (c <= a * (1 + 1e-12)) axis.min = c;
    if (c >= b * (1 - 1e-12)) {
      axis.max = c;
      break;
    }
  }
  for (double c : candidates)
    if (c >= axis.min * (1 - 1e-12) && c <= axis.max * (1 + 1e-12)) {
      const int exponent = shared_exponent(c);
      axis.ticks.push_back({c, engineering_label(c, exponent, decimals_for(c, exponent))});
    }
  return axis;
}

}  // namespace

PlotAxis value_axis(const std::vector<double>& values, bool logarithmic) {
  if (values.empty()) return linear_axis(0, 1);
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  if (logarithmic && *lo > 0) return log_axis(*lo, *hi);
  return linear_axis(*lo, *hi);
}

std::string engineering_label(double v, int exponent, int decimals) {
  if (v == 0) return "0";
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, v / std::pow(10.0, exponent));
  std::string label = text;
  if (exponent != 0) label += "e" + std::to_string(exponent);
  return label;
}
