// The model read once; the last cycles' analyses, the frame to build and the checks kept while
// what they were made from stays.
#include "evaluate/evaluation.h"

#include <algorithm>

#include "formats/errors.h"

namespace {
// The loading as far as an analysis depends on it: the deflection limit enters only the
// deflections and the summary.
Loading loads_of(Loading loading) {
  loading.deflection_limit = 0;
  return loading;
}

// The settings as far as the analyses, the frame to build and the checks depend on them: the
// sizing and the holding of a mechanism enter only the frame to build, and the deflection limit
// only the frame in standard sizes (which grows for it).
std::pair<FrameChoice, EvaluationSettings> what_it_is_made_from(const FrameChoice& choice, EvaluationSettings s) {
  if (!choice.to_build) {
    s.sizing = {};
    s.hold = false;
  }
  if (!s.sizing.on) s.loading = loads_of(s.loading);
  return {choice, std::move(s)};
}

// The members added back to hold a mechanism count as drawn, below the threshold as they are.
void mark_added(std::vector<char>& drawn, const ShownFrame& f, const std::vector<int>& added_elements) {
  for (size_t j = 0; j < f.element.size(); ++j)
    if (std::find(added_elements.begin(), added_elements.end(), f.element[j]) != added_elements.end()) drawn[j] = 1;
}

// The mass of the members counted, kg at `density` kg/m3.
double counted_mass(const ShownFrame& f, const std::vector<char>& counted, double density) {
  double volume = 0;
  for (size_t j = 0; j < f.sections.size(); ++j)
    if (counted[j]) volume += f.sections[j].values.A * member_length(f.model, j);
  return volume * density * 1e-9;
}
}  // namespace

Evaluation::Evaluation(const ResultStore& r, const std::string& model_path, const std::string& result_path)
    : model_(read_model_file(model_path, ModelFileExtent::whole, {r.pn_node, r.pn_elem, -1, post_file_name})) {
  if (const std::string why = model_mismatch(r, model_, model_path, result_path); !why.empty())
    throw RunTimeError(err::model_mismatch, why);
}

const AnalysedFrame& Evaluation::cycle(const ResultStore& r, int c, const Loading& loading) {
  const Loading loads = loads_of(loading);
  if (!(loads == loading_)) {
    cycles_.clear();
    loading_ = loads;
  }
  for (auto it = cycles_.begin(); it != cycles_.end(); ++it)
    if (it->first == c) {
      cycles_.splice(cycles_.begin(), cycles_, it);
      return cycles_.front().second;
    }
  AnalysedFrame a;
  a.frame = shown_frame(r, model_, c);
  a.forces = analyse_frame(a.frame, loads);
  cycles_.emplace_front(c, std::move(a));
  if (cycles_.size() > kept) cycles_.pop_back();
  return cycles_.front().second;
}

const BuiltFrame& Evaluation::built(const ResultStore& r, const FrameChoice& choice, const EvaluationSettings& settings) {
  const auto from = what_it_is_made_from(choice, settings);
  if (built_ && built_from_ == from) return *built_;
  built_from_.reset();  // until made: a frame that cannot be made is made again when asked for
  const AnalysedFrame& design = cycle(r, choice.cycle, settings.loading);
  const SizingSettings& s = settings.sizing;
  built_ = std::make_unique<const BuiltFrame>(build_frame(design, members_shown(design.frame, r, choice.cycle, choice.threshold),
                                                          s.on && !s.list.empty() ? &s.list : nullptr, settings.steel,
                                                          from.second.loading, s.options, settings.hold));
  built_from_ = from;
  return *built_;
}

LightestSearch Evaluation::lightest_search(const ResultStore& r, int c, const EvaluationSettings& settings) {
  const AnalysedFrame& design = cycle(r, c, settings.loading);
  // The loading as the frame to build in standard sizes is made under it.
  const Loading loading = what_it_is_made_from({c, 0, true}, settings).second.loading;
  return {c, design, cycle_diameters(r, c, design.frame), settings.sizing.list, settings.steel, loading,
          settings.sizing.options};
}

void Evaluation::take_lightest(int c, const EvaluationSettings& settings, LightestFrame&& found) {
  if (!found.built) return;
  const FrameChoice choice{c, *found.threshold, true};
  built_ = std::make_unique<const BuiltFrame>(std::move(*found.built));
  built_from_ = what_it_is_made_from(choice, settings);
}

const FrameJudgement& Evaluation::judged(const ShownFrame& f, const FrameForces& forces, const std::vector<char>& drawn,
                                             const FrameChoice& choice, const EvaluationSettings& settings) {
  const auto from = what_it_is_made_from(choice, settings);
  if (!judged_ || judged_from_ != from) {
    judged_from_.reset();
    judged_ = std::make_unique<const FrameJudgement>(judge_frame(f, forces, settings.steel, settings.loading, drawn));
    judged_from_ = from;
  }
  return *judged_;
}

const PinJointedOutcome& Evaluation::plastic(const Loading& loading) {
  if (!plastic_ || plastic_from_ != loading.combinations) {
    plastic_ = std::make_unique<const PinJointedOutcome>(plastic_layout(model_, loading));
    plastic_from_ = loading.combinations;
  }
  return *plastic_;
}

Evaluated Evaluation::evaluate(const ResultStore& r, const FrameChoice& choice, const EvaluationSettings& settings) {
  Evaluated e;
  e.truss = &plastic(settings.loading);
  e.bound = plastic_bound(*e.truss, settings.steel, settings.loading.density);
  try {
    const AnalysedFrame& design = cycle(r, choice.cycle, settings.loading);
    e.frame = &design.frame;
    e.forces = &design.forces;
    if (choice.to_build) {
      e.built = &built(r, choice, settings);
      e.kind = e.built->sizing ? FrameKind::sized : FrameKind::clean;
      e.frame = &e.built->clean.frame;
      e.forces = e.built->clean.forces ? &*e.built->clean.forces : nullptr;
    }
  } catch (const std::exception& ex) {
    Evaluated failed;
    failed.bound = std::move(e.bound);
    failed.truss = e.truss;
    failed.problem = ex.what();
    return failed;
  }
  e.drawn = members_shown(*e.frame, r, choice.cycle, choice.threshold);
  if (e.built != nullptr) mark_added(e.drawn, *e.frame, e.built->clean.added_elements);
  if (e.forces == nullptr) return e;
  const FrameJudgement& j = judged(*e.frame, *e.forces, e.drawn, choice, settings);
  e.forces = &j.forces;
  e.checks = &j.checks;
  e.stability = j.stability;
  e.deflections = deflections(*e.forces, settings.loading.deflection_limit);
  e.summary = summarise(*e.forces, *e.checks, e.drawn, settings.loading.deflection_limit);
  e.summary.stability = stability_text(*e.forces, e.stability);
  e.summary.mass = bound_text(counted_mass(*e.frame, e.drawn, settings.loading.density), *e.bound);
  return e;
}

std::string show_forces(ResultPicture& p, const ForceView& v, const Evaluated& e, int n_elem, double& factor) {
  factor = apply_force_view(p, v, *e.frame, e.forces, e.checks, e.drawn, n_elem, frame_size(e.frame->model));
  if (e.forces == nullptr) return {};
  return summary_text(*e.frame, e.summary, frame_name(e.kind, e.drawn, p.threshold));
}
