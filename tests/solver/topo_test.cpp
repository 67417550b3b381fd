// The result file as the solver writes it and the post-processing window reads it, the program
// topo run headless on a small model from start to end, and the run's bookkeeping in the working
// directory: its lock, its log, the cycles kept after a late failure, what a killed run leaves.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/processes.h"
#include "base/run_files.h"
#include "base/run_log.h"
#include "formats/fields.h"
#include "post/result_file.h"
#include "solver/optimiser.h"
#include "solver/result_file.h"
#include "solver/solver_run.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using test_support::copy_result_set;
using test_support::file_text;

namespace {

// Runs a solver program in the working directory (topo without a display); its exit status.
int run_solver(const std::string& program, const std::string& environment = {}, const std::string& more = {}) {
  const fs::path exe = fs::read_symlink("/proc/self/exe").parent_path() / program;
  const std::string args = (program == "topo" ? " --close-at-end" : "") + more;
  const std::string command =
      "QT_QPA_PLATFORM=offscreen " + environment + " '" + exe.string() + "'" + args + " > out.txt 2> err.txt";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The cycles the result file in the working directory holds.
int result_cycles() {
  ResultStore r;
  read_result_file(r, post_file_name);
  return r.pn_cyc;
}

// Each test in a fresh working directory holding the small model and its section file.
class SmallModel : public ::testing::Test {
 protected:
  SmallModel() { copy_result_set(false); }
  test_support::WorkingDirectory dir_;
};
using ResultFileAgreement = SmallModel;
using Topo = SmallModel;
using SolverRuns = SmallModel;

}  // namespace

// Four nodes, five design beams and the bar (element 3).
TEST_F(ResultFileAgreement, WhatTheSolverWritesThePostWindowReads) {
  const ModelFile model = read_model_file();
  const auto cycles = Optimiser(model).run();
  write_result_file(post_file_name, model, cycles);

  ResultStore r;
  read_result_file(r, post_file_name);
  ASSERT_EQ(r.pn_cyc, static_cast<int>(cycles.size()));
  EXPECT_EQ(r.pn_node, 4);
  EXPECT_EQ(r.pn_elem, 6);
  EXPECT_EQ(r.pd_max, 20.0f);
  for (int e = 1; e <= 6; ++e) {
    EXPECT_EQ(r.pe_nod(e, 1), model.elements[size_t(e - 1)].node1);
    EXPECT_EQ(r.is_non_design(e), e == 3) << e;
    for (int c = 1; c <= r.pn_cyc; ++c)
      EXPECT_NEAR(r.pe_dia(c, e), cycles[size_t(c - 1)].diameters[size_t(e - 1)], 1e-5 * 20) << c << " " << e;
  }
  EXPECT_EQ(r.pnode_xyz(r.pn_cyc, 4, 1), 200.0f);
  EXPECT_EQ(r.pnode_xyz(1, 2, 2), 100.0f);
}

// Rewritten every cycle while read over and over: every read finds whole cycles, never fewer
// than before, and the last file is the one written in one go.
TEST_F(ResultFileAgreement, AReaderFindsACompleteFileWhileTheRunWritesIt) {
  const ModelFile model = read_model_file();
  const auto run = Optimiser(model).run();
  std::vector<CycleRecord> cycles;
  for (int k = 0; k < 150; ++k) {
    cycles.push_back(run[static_cast<size_t>(k) % run.size()]);
    cycles.back().cycle = k + 1;
  }

  std::atomic<bool> writing{true};
  std::atomic<int> reads{0};
  std::thread writer_thread([&] {
    ResultFileWriter writer(post_file_name, model, 0, HUGE_VAL);
    for (const CycleRecord& c : cycles) {
      writer.add(c);
      const int before = reads;
      while (c.cycle % 10 == 0 && reads == before) std::this_thread::yield();  // let a read fall in here
    }
    writer.flush();
    EXPECT_EQ(writer.rewrites(), 150);
    writing = false;
  });
  auto r = std::make_unique<ResultStore>();
  int seen = 0;
  while (writing) {
    if (!fs::exists(post_file_name)) continue;
    EXPECT_EQ(test_support::error_of([&] { read_result_file(*r, post_file_name); }), "");
    EXPECT_GE(r->pn_cyc, seen);
    seen = r->pn_cyc;
    ++reads;
  }
  writer_thread.join();
  EXPECT_GE(reads, 15);
  EXPECT_FALSE(test_support::temp_file_left(post_file_name));  // the writer's spool went with it
  const std::string streamed = file_text(post_file_name);
  write_result_file(post_file_name, model, cycles);
  EXPECT_EQ(streamed, file_text(post_file_name));
}

// As the modelling window starts it: in the post-processing window's place, with its status part.
TEST_F(Topo, RunsHeadlessToTheEndAndWritesTheResults) {
  test_support::write_file("post_pl.dat", "results of another model\r\n");
  ASSERT_EQ(run_solver("topo", "", " --beside 0,0,1328,580 --keep 560,430,376,140"), 0) << file_text("err.txt");
  const std::string out = file_text("out.txt");
  EXPECT_NE(out.find("4 nodes, 6 elements (5 design), 1 load cases"), std::string::npos) << out;
  EXPECT_NE(out.find("Done after"), std::string::npos) << out;
  EXPECT_EQ(read_run_log().end, RunEnd::finished);
  EXPECT_GE(result_cycles(), 2);
  EXPECT_EQ(run_solver("topo", "", " --beside 0,0"), 2);
}

TEST_F(Topo, AnErrorEndsTheRunNonZeroWithItsMessage) {
  fs::remove(model_file_name);
  test_support::write_file("post_pl.dat", "results of another model\r\n");
  EXPECT_EQ(run_solver("topo"), 1);
  EXPECT_NE(file_text("err.txt").find("fem_gr_jo.dat"), std::string::npos) << file_text("err.txt");
  EXPECT_FALSE(fs::exists("post_pl.dat"));  // no results of another model left behind
}

// While a live solver holds the directory, a second one leaves its results and log alone.
TEST_F(SolverRuns, ASecondSolverInABusyDirectoryLeavesTheFirstRunAlone) {
  test_support::write_file("post_pl.dat", "the first run's results\r\n");
  test_support::write_file("topo_run.log", "cycle    1    1.00000E+00    1.00000E-01    0.00000E+00\r\n");
  DirectoryLock first;  // this test plays the first solver
  ASSERT_EQ(first.take(), 0);
  for (const std::string program : {"topo_nd", "topo"}) {
    EXPECT_NE(run_solver(program), 0) << program;
    EXPECT_NE(file_text("err.txt").find("another solver (process " + std::to_string(getpid()) + ") is running"),
              std::string::npos)
        << file_text("err.txt");
    EXPECT_EQ(file_text("post_pl.dat"), "the first run's results\r\n");
    EXPECT_EQ(read_run_log().cycles.size(), 1u);
  }
}

// A killed run leaves its lock file and temporary files; the next run takes over and cleans up.
TEST_F(SolverRuns, WhatAKilledRunLeftDoesNotStopTheNext) {
  const std::string dead = std::to_string(test_support::dead_pid());
  test_support::write_file("topo.lock", dead + "\n");
  for (const std::string& name : {std::string("post_pl.dat.tmp"), "post_pl.dat.tmp." + dead}) test_support::write_file(name, "half");
  ASSERT_EQ(run_solver("topo_nd"), 0) << file_text("err.txt");
  EXPECT_FALSE(test_support::temp_file_left("post_pl.dat"));
  EXPECT_FALSE(fs::exists("topo.lock"));
  const RunLog log = read_run_log();
  EXPECT_EQ(log.end, RunEnd::finished);
  ASSERT_FALSE(log.cycles.empty());
  EXPECT_EQ(log.cycles_done, log.cycles.back().cycle);
  EXPECT_EQ(result_cycles(), log.cycles_done);
}

// A breakdown in cycle 3 keeps cycles 1 and 2 and logs the reason; one in cycle 1 keeps no file.
TEST_F(SolverRuns, AFailureKeepsTheCyclesDoneAndSaysWhy) {
  for (const std::string program : {"topo_nd", "topo"}) {
    EXPECT_EQ(run_solver(program, "MARULLA_BREAK_AT_CYCLE=3"), 1) << program;
    const RunLog log = read_run_log();
    EXPECT_EQ(log.end, RunEnd::failed);
    EXPECT_EQ(log.cycles_done, 2);
    EXPECT_NE(log.reason.find("stiffness matrix is singular"), std::string::npos) << log.reason;
    EXPECT_EQ(result_cycles(), 2) << program;
    if (program == "topo_nd") {
      EXPECT_NE(file_text("err.txt").find("topo_nd: 2 cycles are kept in post_pl.dat"), std::string::npos);
    }

    EXPECT_EQ(run_solver(program, "MARULLA_BREAK_AT_CYCLE=1"), 1) << program;
    EXPECT_EQ(read_run_log().cycles_done, 0);
    EXPECT_EQ(read_run_log().reason, "load case 1: the stiffness matrix is singular (forced for a test)");
    EXPECT_FALSE(fs::exists("post_pl.dat"));
  }
}

// At "Penalty Factor" 2 the run log says the penalty of each cycle: 1 first, 2 at the end.
TEST_F(SolverRuns, TheLogSaysThePenaltyOfEveryCycle) {
  std::string text = file_text("fem_gr_jo.dat");
  ASSERT_EQ(text.substr(85, 15), "    1.00000E+00");  // the header's "Penalty Factor"
  text.replace(85, 15, "    2.00000E+00");
  test_support::write_file("fem_gr_jo.dat", text);
  ASSERT_EQ(run_solver("topo_nd"), 0) << file_text("err.txt");
  const RunLog log = read_run_log();
  ASSERT_GT(log.cycles.size(), 2u);
  EXPECT_EQ(log.cycles.front().penalty, 1.0);
  EXPECT_EQ(log.cycles.back().penalty, 2.0);
}

// "Stop" ends the run after the cycle under way, its cycles kept and the request gone; a request
// of an earlier or another run stops nothing, one for this run made before it starts after cycle 1.
TEST_F(SolverRuns, AStopRequestEndsItsOwnRunAfterTheCycleUnderWay) {
  const struct {
    const char* token;
    const char* before;  // the request lying there at the start
    int at_cycle;        // a request for this run made after this cycle
    int stopped_after;
  } cases[] = {{"", "", 2, 2}, {"00000000000000aa", "00000000000000bb", 2, 2}, {"00000000000000aa", "00000000000000aa", 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.token) + " " + c.before);
    ::setenv(run_token_variable, c.token, 1);
    ask_run_to_stop(c.before);
    RunWatcher watch;
    watch.line = [](const std::string&) {};
    watch.cycle_kept = [&](const CycleRecord& r) {
      if (*c.token != '\0' && c.at_cycle > 1 && r.cycle == 1) ask_run_to_stop("00000000000000bb");  // another run's: no stop
      if (r.cycle == c.at_cycle) ask_run_to_stop(c.token);
    };
    const RunOutcome out = run_in_directory(watch);
    EXPECT_EQ(out.end, RunOutcome::End::stopped) << out.message;
    EXPECT_EQ(out.cycles_done, c.stopped_after);
    EXPECT_EQ(read_run_log().cycles_done, c.stopped_after);
    EXPECT_FALSE(fs::exists(run_stop_name));
    EXPECT_EQ(result_cycles(), c.stopped_after);
  }
  ::unsetenv(run_token_variable);
}

