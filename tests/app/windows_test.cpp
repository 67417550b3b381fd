// The windows driven as a user drives them: start-up passages, the modelling window's load
// state, the view-angle mirrors, zoom and box zoom.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "app/form2.h"
#include "app/forms.h"
#include "app/qt_scenario.h"
#include "post/form1.h"

namespace {
// Each test starts the program afresh: the runner shows the start-up window.
class Windows : public ::testing::Test {
 protected:
  void run(const std::string& script) { ASSERT_TRUE(runner.run_text(script)) << runner.failure(); }
  Form2& start_modelling() {
    run("click frmSplash.Command1\n");
    return Forms::form2();
  }
  ScenarioRunner runner;
};
}  // namespace

TEST_F(Windows, EveryWayOutOfTheStartUpWindow) {
  run("key frmSplash x\nexpect frmSplash unloaded\nexpect Form2 shown\n");
  EXPECT_FALSE(Forms::ended());
}

TEST_F(Windows, ClickOnTheStartUpFrameStartsAndPostOpensPostProcessing) {
  run("click frmSplash.Frame1\nexpect Form2 shown\n");
  Forms::unload("Form2");
  Forms::show("frmSplash");
  run("click frmSplash.Command3\nexpect frmSplash unloaded\nexpect Form1 shown\nexpect Form2 unloaded\n"
      "expect Form1.Command8 caption IN\nexpect Form1.Frame1 shown 0\n");
}

TEST_F(Windows, ModellingWindowLoadState) {
  Form2& f = start_modelling();
  EXPECT_EQ(f.windowTitle(), "MARULLA");
  EXPECT_EQ(f.model.n_gr, 0);
  EXPECT_EQ(f.model.case_no, 1);
  EXPECT_EQ(f.model.apex_sel, 0);
  EXPECT_EQ(f.model.mx_elem, 5000);
  EXPECT_EQ(f.view_win, modelling_view);
  EXPECT_EQ(f.view_win0, modelling_view);
  for (QWidget* shown : std::initializer_list<QWidget*>{f.Frame11, f.Frame14, f.Frame1, f.Frame9, f.Frame15, f.Label28, f.Label29, f.Label38, f.Label41})
    EXPECT_FALSE(shown->isHidden()) << shown->objectName().toStdString();
  for (QWidget* hidden : std::initializer_list<QWidget*>{f.Frame2, f.Frame8, f.Frame10, f.Frame12, f.Frame16, f.Frame13, f.Frame17,
                          f.Command18})
    EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
  EXPECT_TRUE(f.Option1->isChecked());
  const QStringList lines = f.Label29->text().split('\n');
  ASSERT_EQ(lines.size(), 27);
  EXPECT_EQ(lines[0], "Object:  Maximize Stiffness, under Constrained Volume");
  EXPECT_EQ(lines[5], "     ( Any Corner Points, which are Located Same Coordinates,");
  EXPECT_EQ(lines[16], "");
  EXPECT_EQ(lines[17], "");
  EXPECT_EQ(lines[20], "    Maximum Number of Elements                     = 1500");
  EXPECT_EQ(lines[26], "     Detailed_Information_for_Analysis_Frame should be UnChecked.");
}

TEST_F(Windows, TypedAngleMovesItsScrollBarAndRedrawsOnce) {
  Form2& f = start_modelling();
  const int clears = f.canvas().clears();
  f.Text1->setText("12.5");
  EXPECT_EQ(f.HScroll1->value(), 12);
  EXPECT_EQ(f.Text1->text(), "12");
  EXPECT_EQ(f.canvas().clears(), clears + 1);

  // Out of range, empty, a lone minus, not a number: nothing moves, nothing is drawn.
  for (const char* text : {"400", "", "-", "1x"}) {
    f.Text1->setText(text);
    EXPECT_EQ(f.HScroll1->value(), 12) << text;
    EXPECT_EQ(f.Text1->text(), text);
  }
  EXPECT_EQ(f.canvas().clears(), clears + 1);

  // The scroll bar writes its value back as plain integer text.
  f.HScroll2->setValue(-45);
  EXPECT_EQ(f.Text2->text(), "-45");
}

