// The analysis model file: the hand-checked layout, the re-analysis read-back that renumbers
// the cases, the design reference points, and the whole parse the solvers use, also of damaged files.
#include "support/test_support.h"
#include "analysis/model_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/model_store.h"
#include "support/robustness.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

void set_node(ModelStore& m, int i, float l, float w, float h) {
  m.node_xyz(i, 1) = l;
  m.node_xyz(i, 2) = w;
  m.node_xyz(i, 3) = h;
}

void set_elem(ModelStore& m, int j, int n1, int n2, int prop) {
  m.elem_nod(j, 1) = static_cast<int16_t>(n1);
  m.elem_nod(j, 2) = static_cast<int16_t>(n2);
  m.elem_nod(j, 3) = static_cast<int16_t>(prop);
}

// Three nodes in an L, two design elements (along L and along W) and one non-design element.
// Case 1: node 1 clamped, a downward load at node 3 (plus a zero and a minus-zero load that
// must not be written), a spring at node 2. Case 2: a spring only. Case 3: node 1 pinned, a
// moment at node 2.
ModelStore small_model() {
  ModelStore m;
  m.form_load();
  m.n_node = 3;
  m.n_elem = 3;
  m.n_prop = 2;
  set_node(m, 1, 0, 0, 0);
  set_node(m, 2, 100, 0, 0);
  set_node(m, 3, 100, 200, 0);
  set_elem(m, 1, 1, 2, 1);
  set_elem(m, 2, 2, 3, 1);
  set_elem(m, 3, 1, 3, 2);
  m.elem_prop(3, 2) = 10;  // the non-design bar's W direction
  const float g1 = 206000.0f / 2 / 1.33f;
  const float p1[7] = {-206000, g1, 0, 0, 0, 0, 0};
  const float p2[7] = {70000, 26315.79f, 100, 833.333f, 2083.33f, 2916.67f, 0};
  for (int v = 1; v <= 7; ++v) {
    m.prop_tab(1, v) = p1[v - 1];
    m.prop_tab(2, v) = p2[v - 1];
  }
  for (int k = 1; k <= 6; ++k) m.bc_val(1, 1, 1, k) = 1;
  m.bc_val(1, 3, 2, 3) = -500;
  m.bc_val(1, 3, 2, 1) = 0;
  m.bc_val(1, 3, 2, 2) = -0.0f;
  m.spring_val(1, 2, 2) = 1000;
  m.bc_flag(1, 1) = m.bc_flag(1, 2) = m.bc_flag(1, 3) = 1;
  m.spring_val(2, 3, 1) = 55;
  m.bc_flag(2, 3) = 1;
  for (int k = 1; k <= 3; ++k) m.bc_val(3, 1, 1, k) = 1;
  m.bc_val(3, 2, 2, 6) = 2.5e4f;
  m.bc_flag(3, 1) = m.bc_flag(3, 2) = 1;
  return m;
}

AnalysisSettings display_off() {
  AnalysisSettings s;
  s.display = 0;
  return s;
}

// The same model as rebuilt by the re-analysis: the mesh without any condition.
ModelStore rebuilt(const ModelStore& written) {
  ModelStore m = written;
  m.bc_flag.fill(0);
  m.bc_val.fill(0);
  m.spring_val.fill(0);
  m.case_cnt.fill(0);
  m.mx_case = max_cases;
  return m;
}

// Each test in a fresh working directory.
class ModelFileTest : public ::testing::Test {
 protected:
  WorkingDirectory dir_;
};

const fs::path golden = test_support::tests_dir() / "data" / "fem_gr_jo_small.dat";

// Damaged files: every reader names the file and line, and a failed read-back leaves the store as it was.
const std::string file = model_file_name;
const std::string past_end = "Input past end of file (" + file + ")";
std::string at(const std::string& name, int line) { return fault_at(file, name, line); }

