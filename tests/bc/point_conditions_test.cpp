// Boundary conditions kept by case and node, the dialog's values, the load case, nodes picked and named.
#include "support/test_support.h"
#include "bc/point_conditions.h"

#include <gtest/gtest.h>

#include "formats/errors.h"
#include "bc/node_pick.h"

using test_support::error_of;

namespace {
ModelStore loaded_store() {
  ModelStore m;
  m.form_load();
  return m;
}

const std::array<std::string, 7> zeros = {"", "0", "0", "0", "0", "0", "0"};
}  // namespace

TEST(PointConditions, StoreClearsTheMarkerOfAnEmptyPointOnly) {
  ModelStore m = loaded_store();
  m.bc_flag(1, 4) = 1;
  PointConditions p;
  store_point_conditions(m, 1, 4, p);
  EXPECT_EQ(m.bc_flag(1, 4), 0);  // "OK" with nothing: no marker left

  m.bc_flag(1, 4) = 1;
  p.spring[5] = 2.5f;
  p.fixed[1] = 1;
  p.load[3] = -1000;
  store_point_conditions(m, 1, 4, p);
  EXPECT_EQ(m.bc_flag(1, 4), 1);
  EXPECT_EQ(m.bc_val(1, 4, 1, 1), 1);
  EXPECT_EQ(m.bc_val(1, 4, 2, 3), -1000);
  EXPECT_EQ(m.spring_val(1, 4, 5), 2.5f);

  // Storing never gives a marker; the opening does.
  store_point_conditions(m, 2, 4, p);
  EXPECT_EQ(m.bc_flag(2, 4), 0);

  const PointConditions back = point_conditions(m, 1, 4);
  EXPECT_EQ(back.fixed, p.fixed);
  EXPECT_EQ(back.spring, p.spring);
  EXPECT_EQ(back.load, p.load);
}

TEST(PointConditions, ClearingOnePointLeavesOtherCasesAndNodes) {
  ModelStore m = loaded_store();
  for (int c = 1; c <= 2; ++c)
    for (int n = 3; n <= 4; ++n) {
      m.bc_flag(c, n) = 1;
      m.bc_val(c, n, 1, 6) = 1;
      m.bc_val(c, n, 2, 1) = 7;
      m.spring_val(c, n, 2) = 3;
    }
  clear_point_conditions(m, 1, 3);
  EXPECT_TRUE(carries_nothing(m, 1, 3));
  EXPECT_EQ(m.bc_flag(1, 3), 1);  // the marker is the caller's
  EXPECT_FALSE(carries_nothing(m, 2, 3));
  EXPECT_FALSE(carries_nothing(m, 1, 4));

  m.case_no = 2;
  clear_all_conditions(m);
  EXPECT_EQ(m.case_no, 1);
  for (int c = 1; c <= max_cases; ++c)
    for (int n = 3; n <= 4; ++n) {
      EXPECT_EQ(m.bc_flag(c, n), 0);
      EXPECT_TRUE(carries_nothing(m, c, n));
    }
}

TEST(PointConditions, DialogValuesAreReadWholeOrNotAtAll) {
  std::array<int, 7> checks{0, 1, 0, 0, 0, 0, 1};
  std::array<std::string, 7> springs = zeros, loads = zeros;
  springs[2] = " 12.5 ";
  loads[4] = "-3e2";
  const PointConditions p = read_point_conditions(checks, springs, loads);
  EXPECT_EQ(p.fixed[1], 1);
  EXPECT_EQ(p.fixed[6], 1);
  EXPECT_EQ(p.spring[2], 12.5f);
  EXPECT_EQ(p.load[4], -300);

  // The error names the field.
  springs[2] = "abc";
  EXPECT_EQ(error_of([&] { read_point_conditions(checks, springs, loads); }), "Type mismatch (Spring Stiff. W)");
  springs[2] = "1";
  loads[6] = "";
  EXPECT_EQ(error_of([&] { read_point_conditions(checks, springs, loads); }), "Type mismatch (Load M_H)");
  loads[6] = "1e39";  // a number, but not a Single
  EXPECT_EQ(error_of([&] { read_point_conditions(checks, springs, loads); }), "Overflow (Load M_H)");
}

