// The list of standard sections and the sizing of members to it.
#include "evaluate/standard_sizes.h"

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <set>
#include <tuple>

#include "evaluate/buckling_members.h"
#include "evaluate/clean_up.h"
#include "evaluate/deflection_growth.h"
#include "evaluate/frame_judgement.h"
#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"

namespace {

// A sizing works on the sections in order of growing area: a section's position is its place in
// that order (0 the lightest), its list index its place in the list as read. Positions per item
// (a chain of members) are the sections of one set.
using Positions = std::vector<size_t>;

// The list indices of the members' candidates by position: lightest first (ties: the one first in
// the list first).
std::vector<size_t> list_by_area(const std::vector<StandardSection>& list) {
  std::vector<size_t> list_index(list.size());
  std::iota(list_index.begin(), list_index.end(), 0);
  std::stable_sort(list_index.begin(), list_index.end(), [&](size_t a, size_t b) {
    return tube_section(list[a].outer, list[a].wall).A < tube_section(list[b].outer, list[b].wall).A;
  });
  return list_index;
}

// The member's largest utilisation with section s under the forces of every state checked for
// strength, over its buckling length in the chains of that state. Where the state's loads buckle
// the frame and the member is in compression, the frame-buckling ratio 1 / alpha_cr falls as the
// member's stiffness grows (as if every member in compression grew alike).
double utilisation_with(const MemberSection& s, size_t j, const std::vector<BucklingMembers>& chains, const ShownFrame& f,
                        const FrameJudgement& judged, const CheckSettings& checks) {
  double worst = 0;
  const FrameForces& forces = judged.forces;
  for (size_t c = 0; c < forces.by_state.size(); ++c)
    if (forces.states[c].strength) {
      const BucklingLength b = chains[c].buckling_length(j, checks.k_factor);
      worst = std::max(worst, check_member(f, j, s, b, forces.by_state[c].members[j], checks).utilisation);
      if (const double ratio = frame_buckling_ratio(judged, c, j); ratio > 0)
        worst = std::max(worst, ratio * f.sections[j].values.Iw / s.values.Iw);
    }
  return worst;
}

// A cost of a set of sections: members given a section they do not fit first, then mass.
struct Cost {
  int misfits = 0;
  double mass = 0;  // any unit
  bool operator<(const Cost& o) const { return misfits != o.misfits ? misfits < o.misfits : mass < o.mass; }
  Cost operator+(const Cost& o) const { return {misfits + o.misfits, mass + o.mass}; }
};

// The position of the first section that item `fits` (per position) may take, or of the largest
// when it fits none.
size_t lightest_fit(const std::vector<char>& fits) {
  const auto first = std::find(fits.begin(), fits.end(), 1);
  return first == fits.end() ? fits.size() - 1 : static_cast<size_t>(first - fits.begin());
}

// The items with the same row of fits merged (a set never needs to give them different sections),
// by their lightest fit; `of[i]` is item i's row among them.
struct Rows {
  std::vector<std::vector<char>> fits;
  std::vector<double> weight;  // the items' together
  std::vector<int> items;      // how many items a row stands for
  std::vector<size_t> of;
};
Rows merged_rows(const std::vector<std::vector<char>>& fits, const std::vector<double>& weight) {
  std::vector<size_t> sorted(fits.size());
  std::iota(sorted.begin(), sorted.end(), 0);
  std::stable_sort(sorted.begin(), sorted.end(), [&](size_t a, size_t b) {
    return lightest_fit(fits[a]) != lightest_fit(fits[b]) ? lightest_fit(fits[a]) < lightest_fit(fits[b]) : fits[a] < fits[b];
  });
  Rows rows;
  rows.of.assign(fits.size(), 0);
  for (size_t i : sorted) {
    if (rows.fits.empty() || rows.fits.back() != fits[i]) {
      rows.fits.push_back(fits[i]);
      rows.weight.push_back(0);
      rows.items.push_back(0);
    }
    rows.weight.back() += weight[i];
    ++rows.items.back();
    rows.of[i] = rows.fits.size() - 1;
  }
  for (std::vector<char>& row : rows.fits)
    if (std::find(row.begin(), row.end(), 1) == row.end()) row.back() = 1;
  return rows;
}

// One section for the rows a..b (by lightest fit): the lightest at or above b's lightest fit that
// all of them fit, else b's lightest fit; its position and its cost.
struct Group {
  size_t position = 0;
  Cost cost;
};
std::vector<std::vector<Group>> group_costs(const Rows& rows, const std::vector<double>& area) {
  const size_t m = rows.fits.size(), n_sections = area.size();
  std::vector<std::vector<Group>> g(m, std::vector<Group>(m));
  for (size_t b = 0; b < m; ++b) {
    const size_t lowest = lightest_fit(rows.fits[b]);
    std::vector<char> common(n_sections, 1);  // per position: every row a..b fits it
    double weight = 0;
    for (size_t a = b + 1; a-- > 0;) {
      for (size_t pos = 0; pos < n_sections; ++pos) common[pos] = common[pos] && rows.fits[a][pos];
      weight += rows.weight[a];
      size_t pos = lowest;
      while (pos < n_sections && !common[pos]) ++pos;
      if (pos == n_sections) pos = lowest;
      Group& x = g[a][b];
      x.position = pos;
      x.cost.mass = area[pos] * weight;
      for (size_t i = a; i <= b; ++i) x.cost.misfits += rows.fits[i][pos] ? 0 : rows.items[i];
    }
  }
  return g;
}

}  // namespace

