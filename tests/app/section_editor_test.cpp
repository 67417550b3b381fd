// The cross-section editor driven as a user drives it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "app/forms.h"
#include "support/window_test.h"
#include "ui/form3.h"
#include "ui/form4.h"

namespace fs = std::filesystem;
using test_support::file_lines;

namespace {
// Surface position (twips) of sketch point (W, H) in mm.
std::string at(float w, float h) {
  const SketchMap map;
  return std::to_string(int(map.x_of(w))) + " " + std::to_string(int(map.y_of(h)));
}

class SectionEditor : public test_support::WindowTest {
 protected:
  SectionEditor() { run("click frmSplash.Command1\n"); }
  // Confirms a bar marked "Non-Design Element", which opens the editor.
  void open_for_bar() {
    run("click Form2.Option2\nclick Form2.Command1\nclick Form2.Option7\nclick Form2.Command2\n");
  }
  void make_box() { run("click Form2.Option1\nclick Form2.Command1\nclick Form2.Command2\n"); }
  Form3* editor() { return static_cast<Form3*>(Forms::find("Form3")); }
  Form3& e() { return *editor(); }
  int sec() { return e().sec_no; }
  // Presses (and releases) the mouse at sketch point (W, H).
  void press(float w, float h) { run("mouse Form3 down " + at(w, h) + "\nmouse Form3 up " + at(w, h) + "\n"); }
  void points(std::initializer_list<std::pair<float, float>> list) {
    run("click Form3.Option1\n");
    for (auto [w, h] : list) press(w, h);
  }
  // A line between the points nearest to a and b, with the thickness in Text1.
  void line(std::pair<float, float> a, std::pair<float, float> b) {
    run("click Form3.Option3\n");
    press(a.first, a.second);
    press(b.first, b.second);
    run("click Form3.Command2\n");
  }
};
}  // namespace

// The editor opens for a non-design bar on a section of its own; the readout follows the pointer.
TEST_F(SectionEditor, OpensForANonDesignBarAndReadsOutThePointer) {
  open_for_bar();
  Form3& f = e();
  EXPECT_EQ(f.width_twips(), 11865);  // 8685 and the column of values about the centroid
  EXPECT_EQ(sec(), 1);
  EXPECT_EQ(f.table.n_sec, 1);
  EXPECT_EQ(f.Frame1->geometry(), QRect(6828 / 15, 2160 / 15, 1812 / 15, 2148 / 15));
  run("mouse Form3 move 3800 3200\n");
  EXPECT_EQ(f.drawn_once, 1);
  EXPECT_EQ(f.canvas().primitives().back().text, "   W=  1.0000E+01, H=  1.0000E+01");
  // A point made there is marked red at the pointer and read out alike.
  run("click Form3.Option1\nmouse Form3 down 3800 3200\n");
  const auto& p = f.canvas().primitives();
  EXPECT_EQ(p[p.size() - 2].colour, 4);
  EXPECT_EQ(p.back().text, "   W=  1.0000E+01, H=  1.0000E+01");
  EXPECT_TRUE(errors().empty());
}

TEST_F(SectionEditor, MovePointByDragAndByTypedCoordinates) {
  open_for_bar();
  points({{0, 0}, {10, 0}});
  run("click Form3.Option2\nexpect Form3.Frame3 shown 1\n");
  Form3& f = e();
  // A press far from both picks the nearer and moves it to the pointer to the written digits.
  run("mouse Form3 down 4310 2000\n");
  EXPECT_EQ(f.pick_pnt, 2);
  EXPECT_EQ(f.drag_on, 1);
  run("expect Form3.Text2 text   2.7000E+01\nexpect Form3.Text3 text   5.0000E+01\n");
  EXPECT_FLOAT_EQ(f.table.pnt_xy(1, 2, 1), 27);
  run("mouse Form3 move 4000 3000\nexpect Form3.Text2 text   1.6667E+01\n");
  EXPECT_FLOAT_EQ(f.table.pnt_xy(1, 2, 1), 16.667f);
  // Releasing gives the exact position.
  run("mouse Form3 up 4000 3000\n");
  EXPECT_FLOAT_EQ(f.table.pnt_xy(1, 2, 1), 500.0f / 30);
  EXPECT_EQ(f.drag_on, 0);

  // Either text applies both: the point takes H from Text3 as written, then a text that is no
  // number leaves its coordinate alone.
  run("set Form3.Text2 -12.5\nset Form3.Text3 abc\n");
  EXPECT_FLOAT_EQ(f.table.pnt_xy(1, 2, 1), -12.5f);
  EXPECT_FLOAT_EQ(f.table.pnt_xy(1, 2, 2), 16.667f);
  // Outside "Move Point" the texts move nothing.
  run("click Form3.Option1\n");
  f.Text2->setText("40");
  EXPECT_FLOAT_EQ(f.table.pnt_xy(1, 2, 1), -12.5f);
  EXPECT_TRUE(errors().empty());
}