TEST(LoadCase, TypedNumberWithinOneToMxCase) {
  struct Case {
    const char* text;
    int case_no;
    bool limited;
  } cases[] = {{"3", 3, false}, {"7", 5, true},    {"5.4", 5, true}, {"1e9", 5, true},  {"2.5", 2, false},
               {"0.6", 1, false}, {"0.5", 1, true}, {"0", 1, true},   {"-2", 1, true},   {"-1e9", 1, true}};
  for (const Case& c : cases) {
    const CaseChoice choice = choose_case(c.text, 5);
    EXPECT_EQ(choice.case_no, c.case_no) << c.text;
    EXPECT_EQ(choice.limited, c.limited) << c.text;
  }
  EXPECT_THROW(choose_case("x", 5), RunTimeError);
  // With no case written after a re-analysis, case 1 still stands.
  EXPECT_EQ(choose_case("1", 0).case_no, 1);
  EXPECT_FALSE(choose_case("1", 0).limited);
}

TEST(NodePick, NearestNodeTiesToTheHigherNumber) {
  ModelStore m = loaded_store();
  EXPECT_EQ(pick_node(m, modelling_view, 3500, 4500), 0);  // nothing to pick

  // Nodes 1 and 3 share the centre of the view; node 2 lies 300 twips to the right.
  m.n_node = 3;
  m.node_uv(2, 1) = 0.1f;
  EXPECT_EQ(pick_node(m, modelling_view, 3500, 4500), 3);
  EXPECT_EQ(pick_node(m, modelling_view, 3660, 4400), 2);  // 160 from node 2, 189 from the others
  EXPECT_EQ(pick_node(m, modelling_view, 3640, 4500), 3);  // 160 against 140
  // Distances are measured to the drawn (whole-twip) positions: node 2 at 3799.97 is drawn at
  // 3800, so a click at 3650 is a tie that node 3 wins, though node 2 lies 0.03 nearer.
  m.node_uv(2, 1) = 0.09999f;
  EXPECT_EQ(pick_node(m, modelling_view, 3650, 4500), 3);
  // Positions follow the view window: zoomed in, node 2 is 330 twips from the centre.
  const ViewWindow zoomed{3535, 4545, 3300, 3300};
  EXPECT_EQ(pick_node(m, zoomed, 3535 + 330, 4545), 2);
}

namespace {
// Three nodes along L, 1000 mm apart.
ModelStore three_nodes() {
  ModelStore m = loaded_store();
  m.n_node = 3;
  for (int i = 1; i <= 3; ++i) m.node_xyz(i, 1) = 1000.0f * float(i - 1);
  return m;
}

PointConditions clamped_with_load(float load_h) {
  PointConditions p;
  for (int k = 1; k <= 3; ++k) p.fixed[k] = 1;
  p.spring[5] = 250;
  p.load[3] = load_h;  // on a fixed dof: none in the end
  p.load[4] = 7;
  return p;
}
}  // namespace

// Supports and springs go into every case in use and become the node's common conditions, the
// load only into the case shown; a case the node then carries something in is marked.
TEST(PointConditions, AllLoadCasesTakeTheSupportsAndSpringsNotTheLoads) {
  ModelStore m = three_nodes();
  m.bc_val(3, 2, 2, 1) = 40;  // case 3 is in use, at another node
  m.bc_flag(3, 2) = 1;
  m.bc_val(1, 1, 2, 6) = 5;  // a load of node 1 in case 1 on a free dof stays,
  m.bc_val(1, 1, 2, 2) = 8;  // one on a dof now fixed goes
  store_point_conditions_in_every_case(m, 2, 1, clamped_with_load(-9));
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(m.bc_flag(c, 1), 1) << c;
    EXPECT_EQ(m.bc_val(c, 1, 1, 2), 1) << c;
    EXPECT_EQ(m.bc_val(c, 1, 1, 4), 0) << c;
    EXPECT_EQ(m.spring_val(c, 1, 5), 250) << c;
    EXPECT_EQ(m.bc_val(c, 1, 2, 3), 0) << c;
    EXPECT_EQ(m.bc_val(c, 1, 2, 4), c == 2 ? 7 : 0) << c;
  }
  EXPECT_EQ(m.bc_val(1, 1, 2, 6), 5);
  EXPECT_EQ(m.bc_val(1, 1, 2, 2), 0);
  EXPECT_TRUE(case_holds_nothing(m, 4));  // not in use: it holds them once it is used
  EXPECT_EQ(m.common_fixed(1, 3), 1);
  EXPECT_EQ(m.common_spring(1, 5), 250);
  EXPECT_EQ(m.common_fixed(2, 1), 0);
}

