// The boundary-condition stage driven through the modelling window and the point dialog.
#include <gtest/gtest.h>

#include <set>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QWindow>

#include "app/forms.h"
#include "base/number_labels.h"
#include "base/view_window.h"
#include "support/drawing.h"
#include "support/window_test.h"
#include "ui/form2.h"
#include "ui/form5.h"

using namespace test_support;

namespace {
constexpr int black = 0, red = 4;

// Screen positions of the box's corners with the view turned 30 degrees about H: the lower
// corners at y 6696, x 4304 (node 1), 6500 (node 2), 500 (node 5), 2696 (node 6); the upper
// ones above them at y 2304 (nodes 3, 4, 7, 8).
constexpr const char* node1 = "4304 6696";
constexpr const char* node3 = "4304 2304";

// A 100 mm box of one division in the boundary-condition stage.
class BcStage : public WindowTest {
 protected:
  void go_to_analysis(bool turned = true) {
    run("click frmSplash.Command1\nclick Form2.Command1\nclick Form2.Command2\nclick Form2.Command12\n");
    if (turned) run("set Form2.Text3 30\n");
  }
  // Opens the dialog on the point at "x y" with "Create/Modify", then runs `then`.
  void open(const char* at, const std::string& then = "") {
    run(std::string("click Form2.Option3\nmouse Form2 down ") + at + "\n" + then);
  }
  Form2& f() { return Forms::form2(); }
  Form5& dialog() { return *qobject_cast<Form5*>(Forms::find("Form5")); }
  // Marked points: each shows a filled red square.
  int marked() {
    int n = 0;
    for (const Primitive& p : of(f().canvas().primitives(), Op::rect, red)) n += p.filled;
    return n;
  }
};
}  // namespace

TEST_F(BcStage, GoToAnalysisBuildsAndDrawsTheMesh) {
  go_to_analysis(false);
  EXPECT_EQ(count_of(f().canvas().primitives(), Op::line, black), 28);
  EXPECT_EQ(count_of(f().canvas().primitives(), Op::circle, black), 8);
  // Redraws of the stage keep to the mesh: a view change draws it again.
  run("set Form2.Text1 10\n");
  EXPECT_EQ(f().canvas().primitives().size(), 28u + 8 + 6);
}

