// A frame cut into pieces for the analyses that follow the members' axial forces (the critical
// load factor, the second-order analysis): each member in compression is cut into pieces, so
// that the cubic shape functions follow its bent shape, and the elastic stiffness K and the
// geometric stiffness K_G of the pieces are assembled over the free dofs. Units: mm, N.
#pragma once

#include <vector>

#include <Eigen/Core>
#include <Eigen/SparseCore>

#include "solver/frame.h"
#include "solver/member_forces.h"

struct ModelFileCase;

// A compressed member is cut into this many pieces: the cubic shape functions of four pieces
// give Euler's load of a pinned column 0.03 % high, of a fixed-pinned one 0.2 %.
inline constexpr int compressed_pieces = 4;

// One beam of the cut frame: its ends among the nodes of the cut frame and what it is made of.
struct Piece {
  int node1 = 0, node2 = 0;
  int member = 0;  // the frame's element it is part of (0-based)
  double E = 0, G = 0, length = 0, axial = 0;  // axial: N at its middle, 0 when it takes none
  bool takes_axial = true;
  Section section;
  Eigen::Matrix3d axes;
  Eigen::Vector3d load = Eigen::Vector3d::Zero();  // uniform, N/mm, in its own axes
};

struct CutFrame {
  size_t nodes = 0;           // the frame's nodes, then the pieces' inner nodes, in a row
  std::vector<Piece> pieces;  // those of each member in a row, from its node 1
};

// The frame of `model` cut into pieces under the axial forces `forces` (per element). Elements
// whose flag in `geometric` is cleared take no axial force; without `hidden` they are left out.
// `loads`: uniform member loads (N/mm, global, per element; empty for none).
CutFrame cut_frame(const ModelFile& model, const std::vector<Section>& sections, const std::vector<MemberForces>& forces,
                   const std::vector<char>& geometric, bool hidden, const std::vector<MemberLoad>& loads = {});

// Per dof of the cut frame (6 per node): its place among the free dofs, or -1 where the case
// fixes it or nothing holds it (no piece at its node, no spring on it), as in the analysis.
std::vector<int> free_dofs(const CutFrame& cut, const ModelFileCase& held, int& count);

// The free dof (as free_dofs places them, -1 for none) of end value r (0..11) of piece p.
int dof_place(const std::vector<int>& place, const Piece& p, int r);

// Piece p's rotation from global to its own axes, for its 12 end values.
Eigen::Matrix<double, 12, 12> piece_rotation(const Piece& p);

// K (elastic, with the case's springs) and K_G of the pieces' axial forces over the free dofs.
void assemble(const CutFrame& cut, const ModelFileCase& held, const std::vector<int>& place, int n,
              Eigen::SparseMatrix<double>& K, Eigen::SparseMatrix<double>& KG);
// K_G alone, for axial forces that changed while K stays.
Eigen::SparseMatrix<double> geometric_stiffness(const CutFrame& cut, const std::vector<int>& place, int n);

// The cut frame on the supports and springs of a case, with its free dofs, K and K_G.
struct AssembledFrame {
  CutFrame cut;
  std::vector<int> place;  // as free_dofs gives it
  Eigen::SparseMatrix<double> K, KG;
};
AssembledFrame assembled_frame(const ModelFile& model, const std::vector<Section>& sections, size_t supports,
                               const std::vector<MemberForces>& forces, const std::vector<char>& geometric, bool hidden,
                               const std::vector<MemberLoad>& loads = {});
