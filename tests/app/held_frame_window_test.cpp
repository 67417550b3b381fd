// "Hold mechanisms" in the post-processing window, on a frame optimised by the real solver: a box
// pinned at its four lower corners and loaded on one long side only optimises into a layout in
// that side's plane, whose clean frame turns about the line of its two feet there.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <regex>

#include "app/forms.h"
#include "formats/json.h"
#include "support/window_test.h"
#include "ui/form1.h"
#include "ui/form2.h"

using namespace test_support;

namespace {

class HeldFrameWindow : public WindowTest {
 protected:
  std::string summary() { return Forms::form1().Label11->text().toStdString(); }
  // The number before `after` in the line, or -1.
  static int number_before(const std::string& line, const std::string& after) {
    std::smatch m;
    return std::regex_search(line, m, std::regex("(\\d+) " + after)) ? std::stoi(m[1]) : -1;
  }
};

TEST_F(HeldFrameWindow, AFrameInOnePlaneIsHeldCheckedAndTheSettingKept) {
  run("click frmSplash.Command1\n" + box_to_analysis(400, 4));
  ModelStore& m = Forms::form2().model;
  for (int n : nodes_where(m, [](float l, float, float h) { return (l == -200 || l == 200) && h == -50; }))
    set_support(m, 1, n, 3);
  const auto loaded = nodes_where(m, [](float l, float w, float h) { return l == 0 && w == -50 && h == 50; });
  ASSERT_EQ(loaded.size(), 1u);
  set_load(m, 1, *loaded.begin(), 3, -1000);
  run("click Form2.Check3\nset Form2.Text33 0.05\nclick Form2.Check5\nclick Form2.Command13\nexpect Form2 unloaded\n"
      "wait-file post_pl.dat 120\nexpect Form1 shown\nclick Form1.Command1\n");

  const QCheckBox* hold = Forms::form1().Check44;
  EXPECT_EQ(hold->text().toStdString(), "Hold mechanisms");
  EXPECT_EQ(hold->toolTip().toStdString(),
            "When the Clean Frame Is a Mechanism, Add Back the Lightest Removed Members that Hold It");
  EXPECT_FALSE(hold->isChecked());
  run("click Form1.Command11\n");
  EXPECT_NE(summary().find("It cannot stand: load case 1: the clean frame is a mechanism"), std::string::npos) << summary();

  // Held: the members added back count with the rest (every member of the clean frame is checked).
  run("click Form1.Check44\nexpect-error none\n");
  const std::string held = summary();
  ASSERT_NE(held.find(" added back: "), std::string::npos) << held;
  EXPECT_EQ(held.find("It cannot stand"), std::string::npos) << held;
  const int members = number_before(held, "members, ");
  EXPECT_GT(members, 0) << held;
  EXPECT_EQ(number_before(held, "members above 1 in the clean frame"), members) << held;
  JsonWriter j;
  Forms::form1().dump(j);
  EXPECT_NE(j.str().find("\"problem\":\"\",\"added\":["), std::string::npos) << j.str();
  EXPECT_EQ(j.str().find("\"added\":[]"), std::string::npos);

  // Sized, the members added back take standard sections like the rest.
  run("click Form1.Check3\nexpect-error none\n");
  EXPECT_NE(summary().find("; held by "), std::string::npos) << summary();
  EXPECT_NE(summary().find("Standard sizes: mass "), std::string::npos) << summary();
  EXPECT_EQ(number_before(summary(), "members above 1 in the sized frame"), members) << summary();

  run("restart\nclick frmSplash.Command3\nexpect Form1.Check44 checked 1\n");
  EXPECT_TRUE(errors().empty());
}

}  // namespace
