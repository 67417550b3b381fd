// The analysis run through the windows: "Analysis" writes both files, starts the solver and
// hands over to the post-processing window; refem brings the model back; "Save" and "Read".
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/form2.h"
#include "app/forms.h"
#include "support/window_test.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {
class AnalysisRun : public WindowTest {
 protected:
  AnalysisRun() { run("click frmSplash.Command1\n"); }
  Form2& f() { return Forms::form2(); }

  // One box 2 x 1 x 1 and a design bar, in the boundary-condition stage, with conditions in
  // cases 1 and 3 and a spring only in case 2.
  void build_model() {
    run("click Form2.Command1\nset Form2.Text13 2\nclick Form2.Command2\n"
        "click Form2.Option2\nclick Form2.Command1\nset Form2.Text12 200\nclick Form2.Command2\n"
        "click Form2.Command12\n");
    ModelStore& m = f().model;
    ASSERT_EQ(m.n_node, 14);
    for (int node : {1, 2, 3}) {
      m.bc_flag(1, node) = 1;
      for (int d = 1; d <= 6; ++d) m.bc_val(1, node, 1, d) = 1;
    }
    m.bc_flag(1, 9) = 1;
    m.bc_val(1, 9, 2, 3) = -1000;
    m.bc_flag(2, 4) = 1;
    m.spring_val(2, 4, 1) = 50;
    m.bc_flag(3, 1) = 1;
    for (int d = 1; d <= 6; ++d) m.bc_val(3, 1, 1, d) = 1;
    m.bc_flag(3, 10) = 1;
    m.bc_val(3, 10, 2, 2) = 250;
  }
};

bool wait_for(const fs::path& path) {
  for (int i = 0; i < 100 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return fs::exists(path);
}
}  // namespace

TEST_F(AnalysisRun, AnalysisWritesTheFilesStartsTheSolverAndHandsOver) {
  // A stand-in solver in the working directory is found before the real one.
  write_file("topo_nd", "#!/bin/sh\necho started > solver_ran\n");
  fs::permissions("topo_nd", fs::perms::owner_all);
  build_model();
  run("click Form2.Check3\nset Form2.Text31 25\nclick Form2.Check5\nclick Form2.Command13\n"
      "expect Form2 unloaded\nexpect Form1 shown\n");
  EXPECT_TRUE(errors().empty()) << errors().front();
  EXPECT_TRUE(fs::exists("fem_gr_jo.dat"));
  EXPECT_TRUE(fs::exists("temp_save.dat"));
  EXPECT_TRUE(wait_for("solver_ran"));
  const ModelFile file = read_model_file();
  // Cases 1 and 3 carry constraints or loads; case 2, a spring only, writes no block.
  EXPECT_EQ(file.cases.size(), 2u);
  EXPECT_EQ(file.settings.max_diameter, 25);
  EXPECT_EQ(file.settings.display, 0);

  // The post-processing window's way back: the modelling window again, then refem.
  Forms::unload("Form1");
  Forms::show("Form2");
  run("call Form2.refem\n");
  ModelStore& m = f().model;
  EXPECT_FALSE(f().Frame13->isHidden());
  EXPECT_TRUE(f().Frame11->isHidden());
  EXPECT_TRUE(f().Label29->isHidden());
  EXPECT_EQ(m.n_gr, 2);
  EXPECT_EQ(m.n_node, 14);
  // The written cases come back renumbered 1 and 2.
  EXPECT_EQ(m.mx_case, 2);
  EXPECT_EQ(m.bc_val(1, 9, 2, 3), -1000);
  EXPECT_EQ(m.bc_val(2, 10, 2, 2), 250);
  EXPECT_EQ(m.bc_val(2, 1, 1, 6), 1);
  EXPECT_EQ(m.spring_val(2, 4, 1), 0);
  EXPECT_EQ(f().Text31->text(), "25");
  EXPECT_FALSE(f().Check5->isChecked());
  EXPECT_TRUE(errors().empty());
}

