// Optimisation of the design beams' diameters: sensitivities from the element energies, then the
// method of moving asymptotes (or the optimality-criteria update) under the volume target.
#include "optimiser.h"

#include <numbers>
#include <algorithm>
#include <cmath>

#include "base/analysis_model.h"

namespace {


// The optimality-criteria update's own stop: the largest change of x below this.
constexpr double criteria_change = 1e-3;

}  // namespace

Settled how_settled(std::span<const CycleRecord> cycles, int cycle_limit) {
  const auto n = static_cast<int>(cycles.size());
  auto still = [](const CycleRecord& c) { return c.change < settled_still; };
  if (n >= 3 && still(cycles[static_cast<size_t>(n - 1)]) && still(cycles[static_cast<size_t>(n - 2)]))
    return Settled::design_still;
  if (n <= settle_window) return Settled::not_yet;
  const double now = cycles.back().compliance;
  const double fall_per_cycle = (cycles[static_cast<size_t>(n - 1 - settle_window)].compliance - now) / settle_window;
  const int ahead = std::max(cycle_limit - cycles.back().cycle, settle_horizon);
  return fall_per_cycle * ahead > settled_fall * now ? Settled::not_yet : Settled::compliance_flat;
}

std::string stop_reason(Settled how) {
  switch (how) {
    case Settled::design_still:
      return "the design stands still";
    case Settled::compliance_flat:
      return "the compliance is flat: at its pace, less than 0.05 % more to gain";
    case Settled::not_yet:
      break;
  }
  return "the cycle limit";
}

std::vector<PenaltyStage> penalty_schedule(double p) {
  if (!(p > 1)) return {{1, p}};
  // Steps of at most continuation_step, each stage between 1 and p at least 3 cycles long: a
  // high p takes bigger steps rather than leave too few cycles at p.
  constexpr int shortest = 3;
  const int steps = std::min(static_cast<int>(std::ceil((p - 1) / continuation_step - 1e-9)),
                             1 + continuation_step_cycles / shortest);
  const int between = steps - 1;
  const int each = between > 0 ? continuation_step_cycles / between : 0;
  std::vector<PenaltyStage> stages{{1, 1.0}};
  for (int k = 1; k <= steps; ++k)
    stages.push_back({continuation_first_cycles + 1 + (k - 1) * each, k == steps ? p : 1 + (p - 1) * k / steps});
  return stages;
}

double AreaDual::solve(double guess) const {
  const size_t n = base.size();
  double top = 0;  // beyond it every beam that grows with t is at its highest
  for (size_t k = 0; k < n; ++k)
    if (reach[k] > 0) top = std::max(top, (high[k] - base[k]) / reach[k]);
  // The volume at t and its slope there: the weights of the beams between their bounds.
  auto volume = [&](double t, double& slope) {
    double v = 0;
    slope = 0;
    for (size_t k = 0; k < n; ++k) {
      const double a = base[k] + reach[k] * t;
      if (a <= low[k]) {
        v += weight[k] * low[k];
      } else if (a >= high[k]) {
        v += weight[k] * high[k];
      } else {
        v += weight[k] * a;
        slope += weight[k] * reach[k];
      }
    }
    return v;
  };
  double slope = 0;
  if (volume(0, slope) >= target) return 0;
  if (volume(top, slope) <= target) return top;
  double lo = 0, hi = top;
  double t = guess > lo && guess < hi ? guess : hi / 2;
  for (int pass = 0; pass < 200; ++pass) {
    const double v = volume(t, slope);
    if (v == target) return t;
    (v < target ? lo : hi) = t;
    double next = slope > 0 ? t + (target - v) / slope : hi;
    if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
    if (std::fabs(next - t) <= 1e-15 * t || hi - lo <= 1e-15 * hi) return next;
    t = next;
  }
  return t;
}

// Between cycles the moving asymptotes remember, per design beam, the distance a - L of the
// lower asymptote L below the relative area a = x^2, and the areas of the last two cycles.
struct Optimiser::Asymptotes {
  std::vector<double> spread, before, before2;
  double compliance = 0;  // of the cycle before
  double reach = 0;       // the last cycle's 1 / sqrt(multiplier), the next one's first guess
};

