// The design stage driven through the modelling window.
#include <gtest/gtest.h>

#include <QLabel>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <filesystem>
#include <fstream>

#include "app/forms.h"
#include "support/window_test.h"
#include "ui/form2.h"
#include "ui/form4.h"

namespace fs = std::filesystem;
using test_support::file_text;

namespace {
class DesignStage : public test_support::WindowTest {
 protected:
  DesignStage() { run("click frmSplash.Command1\n"); }
  Form2& f() { return Forms::form2(); }
  // A box (or a bar) confirmed with "OK" after the given lines.
  void make(const char* kind, const std::string& settings = "") {
    run(std::string("click Form2.") + kind + "\nclick Form2.Command1\n" + settings + "click Form2.Command2\n");
  }
};
}  // namespace

TEST_F(DesignStage, HundredAndFirstRecordIsRefusedAndStoresNothing) {
  f().model.n_gr = 100;
  f().model.gr_len(100, 1) = 42;
  run("click Form2.Command1\nexpect-error at most 100\n");
  EXPECT_EQ(f().model.n_gr, 100);
  EXPECT_EQ(f().model.gr_len(100, 1), 42);
  EXPECT_TRUE(f().geometry.frame->isHidden());
  EXPECT_FALSE(f().design.frame->isHidden());
}

TEST_F(DesignStage, DivisionTypedOutOfRangeWaitsForTheNextRefresh) {
  run("click Form2.Command1\nset Form2.Text13 3\n");
  EXPECT_EQ(f().geometry.division_scroll[0]->value(), 3);
  EXPECT_EQ(f().model.gr_div(1, 1), 3);
  const int clears = f().canvas().clears();
  run("set Form2.Text13 12\n");
  EXPECT_EQ(f().geometry.division_scroll[0]->value(), 3);
  EXPECT_EQ(f().canvas().clears(), clears);
  EXPECT_EQ(f().model.gr_div(1, 1), 3);
  run("set Form2.Text7 120\n");  // any refresh stores the panel
  EXPECT_EQ(f().model.gr_div(1, 1), 12);
  // The panel counts the model while the divisions are typed.
  run("set Form2.Text13 2\n");
  EXPECT_EQ(f().geometry.model_size->text().toStdString(), "Model: 12 nodes, 62 elements");
  run("set Form2.Text14 4\nset Form2.Text15 4\nset Form2.Text13 4\n");
  EXPECT_EQ(f().geometry.model_size->text().toStdString(),
            "Over the limit (1000 nodes, 5000 elements): 125 nodes, 6412 elements before merging");
}

TEST_F(DesignStage, RefreshStopsAtTheFirstFieldThatIsNotANumber) {
  run("click Form2.Command1\nset Form2.Text7 150\nset Form2.Text11 abc\nset Form2.Text9 70\n");
  EXPECT_EQ(f().model.gr_len(1, 3), 70);  // lengths come before the centre
  run("set Form2.Text36 1000\nset Form2.Text7 160\n");
  EXPECT_EQ(f().model.gr_len(1, 1), 160);
  EXPECT_NE(f().model.gr_mat(1, 1), 1000);  // not reached past the bad centre
}

TEST_F(DesignStage, ModifyLoadsTheSelectedRecord) {
  // On an empty list "Modify" and "Delete" do nothing.
  run("click Form2.Command8\nexpect Form2.Frame10 shown 0\nclick Form2.Command9\nexpect Form2.Frame12 shown 0\n"
      "expect Form2.Frame11 shown 1\n");
  make("Option1", "set Form2.Text7 200\nset Form2.Text36 70000\nset Form2.Text37 0.3\n");
  make("Option2", "set Form2.Text10 500\n");
  run("click Form2.Command8\nexpect Form2.Frame10 shown 1\nexpect Form2.HScroll13 max 2\nexpect Form2.Text22 text 2\n"
      "set Form2.HScroll13 1\nclick Form2.Command7\n");
  EXPECT_EQ(f().model.n_gr_m, 1);
  EXPECT_EQ(f().geometry.side[0]->text(), "200");
  EXPECT_EQ(f().geometry.young->text(), "70000");
  EXPECT_EQ(f().geometry.poisson->text(), "0.3");
  EXPECT_TRUE(f().geometry.design_element->isChecked());
  EXPECT_FALSE(f().geometry.division_frame->isHidden());
  EXPECT_TRUE(f().bar_ends.frame->isHidden());
  // The bar of record 2 leaves the division frame hidden when chosen by the selector.
  run("click Form2.Command2\nclick Form2.Command8\nset Form2.HScroll13 1\nset Form2.HScroll13 2\n");
  EXPECT_TRUE(f().geometry.division_frame->isHidden());
}

