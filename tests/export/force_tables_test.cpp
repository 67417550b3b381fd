// The tables a CSV export writes beside the design table when the frame is analysed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "export/force_tables.h"
#include "formats/fields.h"
#include "post/result_file.h"
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
