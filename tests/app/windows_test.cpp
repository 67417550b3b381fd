// The windows driven as a user drives them: start-up, view angles, zoom and the runner's refusals.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/forms.h"
#include "support/window_test.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {
class Windows : public test_support::WindowTest {
 protected:
  Form2& start_modelling() {
    run("click frmSplash.Command1\n");
    return Forms::form2();
  }
};
}  // namespace

// A key or a click on the frame starts modelling as "Start" does; "POST" opens post-processing.
TEST_F(Windows, EveryWayOutOfTheStartUpWindow) {
  for (const std::string way : {"key frmSplash x", "click frmSplash.Frame1"}) {
    run(way + "\nexpect frmSplash unloaded\nexpect Form2 shown\n");
    EXPECT_FALSE(Forms::ended());
    Forms::unload("Form2");
    Forms::show("frmSplash");
  }
  run("click frmSplash.Command3\nexpect frmSplash unloaded\nexpect Form1 shown\nexpect Form2 unloaded\n");
}

// A typed angle redraws the view once, and never when the scroll bar cannot hold it.
TEST_F(Windows, TypedAngleRedrawsOnlyWhenItMovesTheScrollBar) {
  Form2& f = start_modelling();
  const int clears = f.canvas().clears();
  f.Text1->setText("12.5");
  EXPECT_EQ(f.canvas().clears(), clears + 1);
  f.Text1->setText("400");  // (the texts a scroll bar cannot hold: Mirror's test)
  EXPECT_EQ(f.canvas().clears(), clears + 1);
}

TEST_F(Windows, SetPlaneButtonsWriteTheThreeAngles) {
  start_modelling();
  // "L-W" (Command4) in the scenario view_controls.
  run("click Form2.Command6\nexpect Form2.Text1 text -90\nexpect Form2.Text2 text 90\nexpect Form2.Text3 text 0\n"
      "click Form2.Command5\nexpect Form2.Text1 text 0\nexpect Form2.Text2 text 180\nexpect Form2.Text3 text 0\n");
}

TEST_F(Windows, ZoomInOutAndFit) {
  Form2& f = start_modelling();
  run("click Form2.Command21\nclick Form2.Command22\n");
  EXPECT_FLOAT_EQ(f.view_win.sx, 3300.0f * 0.9f);
  // "FIT" gives the first view back and the window its size.
  const int height = f.height_twips(), width = f.width_twips();
  f.resize(f.width() - 100, f.height() - 50);
  run("click Form2.Command17\n");
  EXPECT_EQ(f.view_win, modelling_view);
  EXPECT_EQ(f.height_twips(), height);
  EXPECT_EQ(f.width_twips(), width);
}

// The rubber band stays on the surface; the band's shorter side sets the scale against the
// surface height; a click without a drag gives the first view back.
TEST_F(Windows, BoxZoomThroughTheMouse) {
  Form2& f = start_modelling();
  const float e = static_cast<float>(f.height_twips());
  run("click Form2.Check2\nmouse Form2 down 2000 3000\nmouse Form2 move 2500 3200\n");
  EXPECT_EQ(f.canvas().image().pixelColor(2000 / 15, 3200 / 15 - 2), QColor(255, 0, 0));  // under its light-red edge
  run("mouse Form2 up 3000 3500\n");
  EXPECT_FLOAT_EQ(f.view_win.sx, e * 3000 / 1000);
  run("click Form2.Check2\nmouse Form2 down 2000 3000\nmouse Form2 up 2000 3000\n");
  EXPECT_EQ(f.view_win, modelling_view);
}

TEST_F(Windows, BoxZoomIsRefusedWhilePicking) {
  Form2& f = start_modelling();
  f.geometry.move_apex->setChecked(true);
  f.Check2->setChecked(true);
  EXPECT_FALSE(f.Check2->isChecked());
  f.geometry.move_apex->setChecked(false);
  f.conditions.create_modify->setChecked(true);
  f.Check2->setChecked(true);
  EXPECT_FALSE(f.Check2->isChecked());
  f.conditions.view_angle->setChecked(true);
  f.Check2->setChecked(true);
  EXPECT_TRUE(f.Check2->isChecked());
}

TEST_F(Windows, RunnerRefusesWhatAUserCannotReach) {
  start_modelling();
  EXPECT_FALSE(runner().run_line("click Form2.Command2"));  // inside the hidden geometry panel
  EXPECT_NE(runner().failure().find("hidden"), std::string::npos);
  EXPECT_FALSE(runner().run_line("click frmSplash.Command1"));  // unloaded
  EXPECT_FALSE(runner().run_line("set Form2.HScroll1 361"));
  EXPECT_TRUE(runner().run_line("expect Form2.Command18 shown 0"));
  EXPECT_FALSE(runner().run_line("expect Form2.Command18 shown 1"));
}

TEST_F(Windows, EndLeavesNoWindowLoaded) {
  run("click frmSplash.Command2\nexpect frmSplash unloaded\nexpect Form2 unloaded\n");
  EXPECT_TRUE(Forms::ended());
}

// The wheel zooms about the pointer: cx' = x - (x - cx) f. A right drag, or a left one with
// nothing armed, turns the view a degree per 30 twips; the angles wrap at 360.
TEST_F(Windows, WheelZoomsAboutThePointerAndDragsTurnTheView) {
  Form2& f = start_modelling();
  run("wheel Form2 3000 4000 1\n");
  EXPECT_FLOAT_EQ(f.view_win.cx, 3000 - (3000 - 3500) * 1.1f);
  EXPECT_FLOAT_EQ(f.view_win.cy, 4000 - (4000 - 4500) * 1.1f);
  run("wheel Form2 3000 4000 -1\n");
  EXPECT_FLOAT_EQ(f.view_win.sx, 3300 * 0.9f);

  run("mouse Form2 down 3000 3000 right\nmouse Form2 move 3300 2850\nmouse Form2 up 3300 2850 right\n"
      "expect Form2.Text3 text 10\nexpect Form2.HScroll3 value 10\nexpect Form2.Text2 text 185\n"
      "expect Form2.Text1 text 0\n");
  run("mouse Form2 down 3000 3000\nmouse Form2 move 2700 3000\nmouse Form2 up 2700 3000\nexpect Form2.Text3 text 0\n");
  run("set Form2.HScroll3 355\nmouse Form2 down 3000 3000 right\nmouse Form2 move 3300 3000\n"
      "mouse Form2 up 3300 3000 right\nexpect Form2.Text3 text 5\n");
  // Box zoom armed: the left button zooms and turns nothing; the right one still turns.
  run("click Form2.Check2\nmouse Form2 down 2000 3000\nmouse Form2 move 2500 3200\nmouse Form2 up 3000 3500\n"
      "expect Form2.Text3 text 5\nexpect Form2.Text2 text 185\n");
  EXPECT_FLOAT_EQ(f.view_win.sx, f.height_twips() * (3300 * 0.9f) / 1000);  // the band's 1000 twips
}

TEST_F(Windows, PostWindowTurnsWithTheRightButton) {
  run("click frmSplash.Command3\n");
  Form1& post = Forms::form1();
  post.Frame1->show();  // the view frame, as after a read
  run("mouse Form1 down 3000 3000 right\nmouse Form1 move 3000 2400\nmouse Form1 up 3000 2400 right\n"
      "expect Form1.Text2 text 200\n");
  run("wheel Form1 4000 4000 2\n");
  EXPECT_FLOAT_EQ(post.view_win.sx, 6000 * 1.1f * 1.1f);
  EXPECT_FLOAT_EQ(post.view_win.cx, 4000);
}
