// One solver run's bookkeeping in the working directory.
#include "solver/solver_run.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/analysis_model.h"
#include "formats/fields.h"
#include "solver/progress.h"
#include "solver/result_file.h"

namespace {

// The largest magnitude an E15 field of the result file holds (it rounds to 1E+100 above).
constexpr double largest_field = 9.99994e99;

bool writable(double v) { return std::fabs(v) < largest_field; }

}  // namespace

SolverRun::SolverRun() {
  if (const long long holder = lock_.take(); holder != 0)
    throw DirectoryBusy("another solver" + (holder > 0 ? " (process " + std::to_string(holder) + ")" : std::string()) +
                        " is running in this directory; its files are left alone");
  // The token the program handed over goes into the log and beside the results, so that its
  // window reads only this run; a run started by hand has none. The log comes first, so that
  // whatever fails next is said where the window reads it.
  const char* token = std::getenv(run_token_variable);
  token_ = token != nullptr ? token : "";
  log_.emplace(run_log_name, token_);
  try {
    remove_stale_run_temp_files();
    remove_stop_requests_of_others(token_);
    remove_result_file(post_file_name);
    remove_result_file(run_token_name);
    if (!token_.empty()) write_run_token(token_);
  } catch (const std::exception& e) {
    log_->end(RunEnd::failed, 0, e.what());
    throw;
  }
  // Tests force a breakdown in a later cycle to see the cycles done kept.
  if (const char* at = std::getenv("MARULLA_BREAK_AT_CYCLE")) break_at_cycle_ = std::atoi(at);
}

bool SolverRun::stop_asked() const { return run_stop_asked(token_); }

void SolverRun::cycle(const CycleRecord& c, const FrameAnalysis& analysis) {
  if (c.cycle == break_at_cycle_) throw SolverError("load case 1: the stiffness matrix is singular (forced for a test)");
  for (int k = 0; k < analysis.case_count() && !writable(c.compliance); ++k)
    if (!writable(analysis.compliance(k)))
      throw SolverError("cycle " + std::to_string(c.cycle) + ", load case " + std::to_string(k + 1) +
                        ": the compliance overflows (the structure is all but a mechanism)");
  if (!writable(c.compliance))
    throw SolverError("cycle " + std::to_string(c.cycle) + ": the total compliance overflows");
  log_->cycle({c.cycle, c.compliance, c.volume_ratio, c.change, c.penalty});
}

void SolverRun::written(int cycles) { log_->written(cycles); }

void SolverRun::finished(int cycles_done, bool settled) {
  log_->end(settled ? RunEnd::finished : RunEnd::cycle_limit, cycles_done);
}

void SolverRun::stopped_by_user(int cycles_done) {
  log_->end(RunEnd::stopped, cycles_done);
  try {
    remove_stop_request();  // this run's request, seen
  } catch (const std::exception&) {
  }
}

int SolverRun::failed(const std::string& reason, ResultFileWriter* writer, int cycles_done) {
  try {
    if (writer != nullptr && cycles_done > 0) writer->flush();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  // What the result file holds on disk now, whatever was computed (nothing once something
  // else has been put in its place).
  int kept = writer != nullptr ? writer->written_cycles() : 0;
  if (!not_regular_kind(post_file_name).empty()) kept = 0;
  try {
    if (kept == 0) remove_result_file(post_file_name);  // no results from a run that failed at once
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  log_->end(RunEnd::failed, kept, cycles_done > 0 && kept == 0 ? reason + ". " + kept_in_results(0) : reason);
  return kept;
}

namespace {

struct Stopped {};  // thrown from a cycle when the user has stopped the run

}  // namespace

RunOutcome run_in_directory(const RunWatcher& watch) {
  using End = RunOutcome::End;
  RunReport report;
  std::optional<SolverRun> run;
  try {
    run.emplace();
  } catch (const DirectoryBusy& e) {
    return {End::busy, e.what(), 0};
  } catch (const std::exception& e) {
    return {End::failed, e.what(), 0};
  }
  std::optional<ResultFileWriter> writer;
  RunOutcome out;
  try {
    const ModelFile model = read_model_file(model_file_name);
    watch.model_read(model);
    Optimiser optimiser(model);
    for (const std::string& line : report.head(model, optimiser)) watch.line(line);
    writer.emplace(post_file_name, model);
    writer->on_written = [&run](int cycles) { run->written(cycles); };
    const auto cycles = optimiser.run([&](const CycleRecord& c) {
      run->cycle(c, optimiser.analysis());
      writer->add(c);
      ++out.cycles_done;
      watch.line(report.cycle(c, optimiser.analysis().last_solve_seconds(), writer->last_seconds()));
      watch.cycle_kept(c);
      if (watch.stop_asked() || run->stop_asked()) throw Stopped{};
    });
    writer->flush();
    const bool settled = optimiser.settled();
    run->finished(out.cycles_done, settled);
    out.message = report.summary(cycles.back(), optimiser.how_settled(), optimiser.analysis(), *writer);
  } catch (const Stopped&) {
    // The cycles done so far are a whole result of this model.
    try {
      writer->flush();
      run->stopped_by_user(out.cycles_done);
      out.end = End::stopped;
      out.message = "Stopped by the user after " + std::to_string(out.cycles_done) + " cycles";
    } catch (const std::exception& e) {
      out = {End::failed, e.what(), run->failed(e.what(), &*writer, out.cycles_done)};
    }
  } catch (const std::exception& e) {
    out = {End::failed, e.what(), run->failed(e.what(), writer ? &*writer : nullptr, out.cycles_done)};
  }
  return out;
}
