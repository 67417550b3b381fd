// Stiffness optimisation of the design beams: minimum total compliance under a volume target,
// diameters as variables, updated by the method of moving asymptotes (or, for comparison, the
// optimality-criteria update) until the design and its compliance have settled.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "frame.h"

struct ModelFile;

// One cycle as it is written to the result file and printed.
struct CycleRecord {
  int cycle = 0;
  double compliance = 0;         // sum over the load cases of f^T u, N mm
  double volume_ratio = 0;       // V / V0 of the design beams (0 without design beams)
  double change = 0;             // largest change of x = d / Dmax from the cycle before
  std::vector<double> diameters; // per element, mm: d = Dmax x, or a non-design section's circle
  double penalty = 1;            // the penalty in force: the stiffness used d = Dmax x^penalty
};

inline constexpr int max_cycles = 100;

// A run has settled when its design stands still (no x = d / Dmax changed by settled_still in
// either of the last two cycles), or when its compliance is flat: falling on as fast as over the
// last settle_window cycles, it would fall by less than settled_fall (relative) by the cycle
// limit (looking at least settle_horizon cycles ahead), however thin beams still move.
inline constexpr double settled_still = 1e-4;
inline constexpr int settle_window = 10;
inline constexpr int settle_horizon = 30;
inline constexpr double settled_fall = 5e-4;
enum class Settled { not_yet, design_still, compliance_flat };
Settled how_settled(std::span<const CycleRecord> cycles, int cycle_limit = max_cycles);
inline bool settled(std::span<const CycleRecord> cycles, int cycle_limit = max_cycles) {
  return how_settled(cycles, cycle_limit) != Settled::not_yet;
}
// Why a run stopped, in words for its summary: "the design stands still", ...
std::string stop_reason(Settled how);

// Continuation of the penalty: a run at "Penalty Factor" p > 1 starts at penalty 1, where the
// problem has the fewest local optima, and raises it to p in even steps of at most continuation_step
// (bigger ones above p = 4.5, so that the stages between fit their cycles). A stage ends when it
// has settled by the stop rule, judged on its own cycles against its own end, or else before the
// next stage's first_cycle (the latest cycle that stage starts at); the last stage, at p, runs
// on until it settles or reaches the cycle limit. The design made at one penalty is analysed at
// the next.
struct PenaltyStage {
  int first_cycle = 1;
  double penalty = 1;
};
inline constexpr double continuation_step = 0.5;
// At most, at penalty 1: long enough for the layout to form before the penalty thins its weak
// members for good. With the asymptotes widening by 1.5, 30 cycles reached the same designs at
// p = 2 and 3 and 25 lost the 7 x 4 wall at p = 3; 35 leaves that margin. At 1.2 it took 35.
inline constexpr int continuation_first_cycles = 35;
// At most, all the stages between 1 and p: 10 or 15 saved cycles at p = 2 and 3 but took the
// 459-beam lattice at p = 4 to a design 1.6 to 10 % less stiff.
inline constexpr int continuation_step_cycles = 20;
// The stages for the setting p; a single stage at p when p <= 1.
std::vector<PenaltyStage> penalty_schedule(double p);

// The update's separable subproblem in its dual. At a multiplier lambda of the volume every design
// beam takes the relative area clamp(base + reach / sqrt(lambda), low, high), weighing `weight`
// mm3 per unit of it; the multiplier sought makes the volume `target`. In t = 1 / sqrt(lambda)
// the volume is piecewise linear and never falls as t grows.
struct AreaDual {
  std::vector<double> base, reach, low, high, weight;
  double target = 0;
  double area(size_t k, double t) const { return std::clamp(base[k] + reach[k] * t, low[k], high[k]); }
  // The t that meets the target, by Newton steps on the volume kept inside a bracket that every
  // step narrows (a step that would leave it halves the bracket instead): exact once a step lands
  // on the root's linear piece, within a few passes over the beams. 0 when the lowest areas
  // already take the target, the least t that takes every beam to its highest when those fall
  // short. guess: a t of the right order, such as the last cycle's.
  double solve(double guess) const;
};

