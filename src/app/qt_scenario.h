// The scenario runner: plays a user's story against the real windows, one command a line,
// and checks what the windows show. Used by marulla_scenario and by the window tests.
#pragma once

#include <istream>
#include <string>
#include <vector>

class FormWindow;
class QWidget;

class ScenarioRunner {
 public:
  // Starts as the program does: reported errors are captured, ending the program is recorded,
  // and the start-up window is shown.
  ScenarioRunner();
  ~ScenarioRunner();

  // Runs every line; false at the first line that fails, with failure() saying why.
  bool run(std::istream& in);
  bool run_text(const std::string& text);
  // Runs one command line (comments and blank lines do nothing).
  bool run_line(const std::string& line);
  // The directory `copy` takes its sources from: the scenario file's own (default: the working
  // directory).
  void set_base_directory(const std::string& dir) { base_directory_ = dir; }
  const std::string& failure() const { return failure_; }
  const std::vector<std::string>& unchecked_errors() const { return errors_; }

 private:
  bool fail(const std::string& what);
  bool dispatch(const std::string& command, const std::string& rest);
  bool click_command(const std::string& rest);
  bool set_command(const std::string& rest);
  bool key_command(const std::string& rest);
  bool mouse_command(const std::string& rest);
  bool wheel_command(const std::string& rest);
  bool call_command(const std::string& rest);
  bool copy_command(const std::string& rest);
  bool dump_command(const std::string& rest);
  bool grab_command(const std::string& rest);
  bool canvas_command(const std::string& rest);
  bool export_command(const std::string& rest);
  bool output_command(const std::string& what, const std::string& rest);
  bool wait_file(const std::string& rest);
  bool wait_run(const std::string& rest);
  bool restart(const std::string& rest);
  bool click(const std::string& target);
  bool set(const std::string& target, const std::string& value);
  bool set_cell(const std::string& target, const std::string& cell, const std::string& value);
  bool key(const std::string& window, const std::string& ch);
  bool mouse(const std::vector<std::string>& words);
  bool call(const std::string& target);
  bool expect(const std::string& rest);
  bool expect_error(const std::string& text);
  bool expect_state(const std::string& rest);
  bool expect_file(const std::string& rest);
  bool edit_file(const std::string& rest);
  bool write_output(const std::string& what, const std::string& window, const std::string& file);
  bool copy(const std::string& source, const std::string& destination);

  FormWindow* loaded(const std::string& window);
  // The control W.C, or nullptr with failure set.
  QWidget* control(const std::string& target, FormWindow** window = nullptr);
  // A user can act on it: the window is shown and enabled, the control and its frames are too.
  bool reachable(FormWindow* window, QWidget* control, const std::string& target);

  std::vector<std::string> errors_;
  std::string failure_;
  int mouse_buttons_ = 0;
  std::string base_directory_;
};
