// Solver benchmark: whole runs of the largest program model (1000 nodes, 5000 elements, 5 load
// cases) and of bigger lattices towards the file format's ceiling, the way the programs ran
// before (a factorisation every cycle, each element's stiffness and energies element by element,
// the volume's multiplier by bisection, the result file rewritten whole once a second with its
// numbers formatted through the number pattern) beside the way they run now (factor reuse, the
// precomputed element parts, Newton steps for the multiplier, the result file writer); then CHOLMOD's orderings, supernodal against simplicial and the BLAS
// thread counts on the same stiffness. Times are wall clock and CPU (getrusage, all threads).
// At 5000 elements the whole run is also set against one cycle of the same formulation in NumPy
// and SciPy (reference_cycle.py, where python3 imports SciPy), and at 15000 topo_nd's whole run
// as a process against one fresh analysis as a process.
// Usage: bench_solver [largest element count of the whole runs, default 15000] [--only] [--processes] [--ceiling]
// --only runs that largest model alone (its old way takes minutes at 35000 elements);
// --processes runs only the comparison of topo_nd processes;
// --ceiling runs only topo_nd on the largest model the model file holds (about 10 minutes, 1.5 GB).
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <Eigen/CholmodSupport>
#include <Eigen/Dense>
#include <Eigen/SparseCholesky>

#include "base/analysis_model.h"
#include "formats/fields.h"
#include "formats/numtext.h"
#include "models.h"
#include "post/result_file.h"
#include "solver/frame.h"
#include "solver/optimiser.h"
#include "solver/result_file.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

using bench::lattice;

// CPU time of this process, or of its children that have ended (RUSAGE_CHILDREN), all threads.
double cpu_seconds(int who = RUSAGE_SELF) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

long peak_memory_mb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

// The result file as it was written before: every cycle formatted again at every rewrite, each
// number through the E15 number pattern.
void write_the_old_way(const std::string& path, const ModelFile& model, const std::vector<CycleRecord>& cycles) {
  auto e15 = [](double v) { return format_number(v, pattern::e15); };
  auto i5 = [](long v) { return format_at5(std::to_string(v)); };
  DataFileWriter out(path);
  out.line(i5(model.n_node) + i5(model.n_elem) + e15(model.settings.max_diameter));
  for (size_t j = 0; j < model.elements.size(); ++j) {
    const ModelFileElement& e = model.elements[j];
    out.line(i5(static_cast<long>(j + 1)) + i5(e.node1) + i5(e.node2) + i5(model.props[0][0] < 0 ? 0 : 1));
  }
  for (const CycleRecord& c : cycles) {
    out.line(i5(c.cycle) + e15(c.compliance) + e15(c.volume_ratio) + e15(c.change));
    for (size_t i = 0; i < model.nodes.size(); ++i)
      out.line(i5(static_cast<long>(i + 1)) + e15(model.nodes[i][0]) + e15(model.nodes[i][1]) + e15(model.nodes[i][2]));
    for (size_t j = 0; j < c.diameters.size(); ++j) out.line(i5(static_cast<long>(j + 1)) + e15(c.diameters[j]));
  }
  out.commit();
}

struct RunFigures {
  double wall = 0, cpu = 0, cycles = 0, writing = 0;  // s; cycles: analysis and update
  double analysis = 0, factorisation = 0;             // s, within the cycles
  int rewrites = 0;
  double rewriting = 0;
  int factorisations = 0, iterations = 0, threads = 1;
  long file_mb = 0;
  std::vector<CycleRecord> history;
};

