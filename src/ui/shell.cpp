// The shell the windows call, and the moves between windows on top of it.
#include "ui/shell.h"

#include "formats/errors.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"
#include "ui/form7.h"

namespace {
Shell*& installed() {
  static Shell* s = nullptr;
  return s;
}

template <typename Window>
Window& loaded(const char* name) {
  return static_cast<Window&>(shell().load(name));
}
}  // namespace

Shell& shell() {
  if (installed() == nullptr) raise_error(err::subscript, "no program shell");
  return *installed();
}

void install_shell(Shell* s) { installed() = s; }

Form1& open_post_processing() { return static_cast<Form1&>(shell().show("Form1")); }
Form2& open_modelling() { return static_cast<Form2&>(shell().show("Form2")); }
Form2* modelling_window() { return static_cast<Form2*>(shell().find("Form2")); }
Form3& section_editor() { return loaded<Form3>("Form3"); }
Form5& point_dialog() { return loaded<Form5>("Form5"); }
Form6& combinations_dialog() { return loaded<Form6>("Form6"); }
Form7& report_dialog() { return loaded<Form7>("Form7"); }

void hand_over(const SectionHandOver& value) { loaded<Form4>("Form4").show_value(value); }
SectionHandOver handed_over() { return loaded<Form4>("Form4").value(); }
