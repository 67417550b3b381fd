// Saving and restoring a design through the temporary data file, and its reader against damaged
// files and the inputs the fuzzer found: a clear error naming the file and line, never a value the
// store cannot use.
#include "analysis/temp_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/robustness.h"
#include "support/test_support.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {
ModelStore two_records() {
  ModelStore m;
  m.form_load();
  m.n_gr = 2;
  m.gr_len(1, 1) = 100, m.gr_len(1, 2) = 80, m.gr_len(1, 3) = 60;
  m.gr_rot(1, 3) = -30;
  m.gr_cen(1, 2) = 12.5f;
  m.gr_div(1, 1) = 2, m.gr_div(1, 2) = 1, m.gr_div(1, 3) = 3, m.gr_div(1, 4) = 1;
  m.gr_apex(1, 7, 3) = -4;
  m.gr_mat(1, 1) = 206000, m.gr_mat(1, 2) = 0.33f, m.gr_mat(1, 3) = 1;
  m.gr_len(2, 1) = 250, m.gr_len(2, 2) = 10, m.gr_len(2, 3) = 10;
  m.gr_div(2, 1) = m.gr_div(2, 2) = m.gr_div(2, 3) = 1, m.gr_div(2, 4) = 2;
  m.gr_mat(2, 1) = 70000, m.gr_mat(2, 2) = 0.3f, m.gr_mat(2, 3) = 0;
  return m;
}

const char* const two_sections = "    2\r\n    0    0\r\n    2    1\r\n"
                                  "   -5.00000E+01    0.00000E+00\r\n    5.00000E+01    0.00000E+00\r\n"
                                  "    1    2    2.00000E+00\r\n"
                                  "    2.00000E+02    6.66667E+01    1.66667E+05\r\n";

const std::string file = temp_file_name;
const std::string past_end = "Input past end of file (" + file + ")";
std::string at(const std::string& name, int line) { return fault_at(file, name, line); }
std::string at(const std::string& name, int line, const std::string& detail) {
  return name + " (" + file + ", line " + std::to_string(line) + ": " + detail + ")";
}

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

// A box (record 1, its empty section) and a non-design bar (record 2) with a drawn rectangle,
// by line: 1 count, 2-14 the box, 15-27 the bar (27 its material, design flag 0), 28 section
// count, 29 section 1, 30 section 2's header, 31-34 its points, 35-38 its lines, 39 properties.
std::vector<std::string> design_with_a_drawn_bar() {
  std::vector<std::string> lines = good_lines();
  lines.resize(14);
  lines[0] = "    2";
  lines.insert(lines.end(), {three, zeros, zeros, "    1    1    1    2"});
  for (int p = 0; p < 8; ++p) lines.push_back(zeros);
  lines.push_back("    2.06000E+05    3.00000E-01    0.00000E+00");
  lines.insert(lines.end(), {"    2", "    0    0", "    4    4", "   -5.00000E+01   -2.50000E+01",
                             "    5.00000E+01   -2.50000E+01", "    5.00000E+01    2.50000E+01",
                             "   -5.00000E+01    2.50000E+01", "    1    2    2.00000E+00", "    2    3    2.00000E+00",
                             "    3    4    2.00000E+00", "    4    1    2.00000E+00",
                             "    6.00000E+02    1.26667E+05    4.01667E+05"});
  return lines;
}

std::string without_line(int n) {
  auto lines = design_with_a_drawn_bar();
  lines.erase(lines.begin() + (n - 1));
  return crlf(lines);
}

// Each test in a fresh working directory.
class TempFile : public ::testing::Test {
 protected:
  WorkingDirectory dir_;
};
}  // namespace