// One whole run as topo_nd does it, the old way or the new one, with `threads` BLAS threads.
RunFigures whole_run(const ModelFile& model, bool new_way, int threads = 1) {
  const std::string path = post_file_name;
  remove_result_file(path);
  RunFigures r;
  const auto start = Clock::now();
  const double cpu_start = cpu_seconds();
  Optimiser optimiser(model);
  optimiser.analysis().set_factor_reuse(new_way);
  optimiser.set_reference_arithmetic(!new_way);
  optimiser.analysis().set_threads(threads);
  ResultFileWriter writer(path, model);
  std::vector<CycleRecord> done;
  auto last_write = Clock::now();
  auto cycle_start = Clock::now();
  r.history = optimiser.run([&](const CycleRecord& c) {
    r.cycles += seconds_since(cycle_start);
    r.analysis += optimiser.analysis().last_solve_seconds();
    const auto written = Clock::now();
    if (new_way) {
      writer.add(c);
    } else {
      done.push_back(c);
      if (written - last_write >= std::chrono::seconds(1)) {
        write_the_old_way(path, model, done);
        ++r.rewrites;
        last_write = Clock::now();
      }
    }
    r.writing += seconds_since(written);
    cycle_start = Clock::now();
  });
  const auto written = Clock::now();
  if (new_way) {
    writer.flush();
  } else {
    write_the_old_way(path, model, done);
  }
  r.writing += seconds_since(written);
  r.wall = seconds_since(start);
  r.cpu = cpu_seconds() - cpu_start;
  r.factorisations = optimiser.analysis().factorisations();
  r.factorisation = optimiser.analysis().factorisation_seconds();
  r.rewrites = new_way ? writer.rewrites() : r.rewrites + 1;
  r.rewriting = new_way ? writer.rewrite_seconds() : 0;
  r.iterations = optimiser.analysis().iterations();
  r.threads = optimiser.analysis().threads();
  r.file_mb = static_cast<long>(std::filesystem::file_size(path) >> 20);
  return r;
}

// Largest relative difference of the compliance and largest difference of x = d / Dmax over
// the cycles both runs made (one may have stopped earlier).
std::pair<double, double> history_difference(const RunFigures& a, const RunFigures& b, double d_max) {
  double compliance = 0, x = 0;
  for (size_t k = 0; k < std::min(a.history.size(), b.history.size()); ++k) {
    compliance = std::max(compliance, std::fabs(a.history[k].compliance / b.history[k].compliance - 1));
    for (size_t j = 0; j < a.history[k].diameters.size(); ++j)
      x = std::max(x, std::fabs(a.history[k].diameters[j] - b.history[k].diameters[j]) / d_max);
  }
  return {compliance, x};
}

// The largest relative difference of a written compliance from a fresh analysis (a factorisation)
// of the design of its cycle, at the penalty of its cycle.
double written_against_fresh(const ModelFile& model, const std::vector<CycleRecord>& history) {
  FrameAnalysis fresh(model);
  fresh.set_factor_reuse(false);
  const double d_max = model.settings.max_diameter;
  double worst = 0;
  for (const CycleRecord& c : history) {
    std::vector<Section> sections;
    for (size_t j = 0; j < c.diameters.size(); ++j) {
      const FrameElement& e = fresh.elements()[j];
      sections.push_back(e.design ? circle_section(d_max * std::pow(c.diameters[j] / d_max, c.penalty)) : e.section);
    }
    worst = std::max(worst, std::fabs(fresh.solve(sections) / c.compliance - 1));
  }
  return worst;
}

void print_run(const char* way, const RunFigures& r) {
  std::printf("  %-6s %8.1f s %8.1f s CPU %8.1f s %8.1f s (%4.1f %%) %8.2f s (%4.1f %%) %5ld MB %5zu %5d %6d\n", way,
              r.wall, r.cpu, r.cycles, r.wall - r.cycles, 100 * (r.wall - r.cycles) / r.wall, r.writing,
              100 * r.writing / r.wall, r.file_mb, r.history.size(), r.factorisations, r.iterations);
  std::printf("         in the cycles: analysis %.1f s (factorising %.1f s), update %.1f s; %d rewrites of the file; "
              "peak memory of the process so far %ld MB; %s\n",
              r.analysis, r.factorisation, r.cycles - r.analysis, r.rewrites, peak_memory_mb(),
              plural(r.threads, "BLAS thread").c_str());
}

