// topo: the solver with a live display. The engine of topo_nd runs on a worker thread and the
// window shows the current design cycle by cycle with the post-processing window's result
// display, beside the same per-cycle lines topo_nd prints and a convergence plot that grows
// with every cycle, and keeps the same run log. When the run ends the window stays on the last
// cycle (or on the error) until it is closed; exits non-zero after an error.
// Started by the modelling window with `--beside X,Y,W,H --keep X,Y,W,H`, the post-processing
// window's place on the screen, beside which it opens, and the box of its controls, which it
// leaves uncovered when the screen has no room beside it. `topo --close-at-end` closes the window itself when the
// run ends (for headless runs).
#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/analysis_model.h"
#include "base/placement.h"
#include "formats/errors.h"
#include "formats/fields.h"
#include "post/result_display.h"
#include "section/section_table.h"
#include "solver/solver_run.h"
#include "ui/form_view.h"
#include "ui/qt_controls.h"
#include "ui/qt_convergence_plot.h"

namespace {

// Design elements thinner than this fraction of "Max Diame." are shown as dotted centre lines:
// the beams the optimisation is dropping.
constexpr float live_threshold = 0.1f;

constexpr int form_width = 19920, form_height = 8235, column = 8400, column_width = 5640;
constexpr int plot_column = 14280, plot_width = 5520;

class TopoWindow : public ViewForm {
 public:
  TopoWindow()
      : ViewForm("topo", form_width, form_height, post_view, pi_post, {"Command8", "IN", "Command9", "OUT"}, column,
                 120) {
    setWindowTitle("MARULLA - topo");
    view_load();
    Check1 = make_check(this, "Check1", "Hidden Lines", {column + 120, 2100, 3000, 300},
                        "Select Display Option of Hidden Lines");
    status_ = make_label(this, "Label5", "Reading the model ...", {column, 2500, column_width, 840});
    status_->setWordWrap(true);
    log_ = new QPlainTextEdit(this);
    log_->setObjectName("Text4");
    log_->setReadOnly(true);
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPointSize(8);
    log_->setFont(mono);
    place(log_, {column, 3400, column_width, 4580});
    plot = new ConvergencePlot(this);
    plot->setObjectName("Plot1");
    place(plot, {plot_column, 120, plot_width, 7860});
    on_click(Check1, this, &TopoWindow::redraw);
  }

  std::function<void()> on_close;

  void redraw() override {
    ResultPicture p;
    p.cycle = 1;
    p.threshold = live_threshold;
    p.hidden_lines = value_of(Check1) == 1;
    p.angles = view_angles();
    p.view = view_win;
    display_.draw(canvas(), store_, p);
  }

  // The mesh of the model, drawn from now on with each cycle's diameters.
  void set_model(const ModelFile& m, const SectionTable& sections) {
    if (m.n_node > max_result_nodes || m.n_elem > max_result_elements) {
      status_->setText(QString("%1 nodes, %2 elements: beyond what the picture holds (%3, %4); the run goes on")
                           .arg(m.n_node)
                           .arg(m.n_elem)
                           .arg(max_result_nodes)
                           .arg(max_result_elements));
      return;
    }
    ResultStore& r = store_;
    r.pn_node = static_cast<int16_t>(m.n_node);
    r.pn_elem = static_cast<int16_t>(m.n_elem);
    r.pd_max = m.settings.max_diameter;
    for (int i = 1; i <= m.n_node; ++i)
      for (int a = 1; a <= 3; ++a) r.pnode_xyz(1, i, a) = static_cast<float>(m.nodes[size_t(i - 1)][size_t(a - 1)]);
    for (int e = 1; e <= m.n_elem; ++e) {
      const ModelFileElement& el = m.elements[size_t(e - 1)];
      r.pe_nod(e, 1) = static_cast<int16_t>(el.node1);
      r.pe_nod(e, 2) = static_cast<int16_t>(el.node2);
      // A design set has its first value (E) negated: the kind the result file writes.
      r.pe_flag(e) = m.props[size_t(el.prop - 1)][0] < 0 ? 0 : 1;
      for (int a = 1; a <= 3; ++a) r.pe_ref(e, a) = static_cast<float>(el.ref[size_t(a - 1)]);
    }
    r.sections = sections;
    drawable_ = true;
    status_->setText(QString("%1 nodes, %2 elements: running ...").arg(m.n_node).arg(m.n_elem));
  }

