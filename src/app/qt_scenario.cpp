// Commands of the scenario runner, each acting as a user would or checking what is shown.
#include "app/qt_scenario.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <filesystem>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <thread>
#include <sstream>

#include "app/forms.h"
#include "base/processes.h"
#include "base/run_files.h"
#include "formats/errors.h"
#include "formats/json.h"
#include "formats/numtext.h"
#include "ui/form1.h"
#include "ui/form_window.h"

namespace {
// Splits off the first word; the rest keeps its inner spaces.
std::pair<std::string, std::string> split_word(const std::string& s) {
  const size_t start = s.find_first_not_of(' ');
  if (start == std::string::npos) return {"", ""};
  const size_t end = s.find(' ', start);
  if (end == std::string::npos) return {s.substr(start), ""};
  return {s.substr(start, end - start), s.substr(end + 1)};
}

// FILE LINE TEXT of expect-file and edit-file: TEXT is everything after the one space that
// follows LINE, a whole number from 1; the lines of FILE in the working directory, each
// without its LF.
struct FileLineArgs {
  std::string file;
  size_t line = 0;
  std::string text;
  std::vector<std::string> lines;
};

// Reads the arguments and the file; the message of what is wrong, or an empty one.
std::string read_file_line(const std::string& rest, const std::string& command, FileLineArgs& args) {
  auto [file, tail] = split_word(rest);
  auto [number, text] = split_word(tail);
  if (file.empty() || !is_number(number) || to_number(number) < 1 || to_number(number) > 1e9)
    return command + " needs FILE LINE TEXT";
  args = {file, static_cast<size_t>(to_number(number)), text, {}};
  std::ifstream in(file, std::ios::binary);
  if (!in) return "no file " + file;
  for (std::string line; std::getline(in, line);) args.lines.push_back(line);
  if (args.line > args.lines.size()) return file + " has " + std::to_string(args.lines.size()) + " lines";
  return {};
}

std::vector<std::string> words_of(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> w;
  for (std::string x; in >> x;) w.push_back(x);
  return w;
}

void settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

std::string property_of(QWidget* w, const std::string& prop) {
  if (prop == "shown") return w->isHidden() ? "0" : "1";
  if (prop == "enabled") return w->isEnabled() ? "1" : "0";
  if (prop == "text") {
    if (auto* t = qobject_cast<QLineEdit*>(w)) return t->text().toStdString();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
  }
  if (prop == "value" || prop == "checked") {
    if (auto* s = qobject_cast<QScrollBar*>(w)) return std::to_string(s->value());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? "1" : "0";
  }
  if (prop == "caption") {
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (w->isWindow()) return w->windowTitle().toStdString();
  }
  if (prop == "tooltip") return w->toolTip().toStdString();
  if (prop == "min") {
    if (auto* s = qobject_cast<QScrollBar*>(w)) return std::to_string(s->minimum());
  }
  if (prop == "max") {
    if (auto* s = qobject_cast<QScrollBar*>(w)) return std::to_string(s->maximum());
  }
  return "<no " + prop + ">";
}

// The JSON text of the top-level entry `name` of an object written by JsonWriter (no spaces).
std::string json_entry(const std::string& json, const std::string& name) {
  const std::string key = "\"" + name + "\":";
  int depth = 0;
  bool in_string = false;
  for (size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (in_string) {
      if (c == '\\') ++i;
      else if (c == '"') in_string = false;
      continue;
    }
    if (c == '{' || c == '[') ++depth;
    if (c == '}' || c == ']') --depth;
    if (c == '"') {
      if (depth == 1 && json.compare(i, key.size(), key) == 0) {
        size_t end = i + key.size();
        int d = 0;
        bool str = false;
        for (; end < json.size(); ++end) {
          const char e = json[end];
          if (str) {
            if (e == '\\') ++end;
            else if (e == '"') str = false;
            continue;
          }
          if (e == '"') str = true;
          if (e == '{' || e == '[') ++d;
          if (e == '}' || e == ']') {
            if (d == 0) break;
            --d;
          }
          if (e == ',' && d == 0) break;
        }
        return json.substr(i + key.size(), end - i - key.size());
      }
      in_string = true;
    }
  }
  return {};
}

void send_click(QWidget* w) {
  const QPointF centre(w->width() / 2.0, w->height() / 2.0);
  const QPointF global = w->mapToGlobal(centre);
  QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
  QCoreApplication::sendEvent(w, &release);
}
}  // namespace

