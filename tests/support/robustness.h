// Helpers of the robustness tests: data files built line by line, and writes that fail for
// want of room (a child process with a small file-size limit).
#pragma once

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "formats/errors.h"

namespace test_support {

// The lines joined as a data file: each ended by CR LF.
inline std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A reader's fault at a line of `file`: "Type mismatch (file, line 3)".
inline std::string fault_at(const std::string& file, const std::string& name, int line) {
  return name + " (" + file + ", line " + std::to_string(line) + ")";
}

// The lines with line n (1-based) replaced, as a data file.
inline std::string with_line_replaced(std::vector<std::string> lines, int n, const std::string& text) {
  lines.at(static_cast<size_t>(n - 1)) = text;
  return crlf(lines);
}

// The first n lines, as a data file.
inline std::string first_lines_of(std::vector<std::string> lines, int n) {
  lines.resize(static_cast<size_t>(n));
  return crlf(lines);
}

// One bad file for a reader: what it holds and the message the reader must give ("" for a
// file it must take).
struct BadFile {
  const char* what;
  std::string content;
  std::string error;
};

// Runs `write` in a child process after `setup` (which returns "" or why it failed): the message
// of the run-time error `write` raised, "" for none, or a word on how the child died.
template <typename S, typename F>
std::string error_in_child(S&& setup, F&& write) {
  int pipe_fd[2];
  if (::pipe(pipe_fd) != 0) return "pipe failed";
  const pid_t child = ::fork();
  if (child < 0) return "fork failed";
  if (child == 0) {
    ::close(pipe_fd[0]);
    std::string message = setup();
    if (message.empty()) {
      try {
        write();
      } catch (const RunTimeError& e) {
        message = e.what();
      } catch (...) {
        message = "an exception that is not a run-time error";
      }
    }
    const ssize_t sent = ::write(pipe_fd[1], message.data(), message.size());
    ::_exit(sent == static_cast<ssize_t>(message.size()) ? 0 : 1);  // no test-framework teardown here
  }
  ::close(pipe_fd[1]);
  std::string message;
  char buffer[256];
  for (ssize_t n; (n = ::read(pipe_fd[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<size_t>(n));
  ::close(pipe_fd[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the child died (status " + std::to_string(status) + ")";
  return message;
}

// Runs `write` in a child process whose files cannot grow past `limit` bytes; with SIGXFSZ
// ignored (unless `ignore_signal` is false), a write past it fails with EFBIG as on a full disk.
template <typename F>
std::string error_under_file_limit(rlim_t limit, F&& write, bool ignore_signal = true) {
  return error_in_child(
      [&] {
        std::signal(SIGXFSZ, ignore_signal ? SIG_IGN : SIG_DFL);
        const rlimit small{limit, limit};
        return std::string(::setrlimit(RLIMIT_FSIZE, &small) == 0 ? "" : "setrlimit failed");
      },
      write);
}

// Runs `write` in a child process that may not write in `folder`: the folder is made read-only
// for all, and a child of root gives root up first (root writes anywhere).
template <typename F>
std::string error_in_read_only_folder(const std::string& folder, F&& write) {
  if (::chmod(folder.c_str(), 0555) != 0) return "chmod failed";
  std::string message = error_in_child(
      [] { return std::string(::geteuid() != 0 || ::setuid(65534) == 0 ? "" : "setuid failed"); }, write);
  ::chmod(folder.c_str(), 0755);
  return message;
}

}  // namespace test_support
