// A window only ever reads its own run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/forms.h"
#include "base/processes.h"
#include "base/run_files.h"
#include "support/window_test.h"
#include "ui/form2.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

const fs::path bin_dir = fs::read_symlink("/proc/self/exe").parent_path();

// Ends the solver a test started and collects it, whatever the test's outcome.
struct SolverCleanup {
  ~SolverCleanup() {
    set_process_probe_for_tests({});
    const long long pid = last_solver_process();
    if (!child_running(pid)) return;
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    for (int i = 0; i < 200 && child_running(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
};

class OwnRun : public WindowTest {
 protected:
  OwnRun() { run("click frmSplash.Command1\n"); }
  SolverCleanup cleanup_;
  Form2& f() { return Forms::form2(); }

  // A box of `divisions` x 1 x 1 clamped at least L, loaded down at one node of greatest L.
  void build_cantilever(int divisions) {
    run(box_to_analysis(100 * divisions, divisions));
    ModelStore& m = f().model;
    const float end = 50.0f * divisions;
    for (int n : nodes_where(m, [&](float l, float, float) { return l == -end; })) set_support(m, 1, n);
    set_load(m, 1, *nodes_where(m, [&](float l, float, float) { return l == end; }).begin(), 3, -1000);
    run("click Form2.Check3\nclick Form2.Check5\n");
  }
};

}  // namespace

// 20 times: the second is refused before it writes anything; the one that runs reads its own
// results (its own node count).
TEST_F(OwnRun, TwoProgramsRacingOnOneFolderEachReadOnlyTheirOwnRun) {
  // The two designs' files, saved by an "Analysis" whose solver does nothing: 12 and 16 nodes.
  write_program("topo_nd", "exit 0\n");
  const int nodes[2] = {12, 16};
  for (int k = 0; k < 2; ++k) {
    build_cantilever(k == 0 ? 2 : 3);
    ASSERT_EQ(f().model.n_node, nodes[k]);
    run("click Form2.Command13\nexpect Form1 shown\nwait-run 10\nclick Form1.Command2\n");
    const fs::path set = k == 0 ? "a" : "b";
    fs::create_directory(set);
    for (const char* file : {"temp_save.dat", "fem_gr_jo.dat", "cross_data_4th.dat"}) fs::copy_file(file, set / file);
    write_file(set / "marker", "");
  }
  // Each program takes its design back in turn, then both press "Analysis" at once.
  const std::string restore = "copy temp_save.dat temp_save.dat\ncopy fem_gr_jo.dat fem_gr_jo.dat\n"
                              "click frmSplash.Command1\ncall Form2.refem\nexpect-error none\n";
  const std::string finish = "expect Form1 shown\nwait-run 60\nclick Form1.Command1\nexpect-error none\n";
  write_file("a/run.txt", restore + "copy marker restored\nwait-file go 30\nclick Form2.Command13\n" + finish +
                              "dump Form1 result_a.json\n");
  write_file("b/run.txt", "wait-file restored 30\n" + restore + "copy marker go\nclick Form2.Command13\n" + finish +
                              "dump Form1 result_b.json\n");
  // The solver holds the folder a while before it works, as a larger model would.
  write_program("topo_nd", "sleep 1\nexec '" + (bin_dir / "topo_nd").string() + "'\n");
  const std::string scenario = "'" + (bin_dir / "marulla_scenario").string() + "' '" + fs::current_path().string() + "/";
  for (int attempt = 1; attempt <= 20; ++attempt) {
    SCOPED_TRACE("attempt " + std::to_string(attempt));
    for (const char* stale : {"restored", "go", "result_a.json", "result_b.json", "post_pl.dat", "topo_run.log"})
      fs::remove(stale);
    const std::string both = "(" + scenario + "a/run.txt' 2> a.err; echo $? > a.status) & (" + scenario +
                             "b/run.txt' 2> b.err; echo $? > b.status) & wait";
    ASSERT_EQ(std::system(both.c_str()), 0);
    const int status[2] = {std::stoi(file_text("a.status")), std::stoi(file_text("b.status"))};
    int ran = 0;
    for (int k = 0; k < 2; ++k) {
      const std::string name = k == 0 ? "a" : "b";
      const std::string err = file_text(name + ".err");
      if (status[k] == 0) {
        ++ran;
        const std::string dump = file_text("result_" + name + ".json");
        EXPECT_NE(dump.find("\"res_ok\":1"), std::string::npos) << name;
        EXPECT_NE(dump.find("\"pn_node\":" + std::to_string(nodes[k])), std::string::npos) << name << ": " << dump.substr(0, 80);
      } else {
        EXPECT_NE(err.find("reported: The solver is still running"), std::string::npos) << name << ": " << err;
        EXPECT_FALSE(fs::exists("result_" + name + ".json"));
      }
    }
    EXPECT_EQ(ran, 1) << file_text("a.err") << file_text("b.err");
  }
}

// Killed, its id taken at once by another process (every id alive): the run still ends.
TEST_F(OwnRun, ASolverWhoseProcessIdIsReusedStillEndsItsRun) {
  write_program("topo_nd", "exec sleep 20\n");
  build_cantilever(2);
  run("click Form2.Command13\nexpect Form1 shown\nexpect-state Form1 run_state \"running\"\n");
  const long long solver = last_solver_process();
  set_process_probe_for_tests([](long long) { return true; });
  ::kill(static_cast<pid_t>(solver), SIGKILL);
  run("wait-run 10\nexpect-state Form1 run_state \"failed\"\n"
      "expect-state Form1 run_message \"The solver ended without finishing; no cycle was written.\"\n"
      "expect Form1.Frame4 shown 1\n");
  run("click Form1.Command7\nexpect Form2 shown\nclick Form2.Command13\nexpect-error none\nexpect Form1 shown\n"
      "expect-state Form1 run_state \"running\"\n");
  EXPECT_NE(last_solver_process(), solver);
}

// Results and a log that the run did not write are not this run's.
TEST_F(OwnRun, ReadDataTakesOnlyItsOwnRunAndSaysWhyThereIsNothing) {
  const fs::path small_results = tests_dir() / "data" / "post_small" / "post_pl.dat";
  write_program("topo_nd", "cp '" + small_results.string() +
                               "' post_pl.dat\nprintf 'cycle    1    1.00000E+00    1.00000E-01    0.00000E+00\\r\\n"
                               "finished after 59 cycles\\r\\n' > topo_run.log\n");
  build_cantilever(2);
  run("click Form2.Command13\nexpect Form1 shown\nwait-run 10\nexpect-state Form1 run_state \"failed\"\n"
      "click Form1.Command1\nexpect-error Not the results of this run\nexpect-state Form1 res_ok 0\n"
      "expect Form1.Command1 shown 1\n");
}

// "Stop" before the solver has even started stops the run after its first cycle.
TEST_F(OwnRun, StopAtOnceAfterAnalysisStopsTheRun) {
  write_program("topo_nd", "sleep 1\nexec '" + (bin_dir / "topo_nd").string() + "'\n");
  build_cantilever(3);
  run("click Form2.Command13\nexpect Form1 shown\nclick Form1.Command20\nexpect-error none\nwait-run 60\n"
      "expect-state Form1 run_state \"finished\"\n"
      "expect-state Form1 run_message \"Stopped by the user after 1 cycle: the results can be read with \\\"Read Data\\\".\"\n");
  EXPECT_FALSE(fs::exists(run_stop_name));
}

// A solver that fails before its log is there is shown with its reason.
TEST_F(OwnRun, AFailureBeforeTheLogIsShownWithItsReason) {
  build_cantilever(2);
  fs::create_directories(fs::path(run_stop_name) / "inside");
  run("click Form2.Command13\nexpect Form1 shown\nwait-run 30\n"
      "expect-state Form1 run_message \"The solver failed: Cannot write file (topo.stop: a folder)\"\n");
  fs::remove_all(run_stop_name);
  write_program("topo_nd", "echo 'topo_nd: the disk is full' >&2\nexit 1\n");
  run("click Form1.Command7\nclick Form2.Command13\nexpect Form1 shown\nwait-run 10\n"
      "expect-state Form1 run_message \"The solver failed: the disk is full\"\n");
}

// A pipe, or a link to an endless device, at the run's files: the window goes on at once.
TEST_F(OwnRun, APipeOrADeviceAtTheRunsFilesLeavesTheWindowResponsive) {
  write_program("topo_nd", "exec sleep 20\n");
  build_cantilever(2);
  run("click Form2.Command13\nexpect Form1 shown\n");
  const auto started = std::chrono::steady_clock::now();
  for (const std::string kind : {"a named pipe", "a symbolic link"}) {
    for (const char* name : {run_log_name, run_stop_name}) {
      fs::remove(name);
      if (kind == "a named pipe") {
        ASSERT_EQ(::mkfifo(name, 0644), 0);
      } else {
        fs::create_symlink("/dev/zero", name);
      }
    }
    run("click Form1.Command20\nexpect-error Cannot write file (topo.stop: " + kind +
        ", not a regular file)\nexpect-state Form1 run_message \"The solver is running; its log cannot be read: "
        "Not a data file (topo_run.log: " + kind + ", not a regular file)\"\nexpect Form1.Command20 enabled 1\n");
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}