std::vector<int> fewest_sections(const std::vector<std::vector<char>>& fits, const std::vector<double>& weight,
                                 const std::vector<double>& area, int n) {
  if (fits.empty()) return {};
  const Rows rows = merged_rows(fits, weight);
  const std::vector<std::vector<Group>> g = group_costs(rows, area);
  const size_t m = rows.fits.size(), groups = std::min(m, static_cast<size_t>(std::max(n, 1)));
  // best[t][b]: rows 0..b in t + 1 groups; from[t][b]: the first row of the last group.
  std::vector<std::vector<Cost>> best(groups, std::vector<Cost>(m));
  std::vector<std::vector<size_t>> from(groups, std::vector<size_t>(m, 0));
  for (size_t b = 0; b < m; ++b) best[0][b] = g[0][b].cost;
  for (size_t t = 1; t < groups; ++t)
    for (size_t b = 0; b < m; ++b) {
      best[t][b] = best[t - 1][b];
      from[t][b] = from[t - 1][b];
      for (size_t a = 1; a <= b; ++a)
        if (const Cost c = best[t - 1][a - 1] + g[a][b].cost; c < best[t][b]) best[t][b] = c, from[t][b] = a;
    }
  std::vector<int> position_of_row(m, 0);
  for (size_t b = m, t = groups; b > 0; --t) {
    const size_t a = from[t - 1][b - 1];
    for (size_t i = a; i < b; ++i) position_of_row[i] = static_cast<int>(g[a][b - 1].position);
    b = a;
  }
  std::vector<int> out(fits.size());
  for (size_t i = 0; i < fits.size(); ++i) out[i] = position_of_row[rows.of[i]];
  return out;
}

namespace {
// What a sizing works with: the list in order of growing area as tubes, and the design members
// grouped into the chains they make (a chain takes one section).
struct Sizer {
  const ShownFrame& f;
  const CheckSettings& checks;
  const SizingOptions& options;
  std::vector<size_t> list_index;       // per position: the section's index in the list
  std::vector<MemberSection> tube;      // per position
  std::vector<double> area;             // per position, mm2
  double least_area = 0;                // of the smallest section allowed, mm2
  std::vector<double> needed;           // per member: the least area it may take (its optimised area with keep_areas)
  std::vector<BucklingMembers> chains;   // per state
  std::vector<std::vector<size_t>> items;  // the sized members of each piece (the chains of every state joined)
  std::vector<double> weight;           // per item: its length, mm

