// Creating the controls of a window at their designer positions (twips) under their designer
// names, and wiring handlers so that a run-time error inside one is reported, not fatal.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QRadioButton>
#include <QScrollBar>
#include <QString>

#include "formats/errors.h"

// Left, top, width, height in twips.
struct Twips {
  int left, top, width, height;
};

void place(QWidget* w, Twips at);

QPushButton* make_button(QWidget* parent, const char* name, const QString& caption, Twips at,
                         const QString& tip = {});
QLineEdit* make_text(QWidget* parent, const char* name, const QString& text, Twips at, const QString& tip = {});
QScrollBar* make_hscroll(QWidget* parent, const char* name, int min, int max, int value, Twips at);
QCheckBox* make_check(QWidget* parent, const char* name, const QString& caption, Twips at,
                      const QString& tip = {});
QRadioButton* make_option(QWidget* parent, const char* name, const QString& caption, Twips at,
                          const QString& tip = {});
QLabel* make_label(QWidget* parent, const char* name, const QString& caption, Twips at);
// A frame with a caption is a group box; one without is a plain panel.
QWidget* make_frame(QWidget* parent, const char* name, const QString& caption, Twips at,
                    const QString& tip = {});

// Handlers fire exactly when their control's value really changes, from a user or from code:
// a push button on click, a text box on textChanged, a scroll bar on valueChanged, a check box
// on stateChanged and an option button when it becomes selected.
template <typename Window>
void on_click(QPushButton* b, Window* w, void (Window::*handler)()) {
  QObject::connect(b, &QPushButton::clicked, w, [w, handler] { run_guarded([&] { (w->*handler)(); }); });
}
template <typename Window>
void on_change(QLineEdit* t, Window* w, void (Window::*handler)()) {
  QObject::connect(t, &QLineEdit::textChanged, w, [w, handler] { run_guarded([&] { (w->*handler)(); }); });
}
template <typename Window>
void on_change(QScrollBar* s, Window* w, void (Window::*handler)()) {
  QObject::connect(s, &QScrollBar::valueChanged, w, [w, handler] { run_guarded([&] { (w->*handler)(); }); });
}
template <typename Window>
void on_click(QCheckBox* c, Window* w, void (Window::*handler)()) {
  QObject::connect(c, &QCheckBox::stateChanged, w, [w, handler] { run_guarded([&] { (w->*handler)(); }); });
}
template <typename Window>
void on_click(QRadioButton* o, Window* w, void (Window::*handler)()) {
  QObject::connect(o, &QRadioButton::toggled, w, [w, handler](bool on) {
    if (on) run_guarded([&] { (w->*handler)(); });
  });
}

// A text box's change handler, run by the rule of text-box handlers: a step that fails is
// skipped silently (the user is still typing), never reported.
template <typename Step>
void on_edit(QLineEdit* t, QObject* context, Step step) {
  QObject::connect(t, &QLineEdit::textChanged, context, [step] { run_ignoring_errors(step); });
}
template <typename Window>
void on_edit(QLineEdit* t, Window* w, void (Window::*handler)()) {
  on_edit(t, w, [w, handler] { (w->*handler)(); });
}

// The text-box half of a text-box/scroll-bar mirror: a typed number moves the scroll bar when
// its nearest Integer (after `scale`) lies in the bar's range; any other text is ignored.
// The box on the screen of every control of a window, shown or not (its dialogs, windows of
// their own, are none of them): what a window opened beside it keeps clear of.
QRect controls_on_screen(const QWidget& window);

void scroll_from_text(const QLineEdit* text, QScrollBar* scroll, double scale = 1.0);

// A check box's value as 0 or 1, and setting it as code does (its click handler fires on change).
int value_of(const QCheckBox* c);
void set_value(QCheckBox* c, int value);
std::string text_of(const QLineEdit* t);
