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
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string_view>
#include <vector>

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

// True when process `pid` has the file (device, inode) open: the process a lock file names
// holds the lock only then; any other id written there is stale or made up.
bool has_open(long long pid, const struct stat& file) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
    struct stat open_file {};
    if (::stat(entry.path().c_str(), &open_file) == 0 && open_file.st_ino == file.st_ino && open_file.st_dev == file.st_dev)
      return true;
  }
  return false;
}

// The process the system names as holding a lock on the file (inode `ino`), -1 when it names none.
long long system_lock_owner(ino_t ino) {
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    if (line.find("->") != std::string::npos) continue;  // a waiter, not the holder
    std::istringstream words(line);
    std::string number, kind, advisory, mode, where;
    long long pid = 0;
    if (!(words >> number >> kind >> advisory >> mode >> pid >> where) || kind != "FLOCK") continue;
    const size_t colon = where.rfind(':');
    if (colon != std::string::npos && std::strtoull(where.c_str() + colon + 1, nullptr, 10) == ino && pid > 0)
      return pid;
  }
  return -1;
}

// The live holder of the lock held on fd's file: the process the file names when it has the file
// open (a solver started by the program holds it through an inherited descriptor), else the one
// the system names.
long long real_holder(int fd) {
  struct stat file {};
  if (::fstat(fd, &file) != 0) return -1;
  const long long named = pid_in(fd);
  if (named > 0 && has_open(named, file)) return named;
  return system_lock_owner(file.st_ino);
}

// The program's share of the lock of the run it started last (see DirectoryLock::hand_over).
struct HeldRunLock {
  int fd = -1;
  std::string path;
};
HeldRunLock& held_run_lock() {
  static HeldRunLock held;
  return held;
}

}  // namespace

DirectoryLock::~DirectoryLock() {
  if (fd_ < 0) return;
  // A lock shared with the program that started this process is the program's to remove.
  if (!shared_) ::unlink(path_.c_str());  // still locked: nobody can take the file in between
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
  // The program keeps its share of the lock until its window has seen the run end, so that
  // no other run gets the directory between the solver's end and that look.
  let_go_of_run_lock();
  held_run_lock() = {fd_, path_};
  fd_ = -1;
  path_.clear();
}

long long DirectoryLock::take(const std::string& path) {
  if (const int fd = inherited_lock(path); fd >= 0) {
    if (!write_pid(fd, ::getpid())) raise_error(err::write_failed, path);
    fd_ = fd;
    path_ = path;
    shared_ = true;
    return 0;
  }
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int fd = open_regular_for_writing(path, O_RDWR | O_CREAT);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const long long holder = real_holder(fd);
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
  // Never waits on a pipe put there, never follows a link.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return 0;
  long long holder = 0;
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
    holder = real_holder(fd);
  else
    ::flock(fd, LOCK_UN);
  ::close(fd);
  return holder;
}

void let_go_of_run_lock(bool remove_file) {
  HeldRunLock& held = held_run_lock();
  if (held.fd < 0) return;
  if (remove_file) ::unlink(held.path.c_str());  // still locked: nobody can take the file in between
  ::close(held.fd);
  held = {};
}

namespace {
bool ends_with(std::string_view text, std::string_view end) {
  return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

// The id of the process that wrote a temporary file, from what follows its prefix: "" (a writer
// of old, without an id: 0), ".<pid>", the result file's spool ".<pid>.cycles", or the old file
// ".<pid>.old" and the list ".<pid>.set" of files committed together; -1 for any other name,
// which is some user's file.
long long temp_writer(std::string_view rest) {
  if (rest.empty()) return 0;
  if (rest.front() != '.') return -1;
  rest.remove_prefix(1);
  for (std::string_view end : {".cycles", ".old", ".set"})
    if (ends_with(rest, end)) {
      rest.remove_suffix(end.size());
      break;
    }
  if (rest.empty() || rest.size() > 10 || rest.find_first_not_of("0123456789") != std::string_view::npos) return -1;
  return std::atoll(std::string(rest).c_str());
}

bool writer_ended(long long writer) { return writer == 0 || (writer > 0 && !process_of_this_program(writer)); }

// The temporary files in `dir` whose names `writer_of` tells (-1 for a name that is not one),
// of writers that are no live process of this program (an id that has passed to some other
// program's process left its file behind): the sets they were committing are rolled back
// first, then every such file goes.
template <typename WriterOf>
void remove_files_of_ended_writers(const std::filesystem::path& dir, WriterOf writer_of) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (writer_ended(writer_of(name))) files.push_back(entry.path());
  }
  for (const std::filesystem::path& f : files)
    if (ends_with(f.filename().string(), ".set")) roll_back_commit(f.string());
  for (const std::filesystem::path& f : files) std::filesystem::remove(f, ec);
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
  remove_files_of_ended_writers(dir, [&](const std::string& name) {
    return name.compare(0, prefix.size(), prefix) == 0 ? temp_writer(std::string_view(name).substr(prefix.size())) : -1;
  });
}

