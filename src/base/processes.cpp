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
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

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

// Children of start_child, each true once it has ended. A child is collected only under the
// lock and after it is marked, so that an id not marked ended is still this program's child,
// living or not yet collected, and a signal sent to it under the lock reaches no other process.
// Never destroyed: a watcher may still report an end while the program exits.
std::mutex& children_lock() {
  static auto* lock = new std::mutex;
  return *lock;
}
std::map<long long, bool>& children() {
  static auto* ended = new std::map<long long, bool>;
  return *ended;
}

// Waits for the child's end without collecting it, marks it ended and collects it, so that no
// child is left a zombie whoever looks at it, or nobody.
void collect_when_ended(long long pid) {
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  std::lock_guard hold(children_lock());
  children()[pid] = true;
  int status = 0;
  ::waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
}

// The error output of each child: the pipe's reading end and the tail read so far.
struct ErrorOutput {
  int fd = -1;
  std::string prefix;  // "topo_nd: ", which the child puts before its messages
  std::string tail;
};
constexpr size_t kept_error_bytes = 4096;

std::map<long long, ErrorOutput>& error_outputs() {
  static std::map<long long, ErrorOutput> outputs;
  return outputs;
}

// Takes what the child has written so far, without waiting, and passes it on to this
// process's own error output, where it went before.
void drain(ErrorOutput& out) {
  if (out.fd < 0) return;
  char buffer[4096];
  for (ssize_t n; (n = ::read(out.fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) return;
      break;
    }
    [[maybe_unused]] const ssize_t shown = ::write(2, buffer, static_cast<size_t>(n));
    out.tail.append(buffer, static_cast<size_t>(n));
    if (out.tail.size() > kept_error_bytes) out.tail.erase(0, out.tail.size() - kept_error_bytes);
  }
  ::close(out.fd);  // the child and everything it started have closed their end
  out.fd = -1;
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
  // The child's error output comes through a pipe that never makes it wait (what does not fit
  // is lost), so that a reason it gives before it has a log of its own reaches the window.
  int error_pipe[2] = {-1, -1};
  if (::pipe2(error_pipe, O_CLOEXEC | O_NONBLOCK) == 0) posix_spawn_file_actions_adddup2(&actions, error_pipe[1], 2);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int failed = (inherit >= 0 && copy < 0) ? EMFILE
                                                : posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), envp.data());
  if (copy >= 0) ::close(copy);
  if (error_pipe[1] >= 0) ::close(error_pipe[1]);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    if (error_pipe[0] >= 0) ::close(error_pipe[0]);
    raise_error(err::solver_start, path + ": " + std::strerror(failed));
  }
  {
    std::lock_guard hold(children_lock());
    children()[pid] = false;
  }
  std::thread(collect_when_ended, static_cast<long long>(pid)).detach();
  if (error_pipe[0] >= 0) error_outputs()[pid] = {error_pipe[0], program.filename().string() + ": ", {}};
  return pid;
}

bool child_running(long long pid) {
  std::lock_guard hold(children_lock());
  const auto found = children().find(pid);
  return found != children().end() && !found->second;
}

void end_child(long long pid) {
  std::lock_guard hold(children_lock());
  const auto found = children().find(pid);
  if (found != children().end() && !found->second) ::kill(static_cast<pid_t>(pid), SIGTERM);
}

std::string child_error_line(long long pid) {
  const auto found = error_outputs().find(pid);
  if (found == error_outputs().end()) return {};
  ErrorOutput& out = found->second;
  drain(out);
  std::string text = out.tail;
  text.erase(text.find_last_not_of("\r\n \t") + 1);
  std::string line = text.substr(text.find_last_of('\n') + 1);
  if (line.compare(0, out.prefix.size(), out.prefix) == 0) line.erase(0, out.prefix.size());
  return line;
}

void record_solver_process(long long pid) { solver_process() = pid; }
long long last_solver_process() { return solver_process(); }

bool process_running(long long pid) {
  if (pid <= 0) return false;
  if (process_probe()) return process_probe()(pid);
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void set_process_probe_for_tests(std::function<bool(long long)> probe) { process_probe() = std::move(probe); }

namespace {
// The program's executables (the solver may also come from the working directory), and their
// names as the system shortens them (15 bytes).
bool program_name(const std::string& name) {
  for (const char* own : {"marulla", "marulla_scenario", "topo", "topo_nd"})
    if (name == own || name == std::string(own).substr(0, 15)) return true;
  return false;
}
}  // namespace

bool process_of_this_program(long long pid) {
  if (!process_running(pid)) return false;
  if (process_probe()) return true;
  namespace fs = std::filesystem;
  const fs::path proc = "/proc/" + std::to_string(pid);
  std::error_code ec;
  const fs::path exe = fs::read_symlink(proc / "exe", ec);
  if (!ec) {
    const fs::path own = fs::read_symlink("/proc/self/exe", ec);
    return (!ec && exe.parent_path() == own.parent_path()) || program_name(exe.filename().string());
  }
  std::ifstream comm(proc / "comm");
  std::string name;
  if (!std::getline(comm, name)) return true;  // nothing to tell by
  return program_name(name);
}
