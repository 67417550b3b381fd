// The post-processing window driven as a user drives it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QXYSeries>
#include <filesystem>
#include <set>

#include <sys/stat.h>

#include "app/forms.h"
#include "base/window_settings.h"
#include "base/number_labels.h"
#include "formats/fields.h"
#include "support/drawing.h"
#include "support/robustness.h"
#include "support/window_test.h"
#include "ui/form1.h"
#include "ui/qt_convergence_plot.h"

namespace fs = std::filesystem;

namespace {

constexpr int design_colour = 6, section_colour = 0, centre_colour = 14;

int lines_in(const RecordingCanvas& c, int colour) { return test_support::count_of(c.primitives(), test_support::Op::line, colour); }

// The result set's file cut to its first n lines, or with line n (1-based) replaced by text.
void cut_results(int n) {
  test_support::write_file("post_pl.dat", test_support::first_lines_of(test_support::file_lines("post_pl.dat"), n));
}
void replace_result_lines(const std::vector<std::pair<int, std::string>>& changes) {
  auto lines = test_support::file_lines("post_pl.dat");
  for (const auto& [n, text] : changes) lines.at(size_t(n - 1)) = text;
  test_support::write_file("post_pl.dat", test_support::crlf(lines));
}

// The hand-made result set (six elements, three cycles; in the last, element 1 alone has the
// maximum diameter 20) in the post-processing window.
class PostWindow : public test_support::WindowTest {
 protected:
  PostWindow() {
    test_support::copy_result_set();
    run("click frmSplash.Command3\n");
  }
  Form1& f() { return Forms::form1(); }
  bool read_state() {  // the window as a successful read leaves it
    return !f().Frame1->isHidden() && !f().Frame2->isHidden() && !f().Frame3->isHidden() && !f().Frame4->isHidden() &&
           f().Command1->isHidden() && f().store.res_ok == 1;
  }
  bool load_state() {
    return f().Frame1->isHidden() && f().Frame2->isHidden() && f().Frame3->isHidden() && f().Frame4->isHidden() &&
           !f().Command1->isHidden() && f().store.res_ok == 0;
  }
};

// The program started in a folder whose settings file is planted first.
class KeptSettings : public test_support::WindowTest {};

}  // namespace

