// The cross-section data file damaged or failing to write: the error names file and line, nothing changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/fields.h"
#include "section/section_table.h"
#include "support/robustness.h"
#include "support/test_support.h"

using namespace test_support;

namespace {

const std::string file = section_file_name;
const std::string past_end = "Input past end of file (" + file + ")";
std::string at(const std::string& name, int line) { return fault_at(file, name, line); }

const std::string point = "   -5.00000E+01    0.00000E+00";
const std::string props = "    2.00000E+02    6.66667E+01    1.66667E+05";

// One section of p points and l lines from point 1 to point 2, with its property line.
std::vector<std::string> section(int p, int l) {
  std::vector<std::string> lines{FieldLine().i5(p).i5(l).str()};
  for (int i = 0; i < p; ++i) lines.push_back(point);
  for (int i = 0; i < l; ++i) lines.push_back("    1    2    2.00000E+00");
  if (l > 0) lines.push_back(props);
  return lines;
}

std::string table_of(std::vector<std::vector<std::string>> sections) {
  std::vector<std::string> lines{field_i5(static_cast<long>(sections.size()))};
  for (const auto& s : sections) lines.insert(lines.end(), s.begin(), s.end());
  return crlf(lines);
}

struct SectionCase {
  const char* what;
  std::string content;
  std::string read_error;    // read_section_file, and the editor's procedures that read first
  std::string values_error;  // read_section_values: point and line records skipped unread
};

std::vector<SectionCase> damaged_files() {
  const std::string one = field_i5(1);
  std::vector<std::vector<std::string>> many(200, section(0, 0));
  many.back() = section(2, 1);
  return {
      {"empty file", "", past_end, past_end},
      {"binary bytes", std::string("\0\xff\x01\r\n", 5), at("Type mismatch", 1), at("Type mismatch", 1)},
      {"negative section count", crlf({"   -1"}), at("Subscript out of range", 1), at("Subscript out of range", 1)},
      {"section count beyond 200", crlf({"  201"}), at("Subscript out of range", 1), at("Subscript out of range", 1)},
      {"count beyond the Integer range", crlf({"99999"}), at("Overflow", 1), at("Overflow", 1)},
      {"header without its line count", crlf({one, "    2"}), at("Type mismatch", 2), at("Type mismatch", 2)},
      {"negative line count", crlf({one, "    0   -3"}), at("Subscript out of range", 2), at("Subscript out of range", 2)},
      {"negative point count", crlf({one, "   -3    0"}), at("Subscript out of range", 2), at("Subscript out of range", 2)},
      {"point count beyond 100", crlf({one, "  101    0"}), at("Subscript out of range", 2), at("Subscript out of range", 2)},
      {"line count beyond 200", crlf({one, "    0  201"}), at("Subscript out of range", 2), at("Subscript out of range", 2)},
      {"point line without H", crlf({one, "    1    0", "    1.00000E+00"}), at("Type mismatch", 3), ""},
      {"line record without its thickness", crlf({one, "    2    1", point, point, "    1    2", props}),
       at("Type mismatch", 5), ""},
      {"line to a negative point", crlf({one, "    2    1", point, point, "    1   -2    1.00000E+00", props}),
       at("Subscript out of range", 5), ""},
      {"line to point 101", crlf({one, "    2    1", point, point, "    1  101    1.00000E+00", props}),
       at("Subscript out of range", 5), ""},
      {"line without its property line", crlf({one, "    2    1", point, point, "    1    2    1.00000E+00"}), past_end,
       past_end},
      {"thickness beyond the Single range", crlf({one, "    2    1", point, point, "    1    2        1.0E+39", props}),
       at("Overflow", 5), ""},
      {"property line cut short", crlf({one, "    2    1", point, point, "    1    2    2.00000E+00", "    2.0"}), "",
       at("Type mismatch", 6)},
      {"file cut inside a point line", one + "\r\n    2    0\r\n   -5.00000E+01    0.0", at("Type mismatch", 3), past_end},
      {"counts beyond the lines there", table_of({section(3, 0)}).substr(0, 51), past_end, past_end},
      // Files the readers must take.
      {"points and lines at capacity", table_of({section(100, 200)}), "", ""},
      {"200 sections, the last drawn (past record 100)", table_of(many), "", ""},
      {"lines ended by LF alone, last one open",
       one + "\n    2    1\n" + point + "\n" + point + "\n    1    2    1.50000E+00\n" + props,
       "", ""},
  };
}

// The editor's table before a call: a failing call leaves it so.
SectionTable editor_table() {
  SectionTable t;
  t.n_sec = 7;
  t.n_pnt(3) = 2;
  t.pnt_xy(3, 2, 1) = 12.5f;
  return t;
}

bool is_editor_table(const SectionTable& t) { return t.n_sec == 7 && t.n_pnt(3) == 2 && t.pnt_xy(3, 2, 1) == 12.5f; }

}  // namespace

