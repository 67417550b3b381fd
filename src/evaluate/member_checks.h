// What the frame on screen carries and whether it holds: the analysis of a shown frame through
// the solver's engine (member forces, displacements, reactions of every load case) and the two
// checks of every member, yielding and Euler buckling, with their envelope over the cases.
// Units: mm, N, N mm, N/mm2. Neglected: shear and torsion stresses, second-order effects, local
// buckling of thin walls, and any product moment of a drawn section.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "evaluate/shown_frame.h"
#include "solver/member_forces.h"

// The linear analysis of a shown frame, every load case. A frame that is not held (a mechanism)
// or not loaded is a SolverError from the engine, naming node, dof and case.
inline constexpr int envelope_case = -1;  // every load case at once

struct FrameForces {
  std::vector<CaseForces> cases;                             // per case (0-based), per member
  std::vector<std::vector<std::array<double, 6>>> displacements;  // per case, per node: mm, rad
  std::vector<double> compliance;                            // per case: f^T u, N mm
  double total_compliance() const;
};
FrameForces analyse_frame(const ShownFrame& f);

// The largest translation of a load case (0-based), or of every case: its node (0-based; the
// first of equal ones), case and size in mm. No node: node -1.
struct Movement {
  int node = -1;
  int load_case = 0;
  double value = 0;
};
Movement largest_movement(const FrameForces& forces, int load_case = envelope_case);

struct CheckSettings {
  double yield = 235;     // "Yield stress [N/mm2]"
  double k_factor = 1.0;  // "Buckling length factor K"
};

enum class Governs { none, stress, buckling };
const char* governs_name(Governs g);  // "yield" / "buckling" / "-"

// One member in one case.
struct MemberCheck {
  double axial = 0;        // N, tension positive
  double moment = 0;       // largest resultant bending moment along the member, N mm
  double stress = 0;       // largest |normal stress| (axial plus bending at the extreme fibre)
  double euler = 0;        // pi^2 E I_min / (K L)^2, N
  double utilisation = 0;  // max(stress / yield, compression / euler)
  Governs governs = Governs::none;
};

// A member's utilisation over the cases: the largest, its case (0-based) and check.
struct MemberEnvelope {
  double utilisation = 0;
  int load_case = 0;
  Governs governs = Governs::none;
};

struct FrameChecks {
  std::vector<std::vector<MemberCheck>> cases;  // per case, per member
  std::vector<MemberEnvelope> envelope;         // per member
};

// Largest normal stress of a member with end forces m: a circle or tube at its outer radius,
// a general section at the sketch points given (or, without any, at the radius of the circle
// of its area).
double largest_stress(const MemberSection& s, const std::vector<SketchPoint>& fibres, const MemberForces& m);
FrameChecks check_frame(const ShownFrame& f, const FrameForces& forces, const CheckSettings& s);

// The worst of a frame, over the members whose flag in `counted` is set.
struct FrameSummary {
  int member = -1;              // 0-based member of the frame, -1 when none is counted
  MemberEnvelope worst;
  int above_one = 0;            // members whose utilisation exceeds 1
  Movement moved;               // the largest translation of every case
};
FrameSummary summarise(const FrameForces& forces, const FrameChecks& checks,
                       const std::vector<char>& counted);
// "Largest utilisation 1.23: element 17 (node 3 at (0, 0, 0) to node 8 at (100, 0, 0)), load
// case 2, buckling; 4 members above 1. Largest displacement 2.31 mm at node 8 (100, 0, 0),
// load case 1."
std::string summary_text(const ShownFrame& f, const FrameSummary& s);
// "node 8 at (100, 0, 50)", coordinates in mm with at most 4 significant decimals.
std::string node_text(const ModelFile& m, int node0);