// The frame as reference_cycle.py reads it, one item a line, every number to its last bit: the
// settings, the nodes, the elements with their material, section (used for non-design ones) and
// reference, then per case its fixed dofs, loads and springs.
void write_reference_frame(const std::string& path, const ModelFile& model) {
  std::ofstream out(path);
  out.precision(17);
  const AnalysisSettings& s = model.settings;
  out << "settings " << double(s.max_diameter) << ' ' << double(s.init_ratio) << ' ' << double(s.volume_ratio) << ' '
      << double(s.move_limit) << ' ' << double(s.penalty) << '\n';
  for (const auto& p : model.nodes) out << "node " << p[0] << ' ' << p[1] << ' ' << p[2] << '\n';
  for (const ModelFileElement& e : model.elements) {
    const auto& v = model.props[static_cast<size_t>(e.prop - 1)];
    out << "element " << e.node1 << ' ' << e.node2 << ' ' << (v[0] < 0 ? 1 : 0) << ' ' << std::fabs(v[0]);
    for (int k = 1; k < 6; ++k) out << ' ' << v[static_cast<size_t>(k)];
    out << ' ' << e.ref[0] << ' ' << e.ref[1] << ' ' << e.ref[2] << '\n';
  }
  out << "cases " << model.cases.size() << '\n';
  for (size_t c = 0; c < model.cases.size(); ++c)
    for (size_t i = 0; i < model.nodes.size(); ++i)
      for (size_t k = 0; k < 6; ++k) {
        const ModelFileCase& mc = model.cases[c];  // nodes and dofs 1-based
        const std::string at = std::to_string(c + 1) + ' ' + std::to_string(i + 1) + ' ' + std::to_string(k + 1);
        if (mc.fixed[i][k]) out << "fixed " << at << '\n';
        if (mc.loads[i][k] != 0) out << "load " << at << ' ' << mc.loads[i][k] << '\n';
        if (mc.springs[i][k] != 0) out << "spring " << at << ' ' << mc.springs[i][k] << '\n';
      }
}

// A shell command's standard output and error, and whether it exited with 0.
std::pair<bool, std::string> command_output(const std::string& command) {
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return {false, std::strerror(errno)};
  std::string text;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
  return {pclose(pipe) == 0, text};
}

// The value after `key` at the start of a line of `text`, or NaN.
double keyed_value(const std::string& text, const std::string& key) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(key + ' ', 0) == 0) return std::strtod(line.c_str() + key.size(), nullptr);
  return std::nan("");
}

// One cycle of the same formulation in NumPy and SciPy (bench/reference_cycle.py) on the model:
// its time, the best of three, against the whole run's, once the compliance of the uniform design
// and the design of the update show that both solved the same problem (the update against the
// engine's optimality-criteria update). Skipped, saying why, without a Python 3 that imports
// SciPy (the one on the PATH or the system's; python3-scipy).
void compare_with_reference(const ModelFile& model, const RunFigures& run) {
  std::string python;
  for (const char* candidate : {"python3", "/usr/bin/python3"})
    if (python.empty() && command_output(std::string(candidate) + " -c 'import numpy, scipy.sparse.linalg'").first)
      python = candidate;
  if (python.empty()) {
    std::printf("  the SciPy reference cycle was skipped: neither python3 on the PATH nor /usr/bin/python3 imports "
                "numpy and scipy (python3-scipy)\n");
    return;
  }
  write_reference_frame("reference_frame.txt", model);
  const auto [ok, text] = command_output(python + " '" MARULLA_BENCH_DIR "/reference_cycle.py' reference_frame.txt 3");
  const double seconds = keyed_value(text, "seconds"), cpu = keyed_value(text, "cpu_seconds");
  if (!ok || !(seconds > 0)) {
    std::printf("  the SciPy reference cycle failed:\n%s\n", text.c_str());
    return;
  }
  Optimiser criteria(model, OptimiserMethod::optimality_criteria);
  criteria.keep_going(2);
  const std::vector<CycleRecord> two = criteria.run();
  double sum_of_x = 0;
  for (size_t j = 0; j < model.elements.size(); ++j)
    if (criteria.analysis().elements()[j].design) sum_of_x += two[1].diameters[j] / model.settings.max_diameter;
  const double compliance = std::fabs(keyed_value(text, "compliance") / run.history.front().compliance - 1);
  const double update = std::fabs(keyed_value(text, "sum_of_next_x") / sum_of_x - 1);
  std::printf("  SciPy reference cycle %.3f s, %.3f s CPU (best of 3); against the engine, relative differences: "
              "compliance of the uniform design %.1e, sum of the updated x %.1e\n",
              seconds, cpu, compliance, update);
  if (!(compliance <= 1e-8 && update <= 1e-8)) {
    std::printf("  the reference solved another problem (a difference above 1e-8): no comparison\n");
    return;
  }
  std::printf("  a whole run = %.2f reference cycles (CPU %.2f; the aim: at most 1)\n", run.wall / seconds, run.cpu / cpu);
}

