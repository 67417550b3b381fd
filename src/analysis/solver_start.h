// Where the solver programs are found: in the working directory first (a project may carry its
// own solver), then beside the marulla program itself.
#pragma once

#include <filesystem>
#include <string>

// "topo" (shows the shape while it calculates) when the display switch is 1, otherwise
// "topo_nd"; with ".exe" on Windows.
std::string solver_program_name(int display_switch);

// The solver to start: working_dir/name when it exists, else program_dir/name. When neither
// exists, "File not found" naming both paths tried.
std::filesystem::path find_solver(const std::string& name, const std::filesystem::path& working_dir,
                                  const std::filesystem::path& program_dir);
