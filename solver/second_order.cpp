// Second order by fixed-point iteration on the axial forces: K + K_G(N) u = f solved, N taken
// from u, K_G assembled again, until N settles. The first solve of every load set uses one
// Cholesky factorisation of K + K_G under the first-order forces (a failed one means the frame has
// buckled); the later solves, whose matrices differ from it only by the change of K_G, are
// conjugate gradients preconditioned with that factor.
#include "solver/second_order.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <Eigen/CholmodSupport>
#include <Eigen/IterativeLinearSolvers>

#include "base/analysis_model.h"
#include "solver/cut_frame.h"

namespace {
using Matrix12 = Eigen::Matrix<double, 12, 12>;
using Vector12 = Eigen::Matrix<double, 12, 1>;
using SparseMatrix = Eigen::SparseMatrix<double>;
using Factor = Eigen::CholmodSupernodalLLT<SparseMatrix>;

constexpr int max_rounds = 50;
constexpr double settled_change = 1e-6;  // of the largest axial force
constexpr double solve_tolerance = 1e-10;  // relative residual of a preconditioned solve
constexpr int max_solve_iterations = 300;

// A factorisation as the preconditioner of Eigen's conjugate gradients.
class FactorPreconditioner {
 public:
  FactorPreconditioner() = default;
  template <class M>
  explicit FactorPreconditioner(const M&) {}
  template <class M>
  FactorPreconditioner& analyzePattern(const M&) { return *this; }
  template <class M>
  FactorPreconditioner& factorize(const M&) { return *this; }
  template <class M>
  FactorPreconditioner& compute(const M&) { return *this; }
  template <class R>
  Eigen::VectorXd solve(const Eigen::MatrixBase<R>& b) const { return factor_->solve(b.derived()); }
  Eigen::ComputationInfo info() const { return Eigen::Success; }
  void use(const Factor& factor) { factor_ = &factor; }

