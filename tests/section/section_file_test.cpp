// The cross-section data file: the properties by hand, the layout, and the editor's procedures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "section/section_props.h"
#include "section/section_table.h"
#include "section/sketch_edit.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

// Section s: the line (w1, h1)-(w2, h2) of thickness t alone.
void one_line(SectionTable& tab, int s, float w1, float h1, float w2, float h2, float t) {
  const int p = add_section_point(tab, s, w1, h1);
  add_section_line(tab, s, p, add_section_point(tab, s, w2, h2), t);
}

// Each test in a fresh working directory, on the file of the program.
class SectionFile : public ::testing::Test {
 protected:
  std::string get() const { return file_text(path_); }
  std::vector<std::string> lines() const { return file_lines(path_); }

  WorkingDirectory dir_;
  const std::string path_ = section_file_name;
};

// ---- Properties ---------------------------------------------------------------------------

TEST(SectionProperties, ThinWallsByHand) {
  SectionTable t;
  t.n_sec = 4;
  // Horizontal wall of 100 by 2 on the W axis: A = 200, I_W = 2^3 * 100 / 12, I_H = 100^3 * 2 / 12.
  one_line(t, 1, -50, 0, 50, 0, 2);
  // The same wall 10 above the W axis: I_W gains 10^2 * 200.
  one_line(t, 2, -50, 10, 50, 10, 2);
  // Vertical wall: the roles of the two moments swap.
  one_line(t, 3, 0, -50, 0, 50, 2);
  // Two ends on one point add nothing; a slanted wall shares its own terms by cos^2.
  add_section_line(t, 4, add_section_point(t, 4, 3, 3), 1, 5);
  one_line(t, 4, 0, 0, 30, 40, 1);  // length 50, c = (30/50)^2 = 0.36

  for (MomentSums sums : {MomentSums::single_precision, MomentSums::double_precision}) {
    const SectionProperties p1 = section_properties(t, 1, sums);
    EXPECT_EQ(p1.sec_a, 200);
    EXPECT_NEAR(p1.sec_iw, 66.6667, 1e-4);
    EXPECT_NEAR(p1.sec_ih, 166666.67, 0.01);
    const SectionProperties p2 = section_properties(t, 2, sums);
    EXPECT_NEAR(p2.sec_iw, 66.6667 + 20000, 1e-3);
    EXPECT_NEAR(p2.sec_ih, 166666.67, 0.01);
    const SectionProperties p3 = section_properties(t, 3, sums);
    EXPECT_NEAR(p3.sec_iw, 166666.67, 0.01);
    EXPECT_NEAR(p3.sec_ih, 66.6667, 1e-4);
    // a = 1 * 50 / 12, b = 50^3 / 12; midpoint (15, 20); area 50.
    const SectionProperties p4 = section_properties(t, 4, sums);
    const double a = 50.0 / 12, b = 125000.0 / 12, c = 0.36;
    EXPECT_EQ(p4.sec_a, 50);
    EXPECT_NEAR(p4.sec_iw, a * c + (1 - c) * b + 400 * 50, 0.01);
    EXPECT_NEAR(p4.sec_ih, (1 - c) * a + c * b + 225 * 50, 0.01);
  }
}

TEST(SectionProperties, SingleAndDoubleSumsDifferOnlyInTheLastDigits) {
  // A wall far from the axis followed by small ones: the single sums drop what the double keep.
  SectionTable t;
  t.n_sec = 1;
  one_line(t, 1, 0, 1000, 1, 1000, 1);
  for (int i = 0; i < 20; ++i) one_line(t, 1, 0, 0.3f, 0.3f, 0.3f, 0.1f);
  const SectionProperties single = section_properties(t, 1, MomentSums::single_precision);
  const SectionProperties dbl = section_properties(t, 1, MomentSums::double_precision);
  EXPECT_EQ(single.sec_a, dbl.sec_a);
  EXPECT_NE(single.sec_iw, dbl.sec_iw);
  EXPECT_NEAR(single.sec_iw, dbl.sec_iw, 1e-6 * dbl.sec_iw);
  EXPECT_EQ(static_cast<double>(static_cast<float>(single.sec_iw)), single.sec_iw);
}

// ---- Layout -------------------------------------------------------------------------------

