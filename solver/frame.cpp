// Frame analysis: element axes and stiffness, assembly into one sparse matrix per group of load
// cases, CHOLMOD factorisation, and the element energies the optimiser needs.
#include "frame.h"

#include <numbers>
#include <algorithm>
#include <atomic>
#include <dlfcn.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <thread>

#include <Eigen/CholmodSupport>
#include <Eigen/Eigenvalues>
#include <Eigen/SparseCore>

#include "base/analysis_model.h"
#include "formats/fields.h"
#include "solver/rigid_motion.h"

namespace {

using Matrix12 = Eigen::Matrix<double, 12, 12>;
using Vector12 = Eigen::Matrix<double, 12, 1>;
using SparseMatrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;


// A design beam whose largest second moment is below this fraction of the stiffest beam's holds
// nothing a factorisation can tell from the rounding of the others' stiffness.
constexpr double near_void_bending = 1e-14;

std::atomic<int> threads_in_use{0};  // as last set for the whole process, 0 before

// "L 0, W 50, H 100": where a node lies, so that a message can be traced on the picture, which
// shows no node numbers.
std::string coordinates_text(const Eigen::Vector3d& p) { return place_text(p[0], p[1], p[2]); }

std::string dof_name(int node, int dof, const std::vector<Eigen::Vector3d>& nodes) {
  return "node " + std::to_string(node + 1) + " (" + coordinates_text(nodes[static_cast<size_t>(node)]) + "), dof " +
         std::to_string(dof + 1);
}

// Bending in one plane for a unit second moment, on (transverse displacement, rotation) at both
// ends: the cubic beam's 4 x 4 stiffness / E I.
Eigen::Matrix4d unit_bending(double L) {
  const double L2 = L * L, L3 = L2 * L;
  Eigen::Matrix4d b;
  b << 12 / L3, 6 / L2, -12 / L3, 6 / L2,  //
      6 / L2, 4 / L, -6 / L2, 2 / L,        //
      -12 / L3, -6 / L2, 12 / L3, -6 / L2,  //
      6 / L2, 2 / L, -6 / L2, 4 / L;
  return b;
}

// Local dofs of the two bending planes and the signs that turn them into (deflection, slope):
// bending about H moves v with slope +rz; bending about W moves w with slope -ry.
constexpr int bend_h_dofs[4] = {1, 5, 7, 11};
constexpr double bend_h_signs[4] = {1, 1, 1, 1};
constexpr int bend_w_dofs[4] = {2, 4, 8, 10};
constexpr double bend_w_signs[4] = {1, -1, 1, -1};

void add_bending(Matrix12& k, double EI, const Eigen::Matrix4d& b, const int* dofs, const double* signs) {
  for (int a = 0; a < 4; ++a)
    for (int c = 0; c < 4; ++c) k(dofs[a], dofs[c]) += EI * signs[a] * signs[c] * b(a, c);
}

double bending_energy(const Vector12& ul, const Eigen::Matrix4d& b, const int* dofs, const double* signs) {
  Eigen::Vector4d q;
  for (int a = 0; a < 4; ++a) q[a] = signs[a] * ul[dofs[a]];
  return q.dot(b * q);
}

// Global displacements of an element's 12 dofs turned into its own axes.
Vector12 to_local(const Eigen::Matrix3d& R, const Vector12& ug) {
  Vector12 ul;
  for (int blk = 0; blk < 4; ++blk) ul.segment<3>(3 * blk) = R * ug.segment<3>(3 * blk);
  return ul;
}

// The entries (a, b), a >= b, of the lower triangle of an element's 12 x 12 stiffness, row by row:
// the symmetric matrix stored once.
constexpr int triangle = 78;
struct TrianglePairs {
  int row[triangle], col[triangle];
  constexpr TrianglePairs() : row(), col() {
    int k = 0;
    for (int a = 0; a < 12; ++a)
      for (int b = 0; b <= a; ++b, ++k) {
        row[k] = a;
        col[k] = b;
      }
  }
};
constexpr TrianglePairs pairs;

// The energy q^T b q of the cubic beam for a unit E I, q = (deflection 1, slope 1, deflection 2,
// slope 2), with drop = deflection 1 - deflection 2: written out, it needs no 4 x 4 matrix.
double cubic_energy(double drop, double slope1, double slope2, double inverse_length) {
  const double s = drop * inverse_length;
  return 4 * inverse_length * (3 * s * s + 3 * s * (slope1 + slope2) + slope1 * slope1 + slope1 * slope2 + slope2 * slope2);
}

// K = T^T k T with T = diag(R, R, R, R), block by block.
Matrix12 to_global(const Eigen::Matrix3d& R, const Matrix12& k) {
  Matrix12 K;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) K.block<3, 3>(3 * i, 3 * j) = R.transpose() * k.block<3, 3>(3 * i, 3 * j) * R;
  return K;
}