// A failed rewrite keeps the last good file: the run says how many cycles it holds, not how many it computed.
TEST_F(SolverRuns, AFailedRewriteReportsTheCyclesOnDisk) {
  const ModelFile model = read_model_file(model_file_name);
  SolverRun run;
  ResultFileWriter writer(post_file_name, model);
  CycleRecord c;
  c.diameters.assign(static_cast<size_t>(model.n_elem), 10.0);
  for (c.cycle = 1; c.cycle <= 2; ++c.cycle) {
    writer.add(c);
    writer.flush();
  }
  fs::create_directory(temp_file_path(post_file_name, getpid()));  // the next rewrite cannot be made
  writer.add(c);
  EXPECT_ANY_THROW(writer.flush());
  EXPECT_EQ(run.failed("Cannot write file (post_pl.dat)", &writer, 3), 2);
  const RunLog log = read_run_log();
  EXPECT_EQ(log.cycles_done, 2);
  EXPECT_EQ(run_status(log, false).message, "The solver failed after 2 cycles: Cannot write file (post_pl.dat). "
                                            "2 cycles are kept in post_pl.dat: the results can be read with \"Read Data\".");
  EXPECT_EQ(result_cycles(), 2);

  // A link put in the result file's place is refused, and nothing is kept then.
  fs::remove(temp_file_path(post_file_name, getpid()));
  test_support::write_file("outside", "keep me");
  fs::remove(post_file_name);
  fs::create_symlink(fs::absolute("outside"), post_file_name);
  EXPECT_EQ(test_support::error_of([&] { writer.flush(); }),
            "Cannot write file (post_pl.dat: a symbolic link, not a regular file)");
  EXPECT_EQ(run.failed("Cannot write file (post_pl.dat)", &writer, 3), 0);
  EXPECT_EQ(read_run_log().reason, "Cannot write file (post_pl.dat). No result file was written");
  EXPECT_EQ(file_text("outside"), "keep me");
}

