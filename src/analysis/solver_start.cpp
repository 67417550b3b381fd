// Choosing and finding the solver program.
#include "analysis/solver_start.h"

#include "formats/errors.h"

std::string solver_program_name(int display_switch) {
#ifdef _WIN32
  const char* suffix = ".exe";
#else
  const char* suffix = "";
#endif
  return std::string(display_switch == 1 ? "topo" : "topo_nd") + suffix;
}

std::filesystem::path find_solver(const std::string& name, const std::filesystem::path& working_dir,
                                  const std::filesystem::path& program_dir) {
  std::error_code ec;
  for (const auto& dir : {working_dir, program_dir}) {
    const auto path = dir / name;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  raise_error(err::file_not_found, (working_dir / name).string() + " or " + (program_dir / name).string());
}
