// The data-file writer on a full disk (a small file-size limit): the failure is reported and
// the previous file stays whole, whether it shows while lines are written or only at commit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formats/fields.h"
#include "support/robustness.h"
#include "support/test_support.h"

using namespace test_support;

TEST(DataFileWriterRobustness, FullDiskKeepsThePreviousFile) {
  WorkingDirectory dir;
  write_file("out.dat", "previous\r\n");
  const std::string failed = "Cannot write file (out.dat)";
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