// CHOLMOD through Eigen, telling where a failed factorisation broke down.
class Cholesky : public Eigen::CholmodDecomposition<SparseMatrix, Eigen::Lower> {
 public:
  // Supernodal, with the best of nested dissection, METIS and AMD (the fewest nonzeros in the
  // factor; the orderings take a few hundredths of a second once per run). On the benchmark's
  // lattices supernodal was 5 to 12 times faster than simplicial; nested dissection gave the
  // sparsest factor at 5000 elements, METIS at 15000; AMD stays for a CHOLMOD without METIS.
  Cholesky() {
    cholmod().print = 0;  // failures are reported by the solver, not printed
    setMode(Eigen::CholmodSupernodalLLt);
    cholmod().nmethods = 3;
    cholmod().method[0].ordering = CHOLMOD_NESDIS;
    cholmod().method[1].ordering = CHOLMOD_METIS;
    cholmod().method[2].ordering = CHOLMOD_AMD;
  }
  // On small frames the fixed cost of a factorisation call outweighs its flops.
  static constexpr double least_worth = 4;
  // How many conjugate-gradient iterations of `cases` right-hand sides (a solve with the factor,
  // 4 flops per nonzero of L, and a product with K, 4 per stored nonzero of its lower triangle)
  // cost as much as one factorisation, from the flops of the ordering chosen: the factorisation
  // runs on dense blocks, 3.4 times faster per flop. Measured on one core: 6.4, 12.1 and 17.3
  // iterations at 5000, 15000 and 35000 elements, 5 cases, against flop ratios of 20, 41 and 67
  // (3.1, 3.4 and 3.9 times). Counted rather than timed, so that a run takes the same path, and
  // gives the same results, on a busy machine.
  double iterations_worth(long k_nonzeros, int cases) const {
    const double per_iteration = 4.0 * (common().lnz + static_cast<double>(k_nonzeros)) * std::max(cases, 1);
    return std::max(flops() / (3.4 * per_iteration), least_worth);
  }
  double flops() const { return common().fl; }
  // CHOLMOD's settings and statistics, which Eigen only hands out non-const.
  const cholmod_common& common() const { return const_cast<Cholesky*>(this)->cholmod(); }
  // The row of the matrix (in the solver's numbering) at which the factorisation failed, or -1.
  long failed_row() const {
    const cholmod_factor* f = this->m_cholmodFactor;
    if (f == nullptr || f->minor >= f->n) return -1;
    const auto* perm = static_cast<const int*>(f->Perm);
    return perm != nullptr ? perm[f->minor] : static_cast<long>(f->minor);
  }
};

}  // namespace

// Looked up at run time, so that the engine links against any BLAS and OpenMP, or none. CHOLMOD's
// supernodal factorisation opens OpenMP regions with a fixed thread count of its own, which the
// thread count set here does not bound: OpenMP regions stay switched off (no active level) at any
// count, or each small region woke and spun idle threads, a quarter of the CPU time of a run on
// the benchmark's lattice; with two BLAS threads and the regions on, a run at 35000 elements took
// 82 s against 67 s with them off.
void set_solver_threads(int n) {
  threads_in_use = n;
  using SetThreads = void (*)(int);
  for (const char* name : {"openblas_set_num_threads", "omp_set_num_threads"})
    if (auto set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, name))) set(n);
  if (auto set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"))) set(0);
}

int solver_threads_worth(double factor_flops, unsigned cores, double load) {
  constexpr double dense_enough = 2e10;  // flops of a factorisation, about a second of one core
  return factor_flops >= dense_enough && cores >= 2 && load < cores - 1.0 ? 2 : 1;
}

Section circle_section(double d) {
  const double d2 = d * d;
  const double I = std::numbers::pi * d2 * d2 / 64;
  return {std::numbers::pi * d2 / 4, I, I, 2 * I};
}

Section tube_section(double D, double t) {
  if (!(t > 0) || 2 * t >= D) return circle_section(D);
  const double d = D - 2 * t, D2 = D * D, d2 = d * d;
  const double I = std::numbers::pi * (D2 * D2 - d2 * d2) / 64;
  return {std::numbers::pi * (D2 - d2) / 4, I, I, 2 * I};
}

MemberSection circle_member(double d) { return {MemberSection::Shape::circle, d, 0, circle_section(d), {}, {}}; }

MemberSection tube_member(double outer, double wall, std::string name) {
  return {MemberSection::Shape::tube, outer, wall, tube_section(outer, wall), std::move(name), {}};
}

MemberSection general_member(const Section& values) { return {MemberSection::Shape::general, 0, 0, values, {}, {}}; }

Matrix12 local_stiffness(double E, double G, const Section& s, double L) {
  Matrix12 k = Matrix12::Zero();
  const double EA = E * s.A / L, GJ = G * s.J / L;
  k(0, 0) = k(6, 6) = EA;
  k(0, 6) = k(6, 0) = -EA;
  k(3, 3) = k(9, 9) = GJ;
  k(3, 9) = k(9, 3) = -GJ;
  const Eigen::Matrix4d b = unit_bending(L);
  add_bending(k, E * s.Ih, b, bend_h_dofs, bend_h_signs);
  add_bending(k, E * s.Iw, b, bend_w_dofs, bend_w_signs);
  return k;
}

Matrix12 local_geometric_stiffness(double N, const Section& s, double L) {
  Matrix12 k = Matrix12::Zero();
  Eigen::Matrix4d g;
  g << 6 / (5 * L), 0.1, -6 / (5 * L), 0.1,  //
      0.1, 2 * L / 15, -0.1, -L / 30,        //
      -6 / (5 * L), -0.1, 6 / (5 * L), -0.1,  //
      0.1, -L / 30, -0.1, 2 * L / 15;
  add_bending(k, N, g, bend_h_dofs, bend_h_signs);
  add_bending(k, N, g, bend_w_dofs, bend_w_signs);
  const double twist = s.A > 0 ? N * (s.Iw + s.Ih) / (s.A * L) : 0;
  k(3, 3) = k(9, 9) = twist;
  k(3, 9) = k(9, 3) = -twist;
  return k;
}

Eigen::Matrix3d beam_axes(const Eigen::Vector3d& p1, const Eigen::Vector3d& p2, const Eigen::Vector3d& ref, bool design,
                          const std::string& name) {
  const double length = (p2 - p1).norm();
  if (!(length > 0)) throw SolverError(name + " has zero length");
  const Eigen::Vector3d x = (p2 - p1) / length;
  // A design element's reference is a point off node 1; a non-design one's is a direction.
  const Eigen::Vector3d r = design ? Eigen::Vector3d(ref - p1) : ref;
  const Eigen::Vector3d y = r - r.dot(x) * x;
  if (!(y.norm() > 1e-6 * r.norm())) throw SolverError(name + ": its reference is parallel to the element");
  Eigen::Matrix3d axes;
  axes.row(0) = x;
  axes.row(1) = y.normalized();
  axes.row(2) = x.cross(axes.row(1).transpose());
  return axes;
}