  Sizer(const ShownFrame& frame, const std::vector<LoadState>& states, const std::vector<StandardSection>& list,
        const CheckSettings& c, const SizingOptions& o)
      : f(frame), checks(c), options(o), list_index(list_by_area(list)),
        chains(state_chains(frame.model, std::vector<char>(frame.sections.size(), 1), states)) {
    if (options.section_types < 0)
      raise_error(err::invalid_setting, "section types: " + std::to_string(options.section_types) + " is below 0");
    if (options.rounds < 1) raise_error(err::invalid_setting, "sizing rounds: " + std::to_string(options.rounds) + " is below 1");
    if (options.growth_rounds < 0)
      raise_error(err::invalid_setting, "growth rounds: " + std::to_string(options.growth_rounds) + " is below 0");
    for (size_t l : list_index) {
      const StandardSection& s = list[l];
      tube.push_back(standard_member(s));
      area.push_back(tube.back().values.A);
      if (s.name == options.smallest) least_area = area.back();
    }
    if (!options.smallest.empty() &&
        std::none_of(list.begin(), list.end(), [&](const StandardSection& s) { return s.name == options.smallest; }))
      raise_error(err::invalid_setting, "smallest section \"" + options.smallest + "\" is not in the section list");
    const std::vector<int> piece = pieces(f.sections.size(), chains);
    std::vector<int> item_of_piece(f.sections.size() + 1, -1);
    needed.assign(f.sections.size(), 0);
    for (size_t j = 0; j < f.sections.size(); ++j) {
      if (f.sections[j].shape != MemberSection::Shape::circle) continue;
      if (options.keep_areas) needed[j] = f.sections[j].values.A;
      int& item = item_of_piece[static_cast<size_t>(piece[j])];
      if (item < 0) {
        item = static_cast<int>(items.size());
        items.emplace_back();
        weight.push_back(0);
      }
      items[static_cast<size_t>(item)].push_back(j);
      weight[static_cast<size_t>(item)] += member_length(f.model, j);
    }
  }

  // Per sized member and position: the section has the member's area and passes as judged.
  std::vector<std::vector<char>> passes(const FrameJudgement& judged) const {
    std::vector<std::vector<char>> p(f.sections.size());
    for (const std::vector<size_t>& item : items)
      for (size_t j : item)
        for (size_t pos = 0; pos < tube.size(); ++pos)
          p[j].push_back(area[pos] >= needed[j] && utilisation_with(tube[pos], j, chains, f, judged, checks) <= 1);
    return p;
  }

  // Item i may take the section at pos: every member of its chain passes in it as `p` says, and
  // it is not below the smallest allowed.
  bool allowed(const std::vector<std::vector<char>>& p, size_t i, size_t pos) const {
    return area[pos] >= least_area && std::all_of(items[i].begin(), items[i].end(), [&](size_t j) { return p[j][pos] != 0; });
  }

  // The set of the next round after `now`: per item the lightest section that every member of
  // its chain passes in, allowed by the options (and, growing only, not below its section now),
  // within the number of section types.
  Positions choose(const std::vector<std::vector<char>>& p, const Positions& now, bool only_grow) const {
    std::vector<std::vector<char>> fits(items.size(), std::vector<char>(tube.size(), 0));
    for (size_t i = 0; i < items.size(); ++i)
      for (size_t pos = 0; pos < tube.size(); ++pos) fits[i][pos] = (!only_grow || pos >= now[i]) && allowed(p, i, pos);
    return within_types(fits);
  }

  // Per item, the lightest section it fits, or with a limit on section types the lightest
  // grouping within it.
  Positions within_types(const std::vector<std::vector<char>>& fits) const {
    Positions next(items.size());
    if (options.section_types > 0) {
      const std::vector<int> given = fewest_sections(fits, weight, area, options.section_types);
      std::copy(given.begin(), given.end(), next.begin());
    } else {
      std::transform(fits.begin(), fits.end(), next.begin(), lightest_fit);
    }
    return next;
  }

