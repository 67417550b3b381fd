// The hand-over record between the modelling window and the section editor: three texts under
// "Form2.n_gr", "Form2.n_gr_m" and "Form2.Del_Flag" on a window that is loaded but never shown.
// They show the value handed over (ui/shell.h).
#pragma once

#include "ui/form_window.h"
#include "ui/shell.h"

class QLineEdit;

class Form4 : public FormWindow {
  Q_OBJECT

 public:
  Form4();
  void Form_Unload() override {}
  void dump(JsonWriter& j) override;

  // The value the texts show (an empty text is 0), and showing a value: a text changes only
  // where its number does.
  SectionHandOver value() const;
  void show_value(const SectionHandOver& v);

  QLineEdit* Text1;  // Form2.n_gr
  QLineEdit* Text2;  // Form2.n_gr_m
  QLineEdit* Text3;  // Form2.Del_Flag
};