struct FrameAnalysis::Case {
  int number = 0;                 // 1-based block number in the model file
  Eigen::VectorXd load;           // 6 per node
  std::vector<char> fixed;        // 6 per node
  std::vector<double> springs;    // 6 per node, N/mm or N mm/rad
  bool loaded = false;
  int support_load = -1;          // first fixed dof (6 per node) given a load, which the support takes
  int group = -1;
};

struct FrameAnalysis::Group {
  std::vector<int> cases;              // indices into cases_
  std::vector<int> reduced;            // dof (6 per node) -> row of K, -1 when fixed or dropped
  int n = 0;                           // rows of K
  SparseMatrix K;                      // lower triangle
  std::vector<int> pair_slots;         // 78 per element: index into K's values of its entry (a, b), a >= b; -1 unused
  std::vector<std::pair<int, double>> spring_slots;  // (index into K's values, stiffness)
  std::vector<char> pinned;            // per row of K: held at zero this cycle (a loose piece)
  Cholesky cholesky;
  bool factored = false;     // cholesky holds the factor of an earlier stiffness
  bool refactor = false;     // iterating has become dearer than factorising: factorise at the next solve
  // What the solves cost, counted in conjugate-gradient iterations (a solve with the factor and a
  // product with K, for every loaded case): a factorisation, and every cycle since the last
  // factorisation, which it opened. Counted rather than timed, so that a run takes the same path,
  // and gives the same results, on a busy machine.
  double factor_worth = 0, since_factor = 0;
  int cycles_since_factor = 0;
  int skip = 0, backoff = 0;  // cycles still to factorise without trying to iterate, and the next such pause
  Eigen::MatrixXd u;         // the last displacements of the loaded cases, free dofs only
  Eigen::VectorXd u_dot_r;   // per loaded case, u^T (f - K u) of the last solve (0 after a factorisation)
};

FrameAnalysis::FrameAnalysis(const ModelFile& model) : n_node_(model.n_node) {
  for (const auto& xyz : model.nodes) nodes_.emplace_back(xyz[0], xyz[1], xyz[2]);
  build_elements(model);
  build_parts();
  build_groups(model);
  case_compliance_.assign(cases_.size(), 0.0);
  displacements_.assign(cases_.size(), Eigen::VectorXd::Zero(6 * n_node_));
  energies_.assign(elements_.size(), {});
  double load[1] = {0};
  threads_ = solver_threads_worth(factor_flops(), std::thread::hardware_concurrency(), getloadavg(load, 1) == 1 ? load[0] : 1e9);
}

FrameAnalysis::~FrameAnalysis() = default;

int FrameAnalysis::case_count() const { return static_cast<int>(cases_.size()); }

bool FrameAnalysis::has_load() const {
  return std::any_of(cases_.begin(), cases_.end(), [](const Case& c) { return c.loaded; });
}

std::string FrameAnalysis::why_unloaded() const {
  for (const Case& c : cases_)
    if (c.support_load >= 0)
      return "load case " + std::to_string(c.number) + ": every load acts on a fixed degree of freedom (" +
             dof_name(c.support_load / 6, c.support_load % 6, nodes_) + " is fixed), so the supports take it all";
  return "no load in any load case: there is nothing to optimise for";
}

namespace {
Eigen::Vector3d node_point(const ModelFile& model, int node1) {
  return Eigen::Vector3d(model.nodes[static_cast<size_t>(node1 - 1)].data());
}

// "element 3 (L 0, W 0, H 0 to L 100, W 0, H 0)", j 0-based.
std::string element_name(const ModelFile& model, size_t j) {
  const ModelFileElement& in = model.elements[j];
  return "element " + std::to_string(j + 1) + " (" + coordinates_text(node_point(model, in.node1)) + " to " +
         coordinates_text(node_point(model, in.node2)) + ")";
}
}  // namespace

Eigen::Matrix3d element_axes(const ModelFile& model, size_t j) {
  const ModelFileElement& in = model.elements[j];
  const bool design = model.props[static_cast<size_t>(in.prop - 1)][0] < 0;
  return beam_axes(node_point(model, in.node1), node_point(model, in.node2), Eigen::Vector3d(in.ref.data()), design,
                   element_name(model, j));
}

void FrameAnalysis::build_elements(const ModelFile& model) {
  for (size_t p = 0; p < model.props.size(); ++p) {
    const auto& v = model.props[p];
    if (!(std::fabs(v[0]) > 0) || !(v[1] > 0))
      throw SolverError("property set " + std::to_string(p + 1) + ": E and G must be positive");
  }
  elements_.resize(model.elements.size());
  for (size_t j = 0; j < model.elements.size(); ++j) {
    const ModelFileElement& in = model.elements[j];
    FrameElement& e = elements_[j];
    e.node1 = in.node1 - 1;
    e.node2 = in.node2 - 1;
    const std::string name = element_name(model, j);
    e.prop = in.prop - 1;
    const auto& v = model.props[static_cast<size_t>(e.prop)];
    e.design = v[0] < 0;
    e.E = std::fabs(v[0]);
    e.G = v[1];
    e.length = (node_point(model, in.node2) - node_point(model, in.node1)).norm();
    e.axes = element_axes(model, j);
    if (!e.design) {
      e.section = {v[2], v[3], v[4], v[5]};
      if (!(e.section.A > 0 && e.section.Iw > 0 && e.section.Ih > 0 && e.section.J > 0))
        throw SolverError(name + " (property set " + std::to_string(e.prop + 1) +
                          "): a non-design section needs positive area, second moments and torsion constant");
    }
  }
}

