// The run log as the post-processing window reads it while the solver still writes it.
#include <gtest/gtest.h>

#include "analysis/run_log.h"
#include "support/test_support.h"

using namespace test_support;

TEST(RunLog, ALineBeingWrittenWaitsAndTheLastLineTellsHowItEnded) {
  WorkingDirectory dir;
  {
    RunLogWriter log;
    log.cycle({1, 1234.5, 0.05, 0.7});
  }
  write_file("partial.log", file_text(run_log_name) + "cycle    2    1.0");
  RunLog partial = read_run_log("partial.log");
  ASSERT_EQ(partial.cycles.size(), 1u);
  EXPECT_EQ(partial.cycles[0].compliance, 1234.5);
  EXPECT_EQ(run_status(partial, true).state, "running");
  EXPECT_EQ(run_status(partial, false).message, "The solver ended without finishing after 1 cycle.");

  {
    RunLogWriter log;
    log.cycle({1, 1234.5, 0.05, 0.7});
    log.end(RunEnd::failed, 1, "load case 2: the stiffness matrix is singular\nnode 3");
  }
  const RunLog failed = read_run_log();
  EXPECT_EQ(failed.end, RunEnd::failed);
  EXPECT_EQ(failed.cycles_done, 1);
  EXPECT_EQ(failed.reason, "load case 2: the stiffness matrix is singular node 3");
  EXPECT_EQ(run_status(failed, true).state, "failed");
  EXPECT_EQ(run_status(read_run_log("missing.log"), false).state, "failed");
}

// Once "Read Data" has read them, the status no longer offers the results to be read; other
// messages stay as they are.
TEST(RunLog, AStatusOnceTheResultsAreRead) {
  EXPECT_EQ(once_read("Finished after 12 cycles: the results can be read with \"Read Data\"."),
            "Finished after 12 cycles: the results are read.");
  EXPECT_EQ(once_read("The solver failed: no load in any load case"), "The solver failed: no load in any load case");
}
