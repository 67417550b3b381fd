// The fixed-width fields of the data files, and the writer and reader every data file goes through,
// also against full disks and files that are no data files.
#include "support/test_support.h"
#include "formats/fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "formats/errors.h"
#include "formats/numtext.h"
#include "support/robustness.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

std::string write_failed(const std::string& path) { return std::string(err::write_failed) + " (" + path + ")"; }

// Each test in a fresh working directory.
class DataFiles : public ::testing::Test {
 protected:
  size_t file_count() const { return static_cast<size_t>(std::distance(fs::directory_iterator("."), {})); }

  test_support::WorkingDirectory dir_;
};

TEST(Fields, I5) {
  EXPECT_EQ(field_i5(7), "    7");
  EXPECT_EQ(field_i5(-1234), "-1234");
  EXPECT_EQ(field_i5(123456), "123456");  // too wide: written whole, never cut
}

// A place reads as the model file holds it, whatever the mesh's single precision left.
TEST(Fields, CoordinatesAsTheFileHoldsThem) {
  EXPECT_EQ(place_text(2000, 999.99994f, -0.5), "L 2000, W 1000, H -0.5");
  EXPECT_EQ(point_text(2000, 999.99994f, 1e-4, 1000), "(2000, 1000, 0)");
  EXPECT_EQ(coordinate_text(3.48091e-05), "0.0000348091");
  EXPECT_EQ(coordinate_text(3.48091e-05, 100), "0");  // a millionth of a 100 mm model is below 1e-4
  EXPECT_EQ(coordinate_text(-2e-4, 100), "-0.0002");
  EXPECT_EQ(coordinate_text(1e9 / 3), "333333000");
}

TEST(Fields, E15) {
  EXPECT_EQ(field_e15(206000), "    2.06000E+05");
  EXPECT_EQ(field_e15(-0.5), "   -5.00000E-01");
  EXPECT_EQ(field_e15(0), "    0.00000E+00");
  EXPECT_EQ(field_e15(-0.0), "    0.00000E+00");
  EXPECT_EQ(field_e15(9.999996), "    1.00000E+01");
  // Exact halves round away from zero.
  EXPECT_EQ(field_e15(100000.5), "    1.00001E+05");
  EXPECT_EQ(field_e15(0.001953125), "    1.95313E-03");  // 2^-9
  EXPECT_EQ(field_e15(0.1000025), "    1.00002E-01");  // not exactly a half: below it

  // Two-digit exponents only: too large overflows, too small is zero.
  EXPECT_EQ(field_e15(9.99999e99), "    9.99999E+99");
  EXPECT_EQ(field_e15(9.999996e-100), "    1.00000E-99");
  EXPECT_EQ(field_e15(9.99999e-100), "    0.00000E+00");
  for (double v : {-1.5e120, 9.999996e99, 1.7976931348623157e308, std::nan("")}) {
    EXPECT_EQ(error_of([&] { field_e15(v); }), err::overflow) << v;
  }
}

// The E15 field as the number pattern writes it, the way every file was written before the
// field writer formatted numbers itself: both must agree byte for byte.
std::string e15_by_pattern(double v) {
  if (!std::isfinite(v)) return err::overflow;
  std::string text = format_number(v, pattern::e15);
  if (text.size() == 15) return text;
  return std::fabs(v) >= 1 ? err::overflow : format_number(0.0, pattern::e15);
}

TEST(Fields, E15AgreesWithThePatternOnManyValues) {
  std::mt19937_64 rng(14);
  std::vector<double> values;
  for (int k = 0; k < 60000; ++k) {  // any bit pattern: every exponent, subnormals, NaN
    const uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    values.push_back(v);
  }
  std::uniform_real_distribution<double> exponent(-105, 105);
  for (int k = 0; k < 60000; ++k) values.push_back((k % 2 ? -1 : 1) * std::pow(10.0, exponent(rng)));
  // Halves between six-digit neighbours, exact and not, with the doubles on either side; and
  // the roundings that carry into the next power of ten.
  std::uniform_int_distribution<uint32_t> seven(100000, 999999);
  for (int j = -12; j <= 16; ++j)
    for (int k = 0; k < 1000; ++k) {
      const double half = (10.0 * (k < 20 ? 999999 : seven(rng)) + 5) * std::pow(10.0, j);
      for (double v : {half, std::nextafter(half, 0.0), std::nextafter(half, 1e300), -half}) values.push_back(v);
    }
  for (int e = -101; e <= 100; ++e)
    for (double m : {1.0, 9.999995, 9.9999949, 2.5, 1.000005})
      values.push_back(m * std::pow(10.0, e));
  for (const double v : values) {
    std::string got;
    try {
      got = field_e15(v);
    } catch (const RunTimeError& e) {
      got = e.name();
    }
    ASSERT_EQ(got, e15_by_pattern(v)) << std::hexfloat << v;
  }
}

