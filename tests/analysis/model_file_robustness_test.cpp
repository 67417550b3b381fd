// The readers of the analysis model file against damaged files: the whole parse (solvers), the
// parse up to the elements (post-processing) and the re-analysis read-back, which must leave
// the model store as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/model_file.h"
#include "model/model_store.h"
#include "support/robustness.h"
#include "support/test_support.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

const std::string file = model_file_name;
const std::string past_end = "Input past end of file (" + file + ")";
std::string at(const std::string& name, int line) { return fault_at(file, name, line); }

// The hand-checked file of three nodes, three elements, two sets and two cases, by line:
// 1 header, 2-4 nodes, 5-7 elements, 8-9 sets, 10 count of case 1, 11-17 its records (the
// load on 17), 18-20 its springs, 21 count of case 2, 22-25 records, 26-28 springs.
std::vector<std::string> good_lines() {
  const fs::path golden = test_support::tests_dir() / "data" / "fem_gr_jo_small.dat";
  return file_lines(golden);
}

std::string with_line(int n, const std::string& text) { return with_line_replaced(good_lines(), n, text); }
std::string first_lines(int n) { return first_lines_of(good_lines(), n); }

// The good file with columns from..from+width-1 of line n replaced by `field`.
std::string with_field(int n, int from, const std::string& field) {
  auto lines = good_lines();
  lines[static_cast<size_t>(n - 1)].replace(static_cast<size_t>(from - 1), field.size(), field);
  return crlf(lines);
}

struct ModelCase {
  const char* what;
  std::string content;
  std::string whole_error;  // read_model_file; the read-back gives the same
  std::string head_error;   // read up to the elements
};

std::vector<ModelCase> damaged_files() {
  const std::string header_error = at("Type mismatch", 1);
  return {
      {"empty file", "", past_end, past_end},
      {"binary header", with_line(1, std::string("\0\x01\x7f", 3)), header_error, header_error},
      {"header cut after the counts", with_line(1, good_lines()[0].substr(0, 25)), header_error, header_error},
      {"negative node count", with_field(1, 1, "   -3"), at("Subscript out of range", 1), at("Subscript out of range", 1)},
      {"negative case count", with_field(1, 16, "   -2"), at("Subscript out of range", 1), at("Subscript out of range", 1)},
      {"setting beyond the Single range", with_field(1, 26, "        1.0E+39"), at("Overflow", 1), at("Overflow", 1)},
      {"display switch in words", with_field(1, 101, "  yes"), header_error, header_error},
      {"node line without H", with_line(3, good_lines()[2].substr(0, 35)), at("Type mismatch", 3), at("Type mismatch", 3)},
      {"element to node 0", with_field(5, 6, "    0"), at("Subscript out of range", 5), at("Subscript out of range", 5)},
      {"element to node 4 of 3", with_field(6, 11, "    4"), at("Subscript out of range", 6), at("Subscript out of range", 6)},
      {"element of set 3 of 2", with_field(7, 16, "    3"), at("Subscript out of range", 7), at("Subscript out of range", 7)},
      {"element of a negative set", with_field(7, 16, "   -1"), at("Subscript out of range", 7), at("Subscript out of range", 7)},
      {"element without its reference", with_line(7, good_lines()[6].substr(0, 20)), at("Type mismatch", 7),
       at("Type mismatch", 7)},
      {"file ending inside the elements", first_lines(6), past_end, past_end},
      // The post-processing window stops after the elements; only the whole parse sees the rest.
      {"set line cut short", with_line(9, good_lines()[8].substr(0, 95)), at("Type mismatch", 9), ""},
      {"negative record count", with_field(10, 1, "   -7"), at("Subscript out of range", 10), ""},
      {"more records than lines before the springs", with_field(10, 1, "    9"), at("Subscript out of range", 18), ""},
      {"record of node 0", with_field(11, 1, "    0"), at("Subscript out of range", 11), ""},
      {"record of node 4 of 3", with_field(11, 1, "    4"), at("Subscript out of range", 11), ""},
      {"record of dof 7", with_field(12, 6, "    7"), at("Subscript out of range", 12), ""},
      {"record of dof 0", with_field(12, 6, "    0"), at("Subscript out of range", 12), ""},
      {"record kind in words", with_field(13, 11, "fixed"), at("Type mismatch", 13), ""},
      {"record kind beyond five digits", with_field(13, 11, "1E+09"), at("Overflow", 13), ""},
      {"load record without its load", with_line(17, "    3    3    1"), at("Type mismatch", 17), ""},
      {"load beyond the Single range", with_field(17, 16, "       -4.0E+38"), at("Overflow", 17), ""},
      {"spring line cut short", with_line(19, good_lines()[18].substr(0, 80)), at("Type mismatch", 19), ""},
      {"last spring line cut inside its last field", with_line(28, good_lines()[27].substr(0, 90)), at("Type mismatch", 28),
       ""},
      {"file ending inside the last springs", first_lines(27), past_end, ""},
      {"more cases announced than there are", with_field(1, 16, "    3"), past_end, ""},
      // Files the readers must take.
      {"last line without its CR LF", crlf(good_lines()).substr(0, crlf(good_lines()).size() - 2), "", ""},
      {"no cases at all", [] {
         auto lines = good_lines();
         lines[0].replace(15, 5, "    0");
         lines.resize(9);
         return crlf(lines);
       }(), "", ""},
  };
}

