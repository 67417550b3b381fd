// Boundary conditions and loads of one point, of every point, and the load-case choice.
#include "bc/point_conditions.h"

#include <algorithm>
#include <cmath>

#include "bc/node_pick.h"
#include "formats/errors.h"
#include "formats/numtext.h"

PointConditions point_conditions(const ModelStore& m, int case_no, int node) {
  PointConditions p;
  for (int k = 1; k <= 6; ++k) {
    // A flag read back from a file may be any number; the dialog shows it ticked or not.
    p.fixed[k] = m.bc_val(case_no, node, 1, k) != 0 ? 1 : 0;
    p.spring[k] = m.spring_val(case_no, node, k);
    p.load[k] = m.bc_val(case_no, node, 2, k);
  }
  return p;
}

void clear_point_conditions(ModelStore& m, int case_no, int node) {
  for (int k = 1; k <= 6; ++k) {
    m.bc_val(case_no, node, 1, k) = 0;
    m.bc_val(case_no, node, 2, k) = 0;
    m.spring_val(case_no, node, k) = 0;
  }
}


PointConditions read_point_conditions(const std::array<int, 7>& checks, const std::array<std::string, 7>& spring_texts,
                                      const std::array<std::string, 7>& load_texts) {
  PointConditions p;
  for (int k = 1; k <= 6; ++k) p.fixed[k] = checks[k] != 0 ? 1 : 0;
  for (int k = 1; k <= 6; ++k) p.spring[k] = typed_single(spring_texts[k], std::string("Spring Stiff. ") + dof_caption[k]);
  for (int k = 1; k <= 6; ++k) p.load[k] = typed_single(load_texts[k], std::string("Load ") + load_caption[k]);
  return p;
}

namespace {
// The value all of `values` share, or none.
template <typename T>
std::optional<T> agreed(const std::vector<T>& values) {
  if (values.empty() || std::any_of(values.begin(), values.end(), [&](T v) { return v != values.front(); })) return std::nullopt;
  return values.front();
}
}  // namespace

SharedConditions shared_conditions(const ModelStore& m, int case_no, const std::vector<int16_t>& nodes) {
  SharedConditions s;
  for (size_t k = 1; k <= 6; ++k) {
    std::vector<int16_t> fixed;
    std::vector<float> spring, load;
    for (int16_t node : nodes) {
      const PointConditions p = conditions_to_edit(m, case_no, node);
      fixed.push_back(p.fixed[k]);
      spring.push_back(p.spring[k]);
      load.push_back(p.load[k]);
    }
    s.fixed[k] = agreed(fixed);
    s.spring[k] = agreed(spring);
    s.load[k] = agreed(load);
  }
  return s;
}

SharedConditions read_shared_conditions(const std::array<int, 7>& checks, const std::array<std::string, 7>& spring_texts,
                                        const std::array<std::string, 7>& load_texts) {
  SharedConditions s;
  for (int k = 1; k <= 6; ++k) {
    if (checks[k] >= 0) s.fixed[k] = static_cast<int16_t>(checks[k] != 0 ? 1 : 0);
    if (!spring_texts[k].empty()) s.spring[k] = typed_single(spring_texts[k], std::string("Spring Stiff. ") + dof_caption[k]);
    if (!load_texts[k].empty()) s.load[k] = typed_single(load_texts[k], std::string("Load ") + load_caption[k]);
  }
  return s;
}

PointConditions with_shared(PointConditions own, const SharedConditions& set) {
  for (size_t k = 1; k <= 6; ++k) {
    own.fixed[k] = set.fixed[k].value_or(own.fixed[k]);
    own.spring[k] = set.spring[k].value_or(own.spring[k]);
    own.load[k] = set.load[k].value_or(own.load[k]);
    // A degree of freedom fixed now carries neither spring nor load, as the dialog's rule says.
    if (own.fixed[k] == 1) own.spring[k] = own.load[k] = 0;
  }
  return own;
}

