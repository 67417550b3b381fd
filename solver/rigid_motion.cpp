// Rows of the rigid motions and the count of those left free.
#include "solver/rigid_motion.h"

#include <Eigen/Eigenvalues>

Eigen::Matrix<double, 6, 1> rigid_motion_row(const Eigen::Vector3d& rho, int dof) {
  Eigen::Matrix<double, 6, 1> row = Eigen::Matrix<double, 6, 1>::Zero();
  row[dof] = 1;
  // (theta x rho) . e = theta . (rho x e)
  if (dof < 3) row.tail<3>() = rho.cross(Eigen::Vector3d::Unit(dof));
  return row;
}

int free_motion_count(const RigidGram& gram) {
  const Eigen::SelfAdjointEigenSolver<RigidGram> eig(gram, Eigen::EigenvaluesOnly);
  const double largest = eig.eigenvalues()[5];
  int free = 0;
  for (int k = 0; k < 6; ++k) free += eig.eigenvalues()[k] <= free_motion_tolerance * largest ? 1 : 0;
  return free;
}
