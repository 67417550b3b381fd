// The run log's lines: "cycle" with the cycle (I5), compliance, volume ratio, change and the
// penalty in force (E15 each; logs before the penalty end after the change), and one last line
// in words, "finished after 12 cycles", "stopped at the cycle limit after 100 cycles", "stopped
// by the user after 7 cycles" or "failed after 6 cycles: reason".
#include "base/run_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"

namespace {

constexpr const char* cycle_tag = "cycle";
constexpr const char* token_tag = "run ";
constexpr const char* written_tag = "written";

struct EndWords {
  RunEnd how;
  const char* words;
};
constexpr EndWords end_words[] = {{RunEnd::finished, "finished"},
                                  {RunEnd::cycle_limit, "stopped at the cycle limit"},
                                  {RunEnd::stopped, "stopped by the user"},
                                  {RunEnd::failed, "failed"}};

bool starts_with(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool parse_cycle(const std::string& line, RunLogCycle& c) {
  if (line.size() < 55 || !starts_with(line, cycle_tag)) return false;
  const std::string fields[] = {line.substr(5, 5), line.substr(10, 15), line.substr(25, 15), line.substr(40, 15)};
  for (const std::string& f : fields)
    if (!is_number(f)) return false;
  c.cycle = static_cast<int>(to_number(fields[0]));
  c.compliance = to_number(fields[1]);
  c.volume_ratio = to_number(fields[2]);
  c.change = to_number(fields[3]);
  if (line.size() >= 70 && is_number(line.substr(55, 15))) c.penalty = to_number(line.substr(55, 15));
  return true;
}

// "<words> after N cycles[: reason]"
bool parse_end(const std::string& line, RunLog& log) {
  for (const EndWords& e : end_words) {
    const std::string head = std::string(e.words) + " after ";
    if (!starts_with(line, head)) continue;
    int n = 0, used = 0;
    if (std::sscanf(line.c_str() + head.size(), "%d cycle%n", &n, &used) != 1 || used == 0) return false;
    std::string rest = line.substr(head.size() + static_cast<size_t>(used));
    if (starts_with(rest, "s")) rest.erase(0, 1);
    log.end = e.how;
    log.cycles_done = n;
    log.reason = starts_with(rest, ": ") ? rest.substr(2) : rest;
    return true;
  }
  return false;
}

std::string e_text(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%.5e", v);
  return s;
}

}  // namespace

RunLogWriter::RunLogWriter(const std::string& path, const std::string& token)
    : fd_(open_regular_for_writing(path, O_WRONLY | O_CREAT | O_TRUNC)) {
  if (!token.empty()) line(token_tag + token);
}

RunLogWriter::~RunLogWriter() {
  if (fd_ >= 0) ::close(fd_);
}

// One write per line, so that a reader sees whole lines.
void RunLogWriter::line(const std::string& text) {
  const std::string whole = text + "\r\n";
  for (size_t done = 0; done < whole.size();) {
    const ssize_t n = ::write(fd_, whole.data() + done, whole.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void RunLogWriter::written(int cycles) { line(FieldLine().text(written_tag).i5(cycles).str()); }

void RunLogWriter::cycle(const RunLogCycle& c) {
  line(FieldLine().text(cycle_tag).i5(c.cycle).e15(c.compliance).e15(c.volume_ratio).e15(c.change).e15(c.penalty).str());
}

void RunLogWriter::end(RunEnd how, int cycles_done, const std::string& reason) {
  for (const EndWords& e : end_words)
    if (e.how == how) {
      // One line: a reason that spans lines is joined.
      std::string joined = reason;
      for (char& ch : joined)
        if (ch == '\r' || ch == '\n') ch = ' ';
      line(std::string(e.words) + " after " + plural(cycles_done, "cycle") + (joined.empty() ? "" : ": " + joined));
    }
}

RunLog read_run_log(const std::string& path, const std::string& token) {
  RunLog log;
  std::string all;
  try {
    all = read_regular_file(path, max_data_file_bytes);
  } catch (const RunTimeError& e) {
    if (e.name() != err::file_not_found) log.problem = e.what();
    return log;
  }
  size_t at = 0;
  for (size_t lf; (lf = all.find('\n', at)) != std::string::npos; at = lf + 1) {
    std::string line = all.substr(at, lf - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    RunLogCycle c;
    if (parse_cycle(line, c))
      log.cycles.push_back(c);
    else if (at == 0 && starts_with(line, token_tag))
      log.token = line.substr(std::string(token_tag).size());
    else if (starts_with(line, written_tag) && is_number(line.substr(7)))
      log.cycles_written = static_cast<int>(to_number(line.substr(7)));
    else
      parse_end(line, log);
  }
  if (!token.empty() && log.token != token) return {};
  return log;
}

namespace {
const std::string readable = ": the results can be read with \"Read Data\".";
}  // namespace

std::string kept_in_results(int cycles) {
  if (cycles == 0) return "No result file was written";
  return plural(cycles, "cycle") + (cycles == 1 ? " is" : " are") + " kept in " + post_file_name;
}

std::string once_read(const std::string& message) {
  const size_t at = message.rfind(readable);
  if (at == std::string::npos || at + readable.size() != message.size()) return message;
  return message.substr(0, at) + ": the results are read.";
}

RunStatus run_status(const RunLog& log, bool solver_alive, const std::string& error_output) {
  switch (log.end) {
    case RunEnd::finished:
      return {"finished", log.cycles_done, "Finished after " + plural(log.cycles_done, "cycle") + readable};
    case RunEnd::cycle_limit:
      return {"finished", log.cycles_done, "Stopped at the cycle limit after " + plural(log.cycles_done, "cycle") + readable};
    case RunEnd::stopped:
      return {"finished", log.cycles_done, "Stopped by the user after " + plural(log.cycles_done, "cycle") + readable};
    case RunEnd::failed:
      if (log.cycles_done == 0) return {"failed", 0, "The solver failed: " + log.reason};
      return {"failed", log.cycles_done,
              "The solver failed after " + plural(log.cycles_done, "cycle") + ": " + log.reason + ". " +
                  kept_in_results(log.cycles_done) + readable};
    case RunEnd::none:
      break;
  }
  if (!log.problem.empty()) {
    if (solver_alive) return {"running", 0, "The solver is running; its log cannot be read: " + log.problem};
    return {"failed", 0, "The solver has ended; its log cannot be read: " + log.problem};
  }
  if (!solver_alive) {
    // A solver that failed before its log was there said why on its error output.
    if (log.cycles.empty() && !error_output.empty()) return {"failed", 0, "The solver failed: " + error_output};
    // The cycles the result file holds, not those logged: a rewrite comes at most once a second.
    const int kept = log.cycles_written;
    if (kept == 0) return {"failed", 0, "The solver ended without finishing; no cycle was written."};
    return {"failed", kept, "The solver ended without finishing after " + plural(kept, "cycle") + "."};
  }
  if (log.cycles.empty()) return {"running", 0, "The solver is running ..."};
  const RunLogCycle& c = log.cycles.back();
  return {"running", c.cycle,
          "Cycle " + std::to_string(c.cycle) + ": compliance " + e_text(c.compliance) + " N mm, volume ratio " +
              e_text(c.volume_ratio) + " ..."};
}