void compare_runs(int n, int h, int elements) {
  const ModelFile model = lattice(n, h, elements);
  std::printf("%d nodes, %d elements, 5 load cases\n", model.n_node, model.n_elem);
  std::printf("  way       whole run  CPU time        in cycles   outside them      of it writing       file  cycles"
              "  fact.  iter.\n");
  const RunFigures today = whole_run(model, false);
  print_run("before", today);
  const RunFigures now = whole_run(model, true);
  print_run("now", now);
  if (elements == 5000) compare_with_reference(model, now);
  if (solver_threads_worth(FrameAnalysis(model).factor_flops(), std::thread::hardware_concurrency(), 0) > 1) {
    // Where the engine takes a second thread on a machine with a core to spare.
    const RunFigures two = whole_run(model, true, 2);
    print_run("now, 2", two);
    std::printf("  two BLAS threads against one: wall %.2f, CPU %.2f\n", two.wall / now.wall, two.cpu / now.cpu);
  }
  const auto [compliance, x] = history_difference(today, now, model.settings.max_diameter);
  std::printf("  whole run now/before %.2f, CPU now/before %.2f; histories differ by %.1e in compliance (relative), "
              "%.1e in x; final compliance now/before %.7f\n",
              now.wall / today.wall, now.cpu / today.cpu, compliance, x,
              now.history.back().compliance / today.history.back().compliance);
  std::printf("  largest difference of a written compliance from a fresh analysis of its design: now %.1e\n",
              written_against_fresh(model, now.history));
  {  // The stop rule against the run carried on to 300 cycles.
    Optimiser longer(model);
    longer.keep_going(300);
    const double later = longer.run().back().compliance;
    std::printf("  the run stopped at cycle %zu, %.3f %% above the compliance of cycle 300 (the aim: at most 0.05 %%)\n",
                now.history.size(), 100 * (now.history.back().compliance / later - 1));
  }
  if (elements <= 5000) {
    // The yardstick of that difference: the old way again with one node moved by 1e-9 mm. The
    // optimum is flat in x, so the cycles carry any rounding apart however the cases are solved.
    ModelFile moved = model;
    moved.nodes[0][0] += 1e-9;
    const auto [moved_compliance, moved_x] = history_difference(today, whole_run(moved, false), model.settings.max_diameter);
    std::printf("  before against before with node 1 moved by 1e-9 mm: %.1e in compliance, %.1e in x\n",
                moved_compliance, moved_x);
  }
  // One cycle that factorises afresh, the median of five after one to warm up (the first
  // allocates the factor): the yardstick of the whole run.
  FrameAnalysis fresh(model);
  fresh.set_factor_reuse(false);
  std::vector<Section> sections(model.elements.size(), circle_section(model.settings.max_diameter * 0.2));
  fresh.solve(sections);
  std::vector<std::pair<double, double>> times;  // CPU, wall
  for (int k = 0; k < 5; ++k) {
    const auto t = Clock::now();
    const double cpu = cpu_seconds();
    fresh.solve(sections);
    times.emplace_back(cpu_seconds() - cpu, seconds_since(t));
  }
  std::sort(times.begin(), times.end());
  const double one_cpu = times[2].first, one = times[2].second;
  // A cycle is its analysis with the run's update and writing of a cycle (CPU, from the share of
  // the run's wall time).
  auto per_cycle_cpu = [](const RunFigures& r, double seconds) { return seconds / r.wall * r.cpu / static_cast<double>(r.history.size()); };
  const double rest_cpu = per_cycle_cpu(now, now.cycles - now.analysis + now.writing);
  const double cycle_cpu = one_cpu + rest_cpu;
  std::printf("  one freshly factorising analysis %.3f s, %.3f s CPU: whole run now = %.0f of them (CPU %.0f; the aim: "
              "at most 40), before %.0f (CPU %.0f)\n",
              one, one_cpu, now.wall / one, now.cpu / one_cpu, today.wall / one, today.cpu / one_cpu);
  std::printf("  one freshly factorising cycle (with update and writing) %.3f s CPU: whole run now = %.0f of them, "
              "before %.0f\n",
              cycle_cpu, now.cpu / cycle_cpu, today.cpu / cycle_cpu);
  // The floor of a cycle: an analysis of a design that did not change (assembly, one product and
  // one solve with the factor, the element energies), with the update and the writing of the run;
  // element by element and now, in turns, the median of seven of each after one that factorises.
  FrameAnalysis same_before(model), same(model);
  same_before.set_element_by_element(true);
  same_before.solve(sections);
  same.solve(sections);
  std::vector<double> before_times, now_times;
  for (int k = 0; k < 7; ++k)
    for (auto [analysis, list] : {std::pair{&same_before, &before_times}, std::pair{&same, &now_times}}) {
      const double cpu = cpu_seconds();
      analysis->solve(sections);
      list->push_back(cpu_seconds() - cpu);
    }
  std::sort(before_times.begin(), before_times.end());
  std::sort(now_times.begin(), now_times.end());
  const double floor_before = before_times[3], floor_cpu = now_times[3];
  const double update_before = per_cycle_cpu(today, today.cycles - today.analysis);
  const double update_now = per_cycle_cpu(now, now.cycles - now.analysis), writing = per_cycle_cpu(now, now.writing);
  const double cycle_before = floor_before + update_before + writing, cycle_now = floor_cpu + update_now + writing;
  std::printf("  an unchanged design's cycle, CPU s: analysis %.4f before, %.4f now (%.2f); update %.4f before, %.4f "
              "now (%.2f); writing %.4f\n",
              floor_before, floor_cpu, floor_cpu / floor_before, update_before, update_now, update_now / update_before, writing);
  std::printf("  an unchanged design's cycle %.4f s CPU before, %.2f of a fresh analysis; now %.4f s, %.2f: now/before "
              "%.2f (the aim: at most 0.5); a run of %zu cycles that needed no iteration at all would cost %.0f fresh "
              "analyses\n",
              cycle_before, cycle_before / one_cpu, cycle_now, cycle_now / one_cpu, cycle_now / cycle_before,
              now.history.size(), static_cast<double>(now.history.size()) * cycle_now / one_cpu);
}

