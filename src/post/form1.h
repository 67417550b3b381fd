// The post-processing window: the optimised frame cycle by cycle. This part holds its view
// controls and its frames; reading and browsing results build on them.
#pragma once

#include "view/form_view.h"

class QCheckBox;

class Form1 : public ViewForm {
  Q_OBJECT

 public:
  Form1();

  void Form_Load() override;
  void dump(JsonWriter& j) override;
  bool call(const std::string& procedure) override;

  void Draw_3D();
  void redraw() override { Draw_3D(); }

  void Check1_Click();
  void Form_MouseDown(int button, int shift, float x, float y) override;
  void Form_MouseMove(int button, int shift, float x, float y) override;
  void Form_MouseUp(int button, int shift, float x, float y) override;

  QPushButton* Command8;  // IN
  QPushButton* Command9;  // OUT
  QCheckBox* Check1;      // Hidden Lines

  int16_t res_ok = 0;

 private:
  void wire();
};
