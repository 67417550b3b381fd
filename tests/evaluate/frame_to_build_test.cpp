// From optimised design to frame to build: the clean-up's removals and what it says when the
// frame left cannot stand, and standard sizes that never give less area than optimised, pass
// the checks and settle; the list of sections read and refused by line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "evaluate/built_frame.h"
#include "evaluate/clean_up.h"
#include "evaluate/standard_sizes.h"
#include "solver/optimiser.h"
#include "support/model_builder.h"
#include "support/test_support.h"

namespace {

using test_support::E;
using test_support::Model;
constexpr double pi = 3.14159265358979323846;

// A cantilever 1 -> 6 -> 2 (two members in line, node 6 unloaded) clamped at 1 and loaded at 2;
// a thick member 2 -> 3 hanging from node 3, which nothing holds; a thick triangle 4, 5, 7 that
// only the thin member 1 -> 4 ties to the support.
struct Cluttered {
  Model m;
  std::vector<double> d;
  Cluttered() {
    const int set = m.design();
    const int n1 = m.node(0, 0, 0), n2 = m.node(100, 0, 0), n3 = m.node(200, 0, 0), n4 = m.node(0, 100, 0);
    const int n5 = m.node(100, 100, 0), n6 = m.node(50, 0, 0), n7 = m.node(50, 150, 0);
    for (auto [a, b, dia] : {std::tuple{n1, n6, 10.0}, {n6, n2, 10.0}, {n2, n3, 8.0}, {n1, n4, 0.5}, {n4, n5, 9.0},
                             {n5, n7, 9.0}, {n7, n4, 9.0}}) {
      m.element(a, b, set);
      d.push_back(dia);
    }
    ModelFileCase& c = m.add_case();
    Model::clamp(c, n1);
    Model::load(c, n2, 3, -100);
  }
};

// The members of at least `d` mm, as the picture draws them at a threshold of d / Dmax.
std::vector<char> at_least(const ShownFrame& f, double d) {
  std::vector<char> drawn;
  for (const MemberSection& s : f.sections) drawn.push_back(s.shape != MemberSection::Shape::circle || s.outer >= d);
  return drawn;
}

TEST(CleanUp, RemovesThinThenHangingThenLooseMembersAndReanalyses) {
  Cluttered x;
  const ShownFrame full = frame_of(x.m.f, x.d);
  const CleanFrame c = clean_up(full, at_least(full, 1.0));
  EXPECT_EQ(c.removed_thin, 1);
  EXPECT_EQ(c.removed_hanging, 1);
  EXPECT_EQ(c.removed_loose, 3);
  EXPECT_EQ(c.frame.element, (std::vector<int>{1, 2}));
  EXPECT_EQ(c.nodes, 3);
  EXPECT_EQ(c.collinear_nodes, 1);
  ASSERT_TRUE(c.forces) << c.problem;
  // What is left is the cantilever: f^T u = P^2 L^3 / (3 E I).
  const double I = pi * std::pow(10.0, 4) / 64;
  EXPECT_NEAR(c.forces->total_compliance(), 100.0 * 100 * 1e6 / (3 * E * I), 1e-9);
  EXPECT_NEAR(frame_volume(c.frame), 100 * pi * 25, 1e-9);
  EXPECT_NEAR(frame_mass(c.frame, 7850), 0.061654, 1e-6);  // 7854 mm3 of steel
}

// Two members in line along a slope through an unloaded node: the node is in line whatever the
// direction (L, W and H all count), and one moved 1 mm off the line is not.
TEST(CleanUp, NodesInLineAreFoundAlongAnySlope) {
  for (const double kink : {0.0, 1.0}) {
    Model m;
    const int set = m.design();
    const int a = m.node(0, 0, 0), mid = m.node(50, 30, 40 + kink), b = m.node(100, 60, 80);
    m.element(a, mid, set);
    m.element(mid, b, set);
    ModelFileCase& c = m.add_case();
    Model::clamp(c, a);
    Model::clamp(c, b);
    const ShownFrame full = frame_of(m.f, {10.0, 10.0});
    EXPECT_EQ(clean_up(full, {1, 1}).collinear_nodes, kink == 0 ? 1 : 0) << kink;
  }
}

// A load holds a node against hanging, but no piece against the ground: the triangle that only
// the thin member tied to the support goes even with a load on it.
TEST(CleanUp, ALoadDoesNotHoldALoosePiece) {
  Cluttered x;
  Model::load(x.m.f.cases[0], 5, 1, 50);
  const ShownFrame full = frame_of(x.m.f, x.d);
  const CleanFrame c = clean_up(full, at_least(full, 1.0));
  EXPECT_EQ(c.removed_loose, 3);
  EXPECT_EQ(c.frame.element, (std::vector<int>{1, 2}));
}

// Pinned where it was clamped, the cantilever turns about its support: the status names the
// node, the case and the direction it is free in. Raised so far that the loaded members go, the load is left
// on a removed member. Neither is an error.
TEST(CleanUp, AFrameThatCannotStandSaysWhereAndWhy) {
  Cluttered x;
  for (size_t k = 3; k < 6; ++k) x.m.f.cases[0].fixed[0][k] = false;
  const ShownFrame pinned_frame = frame_of(x.m.f, x.d);
  const CleanFrame pinned = clean_up(pinned_frame, at_least(pinned_frame, 1.0));
  EXPECT_FALSE(pinned.forces);
  // It turns about node 1: node 2, furthest from it, moves most, across the bar.
  EXPECT_EQ(pinned.problem.rfind("load case 1: the clean frame is a mechanism, node 2 at (100, 0, 0) is free along ", 0), 0u)
      << pinned.problem;
  EXPECT_EQ(pinned.problem.find("along L"), std::string::npos);
  EXPECT_NE(pinned.problem.find("a lower threshold keeps more members"), std::string::npos);

  Cluttered y;
  const ShownFrame bare_frame = frame_of(y.m.f, y.d);
  const CleanFrame bare = clean_up(bare_frame, at_least(bare_frame, 12.0));
  EXPECT_FALSE(bare.forces);
  EXPECT_EQ(bare.problem, "load case 1: the load along H at node 2 at (100, 0, 0) is left on a removed member; a lower "
                          "threshold keeps more members.");
}

// The two struts of 30 degrees, 1000 mm, under 1000 N: d = 10 has the area of a 10 mm rod, but a
// rod needs i = d / 4 >= 1000 / 200 to keep within the slenderness limit, so d >= 20 (314 mm2);
// the lighter CHS 21.3 x 2.3 (137.3 mm2, i = 6.77, lambda_bar = 1.613, curve a: chi = 0.3285,
// N_b,Rd = 10.6 kN) passes; then nothing changes.
TEST(StandardSizes, TheLightestSectionWithTheAreaThatPassesTheChecks) {
  const Model m = test_support::two_struts(1000);
  ShownFrame f = frame_of(m.f, {10, 10});
  FrameForces forces = analyse_frame(f);
  const Sizing s = size_members(f, forces, default_sections(), {235, 1.0});
  EXPECT_TRUE(s.settled);
  EXPECT_EQ(s.rounds, 1);
  EXPECT_EQ(f.sections[0].name, "CHS 21.3x2.3");
  EXPECT_EQ(f.sections[1].name, "CHS 21.3x2.3");
  EXPECT_NEAR(forces.cases[0].members[0].axial(), -1000, 1);  // the sized frame's own forces
  EXPECT_NEAR(forces.cases[0].members[0].axial(), forces.cases[0].members[1].axial(), 1e-6);
  // Half the buckling length and no slenderness limit: a 10 mm rod is enough (lambda_bar 2.182,
  // curve c: chi = 0.1686, N_b,Rd = 3.11 kN), and its area is the circle's exactly.
  ShownFrame loose = frame_of(m.f, {10, 10});
  FrameForces loose_forces = analyse_frame(loose);
  size_members(loose, loose_forces, default_sections(), {235, 0.5, "S235", false, 1.0, 1.0, 0});
  EXPECT_EQ(loose.sections[0].name, "RD 10");
}

// Sized under combinations: the serviceability state, ten times the load, does not size the
// members; the strength state with the self-weight does, and the sized frame carries the weight
// of the tubes chosen. Its line says when the deflection passes the limit.
TEST(StandardSizes, SizedForStrengthStatesWithTheirOwnWeight) {
  const Model m = test_support::two_struts(1000);
  const Loading loading{true, "-H", 7850,
                        {{"S", LimitState::sls, 1, {10}}, {"U", LimitState::uls, 1.35, {1}}}};
  AnalysedFrame design{frame_of(m.f, {10, 10}), {}};
  design.forces = analyse_frame(design.frame, loading);
  const std::vector<StandardSection> sizes = default_sections();
  const BuiltFrame b = build_frame(design, {1, 1}, &sizes, {235, 1.0}, loading);
  ASSERT_TRUE(b.sizing && b.clean.forces);
  EXPECT_EQ(b.clean.frame.sections[0].name, "CHS 21.3x2.3");
  const double tube = b.clean.frame.sections[0].values.A;
  EXPECT_NEAR(b.clean.forces->weight, 2 * tube * 1000 * 7850e-9 * gravity, 1e-9);
  const FrameSummary s = summarise(*b.clean.forces, check_frame(b.clean.frame, *b.clean.forces, {235, 1.0}), {1, 1}, 0.01);
  EXPECT_EQ(s.worst_in, "combination U");
  EXPECT_EQ(s.moved_in, "combination S");
  EXPECT_EQ(s.counted, 2);
  EXPECT_EQ(s.above_one, 0);
  EXPECT_EQ(summarise(*b.clean.forces, check_frame(b.clean.frame, *b.clean.forces, {5, 1.0}), {1, 0}).above_one, 1);
  // The tubes' area over the rods': (21.3^2 - 16.7^2) / 10^2.
  const std::string line = built_status(b, 7850, "");
  EXPECT_NE(line.find(", volume 1.75 and compliance "), std::string::npos) << line;
  EXPECT_EQ(line.find("largest section"), std::string::npos) << line;
  const std::string passed = "the sections are chosen for strength, and the frame deflects past the limit";
  EXPECT_NE(built_status(b, 7850, "", 0.01).find(passed), std::string::npos);
  EXPECT_EQ(built_status(b, 7850, "", 1000).find(passed), std::string::npos);
}

// A real optimisation of a lattice on springs, three cases: every design member keeps at least
// its optimised area, the sizing settles, and no member that could pass fails the checks.
TEST(StandardSizes, AnOptimisedLatticeSettlesWithNoLessArea) {
  ModelFile model = bench::lattice(4, 3, 300, 3, true);
  model.settings.max_diameter = 20;
  Optimiser optimiser(model);
  const std::vector<CycleRecord> cycles = optimiser.run();
  const ShownFrame design = frame_of(model, cycles.back().diameters);
  CleanFrame c = clean_up(design, at_least(design, 2.0));  // threshold 0.1
  ASSERT_TRUE(c.forces) << c.problem;
  // The beams at the lower bound carried next to nothing: the clean frame is as stiff to a few
  // per cent, with a fraction of the members.
  const double stiff = c.forces->total_compliance() / analyse_frame(design).total_compliance();
  std::printf("clean frame: %zu of %zu members, compliance %.4f of the optimised design's, volume %.4f\n",
              c.frame.element.size(), design.element.size(), stiff, frame_volume(c.frame) / frame_volume(design));
  EXPECT_LT(stiff, 1.05);
  EXPECT_GE(stiff, 1.0);
  EXPECT_LT(c.frame.element.size(), design.element.size() / 2);
  ShownFrame sized = c.frame;
  const Sizing s = size_members(sized, *c.forces, default_sections(), {235, 1.0});
  EXPECT_TRUE(s.settled);
  EXPECT_LE(s.rounds, max_sizing_rounds);
  EXPECT_EQ(s.too_small, 0);
  for (size_t j = 0; j < sized.sections.size(); ++j) {
    EXPECT_GE(sized.sections[j].values.A, c.frame.sections[j].values.A * (1 - 1e-12)) << j;
    EXPECT_EQ(sized.sections[j].shape, MemberSection::Shape::tube);
  }
  const FrameChecks k = check_frame(sized, *c.forces, {235, 1.0});
  for (const MemberEnvelope& e : k.envelope) EXPECT_LE(e.utilisation, 1 + 1e-9) << governs_name(e.governs);
}

// The list: made with the defaults when absent, read back the same; a damaged line is refused by
// its number.
TEST(StandardSizes, TheListIsMadeReadAndRefusedByLine) {
  test_support::WorkingDirectory dir;
  const std::vector<StandardSection> list = read_section_list();
  ASSERT_TRUE(std::filesystem::exists(section_list_name));
  ASSERT_EQ(list.size(), default_sections().size());
  EXPECT_EQ(list[0].name, "RD 6");
  EXPECT_EQ(list.back().name, "CHS 406.4x10");
  EXPECT_DOUBLE_EQ(list.back().wall, 10);
  struct Case {
    const char* text;
    const char* error;
  };
  for (const Case& c : {Case{"name,outer,wall\r\nA,10,1\r\nB,12\r\n", "sections.csv, line 3"},
                        Case{"A,10,x\r\n", "sections.csv, line 1"}, Case{"A,10,6\r\n", "sections.csv, line 1"},
                        Case{"A,-10,0\r\n", "sections.csv, line 1"}, Case{"\r\n", "no section"}}) {
    test_support::write_file(section_list_name, c.text);
    EXPECT_NE(test_support::error_of([] { read_section_list(); }).find(c.error), std::string::npos) << c.text;
  }
  test_support::write_file(section_list_name, "Tube 60,60.3,3.2\r\n\r\nRod,20,0\r\n");
  EXPECT_EQ(read_section_list().size(), 2u);
  // As a spreadsheet saves it: a byte-order mark before the column names, CR LF line ends.
  test_support::write_file(section_list_name, "\xEF\xBB\xBFname,outer,wall\r\nTube 60,60.3,3.2\r\n");
  ASSERT_EQ(read_section_list().size(), 1u);
  EXPECT_EQ(read_section_list()[0].name, "Tube 60");
  test_support::write_file(section_list_name, "\xEF\xBB\xBFTube 60,60.3,3.2\r\n");
  EXPECT_EQ(read_section_list()[0].name, "Tube 60");
}

}  // namespace