namespace {
// The row of K of an element's local dof a (0..11: node 1's six, then node 2's), -1 when that
// dof is fixed or dropped.
int row_of(const std::vector<int>& reduced, const FrameElement& e, int a) {
  return reduced[static_cast<size_t>(6 * (a < 6 ? e.node1 : e.node2) + a % 6)];
}

// Where entry (row, col) of K, which its pattern holds, lies in K's value array.
int value_index(const SparseMatrix& K, int row, int col) {
  const int* begin = K.innerIndexPtr() + K.outerIndexPtr()[col];
  const int* end = K.innerIndexPtr() + K.outerIndexPtr()[col + 1];
  return static_cast<int>(std::lower_bound(begin, end, row) - K.innerIndexPtr());
}
}  // namespace

// The load cases, read and checked, then for every group of cases that hold the frame alike its
// matrix and symbolic factorisation.
void FrameAnalysis::build_groups(const ModelFile& model) {
  std::vector<char> on_element(static_cast<size_t>(n_node_), 0);
  for (const FrameElement& e : elements_) on_element[static_cast<size_t>(e.node1)] = on_element[static_cast<size_t>(e.node2)] = 1;
  for (size_t b = 0; b < model.cases.size(); ++b) {
    Case c = read_case(model, b, on_element);
    join_group(c, static_cast<int>(b));
    cases_.push_back(std::move(c));
  }
  for (auto& g : groups_) build_group(*g, on_element);
}

// Load case b (0-based) of the model file: its supports, springs and loads, a load on a fixed dof
// left to its support. A negative spring, or a load that neither an element nor a spring holds,
// is a SolverError.
FrameAnalysis::Case FrameAnalysis::read_case(const ModelFile& model, size_t b, const std::vector<char>& on_element) const {
  const size_t ndof = 6 * static_cast<size_t>(n_node_);
  const ModelFileCase& in = model.cases[b];
  Case c;
  c.number = static_cast<int>(b + 1);
  c.load = Eigen::VectorXd::Zero(static_cast<Eigen::Index>(ndof));
  c.fixed.assign(ndof, 0);
  c.springs.assign(ndof, 0.0);
  for (size_t d = 0; d < ndof; ++d) {
    const size_t i = d / 6, k = d % 6;
    c.fixed[d] = in.fixed[i][k];
    c.springs[d] = in.springs[i][k];
    c.load[static_cast<Eigen::Index>(d)] = c.fixed[d] ? 0.0 : in.loads[i][k];  // a support takes it
    if (c.fixed[d] && in.loads[i][k] != 0 && c.support_load < 0) c.support_load = static_cast<int>(d);
    const std::string where = "load case " + std::to_string(c.number) + ", " +
                              dof_name(static_cast<int>(i), static_cast<int>(k), nodes_);
    if (c.springs[d] < 0) throw SolverError(where + ": a spring must not be negative");
    const bool held = on_element[i] || c.springs[d] > 0;
    if (c.load[static_cast<Eigen::Index>(d)] != 0 && !held)
      throw SolverError(where + ": the load acts where no element or spring holds the structure");
    if (c.load[static_cast<Eigen::Index>(d)] != 0) c.loaded = true;
  }
  return c;
}

// Cases with the same constraints and springs share one matrix and one factorisation: case c,
// the index-th, joins the first group whose cases hold the frame as it does, or opens a group of
// its own when it has a load.
void FrameAnalysis::join_group(Case& c, int index) {
  for (size_t g = 0; g < groups_.size() && c.group < 0; ++g) {
    const Case& first = cases_[static_cast<size_t>(groups_[g]->cases.front())];
    if (first.fixed == c.fixed && first.springs == c.springs) c.group = static_cast<int>(g);
  }
  if (c.group < 0 && c.loaded) {
    c.group = static_cast<int>(groups_.size());
    groups_.push_back(std::make_unique<Group>());
  }
  if (c.group >= 0) groups_[static_cast<size_t>(c.group)]->cases.push_back(index);
}

// A group's matrix: its free dofs, checked to be held, its pattern, where every element's and
// spring's stiffness goes in it, and its symbolic factorisation.
void FrameAnalysis::build_group(Group& g, const std::vector<char>& on_element) const {
  const Case& c = cases_[static_cast<size_t>(g.cases.front())];
  // Free dofs: not fixed, and touched by an element or a spring; the rest are dropped.
  g.reduced.assign(6 * static_cast<size_t>(n_node_), -1);
  for (size_t d = 0; d < g.reduced.size(); ++d)
    if (!c.fixed[d] && (on_element[d / 6] || c.springs[d] > 0)) g.reduced[d] = g.n++;
  check_supports(g);
  build_pattern(g, c);
  find_slots(g, c);
  if (g.n > 0) {
    g.cholesky.analyzePattern(g.K);
    const auto loaded = std::count_if(g.cases.begin(), g.cases.end(), [&](int k) { return cases_[static_cast<size_t>(k)].loaded; });
    g.factor_worth = g.cholesky.iterations_worth(g.K.nonZeros(), static_cast<int>(loaded));
  }
}

// The pattern once, the lower triangle of K with a 1 wherever an element or a spring of case c
// adds stiffness; every later assembly writes straight into the value array.
void FrameAnalysis::build_pattern(Group& g, const Case& c) const {
  std::vector<Eigen::Triplet<double, int>> entries;
  for (const FrameElement& e : elements_)
    for (int a = 0; a < 12; ++a)
      for (int b = 0; b < 12; ++b) {
        const int ra = row_of(g.reduced, e, a), rb = row_of(g.reduced, e, b);
        if (ra >= 0 && rb >= 0 && ra >= rb) entries.emplace_back(ra, rb, 1.0);
      }
  for (size_t d = 0; d < g.reduced.size(); ++d)
    if (g.reduced[d] >= 0 && c.springs[d] > 0) entries.emplace_back(g.reduced[d], g.reduced[d], 1.0);
  g.K.resize(g.n, g.n);
  g.K.setFromTriplets(entries.begin(), entries.end());
  g.K.makeCompressed();
}