// "Node No." writes each node's number beside it, at one size however far the view is zoomed.
TEST_F(BcStage, NodeNumbersBesideEveryNode) {
  go_to_analysis(false);
  auto numbers = [&] {
    std::vector<Primitive> out;
    for (const Primitive& p : of(f().canvas().primitives(), Op::text))
      if (p.state.font_size == label_points) out.push_back(p);
    return out;
  };
  EXPECT_TRUE(numbers().empty());
  run("click Form2.Check6\n");
  const std::vector<Primitive> shown = numbers();
  ASSERT_EQ(shown.size(), 8u);
  std::set<std::string> texts;
  for (const Primitive& p : shown) texts.insert(p.text);
  EXPECT_EQ(texts, (std::set<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
  run("click Form2.Command21\n");  // zoom in
  const std::vector<Primitive> zoomed = numbers();
  ASSERT_EQ(zoomed.size(), 8u);
  EXPECT_NE(zoomed[7].state.x, shown[7].state.x);
  run("click Form2.Check6\n");
  EXPECT_TRUE(numbers().empty());
}

TEST_F(BcStage, PickOpensTheDialogAndOkStores) {
  go_to_analysis();
  open(node1);
  EXPECT_EQ(f().model.bc_node, 1);
  EXPECT_EQ(f().model.bc_flag(1, 1), 1);
  EXPECT_FALSE(f().isEnabled());
  EXPECT_TRUE(f().conditions.view_angle->isChecked());
  // The dialog stands above the modelling window, which takes no input meanwhile.
  ASSERT_TRUE(dialog().windowHandle());
  EXPECT_EQ(dialog().windowHandle()->transientParent(), f().windowHandle());
  EXPECT_TRUE(dialog().isEnabled());
  // The red marker stays on the surface while the dialog is open.
  EXPECT_EQ(shapes(f().canvas().primitives(), red).back(), "circle 4304,6696 r80 solid");

  run("set Form5.Check1 1\nset Form5.Text3 25\nset Form5.Text12 -4\nclick Form5.Command1\nexpect Form5 unloaded\n");
  EXPECT_TRUE(f().isEnabled());
  EXPECT_EQ(f().model.bc_val(1, 1, 1, 1), 1);
  EXPECT_EQ(f().model.spring_val(1, 1, 3), 25);
  EXPECT_EQ(f().model.bc_val(1, 1, 2, 6), -4);
  EXPECT_EQ(marked(), 1);

  // Picked again it shows what was stored ("L" fixed hides its spring).
  open(node1);
  EXPECT_TRUE(dialog().Check1->isChecked());
  EXPECT_TRUE(dialog().Text1->isHidden());
  EXPECT_EQ(dialog().Text3->text(), "25");
  EXPECT_EQ(dialog().Text12->text(), "-4");
  EXPECT_TRUE(errors().empty());
}

// "ALL", the hide-and-zero rule of a fixed degree of freedom, and "OK" on a point left empty.
TEST_F(BcStage, DialogRules) {
  go_to_analysis();
  open(node3, "set Form5.Text9 500\nclick Form5.Command1\n");
  open(node3);
  EXPECT_EQ(dialog().Text9->text(), "500");
  // Five fixed: "ALL" fixes the sixth (hiding its texts at "0"); again, it frees all six.
  run("set Form5.Check1 1\nset Form5.Check2 1\nset Form5.Check3 1\nset Form5.Check4 1\nset Form5.Check5 1\n"
      "set Form5.Text12 7\nclick Form5.Command2\n");
  EXPECT_TRUE(dialog().Check6->isChecked());
  EXPECT_TRUE(dialog().Text12->isHidden());
  EXPECT_EQ(dialog().Text12->text(), "0");
  run("click Form5.Command2\n");
  for (int k = 1; k <= 6; ++k) {
    EXPECT_FALSE(dialog().fixed_box(k)->isChecked());
    EXPECT_FALSE(dialog().spring_text(k)->isHidden());
    EXPECT_EQ(dialog().spring_text(k)->text(), "0");
    EXPECT_EQ(dialog().load_text(k)->text(), "0");
  }
  // The load of 500 was zeroed by fixing H: fixed again, H stores load 0.
  run("set Form5.Check3 1\nclick Form5.Command1\n");
  EXPECT_EQ(f().model.bc_val(1, 3, 1, 3), 1);
  EXPECT_EQ(f().model.bc_val(1, 3, 2, 3), 0);
  EXPECT_EQ(marked(), 1);
  // Freed and left empty, "OK" takes the marker away.
  open(node3, "set Form5.Check3 0\nclick Form5.Command1\n");
  EXPECT_EQ(f().model.bc_flag(1, 3), 0);
  EXPECT_EQ(marked(), 0);
}

TEST_F(BcStage, TextThatIsNotANumberIsRefusedAndNothingStored) {
  go_to_analysis();
  open(node1, "set Form5.Check2 1\nset Form5.Text1 5\nset Form5.Text9 x\nclick Form5.Command1\n");
  ASSERT_FALSE(errors().empty());
  EXPECT_EQ(errors().back(), "Type mismatch (Load F_H)");
  EXPECT_TRUE(Forms::find("Form5"));
  EXPECT_FALSE(f().isEnabled());
  // Corrected, it goes through.
  run("set Form5.Text9 12\nclick Form5.Command1\nexpect Form5 unloaded\n");
  EXPECT_EQ(f().model.spring_val(1, 1, 1), 5);
  EXPECT_EQ(f().model.bc_val(1, 1, 2, 3), 12);
}

TEST_F(BcStage, CloseButtonDiscardsTheEdit) {
  go_to_analysis();
  // An empty point: closed, it keeps nothing and no marker.
  open(node1, "set Form5.Check1 1\n");
  dialog().close();
  run("expect Form5 unloaded\n");
  EXPECT_TRUE(f().isEnabled());
  EXPECT_EQ(f().model.bc_flag(1, 1), 0);
  EXPECT_EQ(f().model.bc_val(1, 1, 1, 1), 0);
  EXPECT_EQ(marked(), 0);
  // A point with data keeps what it had.
  open(node3, "set Form5.Text9 -10\nclick Form5.Command1\n");
  open(node3, "set Form5.Text9 99\nset Form5.Check1 1\n");
  dialog().close();
  EXPECT_EQ(f().model.bc_flag(1, 3), 1);
  EXPECT_EQ(f().model.bc_val(1, 3, 2, 3), -10);
  EXPECT_EQ(f().model.bc_val(1, 3, 1, 1), 0);
  EXPECT_FALSE(Forms::ended());
}

TEST_F(BcStage, DeleteClearsTheCurrentCaseOnly) {
  go_to_analysis();
  for (const char* c : {"1", "2"}) {
    run(std::string("set Form2.Text24 ") + c + "\n");
    open(node3, "set Form5.Text7 3\nclick Form5.Command1\n");
  }
  run(std::string("click Form2.Option5\nmouse Form2 down ") + node3 + "\n");
  EXPECT_TRUE(f().conditions.view_angle->isChecked());
  EXPECT_FALSE(Forms::find("Form5"));
  EXPECT_EQ(f().model.bc_flag(2, 3), 0);
  EXPECT_EQ(f().model.bc_val(1, 3, 2, 1), 3);
  // Typing a case number ends deleting; a text that is no number keeps the case.
  run("click Form2.Option5\nset Form2.Text24 x\n");
  EXPECT_EQ(f().model.case_no, 2);
  EXPECT_TRUE(f().conditions.view_angle->isChecked());
  run("set Form2.Text24 \n");
  EXPECT_EQ(f().model.case_no, 2);
  EXPECT_TRUE(errors().empty());
}

TEST_F(BcStage, CancelClearsEveryCaseAndReturnsToDesign) {
  go_to_analysis();
  open(node1, "click Form5.Command2\nclick Form5.Command1\nset Form2.Text24 2\n");
  open(node3, "set Form5.Text7 1\nclick Form5.Command1\nclick Form2.Check3\nclick Form2.Command14\n");
  EXPECT_FALSE(f().design.frame->isHidden());
  EXPECT_TRUE(f().conditions.frame->isHidden());
  EXPECT_TRUE(f().settings.frame->isHidden());
  EXPECT_FALSE(f().conditions.show_settings->isChecked());
  EXPECT_EQ(f().conditions.case_number->text(), "1");
  // Back in the stage no case shows a marker.
  run("click Form2.Command12\n");
  for (const char* c : {"1", "2", "3"}) {
    run(std::string("set Form2.Text24 ") + c + "\n");
    EXPECT_EQ(marked(), 0) << c;
  }
}

TEST_F(BcStage, ChoosingToPickDisarmsTheBoxZoom) {
  go_to_analysis();
  run("click Form2.Check2\nexpect Form2.Check2 checked 1\nclick Form2.Option3\nexpect Form2.Check2 checked 0\n"
      "click Form2.Option6\nclick Form2.Check2\nclick Form2.Option5\nexpect Form2.Check2 checked 0\n");
}

// The dialog and the status line name nodes with their coordinates; the dialog opens beside its node.
TEST_F(BcStage, NodesAreNamedWithTheirCoordinates) {
  go_to_analysis();
  run("expect Form2.Label60 text Meshed: 8 nodes, 28 elements. Choose \"Create/Modify\" and press on a node.\n");
  open(node1);
  const std::string node = "node 1 (L 50, W 50, H -50)";  // a lower corner of the 100 mm box
  run("expect-state Form5 caption \"B.C & A.L - " + node + ", case 1\"\n");
  run("expect Form2.Label60 text Editing " + node + " in case 1\nexpect Form5.Label10 text " + node + ", case 1\n");
  const QPoint at = f().mapToGlobal(QPoint(4304 / 15, 6696 / 15));
  EXPECT_FALSE(dialog().frameGeometry().adjusted(-10, -10, 10, 10).contains(at));
  run("click Form5.Command1\n");

  // Over a node, then away from every node: the last action's text comes back.
  f().Form_MouseMove(0, 0, 4304 + 40, 6696 - 40);
  run("expect Form2.Label60 text Under the pointer: " + node + "\n");
  f().Form_MouseMove(0, 0, 5400, 4500);
  run("expect Form2.Label60 text Set " + node + " in case 1\n");
  run("click Form2.Option5\nmouse Form2 down " + std::string(node1) + "\n");
  run("expect Form2.Label60 text Cleared " + node + " in case 1\n");
  run("click Form2.Command14\n"
      "expect Form2.Label60 text Back to the design stage: supports, springs and loads cleared in every case\n");
}

// A node of a 3000 x 2000 x 1000 box is named as the model file will hold it, in the dialog's
// title and on the status line alike.
TEST_F(BcStage, NodesAreNamedAsTheModelFileHoldsThem) {
  run("click frmSplash.Command1\nclick Form2.Command1\nset Form2.Text7 3000\nset Form2.Text8 2000\n"
      "set Form2.Text9 1000\nset Form2.Text10 1500\nset Form2.Text11 1000\nset Form2.Text12 500\n"
      "set Form2.Text13 3\nset Form2.Text14 2\nset Form2.Text15 2\nclick Form2.Command2\nclick Form2.Command12\n"
      "set Form2.Text3 30\nset Form2.Text1 20\n");
  ASSERT_EQ(f().model.n_node, 36);
  const std::string node = "node 22 (L 2000, W 1000, H 1000)";
  const ScreenPoint at = to_screen(f().view_win, f().model.node_uv(22, 1), f().model.node_uv(22, 2));
  f().Form_MouseMove(0, 0, static_cast<float>(at.x), static_cast<float>(at.y));
  run("expect Form2.Label60 contains Under the pointer: " + node + "\n");
  open((std::to_string(int(at.x)) + " " + std::to_string(int(at.y))).c_str());
  run("expect-state Form5 caption \"B.C & A.L - " + node + ", case 1\"\n");
}

// "Copy Case" takes case 1's supports into case 3. ("All Load Cases": supports_in_few_clicks.)
TEST_F(BcStage, SupportsCopiedToAnotherCase) {
  go_to_analysis();
  open(node1, "click Form5.Command2\nclick Form5.Command1\n");
  run("set Form2.Text40 3\nclick Form2.Command40\n");
  EXPECT_EQ(f().model.bc_val(3, 1, 1, 3), 1);
  EXPECT_EQ(f().model.bc_flag(3, 1), 1);
  run("set Form2.Text40 9\nclick Form2.Command40\nexpect-error load case 9 of 1 to 5\n");
}

// Shift-click and Shift-drag gather nodes for one dialog, empty where they differ; "OK" sets only
// the fields set. Esc clears a selection.
TEST_F(BcStage, ShiftSelectsManyNodesForOneDialog) {
  constexpr int magenta = 5;
  go_to_analysis();
  open("6500 6696", "set Form5.Text9 -100\nclick Form5.Command1\n");  // node 2: 100 N down
  run("click Form2.Option3\nmouse Form2 down 4304 6696 left shift\nmouse Form2 up 4304 6696 left shift\n");
  EXPECT_EQ(f().selection(), std::vector<int16_t>{1});
  EXPECT_TRUE(f().conditions.create_modify->isChecked());
  EXPECT_EQ(Forms::find("Form5"), nullptr);
  // A band around the lower corners adds the three others, and none of the upper ones.
  run("mouse Form2 down 200 6400 left shift\nmouse Form2 move 6800 6900 left shift\nmouse Form2 up 6800 6900 left shift\n"
      "expect Form2.Command43 shown 1\n");
  EXPECT_EQ(f().selection(), (std::vector<int16_t>{1, 2, 5, 6}));
  EXPECT_EQ(count_of(f().canvas().primitives(), Op::circle, magenta), 4);
  run("click Form2.Command43\nexpect Form5.Text9 text \nexpect Form5.Text8 text 0\n");
  EXPECT_EQ(dialog().fixed_box(2)->checkState(), Qt::Unchecked);
  run("click Form5.Check2\nclick Form5.Command1\n");
  for (int node : {1, 2, 5, 6}) {
    EXPECT_EQ(f().model.bc_val(1, node, 1, 2), 1) << node;
    EXPECT_EQ(f().model.bc_flag(1, node), 1) << node;
  }
  EXPECT_EQ(f().model.bc_val(1, 2, 2, 3), -100);
  EXPECT_TRUE(f().selection().empty());
  // Where the nodes differ in a support, the box is partly ticked and leaves each its own.
  run("click Form2.Option3\nmouse Form2 down 6500 6696 left shift\nmouse Form2 up 6500 6696 left shift\n"
      "mouse Form2 down 4304 2304 left shift\nmouse Form2 up 4304 2304 left shift\nclick Form2.Command43\n");
  EXPECT_EQ(dialog().fixed_box(2)->checkState(), Qt::PartiallyChecked);
  run("set Form5.Text7 5\nclick Form5.Command1\n");
  EXPECT_EQ(f().model.bc_val(1, 2, 1, 2), 1);
  EXPECT_EQ(f().model.bc_val(1, 3, 1, 2), 0);
  EXPECT_EQ(f().model.bc_val(1, 3, 2, 1), 5);
  // Esc clears; a plain press picks one node as before.
  run("click Form2.Option3\nmouse Form2 down 4304 6696 left shift\nmouse Form2 up 4304 6696 left shift\nkey Form2 escape\n"
      "expect Form2.Command43 shown 0\n");
  EXPECT_TRUE(f().selection().empty());
  open(node3, "expect-state Form5 nodes [3]\n");
  EXPECT_EQ(f().model.bc_node, 3);
}
