// The model read once, and the last cycles' analyses kept.
#include "evaluate/design_evaluation.h"

#include "formats/errors.h"

DesignEvaluation::DesignEvaluation(const ResultStore& r, const std::string& model_path, const std::string& result_path)
    : model_(read_model_file(model_path, ModelFileExtent::whole, {r.pn_node, r.pn_elem, -1, "post_pl.dat"})) {
  if (const std::string why = model_mismatch(r, model_, model_path, result_path); !why.empty())
    throw RunTimeError(err::model_mismatch, why);
}

const AnalysedFrame& DesignEvaluation::cycle(const ResultStore& r, int c, const Loading& loading) {
  if (!(loading == loading_)) {
    cycles_.clear();
    loading_ = loading;
  }
  for (auto it = cycles_.begin(); it != cycles_.end(); ++it)
    if (it->first == c) {
      cycles_.splice(cycles_.begin(), cycles_, it);
      return cycles_.front().second;
    }
  AnalysedFrame a;
  a.frame = shown_frame(r, model_, c);
  a.forces = analyse_frame(a.frame, loading);
  cycles_.emplace_front(c, std::move(a));
  if (cycles_.size() > kept) cycles_.pop_back();
  return cycles_.front().second;
}
