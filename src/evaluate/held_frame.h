// A clean frame that is a mechanism held by members of the full frame added back. The frame's
// beams join their nodes rigidly, so it is a mechanism exactly when the supports of a load case
// leave some piece of it (kept members joined) a free rigid motion; those motions are the
// mechanism's modes. A removed member holds a mode when, added, it leaves fewer motions free:
// it ties a moving piece to another piece or to a node supported against the motion. Members
// whose ends move as one in every mode (both on one piece, or out to a node nothing holds) never
// are. Candidates go lightest first, by their length times the section they would get, which is
// the same for all: only a design beam removed as thin can hold (a member removed as hanging or
// loose ends at a node no support or spring holds), every design beam is sized later from its forces, and
// one that only holds a mechanism carries little, so all get the least section and the shortest
// is the lightest. One member is added at a time, the lightest that holds, until no motion is free.
#pragma once

#include <vector>

#include "evaluate/loading.h"
#include "evaluate/shown_frame.h"

struct Holding {
  std::vector<int> added;  // members of the frame (0-based) added back, in the order added
  int free_before = 0;     // rigid motions free, over the pieces and the load cases' supports
  int free_after = 0;      // left free when no removed member holds any more
};

// The members of `f` that `keep` leaves out added to it until the frame kept stands, or no
// removed member holds what is left free. The supports counted are those of each load case the
// analysis solves under the loading: one with a load off its supports, every one with the
// self-weight on.
Holding hold_mechanism(const ShownFrame& f, std::vector<char>& keep, const Loading& loading);

// Rigid motions that the supports leave free to the pieces of the members kept.
int free_rigid_motions(const ModelFile& m, const std::vector<char>& keep, const Loading& loading);
