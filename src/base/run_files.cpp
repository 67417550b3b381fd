// The directory lock of a solver run and the clean-up of temporary files left by killed runs.
#include "base/run_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string_view>

#include "base/processes.h"
#include "base/run_log.h"
#include "formats/errors.h"
#include "formats/fields.h"

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

namespace {
// The descriptor the program handed over with the lock it holds for this process: adopted when
// it is this directory's lock file and its lock is held through it.
int inherited_lock(const std::string& path) {
  const char* named = std::getenv(lock_fd_variable);
  if (named == nullptr) return -1;
  char* end = nullptr;
  const long fd = std::strtol(named, &end, 10);
  if (end == named || *end != '\0' || fd <= 2 || fd > 1 << 20) return -1;
  const int d = static_cast<int>(fd);
  if (::fcntl(d, F_GETFD) == -1 || !same_file(d, path)) return -1;
  // A lock held through this descriptor is taken again at once; a lock held by another
  // process through another one is not.
  if (::flock(d, LOCK_EX | LOCK_NB) != 0) return -1;
  ::fcntl(d, F_SETFD, FD_CLOEXEC);  // not passed on further
  return d;
}

bool write_pid(int fd, long long pid) {
  const std::string text = std::to_string(pid) + "\n";
  return ::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}
}  // namespace

void DirectoryLock::hand_over(long long solver_pid) {
  if (fd_ < 0) return;
  write_pid(fd_, solver_pid);
  ::close(fd_);  // the solver's inherited descriptor keeps the lock; the file stays for it
  fd_ = -1;
  path_.clear();
}

long long DirectoryLock::take(const std::string& path) {
  if (const int fd = inherited_lock(path); fd >= 0) {
    if (!write_pid(fd, ::getpid())) raise_error(err::write_failed, path);
    fd_ = fd;
    path_ = path;
    return 0;
  }
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int fd = open_regular_for_writing(path, O_RDWR | O_CREAT);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const long long holder = pid_in(fd);
      ::close(fd);
      return holder;
    }
    if (!same_file(fd, path)) {  // its holder removed it just now: try the new one
      ::close(fd);
      continue;
    }
    if (!write_pid(fd, ::getpid())) {
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

namespace {
// The id of the process that wrote a temporary file, from what follows its prefix: "" (a writer
// of old, without an id: 0) or ".<pid>" with anything after it; -1 for another file's name.
long long temp_writer(std::string_view rest) {
  if (rest.empty()) return 0;
  if (rest.front() != '.') return -1;
  return std::atoll(std::string(rest.substr(1)).c_str());
}

void remove_if_writer_ended(const std::filesystem::path& file, long long writer) {
  if (writer < 0 || (writer > 0 && process_running(writer))) return;
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

bool is_export_name(std::string name) {
  for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  for (const char* ext : {".csv", ".stl", ".dxf"})
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ext) == 0) return true;
  return false;
}
}  // namespace

void remove_stale_temp_files(const std::string& target) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(target).parent_path().empty() ? fs::path(".") : fs::path(target).parent_path();
  const std::string prefix = temp_file_prefix(target);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    remove_if_writer_ended(entry.path(), temp_writer(std::string_view(name).substr(prefix.size())));
  }
}

void remove_stale_run_temp_files() {
  for (const char* name : {post_file_name, temp_file_name, model_file_name, section_file_name})
    remove_stale_temp_files(name);
  // Exports: "<name>.<csv|stl|dxf>.tmp.<pid>", whatever the name.
  std::error_code ec;
  const std::string marker = std::string(temp_suffix) + ".";
  for (const auto& entry : std::filesystem::directory_iterator(".", ec)) {
    const std::string name = entry.path().filename().string();
    const size_t at = name.rfind(marker);
    if (at == std::string::npos || !is_export_name(name.substr(0, at))) continue;
    const std::string digits = name.substr(at + marker.size());
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    remove_if_writer_ended(entry.path(), std::atoll(digits.c_str()));
  }
}

void take_lock_for_run(DirectoryLock& lock, long long started_pid, const std::string& token) {
  // The solver started last counts until its log says the run has ended (topo keeps its window
  // open after that, without the lock); any other run by the lock, which the program starting
  // it holds from before it writes the run's files.
  long long running = 0;
  if (child_running(started_pid) && read_run_log(run_log_name, token).end == RunEnd::none) running = started_pid;
  if (running == 0) running = lock.take();
  if (running != 0)
    raise_error(err::solver_busy, (running > 0 ? "process " + std::to_string(running) + ", " : std::string()) +
                                      "wait until it has finished");
}

void clear_run_results() {
  for (const char* name : {post_file_name, run_token_name, run_log_name}) {
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

std::string new_run_token() {
  std::random_device random;
  char text[17];
  std::snprintf(text, sizeof text, "%08x%08x", static_cast<unsigned>(random()), static_cast<unsigned>(random()));
  return text;
}

std::string read_run_token(const std::string& path) {
  try {
    DataFileReader in(path);
    const std::string& line = in.next_line();
    return line.compare(0, 4, "run ") == 0 ? line.substr(4) : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

void write_run_token(const std::string& token, const std::string& path) {
  DataFileWriter out(path);
  out.line("run " + token);
  out.commit();
}