TEST_F(DataFiles, WriterWritesCrLfAndReplacesAtCommit) {
  write_file("out.dat", "old\r\n");
  {
    DataFileWriter w("out.dat");
    w.line("new");
  }  // no commit: the old file stays, and no temporary file
  EXPECT_EQ(file_text("out.dat"), "old\r\n");
  EXPECT_EQ(file_count(), 1u);

  {
    DataFileWriter w("out.dat");
    w.line("first");
    w.line(FieldLine().i5(1).e15(2.5));
    w.line("");
    EXPECT_EQ(file_text("out.dat"), "old\r\n");  // the target is untouched until commit
    w.commit();
    w.commit();  // a second commit changes nothing
    EXPECT_EQ(error_of([&] { w.line("late"); }), write_failed("out.dat"));
  }
  EXPECT_EQ(file_text("out.dat"), "first\r\n    1    2.50000E+00\r\n\r\n");
  EXPECT_EQ(file_count(), 1u);  // no temporary file left behind

  {
    DataFileWriter w("empty.dat");
    w.commit();
  }
  EXPECT_TRUE(fs::exists("empty.dat"));
  EXPECT_EQ(file_text("empty.dat"), "");
}

// Each failure names the file and the system's cause in words; every later call says the same.
TEST_F(DataFiles, WriterFailuresAreReportedWithTheirCause) {
  write_file("plain", "x");
  fs::create_directory("taken.dat");
  write_file("taken.dat/inside", "x");
  const std::string long_name(max_file_name_bytes + 1, 'n');
  const std::string blocker = temp_file_path("blocked.dat", ::getpid());  // not the writer's to remove
  fs::create_directory(blocker);
  const struct {
    std::string path, why;
  } cases[] = {
      {"no_such_dir/out.dat", "the folder does not exist"},
      {"plain/out.dat", "a part of the path is not a folder"},
      {long_name, "the name is too long (a file name has at most 255 bytes)"},
      {"taken.dat", "a folder, not a regular file"},  // refused before anything is written
      {"blocked.dat", "a folder of that name is in the way"},
  };
  for (const auto& c : cases) {
    const std::string failed = write_failed(c.path + ": " + c.why);
    std::unique_ptr<DataFileWriter> w;
    EXPECT_EQ(error_of([&] {
                w = std::make_unique<DataFileWriter>(c.path);
                w->line("data");
                w->commit();
              }),
              failed);
    if (w) {
      EXPECT_EQ(error_of([&] { w->line("more"); }), failed);
      EXPECT_EQ(error_of([&] { w->commit(); }), failed);
    }
  }
  // A target that becomes a folder while the file is written cannot be replaced: the commit
  // fails, and neither it nor a temporary file is left changed.
  {
    DataFileWriter w("late.dat");
    fs::create_directory("late.dat");
    write_file("late.dat/inside", "x");
    w.line("data");
    const std::string failed = write_failed("late.dat: a folder of that name is in the way");
    EXPECT_EQ(error_of([&] { w.commit(); }), failed);
    EXPECT_EQ(error_of([&] { w.line("more"); }), failed);
  }
  EXPECT_EQ(file_text("taken.dat/inside"), "x");
  EXPECT_EQ(file_text("late.dat/inside"), "x");
  EXPECT_TRUE(fs::is_directory(blocker));
  EXPECT_EQ(file_count(), 4u);
}

// Files written together: a second that cannot take its place gives the first its old file
// back, or none where there was none, and the first is not taken as written.
TEST_F(DataFiles, FilesCommittedTogetherAreReplacedAllOrNone) {
  write_file("a.csv", "old a\r\n");
  for (const char* first : {"a.csv", "c.csv"}) {
    DataFileWriter a(first), b("b.csv");
    fs::create_directory("b.csv");  // in the way once both are written
    a.line("new a");
    EXPECT_EQ(error_of([&] { commit_together({&a, &b}); }), write_failed("b.csv: a folder of that name is in the way"));
    EXPECT_EQ(error_of([&] { a.commit(); }), write_failed(first));
    fs::remove("b.csv");
  }
  EXPECT_EQ(file_text("a.csv"), "old a\r\n");
  EXPECT_FALSE(fs::exists("c.csv"));
  EXPECT_EQ(file_count(), 1u);
  DataFileWriter a("a.csv"), b("b.csv");
  a.line("new a");
  commit_together({&a, &b});
  a.commit();  // a second commit changes nothing
  EXPECT_EQ(file_text("a.csv") + file_text("b.csv"), "new a\r\n");
  EXPECT_EQ(file_count(), 2u);
}

TEST_F(DataFiles, ReaderSplitsLines) {
  write_file("crlf.dat", "one\r\ntwo\r\n");
  write_file("lf.dat", "one\ntwo\n");
  write_file("open.dat", "one\r\ntwo");
  for (const char* name : {"crlf.dat", "lf.dat", "open.dat"}) {
    DataFileReader r(name);
    ASSERT_FALSE(r.at_end()) << name;
    EXPECT_EQ(r.next_line(), "one") << name;
    EXPECT_EQ(r.next_line(), "two") << name;
    EXPECT_TRUE(r.at_end()) << name;
  }

  // Blank lines count; only one CR before the LF belongs to the line end.
  write_file("odd.dat", "\n\r\na\r\r\nb\rc");
  DataFileReader r("odd.dat");
  EXPECT_EQ(r.next_line(), "");
  EXPECT_EQ(r.next_line(), "");
  EXPECT_EQ(r.next_line(), "a\r");
  EXPECT_EQ(r.next_line(), "b\rc");
  EXPECT_TRUE(r.at_end());
}