bool carries_nothing(const ModelStore& m, int case_no, int node) {
  double sum = 0;
  for (int k = 1; k <= 6; ++k)
    sum += std::fabs(double(m.bc_val(case_no, node, 1, k))) + std::fabs(double(m.bc_val(case_no, node, 2, k))) +
           std::fabs(double(m.spring_val(case_no, node, k)));
  return sum == 0;
}

void store_point_conditions(ModelStore& m, int case_no, int node, const PointConditions& p) {
  for (int k = 1; k <= 6; ++k) {
    m.bc_val(case_no, node, 1, k) = p.fixed[k];
    m.spring_val(case_no, node, k) = p.spring[k];
    m.bc_val(case_no, node, 2, k) = p.load[k];
  }
  if (carries_nothing(m, case_no, node)) m.bc_flag(case_no, node) = 0;
}

namespace {
void mark_what_it_carries(ModelStore& m, int case_no, int node) {
  m.bc_flag(case_no, node) = carries_nothing(m, case_no, node) ? 0 : 1;
}

// The supports and springs of p become node's common conditions; its loads are no part of them.
void set_common(ModelStore& m, int node, const PointConditions& p) {
  for (int k = 1; k <= 6; ++k) {
    m.common_fixed(node, k) = p.fixed[static_cast<size_t>(k)];
    m.common_spring(node, k) = p.spring[static_cast<size_t>(k)];
  }
}

}  // namespace

bool case_holds_nothing(const ModelStore& m, int c) {
  for (int i = 1; i <= m.n_node; ++i)
    if (!carries_nothing(m, c, i)) return false;
  return true;
}

PointConditions common_conditions(const ModelStore& m, int node) {
  PointConditions p;
  for (int k = 1; k <= 6; ++k) {
    p.fixed[k] = m.common_fixed(node, k);
    p.spring[k] = m.common_spring(node, k);
  }
  return p;
}

PointConditions conditions_to_edit(const ModelStore& m, int c, int node) {
  return case_holds_nothing(m, c) ? common_conditions(m, node) : point_conditions(m, c, node);
}

void start_case(ModelStore& m, int c) {
  if (!case_holds_nothing(m, c)) return;
  for (int i = 1; i <= m.n_node; ++i) {
    store_point_conditions(m, c, i, common_conditions(m, i));
    mark_what_it_carries(m, c, i);
  }
}

void give_point_conditions(ModelStore& m, int c, int node, const PointConditions& p) {
  start_case(m, c);
  store_point_conditions(m, c, node, p);
  mark_what_it_carries(m, c, node);
}

void store_point_conditions_in_every_case(ModelStore& m, int case_no, int node, const PointConditions& p) {
  start_case(m, case_no);
  set_common(m, node, p);
  for (int c = 1; c <= max_cases; ++c) {
    if (c != case_no && case_holds_nothing(m, c)) continue;  // it takes them once it is used
    PointConditions in_case = c == case_no ? p : point_conditions(m, c, node);
    in_case.fixed = p.fixed;
    in_case.spring = p.spring;
    for (int k = 1; k <= 6; ++k)
      if (p.fixed[k]) in_case.load[k] = 0;  // a fixed dof carries no load, as the dialog shows it
    store_point_conditions(m, c, node, in_case);
    mark_what_it_carries(m, c, node);
  }
}

void give_shared_conditions(ModelStore& m, int c, const std::vector<int16_t>& nodes, const SharedConditions& set,
                            bool every_case) {
  start_case(m, c);
  for (int16_t node : nodes) {
    const PointConditions p = with_shared(point_conditions(m, c, node), set);
    if (every_case)
      store_point_conditions_in_every_case(m, c, node, p);
    else
      give_point_conditions(m, c, node, p);
  }
}

void common_conditions_from_cases(ModelStore& m) {
  m.common_fixed.fill(0);
  m.common_spring.fill(0);
  std::vector<int> in_use;
  for (int c = 1; c <= max_cases; ++c)
    if (!case_holds_nothing(m, c)) in_use.push_back(c);
  if (in_use.size() < 2) return;
  for (int i = 1; i <= m.n_node; ++i) {
    const PointConditions first = point_conditions(m, in_use.front(), i);
    bool alike = true;
    for (int c : in_use) {
      const PointConditions p = point_conditions(m, c, i);
      alike = alike && p.fixed == first.fixed && p.spring == first.spring;
    }
    if (alike) set_common(m, i, first);
  }
}

