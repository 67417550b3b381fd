// The solver programs' printed lines.
#include "progress.h"

#include <cstdio>

#include "base/analysis_model.h"
#include "formats/numtext.h"
#include "result_file.h"

namespace {
double seconds(RunReport::Clock::duration d) { return std::chrono::duration<double>(d).count(); }
}  // namespace

std::vector<std::string> RunReport::head(const ModelFile& model, const Optimiser& optimiser) {
  std::vector<std::string> lines;
  lines.push_back(std::to_string(model.n_node) + " nodes, " + std::to_string(model.n_elem) + " elements (" +
                  std::to_string(optimiser.design_count()) + " design), " + std::to_string(model.cases.size()) +
                  " load cases");
  if (const std::string note = post_window_notice(model); !note.empty()) lines.push_back(note);
  lines.push_back("cycle     compliance [N mm]  volume ratio    change  penalty  analysis [s]  update [s]  write [s]");
  mark_ = Clock::now();
  setup_ = seconds(mark_ - start_);
  return lines;
}

std::string RunReport::cycle(const CycleRecord& c, double analysis_seconds, double write_seconds) {
  const auto now = Clock::now();
  const double update = std::max(0.0, seconds(now - mark_) - analysis_seconds - write_seconds);
  mark_ = now;
  analysis_ += analysis_seconds;
  update_ += update;
  char line[160];
  std::snprintf(line, sizeof line, "%5d  %20.6e  %12.6f  %8.5f  %7.3f  %12.3f  %10.3f  %9.3f", c.cycle,
                c.compliance, c.volume_ratio, c.change, c.penalty, analysis_seconds, update, write_seconds);
  return line;
}

std::string RunReport::summary(const CycleRecord& last, Settled how, const FrameAnalysis& analysis,
                               const ResultFileWriter& writer) const {
  const double total = seconds(Clock::now() - start_);
  const bool settled = how != Settled::not_yet;
  const std::string why = settled ? " (" + stop_reason(how) + ")" : std::string();
  char line[480];
  std::snprintf(line, sizeof line,
                "%s after %d cycles%s: compliance %.6e N mm, volume ratio %.6f, %d factorisations, %d iterations, %s; "
                "%.3f s: set-up %.3f, analysis %.3f, update %.3f, writing %.3f (%.1f %%)",
                settled ? "Done" : "Stopped at the cycle limit", last.cycle, why.c_str(), last.compliance,
                last.volume_ratio, analysis.factorisations(), analysis.iterations(),
                plural(analysis.threads(), "BLAS thread").c_str(), total, setup_, analysis_, update_, writer.seconds(),
                total > 0 ? 100 * writer.seconds() / total : 0.0);
  return line;
}
