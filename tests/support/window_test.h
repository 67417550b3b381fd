// The fixture of window tests: a fresh working directory, and the program started in it with
// a scenario runner that drives the real windows and captures reported errors.
#pragma once

#include <gtest/gtest.h>

#include <memory>
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

// Conditions put into load case c of the store as the point dialog stores them: a node fixed
// in its first `dofs` degrees of freedom, a load along one.
inline void set_support(ModelStore& m, int c, int node, int dofs = 6) {
  m.bc_flag(c, node) = 1;
  for (int d = 1; d <= dofs; ++d) m.bc_val(c, node, 1, d) = 1;
}
inline void set_load(ModelStore& m, int c, int node, int dof, float value) {
  m.bc_flag(c, node) = 1;
  m.bc_val(c, node, 2, dof) = value;
}

}  // namespace test_support