ScenarioRunner::ScenarioRunner() {
  set_error_reporter([this](const std::string& message) { errors_.push_back(message); });
  Forms::set_end_handler([] {});
  Forms::show("frmSplash");
  settle();
}

ScenarioRunner::~ScenarioRunner() {
  for (const std::string& name : Forms::names()) Forms::unload(name);
  settle();
}

bool ScenarioRunner::run(std::istream& in) {
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!run_line(line)) {
      failure_ = "line " + std::to_string(number) + ": " + line + "\n  " + failure_;
      return false;
    }
  }
  return true;
}

bool ScenarioRunner::run_text(const std::string& text) {
  std::istringstream in(text);
  return run(in);
}

bool ScenarioRunner::fail(const std::string& what) {
  failure_ = what;
  return false;
}

// Each command with what it takes: the rest of the line after the command word.
bool ScenarioRunner::dispatch(const std::string& command, const std::string& rest) {
  using Handler = bool (ScenarioRunner::*)(const std::string&);
  static const std::map<std::string, Handler> commands = {
      {"click", &ScenarioRunner::click_command},   {"set", &ScenarioRunner::set_command},
      {"key", &ScenarioRunner::key_command},       {"mouse", &ScenarioRunner::mouse_command},
      {"wheel", &ScenarioRunner::wheel_command},
      {"call", &ScenarioRunner::call_command},     {"expect", &ScenarioRunner::expect},
      {"expect-state", &ScenarioRunner::expect_state}, {"expect-error", &ScenarioRunner::expect_error},
      {"expect-file", &ScenarioRunner::expect_file}, {"copy", &ScenarioRunner::copy_command},
      {"wait-file", &ScenarioRunner::wait_file},   {"wait-run", &ScenarioRunner::wait_run},
      {"restart", &ScenarioRunner::restart},
      {"dump", &ScenarioRunner::dump_command},     {"grab", &ScenarioRunner::grab_command},
      {"canvas", &ScenarioRunner::canvas_command}, {"export", &ScenarioRunner::export_command},
      {"edit-file", &ScenarioRunner::edit_file},
  };
  const auto it = commands.find(command);
  if (it == commands.end()) return fail("unknown command " + command);
  return (this->*(it->second))(rest);
}

bool ScenarioRunner::run_line(const std::string& raw) {
  auto [command, rest] = split_word(raw);
  if (command.empty() || command[0] == '#') return true;
  const bool ok = dispatch(command, rest);
  settle();
  return ok;
}

bool ScenarioRunner::click_command(const std::string& rest) { return click(split_word(rest).first); }

bool ScenarioRunner::set_command(const std::string& rest) {
  auto [target, value] = split_word(rest);
  return set(target, value);
}

bool ScenarioRunner::key_command(const std::string& rest) {
  auto [window, ch] = split_word(rest);
  return key(window, ch);
}

bool ScenarioRunner::mouse_command(const std::string& rest) { return mouse(words_of(rest)); }

