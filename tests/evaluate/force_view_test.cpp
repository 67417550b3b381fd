// The colours of the force and utilisation views.
#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <string>

#include "evaluate/force_view.h"
#include "formats/json.h"
#include "support/model_builder.h"

namespace {

using test_support::Model;

TEST(ForceView, ScalesRunFromNeutralAndGreenToTheirEnds) {
  EXPECT_EQ(axial_colour(500, 500), rgb_colour({220, 0, 0}));
  EXPECT_EQ(axial_colour(-800, 500), rgb_colour({0, 0, 220}));  // clamped at the scale's end
  EXPECT_EQ(axial_colour(-250, 500), rgb_colour({100, 100, 210}));
  EXPECT_EQ(axial_colour(0, 0), rgb_colour({200, 200, 200}));
  EXPECT_EQ(utilisation_colour(0), rgb_colour({0, 170, 0}));
  EXPECT_EQ(utilisation_colour(0.5), rgb_colour({255, 220, 0}));
  EXPECT_EQ(utilisation_colour(0.75), rgb_colour({255, 110, 0}));
  EXPECT_EQ(utilisation_colour(1), rgb_colour({255, 0, 0}));
  EXPECT_EQ(utilisation_colour(1.001), rgb_colour({120, 0, 0}));
}

// A tie above and a strut below a loaded node, the strut twice as thick: the strut takes 4/5 of
// the load (800 N compression), the tie 1/5 (200 N tension). A drawn bar hangs from the tie's
// top; the result has a fourth element that the frame lost.
TEST(ForceView, CountedMembersSetTheAxialScaleAndLostElementsAreNotDrawn) {
  Model m;
  const int set = m.design(), plate = m.non_design(100, 1000, 1000, 2000);
  const int n = m.node(0, 0, 0), up = m.node(0, 0, 1000), down = m.node(0, 0, -1000), side = m.node(500, 0, 1000);
  m.element(n, up, set);
  m.element(n, down, set);
  m.element(up, side, plate);
  ModelFileCase& c = m.add_case();
  Model::clamp(c, up);
  Model::clamp(c, down);
  Model::clamp(c, side);
  Model::load(c, n, 3, -1000);
  const ShownFrame f = frame_of(m.f, {10, 20, 0});
  const FrameForces forces = analyse_frame(f);
  const CheckSettings s{235, 1.0};
  auto colours = [&](ColourBy by, const std::vector<char>& counted) {
    ResultPicture p;
    const FrameChecks checks = check_frame(f, forces, s, counted);
    apply_force_view(p, {by, envelope_state, false}, f, &forces, &checks, counted, 4, 1000);
    return p.element_colour;
  };
  const std::vector<int> all = colours(ColourBy::axial, {1, 1, 1});
  EXPECT_EQ(all[1], axial_colour(200, 800));
  EXPECT_EQ(all[2], rgb_colour({0, 0, 220}));
  EXPECT_EQ(all[4], not_drawn);
  EXPECT_EQ(colours(ColourBy::axial, {1, 0, 1})[1], rgb_colour({220, 0, 0}));  // the tie alone sets it
  const std::vector<int> plain = colours(ColourBy::diameter, {1, 1, 1});
  EXPECT_EQ(plain, (std::vector<int>{not_drawn, 6, 6, 0, not_drawn}));
  // The state dump's largest movement: node 1 sinks P L / (E (A_tie + A_strut)) = 1e6 / (2e5 125 pi) mm.
  JsonWriter j;
  write_force_json(j.begin_object(), f, forces, check_frame(f, forces, s, {1, 1, 1}), {1, 1, 1}, m.f.n_elem);
  const std::string key = "\"displacement_max\":[{\"node\":1,\"value\":";
  const size_t at = j.str().find(key);
  ASSERT_NE(at, std::string::npos) << j.str();
  EXPECT_NEAR(std::stod(j.str().substr(at + key.size())), 1e6 / (2e5 * 125 * std::numbers::pi), 1e-9);
}

TEST(ForceView, TheDrawnMembersLineNeedsACycleRead) {
  auto r = std::make_unique<ResultStore>();
  r->pn_elem = 1;
  EXPECT_EQ(drawn_members_text(*r, 0, 0.5f), "");
  EXPECT_EQ(drawn_members_text(*r, 1, 0.5f), "");
  r->pn_cyc = 1;
  EXPECT_EQ(drawn_members_text(*r, 1, 0.5f).rfind("At threshold 0.5, ", 0), 0u);
}

}  // namespace
