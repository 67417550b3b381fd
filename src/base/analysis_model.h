// The analysis model file fem_gr_jo.dat as plain values, and its parser: read by the solver
// programs (the whole model), by the re-analysis (conditions, cases, settings) and by the
// post-processing window (reference points of the elements). One parser serves every reader;
// nothing is changed before it has finished. The modelling stage writes it (analysis/model_file.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/files.h"
#include "formats/fields.h"

// The optimisation settings of "Detailed Information for Analysis" and the display switch.
// They live in the text boxes; this is their Single value at the moment of writing.
struct AnalysisSettings {
  float max_diameter = 20.0f;   // "Max Diame." (Text31), mm
  float init_ratio = 0.0001f;   // "Init.Valu.Ratio" (Text32): smallest relative area
  float volume_ratio = 0.01f;   // "Obj.Vol.Ratio" (Text33): target volume / initial volume
  float move_limit = 1.0f;      // "Move Limit" (Text34): largest change of d / Dmax per cycle
  float penalty = 1.0f;         // "Penalty Factor" (Text35)
  int16_t display = 1;          // "DISP.SHAPE" (Check5): 1 starts topo, anything else topo_nd
};

// The settings from the texts of Text31..Text35 and the value of Check5. Each text is converted
// strictly to a Single: "Type mismatch" for a text that is not a number, "Overflow" beyond the
// Single range, each naming the setting by its label ("Overflow (Max Diame.)").
AnalysisSettings settings_from_texts(const std::array<std::string, 5>& texts, int check5);

// What keeps the solver from working with the settings, or "" when nothing does: every setting
// must be positive, and "Obj.Vol.Ratio" above "Init.Valu.Ratio" (a smaller target cannot be
// met, an equal one leaves nothing to choose) and at most 1.
std::string settings_problem(const AnalysisSettings& s);

// One constraint or load line of a load-case block: node 1..n_node, dof 1..6 (L, W, H, rotations
// about L, W, H); kind 0 fixes the dof, any other kind applies `load` (N, or N mm for 4..6).
struct ModelFileRecord {
  int node = 0;
  int dof = 0;
  int kind = 0;
  double load = 0;
};

// One load-case block. The per-node arrays are indexed node - 1; a later record for the same
// node and dof replaces an earlier one.
struct ModelFileCase {
  int count_line = 0;                         // line of the block's count, for messages
  std::vector<ModelFileRecord> records;       // in file order
  std::vector<std::array<bool, 6>> fixed;     // dof fixed
  std::vector<std::array<double, 6>> loads;   // N, N mm
  std::vector<std::array<double, 6>> springs; // stiffness to ground, N/mm, N mm/rad
};

// Element line: end nodes, property set, and the cross-section reference: a point (mm) for an
// element of a design set, the bar's W direction for a non-design set.
struct ModelFileElement {
  int node1 = 0, node2 = 0, prop = 0;
  std::array<double, 3> ref{};
};

// The whole file as plain values. Vectors are indexed by number - 1.
struct ModelFile {
  int n_node = 0, n_elem = 0, n_prop = 0;
  AnalysisSettings settings;
  std::string max_diameter_text;                // header columns 26-40 as written
  std::vector<std::array<double, 3>> nodes;     // L, W, H, mm
  std::vector<ModelFileElement> elements;
  std::vector<std::array<double, 7>> props;     // -E (design) or E, G, A, Iw, Ih, J, 0
  std::vector<ModelFileCase> cases;             // the blocks in file order: cases 1, 2, ...
  FileStamp source;                             // the file as read
};

// How much of the file a reader needs: the post-processing window stops after the elements.
enum class ModelFileExtent { whole, through_elements };

// The mesh a reader expects; -1 takes the header's count. A header that disagrees with an
// expected count describes another mesh and is refused ("Model does not match"), naming both
// files: "fem_gr_jo.dat, line 1: 12 nodes, post_pl.dat has 8".
struct MeshCounts {
  int n_node = -1, n_elem = -1, n_prop = -1;
  const char* source = "the model";  // where the expected counts come from
};

// Writes the file the parser reads: line 1 (the counts of nodes, elements, property sets and
// the load-case blocks that follow, the constant -1, the settings and the display switch), then
// the nodes, elements, property sets and a block per case that holds a record (a fixed dof or
// a load); a case without one, springs or not, is left out. The file is replaced whole or not at all.
void write_model_file(const ModelFile& f, const std::string& path = model_file_name);

// Parses the file completely. A missing file is "File not found (path)"; a short, malformed or
// inconsistent file a run-time error naming the file and line ("Type mismatch", "Input past end
// of file", "Subscript out of range" for a node, dof or set number out of range).
ModelFile read_model_file(const std::string& path = model_file_name,
                          ModelFileExtent extent = ModelFileExtent::whole, MeshCounts expect = {});
