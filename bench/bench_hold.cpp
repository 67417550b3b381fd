// Holding a clean frame that is a mechanism, at the program's largest model (5000 elements): the
// lattice of bench_forces with its members in four walls across W thick and the rest thin, every
// bottom node pinned and loads on the walls' tops, so that each wall turns about the line of its
// feet. The holding alone (from the members the clean-up keeps) and the clean-up with it, against
// one analysis of the held frame, per member added back.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "bench/models.h"
#include "evaluate/clean_up.h"
#include "evaluate/held_frame.h"

namespace {
double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// The lattice with its bottom pinned and one load down on the top middle of each wall (W = 0,
// 300, 600, 900), and the diameters: 10 mm for the members within a wall, 0.5 mm for the rest.
ShownFrame walls(ModelFile model) {
  const double top = std::max_element(model.nodes.begin(), model.nodes.end(),
                                      [](const auto& a, const auto& b) { return a[2] < b[2]; })->at(2);
  auto in_wall = [](double w) { return static_cast<int>(w) % 300 == 0; };
  for (ModelFileCase& c : model.cases)
    for (size_t i = 0; i < model.nodes.size(); ++i) {
      c.fixed[i] = {};
      c.loads[i] = {};
      c.springs[i] = {};
      for (size_t k = 0; k < 3; ++k) c.fixed[i][k] = model.nodes[i][2] == 0;
      if (model.nodes[i][2] == top && model.nodes[i][0] == 400 && in_wall(model.nodes[i][1])) c.loads[i][2] = -1000;
    }
  model.cases.resize(1);
  std::vector<double> d;
  for (const ModelFileElement& e : model.elements) {
    const double w1 = model.nodes[static_cast<size_t>(e.node1 - 1)][1], w2 = model.nodes[static_cast<size_t>(e.node2 - 1)][1];
    d.push_back(w1 == w2 && in_wall(w1) ? 10.0 : 0.5);
  }
  return frame_of(model, d);
}
}  // namespace

int main() {
  const ShownFrame frame = walls(bench::lattice(10, 10, 5000));
  std::vector<char> drawn;
  for (const MemberSection& s : frame.sections) drawn.push_back(s.outer >= 1.0);
  std::printf("%d nodes, %d elements, %zu drawn\n", frame.model.n_node, frame.model.n_elem,
              static_cast<size_t>(std::count(drawn.begin(), drawn.end(), 1)));
  double hold = 1e300, held = 1e300, analysis = 1e300;
  CleanFrame c;
  for (int repeat = 0; repeat < 3; ++repeat) {
    const CleanFrame without = clean_up(frame, drawn, {});
    if (without.forces) std::printf("  (the clean frame stands without holding)\n");
    std::vector<char> keep(frame.sections.size(), 0);
    for (int e : without.frame.element) keep[static_cast<size_t>(e - 1)] = 1;
    auto start = std::chrono::steady_clock::now();
    hold_mechanism(frame, keep, {});
    hold = std::min(hold, seconds_since(start));
    start = std::chrono::steady_clock::now();
    c = clean_up(frame, drawn, {}, true);
    held = std::min(held, seconds_since(start));
    start = std::chrono::steady_clock::now();
    if (c.forces) analyse_frame(c.frame);
    analysis = std::min(analysis, seconds_since(start));
  }
  const double added = static_cast<double>(std::max<size_t>(c.added.size(), 1));
  std::printf("  clean frame %zu members, %zu added back, %s\n", c.frame.element.size(), c.added.size(),
              c.forces ? "stands" : c.problem.c_str());
  std::printf("  holding %.4f s, the clean-up with holding and its analysis %.4f s, one analysis of the held frame "
              "%.4f s\n", hold, held, analysis);
  std::printf("  holding per member added / one analysis: %.4f (aim: well under 1)\n", hold / added / analysis);
  return 0;
}