// The hand-checked file of three nodes, three elements, two sets and two cases, by line:
// 1 header, 2-4 nodes, 5-7 elements, 8-9 sets, 10 count of case 1, 11-17 its records (the
// load on 17), 18-20 its springs, 21 count of case 2, 22-25 records, 26-28 springs.
std::vector<std::string> good_lines() { return file_lines(golden); }

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
  ModelStore m = rebuilt(small_model());
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

TEST_F(ModelFileTest, SmallModelMatchesTheHandCheckedFileByteForByte) {
  ModelStore m = small_model();
  write_model_file(m, display_off(), file);
  EXPECT_EQ(file_text(file), file_text(golden));
  EXPECT_FALSE(temp_file_left(file));
  // The record counts are kept in the store as well as written.
  EXPECT_EQ(m.case_cnt(1), 7);
  EXPECT_EQ(m.case_cnt(2), 0);
  EXPECT_EQ(m.case_cnt(3), 4);
}

TEST_F(ModelFileTest, ReadBackRenumbersTheWrittenCases) {
  ModelStore written = small_model();
  AnalysisSettings s;
  s.max_diameter = 35.5f;
  s.volume_ratio = 0.2f;
  s.display = 1;
  write_model_file(written, s, file);

  ModelStore m = rebuilt(written);
  m.bc_val(5, 2, 2, 1) = 9;  // stale data the read-back must clear
  const AnalysisSettings back = read_back_model_file(m, file);

  EXPECT_EQ(m.mx_case, 2);
  EXPECT_EQ(back.max_diameter, 35.5f);
  EXPECT_EQ(back.volume_ratio, 0.2f);
  EXPECT_EQ(back.init_ratio, 0.0001f);
  EXPECT_EQ(back.display, 1);
  // Former case 3 is now case 2; the springs-only case is gone.
  EXPECT_EQ(m.case_cnt(1), 7);
  EXPECT_EQ(m.bc_flag(1, 1) + m.bc_flag(1, 2) + m.bc_flag(1, 3), 3);
  EXPECT_EQ(m.case_cnt(2), 4);
  EXPECT_EQ(m.bc_flag(2, 3), 0);
  EXPECT_EQ(m.case_cnt(3), 0);
  EXPECT_EQ(m.bc_val(5, 2, 2, 1), 0.0f);
  // Written again, the renumbered model gives the same blocks: every value came back.
  write_model_file(m, display_off(), file);
  ModelStore again = small_model();
  write_model_file(again, display_off(), "first.dat");
  EXPECT_EQ(file_text(file), file_text("first.dat"));
}

TEST_F(ModelFileTest, NoConditionsGiveNoBlockAndCaseOneStaysOpen) {
  ModelStore m = small_model();
  for (int c = 1; c <= max_cases; ++c)
    for (int i = 1; i <= 3; ++i)
      for (int k = 1; k <= 6; ++k) m.bc_val(c, i, 1, k) = m.bc_val(c, i, 2, k) = 0;
  EXPECT_EQ(count_case_records(m), 0);
  write_model_file(m, display_off(), file);
  const auto lines = file_lines(file);
  EXPECT_EQ(lines.size(), 1u + 3 + 3 + 2);
  EXPECT_EQ(lines[0].substr(15, 5), "    0");

  ModelStore back = rebuilt(m);
  read_back_model_file(back, file);
  EXPECT_EQ(back.mx_case, 1);
  EXPECT_EQ(back.case_cnt(1), 0);
}

