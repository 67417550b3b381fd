// Linear buckling: the frame cut into pieces, K and K_G assembled over the free dofs, K
// factorised once (CHOLMOD), and the largest eigenvalue 1 / alpha of -K_G x = (1 / alpha) K x
// found by Lanczos iterations in the K inner product (Spectra).
#include "solver/stability.h"

#include <algorithm>
#include <cmath>

#include <memory>

#include <Eigen/CholmodSupport>
#include <Eigen/Eigenvalues>
#include <Eigen/SparseCore>
#include <Spectra/MatOp/SparseSymMatProd.h>
#include <Spectra/SymGEigsSolver.h>

#include "base/analysis_model.h"

namespace {
using Matrix12 = Eigen::Matrix<double, 12, 12>;
using SparseMatrix = Eigen::SparseMatrix<double>;

// A compressed member is cut into this many pieces: the cubic shape functions of four pieces
// give Euler's load of a pinned column 0.03 % high, of a fixed-pinned one 0.2 %.
constexpr int compressed_pieces = 4;

// One beam of the cut frame: its ends among the nodes of the cut frame and what it is made of.
struct Piece {
  int node1 = 0, node2 = 0;
  double E = 0, G = 0, length = 0, axial = 0;  // axial: N at its middle, 0 when it takes none
  Section section;
  Eigen::Matrix3d axes;
};

struct CutFrame {
  std::vector<Eigen::Vector3d> nodes;  // the frame's nodes, then the pieces' inner nodes
  std::vector<Piece> pieces;
};

bool in_compression(const MemberForces& m) { return std::min(m.end1[0], m.end2[0]) < 0; }

// The frame cut into pieces; without `hidden`, the members whose flag in `geometric` is cleared
// are left out.
CutFrame cut_frame(const ModelFile& model, const std::vector<Section>& sections, const std::vector<MemberForces>& forces,
                   const std::vector<char>& geometric, bool hidden) {
  CutFrame cut;
  for (const auto& p : model.nodes) cut.nodes.emplace_back(p[0], p[1], p[2]);
  for (size_t j = 0; j < model.elements.size(); ++j) {
    if (!hidden && !geometric[j]) continue;
    const ModelFileElement& e = model.elements[j];
    const auto& material = model.props[static_cast<size_t>(e.prop - 1)];
    const Eigen::Vector3d a = cut.nodes[static_cast<size_t>(e.node1 - 1)], b = cut.nodes[static_cast<size_t>(e.node2 - 1)];
    const bool takes_axial = geometric[j] != 0;
    const int n = takes_axial && in_compression(forces[j]) ? compressed_pieces : 1;
    const double length = (b - a).norm() / n;
    int from = e.node1 - 1;
    for (int k = 0; k < n; ++k) {
      int to = e.node2 - 1;
      if (k + 1 < n) {
        to = static_cast<int>(cut.nodes.size());
        cut.nodes.push_back(a + (b - a) * (k + 1.0) / n);
      }
      const double axial = takes_axial ? forces[j].at((k + 0.5) * length)[0] : 0.0;
      cut.pieces.push_back({from, to, std::fabs(material[0]), material[1], length, axial, sections[j], element_axes(model, j)});
      from = to;
    }
  }
  return cut;
}

// Per dof of the cut frame (6 per node): its place among the free dofs, or -1 where the case
// fixes it or nothing holds it (no piece at its node, no spring on it), as in the analysis.
std::vector<int> free_dofs(const CutFrame& cut, const ModelFileCase& held, int& count) {
  std::vector<char> on_piece(cut.nodes.size(), 0);
  for (const Piece& p : cut.pieces) on_piece[static_cast<size_t>(p.node1)] = on_piece[static_cast<size_t>(p.node2)] = 1;
  std::vector<int> place(6 * cut.nodes.size(), -1);
  count = 0;
  for (size_t i = 0; i < cut.nodes.size(); ++i)
    for (size_t k = 0; k < 6; ++k) {
      const bool frame_node = i < held.fixed.size();
      if (frame_node && held.fixed[i][k]) continue;
      if (on_piece[i] || (frame_node && held.springs[i][k] > 0)) place[6 * i + k] = count++;
    }
  return place;
}

// K (elastic, with the case's springs) and K_G over the free dofs.
void assemble(const CutFrame& cut, const ModelFileCase& held, const std::vector<int>& place, int n, SparseMatrix& K,
              SparseMatrix& KG) {
  std::vector<Eigen::Triplet<double>> k, kg;
  for (const Piece& p : cut.pieces) {
    Matrix12 T = Matrix12::Zero();
    for (int b = 0; b < 4; ++b) T.block<3, 3>(3 * b, 3 * b) = p.axes;
    const Matrix12 ke = T.transpose() * local_stiffness(p.E, p.G, p.section, p.length) * T;
    const Matrix12 kge = T.transpose() * local_geometric_stiffness(p.axial, p.section, p.length) * T;
    for (int r = 0; r < 12; ++r)
      for (int c = 0; c < 12; ++c) {
        const int gr = place[static_cast<size_t>(6 * (r < 6 ? p.node1 : p.node2) + r % 6)];
        const int gc = place[static_cast<size_t>(6 * (c < 6 ? p.node1 : p.node2) + c % 6)];
        if (gr < 0 || gc < 0) continue;
        k.emplace_back(gr, gc, ke(r, c));
        if (kge(r, c) != 0) kg.emplace_back(gr, gc, kge(r, c));
      }
  }
  for (size_t d = 0; const auto& node : held.springs)
    for (const double stiffness : node)
      if (const int g = place[d++]; g >= 0 && stiffness > 0) k.emplace_back(g, g, stiffness);
  K.resize(n, n);
  KG.resize(n, n);
  K.setFromTriplets(k.begin(), k.end());
  KG.setFromTriplets(kg.begin(), kg.end());
}

// K as Spectra takes the matrix B of A x = lambda B x: its product and, through its sparse
// Cholesky factor, its solve.
class StiffnessOperator {
 public:
  using Scalar = double;
  explicit StiffnessOperator(const SparseMatrix& K) : K_(K) { llt_.compute(K); }
  bool factorised() const { return llt_.info() == Eigen::Success; }
  Eigen::Index rows() const { return K_.rows(); }
  Eigen::Index cols() const { return K_.cols(); }
  void solve(const double* x_in, double* y_out) const {
    Eigen::Map<Eigen::VectorXd>(y_out, rows()) = llt_.solve(Eigen::Map<const Eigen::VectorXd>(x_in, rows()));
  }
  void perform_op(const double* x_in, double* y_out) const {
    Eigen::Map<Eigen::VectorXd>(y_out, rows()) = K_ * Eigen::Map<const Eigen::VectorXd>(x_in, rows());
  }

