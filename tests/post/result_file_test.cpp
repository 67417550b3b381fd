// "Read Data" in core: the result file's layout and failure rule, and the model files read after it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/errors.h"
#include "formats/fields.h"
#include "post/result_file.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using test_support::error_of;

namespace {

const fs::path small_set = test_support::tests_dir() / "data" / "post_small";

// A result file of n nodes on the L axis (node i at L = 10 i) and elements round them, with the
// given kinds, and `cycles` cycles in which element e has the diameter c + e / 10. The last
// cycle loses `cut` lines from its end.
void write_results(const std::string& path, int nodes, const std::vector<int>& kinds, int cycles, int cut = 0) {
  std::vector<std::string> lines;
  lines.push_back(FieldLine().i5(nodes).i5(static_cast<long>(kinds.size())).e15(20).str());
  for (size_t e = 0; e < kinds.size(); ++e)
    lines.push_back(FieldLine().i5(long(e + 1)).i5(long(e) % nodes + 1).i5(long(e + 1) % nodes + 1).i5(kinds[e]).str());
  for (int c = 1; c <= cycles; ++c) {
    lines.push_back(FieldLine().i5(c).e15(1000.0 / c).e15(0.3).e15(0.01).str());
    for (int i = 1; i <= nodes; ++i) lines.push_back(FieldLine().i5(i).e15(10.0 * i).e15(0).e15(-1.5).str());
    for (size_t e = 0; e < kinds.size(); ++e) lines.push_back(FieldLine().i5(long(e + 1)).e15(c + (e + 1) / 10.0).str());
  }
  lines.resize(lines.size() - static_cast<size_t>(cut));
  DataFileWriter out(path);
  for (const auto& l : lines) out.line(l);
  out.commit();
}

void write_lines(const std::string& path, const std::vector<std::string>& lines) {
  DataFileWriter out(path);
  for (const auto& l : lines) out.line(l);
  out.commit();
}

// Each test in a fresh working directory; the default paths are the files of the program.
class ResultFile : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return (dir_.path() / name).string(); }
  void copy_small_set() {
    for (const char* f : {"post_pl.dat", "cross_data_4th.dat", "fem_gr_jo.dat"})
      fs::copy_file(small_set / f, f, fs::copy_options::overwrite_existing);
  }
  test_support::WorkingDirectory dir_;
  ResultPaths paths;
};

}  // namespace

TEST_F(ResultFile, EveryCycleIsReadAndKindOneAloneIsNonDesign) {
  write_results(paths.results, 4, {1, 0, 2}, 3);
  ResultStore r;
  read_result_file(r, paths.results);
  EXPECT_EQ(r.pn_node, 4);
  EXPECT_EQ(r.pn_elem, 3);
  EXPECT_EQ(r.pd_max, 20.0f);
  EXPECT_EQ(r.pn_cyc, 3);
  EXPECT_EQ(r.pe_nod(3, 1), 3);
  EXPECT_EQ(r.pe_nod(3, 2), 4);
  EXPECT_TRUE(r.is_non_design(1));
  EXPECT_FALSE(r.is_non_design(2));  // kind 0
  EXPECT_FALSE(r.is_non_design(3));  // kind 2
  EXPECT_EQ(r.pnode_xyz(3, 4, 1), 40.0f);
  EXPECT_EQ(r.pnode_xyz(2, 1, 3), -1.5f);
  EXPECT_EQ(r.pe_dia(1, 1), 1.1f);
  EXPECT_EQ(r.pe_dia(3, 3), 3.3f);
  EXPECT_EQ(r.pc_comp(2), 500.0);
  EXPECT_EQ(r.pc_vol(3), 0.3);
  // The cycle line is the solver's summary: one that does not hold it leaves the cycle out of
  // the convergence history and is no fault of the file.
  auto lines = test_support::file_lines(paths.results);
  lines[4] = "    1  converging";
  write_lines(paths.results, lines);
  read_result_file(r, paths.results);
  EXPECT_EQ(r.pn_cyc, 3);
  const auto history = convergence_history(r);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].cycle, 2);
}

