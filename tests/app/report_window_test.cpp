// The calculation report, read back as its text (pdftotext) and its pages (pdftoppm), against
// the tables that leave the program. The hand-made result set of the member-force tests.
#include <gtest/gtest.h>

#include <QFileDialog>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <sys/stat.h>

#include "app/forms.h"
#include "formats/fields.h"
#include "formats/json.h"
#include "ui/form1.h"
#include "ui/pdf_report.h"
#include "base/recording_canvas.h"
#include "support/drawing.h"
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

// The rows of the two member tables: element -> the numbers of the buckling table (counted from
// the end, as the section may be several words) and those of the resistance table, whose check
// may be several words.
struct MemberRow {
  std::vector<double> buckling;  // length, chain, L_cr, class (0 for "-"), lambda_bar, chi
  std::vector<double> checked;   // N_Ed, N_pl,Rd, N_b,Rd, M_Ed, M_Rd, M_N,Rd, V_Rd (0 for "-"), utilisation
  std::string check, state;
};

double number_or_dash(const std::string& w) { return w == "-" ? 0 : std::stod(w); }

std::map<int, MemberRow> member_rows(const std::string& text) {
  std::map<int, MemberRow> rows;
  enum { none, buckling, checked } table = none;
  for (const std::string& line : text_lines(text)) {
    const std::vector<std::string> w = words(line);
    if (line.find("lambda_bar") != std::string::npos) table = buckling;
    if (line.find("N_pl,Rd [kN]") != std::string::npos) table = checked;
    for (const char* end : {"Bill of materials", "Method", "Appendix"})
      if (line.find(end) != std::string::npos) table = none;
    if (table == none || w.size() < 7 || w[0].find_first_not_of("0123456789") != std::string::npos) continue;
    MemberRow& r = rows[std::stoi(w[0])];
    if (table == buckling) {
      for (size_t k = w.size() - 6; k < w.size(); ++k) r.buckling.push_back(number_or_dash(w[k]));
      continue;
    }
    r.state = w[1];
    for (size_t k = 2; k < 10; ++k) r.checked.push_back(number_or_dash(w[k]));
    for (size_t k = 10; k < w.size(); ++k) r.check += (k > 10 ? " " : "") + w[k];
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

// Every word of the report inside the page's margins (15 mm of the A4 page's 595 x 842 points),
// as pdftotext places it; returns how many words it looked at.
int words_inside_margins(const std::string& pdf) {
  EXPECT_EQ(std::system(("pdftotext -bbox " + pdf + " " + pdf + ".html").c_str()), 0);
  const double margin = 15 / 25.4 * 72 - 0.5, width = 595.28, height = 841.89;
  int seen = 0;
  for (const std::string& line : text_lines(test_support::file_text(pdf + ".html"))) {
    if (line.find("<word ") == std::string::npos) continue;
    auto at = [&](const std::string& key) { return std::stod(line.substr(line.find(key + "=\"") + key.size() + 2)); };
    EXPECT_GE(at("xMin"), margin) << line;
    EXPECT_LE(at("xMax"), width - margin) << line;
    EXPECT_GE(at("yMin"), margin) << line;
    EXPECT_LE(at("yMax"), height - margin) << line;
    ++seen;
  }
  return seen;
}

// The last line of text above each page's foot, page by page.
std::vector<std::string> last_lines(const std::string& text) {
  std::vector<std::string> out;
  std::string last;
  for (const std::string& line : text_lines(text)) {
    if (line.find("page ") != std::string::npos && line.find(" of ") != std::string::npos && words(line).size() == 4) {
      out.push_back(prose(last));
      continue;
    }
    if (!words(line).empty()) last = line;
  }
  return out;
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
  for (const char* part : {"Calculation report", "fem_gr_jo.dat", "post_pl.dat", " Model ", "Nodes of the frame", "Members of the frame", "Materials and property sets", "Supports, springs and loads",
                           "Load case 1: supports", "Load case 1: loads", "Optimisation", "Convergence", "The frame", "The L-W plane", "The W-H plane",
                           "The H-L plane", "Results", "Reactions", "Largest displacement", "Node moving most", "Members", "Method",
                           "EN 1993-1-1", "Neglected", "Appendix", "Ratios of the checks"}) {
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
    ASSERT_EQ(r.buckling.size(), 6u) << element;
    ASSERT_EQ(r.checked.size(), 8u) << element;
    EXPECT_EQ(r.state, state);
    EXPECT_EQ(r.check, cells[column.at("governing_check")]);
    const std::pair<size_t, const char*> same_unit[] = {{0, "length"}, {1, "chain"}, {2, "l_cr"}, {4, "lambda_bar"}, {5, "chi"}};
    for (const auto& [k, name] : same_unit) expect_close(r.buckling[k], value(name), name);
    expect_close(r.checked[7], value("utilisation"), "utilisation");
    expect_close(r.checked[0], value("axial_" + state) / 1e3, "N");
    expect_close(r.checked[3], value("moment_" + state) / 1e6, "M");
  }
  // Rows in the order of the text: sorted by utilisation, largest first.
  std::vector<double> in_order;
  const size_t table_at = text.find("N_pl,Rd [kN]");
  for (const std::string& line : text_lines(text.substr(table_at, text.find("\nMethod", table_at) - table_at)))
    if (const auto w = words(line); w.size() >= 10 && rows.count(std::atoi(w[0].c_str())) && w[1] == rows.at(std::atoi(w[0].c_str())).state)
      in_order.push_back(rows.at(std::stoi(w[0])).checked[7]);
  EXPECT_EQ(in_order.size(), 2u);
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
  const size_t entry = dump.find(alpha_key);
  const double window_alpha = std::stod(dump.substr(entry + alpha_key.size()));
  const double window_phi = std::stod(dump.substr(dump.find("\"phi\":", entry) + 6));
  const size_t direction = dump.find("\"direction\":\"", entry) + 13;
  int stable = 0;
  for (const std::string& line : text_lines(text))
    if (const auto w = words(line); w.size() == 6 && w[0] == "combination" && w[1] == "C1") {
      expect_close(std::stod(w[2]), window_alpha, "alpha_cr");
      ASSERT_EQ(w[4].substr(0, 2), "1/");
      expect_close(1 / std::stod(w[4].substr(2)), window_phi, "phi");
      EXPECT_EQ(w[5], dump.substr(direction, 2));
      ++stable;
    }
  EXPECT_EQ(stable, 1);
  // The plastic bound as the window has it: its volume, or why there is none.
  const size_t bound = dump.find("\"plastic_bound\":{");
  ASSERT_NE(bound, std::string::npos);
  if (dump.find("\"problem\":\"\"}", bound) + 12 == dump.find('}', bound)) {
    const double volume = std::stod(dump.substr(dump.find("\"volume\":", bound) + 9));
    EXPECT_TRUE(says(text, "The lightest pin-jointed truss on this ground structure")) << "volume " << volume;
    EXPECT_TRUE(says(text, "volume " + report_number(volume) + " mm3")) << volume;
  } else {
    EXPECT_TRUE(says(text, "None: no pin-jointed truss: "));
  }
  for (const char* part : {"combinations.csv", "Load combinations", "Reactions, combination C1", "Reactions, combination C2"})
    EXPECT_TRUE(says(text, part)) << part;
  EXPECT_EQ(balanced_states(text), 2);
  EXPECT_GT(words_inside_margins("combined.pdf"), 500);
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

// The inputs as read and used: each replaced by a named pipe after reading, the report is made
// without waiting on one, with the size and checksum of what was read, and says what stands there now.
TEST_F(ReportWindow, InputsReplacedByPipesAreReportedAsReadWithoutWaiting) {
  std::ofstream("combinations.csv") << "name,kind,self-weight,case 1\r\nC1,ULS,1.35,1.5\r\n";
  run("restart\nclick frmSplash.Command3\nclick Form1.Command1\nclick Form1.Check3\nclick Form1.Option3\nexpect-error none\n");
  const std::vector<std::string> inputs{"fem_gr_jo.dat", "post_pl.dat", "sections.csv", "combinations.csv"};
  std::map<std::string, std::pair<std::string, std::string>> read;  // size, CRC-32
  for (const std::string& name : inputs) {
    const std::string bytes = test_support::file_text(name);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", crc32_of(bytes));
    read[name] = {std::to_string(bytes.size()), hex};
    fs::remove(name);
    ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
  }
  run("export piped.pdf\nexpect-error none\n");
  std::set<std::string> listed;
  for (const std::string& line : text_lines(pdf_text("piped.pdf")))
    if (const auto w = words(line); w.size() >= 4 && read.count(w[0])) {
      EXPECT_EQ(w[1], read[w[0]].first) << line;
      EXPECT_EQ(w[2], read[w[0]].second) << line;
      EXPECT_EQ(w[3], "a") << line;  // "a named pipe now", wherever the cell breaks
      listed.insert(w[0]);
    }
  EXPECT_EQ(listed.size(), inputs.size());
}

// What a killed export of the same name left goes with the next one; names that only look like
// it stay.
TEST_F(ReportWindow, TheNextExportOfANameClearsWhatAKilledOneLeft) {
  const std::string left = "report.pdf.tmp." + std::to_string(test_support::dead_pid());
  test_support::write_file(left, "");
  test_support::write_file("report.pdf.tmp.mine", "");
  run("export report.pdf\nexpect-error none\n");
  EXPECT_FALSE(fs::exists(left));
  EXPECT_TRUE(fs::exists("report.pdf.tmp.mine"));
}

// At threshold 0 every member is drawn as a beam: each rod's resistances are those of its diameter
// in the .csv export (S235, partial factors 1, class 1 rods, nothing reduced for shear).
TEST_F(ReportWindow, ResistancesAreTheRodsOwn) {
  run("set Form1.HScroll5 0\nclick Form1.Option3\nexport all.csv\nexport all.pdf\nexpect-error none\n");
  const std::string text = pdf_text("all.pdf");
  const std::vector<std::string> csv = test_support::file_lines("all.csv");
  const std::vector<std::string> names = test_support::csv_cells(csv[0]);
  auto column = [&](const std::string& name) { return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin()); };
  const std::map<int, MemberRow> rows = member_rows(text);
  int rods = 0;
  for (const auto& [element, r] : rows) {
    const std::vector<std::string> cells = test_support::csv_cells(csv[static_cast<size_t>(element)]);
    if (cells[column("kind")] != "design") continue;
    ASSERT_EQ(r.checked.size(), 8u) << element;
    const double d = std::stod(cells[column("diameter")]), chi = std::stod(cells[column("chi")]);
    const double area = M_PI * d * d / 4;
    expect_close(r.checked[1], area * 235 / 1e3, "N_pl,Rd");
    expect_close(r.checked[2], chi * area * 235 / 1e3, "N_b,Rd");
    expect_close(r.checked[4], d * d * d / 6 * 235 / 1e6, "M_Rd");
    expect_close(r.checked[6], 0.9 * area * 235 / std::sqrt(3.0) / 1e3, "V_Rd");
    EXPECT_EQ(r.checked[5], 0) << "a rod has no M_N,Rd";
    ++rods;
  }
  EXPECT_EQ(rods, 5);
  // The appendix: every member in every state, with a ratio for each check a rod has.
  const std::string appendix = text.substr(text.find("Ratios of the checks"));
  int ratio_rows = 0;
  for (const std::string& line : text_lines(appendix))
    if (const auto w = words(line); w.size() == 12 && rows.count(std::atoi(w[0].c_str()))) ++ratio_rows;
  EXPECT_EQ(ratio_rows, 6);
}

// The frame to build lists only its own nodes and members; the ground structure is one line. Its
// loads are in kN; no heading ends a page and every word stays inside the margins.
TEST_F(ReportWindow, CleanFrameReportListsOnlyItsOwnMembers) {
  run("click Form1.Command11\nclick Form1.Option3\nexport clean.csv\nexport clean.pdf\nexpect-error none\n");
  const std::string text = pdf_text("clean.pdf");
  EXPECT_NE(prose(text).find("Ground structure (fem_gr_jo.dat): 4 nodes, 6 potential members (5 design, 1 non-design)"),
            std::string::npos);
  std::set<int> kept;
  const std::vector<std::string> csv = test_support::file_lines("clean.csv");
  const std::vector<std::string> names = test_support::csv_cells(csv[0]);
  const auto utilisation = static_cast<size_t>(std::find(names.begin(), names.end(), "utilisation") - names.begin());
  for (size_t e = 1; e < csv.size(); ++e)
    if (!test_support::csv_cells(csv[e])[utilisation].empty()) kept.insert(static_cast<int>(e));
  std::set<int> listed;
  for (const auto& [element, r] : member_rows(text)) listed.insert(element);
  EXPECT_EQ(listed, kept);
  EXPECT_LT(kept.size(), 6u);
  // Members 1 and 3 join nodes 1, 3 and 4 at (0, 0, 0), (0, 0, 100) and (200, 50, 50).
  EXPECT_NE(prose(text).find("Overall dimensions (the box round its nodes): L 200 mm, W 50 mm, H 100 mm."),
            std::string::npos);
  const std::string members = text.substr(text.find("Members of the frame"));
  std::set<int> geometry;
  for (const std::string& line : text_lines(members.substr(0, members.find("Materials"))))
    if (const auto w = words(line); w.size() >= 6 && std::isdigit(static_cast<unsigned char>(w[0][0]))) geometry.insert(std::stoi(w[0]));
  EXPECT_EQ(geometry, kept);
  const std::string loads = text.substr(text.find("Load case 1: loads"), 300);
  EXPECT_NE(loads.find("F_H [kN]"), std::string::npos);
  EXPECT_NE(words(loads.substr(loads.find("\n   ") + 1)).size(), 0u);
  for (const char* no : {"[N]", "[N mm]", "[N/mm]", "N mm,"}) EXPECT_EQ(text.find(no), std::string::npos) << no;
  EXPECT_GT(words_inside_margins("clean.pdf"), 500);
  for (const std::string& last : last_lines(text))
    for (const char* heading : {"Model", "Supports, springs and loads", "Optimisation", "The frame", "Results", "Reactions",
                                "Displacements", "Stability", "Member checks", "Method", "Appendix: the ratio of every check"})
      EXPECT_NE(last, heading);
}

// A table too wide for the page at the smallest font goes in parts, each with the first column;
// a sum row is never alone at the top of a page.
TEST(ReportLayout, WideTableGoesInPartsInsideTheMargins) {
  test_support::WorkingDirectory dir;
  Report r;
  ReportTable t;
  t.header.push_back("Key");
  for (int c = 1; c <= 40; ++c) t.header.push_back("Column number " + std::to_string(c) + " [unit]");
  for (int row = 1; row <= 95; ++row) {
    std::vector<std::string> cells{"row" + std::to_string(row)};
    for (int c = 1; c <= 40; ++c) cells.push_back(std::to_string(row * 1000 + c));
    t.rows.push_back(cells);
  }
  t.rows.back()[0] = "sum";
  t.last_row_total = true;
  r.heading("Wide");
  r.table("A wide table", t);
  write_pdf_report(r, "wide.pdf");
  EXPECT_GT(words_inside_margins("wide.pdf"), 40 * 95);
  const std::string text = pdf_text("wide.pdf");
  EXPECT_NE(text.find("A wide table (part 1 of "), std::string::npos);
  for (int c = 1; c <= 40; ++c) EXPECT_NE(prose(text).find("Column number " + std::to_string(c) + " [unit]"), std::string::npos) << c;
  // Whatever page a part's rows end on, its sum row follows a row of numbers on the same page.
  std::string before;
  for (const std::string& line : text_lines(text)) {
    const auto w = words(line);
    if (!w.empty() && w[0] == "sum") {
      EXPECT_EQ(words(before).empty() ? "" : words(before)[0], "row94");
    }
    if (!w.empty()) before = line;
  }
}

// "Report..." asks for the title block, keeps it with the folder's settings and opens the report
// with it; "Cancel" keeps nothing.
TEST_F(ReportWindow, TitleBlockOfTheReportDialogIsKept) {
  run("click Form1.Command45\nexpect Form7 shown\nset Form7.Text1 Canopy, north side\nset Form7.Text2 J-1234\n"
      "set Form7.Text3 Roof frame\nset Form7.Text4 A. Designer\nset Form7.Text5 C. Checker\nset Form7.Text6 B\n"
      "click Form7.Command1\nexpect Form7 hidden\n");
  auto* dialog = Forms::form1().findChild<QFileDialog*>("ReportFile");
  ASSERT_NE(dialog, nullptr);
  // The name the dialog proposes.
  QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
  run("expect-error none\n");
  const std::string first_page = prose(pdf_text("report.pdf").substr(0, 1500));
  EXPECT_NE(first_page.find("Project Job number Structure Designer Checker Revision"), std::string::npos) << first_page;
  for (const char* field : {"Canopy, north side", "J-1234", "Roof frame", "A. Designer", "C. Checker"})
    EXPECT_NE(first_page.find(field), std::string::npos) << field;
  run("click Form1.Command45\nexpect Form7.Text2 text J-1234\nset Form7.Text2 J-9\nclick Form7.Command2\n"
      "restart\nclick frmSplash.Command3\nclick Form1.Command1\nclick Form1.Command45\n"
      "expect Form7.Text1 text Canopy, north side\nexpect Form7.Text2 text J-1234\nexpect Form7.Text6 text B\n");
}

// The report's pages as pdftotext gives them, split at the form feeds.
std::vector<std::string> pages_of(const std::string& text) {
  std::vector<std::string> pages(1);
  for (char ch : text) {
    if (ch == '\f')
      pages.emplace_back();
    else
      pages.back().push_back(ch);
  }
  return pages;
}

// Whatever the heights, a heading shares its page with the picture after it (its caption below
// it), and a short table stays whole with its caption.
TEST(ReportLayout, HeadingsAndShortTablesStayWithWhatTheyHold) {
  test_support::WorkingDirectory dir;
  Report r;
  for (int k = 1; k <= 80; ++k) {
    r.heading("Heading " + std::to_string(k));
    r.picture("Picture " + std::to_string(k), {8000, 8000.0 * (0.2 + 0.03 * (k * 7 % 23)), 120, [](Canvas&) {}});
    ReportTable t{{"Key", "Value"}, {}, {}};
    for (int row = 1; row <= 2 + k % 9; ++row) t.rows.push_back({"t" + std::to_string(k) + "r" + std::to_string(row), "1"});
    r.table("Table " + std::to_string(k), t);
  }
  write_pdf_report(r, "keep.pdf");
  const std::vector<std::string> pages = pages_of(pdf_text("keep.pdf"));
  ASSERT_GT(pages.size(), 10u);
  auto page_of = [&](const std::string& word) {
    for (size_t p = 0; p < pages.size(); ++p)
      for (const std::string& w : words(pages[p]))
        if (w == word) return static_cast<int>(p);
    return -1;
  };
  for (int k = 1; k <= 80; ++k) {
    const std::string n = std::to_string(k);
    EXPECT_NE(prose(pages[static_cast<size_t>(std::max(0, page_of("t" + n + "r1")))]).find("Table " + n + " Key"), std::string::npos) << k;
    EXPECT_EQ(page_of("t" + n + "r1"), page_of("t" + n + "r" + std::to_string(2 + k % 9))) << k;
    // The heading's page holds its picture's caption.
    int heading_page = -1, caption_page = -1;
    for (size_t p = 0; p < pages.size(); ++p) {
      const std::string text = " " + prose(pages[p]) + " ";
      if (text.find(" Heading " + n + " ") != std::string::npos) heading_page = static_cast<int>(p);
      if (text.find(" Picture " + n + " ") != std::string::npos) caption_page = static_cast<int>(p);
    }
    EXPECT_GE(heading_page, 0) << k;
    EXPECT_EQ(heading_page, caption_page) << k;
  }
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

// Each load case has its drawing after its tables, in the oblique view (the frame is not flat):
// nodes 1..3 fixed, node 4 carrying 0.2 kN along W and 1 kN down, every one of them numbered. The
// plane views carry the overall dimensions of the beams drawn (nodes 1, 3 and 4: W 0 to 50).
TEST_F(ReportWindow, LoadCasesAreDrawnWithTheirSupportsLoadsAndValues) {
  run("click Form1.Option3\nexpect-error none\n");
  const Report report = Forms::form1().report();
  std::vector<const ReportBlock*> cases, planes;
  for (const ReportBlock& b : report.blocks) {
    if (b.kind != ReportBlock::Kind::picture) continue;
    if (b.text.rfind("Load case ", 0) == 0) cases.push_back(&b);
    if (b.text.find(" plane, with the overall dimensions") != std::string::npos) planes.push_back(&b);
  }
  ASSERT_EQ(cases.size(), 1u);
  EXPECT_EQ(cases[0]->text.rfind("Load case 1 on the oblique view: supports, springs and loads (kN, kN m)", 0), 0u)
      << cases[0]->text;
  RecordingCanvas c;
  cases[0]->picture.draw(c);
  std::set<std::string> texts;
  for (const Primitive& t : test_support::of(c.primitives(), Primitive::Op::text)) texts.insert(t.text);
  for (const char* said : {"0.2 kN", "1 kN", "1", "2", "3", "4"}) EXPECT_TRUE(texts.count(said)) << said;
  EXPECT_EQ(test_support::count_of(c.primitives(), Primitive::Op::line, force_colour), 6);  // two arrows
  EXPECT_GE(test_support::count_of(c.primitives(), Primitive::Op::line, support_colour), 3 * 5);  // three hatched bars
  ASSERT_EQ(planes.size(), 3u);
  std::set<std::string> dimensions;
  for (const ReportBlock* b : planes) {
    RecordingCanvas plane;
    b->picture.draw(plane);
    for (const Primitive& t : test_support::of(plane.primitives(), Primitive::Op::text))
      if (t.text.find(" mm") != std::string::npos) dimensions.insert(t.text);
  }
  EXPECT_EQ(dimensions, (std::set<std::string>{"L 200 mm", "W 50 mm", "H 100 mm"}));
}
