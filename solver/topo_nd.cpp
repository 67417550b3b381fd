// topo_nd: the solver without display. Reads fem_gr_jo.dat from the working directory, runs the
// optimisation, prints one line per cycle, logs it to topo_run.log and writes post_pl.dat;
// exits 1 on an error (the cycles done before a late one are kept), 2 when another solver
// holds the directory.
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <vector>

#include "analysis/model_file.h"
#include "solver/optimiser.h"
#include "solver/result_file.h"
#include "solver/solver_run.h"

int main() {
  using clock = std::chrono::steady_clock;
  const auto start = clock::now();
  auto seconds = [](clock::duration d) { return std::chrono::duration<double>(d).count(); };
  std::optional<SolverRun> run;
  std::optional<ModelFile> model;
  std::vector<CycleRecord> cycles;
  try {
    run.emplace();
    model = read_model_file(model_file_name);
    Optimiser optimiser(*model);
    std::printf("%d nodes, %d elements (%d design), %zu load cases\n", model->n_node, model->n_elem,
                optimiser.design_count(), model->cases.size());
    std::printf("cycle     compliance [N mm]  volume ratio    change   time [s]\n");

    // The file is rewritten at most once a second, so that "Read Data" always finds a whole one.
    auto last_write = clock::now();
    auto cycle_start = clock::now();
    optimiser.run([&](const CycleRecord& c) {
      run->cycle(c, optimiser.analysis());
      cycles.push_back(c);
      const auto now = clock::now();
      std::printf("%5d  %20.6e  %12.6f  %8.5f  %9.3f\n", c.cycle, c.compliance, c.volume_ratio, c.change,
                  seconds(now - cycle_start));
      std::fflush(stdout);
      if (now - last_write >= std::chrono::seconds(1)) {
        write_result_file(result_file_name, *model, cycles);
        last_write = clock::now();
      }
      cycle_start = clock::now();
    });
    write_result_file(result_file_name, *model, cycles);

    const CycleRecord& last = cycles.back();
    const bool settled = optimiser.design_count() == 0 || last.change < converged_change;
    run->finished(cycles, settled);
    std::printf("%s after %d cycles: compliance %.6e N mm, volume ratio %.6f, %d factorisations, %.3f s\n",
                settled ? "Done" : "Stopped at the cycle limit", last.cycle, last.compliance, last.volume_ratio,
                optimiser.analysis().factorisations(), seconds(clock::now() - start));
    return 0;
  } catch (const DirectoryBusy& e) {
    std::fprintf(stderr, "topo_nd: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    if (run) run->failed(e.what(), model ? &*model : nullptr, cycles);
    std::fprintf(stderr, "topo_nd: %s\n", e.what());
    if (!cycles.empty()) std::fprintf(stderr, "topo_nd: the %zu cycles done are kept in %s\n", cycles.size(), result_file_name);
    return 1;
  }
}
