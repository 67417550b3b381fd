// "Read Data" in core: the result file's layout and failure rule, and the model files read after it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "base/run_files.h"
#include "formats/fields.h"
#include "post/result_file.h"
#include "support/robustness.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace test_support;

namespace {

// A result file of n nodes on the L axis (node i at L = 10 i) and elements round them, with the
// given kinds, and `cycles` cycles in which element e has the diameter c + e / 10.
void write_results(const std::string& path, int nodes, const std::vector<int>& kinds, int cycles) {
  std::vector<std::string> lines{FieldLine().i5(nodes).i5(static_cast<long>(kinds.size())).e15(20).str()};
  for (size_t e = 0; e < kinds.size(); ++e)
    lines.push_back(FieldLine().i5(long(e + 1)).i5(long(e) % nodes + 1).i5(long(e + 1) % nodes + 1).i5(kinds[e]).str());
  for (int c = 1; c <= cycles; ++c) {
    lines.push_back(FieldLine().i5(c).e15(1000.0 / c).e15(0.3).e15(0.01).str());
    for (int i = 1; i <= nodes; ++i) lines.push_back(FieldLine().i5(i).e15(10.0 * i).e15(0).e15(-1.5).str());
    for (size_t e = 0; e < kinds.size(); ++e) lines.push_back(FieldLine().i5(long(e + 1)).e15(c + (e + 1) / 10.0).str());
  }
  write_file(path, crlf(lines));
}

// Each test in a fresh working directory; the default paths are the files of the program.
class ResultFile : public ::testing::Test {
 protected:
  test_support::WorkingDirectory dir_;
  ResultPaths paths;
};

}  // namespace

TEST_F(ResultFile, EveryCycleIsReadAndKindOneAloneIsNonDesign) {
  write_results(paths.results, 4, {1, 0, 2}, 3);
  ResultStore r;
  read_result_file(r, paths.results);
  EXPECT_EQ(r.pn_cyc, 3);
  EXPECT_TRUE(r.is_non_design(1));
  EXPECT_FALSE(r.is_non_design(2));  // kind 0
  EXPECT_FALSE(r.is_non_design(3));  // kind 2
  EXPECT_EQ(r.pnode_xyz(2, 1, 3), -1.5f);
  EXPECT_EQ(r.pe_dia(3, 3), 3.3f);
  EXPECT_EQ(r.pc_comp(2), 500.0);
  EXPECT_EQ(r.pc_vol(3), 0.3);
  // The cycle line is the solver's summary: one that does not hold it leaves the cycle out of
  // the convergence history and is no fault of the file; one with the compliance alone stays.
  auto lines = test_support::file_lines(paths.results);
  lines[4] = "    1  converging";
  lines[12] = FieldLine().i5(2).e15(500).str();
  write_file(paths.results, crlf(lines));
  read_result_file(r, paths.results);
  EXPECT_EQ(r.pn_cyc, 3);
  const auto history = convergence_history(r);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].cycle, 2);
  EXPECT_NEAR(history[0].compliance, 500, 1e-2);
  EXPECT_TRUE(std::isnan(history[0].volume_ratio));
  EXPECT_EQ(history[1].cycle, 3);
  EXPECT_NEAR(history[1].compliance, 1000.0 / 3, 1e-2);
  EXPECT_DOUBLE_EQ(history[1].volume_ratio, 0.3);
}

TEST_F(ResultFile, ModelFilesGiveSectionsAndReferences) {
  copy_result_set();
  const ResultSet set = read_result_set(paths);
  ASSERT_TRUE(set.store);
  const ResultStore& r = *set.store;
  // A design element's reference point; the non-design element's W direction.
  EXPECT_EQ(r.pe_ref(2, 2), 101.0f);
  EXPECT_EQ(r.pe_ref(4, 3), 1.0f);
  EXPECT_EQ(r.pe_ref(3, 2), 1.0f);
  EXPECT_EQ(r.sections.pnt_xy(2, 3, 2), 10.0f);
  EXPECT_EQ(r.sections.line_t(2, 1), 1.0f);
  // A thickness that cannot be read is no fault of the results: it is kept as 0.
  auto lines = test_support::file_lines(paths.sections);
  lines[7].replace(10, 15, "          wall ");
  write_file(paths.sections, crlf(lines));
  const ResultSet again = read_result_set(paths);
  ASSERT_TRUE(again.store);
  EXPECT_EQ(again.store->sections.line_t(2, 1), 0.0f);
  EXPECT_EQ(again.store->sections.line_t(2, 2), 1.0f);
}

// A window that follows a run reads only that run's results: the run's token must lie beside
// them. Results without one (a solver started by hand) or under another are refused, saying so;
// a run that has written nothing yet is not read, and that is the reason given.
TEST_F(ResultFile, ARunsTokenKeepsAWindowToItsOwnResults) {
  const std::string mine = "00000000000000aa";
  ResultSet nothing = read_result_set(paths, mine);
  EXPECT_FALSE(nothing.store);
  EXPECT_EQ(nothing.refused, "");
  EXPECT_EQ(nothing.problem, "the run has written no " + paths.results + " yet");
  copy_result_set();
  for (const std::string other : {"", "00000000000000bb"}) {
    if (!other.empty()) write_run_token(other);
    ResultSet set = read_result_set(paths, mine);
    EXPECT_FALSE(set.store) << other;
    EXPECT_NE(set.refused.find("another run"), std::string::npos) << other;
  }
  write_run_token(mine);
  ResultSet own = read_result_set(paths, mine);
  ASSERT_TRUE(own.store);
  EXPECT_EQ(own.store->pn_cyc, 3);
  EXPECT_EQ(own.store->res_ok, 1);
  write_run_token("00000000000000bb");
  EXPECT_TRUE(read_result_set(paths).store);  // a window that follows no run reads any
}

