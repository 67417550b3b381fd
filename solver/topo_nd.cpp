// topo_nd: the solver without display. Reads fem_gr_jo.dat from the working directory, runs the
// optimisation, prints one line per cycle and writes post_pl.dat; exits non-zero on an error.
#include <chrono>
#include <cstdio>
#include <exception>
#include <vector>

#include "analysis/model_file.h"
#include "solver/optimiser.h"
#include "solver/result_file.h"

int main() {
  using clock = std::chrono::steady_clock;
  const auto start = clock::now();
  auto seconds = [](clock::duration d) { return std::chrono::duration<double>(d).count(); };
  try {
    remove_result_file(result_file_name);
    const ModelFile model = read_model_file(model_file_name);
    Optimiser optimiser(model);
    std::printf("%d nodes, %d elements (%d design), %zu load cases\n", model.n_node, model.n_elem,
                optimiser.design_count(), model.cases.size());
    std::printf("cycle     compliance [N mm]  volume ratio    change   time [s]\n");

    // The file is rewritten at most once a second, so that "Read Data" always finds a whole one.
    std::vector<CycleRecord> cycles;
    auto last_write = clock::now();
    auto cycle_start = clock::now();
    optimiser.run([&](const CycleRecord& c) {
      cycles.push_back(c);
      const auto now = clock::now();
      std::printf("%5d  %20.6e  %12.6f  %8.5f  %9.3f\n", c.cycle, c.compliance, c.volume_ratio, c.change,
                  seconds(now - cycle_start));
      std::fflush(stdout);
      if (now - last_write >= std::chrono::seconds(1)) {
        write_result_file(result_file_name, model, cycles);
        last_write = clock::now();
      }
      cycle_start = clock::now();
    });
    write_result_file(result_file_name, model, cycles);

    const CycleRecord& last = cycles.back();
    const bool settled = optimiser.settled();
    std::printf("%s after %d cycles: compliance %.6e N mm, volume ratio %.6f, %d factorisations, %.3f s\n",
                settled ? "Done" : "Stopped at the cycle limit", last.cycle, last.compliance, last.volume_ratio,
                optimiser.analysis().factorisations(), seconds(clock::now() - start));
    return 0;
  } catch (const std::exception& e) {
    try {
      remove_result_file(result_file_name);  // no results from a run that failed
    } catch (const std::exception&) {
    }
    std::fprintf(stderr, "topo_nd: %s\n", e.what());
    return 1;
  }
}
