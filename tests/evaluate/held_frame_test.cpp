// Clean frames that are mechanisms, held by removed members added back: a wall in one plane on
// pinned feet braced across it, lightest first and only by members that restrain its free motion
// (judged by the null space of the stiffness, assembled here apart from the engine); a frame that
// stands left as it is; a mechanism that no removed member holds, and one held only in part.
#include <gtest/gtest.h>

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <functional>

#include "evaluate/built_frame.h"
#include "evaluate/frame_judgement.h"
#include "evaluate/held_frame.h"
#include "formats/json.h"
#include "support/model_builder.h"

namespace {

using test_support::E;
using test_support::G;
using test_support::Model;

// A ground structure of two walls 1000 mm long and 500 mm high, 500 mm apart (W = 0 and W = 500),
// nodes every 500 mm (times `size`, the box centred on the origin when asked), every pair of nodes
// joined unless a third lies between them. The optimised layout is the wall at W = 0 above its
// feet (10 mm members; the rest thin, 0.3 to 0.9 mm), loaded at its top middle; the feet (H = 0)
// at L, W (in units of 500 mm before scaling) are pinned where `pinned` says.
using Feet = std::function<bool(int, int)>;
struct Walls {
  Model m;
  std::vector<double> d;
  std::vector<std::array<int, 3>> at;  // per node, L, W, H in units of 500 mm
  explicit Walls(const Feet& pinned, double across = 0, double size = 1, bool centred = false) {
    const int set = m.design();
    for (int w : {0, 1})
      for (int h : {0, 1})
        for (int l : {0, 1, 2}) {
          const double shift = centred ? 1 : 0;
          m.node(500 * size * (l - shift), 500 * size * (w - shift / 2), 500 * size * (h - shift / 2));
          at.push_back({l, w, h});
        }
    for (size_t a = 0; a < at.size(); ++a)
      for (size_t b = a + 1; b < at.size(); ++b) {
        bool clear = true;
        for (size_t c = 0; c < at.size(); ++c) clear = clear && !between(a, b, c);
        if (!clear) continue;
        const bool along_w = at[a][0] == at[b][0] && at[a][2] == at[b][2];  // its reference goes up instead
        m.element(static_cast<int>(a + 1), static_cast<int>(b + 1), set,
                  along_w ? std::array<double, 3>{0, 0, 1} : std::array<double, 3>{0, 1, 0});
        const bool wall = at[a][1] == 0 && at[b][1] == 0 && (at[a][2] > 0 || at[b][2] > 0);
        d.push_back(wall ? 10 : 0.3 + 0.1 * static_cast<double>(d.size() % 7));
      }
    add_case(pinned, across);
  }
  // Another load case, the same load on other supports.
  void add_case(const Feet& pinned, double across = 0) {
    ModelFileCase& c = m.add_case();
    for (size_t i = 0; i < at.size(); ++i)
      if (at[i][2] == 0 && pinned(at[i][0], at[i][1]))
        for (size_t dof = 0; dof < 3; ++dof) c.fixed[i][dof] = true;
    Model::load(c, 5, 3, -10000);  // node 5: the wall's top middle
    if (across != 0) Model::load(c, 5, 2, across);
  }
  ShownFrame frame() const { return frame_of(m.f, d); }

