// Stiffness optimisation of the design beams: minimum total compliance under a volume target,
// diameters as variables, optimality-criteria updates until the design settles.
#pragma once

#include <functional>
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
};

inline constexpr int max_cycles = 100;
inline constexpr double converged_change = 1e-3;

class Optimiser {
 public:
  // Checks the settings and builds the analysis; a non-positive setting, a target below the
  // smallest beams or above the largest, or a model without any load is a SolverError.
  explicit Optimiser(const ModelFile& model);

  // Runs the cycles, calling on_cycle after each one; returns every cycle.
  std::vector<CycleRecord> run(const std::function<void(const CycleRecord&)>& on_cycle = {});

  const FrameAnalysis& analysis() const { return analysis_; }
  FrameAnalysis& analysis() { return analysis_; }
  int design_count() const { return static_cast<int>(design_.size()); }

 private:
  std::vector<Section> sections(const std::vector<double>& x) const;
  double volume(const std::vector<double>& x) const;  // mm3
  std::vector<double> update(const std::vector<double>& x) const;
  CycleRecord record(int cycle, double compliance, double change, const std::vector<double>& x) const;

  FrameAnalysis analysis_;
  std::vector<int> design_;  // elements that are variables
  double d_max_ = 0, x_min_ = 0, target_ratio_ = 0, move_ = 0, penalty_ = 0;
  double v0_ = 0;            // volume of the design beams at Dmax, mm3
};