  // The set grown from `now` for the deflection d (past `limit`), and the fall expected of it:
  // per item the options of a larger section it may take, with their mass and the fall of the
  // deflection by virtual work, chosen to cover the excess times `margin`. With a limit on
  // section types that the grown set exceeds, every item takes at least its grown section
  // within the limit.
  std::pair<Positions, double> grown(const ShownFrame& frame, const FrameForces& forces, const Loading& loading,
                                     const Deflection& d, const Positions& now, const std::vector<std::vector<char>>& p,
                                     double margin) const {
    const DeflectionSensitivity sense = deflection_sensitivity(frame, forces, loading, d.moved);
    std::vector<std::vector<GrowthOption>> options_of(items.size());
    std::vector<std::vector<size_t>> position_of(items.size());
    for (size_t i = 0; i < items.size(); ++i)
      for (size_t pos = now[i] + 1; pos < tube.size(); ++pos) {
        if (!(area[pos] > area[now[i]]) || !allowed(p, i, pos)) continue;
        double fall = 0;
        for (size_t j : items[i]) fall += sense.fall(j, tube[now[i]].values, tube[pos].values);
        options_of[i].push_back({(area[pos] - area[now[i]]) * weight[i], fall});
        position_of[i].push_back(pos);
      }
    const std::vector<int> chosen = choose_growth(options_of, margin * (d.moved.value - loading.deflection_limit));
    Positions next = now;
    double expected = 0;
    for (size_t i = 0; i < items.size(); ++i)
      if (const int k = chosen[i]; k >= 0) {
        next[i] = position_of[i][static_cast<size_t>(k)];
        expected += options_of[i][static_cast<size_t>(k)].fall;
      }
    if (options.section_types > 0 && std::set<size_t>(next.begin(), next.end()).size() > static_cast<size_t>(options.section_types)) {
      std::vector<std::vector<char>> fits(items.size(), std::vector<char>(tube.size(), 0));
      for (size_t i = 0; i < items.size(); ++i)
        for (size_t pos = next[i]; pos < tube.size(); ++pos) fits[i][pos] = allowed(p, i, pos);
      next = within_types(fits);
    }
    return {next, expected};
  }

  // Gives the members of frame the sections of the set, and says their list indices in out.
  void apply(ShownFrame& frame, const Positions& set, Sizing& out) const {
    for (size_t i = 0; i < items.size(); ++i)
      for (size_t j : items[i]) {
        frame.sections[j] = tube[set[i]];
        out.choice[j] = static_cast<int>(list_index[set[i]]);
      }
  }
};

// The members that fail in a set as `p` says, and of them those that fail even in the largest
// section.
struct Failures {
  std::vector<int> failing;
  int too_small = 0;
};
Failures failures(const Sizer& s, const Positions& set, const std::vector<std::vector<char>>& p) {
  Failures out;
  for (size_t i = 0; i < s.items.size(); ++i)
    for (size_t j : s.items[i]) {
      if (!p[j][set[i]]) out.failing.push_back(static_cast<int>(j));
      if (!p[j].back()) ++out.too_small;
    }
  return out;
}

// A set of sections tried: its sections, the forces it carries, its volume (mm3), which sections
// its members pass in under those forces and what fails in it.
struct Tried {
  Positions set;
  FrameForces forces;
  double volume = 0;
  std::vector<std::vector<char>> passes;
  Failures failed;
};

// The set to keep when the sizing did not settle: the lightest of those whose members all pass,
// else the lightest of those with fewest failing.
size_t lightest_passing(const std::vector<Tried>& sets) {
  size_t best = 0;
  for (size_t k = 1; k < sets.size(); ++k)
    if (Cost{static_cast<int>(sets[k].failed.failing.size()), sets[k].volume} <
        Cost{static_cast<int>(sets[best].failed.failing.size()), sets[best].volume})
      best = k;
  return best;
}

// The frame's largest displacement within the limit, growing members from the set kept for
// strength (whose members pass as `p` says) as size_members tells; f, forces and out follow.
// The margin on the fall expected is the ratio of the fall expected to the fall got in the
// round before (from 1 to 2): where forces move from member to member, the estimate may overrate
// the fall.
void grow_for_deflection(const Sizer& s, ShownFrame& f, FrameForces& forces, const Loading& loading, Positions set,
                         std::vector<std::vector<char>> p, Sizing& out) {
  const Positions strength = set;
  const double strength_volume = frame_volume(f);
  const std::vector<char> every(f.sections.size(), 1);
  double margin = 1;
  out.for_deflection = true;
  for (;;) {
    const Deflection d = deflection(forces, envelope_state, loading.deflection_limit);
    Positions next = set;
    double expected = 0;
    if (d.ratio > 1 && !out.stuck && out.growth_rounds < s.options.growth_rounds) {
      std::tie(next, expected) = s.grown(f, forces, loading, d, set, p, margin);
      out.stuck = next == set;
      if (out.stuck) continue;
    } else {
      if (set == strength) break;  // as judged for strength
      p = s.passes(judge_frame(f, forces, s.checks, loading, every));
      next = s.choose(p, set, true);
      if (next == set) break;
    }
    s.apply(f, next, out);
    forces = analyse_frame(f, loading);
    ++out.growth_rounds;
    set = next;
    if (const double fell = d.moved.value - deflection(forces, envelope_state, 0).moved.value; expected > 0)
      margin = std::clamp(expected / std::max(fell, 1e-300), 1.0, 2.0);
  }
  out.deflection_ratio = deflection(forces, envelope_state, loading.deflection_limit).ratio;
  out.grown_volume = frame_volume(f) - strength_volume;
  for (size_t i = 0; i < s.items.size(); ++i)
    if (set[i] != strength[i]) out.grown += static_cast<int>(s.items[i].size());
  const Failures now = failures(s, set, p);
  out.failing = now.failing;
  out.too_small = now.too_small;
}

}  // namespace

