// The post-processing window: reads the solver's results ("Read Data") and shows the optimised
// frame cycle by cycle, with a density threshold, hidden lines and the shared view controls;
// shows the convergence history beside it and exports the design on screen; leaves towards the
// modelling window or ends the program.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/run_log.h"
#include "base/window_settings.h"
#include "evaluate/evaluation.h"
#include "export/report.h"
#include "formats/errors.h"
#include "post/result_display.h"
#include "post/result_file.h"
#include "post/result_store.h"
#include "ui/form_view.h"

class ConvergencePlot;
struct SettingRange;
class QCheckBox;
class QLabel;
class QRadioButton;
class QTimer;

class Form1 : public ViewForm {
  Q_OBJECT

 public:
  Form1();
  ~Form1() override;

  void Form_Load() override;
  void dump(JsonWriter& j) override;
  // The calculation report of the frame shown, as "Export..." writes it to a .pdf.
  Report report();
  bool call(const std::string& procedure) override;

  // Public procedure: clears the surface and draws the chosen cycle.
  void Draw_3D();
  void redraw() override { Draw_3D(); }

  // Follows the solver just started (process solver_pid, a child of this program followed by
  // its handle) through its run log on the status line; `start_failure` is the message when it
  // could not be started. With the run's `token`, the status line and "Read Data" take only
  // that run's log and results.
  void follow_run(long long solver_pid, const std::string& start_failure = {}, const std::string& token = {});

  void Command1_Click();  // Read Data
  void HScroll4_Change();
  void Text4_Change();
  void HScroll5_Change();
  void Text5_Change();
  void Check1_Click();  // also "Elem. No.": the picture drawn again
  void Command2_Click();  // To Initial
  void Command7_Click();  // To Re-Analysis
  void Command3_Click();  // END
  void Plot1_Click(int cycle);
  void Command10_Click();  // Export...
  void Command45_Click();  // Report...
  void Command20_Click();  // Stop
  // Writes the design on screen (its cycle and threshold) to `path`; the extension chooses the
  // format (.csv, .stl, .dxf, .inp, or .pdf: the calculation report of the frame shown).
  void export_design_to(const std::string& path);
  // What the members of the design shown carry: the colour views, the load case, the deformed
  // frame and the two check settings. Each redraws.
  void Option1_Click();  // Diameter
  void Option2_Click();  // Axial force
  void Option3_Click();  // Utilisation
  void HScroll6_Change();
  void Text9_Change();
  void Check4_Click();  // Deformed
  void Text7_Change();  // Yield stress
  void Text8_Change();  // Buckling length factor K
  // The steel design settings beside them: grade (the yield stress follows it), cold-formed
  // tubes, the partial factors and the slenderness limit. Each redraws and is kept in the
  // working directory.
  void Text41_Change();  // Steel grade
  void Check41_Click();  // Cold-formed tubes
  void Text42_Change();  // gamma_M0
  void Text43_Change();  // gamma_M1
  void Text44_Change();  // Slenderness limit
  // The loads the checks take beyond the load cases: the members' own weight and its direction,
  // the load combinations (combinations.csv, read with the results and edited in the
  // combinations dialog) and the deflection limit. Each redraws; all but the combinations are
  // kept with the other settings.
  void Check42_Click();    // Self-weight
  void Text45_Change();    // its direction
  void Command42_Click();  // Combinations...
  void Text46_Change();    // Deflection limit
  // The frame to build: the clean frame of the design shown, standard sizes, their density.
  void Command11_Click();  // Clean Up
  void Command12_Click();  // Show Optimised
  void Check3_Click();     // Standard Sizes
  void Text10_Change();    // Density
  void Text47_Change();    // Section types
  void Text48_Change();    // Smallest section
  void Check43_Click();    // Keep optimised areas
  void Command44_Click();  // Lightest Frame, "Stop" while it searches
  void Check44_Click();    // Hold mechanisms
  void Form_MouseDown(int button, int shift, float x, float y) override;
  void Form_MouseMove(int button, int shift, float x, float y) override;
  void Form_MouseUp(int button, int shift, float x, float y) override;