// The multiplier by bisection on log lambda, as the criteria update finds it (and the moving
// asymptotes did before): volume_at(lambda) falls as lambda grows, guess is a lambda of the right
// order. Within 1e-13 of the root.
template <typename VolumeAt>
double bisect_multiplier(double target, double guess, VolumeAt volume_at) {
  double lo = guess, hi = guess;
  for (int i = 0; i < 400 && volume_at(lo) < target; ++i) lo /= 4;
  for (int i = 0; i < 400 && volume_at(hi) > target; ++i) hi *= 4;
  for (int i = 0; i < 200 && hi / lo > 1 + 1e-13; ++i) {
    const double mid = std::sqrt(lo * hi);
    (volume_at(mid) > target ? lo : hi) = mid;
  }
  return std::sqrt(lo * hi);
}

enum class OptimiserMethod {
  moving_asymptotes,    // the method of moving asymptotes on the relative areas x^2
  optimality_criteria,  // the optimality-criteria update on x, kept for comparison
};

class Optimiser {
 public:
  // Checks the settings and builds the analysis; a non-positive setting, a target below the
  // smallest beams or above the largest, or a model without any load is a SolverError.
  explicit Optimiser(const ModelFile& model, OptimiserMethod method = OptimiserMethod::moving_asymptotes);

  // Runs the cycles, calling on_cycle after each one; returns every cycle.
  std::vector<CycleRecord> run(const std::function<void(const CycleRecord&)>& on_cycle = {});

  const FrameAnalysis& analysis() const { return analysis_; }
  FrameAnalysis& analysis() { return analysis_; }
  int design_count() const { return static_cast<int>(design_.size()); }
  // Whether the last run ended because it had settled (always, without design beams) rather
  // than at the cycle limit.
  bool settled() const { return settled_; }
  // How the last run settled (not_yet when it reached the cycle limit, design_still without design beams).
  Settled how_settled() const { return how_; }
  // Runs on to cycle_limit cycles, settled or not: what a benchmark needs to see what the
  // compliance would still have done after the stop.
  void keep_going(int cycle_limit) {
    keep_going_ = true;
    cycle_limit_ = cycle_limit;
  }
  // Without continuation every cycle uses the setting's penalty (as a reference).
  void set_continuation(bool on) { continuation_ = on; }
  // The analysis element by element (FrameAnalysis::set_element_by_element) and the volume's
  // multiplier by bisection: the cycles computed as before, the reference of the faster way.
  void set_reference_arithmetic(bool on) {
    reference_ = on;
    analysis_.set_element_by_element(on);
  }

 private:
  struct Asymptotes;  // the moving asymptotes' state between cycles
  struct Slopes {     // per design beam: -dC/dx (N mm) and dV/dx (mm3), both positive
    std::vector<double> gain, dV;
  };
  // From x and x^p (the penalty in force), worked out once a cycle for both.
  std::vector<Section> sections(const std::vector<double>& powered) const;
  double volume(const std::vector<double>& x) const;  // mm3
  Slopes slopes(const std::vector<double>& x, const std::vector<double>& powered) const;
  std::vector<double> update(const std::vector<double>& x, const std::vector<double>& powered) const;
  std::vector<double> asymptotes_update(const std::vector<double>& x, const std::vector<double>& powered,
                                        double compliance, Asymptotes& state) const;
  template <typename Step>
  void meet_volume(double largest, Step step) const;
  CycleRecord record(int cycle, double compliance, double change, const std::vector<double>& x) const;

  FrameAnalysis analysis_;
  std::vector<int> design_;  // elements that are variables
  double d_max_ = 0, x_min_ = 0, target_ratio_ = 0, move_ = 0, penalty_ = 0;
  double in_force_ = 1;      // the penalty of the current stage
  double v0_ = 0;            // volume of the design beams at Dmax, mm3
  OptimiserMethod method_;
  bool settled_ = false;
  Settled how_ = Settled::not_yet;
  bool keep_going_ = false;
  bool continuation_ = true;
  bool reference_ = false;
  int cycle_limit_ = max_cycles;
};
