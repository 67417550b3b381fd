// The window registry: a window is created on first use (running its Form_Load) and destroyed
// when unloaded; the next use creates a fresh one. Windows are known by their designer names.
#pragma once

#include <functional>
#include <string>
#include <vector>

class FormWindow;
class Form1;
class Form2;
class Form3;
class Form4;
class Form5;

class Forms {
 public:
  // The window, loaded if it is not.
  static FormWindow& load(const std::string& name);
  // The window if it is loaded, else nullptr.
  static FormWindow* find(const std::string& name);
  static bool is_known(const std::string& name);
  static std::vector<std::string> names();
  // Loads and shows the window.
  static FormWindow& show(const std::string& name);
  // Hides and destroys the window (safe from inside one of its own handlers).
  static void unload(const std::string& name);

  // Ends the program: every window is unloaded, then the end handler runs (the program quits
  // its event loop; the scenario runner records it).
  static void end_program();
  // A new end handler starts a new run: the program counts as not ended.
  static void set_end_handler(std::function<void()> handler);
  static bool ended();

  static Form1& form1();
  static Form2& form2();
  static Form3& form3();
  static Form4& form4();
  static Form5& form5();
};
