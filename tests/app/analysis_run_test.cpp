// The analysis run through the windows; refem brings the model back; "Save" and "Read".
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "analysis/model_file.h"
#include "app/forms.h"
#include "base/processes.h"
#include "base/run_log.h"
#include "support/window_test.h"
#include "ui/form2.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {
class AnalysisRun : public WindowTest {
 protected:
  AnalysisRun() { run("click frmSplash.Command1\n"); }
  Form2& f() { return Forms::form2(); }

  // A box 2 x 1 x 1 and a bar, with conditions in cases 1 and 3 and a spring only in case 2.
  void build_model() {
    run("click Form2.Command1\nset Form2.Text13 2\nclick Form2.Command2\n"
        "click Form2.Option2\nclick Form2.Command1\nset Form2.Text10 100\nset Form2.Text11 50\nset Form2.Text12 50\n"
        "click Form2.Command2\n"
        "click Form2.Command12\n");
    ModelStore& m = f().model;
    ASSERT_EQ(m.n_node, 13);
    for (int node : {1, 2, 3}) set_support(m, 1, node);
    set_load(m, 1, 9, 3, -1000);
    m.bc_flag(2, 4) = 1;
    m.spring_val(2, 4, 1) = 50;
    set_support(m, 3, 1);
    set_load(m, 3, 10, 2, 250);
  }
};
}  // namespace

TEST_F(AnalysisRun, AnalysisWritesTheFilesStartsTheSolverAndHandsOver) {
  // A stand-in solver in the working directory is found before the real one.
  write_program("topo_nd", "echo started > solver_ran\n");
  build_model();
  run("click Form2.Check3\nset Form2.Text31 25\nclick Form2.Check5\nclick Form2.Command13\n"
      "expect Form2 unloaded\nexpect Form1 shown\n");
  EXPECT_TRUE(errors().empty()) << errors().front();
  EXPECT_TRUE(wait_until([] { return fs::exists("solver_ran"); }));
  const ModelFile file = read_model_file();
  // Cases 1 and 3 carry constraints or loads; case 2, a spring only, writes no block.
  EXPECT_EQ(file.cases.size(), 2u);
  EXPECT_EQ(file.settings.max_diameter, 25);
  EXPECT_EQ(file.settings.display, 0);

  // refem brings the written cases back renumbered 1 and 2, and the settings.
  Forms::unload("Form1");
  Forms::show("Form2");
  run("call Form2.refem\n");
  ModelStore& m = f().model;
  EXPECT_EQ(m.mx_case, 2);
  EXPECT_EQ(m.bc_val(2, 10, 2, 2), 250);
  EXPECT_EQ(f().settings.max_diameter->text(), "25");
  EXPECT_TRUE(errors().empty());
}

// Settings the solver cannot work with are refused before anything is written.
TEST_F(AnalysisRun, UnusableSettingsStopAnalysisBeforeAnyFile) {
  build_model();
  const struct {
    std::string box, bad, good, named;
  } cases[] = {{"Text31", "0", "20", "\"Max Diame.\" must be positive"},
               {"Text32", "-1", "0.0001", "\"Init.Valu.Ratio\" must be positive"},
               {"Text33", "0.0001", "0.01", "\"Obj.Vol.Ratio\" must be above \"Init.Valu.Ratio\""},
               {"Text33", "2", "0.01", "\"Obj.Vol.Ratio\" must be at most 1"},
               {"Text34", "0", "1", "\"Move Limit\" must be positive"},
               {"Text35", "-2", "1", "\"Penalty Factor\" must be positive"}};
  run("click Form2.Check3\n");
  for (const auto& c : cases) {
    run("set Form2." + c.box + " " + c.bad + "\nclick Form2.Command13\nexpect-error " + c.named +
        "\nexpect Form2 shown\nset Form2." + c.box + " " + c.good + "\n");
    EXPECT_FALSE(fs::exists("fem_gr_jo.dat")) << c.box;
    EXPECT_FALSE(fs::exists("temp_save.dat")) << c.box;
  }
}

