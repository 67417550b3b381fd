// The exports read back with the tests' own readers, and the safe-writing rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <numbers>

#include "formats/fields.h"
#include "post/design_export.h"
#include "post/result_file.h"
#include "support/export_readers.h"
#include "support/robustness.h"

namespace fs = std::filesystem;
using namespace test_support;

namespace {

const fs::path small_set = test_support::tests_dir() / "data" / "post_small";

// The hand-made result set: four nodes, six elements, the third a non-design bar with a
// closed 10 x 20 box section of 1 mm walls; in cycle 3 the diameters are 20, 18, 8.74 (the
// bar's circle of 60 mm2), 2, 0.2 and 1 of a maximum of 20.
class DesignExport : public ::testing::Test {
 protected:
  DesignExport() {
    ResultPaths p;
    for (std::string* f : {&p.results, &p.sections, &p.model}) *f = (small_set / *f).string();
    r = std::move(*read_result_set(p).store);
  }
  double length(int e) const {
    double s = 0;
    for (int a = 1; a <= 3; ++a) {
      const double d = r.pnode_xyz(3, r.pe_nod(e, 2), a) - r.pnode_xyz(3, r.pe_nod(e, 1), a);
      s += d * d;
    }
    return std::sqrt(s);
  }
  // The volume the shown members hold: the plates of the bar's section, round design beams.
  double members_volume(float threshold, double bar_area) const {
    double v = 0;
    for (int e = 1; e <= r.pn_elem; ++e) {
      if (r.is_non_design(e)) v += bar_area * length(e);
      else if (threshold * r.pd_max <= r.pe_dia(3, e)) v += std::numbers::pi / 4 * r.pe_dia(3, e) * r.pe_dia(3, e) * length(e);
    }
    return v;
  }
  WorkingDirectory dir_;
  ResultStore r;
};

}  // namespace

TEST_F(DesignExport, TableRowsMatchTheResultStore) {
  export_design(r, {3, 0.5f}, "frame.CSV");
  const auto rows = file_lines("frame.CSV");
  ASSERT_EQ(rows.size(), 7u);  // a header and six elements
  EXPECT_EQ(rows[0], "element,node1,node2,L1,W1,H1,L2,W2,H2,length,diameter,kind,above_threshold");
  const char* shown[] = {"yes", "yes", "yes", "no", "no", "no"};
  for (int e = 1; e <= 6; ++e) {
    const auto cells = csv_cells(rows[size_t(e)]);
    ASSERT_EQ(cells.size(), 13u) << rows[size_t(e)];
    EXPECT_EQ(std::stoi(cells[1]), r.pe_nod(e, 1));
    EXPECT_EQ(std::stof(cells[6]), r.pnode_xyz(3, r.pe_nod(e, 2), 1));
    EXPECT_NEAR(std::stod(cells[9]), length(e), 1e-12 * length(e));
    EXPECT_EQ(std::stof(cells[10]), r.pe_dia(3, e));  // the Single as stored, digit for digit
    EXPECT_EQ(cells[11], e == 3 ? "non-design" : "design");
    EXPECT_EQ(cells[12], shown[e - 1]) << "element " << e;
  }
}

TEST_F(DesignExport, SolidsAreClosedFaceOutwardsAndHoldTheMembersVolume) {
  struct Case {
    float threshold;
    float bar_thickness;  // 0: no thickness read, the bar becomes its circle of equal area
    size_t triangles;
  };
  // A round beam: 16 x 2 side triangles + 2 x 14 cap triangles; a plate 12.
  const Case cases[] = {{1.0f, 1, 60 + 4 * 12}, {0.5f, 1, 2 * 60 + 4 * 12}, {0.0f, 1, 5 * 60 + 4 * 12}, {0.5f, 0, 3 * 60}};
  for (const Case& c : cases) {
    for (int l = 1; l <= 4; ++l) r.sections.line_t(2, l) = c.bar_thickness;
    export_design(r, {3, c.threshold}, "frame.stl");
    const StlCheck check = check_stl("frame.stl");
    SCOPED_TRACE(testing::Message() << "threshold " << c.threshold << ", wall " << c.bar_thickness);
    ASSERT_TRUE(check.well_formed);
    EXPECT_EQ(check.triangles, c.triangles);
    EXPECT_EQ(check.unpaired_edges, 0);
    EXPECT_EQ(check.normals_against, 0);
    EXPECT_EQ(check.inside_out_parts, 0);
    const double bar_area = c.bar_thickness > 0 ? 60 : std::numbers::pi / 4 * r.pe_dia(3, 3) * r.pe_dia(3, 3);
    const double expected = members_volume(c.threshold, bar_area);
    EXPECT_NEAR(check.volume, expected, 0.01 * expected);
  }
}

