// The window registry and the end of the program, and the shell the windows call.
#include "app/forms.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <map>

#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"
#include "ui/form7.h"
#include "ui/frm_splash.h"
#include "ui/shell.h"

namespace {
struct Entry {
  std::function<FormWindow*()> create;
  QPointer<FormWindow> window;
};

std::map<std::string, Entry>& registry() {
  static std::map<std::string, Entry> r = {
      {"frmSplash", {[] { return new frmSplash; }, {}}},
      {"Form1", {[] { return new Form1; }, {}}},
      {"Form2", {[] { return new Form2; }, {}}},
      {"Form3", {[] { return new Form3; }, {}}},
      {"Form4", {[] { return new Form4; }, {}}},
      {"Form5", {[] { return new Form5; }, {}}},
      {"Form6", {[] { return new Form6; }, {}}},
      {"Form7", {[] { return new Form7; }, {}}},
  };
  return r;
}

std::function<void()>& end_handler() {
  static std::function<void()> h = [] { QCoreApplication::exit(0); };
  return h;
}

bool& ended_flag() {
  static bool e = false;
  return e;
}

Entry& entry(const std::string& name) {
  auto it = registry().find(name);
  if (it == registry().end()) raise_error(err::subscript, "no window " + name);
  return it->second;
}
}  // namespace

FormWindow& Forms::load(const std::string& name) {
  Entry& e = entry(name);
  if (!e.window) {
    e.window = e.create();
    e.window->Form_Load();
  }
  return *e.window;
}

FormWindow* Forms::find(const std::string& name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : it->second.window.data();
}

bool Forms::is_known(const std::string& name) { return registry().count(name) != 0; }

std::vector<std::string> Forms::names() {
  std::vector<std::string> n;
  for (const auto& [name, e] : registry()) n.push_back(name);
  return n;
}

FormWindow& Forms::show(const std::string& name) {
  FormWindow& w = load(name);
  w.show();
  // The headless platform has no window stack to raise a window in.
  if (QGuiApplication::platformName() != "offscreen") {
    w.raise();
    w.activateWindow();
  }
  return w;
}

void Forms::unload(const std::string& name) {
  Entry& e = entry(name);
  if (!e.window) return;
  FormWindow* w = e.window;
  e.window.clear();
  w->hide();
  w->deleteLater();
}

void Forms::end_program() {
  for (const std::string& name : names()) unload(name);
  ended_flag() = true;
  end_handler()();
}

void Forms::set_end_handler(std::function<void()> handler) {
  end_handler() = std::move(handler);
  ended_flag() = false;
}

bool Forms::ended() { return ended_flag(); }

Form1& Forms::form1() { return static_cast<Form1&>(load("Form1")); }
Form2& Forms::form2() { return static_cast<Form2&>(load("Form2")); }
Form3& Forms::form3() { return static_cast<Form3&>(load("Form3")); }
Form4& Forms::form4() { return static_cast<Form4&>(load("Form4")); }
Form5& Forms::form5() { return static_cast<Form5&>(load("Form5")); }


namespace {
// The windows' way to the registry.
class ProgramShell : public Shell {
 public:
  FormWindow& load(const std::string& name) override { return Forms::load(name); }
  FormWindow* find(const std::string& name) override { return Forms::find(name); }
  FormWindow& show(const std::string& name) override { return Forms::show(name); }
  void unload(const std::string& name) override { Forms::unload(name); }
  void end_program() override { Forms::end_program(); }
};

ProgramShell program_shell;
// Installed with the registry: whatever uses the registry has linked this file.
const bool shell_installed = (install_shell(&program_shell), true);
}  // namespace
