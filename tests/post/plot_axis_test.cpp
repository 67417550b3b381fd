// The convergence plot's value axes, linear and logarithmic, against ranges worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "post/plot_axis.h"

namespace {

std::vector<std::string> labels(const PlotAxis& a) {
  std::vector<std::string> out;
  for (const PlotTick& t : a.ticks) out.push_back(t.label);
  return out;
}

void expect_ticks_inside(const PlotAxis& a) {
  ASSERT_FALSE(a.ticks.empty());
  for (size_t k = 0; k < a.ticks.size(); ++k) {
    EXPECT_GE(a.ticks[k].value, a.min * (1 - 1e-12));
    EXPECT_LE(a.ticks[k].value, a.max * (1 + 1e-12));
    EXPECT_LE(a.ticks[k].label.size(), 6u) << a.ticks[k].label;  // fits beside a narrow plot
    if (k > 0) {
      EXPECT_GT(a.ticks[k].value, a.ticks[k - 1].value);
    }
  }
}

}  // namespace

// Each axis by hand: its values, linear or logarithmic, the ends and (where given) the labels.
TEST(PlotAxis, AxesEndOnTicksFromOneHundredToOneBillion) {
  const struct {
    const char* why;
    std::vector<double> values;
    bool log;
    double min, max;
    std::vector<std::string> labels;
  } cases[] = {
      // 1e6..3e6 with 5 % room: 0.9e6..3.1e6; step 0.5e6 (1/5 of 2.2e6 rounded up to 1, 2, 5).
      {"linear, mega", {3e6, 2e6, 1e6}, false, 0.5e6, 3.5e6,
       {"0.5e6", "1.0e6", "1.5e6", "2.0e6", "2.5e6", "3.0e6", "3.5e6"}},
      // A first cycle a hundred times the last: the room below would reach -39.5, the axis stops at 0.
      {"linear, from zero", {1000, 10}, false, 0, 1500, {"0", "500", "1000", "1500"}},
      // Over a decade (1e6..1e7, room 0.05 decades): ticks at 1, 2, 5 of each power, ends on ticks.
      {"log, a decade", {1e7, 1.1e6, 1e6}, true, 5e5, 2e7, {"500e3", "1e6", "2e6", "5e6", "10e6", "20e6"}},
      // Within a decade the ticks are even: 100..120 with room log10(1.05) each side is
      // 95.2..126, step 10.
      {"log, within a decade", {120, 101, 100}, true, 90, 130, {"90", "100", "110", "120", "130"}},
      // 1e9..3e9: room 0.024 decades, 0.946e9..3.17e9, step 0.5e9.
      {"log, giga", {3e9, 1e9}, true, 0.5e9, 3.5e9, {"0.5e9", "1.0e9", "1.5e9", "2.0e9", "2.5e9", "3.0e9", "3.5e9"}},
      // Compliances of a few hundredths of a kN m over two decades: each tick its own digits.
      {"log, hundredths", {0.5, 0.017}, true, 0.01, 1, {"0.01", "0.02", "0.05", "0.1", "0.2", "0.5", "1"}},
      // Eight decades: powers of ten alone, still short.
      {"log, eight decades", {1e10, 1e2}, true, 10, 1e11, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const PlotAxis a = value_axis(c.values, c.log);
    EXPECT_EQ(a.log, c.log);
    EXPECT_DOUBLE_EQ(a.min, c.min);
    EXPECT_DOUBLE_EQ(a.max, c.max);
    if (!c.labels.empty()) {
      EXPECT_EQ(labels(a), c.labels);
    }
    expect_ticks_inside(a);
  }
  // Volume ratios: plain decimals; a ratio held on its target is a flat line with 5 % room.
  const PlotAxis held = value_axis({0.01, 0.01, 0.01}, false);
  EXPECT_LT(held.min, 0.01);
  EXPECT_GT(held.max, 0.01);
  EXPECT_GE(held.min, 0);
  expect_ticks_inside(held);
  // A series that goes below zero keeps its room below; a value at or below zero cannot be drawn
  // on a logarithmic axis: the axis is linear.
  EXPECT_LT(value_axis({-1, 5}, false).min, -1);
  EXPECT_FALSE(value_axis({5, 0}, true).log);
}

TEST(PlotAxis, EngineeringLabels) {
  EXPECT_EQ(engineering_label(0.25, 0, 2), "0.25");
  EXPECT_EQ(engineering_label(0, 6, 1), "0");
  EXPECT_EQ(engineering_label(2e-3, -3, 0), "2e-3");
}
