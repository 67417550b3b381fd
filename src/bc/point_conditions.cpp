// Boundary conditions and loads of one point, of every point, and the load-case choice.
#include "bc/point_conditions.h"

#include <algorithm>
#include <cmath>

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

void clear_all_conditions(ModelStore& m) {
  m.bc_flag.fill(0);
  m.bc_val.fill(0);
  m.spring_val.fill(0);
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
