// The directory lock of a solver run and the clean-up of temporary files left by killed runs.
#include "analysis/run_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "analysis/run_log.h"
#include "analysis/solver_start.h"
#include "formats/errors.h"
#include "formats/fields.h"
#include "post/result_file.h"

namespace {

long long pid_in(int fd) {
  char text[32] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  if (n <= 0) return -1;
  char* end = nullptr;
  const long long pid = std::strtoll(text, &end, 10);
  return pid > 0 ? pid : -1;
}

// True when fd is still the file at path: a holder that lets go removes its file, and a lock
// taken on a removed file keeps nothing.
bool same_file(int fd, const std::string& path) {
  struct stat open_file {}, named {};
  return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 && open_file.st_ino == named.st_ino &&
         open_file.st_dev == named.st_dev;
}

}  // namespace

DirectoryLock::~DirectoryLock() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());  // still locked: nobody can take the file in between
  ::close(fd_);
}

long long DirectoryLock::take(const std::string& path) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) raise_error(err::write_failed, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const long long holder = pid_in(fd);
      ::close(fd);
      return holder;
    }
    if (!same_file(fd, path)) {  // its holder removed it just now: try the new one
      ::close(fd);
      continue;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
      ::close(fd);
      raise_error(err::write_failed, path);
    }
    fd_ = fd;
    path_ = path;
    return 0;
  }
  return -1;
}

long long lock_holder(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  long long holder = 0;
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
    holder = pid_in(fd);
  else
    ::flock(fd, LOCK_UN);
  ::close(fd);
  return holder;
}

void remove_stale_temp_files(const std::string& target) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(target).parent_path().empty() ? fs::path(".") : fs::path(target).parent_path();
  const std::string prefix = fs::path(target).filename().string() + temp_suffix;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string_view rest = std::string_view(name).substr(prefix.size());
    if (!rest.empty() && rest.front() != '.') continue;  // another file's name
    const long long writer = rest.size() > 1 ? std::atoll(std::string(rest.substr(1)).c_str()) : 0;
    if (writer > 0 && process_running(writer)) continue;
    fs::remove(entry.path(), ec);
  }
}

void refuse_while_solver_runs(long long started_pid) {
  // The solver started last counts until its log says the run has ended (topo keeps its window
  // open after that, without the lock); any other solver by the lock it holds.
  long long running = lock_holder();
  if (running == 0 && process_running(started_pid) && read_run_log().end == RunEnd::none) running = started_pid;
  if (running != 0)
    raise_error(err::solver_busy, (running > 0 ? "process " + std::to_string(running) + ", " : std::string()) +
                                      "wait until it has finished");
}

void clear_run_results() {
  for (const char* name : {post_file_name, run_log_name}) {
    std::error_code ec;
    std::filesystem::remove(name, ec);
    if (std::filesystem::exists(name, ec)) raise_error(err::write_failed, name);
  }
}

void ask_run_to_stop(const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "stop\r\n";
  if (!out.flush()) raise_error(err::write_failed, path);
}

bool run_stop_asked(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

void remove_stop_request(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (std::filesystem::exists(path, ec)) raise_error(err::write_failed, path);
}