Optimiser::Optimiser(const ModelFile& model, OptimiserMethod method) : analysis_(model), method_(method) {
  const AnalysisSettings& s = model.settings;
  if (const std::string problem = settings_problem(s); !problem.empty()) throw SolverError(problem);
  if (!analysis_.has_load()) throw SolverError(analysis_.why_unloaded());
  d_max_ = s.max_diameter;
  target_ratio_ = s.volume_ratio;
  move_ = s.move_limit;
  penalty_ = s.penalty;
  x_min_ = std::sqrt(double(s.init_ratio));

  const auto& elements = analysis_.elements();
  for (size_t j = 0; j < elements.size(); ++j)
    if (elements[j].design) {
      design_.push_back(static_cast<int>(j));
      v0_ += std::numbers::pi / 4 * d_max_ * d_max_ * elements[j].length;
    }
}

// The stiffness of a design beam uses the diameter Dmax x^p, its volume Dmax x.
std::vector<Section> Optimiser::sections(const std::vector<double>& powered) const {
  std::vector<Section> out;
  for (const FrameElement& e : analysis_.elements()) out.push_back(e.section);
  for (size_t k = 0; k < design_.size(); ++k) out[static_cast<size_t>(design_[k])] = circle_section(d_max_ * powered[k]);
  return out;
}

double Optimiser::volume(const std::vector<double>& x) const {
  double v = 0;
  for (size_t k = 0; k < design_.size(); ++k)
    v += std::numbers::pi / 4 * std::pow(d_max_ * x[k], 2) * analysis_.elements()[static_cast<size_t>(design_[k])].length;
  return v;
}

// -dC/dx = sum over cases of u^T (dK/dx) u through d = Dmax x^p (floored at 0: a beam that
// carries nothing has no reason to grow), and dV/dx = pi/2 Dmax^2 x L.
Optimiser::Slopes Optimiser::slopes(const std::vector<double>& x, const std::vector<double>& powered) const {
  const auto& elements = analysis_.elements();
  const auto& energy = analysis_.energies();
  Slopes s;
  for (size_t k = 0; k < design_.size(); ++k) {
    const FrameElement& e = elements[static_cast<size_t>(design_[k])];
    const UnitEnergies& w = energy[static_cast<size_t>(design_[k])];
    const double d = d_max_ * powered[k];
    const double dd = in_force_ * d_max_ * (powered[k] / x[k]);  // x^(p - 1), exactly 1 at p = 1
    const double dA = std::numbers::pi / 2 * d * dd;
    const double dI = std::numbers::pi / 16 * d * d * d * dd;
    s.gain.push_back(std::max(e.E * (dA * w.axial + dI * (w.bend_w + w.bend_h)) + e.G * 2 * dI * w.torsion, 0.0));
    s.dV.push_back(std::numbers::pi / 2 * d_max_ * d_max_ * x[k] * e.length);
  }
  return s;
}

// Finds the multiplier lambda of the volume by bisection on log lambda: step(lambda) fills the
// next design and returns its volume, which falls as lambda grows; largest is a lambda of the right order.
template <typename Step>
void Optimiser::meet_volume(double largest, Step step) const {
  step(bisect_multiplier(target_ratio_ * v0_, largest, step));
}

// x_new = clamp(x (-dC/dx / (lambda dV/dx))^eta, max(x_min, x - m), min(1, x + m)), lambda so
// that V(x_new) = V*. The step exponent eta = 1 / (2 (p + 1)) makes the update exact in one step
// for a beam in tension (C ~ x^-2p) and a damped one in bending (C ~ x^-4p); eta = 1/2 would
// swing between two designs for ever, or away from the optimum in bending.
std::vector<double> Optimiser::update(const std::vector<double>& x, const std::vector<double>& powered) const {
  const Slopes s = slopes(x, powered);
  const size_t n = design_.size();
  std::vector<double> ratio(n), next(n);
  for (size_t k = 0; k < n; ++k) ratio[k] = s.gain[k] / s.dV[k];
  const double largest = *std::max_element(ratio.begin(), ratio.end());
  if (!(largest > 0)) return x;  // the design beams carry nothing: no direction to move in
  const double eta = 1 / (2 * (in_force_ + 1));
  meet_volume(largest, [&](double lambda) {
    for (size_t k = 0; k < n; ++k)
      next[k] = std::clamp(x[k] * std::pow(ratio[k] / lambda, eta), std::max(x_min_, x[k] - move_), std::min(1.0, x[k] + move_));
    return volume(next);
  });
  return next;
}

