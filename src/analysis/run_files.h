// The files of one solver run in the working directory besides the model and the results:
// the lock that keeps one run per directory and the temporary files a killed run leaves.
// The modelling window asks the lock before it starts a solver; the solver takes it.
#pragma once

#include <string>

inline constexpr const char* run_lock_name = "topo.lock";
// Its presence asks the solver running in the directory to stop after the cycle under way, as
// closing topo does; a run removes one left from before when it starts.
inline constexpr const char* run_stop_name = "topo.stop";

// The lock of a working directory: a file that holds the process id of the solver running
// there, locked by that process for as long as it lives. The kernel drops the lock with its
// process, so a file left by a killed run is free and is simply taken over.
class DirectoryLock {
 public:
  DirectoryLock() = default;
  ~DirectoryLock();  // the lock file goes when its holder lets go
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // Takes the lock for this process: 0 on success, else the process id of the live holder
  // (-1 when it cannot be told). A lock file that cannot be created is "Cannot write file".
  long long take(const std::string& path = run_lock_name);

 private:
  int fd_ = -1;
  std::string path_;
};

// The process that holds the directory's lock now, 0 when it is free or there is none.
long long lock_holder(const std::string& path = run_lock_name);

// Before "Analysis" starts a solver: "The solver is still running" when the solver this
// program started last (started_pid) has not ended its run, or another one holds the
// directory's lock.
void refuse_while_solver_runs(long long started_pid);

// Removes the results and the run log of an earlier run, so that no "Read Data" can find
// another run's results; "Cannot write file" when one of them stays.
void clear_run_results();

// The "Stop" of the post-processing window: "Cannot write file" when the request cannot be left.
void ask_run_to_stop(const std::string& path = run_stop_name);
bool run_stop_asked(const std::string& path = run_stop_name);
// A request left by a run that ended before it saw it; "Cannot write file" when it stays.
void remove_stop_request(const std::string& path = run_stop_name);

// Removes the temporary files of `target` whose writing process has ended ("post_pl.dat.tmp"
// and "post_pl.dat.tmp.<pid>"): what a killed writer leaves behind.
void remove_stale_temp_files(const std::string& target);