// Numeric factorisation and the solve of five cases, averaged over repeats: wall and CPU seconds.
std::pair<double, double> time_factorisation(Eigen::CholmodDecomposition<Eigen::SparseMatrix<double>, Eigen::Lower>& chol,
                                             const Eigen::SparseMatrix<double>& lower, const Eigen::MatrixXd& f,
                                             int repeat) {
  const auto t = Clock::now();
  const double cpu = cpu_seconds();
  for (int k = 0; k < repeat; ++k) {
    chol.factorize(lower);
    const Eigen::MatrixXd u = chol.solve(f);
    if (!u.allFinite()) std::printf("  (solve failed)\n");
  }
  return {seconds_since(t) / repeat, (cpu_seconds() - cpu) / repeat};
}

// CHOLMOD's orderings, supernodal against simplicial, and one against two BLAS threads, on the
// stiffness of the lattice.
void compare_factorisations(int n, int h, int elements) {
  const ModelFile model = lattice(n, h, elements);
  FrameAnalysis analysis(model);
  analysis.solve(std::vector<Section>(model.elements.size(), circle_section(4)));
  const Eigen::SparseMatrix<double> lower = analysis.stiffness(0);
  const Eigen::MatrixXd f = Eigen::MatrixXd::Random(lower.rows(), 5);
  const int repeat = elements <= 5000 ? 10 : elements <= 15000 ? 3 : 1;
  std::printf("%d elements, %ld dofs: factorisation and solve of 5 cases, wall s / CPU s, nonzeros of L\n",
              model.n_elem, static_cast<long>(lower.rows()));
  {  // What one conjugate-gradient iteration costs against a fresh factor: a solve and a product.
    Eigen::CholmodDecomposition<Eigen::SparseMatrix<double>, Eigen::Lower> chol;
    chol.setMode(Eigen::CholmodSupernodalLLt);
    chol.compute(lower);
    const auto [factor_wall, factor_cpu] = time_factorisation(chol, lower, f, repeat);
    const auto t = Clock::now();
    const double cpu = cpu_seconds();
    for (int k = 0; k < 10 * repeat; ++k) {
      const Eigen::MatrixXd z = chol.solve(f);
      const Eigen::MatrixXd q = lower.selfadjointView<Eigen::Lower>() * z;
      if (!q.allFinite()) std::printf("  (solve failed)\n");
    }
    std::printf("  one iteration (solve and product, 5 cases) %.4f / %.4f, %.1f of them per factorisation (CPU); "
                "the engine counts %.1f\n",
                seconds_since(t) / (10 * repeat), (cpu_seconds() - cpu) / (10 * repeat),
                factor_cpu / ((cpu_seconds() - cpu) / (10 * repeat)), analysis.factor_worth(0));
  }
  struct Ordering {
    const char* name;
    int ordering;
  };
  for (const auto& [name, ordering] : {Ordering{"AMD", CHOLMOD_AMD}, Ordering{"METIS", CHOLMOD_METIS},
                                       Ordering{"nested dissection", CHOLMOD_NESDIS}, Ordering{"CHOLMOD's choice", -1}})
    for (const auto& [mode_name, mode] : {std::pair{"supernodal", Eigen::CholmodSupernodalLLt},
                                          std::pair{"simplicial", Eigen::CholmodLDLt}}) {
      if (mode == Eigen::CholmodLDLt && elements > 15000) continue;  // minutes at this size
      set_solver_threads(1);
      Eigen::CholmodDecomposition<Eigen::SparseMatrix<double>, Eigen::Lower> chol;
      chol.setMode(mode);
      if (ordering >= 0) {
        chol.cholmod().nmethods = 1;
        chol.cholmod().method[0].ordering = ordering;
      }
      const auto t = Clock::now();
      chol.analyzePattern(lower);
      const double analyse = seconds_since(t);
      const auto [wall, cpu] = time_factorisation(chol, lower, f, repeat);
      std::printf("  %-18s %-10s  1 thread  %7.3f / %7.3f  (ordering %.2f s, %.1fM nonzeros)\n", name, mode_name, wall,
                  cpu, analyse, chol.cholmod().lnz / 1e6);
      if (mode == Eigen::CholmodSupernodalLLt) {
        set_solver_threads(2);
        const auto [wall2, cpu2] = time_factorisation(chol, lower, f, repeat);
        set_solver_threads(1);
        std::printf("  %-18s %-10s  2 threads %7.3f / %7.3f\n", name, mode_name, wall2, cpu2);
      }
    }
}