TEST_F(DesignStage, NewRecordStartsWithDefaultMaterialButKeepsSettings) {
  run("click Form2.Command1\nset Form2.Text36 70000\nclick Form2.Command2\n");
  f().settings.max_diameter->setText("35");
  run("click Form2.Command1\n");
  EXPECT_EQ(f().geometry.young->text(), "206000");
  EXPECT_EQ(f().geometry.poisson->text(), "0.33");
  EXPECT_EQ(f().settings.max_diameter->text(), "35");
  EXPECT_EQ(f().model.gr_mat(1, 1), 70000);
}

TEST_F(DesignStage, DeletingRecordTwoOfThreeMovesTheLastUpWithItsSection) {
  make("Option1");
  make("Option1", "set Form2.Text10 100\n");
  make("Option2", "set Form2.Text10 50\nset Form2.Text12 300\n");
  // Give section 3 a mark of its own so that the file shows which section moved.
  std::ofstream("cross_data_4th.dat", std::ios::binary) << "    3\r\n    0    0\r\n    0    0\r\n    1    0\r\n"
                                                          "    1.00000E+00    2.00000E+00\r\n";
  run("click Form2.Command9\nset Form2.HScroll14 2\nclick Form2.Command10\n");
  EXPECT_EQ(f().model.n_gr, 2);
  const std::string after = "    2\r\n    0    0\r\n    1    0\r\n    1.00000E+00    2.00000E+00\r\n";
  EXPECT_EQ(file_text("cross_data_4th.dat"), after);
  EXPECT_EQ(Forms::form4().Text3->text(), "1");
  EXPECT_FALSE(f().design.frame->isHidden());
  // Deleting the last record leaves the file alone.
  run("click Form2.Command9\nclick Form2.Command10\n");
  EXPECT_EQ(f().model.n_gr, 1);
  EXPECT_EQ(file_text("cross_data_4th.dat"), after);
}

TEST_F(DesignStage, BarFromTwoPoints) {
  run("click Form2.Option2\nclick Form2.Command1\n");
  EXPECT_EQ(f().bar_ends.first[0]->text(), " 50.00");
  EXPECT_EQ(f().bar_ends.second[0]->text(), "-50.00");
  run("set Form2.Text25 10\nset Form2.Text26 60\nset Form2.Text27 5\n"
      "set Form2.Text28 10\nset Form2.Text29 -40\nset Form2.Text30 5\nclick Form2.Command19\n");
  EXPECT_EQ(f().geometry.side[0]->text(), "100");
  EXPECT_EQ(f().geometry.centre[1]->text(), "10");
  EXPECT_EQ(f().geometry.rotation[0]->text(), "0");
  EXPECT_EQ(f().geometry.rotation[1]->text(), "0");
  EXPECT_EQ(f().geometry.rotation[2]->text(), "90");
  EXPECT_EQ(f().model.gr_rot(1, 3), 90);
  // Two identical points change nothing and draw nothing.
  const int clears = f().canvas().clears();
  run("set Form2.Text28 10\nset Form2.Text29 60\nset Form2.Text30 5\n");
  const int after_typing = f().canvas().clears();
  run("click Form2.Command19\n");
  EXPECT_EQ(f().canvas().clears(), after_typing);
  EXPECT_EQ(after_typing, clears);
  EXPECT_EQ(f().geometry.rotation[2]->text(), "90");
}

