// The identity of a run: the solver program found, the directory's lock that the program takes and
// passes to the solver it starts, the child followed by its handle rather than by a process id,
// the run's token, the clean-up of what killed writers leave, and the run log as the
// post-processing window reads it while the solver still writes it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/solver_start.h"
#include "analysis/temp_file.h"
#include "base/processes.h"
#include "base/run_files.h"
#include "base/run_log.h"
#include "formats/fields.h"
#include "support/test_support.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {
// A stand-in solver: says which token it got, then waits to be killed.
fs::path stand_in() {
  write_program("stand_in", "echo \"$MARULLA_RUN_TOKEN\" > token_seen\nexec sleep 20\n");
  return fs::absolute("stand_in");
}

// Each test in a fresh working directory.
class RunIdentity : public ::testing::Test {
 protected:
  WorkingDirectory dir_;
};
using RunLogs = RunIdentity;
}  // namespace

// While the child the lock passed to lives nobody else gets the directory; its end frees it.
TEST_F(RunIdentity, TheLockPassesToTheStartedSolverAndEndsWithIt) {
  DirectoryLock lock;
  ASSERT_EQ(lock.take(), 0);
  const long long child =
      start_child(stand_in(), {}, {std::string(run_token_variable) + "=0123456789abcdef",
                               std::string(lock_fd_variable) + "=" + std::to_string(lock.descriptor())},
                  lock.descriptor());
  lock.hand_over(child);
  EXPECT_EQ(lock.descriptor(), -1);
  ASSERT_TRUE(wait_until([] { return fs::exists("token_seen") && file_text("token_seen") == "0123456789abcdef\n"; }));
  EXPECT_TRUE(child_running(child));
  EXPECT_EQ(lock_holder(), child);
  DirectoryLock second;  // a second program pressing "Analysis" now
  EXPECT_EQ(second.take(), child);

  // As if the id were taken by another process at once: the handle is not fooled.
  set_process_probe_for_tests([](long long) { return true; });
  ::kill(static_cast<pid_t>(child), SIGKILL);
  EXPECT_TRUE(wait_until([&] { return !child_running(child); }));
  EXPECT_FALSE(child_running(child));  // collected: stays ended
  EXPECT_TRUE(process_running(child));  // what an id alone would have said
  set_process_probe_for_tests({});
  // Until its window has seen the run end, the program keeps the directory, and is named as
  // the holder rather than the ended solver the file names.
  EXPECT_EQ(lock_holder(), static_cast<long long>(getpid()));
  EXPECT_EQ(second.take(), static_cast<long long>(getpid()));
  let_go_of_run_lock();
  EXPECT_FALSE(fs::exists(run_lock_name));
  EXPECT_EQ(lock_holder(), 0);
  EXPECT_EQ(second.take(), 0);
  EXPECT_FALSE(child_running(getppid()));  // no child of start_child
}

// A child is collected when it ends, though nobody asks after it: no zombie is left. Asked to
// end, a running child ends; an id that is no child of start_child is left alone.
TEST_F(RunIdentity, ChildrenAreCollectedWhenTheyEnd) {
  const long long quick = start_child("/bin/sh", {"-c", "exit 3"}, {});
  EXPECT_TRUE(wait_until([&] { return process_gone(quick); }));
  EXPECT_FALSE(child_running(quick));
  const long long waiting = start_child(stand_in(), {}, {});
  EXPECT_TRUE(child_running(waiting));
  end_child(waiting);
  EXPECT_TRUE(wait_until([&] { return process_gone(waiting); }));
  EXPECT_FALSE(child_running(waiting));
  end_child(getppid());
  EXPECT_TRUE(process_running(getppid()));
}

TEST_F(RunIdentity, ASolverThatCannotStartLeavesTheLockWithTheProgram) {
  write_file("not_a_program", "plain text\n");
  DirectoryLock lock;
  ASSERT_EQ(lock.take(), 0);
  EXPECT_NE(error_of([&] { start_child(fs::absolute("not_a_program"), {}, {}, lock.descriptor()); }).find("Cannot start the solver"),
            std::string::npos);
  EXPECT_EQ(lock_holder(), static_cast<long long>(getpid()));
}

