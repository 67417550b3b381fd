// "Read Data" against damaged files: each fault named by file and line, and then no store.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formats/fields.h"
#include "post/result_file.h"
#include "support/robustness.h"
#include "support/test_support.h"

using namespace test_support;

namespace {

std::string at(const std::string& name, int line) { return fault_at(post_file_name, name, line); }
const std::string limits = "the post-processing window holds at most 1000 nodes, 10000 elements and 200 cycles, in 64 MB";
// A first line whose counts the window cannot hold.
std::string beyond(const std::string& counts) {
  return std::string("Capacity exceeded (") + post_file_name + ", line 1: " + counts + "; " + limits + ")";
}
const std::string past_end = std::string("Input past end of file (") + post_file_name + ")";

const std::string node = "    1    0.00000E+00    0.00000E+00    0.00000E+00";

// Two nodes, one element, one cycle, by line: 1 header, 2 element, 3 cycle line, 4-5 nodes,
// 6 the element's diameter.
std::vector<std::string> good_lines() {
  return {"    2    1    2.00000E+01", "    1    1    2    0", "    1    5.10000E+03", node, node,
          "    1    1.00000E+01"};
}

std::string with_line(int n, const std::string& text) { return with_line_replaced(good_lines(), n, text); }

std::string negative(int line) {
  return std::string("Invalid setting (") + post_file_name + ", line " + std::to_string(line) +
         ": a diameter cannot be negative)";
}

}  // namespace

TEST(ResultFileRobustness, EveryFaultNamesTheFileAndLineAndGivesNoStore) {
  WorkingDirectory dir;
  EXPECT_FALSE(read_result_set().store);  // no result file at all
  const std::string good = crlf(good_lines());
  const BadFile cases[] = {
      {"empty file", "", past_end},
      {"header without the diameter", with_line(1, "    2    1"), at("Type mismatch", 1)},
      {"diameter beyond the Single range", with_line(1, "    2    1        1.0E+39"), at("Overflow", 1)},
      {"negative node count", with_line(1, "   -2    1    2.00000E+01"), at("Subscript out of range", 1)},
      {"negative element count", with_line(1, "    2   -1    2.00000E+01"), at("Subscript out of range", 1)},
      {"node count beyond the Integer range", with_line(1, "99999    1    2.00000E+01"),
       beyond("99999 nodes and 1 element")},
      {"1001 nodes", with_line(1, " 1001    1    2.00000E+01"), beyond("1001 nodes and 1 element")},
      {"1000 nodes are within the limit (the cycle then lacks them)", with_line(1, " 1000    1    2.00000E+01"),
       at("Type mismatch", 6)},
      {"10001 elements", with_line(1, "    210001    2.00000E+01"), beyond("2 nodes and 10001 elements")},
      {"element line without its kind", with_line(2, "    1    1    2"), at("Type mismatch", 2)},
      {"element to node 0", with_line(2, "    1    0    2    0"), at("Subscript out of range", 2)},
      {"element to a negative node", with_line(2, "    1    1   -2    0"), at("Subscript out of range", 2)},
      {"element to node 3 of 2", with_line(2, "    1    1    3    0"), at("Subscript out of range", 2)},
      {"kind beyond the Integer range", with_line(2, "    1    1    299999"), at("Overflow", 2)},
      {"node line without H", with_line(5, node.substr(0, 35)), at("Type mismatch", 5)},
      {"coordinate beyond the Single range", with_line(4, "    1        1.0E+39    0.00000E+00    0.00000E+00"),
       at("Overflow", 4)},
      {"diameter line cut short", with_line(6, "    1"), at("Type mismatch", 6)},
      {"last diameter cut inside its field (15.9577 would read as 1.59)", with_line(6, "    1    1.59"),
       at("Type mismatch", 6)},
      {"negative diameter", with_line(6, "    1   -3.27690E+04"), negative(6)},
      {"negative maximum diameter", with_line(1, "    2    1   -2.00000E+01"), negative(1)},
      {"element diameter beyond the Single range", with_line(6, "    1    1.00000E+39"), at("Overflow", 6)},
      {"file ending after a cycle line", crlf({good_lines()[0], good_lines()[1], good_lines()[2]}), past_end},
      {"blank line after the last cycle", good + "\r\n", past_end},
      {"second cycle without its diameter: the first does not save the file",
       good + crlf({good_lines()[2], node, node}), past_end},
      // Files the reader takes.
      {"last line without its CR LF", good.substr(0, good.size() - 2), ""},
      {"header and elements alone", crlf({good_lines()[0], good_lines()[1]}), ""},
      {"a diameter of 0", with_line(6, "    1    0.00000E+00"), ""},
  };
  auto store = std::make_unique<ResultStore>();
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(post_file_name, c.content);
    EXPECT_EQ(error_of([&] { read_result_file(*store); }), c.error);
    if (!c.error.empty()) {
      EXPECT_FALSE(read_result_set().store);
    }
  }
}