// Where in K's values each entry of every element's lower triangle goes, and each spring of
// case c with its stiffness.
void FrameAnalysis::find_slots(Group& g, const Case& c) const {
  g.pair_slots.assign(triangle * elements_.size(), -1);
  for (size_t j = 0; j < elements_.size(); ++j)
    for (int k = 0; k < triangle; ++k) {
      const int ra = row_of(g.reduced, elements_[j], pairs.row[k]), rb = row_of(g.reduced, elements_[j], pairs.col[k]);
      if (ra >= 0 && rb >= 0)
        g.pair_slots[triangle * j + static_cast<size_t>(k)] = value_index(g.K, std::max(ra, rb), std::min(ra, rb));
    }
  for (size_t d = 0; d < g.reduced.size(); ++d)
    if (g.reduced[d] >= 0 && c.springs[d] > 0)
      g.spring_slots.emplace_back(value_index(g.K, g.reduced[d], g.reduced[d]), c.springs[d]);
}

// The pieces of the frame that the beams marked in `joins` hold together, as lists of nodes;
// nodes that none of them touches belong to no piece.
std::vector<std::vector<int>> FrameAnalysis::pieces(const std::vector<char>& joins) const {
  std::vector<int> parent(static_cast<size_t>(n_node_));
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&](int i) {
    while (parent[static_cast<size_t>(i)] != i) i = parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
    return i;
  };
  std::vector<char> used(static_cast<size_t>(n_node_), 0);
  for (size_t j = 0; j < elements_.size(); ++j) {
    if (!joins[j]) continue;
    const FrameElement& e = elements_[j];
    parent[static_cast<size_t>(root(e.node1))] = root(e.node2);
    used[static_cast<size_t>(e.node1)] = used[static_cast<size_t>(e.node2)] = 1;
  }
  std::vector<std::vector<int>> out(static_cast<size_t>(n_node_));
  for (int i = 0; i < n_node_; ++i)
    if (used[static_cast<size_t>(i)]) out[static_cast<size_t>(root(i))].push_back(i);
  std::erase_if(out, [](const std::vector<int>& nodes) { return nodes.empty(); });
  return out;
}

// A rigid motion of a piece that its supports (fixed dofs and springs of case c) leave free,
// as the node and dof (0-based) it moves most; {-1, -1} when all six are stopped.
std::pair<int, int> FrameAnalysis::free_motion(const Case& c, const std::vector<int>& nodes) const {
  Eigen::Vector3d centre = Eigen::Vector3d::Zero();
  for (int i : nodes) centre += nodes_[static_cast<size_t>(i)];
  centre /= static_cast<double>(nodes.size());
  double scale = 0;
  for (int i : nodes) scale = std::max(scale, (nodes_[static_cast<size_t>(i)] - centre).norm());
  if (!(scale > 0)) scale = 1;
  auto motion_row = [&](int i, int k) { return rigid_motion_row((nodes_[static_cast<size_t>(i)] - centre) / scale, k); };
  RigidGram gram = RigidGram::Zero();
  for (int i : nodes)
    for (int k = 0; k < 6; ++k) {
      const size_t d = static_cast<size_t>(6 * i + k);
      if (c.fixed[d] || c.springs[d] > 0) gram += motion_row(i, k) * motion_row(i, k).transpose();
    }
  const Eigen::SelfAdjointEigenSolver<RigidGram> eig(gram);
  if (eig.eigenvalues()[0] > free_motion_tolerance * eig.eigenvalues()[5]) return {-1, -1};
  const Eigen::Matrix<double, 6, 1> mode = eig.eigenvectors().col(0);
  int free_node = nodes.front(), free_dof = 0;
  double most = -1;
  for (int i : nodes)
    for (int k = 0; k < 6; ++k) {
      const double m = std::fabs(motion_row(i, k).dot(mode));
      if (m > most + 1e-9) {
        most = m;
        free_node = i;
        free_dof = k;
      }
    }
  return {free_node, free_dof};
}

// Every connected piece of the frame moves as one rigid body unless its supports stop all six
// rigid motions; beams with positive sections join their nodes rigidly, so this is exactly the
// condition for a regular matrix. A free motion names the dof it moves most.
void FrameAnalysis::check_supports(const Group& g) const {
  const Case& c = cases_[static_cast<size_t>(g.cases.front())];
  for (const auto& nodes : pieces(std::vector<char>(elements_.size(), 1))) {
    const auto [node, dof] = free_motion(c, nodes);
    if (node >= 0) {
      SolverError e("load case " + std::to_string(c.number) + ": the structure is not held (a mechanism): " +
                    dof_name(node, dof, nodes_) + " is free");
      e.node = node;
      e.dof = dof;
      e.load_case = c.number;
      throw e;
    }
  }
}

// Why a factorisation broke down at a dof. The supports stop every rigid motion of the frame
// (check_supports), so what is lost is lost to rounding: when the dof's piece of non-design beams
// would move without the design beams, the design beams alone hold it, and at these settings
// their stiffness (x^(4p) of a full beam's in bending) is below the rounding of the rest.
std::string FrameAnalysis::breakdown_reason(const Case& c, int node, int dof) const {
  std::vector<char> non_design(elements_.size());
  for (size_t j = 0; j < elements_.size(); ++j) non_design[j] = !elements_[j].design;
  std::vector<int> piece = {node};
  for (const auto& nodes : pieces(non_design))
    if (std::find(nodes.begin(), nodes.end(), node) != nodes.end()) piece = nodes;
  const std::string at = dof_name(node, dof, nodes_);
  if (free_motion(c, piece).first < 0) return at + " is not held";
  return at + " is held only through design beams, too thin at these settings to carry it against the rest of "
              "the frame (a higher \"Obj.Vol.Ratio\" or \"Init.Valu.Ratio\", or a lower \"Penalty Factor\", "
              "makes them stiffer)";
}

