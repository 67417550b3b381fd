// The tables a CSV export writes beside the design table when the frame is analysed.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>

#include "evaluate/force_view.h"
#include "export/force_tables.h"
#include "formats/fields.h"
#include "formats/json.h"
#include "formats/numtext.h"
#include "post/result_file.h"
#include "support/model_builder.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace test_support;

namespace {

// The hand-made result set of six elements, and a frame of two nodes without load states.
class ForceTables : public ::testing::Test {
 protected:
  ForceTables() {
    ResultPaths p;
    for (std::string* f : {&p.results, &p.sections, &p.model}) *f = (tests_dir() / "data" / "post_small" / *f).string();
    r = std::move(*read_result_set(p).store);
    frame.model.nodes = {{0, 0, 0}, {100, 0, 0}};
  }
  void write(const std::string& path, const Bill* with_bill = nullptr) {
    write_force_tables(r, {3, 1}, frame, forces, with_bill, path);
  }
  WorkingDirectory dir_;
  ResultStore r;
  ShownFrame frame;
  FrameForces forces;
  const Bill bill;
};

size_t files_here() { return static_cast<size_t>(std::distance(fs::directory_iterator("."), {})); }

}  // namespace

// A node table that cannot take its place leaves the older tables as they were.
TEST_F(ForceTables, TheTablesAreReplacedAllOrNone) {
  write_file("frame.csv", "older table\r\n");
  write_file("frame_bom.csv", "older bill\r\n");
  fs::create_directory("frame_nodes.csv");
  const std::string in_the_way = "Cannot write file (frame_nodes.csv: a folder, not a regular file)";
  EXPECT_EQ(error_of([&] { write("frame.csv", &bill); }), in_the_way);
  EXPECT_EQ(file_text("frame.csv"), "older table\r\n");
  EXPECT_EQ(file_text("frame_bom.csv"), "older bill\r\n");
  EXPECT_EQ(files_here(), 3u);
  fs::remove("frame_nodes.csv");
  write("frame.csv", &bill);
  EXPECT_EQ(file_lines("frame.csv").size(), 7u);  // a header and six elements
  EXPECT_EQ(file_lines("frame_nodes.csv"), (std::vector<std::string>{"node,L,W,H", "1,0,0,0", "2,100,0,0"}));
  EXPECT_EQ(file_lines("frame_bom.csv").back(), "total,0,,0,0");
  EXPECT_EQ(files_here(), 3u);
}

// The node table's name is six bytes longer than the table's.
TEST_F(ForceTables, ANameLeavesRoomForTheNodeTable) {
  const std::string longest(max_file_name_bytes - 6 - 4, 't'), too_long = longest + "t.csv";
  EXPECT_EQ(error_of([&] { write(too_long); }).rfind("Bad file name (" + too_long + ": a table's name may have at most 249 bytes", 0),
            0u);
  EXPECT_EQ(files_here(), 0u);
  write(longest + ".csv");
  EXPECT_TRUE(fs::exists(longest + "_nodes.csv"));
}

// A stub that fails in shear: a rod of 40, 5 mm long, clamped, 240 kN across its free end.
// V / V_pl,Rd = 240e3 / (0.9 A 235 / sqrt 3) = 1.564 governs, and the table and the state dump
// carry it.
TEST(ForceColumns, AShearFailureIsNamedAndExported) {
  Model m;
  const int n1 = m.node(0, 0, 0), n2 = m.node(5, 0, 0);
  m.element(n1, n2, m.design());
  ModelFileCase& c = m.add_case();
  Model::clamp(c, n1);
  Model::load(c, n2, 2, 240e3);
  const ShownFrame f = frame_of(m.f, {40});
  const FrameForces forces = analyse_frame(f);
  const FrameChecks checks = check_frame(f, forces, {});
  const double shear = 240e3 / (0.9 * std::numbers::pi * 400 * 235 / std::sqrt(3.0));
  EXPECT_NEAR(checks.envelope[0].utilisation, shear, 1e-9);
  EXPECT_EQ(checks.envelope[0].governs, Governs::shear);
  const std::string row = force_columns(f, forces, checks, 1).rows[1];
  EXPECT_NE(row.find("," + plain_text(checks.envelope[0].utilisation) + ",1,shear,"), std::string::npos) << row;
  JsonWriter j;
  write_force_json(j.begin_object(), f, forces, checks, {1}, 1);
  EXPECT_NE(j.str().find("\"utilisation_max\":{\"value\":1.564"), std::string::npos) << j.str();
  EXPECT_NE(j.str().find("\"check\":\"shear\",\"case\":1}]"), std::string::npos) << j.str();
}
