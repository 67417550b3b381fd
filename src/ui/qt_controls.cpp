// Control factories and small accessors shared by every window.
#include "ui/qt_controls.h"

#include "formats/mirror.h"
#include "ui/qt_canvas.h"

void place(QWidget* w, Twips at) {
  w->setGeometry(at.left / twips_per_pixel, at.top / twips_per_pixel, at.width / twips_per_pixel,
                 at.height / twips_per_pixel);
}

namespace {
template <typename W>
W* named(W* w, const char* name, Twips at, const QString& tip) {
  w->setObjectName(name);
  place(w, at);
  if (!tip.isEmpty()) w->setToolTip(tip);
  return w;
}
}  // namespace

QPushButton* make_button(QWidget* parent, const char* name, const QString& caption, Twips at, const QString& tip) {
  auto* b = named(new QPushButton(caption, parent), name, at, tip);
  b->setAutoDefault(false);
  return b;
}

QLineEdit* make_text(QWidget* parent, const char* name, const QString& text, Twips at, const QString& tip) {
  return named(new QLineEdit(text, parent), name, at, tip);
}

QScrollBar* make_hscroll(QWidget* parent, const char* name, int min, int max, int value, Twips at) {
  auto* s = named(new QScrollBar(Qt::Horizontal, parent), name, at, {});
  s->setRange(min, max);
  s->setValue(value);
  s->setSingleStep(1);
  s->setPageStep(1);
  return s;
}

QCheckBox* make_check(QWidget* parent, const char* name, const QString& caption, Twips at, const QString& tip) {
  return named(new QCheckBox(caption, parent), name, at, tip);
}

QRadioButton* make_option(QWidget* parent, const char* name, const QString& caption, Twips at, const QString& tip) {
  return named(new QRadioButton(caption, parent), name, at, tip);
}

QLabel* make_label(QWidget* parent, const char* name, const QString& caption, Twips at) {
  auto* l = named(new QLabel(caption, parent), name, at, {});
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

QWidget* make_frame(QWidget* parent, const char* name, const QString& caption, Twips at, const QString& tip) {
  if (caption.isEmpty()) return named(new QWidget(parent), name, at, tip);
  return named(new QGroupBox(caption, parent), name, at, tip);
}

int value_of(const QCheckBox* c) { return c->isChecked() ? 1 : 0; }

void set_value(QCheckBox* c, int value) { c->setChecked(value != 0); }

std::string text_of(const QLineEdit* t) { return t->text().toStdString(); }

void scroll_from_text(const QLineEdit* text, QScrollBar* scroll, double scale) {
  if (auto v = mirror_value(text_of(text), scroll->minimum(), scroll->maximum(), scale)) scroll->setValue(*v);
}

QRect controls_on_screen(const QWidget& window) {
  QRect box;
  for (const QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!w->isWindow()) box |= w->geometry();
  return box.translated(window.mapToGlobal(QPoint(0, 0)));
}

