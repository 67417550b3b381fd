// The search over thresholds: the clean frames told apart by topology alone, then sized in the
// order of the least mass they could have, until none left could be lighter than the best.
#include "evaluate/lightest_frame.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "evaluate/frame_judgement.h"
#include "formats/numtext.h"
#include "post/result_store.h"

namespace {

// The shortest decimal threshold t with lo < t * largest <= hi (in Single, as drawn_at has it),
// or none when no Single does it.
std::optional<float> threshold_between(float lo, float hi, float largest) {
  const auto fits = [&](float t) { return drawn_at(t, largest, hi) && !drawn_at(t, largest, lo); };
  const double from = static_cast<double>(lo) / largest;
  for (int digits = 0; digits <= 9; ++digits) {
    const double step = std::pow(10.0, -digits);
    const double k = std::ceil(from / step);
    for (double near : {k - 1, k, k + 1})
      if (const auto t = static_cast<float>(near * step); fits(t)) return t;
  }
  for (auto t = static_cast<float>(static_cast<double>(hi) / largest); t > 0; t = std::nextafter(t, 0.0f)) {
    if (fits(t)) return t;
    if (drawn_at(t, largest, lo)) break;
  }
  return std::nullopt;
}

// The least area a design member can be given, mm2: the smallest section allowed (or its
// optimised area, when the sizing keeps it and it is larger).
double least_area(const std::vector<StandardSection>& list, const SizingOptions& options) {
  double least = std::numeric_limits<double>::infinity();
  for (const StandardSection& s : list)
    if (options.smallest.empty() || s.name == options.smallest) least = std::min(least, standard_member(s).values.A);
  return std::isfinite(least) ? least : 0;
}

// The volume of the members kept, each design member in the least area it can be given, mm3.
double least_volume(const ShownFrame& full, const std::vector<char>& kept, double least, bool keep_areas) {
  double v = 0;
  for (size_t j = 0; j < kept.size(); ++j) {
    if (!kept[j]) continue;
    const MemberSection& s = full.sections[j];
    const bool design = s.shape == MemberSection::Shape::circle;
    const double area = design ? (keep_areas ? std::max(least, s.values.A) : least) : s.values.A;
    v += area * member_length(full.model, j);
  }
  return v;
}

// The volume of a clean frame that stands sized in one round (the lightest sections that pass
// under the forces of the smallest), mm3.
double first_round_volume(const CleanFrame& clean, const std::vector<StandardSection>& list, const CheckSettings& checks,
                          const Loading& loading, SizingOptions options) {
  options.rounds = 1;
  ShownFrame f = clean.frame;
  FrameForces forces = *clean.forces;
  size_members(f, forces, list, checks, loading, options);
  return frame_volume(f);
}

// A frame whose first round is this much heavier than the lightest passing so far is not sized
// on: the later rounds seldom take off more than a few per cent.
constexpr double probe_margin = 1.25;

struct Candidate {
  float threshold;
  double least;  // mm3
};

}  // namespace

std::vector<char> drawn_members(const CycleDiameters& d, float threshold) {
  std::vector<char> drawn(d.diameter.size());
  for (size_t j = 0; j < drawn.size(); ++j)
    drawn[j] = std::isnan(d.diameter[j]) || drawn_at(threshold, d.largest, d.diameter[j]);
  return drawn;
}

std::vector<float> drawing_thresholds(const CycleDiameters& d) {
  std::vector<float> sizes;
  for (float x : d.diameter)
    if (!std::isnan(x)) sizes.push_back(x);
  std::sort(sizes.begin(), sizes.end());
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  std::vector<float> out{0};
  if (!(d.largest > 0)) return out;
  for (size_t i = 1; i <= sizes.size(); ++i) {
    const float hi = i < sizes.size() ? sizes[i] : std::numeric_limits<float>::infinity();
    if (const auto t = threshold_between(sizes[i - 1], hi, d.largest); t && *t > out.back()) out.push_back(*t);
  }
  return out;
}

std::vector<float> clean_frame_thresholds(const ShownFrame& full, const CycleDiameters& d) {
  std::vector<float> out;
  std::vector<char> kept, drawn;
  for (float t : drawing_thresholds(d)) {
    std::vector<char> now = drawn_members(d, t);
    // Drawing fewer members changes the clean frame only when one of those it kept goes.
    bool changed = kept.empty();
    for (size_t j = 0; j < now.size() && !changed; ++j) changed = kept[j] && drawn[j] && !now[j];
    drawn = std::move(now);
    if (!changed) continue;
    std::vector<char> clean = members_kept(full, drawn);
    if (clean == kept) continue;
    kept = std::move(clean);
    if (std::find(kept.begin(), kept.end(), 1) == kept.end()) break;
    out.push_back(t);
  }
  return out;
}

