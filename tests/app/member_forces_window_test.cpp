// The member forces of the design shown in the post-processing window. The hand-made result set:
// nodes 1 to 3 clamped, node 4 loaded with 200 N along W and 1000 N down; elements 1 and 2 design
// beams, 3 a non-design plate.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cctype>
#include <filesystem>
#include <map>

#include <unistd.h>

#include "app/forms.h"
#include "base/canvas.h"
#include "evaluate/standard_sizes.h"
#include "formats/fields.h"
#include "formats/json.h"
#include "support/drawing.h"
#include "support/export_readers.h"
#include "support/window_test.h"
#include "ui/form1.h"

namespace fs = std::filesystem;

namespace {

using test_support::Op;

class MemberForcesWindow : public test_support::WindowTest {
 protected:
  MemberForcesWindow() {
    test_support::copy_result_set();
    run("click frmSplash.Command3\nclick Form1.Command1\n");
  }
  Form1& f() { return Forms::form1(); }
  const std::vector<Primitive>& drawn() { return f().canvas().primitives(); }
  // Lines per colour, and the legend's labels from top to bottom with their swatches' colours.
  std::map<int, int> lines_by_colour() {
    std::map<int, int> n;
    for (const Primitive& p : drawn())
      if (p.op == Op::line) ++n[p.colour];
    return n;
  }
  std::vector<std::pair<int, std::string>> legend() {
    std::vector<std::pair<int, std::string>> out;
    int swatch = -1;
    for (const Primitive& p : drawn()) {
      if (p.op == Op::rect && p.filled) swatch = p.colour;
      if (p.op == Op::text && swatch >= 0) {
        out.emplace_back(swatch, p.text);
        swatch = -1;
      }
    }
    return out;
  }
  std::string dump_text() {
    JsonWriter j;
    f().dump(j);
    return j.str();
  }
};

// Element 3 (the plate) pulls, element 1 pushes: tension red, compression blue. Utilisation:
// every member far below 1.
TEST_F(MemberForcesWindow, ViewsColourTheMembersOnTheirScale) {
  const int olive = 6, black = 0, centre = 14;
  run("click Form1.Option2\n");
  std::map<int, int> n = lines_by_colour();
  EXPECT_EQ(n[olive] + n[black], 0);
  EXPECT_EQ(n[rgb_colour({220, 0, 0})], 16);  // the plate: four edges per section line
  EXPECT_EQ(n[centre], 4);
  int bluish = 0;
  for (const auto& [colour, count] : n)
    if (colour >= first_rgb_colour && palette_rgb(colour).b > palette_rgb(colour).r) bluish += count;
  EXPECT_EQ(bluish, 18);  // element 1's prism
  const auto axial = legend();
  ASSERT_EQ(axial.size(), 5u);
  EXPECT_EQ(axial.front().first, rgb_colour({220, 0, 0}));
  EXPECT_NE(axial.front().second.find("N tension"), std::string::npos);
  EXPECT_EQ(axial[2], std::make_pair(rgb_colour({200, 200, 200}), std::string("0 N")));
  EXPECT_EQ(axial.back().first, rgb_colour({0, 0, 220}));

  run("click Form1.Option3\n");
  const auto scale = legend();
  ASSERT_EQ(scale.size(), 6u);
  EXPECT_EQ(scale[0], std::make_pair(rgb_colour({120, 0, 0}), std::string("above 1")));
  EXPECT_EQ(scale[1], std::make_pair(rgb_colour({255, 0, 0}), std::string("1")));
  EXPECT_EQ(scale[3], std::make_pair(rgb_colour({255, 220, 0}), std::string("0.5")));
  EXPECT_EQ(scale[5], std::make_pair(rgb_colour({0, 170, 0}), std::string("0")));
  for (const auto& [colour, count] : lines_by_colour())
    if (colour >= first_rgb_colour) {
      EXPECT_LT(palette_rgb(colour).r, 255) << count;  // none near 1
    }

  // The deformed frame: one line per member drawn as a beam (elements 1 and 3), over the picture.
  run("click Form1.Check4\n");
  EXPECT_EQ(lines_by_colour()[deformed_colour], 2);
  EXPECT_EQ(f().Label8->text().left(2), "x ");
  run("click Form1.Option1\n");
  EXPECT_EQ(lines_by_colour()[olive], 18);
  EXPECT_EQ(lines_by_colour()[deformed_colour], 2);
  EXPECT_TRUE(errors().empty());
}

// The tables gain the forces; the reactions of the three clamps balance the load of node 4.
TEST_F(MemberForcesWindow, ExportedTablesCarryTheForcesAndBalanceTheLoads) {
  // Before any check, the line says how many members the checks will count at this threshold.
  EXPECT_EQ(f().Label11->text().toStdString().rfind("At threshold 1, 2 of 6 members are drawn as beams; the checks "
                                                    "count these. Choose ", 0),
            0u)
      << f().Label11->text().toStdString();
  run("click Form1.Option3\nexport frame.csv\nexpect-error none\n");
  const auto rows = test_support::file_lines("frame.csv");
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0], "element,node1,node2,L1,W1,H1,L2,W2,H2,length,diameter,kind,above_threshold,"
                     "axial_1,moment_1,stress_1,utilisation,governing_case,governing_check,chain,l_cr,class,lambda_bar,"
                     "chi,ratio_tension,ratio_compression,ratio_bending,ratio_axial_bending,ratio_shear,ratio_buckling,"
                     "ratio_interaction,ratio_slenderness");
  // The largest utilisation of the members drawn as beams: the 20 mm rod of element 1, 212.13 mm
  // long, at L / i / 200 = 212.13 / 5 / 200 = 0.212.
  double worst = 0;
  for (size_t r = 1; r < rows.size(); ++r)
    if (const auto cells = test_support::csv_cells(rows[r]); cells[12] == "yes") worst = std::max(worst, std::stod(cells[16]));
  const std::string summary = f().Label11->text().toStdString();
  EXPECT_EQ(summary.rfind("Largest utilisation 0.212: element 1", 0), 0u) << summary;
  EXPECT_NE(summary.find(", slenderness; 0 of 2 members above 1 in the optimised design at threshold 1 (4 members "
                         "hidden as thin: \"Clean Up\" gives the frame to build)."),
            std::string::npos)
      << summary;
  EXPECT_NEAR(worst, 0.2121, 5e-4);
  // The plate, a drawn section: checked for its stress and for buckling only.
  const auto plate = test_support::csv_cells(rows[3]);
  EXPECT_EQ(plate[18], "yield");
  for (size_t k = 21; k < plate.size(); ++k) {
    if (k == 21 || (k > 23 && k != 29)) {
      EXPECT_EQ(plate[k], "") << k;
    }
  }
  EXPECT_NE(plate[22], "");  // lambda_bar
  EXPECT_NE(plate[29], "");  // ratio_buckling
  // A design beam is a rod of class 1 with every ratio of the governing case.
  const auto beam = test_support::csv_cells(rows[1]);
  EXPECT_EQ(beam[21], "1");
  for (size_t k = 24; k < beam.size(); ++k) EXPECT_NE(beam[k], "") << k;

  // The clean frame's table: every row, removed elements' too, as many fields as the header.
  run("click Form1.Command11\nexport clean.csv\nexpect-error none\n");
  const auto clean = test_support::file_lines("clean.csv");
  for (const std::string& row : clean)
    EXPECT_EQ(test_support::csv_cells(row).size(), test_support::csv_cells(clean[0]).size()) << row;

  const auto nodes = test_support::file_lines("frame_nodes.csv");
  ASSERT_EQ(nodes.size(), 5u);
  double sum[3] = {0, 0, 0};
  for (size_t r = 1; r <= 3; ++r)
    for (int k = 0; k < 3; ++k) sum[k] += std::stod(test_support::csv_cells(nodes[r])[static_cast<size_t>(10 + k)]);
  EXPECT_NEAR(sum[0], 0, 1e-6);
  EXPECT_NEAR(sum[1], -200, 1e-6);
  EXPECT_NEAR(sum[2], 1000, 1e-6);
  // The loaded node is held by nothing but its members: no reaction.
  EXPECT_EQ(test_support::csv_cells(nodes[4])[10], "0");
}

