// The list of standard sections and the sizing of members to it.
#include "evaluate/standard_sizes.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "evaluate/clean_up.h"
#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"

namespace {

// The members' candidates, lightest first (ties: the smaller outside first).
std::vector<int> by_area(const std::vector<StandardSection>& list) {
  std::vector<int> order(list.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const double Aa = tube_section(list[static_cast<size_t>(a)].outer, list[static_cast<size_t>(a)].wall).A;
    const double Ab = tube_section(list[static_cast<size_t>(b)].outer, list[static_cast<size_t>(b)].wall).A;
    return Aa < Ab;
  });
  return order;
}

// The member's largest utilisation with section s under the forces of every state checked for
// strength, over its
// buckling length in the frame as checked.
double utilisation_with(const MemberSection& s, size_t j, const FrameChecks& now, const ShownFrame& f,
                        const FrameForces& forces, const CheckSettings& checks) {
  const BucklingLength b{checks.k_factor * now.buckling.length[j], now.buckling.elements[j] > 1};
  double worst = 0;
  for (size_t c = 0; c < forces.cases.size(); ++c)
    if (forces.states[c].strength) worst = std::max(worst, check_member(f, j, s, b, forces.cases[c].members[j], checks).utilisation);
  return worst;
}

}  // namespace

std::vector<StandardSection> default_sections() {
  std::vector<StandardSection> list;
  for (double d : {6.0, 8.0, 10.0, 12.0, 16.0, 20.0, 25.0, 30.0, 40.0, 50.0})
    list.push_back({"RD " + plain_text(d), d, 0});
  const double tubes[][2] = {{21.3, 2.3},  {26.9, 2.3},  {33.7, 2.6},  {42.4, 2.6},  {48.3, 2.6},
                             {48.3, 3.2},  {60.3, 3.2},  {76.1, 3.2},  {88.9, 3.2},  {88.9, 4.0},
                             {114.3, 3.6}, {114.3, 5.0}, {139.7, 5.0}, {168.3, 5.0}, {168.3, 6.3},
                             {219.1, 6.3}, {273.0, 8.0}, {323.9, 8.0}, {406.4, 10.0}};
  for (const auto& t : tubes) list.push_back({"CHS " + plain_text(t[0]) + "x" + plain_text(t[1]), t[0], t[1]});
  return list;
}

void write_section_list(const std::vector<StandardSection>& list, const std::string& path) {
  DataFileWriter out(path);
  out.line("name,outer diameter [mm],wall thickness [mm] (0 for a solid rod)");
  for (const StandardSection& s : list) out.line(s.name + "," + plain_text(s.outer) + "," + plain_text(s.wall));
  out.commit();
}

std::vector<StandardSection> read_section_list(const std::string& path) {
  if (!std::filesystem::exists(path)) write_section_list(default_sections(), path);
  DataFileReader in(path);
  std::vector<StandardSection> list;
  while (!in.at_end()) {
    const std::vector<std::string> c = comma_cells(in.next_line());
    if (c.size() == 1 && c[0].empty()) continue;
    if (in.line_no() == 1 && c[0].rfind("name", 0) == 0) continue;
    if (c.size() != 3 || c[0].empty() || !is_number(c[1]) || !is_number(c[2]))
      in.fail(err::type_mismatch, "a section is name, outer diameter, wall thickness");
    const StandardSection s{c[0], to_number(c[1]), to_number(c[2])};
    if (!(s.outer > 0) || !(s.wall >= 0) || 2 * s.wall > s.outer)
      in.fail(err::invalid_setting, "a diameter must be positive and a wall between 0 and half of it");
    list.push_back(s);
  }
  if (list.empty()) raise_error(err::invalid_setting, path + ": no section in the list");
  return list;
}

Sizing size_members(ShownFrame& f, FrameForces& forces, const std::vector<StandardSection>& list,
                    const CheckSettings& checks, const Loading& loading) {
  Sizing out;
  const std::vector<int> order = by_area(list);
  std::vector<double> needed(f.sections.size(), 0);  // the optimised area
  std::vector<size_t> rank(f.sections.size(), 0);    // position in `order`, never falling
  out.choice.assign(f.sections.size(), -1);
  for (size_t j = 0; j < f.sections.size(); ++j)
    if (f.sections[j].shape == MemberSection::Shape::circle) needed[j] = f.sections[j].values.A;
  auto tube = [&](size_t r) {
    const StandardSection& s = list[static_cast<size_t>(order[r])];
    return tube_member(s.outer, s.wall, s.name);
  };
  // Each member the lightest section, no lighter than before, with its area and within the
  // checks under the last forces; true when any member changed (applied only when asked).
  auto choose = [&](bool apply) {
    const FrameChecks now = check_frame(f, forces, checks);
    bool changed = false;
    out.too_small = 0;
    for (size_t j = 0; j < f.sections.size(); ++j) {
      if (needed[j] <= 0) continue;
      auto fails = [&](size_t r) { return tube(r).values.A < needed[j] || !(utilisation_with(tube(r), j, now, f, forces, checks) <= 1); };
      size_t r = rank[j];
      while (r + 1 < order.size() && fails(r)) ++r;
      if (fails(r)) ++out.too_small;
      if (out.choice[j] == order[r]) continue;
      changed = true;
      if (!apply) continue;
      rank[j] = r;
      out.choice[j] = order[r];
      f.sections[j] = tube(r);
    }
    return changed;
  };
  while (choose(true)) {
    forces = analyse_frame(f, loading);
    if (++out.rounds == max_sizing_rounds) return out.settled = !choose(false), out;
  }
  out.settled = true;
  return out;
}

double frame_mass(const ShownFrame& f, double density) { return frame_volume(f) * density * 1e-9; }
