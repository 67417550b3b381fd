// What the frame on screen carries and whether it holds: the analysis of a shown frame through
// the solver's engine (member forces, displacements, reactions of every load case) and the checks
// of every member with their envelope over the states: the steel checks of a round member over its
// buckling member's length, and for a drawn section its largest normal stress and Euler buckling.
// Units: mm, N, N mm, N/mm2. These forces are first order; frame_judgement takes the ultimate states
// to second order. Neglected for drawn sections: shear and torsion stresses, local buckling of thin
// walls and any product moment.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "evaluate/buckling_members.h"
#include "evaluate/load_state.h"
#include "evaluate/shown_frame.h"
#include "evaluate/steel_design.h"
#include "solver/member_forces.h"

// The linear analysis of a shown frame under its loading: every load case of the model, each
// member's own weight as a uniform load along it when the self-weight is on, and the states the
// checks look at: each load case with its self-weight, or, when there are combinations, each
// combination as the factored sum of its cases (which share their supports). A frame that is not
// held (a mechanism) or not loaded is a SolverError from the engine, naming node, dof and case; a
// combination of cases with different supports is a SolverError naming them.
struct FrameForces {
  std::vector<LoadState> states;
  std::vector<CaseForces> by_state;                               // per state, per member
  std::vector<std::vector<std::array<double, 6>>> displacements;  // per state, per node: mm, rad
  // Per load case of the model, without the self-weight: f^T u (N mm), what the optimisation
  // minimised.
  std::vector<double> compliance;
  double weight = 0;  // N: the self-weight of every member, when it is on
  double total_compliance() const;
};
FrameForces analyse_frame(const ShownFrame& f, const Loading& loading = {});

// A cycle's design and its analysis.
struct AnalysedFrame {
  ShownFrame frame;
  FrameForces forces;
};

// The largest translation of a state (0-based), or of every state whose deflection is checked
// (of every state when none is):
// its node (0-based; the first of equal ones), state and size in mm. No node: node -1.
struct Movement {
  int node = -1;
  int state = 0;
  double value = 0;
};
Movement largest_movement(const FrameForces& forces, int state = envelope_state);

// The deflection of a state (envelope_state: of every state whose deflection is checked): its
// largest translation and that over the deflection limit (mm; 0 for none, and then ratio 0).
struct Deflection {
  Movement moved;
  double ratio = 0;
};
Deflection deflection(const FrameForces& forces, int state, double limit);
// Per state, in their order.
std::vector<Deflection> deflections(const FrameForces& forces, double limit);

// A member's utilisation over the states checked for strength: the largest, its state (0-based)
// and check.
struct MemberEnvelope {
  double utilisation = 0;
  int state = 0;
  Governs governs = Governs::none;
};

struct FrameChecks {
  std::vector<std::vector<MemberCheck>> by_state;  // per state, per member
  std::vector<MemberEnvelope> envelope;         // per member
  std::vector<BucklingMembers> buckling;        // per state: the chains on its supports
  // The check of member j in the state that governs its envelope.
  const MemberCheck& governing(size_t j) const { return by_state[static_cast<size_t>(envelope[j].state)][j]; }
  // Member j's chain in that state.
  int chain(size_t j) const { return buckling[static_cast<size_t>(envelope[j].state)].chain[j]; }
};

// Largest normal stress of a member with end forces m: a circle or tube at its outer radius,
// a general section at the sketch points given (or, without any, at the radius of the circle
// of its area).
double largest_stress(const MemberSection& s, const std::vector<SketchPoint>& fibres, const MemberForces& m);
// Every member of f in every state, over the buckling members on the state's supports. `members`
// flags the members that make the buckling members (those drawn as beams of an optimised design);
// without it every member does.
FrameChecks check_frame(const ShownFrame& f, const FrameForces& forces, const CheckSettings& s);
FrameChecks check_frame(const ShownFrame& f, const FrameForces& forces, const CheckSettings& s,
                        const std::vector<char>& members);
// Every member of f under the forces of one state (per member), over the buckling members of its supports.
std::vector<MemberCheck> check_state(const ShownFrame& f, const std::vector<MemberForces>& members,
                                     const BucklingMembers& chains, const CheckSettings& s);
// Each member's envelope over the states checked for strength, from checks.by_state.
void take_envelope(FrameChecks& checks, const std::vector<LoadState>& states);
// Member j of f (0-based) with the section s instead of its own, under the forces m of one state,
// over the buckling length b (mm).
MemberCheck check_member(const ShownFrame& f, size_t j, const MemberSection& s, const BucklingLength& b,
                         const MemberForces& m, const CheckSettings& settings);

// The worst of a frame, over the members whose flag in `counted` is set.
struct FrameSummary {
  int member = -1;              // 0-based member of the frame, -1 when none is counted
  MemberEnvelope worst;
  int counted = 0;              // members counted
  int above_one = 0;            // members whose utilisation exceeds 1
  std::string worst_in;         // the state of the worst member
  Deflection deflected;         // of every state checked for deflection
  std::string moved_in;         // its state
  double deflection_limit = 0;  // mm, 0: none
  std::string stability;        // "Critical load factor alpha_cr 12.3 (load case 1)", or ""
  std::string mass;             // "Mass 7.37 kg, 1.67 x the lightest pin-jointed truss ...", or ""
};
FrameSummary summarise(const FrameForces& forces, const FrameChecks& checks,
                       const std::vector<char>& counted, double deflection_limit = 0);
// "Largest utilisation 1.23: element 17 (node 3 at (0, 0, 0) to node 8 at (100, 0, 0)), load
// case 2, buckling; 4 of 13 members above 1 in FRAME. Largest displacement 2.31 mm at node 8
// (100, 0, 0), load case 1.", FRAME naming the frame checked ("the clean frame"); with a
// deflection limit the last sentence ends ", 0.924 of the deflection limit 2.5 mm.". The mass,
// when there is one, follows the members' sentence.
std::string summary_text(const ShownFrame& f, const FrameSummary& s, const std::string& frame);
// "node 8 at (100, 0, 50)", coordinates in mm with at most 4 significant decimals.
std::string node_text(const ModelFile& m, int node0);