TEST_F(TempFile, SaveWritesRecordsThenTheSectionTableAndReadRestoresEveryRecord) {
  write_file("cross_data_4th.dat", two_sections);
  SectionTable copy;
  const ModelStore original = two_records();
  save_design(original, copy);
  const std::string text = file_text("temp_save.dat");
  // Count, 2 x 13 record lines, then the cross-section file as it stood.
  EXPECT_EQ(text.substr(0, 7), "    2\r\n");
  EXPECT_EQ(text.substr(7, 47), "    1.00000E+02    8.00000E+01    6.00000E+01\r\n");
  // Line 2 holds the rotations, with a negative one keeping its width.
  EXPECT_EQ(text.substr(54, 47), "    0.00000E+00    0.00000E+00   -3.00000E+01\r\n");
  EXPECT_NE(text.find("    2    1    3    1\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - std::string(two_sections).size()), two_sections);
  EXPECT_EQ(copy.n_line(2), 1);

  // Restored and saved again, every record gives the same lines.
  const SavedDesign saved = read_saved_design();
  ModelStore m;
  m.form_load();
  restore_design(m, saved.design);
  save_design(m, copy);
  EXPECT_EQ(file_text("temp_save.dat"), text);
  EXPECT_EQ(saved.sections.line_t(2, 1), 2);
}

TEST_F(TempFile, SaveWithoutSectionFileTouchesNothing) {
  write_file("temp_save.dat", "old");
  SectionTable copy;
  EXPECT_NE(error_of([&] { save_design(two_records(), copy); }).find("File not found"), std::string::npos);
  EXPECT_EQ(file_text("temp_save.dat"), "old");
}

TEST_F(TempFile, CountOfZeroRestoresAnEmptyListWithItsSections) {
  write_file("temp_save.dat", std::string("    0\r\n") + two_sections);
  const SavedDesign saved = read_saved_design();
  EXPECT_EQ(saved.design.n_gr, 0);
  EXPECT_EQ(saved.sections.n_sec, 2);
}

TEST_F(TempFile, DamagedFilesNameTheFileAndLine) {
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

TEST_F(TempFile, FuzzerFindingsStayFixed) {
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

// A file whose lines have slipped would lose the bar's sketch: refused, naming the line.
TEST_F(TempFile, SectionsThatDoNotFitTheDesignAreRefused) {
  const std::string mismatch = "Sections do not match the design";
  auto lines = design_with_a_drawn_bar();
  auto doubled = lines;
  doubled.insert(doubled.begin() + 29, "    0    0");
  auto short_table = lines;
  short_table[27] = "    1";
  short_table.resize(29);
  auto no_lines = lines;
  no_lines[29] = "    4    0";
  no_lines.resize(34);
  const BadFile cases[] = {
      {"the design as saved", crlf(lines), ""},
      {"trailing blank lines", crlf(lines) + "\r\n   \r\n", ""},
      {"section count line deleted", without_line(28), at(mismatch, 29, "a line after the cross-section table")},
      {"a \"0 0\" line doubled", crlf(doubled), at(mismatch, 31, "a line after the cross-section table")},
      {"record count set to 0", with_line_replaced(lines, 1, "    0"),
       at(mismatch, 4, "a line after the cross-section table")},
      {"a line after the table", crlf(lines) + "    0    0\r\n", at(mismatch, 40, "a line after the cross-section table")},
      {"the bar's section missing", crlf(short_table),
       at(mismatch, 28, "record 2 is a non-design bar without a drawn section")},
      {"the bar's section without lines", crlf(no_lines),
       at(mismatch, 30, "record 2 is a non-design bar without a drawn section")},
      {"a line to point 0", with_line_replaced(lines, 35, "    0    2    2.00000E+00"),
       at("Subscript out of range", 35, "line 1 of section 2 ends at point 0 of 4")},
      {"a line to point 5 of 4", with_line_replaced(lines, 36, "    2    5    2.00000E+00"),
       at("Subscript out of range", 36, "line 2 of section 2 ends at point 5 of 4")},
      {"a line to point 99 of 4", with_line_replaced(lines, 38, "   99    1    2.00000E+00"),
       at("Subscript out of range", 38, "line 4 of section 2 ends at point 99 of 4")},
  };
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(file, c.content);
    EXPECT_EQ(error_of([] { read_saved_design(); }), c.error);
  }
  // A design bar needs no sketch.
  short_table[26] = "    2.06000E+05    3.00000E-01    1.00000E+00";
  write_file(file, crlf(short_table));
  EXPECT_EQ(error_of([] { read_saved_design(); }), "");
}

