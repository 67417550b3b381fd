// Whether a model file describes the mesh of a result file; the cycles' analyses kept, and what
// the evaluation keeps while the settings it depends on stay.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>

#include "evaluate/evaluation.h"
#include "evaluate/shown_frame.h"
#include "formats/numtext.h"
#include "post/result_file.h"
#include "support/model_builder.h"
#include "support/test_support.h"

namespace {

using test_support::Model;
using std::numbers::pi;

// A 10 mm design beam 10 m from the origin along L, and the result file's copy of its mesh.
struct FarBeam {
  Model m;
  ResultStore r;
  FarBeam() {
    const int a = m.node(10000, 0, 0), b = m.node(10010, 0, 0);
    m.element(a, b, m.design());
    r.pn_node = 2;
    r.pn_elem = 1;
    r.pn_cyc = 1;
    r.pe_nod(1, 1) = 1;
    r.pe_nod(1, 2) = 2;
    for (int i = 1; i <= 2; ++i) r.pnode_xyz(1, i, 1) = i == 1 ? 10000.0f : 10010.0f;
  }
  std::string mismatch() const { return model_mismatch(r, m.f, "fem_gr_jo.dat", "post_pl.dat"); }
};

TEST(ModelMatch, AnotherKindOfElementIsAnotherModel) {
  FarBeam x;
  x.r.pe_flag(1) = 1;  // the same ends, but a non-design bar in the results
  EXPECT_NE(x.mismatch().find("as a design beam in fem_gr_jo.dat, nodes 1 and 2 as a non-design bar in post_pl.dat"),
            std::string::npos)
      << x.mismatch();
}

// Six significant digits put a coordinate of 10 000 mm up to 0.05 mm off, however small the
// frame (10 mm here): still the same mesh. Twice the rounding is not.
TEST(ModelMatch, NodesMatchWithinTheDigitsTheResultFileKeeps) {
  FarBeam x;
  x.r.pnode_xyz(1, 1, 1) = 10000.05f;
  EXPECT_EQ(x.mismatch(), "");
  x.r.pnode_xyz(1, 1, 1) = 10000.2f;
  EXPECT_NE(x.mismatch().find("node 1 lies at (10000, 0, 0)"), std::string::npos) << x.mismatch();
}

struct SmallRun {
  test_support::WorkingDirectory dir;
  ResultSet set;
  SmallRun() {
    for (const char* name : {"post_pl.dat", "fem_gr_jo.dat", "cross_data_4th.dat"})
      std::filesystem::copy_file(test_support::tests_dir() / "data" / "post_small" / name, name);
    set = read_result_set();
  }
};
}  // namespace

// Browsing back and forth gives each cycle its own design: cycle 2 after cycle 1, then 1 again,
// is analysed with the diameters each cycle wrote (element 1: 10.9544 mm, then 16 mm).
TEST(Evaluation, EachCycleAskedForIsItsOwn) {
  test_support::WorkingDirectory dir;
  for (const char* name : {"post_pl.dat", "fem_gr_jo.dat", "cross_data_4th.dat"})
    std::filesystem::copy_file(test_support::tests_dir() / "data" / "post_small" / name, name);
  const ResultSet set = read_result_set();
  ASSERT_TRUE(set.store);
  Evaluation evaluation(*set.store);
  const auto diameter = [&](int c) { return std::sqrt(evaluation.cycle(*set.store, c).frame.section_values()[0].A * 4 / pi); };
  EXPECT_NEAR(diameter(1), 10.9544, 1e-4);
  EXPECT_NEAR(diameter(2), 16, 1e-4);
  EXPECT_NEAR(diameter(1), 10.9544, 1e-4);
}