// The method of moving asymptotes on the relative areas a = x^2, in which the volume is linear:
// V = sum v a with v = pi/4 Dmax^2 L. Each cycle replaces the compliance by the convex
//
//   C(a') ~ C(a) + sum over beams of g (a - L)^2 (1 / (a' - L) - 1 / (a - L)),   g = -dC/da,
//
// whose minimum under the volume is a' = L + (a - L) sqrt(g / (lambda v)), within the bounds of
// the move limit on x and 0.1 (a - L) above L. The first distance a - L = 2 a / (p + 1) makes the
// approximation exact for a beam in tension (C ~ a^-p): a statically determinate layout is
// reached in one step, and with p = 1 the first step is the optimality-criteria step. Then, per
// beam, the distance grows by 1.5 while the area keeps moving one way (a slow crawl speeds up)
// and shrinks by 0.7 when it turns (a swing is damped), within 1/10 and 3 times 2 a / (p + 1).
std::vector<double> Optimiser::asymptotes_update(const std::vector<double>& x, const std::vector<double>& powered,
                                                 double compliance, Asymptotes& state) const {
  // A beam that keeps moving one way is far from its optimum: widen its distance by half a
  // cycle, so that a slow crawl reaches the widest distance in three cycles. 1.2 took 8 to 13 %
  // more cycles to the same compliances; 1.4 to 2.0 saved about as many as 1.5, and a wider
  // limit instead stopped runs short of where they were heading.
  constexpr double widen = 1.5;
  // A beam that turned back has swung past its optimum: narrow its distance at every turn, so
  // that a swing, which turns every cycle, dies out. 0.6 and 0.8 changed hardly a cycle.
  constexpr double narrow = 0.7;
  // Limits of the distance, as parts of the first one: closer than a tenth stalls a beam, wider
  // than three times lets the approximation stray far from the compliance it stands for.
  constexpr double closest = 0.1, widest = 3.0;
  // The bound above the asymptote, as a part of the distance: the approximation's curvature
  // grows without bound at the asymptote, and a tenth keeps a step clear of it.
  constexpr double clear_of_asymptote = 0.1;
  const Slopes s = slopes(x, powered);
  const size_t n = design_.size();
  std::vector<double> a(n), g(n), v(n), low(n), high(n), next(n);
  double largest = 0;
  // A cycle that raised the compliance stepped too far: start again from the cautious distances.
  const bool history = state.before2.size() == n && !(compliance > state.compliance);
  state.compliance = compliance;
  state.spread.resize(n);
  for (size_t k = 0; k < n; ++k) {
    a[k] = x[k] * x[k];
    g[k] = s.gain[k] / (2 * x[k]);
    v[k] = s.dV[k] / (2 * x[k]);
    largest = std::max(largest, g[k] / v[k]);
    const double tension = 2 * a[k] / (in_force_ + 1);
    double spread = tension;
    if (history) {
      const double trend = (a[k] - state.before[k]) * (state.before[k] - state.before2[k]);
      spread = std::clamp(state.spread[k] * (trend < 0 ? narrow : trend > 0 ? widen : 1.0), tension * closest, tension * widest);
    }
    state.spread[k] = spread;
    const double lower = a[k] - spread;
    low[k] = std::max(std::pow(std::max(x_min_, x[k] - move_), 2), lower + clear_of_asymptote * spread);
    high[k] = std::pow(std::min(1.0, x[k] + move_), 2);
  }
  state.before2 = state.before.size() == n ? state.before : a;
  state.before = a;
  if (!(largest > 0)) return x;
  if (reference_) {
    meet_volume(largest, [&](double lambda) {
      for (size_t k = 0; k < n; ++k) {
        const double spread = state.spread[k];
        next[k] = std::sqrt(std::clamp(a[k] - spread + spread * std::sqrt(g[k] / (lambda * v[k])), low[k], high[k]));
      }
      return volume(next);
    });
    return next;
  }
  // The same minimum in t = 1 / sqrt(lambda): each area is linear in t between its bounds.
  AreaDual dual{{}, {}, std::move(low), std::move(high), std::move(v), target_ratio_ * v0_};
  dual.base.resize(n);
  dual.reach.resize(n);
  for (size_t k = 0; k < n; ++k) {
    dual.base[k] = a[k] - state.spread[k];
    dual.reach[k] = state.spread[k] * std::sqrt(g[k] / dual.weight[k]);
  }
  const double t = dual.solve(state.reach > 0 ? state.reach : 1 / std::sqrt(largest));
  state.reach = t;
  for (size_t k = 0; k < n; ++k) next[k] = std::sqrt(dual.area(k, t));
  return next;
}