// The rebuilt model of the good file, with conditions that a failed read-back must keep.
ModelStore rebuilt_model() {
  ModelStore m;
  m.form_load();
  m.n_node = 3;
  m.n_elem = 3;
  m.n_prop = 2;
  m.mx_case = 4;
  m.case_cnt(4) = 2;
  m.bc_flag(4, 2) = 1;
  m.bc_val(4, 2, 1, 3) = 1;
  m.bc_val(4, 2, 2, 1) = -250;
  m.spring_val(2, 3, 6) = 80;
  return m;
}

// The parts of the store the read-back writes.
bool same_conditions(const ModelStore& a, const ModelStore& b) {
  if (a.mx_case != b.mx_case) return false;
  for (int c = 1; c <= max_cases; ++c) {
    if (a.case_cnt(c) != b.case_cnt(c)) return false;
    for (int i = 1; i <= a.n_node; ++i) {
      if (a.bc_flag(c, i) != b.bc_flag(c, i)) return false;
      for (int k = 1; k <= 6; ++k)
        if (a.bc_val(c, i, 1, k) != b.bc_val(c, i, 1, k) || a.bc_val(c, i, 2, k) != b.bc_val(c, i, 2, k) ||
            a.spring_val(c, i, k) != b.spring_val(c, i, k))
          return false;
    }
  }
  return true;
}

}  // namespace

TEST(ModelFileRobustness, EveryReaderNamesTheFileAndLineAndTheModelStaysAsItWas) {
  WorkingDirectory dir;
  const ModelStore before = rebuilt_model();
  ModelStore missing = rebuilt_model();
  EXPECT_EQ(error_of([&] { read_back_model_file(missing); }), "File not found (" + file + ")");
  EXPECT_TRUE(same_conditions(missing, before));
  for (const ModelCase& c : damaged_files()) {
    SCOPED_TRACE(c.what);
    write_file(file, c.content);
    EXPECT_EQ(error_of([] { read_model_file(); }), c.whole_error);
    EXPECT_EQ(error_of([] { read_model_file(file, ModelFileExtent::through_elements); }), c.head_error);
    ModelStore m = rebuilt_model();
    EXPECT_EQ(error_of([&] { read_back_model_file(m); }), c.whole_error);
    if (!c.whole_error.empty()) {
      EXPECT_TRUE(same_conditions(m, before));
    }
  }
}

TEST(ModelFileRobustness, ReadBackRefusesWhatTheStoreCannotHold) {
  WorkingDirectory dir;
  const ModelStore before = rebuilt_model();
  auto lines = good_lines();

  // A model of 4 nodes is not the rebuilt one.
  write_file(file, with_field(1, 1, "    4"));
  ModelStore m = rebuilt_model();
  EXPECT_EQ(error_of([&] { read_back_model_file(m); }),
            "Model does not match (fem_gr_jo.dat, line 1: 4 nodes, the design of temp_save.dat has 3)");
  EXPECT_TRUE(same_conditions(m, before));

  // Six cases: the store holds five.
  std::vector<std::string> six = lines;
  six[0].replace(15, 5, "    6");
  for (int extra = 0; extra < 4; ++extra) six.insert(six.end(), lines.begin() + 20, lines.end());
  write_file(file, crlf(six));
  EXPECT_EQ(error_of([&] { read_back_model_file(m); }), "Capacity exceeded (" + file + ", line 1)");
  EXPECT_TRUE(same_conditions(m, before));

  // 32768 records in case 2 parse (the solvers take them) but overflow the Integer count of the
  // store: the error names the count line.
  std::vector<std::string> crowded(lines.begin(), lines.begin() + 20);
  crowded.push_back("32768");
  for (int r = 0; r < 32768; ++r) crowded.push_back("    1    1    0");
  crowded.insert(crowded.end(), lines.end() - 3, lines.end());
  write_file(file, crlf(crowded));
  EXPECT_EQ(read_model_file().cases[1].records.size(), 32768u);
  EXPECT_EQ(error_of([&] { read_back_model_file(m); }), at("Overflow", 21));
  EXPECT_TRUE(same_conditions(m, before));
}