 private:
  // Node c lies between nodes a and b.
  bool between(size_t a, size_t b, size_t c) const {
    std::array<int, 3> u{}, v{};
    for (size_t k = 0; k < 3; ++k) {
      u[k] = at[c][k] - at[a][k];
      v[k] = at[b][k] - at[a][k];
    }
    const bool in_line = u[1] * v[2] == u[2] * v[1] && u[2] * v[0] == u[0] * v[2] && u[0] * v[1] == u[1] * v[0];
    const int dot = u[0] * v[0] + u[1] * v[1] + u[2] * v[2], vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    return in_line && dot > 0 && dot < vv;
  }
};

// The members of at least 1 mm, as the picture draws them at a threshold of 1 / Dmax.
std::vector<char> thick(const ShownFrame& f) {
  std::vector<char> drawn;
  for (const MemberSection& s : f.sections) drawn.push_back(s.outer >= 1.0);
  return drawn;
}

// The dimension of the null space of the stiffness of the members flagged, summed over the load
// cases: over the dofs of the nodes they touch that the case leaves free, every member of one
// section (the null space does not depend on it), rotations in units of the first member's length
// so that all terms are alike.
int free_motions_of(const ModelFile& m, const std::vector<char>& members, size_t c) {
  std::vector<int> row(6 * m.nodes.size(), -1);
  int n = 0;
  for (size_t j = 0; j < members.size(); ++j)
    if (members[j])
      for (int node : {m.elements[j].node1 - 1, m.elements[j].node2 - 1})
        for (size_t k = 0; k < 6; ++k)
          if (const size_t dof = 6 * static_cast<size_t>(node) + k; row[dof] < 0 && !m.cases[c].fixed[static_cast<size_t>(node)][k])
            row[dof] = n++;
  Eigen::MatrixXd K = Eigen::MatrixXd::Zero(n, n);
  const double unit = member_length(m, 0);
  const Section s{100, 1e5 * unit * unit / 250000, 1e5 * unit * unit / 250000, 2e5 * unit * unit / 250000};
  for (size_t j = 0; j < members.size(); ++j) {
    if (!members[j]) continue;
    Eigen::Matrix<double, 12, 12> T = Eigen::Matrix<double, 12, 12>::Zero(), scale = T;
    for (int b = 0; b < 4; ++b) T.block<3, 3>(3 * b, 3 * b) = element_axes(m, j);
    for (int a = 0; a < 12; ++a) scale(a, a) = a % 6 < 3 ? 1.0 : 1.0 / unit;
    const Eigen::Matrix<double, 12, 12> k = scale * T.transpose() * local_stiffness(E, G, s, member_length(m, j)) * T * scale;
    const int ends[2] = {m.elements[j].node1 - 1, m.elements[j].node2 - 1};
    for (int a = 0; a < 12; ++a)
      for (int b = 0; b < 12; ++b) {
        const int ra = row[static_cast<size_t>(6 * ends[a / 6] + a % 6)], rb = row[static_cast<size_t>(6 * ends[b / 6] + b % 6)];
        if (ra >= 0 && rb >= 0) K(ra, rb) += k(a, b);
      }
  }
  const Eigen::VectorXd values = Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd>(K, Eigen::EigenvaluesOnly).eigenvalues();
  int zero = 0;
  for (Eigen::Index i = 0; i < values.size(); ++i) zero += values[i] <= 1e-9 * values[values.size() - 1] ? 1 : 0;
  return zero;
}
int free_motions_of(const ModelFile& m, const std::vector<char>& members) {
  int sum = 0;
  for (size_t c = 0; c < m.cases.size(); ++c) sum += free_motions_of(m, members, c);
  return sum;
}

// The members (of the full frame) that the clean frame keeps.
std::vector<char> kept(const ShownFrame& full, const CleanFrame& c) {
  std::vector<char> keep(full.sections.size(), 0);
  for (int e : c.frame.element) keep[static_cast<size_t>(e - 1)] = 1;
  return keep;
}

// Each member added back leaves fewer motions free than before it, and no removed member lighter
// (here: shorter, all being design beams of one area) would have: the lightest that restrains.
// Returns the motions free before any was added.
int expect_added_lightest_that_restrain(const ShownFrame& full, const CleanFrame& plain, const CleanFrame& held) {
  std::vector<char> keep = kept(full, plain);
  const int before = free_motions_of(full.model, keep);
  int free = before;
  for (int added : held.added) {
    const size_t a = static_cast<size_t>(added);
    EXPECT_FALSE(keep[a]) << added;
    std::vector<char> with = keep;
    with[a] = 1;
    const int after = free_motions_of(full.model, with);
    EXPECT_LT(after, free) << "element " << added + 1;
    for (size_t j = 0; j < keep.size(); ++j) {
      const bool lighter = member_length(full.model, j) < member_length(full.model, a) - 1e-9 ||
                           (member_length(full.model, j) < member_length(full.model, a) + 1e-9 && j < a);
      if (keep[j] || !lighter) continue;
      std::vector<char> other = keep;
      other[j] = 1;
      EXPECT_EQ(free_motions_of(full.model, other), free) << "element " << j + 1 << " is lighter and holds";
    }
    keep = with;
    free = after;
  }
  EXPECT_EQ(free, 0);
  return before;
}

// Every foot pinned: the wall turns about the line of its feet, across its plane. One member
// added back holds it; it reaches out of the plane (W = 500). Without holding, the same frame is
// a mechanism. With one foot only in the plane, it is free in three ways and takes more; under a
// second case whose supports across the plane differ, the member that holds it in one case holds
// nothing in the other, which takes one of its own. A model 100 times as large about the origin
// is held alike.
TEST(HoldMechanism, AWallOnPinnedFeetIsBracedAcrossItsPlaneLightestFirst) {
  const Feet every = [](int, int) { return true; };
  const struct {
    Feet pinned;
    Feet second;  // or none
    double size;
    int free, added;
  } walls_of[] = {{every, nullptr, 1, 1, 1},
                  {[](int l, int w) { return w == 1 || l == 0; }, nullptr, 1, 3, 2},
                  {every, [](int l, int w) { return w == 0 || l == 2; }, 1, 2, 2},
                  {every, nullptr, 100, 1, 1}};
  for (const auto& x : walls_of) {
    Walls walls(x.pinned, 0, x.size, x.size > 1);
    if (x.second) walls.add_case(x.second);
    const ShownFrame full = walls.frame();
    const CleanFrame plain = clean_up(full, thick(full));
    ASSERT_FALSE(plain.forces);
    EXPECT_NE(plain.problem.find("the clean frame is a mechanism"), std::string::npos) << plain.problem;
    EXPECT_TRUE(plain.added.empty() && !plain.unheld);
    EXPECT_EQ(plain.problem.find("no removed member"), std::string::npos) << plain.problem;
    const CleanFrame held = clean_up(full, thick(full), {}, true);
    ASSERT_TRUE(held.forces) << held.problem;
    EXPECT_FALSE(held.unheld);
    EXPECT_EQ(expect_added_lightest_that_restrain(full, plain, held), x.free);
    EXPECT_EQ(held.added.size(), static_cast<size_t>(x.added));
    EXPECT_EQ(held.frame.element.size(), plain.frame.element.size() + held.added.size());
    for (size_t k = 0; k < held.added.size(); ++k) {
      const ModelFileElement& e = full.model.elements[static_cast<size_t>(held.added[k])];
      EXPECT_NE(full.model.nodes[static_cast<size_t>(e.node1 - 1)][1], full.model.nodes[static_cast<size_t>(e.node2 - 1)][1]);
      EXPECT_EQ(held.added_elements[k], held.added[k] + 1);
    }
    EXPECT_EQ(free_rigid_motions(full.model, kept(full, held), {}), 0);
    EXPECT_EQ(free_rigid_motions(full.model, kept(full, plain), {}), x.free);
  }
}

// What the status and the dump say of a frame held, and of one a member added back holds only in
// part (the wall pinned at one foot and one foot across: it still turns about the line of the two).
TEST(HoldMechanism, TheStatusAndDumpNameTheMembersAddedBack) {
  const Walls walls([](int, int) { return true; });
  const ShownFrame full = walls.frame();
  const BuiltFrame b = build_frame({full, analyse_frame(full)}, thick(full), nullptr, {235, 1.0}, {}, {}, true);
  ASSERT_EQ(b.clean.added.size(), 1u);
  const std::string n = std::to_string(b.clean.added_elements[0]);
  const std::string line = built_status(b, 7850, "");
  EXPECT_NE(line.find("loose); held by 1 member added back: " + n + ". Volume "), std::string::npos) << line;
  JsonWriter j;
  j.begin_object();
  write_built_json(j, b, static_cast<int>(full.element.size()));
  j.end_object();
  EXPECT_NE(j.str().find("\"added\":[" + n + "]"), std::string::npos) << j.str();

  const Walls partly([](int l, int) { return l == 0; });
  const ShownFrame part_frame = partly.frame();
  BuiltFrame p;
  p.clean = clean_up(part_frame, thick(part_frame), {}, true);
  ASSERT_FALSE(p.clean.forces);
  ASSERT_EQ(p.clean.added.size(), 1u);
  EXPECT_TRUE(p.clean.unheld);
  EXPECT_NE(built_status(p, 7850, "").find("; 1 member added back (" + std::to_string(p.clean.added_elements[0]) +
                                          ") does not hold it. It cannot stand: load case 1: the clean frame is a mechanism, "),
            std::string::npos)
      << built_status(p, 7850, "");
  EXPECT_NE(p.clean.problem.find(", and no removed member alone holds it; a lower threshold keeps more members."),
            std::string::npos)
      << p.clean.problem;
}

// Pinned at one foot and nothing else held, no removed member reaches a support: nothing is added
// and the reason says so. A frame that stands is the same with holding asked for.
TEST(HoldMechanism, NothingIsAddedWhereNoRemovedMemberHoldsOrNothingMoves) {
  const Walls lone([](int l, int w) { return l == 0 && w == 0; });
  const ShownFrame full = lone.frame();
  const CleanFrame c = clean_up(full, thick(full), {}, true);
  EXPECT_FALSE(c.forces);
  EXPECT_TRUE(c.added.empty());
  EXPECT_TRUE(c.unheld);
  EXPECT_NE(c.problem.find(", and no removed member alone holds it;"), std::string::npos) << c.problem;
  BuiltFrame b;
  b.clean = c;
  EXPECT_EQ(built_status(b, 7850, "").find("added back"), std::string::npos);

  const Model m = test_support::two_struts(1000);
  Model struts = m;
  const int set = 1;
  struts.element(1, 2, set);  // a thin tie between the feet, removed
  const ShownFrame f = frame_of(struts.f, {10, 10, 0.5});
  const CleanFrame stands = clean_up(f, thick(f)), same = clean_up(f, thick(f), {}, true);
  ASSERT_TRUE(stands.forces && same.forces);
  EXPECT_EQ(same.frame.element, stands.frame.element);
  EXPECT_TRUE(same.added.empty());
  EXPECT_FALSE(same.unheld);
  EXPECT_EQ(same.forces->total_compliance(), stands.forces->total_compliance());

  // A second case pins the feet only, so that the struts turn about the line between them, which
  // the removed tie lies on. Unloaded, that case is not analysed and nothing is held for it; with
  // the self-weight it is, and nothing holds it.
  ModelFileCase& pins = struts.add_case();
  for (size_t node : {0u, 1u})
    for (size_t dof = 0; dof < 3; ++dof) pins.fixed[node][dof] = true;
  const ShownFrame two_cases = frame_of(struts.f, {10, 10, 0.5});
  const CleanFrame unloaded = clean_up(two_cases, thick(two_cases), {}, true);
  EXPECT_TRUE(unloaded.forces && unloaded.added.empty() && !unloaded.unheld) << unloaded.problem;
  Loading weight;
  weight.self_weight = true;
  const CleanFrame weighed = clean_up(two_cases, thick(two_cases), weight, true);
  EXPECT_FALSE(weighed.forces);
  EXPECT_TRUE(weighed.added.empty() && weighed.unheld);
  EXPECT_NE(weighed.problem.find("load case 2: the clean frame is a mechanism"), std::string::npos) << weighed.problem;
}

// Sized from its forces with a push across the wall, the held frame passes every check (its
// stability too), the member added back in a standard section like the rest.
TEST(HoldMechanism, AHeldFrameSizedPassesItsChecks) {
  const Walls walls([](int, int) { return true; }, 1000);
  const ShownFrame full = walls.frame();
  const std::vector<StandardSection> sizes = default_sections();
  const CheckSettings steel{235, 1.0};
  const BuiltFrame b = build_frame({full, analyse_frame(full)}, thick(full), &sizes, steel, {}, {}, true);
  ASSERT_TRUE(b.clean.forces && b.sizing) << b.clean.problem;
  ASSERT_EQ(b.clean.added.size(), 1u);
  EXPECT_TRUE(b.sizing->failing.empty());
  const ShownFrame& f = b.clean.frame;
  for (size_t j = 0; j < f.element.size(); ++j) EXPECT_FALSE(f.sections[j].name.empty()) << f.element[j];
  const FrameJudgement judged =
      judge_frame(f, analyse_frame(f), steel, {}, std::vector<char>(f.sections.size(), 1));
  for (const MemberEnvelope& e : judged.checks.envelope) EXPECT_LE(e.utilisation, 1 + 1e-9);
  // The member added back carries the push across: it is not idle.
  const auto added = std::find(f.element.begin(), f.element.end(), b.clean.added_elements[0]);
  ASSERT_NE(added, f.element.end());
  EXPECT_GT(judged.checks.envelope[static_cast<size_t>(added - f.element.begin())].utilisation, 0.01);
}

}  // namespace