std::vector<StandardSection> default_sections() {
  std::vector<StandardSection> list;
  for (double d : {6.0, 8.0, 10.0, 12.0, 16.0, 20.0, 25.0, 30.0, 40.0, 50.0})
    list.push_back({"RD " + plain_text(d), d, 0, ""});
  const double hot[][2] = {{21.3, 2.3},  {26.9, 2.3},  {33.7, 2.6},  {42.4, 2.6},  {48.3, 2.6},
                           {48.3, 3.2},  {60.3, 3.2},  {76.1, 3.2},  {88.9, 3.2},  {88.9, 4.0},
                           {114.3, 3.6}, {114.3, 5.0}, {139.7, 5.0}, {168.3, 5.0}, {168.3, 6.3},
                           {219.1, 6.3}, {273.0, 8.0}, {323.9, 8.0}, {406.4, 10.0}};
  for (const auto& t : hot) list.push_back({"CHS " + plain_text(t[0]) + "x" + plain_text(t[1]), t[0], t[1], "hot"});
  const double cold[][2] = {{21.3, 2.0},  {26.9, 2.0},  {33.7, 2.0},  {42.4, 2.0},  {48.3, 2.0},
                            {60.3, 2.0},  {76.1, 2.0},  {88.9, 2.0},  {114.3, 2.5}, {139.7, 3.0},
                            {168.3, 3.0}, {219.1, 3.0}, {273.0, 4.0}, {323.9, 5.0}, {406.4, 6.0}};
  for (const auto& t : cold) list.push_back({"CFCHS " + plain_text(t[0]) + "x" + plain_text(t[1]), t[0], t[1], "cold"});
  return list;
}

MemberSection standard_member(const StandardSection& s) {
  MemberSection m = tube_member(s.outer, s.wall, s.name);
  if (!s.product.empty()) m.cold_formed = s.product == "cold";
  return m;
}

void write_section_list(const std::vector<StandardSection>& list, const std::string& path) {
  DataFileWriter out(path);
  out.line("name,outer diameter [mm],wall thickness [mm] (0 for a solid rod),product (hot or cold)");
  for (const StandardSection& s : list)
    out.line(s.name + "," + plain_text(s.outer) + "," + plain_text(s.wall) + "," + s.product);
  out.commit();
}

std::vector<StandardSection> read_section_list(const std::string& path) { return load_section_list(path).sections; }

