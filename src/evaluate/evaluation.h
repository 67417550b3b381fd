// The one door through which the post-processing window and its exports get the engineering of
// the design on screen: the model file read once and checked against the results; the frame
// chosen (a cycle's optimised design, or its frame to build, clean or in standard sizes); its
// states, analysis, member checks, deflections, summary, sizing and bill of materials. The
// settings come as values: what a changed setting does not touch is kept, not made again.
#pragma once

#include <list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/files.h"
#include "evaluate/built_frame.h"
#include "evaluate/force_view.h"
#include "evaluate/frame_judgement.h"
#include "evaluate/lightest_frame.h"
#include "evaluate/plastic_bound.h"

// Standard sizes: on, with the list read and the sizing's options.
struct SizingSettings {
  bool on = false;
  std::vector<StandardSection> list;
  SizingOptions options;
  bool operator==(const SizingSettings&) const = default;
};

// Everything set in the window that the evaluation depends on.
struct EvaluationSettings {
  CheckSettings steel;
  Loading loading;  // with the density of the frame to build
  SizingSettings sizing;
  bool hold = false;  // the frame to build: a clean frame left a mechanism is held by members added back
  bool operator==(const EvaluationSettings&) const = default;
};

// The frame asked for: cycle (1..pn_cyc) at a threshold (a fraction of pd_max), as the
// optimised design or as the frame to build.
struct FrameChoice {
  int cycle = 1;
  float threshold = 0;
  bool to_build = false;
  bool operator==(const FrameChoice&) const = default;
};

// What the windows and exports show of the frame chosen. The pointers stay valid until the
// next evaluation.
struct Evaluated {
  FrameKind kind = FrameKind::optimised;
  const ShownFrame* frame = nullptr;    // null: the design cannot be analysed, `problem` says why
  const FrameForces* forces = nullptr;  // null: the frame cannot stand; ultimate states second order
  const FrameChecks* checks = nullptr;  // with the forces
  const BuiltFrame* built = nullptr;    // the frame to build, when it is chosen and could be made
  std::vector<char> drawn;              // per member of frame: drawn as a beam (or added back to hold
                                        // a mechanism), counted by the checks
  std::vector<Deflection> deflections;  // per state, against the deflection limit
  std::vector<StateStability> stability;  // per state checked for strength
  FrameSummary summary;                 // of the members drawn, with the forces
  std::optional<PlasticBound> bound;    // of the model under the loading and steel, once evaluated
  const PinJointedOutcome* truss = nullptr;  // the bound's truss, kept while the ultimate states stay
  std::string problem;
};

class Evaluation {
 public:
  // Reads the model file whole; a missing or damaged file, or one that does not describe the
  // mesh of r ("Model does not match", naming both files), is a RunTimeError.
  explicit Evaluation(const ResultStore& r, const std::string& model_path = model_file_name,
                      const std::string& result_path = post_file_name);

  const ModelFile& model() const { return model_; }
  int case_count() const { return static_cast<int>(model_.cases.size()); }
  // Cycle c of r analysed under the loading (the last few kept); a frame that cannot be
  // analysed is the engine's SolverError.
  const AnalysedFrame& cycle(const ResultStore& r, int c, const Loading& loading = {});
  // The frame chosen under the settings. A design that cannot be analysed, or an engine that
  // breaks down on its frame to build, leaves `frame` null and says why.
  Evaluated evaluate(const ResultStore& r, const FrameChoice& choice, const EvaluationSettings& settings);

  // The "Lightest Frame" search of cycle c under the settings (standard sizes on, mechanisms
  // held), in the sections of their list, made as the frame to build is made; a cycle that cannot
  // be analysed is the engine's SolverError.
  LightestSearch lightest_search(const ResultStore& r, int c, const EvaluationSettings& settings);
  // Takes the frame the search of cycle c found as the frame to build at its threshold under the
  // settings (those of the search), so that choosing it sizes nothing again.
  void take_lightest(int c, const EvaluationSettings& settings, LightestFrame&& found);

 private:
  const BuiltFrame& built(const ResultStore& r, const FrameChoice& choice, const EvaluationSettings& settings);
  // The second-order forces, checks and stability of the frame chosen, made again when what they
  // are made from changes.
  const FrameJudgement& judged(const ShownFrame& f, const FrameForces& forces, const std::vector<char>& drawn,
                       const FrameChoice& choice, const EvaluationSettings& settings);

  // The plastic bound's truss, made again only when the ultimate states change.
  const PinJointedOutcome& plastic(const Loading& loading);

  static constexpr size_t kept = 8;
  ModelFile model_;
  std::list<std::pair<int, AnalysedFrame>> cycles_;  // most recently used first
  Loading loading_;                                  // theirs
  // What the frame to build and the checks were last made from, and what they were.
  std::optional<std::pair<FrameChoice, EvaluationSettings>> built_from_, judged_from_;
  std::unique_ptr<const BuiltFrame> built_;
  std::unique_ptr<const FrameJudgement> judged_;
  std::optional<std::vector<Combination>> plastic_from_;  // the combinations the bound's truss is of
  std::unique_ptr<const PinJointedOutcome> plastic_;
};

// The force view of the frame evaluated on the picture of its cycle: the colours, legend,
// diameters and deformed frame (apply_force_view over the members drawn as beams), and the
// summary of its checks, which names the frame: for the optimised design its threshold and how
// many members it hides, and when they are most, that "Clean Up" gives the frame to build; "" without
// forces. Sets `factor` to the magnification.
std::string show_forces(ResultPicture& p, const ForceView& v, const Evaluated& e, int n_elem, double& factor);
