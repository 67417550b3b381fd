// From the optimised design to a frame that can be built: the design beams below the threshold
// are removed, then members that hang from a node nothing else holds and pieces that no support
// holds, until nothing more goes; the frame left is analysed with the diameters shown, or, when
// it cannot stand, the reason names the node, the load case and the free direction. On request a
// frame left a mechanism is first held by removed members added back, lightest first
// (held_frame.h says which hold it and how they are weighed).
#pragma once

#include <optional>
#include <string>

#include "evaluate/member_checks.h"

struct CleanFrame {
  ShownFrame frame;                 // the members kept, in the order of the full frame
  int removed_thin = 0;             // design beams below the threshold
  int removed_hanging = 0;          // members hanging from a node that nothing else holds
  int removed_loose = 0;            // members of pieces that no support or spring holds
  int nodes = 0;                    // nodes some kept member touches
  int collinear_nodes = 0;          // unloaded, unheld nodes joining just two members in line
  std::optional<FrameForces> forces;  // its analysis; none when it cannot stand
  std::string problem;              // why it cannot stand, with advice; "" when it stands
  bool load_lost = false;           // it cannot, for a load left on a removed member
  // Holding a mechanism: the members of the full frame added back (0-based, in the order added)
  // and their element numbers; `unheld`, some rigid motion is still free and no removed member
  // holds it.
  std::vector<int> added, added_elements;
  bool unheld = false;
  int removed() const { return removed_thin + removed_hanging + removed_loose; }
};

// The clean frame of `full` (a cycle's frame, every element a member) analysed; the design beams
// that `drawn` does not flag (those the picture draws as centre lines at its threshold) go first.
// The frame left is analysed under the loading. With `hold`, a frame left a mechanism (not one
// that lost a load) gets back the removed members that hold it before its analysis; a frame that
// stands is the same either way.
CleanFrame clean_up(const ShownFrame& full, const std::vector<char>& drawn, const Loading& loading = {},
                    bool hold = false);

// The members of `full` (as flags) that the clean-up of the members `drawn` keeps, without the
// analysis. Drawing fewer members never keeps more.
std::vector<char> members_kept(const ShownFrame& full, const std::vector<char>& drawn);

// Volume of a frame's members, sum of A L, mm3.
double frame_volume(const ShownFrame& f);

// The name of a direction of freedom: dof 0..5 -> "along L" .. "about H".
std::string free_direction(int dof);