// Design beams at their lower bound hold their nodes with a bending stiffness of x_min^(4p) of
// the others (1e-20 at p = 2.5, x_min = 0.01), below what a factorisation tells from rounding.
// When a factorisation breaks down, a piece held to the supports only through such beams and
// carrying no load is pinned at zero and the cycle solved again: such beams are too thin to move
// the rest of the frame, and a factorisation that succeeds is never touched. True when any
// piece was pinned.
bool FrameAnalysis::pin_loose_pieces(Group& g, const std::vector<Section>& sections, const std::vector<int>& loaded) const {
  bool pinned = false;
  double stiffest = 0;
  for (const Section& s : sections) stiffest = std::max({stiffest, s.Iw, s.Ih});
  std::vector<char> sound(elements_.size(), 1);
  bool any_thin = false;
  for (size_t j = 0; j < elements_.size(); ++j) {
    const Section& s = sections[j];
    sound[j] = !elements_[j].design || std::max({s.Iw, s.Ih, s.J}) >= near_void_bending * stiffest;
    any_thin = any_thin || !sound[j];
  }
  if (!any_thin) return false;
  const Case& c = cases_[static_cast<size_t>(g.cases.front())];
  // Nodes that only thin beams touch are pieces of their own.
  std::vector<std::vector<int>> loose = pieces(sound);
  std::vector<char> in_piece(static_cast<size_t>(n_node_), 0), touched(static_cast<size_t>(n_node_), 0);
  for (const auto& nodes : loose)
    for (int i : nodes) in_piece[static_cast<size_t>(i)] = 1;
  for (const FrameElement& e : elements_) touched[static_cast<size_t>(e.node1)] = touched[static_cast<size_t>(e.node2)] = 1;
  for (int i = 0; i < n_node_; ++i)
    if (touched[static_cast<size_t>(i)] && !in_piece[static_cast<size_t>(i)]) loose.push_back({i});
  for (const auto& nodes : loose) {
    if (free_motion(c, nodes).first < 0) continue;
    bool carries_load = false;
    for (int i : nodes)
      for (int k : loaded) carries_load = carries_load || cases_[static_cast<size_t>(k)].load.segment<6>(6 * i).any();
    if (carries_load) continue;
    for (int i : nodes)
      for (int k = 0; k < 6; ++k)
        if (const int r = g.reduced[static_cast<size_t>(6 * i + k)]; r >= 0) g.pinned[static_cast<size_t>(r)] = pinned = true;
  }
  return pinned;
}

// Only the sections change from solve to solve: an element's stiffness in the global axes is its
// area times one fixed part plus, for a circle's section (Iw = Ih, J = 2 Iw), its second moment
// times another. Both are built here once.
void FrameAnalysis::build_parts() {
  area_parts_.resize(triangle * elements_.size());
  moment_parts_.resize(triangle * elements_.size());
  for (size_t j = 0; j < elements_.size(); ++j) {
    const FrameElement& e = elements_[j];
    const Matrix12 area = to_global(e.axes, local_stiffness(e.E, e.G, {1, 0, 0, 0}, e.length));
    const Matrix12 moment = to_global(e.axes, local_stiffness(e.E, e.G, {0, 1, 1, 2}, e.length));
    for (int k = 0; k < triangle; ++k) {
      area_parts_[triangle * j + static_cast<size_t>(k)] = area(pairs.row[k], pairs.col[k]);
      moment_parts_[triangle * j + static_cast<size_t>(k)] = moment(pairs.row[k], pairs.col[k]);
    }
  }
}

void FrameAnalysis::assemble(Group& g, const std::vector<Section>& sections) {
  double* values = g.K.valuePtr();
  std::fill(values, values + g.K.nonZeros(), 0.0);
  for (size_t j = 0; j < elements_.size(); ++j) {
    const Section& s = sections[j];
    const int* slots = &g.pair_slots[triangle * j];
    if (!element_by_element_ && s.Ih == s.Iw && s.J == 2 * s.Iw) {
      const double* area = &area_parts_[triangle * j];
      const double* moment = &moment_parts_[triangle * j];
      for (int k = 0; k < triangle; ++k)
        if (slots[k] >= 0) values[slots[k]] += s.A * area[k] + s.Iw * moment[k];
      continue;
    }
    // Any other section, and the reference: the triple product of the element's own stiffness.
    const FrameElement& e = elements_[j];
    const Matrix12 K = to_global(e.axes, local_stiffness(e.E, e.G, s, e.length));
    for (int k = 0; k < triangle; ++k)
      if (slots[k] >= 0) values[slots[k]] += K(pairs.row[k], pairs.col[k]);
  }
  for (const auto& [at, k] : g.spring_slots) g.K.valuePtr()[at] += k;
  if (std::find(g.pinned.begin(), g.pinned.end(), 1) == g.pinned.end()) return;
  for (int col = 0; col < g.n; ++col)
    for (int at = g.K.outerIndexPtr()[col]; at < g.K.outerIndexPtr()[col + 1]; ++at) {
      const int row = g.K.innerIndexPtr()[at];
      if (g.pinned[static_cast<size_t>(row)] || g.pinned[static_cast<size_t>(col)]) g.K.valuePtr()[at] = row == col ? 1 : 0;
    }
}