// The same frame with its design set made a non-design one of the uniform start's sections
// (Dmax x, x^2 the volume ratio, as the first cycle has them): topo_nd runs it as one analysis
// and stops, since nothing is left to optimise. The references become directions.
ModelFile fixed_design(const ModelFile& model) {
  ModelFile f = model;
  const Section s = circle_section(model.settings.max_diameter * std::sqrt(double(model.settings.volume_ratio)));
  for (auto& p : f.props)
    if (p[0] < 0) p = {-p[0], p[1], s.A, s.Iw, s.Ih, s.J, 0};
  for (ModelFileElement& e : f.elements)
    for (size_t a = 0; a < 3; ++a) e.ref[a] -= model.nodes[static_cast<size_t>(e.node1 - 1)][a];
  return f;
}

struct ProcessRun {
  double wall = 0, cpu = 0;  // s; CPU of the process and all its threads
  bool ok = false;
  std::string output;
};

// topo_nd (beside this program) in `dir`, as a process of its own.
ProcessRun run_topo_nd(const std::filesystem::path& dir) {
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "topo_nd";
  ProcessRun r;
  const double cpu = cpu_seconds(RUSAGE_CHILDREN);
  const auto start = Clock::now();
  std::tie(r.ok, r.output) = command_output("cd '" + dir.string() + "' && '" + program.string() + "'");
  r.wall = seconds_since(start);
  r.cpu = cpu_seconds(RUSAGE_CHILDREN) - cpu;
  return r;
}

