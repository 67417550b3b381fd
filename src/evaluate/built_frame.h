// The frame to build from the design on screen: its clean frame, optionally in standard sizes,
// and what it is against the optimised design of the same cycle (volume, compliance), in the
// words of the post-processing window's status.
#pragma once

#include <optional>
#include <string>
#include <vector>

class JsonWriter;

#include "evaluate/bill_of_materials.h"
#include "evaluate/clean_up.h"
#include "evaluate/member_checks.h"
#include "evaluate/standard_sizes.h"

struct BuiltFrame {
  CleanFrame clean;              // with standard sizes, its members are the tubes chosen
  std::optional<Sizing> sizing;  // when standard sizes were asked for and the frame stands
  std::optional<Bill> bill;      // of the sized frame, at the loading's density
  SizingOptions options;         // of the sizing
  double unlimited_volume = 0;   // mm3, with a limit on section types: the frame's volume sized with as many as needed
  double optimised_volume = 0;   // of the whole design of the cycle, mm3
  double optimised_compliance = 0;  // of the whole design of the cycle, N mm, summed over the cases
};

// `drawn` flags the members drawn as beams (members_shown); `sizes` null: the clean frame alone.
// With a limit on section types the frame is also sized without it, for its mass. `hold`: a clean
// frame left a mechanism is held by removed members added back (clean_up), sized like the rest.
BuiltFrame build_frame(const AnalysedFrame& design, const std::vector<char>& drawn, const std::vector<StandardSection>* sizes,
                       const CheckSettings& checks, const Loading& loading = {}, const SizingOptions& options = {},
                       bool hold = false);
// The same from the clean frame of `design` already made (clean_up under the same loading).
BuiltFrame build_from_clean(const AnalysedFrame& design, CleanFrame clean, const std::vector<StandardSection>* sizes,
                       const CheckSettings& checks, const Loading& loading, const SizingOptions& options);

// Why the frame to build cannot be exported with its forces: "the clean frame cannot stand:
// load case 1: ... is free along W; a lower threshold keeps more members, or "Show Optimised"
// exports the optimised design". "" when it stands.
std::string unstable_export(const BuiltFrame& b);

// "Clean frame: 24 members, 14 nodes; removed 236 (220 thin, 12 hanging, 4 loose); 2 nodes join
// two members in line; held by 3 members added back: 12, 40, 41. Volume 0.921 and compliance 1.03
// of the optimised design's." (members added back that do not hold it all: "; 2 members added
// back (12, 40) do not hold it") and then the
// summary of its checks, or why it cannot stand; with standard sizes their mass (kg at `density`
// kg/m3) and, with a limit on section types, the mass with as many as needed; pieces and sections,
// rounds, and the elements that fail; with a deflection limit, what grew for it (members and mass)
// or by how much the frame stays past it and why. A frame sized without growing for a limit that
// it deflects past (`deflected`, of its states checked for deflection) says that the sizes were
// chosen for strength.
std::string built_status(const BuiltFrame& b, double density, const std::string& checks_summary,
                         const Deflection& deflected = {});

// The window's dump: `clean` {members, nodes, volume (mm3), compliance (N mm, summed over the
// cases; 0 when it cannot stand), mechanism (it cannot stand, being free to move), load_lost
// (it cannot, a load being left on a removed member), removed, problem, added (the element
// numbers of the members added back to hold a mechanism, in the order added)}; with standard sizes
// `frame_mass` (kg) and `pieces`; when the sizing grew for a deflection limit,
// `deflection_growth` {met, ratio (the largest displacement over the limit), members (grown),
// volume (mm3 added), rounds (analyses made growing), stuck (no larger section helped)}; and `sizes`, per element
// 1..n_elem the standard section's name ("" for a non-design bar, a removed element, or
// without standard sizes).
void write_built_json(JsonWriter& j, const BuiltFrame& b, int n_elem);
