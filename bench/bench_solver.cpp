// Solver benchmark: the optimisation at the program's largest model (1000 nodes, 5000 elements,
// 5 load cases), the share of factorisation, CHOLMOD against Eigen's SimplicialLDLT and a dense
// LDLT on the same stiffness, and a scaling run towards the file format's ceiling.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <Eigen/CholmodSupport>
#include <Eigen/Dense>
#include <Eigen/SparseCholesky>

#include "analysis/model_file.h"
#include "models.h"
#include "solver/frame.h"
#include "solver/optimiser.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

using bench::lattice;

// Resident memory of the process now (Linux), in kB.
long memory_kb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

template <typename Solver>
double factor_and_solve(Solver& solver, const Eigen::SparseMatrix<double>& K, const Eigen::MatrixXd& f, int repeat) {
  const auto t = Clock::now();
  for (int r = 0; r < repeat; ++r) {
    solver.compute(K);
    const Eigen::MatrixXd u = solver.solve(f);
    if (!u.allFinite()) std::printf("  (solve failed)\n");
  }
  return seconds_since(t) / repeat;
}

}  // namespace

int main() {
  std::printf("Largest program model\n");
  const ModelFile model = lattice(10, 10, 5000);
  Optimiser optimiser(model);
  int cycles = 0;
  const auto start = Clock::now();
  const auto run = optimiser.run([&](const CycleRecord&) { ++cycles; });
  const double total = seconds_since(start);
  const FrameAnalysis& a = optimiser.analysis();
  std::printf("  %d nodes, %d elements, 5 load cases, %d cycles\n", model.n_node, model.n_elem, cycles);
  std::printf("  moving asymptotes: time per cycle %.4f s (analysis and update), factorisation share %.0f %%\n", total / cycles,
              100 * a.factorisation_seconds() / total);
  std::printf("  compliance from %.4e to %.4e N mm\n", run.front().compliance, run.back().compliance);
  {  // The optimality-criteria update on the same model. Outside the factorisation a cycle is
     // assembly, solves, energies and the update, so that part compares the two updates.
    Optimiser criteria(model, OptimiserMethod::optimality_criteria);
    const auto begun = Clock::now();
    const auto done = criteria.run();
    const double t = seconds_since(begun);
    const auto n = static_cast<double>(done.size());
    const double rest = (total - a.factorisation_seconds()) / cycles;
    const double criteria_rest = (t - criteria.analysis().factorisation_seconds()) / n;
    std::printf("  optimality criteria: %zu cycles, %.4f s per cycle, compliance / the moving asymptotes' %.4f\n",
                done.size(), t / n, done.back().compliance / run.back().compliance);
    std::printf("  per cycle outside the factorisation: moving asymptotes %.4f s, criteria %.4f s (ratio %.2f)\n",
                rest, criteria_rest, rest / criteria_rest);
  }

  {  // The same stiffness, factorised and solved for the five cases by each method.
    const Eigen::SparseMatrix<double> lower = a.stiffness(0);
    const Eigen::SparseMatrix<double> K = lower.selfadjointView<Eigen::Lower>();
    const Eigen::MatrixXd f = Eigen::MatrixXd::Random(K.rows(), 5);
    Eigen::CholmodDecomposition<Eigen::SparseMatrix<double>, Eigen::Lower> cholmod;
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> simplicial;
    const double t_cholmod = factor_and_solve(cholmod, lower, f, 10);
    const double t_simplicial = factor_and_solve(simplicial, K, f, 3);
    const Eigen::MatrixXd dense = Eigen::MatrixXd(K);
    const auto t = Clock::now();
    const Eigen::LDLT<Eigen::MatrixXd> ldlt(dense);
    const Eigen::MatrixXd u = ldlt.solve(f);
    const double t_dense = seconds_since(t);
    std::printf("  %ld dofs: CHOLMOD %.4f s, SimplicialLDLT %.4f s (ratio %.1f), dense LDLT %.3f s (ratio %.0f)\n",
                static_cast<long>(K.rows()), t_cholmod, t_simplicial, t_simplicial / t_cholmod, t_dense,
                t_dense / t_cholmod);
  }

  std::printf("Scaling towards the file format's ceiling (set-up, then one analysis of 5 cases)\n");
  for (const auto& [n, h, elements] : {std::tuple{10, 10, 5000}, {14, 14, 15000}, {18, 18, 35000}, {22, 22, 70000}}) {
    const ModelFile big = lattice(n, h, elements);
    const auto built = Clock::now();
    FrameAnalysis analysis(big);
    const double setup = seconds_since(built);
    std::vector<Section> sections(big.elements.size(), circle_section(5));
    const auto solved = Clock::now();
    analysis.solve(sections);
    std::printf("  %6d nodes %6d elements: set-up %.3f s, cycle %.3f s, memory in use %ld MB\n", big.n_node,
                big.n_elem, setup, seconds_since(solved), memory_kb() / 1024);
  }
  return 0;
}
