// The reader of the temporary data file against damaged files, and the inputs the fuzzer
// found: a clear error naming the file and line, never a value the store cannot use.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/temp_file.h"
#include "support/robustness.h"
#include "support/test_support.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

const std::string file = temp_file_name;
const std::string past_end = "Input past end of file (" + file + ")";
std::string at(const std::string& name, int line) { return fault_at(file, name, line); }

const std::string three = "    1.00000E+02    8.00000E+01    6.00000E+01";
const std::string zeros = "    0.00000E+00    0.00000E+00    0.00000E+00";

// One box and an empty section, by line: 1 count, 2 sides, 3 rotations, 4 centre, 5 divisions
// and kind, 6-13 corner moves, 14 material, 15 section count, 16 its header.
std::vector<std::string> good_lines() {
  std::vector<std::string> lines{"    1", three, zeros, zeros, "    2    1    1    1"};
  for (int p = 0; p < 8; ++p) lines.push_back(zeros);
  lines.push_back("    2.06000E+05    3.00000E-01    1.00000E+00");
  lines.push_back("    1");
  lines.push_back("    0    0");
  return lines;
}

std::string with_line(int n, const std::string& text) { return with_line_replaced(good_lines(), n, text); }
std::string first_lines(int n) { return first_lines_of(good_lines(), n); }

}  // namespace

TEST(TempFileRobustness, DamagedFilesNameTheFileAndLine) {
  WorkingDirectory dir;
  EXPECT_EQ(error_of([] { read_saved_design(); }), "File not found (" + file + ")");
  const BadFile cases[] = {
      {"empty file", "", past_end},
      {"blank count line", with_line(1, ""), at("Type mismatch", 1)},
      {"count beyond the Integer range", with_line(1, "40000"), at("Overflow", 1)},
      {"count beyond 100", with_line(1, "  101"), at("Subscript out of range", 1)},
      {"negative count", with_line(1, "   -1"), at("Subscript out of range", 1)},
      {"sides line cut short", with_line(2, three.substr(0, 30)), at("Type mismatch", 2)},
      {"rotation beyond the Single range", with_line(3, "    0.00000E+00        4.0E+38    0.00000E+00"),
       at("Overflow", 3)},
      {"divisions without the kind", with_line(5, "    2    1    1"), at("Type mismatch", 5)},
      {"division beyond the Integer range", with_line(5, "99999    1    1    1"), at("Overflow", 5)},
      {"corner move not a number", with_line(9, "    0.00000E+00    0.0000xE+00    0.00000E+00"),
       at("Type mismatch", 9)},
      {"corner move beyond the Single range", with_line(13, "        1.0E+39" + zeros.substr(15)), at("Overflow", 13)},
      {"file ending before the material", first_lines(13), past_end},
      {"file ending before the sections", first_lines(14), past_end},
      {"section count beyond 200", with_line(15, "  201"), at("Subscript out of range", 15)},
      {"negative point count of a section", with_line(16, "   -1    0"), at("Subscript out of range", 16)},
      // Divisions that give no lattice would fail every refresh of the restored design.
      {"division 0", with_line(5, "    1    0    1    1"), at("Overflow", 5)},
      {"divisions of 1331 lattice points", with_line(5, "   10   10   10    1"), at("Capacity exceeded", 5)},
      {"kind 7, checked where the mesh is built", with_line(5, "    1    1    1    7"), ""},
  };
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(file, c.content);
    EXPECT_EQ(error_of([] { read_saved_design(); }), c.error);
  }
}

TEST(TempFileRobustness, FuzzerFindingsStayFixed) {
  WorkingDirectory dir;
  const fs::path found = test_support::tests_dir() / "data" / "fuzz_regressions" / "temp_file";
  // A side of 1E+42 was stored as an infinity, which "Save" could not write back.
  fs::copy_file(found / "length_beyond_single.dat", file);
  EXPECT_EQ(error_of([] { read_saved_design(); }), at("Overflow", 2));
  // Every kept input is either refused with a run-time error or read whole.
  for (const auto& entry : fs::directory_iterator(found)) {
    SCOPED_TRACE(entry.path().filename().string());
    fs::copy_file(entry.path(), file, fs::copy_options::overwrite_existing);
    EXPECT_NO_THROW(error_of([] { read_saved_design(); }));
  }
}
