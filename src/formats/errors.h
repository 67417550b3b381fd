// Error model: run-time errors that abandon an operation and are reported by name,
// change handlers that skip failing steps, and the one reporter every message goes through.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

// Names of run-time errors, as the user sees them.
namespace err {
inline constexpr const char* overflow = "Overflow";
inline constexpr const char* type_mismatch = "Type mismatch";
inline constexpr const char* subscript = "Subscript out of range";
inline constexpr const char* file_not_found = "File not found";
inline constexpr const char* cannot_read = "Cannot read file";
inline constexpr const char* past_end = "Input past end of file";
inline constexpr const char* division_by_zero = "Division by zero";
inline constexpr const char* write_failed = "Cannot write file";
inline constexpr const char* capacity = "Capacity exceeded";
inline constexpr const char* model_mismatch = "Model does not match";
inline constexpr const char* solver_start = "Cannot start the solver";
inline constexpr const char* not_a_file = "Not a data file";
inline constexpr const char* too_large = "File too large";
inline constexpr const char* nothing_to_analyse = "No box or bar to analyse";
inline constexpr const char* floating = "A bar floats";
inline constexpr const char* editing = "A box/bar is being edited";
inline constexpr const char* solver_busy = "The solver is still running";
inline constexpr const char* invalid_setting = "Invalid setting";
inline constexpr const char* bad_file_name = "Bad file name";
inline constexpr const char* nothing_to_export = "Nothing to export";
inline constexpr const char* cannot_stand = "The frame cannot stand";
inline constexpr const char* no_results = "No results to read";
inline constexpr const char* not_this_run = "Not the results of this run";
inline constexpr const char* sections_mismatch = "Sections do not match the design";
}  // namespace err

// A run-time error: `name` is one of err::*, `where` says what it concerns
// ("fem_gr_jo.dat, line 12", "a 101st box/bar"), empty when the name says it all.
class RunTimeError : public std::runtime_error {
 public:
  explicit RunTimeError(const std::string& name, const std::string& where = {});
  const std::string& name() const { return name_; }
  const std::string& where() const { return where_; }

 private:
  std::string name_;
  std::string where_;
};

[[noreturn]] void raise_error(const std::string& name, const std::string& where = {});

// Why the system refused to write a file (an errno value), in the user's words: "the disk is
// full", "the name is too long", "writing there is not permitted: the folder is read-only";
// "" for 0.
std::string write_failure_cause(int errnum);
// Why the system refused to read a file that is there, in the user's words: "reading it is not
// permitted", "the name is too long", "the disk failed to read (input/output error)".
std::string read_failure_cause(int errnum);

// Every message to the user goes through the reporter: the program shows a message box,
// tests and the scenario runner capture the text instead.
using ErrorReporter = std::function<void(const std::string& message)>;
void set_error_reporter(ErrorReporter reporter);
void report_error(const std::string& message);

// Runs an event handler: a run-time error abandons it and is reported; the program goes on.
template <typename F>
void run_guarded(F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    report_error(e.what());
  }
}

// Runs one step of a text-box change handler: a failure skips the step silently.
template <typename F>
void run_ignoring_errors(F&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}
