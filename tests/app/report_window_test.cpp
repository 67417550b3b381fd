// The calculation report, read back as its text (pdftotext) and its pages (pdftoppm), against
// the tables that leave the program. The hand-made result set of the member-force tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/forms.h"
#include "formats/json.h"
#include "ui/form1.h"
#include "support/export_readers.h"
#include "support/window_test.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The report as text, page after page, columns kept in place.
std::string pdf_text(const std::string& pdf) {
  EXPECT_EQ(std::system(("pdftotext -layout " + pdf + " " + pdf + ".txt").c_str()), 0);
  return test_support::file_text(pdf + ".txt");
}
using test_support::text_lines;

// The text with every run of white space, line breaks included, as one space: a sentence as the
// report words it, wherever the fonts installed break its lines.
std::string prose(const std::string& text) {
  std::string out;
  for (const std::string& w : words(text)) out += (out.empty() ? "" : " ") + w;
  return out;
}

// True when the report says `phrase`, whatever line breaks and spaces the fonts put into it.
bool says(const std::string& text, const std::string& phrase) { return prose(text).find(prose(phrase)) != std::string::npos; }

// The rows of the member table: element -> its nine numbers before the check (counted from the
// end, as the section and the check may be several words), the check and the state.
struct MemberRow {
  std::vector<double> numbers;  // length, chain, L_cr, class (0 for "-"), lambda_bar, chi, N kN, M kN m, utilisation
  std::string check, state;
};
const char* const check_names[] = {"axial and bending", "Euler buckling", "class 4", "tension", "compression", "bending",
                                   "shear", "buckling", "interaction", "slenderness", "yield", "-"};

std::map<int, MemberRow> member_rows(const std::string& text) {
  std::map<int, MemberRow> rows;
  bool inside = false;
  for (const std::string& line : text_lines(text)) {
    std::vector<std::string> w = words(line);
    if (line.find("L_cr [mm]") != std::string::npos && line.find("Utilisation") != std::string::npos) inside = true;
    if (!inside || w.size() < 13 || w[0].find_first_not_of("0123456789") != std::string::npos) {
      if (inside && line.find("Bill of materials") != std::string::npos) break;
      continue;
    }
    MemberRow r;
    r.state = w.back();
    w.pop_back();
    for (const char* name : check_names) {
      const std::vector<std::string> nw = words(name);
      if (nw.size() < w.size() && std::equal(nw.rbegin(), nw.rend(), w.rbegin())) {
        r.check = name;
        w.resize(w.size() - nw.size());
        break;
      }
    }
    for (size_t k = w.size() - 9; k < w.size(); ++k) r.numbers.push_back(w[k] == "-" ? 0 : std::stod(w[k]));
    rows[std::stoi(w[0])] = r;
  }
  return rows;
}

// A value of the report (four significant digits, 0 below 1e-9 of its unit) against the table's
// (full precision), in the report's unit.
void expect_close(double report, double table, const std::string& what) {
  EXPECT_NEAR(report, table, 6e-4 * std::fabs(table) + 2e-9) << what;
}

// Checks that each state's reactions balance its applied loads (kN); returns how many states.
int balanced_states(const std::string& text) {
  int sums = 0;
  std::vector<double> applied;
  for (const std::string& line : text_lines(text)) {
    const std::vector<std::string> w = words(line);
    if (w.size() != 4) continue;
    if (w[0] == "applied") applied = {std::stod(w[1]), std::stod(w[2]), std::stod(w[3])};
    if (w[0] != "sum") continue;
    EXPECT_EQ(applied.size(), 3u);
    if (applied.size() != 3) return sums;
    for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(std::stod(w[k + 1]), -applied[k], 1e-3 * (1 + std::fabs(applied[k])));
    EXPECT_GT(std::fabs(applied[2]), 0.5);  // at least the 1000 N down of the load case
    ++sums;
  }
  return sums;
}

class ReportWindow : public test_support::WindowTest {
 protected:
  ReportWindow() {
    test_support::copy_result_set();
    run("click frmSplash.Command3\nclick Form1.Command1\n");
  }
};