// The ends follow the geometry as it is edited; "Modify" after typing one end keeps the other.
TEST_F(DesignStage, BarEndsFollowTheGeometry) {
  run("click Form2.Option2\nclick Form2.Command1\nset Form2.Text11 -50\n");
  EXPECT_EQ(f().bar_ends.first[1]->text(), "-50.00");
  EXPECT_EQ(f().bar_ends.second[1]->text(), "-50.00");
  run("set Form2.Text25 250\nclick Form2.Command19\n");
  // (250, -50, 0) to (-50, -50, 0): 300 long, centred on (100, -50, 0).
  EXPECT_EQ(f().geometry.side[0]->text(), "300");
  EXPECT_EQ(f().geometry.centre[0]->text(), "100");
  EXPECT_EQ(f().geometry.centre[1]->text(), "-50");
  EXPECT_EQ(f().bar_ends.first[0]->text(), " 250.00");
  EXPECT_EQ(f().bar_ends.second[0]->text(), "-50.00");
  // Length, then rotation: a quarter turn about H puts both ends on the W line through the centre.
  run("set Form2.Text7 200\n");
  EXPECT_EQ(f().bar_ends.first[0]->text(), " 200.00");
  run("set Form2.Text6 90\n");
  EXPECT_EQ(f().bar_ends.first[0]->text(), " 100.00");
  EXPECT_EQ(f().bar_ends.second[0]->text(), " 100.00");
  EXPECT_NE(f().bar_ends.first[1]->text(), f().bar_ends.second[1]->text());
  EXPECT_TRUE(errors().empty());
}

TEST_F(DesignStage, CornerPickAndDisplacements) {
  run("click Form2.Command1\nclick Form2.Check1\nexpect Form2.Frame8 shown 1\n");
  // Without a picked corner a scroll bar only writes its text.
  run("set Form2.HScroll11 25\n");
  EXPECT_EQ(f().corner.displacement[1]->text(), "   25.0000");
  for (int c = 1; c <= 8; ++c) EXPECT_EQ(f().model.gr_apex(1, c, 2), 0);
  // Corner 5 (+L, -W, -H) lies to the left and low on the starting W-H view; pick there.
  const ViewWindow& v = f().view_win;
  const float x = v.sx * f().model.apex_scr(5, 1) + v.cx, y = v.sy * f().model.apex_scr(5, 2) + v.cy;
  f().Form_MouseDown(1, 0, x + 3, y - 2);
  const int picked = f().model.apex_sel;
  ASSERT_GE(picked, 1);
  EXPECT_EQ(f().corner.coordinate[0]->text(), "  -50.0000");
  run("set Form2.Text19 12.5\n");
  EXPECT_EQ(f().corner.displacement_scroll[0]->value(), 12);
  EXPECT_EQ(f().model.apex_mov(picked, 1), 12);
  EXPECT_EQ(f().model.gr_apex(1, picked, 1), 12);
  EXPECT_EQ(f().corner.coordinate[0]->text(), "  -38.0000");
  run("set Form2.Text19 13.5\n");
  EXPECT_EQ(f().model.apex_mov(picked, 1), 14);
  run("set Form2.Text19 1500\n");
  EXPECT_EQ(f().corner.displacement_scroll[0]->value(), 14);
  EXPECT_EQ(f().model.apex_mov(picked, 1), 14);
  // A typed coordinate gives the displacement; the scroll bar then rounds it.
  run("set Form2.Text17 -42.25\n");
  EXPECT_EQ(f().model.apex_mov(picked, 2), 8);
  // A coordinate beyond single precision moves nothing.
  run("set Form2.Text18 1e39\n");
  EXPECT_EQ(f().model.apex_mov(picked, 3), 0);
  EXPECT_EQ(f().model.gr_apex(1, picked, 3), 0);
  run("click Form2.Command3\n");
  EXPECT_EQ(f().corner.coordinate[0]->text(), "None");
  EXPECT_EQ(f().model.apex_sel, 0);
  EXPECT_TRUE(f().corner.frame->isHidden());
}

TEST_F(DesignStage, SettingsPanelDefaults) {
  run("expect Form2.Text31 text 20\nexpect Form2.Text32 text 0.0001\nexpect Form2.Text33 text 0.01\n"
      "expect Form2.Text34 text 1.0\nexpect Form2.Text35 text 1.0\nexpect Form2.Check5 checked 1\n");
}

// Zoomed far in, nothing of the picture is painted over the controls' column.
TEST_F(DesignStage, APictureZoomedInKeepsLeftOfTheControls) {
  make("Option1");
  for (int k = 0; k < 8; ++k) run("click Form2.Command21\n");
  const QImage& image = f().canvas().image();
  const QColor background(window_background.r, window_background.g, window_background.b);
  const int column = form2_layout::column_a / twips_per_pixel;
  int drawn_left = 0, drawn_right = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) (x < column ? drawn_left : drawn_right) += image.pixelColor(x, y) != background;
  EXPECT_GT(drawn_left, 0);
  EXPECT_EQ(drawn_right, 0);
}
