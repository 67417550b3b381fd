// The result store's JSON form for the scenario runner's dump.
#include "post/result_store.h"

#include "formats/json.h"

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