// While its solver runs, "Analysis" is refused; the old results went before it started.
TEST_F(AnalysisRun, OneRunAtATimeAndNoOldResultsForTheNewRun) {
  write_program("topo_nd", "exec sleep 20\n");
  fs::copy_file(tests_dir() / "data" / "post_small" / "post_pl.dat", "post_pl.dat");
  write_file("topo_run.log", "finished after 1 cycle\r\n");
  build_model();
  run("click Form2.Check3\nclick Form2.Check5\nclick Form2.Command13\nexpect Form1 shown\nclick Form1.Command1\n"
      "expect-state Form1 res_ok 0\nexpect-state Form1 run_state \"running\"\nexpect Form1.Frame4 shown 0\n");
  EXPECT_FALSE(fs::exists("post_pl.dat"));
  const long long solver = last_solver_process();
  ASSERT_TRUE(process_running(solver));

  const std::string model_file = file_text("fem_gr_jo.dat");
  Forms::unload("Form1");
  Forms::show("Form2");
  run("call Form2.refem\nclick Form2.Command13\nexpect-error The solver is still running\n"
      "expect Form2 shown\n");
  EXPECT_EQ(file_text("fem_gr_jo.dat"), model_file);
  ::kill(static_cast<pid_t>(solver), SIGKILL);
}

TEST_F(AnalysisRun, RefemWithAMissingFileOrAnotherMeshLeavesTheWindowAsItWas) {
  build_model();
  run("click Form2.Command15\n");  // temp_save.dat, but no analysis model file yet
  run("call Form2.refem\nexpect-error fem_gr_jo.dat\n");
  EXPECT_EQ(f().model.bc_val(1, 9, 2, 3), -1000);
  EXPECT_EQ(f().model.n_node, 13);
  // The design grows by a box after the analysis model was written.
  write_model_file(f().model, f().analysis_settings());
  run("click Form2.Command14\nclick Form2.Option1\nclick Form2.Command1\nset Form2.Text10 500\n"
      "click Form2.Command2\nclick Form2.Command15\n");
  f().model.bc_flag(1, 2) = 1;
  f().model.bc_val(1, 2, 2, 1) = 7;
  run("call Form2.refem\nexpect-error Model does not match\n");
  EXPECT_EQ(f().model.n_gr, 3);
  EXPECT_EQ(f().model.bc_val(1, 2, 2, 1), 7);
  EXPECT_FALSE(f().design.frame->isHidden());
}

TEST_F(AnalysisRun, ReadAndReAnalysisThatCannotWriteTheSectionFileChangeNothing) {
  build_model();
  write_model_file(f().model, f().analysis_settings());
  run("click Form2.Command15\nclick Form2.Check3\nset Form2.Text31 25\n");
  // A folder at the name of the cross-section file's temporary copy: it cannot be replaced.
  fs::create_directory("cross_data_4th.dat.tmp." + std::to_string(getpid()));
  for (const char* step : {"click Form2.Command16\n", "call Form2.refem\n"}) {
    SCOPED_TRACE(step);
    run(std::string(step) + "expect-error Cannot write file (cross_data_4th.dat: a folder of that name is in the way)\n");
    EXPECT_EQ(f().model.bc_val(1, 9, 2, 3), -1000);
    EXPECT_EQ(f().model.n_node, 13);
    EXPECT_EQ(f().settings.max_diameter->text(), "25");
    EXPECT_FALSE(f().conditions.frame->isHidden());
  }
}

TEST_F(AnalysisRun, SaveThenReadRestoresTheDesignInTheDesignStage) {
  build_model();
  run("click Form2.Command15\n");
  run("click Form2.Command14\nclick Form2.Command1\nset Form2.Text7 999\nclick Form2.Command2\n");
  ASSERT_EQ(f().model.n_gr, 3);
  run("click Form2.Command16\nexpect Form2.Frame11 shown 1\nexpect Form2.Frame13 shown 0\n");
  ModelStore& m = f().model;
  EXPECT_EQ(m.n_gr, 2);
  EXPECT_EQ(m.bc_flag(1, 9), 0);
  EXPECT_EQ(m.case_no, 1);
  EXPECT_EQ(file_text("cross_data_4th.dat"), "    2\r\n    0    0\r\n    0    0\r\n");
}

