// The lines both solver programs print as a run goes on: the model's size, one line per cycle
// with where its time went (analysis, update, writing), and the summary of the run.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "optimiser.h"

struct ModelFile;
class ResultFileWriter;

class RunReport {
 public:
  using Clock = std::chrono::steady_clock;
  RunReport() : start_(Clock::now()), mark_(start_) {}

  // The model's size, a note when the post-processing window cannot read its results, and the
  // head of the cycle table. Ends the set-up: the first cycle's time runs from here.
  std::vector<std::string> head(const ModelFile& model, const Optimiser& optimiser);

  // A cycle's line, called once it is written: its analysis (s), the update that made its
  // design (the rest of the time since the last line, s), and its writing (s).
  std::string cycle(const CycleRecord& c, double analysis_seconds, double write_seconds);

  // "Done after ..." with why the run stopped, the factorisations, iterations and the whole
  // run's time by part.
  std::string summary(const CycleRecord& last, Settled how, const FrameAnalysis& analysis,
                      const ResultFileWriter& writer) const;

 private:
  Clock::time_point start_, mark_;
  double setup_ = 0, analysis_ = 0, update_ = 0;
};