// A list of one section says so in the singular.
TEST_F(MemberForcesWindow, AListOfOneSectionIsOneSectionRead) {
  test_support::write_file("sections.csv", "RD 50,50,0\r\n");
  run("click Form1.Check3\nexpect-state Form1 status \"Standard sizes: 1 section read from sections.csv\"\n");
}

// A model file whose node 4 lies elsewhere: a force view is refused, naming both files.
TEST_F(MemberForcesWindow, AModelOfAnotherMeshIsRefusedAndTheDiametersStay) {
  run("edit-file fem_gr_jo.dat 5     4    2.10000E+02    5.00000E+01    5.00000E+01\n");
  run("click Form1.Option2\n");
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_NE(errors()[0].find("fem_gr_jo.dat"), std::string::npos);
  EXPECT_NE(errors()[0].find("post_pl.dat"), std::string::npos);
  EXPECT_NE(errors()[0].find("node 4"), std::string::npos);
  EXPECT_TRUE(f().Option1->isChecked());
  EXPECT_EQ(lines_by_colour()[6], 18);
  // A plain table still leaves.
  run("expect-error does not describe\nexport frame.csv\nexpect-error none\n");
  EXPECT_EQ(test_support::csv_cells(test_support::file_lines("frame.csv")[0]).size(), 13u);
}