TEST_F(DesignExport, DrawingHasEveryElementOnItsLayerWithItsDiameter) {
  export_design(r, {3, 0.5f}, "frame.dxf");
  const auto groups = dxf_groups("frame.dxf");
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(groups.back(), (std::pair<int, std::string>{0, "EOF"}));
  std::vector<std::string> layers, line_layers;
  std::vector<double> diameters, starts;
  for (size_t i = 0; i + 1 < groups.size(); ++i) {
    if (groups[i] == std::pair<int, std::string>{0, "LAYER"} && groups[i + 1].first == 2) layers.push_back(groups[i + 1].second);
    if (groups[i].second == "LINE" && groups[i].first == 0) line_layers.push_back(groups[i + 1].second);
    if (groups[i].first == 1040) diameters.push_back(std::stod(groups[i].second));
    if (groups[i].first == 10) starts.push_back(std::stod(groups[i].second));
  }
  EXPECT_EQ(layers, (std::vector<std::string>{"DESIGN", "NON_DESIGN", "THIN"}));
  EXPECT_EQ(line_layers, (std::vector<std::string>{"DESIGN", "DESIGN", "NON_DESIGN", "THIN", "THIN", "THIN"}));
  ASSERT_EQ(diameters.size(), 6u);
  ASSERT_EQ(starts.size(), 6u);
  for (int e = 1; e <= 6; ++e) {
    EXPECT_EQ(float(diameters[size_t(e - 1)]), r.pe_dia(3, e));
    EXPECT_EQ(float(starts[size_t(e - 1)]), r.pnode_xyz(3, r.pe_nod(e, 1), 1));
  }
}

TEST_F(DesignExport, FailuresNameTheFileAndLeaveNothingBehind) {
  write_file("old.stl", "an older export");
  struct Case {
    std::string path, error;
    DesignChoice choice;
  };
  const Case cases[] = {
      {"missing/frame.csv", "Cannot write file (missing/frame.csv: the folder does not exist)", {3, 1}},
      {"frame.txt", "Bad file name (frame.txt: the name must end in .csv, .stl, .dxf, .inp or .pdf)", {3, 1}},
      {"old.stl", "Subscript out of range (cycle 4)", {4, 1}},
  };
  for (const Case& c : cases) EXPECT_EQ(error_of([&] { export_design(r, c.choice, c.path); }), c.error);
  fs::create_directory("taken.dxf");  // a name the file cannot take: nothing half-written stays
  EXPECT_EQ(error_of([&] { export_design(r, {3, 1}, "taken.dxf"); }),
            "Cannot write file (taken.dxf: a folder, not a regular file)");
  EXPECT_EQ(file_text("old.stl"), "an older export");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(".")) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"old.stl", "taken.dxf"}));
}

// A write the system refuses for want of room (a file-size limit as a full disk) is "Cannot
// write file" naming the file, with nothing left behind; the program ignores SIGXFSZ, which
// would otherwise end it in the middle of the write.
TEST_F(DesignExport, AFileSizeLimitFailsTheWriteCleanly) {
  const std::string message = error_under_file_limit(
      4096,
      [&] {
        ignore_file_size_signal();
        export_design(r, {3, 0}, "big.stl");
      },
      false);
  EXPECT_EQ(message, "Cannot write file (big.stl: the file would be larger than the system allows)");
  EXPECT_TRUE(fs::is_empty("."));
}

// Every name the file system takes can be written, up to 255 bytes, whatever the temporary
// name of the write would have been.
TEST_F(DesignExport, NamesOfUpTo255BytesAreWritten) {
  for (size_t length : {size_t(233), size_t(246), size_t(255)}) {
    const std::string name = std::string(length - 4, 'd') + ".dxf";
    EXPECT_EQ(error_of([&] { export_design(r, {3, 1}, name); }), "") << length;
    EXPECT_TRUE(fs::exists(name)) << length;
    fs::remove(name);
  }
  EXPECT_TRUE(fs::is_empty("."));
}

