// topo_nd: the solver without display. Reads fem_gr_jo.dat from the working directory, runs the
// optimisation, prints one line per cycle, logs it to topo_run.log and writes post_pl.dat;
// exits 1 on an error (the cycles done before a late one are kept), 2 when another solver
// holds the directory.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "analysis/model_file.h"
#include "solver/optimiser.h"
#include "solver/progress.h"
#include "solver/result_file.h"
#include "solver/solver_run.h"

int main() {
  RunReport report;
  std::optional<SolverRun> run;
  std::optional<ResultFileWriter> writer;
  int done = 0;
  try {
    run.emplace();
    const ModelFile model = read_model_file(model_file_name);
    Optimiser optimiser(model);
    for (const std::string& line : report.head(model, optimiser)) std::printf("%s\n", line.c_str());

    writer.emplace(result_file_name, model);
    const auto cycles = optimiser.run([&](const CycleRecord& c) {
      run->cycle(c, optimiser.analysis());
      writer->add(c);
      ++done;
      std::printf("%s\n", report.cycle(c, optimiser.analysis().last_solve_seconds(), writer->last_seconds()).c_str());
      std::fflush(stdout);
    });
    writer->flush();

    const CycleRecord& last = cycles.back();
    const bool settled = optimiser.settled();
    run->finished(done, settled);
    std::printf("%s\n", report.summary(last, settled, optimiser.analysis(), *writer).c_str());
    return 0;
  } catch (const DirectoryBusy& e) {
    std::fprintf(stderr, "topo_nd: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    if (run) run->failed(e.what(), writer ? &*writer : nullptr, done);
    std::fprintf(stderr, "topo_nd: %s\n", e.what());
    if (done > 0) std::fprintf(stderr, "topo_nd: the %d cycles done are kept in %s\n", done, result_file_name);
    return 1;
  }
}