// The grade sets the yield stress, which stays free to be set apart; every setting is kept.
TEST_F(MemberForcesWindow, DesignSettingsReachTheChecksAndAreKept) {
  EXPECT_FALSE(f().Frame7->isHidden());
  run("set Form1.Text41 S355\nexpect Form1.Text7 text 355\n"
      "expect-state Form1 design_settings {\"grade\":\"S355\",\"yield\":355,\"cold_formed\":false,"
      "\"gamma_m0\":1,\"gamma_m1\":1,\"k\":1,\"slenderness_limit\":200}\n");
  run("set Form1.Text41 S3\nset Form1.Text7 340\nclick Form1.Check41\nset Form1.Text42 1.05\nset Form1.Text43 1.1\n"
      "set Form1.Text44 0\nset Form1.Text44 -5\n"
      "expect-state Form1 design_settings {\"grade\":\"S355\",\"yield\":340,\"cold_formed\":true,"
      "\"gamma_m0\":1.05,\"gamma_m1\":1.1,\"k\":1,\"slenderness_limit\":0}\n");
  // The design checks of the dump: one entry per element, the plate without a class but with its
  // flexural buckling about its principal axes.
  run("click Form1.Option3\n");
  const std::string dump = dump_text();
  EXPECT_NE(dump.find("\"design_checks\":[{\"chain\":1,\"l_cr\":"), std::string::npos) << dump;
  size_t entries = 0;
  for (size_t at = dump.find("{\"chain\":"); at != std::string::npos; at = dump.find("{\"chain\":", at + 1)) ++entries;
  EXPECT_EQ(entries, 6u);  // the six elements of the result, the last one too
  const std::string plate = "\"class\":null,\"lambda_bar\":";
  ASSERT_NE(dump.find(plate), std::string::npos) << dump;
  EXPECT_TRUE(std::isdigit(dump[dump.find(plate) + plate.size()])) << dump;
  EXPECT_EQ(dump.find("\"chi\":null"), std::string::npos) << dump;

  // The sizing's section types: a whole number up to 1000, anything else ignored while typed.
  run("set Form1.Text47 3\nset Form1.Text47 1001\nset Form1.Text47 2.5\n");
  run("restart\nclick frmSplash.Command3\n");
  run("expect Form1.Text41 text S355\nexpect Form1.Text7 text 340\nexpect Form1.Check41 checked 1\n"
      "expect Form1.Text42 text 1.05\nexpect Form1.Text43 text 1.1\nexpect Form1.Text44 text 0\n"
      "expect Form1.Text47 text 3\n");
  EXPECT_TRUE(errors().empty());
}

