// The files of one solver run in the working directory besides the model and the results:
// the lock that keeps one run per directory and the temporary files a killed run leaves.
// The modelling window asks the lock before it starts a solver; the solver takes it.
#pragma once

#include <string>

#include "base/files.h"

// How the program hands a run to the solver it starts: the run's token, and the descriptor of
// the directory's lock, which the program took before it wrote the run's files.
inline constexpr const char* run_token_variable = "MARULLA_RUN_TOKEN";
inline constexpr const char* lock_fd_variable = "MARULLA_LOCK_FD";

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
  // A solver started by the program finds the lock already held for it (the descriptor named
  // by MARULLA_LOCK_FD, inherited) and keeps that hold, so no other run gets in between.
  long long take(const std::string& path = run_lock_name);

  // The descriptor of the lock held, -1 without: what a solver started with it inherits.
  int descriptor() const { return fd_; }
  // The solver started with this lock holds it now (its inherited descriptor): writes its
  // process id into the file. This process keeps its share until let_go_of_run_lock(), when its
  // window has seen the run end: a run is over for another program only once it is over for
  // the window that follows it.
  void hand_over(long long solver_pid);

 private:
  int fd_ = -1;
  std::string path_;
  bool shared_ = false;  // inherited from the program that started this solver: its file to remove
};

// The process that holds the directory's lock now, 0 when it is free or there is none, -1 when
// it cannot be told: the id in the file when that process has the file open, else the holder
// the system names (an id written there by anyone else is not taken on trust).
long long lock_holder(const std::string& path = run_lock_name);

// The program lets go of its share of the lock of the run it started last, removing the file
// when `remove_file` (only once its solver has ended: a solver still running keeps the file).
// Nothing when it holds none.
void let_go_of_run_lock(bool remove_file = true);

// Before "Analysis" starts a solver: takes the directory's lock into `lock` for the run.
// "The solver is still running" when the solver this program started last (started_pid, its
// run `token`) has not ended its run, or another process holds the lock (another solver, or
// another instance of the program starting one).
void take_lock_for_run(DirectoryLock& lock, long long started_pid, const std::string& token);

// Removes the results, their token and the run log of an earlier run, so that no "Read Data"
// can find another run's results; "Cannot write file" when one of them stays.
void clear_run_results();

// The "Stop" of the post-processing window for the run of `token` ("" for any run), written
// without waiting and never through a link: "Cannot write file" when the request cannot be left.
void ask_run_to_stop(const std::string& token, const std::string& path = run_stop_name);
// True when a request for the run of `token` lies in the directory: one naming that run, or
// one naming none (whatever lies there: "stop", an empty file made by hand, which is never read
// unless it is a short regular file). A run started by hand, without a token, heeds any.
bool run_stop_asked(const std::string& token, const std::string& path = run_stop_name);
// Removes a request; "Cannot write file" naming what stays there when it cannot go.
void remove_stop_request(const std::string& path = run_stop_name);
// At a run's start: a request for this very run (a "Stop" pressed at once) stays; any other, left
// by an earlier run or for another, goes.
void remove_stop_requests_of_others(const std::string& token, const std::string& path = run_stop_name);
// A new run token: 16 hexadecimal digits, random.
std::string new_run_token();
// The token in the result file's companion; "" when there is none or it cannot be read.
std::string read_run_token(const std::string& path = run_token_name);
// Replaces the companion with `token`.
void write_run_token(const std::string& token, const std::string& path = run_token_name);

// Removes the temporary files of `target` whose writer is no live process of this program
// ("post_pl.dat.tmp", "post_pl.dat.tmp.<pid>", the result file's "post_pl.dat.tmp.<pid>.cycles",
// and the ".old" and ".set" files of a commit of several files): what a killed writer leaves
// behind. A set of files such a writer was committing is rolled back first, so that each of
// its files holds what it held before. Names that only begin like them are the user's, and stay.
void remove_stale_temp_files(const std::string& target);
// The same for the program's own files in the working directory (design, model, sections,
// results) and for the exports there (.csv, .stl, .dxf): where a solver run cleans up.
void remove_stale_run_temp_files();