 private:
  const SparseMatrix& K_;
  Eigen::CholmodSupernodalLLT<SparseMatrix> llt_;
};

// The largest mu of -K_G x = mu K x (mu = 1 / alpha) and its x: by Lanczos iterations, or whole
// for a problem too small for them.
bool largest_eigenvalue(const SparseMatrix& minus_KG, StiffnessOperator& K, const SparseMatrix& K_matrix, double& value,
                        Eigen::VectorXd& vector) {
  const Eigen::Index n = K.rows();
  if (n <= 40) {
    const Eigen::MatrixXd A = minus_KG, B = K_matrix;
    const Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> dense(A, B);
    if (dense.info() != Eigen::Success) return false;
    value = dense.eigenvalues()(n - 1);
    vector = dense.eigenvectors().col(n - 1);
    return true;
  }
  Spectra::SparseSymMatProd<double> A(minus_KG);
  Spectra::SymGEigsSolver<Spectra::SparseSymMatProd<double>, StiffnessOperator, Spectra::GEigsMode::RegularInverse> eigs(
      A, K, 1, std::min<Eigen::Index>(n, 20));
  eigs.init();
  eigs.compute(Spectra::SortRule::LargestAlge, 1000, 1e-10);
  if (eigs.info() != Spectra::CompInfo::Successful) return false;
  value = eigs.eigenvalues()(0);
  vector = eigs.eigenvectors().col(0);
  return true;
}

// The frame's node whose translation in the shape is largest (its rotation, where no frame node
// moves along).
int moving_node(const Eigen::VectorXd& shape, const std::vector<int>& place, size_t frame_nodes) {
  auto size = [&](size_t i, size_t first) {
    double sum = 0;
    for (size_t k = first; k < first + 3; ++k)
      if (const int g = place[6 * i + k]; g >= 0) sum += shape(g) * shape(g);
    return sum;
  };
  int best = -1;
  double largest = 0;
  for (size_t first : {size_t{0}, size_t{3}}) {
    for (size_t i = 0; i < frame_nodes; ++i)
      if (const double s = size(i, first); s > largest) {
        largest = s;
        best = static_cast<int>(i);
      }
    if (best >= 0) return best;
  }
  return best;
}
}  // namespace

FrameBuckling frame_buckling(const ModelFile& model, const std::vector<Section>& sections, size_t supports,
                             const std::vector<MemberForces>& forces, const std::vector<char>& geometric) {
  FrameBuckling out;
  for (size_t j = 0; j < forces.size(); ++j) out.compressed = out.compressed || (geometric[j] && in_compression(forces[j]));
  if (!out.compressed) return out;
  const ModelFileCase& held = model.cases[supports];
  // Pieces that only members hidden as thin hold (too thin to tell from rounding) are left out
  // with those members when the frame cannot be factorised with them.
  CutFrame cut;
  std::vector<int> place;
  SparseMatrix K, KG;
  std::unique_ptr<StiffnessOperator> stiffness;
  for (bool hidden : {true, false}) {
    cut = cut_frame(model, sections, forces, geometric, hidden);
    int n = 0;
    place = free_dofs(cut, held, n);
    assemble(cut, held, place, n, K, KG);
    stiffness = std::make_unique<StiffnessOperator>(K);
    if (stiffness->factorised()) break;
  }
  if (!stiffness->factorised())
    throw SolverError("load case " + std::to_string(supports + 1) + ": the frame is not held (a mechanism)");
  const SparseMatrix minus_KG = -KG;
  double largest = 0;
  Eigen::VectorXd shape;
  if (!largest_eigenvalue(minus_KG, *stiffness, K, largest, shape) || !(largest > 0)) return out;
  out.alpha = 1 / largest;
  out.mode_node = moving_node(shape, place, model.nodes.size());
  return out;
}
