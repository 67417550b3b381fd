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
#include "solver/cut_frame.h"

namespace {
using SparseMatrix = Eigen::SparseMatrix<double>;

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

// Restarts of the Lanczos iterations before the problem is taken as one that does not settle.
constexpr int max_lanczos_rounds = 300;

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
  eigs.compute(Spectra::SortRule::LargestAlge, max_lanczos_rounds, 1e-10);
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
  for (size_t j = 0; j < forces.size(); ++j) out.compressed = out.compressed || (geometric[j] && forces[j].compression() > 0);
  if (!out.compressed) return out;
  // Pieces that only members hidden as thin hold (too thin to tell from rounding) are left out
  // with those members when the frame cannot be factorised with them.
  AssembledFrame frame;
  std::unique_ptr<StiffnessOperator> stiffness;
  for (bool hidden : {true, false}) {
    frame = assembled_frame(model, sections, supports, forces, geometric, hidden);
    stiffness = std::make_unique<StiffnessOperator>(frame.K);
    if (stiffness->factorised()) break;
  }
  if (!stiffness->factorised())
    throw SolverError("load case " + std::to_string(supports + 1) + ": the frame is not held (a mechanism)");
  double largest = 0;
  Eigen::VectorXd shape;
  if (!largest_eigenvalue(-frame.KG, *stiffness, frame.K, largest, shape)) {
    // Members in strong tension spread the spectrum far below zero, and the iterations may then
    // not settle on its top. Without their stiffening (a lower alpha, on the safe side) the
    // spectrum starts at zero and they do.
    for (Piece& p : frame.cut.pieces) p.axial = std::min(p.axial, 0.0);
    const SparseMatrix compressed = -geometric_stiffness(frame.cut, frame.place, static_cast<int>(frame.K.rows()));
    if (!largest_eigenvalue(compressed, *stiffness, frame.K, largest, shape)) return out;
  }
  if (!(largest > 0)) return out;
  out.alpha = 1 / largest;
  out.mode_node = moving_node(shape, frame.place, model.nodes.size());
  return out;
}