// wheel W X Y STEPS: the mouse wheel turned STEPS notches (negative towards the user) with the
// pointer at (X, Y) twips, through the window's own wheel event.
bool ScenarioRunner::wheel_command(const std::string& rest) {
  const auto w = words_of(rest);
  if (w.size() != 4 || !is_number(w[1]) || !is_number(w[2]) || !is_number(w[3]))
    return fail("wheel needs WINDOW X Y STEPS");
  FormWindow* window = loaded(w[0]);
  if (!window || !reachable(window, nullptr, w[0])) return false;
  const QPointF at(to_number(w[1]) / twips_per_pixel, to_number(w[2]) / twips_per_pixel);
  QWheelEvent e(at, window->mapToGlobal(at), QPoint(), QPoint(0, static_cast<int>(to_number(w[3]) * 120)), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(window, &e);
  return true;
}

bool ScenarioRunner::call_command(const std::string& rest) { return call(split_word(rest).first); }

bool ScenarioRunner::copy_command(const std::string& rest) {
  const auto w = words_of(rest);
  return w.size() == 2 ? copy(w[0], w[1]) : fail("copy needs a source and a destination");
}

bool ScenarioRunner::dump_command(const std::string& rest) { return output_command("dump", rest); }
bool ScenarioRunner::grab_command(const std::string& rest) { return output_command("grab", rest); }
bool ScenarioRunner::canvas_command(const std::string& rest) { return output_command("canvas", rest); }

bool ScenarioRunner::output_command(const std::string& what, const std::string& rest) {
  const auto w = words_of(rest);
  return w.size() == 2 ? write_output(what, w[0], w[1]) : fail(what + " needs a window and a file");
}

// export FILE: "Export..." of the post-processing window with FILE in place of its dialog.
bool ScenarioRunner::export_command(const std::string& rest) {
  const auto w = words_of(rest);
  if (w.size() != 1) return fail("export needs a file");
  FormWindow* window = loaded("Form1");
  if (!window) return false;
  Form1& f = Forms::form1();
  if (!reachable(window, f.Command10, "Form1.Command10")) return false;
  run_guarded([&] { f.export_design_to(w[0]); });
  return true;
}

// wait-file FILE SECONDS: waits until FILE exists in the working directory and the solver the
// program started last has ended.
bool ScenarioRunner::wait_file(const std::string& rest) {
  const auto w = words_of(rest);
  if (w.size() != 2 || !is_number(w[1])) return fail("wait-file needs FILE SECONDS");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(to_number(w[1]));
  while (!std::filesystem::exists(w[0]) || child_running(last_solver_process())) {
    if (std::chrono::steady_clock::now() > deadline) return fail(w[0] + " not complete after " + w[1] + " s");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QCoreApplication::processEvents();
  }
  return true;
}

// wait-run SECONDS: waits, with the program's events going on, until the post-processing
// window no longer shows its run as "running" nor searches for the lightest frame, and no
// solver holds the directory.
bool ScenarioRunner::wait_run(const std::string& rest) {
  const auto w = words_of(rest);
  if (w.size() != 1 || !is_number(w[0])) return fail("wait-run needs SECONDS");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(to_number(w[0]));
  for (;;) {
    FormWindow* post = loaded("Form1");
    if (!post) return false;
    JsonWriter j;
    j.begin_object();
    post->dump(j);
    j.end_object();
    if (json_entry(j.str(), "run_state") != "\"running\"" && json_entry(j.str(), "lightest_running") != "true" &&
        lock_holder() == 0)
      return true;
    if (std::chrono::steady_clock::now() > deadline) return fail("the run still goes on after " + w[0] + " s");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QCoreApplication::processEvents();
  }
}

// restart: the program ends and starts again in the same working directory.
bool ScenarioRunner::restart(const std::string&) {
  for (const std::string& name : Forms::names()) Forms::unload(name);
  settle();
  Forms::set_end_handler([] {});
  Forms::show("frmSplash");
  return true;
}

FormWindow* ScenarioRunner::loaded(const std::string& window) {
  if (!Forms::is_known(window)) {
    fail("no window " + window);
    return nullptr;
  }
  FormWindow* w = Forms::find(window);
  if (!w) fail(window + " is not loaded");
  return w;
}

QWidget* ScenarioRunner::control(const std::string& target, FormWindow** window) {
  const size_t dot = target.find('.');
  if (dot == std::string::npos) {
    fail("expected WINDOW.CONTROL, found " + target);
    return nullptr;
  }
  FormWindow* w = loaded(target.substr(0, dot));
  if (!w) return nullptr;
  if (window) *window = w;
  auto* c = w->findChild<QWidget*>(QString::fromStdString(target.substr(dot + 1)));
  if (!c) fail("no control " + target);
  return c;
}

bool ScenarioRunner::reachable(FormWindow* window, QWidget* c, const std::string& target) {
  if (!window->isVisible()) return fail(window->objectName().toStdString() + " is not shown");
  if (!window->isEnabled()) return fail(window->objectName().toStdString() + " is switched off");
  if (c && !c->isVisibleTo(window)) return fail(target + " is hidden");
  if (c && !c->isEnabled()) return fail(target + " is disabled");
  return true;
}

bool ScenarioRunner::click(const std::string& target) {
  FormWindow* w = nullptr;
  QWidget* c = control(target, &w);
  if (!c || !reachable(w, c, target)) return false;
  if (auto* b = qobject_cast<QAbstractButton*>(c))
    b->click();
  else
    send_click(c);
  return true;
}

bool ScenarioRunner::set(const std::string& target, const std::string& value) {
  if (const size_t open = target.find('('); open != std::string::npos && target.back() == ')')
    return set_cell(target.substr(0, open), target.substr(open + 1, target.size() - open - 2), value);
  FormWindow* w = nullptr;
  QWidget* c = control(target, &w);
  if (!c || !reachable(w, c, target)) return false;
  if (auto* t = qobject_cast<QLineEdit*>(c)) {
    t->setText(QString::fromStdString(value));
    return true;
  }
  if (!is_number(value)) return fail("set " + target + " needs a number, found \"" + value + "\"");
  const double v = to_number(value);
  if (auto* s = qobject_cast<QScrollBar*>(c)) {
    if (v < s->minimum() || v > s->maximum() || v != static_cast<int>(v))
      return fail(target + " cannot take " + value);
    s->setValue(static_cast<int>(v));
    return true;
  }
  if (auto* b = qobject_cast<QCheckBox*>(c)) {
    if (v != 0 && v != 1) return fail(target + " takes 0 or 1");
    b->setChecked(v == 1);
    return true;
  }
  return fail(target + " cannot be set");
}

// W.C(ROW,COLUMN): a cell of a table, both counted from 1, as a user types it.
bool ScenarioRunner::set_cell(const std::string& target, const std::string& cell, const std::string& value) {
  FormWindow* w = nullptr;
  QWidget* c = control(target, &w);
  if (!c || !reachable(w, c, target)) return false;
  auto* t = qobject_cast<QTableWidget*>(c);
  if (!t) return fail(target + " is not a table");
  const size_t comma = cell.find(',');
  const std::string row = cell.substr(0, comma), column = comma == std::string::npos ? "" : cell.substr(comma + 1);
  if (!is_number(row) || !is_number(column)) return fail("a cell is (ROW,COLUMN), found (" + cell + ")");
  const int r = static_cast<int>(to_number(row)), k = static_cast<int>(to_number(column));
  if (r < 1 || r > t->rowCount() || k < 1 || k > t->columnCount()) return fail(target + " has no cell (" + cell + ")");
  t->setItem(r - 1, k - 1, new QTableWidgetItem(QString::fromStdString(value)));
  return true;
}

bool ScenarioRunner::key(const std::string& window, const std::string& ch) {
  FormWindow* w = loaded(window);
  if (!w || !reachable(w, nullptr, window)) return false;
  const QString text = ch == "space" ? QString(" ") : ch == "escape" ? QString("\x1b") : QString::fromStdString(ch.substr(0, 1));
  if (text.isEmpty()) return fail("key needs a character");
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
  QCoreApplication::sendEvent(w, &press);
  return true;
}

bool ScenarioRunner::mouse(std::vector<std::string> words) {
  // Shift held: the last word (1 in the handlers' shift argument).
  const int shift = words.size() > 4 && words.back() == "shift" ? 1 : 0;
  if (shift) words.pop_back();
  if (words.size() < 4 || words.size() > 5 || !is_number(words[2]) || !is_number(words[3]))
    return fail("mouse needs WINDOW down|move|up X Y [left|right] [shift]");
  const std::string side = words.size() == 5 ? words[4] : "left";
  if (side != "left" && side != "right") return fail("mouse takes the left or the right button");
  const int button = side == "left" ? 1 : 2;
  FormWindow* w = loaded(words[0]);
  if (!w || !reachable(w, nullptr, words[0])) return false;
  const float x = static_cast<float>(to_number(words[2])), y = static_cast<float>(to_number(words[3]));
  const std::string& what = words[1];
  if (what != "down" && what != "move" && what != "up") return fail("mouse needs down, move or up");
  run_guarded([&] {
    if (what == "down") {
      mouse_buttons_ = button;
      w->Form_MouseDown(button, shift, x, y);
    } else if (what == "move") {
      w->Form_MouseMove(mouse_buttons_, shift, x, y);
    } else if (what == "up") {
      mouse_buttons_ = 0;
      w->Form_MouseUp(button, shift, x, y);
    }
  });
  return true;
}

bool ScenarioRunner::call(const std::string& target) {
  const size_t dot = target.find('.');
  if (dot == std::string::npos) return fail("expected WINDOW.PROCEDURE");
  FormWindow* w = loaded(target.substr(0, dot));
  if (!w) return false;
  bool known = true;
  run_guarded([&] { known = w->call(target.substr(dot + 1)); });
  return known ? true : fail("no procedure " + target);
}

bool ScenarioRunner::expect(const std::string& rest) {
  auto [target, tail] = split_word(rest);
  if (target.find('.') == std::string::npos) {
    const std::string state = split_word(tail).first;
    if (!Forms::is_known(target)) return fail("no window " + target);
    FormWindow* w = Forms::find(target);
    std::string found = !w ? "unloaded" : w->isVisible() ? "shown" : "hidden";
    if (state == "loaded" ? w != nullptr : state == found) return true;
    return fail("expected " + state + ", found " + found);
  }
  auto [prop, value] = split_word(tail);
  QWidget* c = control(target);
  if (!c) return false;
  // "contains": the text holds VALUE somewhere, for status lines whose figures vary.
  if (prop == "contains") {
    const std::string text = property_of(c, "text");
    if (text.find(value) != std::string::npos) return true;
    return fail("expected text containing \"" + value + "\", found \"" + text + "\"");
  }
  const std::string found = property_of(c, prop);
  if (found == value) return true;
  return fail("expected " + prop + " \"" + value + "\", found \"" + found + "\"");
}

bool ScenarioRunner::expect_error(const std::string& text) {
  std::vector<std::string> seen;
  seen.swap(errors_);
  if (text == "none") {
    if (seen.empty()) return true;
    return fail("expected no error, found \"" + seen.back() + "\"");
  }
  if (seen.empty()) return fail("expected an error containing \"" + text + "\", found none");
  if (seen.back().find(text) != std::string::npos) return true;
  return fail("expected an error containing \"" + text + "\", found \"" + seen.back() + "\"");
}

// expect-state W NAME VALUE: the JSON text of the dump's top-level entry NAME is VALUE; with
// "contains TEXT" for VALUE it holds TEXT somewhere, for entries whose figures vary.
bool ScenarioRunner::expect_state(const std::string& rest) {
  auto [window, tail] = split_word(rest);
  auto [name, value] = split_word(tail);
  FormWindow* w = loaded(window);
  if (!w) return false;
  JsonWriter j;
  j.begin_object();
  w->dump(j);
  j.end_object();
  const std::string found = json_entry(j.str(), name);
  if (found == value) return true;
  if (const auto [word, text] = split_word(value); word == "contains" && !found.empty() && found.find(text) != std::string::npos)
    return true;
  return fail("expected " + name + " " + value + ", found " + (found.empty() ? "nothing" : found));
}

// expect-file FILE LINE TEXT: line LINE (from 1) of FILE in the working directory, without
// its line end, is TEXT exactly; TEXT is everything after the one space that follows LINE.
bool ScenarioRunner::expect_file(const std::string& rest) {
  FileLineArgs args;
  if (const std::string problem = read_file_line(rest, "expect-file", args); !problem.empty()) return fail(problem);
  std::string line = args.lines[args.line - 1];
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line == args.text) return true;
  return fail("expected line " + std::to_string(args.line) + " \"" + args.text + "\", found \"" + line + "\"");
}