CycleRecord Optimiser::record(int cycle, double compliance, double change, const std::vector<double>& x) const {
  CycleRecord r;
  r.cycle = cycle;
  r.penalty = in_force_;
  r.compliance = compliance;
  r.volume_ratio = v0_ > 0 ? volume(x) / v0_ : 0;
  r.change = change;
  for (const FrameElement& e : analysis_.elements()) r.diameters.push_back(std::sqrt(4 * e.section.A / std::numbers::pi));
  for (size_t k = 0; k < design_.size(); ++k) r.diameters[static_cast<size_t>(design_[k])] = d_max_ * x[k];
  return r;
}

std::vector<CycleRecord> Optimiser::run(const std::function<void(const CycleRecord&)>& on_cycle) {
  // Cycle 1: every design beam alike, meeting the volume target; the change is from x = 1.
  std::vector<double> x(design_.size(), std::sqrt(target_ratio_));
  double change = design_.empty() ? 0 : 1 - std::sqrt(target_ratio_);
  std::vector<CycleRecord> cycles;
  Asymptotes asymptotes;
  const bool criteria = method_ == OptimiserMethod::optimality_criteria;
  const std::vector<PenaltyStage> stages =
      continuation_ && !design_.empty() ? penalty_schedule(penalty_) : std::vector<PenaltyStage>{{1, penalty_}};
  size_t stage = 0;
  size_t stage_start = 0;  // the stage's first cycle in cycles
  in_force_ = stages[0].penalty;
  settled_ = false;
  how_ = Settled::not_yet;
  std::vector<double> powered(design_.size());
  for (int cycle = 1;; ++cycle) {
    for (size_t k = 0; k < x.size(); ++k) powered[k] = std::pow(x[k], in_force_);
    const double compliance = analysis_.solve(sections(powered));
    cycles.push_back(record(cycle, compliance, change, x));
    if (on_cycle) on_cycle(cycles.back());
    // Each stage is judged by its own cycles: a raised penalty raises the compliance.
    const bool last_stage = stage + 1 == stages.size();
    const int stage_limit = last_stage ? cycle_limit_ : stages[stage + 1].first_cycle - 1;
    const std::span<const CycleRecord> in_stage = std::span<const CycleRecord>(cycles).subspan(stage_start);
    const Settled how = criteria ? (in_stage.size() > 1 && change < criteria_change ? Settled::design_still : Settled::not_yet)
                                 : ::how_settled(in_stage, stage_limit);
    const bool stage_settled = how != Settled::not_yet;
    settled_ = design_.empty() || (last_stage && stage_settled);
    how_ = design_.empty() ? Settled::design_still : last_stage ? how : Settled::not_yet;
    if (design_.empty() || (settled_ && !keep_going_) || cycle == cycle_limit_) break;
    const std::vector<double> next = criteria ? update(x, powered) : asymptotes_update(x, powered, compliance, asymptotes);
    change = 0;
    for (size_t k = 0; k < x.size(); ++k) change = std::max(change, std::fabs(next[k] - x[k]));
    x = next;
    // The design made at this penalty is analysed at the next one.
    if (!last_stage && (stage_settled || cycle >= stage_limit)) {
      in_force_ = stages[++stage].penalty;
      stage_start = cycles.size();
      asymptotes = Asymptotes{};
    }
  }
  return cycles;
}