double FrameAnalysis::solve(const std::vector<Section>& sections) {
  if (sections.size() != elements_.size()) throw SolverError("one section per element is needed");
  if (threads_in_use != threads_) set_solver_threads(threads_);
  const auto started = std::chrono::steady_clock::now();
  double total = 0;
  std::fill(energies_.begin(), energies_.end(), UnitEnergies{});
  for (auto& gp : groups_) {
    Group& g = *gp;
    std::vector<int> loaded;
    for (int c : g.cases)
      if (cases_[static_cast<size_t>(c)].loaded) loaded.push_back(c);
    if (loaded.empty() || g.n == 0) continue;
    g.pinned.assign(static_cast<size_t>(g.n), 0);
    assemble(g, sections);
    Eigen::MatrixXd f(g.n, static_cast<Eigen::Index>(loaded.size()));
    for (size_t col = 0; col < loaded.size(); ++col)
      for (size_t d = 0; d < g.reduced.size(); ++d)
        if (g.reduced[d] >= 0) f(g.reduced[d], static_cast<Eigen::Index>(col)) = cases_[static_cast<size_t>(loaded[col])].load[static_cast<Eigen::Index>(d)];
    Eigen::MatrixXd u;
    try {
      u = solve_group(g, f, loaded);
    } catch (const SolverError&) {
      // A breakdown for a loose piece that only beams at their lower bound hold: once more with it pinned.
      if (!pin_loose_pieces(g, sections, loaded)) throw;
      assemble(g, sections);
      u = g.u = solve_factorising(g, f, loaded);
    }
    for (size_t col = 0; col < loaded.size(); ++col) {
      const size_t c = static_cast<size_t>(loaded[col]);
      Eigen::VectorXd& full = displacements_[c];
      full.setZero();
      for (size_t d = 0; d < g.reduced.size(); ++d)
        if (g.reduced[d] >= 0) full[static_cast<Eigen::Index>(d)] = u(g.reduced[d], static_cast<Eigen::Index>(col));
      // 2 f^T u - u^T K u = f^T u + u^T r: its error is the squared energy norm of u's error.
      case_compliance_[c] = cases_[c].load.dot(full) + g.u_dot_r[static_cast<Eigen::Index>(col)];
      total += case_compliance_[c];
    }
    add_energies(loaded);
  }
  last_solve_seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return total;
}

// Adds every element's unit energies in the given loaded cases, case by case.
void FrameAnalysis::add_energies(const std::vector<int>& loaded) {
  for (size_t j = 0; j < elements_.size(); ++j) {
    const FrameElement& e = elements_[j];
    UnitEnergies& w = energies_[j];
    if (element_by_element_) {
      for (const int c : loaded) {
        const Vector12 ul = local_displacements(c, static_cast<int>(j));
        const double du = ul[6] - ul[0], dt = ul[9] - ul[3];
        w.axial += du * du / e.length;
        w.torsion += dt * dt / e.length;
        const Eigen::Matrix4d b = unit_bending(e.length);
        w.bend_h += bending_energy(ul, b, bend_h_dofs, bend_h_signs);
        w.bend_w += bending_energy(ul, b, bend_w_dofs, bend_w_signs);
      }
      continue;
    }
    // The same energies from the displacements in the global axes, through the element's axes
    // x, y (W), z (H): bending about H moves v = y.t with slope rz = z.r, about W w = z.t with
    // slope -ry = -y.r.
    const Eigen::Vector3d x = e.axes.row(0), y = e.axes.row(1), z = e.axes.row(2);
    const double inverse_length = 1 / e.length;
    for (const int c : loaded) {
      const double* end1 = displacements_[static_cast<size_t>(c)].data() + 6 * e.node1;
      const double* end2 = displacements_[static_cast<size_t>(c)].data() + 6 * e.node2;
      const Eigen::Map<const Eigen::Vector3d> t1(end1), r1(end1 + 3), t2(end2), r2(end2 + 3);
      const Eigen::Vector3d drop = t1 - t2;
      const double du = x.dot(drop), dt = x.dot(r2 - r1);
      w.axial += du * du * inverse_length;
      w.torsion += dt * dt * inverse_length;
      w.bend_h += cubic_energy(y.dot(drop), z.dot(r1), z.dot(r2), inverse_length);
      w.bend_w += cubic_energy(z.dot(drop), -y.dot(r1), -y.dot(r2), inverse_length);
    }
  }
}

// The displacements of a group's loaded cases: iterating with the factor of an earlier stiffness
// while that pays, factorising afresh otherwise.
//
// A factor pays for itself over the cycles after it: the first cycle pays the factorisation, the
// next ones only their iterations, which grow as the design moves away from the factored one.
// The mean cost of a cycle since the factorisation falls as long as each new cycle costs less
// than that mean; the first cycle that costs more marks the time to factorise again. While the
// design still changes fast (early in a run) an old factor does not reach the tolerance within
// the iterations a factorisation is worth: after each such failed attempt the group factorises
// directly for 1, 2, 4, then 8 cycles before it tries again.
Eigen::MatrixXd FrameAnalysis::solve_group(Group& g, const Eigen::MatrixXd& f, const std::vector<int>& loaded) {
  constexpr int longest_pause = 8;
  Eigen::MatrixXd u;
  if (reuse_ && g.factored && !g.refactor && g.skip == 0 && g.u.cols() == f.cols()) {
    u = g.u;  // designs change little from cycle to cycle: the last displacements are a good start
    const int done = iterations_;
    if (solve_iterating(g, f, u)) {
      const double cost = iterations_ - done + 1;  // the start costs about one iteration
      g.backoff = 0;
      g.since_factor += cost;
      ++g.cycles_since_factor;
      g.refactor = cost * g.cycles_since_factor > g.since_factor;
    } else {
      g.skip = g.backoff = std::clamp(2 * g.backoff, 1, longest_pause);
      u = solve_factorising(g, f, loaded);
    }
  } else {
    if (g.skip > 0) --g.skip;
    u = solve_factorising(g, f, loaded);
  }
  g.u = u;
  return u;
}

