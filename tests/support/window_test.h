// The fixture of window tests: a fresh working directory, and the program started in it with
// a scenario runner that drives the real windows and captures reported errors.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/qt_scenario.h"
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

}  // namespace test_support