TEST_F(AnalysisRun, RefemWithAMissingFileLeavesTheWindowAsItWas) {
  build_model();
  run("click Form2.Command15\n");  // temp_save.dat, but no analysis model file yet
  run("call Form2.refem\nexpect-error fem_gr_jo.dat\n");
  EXPECT_EQ(f().model.bc_val(1, 9, 2, 3), -1000);
  EXPECT_EQ(f().model.n_node, 14);
}

TEST_F(AnalysisRun, RefemWithTheFileOfAnotherMeshLeavesTheWindowAsItWas) {
  build_model();
  write_model_file(f().model, f().analysis_settings());
  // The design grows by a box after the analysis model was written.
  run("click Form2.Command14\nclick Form2.Option1\nclick Form2.Command1\nset Form2.Text10 500\n"
      "click Form2.Command2\nclick Form2.Command15\n");
  f().model.bc_flag(1, 2) = 1;
  f().model.bc_val(1, 2, 2, 1) = 7;
  run("call Form2.refem\nexpect-error Model does not match\n");
  EXPECT_EQ(f().model.n_gr, 3);
  EXPECT_EQ(f().model.bc_val(1, 2, 2, 1), 7);
  EXPECT_FALSE(f().Frame11->isHidden());
}

TEST_F(AnalysisRun, ReadAndReAnalysisThatCannotWriteTheSectionFileChangeNothing) {
  build_model();
  write_model_file(f().model, f().analysis_settings());
  run("click Form2.Command15\nclick Form2.Check3\nset Form2.Text31 25\n");
  // A folder holds the name of the cross-section file's temporary copy: the file cannot be
  // replaced, whoever runs the test.
  fs::create_directory("cross_data_4th.dat.tmp");
  for (const char* step : {"click Form2.Command16\n", "call Form2.refem\n"}) {
    SCOPED_TRACE(step);
    run(std::string(step) + "expect-error Cannot write file (cross_data_4th.dat)\n");
    EXPECT_EQ(f().model.bc_val(1, 9, 2, 3), -1000);
    EXPECT_EQ(f().model.n_node, 14);
    EXPECT_EQ(f().Text31->text(), "25");
    EXPECT_FALSE(f().Frame13->isHidden());
  }
}

TEST_F(AnalysisRun, SaveThenReadRestoresTheDesignInTheDesignStage) {
  build_model();
  f().model.gr_apex(1, 3, 2) = 4.5f;
  run("click Form2.Command15\n");
  run("click Form2.Command14\nclick Form2.Command1\nset Form2.Text7 999\nclick Form2.Command2\n");
  ASSERT_EQ(f().model.n_gr, 3);
  run("click Form2.Command16\nexpect Form2.Frame11 shown 1\nexpect Form2.Frame13 shown 0\n"
      "expect Form2.Text12 text 200\nexpect Form2.Option4 checked 1\n");
  ModelStore& m = f().model;
  EXPECT_EQ(m.n_gr, 2);
  EXPECT_EQ(m.gr_div(1, 1), 2);
  EXPECT_EQ(m.gr_div(2, 4), 2);
  EXPECT_EQ(m.gr_apex(1, 3, 2), 4.5f);
  EXPECT_EQ(m.bc_flag(1, 9), 0);
  EXPECT_EQ(m.case_no, 1);
  EXPECT_EQ(file_text("cross_data_4th.dat"), "    2\r\n    0    0\r\n    0    0\r\n");
}

TEST_F(AnalysisRun, ReadWithoutAFileChangesNothingButTheLabels) {
  run("click Form2.Command1\nclick Form2.Command2\nclick Form2.Command16\nexpect-error File not found\n");
  EXPECT_EQ(f().model.n_gr, 1);
  EXPECT_TRUE(f().Label29->isHidden());
}
