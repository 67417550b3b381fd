// The report dialog: six texts of the title block and the two ways out.
#include "ui/form7.h"

#include <QLineEdit>

#include "formats/json.h"
#include "ui/qt_controls.h"

Form7::Form7() : FormWindow("Form7", "Report", 6600, 3720) {
  QLineEdit** fields[] = {&Text1, &Text2, &Text3, &Text4, &Text5, &Text6};
  for (size_t k = 0; k < report_title_fields.size(); ++k) {
    const int y = 120 + static_cast<int>(k) * 420;
    const std::string label = "Label" + std::to_string(k + 1), text = "Text" + std::to_string(k + 1);
    make_label(this, label.c_str(), report_title_fields[k], {120, y + 30, 1800, 300});
    *fields[k] = make_text(this, text.c_str(), {}, {2040, y, 4440, 300},
                           QString("%1 on the Report's First Page").arg(report_title_fields[k]));
  }
  Command1 = make_button(this, "Command1", "OK", {3360, 2760, 1500, 420}, "Keep the Title Block and Write the Report");
  Command2 = make_button(this, "Command2", "Cancel", {4980, 2760, 1500, 420}, "Close without Writing");
  on_click(Command1, this, &Form7::Command1_Click);
  on_click(Command2, this, &Form7::Command2_Click);
}

void Form7::edit(const ReportTitle& title, std::function<void(const ReportTitle&)> accepted) {
  accepted_ = std::move(accepted);
  QLineEdit* fields[] = {Text1, Text2, Text3, Text4, Text5, Text6};
  for (size_t k = 0; k < title.size(); ++k) fields[k]->setText(QString::fromStdString(title[k]));
}

ReportTitle Form7::title() const {
  const QLineEdit* fields[] = {Text1, Text2, Text3, Text4, Text5, Text6};
  ReportTitle t;
  for (size_t k = 0; k < t.size(); ++k) t[k] = text_of(fields[k]);
  return t;
}

// The dialog closes first, so that the file dialog that follows stands alone.
void Form7::Command1_Click() {
  hide();
  if (accepted_) accepted_(title());
}

void Form7::Command2_Click() { hide(); }

void Form7::dump(JsonWriter& j) {
  j.key("title").begin_array();
  for (const std::string& t : title()) j.value(t);
  j.end_array();
}