// The compliance of a printed cycle line of topo_nd ("    1          1.234567e+02 ..."), or NaN.
double printed_compliance(const std::string& output, int cycle) {
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    int number = 0;
    double compliance = 0;
    if (std::sscanf(line.c_str(), "%d %lf", &number, &compliance) == 2 && number == cycle) return compliance;
  }
  return std::nan("");
}

// The last line of a program's output: topo_nd's summary.
std::string last_line(const std::string& output) {
  const size_t end = output.find_last_not_of('\n') + 1, start = output.rfind('\n', end - 1) + 1;
  return output.substr(start, end - start);
}

// topo_nd's whole run on the lattice as a process of its own, against a fresh analysis of the same
// frame as a process of its own (the frame with its design fixed at the first cycle's, which
// topo_nd analyses once): the median of three of those, then the whole run.
void compare_processes(int n, int h, int elements) {
  const ModelFile model = lattice(n, h, elements);
  std::printf("\ntopo_nd as a process: %d nodes, %d elements, 5 load cases, a whole run against one fresh analysis "
              "(the same frame with the first cycle's design fixed)\n",
              model.n_node, model.n_elem);
  const std::filesystem::path whole = std::filesystem::absolute("whole"), fresh = std::filesystem::absolute("fresh");
  std::filesystem::create_directories(whole);
  std::filesystem::create_directories(fresh);
  write_model_file(model, whole / model_file_name);
  write_model_file(fixed_design(model), fresh / model_file_name);
  std::vector<ProcessRun> analyses;
  for (int k = 0; k < 3; ++k) analyses.push_back(run_topo_nd(fresh));
  std::sort(analyses.begin(), analyses.end(), [](const ProcessRun& a, const ProcessRun& b) { return a.wall < b.wall; });
  const ProcessRun& one = analyses[1];
  const ProcessRun run = run_topo_nd(whole);
  for (const ProcessRun* r : {&one, &run})
    if (!r->ok) {
      std::printf("  topo_nd failed:\n%s\n", r->output.c_str());
      return;
    }
  std::printf("  fresh analysis %.3f s, %.3f s CPU (the median of 3): %s\n", one.wall, one.cpu, last_line(one.output).c_str());
  std::printf("  whole run %.2f s, %.2f s CPU: %s\n", run.wall, run.cpu, last_line(run.output).c_str());
  std::printf("  first cycle's compliance, whole run against fresh analysis: relative difference %.1e (the model "
              "file's sections)\n",
              std::fabs(printed_compliance(run.output, 1) / printed_compliance(one.output, 1) - 1));
  std::printf("  a whole run as a process = %.1f fresh analyses as processes (the aim: at most 26); CPU %.1f\n",
              run.wall / one.wall, run.cpu / one.cpu);
}

