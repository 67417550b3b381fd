// The modelling window's analysis run: "Save" and "Read" of the temporary data file,
// "Analysis" (model file, save, solver start, hand-over to the post-processing window) and the
// re-analysis refem that brings a calculated model back.
#include <QCoreApplication>

#include "analysis/model_file.h"
#include "analysis/solver_start.h"
#include "analysis/temp_file.h"
#include "base/processes.h"
#include "base/run_files.h"
#include "formats/numtext.h"
#include "model/mesh.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/qt_controls.h"
#include "ui/shell.h"

namespace {
std::string records_text(int n) { return std::to_string(n) + (n == 1 ? " record" : " records"); }

QString rect_text(const QRect& r) { return QString("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); }

// topo opens beside the post-processing window, and where the screen has no room for both,
// over none of its controls (those shown later included).
std::vector<std::string> solver_arguments(int display_switch) {
  if (display_switch != 1) return {};
  Form1& post = static_cast<Form1&>(shell().load("Form1"));
  return {"--beside", rect_text(post.frameGeometry()).toStdString(), "--keep",
          rect_text(controls_on_screen(post)).toStdString()};
}

// The token of the run started last from this program: a solver still in that run keeps
// "Analysis" refused even once it lets go of the lock (topo's window stays open).
std::string& last_run_token() {
  static std::string token;
  return token;
}

// Starts the solver in the working directory without waiting for it, as a child followed by
// its handle, with the run's token and the directory's lock, which passes to it; a solver that
// cannot be started is reported with the path tried, and the lock stays with `lock`.
void start_solver(int display_switch, DirectoryLock& lock, const std::string& token) {
  const std::string name = solver_program_name(display_switch);
  const std::filesystem::path program =
      find_solver(name, std::filesystem::current_path(), QCoreApplication::applicationDirPath().toStdString());
  const long long pid = start_child(program, solver_arguments(display_switch),
                                    {std::string(run_token_variable) + "=" + token,
                                     std::string(lock_fd_variable) + "=" + std::to_string(lock.descriptor())},
                                    lock.descriptor());
  lock.hand_over(pid);
  record_solver_process(pid);
  last_run_token() = token;
}
}  // namespace

AnalysisSettings Form2::analysis_settings() const {
  const SettingsPanel& s = settings;
  return settings_from_texts({text_of(s.max_diameter), text_of(s.init_ratio), text_of(s.volume_ratio),
                              text_of(s.move_limit), text_of(s.penalty)},
                             value_of(s.display_shape));
}

void Form2::show_analysis_settings(const AnalysisSettings& s) {
  settings.max_diameter->setText(QString::fromStdString(plain_text(s.max_diameter)));
  settings.init_ratio->setText(QString::fromStdString(plain_text(s.init_ratio)));
  settings.volume_ratio->setText(QString::fromStdString(plain_text(s.volume_ratio)));
  settings.move_limit->setText(QString::fromStdString(plain_text(s.move_limit)));
  settings.penalty->setText(QString::fromStdString(plain_text(s.penalty)));
  set_value(settings.display_shape, s.display == 1 ? 1 : 0);
}

// Nothing is written and no solver starts while settings are unusable or a solver still runs in
// this directory (it reads the model file and writes the results). The directory's lock is
// taken before the first file is written and passes to the solver, so that of two programs
// pressing "Analysis" at once in one directory the second is refused. The old results and log
// go before the new solver starts, and the run's token goes with it, so "Read Data" never finds
// another run's results.
void Form2::Command13_Click() {
  const AnalysisSettings chosen = analysis_settings();
  if (const std::string problem = settings_problem(chosen); !problem.empty())
    raise_error(err::invalid_setting, problem);
  DirectoryLock lock;
  take_lock_for_run(lock, last_solver_process(), last_run_token());
  write_model_file(model, chosen);
  Command15_Click();
  clear_run_results();
  Form1& post = open_post_processing();
  // The model is handed over in the files: the window goes even when the solver cannot be
  // started, and the message names the program looked for.
  const std::string token = new_run_token();
  std::string failure;
  long long solver = 0;
  try {
    start_solver(value_of(settings.display_shape), lock, token);
    solver = last_solver_process();
  } catch (const RunTimeError& e) {
    failure = e.what();
  }
  post.follow_run(solver, failure, token);
  shell().unload("Form2");
  if (!failure.empty()) report_error(failure);
}

void Form2::Command15_Click() {
  save_design(model, sections_copy);
  set_status("Saved " + records_text(model.n_gr) + " to " + temp_file_name);
}

// "Read" replaces the whole design, so a record that is open in the geometry panel must be
// closed by its own "OK" first (which decides about its cross-section); a record selector
// that is open has changed nothing yet and simply closes.
void Form2::Command16_Click() {
  if (!geometry.frame->isHidden()) raise_error(err::editing, "press \"OK\" before \"Read\"");
  procedure_label->hide();
  start_label->hide();
  disclaimer_label->hide();
  const SavedDesign saved = read_saved_design();
  write_section_file(saved.sections, MomentSums::double_precision);
  modify_choice.frame->hide();
  delete_choice.frame->hide();
  restore_saved(saved);
  set_status("Read " + records_text(model.n_gr) + " from " + temp_file_name);
}

// Puts a parsed temporary file into the window: design list, the last record in the panel,
// and the design stage with every condition cleared. The cross-section file has been
// rewritten from it already, so that a write that fails leaves the window as it was.
void Form2::restore_saved(const SavedDesign& saved) {
  restore_design(model, saved.design);
  sections_copy = saved.sections;
  model.n_gr_m = 0;
  if (model.n_gr >= 1) load_record_into_panel(model.n_gr);
  Command14_Click();
}

void Form2::refem() {
  // Everything that can fail is tried first on a copy of the design: both files read whole,
  // the mesh rebuilt and the conditions read back against it, and the cross-section file
  // written. A missing or damaged file, one that belongs to another mesh, or a write that
  // fails leaves the window as it was.
  const SavedDesign saved = read_saved_design();
  ModelStore trial;
  trial.form_load();
  restore_design(trial, saved.design);
  build_analysis_model(trial, SectionValueTable{});  // the mesh's counts do not depend on sections
  read_back_model_file(trial);
  write_section_file(saved.sections, MomentSums::double_precision);

  model.form_load();
  procedure_label->hide();
  start_label->hide();
  disclaimer_label->hide();
  restore_saved(saved);
  design.frame->hide();
  conditions.frame->show();
  fem_data_pro();
  show_analysis_settings(read_back_model_file(model));
  Draw_3D();
  set_status("The calculated model is back: " + std::to_string(model.n_node) + " nodes, " +
             std::to_string(model.n_elem) + " elements, its supports, loads and settings");
}