SectionList load_section_list(const std::string& path) {
  SectionList out;
  if (file_absent(path)) try {
      write_section_list(default_sections(), path);
    } catch (const RunTimeError& e) {
      if (e.name() != err::write_failed) throw;
      out.sections = default_sections();
      out.unsaved = e.what();
      return out;
    }
  DataFileReader in(path, LineEnds::any);
  std::vector<StandardSection> list;
  while (!in.at_end()) {
    const std::vector<std::string> c = comma_cells(in.next_line());
    if (c.size() == 1 && c[0].empty()) continue;
    if (in.line_no() == 1 && c[0].rfind("name", 0) == 0) continue;
    if ((c.size() != 3 && c.size() != 4) || c[0].empty() || !is_number(c[1]) || !is_number(c[2]))
      in.fail(err::type_mismatch, "a section is name, outer diameter, wall thickness and, if given, product");
    if (!valid_utf8(c[0])) in.fail(err::invalid_setting, "a section's name is text in UTF-8");
    const StandardSection s{c[0], to_number(c[1]), to_number(c[2]), c.size() == 4 ? c[3] : ""};
    if (s.product != "" && s.product != "hot" && s.product != "cold")
      in.fail(err::invalid_setting, "a product is hot, cold or empty, not " + s.product);
    const auto in_size_range = [](double mm) { return mm >= min_section_size && mm <= max_section_size; };
    if (!in_size_range(s.outer) || !(s.wall == 0 || in_size_range(s.wall)) || 2 * s.wall > s.outer)
      in.fail(err::invalid_setting, "an outer diameter must be from " + plain_text(min_section_size) + " to " +
                                        plain_text(max_section_size) + " mm, and a wall 0 (a solid rod) or from " +
                                        plain_text(min_section_size) + " mm to half the diameter");
    // The bill of materials names its lines by section, and ends with "total".
    if (std::any_of(list.begin(), list.end(), [&s](const StandardSection& x) { return x.name == s.name; }))
      in.fail(err::invalid_setting, "the section name " + s.name + " is used twice");
    if (s.name == "total") in.fail(err::invalid_setting, "\"total\" names the last line of the bill of materials, not a section");
    list.push_back(s);
  }
  if (list.empty()) raise_error(err::invalid_setting, path + ": no section in the list");
  out.sections = std::move(list);
  out.source = in.stamp();
  return out;
}

Sizing size_members(ShownFrame& f, FrameForces& forces, const std::vector<StandardSection>& list,
                    const CheckSettings& checks, const Loading& loading, const SizingOptions& options) {
  const Sizer s(f, forces.states, list, checks, options);
  Sizing out;
  out.choice.assign(f.sections.size(), -1);
  out.settled = true;
  if (s.items.empty()) return out;
  std::vector<Tried> sets;
  const std::vector<char> every(f.sections.size(), 1);
  // Sized from the forces alone, the first forces are those of the smallest sections, so that
  // the optimiser's scale leaves no trace; keeping the optimised areas, those of the design.
  const Positions smallest(s.items.size(), 0);
  FrameForces start = forces;
  if (!options.keep_areas) {
    s.apply(f, smallest, out);
    start = analyse_frame(f, loading);
  }
  Positions next = s.choose(s.passes(judge_frame(f, start, checks, loading, every)), smallest, options.only_grow);
  for (;;) {
    s.apply(f, next, out);
    forces = analyse_frame(f, loading);
    ++out.rounds;
    const std::vector<std::vector<char>> p = s.passes(judge_frame(f, forces, checks, loading, every));
    const Positions after = s.choose(p, next, options.only_grow);
    sets.push_back({next, forces, frame_volume(f), p, failures(s, next, p)});
    out.settled = after == next;
    out.cycled = !out.settled && std::any_of(sets.begin(), sets.end(), [&](const Tried& t) { return t.set == after; });
    if (out.settled || out.cycled || out.rounds >= options.rounds) break;
    next = after;
  }
  const size_t kept = out.settled ? sets.size() - 1 : lightest_passing(sets);
  s.apply(f, sets[kept].set, out);
  forces = sets[kept].forces;
  out.kept_set = static_cast<int>(kept);
  out.failing = sets[kept].failed.failing;
  out.too_small = sets[kept].failed.too_small;
  if (loading.deflection_limit > 0) grow_for_deflection(s, f, forces, loading, sets[kept].set, sets[kept].passes, out);
  return out;
}

double frame_mass(const ShownFrame& f, double density) { return frame_volume(f) * density * 1e-9; }