TEST(ResultFileRobustness, TwoHundredCyclesFillTheStoreAndA201stIsRefused) {
  WorkingDirectory dir;
  ResultStore r;
  auto lines = good_lines();
  const std::vector<std::string> cycle(lines.begin() + 2, lines.end());
  for (int c = 2; c <= 201; ++c) lines.insert(lines.end(), cycle.begin(), cycle.end());
  write_file(post_file_name, crlf(lines));
  const std::string error = error_of([&] { read_result_file(r); });
  EXPECT_EQ(error.rfind(std::string("Capacity exceeded (") + post_file_name + ", line ", 0), 0u) << error;
  EXPECT_NE(error.find(": more than 200 cycles; " + limits + ")"), std::string::npos) << error;
  lines.resize(lines.size() - 4);
  write_file(post_file_name, crlf(lines));
  read_result_file(r);
  EXPECT_EQ(r.pn_cyc, 200);
}

// The largest model the solver writes gives a file the window does not read whole: its size and
// counts are given against what the window holds.
TEST(ResultFileRobustness, AFileTooLargeGivesItsSizeAndCounts) {
  WorkingDirectory dir;
  write_file(post_file_name, "15625999992.00000E+01\r\n");
  std::filesystem::resize_file(post_file_name, std::uintmax_t{288} << 20);
  auto store = std::make_unique<ResultStore>();
  ResultStore& r = *store;
  EXPECT_EQ(error_of([&] { read_result_file(r); }),
            std::string("File too large (") + post_file_name + ": 288 MB, 15625 nodes and 99999 elements; " + limits + ")");
  std::filesystem::resize_file(post_file_name, max_data_file_bytes);  // the largest file read
  EXPECT_EQ(error_of([&] { read_result_file(r); }).find("File too large"), std::string::npos);
}

TEST(ResultFileRobustness, ModelFileFaultsNameTheirFileAndLine) {
  WorkingDirectory dir;
  write_file(post_file_name, crlf(good_lines()));
  const std::string sections = crlf({"    1", "    0    0"});
  const std::string header =
      "    2    1    1    0   -1    2.00000E+01    1.00000E-04    3.00000E-01    1.00000E+00    1.00000E+00    1";
  const std::string element = "    1    1    2    1    0.00000E+00    1.00000E+00    0.00000E+00";
  const std::string model = crlf({header, node, node, element});

  write_file(section_file_name, sections);
  write_file(model_file_name, model);
  ASSERT_TRUE(read_result_set().store);

  auto error_of_read = [] { return error_of([] { read_result_set(); }); };
  std::filesystem::remove(section_file_name);
  EXPECT_EQ(error_of_read(), std::string("File not found (") + section_file_name + ")");
  std::filesystem::remove(model_file_name);
  write_file(section_file_name, sections);
  EXPECT_EQ(error_of_read(), std::string("File not found (") + model_file_name + ")");
  write_file(model_file_name, crlf({"    2    2" + header.substr(10), node, node, element, element}));
  EXPECT_EQ(error_of_read(), std::string("Model does not match (") + model_file_name + ", line 1: 2 elements, " +
                                 post_file_name + " has 1)");
  write_file(model_file_name, model);

  write_file(section_file_name, crlf({"    1", "    1    0", "    1.00000E+00"}));
  EXPECT_EQ(error_of_read(), fault_at(section_file_name, "Type mismatch", 3));

  write_file(section_file_name, sections);
  write_file(model_file_name, crlf({header, node, node, element.substr(0, 40)}));
  EXPECT_EQ(error_of_read(), fault_at(model_file_name, "Type mismatch", 4));
}
