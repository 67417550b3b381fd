// The result store of the post-processing window: the mesh and every optimisation cycle read
// from the solver's result file, the cross-section references and the section sketches of the
// model. Filled by "Read Data", drawn by the result display, discarded with the window.
#pragma once

#include <cstdint>
#include <vector>

#include "base/files.h"
#include "base/table.h"
#include "formats/fields.h"
#include "section/section_table.h"

class JsonWriter;

struct ResultStore {
  int16_t pn_node = 0;  // nodes of the result file's header
  int16_t pn_elem = 0;  // elements of the result file's header
  float pd_max = 0;     // maximum beam diameter of the run, mm: the unit of the density threshold
  Table<int16_t, max_result_elements, 2> pe_nod;  // end nodes 1 and 2 of every element
  Table<int16_t, max_result_elements> pe_flag;    // 1 a non-design element, anything else design
  int16_t pn_cyc = 0;                             // cycles read
  Table<float, max_result_cycles, max_result_nodes, 3> pnode_xyz;  // cycle, node, L/W/H in mm
  Table<float, max_result_cycles, max_result_elements> pe_dia;     // cycle, element: diameter in mm
  // The solver's summary line of every cycle: compliance (N mm) and volume ratio, NaN where
  // the line does not hold them (the reader does not insist on that line).
  Table<double, max_result_cycles> pc_comp;
  Table<double, max_result_cycles> pc_vol;
  // Cross-section reference of every element, L, W, H: a point (mm) for a design element, the
  // bar's W direction for a non-design element (as the analysis model file holds them).
  Table<float, max_result_elements, 3> pe_ref;
  SectionTable sections;  // the model's sketches; a thickness that could not be read is 0
  int16_t res_ok = 0;     // 1 once a result file has been read to its end
  FileStamp source;       // the result file as read

  bool is_non_design(int e) const { return pe_flag(e) == 1; }
};

// Whether element e is a beam of cycle c at `threshold`, a fraction of pd_max: a non-design
// element always, a design element when threshold * pd_max (in Single) <= its diameter.
bool shown_as_beam(const ResultStore& r, int c, int e, float threshold);
// The same for a design element of `diameter` in a run whose largest is `pd_max`.
bool drawn_at(float threshold, float pd_max, float diameter);

// The section sketch of every element, index 1..pn_elem (0 unused): the k-th non-design
// element takes the k-th section with lines, or the previous one's when they run out; 0 for
// a design element and for a non-design element before any section with lines.
std::vector<int> element_sections(const ResultStore& r);

// One point of the convergence history: cycle 1..pn_cyc, compliance in N mm, volume ratio.
struct CyclePoint {
  int cycle;
  double compliance, volume_ratio;
};
// The cycles whose summary line gives the compliance or the volume ratio, in order; the one it
// does not give is NaN (a cycle line may carry the compliance alone).
std::vector<CyclePoint> convergence_history(const ResultStore& r);

// The store for the window's dump: counts, pd_max, pe_nod, pe_flag and pe_ref per element,
// pe_dia as one list of elements per cycle, pnode_xyz as one list of nodes (L, W, H) per cycle.
void write_result_json(JsonWriter& j, const ResultStore& r);
