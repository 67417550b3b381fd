// "Lightest Frame" at the program's largest model (5000 elements, 5 load cases): the search over
// the final design's thresholds against one "Standard Sizes" of its clean frame at threshold 0.1,
// as the post-processing window runs them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>

#include "bench/models.h"
#include "evaluate/lightest_frame.h"
#include "formats/numtext.h"
#include "solver/optimiser.h"

namespace {
double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}
}  // namespace

int main() {
  const ModelFile model = bench::lattice(10, 10, 5000);
  std::printf("%d nodes, %d elements, %zu load cases\n", model.n_node, model.n_elem, model.cases.size());
  Optimiser optimiser(model);
  const std::vector<CycleRecord> cycles = optimiser.run();
  const std::vector<double>& last = cycles.back().diameters;
  AnalysedFrame design{frame_of(model, last), {}};
  design.forces = analyse_frame(design.frame);
  CycleDiameters d;
  d.largest = static_cast<float>(*std::max_element(last.begin(), last.end()));
  for (double x : last) d.diameter.push_back(static_cast<float>(x));

  const std::vector<StandardSection> list = default_sections();
  auto start = std::chrono::steady_clock::now();
  const BuiltFrame one = build_frame(design, drawn_members(d, 0.1f), &list, {}, {}, {});
  const double standard = seconds_since(start);
  std::printf("  \"Standard Sizes\" at threshold 0.1: %zu members, %.4g kg, %s, in %.2f s\n", one.clean.frame.sections.size(),
              frame_mass(one.clean.frame, 7850), frame_passes(one, {}, {}) ? "passing" : "failing", standard);

  start = std::chrono::steady_clock::now();
  const std::vector<float> thresholds = clean_frame_thresholds(design.frame, d);
  const double walk = seconds_since(start);
  start = std::chrono::steady_clock::now();
  const LightestFrame l = lightest_frame(design, d, list, {}, {}, {});
  const double search = seconds_since(start);
  std::printf("  the clean frames over %zu thresholds: %zu, told apart in %.3f s\n", drawing_thresholds(d).size(),
              thresholds.size(), walk);
  std::printf("  %s\n", lightest_status(l, 7850).c_str());
  std::printf("  \"Lightest Frame\" in %.2f s: %.2f \"Standard Sizes\" (aim: at most 20, and under 5 s)\n", search,
              search / standard);
  return 0;
}
