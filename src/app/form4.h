// The hand-over record between the modelling window and the section editor: three texts under
// "Form2.n_gr", "Form2.n_gr_m" and "Form2.Del_Flag" on a window that is loaded but never shown.
#pragma once

#include "app/form_window.h"

class QLineEdit;

class Form4 : public FormWindow {
  Q_OBJECT

 public:
  Form4();
  void Form_Unload() override {}
  void dump(JsonWriter& j) override;

  QLineEdit* Text1;  // Form2.n_gr
  QLineEdit* Text2;  // Form2.n_gr_m
  QLineEdit* Text3;  // Form2.Del_Flag
};
