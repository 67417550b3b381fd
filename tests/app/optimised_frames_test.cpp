// Frames optimised by the real solver must make sense to an engineer: the compliance falls, the
// volume target is met, and thick beams lead from the loads to the supports.
#include <gtest/gtest.h>

#include <functional>
#include <queue>
#include <set>

#include "app/forms.h"
#include "post/result_file.h"
#include "support/window_test.h"
#include "ui/form2.h"

using namespace test_support;

namespace {
// Nodes reached from `from` along elements at least `threshold` times the maximum diameter
// thick in the last cycle.
std::set<int> reached(const ResultStore& r, const std::set<int>& from, double threshold) {
  std::set<int> seen = from;
  std::queue<int> todo;
  for (int n : from) todo.push(n);
  while (!todo.empty()) {
    const int n = todo.front();
    todo.pop();
    for (int e = 1; e <= r.pn_elem; ++e) {
      if (r.pe_dia(r.pn_cyc, e) < threshold * r.pd_max) continue;
      const int a = r.pe_nod(e, 1), b = r.pe_nod(e, 2);
      const int other = a == n ? b : b == n ? a : 0;
      if (other && seen.insert(other).second) todo.push(other);
    }
  }
  return seen;
}

using Where = std::function<bool(float, float, float)>;  // of a node's L, W, H

// A box 100 x 100 across, supports fixed in their first `dofs`, 1000 N down on each loaded node.
struct Frame {
  const char* name;
  int length, divisions, dofs;
  std::vector<Where> supports;  // each a group of nodes the load must reach
  Where loaded;
};

void PrintTo(const Frame& frame, std::ostream* out) { *out << frame.name; }

const Frame frames[] = {
    // A cantilever clamped at one end face, loaded at the lower edge of the other.
    {"Cantilever", 300, 3, 6, {[](float l, float, float) { return l == -150; }},
     [](float l, float, float h) { return l == 150 && h == -50; }},
    // A bridge pinned at both lower ends, loaded at the middle of its upper face.
    {"Bridge", 400, 4, 3,
     {[](float l, float, float h) { return l == -200 && h == -50; }, [](float l, float, float h) { return l == 200 && h == -50; }},
     [](float l, float, float h) { return l == 0 && h == 50; }},
};

class OptimisedFrames : public WindowTest, public ::testing::WithParamInterface<Frame> {
 protected:
  // "Analysis" with topo_nd and the volume target; the result read once the solver has ended.
  ResultStore optimise(const char* volume_ratio) {
    run(std::string("click Form2.Check3\nset Form2.Text33 ") + volume_ratio +
        "\nclick Form2.Check5\nclick Form2.Command13\nexpect Form2 unloaded\nwait-file post_pl.dat 120\n");
    EXPECT_TRUE(errors().empty());
    ResultStore r;
    read_result_file(r);
    return r;
  }

  static void expect_sound_history(const std::vector<CyclePoint>& cycles, double target) {
    ASSERT_GE(cycles.size(), 5u);
    for (size_t k = 1; k < cycles.size(); ++k)
      EXPECT_LE(cycles[k].compliance, cycles[k - 1].compliance * (1 + 1e-6)) << "cycle " << k + 1;
    EXPECT_LT(cycles.back().compliance, 0.5 * cycles.front().compliance);
    EXPECT_NEAR(cycles.back().volume_ratio, target, 1e-3 * target);
  }
};
}  // namespace

TEST_P(OptimisedFrames, LoadsReachTheirSupportsAlongThickBeams) {
  const Frame& frame = GetParam();
  run("click frmSplash.Command1\n" + box_to_analysis(frame.length, frame.divisions));
  ModelStore& m = Forms::form2().model;
  const auto loaded = nodes_where(m, frame.loaded);
  ASSERT_EQ(loaded.size(), 2u);
  for (int n : loaded) set_load(m, 1, n, 3, -1000);
  std::vector<std::set<int>> supports;
  for (const Where& at : frame.supports) {
    supports.push_back(nodes_where(m, at));
    ASSERT_GE(supports.back().size(), 2u);
    for (int n : supports.back()) set_support(m, 1, n, frame.dofs);
  }
  const ResultStore r = optimise("0.05");
  expect_sound_history(convergence_history(r), 0.05);
  const auto path = reached(r, loaded, 0.5);
  for (const auto& group : supports)
    EXPECT_TRUE(std::any_of(group.begin(), group.end(), [&](int n) { return path.count(n) > 0; }));
}

INSTANTIATE_TEST_SUITE_P(Frames, OptimisedFrames, ::testing::ValuesIn(frames),
                         [](const ::testing::TestParamInfo<Frame>& frame) { return std::string(frame.param.name); });
