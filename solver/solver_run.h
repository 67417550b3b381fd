// One solver run in the working directory, shared by topo_nd and topo: the directory's lock,
// the clean-up of what earlier runs left, the run log, the end of a run that fails after some
// cycles (the cycles done are kept and the log says why), and the whole run as the front ends
// start it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/run_files.h"
#include "base/run_log.h"
#include "optimiser.h"
#include "result_file.h"

// Another live solver holds the working directory; nothing of its run was touched.
class DirectoryBusy : public SolverError {
 public:
  using SolverError::SolverError;
};

class SolverRun {
 public:
  // Takes the directory's lock (DirectoryBusy when a live solver holds it; a solver started by
  // the program finds it held for it), then removes the temporary files of killed writers and
  // the old result file with its token and any stop request not for this run, and starts the
  // run log; the program's token (MARULLA_RUN_TOKEN) goes into the log and the result file's
  // companion. A failure once the log is open ends the log with its reason.
  SolverRun();

  // After each cycle, before it is kept: a compliance beyond what the result file can hold is
  // a SolverError naming the cycle and the load case; else the cycle goes into the log.
  void cycle(const CycleRecord& c, const FrameAnalysis& analysis);
  // The result file now holds the first `cycles` cycles: what is left if the run is killed.
  void written(int cycles);
  // The run ended normally with its result file written.
  void finished(int cycles_done, bool settled);
  // The run ended at the user's request, which goes with it.
  void stopped_by_user(int cycles_done);
  // The run failed: the cycles done are written by their writer, and the log ends with the
  // reason and the cycles the result file holds on disk (without any, it is removed). Returns
  // those cycles. Never throws.
  int failed(const std::string& reason, ResultFileWriter* writer, int cycles_done);
  // The post-processing window's "Stop" for this run lies in the directory.
  bool stop_asked() const;

 private:
  DirectoryLock lock_;
  std::string token_;  // the program's token for this run, "" when started by hand
  std::optional<RunLogWriter> log_;  // opened once the lock is ours
  int break_at_cycle_ = 0;  // test hook: a breakdown forced in this cycle
};

// What a front end does as a run goes on: print each line of the report, show the model once
// it is read and each cycle once it is kept, and tell whether its user has stopped the run (the
// post-processing window's request in the directory is seen by the run itself).
struct RunWatcher {
  std::function<void(const std::string&)> line;
  std::function<void(const ModelFile&)> model_read = [](const ModelFile&) {};
  std::function<void(const CycleRecord&)> cycle_kept = [](const CycleRecord&) {};
  std::function<bool()> stop_asked = [] { return false; };
};

struct RunOutcome {
  enum class End { finished, stopped, failed, busy } end = End::finished;
  std::string message;  // the summary of a finished run, else the reason
  int cycles_done = 0;  // kept in the result file on disk, unless the end is busy
};

// The whole run: the lock (busy when another solver holds the directory, whose files are left
// alone), the model, every cycle logged, written and reported, and its end in the log.
// Never throws.
RunOutcome run_in_directory(const RunWatcher& watch);
