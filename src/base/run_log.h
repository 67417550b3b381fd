// The run log topo_run.log: the solver writes a line per cycle and a last line that says how
// the run ended; the post-processing window follows it while the run goes on. One writer and
// one reader of its lines, here.
#pragma once

#include <string>
#include <vector>

#include "base/files.h"

struct RunLogCycle {
  int cycle = 0;
  double compliance = 0;    // N mm, summed over the load cases
  double volume_ratio = 0;  // V / V0 of the design beams
  double change = 0;        // largest change of d / Dmax from the cycle before
  double penalty = 0;       // the penalty the cycle's stiffness used (0: a log without it)
};

enum class RunEnd { none, finished, cycle_limit, stopped, failed };

// What a log says so far. `cycles_done` is the count its last line gives (the cycles written to
// the result file); `reason` the failure's message; `token` the run's token (its first line,
// "" for a solver started by hand); `cycles_written` the cycles the result file held at its
// latest rewrite, which is what a run that ends without a last line leaves.
struct RunLog {
  std::vector<RunLogCycle> cycles;
  RunEnd end = RunEnd::none;
  int cycles_done = 0;
  std::string reason;
  std::string token;
  int cycles_written = 0;
  std::string problem;  // why a log that is there cannot be read (a pipe, a folder, a link)
};

// Appends lines to a new log, each flushed at once so that a reader sees whole lines. A log
// that cannot be created is "Cannot write file"; a line lost later is not worth a run.
// A log that is not a regular file (a pipe, which would wait for a reader) is refused.
class RunLogWriter {
 public:
  explicit RunLogWriter(const std::string& path = run_log_name, const std::string& token = {});
  ~RunLogWriter();
  RunLogWriter(const RunLogWriter&) = delete;
  RunLogWriter& operator=(const RunLogWriter&) = delete;
  void cycle(const RunLogCycle& c);
  // The result file now holds the first `cycles` cycles.
  void written(int cycles);
  void end(RunEnd how, int cycles_done, const std::string& reason = {});

 private:
  void line(const std::string& text);
  int fd_ = -1;
};

// The log's complete lines (a line still being written is left for the next look); lines it
// does not know are skipped. A missing file is an empty log; anything but a regular file of
// at most max_data_file_bytes is not read (never waiting on a pipe, never through a link) and
// says why in `problem`. With a `token`, the log of another run (another token, or none) is no
// log of this one: empty.
RunLog read_run_log(const std::string& path = run_log_name, const std::string& token = {});

// How a run stands for the post-processing window's status line.
struct RunStatus {
  std::string state;  // "none", "running", "finished", "failed"
  int cycle = 0;      // the newest cycle logged, or the cycles done at the end
  std::string message;
};

// The status from the log and whether the solver process still lives: a solver gone without a
// last line has failed, leaving the cycles the result file held at its latest rewrite; one gone
// before it logged anything failed for the reason on its error output (`error_output`, its last
// line), when it gave one.
RunStatus run_status(const RunLog& log, bool solver_alive, const std::string& error_output = {});

// What a run that failed leaves: "46 cycles are kept in post_pl.dat", "No result file was written".
std::string kept_in_results(int cycles);

// A status message once "Read Data" has read the results: they are no longer to be read.
std::string once_read(const std::string& message);
