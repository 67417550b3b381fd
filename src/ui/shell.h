// What the windows ask of the program around them: its window registry and its end. The
// program (app/forms.h) provides it; a window reaches another only through here, and hands
// values over, never reading another window's controls.
#pragma once

#include <string>

class FormWindow;
class Form1;
class Form2;
class Form3;
class Form5;
class Form6;
class Form7;

// The hand-over between the modelling window and the section editor: the design record being
// edited, as n_gr (records in the list) and n_gr_m (how far back from the last), and whether a
// record has been deleted. Form4 shows it.
struct SectionHandOver {
  int n_gr = 0;
  int n_gr_m = 0;
  int del_flag = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The window of that designer name, loaded (its Form_Load run) when it is not.
  virtual FormWindow& load(const std::string& name) = 0;
  // The window when it is loaded, else nullptr.
  virtual FormWindow* find(const std::string& name) = 0;
  // Loads and shows the window.
  virtual FormWindow& show(const std::string& name) = 0;
  // Hides and destroys the window (safe from inside one of its own handlers).
  virtual void unload(const std::string& name) = 0;
  // Every window unloaded, then the program ends.
  virtual void end_program() = 0;
};

// The program's shell; a "Subscript out of range" error while none is installed.
Shell& shell();
void install_shell(Shell* s);

// The moves between the windows, on top of the shell.
Form1& open_post_processing();  // the post-processing window, shown
Form2& open_modelling();        // the modelling window, shown
Form2* modelling_window();      // the modelling window when it is loaded
Form3& section_editor();        // the section editor, loaded (shown or not)
Form5& point_dialog();          // the point dialog, loaded (shown or not)
Form6& combinations_dialog();   // the load combinations dialog, loaded (shown or not)
Form7& report_dialog();         // the report's title block dialog, loaded (shown or not)
// The hand-over value, shown on Form4 (loaded for it).
void hand_over(const SectionHandOver& value);
SectionHandOver handed_over();
