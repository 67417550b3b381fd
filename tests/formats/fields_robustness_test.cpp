// The data-file reader refuses, by name and before reading, what is not a data file or is far
// larger than any file the capacities allow, and every reader goes through it.
// The data-file writer on a full disk (a small file-size limit): the failure is reported and
// the previous file stays whole, whether it shows while lines are written or only at commit.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "formats/fields.h"
#include "support/robustness.h"
#include "support/test_support.h"

using namespace test_support;

TEST(DataFileWriterRobustness, FullDiskKeepsThePreviousFile) {
  WorkingDirectory dir;
  write_file("out.dat", "previous\r\n");
  const std::string failed = "Cannot write file (out.dat: the file would be larger than the system allows)";
  const std::string line(99, 'x');

  // 10 kB through the stream's buffer: the disk fills while lines are still being written,
  // and a later commit cannot pretend otherwise.
  EXPECT_EQ(error_under_file_limit(1000,
                                   [&] {
                                     DataFileWriter out("out.dat");
                                     try {
                                       for (int i = 0; i < 100; ++i) out.line(line);
                                     } catch (const RunTimeError&) {
                                       out.commit();
                                     }
                                   }),
            failed);
  EXPECT_EQ(file_text("out.dat"), "previous\r\n");
  EXPECT_FALSE(temp_file_left("out.dat"));

  // 500 bytes stay in the buffer until commit, where the disk refuses them.
  EXPECT_EQ(error_under_file_limit(100,
                                   [&] {
                                     DataFileWriter out("out.dat");
                                     for (int i = 0; i < 5; ++i) out.line(line);
                                     out.commit();
                                   }),
            failed);
  EXPECT_EQ(file_text("out.dat"), "previous\r\n");
  EXPECT_FALSE(temp_file_left("out.dat"));
}

TEST(DataFileReaderRobustness, OnlyRegularFilesOfAPlausibleSizeAreRead) {
  WorkingDirectory dir;
  std::filesystem::create_directory("folder.dat");
  ASSERT_EQ(::mkfifo("pipe.dat", 0600), 0);  // opening it would wait for a writer for good
  std::filesystem::create_symlink("/dev/zero", "zero.dat");  // endless
  std::ofstream("huge.dat").close();
  std::filesystem::resize_file("huge.dat", max_data_file_bytes + 1);  // sparse: no disk used
  std::ofstream("largest.dat").close();
  std::filesystem::resize_file("largest.dat", max_data_file_bytes);
  std::filesystem::create_symlink("largest.dat", "link.dat");
  const struct {
    const char* path;
    std::string error;
  } cases[] = {
      {"missing.dat", "File not found (missing.dat)"},   {"folder.dat", "Not a data file (folder.dat)"},
      {"pipe.dat", "Not a data file (pipe.dat)"},        {"zero.dat", "Not a data file (zero.dat)"},
      {"huge.dat", "File too large (huge.dat)"},         {"largest.dat", ""},
      {"link.dat", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(error_of([&] { DataFileReader in(c.path); }), c.error);
  }
}

// A folder that may not be written to is named as the cause, whoever runs the test.
TEST(DataFileWriterRobustness, AReadOnlyFolderIsTheCauseGiven) {
  WorkingDirectory dir;
  std::filesystem::create_directory("kept");
  EXPECT_EQ(error_in_read_only_folder("kept", [] { DataFileWriter("kept/out.dat").commit(); }),
            "Cannot write file (kept/out.dat: writing there is not permitted: the folder is read-only)");
  EXPECT_TRUE(std::filesystem::is_empty("kept"));
}