TEST_F(SectionEditor, LinesWithTheirThicknessAndAFirstEndKeptAcrossModesAndDeletions) {
  open_for_bar();
  points({{0, 0}, {10, 0}, {0, 10}});
  Form3& f = e();
  run("click Form3.Option3\n");
  press(0.5f, 0.5f);
  EXPECT_EQ(f.line_open, 1);
  EXPECT_EQ(f.table.n_line(1), 0);
  // Another mode meanwhile: the first end stays pending.
  points({{20, 20}});
  run("click Form3.Option3\n");
  press(0, 9);
  ASSERT_EQ(f.table.n_line(1), 1);
  EXPECT_EQ(f.table.line_pnt(1, 1, 1), 1);
  EXPECT_EQ(f.table.line_pnt(1, 1, 2), 3);
  EXPECT_FLOAT_EQ(f.table.line_t(1, 1), 1);
  EXPECT_EQ(f.line_open, 0);
  // While the thickness is asked for, presses do nothing.
  press(10, 0);
  press(20, 20);
  EXPECT_EQ(f.table.n_line(1), 1);
  EXPECT_EQ(f.line_open, 0);
  run("set Form3.Text1 2.5\nset Form3.Text1 -\nset Form3.Text1 x\n");
  EXPECT_FLOAT_EQ(f.table.line_t(1, 1), 2.5f);
  run("click Form3.Command2\n");

  // The thickness text left unreadable: the next line is made, reported, and waits for it.
  run("click Form3.Option3\n");
  press(10, 0);
  press(0, 0);
  EXPECT_EQ(f.table.n_line(1), 2);
  EXPECT_FLOAT_EQ(f.table.line_t(1, 2), 0);
  run("expect-error Type mismatch\nexpect Form3.Frame2 shown 1\nset Form3.Text1 3\nclick Form3.Command2\n");
  EXPECT_FLOAT_EQ(f.table.line_t(1, 2), 3);

  // A pending first end survives a deleted line.
  run("click Form3.Option3\n");
  press(0, 10);  // first end: point 3
  run("click Form3.Option5\n");
  press(5, 0);  // deletes line 2, from (10, 0) to (0, 0)
  EXPECT_EQ(f.pick_line, 2);
  EXPECT_EQ(f.table.n_line(1), 1);
  run("click Form3.Option3\n");
  press(10, 0);
  ASSERT_EQ(f.table.n_line(1), 2);
  EXPECT_EQ(f.table.line_pnt(1, 2, 1), 3);
  EXPECT_EQ(f.table.line_pnt(1, 2, 2), 2);
}

TEST_F(SectionEditor, TypicalShapesPanel) {
  open_for_bar();
  points({{1, 1}});
  run("click Form3.Check1\nexpect Form3.Frame4 shown 1\nexpect Form3.Command1 shown 0\n"
      "set Form3.Text4 abc\nclick Form3.Command3\nexpect-error Type mismatch\n"
      "expect Form3.Frame4 shown 1\n");
  Form3& f = e();
  EXPECT_EQ(f.table.n_pnt(1), 1);
  // Width 0: nothing is made, the panel closes.
  run("set Form3.Text4 0\nclick Form3.Command3\nexpect Form3.Frame4 shown 0\nexpect Form3.Check1 checked 0\n"
      "expect Form3.Command1 shown 1\n");
  EXPECT_EQ(f.table.n_pnt(1), 1);
  EXPECT_EQ(f.table.n_line(1), 0);
  run("click Form3.Check1\nclick Form3.Option6\nclick Form3.Command3\n");
  EXPECT_EQ(f.table.n_pnt(1), 8);
  run("click Form3.Check1\nclick Form3.Option4\nset Form3.Text4 100\nclick Form3.Command3\n");
  EXPECT_EQ(f.table.n_pnt(1), 4);
  EXPECT_FLOAT_EQ(f.table.pnt_xy(1, 3, 1), -50);
  run("click Form3.Command1\nexpect Form2 shown\n");
  EXPECT_TRUE(errors().empty());
}

// "Return" without a line stays; the close button returns, saving as "Return" does.
TEST_F(SectionEditor, ReturnAndCloseButtonReturnSafely) {
  open_for_bar();
  points({{0, 0}, {10, 0}});
  run("click Form3.Command1\nexpect Form3 shown\nexpect Form2 hidden\n");
  EXPECT_FALSE(fs::exists("cross_data_4th.dat"));
  e().close();
  run("expect Form3 unloaded\nexpect Form2 shown\n");
  EXPECT_FALSE(fs::exists("cross_data_4th.dat"));

  // With a line the close saves as "Return" does.
  run("click Form2.Command1\nclick Form2.Option7\nclick Form2.Command2\n");
  points({{0, 0}, {10, 0}, {5, 5}});
  line({0, 0}, {10, 0});
  EXPECT_EQ(sec(), 2);
  e().close();
  run("expect Form3 unloaded\nexpect Form2 shown\n");
  const auto lines = file_lines("cross_data_4th.dat");
  ASSERT_EQ(lines.size(), 1u + 1 + 1 + 2 + 1 + 1);
  EXPECT_EQ(lines[0], "    2");
  EXPECT_EQ(lines[1], "    0    0");
  EXPECT_EQ(lines[2], "    2    1");
  EXPECT_TRUE(errors().empty());
}