 private:
  const Factor* factor_ = nullptr;
};

// The nodal loads and the reversed fixed-end forces of the pieces' member loads, over the free dofs.
Eigen::VectorXd load_vector(const AssembledFrame& a, const std::vector<std::array<double, 6>>& nodal) {
  Eigen::VectorXd f = Eigen::VectorXd::Zero(a.K.rows());
  for (size_t i = 0; i < nodal.size(); ++i)
    for (size_t k = 0; k < 6; ++k)
      if (const int g = a.place[6 * i + k]; g >= 0) f(g) += nodal[i][k];
  for (const Piece& p : a.cut.pieces) {
    if (p.load.isZero()) continue;
    const Vector12 fixed = piece_rotation(p).transpose() * fixed_end_forces(p.load, p.length);
    for (int r = 0; r < 12; ++r)
      if (const int g = dof_place(a.place, p, r); g >= 0) f(g) -= fixed(r);
  }
  return f;
}

// What the nodes exert on piece p's ends, in its axes, for the displacements u.
Vector12 piece_end_forces(const std::vector<int>& place, const Piece& p, const Eigen::VectorXd& u) {
  Vector12 global = Vector12::Zero();
  for (int r = 0; r < 12; ++r)
    if (const int g = dof_place(place, p, r); g >= 0) global(r) = u(g);
  const Matrix12 k = local_stiffness(p.E, p.G, p.section, p.length) + local_geometric_stiffness(p.axial, p.section, p.length);
  return k * (piece_rotation(p) * global) + fixed_end_forces(p.load, p.length);
}

// The pieces' end forces under u and the axial forces K_G took; each piece then takes its new
// axial force. Returns the largest change over the largest axial force.
double take_axial_forces(CutFrame& cut, const std::vector<int>& place, const Eigen::VectorXd& u, std::vector<Vector12>& ends) {
  double change = 0, largest = 0;
  ends.resize(cut.pieces.size());
  for (size_t q = 0; q < cut.pieces.size(); ++q) {
    Piece& p = cut.pieces[q];
    ends[q] = piece_end_forces(place, p, u);
    if (!p.takes_axial) continue;
    const double axial = (ends[q][6] - ends[q][0]) / 2;
    change = std::max(change, std::fabs(axial - p.axial));
    largest = std::max(largest, std::fabs(axial));
    p.axial = axial;
  }
  return largest > 0 ? change / largest : 0.0;
}

// Each member's end forces: node 1's from its first piece, node 2's from its last.
std::vector<MemberForces> member_forces(size_t members, const CutFrame& cut, const std::vector<Vector12>& ends) {
  std::vector<MemberForces> out(members);
  for (size_t q = 0; q < cut.pieces.size(); ++q) {
    const Piece& p = cut.pieces[q];
    MemberForces& m = out[static_cast<size_t>(p.member)];
    const bool first = q == 0 || cut.pieces[q - 1].member != p.member;
    const bool last = q + 1 == cut.pieces.size() || cut.pieces[q + 1].member != p.member;
    for (size_t k = 0; k < 6; ++k) {
      if (first) m.end1[k] = -ends[q][static_cast<int>(k)];  // the section at node 1 faces -x
      if (last) m.end2[k] = ends[q][static_cast<int>(k + 6)];
    }
    m.load = {p.load[0], p.load[1], p.load[2]};
    m.length += p.length;
  }
  return out;
}

// K + K_G u = f from the guess u, preconditioned with `factor`; a solve that does not converge
// factorises the matrix itself, and one that cannot be factorised has buckled.
void solve_near(const SparseMatrix& stiffness, const Eigen::VectorXd& f, const Factor& factor, Eigen::VectorXd& u,
                const std::string& in_case) {
  Eigen::ConjugateGradient<SparseMatrix, Eigen::Lower | Eigen::Upper, FactorPreconditioner> cg;
  cg.setTolerance(solve_tolerance);
  cg.setMaxIterations(max_solve_iterations);
  cg.compute(stiffness);
  cg.preconditioner().use(factor);
  const Eigen::VectorXd next = cg.solveWithGuess(f, u);
  if (cg.info() == Eigen::Success) {
    u = next;
    return;
  }
  const Factor own(stiffness);
  if (own.info() != Eigen::Success) throw SolverError(in_case + "the frame buckles under these loads (second order)");
  u = own.solve(f);
}

// One load set, from its first solve u under the first-order axial forces.
SecondOrderForces iterate(size_t members, const AssembledFrame& a, const Factor& factor, const Eigen::VectorXd& f, Eigen::VectorXd u, const std::string& in_case) {
  CutFrame cut = a.cut;
  std::vector<Vector12> ends;
  SecondOrderForces out;
  for (out.iterations = 1; take_axial_forces(cut, a.place, u, ends) > settled_change; ++out.iterations) {
    if (out.iterations >= max_rounds) throw SolverError(in_case + "the second-order axial forces do not settle");
    solve_near(a.K + geometric_stiffness(cut, a.place, static_cast<int>(a.K.rows())), f, factor, u, in_case);
  }
  out.members = member_forces(members, cut, ends);
  return out;
}
}  // namespace

std::vector<SecondOrderForces> second_order_forces(const ModelFile& model, const std::vector<Section>& sections,
                                                   size_t supports,
                                                   const std::vector<std::vector<std::array<double, 6>>>& nodal,
                                                   const std::vector<MemberLoad>& loads,
                                                   const std::vector<MemberForces>& first,
                                                   const std::vector<char>& geometric) {
  const std::string in_case = "load case " + std::to_string(supports + 1) + ": ";
  // Pieces that only members hidden as thin hold are left out with them when the frame cannot be
  // factorised with them.
  AssembledFrame a;
  Factor factor;
  for (bool hidden : {true, false}) {
    a = assembled_frame(model, sections, supports, first, geometric, hidden, loads);
    factor.compute(SparseMatrix(a.K + a.KG));
    if (factor.info() == Eigen::Success) break;
  }
  if (factor.info() != Eigen::Success) {
    const bool held = Factor(a.K).info() == Eigen::Success;
    throw SolverError(in_case + (held ? "the frame buckles under these loads (second order)" : "the frame is not held (a mechanism)"));
  }
  Eigen::MatrixXd f(a.K.rows(), static_cast<Eigen::Index>(nodal.size()));
  for (size_t s = 0; s < nodal.size(); ++s) f.col(static_cast<Eigen::Index>(s)) = load_vector(a, nodal[s]);
  const Eigen::MatrixXd u = factor.solve(f);
  std::vector<SecondOrderForces> out;
  for (Eigen::Index s = 0; s < f.cols(); ++s) out.push_back(iterate(model.elements.size(), a, factor, f.col(s), u.col(s), in_case));
  return out;
}
