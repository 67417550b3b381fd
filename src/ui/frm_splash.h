// The start-up window: the program's name and notice, and the way into modelling ("Start",
// any key, a click on its frame), into post-processing ("POST") or out ("Exit").
#pragma once

#include "ui/form_window.h"

class QLabel;
class QPushButton;

class frmSplash : public FormWindow {
  Q_OBJECT

 public:
  frmSplash();

  void Command1_Click();  // Start
  void Command2_Click();  // Exit
  void Command3_Click();  // POST
  void Frame1_Click();
  void Form_KeyPress(int ascii) override;

  QWidget* Frame1;
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* Command3;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void wire();
};
