// The analysis of the design on screen for the post-processing window: the whole model file read
// once and checked against the results, and the analysis of each cycle asked for kept (the last
// few), so that browsing back and forth does not analyse again. The checks are cheap and are
// made afresh from the kept forces whenever their settings change.
#pragma once

#include <list>
#include <string>
#include <utility>

#include "evaluate/member_checks.h"

struct AnalysedFrame {
  ShownFrame frame;
  FrameForces forces;
};

class DesignEvaluation {
 public:
  // Reads the model file whole; a missing or damaged file, or one that does not describe the
  // mesh of r ("Model does not match", naming both files), is a RunTimeError.
  explicit DesignEvaluation(const ResultStore& r, const std::string& model_path = model_file_name,
                            const std::string& result_path = "post_pl.dat");

  const ModelFile& model() const { return model_; }
  int case_count() const { return static_cast<int>(model_.cases.size()); }
  // Cycle c of r analysed under the loading; a frame that cannot be analysed is the engine's
  // SolverError. Another loading analyses every cycle afresh.
  const AnalysedFrame& cycle(const ResultStore& r, int c, const Loading& loading = {});

 private:
  static constexpr size_t kept = 8;
  ModelFile model_;
  std::list<std::pair<int, AnalysedFrame>> cycles_;  // most recently used first
  Loading loading_;                                  // theirs
};
