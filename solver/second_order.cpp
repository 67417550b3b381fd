// Second order by fixed-point iteration on the axial forces: each round assembles K_G from the
// last round's forces, factorises K + K_G (a failed Cholesky factorisation means the frame has
// buckled) and solves for the displacements and the pieces' end forces.
#include "solver/second_order.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <Eigen/CholmodSupport>

#include "base/analysis_model.h"
#include "solver/cut_frame.h"

namespace {
using Matrix12 = Eigen::Matrix<double, 12, 12>;
using Vector12 = Eigen::Matrix<double, 12, 1>;
using SparseMatrix = Eigen::SparseMatrix<double>;

constexpr int max_rounds = 50;
constexpr double settled_change = 1e-9;  // of the largest axial force

int dof_place(const AssembledFrame& a, const Piece& p, int r) {
  return a.place[static_cast<size_t>(6 * (r < 6 ? p.node1 : p.node2) + r % 6)];
}

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
      if (const int g = dof_place(a, p, r); g >= 0) f(g) -= fixed(r);
  }
  return f;
}

// What the nodes exert on piece p's ends, in its axes, for the displacements u.
Vector12 piece_end_forces(const AssembledFrame& a, const Piece& p, const Eigen::VectorXd& u) {
  Vector12 global = Vector12::Zero();
  for (int r = 0; r < 12; ++r)
    if (const int g = dof_place(a, p, r); g >= 0) global(r) = u(g);
  const Matrix12 k = local_stiffness(p.E, p.G, p.section, p.length) + local_geometric_stiffness(p.axial, p.section, p.length);
  return k * (piece_rotation(p) * global) + fixed_end_forces(p.load, p.length);
}

// Each member's end forces: node 1's from its first piece, node 2's from its last.
std::vector<MemberForces> member_forces(const ModelFile& model, const AssembledFrame& a, const std::vector<Vector12>& ends) {
  std::vector<MemberForces> out(model.elements.size());
  for (size_t q = 0; q < a.cut.pieces.size(); ++q) {
    const Piece& p = a.cut.pieces[q];
    MemberForces& m = out[static_cast<size_t>(p.member)];
    const bool first = q == 0 || a.cut.pieces[q - 1].member != p.member;
    const bool last = q + 1 == a.cut.pieces.size() || a.cut.pieces[q + 1].member != p.member;
    for (size_t k = 0; k < 6; ++k) {
      if (first) m.end1[k] = -ends[q][static_cast<int>(k)];  // the section at node 1 faces -x
      if (last) m.end2[k] = ends[q][static_cast<int>(k + 6)];
    }
    m.load = {p.load[0], p.load[1], p.load[2]};
    m.length += p.length;
  }
  return out;
}
}  // namespace

SecondOrderForces second_order_forces(const ModelFile& model, const std::vector<Section>& sections, size_t supports,
                                      const std::vector<std::array<double, 6>>& nodal, const std::vector<MemberLoad>& loads,
                                      const std::vector<MemberForces>& first, const std::vector<char>& geometric) {
  const std::string in_case = "load case " + std::to_string(supports + 1) + ": ";
  // Pieces that only members hidden as thin hold are left out with them when K cannot be factorised.
  AssembledFrame a;
  Eigen::CholmodSupernodalLLT<SparseMatrix> llt;
  for (bool hidden : {true, false}) {
    a = assembled_frame(model, sections, supports, first, geometric, hidden, loads);
    llt.compute(a.K);
    if (llt.info() == Eigen::Success) break;
  }
  if (llt.info() != Eigen::Success) throw SolverError(in_case + "the frame is not held (a mechanism)");
  const Eigen::VectorXd f = load_vector(a, nodal);
  SecondOrderForces out;
  std::vector<Vector12> ends(a.cut.pieces.size());
  for (;;) {
    const SparseMatrix stiffness = a.K + a.KG;
    llt.compute(stiffness);
    if (llt.info() != Eigen::Success) throw SolverError(in_case + "the frame buckles under these loads (second order)");
    const Eigen::VectorXd u = llt.solve(f);
    ++out.iterations;
    double change = 0, largest = 0;
    for (size_t q = 0; q < a.cut.pieces.size(); ++q) {
      Piece& p = a.cut.pieces[q];
      ends[q] = piece_end_forces(a, p, u);
      if (!p.takes_axial) continue;
      const double axial = (ends[q][6] - ends[q][0]) / 2;
      change = std::max(change, std::fabs(axial - p.axial));
      largest = std::max(largest, std::fabs(axial));
      p.axial = axial;
    }
    if (change <= settled_change * largest) break;
    if (out.iterations >= max_rounds) throw SolverError(in_case + "the second-order axial forces do not settle");
    assemble(a.cut, model.cases[supports], a.place, static_cast<int>(a.K.rows()), a.K, a.KG);
  }
  out.members = member_forces(model, a, ends);
  return out;
}
