// The run log as the post-processing window reads it while the solver still writes it.
#include <gtest/gtest.h>

#include "base/run_log.h"
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
  // A run killed before its result file was first written has logged cycles but kept none.
  EXPECT_EQ(run_status(partial, false).message, "The solver ended without finishing; no cycle was written.");
  EXPECT_EQ(run_status(partial, false).cycle, 0);
  {
    RunLogWriter log;
    for (int c = 1; c <= 3; ++c) log.cycle({c, 1000.0 / c, 0.05, 0.1});
    log.written(2);
    log.cycle({4, 250, 0.05, 0.1});
  }
  const RunLog killed = read_run_log();
  EXPECT_EQ(killed.cycles.size(), 4u);
  EXPECT_EQ(killed.cycles_written, 2);
  EXPECT_EQ(run_status(killed, false).message, "The solver ended without finishing after 2 cycles.");

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

// Each cycle line carries the penalty in force; a line written before there was one reads as 0.
TEST(RunLog, TheCycleLineCarriesThePenaltyAndOlderLinesStillRead) {
  WorkingDirectory dir;
  {
    RunLogWriter log;
    log.cycle({41, 52.5, 0.05, 0.02, 1.5});
  }
  write_file("old.log", "cycle    1    1.00000E+00    1.00000E-01    0.00000E+00\r\n");
  const RunLog now = read_run_log(), old = read_run_log("old.log");
  ASSERT_EQ(now.cycles.size(), 1u);
  EXPECT_EQ(now.cycles[0].cycle, 41);
  EXPECT_EQ(now.cycles[0].penalty, 1.5);
  EXPECT_EQ(now.cycles[0].change, 0.02);
  ASSERT_EQ(old.cycles.size(), 1u);
  EXPECT_EQ(old.cycles[0].compliance, 1.0);
  EXPECT_EQ(old.cycles[0].penalty, 0.0);
}

// Once "Read Data" has read them, the status no longer offers the results to be read.
TEST(RunLog, AStatusOnceTheResultsAreRead) {
  EXPECT_EQ(once_read("Finished after 12 cycles: the results can be read with \"Read Data\"."),
            "Finished after 12 cycles: the results are read.");
  EXPECT_EQ(once_read("The solver failed: no load in any load case"), "The solver failed: no load in any load case");
}

// A window that follows a run reads only its log, not another run's nor one started by hand.
TEST(RunLog, ATokenKeepsAWindowToItsOwnRun) {
  WorkingDirectory dir;
  {
    RunLogWriter log(run_log_name, "00000000000000aa");
    log.cycle({1, 10, 0.1, 0.5});
    log.end(RunEnd::finished, 1);
  }
  EXPECT_EQ(read_run_log().token, "00000000000000aa");
  EXPECT_EQ(read_run_log(run_log_name, "00000000000000aa").end, RunEnd::finished);
  const RunLog other = read_run_log(run_log_name, "00000000000000bb");
  EXPECT_EQ(other.end, RunEnd::none);
  EXPECT_TRUE(other.cycles.empty());
  {
    RunLogWriter by_hand;
    by_hand.end(RunEnd::finished, 3);
  }
  EXPECT_EQ(read_run_log(run_log_name, "00000000000000aa").end, RunEnd::none);
  EXPECT_EQ(read_run_log().cycles_done, 3);  // a window that follows no run reads any
}