// The largest model the model file holds (15,625 nodes, 99,999 elements), run by topo_nd as a
// process of its own: its time, peak memory and result file, and what the post-processing
// window's reader says of that file.
void run_format_ceiling() {
  const ModelFile model = lattice(25, 25, 99999);
  std::printf("\nThe model file's ceiling: %d nodes, %d elements, 5 load cases, topo_nd as a process\n", model.n_node,
              model.n_elem);
  const std::filesystem::path dir = std::filesystem::absolute("ceiling");
  std::filesystem::create_directories(dir);
  write_model_file(model, dir / model_file_name);
  const ProcessRun run = run_topo_nd(dir);
  if (!run.ok) {
    std::printf("  topo_nd failed:\n%s\n", run.output.c_str());
    return;
  }
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  std::printf("  %.0f s, %.0f s CPU, peak memory %ld MB: %s\n", run.wall, run.cpu, children.ru_maxrss / 1024,
              last_line(run.output).c_str());
  const std::string results = (dir / "post_pl.dat").string();
  std::string read = "read";
  try {
    read_result_file(*std::make_unique<ResultStore>(), results);
  } catch (const std::exception& e) {
    read = e.what();
  }
  std::printf("  post_pl.dat %.0f MB; the post-processing window: %s\n",
              static_cast<double>(std::filesystem::file_size(results)) / (1 << 20), read.c_str());
}

// The moving asymptotes beside the optimality-criteria update on the largest program model:
// outside the factorisation a cycle is assembly, solves, energies and the update, so that part
// compares the two updates.
void compare_updates() {
  std::printf("\nUpdates at the largest program model\n");
  const ModelFile model = lattice(10, 10, 5000);
  double rest[2] = {0, 0};
  double final_compliance[2] = {0, 0};
  const OptimiserMethod methods[2] = {OptimiserMethod::moving_asymptotes, OptimiserMethod::optimality_criteria};
  for (int m = 0; m < 2; ++m) {
    Optimiser optimiser(model, methods[m]);
    const auto begun = Clock::now();
    const auto run = optimiser.run();
    const double t = seconds_since(begun);
    const auto n = static_cast<double>(run.size());
    rest[m] = (t - optimiser.analysis().factorisation_seconds()) / n;
    final_compliance[m] = run.back().compliance;
    std::printf("  %-20s %3zu cycles, %.4f s per cycle, %.4f s of it outside the factorisation, compliance %.6e\n",
                m == 0 ? "moving asymptotes" : "optimality criteria", run.size(), t / n, rest[m], run.back().compliance);
  }
  std::printf("  asymptotes / criteria: per cycle outside the factorisation %.2f, final compliance %.5f\n",
              rest[0] / rest[1], final_compliance[0] / final_compliance[1]);
}

}  // namespace

int main(int argc, char** argv) {
  int largest = 15000;
  bool only = false, processes = false, ceiling = false;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (arg == "--only") {
      only = true;
    } else if (arg == "--processes") {
      processes = true;
    } else if (arg == "--ceiling") {
      ceiling = true;
    } else {
      largest = std::atoi(arg.c_str());
    }
  }
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("bench_solver_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  std::vector<std::tuple<int, int, int>> sizes = {{10, 10, 5000}, {14, 14, 15000}, {18, 18, 35000}};
  std::erase_if(sizes, [&](const auto& size) { return std::get<2>(size) > largest; });
  if (only && !sizes.empty()) sizes.erase(sizes.begin(), sizes.end() - 1);
  if (ceiling) {
    run_format_ceiling();
  } else if (!processes) {
    std::printf("Whole runs of 100 cycles at most: before (a factorisation every cycle, element by element, the\n"
                "multiplier by bisection, the file rewritten whole once a second through the number pattern) and now\n"
                "(factor reuse, the precomputed element parts, Newton steps, the result file writer)\n");
    for (const auto& [n, h, elements] : sizes) compare_runs(n, h, elements);
    std::printf("\nFactorisation methods and threads\n");
    for (const auto& [n, h, elements] : sizes) compare_factorisations(n, h, elements);
  }
  if (processes || (!ceiling && !only && largest >= 15000)) compare_processes(14, 14, 15000);
  if (!only && !processes && !ceiling) compare_updates();
  std::filesystem::current_path(dir.parent_path());
  std::filesystem::remove_all(dir);
  return 0;
}
