// topo_nd: the solver without display. Reads fem_gr_jo.dat from the working directory, runs the
// optimisation, prints one line per cycle and writes post_pl.dat; exits non-zero on an error.
#include <cstdio>
#include <exception>
#include <string>

#include "analysis/model_file.h"
#include "solver/optimiser.h"
#include "solver/progress.h"
#include "solver/result_file.h"

int main() {
  RunReport report;
  try {
    remove_result_file(result_file_name);
    const ModelFile model = read_model_file(model_file_name);
    Optimiser optimiser(model);
    for (const std::string& line : report.head(model, optimiser)) std::printf("%s\n", line.c_str());

    ResultFileWriter writer(result_file_name, model);
    const auto cycles = optimiser.run([&](const CycleRecord& c) {
      writer.add(c);
      std::printf("%s\n", report.cycle(c, optimiser.analysis().last_solve_seconds(), writer.last_seconds()).c_str());
      std::fflush(stdout);
    });
    writer.flush();

    const CycleRecord& last = cycles.back();
    const bool settled = optimiser.settled();
    std::printf("%s\n", report.summary(last, settled, optimiser.analysis(), writer).c_str());
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
