// How close the optimiser comes to the best designs. For planar ground structures under one load
// the stiffest pin-jointed layout is known exactly (linear programming), and a frame of the same
// volume and the same bounds is at least as stiff: final compliance / C* should be at most 1
// wherever that layout's members fit within "Max Diame." (d* <= Dmax). Both methods run side by
// side on each structure, then on two 3-D lattices with several load cases and springs.
#include <numbers>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/analysis_model.h"
#include "models.h"
#include "solver/pin_jointed.h"
#include "solver/optimiser.h"

namespace {

using Clock = std::chrono::steady_clock;


struct Outcome {
  double compliance = 0;  // at the stop, N mm
  int cycles = 0;
  double seconds = 0;
  double later = 0;       // after long_run cycles, run on past the stop
};

constexpr int long_run = 300;

Outcome optimise(const ModelFile& model, OptimiserMethod method, bool continuation = true) {
  Outcome out;
  const auto start = Clock::now();
  Optimiser once(model, method);
  once.set_continuation(continuation);
  const auto cycles = once.run();
  out.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  out.compliance = cycles.back().compliance;
  out.cycles = static_cast<int>(cycles.size());
  Optimiser on(model, method);
  on.set_continuation(continuation);
  on.keep_going(long_run);
  out.later = on.run().back().compliance;
  return out;
}

double target_volume(const ModelFile& model) {
  double v0 = 0;
  for (const ModelFileElement& e : model.elements) {
    const auto& a = model.nodes[static_cast<size_t>(e.node1 - 1)];
    const auto& b = model.nodes[static_cast<size_t>(e.node2 - 1)];
    v0 += std::numbers::pi / 4 * model.settings.max_diameter * model.settings.max_diameter * std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]);
  }
  return model.settings.volume_ratio * v0;
}

// One method's columns: compliance / reference at the stop, cycles, seconds, and how much lower
// the compliance would still have gone by cycle long_run (per cent).
void print_outcome(const Outcome& o, double reference) {
  std::printf("  %7.5f %5d %6.2f %6.2f", o.compliance / reference, o.cycles, o.seconds,
              100 * (o.compliance - o.later) / o.compliance);
}

ModelFile with_penalty(ModelFile model, double p) {
  model.settings.penalty = static_cast<float>(p);
  return model;
}

// Penalties above 1: the moving asymptotes from the uniform design at the full penalty, beside the
// continuation (penalty 1 first, raised in steps), on grids against C* and on the lattices
// against the run without continuation.
void penalties() {
  std::printf("Penalty above 1, moving asymptotes: without continuation | with it (per run: compliance / reference, cycles, s, %% still to fall by cycle %d)\n",
              long_run);
  const struct {
    int nx, ny;
    bench::Supports supports;
  } grids[] = {{4, 3, bench::Supports::wall},
               {7, 4, bench::Supports::wall},
               {9, 5, bench::Supports::wall},
               {7, 4, bench::Supports::two_corners},
               {9, 5, bench::Supports::two_corners}};
  for (const auto& g : grids) {
    const ModelFile plain = bench::ground_structure(g.nx, g.ny, g.supports);
    const auto layout = pin_jointed_layout(plain);
    if (!layout) continue;
    const double c_star = pin_jointed_compliance(layout->load_path, bench::steel_E, target_volume(plain));
    for (const double p : {2.0, 3.0}) {
      const ModelFile model = with_penalty(plain, p);
      const std::string name = std::to_string(g.nx) + " x " + std::to_string(g.ny) +
                               (g.supports == bench::Supports::wall ? " wall" : " corners") + ", p = " + std::to_string(int(p)) + " (C / C*)";
      std::printf("  %-35s", name.c_str());
      print_outcome(optimise(model, OptimiserMethod::moving_asymptotes, false), c_star);
      print_outcome(optimise(model, OptimiserMethod::moving_asymptotes, true), c_star);
      std::printf("\n");
    }
  }
  const struct {
    int n, h, elements, cases;
  } lattices[] = {{4, 3, 1000, 3}, {5, 4, 1000, 5}};
  for (const auto& l : lattices)
    for (const double p : {2.0, 3.0}) {
      const ModelFile model = with_penalty(bench::lattice(l.n, l.h, l.elements, l.cases, true), p);
      const std::string name = std::to_string(model.n_elem) + " beams, " + std::to_string(l.cases) + " cases, p = " +
                               std::to_string(int(p)) + " (C / without's)";
      const Outcome before = optimise(model, OptimiserMethod::moving_asymptotes, false);
      std::printf("  %-35s", name.c_str());
      print_outcome(before, before.compliance);
      print_outcome(optimise(model, OptimiserMethod::moving_asymptotes, true), before.compliance);
      std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
  // --penalty: only the runs at penalties above 1.
  if (argc > 1 && std::string(argv[1]) == "--penalty") {
    penalties();
    return 0;
  }
  std::printf("Planar ground structures, one load, volume ratio 0.05, p = 1\n");
  std::printf("C*: the pin-jointed optimum without bound on the areas; d*: the thickest member it needs\n");
  std::printf("per method: compliance / C* at the stop, cycles, seconds, %% still to fall by cycle %d\n", long_run);
  std::printf("  %-26s %6s   %-30s  %-30s\n", "", "d*/Dmax", "optimality criteria", "moving asymptotes");
  const struct {
    int nx, ny;
  } grids[] = {{4, 3}, {7, 4}, {9, 5}, {13, 7}};
  for (const bench::Supports supports : {bench::Supports::wall, bench::Supports::two_corners})
    for (const auto& g : grids) {
      const ModelFile model = bench::ground_structure(g.nx, g.ny, supports);
      const auto layout = pin_jointed_layout(model);
      if (!layout) continue;
      const double volume = target_volume(model);
      const double c_star = pin_jointed_compliance(layout->load_path, bench::steel_E, volume);
      const double a_max = std::numbers::pi / 4 * model.settings.max_diameter * model.settings.max_diameter;
      const std::string name = std::to_string(g.nx) + " x " + std::to_string(g.ny) + (supports == bench::Supports::wall ? " wall, " : " corners, ") +
                               std::to_string(model.n_elem) + " beams";
      std::printf("  %-26s %6.2f ", name.c_str(), std::sqrt(layout->peak * volume / layout->load_path / a_max));
      print_outcome(optimise(model, OptimiserMethod::optimality_criteria), c_star);
      print_outcome(optimise(model, OptimiserMethod::moving_asymptotes), c_star);
      std::printf("\n");
    }

  std::printf("3-D lattices, several load cases, springs under the bottom: compliance / the criteria's at its stop\n");
  const struct {
    int n, h, elements, cases;  // every beam of the lattice: elements is above their count
    bool springs;
  } lattices[] = {{4, 3, 1000, 3, true}, {5, 4, 1000, 5, true}};
  for (const auto& l : lattices) {
    const ModelFile model = bench::lattice(l.n, l.h, l.elements, l.cases, l.springs);
    const std::string name = std::to_string(model.n_elem) + " beams, " + std::to_string(l.cases) + " cases" + (l.springs ? ", springs" : "");
    const Outcome criteria = optimise(model, OptimiserMethod::optimality_criteria);
    std::printf("  %-35s", name.c_str());
    print_outcome(criteria, criteria.compliance);
    print_outcome(optimise(model, OptimiserMethod::moving_asymptotes), criteria.compliance);
    std::printf("\n");
  }
  penalties();
  return 0;
}