TEST_F(SectionEditor, ShownAfterTheFileProceduresItPreparesAfresh) {
  make_box();
  ASSERT_NE(editor(), nullptr);  // loaded, hidden, by grand_file_r_w
  EXPECT_EQ(sec(), 1);
  EXPECT_FALSE(e().isVisible());
  open_for_bar();
  run("expect Form3 shown\n");
  EXPECT_EQ(sec(), 2);
  EXPECT_EQ(e().table.n_sec, 2);
}

TEST_F(SectionEditor, CapacityAndAnUnreadableFileAreReported) {
  open_for_bar();
  run("click Form3.Option1\n");
  for (int p = 1; p <= 101; ++p) run("mouse Form3 down 3500 3500\n");
  EXPECT_EQ(e().table.n_pnt(1), 100);
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_NE(errors().back().find("Capacity exceeded (a 101st point"), std::string::npos);
  e().close();

  // A file the editor cannot read: the modelling window comes back and says why.
  make_box();
  std::ofstream("cross_data_4th.dat", std::ios::binary) << "    2\r\n    x    0\r\n";
  open_for_bar();
  run("expect Form3 unloaded\nexpect Form2 shown\nexpect Form2.Frame16 shown 0\nexpect-error Type mismatch\n");

  // A section number past the table is refused the same way.
  Forms::form4().Text1->setText("201");
  Forms::form4().Text2->setText("0");
  Form3::show_for_non_design_bar();
  run("expect Form3 unloaded\nexpect Form2 shown\nexpect-error Capacity exceeded (section 201\n");
}

// The section's properties follow the sketch as it is drawn: a plate 100 mm wide, 1 then 2 mm
// thick: A = 100 t, Iw = 100 t^3 / 12, Ih = t 100^3 / 12, J = Iw + Ih (as the analysis takes it).
TEST_F(SectionEditor, PropertiesFollowTheSketch) {
  open_for_bar();
  run("click Form3.Option1\nmouse Form3 down 2000 3500\nmouse Form3 down 5000 3500\n"
      "click Form3.Option3\nmouse Form3 down 2000 3500\nmouse Form3 down 5000 3500\n");
  EXPECT_EQ(e().Label40->text().toStdString(), "A = 100 mm2\nIw = 8.33333 mm4\nIh = 83333.3 mm4\nJ = 83341.7 mm4");
  run("set Form3.Text1 2\n");
  EXPECT_EQ(e().Label40->text().toStdString(), "A = 200 mm2\nIw = 66.6667 mm4\nIh = 166667 mm4\nJ = 166733 mm4");
  // J = 100 x 2^3 / 3; the analysis twists it with Iw + Ih, 625 times that.
  run("expect Form3.Label60 contains Its torsion constant Iw + Ih = 166733 mm4 is 625.3 times the St Venant J.\n");
}

// An 80 x 50 x 6 angle: the values about its centroid (480 x 40 / 780, 300 x 25 / 780) and
// J = 130 x 6^3 / 3 beside those as drawn, and a note. A centred 100 x 100 tube has no note.
TEST_F(SectionEditor, AngleAboutItsCentroidAndWhatTheAnalysisChanges) {
  open_for_bar();
  points({{0, 0}, {80, 0}, {0, 50}});
  run("click Form3.Option3\n");
  for (auto [w, h] : {std::pair{80.f, 0.f}, std::pair{0.f, 50.f}}) {
    press(0, 0);
    press(w, h);
    run("set Form3.Text1 6\nclick Form3.Command2\n");
  }
  Form3& f = e();
  EXPECT_EQ(f.Label40->text().toStdString(), "A = 780 mm2\nIw = 251440 mm4\nIh = 1.0249e+06 mm4\nJ = 1.27634e+06 mm4");
  EXPECT_EQ(f.Label41->text().toStdString(),
            "About the centroid:\nW = 24.6154 mm\nH = 9.61538 mm\nIw = 179325 mm4\nIh = 552285 mm4\nIwh = -184615 mm4\n"
            "I1 = 628212 mm4\nI2 = 103397 mm4\nAngle of I1 = 67.64\u00b0\nSt Venant J = 9360 mm4");
  const std::string status = f.Label60->text().toStdString();
  EXPECT_EQ(status.rfind("The analysis takes this section as drawn.", 0), 0u) << status;

  run("click Form3.Check1\nset Form3.Text7 1\nclick Form3.Command3\n");
  EXPECT_EQ(f.Label60->text().toStdString(), "");
  EXPECT_NE(f.Label41->text().toStdString().find("St Venant J = 1e+06 mm4"), std::string::npos);
  EXPECT_TRUE(errors().empty());
}
