// The bookkeeping of one solver run in the working directory, shared by topo_nd and topo: the
// directory's lock, the clean-up of what earlier runs left, the run log, and the end of a run
// that fails after some cycles (the cycles done are kept and the log says why).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/run_files.h"
#include "analysis/run_log.h"
#include "optimiser.h"

struct ModelFile;

// Another live solver holds the working directory; nothing of its run was touched.
class DirectoryBusy : public SolverError {
 public:
  using SolverError::SolverError;
};

class SolverRun {
 public:
  // Takes the directory's lock (DirectoryBusy when a live solver holds it), then removes the
  // temporary files of killed runs and the old result file, and starts the run log.
  SolverRun();

  // After each cycle, before it is kept: a compliance beyond what the result file can hold is
  // a SolverError naming the cycle and the load case; else the cycle goes into the log.
  void cycle(const CycleRecord& c, const FrameAnalysis& analysis);
  // The run ended normally with its result file written.
  void finished(const std::vector<CycleRecord>& cycles, bool settled);
  void stopped_by_user(const std::vector<CycleRecord>& cycles);
  // The run failed: the cycles done are written as the result file (without any, the result
  // file is removed), and the log ends with the reason. Never throws.
  void failed(const std::string& reason, const ModelFile* model, const std::vector<CycleRecord>& cycles);

 private:
  DirectoryLock lock_;
  std::optional<RunLogWriter> log_;  // opened once the lock is ours
  int break_at_cycle_ = 0;  // test hook: a breakdown forced in this cycle
};
