// Child processes of the program (the solver it starts) and the liveness of other processes
// (writers of temporary files, holders of the run's lock).
#include "base/processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "formats/errors.h"

extern char** environ;

namespace {
long long& solver_process() {
  static long long pid = 0;
  return pid;
}

std::function<bool(long long)>& process_probe() {
  static std::function<bool(long long)> probe;
  return probe;
}

// Children of start_child not yet collected.
std::set<long long>& live_children() {
  static std::set<long long> children;
  return children;
}
}  // namespace

long long start_child(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment, int inherit) {
  std::vector<std::string> entries(environment);
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& added : environment) replaced = replaced || added.compare(0, name.size() + 1, name + "=") == 0;
    if (!replaced) entries.push_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& e : entries) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string path = program.string();
  std::vector<std::string> words(arguments);
  std::vector<char*> argv = {path.data()};
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  // The descriptor is close-on-exec here; a copy of it onto its own number is not.
  int copy = -1;
  if (inherit >= 0) {
    copy = ::fcntl(inherit, F_DUPFD_CLOEXEC, 3);
    if (copy >= 0) posix_spawn_file_actions_adddup2(&actions, copy, inherit);
  }
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int failed = (inherit >= 0 && copy < 0) ? EMFILE
                                                : posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), envp.data());
  if (copy >= 0) ::close(copy);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) raise_error(err::solver_start, path + ": " + std::strerror(failed));
  live_children().insert(pid);
  return pid;
}

bool child_running(long long pid) {
  if (live_children().count(pid) == 0) return false;
  int status = 0;
  const pid_t r = ::waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
  if (r == 0) return true;
  live_children().erase(pid);  // ended and collected now (or collected by someone else)
  return false;
}

void record_solver_process(long long pid) { solver_process() = pid; }
long long last_solver_process() { return solver_process(); }

bool process_running(long long pid) {
  if (pid <= 0) return false;
  if (process_probe()) return process_probe()(pid);
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void set_process_probe_for_tests(std::function<bool(long long)> probe) { process_probe() = std::move(probe); }
