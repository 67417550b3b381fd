// Helpers shared by the tests: a fresh working directory, whole files as text, error messages.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "formats/errors.h"

namespace test_support {

// The tests' source folder, which holds data/ and scenarios/.
inline std::filesystem::path tests_dir() { return MARULLA_TESTS_DIR; }

// A fresh empty directory made the current one for the test's lifetime.
class WorkingDirectory {
 public:
  WorkingDirectory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("marulla_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  ~WorkingDirectory() {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path dir_, old_;
};

inline std::string file_text(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a data file's text, each without its CR LF (or lone LF).
inline std::vector<std::string> text_lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

inline std::vector<std::string> file_lines(const std::filesystem::path& path) { return text_lines(file_text(path)); }

inline void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A shell script made executable: a stand-in for a program the code under test starts.
inline void write_program(const std::filesystem::path& path, const std::string& script) {
  write_file(path, "#!/bin/sh\n" + script);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// The hand-made result set of tests/data/post_small copied into the working directory.
inline void copy_result_set(bool with_results = true) {
  const std::filesystem::path set = tests_dir() / "data" / "post_small";
  for (const char* f : {"post_pl.dat", "cross_data_4th.dat", "fem_gr_jo.dat"})
    if (with_results || f != std::string("post_pl.dat"))
      std::filesystem::copy_file(set / f, f, std::filesystem::copy_options::overwrite_existing);
}

// A process id that no process has any more.
inline long long dead_pid() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

// Waits up to 4 s for `done`; its last answer.
inline bool wait_until(const std::function<bool()>& done) {
  for (int i = 0; i < 200 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return done();
}

// True once no process of that id is left, not even a zombie waiting to be collected.
inline bool process_gone(long long pid) { return !std::filesystem::exists("/proc/" + std::to_string(pid)); }

// True when a writer's temporary file of `path` ("path.tmp", "path.tmp.<pid>") is left beside it.
inline bool temp_file_left(const std::filesystem::path& path) {
  const std::filesystem::path dir = path.parent_path().empty() ? "." : path.parent_path();
  const std::string prefix = path.filename().string() + ".tmp";
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
  return false;
}

// The message of the run-time error `f` raises - or, with `name`, its name ("Overflow") - or ""
// when it raises none.
template <typename F>
std::string error_of(F&& f, bool name = false) {
  try {
    f();
  } catch (const RunTimeError& e) {
    return name ? std::string(e.name()) : std::string(e.what());
  }
  return "";
}

template <typename F>
std::string error_name_of(F&& f) {
  return error_of(std::forward<F>(f), true);
}

}  // namespace test_support
