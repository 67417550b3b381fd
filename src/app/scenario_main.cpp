// marulla_scenario FILE | -: runs a scenario against the real windows, offscreen, in the
// current working directory; exits 0 when every line ran and every expectation held.
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/qt_scenario.h"
#include "formats/fields.h"

int main(int argc, char** argv) {
  ignore_file_size_signal();  // a write past the file-size limit fails, it does not end the program
  if (argc != 2) {
    std::fprintf(stderr, "usage: marulla_scenario FILE|-\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  std::ifstream file;
  const std::string path = argv[1];
  if (path != "-") {
    file.open(path);
    if (!file) {
      std::fprintf(stderr, "marulla_scenario: cannot open %s\n", path.c_str());
      return 2;
    }
  }
  ScenarioRunner runner;
  if (path != "-") runner.set_base_directory(std::filesystem::path(path).parent_path().string());
  const bool ok = runner.run(path == "-" ? std::cin : file);
  for (const std::string& e : runner.unchecked_errors()) std::fprintf(stderr, "reported: %s\n", e.c_str());
  if (!ok) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), runner.failure().c_str());
    return 1;
  }
  return 0;
}