  QPushButton* Command1;  // Read Data
  QWidget* Frame2;        // Cycle No.
  QLineEdit* Text4;
  QScrollBar* HScroll4;
  QWidget* Frame3;  // Threshold of Density
  QLineEdit* Text5;
  QScrollBar* HScroll5;  // hundredths
  QLineEdit* Text6;      // maximum diameter of the analysis settings, for reference
  QLabel* Label4;
  QLabel* Label61;       // the threshold as a diameter, mm
  QCheckBox* Check1;      // Hidden Lines
  QCheckBox* Check7;      // Elem. No.
  QPushButton* Command8;  // IN
  QPushButton* Command9;  // OUT
  QWidget* Frame4;        // Exit Selection
  QPushButton* Command2;
  QPushButton* Command7;
  QPushButton* Command3;
  ConvergencePlot* Plot1;  // compliance and volume ratio against cycle
  QPushButton* Command10;  // Export...
  QPushButton* Command45;  // Report...
  QLabel* Label5;  // how the run started from the modelling window stands
  QWidget* Frame5;  // Member Forces
  QRadioButton* Option1;
  QRadioButton* Option2;
  QRadioButton* Option3;
  QLabel* Label6;        // "Load case"
  QLineEdit* Text9;      // load case, 0 for every case (the envelope)
  QScrollBar* HScroll6;  // its maximum becomes the number of cases
  QLabel* Label7;        // which case the load-case number stands for
  QCheckBox* Check4;     // Deformed
  QLabel* Label8;        // the magnification of the deformed frame
  QLabel* Label9;        // "Yield stress [N/mm2]"
  QLineEdit* Text7;
  QLabel* Label10;       // "Buckling length factor K"
  QLineEdit* Text8;
  QWidget* Frame6;        // Frame to Build
  QPushButton* Command11;  // Clean Up
  QPushButton* Command12;  // Show Optimised
  QCheckBox* Check3;       // Standard Sizes
  QLabel* Label12;         // "Density [kg/m3]"
  QLineEdit* Text10;
  QLabel* Label47;         // "Section types"
  QLineEdit* Text47;       // at most this many different sections, 0 for as many as needed
  QLabel* Label48;         // "Smallest section"
  QLineEdit* Text48;       // a name of sections.csv, or empty
  QPushButton* Command44;  // Lightest Frame
  QCheckBox* Check43;      // Keep optimised areas
  QCheckBox* Check44;      // Hold mechanisms
  QLabel* Label11;       // what the checks of the design shown (or of its clean frame) found
  QWidget* Frame7;       // Steel Design
  QLabel* Label41;       // "Steel grade"
  QLineEdit* Text41;
  QCheckBox* Check41;    // Cold-formed tubes
  QLabel* Label42;       // "gamma_M0"
  QLineEdit* Text42;
  QLabel* Label43;       // "gamma_M1"
  QLineEdit* Text43;
  QLabel* Label44;       // "Slenderness limit L_cr/i (0: none)"
  QLineEdit* Text44;
  QWidget* Frame8;         // Loads
  QCheckBox* Check42;      // Self-weight
  QLabel* Label45;         // "Direction"
  QLineEdit* Text45;
  QPushButton* Command42;  // Combinations...
  QLabel* Label46;         // "Deflection limit [mm]"
  QLineEdit* Text46;
  QPushButton* Command20;  // Stop: the run ends after the cycle under way, its cycles kept

  RunStatus run{"none", 0, {}};

  ResultStore store;
  ResultDisplay display;

 private:
  // The window's controls, part by part, in the designer's order.
  void make_cycle_frame();
  void make_threshold_frame();
  void make_hidden_lines_check();
  void make_exit_frame();
  void make_plot_column();
  void make_run_status();
  void make_forces_frame();
  void make_build_frame();
  void make_check_summary();
  void make_steel_frame();
  void make_loads_frame();
  void make_stop_button();
  void wire();
  // The frames, the plot and "Export..." that a successful read shows.
  std::vector<QWidget*> shown_after_read() const;
  // The cycle and threshold a drawing uses: the texts when they can be used, else the last
  // values their scroll bars took.
  int chosen_cycle() const;
  float chosen_threshold() const;
  // Reads the run log, shows how the run stands, and stops looking once it has ended.
  void poll_run();
  void show_run(const RunStatus& status);
  void refuse_empty_export() const;
  void nothing_to_read(const ResultSet& set);
  // Unloads this window and shows the modelling window in its working state.
  void go_to_modelling();