// "Stop" asks a stand-in solver, which logs a cycle and waits for the request, to end.
TEST_F(AnalysisRun, StopEndsTheRunAndTheStatusFollows) {
  write_program("topo_nd",
                "printf 'run %s\\r\\n' \"$MARULLA_RUN_TOKEN\" > topo_run.log\n"
                "printf 'run %s\\r\\n' \"$MARULLA_RUN_TOKEN\" > post_pl.run\n"
                "printf 'cycle    1    5.10000E+03    3.00000E-01    1.00000E-01\\r\\n' >> topo_run.log\n"
                "i=0; while [ ! -f topo.stop ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
                "printf 'stopped by the user after 1 cycle\\r\\n' >> topo_run.log\n");
  build_model();
  run("click Form2.Check3\nclick Form2.Check5\nclick Form2.Command13\nexpect Form1 shown\n"
      "expect-state Form1 run_state \"running\"\nexpect Form1.Command20 shown 1\nclick Form1.Command20\n"
      "expect Form1.Command20 enabled 0\n"
      "expect Form1.Label60 text Stop asked: the run ends after the cycle under way and keeps the cycles done\n"
      "wait-run 20\nexpect Form1.Command20 shown 0\nexpect Form1.Label60 text The run has ended after the stop asked\n"
      "expect Form1.Label5 text Stopped by the user after 1 cycle: the results can be read with \"Read Data\".\n");
  EXPECT_TRUE(fs::exists("topo.stop"));
  // The post_small results stand in for the run's own.
  copy_result_set();
  run("click Form1.Command1\nexpect Form1.Label5 text Stopped by the user after 1 cycle: the results are read.\n");
}

// A stand-in for topo logs the run's failure and, as topo's window does, waits to be closed:
// once the post-processing window shows the failure, it is ended and collected. It was told to
// keep clear of the box of every control of that window, those still hidden included.
TEST_F(AnalysisRun, AFailedRunClosesTheSolverWindowAndLeavesNoZombie) {
  write_program("topo",
                "printf '%s\\n' \"$@\" > solver_arguments\n"
                "printf 'run %s\\r\\n' \"$MARULLA_RUN_TOKEN\" > topo_run.log\n"
                "printf 'failed after 0 cycles: no load in any load case\\r\\n' >> topo_run.log\n"
                "exec sleep 20\n");
  build_model();
  run("click Form2.Command13\nexpect Form1 shown\nwait-run 20\nexpect-state Form1 run_state \"failed\"\n"
      "expect Form1.Frame4 shown 1\n");
  const long long solver = last_solver_process();
  EXPECT_TRUE(wait_until([&] { return process_gone(solver); }));
  EXPECT_FALSE(child_running(solver));

  const QWidget& post = *Forms::find("Form1");
  int x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(std::sscanf(file_text("solver_arguments").c_str(), "--beside %*d,%*d,%*d,%*d --keep %d,%d,%d,%d", &x, &y, &w, &h), 4)
      << file_text("solver_arguments");
  const QRect keep(x, y, w, h);
  int controls = 0;
  for (const QWidget* c : post.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (c->isWindow()) continue;
    ++controls;
    EXPECT_TRUE(keep.contains(QRect(post.mapToGlobal(c->pos()), c->size()))) << c->objectName().toStdString();
  }
  EXPECT_GT(controls, 10);
  EXPECT_FALSE(keep.contains(post.mapToGlobal(QPoint(10, 300))));  // the picture is no control
}

// "Read" without a file changes nothing but the labels; "Save" and "Read" say what they did.
TEST_F(AnalysisRun, SaveAndReadSayWhatTheyDid) {
  run("click Form2.Command1\nclick Form2.Command2\nclick Form2.Command16\nexpect-error File not found\n");
  EXPECT_EQ(f().model.n_gr, 1);
  EXPECT_TRUE(f().procedure_label->isHidden());
  run("click Form2.Option2\nclick Form2.Command1\nclick Form2.Command2\n"
      "expect Form2.Label60 text Bar 2 kept (2 in the list)\n"
      "click Form2.Command15\nexpect-state Form2 status \"Saved 2 records to temp_save.dat\"\n"
      "click Form2.Command16\nexpect-state Form2 status \"Read 2 records from temp_save.dat\"\n");
}
