// The one in-memory model of the modelling window: the design list as typed, the working state
// of the record being edited, and the analysis model with its boundary conditions and loads.
// Units: mm, N, N/mm2, degrees. Axes L, W, H are 1, 2, 3; degrees of freedom 1..6.
#pragma once

#include <cstdint>
#include <string>

#include "base/files.h"
#include "base/table.h"

inline constexpr int max_nodes = 1000;
inline constexpr int max_elements = 5000;
inline constexpr int max_cases = 5;

struct ModelStore {
  // Capacities, set at window load.
  int16_t mx_node = 0, mx_elem = 0, mx_gr = 0, mx_case = 0;

  // Design layer, one row per record 1..100 (record k is the k-th box or bar made).
  int16_t n_gr = 0;    // records made so far
  int16_t n_gr_m = 0;  // the edited or selected record is n_gr - n_gr_m
  int16_t Del_Flag = 0;
  Table<float, max_records, 3> gr_len;      // box sides L, W, H; bar: length, 10, 10
  Table<float, max_records, 3> gr_cen;      // centre L, W, H
  Table<float, max_records, 3> gr_rot;      // rotations about L, W, H, degrees
  Table<int16_t, max_records, 4> gr_div;    // divisions L, W, H (1..8); column 4: 1 box, 2 bar
  Table<float, max_records, 8, 3> gr_apex;  // displacement of corner 1..8 along axis 1..3
  Table<float, max_records, 3> gr_mat;      // E, Poisson's ratio, design flag (1 design, 0 not)

  // Working state of the edited record.
  Table<float, 8, 3> apex_mov;     // corner displacements being edited
  int16_t apex_sel = 0;            // corner picked for a move, 0 = none
  Table<float, 12, 3> apex_xyz;    // corners of the edited record without displacements
  Table<float, 12, 3> corner_xyz;  // the same for the record being processed
  Table<float, 8, 2> apex_scr;     // normalised surface position of corners, for picking

  // Analysis layer.
  int16_t n_node = 0, n_elem = 0, n_prop = 0;
  Table<float, max_nodes, 3> node_xyz;
  Table<int16_t, max_elements, 3> elem_nod;  // end nodes 1, 2; property set 3
  Table<float, max_elements, 3> elem_prop;   // cross-section reference (L, W, H)
  Table<float, max_records, 7> prop_tab;     // E (negated for design sets), G, section values
  Table<float, max_nodes, 2> node_uv;        // normalised surface position of each node

  // Boundary conditions and loads, per load case.
  int16_t case_no = 1;
  int16_t bc_node = 0;
  Table<int16_t, max_cases, max_nodes> bc_flag;      // 1: the node carries data in that case
  Table<float, max_cases, max_nodes, 2, 6> bc_val;   // kind 1 fixed flag, kind 2 load, per dof
  Table<float, max_cases, max_nodes, 6> spring_val;  // spring stiffness to ground per dof
  Table<int16_t, max_cases> case_cnt;                // node records of each case in the file
  // The model's common conditions, set with "All Load Cases": per node and dof, the fixed flag
  // and the spring every case in use holds, and a case first used later starts from.
  Table<int16_t, max_nodes, 6> common_fixed;
  Table<float, max_nodes, 6> common_spring;

  // The window-load steps that concern the store: capacities, cleared arrays, initial values.
  void form_load();
};

// The largest span of the model's nodes along L, W or H, mm: the scale below which a coordinate
// is the rounding of the mesh, not a place.
double model_size(const ModelStore& m);

// The store as JSON for the scenario runner: bookkeeping, the design records 1..n_gr, the
// analysis model and one object per case and node carrying data.
class JsonWriter;
void write_model_json(JsonWriter& j, const ModelStore& m);