// A case first given anything after "All Load Cases" starts from the common conditions; the
// dialog shows them before; a case already in use is not started again.
TEST(PointConditions, CasesUsedLaterStartFromTheCommonConditions) {
  ModelStore m = three_nodes();
  store_point_conditions_in_every_case(m, 1, 1, clamped_with_load(0));
  EXPECT_EQ(conditions_to_edit(m, 4, 1).fixed, clamped_with_load(0).fixed);
  EXPECT_EQ(conditions_to_edit(m, 4, 1).load[4], 0);  // loads are no common condition
  PointConditions load;
  load.load[2] = 300;
  give_point_conditions(m, 4, 3, load);
  EXPECT_EQ(m.bc_val(4, 1, 1, 1), 1);
  EXPECT_EQ(m.spring_val(4, 1, 5), 250);
  EXPECT_EQ(m.bc_flag(4, 1), 1);
  EXPECT_EQ(m.bc_val(4, 3, 2, 2), 300);
  EXPECT_EQ(m.bc_flag(4, 3), 1);
  EXPECT_EQ(m.bc_val(4, 1, 2, 4), 0);
  // Cleared in case 4, node 1 stays free there: case 4 is in use.
  clear_point_conditions(m, 4, 1);
  give_point_conditions(m, 4, 2, load);
  EXPECT_EQ(m.bc_val(4, 1, 1, 1), 0);
  EXPECT_EQ(conditions_to_edit(m, 4, 1).fixed[1], 0);
  // Several nodes at once in a case not in use: a load set on all of them stays off the
  // supported node's fixed degrees of freedom, which it keeps.
  SharedConditions set;
  set.load[1] = 20;
  give_shared_conditions(m, 5, {1, 2}, set, false);
  EXPECT_EQ(m.bc_val(5, 1, 1, 1), 1);
  EXPECT_EQ(m.bc_val(5, 1, 2, 1), 0);
  EXPECT_EQ(m.bc_val(5, 2, 2, 1), 20);
  // Supports no longer common: set free with "All Load Cases", they leave every case in use.
  give_shared_conditions(m, 5, {1}, SharedConditions{{0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}, {}}, true);
  for (int c : {1, 4, 5}) EXPECT_EQ(m.bc_val(c, 1, 1, 2), 0) << c;
  EXPECT_EQ(m.common_fixed(1, 2), 0);
  EXPECT_EQ(m.common_spring(1, 5), 0);
}

// A model read back keeps as common what every case in use holds alike; one case tells nothing.
TEST(PointConditions, CommonConditionsOfCasesReadBack) {
  ModelStore m = three_nodes();
  for (int c : {1, 3}) store_point_conditions(m, c, 1, clamped_with_load(0));
  store_point_conditions(m, 1, 2, clamped_with_load(0));  // node 2 only in case 1
  m.bc_val(3, 3, 2, 1) = 10;
  common_conditions_from_cases(m);
  EXPECT_EQ(m.common_fixed(1, 1), 1);
  EXPECT_EQ(m.common_spring(1, 5), 250);
  EXPECT_EQ(m.common_fixed(2, 1), 0);
  for (int node = 1; node <= 3; ++node) clear_point_conditions(m, 3, node);
  common_conditions_from_cases(m);
  EXPECT_EQ(m.common_fixed(1, 1), 0);
}

// "Copy Case" replaces the target's supports and springs, keeps its loads on free dofs.
TEST(PointConditions, CopyCaseTakesSupportsAndSpringsOnly) {
  ModelStore m = three_nodes();
  store_point_conditions(m, 1, 1, clamped_with_load(0));
  m.bc_flag(1, 1) = 1;
  m.bc_val(2, 1, 2, 1) = -30;  // a load on a dof the copy fixes goes
  m.bc_val(2, 2, 2, 6) = 12;   // one on a free dof stays
  m.bc_val(2, 2, 1, 1) = 1;    // a support the source lacks goes
  copy_case_supports(m, 1, 2);
  EXPECT_EQ(m.bc_val(2, 1, 1, 1), 1);
  EXPECT_EQ(m.spring_val(2, 1, 5), 250);
  EXPECT_EQ(m.bc_val(2, 1, 2, 1), 0);
  EXPECT_EQ(m.bc_val(2, 1, 2, 4), 0);  // the source's load is not copied
  EXPECT_EQ(m.bc_flag(2, 1), 1);
  EXPECT_EQ(m.bc_val(2, 2, 1, 1), 0);
  EXPECT_EQ(m.bc_val(2, 2, 2, 6), 12);
  EXPECT_EQ(m.bc_flag(2, 2), 1);
  EXPECT_EQ(error_of([&] { copy_case_supports(m, 1, 6); }), "Subscript out of range (load case 6 of 1 to 5)");
  EXPECT_EQ(error_of([&] { copy_case_supports(m, 2, 1); }), "");  // case 1 is a target like any other
}

