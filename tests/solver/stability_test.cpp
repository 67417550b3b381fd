// The critical load factor of single columns against Euler's loads pi^2 E I / (beta L)^2 and the
// torsional buckling load G J A / Ip; a cantilever's second-order moments against the closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "solver/second_order.h"
#include "solver/stability.h"
#include "support/model_builder.h"

namespace {

using test_support::E;
using test_support::G;
using test_support::Model;
using std::numbers::pi;

constexpr double height = 3000, P = 1000;  // mm, N of compression

enum class Ends { pinned, cantilever, fixed_pinned, fixed_sprung };  // sprung: stiff springs across at the top

// A column along H from node 1 at the base to node 2 at the top, one element of section s
// carrying P of compression. Torsion is held at the base, and at a pinned top too.
struct Column {
  Model m;
  Section s;
  Column(Ends ends, const Section& section) : s(section) {
    m.node(0, 0, 0);
    m.node(0, 0, height);
    m.element(1, 2, m.non_design(s.A, s.Iw, s.Ih, s.J));
    ModelFileCase& c = m.add_case();
    auto fix = [&c](int node, std::initializer_list<size_t> dofs) {
      for (size_t d : dofs) c.fixed[static_cast<size_t>(node - 1)][d] = true;
    };
    fix(1, {0, 1, 2, 5});
    if (ends != Ends::pinned) fix(1, {3, 4});
    if (ends == Ends::pinned || ends == Ends::fixed_pinned) fix(2, {0, 1, 5});
    if (ends == Ends::fixed_sprung) {
      fix(2, {5});
      for (int dof : {1, 2}) Model::spring(c, 2, dof, 1e9);
    }
  }
  FrameBuckling buckling(double axial = -P, char geometric = 1) const {
    MemberForces f;
    f.end1[0] = f.end2[0] = axial;
    f.length = height;
    return frame_buckling(m.f, {s}, 0, {f}, {geometric});
  }
};

TEST(FrameBuckling, SingleColumnsBuckleAtEulersLoad) {
  // Iw and Ih trade places so that both bending planes are the weaker in some column.
  const struct {
    Ends ends;
    double beta, Iw, Ih;
    int mode_node;
  } columns[] = {{Ends::pinned, 1, 2e6, 1e6, -1},
                 {Ends::cantilever, 2, 1e6, 2e6, 1},
                 {Ends::fixed_pinned, pi / 4.493409457909064, 2e6, 1e6, -1},
                 {Ends::fixed_sprung, pi / 4.493409457909064, 1e6, 2e6, -1}};
  for (const auto& c : columns) {
    const Column column(c.ends, {1000, c.Iw, c.Ih, 3e6});
    const FrameBuckling b = column.buckling();
    const double euler = pi * pi * E * 1e6 / std::pow(c.beta * height, 2);
    EXPECT_TRUE(b.compressed);
    EXPECT_NEAR(b.alpha * P / euler, 1, 3e-3) << c.beta;
    if (c.mode_node >= 0) {
      EXPECT_EQ(b.mode_node, c.mode_node);
    }
  }
  // Twisting: a section of next to no torsion constant buckles at G J A / (Iw + Ih).
  const Column twisting(Ends::pinned, {1000, 2e6, 1e6, 1});
  EXPECT_NEAR(twisting.buckling().alpha * P, G * 1 * 1000 / 3e6, 1e-6);
}

TEST(FrameBuckling, WithoutCompressionNothingBuckles) {
  const Column column(Ends::cantilever, {1000, 1e6, 1e6, 2e6});
  EXPECT_FALSE(column.buckling(P).compressed);
  EXPECT_FALSE(column.buckling(-P, 0).compressed);  // a member hidden as thin takes no axial force
  EXPECT_EQ(column.buckling(P).alpha, 0);
}

// A member hidden as thin keeps its stiffness: two of them brace a pinned column at mid-height,
// which then buckles as two columns of half its length.
TEST(FrameBuckling, MembersHiddenAsThinStillBrace) {
  Model m;
  const Section s{1000, 1e6, 1e6, 2e6};
  const int set = m.non_design(s.A, s.Iw, s.Ih, s.J);
  const int base = m.node(0, 0, 0), middle = m.node(0, 0, height / 2), top = m.node(0, 0, height);
  const int along_l = m.node(1000, 0, height / 2), along_w = m.node(0, 1000, height / 2);
  m.element(base, middle, set);
  m.element(middle, top, set);
  m.element(middle, along_l, set, {0, 1, 0});
  m.element(middle, along_w, set, {1, 0, 0});
  ModelFileCase& c = m.add_case();
  for (size_t d : {0, 1, 2, 5}) c.fixed[static_cast<size_t>(base - 1)][d] = true;
  for (size_t d : {0, 1, 5}) c.fixed[static_cast<size_t>(top - 1)][d] = true;
  Model::clamp(c, along_l);
  Model::clamp(c, along_w);
  MemberForces column, brace;
  column.end1[0] = column.end2[0] = -P;
  column.length = height / 2;
  brace.length = 1000;
  const Section bar{1000, 1, 1, 2};  // stiff along, next to nothing in bending: a lateral hold only
  const FrameBuckling b = frame_buckling(m.f, {s, s, bar, bar}, 0, {column, column, brace, brace}, {1, 1, 0, 0});
  EXPECT_NEAR(b.alpha * P / (pi * pi * E * 1e6 / std::pow(height / 2, 2)), 1, 3e-3);
}

// A cantilever under P down and H across its top bends to second order: its base moment is
// H tan(kL) / k, k = sqrt(P / EI), and the top's P rides on its sway.
TEST(SecondOrder, CantileverBaseMomentFollowsTheClosedForm) {
  const double I = 1e6, H = 500;
  const Column column(Ends::cantilever, {1000, I, I, 2e6});
  for (const double load : {10e3, 30e3, 50e3}) {  // Euler's load of the cantilever: 54.8 kN
    MemberForces first;
    first.end1[0] = first.end2[0] = -load;
    first.length = height;
    std::vector<std::array<double, 6>> nodal(2, std::array<double, 6>{});
    nodal[1][0] = H;
    nodal[1][2] = -load;
    const SecondOrderForces got = second_order_forces(column.m.f, {column.s}, 0, {nodal}, {}, {first}, {1})[0];
    const double k = std::sqrt(load / (E * I));
    const MemberForces& m = got.members[0];
    EXPECT_NEAR(std::hypot(m.end1[4], m.end1[5]) / (H * std::tan(k * height) / k), 1, 1e-3) << load;
    EXPECT_NEAR(std::hypot(m.end2[4], m.end2[5]), 0, 1e-6 * H * height);
    EXPECT_NEAR(m.end1[0], -load, 1e-6 * load);
    // In tension the column stiffens: less than H L.
    first.end1[0] = first.end2[0] = load;
    nodal[1][2] = load;
    const SecondOrderForces pulled = second_order_forces(column.m.f, {column.s}, 0, {nodal}, {}, {first}, {1})[0];
    EXPECT_NEAR(std::hypot(pulled.members[0].end1[4], pulled.members[0].end1[5]) / (H * std::tanh(k * height) / k), 1, 2e-2);
  }
  // Beyond Euler's load the stiffness is no longer positive.
  MemberForces over;
  over.end1[0] = over.end2[0] = -60e3;
  over.length = height;
  std::vector<std::array<double, 6>> nodal(2, std::array<double, 6>{});
  nodal[1][2] = -60e3;
  try {
    second_order_forces(column.m.f, {column.s}, 0, {nodal}, {}, {over}, {1});
    ADD_FAILURE() << "no error";
  } catch (const SolverError& e) {
    EXPECT_STREQ(e.what(), "load case 1: the frame buckles under these loads (second order)");
  }
}

}  // namespace
