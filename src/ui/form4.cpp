// The hand-over window.
#include "ui/form4.h"

#include "formats/json.h"
#include "formats/numtext.h"
#include "ui/qt_controls.h"

namespace {
int number_in(const QLineEdit* t) {
  const std::string text = text_of(t);
  return text.empty() ? 0 : to_i16(to_number(text));
}

void show_number(QLineEdit* t, int n) {
  if (number_in(t) != n) t->setText(QString::number(n));
}
}  // namespace

Form4::Form4() : FormWindow("Form4", "Form4", 4500, 2000) {
  make_label(this, "Label1", "Form2.n_gr", {120, 120, 1800, 300});
  Text1 = make_text(this, "Text1", {}, {2040, 120, 1800, 300});
  make_label(this, "Label2", "Form2.n_gr_m", {120, 540, 1800, 300});
  Text2 = make_text(this, "Text2", {}, {2040, 540, 1800, 300});
  make_label(this, "Label3", "Form2.Del_Flag", {120, 960, 1800, 300});
  Text3 = make_text(this, "Text3", {}, {2040, 960, 1800, 300});
}

void Form4::dump(JsonWriter& j) {
  j.key("n_gr").value(text_of(Text1)).key("n_gr_m").value(text_of(Text2)).key("Del_Flag").value(text_of(Text3));
}

SectionHandOver Form4::value() const { return {number_in(Text1), number_in(Text2), number_in(Text3)}; }

void Form4::show_value(const SectionHandOver& v) {
  show_number(Text1, v.n_gr);
  show_number(Text2, v.n_gr_m);
  show_number(Text3, v.del_flag);
}