void copy_case_supports(ModelStore& m, int from, int to) {
  if (from < 1 || from > max_cases || to < 1 || to > max_cases)
    raise_error(err::subscript, "load case " + std::to_string(from < 1 || from > max_cases ? from : to) + " of 1 to " +
                                    std::to_string(max_cases));
  if (from == to) return;
  for (int i = 1; i <= m.n_node; ++i) {
    for (int k = 1; k <= 6; ++k) {
      m.bc_val(to, i, 1, k) = m.bc_val(from, i, 1, k);
      m.spring_val(to, i, k) = m.spring_val(from, i, k);
      if (m.bc_val(to, i, 1, k) != 0) m.bc_val(to, i, 2, k) = 0;
    }
    mark_what_it_carries(m, to, i);
  }
}

std::vector<PlacedConditions> conditions_by_place(const ModelStore& m) {
  std::vector<PlacedConditions> kept;
  for (int i = 1; i <= m.n_node; ++i) {
    const PointConditions common = common_conditions(m, i);
    if (common.fixed != PointConditions{}.fixed || common.spring != PointConditions{}.spring)
      kept.push_back({{m.node_xyz(i, 1), m.node_xyz(i, 2), m.node_xyz(i, 3)}, 0, common});
  }
  for (int c = 1; c <= max_cases; ++c)
    for (int i = 1; i <= m.n_node; ++i)
      if (!carries_nothing(m, c, i))
        kept.push_back({{m.node_xyz(i, 1), m.node_xyz(i, 2), m.node_xyz(i, 3)}, c, point_conditions(m, c, i)});
  return kept;
}

RestoredConditions restore_conditions(ModelStore& m, const std::vector<PlacedConditions>& kept) {
  const double tolerance = std::max(1e-6 * model_size(m), 1e-6);
  RestoredConditions out;
  std::vector<char> took(static_cast<size_t>(m.n_node) + 1, 0);
  std::vector<std::array<float, 3>> missing;
  for (const PlacedConditions& k : kept) {
    int node = 0;
    for (int i = 1; i <= m.n_node && node == 0; ++i) {
      bool here = true;
      for (int a = 1; a <= 3; ++a) here = here && std::fabs(double(m.node_xyz(i, a)) - k.at[static_cast<size_t>(a - 1)]) <= tolerance;
      if (here) node = i;
    }
    if (node == 0) {
      // One place may have kept something in several cases: it is one node that is missing.
      if (std::find(missing.begin(), missing.end(), k.at) == missing.end()) missing.push_back(k.at);
      continue;
    }
    if (k.case_no == 0) {
      set_common(m, node, k.p);
    } else {
      store_point_conditions(m, k.case_no, node, k.p);
      mark_what_it_carries(m, k.case_no, node);
    }
    if (!took[static_cast<size_t>(node)]) ++out.restored;
    took[static_cast<size_t>(node)] = 1;
  }
  out.missing = static_cast<int>(missing.size());
  if (!missing.empty()) out.first_missing = missing.front();
  return out;
}

void clear_all_conditions(ModelStore& m) {
  m.bc_flag.fill(0);
  m.bc_val.fill(0);
  m.spring_val.fill(0);
  m.common_fixed.fill(0);
  m.common_spring.fill(0);
  m.case_no = 1;
}

CaseChoice choose_case(std::string_view text, int mx_case) {
  // After a re-analysis with no case written mx_case may be 0; case 1 still exists, and a
  // bound below it would send the replaced text round for ever. Above the store's five
  // cases there is nothing to select.
  const int top = std::clamp(mx_case, 1, max_cases);
  const double typed = to_number(text);
  if (typed > top) return {static_cast<int16_t>(top), true};
  if (!(typed >= 0.5) || to_i16(typed) < 1) return {1, true};  // 0.5 itself rounds to 0
  return {to_i16(typed), false};
}
