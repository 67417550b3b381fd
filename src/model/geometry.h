// Geometry of the design records: the eight corners of a box or bar, the lattice of points a
// box is meshed into, and the ground-structure rule that picks which pairs of lattice points
// become beams. Shared by the preview of the design stage and the analysis-model build.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/rotate.h"
#include "model/model_store.h"

// Sign of the local offset of corner c = 1..8 along L, W, H (row 0 unused).
inline constexpr int corner_sign[9][3] = {{0, 0, 0},   {+1, +1, -1}, {-1, +1, -1}, {+1, +1, +1}, {-1, +1, +1},
                                          {+1, -1, -1}, {-1, -1, -1}, {+1, -1, +1}, {-1, -1, +1}};

// Corners 1..8 of a record; index 0 unused.
using CornerSet = std::array<Vec3, 9>;

struct RecordCorners {
  CornerSet plain;      // rotated and centred, without the corner displacements
  CornerSet displaced;  // plain + gr_apex of the record
};

// Degrees to radians as the modelling window converts them: degrees * 4 atan(1) / 180, in
// double precision, stored as Single. Angles about L, W, H.
Vec3 radians_from_degrees(const Vec3& degrees);


// Corners of record k (1..100). Units mm; axes L, W, H. The local offset of corner c is
// (sL L/2, sW W/2, sH H/2) of the side lengths gr_len, turned by gr_rot (degrees) with
// Rotate_3D and moved to gr_cen. "Overflow" when a coordinate leaves the Single range.
RecordCorners record_corners(const ModelStore& m, int k);

// The lattice of a box: points in their numbering order, each with its lattice index.
struct Lattice {
  int layers[3] = {0, 0, 0};                  // NL, NW, NH: divisions + 1 along L, W, H
  std::vector<Vec3> xyz{Vec3()};              // points 1..count(), mm; row 0 unused
  std::vector<std::array<int16_t, 3>> index{  // lattice index (iL, iW, iH), each 0..N-1
      std::array<int16_t, 3>{0, 0, 0}};
  int count() const { return static_cast<int>(xyz.size()) - 1; }
};

// Lattice of a block with the given displaced corners and divisions along L, W, H.
// Numbering: the W layer runs from the last down to the first (outermost), inside it the H
// layer upwards, inside that the L layer downwards; a point is the trilinear blend of the
// eight corners. Divisions 1, 1, 1 give the corners in corner order. Units mm.
// Errors: a division below 1 ("Overflow": the layer spacing divides by zero or is negative);
// more than 1000 points (capacity). `record` only names the record in the message.
Lattice lattice_points(const CornerSet& displaced, int div_l, int div_w, int div_h, int record);

// The error name (err::overflow, err::capacity) of divisions that give no lattice: one below
// 1, or more than 1000 points; nullptr for divisions that do.
const char* division_fault(int div_l, int div_w, int div_h);

// Lattice of record k from its displaced corners (mm) and gr_div(k, 1..3).
Lattice record_lattice(const ModelStore& m, int k, const CornerSet& displaced);

// A chosen pair of lattice points, p < q, numbered like the lattice.
struct PointPair {
  int16_t p, q;
};

// Which axes take part in the divisor test. The analysis model ignores the axis of a flat
// side (its points coincide and merge); the preview tests all three.
struct AxisWeights {
  bool l = true, w = true, h = true;
};

// Axis weights of record k for the analysis model: an axis whose side length is below
// 0.001 mm in magnitude is ignored.
AxisWeights flat_side_weights(const ModelStore& m, int k);

// Most pairs of one record that may be examined (and so chosen).
inline constexpr int max_pairs_per_record = 10000;

// Ground-structure rule, on lattice numbers 1..count(): every pair p < q (in the order p ascending, then q ascending) whose
// lattice-index differences dL, dW, dH have no common divisor t in 2..m-1, m = max(NL, NW, NH).
// The test "t divides d" is |Int(d/t + 0.001) t - d| <= 0.001 in floating point, and an
// ignored axis always passes it. A lattice of more than 141 points (over 10000 pairs) is the
// capacity error, naming `record`.
std::vector<PointPair> choose_pairs(const Lattice& lattice, AxisWeights weights, int record);