bool frame_passes(const BuiltFrame& b, const CheckSettings& checks, const Loading& loading) {
  if (!b.clean.forces || !b.sizing || !b.sizing->failing.empty()) return false;
  if (b.sizing->for_deflection && !b.sizing->deflection_met()) return false;
  const ShownFrame& f = b.clean.frame;
  // The sizing answers for the members it sized; bars of their own sections are checked here.
  const std::vector<int>& sized = b.sizing->choice;
  if (std::all_of(sized.begin(), sized.end(), [](int c) { return c >= 0; })) return true;
  const FrameJudgement j = judge_frame(f, *b.clean.forces, checks, loading, std::vector<char>(f.sections.size(), 1));
  return std::all_of(j.checks.envelope.begin(), j.checks.envelope.end(),
                     [](const MemberEnvelope& e) { return e.utilisation <= 1; });
}

LightestFrame lightest_frame(const AnalysedFrame& design, const CycleDiameters& d, const std::vector<StandardSection>& list,
                             const CheckSettings& checks, const Loading& loading, const SizingOptions& options,
                             const std::function<bool(const LightestProgress&)>& go_on) {
  const double least = least_area(list, options);
  std::vector<Candidate> order;
  for (float t : clean_frame_thresholds(design.frame, d))
    order.push_back({t, least_volume(design.frame, members_kept(design.frame, drawn_members(d, t)), least, options.keep_areas)});
  std::stable_sort(order.begin(), order.end(), [](const Candidate& a, const Candidate& b) { return a.least < b.least; });
  LightestFrame out;
  out.frames = static_cast<int>(order.size());
  double best = std::numeric_limits<double>::infinity();  // volume, mm3
  for (size_t k = 0; k < order.size() && order[k].least < best; ++k) {
    const auto left = std::count_if(order.begin() + static_cast<std::ptrdiff_t>(k), order.end(),
                                    [&](const Candidate& c) { return c.least < best; });
    const LightestProgress progress{out.sized + out.probed, static_cast<int>(left), out.built ? frame_mass(out.built->clean.frame, loading.density) : 0,
                                    out.threshold.value_or(0)};
    if (go_on && !go_on(progress)) {
      out.stopped = true;
      break;
    }
    const std::vector<char> drawn = drawn_members(d, order[k].threshold);
    try {
      CleanFrame clean = clean_up(design.frame, drawn, loading, true);
      if (clean.forces && std::isfinite(best) && first_round_volume(clean, list, checks, loading, options) >= probe_margin * best) {
        ++out.probed;
        continue;
      }
      BuiltFrame b = build_from_clean(design, std::move(clean), &list, checks, loading, options);
      ++out.sized;
      if (!frame_passes(b, checks, loading)) continue;
      ++out.passing;
      if (const double v = frame_volume(b.clean.frame); v < best) {
        best = v;
        out.threshold = order[k].threshold;
        out.built = std::move(b);
      }
    } catch (const SolverError&) {
      ++out.sized;  // a frame the engine cannot analyse does not pass
    }
  }
  return out;
}

std::string lightest_status(const LightestFrame& l, double density) {
  if (l.frames == 0) return "Lightest frame: no threshold of this cycle leaves a clean frame.";
  std::string tried = "of " + plural(l.frames, "clean frame") + ", " + std::to_string(l.sized) + " sized";
  if (l.probed > 0) tried += " and " + std::to_string(l.probed) + " found heavier in their first round";
  tried += l.stopped ? " before the search was stopped" : l.sized + l.probed < l.frames ? " (the others could not be lighter)" : "";
  if (!l.built) return "Lightest frame: no frame sized passes its checks; " + tried + ".";
  return std::string(l.stopped ? "Lightest frame so far: " : "Lightest frame: ") +
         significant_text(frame_mass(l.built->clean.frame, density), 4) + " kg at threshold " + plain_text(*l.threshold) +
         ", the lightest of " + plural(l.passing, "frame") + (l.passing == 1 ? " that passes; " : " that pass; ") + tried + ".";
}

std::string lightest_progress(const LightestProgress& p) {
  std::string s = "Lightest frame: " + plural(p.sized, "clean frame") + " sized, " + std::to_string(p.left) +
                  " more could be lighter";
  if (p.best > 0)
    s += "; the lightest passing so far " + significant_text(p.best, 4) + " kg at threshold " + plain_text(p.threshold) +
         " (\"Stop\" keeps it)";
  return s;
}

CycleDiameters cycle_diameters(const ResultStore& r, int c, const ShownFrame& full) {
  CycleDiameters d;
  d.largest = r.pd_max;
  for (int e : full.element)
    d.diameter.push_back(r.is_non_design(e) ? std::numeric_limits<float>::quiet_NaN() : r.pe_dia(c, e));
  return d;
}