TEST_F(Windows, SetPlaneButtonsWriteTheThreeAngles) {
  start_modelling();
  run("click Form2.Command4\nexpect Form2.Text1 text -90\nexpect Form2.Text2 text 0\nexpect Form2.Text3 text 90\n"
      "expect Form2.HScroll3 value 90\n"
      "click Form2.Command6\nexpect Form2.Text1 text -90\nexpect Form2.Text2 text 90\nexpect Form2.Text3 text 0\n"
      "click Form2.Command5\nexpect Form2.Text1 text 0\nexpect Form2.Text2 text 180\nexpect Form2.Text3 text 0\n");
}

TEST_F(Windows, ZoomInOutAndFit) {
  Form2& f = start_modelling();
  run("click Form2.Command21\n");
  EXPECT_EQ(f.view_win, (ViewWindow{3535, 4545, 3300, 3300}));
  run("click Form2.Command22\n");
  EXPECT_FLOAT_EQ(f.view_win.sx, 3300.0f * 0.9f);
  const int height = f.height_twips(), width = f.width_twips();
  f.resize(f.width() - 100, f.height() - 50);
  run("click Form2.Command17\n");
  EXPECT_EQ(f.view_win, modelling_view);
  EXPECT_EQ(f.height_twips(), height);
  EXPECT_EQ(f.width_twips(), width);
}

TEST_F(Windows, BoxZoomThroughTheMouse) {
  Form2& f = start_modelling();
  const float e = static_cast<float>(f.height_twips());
  run("click Form2.Check2\nmouse Form2 down 2000 3000\nmouse Form2 move 2500 3200\nmouse Form2 up 3000 3500\n");
  EXPECT_FLOAT_EQ(f.view_win.sx, e * 3000 / 1000);
  EXPECT_FALSE(f.Check2->isChecked());
  EXPECT_EQ(f.zoom.drag, 0);

  // A click without a drag: the view goes back to the initial one, the zoom stays armed.
  run("click Form2.Check2\nmouse Form2 down 2000 3000\nmouse Form2 up 2000 3000\n");
  EXPECT_EQ(f.view_win, modelling_view);
  EXPECT_TRUE(f.Check2->isChecked());
  EXPECT_EQ(f.zoom.drag, 1);
}

TEST_F(Windows, RubberBandStaysOnTheSurfaceUntilTheNextRedraw) {
  Form2& f = start_modelling();
  run("click Form2.Check2\nmouse Form2 down 1000 1000\nmouse Form2 move 1600 1300\n");
  const auto& p = f.canvas().primitives();
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[3].colour, 12);
  // Drawn into the persistent image: the pixel under the light-red edge is light red.
  const QColor c = f.canvas().image().pixelColor(1000 / 15, 1300 / 15 - 2);
  EXPECT_EQ(c, QColor(255, 0, 0));
}

TEST_F(Windows, BoxZoomIsRefusedWhilePicking) {
  Form2& f = start_modelling();
  f.Check1->setChecked(true);
  f.Check2->setChecked(true);
  EXPECT_FALSE(f.Check2->isChecked());
  f.Check1->setChecked(false);
  f.Option3->setChecked(true);
  f.Check2->setChecked(true);
  EXPECT_FALSE(f.Check2->isChecked());
  f.Option6->setChecked(true);
  f.Check2->setChecked(true);
  EXPECT_TRUE(f.Check2->isChecked());
}

TEST_F(Windows, RunnerRefusesWhatAUserCannotReach) {
  start_modelling();
  EXPECT_FALSE(runner.run_line("click Form2.Command2"));  // inside the hidden geometry panel
  EXPECT_NE(runner.failure().find("hidden"), std::string::npos);
  EXPECT_FALSE(runner.run_line("click frmSplash.Command1"));  // unloaded
  EXPECT_FALSE(runner.run_line("set Form2.HScroll1 361"));
  EXPECT_TRUE(runner.run_line("expect Form2.Command18 shown 0"));
  EXPECT_FALSE(runner.run_line("expect Form2.Command18 shown 1"));
}

TEST_F(Windows, EndLeavesNoWindowLoaded) {
  run("click frmSplash.Command2\nexpect frmSplash unloaded\nexpect Form2 unloaded\n");
  EXPECT_TRUE(Forms::ended());
}