Eigen::MatrixXd FrameAnalysis::solve_factorising(Group& g, const Eigen::MatrixXd& f, const std::vector<int>& loaded) {
  const auto started = std::chrono::steady_clock::now();
  g.cholesky.factorize(g.K);
  factorisation_seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  ++factorisations_;
  g.factored = g.cholesky.info() == Eigen::Success;
  g.refactor = false;
  Eigen::MatrixXd u;
  if (g.factored) u = g.cholesky.solve(f);
  g.u_dot_r = Eigen::VectorXd::Zero(f.cols());
  g.since_factor = g.factor_worth + 1;
  g.cycles_since_factor = 1;
  if (!g.factored || g.cholesky.info() != Eigen::Success || !u.allFinite()) {
    g.factored = false;
    const Case& c = cases_[static_cast<size_t>(loaded.front())];
    std::string where;
    const long row = g.cholesky.failed_row();
    for (size_t d = 0; d < g.reduced.size() && row >= 0; ++d)
      if (g.reduced[d] == row) where = ": " + breakdown_reason(c, static_cast<int>(d / 6), static_cast<int>(d % 6));
    throw SolverError("load case " + std::to_string(c.number) + ": the stiffness matrix is singular" + where);
  }
  return u;
}

// Preconditioned conjugate gradients on K u = f, one column per loaded case, with M = the
// factor of an earlier K. Since M is close to K, r^T M^-1 r is close to the squared energy norm
// of the error, (u* - u)^T K (u* - u); a case is done when that, raised by the last step's length
// where the factor underrates the error, is below tol^2 f^T u, the squared energy norm of the
// solution. The compliance written, 2 f^T u - u^T K u = f^T u + u^T r (u^T r is kept in
// g.u_dot_r), then lies below the exact one by the squared error itself, about tol^2 = 4e-8
// relative, and the element energies, the update's sensitivities, are within about tol. That
// tolerance is what the written compliance needs: within 1e-6 of a fresh analysis, ten times
// over (measured at most 1.0e-7, at 35000 elements). Gives up (false) as soon as the rate of the
// iterations so far would not reach the tolerance within the iterations a factorisation is
// worth (at most max_iterations).
bool FrameAnalysis::solve_iterating(Group& g, const Eigen::MatrixXd& f, Eigen::MatrixXd& u) {
  constexpr double tol = 2e-4;
  constexpr int max_iterations = 20;
  const int budget = std::min(static_cast<int>(g.factor_worth), max_iterations);
  const auto K = g.K.selfadjointView<Eigen::Lower>();
  Eigen::MatrixXd r = f - K * u;
  Eigen::MatrixXd p = g.cholesky.solve(r);
  Eigen::VectorXd rz = r.cwiseProduct(p).colwise().sum().transpose();
  const Eigen::VectorXd rz0 = rz;
  // The next step gains the energy alpha r^T z, itself a lower bound of the squared error: where
  // the last step's alpha is above 1 the factor underrates the error by at least that much.
  Eigen::VectorXd underrated = Eigen::VectorXd::Ones(f.cols());
  for (int it = 0;; ++it) {
    std::vector<Eigen::Index> active;  // the cases not yet done
    for (Eigen::Index j = 0; j < f.cols(); ++j) {
      const double target = tol * tol * f.col(j).dot(u.col(j)), error = rz[j] * underrated[j];
      if (error <= target) continue;
      // The rate so far, kept up, must reach the target within the budget.
      const double rate = std::pow(rz[j] / rz0[j], 1.0 / std::max(it, 1));
      if (it >= 3 && !(rate < 1 && it + std::log(target / error) / std::log(rate) <= budget)) return false;
      if (it == budget) return false;
      active.push_back(j);
    }
    if (active.empty()) {
      g.u_dot_r = u.cwiseProduct(r).colwise().sum().transpose();
      return u.allFinite();
    }
    ++iterations_;
    const Eigen::MatrixXd pa = p(Eigen::all, active);
    const Eigen::MatrixXd q = K * pa;
    Eigen::MatrixXd ra(r.rows(), pa.cols());
    for (Eigen::Index k = 0; k < pa.cols(); ++k) {
      const Eigen::Index j = active[static_cast<size_t>(k)];
      const double pq = pa.col(k).dot(q.col(k));
      if (!(pq > 0)) return false;  // the stiffness is not positive: leave it to the factorisation
      const double alpha = rz[j] / pq;
      underrated[j] = std::max(alpha, 1.0);
      u.col(j) += alpha * pa.col(k);
      r.col(j) -= alpha * q.col(k);
      ra.col(k) = r.col(j);
    }
    const Eigen::MatrixXd za = g.cholesky.solve(ra);
    for (Eigen::Index k = 0; k < pa.cols(); ++k) {
      const Eigen::Index j = active[static_cast<size_t>(k)];
      const double rz_next = ra.col(k).dot(za.col(k));
      p.col(j) = za.col(k) + (rz_next / rz[j]) * pa.col(k);
      rz[j] = rz_next;
    }
  }
}

const SparseMatrix& FrameAnalysis::stiffness(int g) const { return groups_[static_cast<size_t>(g)]->K; }
double FrameAnalysis::factor_flops() const {
  double densest = 0;
  for (const auto& g : groups_) densest = std::max(densest, g->n > 0 ? g->cholesky.flops() : 0.0);
  return densest;
}

double FrameAnalysis::factor_worth(int g) const { return groups_[static_cast<size_t>(g)]->factor_worth; }

Vector12 FrameAnalysis::local_displacements(int c, int j) const {
  const FrameElement& e = elements_[static_cast<size_t>(j)];
  const Eigen::VectorXd& full = displacements_[static_cast<size_t>(c)];
  Vector12 ug;
  ug << full.segment<6>(6 * e.node1), full.segment<6>(6 * e.node2);
  return to_local(e.axes, ug);
}

double FrameAnalysis::displacement(int c, int node, int dof) const {
  return displacements_[static_cast<size_t>(c)][6 * node + dof];
}
