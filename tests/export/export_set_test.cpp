// A table export's set of files (the table, its node table and its bill) killed at every step of
// its replacement: the next export of the same name finds the set whole, all old or all new; and
// what a killed export leaves is cleared by name, only where its writer is gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "base/run_files.h"
#include "export/force_tables.h"
#include "formats/fields.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using test_support::file_text;
using test_support::write_file;

namespace {

const std::vector<std::string> set_names = export_file_names("t.csv");

size_t kill_step = 0;  // the rename before which the writer of killed_export() is ended

// Exports the set with the given text in a child process that is ended before rename
// `kill_step` (the number of files: after the last rename, before the set is final); returns
// the child's id, a process that is gone.
pid_t killed_export(const std::string& text) {
  const pid_t child = ::fork();
  if (child == 0) {
    before_commit_rename = [](size_t k) {
      if (k == kill_step) ::_exit(9);
    };
    DataFileWriter table(set_names[0]), nodes(set_names[1]), bill(set_names[2]);
    for (DataFileWriter* w : {&table, &nodes, &bill}) w->line(text);
    commit_together({&table, &nodes, &bill});
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

// What the next export of the name does first.
void clear_for_next_export() {
  for (const std::string& name : set_names) remove_stale_temp_files(name);
}

size_t file_count() { return static_cast<size_t>(std::distance(fs::directory_iterator("."), {})); }

TEST(ExportSet, AKillAtAnyRenameLeavesTheSetAllOld) {
  for (kill_step = 0; kill_step <= set_names.size(); ++kill_step)
    for (const bool earlier : {true, false}) {
      SCOPED_TRACE("killed before rename " + std::to_string(kill_step) + (earlier ? ", over an earlier set" : ""));
      test_support::WorkingDirectory dir;
      if (earlier)
        for (const std::string& name : set_names) write_file(name, "old\r\n");
      killed_export("new");
      clear_for_next_export();
      for (const std::string& name : set_names) {
        if (earlier) EXPECT_EQ(file_text(name), "old\r\n") << name;
        else EXPECT_FALSE(fs::exists(name)) << name;
      }
      EXPECT_EQ(file_count(), earlier ? 3u : 0u);
    }
}

TEST(ExportSet, AnExportThatEndsReplacesTheWholeSetAndLeavesNothingElse) {
  test_support::WorkingDirectory dir;
  for (const std::string& name : set_names) write_file(name, "old\r\n");
  kill_step = set_names.size() + 1;  // never
  killed_export("new");
  clear_for_next_export();
  for (const std::string& name : set_names) EXPECT_EQ(file_text(name), "new\r\n") << name;
  EXPECT_EQ(file_count(), 3u);
}

// Only the exact names of this program's temporary files go, and only when their writer is gone.
TEST(ExportSet, LeftoversOfAnEndedWriterGoByTheirExactName) {
  test_support::WorkingDirectory dir;
  kill_step = 0;
  const std::string gone = std::to_string(killed_export("new"));
  const std::string alive = std::to_string(::getpid());
  const std::vector<std::string> removed{"r.pdf.tmp." + gone, "r.pdf.tmp." + gone + ".old"};
  const std::vector<std::string> kept{"r.pdf.tmp." + alive, "r.pdf.tmp.notes", "r.pdf.tmp." + gone + "x", "r.pdf.tmp.old"};
  for (const std::string& name : removed) write_file(name, "x");
  for (const std::string& name : kept) write_file(name, "x");
  remove_stale_temp_files("r.pdf");
  for (const std::string& name : removed) EXPECT_FALSE(fs::exists(name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
  // The set the killed writer left (its temporary files and old ones, nothing replaced yet).
  EXPECT_GT(file_count(), 4u);
  clear_for_next_export();
  EXPECT_EQ(file_count(), 4u);
}

}  // namespace