// Every section in order, the member table equal to the .csv export's, every page rendered.
TEST_F(ReportWindow, ReportOfTheDesignShownAgreesWithItsTables) {
  run("click Form1.Option3\nexport frame.csv\nexport report.pdf\nexpect-error none\n");
  const std::string text = pdf_text("report.pdf"), said = prose(text);
  size_t at = 0;
  for (const char* part : {"Calculation report", "fem_gr_jo.dat", "post_pl.dat", " Model ", "Nodes", "Elements", "Materials and property sets", "Supports, springs and loads",
                           "Load case 1:", "Optimisation", "Convergence", "The frame", "The L-W plane", "The W-H plane",
                           "The H-L plane", "Results", "Reactions", "Largest displacement", "Node moving most", "Members", "Method",
                           "EN 1993-1-1", "Neglected"}) {
    const size_t found = said.find(part, at);
    ASSERT_NE(found, std::string::npos) << part;
    at = found;
  }
  EXPECT_TRUE(says(text, "page 1 of "));
  for (const char* sentence : {"You must verify your results.", "4 members hidden as thin at the threshold 1 are not listed"})
    EXPECT_TRUE(says(text, sentence)) << sentence;
  // The settings give f_y over 40 mm thick too: 215 in S235.
  EXPECT_TRUE(says(text, "over 40 mm thick 215"));

  // The member table: the members drawn as beams, worst first, each as the table has it.
  const std::vector<std::string> csv = test_support::file_lines("frame.csv");
  std::map<std::string, size_t> column;
  const std::vector<std::string> names = test_support::csv_cells(csv[0]);
  for (size_t c = 0; c < names.size(); ++c) column[names[c]] = c;
  const std::map<int, MemberRow> rows = member_rows(text);
  ASSERT_EQ(rows.size(), 2u);
  for (const auto& [element, r] : rows) {
    const std::vector<std::string> cells = test_support::csv_cells(csv[static_cast<size_t>(element)]);
    auto value = [&](const std::string& name) {
      const std::string& cell = cells[column.at(name)];
      return cell.empty() ? 0.0 : std::stod(cell);
    };
    const std::string state = cells[column.at("governing_case")];
    EXPECT_EQ(r.state, state);
    EXPECT_EQ(r.check, cells[column.at("governing_check")]);
    const std::pair<size_t, const char*> same_unit[] = {{0, "length"},     {1, "chain"}, {2, "l_cr"},
                                                        {4, "lambda_bar"}, {5, "chi"},   {8, "utilisation"}};
    for (const auto& [k, name] : same_unit) expect_close(r.numbers[k], value(name), name);
    expect_close(r.numbers[6], value("axial_" + state) / 1e3, "N");
    expect_close(r.numbers[7], value("moment_" + state) / 1e6, "M");
  }
  // Rows in the order of the text: sorted by utilisation, largest first.
  std::vector<double> in_order;
  for (const std::string& line : text_lines(text))
    if (const auto w = words(line); w.size() >= 13 && rows.count(std::atoi(w[0].c_str())) && w[1].find('-') != std::string::npos)
      in_order.push_back(rows.at(std::stoi(w[0])).numbers[8]);
  EXPECT_TRUE(std::is_sorted(in_order.rbegin(), in_order.rend()));

  EXPECT_EQ(balanced_states(text), 1);

  // Every page renders.
  ASSERT_EQ(std::system("pdftoppm -r 20 -png report.pdf page 2> render_errors.txt"), 0);
  EXPECT_TRUE(test_support::file_lines("render_errors.txt").empty());
  int pngs = 0;
  for (const auto& e : fs::directory_iterator(".")) pngs += e.path().extension() == ".png" ? 1 : 0;
  EXPECT_GE(pngs, 3);
  EXPECT_TRUE(says(text, "page " + std::to_string(pngs) + " of " + std::to_string(pngs)));
}

// The sized frame under its own weight: its inputs, and the bill's mass as the .csv export's.
TEST_F(ReportWindow, SizedFrameReportCarriesItsBillAndInputs) {
  run("click Form1.Check42\nclick Form1.Check3\nexport sized.csv\nexport sized.pdf\nexpect-error none\n");
  const std::string text = pdf_text("sized.pdf");
  for (const char* part : {"sections.csv", "Self-weight: on", "Bill of materials", "the sized frame"})
    EXPECT_TRUE(says(text, part)) << part;
  std::string bill_total;
  for (const std::string& row : test_support::file_lines("sized_bom.csv"))
    if (row.rfind("total", 0) == 0) bill_total = test_support::csv_cells(row).back();
  ASSERT_FALSE(bill_total.empty());
  double report_total = -1;
  bool in_bill = false;
  for (const std::string& line : text_lines(text)) {
    in_bill = in_bill || line.find("Bill of materials (") != std::string::npos;
    if (const auto w = words(line); in_bill && w.size() >= 3 && w[0] == "total") report_total = std::stod(w.back());
  }
  expect_close(report_total, std::stod(bill_total), "mass");
}

