// Window-load state of the model store and its JSON form.
#include "model/model_store.h"

#include <algorithm>

#include "formats/json.h"

void ModelStore::form_load() {
  mx_node = max_nodes;
  mx_elem = max_elements;
  mx_gr = max_records;
  mx_case = max_cases;
  bc_flag.fill(0);
  bc_val.fill(0);
  case_cnt.fill(0);
  node_xyz.fill(0);
  elem_nod.fill(0);
  prop_tab.fill(0);
  elem_prop.fill(0);
  spring_val.fill(0);
  common_fixed.fill(0);
  common_spring.fill(0);
  n_gr = 0;
  apex_sel = 0;
  apex_mov.fill(0);
  case_no = 1;
}

double model_size(const ModelStore& m) {
  double size = 0;
  for (int a = 1; a <= 3; ++a) {
    double low = 0, high = 0;
    for (int i = 1; i <= m.n_node; ++i) {
      const double v = m.node_xyz(i, a);
      if (i == 1 || v < low) low = v;
      if (i == 1 || v > high) high = v;
    }
    size = std::max(size, high - low);
  }
  return size;
}

namespace {
template <typename T, int... B>
void row(JsonWriter& j, const Table<T, B...>& t, int r, int from, int to) {
  j.begin_array();
  for (int c = from; c <= to; ++c) j.value(t(r, c));
  j.end_array();
}

template <typename T, int... B>
void rows(JsonWriter& j, const char* name, const Table<T, B...>& t, int n, int from, int to) {
  j.key(name).begin_array();
  for (int r = 1; r <= n; ++r) row(j, t, r, from, to);
  j.end_array();
}

void write_design(JsonWriter& j, const ModelStore& m) {
  const int n = m.n_gr;
  rows(j, "gr_len", m.gr_len, n, 1, 3);
  rows(j, "gr_cen", m.gr_cen, n, 1, 3);
  rows(j, "gr_rot", m.gr_rot, n, 1, 3);
  rows(j, "gr_div", m.gr_div, n, 1, 4);
  j.key("gr_apex").begin_array();
  for (int r = 1; r <= n; ++r) {
    j.begin_array();
    for (int k = 1; k <= 8; ++k) {
      j.begin_array();
      for (int a = 1; a <= 3; ++a) j.value(m.gr_apex(r, k, a));
      j.end_array();
    }
    j.end_array();
  }
  j.end_array();
  rows(j, "gr_mat", m.gr_mat, n, 1, 3);
}

void write_bc(JsonWriter& j, const ModelStore& m) {
  j.key("bc").begin_array();
  for (int c = 1; c <= max_cases; ++c) {
    for (int n = 1; n <= max_nodes; ++n) {
      if (m.bc_flag(c, n) != 1) continue;
      j.begin_object().key("case").value(c).key("node").value(n);
      for (int kind = 1; kind <= 2; ++kind) {
        j.key(kind == 1 ? "fixed" : "load").begin_array();
        for (int d = 1; d <= 6; ++d) j.value(m.bc_val(c, n, kind, d));
        j.end_array();
      }
      j.key("spring").begin_array();
      for (int d = 1; d <= 6; ++d) j.value(m.spring_val(c, n, d));
      j.end_array().end_object();
    }
  }
  j.end_array();
}

// The common conditions of every node that has any.
void write_common(JsonWriter& j, const ModelStore& m) {
  j.key("common").begin_array();
  for (int n = 1; n <= max_nodes; ++n) {
    bool any = false;
    for (int d = 1; d <= 6; ++d) any = any || m.common_fixed(n, d) != 0 || m.common_spring(n, d) != 0;
    if (!any) continue;
    j.begin_object().key("node").value(n);
    row(j.key("fixed"), m.common_fixed, n, 1, 6);
    row(j.key("spring"), m.common_spring, n, 1, 6);
    j.end_object();
  }
  j.end_array();
}
}  // namespace

void write_model_json(JsonWriter& j, const ModelStore& m) {
  j.key("n_gr").value(int(m.n_gr)).key("n_gr_m").value(int(m.n_gr_m));
  j.key("case_no").value(int(m.case_no)).key("mx_case").value(int(m.mx_case));
  j.key("apex_sel").value(int(m.apex_sel)).key("bc_node").value(int(m.bc_node));
  write_design(j, m);
  j.key("n_node").value(int(m.n_node)).key("n_elem").value(int(m.n_elem)).key("n_prop").value(int(m.n_prop));
  const int nodes = std::min<int>(m.n_node, max_nodes), elems = std::min<int>(m.n_elem, max_elements);
  rows(j, "node_xyz", m.node_xyz, nodes, 1, 3);
  rows(j, "elem_nod", m.elem_nod, elems, 1, 3);
  rows(j, "elem_prop", m.elem_prop, elems, 1, 3);
  rows(j, "prop_tab", m.prop_tab, std::min<int>(m.n_prop, max_records), 1, 7);
  j.key("case_cnt").begin_array();
  for (int c = 1; c <= max_cases; ++c) j.value(int(m.case_cnt(c)));
  j.end_array();
  write_bc(j, m);
  write_common(j, m);
}