  void show_cycle(const CycleRecord& c) {
    if (!drawable_) return;
    store_.pn_cyc = 1;
    for (int e = 1; e <= store_.pn_elem; ++e) store_.pe_dia(1, e) = static_cast<float>(c.diameters[size_t(e - 1)]);
    run_guarded([&] { redraw(); });
  }

  // The newest cycle stays in sight.
  void append(const std::vector<std::string>& lines) {
    for (const std::string& l : lines) log_->appendPlainText(QString::fromStdString(l));
    log_->moveCursor(QTextCursor::End);
    log_->moveCursor(QTextCursor::StartOfLine);
    log_->ensureCursorVisible();
  }

  void finish(const std::string& message) { status_->setText(QString::fromStdString(message)); }

  void Form_MouseDown(int button, int, float x, float y) override {
    if (!turn_down(button, value_of(Check2) == 1, x, y)) box_zoom_down(value_of(Check2) == 1, x, y);
  }
  void Form_MouseMove(int, int shift, float x, float y) override {
    turn_move(shift, x, y);
    box_zoom_move(x, y);
  }
  void Form_MouseUp(int, int, float x, float y) override {
    if (!turn_up()) box_zoom_up(x, y);
  }
  // The close button ends the program (and the run, at the end of its cycle).
  void Form_Unload() override {
    hide();
    if (on_close) on_close();
  }

  QCheckBox* Check1;
  ConvergencePlot* plot;

 private:
  QLabel* status_;
  QPlainTextEdit* log_;
  ResultStore store_;
  ResultDisplay display_;
  bool drawable_ = false;
};

// The run on its worker thread and what it hands to the window: new log lines and the latest
// cycle, taken together on the window's thread (a slow redraw skips cycles, never lines).
class Run {
 public:
  explicit Run(TopoWindow& w, bool close_at_end) : window_(w), close_at_end_(close_at_end) {}
  ~Run() { join(); }

  void start() { worker_ = std::thread([this] { work(); }); }
  void stop() { stop_ = true; }
  void join() {
    if (worker_.joinable()) worker_.join();
  }
  bool failed() const { return failed_; }

 private:
  void work() {
    RunWatcher watch;
    watch.line = [this](const std::string& line) { say(line); };
    watch.model_read = [this](const ModelFile& model) {
      // The sketches only draw the non-design bars: a run without them still runs.
      SectionTable sections;
      try {
        sections = read_section_file(section_file_name, ThicknessField::ignore);
      } catch (const std::exception&) {
      }
      on_window([this, model, sections] { window_.set_model(model, sections); });
    };
    watch.cycle_kept = [this](const CycleRecord& c) {
      {
        std::lock_guard lock(mutex_);
        latest_ = c;
        post_locked();
      }
      on_window([this, p = CyclePoint{c.cycle, c.compliance, c.volume_ratio}] { window_.plot->add(p); });
    };
    watch.stop_asked = [this] { return stop_.load(); };
    const RunOutcome out = run_in_directory(watch);
    switch (out.end) {
      case RunOutcome::End::finished:
        end(out.message);
        return;
      case RunOutcome::End::stopped:
        // Stopped from the post-processing window, the window stays open on the last cycle.
        if (!stop_) return end(out.message);
        std::printf("%s\n", out.message.c_str());  // the window is closed already
        return;
      case RunOutcome::End::failed:
      case RunOutcome::End::busy:
        break;
    }
    // Another solver's directory is left as it is; any other failure keeps the cycles done.
    failed_ = true;
    std::fprintf(stderr, "topo: %s\n", out.message.c_str());
    const std::string kept = out.end == RunOutcome::End::failed ? " (" + kept_in_results(out.cycles_done) + ")" : "";
    end("Error: " + out.message + kept);
  }

