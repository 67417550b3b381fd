// The post-processing window: its controls, "Read Data", the cycle and threshold mirrors, the
// redraw, the convergence plot and the export, and the ways out.
#include "ui/form1.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <exception>
#include <filesystem>
#include <utility>

#include "base/processes.h"
#include "base/run_files.h"
#include "base/window_settings.h"
#include "evaluate/evaluation.h"
#include "export/fe_deck.h"
#include "export/force_tables.h"
#include "export/report.h"
#include "formats/json.h"
#include "formats/numtext.h"
#include "post/design_export.h"
#include "post/result_file.h"
#include "model/model_store.h"
#include "ui/form2.h"
#include "ui/form6.h"
#include "ui/form7.h"
#include "ui/pdf_report.h"
#include "ui/qt_controls.h"
#include "ui/qt_convergence_plot.h"
#include "ui/shell.h"

// The range a setting of the window may take, as the guide states it, with the caption it is
// named by; 0 besides switches a limit off where `zero_allowed`.
struct SettingRange {
  const char* caption;
  double low, high;
  bool zero_allowed = false;
  bool whole = false;
};

namespace {
// A third column beside the original window holds the convergence plot and the export.
constexpr int form_width = 19920, form_height = 12660;
constexpr int column = 8400, column_width = 5640;
constexpr int plot_column = 14280, plot_width = 5520;

constexpr SettingRange yield_range{"Yield stress [N/mm2]", 100, 1000};
constexpr SettingRange k_range{"Buckling length factor K", 0.1, 10};
constexpr SettingRange gamma_m0_range{"gamma_M0", 1, 2};
constexpr SettingRange gamma_m1_range{"gamma_M1", 1, 2};
constexpr SettingRange slenderness_range{"Slenderness limit L/i", 10, 1000, true};
constexpr SettingRange density_range{"Density [kg/m3]", 100, 50000};
constexpr SettingRange section_types_range{"Section types", 0, 1000, true, true};
constexpr SettingRange deflection_range{"Deflection limit [mm]", 0.001, 100000, true};

// "Yield stress [N/mm2]: 1e308 is refused (from 100 to 1000); 235 is used".
std::string refusal_text(const SettingRange& r, const std::string& typed, double used) {
  return std::string(r.caption) + ": " + typed + " is refused (" + (r.whole ? "a whole number " : "") +
         (r.zero_allowed && r.low > 0 ? "0 or " : "") + "from " + plain_text(r.low) + " to " + plain_text(r.high) + "); " +
         plain_text(used) + " is used";
}

constexpr const char* export_filters =
    "Table (*.csv);;Solid mesh, binary STL (*.stl);;Drawing, DXF (*.dxf);;Input deck for an FE program (*.inp);;"
    "Calculation report, PDF (*.pdf)";

// The dialog of this toolkit reads a name with double quotes as a list of quoted names
// ('my design "v2".stl' becomes "v2"): the name is taken as typed instead.
QString name_as_typed(const QFileDialog& dialog) {
  const QString chosen = dialog.selectedFiles().front();
  const auto* typed = dialog.findChild<QLineEdit*>("fileNameEdit");
  if (typed == nullptr || !typed->text().contains('"')) return chosen;
  const QString text = typed->text().trimmed();
  return QFileInfo(text).isAbsolute() ? text : dialog.directory().filePath(text);
}

// A name typed without an extension takes the one of the filter chosen in the dialog.
std::string with_extension(const QString& path, const QString& filter) {
  std::filesystem::path p = path.toStdString();
  if (p.extension().empty()) {
    const qsizetype star = filter.indexOf("*.");
    if (star >= 0) p += filter.mid(star + 1, 4).toStdString();
  }
  return p.string();
}

// Each axis of the plot as [minimum, maximum, logarithmic].
void write_plot_axes(JsonWriter& j, const ConvergencePlot& plot) {
  j.key("plot_axes").begin_object();
  for (auto [name, axis] : {std::pair{"cycle", plot.cycle_axis()}, std::pair{"compliance", plot.compliance_axis()},
                            std::pair{"volume", plot.volume_axis()}})
    j.key(name).begin_array().value(axis.min).value(axis.max).value(axis.log).end_array();
  j.end_object();
}
}  // namespace

// Without the window that follows it, the program holds the run's directory no longer; the
// lock file goes only with a solver that has ended.
Form1::~Form1() {
  if (solver_pid_ != 0 && solver_pid_ == last_solver_process()) let_go_of_run_lock(!child_running(solver_pid_));
}

Form1::Form1()
    : ViewForm("Form1", form_width, form_height, post_view, pi_post, {"Command8", "IN", "Command9", "OUT"}, column,
               2520) {
  Command8 = zoom_in_button;
  Command9 = zoom_out_button;
  // The controls in the designer's order, which is the order of the tab key.
  Command1 = make_button(this, "Command1", "Read Data", {column, 240, 2400, 480}, "Read Calculated Results");
  make_cycle_frame();
  make_threshold_frame();
  make_hidden_lines_check();
  make_exit_frame();
  make_plot_column();
  make_run_status();
  make_forces_frame();
  make_build_frame();
  make_check_summary();
  make_steel_frame();
  make_loads_frame();
  make_stop_button();
  make_status_line(this, {column, 7400, column_width, 800});
  // Only "Read Data" is there until results are read.
  for (QWidget* c : shown_after_read()) c->hide();
  wire();
}

void Form1::make_cycle_frame() {
  Frame2 = make_frame(this, "Frame2", "Cycle No.", {column, 120, column_width, 840},
                      "Select Cycle No. of Calculation (History of Topology Optimization)");
  Text4 = make_text(Frame2, "Text4", "1", {120, 360, 900, 300});
  // Its maximum becomes the number of cycles read.
  HScroll4 = make_hscroll(Frame2, "HScroll4", 1, 1, 1, {1140, 375, 4380, 270});
}

void Form1::make_threshold_frame() {
  Frame3 = make_frame(this, "Frame3", "Threshold of Density", {column, 1080, column_width, 1320},
                      "Select Threshold of Density [ INPUT VALUE : 1 = Diameter of Each Beam Element : Maximum one ]");
  Text5 = make_text(Frame3, "Text5", "1.0", {120, 360, 900, 300});
  HScroll5 = make_hscroll(Frame3, "HScroll5", 0, 100, 100, {1140, 375, 4380, 270});
  Text6 = make_text(Frame3, "Text6", "0", {120, 840, 1800, 300});
  Label4 = make_label(Frame3, "Label4", "vs. max_Diameter", {2040, 870, 2400, 300});
  Label61 = make_label(Frame3, "Label61", "", {4440, 870, 1140, 300});
  Label61->setToolTip("Threshold as a Diameter [mm]");
}

