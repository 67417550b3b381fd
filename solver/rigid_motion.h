// The rigid motions of a piece of frame and the supports that stop them. A piece joined by beams
// of positive section moves only as one rigid body unless strained, so its stiffness is regular
// exactly when its supports stop all six rigid motions; the free ones are its mechanism's modes.
// A motion is (t, theta) about a centre, lengths in units of a scale so that every row is O(1):
// a point at rho (scaled) moves by t + theta x rho and turns by theta.
#pragma once

#include <Eigen/Core>

using RigidGram = Eigen::Matrix<double, 6, 6>;

// The row r with r . (t, theta) the motion of the point at rho (scaled) along dof k (0..5:
// translations along L, W, H, rotations about them).
Eigen::Matrix<double, 6, 1> rigid_motion_row(const Eigen::Vector3d& rho, int dof);

// The sum of r r^T over every supported dof of a piece is the Gram matrix of its supports; the
// Gram of two pieces joined is the sum of theirs (about the same centre and scale). A motion is
// free when its eigenvalue is at most this fraction of the largest.
inline constexpr double free_motion_tolerance = 1e-10;

// How many independent rigid motions the supports of the Gram leave free (6 without a support).
int free_motion_count(const RigidGram& gram);