TEST_F(SectionFile, LayoutOfEmptyAndDrawnSections) {
  SectionTable t;
  t.n_sec = 1;
  write_section_file(t, MomentSums::single_precision, path_);
  EXPECT_EQ(get(), "    1\r\n    0    0\r\n");

  // Three points and two lines: header, 3 points, 2 lines, properties = 7 lines.
  t.n_sec = 2;
  add_section_point(t, 2, -50, 0);
  add_section_point(t, 2, 50, 0);
  add_section_point(t, 2, 50, -25.5f);
  add_section_line(t, 2, 1, 2, 2);
  add_section_line(t, 2, 2, 2, 1.5f);  // both ends on one point: no contribution
  write_section_file(t, MomentSums::single_precision, path_);
  const std::vector<std::string> l = lines();
  ASSERT_EQ(l.size(), 1u + 1 + 7);  // count, empty section 1, section 2
  EXPECT_EQ(l[0], "    2");
  EXPECT_EQ(l[2], "    3    2");
  EXPECT_EQ(l[3], "   -5.00000E+01    0.00000E+00");
  EXPECT_EQ(l[5], "    5.00000E+01   -2.55000E+01");  // H still starts in column 16
  EXPECT_EQ(l[6], "    1    2    2.00000E+00");
  EXPECT_EQ(l[7], "    2    2    1.50000E+00");
  EXPECT_EQ(l[8], "    2.00000E+02    6.66667E+01    1.66667E+05");

  // Points but no lines: no property line.
  t.n_line(2) = 0;
  write_section_file(t, MomentSums::single_precision, path_);
  EXPECT_EQ(lines().size(), 1u + 1 + 4);

  // What a writer writes, every reader reads back.
  t.n_line(2) = 2;
  write_section_file(t, MomentSums::double_precision, path_);
  const SectionTable back = read_section_file(path_);
  EXPECT_EQ(back.n_sec, 2);
  EXPECT_EQ(back.n_pnt(2), 3);
  EXPECT_EQ(back.n_line(2), 2);
  EXPECT_EQ(back.pnt_xy(2, 3, 2), -25.5f);
  EXPECT_EQ(back.line_pnt(2, 2, 1), 2);
  EXPECT_EQ(back.line_t(2, 2), 1.5f);
  const SectionValueTable values = read_section_values(path_);
  EXPECT_EQ(values(1, 1), 0);
  EXPECT_EQ(values(2, 1), 200);
  EXPECT_EQ(values(2, 2), 66.6667f);
  EXPECT_EQ(values(2, 3), 166667.0f);
}

// ---- The editor's procedures for the modelling window --------------------------------------

TEST_F(SectionFile, RecordSectionsAreAddedKeptAndDeleted) {
  SectionTable editor;
  editor.n_sec = 1;
  // The first record: an empty section 1.
  write_record_section(editor, 1, 0, path_);
  EXPECT_EQ(get(), "    1\r\n    0    0\r\n");

  // Record 2 drawn in the editor (written by its own full write), record 3 confirmed.
  SectionTable drawn = read_section_file(path_);
  drawn.n_sec = 2;
  one_line(drawn, 2, -50, 0, 50, 0, 2);
  write_section_file(drawn, MomentSums::single_precision, path_);
  write_record_section(editor, 3, 0, path_);
  EXPECT_EQ(editor.n_sec, 3);
  EXPECT_EQ(editor.n_line(2), 1);
  EXPECT_EQ(lines().size(), 1u + 1 + (1 + 2 + 1 + 1) + 1);

  // Record 2 confirmed again after "Modify": its section stays as it is.
  const std::string before = get();
  write_record_section(editor, 3, 1, path_);
  EXPECT_EQ(get(), before);

  // Deleting record 2 of 3: count 2, then the old sections 1 and 3.
  delete_record_section(editor, 3, 1, path_);
  EXPECT_EQ(get(), "    2\r\n    0    0\r\n    0    0\r\n");
  EXPECT_EQ(editor.n_sec, 3);  // the editor's table holds the file as it was read

  // A section the file does not hold, or no file at all: nothing to delete.
  delete_record_section(editor, 5, 1, path_);
  EXPECT_EQ(get(), "    2\r\n    0    0\r\n    0    0\r\n");
  fs::remove(path_);
  delete_record_section(editor, 3, 1, path_);
  EXPECT_FALSE(fs::exists(path_));

  // With the file gone, a later record still gets its section; the earlier ones are empty.
  write_record_section(editor, 3, 0, path_);
  EXPECT_EQ(get(), "    3\r\n    0    0\r\n    0    0\r\n    0    0\r\n");

  // A first record clears the table: every section written is empty, n_sec is kept.
  editor.n_sec = 2;
  one_line(editor, 1, 0, 0, 1, 0, 1);
  write_record_section(editor, 1, 0, path_);
  EXPECT_EQ(get(), "    2\r\n    0    0\r\n    0    0\r\n");

  EXPECT_EQ(error_of([&] { write_record_section(editor, 201, 0, path_); }),
            "Capacity exceeded (section 201 of at most 200)");
  EXPECT_EQ(error_of([&] { write_record_section(editor, 2, 2, path_); }), "Subscript out of range (section 0)");
}

}  // namespace
