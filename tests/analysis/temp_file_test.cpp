// Saving and restoring a design through the temporary data file.
#include "analysis/temp_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace test_support;

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
}  // namespace

TEST(TempFile, SaveWritesRecordsThenTheSectionTableAndReadRestoresEveryRecord) {
  WorkingDirectory dir;
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

  const SavedDesign saved = read_saved_design();
  ModelStore m;
  m.form_load();
  restore_design(m, saved.design);
  ASSERT_EQ(m.n_gr, 2);
  for (int r = 1; r <= 2; ++r) {
    for (int a = 1; a <= 3; ++a) {
      EXPECT_EQ(m.gr_len(r, a), original.gr_len(r, a));
      EXPECT_EQ(m.gr_rot(r, a), original.gr_rot(r, a));
      EXPECT_EQ(m.gr_cen(r, a), original.gr_cen(r, a));
      EXPECT_EQ(m.gr_mat(r, a), original.gr_mat(r, a));
      for (int p = 1; p <= 8; ++p) EXPECT_EQ(m.gr_apex(r, p, a), original.gr_apex(r, p, a));
    }
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(m.gr_div(r, c), original.gr_div(r, c));
  }
  EXPECT_EQ(saved.sections.n_sec, 2);
  EXPECT_EQ(saved.sections.line_t(2, 1), 2);
}

TEST(TempFile, SaveWithoutSectionFileTouchesNothing) {
  WorkingDirectory dir;
  write_file("temp_save.dat", "old");
  SectionTable copy;
  EXPECT_NE(error_of([&] { save_design(two_records(), copy); }).find("File not found"), std::string::npos);
  EXPECT_EQ(file_text("temp_save.dat"), "old");
}

TEST(TempFile, CountOfZeroRestoresAnEmptyListWithItsSections) {
  WorkingDirectory dir;
  write_file("temp_save.dat", std::string("    0\r\n") + two_sections);
  const SavedDesign saved = read_saved_design();
  EXPECT_EQ(saved.design.n_gr, 0);
  EXPECT_EQ(saved.sections.n_sec, 2);
}
