// The identity of a run: the directory's lock that the program takes and passes to the solver
// it starts, the child followed by its handle rather than by a process id, the run's token, and
// the clean-up of what killed writers leave.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "analysis/temp_file.h"
#include "base/processes.h"
#include "base/run_files.h"
#include "base/run_log.h"
#include "formats/fields.h"
#include "support/test_support.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

// A process id that no process has any more.
long long dead_pid() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

bool wait_until(const std::function<bool()>& done) {
  for (int i = 0; i < 200 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return done();
}

// A stand-in solver: says which token it got, then waits to be killed.
fs::path stand_in() {
  write_file("stand_in", "#!/bin/sh\necho \"$MARULLA_RUN_TOKEN\" > token_seen\nexec sleep 20\n");
  fs::permissions("stand_in", fs::perms::owner_all);
  return fs::absolute("stand_in");
}

}  // namespace

// The program's lock passes to the child it starts: while the child lives, nobody else gets
// the directory, and its end (whatever the system then says about its process id) frees it.
TEST(RunIdentity, TheLockPassesToTheStartedSolverAndEndsWithIt) {
  WorkingDirectory dir;
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
  EXPECT_EQ(lock_holder(), 0);
  EXPECT_EQ(second.take(), 0);
  EXPECT_FALSE(child_running(getppid()));  // no child of start_child
}

TEST(RunIdentity, ASolverThatCannotStartLeavesTheLockWithTheProgram) {
  WorkingDirectory dir;
  write_file("not_a_program", "plain text\n");
  DirectoryLock lock;
  ASSERT_EQ(lock.take(), 0);
  EXPECT_NE(error_of([&] { start_child(fs::absolute("not_a_program"), {}, {}, lock.descriptor()); }).find("Cannot start the solver"),
            std::string::npos);
  EXPECT_EQ(lock_holder(), static_cast<long long>(getpid()));
}

TEST(RunIdentity, TokensAreFreshAndTheirCompanionReadsBack) {
  WorkingDirectory dir;
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

// Where a solver run cleans up: the temporary files of every file of the program and of the
// exports in the folder whose writer has ended; a live writer's and other files stay.
TEST(RunIdentity, KilledWritersTemporaryFilesAreCleanedAtTheNextRun) {
  WorkingDirectory dir;
  const std::string dead = std::to_string(dead_pid()), live = std::to_string(getpid());
  const std::vector<std::string> gone = {"temp_save.dat.tmp." + dead, "fem_gr_jo.dat.tmp." + dead,
                                         "cross_data_4th.dat.tmp." + dead, "post_pl.dat.tmp." + dead + ".cycles",
                                         "frame.stl.tmp." + dead, "Frame Copy.CSV.tmp." + dead, "post_pl.dat.tmp"};
  const std::vector<std::string> kept = {"temp_save.dat.tmp." + live, "frame.dxf.tmp." + live, "notes.txt.tmp." + dead,
                                         "frame.stl.tmp.12x", "frame.stl"};
  for (const auto& name : gone) write_file(name, "half");
  for (const auto& name : kept) write_file(name, "kept");
  remove_stale_run_temp_files();
  for (const auto& name : gone) EXPECT_FALSE(fs::exists(name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
}

// Every legal name can be written: a temporary name that would pass 255 bytes is cut short,
// at a whole character, with a hash that tells long names with the same start apart.
TEST(RunIdentity, TemporaryNamesOfLongNamesFitTheFileSystem) {
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

  WorkingDirectory dir;
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

// A file of the run that is a pipe would stop its writer for ever; it is refused at once.
TEST(RunIdentity, OutputsThatAreNoRegularFileAreRefusedAtOnce) {
  WorkingDirectory dir;
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  fs::create_directory("folder");
  EXPECT_EQ(error_of([] { RunLogWriter log("pipe"); }), "Cannot write file (pipe: not a regular file)");
  EXPECT_EQ(error_of([] { RunLogWriter log("folder"); }), "Cannot write file (folder: not a regular file)");
  EXPECT_EQ(error_of([] { DirectoryLock lock; lock.take("pipe"); }), "Cannot write file (pipe: not a regular file)");
}

// In a folder that cannot be written the cross-section file was never made: "Save" says that
// the folder cannot be written, not that a file is missing.
TEST(RunIdentity, SavingInAFolderThatCannotBeWrittenSaysSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes in any folder";
  WorkingDirectory dir;
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