// The solver as the program starts it: with the directory's lock already held for it and the
// run's token, which it writes first into its log and beside its results.
TEST_F(SolverRuns, TheProgramsLockAndTokenPassToTheSolver) {
  DirectoryLock lock;
  ASSERT_EQ(lock.take(), 0);
  const fs::path exe = fs::read_symlink("/proc/self/exe").parent_path() / "topo_nd";
  const long long solver =
      start_child(exe, {}, {std::string(run_token_variable) + "=00000000000000aa",
                        std::string(lock_fd_variable) + "=" + std::to_string(lock.descriptor())},
                  lock.descriptor());
  lock.hand_over(solver);
  while (child_running(solver)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const RunLog log = read_run_log(run_log_name, "00000000000000aa");
  EXPECT_EQ(log.end, RunEnd::finished);
  EXPECT_EQ(log.cycles_written, log.cycles_done);
  EXPECT_EQ(read_run_token(), "00000000000000aa");
  EXPECT_EQ(test_support::file_lines(run_log_name).front(), "run 00000000000000aa");
  EXPECT_TRUE(fs::exists("topo.lock"));  // the program's until it has seen the run end
  let_go_of_run_lock();
  // By hand, without a token: the old token goes with the old results.
  ASSERT_EQ(run_solver("topo_nd"), 0) << file_text("err.txt");
  EXPECT_EQ(read_run_token(), "");
  EXPECT_FALSE(fs::exists(run_token_name));
  EXPECT_EQ(read_run_log().token, "");
}

// A run log that is a pipe would hold the solver, and the directory, for ever: refused at once.
TEST_F(SolverRuns, ALogThatIsAPipeIsRefusedAtOnce) {
  ASSERT_EQ(::mkfifo(run_log_name, 0644), 0);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(run_solver("topo_nd", "timeout 20"), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_NE(file_text("err.txt").find("Cannot write file (topo_run.log: a named pipe, not a regular file)"), std::string::npos)
      << file_text("err.txt");
  EXPECT_EQ(lock_holder(), 0);
}

