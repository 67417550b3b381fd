// "Lightest Frame": the frame to build in standard sizes at every threshold of a cycle where its
// clean frame changes, and the lightest of them that passes every check.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "evaluate/built_frame.h"

struct ResultStore;

// The diameters of a cycle's design, per member of its full frame (as the result file holds
// them), and the run's largest, the unit of the threshold. Non-design members have none (NaN):
// they are drawn at every threshold.
struct CycleDiameters {
  std::vector<float> diameter;
  float largest = 0;
};

// Those of cycle c (1..pn_cyc) of r for its full frame (every element a member).
CycleDiameters cycle_diameters(const ResultStore& r, int c, const ShownFrame& full);

// The members drawn as beams at `threshold`, as members_shown draws them.
std::vector<char> drawn_members(const CycleDiameters& d, float threshold);

// One threshold per different set of members drawn, from the lowest (every member drawn: 0) up:
// each the shortest decimal that draws the members of its diameter and thicker, and no thinner
// ones. Diameters that no threshold tells apart share one.
std::vector<float> drawing_thresholds(const CycleDiameters& d);

// The thresholds, lowest first, at which the clean frame (members_kept) differs from that of the
// threshold below: the first of every run of thresholds giving the same clean frame, and none
// that keeps no member.
std::vector<float> clean_frame_thresholds(const ShownFrame& full, const CycleDiameters& d);

struct LightestProgress {
  int sized = 0;      // clean frames sized so far, fully or in their first round
  int left = 0;       // clean frames that could still be lighter than the best, not yet sized
  double best = 0;    // mass of the lightest frame passing so far, kg; 0 for none yet
  float threshold = 0;  // its threshold
};

struct LightestFrame {
  std::optional<float> threshold;  // of the lightest frame that passes; none when none does
  std::optional<BuiltFrame> built;  // that frame, sized
  int frames = 0;   // different clean frames over the cycle's thresholds
  int sized = 0;    // of them sized: the others stood no chance of being lighter, or the search was stopped
  int probed = 0;   // sized in one round only, which left them far heavier than the best
  int passing = 0;  // of those sized, the frames that stand with every member passing
  bool stopped = false;
};

// Whether a sized frame stands with every member passing its checks under the settings (its own
// second-order forces and frame stability among them), the bars of drawn sections too, and within
// the deflection limit it was sized for.
bool frame_passes(const BuiltFrame& b, const CheckSettings& checks, const Loading& loading);

// Sizes the clean frame of `design` at every threshold of clean_frame_thresholds, those that
// could be lightest first (by the mass of their members in the least section allowed; a frame
// whose least mass reaches the lightest passing frame's is not sized, and one whose first round
// already weighs a quarter more is sized no further), and keeps the lightest that passes. `go_on` is told the progress before each sizing; when it answers false the search
// stops, keeping the best so far. The options are those of "Standard Sizes".
LightestFrame lightest_frame(const AnalysedFrame& design, const CycleDiameters& d, const std::vector<StandardSection>& list,
                             const CheckSettings& checks, const Loading& loading, const SizingOptions& options,
                             const std::function<bool(const LightestProgress&)>& go_on = {});

// A search of one cycle, with all it needs copied, to run apart from the window that asked.
struct LightestSearch {
  int cycle = 1;
  AnalysedFrame design;
  CycleDiameters diameters;
  std::vector<StandardSection> list;
  CheckSettings checks;
  Loading loading;
  SizingOptions options;
  LightestFrame run(const std::function<bool(const LightestProgress&)>& go_on = {}) const {
    return lightest_frame(design, diameters, list, checks, loading, options, go_on);
  }
};

// "Lightest frame: 12.4 kg at threshold 0.137, the lightest of 3 frames that pass; of 41 clean
// frames, 7 sized and 12 found heavier in their first round (the others could not be lighter)."
// or why there is none, for the status line.
std::string lightest_status(const LightestFrame& l, double density);
// "Lightest frame: 12 clean frames sized, 30 more could be lighter; the lightest passing so far
// 7.53 kg at threshold 0.945 (\"Stop\" keeps it)", for the status line while it searches.
std::string lightest_progress(const LightestProgress& p);
