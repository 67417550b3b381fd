// The report's own arithmetic: checksums, numbers and the convergence picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include <sys/stat.h>

#include "base/recording_canvas.h"
#include "export/report.h"
#include "formats/fields.h"
#include "support/test_support.h"

namespace {

// The check value of CRC-32 (IEEE) is that of "123456789"; an empty input gives 0.
TEST(Report, ChecksumIsTheStandardCrc32) {
  EXPECT_EQ(crc32_of("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32_of(""), 0u);
  EXPECT_NE(crc32_of(std::string("a\0b", 3)), crc32_of("ab"));
}

// The input files as they were read: the table keeps size and checksum of the bytes read and
// written, whatever became of each file since, and says what did, without waiting on a pipe.
TEST(Report, InputFilesAreTheBytesReadAndSayWhatBecameOfThem) {
  test_support::WorkingDirectory dir;
  // A file read in several blocks of the writer gives the checksum of its whole content.
  std::string content(150001, 'x');
  for (size_t i = 0; i < content.size(); i += 7) content[i] = static_cast<char>(i % 251);
  DataFileWriter out("kept.dat");
  out.bytes(content.substr(0, 70000));
  out.bytes(content.substr(70000));
  out.commit();
  std::vector<FileStamp> read;
  std::filesystem::create_symlink("kept.dat", "linked.dat");  // a data file may be a link
  for (const char* name : {"kept.dat", "edited.dat", "removed.dat", "piped.dat", "linked.dat"}) {
    if (name == std::string("edited.dat") || name == std::string("removed.dat") || name == std::string("piped.dat"))
      test_support::write_file(name, "1,2\r\n");
    read.push_back(DataFileReader(name).stamp());
  }
  EXPECT_EQ(read[0], out.stamp());
  EXPECT_EQ(read[0], (FileStamp{"kept.dat", content.size(), crc32_of(content)}));
  test_support::write_file("edited.dat", "1,3\r\n");  // the same size
  std::filesystem::remove("removed.dat");
  std::filesystem::remove("piped.dat");
  ASSERT_EQ(::mkfifo("piped.dat", 0600), 0);
  const ReportTable t = input_file_table(read);
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08X", crc32_of("1,2\r\n"));
  EXPECT_EQ(t.header, (std::vector<std::string>{"File", "Size [bytes]", "CRC-32", "On disk now"}));
  ASSERT_EQ(t.rows.size(), 5u);
  EXPECT_EQ(t.rows[0][3], "unchanged");
  EXPECT_EQ(t.rows[4][3], "unchanged");
  EXPECT_EQ(t.rows[1], (std::vector<std::string>{"edited.dat", "5", hex, "changed since read"}));
  EXPECT_EQ(t.rows[2], (std::vector<std::string>{"removed.dat", "5", hex, "removed since read"}));
  EXPECT_EQ(t.rows[3], (std::vector<std::string>{"piped.dat", "5", hex, "a named pipe now"}));
}

// Four significant digits, no exponent, no trailing zeros; rounding carries into the next digit.
TEST(Report, NumbersKeepFourSignificantDigits) {
  EXPECT_EQ(report_number(1234.56), "1235");
  EXPECT_EQ(report_number(123456.7), "123457");
  EXPECT_EQ(report_number(12.3456), "12.35");
  EXPECT_EQ(report_number(-0.000123456), "-0.0001235");
  EXPECT_EQ(report_number(9.99999), "10");
  EXPECT_EQ(report_number(2.5), "2.5");
  EXPECT_EQ(report_number(-1e-12), "0");
  EXPECT_EQ(report_number(std::numeric_limits<double>::quiet_NaN()), "-");
}

// An empty or flat history still draws its frame.
TEST(Report, ConvergencePictureSkipsMissingValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  RecordingCanvas c;
  draw_convergence(c, {{1, 100, 1}, {2, nan, 0.5}, {3, 10, 0.2}}, 12000, 6000);
  for (const Primitive& p : c.primitives()) {
    EXPECT_TRUE(std::isfinite(p.x1) && std::isfinite(p.y1) && std::isfinite(p.x2) && std::isfinite(p.y2));
    EXPECT_GE(p.x1, 0);
    EXPECT_LE(p.x2, 12000);
  }
  size_t compliance = 0, volume = 0, ticks = 0;
  std::vector<std::string> texts;
  for (const Primitive& p : c.primitives()) {
    if (p.op == Primitive::Op::text) texts.push_back(p.text);
    if (p.op != Primitive::Op::line) continue;
    compliance += p.colour == 12 ? 1 : 0;
    volume += p.colour == 10 ? 1 : 0;
    ticks += p.colour == 0 ? 1 : 0;
  }
  EXPECT_EQ(compliance, 1u);  // 1-3
  EXPECT_EQ(volume, 2u);      // 1-2-3
  EXPECT_GE(ticks, 6u);       // at least two on each of the three axes
  // The axes are named, and ticked with the compliance in kN m (0.0001 to 0.00001 kN m).
  for (const char* name : {"cycle", "compliance [kN m]", "volume ratio"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), name), texts.end()) << name;
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "100"), texts.end());
  RecordingCanvas flat;
  draw_convergence(flat, {{1, 5, 0.1}}, 12000, 6000);
  draw_convergence(flat, {}, 12000, 6000);
  EXPECT_FALSE(flat.primitives().empty());
}

// A load case's tables list only the nodes that hold something in them, in kN, kN/mm and kN m.
TEST(Report, ConditionsTablesListOnlyTheNodesThatHoldSomething) {
  ModelFile m;
  m.nodes.assign(4, {0, 0, 0});
  ModelFileCase c;
  c.fixed.assign(4, {});
  c.loads.assign(4, {});
  c.springs.assign(4, {});
  c.fixed[0] = {true, true, false, false, false, true};
  c.springs[2][1] = 50;
  c.springs[2][4] = 2e6;
  c.loads[3][2] = -1000;
  c.loads[3][3] = 2.5e6;
  m.cases = {c};
  const ReportTable t = supports_table(m, 0);
  ASSERT_EQ(t.rows.size(), 2u);  // node 2 is free, node 4 only loaded
  EXPECT_EQ(t.rows[0][0], "1");
  EXPECT_EQ(t.rows[0][1], "L W rH");
  EXPECT_EQ(t.rows[1][0] + t.rows[1][1] + t.rows[1][3] + "|" + t.rows[1][6], "3-0.05|2");
  const ReportTable loads = loads_table(m, 0);
  ASSERT_EQ(loads.rows.size(), 1u);
  EXPECT_EQ(loads.rows[0][0] + " " + loads.rows[0][3] + " " + loads.rows[0][4], "4 -1 2.5");
  for (const ReportTable* table : {&t, &loads})
    for (const std::string& h : table->header) EXPECT_EQ(h.find("[N"), std::string::npos) << h;
}

}  // namespace
