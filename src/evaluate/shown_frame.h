// The design on screen as a frame to analyse: the analysis model of fem_gr_jo.dat (nodes,
// supports, springs and loads of every case) with the members of one result cycle, each design
// beam a solid circle of the diameter the cycle gives it (the frame that would be built, not the
// penalised stiffness the optimiser worked with) and each non-design bar its own section.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/analysis_model.h"
#include "post/result_store.h"
#include "section/section_props.h"
#include "solver/frame.h"

// A point of a section sketch, W and H in mm.
using SketchPoint = std::array<double, 2>;

struct ShownFrame {
  ModelFile model;                      // every node; only the members kept, renumbered from 1
  std::vector<MemberSection> sections;  // per member of model
  std::vector<int> element;             // per member of model: its element number in the result (1-based)
  // Per member: the end points of its section sketch's lines, where a general section's extreme
  // fibres lie (empty for circles and tubes, and for a bar without a drawn section).
  std::vector<std::vector<SketchPoint>> fibres;
  // Per member: its drawn section about the centroid and principal axes, for the checks of a
  // non-design bar; null for round members and for a bar without a drawn section. Members of one
  // section share it.
  std::vector<std::shared_ptr<const DrawnSectionProperties>> drawn;

  std::vector<Section> section_values() const;
};

// The length of member j (0-based) of the model, mm.
double member_length(const ModelFile& m, size_t j);

// The largest side of the box around the model's nodes, mm.
double frame_size(const ModelFile& m);

// Whether the model file describes the mesh of the result store: the same node and element
// counts, end nodes and kinds, and node coordinates within the result file's five significant
// digits (relative to the frame's size). "" when it does, else what differs, naming both files.
std::string model_mismatch(const ResultStore& r, const ModelFile& m, const std::string& model_path,
                           const std::string& result_path);

// The model with every element a member: a design element a circle of its diameter in
// `diameters` (mm, per element), a non-design one the section of its property set, without
// sketch points.
ShownFrame frame_of(const ModelFile& m, const std::vector<double>& diameters);

// Cycle c (1..pn_cyc) of r on the model m, every element a member. m must describe r's mesh
// (model_mismatch, checked once by whoever reads the model).
ShownFrame shown_frame(const ResultStore& r, const ModelFile& m, int c);

// The frame with only the members whose flag is set; nodes, cases and property sets stay.
ShownFrame with_members(const ShownFrame& f, const std::vector<char>& keep);
