// The report dialog "Report": the job's title block (project, job number, structure, designer,
// checker, revision) that opens the calculation report. "OK" hands the six texts to whoever
// opened the dialog, which keeps them and writes the report; "Cancel" leaves both as they were.
#pragma once

#include <functional>

#include "export/report.h"
#include "ui/form_window.h"

class QLineEdit;
class QPushButton;

class Form7 : public FormWindow {
  Q_OBJECT

 public:
  Form7();
  void Form_Unload() override { hide(); }
  void dump(JsonWriter& j) override;

  // Shows `title` in the texts; `accepted` receives them on "OK".
  void edit(const ReportTitle& title, std::function<void(const ReportTitle&)> accepted);
  ReportTitle title() const;

  void Command1_Click();  // OK
  void Command2_Click();  // Cancel

  QLineEdit* Text1;  // Project
  QLineEdit* Text2;  // Job number
  QLineEdit* Text3;  // Structure
  QLineEdit* Text4;  // Designer
  QLineEdit* Text5;  // Checker
  QLineEdit* Text6;  // Revision
  QPushButton* Command1;
  QPushButton* Command2;

 private:
  std::function<void(const ReportTitle&)> accepted_;
};
