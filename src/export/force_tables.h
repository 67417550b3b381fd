// What the members and nodes of the design shown carry, as tables for a spreadsheet: the force
// columns the design table gains, and a table of the nodes' displacements and reactions written
// beside it. Units: N, N mm, N/mm2, mm, rad.
#pragma once

#include <string>
#include <vector>

#include "evaluate/bill_of_materials.h"
#include "evaluate/member_checks.h"
#include "post/design_export.h"

// Per state k (a load case's number, or a combination's name): axial_k (N, tension positive), moment_k (largest resultant bending moment,
// N mm), stress_k (largest normal stress, N/mm2); then utilisation (the envelope),
// governing_case (its k) and governing_check (governs_name), the buckling member: chain (its number),
// l_cr (mm), and in the governing case class, lambda_bar, chi and the ratios ratio_tension,
// ratio_compression, ratio_bending, ratio_axial_bending, ratio_shear, ratio_buckling,
// ratio_interaction, ratio_slenderness (a drawn section has no class and only lambda_bar, chi and
// ratio_buckling, when it is checked for flexural buckling); for a frame of standard sizes the
// section's name (section; empty for a non-design bar). An element that is not a member of the
// frame (removed by a clean-up) has empty fields.
ExtraColumns force_columns(const ShownFrame& f, const FrameForces& forces, const FrameChecks& checks, int n_elem);

// One row per node: node, L, W, H, then per state k (as above) its displacements uL_k, uW_k, uH_k,
// rotL_k, rotW_k, rotH_k and the reactions of its supports and springs RL_k, RW_k, RH_k, ML_k,
// MW_k, MH_k (0 where nothing holds the node). The commit is the caller's.
void write_node_table(const ShownFrame& f, const FrameForces& forces, DataFileWriter& out);

// The tables of a frame analysed, written as one: the design table of cycle d.cycle of r (with
// d's further columns) at `path`, the node table of f beside it and, with a bill, the bill of
// materials: every one of them replaced, or none (an older set stays as it was). A name without
// room for the longest of them is "Bad file name" before anything is written; a place that
// cannot be written is "Cannot write file" naming the file and why.
void write_force_tables(const ResultStore& r, const DesignChoice& d, const ShownFrame& f, const FrameForces& forces,
                        const Bill* bill, const std::string& path);

// A table beside a design table: ("frame.csv", "_nodes") -> "frame_nodes.csv".
std::string table_beside(const std::string& table_path, const std::string& suffix);
// Where the node table of a design table goes: "frame.csv" -> "frame_nodes.csv".
std::string node_table_path(const std::string& table_path);
// Where the bill of materials of a sized frame's table goes: "frame.csv" -> "frame_bom.csv".
std::string bill_path(const std::string& table_path);
// Every file an export to `path` may write, the design table first: a table's node table and
// bill of materials beside it too.
std::vector<std::string> export_file_names(const std::string& path);
