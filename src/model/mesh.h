// The analysis model built from the design list: nodes and beam elements of every box and bar,
// one property set per record, coincident nodes merged, duplicate and zero-length elements
// removed. Units: mm, N/mm2; axes L, W, H.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/rotate.h"
#include "model/model_store.h"
#include "section/section_table.h"

// Nodes closer than this merge into one (mm, compared in single precision, inclusive).
inline constexpr float merge_tolerance = 0.1f;
// Elements shorter than this are dropped (mm, single precision).
inline constexpr float shortest_element = 0.01f;

// Distance of two nodes (mm): coordinate differences in single precision, the root in double,
// rounded to single.
float node_distance(const Vec3& a, const Vec3& b);
inline bool nodes_coincide(const Vec3& a, const Vec3& b) { return node_distance(a, b) <= merge_tolerance; }

struct MeshElement {
  int16_t n1 = 0, n2 = 0;  // end nodes
  int16_t prop = 0;        // property set
  Vec3 ref;                // cross-section reference (elem_prop), L, W, H
};

// An analysis model under construction. Rows 1..count, row 0 unused, like the store.
struct MeshBuild {
  std::vector<Vec3> nodes{Vec3()};
  std::vector<MeshElement> elements{MeshElement()};
  std::vector<std::array<float, 8>> props{std::array<float, 8>{}};  // columns 1..7 of prop_tab

  int node_count() const { return static_cast<int>(nodes.size()) - 1; }
  int element_count() const { return static_cast<int>(elements.size()) - 1; }
  int prop_count() const { return static_cast<int>(props.size()) - 1; }
};

// Property set of record k (columns 1..7 of prop_tab): a box or a bar with design flag above 0
// is a design set (-E, G, zeros); any other record a non-design set (+E, G, sec_a, sec_iw,
// sec_ih, sec_iw + sec_ih, 0) with the values of section k. G = E / 2 / (1 + nu), N/mm2;
// nu = -1 is "Division by zero".
std::array<float, 8> property_set(const ModelStore& m, int k, const SectionValueTable& sections);

// Nodes, elements and property sets of records 1..n_gr in list order, before merging: a box
// appends its chosen pairs as elements, then its lattice points as nodes; a bar appends one
// element from the centre of its -L end ("Point2") to the centre of its +L end ("Point1"),
// with corner 1 minus corner 5 as its cross-section reference (mm); a record of any other
// kind adds its property set only. More than 1000 nodes or 5000 elements is the capacity error,
// unless the mesh is only `counted`: then the whole list is generated, without property sets.
enum class MeshLimits { enforced, counted };
MeshBuild generate_mesh(const ModelStore& m, const SectionValueTable& sections,
                        MeshLimits limits = MeshLimits::enforced);

// The analysis model's size for the design list as it stands, for the geometry panel while it
// is edited: "Model: 125 nodes, 2790 elements" after merging; over the limits, the counts before
// merging that "Go to Analysis" refuses, "Over the limit (1000 nodes, 5000 elements): 1331
// nodes, 7000 elements before merging", or a record's own limit, "Over the limit: box/bar 2:
// 150 lattice points, more than 10000 pairs". "" for an empty list or a geometry that gives no
// model at all (its own error is reported where it is typed).
std::string model_count_text(const ModelStore& m);

// New node numbers (rows 1..n) of the merge walk over node coordinates (mm): node i without a
// number yet takes the next one, and every later node within the merge tolerance of i takes
// that same number, even if it had one already. The fast walk finds the later nodes through a grid of cells at least
// as wide as the tolerance; the plain walk compares every pair and is the reference.
std::vector<int16_t> merge_node_numbers(const std::vector<Vec3>& nodes);
std::vector<int16_t> merge_node_numbers_plain(const std::vector<Vec3>& nodes);

// New element numbers (rows 1..n) of the same walk over elements, where two elements coincide
// when they join the same two nodes in either order. The fast walk looks the node pair up in
// a hash table; the plain walk compares every pair and is the reference.
std::vector<int16_t> duplicate_element_numbers(const std::vector<MeshElement>& elements);
std::vector<int16_t> duplicate_element_numbers_plain(const std::vector<MeshElement>& elements);

enum class MergeWalk { fast, plain };

// Merges nodes (element ends renumbered; of merged nodes the last one's coordinates stay),
// then removes duplicate elements (the last duplicate's row stays, at the first one's place),
// then elements shorter than 0.01 mm (the rest keep their order). Unused nodes stay.
void merge_and_clean(MeshBuild& mesh, MergeWalk walk = MergeWalk::fast);

// fem_data_pro without the file: rebuilds the store's analysis model (n_node, n_elem, n_prop,
// node_xyz, elem_nod, elem_prop, prop_tab) from the design list. Nothing happens when n_gr < 1.
// The model is built aside and stored only when complete: an error leaves the previous
// analysis model as it was. Rows above the new counts are cleared.
void build_analysis_model(ModelStore& m, const SectionValueTable& sections, MergeWalk walk = MergeWalk::fast);

// fem_data_pro: the section values are read from the cross-section data file, which is
// opened only when the list is not empty ("File not found" when it is missing).
void build_analysis_model(ModelStore& m, const std::string& section_path = section_file_name);

// The first bar of the analysis model that meets nothing at either end (no lattice point, no
// other bar) while the model holds more than it: it floats, and a run would fail as a
// mechanism at its tip. "" when there is none, else the bar and its ends (mm): "bar 3 meets no
// lattice point and no other bar at either end, (0, 0, 500) and (100, 0, 500)". A bar held at
// one end (a cantilever) does not float.
std::string floating_bar(const ModelStore& m);