TEST_F(ModelFileTest, DesignReferencePointsFollowTheDirectionOfW) {
  ModelStore m;
  m.form_load();
  m.n_node = 7;
  m.n_elem = 4;
  m.n_prop = 2;
  m.prop_tab(1, 1) = -1000;  // design
  m.prop_tab(2, 1) = 1000;   // non-design
  set_node(m, 1, 10, 20, 30);
  set_node(m, 2, 10, -180, 30);          // along -W: ratio 1
  set_node(m, 3, 63.2139225f, 998, 0);   // |dW| / len = 0.998 as a Single
  set_node(m, 4, 0, 0, 0);
  set_node(m, 5, 60, 998.2f, 0);         // just above 0.998
  set_node(m, 6, 0, 0, 0);
  set_node(m, 7, 5, 5, 5);
  set_elem(m, 1, 1, 2, 1);
  set_elem(m, 2, 4, 3, 1);
  set_elem(m, 3, 4, 5, 1);
  set_elem(m, 4, 6, 7, 2);
  m.elem_prop(4, 1) = 7;
  set_design_references(m);

  auto ref = [&](int j) { return std::vector<float>{m.elem_prop(j, 1), m.elem_prop(j, 2), m.elem_prop(j, 3)}; };
  EXPECT_EQ(ref(1), (std::vector<float>{10, 20, 31}));
  EXPECT_EQ(ref(2), (std::vector<float>{0, 1, 0}));
  EXPECT_EQ(ref(3), (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(ref(4), (std::vector<float>{7, 0, 0}));
}

TEST_F(ModelFileTest, WholeReadGivesThePlainModel) {
  const ModelFile f = read_model_file(golden.string());

  EXPECT_EQ(f.n_prop, 2);
  EXPECT_EQ(f.max_diameter_text, "    2.00000E+01");
  EXPECT_DOUBLE_EQ(f.nodes[2][1], 200);
  EXPECT_EQ(f.elements[1].node1, 2);
  EXPECT_DOUBLE_EQ(f.elements[1].ref[2], 1);
  EXPECT_DOUBLE_EQ(f.props[0][0], -206000);
  EXPECT_DOUBLE_EQ(f.props[1][4], 2083.33);
  ASSERT_EQ(f.cases.size(), 2u);
  EXPECT_EQ(f.cases[0].records.size(), 7u);
  EXPECT_TRUE(f.cases[0].fixed[0][5]);
  EXPECT_FALSE(f.cases[0].fixed[1][0]);
  EXPECT_DOUBLE_EQ(f.cases[0].loads[2][2], -500);
  EXPECT_DOUBLE_EQ(f.cases[0].springs[1][1], 1000);
  EXPECT_DOUBLE_EQ(f.cases[1].loads[1][5], 25000);
}

TEST_F(ModelFileTest, EveryReaderNamesTheFileAndLineAndTheModelStaysAsItWas) {
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

TEST_F(ModelFileTest, ReadBackRefusesWhatTheStoreCannotHold) {
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

  // 32768 records in case 2 parse (the solvers take them) but overflow the store's Integer count.
  std::vector<std::string> crowded(lines.begin(), lines.begin() + 20);
  crowded.push_back("32768");
  for (int r = 0; r < 32768; ++r) crowded.push_back("    1    1    0");
  crowded.insert(crowded.end(), lines.end() - 3, lines.end());
  write_file(file, crlf(crowded));
  EXPECT_EQ(read_model_file().cases[1].records.size(), 32768u);
  EXPECT_EQ(error_of([&] { read_back_model_file(m); }), at("Overflow", 21));
  EXPECT_TRUE(same_conditions(m, before));
}

TEST(AnalysisSettings, TextsAreConvertedStrictlyToSingles) {
  const AnalysisSettings s = settings_from_texts({"20", "0.0001", "0.01", "1.0", "1.0"}, 1);
  EXPECT_EQ(s.max_diameter, 20.0f);
  EXPECT_EQ(s.init_ratio, 0.0001f);
  EXPECT_EQ(s.display, 1);
  EXPECT_EQ(error_of([] { settings_from_texts({"20", "", "0.01", "1.0", "1.0"}, 1); }), "Type mismatch (Init.Valu.Ratio)");
  EXPECT_EQ(error_of([] { settings_from_texts({"20", "0.1", "0.01", "1.0", "1e39"}, 0); }), "Overflow (Penalty Factor)");
}

}  // namespace