// The reactions of each combination balance its factored loads and weight.
TEST_F(ReportWindow, CombinationsBalanceTheirFactoredLoads) {
  std::ofstream("combinations.csv") << "name,kind,self-weight,case 1\r\nC1,ULS,1.35,1.5\r\nC2,SLS,1,1\r\n";
  run("restart\nclick frmSplash.Command3\nclick Form1.Command1\nclick Form1.Check42\nclick Form1.Option3\n"
      "set Form1.Text46 0.001\nexport combined.pdf\nexpect-error none\n");
  const std::string text = pdf_text("combined.pdf");
  // The deflection check of the SLS combination: the window's ratio to the limit.
  JsonWriter j;
  Forms::form1().dump(j);
  const std::string dump = j.str(), key = "\"ratio\":";
  const size_t ratio_at = dump.find(key, dump.find("\"deflection\":[{"));
  ASSERT_NE(ratio_at, std::string::npos) << dump;
  const double window_ratio = std::stod(dump.substr(ratio_at + key.size()));
  const std::string node_key = "\"deflection\":[{\"node\":";
  const std::string window_node = std::to_string(std::stoi(dump.substr(dump.find(node_key) + node_key.size())));
  EXPECT_GT(window_ratio, 1);
  int checked = 0;
  for (const std::string& line : text_lines(text))
    if (const auto w = words(line); w.size() == 9 && w[0] == "combination") {
      EXPECT_EQ(w[7] == "-", w[1] == "C1") << line;  // the ULS combination's deflection is not checked
      if (w[1] != "C2") continue;
      EXPECT_EQ(w[2], window_node);
      for (int k = 1; k <= 3; ++k)
        expect_close(std::stod(w[2 + static_cast<size_t>(k)]), Forms::form1().store.pnode_xyz(1, std::stoi(window_node), k), "at");
      expect_close(std::stod(w[8]), window_ratio, "deflection ratio");
      ++checked;
    }
  EXPECT_EQ(checked, 1);
  // The stability of the ULS combination, as the window gives it.
  const std::string alpha_key = "\"stability\":[{\"state\":\"combination C1\",\"alpha_cr\":";
  const double window_alpha = std::stod(dump.substr(dump.find(alpha_key) + alpha_key.size()));
  int stable = 0;
  for (const std::string& line : text_lines(text))
    if (const auto w = words(line); w.size() == 4 && w[0] == "combination" && w[1] == "C1") {
      expect_close(std::stod(w[2]), window_alpha, "alpha_cr");
      ++stable;
    }
  EXPECT_EQ(stable, 1);
  for (const char* part : {"combinations.csv", "Load combinations", "Reactions, combination C1", "Reactions, combination C2"})
    EXPECT_TRUE(says(text, part)) << part;
  EXPECT_EQ(balanced_states(text), 2);
  // C1 carries 1.5 times the case's 1000 N down and 1.35 times the weight.
  double c1_down = 0;
  for (const std::string& line : text_lines(text.substr(text.find("Reactions, combination C1"))))
    if (const auto w = words(line); w.size() == 4 && w[0] == "applied") {
      c1_down = std::stod(w[3]);
      break;
    }
  EXPECT_LT(c1_down, -1.5);
  EXPECT_GT(c1_down, -1.6);
}

// A place that cannot be written: the error names it, and nothing is left behind.
TEST_F(ReportWindow, FailedWriteLeavesNoFile) {
  std::ofstream("blocker") << "a file where a folder should be";
  run("click Form1.Option3\nexport blocker/report.pdf\nexpect-error Cannot write file (blocker/report.pdf\n");
  run("export missing/report.pdf\nexpect-error Cannot write file (missing/report.pdf\n");
  EXPECT_FALSE(fs::exists("missing"));
  for (const auto& e : fs::directory_iterator("."))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

}  // namespace
