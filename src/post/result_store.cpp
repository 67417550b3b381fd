// What the result store's readers share: which elements a cycle shows as beams, the section
// of each non-design bar, the convergence history; and the store's JSON form for the dump.
#include "post/result_store.h"

#include <cmath>

#include "formats/json.h"

bool shown_as_beam(const ResultStore& r, int c, int e, float threshold) {
  return r.is_non_design(e) || drawn_at(threshold, r.pd_max, r.pe_dia(c, e));
}

bool drawn_at(float threshold, float pd_max, float diameter) { return threshold * pd_max <= diameter; }

std::vector<int> element_sections(const ResultStore& r) {
  std::vector<int> lined;  // sections with lines, in order: the k-th belongs to the k-th bar
  for (int s = 1; s <= r.sections.n_sec; ++s)
    if (r.sections.n_line(s) > 0) lined.push_back(s);
  std::vector<int> of(static_cast<size_t>(r.pn_elem) + 1, 0);
  size_t k = 0;
  int section = 0;
  for (int e = 1; e <= r.pn_elem; ++e) {
    if (!r.is_non_design(e)) continue;
    if (++k <= lined.size()) section = lined[k - 1];
    of[static_cast<size_t>(e)] = section;
  }
  return of;
}

std::vector<CyclePoint> convergence_history(const ResultStore& r) {
  std::vector<CyclePoint> points;
  for (int c = 1; c <= r.pn_cyc; ++c)
    if (std::isfinite(r.pc_comp(c)) || std::isfinite(r.pc_vol(c))) points.push_back({c, r.pc_comp(c), r.pc_vol(c)});
  return points;
}

void write_result_json(JsonWriter& j, const ResultStore& r) {
  j.key("res_ok").value(r.res_ok);
  j.key("pn_node").value(r.pn_node).key("pn_elem").value(r.pn_elem);
  j.key("pd_max").value(r.pd_max).key("pn_cyc").value(r.pn_cyc);
  j.key("pe_nod").begin_array();
  for (int e = 1; e <= r.pn_elem; ++e) j.begin_array().value(r.pe_nod(e, 1)).value(r.pe_nod(e, 2)).end_array();
  j.end_array();
  j.key("pe_flag").begin_array();
  for (int e = 1; e <= r.pn_elem; ++e) j.value(r.pe_flag(e));
  j.end_array();
  j.key("pe_ref").begin_array();
  for (int e = 1; e <= r.pn_elem; ++e)
    j.begin_array().value(r.pe_ref(e, 1)).value(r.pe_ref(e, 2)).value(r.pe_ref(e, 3)).end_array();
  j.end_array();
  j.key("pe_dia").begin_array();
  for (int c = 1; c <= r.pn_cyc; ++c) {
    j.begin_array();
    for (int e = 1; e <= r.pn_elem; ++e) j.value(r.pe_dia(c, e));
    j.end_array();
  }
  j.end_array();
  j.key("pnode_xyz").begin_array();
  for (int c = 1; c <= r.pn_cyc; ++c) {
    j.begin_array();
    for (int i = 1; i <= r.pn_node; ++i)
      j.begin_array().value(r.pnode_xyz(c, i, 1)).value(r.pnode_xyz(c, i, 2)).value(r.pnode_xyz(c, i, 3)).end_array();
    j.end_array();
  }
  j.end_array();
}