// edit-file FILE LINE TEXT: line LINE (from 1) of FILE in the working directory becomes TEXT,
// as a user who damages a data file by hand would leave it; the other lines keep their ends.
bool ScenarioRunner::edit_file(const std::string& rest) {
  FileLineArgs args;
  if (const std::string problem = read_file_line(rest, "edit-file", args); !problem.empty()) return fail(problem);
  args.lines[args.line - 1] = args.text + "\r";
  std::ofstream out(args.file, std::ios::binary | std::ios::trunc);
  for (const std::string& line : args.lines) out << line << "\n";
  return out.good() ? true : fail("cannot write " + args.file);
}

bool ScenarioRunner::write_output(const std::string& what, const std::string& window, const std::string& file) {
  FormWindow* w = loaded(window);
  if (!w) return false;
  if (what == "grab") return w->grab().save(QString::fromStdString(file)) ? true : fail("cannot write " + file);
  std::ofstream out(file, std::ios::binary);
  if (what == "dump") {
    JsonWriter j;
    j.begin_object().key("window").value(window);
    w->dump(j);
    j.end_object();
    out << j.str() << "\n";
  } else {
    out << w->canvas().to_json_lines();
  }
  return out.good() ? true : fail("cannot write " + file);
}

// copy SRC DEST: a fixture file (SRC beside the scenario file) into the working directory.
bool ScenarioRunner::copy(const std::string& source, const std::string& destination) {
  const std::filesystem::path from = std::filesystem::path(base_directory_) / source;
  std::error_code ec;
  std::filesystem::copy_file(from, destination, std::filesystem::copy_options::overwrite_existing, ec);
  return ec ? fail("cannot copy " + from.string() + " to " + destination + ": " + ec.message()) : true;
}