// The shared view frame grows to take the hidden-lines check under its own controls.
void Form1::make_hidden_lines_check() {
  Frame1->resize(Frame1->width(), 2340 / twips_per_pixel);
  Check1 = make_check(Frame1, "Check1", "Hidden Lines", {120, 1920, 2400, 300}, "Select Display Option of Hidden Lines");
  make_node_numbers_check(Frame1, {2640, 1920, 1380, 300});
  Check7 = make_check(Frame1, "Check7", "Elem. No.", {4080, 1920, 1440, 300},
                      "Show the Number of Each Element Drawn as a Beam at Its Middle");
}

void Form1::make_exit_frame() {
  Frame4 = make_frame(this, "Frame4", "Exit Selection", {column, 4980, column_width, 900});
  Command2 = make_button(Frame4, "Command2", "To Initial", {120, 300, 1700, 480}, "Go to Initial Stage");
  Command7 = make_button(Frame4, "Command7", "To Re-Analysis", {1920, 300, 1700, 480}, "Go to Re-Analysis Stage");
  Command3 = make_button(Frame4, "Command3", "END", {3720, 300, 1700, 480}, "Exit This Program");
}

// The convergence plot and the export, at the top of the third column.
void Form1::make_plot_column() {
  Plot1 = new ConvergencePlot(this);
  Plot1->setObjectName("Plot1");
  place(Plot1, {plot_column, 120, plot_width, 5160});
  Command10 = make_button(this, "Command10", "Export...", {plot_column, 5400, 1800, 480},
                          "Export the Design Shown (.csv Table, .stl Solids, .dxf Lines, .inp FE Deck)");
  Command45 = make_button(this, "Command45", "Report...", {plot_column + 1920, 5400, 1800, 480},
                          "Write the Calculation Report of the Frame Shown (PDF), with the Job's Title Block");
}

// The run's status line, under the ways out; shown only for a run started from here.
void Form1::make_run_status() {
  Label5 = make_label(this, "Label5", "", {column, 6000, column_width, 900});
  Label5->setWordWrap(true);
  Label5->hide();
}

// The member forces of the design shown, under the plot.
void Form1::make_forces_frame() {
  Frame5 = make_frame(this, "Frame5", "Member Forces", {plot_column, 6000, plot_width, 2400},
                      "Forces, Checks and Deformation of the Design Shown");
  Option1 = make_option(Frame5, "Option1", "Diameter", {120, 300, 1500, 300}, "Colour by Diameter (Optimised Design)");
  Option2 = make_option(Frame5, "Option2", "Axial force", {1680, 300, 1740, 300},
                        "Colour by Axial Force: Tension Red, Compression Blue");
  Option3 = make_option(Frame5, "Option3", "Utilisation", {3480, 300, 1900, 300},
                        "Colour by Utilisation: Yield and Euler Buckling, Red at 1");
  Option1->setChecked(true);
  Label6 = make_label(Frame5, "Label6", "Load case", {120, 720, 1000, 300});
  Text9 = make_text(Frame5, "Text9", "0", {1140, 690, 600, 300}, "Load Case No. (0 = Envelope of All Cases)");
  HScroll6 = make_hscroll(Frame5, "HScroll6", 0, 1, 0, {1800, 705, 1500, 270});
  Label7 = make_label(Frame5, "Label7", "all (envelope)", {3420, 720, 2000, 300});
  Check4 = make_check(Frame5, "Check4", "Deformed", {120, 1140, 1500, 300},
                      "Draw the Deformed Frame, Largest Displacement a Tenth of the Frame");
  Label8 = make_label(Frame5, "Label8", "", {1680, 1170, 3700, 300});
  Label9 = make_label(Frame5, "Label9", "Yield stress [N/mm2]", {120, 1590, 2400, 300});
  Text7 = make_text(Frame5, "Text7", "235", {2580, 1560, 900, 300}, "Yield Stress of the Members [N/mm2]");
  Label10 = make_label(Frame5, "Label10", "Buckling length factor K", {120, 1980, 2400, 300});
  Text8 = make_text(Frame5, "Text8", "1.0", {2580, 1950, 900, 300},
                    "Euler Buckling Length = K x Member Length");
}

// The frame to build from the design shown, under the member forces.
void Form1::make_build_frame() {
  Frame6 = make_frame(this, "Frame6", "Frame to Build", {plot_column, 8460, plot_width, 2100},
                      "Clean Frame, Standard Sizes and Its Re-Analysis");
  Command11 = make_button(Frame6, "Command11", "Clean Up", {120, 300, 1600, 420},
                          "Remove Thin, Hanging and Loose Members, and Re-Analyse the Frame Left");
  Command12 = make_button(Frame6, "Command12", "Show Optimised", {1800, 300, 1800, 420}, "Show the Optimised Design Again");
  Check3 = make_check(Frame6, "Check3", "Standard Sizes", {3720, 360, 1740, 300},
                      "Size Every Design Member of the Clean Frame from sections.csv");
  Label12 = make_label(Frame6, "Label12", "Density [kg/m3]", {120, 840, 1800, 300});
  Text10 = make_text(Frame6, "Text10", "7850", {1980, 810, 900, 300}, "Density of the Members for Their Mass [kg/m3]");
  Label47 = make_label(Frame6, "Label47", "Section types", {3000, 840, 1500, 300});
  Text47 = make_text(Frame6, "Text47", "0", {4560, 810, 800, 300},
                     "Most Different Sections the Sizing Uses, Chosen for the Lightest Frame (0 = As Many as Needed)");
  Label48 = make_label(Frame6, "Label48", "Smallest section", {120, 1260, 1500, 300});
  Text48 = make_text(Frame6, "Text48", "", {1680, 1230, 1200, 300},
                     "No Member Smaller than This Section of sections.csv (Empty = None)");
  Command44 = make_button(Frame6, "Command44", "Lightest Frame", {120, 1650, 1600, 420},
                          "Size the Clean Frame at Every Threshold Where It Changes and Show the Lightest that Passes");
  Check43 = make_check(Frame6, "Check43", "Keep optimised areas", {3000, 1260, 2460, 300},
                       "No Member Smaller than Its Optimised Circle's Area (Off: Sizes from the Forces Alone)");
  Check44 = make_check(Frame6, "Check44", "Hold mechanisms", {1800, 1710, 3600, 300},
                       "When the Clean Frame Is a Mechanism, Add Back the Lightest Removed Members that Hold It");
}

