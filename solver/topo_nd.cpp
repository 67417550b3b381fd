// topo_nd: the solver without display. Reads fem_gr_jo.dat from the working directory, runs the
// optimisation, prints one line per cycle, logs it to topo_run.log and writes post_pl.dat;
// exits 1 on an error (the cycles done before a late one are kept), 2 when another solver
// holds the directory.
#include <csignal>
#include <cstdio>
#include <string>

#include "formats/fields.h"
#include "solver/result_file.h"
#include "solver/solver_run.h"

int main() {
  ignore_file_size_signal();  // a write past the file-size limit fails, it does not end the program
  std::signal(SIGPIPE, SIG_IGN);  // the program that started it may be gone, and its error output with it
  RunWatcher watch;
  watch.line = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  const RunOutcome out = run_in_directory(watch);
  switch (out.end) {
    case RunOutcome::End::finished:
    case RunOutcome::End::stopped:
      std::printf("%s\n", out.message.c_str());
      return 0;
    case RunOutcome::End::busy:
      std::fprintf(stderr, "topo_nd: %s\n", out.message.c_str());
      return 2;
    case RunOutcome::End::failed:
      break;
  }
  std::fprintf(stderr, "topo_nd: %s\n", out.message.c_str());
  std::fprintf(stderr, "topo_nd: %s\n", kept_in_results(out.cycles_done).c_str());
  return 1;
}