// Conditions kept by place come back on the nodes that still lie there, whatever their new
// numbers; a place without a node is counted once however many cases it held.
TEST(PointConditions, ConditionsComeBackWhereTheirNodesStillLie) {
  ModelStore m = three_nodes();
  store_point_conditions(m, 1, 1, clamped_with_load(0));
  store_point_conditions(m, 2, 1, clamped_with_load(0));
  m.bc_val(1, 2, 2, 3) = -100;
  m.common_fixed(2, 1) = 1;  // node 2's common support goes with it
  const std::vector<PlacedConditions> kept = conditions_by_place(m);
  ASSERT_EQ(kept.size(), 4u);
  clear_all_conditions(m);
  EXPECT_EQ(m.common_fixed(2, 1), 0);
  // The new mesh: node 1 now lies where node 2 was, (1000, 0, 0), a hair's breadth off; node 2
  // somewhere new.
  for (int a = 1; a <= 3; ++a) {
    m.node_xyz(1, a) = (a == 1 ? 1000 : 0) + 1e-5f;
    m.node_xyz(2, a) = 12345;
  }
  const RestoredConditions r = restore_conditions(m, kept);
  EXPECT_EQ(r.restored, 1);
  EXPECT_EQ(r.missing, 1);
  EXPECT_EQ(r.first_missing, (std::array<float, 3>{0, 0, 0}));  // where node 1 was
  EXPECT_EQ(m.bc_val(1, 1, 2, 3), -100);
  EXPECT_EQ(m.bc_flag(1, 1), 1);
  EXPECT_EQ(m.bc_val(1, 1, 1, 1), 0);
  EXPECT_EQ(m.common_fixed(1, 1), 1);
}

// A node meant at W 0 is named at W 0, whatever single precision left of it; a millionth of a
// 2000 mm model is 0.002 mm, and what lies above it stays.
TEST(NodePick, NodesAreNamedToAMillionthOfTheModel) {
  ModelStore m = three_nodes();
  m.node_xyz(2, 1) = 2000;
  m.node_xyz(3, 2) = 3.48091e-05f;
  m.node_xyz(3, 3) = -0.25f;
  EXPECT_EQ(node_text(m, 3), "node 3 (L 2000, W 0, H -0.25)");
  // A third of that below 0 is 0 too, not -0.
  m.node_xyz(3, 2) = -7e-4f;
  EXPECT_EQ(node_text(m, 3), "node 3 (L 2000, W 0, H -0.25)");
  // As the model file holds them: six significant digits, never a rounding to a millionth of a
  // 3000 mm model (0.003 mm) that makes 1000 read 999.999.
  m.node_xyz(2, 1) = 3000;
  m.node_xyz(3, 2) = 1000;
  m.node_xyz(3, 3) = 999.99994f;
  EXPECT_EQ(node_text(m, 3), "node 3 (L 2000, W 1000, H 1000)");
  m.node_xyz(3, 1) = 1234.5678f;
  EXPECT_EQ(node_text(m, 3), "node 3 (L 1234.57, W 1000, H 1000)");
  // The model's size is its largest span, wherever it lies: 4000 mm along H from 1000 to 5000,
  // set by the last node; 0.0035 mm is below a millionth of it.
  for (int i = 1; i <= 3; ++i) m.node_xyz(i, 3) = 1000 + 2000.0f * float(i - 1);
  EXPECT_EQ(model_size(m), 4000);
  m.node_xyz(1, 2) = 0.0035f;
  EXPECT_EQ(node_text(m, 1), "node 1 (L 0, W 0, H 1000)");
}