// A setting out of its range is refused at once, named with its range; the value used stays,
// and leaving the box shows it again.
TEST_F(MemberForcesWindow, SettingsOutOfTheirRangeAreRefusedByCaptionAndRange) {
  const struct {
    const char* box;
    const char* typed;
    const char* said;
  } cases[] = {
      {"Text7", "1e308", "Yield stress [N/mm2]: 1e308 is refused (from 100 to 1000); 235 is used"},
      {"Text7", "1e-300", "Yield stress [N/mm2]: 1e-300 is refused (from 100 to 1000); 235 is used"},
      {"Text8", "abc", "Buckling length factor K: abc is refused (from 0.1 to 10); 1 is used"},
      {"Text42", "1e308", "gamma_M0: 1e308 is refused (from 1 to 2); 1 is used"},
      {"Text43", "0.5", "gamma_M1: 0.5 is refused (from 1 to 2); 1 is used"},
      {"Text44", "5", "Slenderness limit L/i: 5 is refused (0 or from 10 to 1000); 200 is used"},
      {"Text10", "1e308", "Density [kg/m3]: 1e308 is refused (from 100 to 50000); 7850 is used"},
      {"Text47", "-1", "Section types: -1 is refused (a whole number from 0 to 1000); 0 is used"},
      {"Text47", "1.5", "Section types: 1.5 is refused (a whole number from 0 to 1000); 0 is used"},
      {"Text47", "nan", "Section types: nan is refused (a whole number from 0 to 1000); 0 is used"},
      {"Text46", "-1", "Deflection limit [mm]: -1 is refused (0 or from 0.001 to 100000); 0 is used"},
  };
  for (const auto& c : cases)
    run(std::string("set Form1.") + c.box + " " + c.typed + "\nexpect Form1.Label60 text " + c.said + "\n");
  run("expect-state Form1 design_settings {\"grade\":\"S235\",\"yield\":235,\"cold_formed\":false,"
      "\"gamma_m0\":1,\"gamma_m1\":1,\"k\":1,\"slenderness_limit\":200}\n");
  // The box shows what is used once it is left; a value in range stays as typed.
  emit f().Text47->editingFinished();
  EXPECT_EQ(f().Text47->text(), "0");
  run("set Form1.Text7 300.0\n");
  emit f().Text7->editingFinished();
  EXPECT_EQ(f().Text7->text(), "300.0");
  run("set Form1.Text7 5\n");
  emit f().Text7->editingFinished();
  EXPECT_EQ(f().Text7->text(), "300");
  EXPECT_TRUE(errors().empty());
}

// A list that cannot be saved: the built-in list of standard sizes is used, and said to be unsaved.
TEST_F(MemberForcesWindow, StandardSizesThatCannotBeSavedUseTheBuiltInList) {
  const std::string said = "Standard sizes: the built-in list of 44 sections, which could not be saved (Cannot write file (";
  // A folder where the list's temporary file would go, whoever runs the test.
  const std::string blocker = temp_file_path(section_list_name, ::getpid());
  fs::create_directory(blocker);
  run("click Form1.Check3\nexpect-error none\nexpect Form1.Check3 checked 1\nexpect Form1.Label60 text " + said +
      "sections.csv: a folder of that name is in the way))\n");
  EXPECT_FALSE(fs::exists(section_list_name));
  fs::remove(blocker);
  if (::geteuid() == 0) return;  // root writes in any folder
  run("click Form1.Check3\n");
  fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec);
  run("click Form1.Check3\n");
  fs::permissions(".", fs::perms::owner_all);
  run("expect-error none\nexpect Form1.Label60 text " + said +
      "sections.csv: writing there is not permitted: the folder is read-only))\n");
  EXPECT_FALSE(fs::exists(section_list_name));
}