TEST_F(RunIdentity, TokensAreFreshAndTheirCompanionReadsBack) {
  const std::string a = new_run_token(), b = new_run_token();
  EXPECT_EQ(a.size(), 16u);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(a, b);
  EXPECT_EQ(read_run_token(), "");
  write_run_token(a);
  EXPECT_EQ(read_run_token(), a);
  EXPECT_EQ(file_text(run_token_name), "run " + a + "\r\n");
  write_file(run_token_name, "something else\r\n");
  EXPECT_EQ(read_run_token(), "");
}

// A descriptor handed down that is open on another file: the lock is taken afresh, the file left alone.
TEST_F(RunIdentity, AnInheritedDescriptorOfAnotherFileIsNotTheLock) {
  write_file("notes.txt", "mine");
  const int other = ::open("notes.txt", O_RDWR);
  ASSERT_GE(other, 0);
  ::setenv(lock_fd_variable, std::to_string(other).c_str(), 1);
  DirectoryLock lock;
  EXPECT_EQ(lock.take(), 0);
  ::unsetenv(lock_fd_variable);
  ::close(other);
  EXPECT_EQ(file_text("notes.txt"), "mine");
  EXPECT_EQ(lock_holder(), static_cast<long long>(getpid()));
}

// The temporary files of the program's files and exports whose writer has ended go; others stay.
TEST_F(RunIdentity, KilledWritersTemporaryFilesAreCleanedAtTheNextRun) {
  const std::string dead = std::to_string(dead_pid()), live = std::to_string(getpid());
  const std::vector<std::string> gone = {"temp_save.dat.tmp." + dead, "fem_gr_jo.dat.tmp." + dead,
                                         "cross_data_4th.dat.tmp." + dead, "post_pl.dat.tmp." + dead + ".cycles",
                                         "frame.stl.tmp." + dead, "Frame Copy.CSV.tmp." + dead, "a.dxf.tmp." + dead,
                                         "post_pl.dat.tmp"};
  // A live process of another program has taken the id of a killed writer.
  const long long other = start_child("/bin/sleep", {"20"}, {});
  const std::vector<std::string> kept = {"temp_save.dat.tmp." + live, "frame.dxf.tmp." + live, "notes.txt.tmp." + dead,
                                         "frame.stl.tmp.12x", "frame.stl", "temp_save.dat.tmp.old",
                                         "fem_gr_jo.dat.tmp.my-notes", "post_pl.dat.tmp." + dead + "x", ".csv.tmp." + dead};
  write_file("fem_gr_jo.dat.tmp." + std::to_string(other), "half");
  for (const auto& name : gone) write_file(name, "half");
  for (const auto& name : kept) write_file(name, "kept");
  remove_stale_run_temp_files();
  ::kill(static_cast<pid_t>(other), SIGKILL);
  EXPECT_TRUE(wait_until([&] { return !child_running(other); }));
  EXPECT_FALSE(fs::exists("fem_gr_jo.dat.tmp." + std::to_string(other)));
  for (const auto& name : gone) EXPECT_FALSE(fs::exists(name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
}

// Every legal name can be written: a temporary name that would pass 255 bytes is cut short,
// at a whole character, with a hash that tells long names with the same start apart.
TEST_F(RunIdentity, TemporaryNamesOfLongNamesFitTheFileSystem) {
  EXPECT_EQ(temp_file_prefix("post_pl.dat"), "post_pl.dat.tmp");
  EXPECT_EQ(temp_file_path("dir/post_pl.dat", 42), "dir/post_pl.dat.tmp.42");
  const std::string long_a = std::string(240, 'a') + ".stl", long_b = std::string(240, 'a') + "b.stl";
  const std::string pa = temp_file_prefix(long_a), pb = temp_file_prefix(long_b);
  EXPECT_NE(pa, pb);
  EXPECT_LE(pa.size() + 1 + 10 + 7, 255u);
  EXPECT_EQ(pa.compare(0, 200, long_a, 0, 200), 0);
  // Two-byte characters are never split.
  std::string accents;
  for (int i = 0; i < 125; ++i) accents += "\xc3\xa9";  // 250 bytes of "é"
  const std::string cut = temp_file_prefix(accents + ".dxf");
  const size_t tilde = cut.find('~');
  ASSERT_NE(tilde, std::string::npos);
  EXPECT_EQ(tilde % 2, 0u);

  for (size_t length : {size_t(246), size_t(251), size_t(255)}) {
    const std::string name = std::string(length - 4, 'x') + ".csv";
    DataFileWriter out(name);
    out.line("a,b");
    out.commit();
    EXPECT_EQ(file_text(name), "a,b\r\n") << length;
    fs::remove(name);
  }
  EXPECT_TRUE(fs::is_empty("."));
}

// Each file the program and its solvers write: a link there (to a file outside, or to none), a
// pipe or a folder is refused at once, naming it, and what a link points to is left as it was.
TEST_F(RunIdentity, WrittenFilesRefuseLinksPipesFoldersAndDevices) {
  fs::create_directory("outside");
  write_file("outside/victim", "keep me\n");
  write_file(section_file_name, "    0\r\n");
  const struct {
    const char* name;
    std::function<void()> write;
  } writers[] = {
      {run_lock_name, [] { DirectoryLock lock; lock.take(); }},
      {run_stop_name, [] { ask_run_to_stop("00000000000000aa"); }},
      {run_log_name, [] { RunLogWriter log; }},
      {run_token_name, [] { write_run_token("00000000000000aa"); }},
      {temp_file_name, [] { ModelStore m; SectionTable t; save_design(m, t); }},
      {"frame.csv", [] { DataFileWriter out("frame.csv"); out.line("a,b"); out.commit(); }},
  };
  const struct {
    const char* kind;
    std::function<void(const char*)> plant;
  } planted[] = {
      {"a symbolic link", [](const char* n) { fs::create_symlink(fs::absolute("outside/victim"), n); }},
      {"a symbolic link", [](const char* n) { fs::create_symlink(fs::absolute("outside/new"), n); }},
      {"a named pipe", [](const char* n) { ASSERT_EQ(::mkfifo(n, 0644), 0); }},
      {"a folder", [](const char* n) { fs::create_directories(fs::path(n) / "inside"); }},
  };
  for (const auto& w : writers)
    for (const auto& p : planted) {
      SCOPED_TRACE(std::string(w.name) + " as " + p.kind);
      p.plant(w.name);
      const std::string message = error_of(w.write);
      EXPECT_NE(message.find("Cannot write file (" + std::string(w.name) + ": "), std::string::npos) << message;
      EXPECT_EQ(file_text("outside/victim"), "keep me\n");
      EXPECT_FALSE(fs::exists("outside/new"));
      fs::remove_all(w.name);
    }
}

// The files the window reads while a run goes on never keep it waiting or fill its memory:
// a pipe, a device, a folder or a link at the log, the token, the stop request or the lock.
TEST_F(RunIdentity, RunFilesThatAreNoRegularFileAreReadAsNothing) {
  const auto started = std::chrono::steady_clock::now();
  for (const char* kind : {"pipe", "zero", "folder"}) {
    SCOPED_TRACE(kind);
    for (const char* name : {run_log_name, run_token_name, run_stop_name, run_lock_name}) {
      if (kind == std::string("pipe")) {
        ASSERT_EQ(::mkfifo(name, 0644), 0);
      }
      if (kind == std::string("zero")) fs::create_symlink("/dev/zero", name);
      if (kind == std::string("folder")) fs::create_directory(name);
    }
    const RunLog log = read_run_log();
    EXPECT_NE(log.problem.find("Not a data file (topo_run.log: a"), std::string::npos) << log.problem;
    EXPECT_EQ(run_status(log, false).message, "The solver has ended; its log cannot be read: " + log.problem);
    EXPECT_EQ(read_run_token(), "");
    EXPECT_TRUE(run_stop_asked("00000000000000aa"));  // there, though never read
    EXPECT_EQ(lock_holder(), 0);
    for (const char* name : {run_log_name, run_token_name, run_stop_name, run_lock_name}) fs::remove(name);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

// A stop request names its run: a "Stop" pressed before the solver has started stays for it,
// a request of another run stops nothing and goes at the next start.
TEST_F(RunIdentity, AStopRequestBelongsToItsRun) {
  ask_run_to_stop("00000000000000aa");
  EXPECT_EQ(file_text(run_stop_name), "stop 00000000000000aa\r\n");
  EXPECT_TRUE(run_stop_asked("00000000000000aa"));
  EXPECT_TRUE(run_stop_asked(""));  // a run started by hand heeds any
  EXPECT_FALSE(run_stop_asked("00000000000000bb"));
  remove_stop_requests_of_others("00000000000000aa");
  EXPECT_TRUE(run_stop_asked("00000000000000aa"));
  remove_stop_requests_of_others("00000000000000bb");
  EXPECT_FALSE(fs::exists(run_stop_name));
  for (const char* by_hand : {"stop\n", ""}) {  // for whatever runs
    write_file(run_stop_name, by_hand);
    EXPECT_TRUE(run_stop_asked("00000000000000bb"));
  }
}

TEST_F(RunIdentity, AnalysisTakesTheLockOrIsRefused) {
  {
    DirectoryLock other;
    ASSERT_EQ(other.take(), 0);
    DirectoryLock lock;
    EXPECT_EQ(error_of([&] { take_lock_for_run(lock, 0, ""); }),
              "The solver is still running (process " + std::to_string(getpid()) + ", wait until it has finished)");
  }
  DirectoryLock lock;
  take_lock_for_run(lock, 0, "");
  EXPECT_EQ(lock_holder(), static_cast<long long>(getpid()));
}

// A lock file naming a dead process, a live one without the file open, or an id out of range
// names no holder: the process that holds the lock is given instead.
TEST_F(RunIdentity, TheLockNamesItsRealHolder) {
  const long long other = start_child("/bin/sleep", {"20"}, {});
  write_file(run_lock_name, "");
  const int fd = ::open(run_lock_name, O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  for (const std::string& named : {std::to_string(dead_pid()), std::to_string(other), std::string(40, '7')}) {
    write_file(run_lock_name, named + "\n");
    EXPECT_EQ(lock_holder(), static_cast<long long>(getpid())) << named;
  }
  DirectoryLock lock;
  EXPECT_EQ(lock.take(), static_cast<long long>(getpid()));
  ::close(fd);
  EXPECT_EQ(lock.take(), 0);
  ::kill(static_cast<pid_t>(other), SIGKILL);
  EXPECT_TRUE(wait_until([&] { return !child_running(other); }));
}

// In a folder that cannot be written the cross-section file was never made: "Save" says that
// the folder cannot be written, not that a file is missing.
TEST_F(RunIdentity, SavingInAFolderThatCannotBeWrittenSaysSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes in any folder";
  fs::create_directory("locked");
  fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec);
  ModelStore m;
  SectionTable sections;
  const std::string message =
      error_of([&] { save_design(m, sections, "locked/temp_save.dat", "locked/cross_data_4th.dat"); });
  fs::permissions("locked", fs::perms::owner_all);
  EXPECT_EQ(message, "Cannot write file (locked cannot be written, so cross_data_4th.dat was never made there: "
                     "work in a folder you can write to)");
  EXPECT_EQ(error_of([&] { save_design(m, sections, "locked/temp_save.dat", "locked/cross_data_4th.dat"); }),
            "File not found (locked/cross_data_4th.dat)");
}

TEST(SolverStart, DisplaySwitchChoosesTheProgram) {
  EXPECT_EQ(solver_program_name(1), "topo");
  EXPECT_EQ(solver_program_name(0), "topo_nd");
  EXPECT_EQ(solver_program_name(2), "topo_nd");
}

TEST(SolverStart, WorkingDirectoryFirstThenBesideTheProgram) {
  WorkingDirectory dir;
  fs::create_directories("project");
  fs::create_directories("bin");
  write_file("bin/topo_nd", "");
  EXPECT_EQ(find_solver("topo_nd", "project", "bin"), fs::path("bin/topo_nd"));
  write_file("project/topo_nd", "");
  EXPECT_EQ(find_solver("topo_nd", "project", "bin"), fs::path("project/topo_nd"));
  EXPECT_EQ(error_of([] { find_solver("topo", "project", "bin"); }),
            "File not found (project/topo or bin/topo)");
}

TEST_F(RunLogs, ALineBeingWrittenWaitsAndTheLastLineTellsHowItEnded) {
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
TEST_F(RunLogs, TheCycleLineCarriesThePenaltyAndOlderLinesStillRead) {
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
TEST_F(RunLogs, AStatusOnceTheResultsAreRead) {
  EXPECT_EQ(once_read("Finished after 12 cycles: the results can be read with \"Read Data\"."),
            "Finished after 12 cycles: the results are read.");
  EXPECT_EQ(once_read("The solver failed: no load in any load case"), "The solver failed: no load in any load case");
}

// A window that follows a run reads only its log, not another run's nor one started by hand.
TEST_F(RunLogs, ATokenKeepsAWindowToItsOwnRun) {
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
