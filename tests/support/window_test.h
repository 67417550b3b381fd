// The fixture of window tests: the program started in a fresh working directory by a scenario runner.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/qt_scenario.h"
#include "model/model_store.h"
#include "support/test_support.h"

namespace test_support {

class WindowTest : public ::testing::Test {
 protected:
  // Runs scenario lines; the test fails at the first one that does.
  void run(const std::string& script) { ASSERT_TRUE(runner_->run_text(script)) << runner_->failure(); }
  const std::vector<std::string>& errors() const { return runner_->unchecked_errors(); }
  ScenarioRunner& runner() { return *runner_; }

  WorkingDirectory dir_;  // made current before the program starts, left after it ends

 private:
  std::unique_ptr<ScenarioRunner> runner_ = std::make_unique<ScenarioRunner>();
};

// Scenario lines that make one box, centred on the origin, and go to the boundary-condition stage.
inline std::string box_to_analysis(int length, int divisions) {
  return "click Form2.Command1\nset Form2.Text7 " + std::to_string(length) + "\nset Form2.Text13 " +
         std::to_string(divisions) + "\nclick Form2.Command2\nclick Form2.Command12\n";
}

// The nodes whose L, W and H satisfy `at`.
template <typename F>
std::set<int> nodes_where(const ModelStore& m, F at) {
  std::set<int> nodes;
  for (int n = 1; n <= m.n_node; ++n)
    if (at(m.node_xyz(n, 1), m.node_xyz(n, 2), m.node_xyz(n, 3))) nodes.insert(n);
  return nodes;
}

// Conditions put into load case c as the point dialog stores them: a node fixed in its first `dofs`.
inline void set_support(ModelStore& m, int c, int node, int dofs = 6) {
  m.bc_flag(c, node) = 1;
  for (int d = 1; d <= dofs; ++d) m.bc_val(c, node, 1, d) = 1;
}
inline void set_load(ModelStore& m, int c, int node, int dof, float value) {
  m.bc_flag(c, node) = 1;
  m.bc_val(c, node, 2, dof) = value;
}

}  // namespace test_support