  void write_forces_json(JsonWriter& j);
  void export_file(const std::string& path);
  void export_deck(const std::string& path);
  void export_report(const std::string& path);
  // The picture of the frame shown, with the colours, legend and deformed frame of its view.
  ResultPicture picture_shown();
  // The view the force controls ask for.
  ForceView force_view() const;
  // Fills the picture's force view and the summary; a picture whose analysis cannot be made
  // stays the plain one, and the summary says why.
  void draw_forces(ResultPicture& p);
  void choose_view();
  // A setting typed: taken (and the picture redrawn, the settings kept) when it is a number in
  // its range; anything else is refused at once on the status line, with the setting's caption
  // and range, and the value used stays. An empty text (a value being retyped) is passed over.
  void take_setting(const QLineEdit* text, double& setting, const SettingRange& range);
  bool in_range(const QLineEdit* text, const SettingRange& range, double used, double& value);
  // When the user leaves a setting's box with a text that is not used, the box shows the value used.
  void show_used_on_leave(QLineEdit* text, std::function<double()> used);
  // The window's settings kept in the working directory: applied through their controls as a
  // user would type them, and written whenever one is taken.
  WindowSettings settings_in_effect() const;
  // The title block's texts kept among the settings: "Form7Text1" .. "Form7Text6".
  static std::string title_setting(size_t k) { return "Form7Text" + std::to_string(k + 1); }
  void ask_report_file();
  ReportTitle report_title_;
  void apply_kept_settings();
  void keep_settings();
  bool applying_settings_ = false;

  QTimer* run_timer_;
  long long solver_pid_ = 0;
  // The frame the window shows, evaluated: the clean frame while "Clean Up" is on, else the
  // cycle's design. No frame when the design cannot be analysed (forces_problem_ says why), no
  // forces when the clean frame cannot stand.
  Evaluated on_screen();
  EvaluationSettings evaluation_settings() const;

  std::unique_ptr<Evaluation> evaluation_;
  bool clean_mode_ = false;
  Loading loading_;  // with the density of the frame to build
  SizingOptions sizing_options_;
  bool hold_ = false;  // a clean frame left a mechanism is held by members added back
  // The model's load cases (as many as "Load case" offers until the model is read), or the
  // combinations when there are any: what "Load case" chooses among (0 for the envelope).
  int load_states() const;
  // Reads combinations.csv: a file that cannot be read keeps the table held.
  void read_kept_combinations();
  // The table saved by the dialog: refused (and the one held kept) when a combination does not
  // fit the model's load cases, else written to combinations.csv and taken.
  void use_combinations(const std::vector<Combination>& list);
  // The evaluation of the results read, made on first use: the model file read and checked.
  Evaluation& evaluation();
  // "case 2", or the combination's name and kind, for "Load case" n (0: the envelope).
  std::string state_caption(int n) const;
  std::vector<StandardSection> section_list_;
  // Reads sections.csv (made when absent) into the list held and says so; a damaged file is a
  // RunTimeError and the list held stays.
  void read_sections();
  // "Lightest Frame": the search under way, and how many times results were read (what it found
  // is shown only of the results it searched).
  std::jthread lightest_;
  int results_read_ = 0;
  void show_lightest(int cycle, const EvaluationSettings& settings, LightestFrame&& found);
  FileStamp section_source_;        // sections.csv as read for the list held
  FileStamp combinations_source_;   // combinations.csv as read or written for the table held
  CheckSettings check_settings_;
  std::string forces_problem_;
  std::string run_token_;  // of the run followed; "" reads whatever lies in the folder
  bool reading_ = false;   // "Read Data" is applying a read
  std::optional<RunTimeError> picture_failure_;  // of the last drawing while reading_
};