// A settings file that cannot be read loses those settings and no more: the window opens with
// the settings' defaults, says why, and reads the results.
TEST_F(KeptSettings, ASettingsFileThatCannotBeReadOpensTheWindowSayingWhy) {
  test_support::copy_result_set();
  const struct {
    void (*plant)();
    const char* why;
  } cases[] = {
      {[] { fs::create_directory(post_settings_name); }, "a folder, not a regular file"},
      {[] { ASSERT_EQ(::mkfifo(post_settings_name, 0600), 0); }, "a named pipe, not a regular file"},
      {[] { fs::create_symlink(post_settings_name, post_settings_name); }, "a loop of symbolic links"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    fs::remove_all(post_settings_name);
    c.plant();
    run(std::string("restart\nclick frmSplash.Command3\nexpect Form1 shown\nexpect Form1.Label60 text The settings kept "
                    "are not used: Not a data file (post_settings.csv: ") +
        c.why + ")\nexpect Form1.Text7 text 235\nexpect-error none\n");
    run("click Form1.Command1\nexpect-error none\nexpect Form1.Command1 shown 0\n");
  }
}

TEST_F(PostWindow, ReadDataShowsTheLastOfThreeCycles) {
  ASSERT_TRUE(load_state());
  run("click Form1.Command1\n");
  ASSERT_TRUE(read_state());
  EXPECT_EQ(f().store.pn_cyc, 3);
  // Cycle 3 at threshold 1.0: element 1 alone a prism, four centre lines, the section bar.
  EXPECT_EQ(lines_in(f().canvas(), design_colour), 18);
  EXPECT_EQ(lines_in(f().canvas(), centre_colour), 4);
  EXPECT_EQ(lines_in(f().canvas(), section_colour), 16);
  // Cycle 1: every design element at 10.95, all thinner than 20.
  run("set Form1.HScroll4 1\nexpect Form1.Text4 text 1\n");
  EXPECT_EQ(lines_in(f().canvas(), design_colour), 0);
  EXPECT_EQ(lines_in(f().canvas(), centre_colour), 5);
  EXPECT_TRUE(errors().empty());
}

// "Node No." and "Elem. No." number the nodes and elements drawn as beams: at threshold 1 element
// 1 (nodes 1 and 4) and the section bar 3 (nodes 3 and 4).
TEST_F(PostWindow, NodeAndElementNumbersOfTheBeamsDrawn) {
  run("click Form1.Command1\nclick Form1.Check6\n");
  auto numbers = [&] {
    std::multiset<std::string> out;
    for (const Primitive& p : test_support::of(f().canvas().primitives(), test_support::Op::text))
      if (p.state.font_size == label_points) out.insert(p.text);
    return out;
  };
  EXPECT_EQ(numbers(), (std::multiset<std::string>{"1", "3", "4"}));
  run("click Form1.Check7\n");
  EXPECT_EQ(numbers(), (std::multiset<std::string>{"1", "1", "3", "3", "4"}));
  run("click Form1.Check6\n");
  EXPECT_EQ(numbers(), (std::multiset<std::string>{"1", "3"}));
}

TEST_F(PostWindow, PlotFollowsTheCycleAndAClickOnItChoosesOne) {
  EXPECT_TRUE(f().Plot1->isHidden() && f().Command10->isHidden());
  run("click Form1.Command1\n");
  EXPECT_FALSE(f().Plot1->isHidden() || f().Command10->isHidden());
  // The series are the cycle lines of the result file: cycle, compliance, volume ratio.
  run("expect-state Form1 plot [[1,5100,0.3],[2,3200,0.3],[3,2900,0.3]]\n");
  EXPECT_EQ(f().Plot1->marked(), 3);
  run("set Form1.HScroll4 1\n");
  EXPECT_EQ(f().Plot1->marked(), 1);

  f().Plot1->resize(400, 300);
  const QPointF at = f().Plot1->position_of(2);
  QMouseEvent press(QEvent::MouseButtonPress, at, f().Plot1->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(f().Plot1->viewport(), &press);
  run("expect Form1.HScroll4 value 2\nexpect Form1.Text4 text 2\n");
  EXPECT_EQ(f().Plot1->marked(), 2);

  // The scenario's export: the design on screen, and an unwritable place named.
  run("export frame.dxf\nexpect-error none\nexport missing/frame.stl\n"
      "expect-error Cannot write file (missing/frame.stl: the folder does not exist)\n");
  EXPECT_TRUE(fs::exists("frame.dxf"));
  EXPECT_FALSE(fs::exists("missing"));
}

// Log or linear, the compliance axis never runs below zero and its labels fit left of the plot.
TEST_F(PostWindow, PlotAxesFitTheirLabelsAtEveryMagnitude) {
  run("click Form1.Command1\n");
  // 2900..5100 N mm within a decade: log10(1.05) room each side, 2762..5355, ends on 1000s.
  run("expect-state Form1 plot_axes {\"cycle\":[1,3,false],\"compliance\":[2000,6000,true],"
      "\"volume\":[0.28,0.32,false]}\n");
  // Linear: 5 % room, 2790..5210, ends on 500s.
  run("click Form1.Check30\nexpect-state Form1 plot_axes {\"cycle\":[1,3,false],\"compliance\":[2500,5500,false],"
      "\"volume\":[0.28,0.32,false]}\n");

  f().Plot1->resize(368, 344);  // its size in the window
  for (double scale : {1e2, 1e6, 1e9})
    for (bool log : {true, false}) {
      SCOPED_TRACE(std::to_string(scale) + (log ? " log" : " linear"));
      f().Plot1->Check30->setChecked(log);
      // A first cycle ten times the last, as real runs start.
      f().Plot1->set_history({{1, 10 * scale, 0.5}, {2, 2 * scale, 0.3}, {3, 1.001 * scale, 0.3}, {4, scale, 0.3}});
      const PlotAxis& a = f().Plot1->compliance_axis();
      EXPECT_EQ(a.log, log);
      EXPECT_GE(a.min, 0);
      EXPECT_LE(a.min, scale);
      EXPECT_GE(a.max, 10 * scale);
      if (log) {
        EXPECT_GT(a.min, 0.1 * scale);  // the last cycles are not squashed against a zero
      }
      auto* axis = qobject_cast<QCategoryAxis*>(f().Plot1->chart()->axes(Qt::Vertical).at(0));
      ASSERT_NE(axis, nullptr);
      const QFontMetrics metrics(axis->labelsFont());
      ASSERT_EQ(axis->categoriesLabels().size(), static_cast<qsizetype>(a.ticks.size()));
      QCoreApplication::processEvents();
      for (const PlotTick& t : a.ticks)
        EXPECT_LT(metrics.horizontalAdvance(QString::fromStdString(t.label)), f().Plot1->chart()->plotArea().left())
            << t.label;
    }
}

// The status line; the threshold shown as a diameter (of the last cycle's maximum 20 mm).
TEST_F(PostWindow, StatusLineAndThresholdDiameter) {
  run("click Form1.Command1\nexpect-state Form1 status \"Read 3 cycles of 6 elements from post_pl.dat\"\n"
      "expect Form1.Label61 text = 20 mm\nset Form1.HScroll5 45\nexpect Form1.Label61 text = 9 mm\n"
      "export frame.csv\nexpect Form1.Label60 text Exported cycle 3 at threshold 0.45 to frame.csv\n"
      "export missing/frame.csv\n"
      "expect Form1.Label60 text Nothing exported: Cannot write file (missing/frame.csv: the folder does not exist)\n");
}

TEST_F(PostWindow, CycleAndThresholdMirrors) {
  run("click Form1.Command1\n");
  const int clears = f().canvas().clears();
  run("set Form1.Text5 0.555\n");
  EXPECT_EQ(f().canvas().clears(), clears + 1);
  run("set Form1.HScroll5 90\nexpect Form1.Text5 text 0.9\n");  // 18 = 0.9 x 20: element 2 too
  EXPECT_EQ(lines_in(f().canvas(), design_colour), 36);

  // 2 cannot reach the scroll bar: no redraw, the text stays, and the next redraw uses it.
  const int before = f().canvas().clears();
  run("set Form1.Text5 2\n");
  EXPECT_EQ(f().canvas().clears(), before);
  run("click Form1.Check1\n");
  EXPECT_EQ(lines_in(f().canvas(), design_colour), 0);
  EXPECT_EQ(lines_in(f().canvas(), centre_colour), 5);

  // 0 is below the cycle scroll bar: a redraw meanwhile keeps the last cycle.
  run("set Form1.Text4 0\nset Form1.Text5 x\nclick Form1.Check1\n");  // threshold from the scroll bar: 0.9
  EXPECT_EQ(lines_in(f().canvas(), design_colour), 36);
  EXPECT_EQ(f().Text4->text(), "0");

  run("set Form1.HScroll5 0\n");
  EXPECT_EQ(lines_in(f().canvas(), design_colour), 5 * 18);
  EXPECT_EQ(lines_in(f().canvas(), centre_colour), 0);
  // Hidden lines paint every face.
  run("click Form1.Check1\n");
  EXPECT_EQ(f().display.faces().size(), 5u * 6u + 4u);
  EXPECT_EQ(lines_in(f().canvas(), 7), 2 * 34);
  EXPECT_TRUE(errors().empty());
}

TEST_F(PostWindow, FailedReadsLeaveTheWindowAsItWas) {
  // No result file: the status line says why.
  fs::remove("post_pl.dat");
  run("click Form1.Command1\nexpect Form1.Command1 shown 1\n");
  EXPECT_EQ(f().status().rfind("Nothing read: ", 0), 0u) << f().status();
  EXPECT_NE(f().status().find("post_pl.dat"), std::string::npos) << f().status();
  test_support::copy_result_set();
  // The last cycle cut short (40 lines less one): rejected without a word, the button stays.
  cut_results(39);
  run("click Form1.Command1\n");
  EXPECT_TRUE(load_state());
  EXPECT_TRUE(errors().empty());

  // A complete result file, but no section file: the error names the file, nothing changes.
  test_support::copy_result_set();
  fs::remove("cross_data_4th.dat");
  run("click Form1.Command1\nexpect-error cross_data_4th.dat\n");
  EXPECT_TRUE(load_state());
  EXPECT_EQ(f().store.pn_node, 0);
  EXPECT_EQ(f().Text6->text(), "0");

  // Once the file is there, the same button reads everything.
  test_support::copy_result_set();
  run("click Form1.Command1\nexpect-error none\n");
  EXPECT_TRUE(read_state());
}

TEST_F(PostWindow, AResultWithoutCyclesShowsOnlyTheAxes) {
  cut_results(7);  // header and six element lines
  run("click Form1.Command1\nexpect-error none\n");
  EXPECT_TRUE(read_state());
  EXPECT_EQ(f().Text4->text(), "0");
  EXPECT_EQ(f().HScroll4->maximum(), 1);
  EXPECT_EQ(f().canvas().primitives().size(), 6u);  // three axes and their letters
  run("set Form1.HScroll5 0\nclick Form1.Check1\n");
  EXPECT_EQ(f().canvas().primitives().size(), 6u);
  // There is no design to export, and the dialog does not open for nothing.
  run("click Form1.Command10\nexpect-error Nothing to export (the result file holds no cycle)\n"
      "export none.csv\nexpect-error Nothing to export\n");
  EXPECT_FALSE(fs::exists("none.csv"));
}

TEST_F(PostWindow, ReAnalysisShowsTheModellingWindowAndAFreshWindowStartsEmpty) {
  run("click Form1.Command1\nclick Form1.Command7\nexpect Form1 unloaded\nexpect Form2 shown\n"
      "expect Form2.Label29 shown 0\n");
  // refem ran: it looks for the temporary data file first, which this directory lacks.
  ASSERT_FALSE(errors().empty());
  EXPECT_NE(errors().back().find("temp_save.dat"), std::string::npos);
  Forms::unload("Form2");
  Forms::show("Form1");
  // The store and the read went with the old window.
  EXPECT_TRUE(load_state());
  EXPECT_EQ(f().store.pn_cyc, 0);
}

// A maximum diameter of 1E+9 mm cannot be drawn at the starting view: the read is applied whole
// all the same, the message says so, and another cycle draws.
TEST_F(PostWindow, AResultTooLargeToDrawIsStillReadWhole) {
  // Header (maximum 1E+9) and element 1 of cycle 3 (line 35) at that maximum.
  replace_result_lines({{1, FieldLine().i5(4).i5(6).e15(1e9).str()}, {35, FieldLine().i5(1).e15(1e9).str()}});
  run("click Form1.Command1\n");
  EXPECT_TRUE(read_state());
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors().back().rfind("Overflow", 0), 0u) << errors().back();
  EXPECT_NE(errors().back().find("the results are read, but cycle 3 cannot be drawn"), std::string::npos)
      << errors().back();
  run("expect-error Overflow\n");
  run("set Form1.HScroll4 1\nexpect-error none\n");
  EXPECT_EQ(lines_in(f().canvas(), centre_colour), 5);
  // Once the read is over, the cycle that cannot be drawn says so again when it is shown.
  run("set Form1.HScroll4 3\nexpect-error Overflow\n");
}

// Cycle lines that carry the compliance but not the volume ratio: the plot shows the compliance.
TEST_F(PostWindow, ThePlotShowsWhatTheCycleLinesCarry) {
  replace_result_lines({{8, FieldLine().i5(1).e15(5100).str()}, {19, FieldLine().i5(2).e15(3200).str()},
                        {30, FieldLine().i5(3).e15(2900).str()}});
  run("click Form1.Command1\nexpect-error none\nexpect-state Form1 plot [[1,5100,null],[2,3200,null],[3,2900,null]]\n");
  const auto series = f().Plot1->chart()->series();
  ASSERT_GE(series.size(), 2);
  EXPECT_EQ(static_cast<QXYSeries*>(series[0])->count(), 3);
  EXPECT_EQ(static_cast<QXYSeries*>(series[1])->count(), 0);
  EXPECT_EQ(f().Plot1->marked(), 3);
}

// A name typed with double quotes is taken as typed, not read as a list of quoted names.
TEST_F(PostWindow, ANameTypedWithDoubleQuotesIsTakenAsTyped) {
  run("click Form1.Command1\n");
  QTimer typing;
  typing.setInterval(20);
  QObject::connect(&typing, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    typing.stop();
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText("my design \"v2\".stl");
    static_cast<QDialog*>(dialog)->accept();  // as "Save" does
  });
  typing.start();
  run("click Form1.Command10\nexpect-error none\n");
  EXPECT_TRUE(fs::exists("my design \"v2\".stl"));
  EXPECT_FALSE(fs::exists("v2.csv") || fs::exists("v2"));
}