  void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
    post_locked();
  }

  // One hand-over on its way at a time; it takes whatever has gathered when it runs.
  void post_locked() {
    if (posted_) return;
    posted_ = true;
    on_window([this] { take(); });
  }

  void take() {
    std::vector<std::string> lines;
    std::optional<CycleRecord> latest;
    {
      std::lock_guard lock(mutex_);
      lines.swap(lines_);
      latest.swap(latest_);
      posted_ = false;
    }
    window_.append(lines);
    if (latest) window_.show_cycle(*latest);
  }

  void end(const std::string& message) {
    std::printf("%s\n", message.c_str());
    std::fflush(stdout);
    on_window([this, message] {
      take();
      window_.finish(message);
      if (close_at_end_) QCoreApplication::quit();
    });
  }

  void on_window(std::function<void()> f) {
    QMetaObject::invokeMethod(&window_, std::move(f), Qt::QueuedConnection);
  }

  TopoWindow& window_;
  bool close_at_end_;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> failed_{false};
  std::mutex mutex_;
  std::vector<std::string> lines_;
  std::optional<CycleRecord> latest_;
  bool posted_ = false;
};

// Beside the window that started the run, or where the screen has no room for that, over no
// control of it, made smaller where the room asks (the frame keeps its borders).
void place_clear_of_controls(QWidget& window, const ScreenRect& starter, const ScreenRect& controls) {
  const QRect screen = window.screen()->availableGeometry(), frame = window.frameGeometry();
  const ScreenRect at = place_clear_of(starter, controls, frame.width(), frame.height(),
                                       {screen.x(), screen.y(), screen.width(), screen.height()}, 8);
  const int borders_w = frame.width() - window.width(), borders_h = frame.height() - window.height();
  if (at.width < frame.width() || at.height < frame.height()) window.resize(at.width - borders_w, at.height - borders_h);
  window.move(at.x, at.y);
}
}  // namespace

int main(int argc, char** argv) {
  ignore_file_size_signal();  // a write past the file-size limit fails, it does not end the program
  std::signal(SIGPIPE, SIG_IGN);  // the program that started it may be gone, and its error output with it
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  bool close_at_end = false;
  std::optional<ScreenRect> beside, keep;
  for (int i = 1; i < argc; ++i) {
    ScreenRect r;
    if (std::string(argv[i]) == "--close-at-end") {
      close_at_end = true;
    } else if (std::string(argv[i]) == "--beside" && i + 1 < argc &&
               std::sscanf(argv[i + 1], "%d,%d,%d,%d", &r.x, &r.y, &r.width, &r.height) == 4) {
      beside = r;
      ++i;
    } else if (std::string(argv[i]) == "--keep" && i + 1 < argc &&
               std::sscanf(argv[i + 1], "%d,%d,%d,%d", &r.x, &r.y, &r.width, &r.height) == 4) {
      keep = r;
      ++i;
    } else {
      std::fprintf(stderr, "usage: topo [--close-at-end] [--beside X,Y,WIDTH,HEIGHT [--keep X,Y,WIDTH,HEIGHT]]\n");
      return 2;
    }
  }
  // A drawing that fails (a coordinate beyond the Single range) is told, not fatal.
  set_error_reporter([](const std::string& message) { std::fprintf(stderr, "topo: display: %s\n", message.c_str()); });

  TopoWindow window;
  Run run(window, close_at_end);
  window.on_close = [&run] {
    run.stop();
    QCoreApplication::quit();
  };
  window.show();
  if (beside) place_clear_of_controls(window, *beside, keep.value_or(*beside));
  window.redraw();
  run.start();
  app.exec();
  run.join();
  return run.failed() ? 1 : 0;
}