TEST_F(DataFiles, ReaderCutsFields) {
  write_file("f.dat", "    3   -5.00000E-01  x\r\nshort\r\n");
  DataFileReader r("f.dat");
  EXPECT_EQ(r.field(1, 5), "");  // no current line yet
  r.next_line();
  EXPECT_EQ(r.field(1, 5), "    3");
  EXPECT_EQ(r.int16(1, 5), 3);
  EXPECT_EQ(r.field(6, 15), "   -5.00000E-01");
  EXPECT_EQ(r.real(6, 15), -0.5);
  EXPECT_EQ(r.field(21, 10), "  x");  // cut short at the end of the line
  EXPECT_EQ(r.field(40, 5), "");
  r.next_line();
  EXPECT_EQ(r.field(3, 10), "ort");
}

// On a full disk (a small file-size limit) the failure is reported and the previous file stays whole.
TEST_F(DataFiles, AFullDiskKeepsThePreviousFile) {
  write_file("out.dat", "previous\r\n");
  const std::string failed = "Cannot write file (out.dat: the file would be larger than the system allows)";
  const std::string line(99, 'x');

  // 10 kB: the disk fills while lines are written, and a later commit cannot pretend otherwise.
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

// Not a data file, or far larger than the capacities allow: refused by name and what it is,
// before reading.
TEST_F(DataFiles, ReaderTakesOnlyRegularFilesOfAPlausibleSize) {
  fs::create_directory("folder.dat");
  ASSERT_EQ(::mkfifo("pipe.dat", 0600), 0);  // opening it would wait for a writer for good
  fs::create_symlink("/dev/zero", "zero.dat");  // endless
  std::ofstream("huge.dat").close();
  fs::resize_file("huge.dat", max_data_file_bytes + 1);  // sparse: no disk used
  std::ofstream("largest.dat").close();
  fs::resize_file("largest.dat", max_data_file_bytes);
  fs::create_symlink("largest.dat", "link.dat");
  fs::create_symlink("loop.dat", "loop.dat");
  fs::create_symlink("missing.dat", "dangling.dat");
  const std::string long_name(max_file_name_bytes + 1, 'n');
  const struct {
    std::string path;
    std::string error;
  } cases[] = {
      {"missing.dat", "File not found (missing.dat)"},
      {"dangling.dat", "File not found (dangling.dat: a symbolic link to nothing)"},
      {"loop.dat", "Not a data file (loop.dat: a loop of symbolic links)"},
      {"folder.dat", "Not a data file (folder.dat: a folder, not a regular file)"},
      {"pipe.dat", "Not a data file (pipe.dat: a named pipe, not a regular file)"},
      {"zero.dat", "Not a data file (zero.dat: a device, not a regular file)"},
      {long_name, "Cannot read file (" + long_name + ": the name is too long)"},
      {"huge.dat", "File too large (huge.dat)"},
      {"largest.dat", ""},
      {"link.dat", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(error_of([&] { DataFileReader in(c.path); }), c.error);
  }
  EXPECT_FALSE(file_absent("dangling.dat"));  // something is there, and it is said
  EXPECT_TRUE(file_absent("missing.dat"));
  // A file that is there but may not be read says so, not that it is missing (root reads anything).
  write_file("secret.dat", "x");
  fs::permissions("secret.dat", fs::perms::none);
  if (::geteuid() != 0) {
    EXPECT_EQ(error_of([] { DataFileReader in("secret.dat"); }), "Cannot read file (secret.dat: reading it is not permitted)");
  }
}

// A name is taken as UTF-8 text only when it is valid.
TEST(Fields, Utf8IsCheckedWhole) {
  for (const char* good : {"", "plain", "G+Q \xC3\xA9t\xC3\xA9", "\xE2\x82\xAC 1", "\xF0\x9F\x8F\x97", "\xED\x9F\xBF"})
    EXPECT_TRUE(valid_utf8(good)) << good;
  // A stray continuation, a lead without its continuation, overlong forms, a surrogate, past U+10FFFF.
  for (const char* bad : {"\x80", "a\xC3", "\xC3" "a", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xF5\x80\x80\x80", "\xFF"})
    EXPECT_FALSE(valid_utf8(bad)) << bad;
}

// A folder that may not be written to is named as the cause, whoever runs the test.
TEST_F(DataFiles, AReadOnlyFolderIsTheCauseGiven) {
  fs::create_directory("kept");
  EXPECT_EQ(error_in_read_only_folder("kept", [] { DataFileWriter("kept/out.dat").commit(); }),
            "Cannot write file (kept/out.dat: writing there is not permitted: the folder is read-only)");
  EXPECT_TRUE(fs::is_empty("kept"));
}

}  // namespace