// What the checks found, at the foot of the third column.
void Form1::make_check_summary() {
  Label11 = make_label(this, "Label11", "", {plot_column, 10620, plot_width, 1980});
  Label11->setWordWrap(true);
  Label11->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// The steel design settings of the checks, under the status line.
void Form1::make_steel_frame() {
  Frame7 = make_frame(this, "Frame7", "Steel Design", {column, 8220, column_width, 1560},
                      "Settings of the Member Checks (EN 1993-1-1) of Rods and Round Tubes");
  Label41 = make_label(Frame7, "Label41", "Steel grade", {120, 330, 1300, 300});
  Text41 = make_text(Frame7, "Text41", "S235", {1440, 300, 900, 300},
                     "Steel Grade: S235, S275, S355, S420 or S460 (Sets the Yield Stress)");
  Check41 = make_check(Frame7, "Check41", "Cold-formed tubes", {2580, 300, 2700, 300},
                       "Tubes Cold-Formed (Buckling Curve c) rather than Hot-Finished");
  Label42 = make_label(Frame7, "Label42", "gamma_M0", {120, 750, 1260, 300});
  Text42 = make_text(Frame7, "Text42", "1.0", {1440, 720, 700, 300}, "Partial Factor of Cross-Section Resistance");
  Label43 = make_label(Frame7, "Label43", "gamma_M1", {2580, 750, 1260, 300});
  Text43 = make_text(Frame7, "Text43", "1.0", {3900, 720, 700, 300}, "Partial Factor of Buckling Resistance");
  Label44 = make_label(Frame7, "Label44", "Slenderness limit L/i", {120, 1170, 2400, 300});
  Text44 = make_text(Frame7, "Text44", "200", {2580, 1140, 900, 300},
                     "Largest Buckling Length over Radius of Gyration of a Member in Compression (0 = No Limit)");
}

// The loads of the checks beyond the load cases, under the steel design.
void Form1::make_loads_frame() {
  Frame8 = make_frame(this, "Frame8", "Loads", {column, 9840, column_width, 1260},
                      "Self-Weight, Load Combinations and Deflection Limit of the Checks (Not of the Optimisation)");
  Check42 = make_check(Frame8, "Check42", "Self-weight", {120, 330, 1600, 300},
                       "Each Member's Weight (Area x Density x g) along It, in Every Load Case or as the Combinations Say");
  Label45 = make_label(Frame8, "Label45", "Direction", {1800, 330, 1000, 300});
  Text45 = make_text(Frame8, "Text45", "-H", {2820, 300, 600, 300}, "Direction of Gravity: +L, -L, +W, -W, +H or -H");
  Command42 = make_button(Frame8, "Command42", "Combinations...", {3600, 240, 1900, 420},
                          "Edit the Load Combinations (combinations.csv): ULS for the Member Checks, SLS for Deflection");
  Label46 = make_label(Frame8, "Label46", "Deflection limit [mm]", {120, 780, 2400, 300});
  Text46 = make_text(Frame8, "Text46", "0", {2580, 750, 900, 300},
                     "Largest Displacement Allowed in Each SLS Combination, or Each Load Case without Combinations (0 = No Check)");
}

// The timer that follows a run started from here, and "Stop", shown while that run goes on.
void Form1::make_stop_button() {
  run_timer_ = new QTimer(this);
  run_timer_->setInterval(500);
  Command20 = make_button(this, "Command20", "Stop", {column, 6960, 1500, 420},
                          "Stop the Optimization after the Cycle under Way (the Cycles Done are Kept)");
  Command20->hide();
}

// Every handler of the window, in the order of its controls.
void Form1::wire() {
  on_click(Command1, this, &Form1::Command1_Click);
  on_edit(Text4, this, &Form1::Text4_Change);
  on_change(HScroll4, this, &Form1::HScroll4_Change);
  on_edit(Text5, this, &Form1::Text5_Change);
  on_change(HScroll5, this, &Form1::HScroll5_Change);
  on_click(Check1, this, &Form1::Check1_Click);
  on_click(Check7, this, &Form1::Check1_Click);
  on_click(Command2, this, &Form1::Command2_Click);
  on_click(Command7, this, &Form1::Command7_Click);
  on_click(Command3, this, &Form1::Command3_Click);
  Plot1->on_cycle_clicked = [this](int cycle) { run_guarded([&] { Plot1_Click(cycle); }); };
  on_click(Command10, this, &Form1::Command10_Click);
  on_click(Command45, this, &Form1::Command45_Click);
  on_click(Option1, this, &Form1::Option1_Click);
  on_click(Option2, this, &Form1::Option2_Click);
  on_click(Option3, this, &Form1::Option3_Click);
  on_edit(Text9, this, &Form1::Text9_Change);
  on_change(HScroll6, this, &Form1::HScroll6_Change);
  on_click(Check4, this, &Form1::Check4_Click);
  on_edit(Text7, this, &Form1::Text7_Change);
  show_used_on_leave(Text7, [this] { return check_settings_.yield; });
  on_edit(Text8, this, &Form1::Text8_Change);
  show_used_on_leave(Text8, [this] { return check_settings_.k_factor; });
  on_click(Command11, this, &Form1::Command11_Click);
  on_click(Command12, this, &Form1::Command12_Click);
  on_click(Check3, this, &Form1::Check3_Click);
  on_click(Command44, this, &Form1::Command44_Click);
  on_edit(Text10, this, &Form1::Text10_Change);
  show_used_on_leave(Text10, [this] { return loading_.density; });
  on_edit(Text47, this, &Form1::Text47_Change);
  show_used_on_leave(Text47, [this] { return sizing_options_.section_types; });
  on_edit(Text48, this, &Form1::Text48_Change);
  on_click(Check43, this, &Form1::Check43_Click);
  on_click(Check44, this, &Form1::Check44_Click);
  on_edit(Text41, this, &Form1::Text41_Change);
  on_click(Check41, this, &Form1::Check41_Click);
  on_edit(Text42, this, &Form1::Text42_Change);
  show_used_on_leave(Text42, [this] { return check_settings_.gamma_m0; });
  on_edit(Text43, this, &Form1::Text43_Change);
  show_used_on_leave(Text43, [this] { return check_settings_.gamma_m1; });
  on_edit(Text44, this, &Form1::Text44_Change);
  show_used_on_leave(Text44, [this] { return check_settings_.slenderness_limit; });
  on_click(Check42, this, &Form1::Check42_Click);
  on_edit(Text45, this, &Form1::Text45_Change);
  on_click(Command42, this, &Form1::Command42_Click);
  on_edit(Text46, this, &Form1::Text46_Change);
  show_used_on_leave(Text46, [this] { return loading_.deflection_limit; });
  connect(run_timer_, &QTimer::timeout, this, [this] { poll_run(); });
  on_click(Command20, this, &Form1::Command20_Click);
}

void Form1::Form_Load() {
  view_load();
  store.pn_elem = 0;
  store.res_ok = 0;
  apply_kept_settings();
}

void Form1::dump(JsonWriter& j) {
  write_result_json(j, store);
  write_view_json(j);
  j.key("run_state").value(run.state);
  j.key("run_cycle").value(run.cycle);
  j.key("run_message").value(run.message);
  j.key("lightest_running").value(lightest_.joinable());
  write_forces_json(j);
  j.key("plot").begin_array();
  for (const CyclePoint& p : Plot1->history())
    j.begin_array().value(p.cycle).value(p.compliance).value(p.volume_ratio).end_array();
  j.end_array();
  write_plot_axes(j, *Plot1);
}

bool Form1::call(const std::string& procedure) {
  if (procedure == "Draw_3D") return Draw_3D(), true;
  return false;
}

void Form1::follow_run(long long solver_pid, const std::string& start_failure, const std::string& token) {
  solver_pid_ = solver_pid;
  run_token_ = token;
  if (!start_failure.empty()) return show_run({"failed", 0, start_failure});
  run_timer_->start();
  poll_run();
}

// The solver's error output is taken at every look, so that its pipe never fills.
void Form1::poll_run() {
  const bool alive = child_running(solver_pid_);
  const std::string error_line = child_error_line(solver_pid_);
  show_run(run_status(read_run_log(run_log_name, run_token_), alive, alive ? std::string() : error_line));
}

// A run that failed brings the ways out at once: "To Re-Analysis" gives its conditions back.
// Its failure is said here, so the solver's window, which stays open on it, goes.
void Form1::show_run(const RunStatus& status) {
  run = status;
  Label5->setText(QString::fromStdString(store.res_ok == 1 ? once_read(status.message) : status.message));
  Label5->show();
  Command20->setVisible(status.state == "running");
  if (status.state == "running") return;
  if (!Command20->isEnabled()) set_status("The run has ended after the stop asked");
  run_timer_->stop();
  let_go_of_run_lock();  // its end is seen: the directory is free for another run
  if (status.state != "failed") return;
  Frame4->show();
  end_child(solver_pid_);
}

void Form1::Command1_Click() {
  ResultSet set = read_result_set({}, run_token_);
  if (!set.store) {  // the button stays for another try
    set_status("Nothing read: " + (set.refused.empty() ? set.problem : set.refused));
    return nothing_to_read(set);
  }
  store = std::move(*set.store);
  ++results_read_;      // a search under way shows nothing of results read before
  evaluation_.reset();  // the model is read again against these results
  // A damaged combinations file keeps the table held, and is said once the results are read.
  std::optional<std::string> combinations_failure;
  try {
    read_kept_combinations();
  } catch (const std::exception& e) {
    combinations_failure = e.what();
  }
  Text6->setText(QString::fromStdString(set.max_diameter_text));
  // Without any cycle the scroll bar keeps its one position 1 rather than a range below its
  // minimum; the text shows 0 cycles and the picture only the axes.
  HScroll4->setMaximum(std::max<int>(1, store.pn_cyc));
  Plot1->set_history(convergence_history(store));
  // The read is applied whole before the picture is judged: a design that cannot be drawn at
  // this view (diameters or section points far beyond the frame's size) is said once, and the
  // controls that change the cycle, the threshold and the view are there to draw it otherwise.
  {
    reading_ = true;
    const auto done = qScopeGuard([this] { reading_ = false; });
    Text4->setText(QString::number(store.pn_cyc));
    Draw_3D();
  }
  for (QWidget* c : shown_after_read()) c->show();
  Command1->hide();
  const std::string read = "Read " + std::to_string(store.pn_cyc) + " cycles of " + std::to_string(store.pn_elem) +
                           " elements from " + post_file_name;
  set_status(read);
  if (!Label5->isHidden()) Label5->setText(QString::fromStdString(once_read(run.message)));
  HScroll6->setMaximum(load_states());
  if (combinations_failure) report_error(*combinations_failure);
  else if (!loading_.combinations.empty())
    set_status(read + "; " + plural(static_cast<int>(loading_.combinations.size()), "load combination") + " from " +
               combinations_file_name);
  if (const auto failure = std::exchange(picture_failure_, std::nullopt))
    raise_error(failure->name(), (failure->where().empty() ? "" : failure->where() + "; ") +
                                     "the results are read, but cycle " + std::to_string(chosen_cycle()) +
                                     " cannot be drawn at this size: choose another cycle or threshold, or zoom out");
}

std::vector<QWidget*> Form1::shown_after_read() const {
  return {Frame1, Frame2, Frame3, Frame4, Plot1, Command10, Command45, Frame5, Frame6, Label11, Frame7, Frame8};
}

void Form1::HScroll4_Change() {
  Text4->setText(QString::number(HScroll4->value()));
  Draw_3D();
}

void Form1::Text4_Change() { scroll_from_text(Text4, HScroll4); }

void Form1::HScroll5_Change() {
  Text5->setText(QString::fromStdString(plain_text(HScroll5->value() / 100.0)));
  Draw_3D();
}

void Form1::Text5_Change() { scroll_from_text(Text5, HScroll5, 100.0); }

void Form1::Check1_Click() { Draw_3D(); }

int Form1::chosen_cycle() const {
  const std::string text = text_of(Text4);
  if (is_number(text)) {
    try {
      const int c = to_i16(to_number(text));
      if (c >= 1 && c <= store.pn_cyc) return c;
    } catch (const std::exception&) {
    }
  }
  return HScroll4->value();
}

float Form1::chosen_threshold() const {
  const std::string text = text_of(Text5);
  // A threshold the scroll bar cannot hold (2, say) still counts: the text is what was asked for.
  if (is_number(text)) return static_cast<float>(std::clamp(to_number(text), -double(FLT_MAX), double(FLT_MAX)));
  return static_cast<float>(HScroll5->value() / 100.0);
}

ResultPicture Form1::picture_shown() {
  ResultPicture p;
  p.cycle = chosen_cycle();
  p.threshold = chosen_threshold();
  p.hidden_lines = value_of(Check1) == 1;
  p.node_numbers = node_numbers_shown();
  p.element_numbers = value_of(Check7) == 1;
  p.angles = view_angles();
  p.view = view_win;
  draw_forces(p);
  return p;
}

void Form1::Draw_3D() {
  const ResultPicture p = picture_shown();
  Plot1->mark(p.cycle);
  Label61->setText(QString("= %1 mm").arg(double(p.threshold) * store.pd_max, 0, 'g', 4));
  if (!reading_) return display.draw(canvas(), store, p);
  // While "Read Data" applies a read, a picture that fails is kept to be said once at its end.
  try {
    display.draw(canvas(), store, p);
    picture_failure_.reset();
  } catch (const RunTimeError& e) {
    picture_failure_ = e;
  }
}

void Form1::go_to_modelling() {
  shell().unload("Form1");  // the result store goes with the window
  Form2& f = open_modelling();
  f.procedure_label->hide();
  f.start_label->hide();
  f.disclaimer_label->hide();
}

// The modelling window starts empty; the design of the run is one "Read" away, and it says so.
void Form1::Command2_Click() {
  go_to_modelling();
  std::error_code ec;
  if (std::filesystem::is_regular_file(temp_file_name, ec))
    modelling_window()->set_status(std::string("The last design is in ") + temp_file_name +
                                   ": \"Read\" brings it back");
}

void Form1::Command7_Click() {
  go_to_modelling();
  modelling_window()->refem();  // the calculated model back, ready for another "Analysis"
}

void Form1::Command3_Click() { shell().end_program(); }

void Form1::Form_MouseDown(int button, int, float x, float y) {
  if (turn_down(button, value_of(Check2) == 1, x, y)) return;
  box_zoom_down(value_of(Check2) == 1, x, y);
}
void Form1::Form_MouseMove(int, int shift, float x, float y) {
  turn_move(shift, x, y);
  box_zoom_move(x, y);
}
void Form1::Form_MouseUp(int, int, float x, float y) {
  if (!turn_up()) box_zoom_up(x, y);
}

// The cycle scroll bar does the rest: the text, the picture and the marker follow it.
void Form1::Plot1_Click(int cycle) { HScroll4->setValue(cycle); }

// The report dialog first, for the title block; its "OK" keeps the six texts and asks for the file.
void Form1::Command45_Click() {
  refuse_empty_export();
  report_dialog().edit(report_title_, [this](const ReportTitle& title) {
    report_title_ = title;
    keep_settings();
    ask_report_file();
  });
  shell().show("Form7");
}

// The file dialog waits open (not in a loop of its own), so that the window behind stays drawn.
void Form1::ask_report_file() {
  auto* dialog = new QFileDialog(this, "Report", "report.pdf", "Calculation report, PDF (*.pdf)");
  dialog->setObjectName("ReportFile");
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  connect(dialog, &QFileDialog::accepted, this, [this, dialog] {
    if (dialog->selectedFiles().isEmpty()) return;
    run_guarded([&] { export_design_to(with_extension(name_as_typed(*dialog), dialog->selectedNameFilter())); });
  });
  dialog->open();
}

void Form1::Command10_Click() {
  refuse_empty_export();
  QFileDialog dialog(this, "Export", "design.csv", export_filters);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  export_design_to(with_extension(name_as_typed(dialog), dialog.selectedNameFilter()));
}

// A table gains what the members of the frame shown carry (the clean frame's while it is shown),
// and a node table beside it, whenever that frame can be analysed; otherwise it holds the design
// alone.
// A frame to build that cannot stand leaves only as geometry, which says so.
// A failed export leaves no word of an earlier one in the status line that would pass for it.
void Form1::export_design_to(const std::string& path) {
  refuse_empty_export();
  const Evaluated shown = clean_mode_ ? on_screen() : Evaluated{};
  const std::string unstable = shown.built ? unstable_export(*shown.built) : "";
  try {
    // What a killed export of this name left is cleared first (a set of tables half replaced
    // goes back to what it was).
    for (const std::string& file : export_file_names(path)) remove_stale_temp_files(file);
    const ExportFormat format = export_format(path);
    const bool with_forces = format == ExportFormat::csv || format == ExportFormat::inp;
    if (!unstable.empty() && with_forces) raise_error(err::cannot_stand, unstable);
    export_file(path);
  } catch (const std::exception& e) {
    set_status(std::string("Nothing exported: ") + e.what());
    throw;
  }
  set_status("Exported cycle " + std::to_string(chosen_cycle()) + " at threshold " + plain_text(chosen_threshold()) +
             (!clean_mode_ ? "" : shown.kind == FrameKind::sized ? " (the sized frame)" : " (the clean frame)") + " to " + path +
             (unstable.empty() ? "" : "; " + unstable.substr(0, unstable.find(", or \"Show"))));
}

void Form1::export_file(const std::string& path) {
  DesignChoice d{chosen_cycle(), chosen_threshold()};
  const ExportFormat format = export_format(path);
  if (format == ExportFormat::inp) return export_deck(path);
  if (format == ExportFormat::pdf) return export_report(path);
  const Evaluated shown = format == ExportFormat::csv ? on_screen() : Evaluated{};
  if (shown.forces == nullptr) return export_design(store, d, path);
  const ExtraColumns more = force_columns(*shown.frame, *shown.forces, *shown.checks, store.pn_elem);
  d.more = &more;
  write_force_tables(store, d, *shown.frame, *shown.forces, shown.built && shown.built->bill ? &*shown.built->bill : nullptr,
                     path);
}

// The deck of the frame shown: the clean frame (in standard sizes) while it is shown, else the
// cycle's design; a design that cannot be analysed says why.
void Form1::export_deck(const std::string& path) {
  const Evaluated shown = on_screen();
  if (shown.frame == nullptr) throw std::runtime_error(forces_problem_);
  write_fe_deck(*shown.frame, loading_, path);
}

void Form1::export_report(const std::string& path) { write_pdf_report(report(), path); }

// The report of the frame shown, as the picture shows it; a frame to build that cannot stand is
// reported without forces, saying why. Its pictures keep what they draw.
Report Form1::report() {
  ReportInput in;
  in.picture = picture_shown();
  const Evaluated shown = on_screen();
  if (shown.frame == nullptr) throw std::runtime_error(forces_problem_);
  in.store = &store;
  in.model = &evaluation().model();
  in.shown = &shown;
  in.steel = check_settings_;
  in.loading = loading_;
  in.title = report_title_;
  in.folder = std::filesystem::current_path().string();
  in.date = QDateTime::currentDateTimeUtc().toString("yyyy-MM-dd hh:mm 'UTC'").toStdString();
  in.files = {evaluation().model().source, store.source};
  if (shown.kind == FrameKind::sized && !section_source_.path.empty()) in.files.push_back(section_source_);
  if (!loading_.combinations.empty()) in.files.push_back(combinations_source_);
  in.problem = shown.built ? unstable_export(*shown.built) : forces_problem_;
  return make_report(in);
}

// Whatever the view, once results are read: the forces of the cycle shown and the view's settings.
void Form1::write_forces_json(JsonWriter& j) {
  const ForceView v = force_view();
  static constexpr const char* by[] = {"diameter", "axial", "utilisation"};
  j.key("colour_by").value(by[static_cast<int>(v.by)]);
  j.key("load_case").value(v.state + 1);
  j.key("deformed").value(v.deformed);
  j.key("yield_stress").value(check_settings_.yield);
  j.key("buckling_k").value(check_settings_.k_factor);
  const CheckSettings& c = check_settings_;
  j.key("design_settings").begin_object().key("grade").value(c.grade).key("yield").value(c.yield);
  j.key("cold_formed").value(c.cold_formed).key("gamma_m0").value(c.gamma_m0).key("gamma_m1").value(c.gamma_m1);
  j.key("k").value(c.k_factor).key("slenderness_limit").value(c.slenderness_limit).end_object();
  j.key("summary").value(Label11->text().toStdString());
  const Evaluated shown = store.res_ok == 1 ? on_screen() : Evaluated{};
  j.key("self_weight").begin_object().key("on").value(loading_.self_weight).key("direction").value(loading_.direction);
  j.key("weight").value(shown.forces ? shown.forces->weight : 0.0).end_object();
  write_combinations_json(j, loading_.combinations);
  j.key("forces_problem").value(forces_problem_);
  write_plastic_bound_json(j, shown.bound);
  if (shown.built) write_built_json(j, *shown.built, store.pn_elem);
  if (shown.forces == nullptr) return;
  write_force_json(j, *shown.frame, *shown.forces, *shown.checks, shown.drawn, store.pn_elem);
  write_deflection_json(j, *shown.forces, shown.deflections, loading_.deflection_limit);
  write_stability_json(j, *shown.forces, shown.stability);
}

ForceView Form1::force_view() const {
  ForceView v;
  v.by = Option2->isChecked() ? ColourBy::axial : Option3->isChecked() ? ColourBy::utilisation : ColourBy::diameter;
  v.state = HScroll6->value() - 1;  // 0 is the envelope
  v.deformed = value_of(Check4) == 1;
  return v;
}

void Form1::draw_forces(ResultPicture& p) {
  const ForceView v = force_view();
  if (!clean_mode_ && v.by == ColourBy::diameter && !v.deformed) {
    Label8->setText("");
    const std::string drawn = drawn_members_text(store, p.cycle, p.threshold);
    Label11->setText(QString::fromStdString((drawn.empty() ? "" : drawn + " ") +
                                            "Choose \"Axial force\", \"Utilisation\" or \"Deformed\" to analyse the "
                                            "design shown, or \"Clean Up\" for the frame to build."));
    return;
  }
  const Evaluated shown = on_screen();
  if (shown.frame == nullptr) {
    Label8->setText("");
    Label11->setText(QString::fromStdString(store.pn_cyc >= 1 ? forces_problem_ : "No cycle to analyse."));
    return;
  }
  double factor = 0;
  const std::string summary = show_forces(p, v, shown, store.pn_elem, factor);
  Label11->setText(QString::fromStdString(shown.built ? built_status(*shown.built, loading_.density, summary, shown.summary.deflected)
                                                      : summary));
  Label8->setText(v.deformed && shown.forces ? QString::fromStdString("x " + plain_text(std::round(factor * 10) / 10)) : "");
}

// The design is analysed, and its model file read, on first use.
Evaluated Form1::on_screen() {
  Evaluated shown;
  if (store.pn_cyc >= 1) try {
      evaluation();
      HScroll6->setMaximum(load_states());
      shown = evaluation_->evaluate(store, {chosen_cycle(), chosen_threshold(), clean_mode_}, evaluation_settings());
    } catch (const std::exception& e) {
      shown.problem = e.what();
    }
  forces_problem_ = shown.problem;
  return shown;
}

EvaluationSettings Form1::evaluation_settings() const {
  const bool sized = value_of(Check3) == 1 && !section_list_.empty();
  return {check_settings_, loading_, {sized, sized ? section_list_ : std::vector<StandardSection>{}, sizing_options_}, hold_};
}

// A view that cannot be analysed says why once, and the picture goes back to the diameters.
void Form1::choose_view() {
  Draw_3D();
  if (!forces_problem_.empty() && !Option1->isChecked()) {
    const std::string problem = forces_problem_;
    Option1->setChecked(true);
    set_value(Check4, 0);
    report_error(problem);
  }
}

void Form1::Option1_Click() { Draw_3D(); }
void Form1::Option2_Click() { choose_view(); }
void Form1::Option3_Click() { choose_view(); }

void Form1::HScroll6_Change() {
  Text9->setText(QString::number(HScroll6->value()));
  Label7->setText(QString::fromStdString(state_caption(HScroll6->value())));
  Draw_3D();
}

void Form1::Text9_Change() { scroll_from_text(Text9, HScroll6); }

void Form1::Check4_Click() {
  if (value_of(Check4) == 1) return choose_view();
  Draw_3D();
}

bool Form1::in_range(const QLineEdit* text, const SettingRange& range, double used, double& value) {
  const std::string typed = text_of(text);
  if (typed.empty()) return false;
  value = is_number(typed) ? to_number(typed) : std::nan("");
  if ((value >= range.low && value <= range.high && (!range.whole || value == std::floor(value))) ||
      (range.zero_allowed && value == 0))
    return true;
  set_status(refusal_text(range, typed, used));
  return false;
}

void Form1::take_setting(const QLineEdit* text, double& setting, const SettingRange& range) {
  double v = 0;
  if (!in_range(text, range, setting, v)) return;
  setting = v;
  keep_settings();
  Draw_3D();
}

void Form1::show_used_on_leave(QLineEdit* text, std::function<double()> used) {
  connect(text, &QLineEdit::editingFinished, this, [text, used] {
    const std::string typed = text_of(text);
    if (!is_number(typed) || to_number(typed) != used()) text->setText(QString::fromStdString(plain_text(used())));
  });
}

void Form1::Text7_Change() { take_setting(Text7, check_settings_.yield, yield_range); }
void Form1::Text8_Change() { take_setting(Text8, check_settings_.k_factor, k_range); }

// A grade sets the yield stress through its text box, which stays free to be set apart from it.
void Form1::Text41_Change() {
  const std::string grade = text_of(Text41);
  const double yield = grade_yield(grade);
  if (yield <= 0) return;
  check_settings_.grade = grade;
  keep_settings();
  if (text_of(Text7) != plain_text(yield)) return Text7->setText(QString::fromStdString(plain_text(yield)));
  Draw_3D();
}

void Form1::Check41_Click() {
  check_settings_.cold_formed = value_of(Check41) == 1;
  keep_settings();
  Draw_3D();
}

void Form1::Text42_Change() { take_setting(Text42, check_settings_.gamma_m0, gamma_m0_range); }
void Form1::Text43_Change() { take_setting(Text43, check_settings_.gamma_m1, gamma_m1_range); }
void Form1::Text44_Change() { take_setting(Text44, check_settings_.slenderness_limit, slenderness_range); }

// The settings in effect (not a text still being typed), by the control that sets each; the
// grade before the yield stress, so that a yield stress set apart from its grade comes back.
WindowSettings Form1::settings_in_effect() const {
  const CheckSettings& c = check_settings_;
  WindowSettings kept{{"Text41", c.grade},          {"Text7", plain_text(c.yield)},       {"Check41", c.cold_formed ? "1" : "0"},
          {"Text42", plain_text(c.gamma_m0)}, {"Text43", plain_text(c.gamma_m1)}, {"Text8", plain_text(c.k_factor)},
          {"Text44", plain_text(c.slenderness_limit)}, {"Text10", plain_text(loading_.density)},
          {"Check42", loading_.self_weight ? "1" : "0"}, {"Text45", loading_.direction},
          {"Text46", plain_text(loading_.deflection_limit)}, {"Text47", std::to_string(sizing_options_.section_types)},
          {"Text48", sizing_options_.smallest}, {"Check43", sizing_options_.keep_areas ? "1" : "0"},
          {"Check44", hold_ ? "1" : "0"}};
  for (size_t k = 0; k < report_title_.size(); ++k) kept.emplace_back(title_setting(k), report_title_[k]);
  return kept;
}

// A file that cannot be read loses its settings, and says why; the window opens all the same.
void Form1::apply_kept_settings() {
  WindowSettings kept;
  try {
    kept = read_window_settings(post_settings_name);
  } catch (const std::exception& e) {
    return set_status(std::string("The settings kept are not used: ") + e.what());
  }
  applying_settings_ = true;
  const auto done = qScopeGuard([this] { applying_settings_ = false; });
  for (const auto& [name, text] : kept) {
    for (QLineEdit* t : {Text41, Text7, Text42, Text43, Text8, Text44, Text10, Text45, Text46, Text47, Text48})
      if (t->objectName().toStdString() == name) t->setText(QString::fromStdString(text));
    for (QCheckBox* b : {Check41, Check42, Check43, Check44})
      if (b->objectName().toStdString() == name) set_value(b, text == "1" ? 1 : 0);
    for (size_t k = 0; k < report_title_.size(); ++k)
      if (name == title_setting(k)) report_title_[k] = text;
  }
}

// A folder that cannot be written keeps nothing, and says so; the setting still applies.
void Form1::keep_settings() {
  if (applying_settings_) return;
  try {
    write_window_settings(settings_in_effect(), post_settings_name);
  } catch (const std::exception& e) {
    set_status(std::string("The settings are not kept: ") + e.what());
  }
}

// The clean frame stays on while cycle, threshold and settings change, made again for each.
void Form1::Command11_Click() {
  clean_mode_ = true;
  Draw_3D();
  const std::string of = "cycle " + std::to_string(chosen_cycle()) + " at threshold " + plain_text(chosen_threshold());
  const Evaluated shown = on_screen();
  if (shown.built == nullptr) return set_status("No clean frame of " + of + ": " + forces_problem_);
  set_status("Clean frame of " + of + ": " + std::to_string(shown.built->clean.frame.element.size()) + " members" +
             (shown.built->clean.forces ? "" : ", which cannot stand"));
}

void Form1::Command12_Click() {
  clean_mode_ = false;
  Draw_3D();
  set_status("The optimised design of cycle " + std::to_string(chosen_cycle()));
}

// The list is read each time the sizes are asked for, so that an edited file takes effect; a
// damaged one is refused by line and the list read before stays. Sizes are of the clean frame,
// which they show.
void Form1::read_sections() {
  SectionList read = load_section_list();
  section_list_ = std::move(read.sections);
  section_source_ = read.source;
  const std::string count = plural(static_cast<int>(section_list_.size()), "section");
  set_status(read.unsaved.empty() ? "Standard sizes: " + count + " read from " + section_list_name
                                  : "Standard sizes: the built-in list of " + count + ", which could not be saved (" +
                                        read.unsaved + ")");
}

void Form1::Check3_Click() {
  if (value_of(Check3) == 1) {
    clean_mode_ = true;
    try {
      read_sections();
    } catch (const std::exception&) {
      if (section_list_.empty()) set_value(Check3, 0);
      Draw_3D();
      throw;
    }
  }
  Draw_3D();
}

void Form1::Text10_Change() { take_setting(Text10, loading_.density, density_range); }

// The search runs beside the window, which stays in use; its progress goes to the status line,
// and the button, "Stop" meanwhile, ends it keeping the best so far.
void Form1::Command44_Click() {
  if (lightest_.joinable()) {
    lightest_.request_stop();
    return set_status("Stop asked: the search ends after the frame being sized and keeps the lightest so far");
  }
  if (store.pn_cyc < 1) return set_status("No cycle to size: \"Read Data\" first");
  read_sections();
  EvaluationSettings settings = evaluation_settings();
  settings.sizing = {true, section_list_, sizing_options_};
  settings.hold = true;
  auto search = std::make_shared<const LightestSearch>(evaluation().lightest_search(store, chosen_cycle(), settings));
  Command44->setText("Stop");
  set_status("Lightest frame: the clean frames of cycle " + std::to_string(search->cycle) + " are being told apart");
  lightest_ = std::jthread([this, search, settings, read = results_read_](std::stop_token stop) {
    LightestFrame found = search->run([this, &stop](const LightestProgress& p) {
      QMetaObject::invokeMethod(this, [this, p] { set_status(lightest_progress(p)); }, Qt::QueuedConnection);
      return !stop.stop_requested();
    });
    QMetaObject::invokeMethod(
        this, [this, search, settings, read, f = std::make_shared<LightestFrame>(std::move(found))] {
          lightest_.join();
          Command44->setText("Lightest Frame");
          if (read != results_read_) return set_status("Lightest frame: results were read meanwhile, and it is not shown");
          show_lightest(search->cycle, settings, std::move(*f));
        },
        Qt::QueuedConnection);
  });
}

// The frame found becomes the frame to build shown, at its threshold and in standard sizes.
void Form1::show_lightest(int cycle, const EvaluationSettings& settings, LightestFrame&& found) {
  const std::string status = lightest_status(found, settings.loading.density);
  if (found.built) {
    const float threshold = *found.threshold;
    evaluation().take_lightest(cycle, settings, std::move(found));
    const QSignalBlocker cycle_text(Text4), cycle_scroll(HScroll4), text(Text5), scroll(HScroll5), sizes(Check3), held(Check44);
    HScroll4->setValue(cycle);
    Text4->setText(QString::number(cycle));
    HScroll5->setValue(static_cast<int>(std::lround(threshold * 100.0)));
    Text5->setText(QString::fromStdString(plain_text(threshold)));
    set_value(Check3, 1);
    set_value(Check44, 1);
    hold_ = true;
    keep_settings();
    clean_mode_ = true;
    Draw_3D();
  }
  set_status(status);
}

void Form1::Text47_Change() {
  double n = 0;
  if (!in_range(Text47, section_types_range, sizing_options_.section_types, n)) return;
  sizing_options_.section_types = static_cast<int>(n);
  keep_settings();
  Draw_3D();
}

// A name the list does not hold is said when the frame is sized.
void Form1::Text48_Change() {
  sizing_options_.smallest = text_of(Text48);
  keep_settings();
  Draw_3D();
}

void Form1::Check43_Click() {
  sizing_options_.keep_areas = value_of(Check43) == 1;
  keep_settings();
  Draw_3D();
}

void Form1::Check44_Click() {
  hold_ = value_of(Check44) == 1;
  keep_settings();
  Draw_3D();
}

void Form1::Check42_Click() {
  loading_.self_weight = value_of(Check42) == 1;
  keep_settings();
  Draw_3D();
}

void Form1::Text45_Change() {
  std::array<double, 3> unit{};
  if (!direction_vector(text_of(Text45), unit)) return;
  loading_.direction = text_of(Text45);
  keep_settings();
  Draw_3D();
}

void Form1::Text46_Change() { take_setting(Text46, loading_.deflection_limit, deflection_range); }

// The dialog edits the table held, for the model's load cases; "Save" comes back here.
void Form1::Command42_Click() {
  const int cases = evaluation().case_count();
  combinations_dialog().edit(loading_.combinations, cases,
                             [this](const std::vector<Combination>& list) { use_combinations(list); });
  shell().show("Form6");
}

Evaluation& Form1::evaluation() {
  if (!evaluation_) evaluation_ = std::make_unique<Evaluation>(store);
  return *evaluation_;
}

int Form1::load_states() const {
  if (!loading_.combinations.empty()) return static_cast<int>(loading_.combinations.size());
  return evaluation_ ? evaluation_->case_count() : HScroll6->maximum();
}

std::string Form1::state_caption(int n) const {
  if (n <= 0) return "all (envelope)";
  if (loading_.combinations.empty() || n > static_cast<int>(loading_.combinations.size())) return "case " + std::to_string(n);
  const Combination& k = loading_.combinations[static_cast<size_t>(n - 1)];
  return k.name + " (" + limit_state_name(k.kind) + ")";
}

// The model read with the results bounds the case factors a combination may have; a model that
// cannot be read is said when the design is analysed, and bounds nothing here.
void Form1::read_kept_combinations() {
  int cases = max_cases;
  try {
    cases = Evaluation(store).case_count();  // the evaluation itself reads it when first asked
  } catch (const std::exception&) {
  }
  FileStamp source;
  loading_.combinations = read_combinations(combinations_file_name, cases, &source);
  combinations_source_ = source;
}

// The dialog's table, for the model read.
void Form1::use_combinations(const std::vector<Combination>& list) {
  if (const std::string why = combination_problem(evaluation().model(), list); !why.empty())
    raise_error(err::invalid_setting, why);
  combinations_source_ = write_combinations(list, evaluation().case_count(), combinations_file_name);
  loading_.combinations = list;
  HScroll6->setMaximum(load_states());
  Label7->setText(QString::fromStdString(state_caption(HScroll6->value())));
  Draw_3D();
  set_status(list.empty() ? "No load combination: the checks take each load case as it stands"
                          : plural(static_cast<int>(list.size()), "load combination") + " kept in " + combinations_file_name);
}

// The request names the run, and goes only while it runs: never to a run of another program.
void Form1::Command20_Click() {
  poll_run();
  if (run.state != "running") return;
  ask_run_to_stop(run_token_);
  Command20->setEnabled(false);
  set_status("Stop asked: the run ends after the cycle under way and keeps the cycles done");
}

// A result without any cycle has no design to write.
void Form1::refuse_empty_export() const {
  if (store.pn_cyc < 1) raise_error(err::nothing_to_export, "the result file holds no cycle");
}

// Nothing was read: results of another run are refused, and a run that failed says why there
// are none; otherwise (still running, or no run followed) the button simply stays.
void Form1::nothing_to_read(const ResultSet& set) {
  if (!set.refused.empty()) raise_error(err::not_this_run, set.refused);
  if (run.state == "failed") raise_error(err::no_results, run.message);
}
