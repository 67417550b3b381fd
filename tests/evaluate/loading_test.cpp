// The loads of the checks beyond the model's cases: self-weight, combinations, deflection limit.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "evaluate/member_checks.h"
#include "formats/errors.h"
#include "formats/numtext.h"
#include "support/model_builder.h"
#include "support/test_support.h"

namespace {

using test_support::Model;
using std::numbers::pi;

constexpr double d = 20, density = 7850;

// A table of four clamped legs 1000 mm high under a square top of 800 mm, design beams of d 20.
// Case 1: 1000 N along L at top node 5; case 2: 500 N along W at top node 7; case 3: as case 2
// with node 1 free (held by the other legs).
ShownFrame table_frame() {
  Model m;
  for (double h : {0.0, 1000.0})
    for (auto [l, w] : {std::pair{0.0, 0.0}, {800.0, 0.0}, {800.0, 800.0}, {0.0, 800.0}}) m.node(l, w, h);
  const int set = m.design();
  for (int k = 1; k <= 4; ++k) {
    m.element(k, k + 4, set, {1, 0, 0});
    m.element(k + 4, k % 4 + 5, set, {0, 0, 1});
  }
  for (int c = 1; c <= 3; ++c) {
    ModelFileCase& lc = m.add_case();
    for (int k = c == 3 ? 2 : 1; k <= 4; ++k) Model::clamp(lc, k);
  }
  Model::load(m.f.cases[0], 5, 1, 1000);
  Model::load(m.f.cases[1], 7, 2, 500);
  Model::load(m.f.cases[2], 7, 2, 500);
  return frame_of(m.f, std::vector<double>(m.f.elements.size(), d));
}

Combination combination(std::string name, LimitState kind, double self_weight, std::vector<double> factors) {
  return {std::move(name), kind, self_weight, std::move(factors)};
}

double table_weight(const ShownFrame& f) {
  double length = 0;
  for (size_t j = 0; j < f.model.elements.size(); ++j) length += member_length(f.model, j);
  return pi * d * d / 4 * length * density * 1e-9 * gravity;
}

TEST(SelfWeight, SupportsCarryTheFramesWeightInItsDirection) {
  const ShownFrame f = table_frame();
  for (const auto& [direction, axis, sign] : {std::tuple{"-H", 2, -1.0}, {"+L", 0, 1.0}}) {
    const FrameForces forces = analyse_frame(f, {true, direction, density, {}, 0});
    const double weight = table_weight(f);
    EXPECT_NEAR(forces.weight, weight, 1e-9 * weight);
    // Each case keeps its own load and gains the weight: the reactions give both back.
    for (size_t c = 0; c < 3; ++c) {
      std::array<double, 3> sum{};
      for (const auto& r : forces.by_state[c].reactions)
        for (size_t k = 0; k < 3; ++k) sum[k] += r[k];
      std::array<double, 3> applied{};
      applied[static_cast<size_t>(axis)] += sign * weight;
      applied[c == 0 ? 0 : 1] += c == 0 ? 1000 : 500;
      for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(sum[k], -applied[k], 1e-6 * weight) << direction << " case " << c + 1 << " axis " << k;
      for (const auto& u : forces.by_state[c].unbalance)
        for (double v : u) EXPECT_NEAR(v, 0, 1e-6);
    }
    // What the optimisation minimised stays without the weight.
    EXPECT_NEAR(forces.total_compliance(), analyse_frame(f).total_compliance(), 1e-9 * forces.total_compliance());
  }
  EXPECT_EQ(analyse_frame(f, {false, "-H", density, {}, 0}).weight, 0);
}

TEST(Combinations, AreTheFactoredSumsOfTheirCases) {
  const ShownFrame f = table_frame();
  const FrameForces cases = analyse_frame(f);
  Loading only_weight{true, "-H", density, {combination("G", LimitState::sls, 1, {})}};
  const FrameForces weight = analyse_frame(f, only_weight);
  Loading loading{true, "-H", density,
                  {combination("ULS1", LimitState::uls, 1.35, {1.5, 1.05}), combination("SLS1", LimitState::sls, 1, {0, 1})}};
  const FrameForces combined = analyse_frame(f, loading);
  ASSERT_EQ(combined.states.size(), 2u);
  EXPECT_EQ(combined.states[1].key, "SLS1");
  const double factors[2][3] = {{1.35, 1.5, 1.05}, {1, 0, 1}};  // weight, case 1, case 2
  for (size_t s = 0; s < 2; ++s) {
    auto sum = [&](auto part) { return factors[s][0] * part(weight, 0) + factors[s][1] * part(cases, 0) + factors[s][2] * part(cases, 1); };
    for (size_t j = 0; j < f.model.elements.size(); ++j)
      for (size_t k = 0; k < 6; ++k) {
        const double want = sum([&](const FrameForces& x, size_t c) { return x.by_state[c].members[j].end1[k]; });
        EXPECT_NEAR(combined.by_state[s].members[j].end1[k], want, 1e-6 * (1 + std::fabs(want))) << s << " " << j << " " << k;
      }
    for (size_t i = 0; i < f.model.nodes.size(); ++i)
      for (size_t k = 0; k < 6; ++k) {
        const double u = sum([&](const FrameForces& x, size_t c) { return x.displacements[c][i][k]; });
        const double r = sum([&](const FrameForces& x, size_t c) { return x.by_state[c].reactions[i][k]; });
        EXPECT_NEAR(combined.displacements[s][i][k], u, 1e-9 + 1e-9 * std::fabs(u));
        EXPECT_NEAR(combined.by_state[s].reactions[i][k], r, 1e-6 * (1 + std::fabs(r)));
      }
  }
  // The weight in a combination of no case stands on case 1's supports; without the self-weight
  // on, its factor does nothing.
  only_weight.self_weight = false;
  const FrameForces at_rest = analyse_frame(f, only_weight);
  for (const auto& m : at_rest.by_state[0].members) EXPECT_EQ(m.largest_moment(), 0);
}

TEST(Combinations, StrengthFromUltimateStatesDeflectionFromServiceStates) {
  const ShownFrame f = table_frame();
  const Loading loading{false, "-H", density,
                        {combination("S", LimitState::sls, 0, {10}), combination("U", LimitState::uls, 0, {1})}, 0};
  const FrameForces forces = analyse_frame(f, loading);
  const FrameChecks checks = check_frame(f, forces, {235, 1.0});
  for (size_t j = 0; j < checks.envelope.size(); ++j) {
    EXPECT_EQ(checks.envelope[j].state, 1) << j;
    EXPECT_EQ(checks.envelope[j].utilisation, checks.by_state[1][j].utilisation);
  }
  const Movement moved = largest_movement(forces);
  EXPECT_EQ(moved.state, 0);
  // Strength states alone: the frame still moves.
  const FrameForces strength = analyse_frame(f, {false, "-H", density, {loading.combinations[1]}, 0});
  EXPECT_NEAR(largest_movement(strength).value, largest_movement(forces, 1).value, 1e-12);
  EXPECT_NEAR(moved.value, 10 * largest_movement(forces, 1).value, 1e-9 * moved.value);
  const std::vector<Deflection> limits = deflections(forces, 0.5);
  ASSERT_EQ(limits.size(), 2u);
  EXPECT_EQ(limits[0].moved.node, moved.node);
  EXPECT_NEAR(limits[0].ratio, moved.value / 0.5, 1e-12);
}

TEST(Combinations, OfCasesHeldDifferentlyAreRefused) {
  const ShownFrame f = table_frame();
  const std::vector<Combination> mixed{combination("A", LimitState::uls, 1, {1, 1}),
                                       combination("B", LimitState::uls, 1, {0, 1, 1})};
  EXPECT_EQ(combination_problem(f.model, mixed), "Combination B combines load cases 2 and 3, whose supports differ at node 1");
  EXPECT_EQ(combination_problem(f.model, {combination("D", LimitState::sls, 1, {1, 1, 1, 0})}),
            "Combination D has factors of 4 load cases, the model 3");
  // A factor 0 does not use its case.
  EXPECT_EQ(combination_problem(f.model, {combination("C", LimitState::uls, 1, {1, 0, 0})}), "");
  EXPECT_THROW(analyse_frame(f, {false, "-H", density, mixed}), SolverError);
}

// A cantilever of 1000 mm, 100 N across its tip: the tip moves P L^3 / 3 E I.
TEST(Deflection, LimitNamesTheNodeAndTheRatio) {
  Model m;
  const int root = m.node(0, 0, 0), tip = m.node(1000, 0, 0);
  m.element(root, tip, m.design());
  Model::clamp(m.add_case(), root);
  Model::load(m.f.cases[0], tip, 3, -100);
  const ShownFrame f = frame_of(m.f, {d});
  const FrameForces forces = analyse_frame(f);
  const double I = pi * std::pow(d, 4) / 64, want = 100 * 1e9 / (3 * test_support::E * I);
  const FrameChecks checks = check_frame(f, forces, {235, 1.0});
  const std::string text = summary_text(f, summarise(forces, checks, {1}, 4), "the frame");
  EXPECT_NE(text.find("Largest displacement " + significant_text(want, 3) + " mm at node 2 at (1000, 0, 0), load case 1, " +
                      significant_text(want / 4, 3) + " of the deflection limit 4 mm."),
            std::string::npos)
      << text;
  EXPECT_EQ(summary_text(f, summarise(forces, checks, {1}), "the frame").find("deflection limit"), std::string::npos);
}

TEST(CombinationsFile, ReadsWhatItWritesAndRefusesABadLineByNumber) {
  test_support::WorkingDirectory dir;
  EXPECT_TRUE(read_combinations(combinations_file_name, 3).empty());  // no file: none
  const std::vector<Combination> list{combination("ULS 1", LimitState::uls, 1.35, {1.5, 0, 1.05}),
                                      combination("SLS", LimitState::sls, 1, {1, 0.5, 0})};
  write_combinations(list, 3, combinations_file_name);
  EXPECT_EQ(read_combinations(combinations_file_name, 3), list);
  EXPECT_EQ(test_support::file_lines(combinations_file_name)[0], "name,kind,self-weight,case 1,case 2,case 3");

  // Missing and empty case factors are 0; blank lines are skipped; CR alone ends a line.
  test_support::write_file(combinations_file_name, "\r\nG+Q, ULS ,1.35,,1.5\rchar,SLS,1\r\n");
  const std::vector<Combination> read = read_combinations(combinations_file_name, 3);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0], combination("G+Q", LimitState::uls, 1.35, {0, 1.5}));
  EXPECT_EQ(read[1].factor(2), 0);

  for (const auto& [text, error] : std::vector<std::pair<std::string, std::string>>{
           {"a,ULS,1\nb,ELS,1\n", "Invalid setting (combinations.csv, line 2: the kind of a combination is ULS or SLS)"},
           {"a,ULS,1,1,1,1,1\n", "Invalid setting (combinations.csv, line 1: more factors than the 3 load cases)"},
           {"a,ULS,x\n", "Type mismatch (combinations.csv, line 1: a factor is a number)"},
           {"a,ULS\n", "Type mismatch (combinations.csv, line 1: a combination is name, kind, self-weight factor, factors of "
                       "the cases)"},
           {"a,ULS,1\na,SLS,1\n", "Invalid setting (combinations.csv, line 2: the name a is used twice)"},
           {"a,ULS,1,1e300\n", "Invalid setting (combinations.csv, line 1: a factor is from -100 to 100)"},
           {"a,ULS,-101\n", "Invalid setting (combinations.csv, line 1: a factor is from -100 to 100)"},
           {"a\xC3,ULS,1\n", "Invalid setting (combinations.csv, line 1: a combination needs a name of UTF-8 text without a comma)"},
           {"name,kind,self-weight\nname,kind,1\n",
            "Invalid setting (combinations.csv, line 2: the kind of a combination is ULS or SLS)"}}) {
    test_support::write_file(combinations_file_name, text);
    EXPECT_EQ(test_support::error_of([] { read_combinations(combinations_file_name, 3); }), error) << text;
  }
  // A header is known by its columns: a first combination whose name begins like one is read.
  test_support::write_file(combinations_file_name, "names of G,ULS,1.35,1.5\r\n\xC3\xA9t\xC3\xA9 \"1\",SLS,1,-100\r\n");
  const std::vector<Combination> named = read_combinations(combinations_file_name, 3);
  ASSERT_EQ(named.size(), 2u);
  EXPECT_EQ(named[0].name, "names of G");
  EXPECT_EQ(named[1], combination("\xC3\xA9t\xC3\xA9 \"1\"", LimitState::sls, 1, {-100}));
  // What was read is kept as read; what is written, as written.
  FileStamp source;
  EXPECT_EQ(read_combinations(combinations_file_name, 3, &source), named);
  EXPECT_EQ(source, stamp_of(combinations_file_name, test_support::file_text(combinations_file_name)));
  const FileStamp written = write_combinations(named, 3, combinations_file_name);
  EXPECT_EQ(written, stamp_of(combinations_file_name, test_support::file_text(combinations_file_name)));
  EXPECT_NE(written, source);  // the line of column names added
  std::string many;
  for (int k = 1; k <= max_combinations + 1; ++k) many += "c" + std::to_string(k) + ",ULS,1\n";
  test_support::write_file(combinations_file_name, many);
  EXPECT_EQ(test_support::error_name_of([] { read_combinations(combinations_file_name, 3); }), err::capacity);
}

// A case that nothing holds carried no load before; with the frame's weight it must, and the
// failure names that case, not the analysis's own count of cases.
TEST(SelfWeight, OnACaseWithoutSupportsNamesTheCase) {
  ShownFrame f = table_frame();
  f.model.cases[2] = test_support::Model{f.model}.add_case();
  EXPECT_NO_THROW(analyse_frame(f));
  try {
    analyse_frame(f, {true, "-H", density, {}, 0});
    ADD_FAILURE() << "a frame without supports carried its weight";
  } catch (const SolverError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("the self-weight in load case 3: the structure is not held", 0), 0u) << e.what();
    EXPECT_EQ(e.load_case, 3);
  }
}

TEST(SelfWeight, DirectionTexts) {
  std::array<double, 3> unit{};
  EXPECT_TRUE(direction_vector("-W", unit));
  EXPECT_EQ(unit, (std::array<double, 3>{0, -1, 0}));
  for (const char* bad : {"H", "-h", "+X", "--H", "*L", ""}) EXPECT_FALSE(direction_vector(bad, unit)) << bad;
}

}  // namespace