// The deflection limit touches neither the analysis nor the clean frame nor its checks, but the
// frame in standard sizes grows for it; the yield stress remakes the checks and the sized frame;
// equal settings made afresh keep all.
TEST(Evaluation, RemakesOnlyWhatAChangedSettingTouches) {
  const SmallRun run;
  ASSERT_TRUE(run.set.store);
  const ResultStore& r = *run.set.store;
  Evaluation evaluation(r);
  EvaluationSettings s;
  s.sizing = {true, default_sections(), {}};
  const FrameChoice build{r.pn_cyc, 0.01f, true};
  const Evaluated a = evaluation.evaluate(r, build, s);
  ASSERT_TRUE(a.built && a.checks) << a.problem;
  EXPECT_EQ(a.kind, FrameKind::sized);
  EXPECT_EQ(a.summary.deflected.ratio, 0);

  EvaluationSettings limited = s;
  limited.loading.deflection_limit = 1e-6;
  const Evaluated b = evaluation.evaluate(r, build, limited);
  ASSERT_TRUE(b.built && b.built->sizing);
  EXPECT_NE(b.built, a.built);
  EXPECT_TRUE(b.built->sizing->for_deflection);
  EXPECT_FALSE(b.built->sizing->deflection_met());
  EXPECT_GT(b.summary.deflected.ratio, 1);
  EXPECT_NEAR(b.summary.deflected.ratio, b.built->sizing->deflection_ratio, 1e-9 * b.summary.deflected.ratio);
  EXPECT_EQ(b.deflections.size(), b.forces->states.size());
  EvaluationSettings clean = s, clean_limited = limited;
  clean.sizing.on = clean_limited.sizing.on = false;
  const Evaluated unsized = evaluation.evaluate(r, build, clean);
  const Evaluated unsized_limited = evaluation.evaluate(r, build, clean_limited);
  EXPECT_EQ(unsized_limited.built, unsized.built);
  EXPECT_EQ(unsized_limited.checks, unsized.checks);

  limited.steel.yield = 100;
  const Evaluated c = evaluation.evaluate(r, build, limited);
  EXPECT_NE(c.built, unsized.built);
  EXPECT_NE(c.checks, unsized.checks);
  EXPECT_EQ(evaluation.evaluate(r, build, limited).built, c.built);
  limited.sizing.on = false;  // the list stays, unused
  EXPECT_EQ(evaluation.evaluate(r, build, limited).kind, FrameKind::clean);

  const Evaluated design = evaluation.evaluate(r, {r.pn_cyc, 0.01f, false}, limited);
  EXPECT_EQ(design.kind, FrameKind::optimised);
  EXPECT_EQ(design.built, nullptr);
  EXPECT_EQ(design.frame, &evaluation.cycle(r, r.pn_cyc, s.loading).frame);
}

// The summary gives the mass of the members drawn against the bound, after the members'
// sentence; the truss is made once for the ultimate states, whatever the cycle, threshold, yield
// stress or density, and again when the combinations change.
TEST(Evaluation, MeasuresTheFrameAgainstThePlasticBoundItKeeps) {
  const SmallRun run;
  ASSERT_TRUE(run.set.store);
  const ResultStore& r = *run.set.store;
  Evaluation evaluation(r);
  EvaluationSettings s;
  const Evaluated a = evaluation.evaluate(r, {r.pn_cyc, 0.01f, false}, s);
  ASSERT_TRUE(a.checks && a.bound && a.truss) << a.problem;
  ASSERT_EQ(a.bound->problem, "");
  double volume = 0;
  for (size_t j = 0; j < a.frame->sections.size(); ++j)
    if (a.drawn[j]) volume += a.frame->sections[j].values.A * member_length(a.frame->model, j);
  const double mass = volume * 7850e-9;
  const std::string sentence = " in the optimised design. Mass " + significant_text(mass, 3) + " kg, " +
                               significant_text(mass / a.bound->mass, 3) +
                               " x the lightest pin-jointed truss on this ground structure, " +
                               significant_text(a.bound->mass, 3) + " kg. Largest displacement";
  const std::string text = summary_text(*a.frame, a.summary, "the optimised design");
  EXPECT_NE(text.find(sentence), std::string::npos) << text;

  EvaluationSettings other = s;
  other.steel.yield = 355;
  other.loading.density = 2700;
  const Evaluated b = evaluation.evaluate(r, {1, 0.5f, true}, other);
  EXPECT_EQ(b.truss, a.truss);
  EXPECT_NEAR(b.bound->mass, a.bound->mass * 235 / 355 * 2700 / 7850, 1e-9 * a.bound->mass);
  other.loading.combinations = {{"ULS1", LimitState::uls, 0, {2}}};
  const Evaluated c = evaluation.evaluate(r, {1, 0.5f, true}, other);
  EXPECT_NE(c.truss, a.truss);
  EXPECT_NEAR(c.bound->volume, 2 * b.bound->volume, 1e-9 * c.bound->volume);
}