TEST(SectionFileRobustness, EveryReaderNamesTheFileAndLineOfTheFault) {
  WorkingDirectory dir;
  EXPECT_EQ(error_of([] { read_section_file(); }), "File not found (" + file + ")");
  EXPECT_EQ(error_of([] { read_section_values(); }), "File not found (" + file + ")");
  for (const SectionCase& c : damaged_files()) {
    SCOPED_TRACE(c.what);
    write_file(file, c.content);
    EXPECT_EQ(error_of([] { read_section_file(); }), c.read_error);
    EXPECT_EQ(error_of([] { read_section_values(); }), c.values_error);
  }
  // The reload of the post-processing window ignores the thickness field.
  write_file(file, crlf({"    1", "    2    1", point, point, "    1    2            bad", props}));
  EXPECT_EQ(error_of([] { read_section_file(); }), at("Type mismatch", 5));
  EXPECT_EQ(read_section_file(file, ThicknessField::ignore).n_line(1), 1);
}

TEST(SectionFileRobustness, EditorProceduresLeaveTableAndFileAsTheyWere) {
  WorkingDirectory dir;
  for (const SectionCase& c : damaged_files()) {
    if (c.read_error.empty()) continue;
    SCOPED_TRACE(c.what);
    write_file(file, c.content);
    SectionTable table = editor_table();
    // The message also says how to go on: without the file, "OK" writes a new one.
    std::string advised = c.read_error;
    advised.insert(advised.size() - 1, std::string("; ") + damaged_section_file_advice);
    // Record 2 confirmed: the file is read first because it is not the first record.
    EXPECT_EQ(error_of([&] { write_record_section(table, 2, 0); }), advised);
    // Record 2 of 3 deleted.
    EXPECT_EQ(error_of([&] { delete_record_section(table, 3, 1); }), advised);
    EXPECT_TRUE(is_editor_table(table));
    EXPECT_EQ(file_text(file), c.content);
  }
}

TEST(SectionFileRobustness, FailedWritesKeepThePreviousFileAndTable) {
  WorkingDirectory dir;
  SectionTable small;
  small.n_sec = 1;
  write_section_file(small);
  const std::string previous = file_text(file);

  // A full table is some 10 kB; the disk takes 4 kB.
  SectionTable full;
  full.n_sec = 200;
  for (int s = 1; s <= 200; ++s) full.n_pnt(s) = 1;
  EXPECT_EQ(error_under_file_limit(4096, [&] { write_section_file(full); }), "Cannot write file (" + file + ": the file would be larger than the system allows)");
  EXPECT_EQ(file_text(file), previous);
  EXPECT_FALSE(temp_file_left(file));

  // A directory that does not exist: the editor's table stays as it was.
  SectionTable table = editor_table();
  EXPECT_EQ(error_of([&] { write_record_section(table, 1, 0, "gone/" + file); }), "Cannot write file (gone/" + file + ": the folder does not exist)");
  EXPECT_TRUE(is_editor_table(table));
}
