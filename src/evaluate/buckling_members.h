// Which elements buckle together: a buckling member is a chain of elements through nodes that
// join exactly two of the frame's members in line (within 1 degree) and that no support or spring
// holds in any load case; nothing stops such a node from moving sideways with the chain.
// Lengths in mm.
#pragma once

#include <vector>

#include "base/analysis_model.h"

struct BucklingMembers {
  std::vector<int> chain;      // per element of the model: its chain, numbered from 1 in element order
  std::vector<double> length;  // per element: the length of its chain, mm
  std::vector<int> elements;   // per element: how many elements its chain holds
};

// The chains of m's elements. Only the elements flagged in `members` (those drawn as beams of the
// optimised design; every one of a clean frame) count at a node; each element left out is a chain
// of its own.
BucklingMembers buckling_members(const ModelFile& m, const std::vector<char>& members);