TEST_F(ResultFile, AnyFaultRejectsTheWholeFileQuietly) {
  ResultStore r;
  // A last cycle cut short, by one element line or inside its node lines: the complete cycles
  // before it do not save the file.
  for (int cut : {1, 5}) {
    write_results(paths.results, 4, {0, 0, 0}, 3, cut);
    EXPECT_THROW(read_result_file(r, paths.results), RunTimeError) << cut;
    EXPECT_FALSE(read_result_set(paths).store) << cut;
  }
  EXPECT_FALSE(read_result_set({path("none.dat"), paths.sections, paths.model}).store);

  // Beyond the capacities: 1001 nodes, 10001 elements, a 201st cycle.
  write_lines(paths.results, {FieldLine().i5(1001).i5(1).e15(20).str()});
  EXPECT_FALSE(read_result_set(paths).store);
  write_lines(paths.results, {FieldLine().i5(2).i5(10001).e15(20).str()});
  EXPECT_FALSE(read_result_set(paths).store);
  write_results(paths.results, 2, {0}, 201);
  EXPECT_THROW(read_result_file(r, paths.results), RunTimeError);
  write_results(paths.results, 2, {0}, 200);
  read_result_file(r, paths.results);
  EXPECT_EQ(r.pn_cyc, 200);

  // An end node the cycles do not hold, and a field that is not a number.
  write_lines(paths.results, {FieldLine().i5(2).i5(1).e15(20).str(), FieldLine().i5(1).i5(1).i5(3).i5(0).str()});
  EXPECT_FALSE(read_result_set(paths).store);
  write_lines(paths.results, {FieldLine().i5(2).i5(1).e15(20).str(), FieldLine().i5(1).i5(1).i5(2).i5(0).str(),
                              "cycle", FieldLine().i5(1).e15(0).e15(0).e15(0).str(),
                              FieldLine().i5(2).text("    1.0000xE+00").e15(0).e15(0).str(), FieldLine().i5(1).e15(3).str()});
  EXPECT_FALSE(read_result_set(paths).store);
}

TEST_F(ResultFile, HeaderWithoutCyclesIsAResultOfNoCycle) {
  copy_small_set();
  write_results(paths.results, 4, {0, 0, 1, 0, 0, 0}, 0);
  const ResultSet set = read_result_set(paths);
  ASSERT_TRUE(set.store);
  EXPECT_EQ(set.store->pn_cyc, 0);
  EXPECT_EQ(set.store->res_ok, 1);
}

TEST_F(ResultFile, ModelFilesGiveSectionsReferencesAndTheDiameterText) {
  copy_small_set();
  const ResultSet set = read_result_set(paths);
  ASSERT_TRUE(set.store);
  const ResultStore& r = *set.store;
  EXPECT_EQ(r.res_ok, 1);
  EXPECT_EQ(r.pn_cyc, 3);
  EXPECT_EQ(set.max_diameter_text, "    2.00000E+01");
  // A design element's reference point; the non-design element's W direction.
  EXPECT_EQ(r.pe_ref(2, 2), 101.0f);
  EXPECT_EQ(r.pe_ref(4, 3), 1.0f);
  EXPECT_EQ(r.pe_ref(3, 2), 1.0f);
  EXPECT_EQ(r.sections.n_sec, 2);
  EXPECT_EQ(r.sections.n_line(1), 0);
  EXPECT_EQ(r.sections.n_line(2), 4);
  EXPECT_EQ(r.sections.pnt_xy(2, 3, 2), 10.0f);
  EXPECT_EQ(r.sections.line_pnt(2, 4, 2), 1);
  EXPECT_EQ(r.sections.line_t(2, 1), 1.0f);
  // A thickness that cannot be read is no fault of the results: it is kept as 0.
  auto lines = test_support::file_lines(paths.sections);
  lines[7].replace(10, 15, "          wall ");
  write_lines(paths.sections, lines);
  const ResultSet again = read_result_set(paths);
  ASSERT_TRUE(again.store);
  EXPECT_EQ(again.store->sections.line_t(2, 1), 0.0f);
  EXPECT_EQ(again.store->sections.line_t(2, 2), 1.0f);
}

TEST_F(ResultFile, ModelFileFaultsNameTheirFile) {
  auto read = [&] { read_result_set(paths); };
  copy_small_set();
  fs::remove(paths.sections);
  EXPECT_EQ(error_of(read), "File not found (cross_data_4th.dat)");

  copy_small_set();
  fs::remove(paths.model);
  EXPECT_EQ(error_of(read), "File not found (fem_gr_jo.dat)");

  // A model of another mesh than the results.
  copy_small_set();
  write_results(paths.results, 4, {0, 0, 1, 0, 0}, 1);
  EXPECT_EQ(error_of(read), std::string(err::model_mismatch) + " (fem_gr_jo.dat, line 1: 6 elements, post_pl.dat has 5)");
}
