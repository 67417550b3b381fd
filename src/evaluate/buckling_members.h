// Which elements buckle together: a buckling member is a chain of elements in line (within 1
// degree) that runs on through every node that does not hold it across. A node holds a chain when,
// seen along the chain, what fixes it points two different ways across it: the translations (L, W,
// H) its supports fix in the load case the chain stands on, and the members not in line that meet
// there. A spring, a rotational support or a support of another load case holds nothing. A chain
// ends at a node that holds it, or where no member goes on in line. Lengths in mm.
#pragma once

#include <vector>

#include "base/analysis_model.h"
#include "evaluate/load_state.h"
#include "evaluate/steel_design.h"

struct BucklingMembers {
  std::vector<int> chain;      // per element of the model: its chain, numbered from 1 in element order
  std::vector<double> length;  // per element: the length of its chain, mm
  std::vector<int> elements;   // per element: how many elements its chain holds
  // Per element: an end of its chain is held by nothing at all (no support of a translation, no
  // other member), so the chain sways like a cantilever.
  std::vector<char> free_end;
  // Element j's buckling length: K x its chain's length, mm.
  BucklingLength buckling_length(size_t j, double k_factor) const;
};

// The chains of m's elements on the supports of load case `supports` (0-based; a case beyond the
// model's has none). Only the elements flagged in `members` (those drawn as beams of the optimised
// design; every one of a clean frame) count at a node; each element left out is a chain of its own.
BucklingMembers buckling_members(const ModelFile& m, const std::vector<char>& members, size_t supports);
// Per state, the chains on the supports it stands on, made once for each load case used.
std::vector<BucklingMembers> state_chains(const ModelFile& m, const std::vector<char>& members,
                                          const std::vector<LoadState>& states);
// The elements that make one chain in any of `chains` joined: the pieces a frame is built of,
// each one length of one section. Per element of n, numbered from 1 in element order.
std::vector<int> pieces(size_t n, const std::vector<BucklingMembers>& chains);
