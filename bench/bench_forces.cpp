// The member forces of the design shown, at the program's largest model (5000 elements, 5 load
// cases): one analysis and the checks of the final design of a real run, as the post-processing
// window makes it when a force view is chosen, against one cycle of the solver's run that made
// the design (the run's time over its cycles) and against one freshly factorising analysis; and
// the critical load factor of one state, of that design and of its clean frame, against one
// analysis of the same frame; and the plastic bound of the model's ground structure against one
// analysis; and "Standard Sizes" of the clean frame with and without a deflection limit.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>

#include "bench/models.h"
#include "evaluate/clean_up.h"
#include "evaluate/frame_judgement.h"
#include "evaluate/plastic_bound.h"
#include "evaluate/standard_sizes.h"
#include "formats/numtext.h"
#include "solver/optimiser.h"

namespace {
double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// The buckling of load case 1 of f, and the whole judgement of f (for every state alpha_cr and
// the second-order forces of four sways, and the checks), against one analysis of f, the best of
// three each.
void time_stability(const char* name, const ShownFrame& f, const std::vector<char>& drawn) {
  double analysis = 1e300, stability = 1e300, judged = 1e300;
  FrameBuckling b;
  size_t states = 1;
  for (int repeat = 0; repeat < 3; ++repeat) {
    auto start = std::chrono::steady_clock::now();
    const FrameForces forces = analyse_frame(f);
    analysis = std::min(analysis, seconds_since(start));
    start = std::chrono::steady_clock::now();
    b = frame_buckling(f.model, f.section_values(), 0, forces.by_state[0].members, drawn);
    stability = std::min(stability, seconds_since(start));
    start = std::chrono::steady_clock::now();
    const FrameJudgement j = judge_frame(f, forces, {}, {}, drawn);
    judged = std::min(judged, seconds_since(start));
    states = std::max<size_t>(j.stability.size(), 1);
  }
  std::printf("  %s (%zu members): alpha_cr %.3g of load case 1 in %.4f s; the stability of one state / one analysis "
              "of all its cases: %.2f (aim: at most 5)\n",
              name, f.sections.size(), b.alpha, stability, stability / analysis);
  std::printf("    with its second-order forces in four sways and the checks, one state / one analysis: %.2f "
              "(%zu states in %.3f s)\n",
              judged / static_cast<double>(states) / analysis, states, judged);
}
// The plastic bound of every load case, and of load case 1 alone (the linear program, made once
// per model; the window stops it after plastic_seconds), against one analysis of the shown design.
void time_bound(const ModelFile& model, double analysis) {
  const auto start = std::chrono::steady_clock::now();
  const PinJointedOutcome truss = plastic_layout(model, {});
  const double took = seconds_since(start);
  const PlasticBound b = plastic_bound(truss, {}, 7850);
  std::printf("  the plastic bound of %s in %.3f s: %.1f analyses (%s)\n",
              plural(static_cast<int>(model.cases.size()), "load case").c_str(), took,
              took / analysis,
              b.problem.empty() ? (std::to_string(b.members) + " members, " + std::to_string(b.mass) + " kg").c_str()
                                : b.problem.c_str());
}
// "Standard Sizes" on the clean frame, from the default list, without a deflection limit and then
// with one of 0.6 times the deflection of the frame sized for strength: the growth's cost.
void time_growth(const CleanFrame& clean) {
  const std::vector<StandardSection> list = default_sections();
  const auto size = [&](const Loading& loading, Sizing& s) {
    ShownFrame f = clean.frame;
    FrameForces forces = *clean.forces;
    const auto start = std::chrono::steady_clock::now();
    s = size_members(f, forces, list, {}, loading);
    const double took = seconds_since(start);
    return std::tuple{took, largest_movement(forces).value, frame_mass(f, 7850)};
  };
  Sizing strength, grown;
  const auto [plain, moved, mass] = size(Loading{}, strength);
  Loading limited;
  limited.deflection_limit = 0.6 * moved;
  const auto [with_limit, moved_after, grown_mass] = size(limited, grown);
  std::printf("  Standard Sizes of the clean frame: %.3f s (%d rounds, %.4g kg, deflection %.4g mm); with a deflection "
              "limit of %.4g mm %.3f s, %.2f times (%d members grown in %d rounds, %.4g kg, deflection %.4g mm, %s)\n",
              plain, strength.rounds, mass, moved, limited.deflection_limit, with_limit, with_limit / plain, grown.grown,
              grown.growth_rounds, grown_mass, moved_after, grown.deflection_met() ? "met" : "not met");
}
}  // namespace

int main() {
  const ModelFile model = bench::lattice(10, 10, 5000);
  std::printf("%d nodes, %d elements, %zu load cases\n", model.n_node, model.n_elem, model.cases.size());

  auto start = std::chrono::steady_clock::now();
  Optimiser optimiser(model);
  const std::vector<CycleRecord> cycles = optimiser.run();
  const double run = seconds_since(start);
  const double per_cycle = run / static_cast<double>(cycles.size());
  std::printf("  the solver's run: %zu cycles in %.2f s, %.4f s a cycle\n", cycles.size(), run, per_cycle);

  const ShownFrame frame = frame_of(model, cycles.back().diameters);
  double analysis = 1e300, fresh = 1e300, checks = 1e300;
  for (int repeat = 0; repeat < 3; ++repeat) {
    start = std::chrono::steady_clock::now();
    const FrameForces forces = analyse_frame(frame);
    analysis = std::min(analysis, seconds_since(start));
    start = std::chrono::steady_clock::now();
    const FrameChecks k = check_frame(frame, forces, {});
    checks = std::min(checks, seconds_since(start));
    // The plain baseline: the engine's own analysis of the same design, built and factorised afresh.
    start = std::chrono::steady_clock::now();
    FrameAnalysis a(model);
    a.set_factor_reuse(false);
    a.solve(frame.section_values());
    fresh = std::min(fresh, seconds_since(start));
    if (k.envelope.empty()) std::printf("  (no members)\n");
  }
  std::printf("  one analysis of the shown design %.4f s (forces, reactions, displacements of 5 cases), its checks "
              "%.4f s\n",
              analysis, checks);
  std::printf("  the steel checks of every member in every case / one analysis of the shown design: %.3f\n",
              checks / analysis);
  std::printf("  shown design (analysis and checks) / one solver cycle: %.2f\n", (analysis + checks) / per_cycle);
  std::printf("  shown design (analysis and checks) / one fresh analysis by the engine alone: %.2f\n",
              (analysis + checks) / fresh);
  time_bound(model, analysis);
  ModelFile one_case = model;
  one_case.cases.resize(1);
  time_bound(one_case, analysis);
  std::vector<char> drawn(frame.sections.size());
  const double largest = *std::max_element(cycles.back().diameters.begin(), cycles.back().diameters.end());
  for (size_t j = 0; j < drawn.size(); ++j) drawn[j] = cycles.back().diameters[j] >= 0.1 * largest;
  time_stability("the optimised design at threshold 0.1", frame, drawn);
  const CleanFrame clean = clean_up(frame, drawn, {});
  if (clean.forces) time_stability("its clean frame", clean.frame, std::vector<char>(clean.frame.sections.size(), 1));
  if (clean.forces) time_growth(clean);
  return 0;
}
