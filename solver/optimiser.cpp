// Optimality-criteria optimisation of the design beams' diameters.
#include "optimiser.h"

#include <algorithm>
#include <cmath>

#include "analysis/model_file.h"

namespace {

constexpr double pi = 3.14159265358979323846;

}  // namespace

Optimiser::Optimiser(const ModelFile& model) : analysis_(model) {
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
      v0_ += pi / 4 * d_max_ * d_max_ * elements[j].length;
    }
}

// The stiffness of a design beam uses the diameter Dmax x^p, its volume Dmax x.
std::vector<Section> Optimiser::sections(const std::vector<double>& x) const {
  std::vector<Section> out;
  for (const FrameElement& e : analysis_.elements()) out.push_back(e.section);
  for (size_t k = 0; k < design_.size(); ++k)
    out[static_cast<size_t>(design_[k])] = circle_section(d_max_ * std::pow(x[k], penalty_));
  return out;
}

double Optimiser::volume(const std::vector<double>& x) const {
  double v = 0;
  for (size_t k = 0; k < design_.size(); ++k)
    v += pi / 4 * std::pow(d_max_ * x[k], 2) * analysis_.elements()[static_cast<size_t>(design_[k])].length;
  return v;
}

// x_new = clamp(x (-dC/dx / (lambda dV/dx))^eta, max(x_min, x - m), min(1, x + m)), lambda by
// bisection so that V(x_new) = V*. The step exponent eta = 1 / (2 (p + 1)) makes the update
// exact in one step for a beam in tension (C ~ x^-2p) and a damped one in bending (C ~ x^-4p);
// eta = 1/2 would swing between two designs for ever, or away from the optimum in bending.
std::vector<double> Optimiser::update(const std::vector<double>& x) const {
  const auto& elements = analysis_.elements();
  const auto& energy = analysis_.energies();
  const size_t n = design_.size();
  std::vector<double> ratio(n), low(n), high(n);
  double largest = 0;
  for (size_t k = 0; k < n; ++k) {
    const FrameElement& e = elements[static_cast<size_t>(design_[k])];
    const UnitEnergies& w = energy[static_cast<size_t>(design_[k])];
    // -dC/dx = sum over cases of u^T (dK/dx) u, through d = Dmax x^p.
    const double d = d_max_ * std::pow(x[k], penalty_);
    const double dd = penalty_ * d_max_ * std::pow(x[k], penalty_ - 1);
    const double dA = pi / 2 * d * dd;
    const double dI = pi / 16 * d * d * d * dd;
    const double gain = e.E * (dA * w.axial + dI * (w.bend_w + w.bend_h)) + e.G * 2 * dI * w.torsion;
    const double dV = pi / 2 * d_max_ * d_max_ * x[k] * e.length;
    ratio[k] = std::max(gain, 0.0) / dV;
    largest = std::max(largest, ratio[k]);
    low[k] = std::max(x_min_, x[k] - move_);
    high[k] = std::min(1.0, x[k] + move_);
  }
  if (!(largest > 0)) return x;  // the design beams carry nothing: no direction to move in

  const double eta = 1 / (2 * (penalty_ + 1));
  std::vector<double> next(n);
  auto step = [&](double lambda) {
    for (size_t k = 0; k < n; ++k) next[k] = std::clamp(x[k] * std::pow(ratio[k] / lambda, eta), low[k], high[k]);
    return volume(next);
  };
  const double target = target_ratio_ * v0_;
  double lo = largest, hi = largest;  // V(x_new) falls as lambda grows
  for (int i = 0; i < 400 && step(lo) < target; ++i) lo /= 4;
  for (int i = 0; i < 400 && step(hi) > target; ++i) hi *= 4;
  for (int i = 0; i < 200 && hi / lo > 1 + 1e-13; ++i) {
    const double mid = std::sqrt(lo * hi);
    (step(mid) > target ? lo : hi) = mid;
  }
  step(std::sqrt(lo * hi));
  return next;
}

CycleRecord Optimiser::record(int cycle, double compliance, double change, const std::vector<double>& x) const {
  CycleRecord r;
  r.cycle = cycle;
  r.compliance = compliance;
  r.volume_ratio = v0_ > 0 ? volume(x) / v0_ : 0;
  r.change = change;
  for (const FrameElement& e : analysis_.elements()) r.diameters.push_back(std::sqrt(4 * e.section.A / pi));
  for (size_t k = 0; k < design_.size(); ++k) r.diameters[static_cast<size_t>(design_[k])] = d_max_ * x[k];
  return r;
}

std::vector<CycleRecord> Optimiser::run(const std::function<void(const CycleRecord&)>& on_cycle) {
  // Cycle 1: every design beam alike, meeting the volume target; the change is from x = 1.
  std::vector<double> x(design_.size(), std::sqrt(target_ratio_));
  double change = design_.empty() ? 0 : 1 - std::sqrt(target_ratio_);
  std::vector<CycleRecord> cycles;
  for (int cycle = 1;; ++cycle) {
    const double compliance = analysis_.solve(sections(x));
    cycles.push_back(record(cycle, compliance, change, x));
    if (on_cycle) on_cycle(cycles.back());
    if (design_.empty() || cycle == max_cycles || (cycle > 1 && change < converged_change)) break;
    const std::vector<double> next = update(x);
    change = 0;
    for (size_t k = 0; k < x.size(); ++k) change = std::max(change, std::fabs(next[k] - x[k]));
    x = next;
  }
  return cycles;
}
