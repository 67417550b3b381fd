// The cut frame: members in compression in pieces, K and K_G assembled over the free dofs.
#include "solver/cut_frame.h"

#include <algorithm>
#include <cmath>

#include "base/analysis_model.h"

namespace {
using Matrix12 = Eigen::Matrix<double, 12, 12>;
}  // namespace


CutFrame cut_frame(const ModelFile& model, const std::vector<Section>& sections, const std::vector<MemberForces>& forces,
                   const std::vector<char>& geometric, bool hidden, const std::vector<MemberLoad>& loads) {
  CutFrame cut;
  cut.nodes = model.nodes.size();
  for (size_t j = 0; j < model.elements.size(); ++j) {
    if (!hidden && !geometric[j]) continue;
    const ModelFileElement& e = model.elements[j];
    const auto& material = model.props[static_cast<size_t>(e.prop - 1)];
    const Eigen::Vector3d a(model.nodes[static_cast<size_t>(e.node1 - 1)].data());
    const Eigen::Vector3d b(model.nodes[static_cast<size_t>(e.node2 - 1)].data());
    const bool takes_axial = geometric[j] != 0;
    const int n = takes_axial && forces[j].compression() > 0 ? compressed_pieces : 1;
    const double length = (b - a).norm() / n;
    const Eigen::Matrix3d axes = element_axes(model, j);
    const Eigen::Vector3d load = j < loads.size() ? Eigen::Vector3d(axes * Eigen::Vector3d(loads[j].data())) : Eigen::Vector3d::Zero();
    int from = e.node1 - 1;
    for (int k = 0; k < n; ++k) {
      int to = e.node2 - 1;
      if (k + 1 < n) {
        to = static_cast<int>(cut.nodes++);
      }
      const double axial = takes_axial ? forces[j].at((k + 0.5) * length)[0] : 0.0;
      cut.pieces.push_back({from, to, static_cast<int>(j), std::fabs(material[0]), material[1], length, axial, takes_axial,
                            sections[j], axes, load});
      from = to;
    }
  }
  return cut;
}

std::vector<int> free_dofs(const CutFrame& cut, const ModelFileCase& held, int& count) {
  std::vector<char> on_piece(cut.nodes, 0);
  for (const Piece& p : cut.pieces) on_piece[static_cast<size_t>(p.node1)] = on_piece[static_cast<size_t>(p.node2)] = 1;
  std::vector<int> place(6 * cut.nodes, -1);
  count = 0;
  for (size_t i = 0; i < cut.nodes; ++i)
    for (size_t k = 0; k < 6; ++k) {
      const bool frame_node = i < held.fixed.size();
      if (frame_node && held.fixed[i][k]) continue;
      if (on_piece[i] || (frame_node && held.springs[i][k] > 0)) place[6 * i + k] = count++;
    }
  return place;
}

int dof_place(const std::vector<int>& place, const Piece& p, int r) {
  return place[static_cast<size_t>(6 * (r < 6 ? p.node1 : p.node2) + r % 6)];
}

Matrix12 piece_rotation(const Piece& p) {
  Matrix12 T = Matrix12::Zero();
  for (int b = 0; b < 4; ++b) T.block<3, 3>(3 * b, 3 * b) = p.axes;
  return T;
}

namespace {
// The pieces' matrices, global, over the free dofs: K_G always, K (with the case's springs) when
// asked for.
void add_pieces(const CutFrame& cut, const ModelFileCase* held, const std::vector<int>& place, int n,
                Eigen::SparseMatrix<double>* K, Eigen::SparseMatrix<double>& KG) {
  std::vector<Eigen::Triplet<double>> k, kg;
  for (const Piece& p : cut.pieces) {
    const Matrix12 T = piece_rotation(p);
    const Matrix12 kge = T.transpose() * local_geometric_stiffness(p.axial, p.section, p.length) * T;
    Matrix12 ke;
    if (K) ke = T.transpose() * local_stiffness(p.E, p.G, p.section, p.length) * T;
    for (int r = 0; r < 12; ++r)
      for (int c = 0; c < 12; ++c) {
        const int gr = dof_place(place, p, r), gc = dof_place(place, p, c);
        if (gr < 0 || gc < 0) continue;
        if (K) k.emplace_back(gr, gc, ke(r, c));
        if (kge(r, c) != 0) kg.emplace_back(gr, gc, kge(r, c));
      }
  }
  KG.resize(n, n);
  KG.setFromTriplets(kg.begin(), kg.end());
  if (!K) return;
  for (size_t d = 0; const auto& node : held->springs)
    for (const double stiffness : node)
      if (const int g = place[d++]; g >= 0 && stiffness > 0) k.emplace_back(g, g, stiffness);
  K->resize(n, n);
  K->setFromTriplets(k.begin(), k.end());
}
}  // namespace

void assemble(const CutFrame& cut, const ModelFileCase& held, const std::vector<int>& place, int n,
              Eigen::SparseMatrix<double>& K, Eigen::SparseMatrix<double>& KG) {
  add_pieces(cut, &held, place, n, &K, KG);
}

Eigen::SparseMatrix<double> geometric_stiffness(const CutFrame& cut, const std::vector<int>& place, int n) {
  Eigen::SparseMatrix<double> KG;
  add_pieces(cut, nullptr, place, n, nullptr, KG);
  return KG;
}

AssembledFrame assembled_frame(const ModelFile& model, const std::vector<Section>& sections, size_t supports,
                               const std::vector<MemberForces>& forces, const std::vector<char>& geometric, bool hidden,
                               const std::vector<MemberLoad>& loads) {
  AssembledFrame a;
  a.cut = cut_frame(model, sections, forces, geometric, hidden, loads);
  int n = 0;
  const ModelFileCase& held = model.cases[supports];
  a.place = free_dofs(a.cut, held, n);
  assemble(a.cut, held, a.place, n, a.K, a.KG);
  return a;
}