void remove_stale_run_temp_files() {
  for (const char* name : {post_file_name, temp_file_name, model_file_name, section_file_name})
    remove_stale_temp_files(name);
  // Exports: "<name>.<csv|stl|dxf>.tmp.<pid>", whatever the name.
  const std::string marker = std::string(temp_suffix) + ".";
  remove_files_of_ended_writers(".", [&](const std::string& name) {
    const size_t at = name.rfind(marker);
    if (at == std::string::npos || !is_export_name(name.substr(0, at))) return -1LL;
    const long long writer = temp_writer(std::string_view(name).substr(at + std::strlen(temp_suffix)));
    return writer > 0 ? writer : -1LL;
  });
}

void take_lock_for_run(DirectoryLock& lock, long long started_pid, const std::string& token) {
  // The solver started last counts until its log says the run has ended (topo keeps its window
  // open after that, without the lock); any other run by the lock, which the program starting
  // it holds from before it writes the run's files.
  long long running = 0;
  if (child_running(started_pid) && read_run_log(run_log_name, token).end == RunEnd::none) running = started_pid;
  if (running == 0) {
    let_go_of_run_lock();  // this program's last run has ended
    running = lock.take();
  }
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

namespace {
constexpr const char* stop_word = "stop";
// The run a request in the directory names: "" when it names none (an empty file made by
// hand, or anything but a short regular file, which is never read), which asks whatever runs;
// nothing when there is no request.
std::optional<std::string> stop_request(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  try {
    std::string text = read_regular_file(path, 256);
    text.erase(text.find_last_not_of("\r\n ") + 1);
    const std::string head = std::string(stop_word) + " ";
    return text.compare(0, head.size(), head) == 0 ? text.substr(head.size()) : std::string();
  } catch (const std::exception&) {
    return std::string();
  }
}
}  // namespace

void ask_run_to_stop(const std::string& token, const std::string& path) {
  const int fd = open_regular_for_writing(path, O_WRONLY | O_CREAT | O_TRUNC);
  const std::string text = std::string(stop_word) + (token.empty() ? "" : " " + token) + "\r\n";
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (::close(fd) != 0 || !written) raise_error(err::write_failed, path);
}

bool run_stop_asked(const std::string& token, const std::string& path) {
  const std::optional<std::string> run = stop_request(path);
  return run && (run->empty() || token.empty() || *run == token);
}

void remove_stop_request(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (const std::string kind = not_regular_kind(path); !kind.empty()) raise_error(err::write_failed, path + ": " + kind);
  if (std::filesystem::exists(path, ec)) raise_error(err::write_failed, path);
}

void remove_stop_requests_of_others(const std::string& token, const std::string& path) {
  if (!token.empty() && stop_request(path) == token) return;
  remove_stop_request(path);
}

std::string new_run_token() {
  std::random_device random;
  char text[17];
  std::snprintf(text, sizeof text, "%08x%08x", static_cast<unsigned>(random()), static_cast<unsigned>(random()));
  return text;
}

std::string read_run_token(const std::string& path) {
  try {
    const std::string text = read_regular_file(path, 256);
    const std::string line = text.substr(0, text.find_first_of("\r\n"));
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