// The loads of the checks: self-weight, deflection limit and combinations.
class LoadsOfTheChecks : public MemberForcesWindow {};

TEST_F(LoadsOfTheChecks, SelfWeightAndDeflectionLimitReachTheChecksAndAreKept) {
  EXPECT_FALSE(f().Frame8->isHidden());
  run("click Form1.Option2\n"
      "expect-state Form1 self_weight {\"on\":false,\"direction\":\"-H\",\"weight\":0}\n");
  const std::string without = dump_text();
  run("click Form1.Check42\nset Form1.Text45 +X\nset Form1.Text45 -W\nset Form1.Text46 0.001\n");
  const std::string with = dump_text();
  EXPECT_NE(with.find("\"self_weight\":{\"on\":true,\"direction\":\"-W\",\"weight\":"), std::string::npos) << with;
  EXPECT_EQ(with.find("\"weight\":0}"), std::string::npos);
  EXPECT_NE(with.find("\"deflection\":[{\"node\":4,"), std::string::npos) << with;
  const std::string stability = "\"stability\":[{\"state\":\"load case 1\",\"alpha_cr\":";
  const size_t alpha = with.find(stability);
  ASSERT_NE(alpha, std::string::npos) << with;
  EXPECT_TRUE(std::isdigit(with[alpha + stability.size()])) << with.substr(alpha, 80);
  EXPECT_NE(without.substr(without.find("\"forces\"")), with.substr(with.find("\"forces\"")));
  run("restart\nclick frmSplash.Command3\n"
      "expect Form1.Check42 checked 1\nexpect Form1.Text45 text -W\nexpect Form1.Text46 text 0.001\n");
  EXPECT_TRUE(errors().empty());
}

TEST_F(LoadsOfTheChecks, CombinationsAreEditedKeptAndReadWithTheResults) {
  run("click Form1.Command42\nexpect Form6 shown\nclick Form6.Command1\nclick Form6.Command1\n"
      "set Form6.Grid1(2,2) SLS\nset Form6.Grid1(1,3) x\nclick Form6.Command3\n"
      "expect-error Type mismatch (combination 1: a factor is a number)\n");
  EXPECT_FALSE(fs::exists("combinations.csv"));
  run("expect Form6 shown\nset Form6.Grid1(1,3) 1.35\nset Form6.Grid1(1,4) 1.5\nclick Form6.Command3\nexpect Form6 hidden\n"
      "expect-state Form1 combinations [{\"name\":\"C1\",\"kind\":\"ULS\",\"self_weight\":1.35,\"factors\":[1.5]},"
      "{\"name\":\"C2\",\"kind\":\"SLS\",\"self_weight\":1,\"factors\":[1]}]\n");
  // One entry per combination; the deflection of the SLS one only.
  const std::string d = dump_text();
  EXPECT_NE(d.find("\"deflection\":[{\"node\":4,"), std::string::npos) << d;
  EXPECT_EQ(d.find("\"deflection\":[{", d.find("\"deflection\":[{") + 1), std::string::npos);

  // Read again with the results; a damaged file is refused by line and the table held stays.
  run("restart\nclick frmSplash.Command3\nclick Form1.Command1\nexpect Form1.HScroll6 max 2\n");
  EXPECT_NE(f().status().find("2 load combinations from combinations.csv"), std::string::npos) << f().status();
  run("edit-file combinations.csv 3 C2,QLS,1,1\n");
  run("restart\nclick frmSplash.Command3\nclick Form1.Command1\n"
      "expect-error Invalid setting (combinations.csv, line 3: the kind of a combination is ULS or SLS)\n"
      "expect Form1.HScroll6 max 1\n");
  // Factors of more load cases than the model has are refused when the results are read.
  run("edit-file combinations.csv 3 C2,SLS,1,1,1\n");
  run("restart\nclick frmSplash.Command3\nclick Form1.Command1\n"
      "expect-error Invalid setting (combinations.csv, line 3: more factors than the 1 load case)\n");
}

}  // namespace
