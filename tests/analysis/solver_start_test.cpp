// Finding the solver program.
#include "analysis/solver_start.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace test_support;
namespace fs = std::filesystem;

TEST(SolverStart, DisplaySwitchChoosesTheProgram) {
  EXPECT_EQ(solver_program_name(1), "topo");
  EXPECT_EQ(solver_program_name(0), "topo_nd");
  EXPECT_EQ(solver_program_name(2), "topo_nd");
}

TEST(SolverStart, WorkingDirectoryFirstThenBesideTheProgram) {
  WorkingDirectory dir;
  fs::create_directories("project");
  fs::create_directories("bin");
  write_file("bin/topo_nd", "");
  EXPECT_EQ(find_solver("topo_nd", "project", "bin"), fs::path("bin/topo_nd"));
  write_file("project/topo_nd", "");
  EXPECT_EQ(find_solver("topo_nd", "project", "bin"), fs::path("project/topo_nd"));
  EXPECT_EQ(error_of([] { find_solver("topo", "project", "bin"); }),
            "File not found (project/topo or bin/topo)");
}
