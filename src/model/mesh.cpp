// Building the analysis model: generation per record, the merge and duplicate walks, storing.
#include "model/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"
#include "model/geometry.h"

float node_distance(const Vec3& a, const Vec3& b) {
  const float dl = a[1] - b[1], dw = a[2] - b[2], dh = a[3] - b[3];
  return static_cast<float>(std::sqrt(double(dl) * dl + double(dw) * dw + double(dh) * dh));
}

std::array<float, 8> property_set(const ModelStore& m, int k, const SectionValueTable& sections) {
  const float e = m.gr_mat(k, 1), nu = m.gr_mat(k, 2);
  const bool design = m.gr_div(k, 4) == 1 || m.gr_mat(k, 3) > 0;
  const float denominator = 1 + nu;
  if (denominator == 0) raise_error(err::division_by_zero, "Poisson's ratio -1 of box/bar " + std::to_string(k));
  std::array<float, 8> row{};
  row[1] = design ? -e : e;
  row[2] = e / 2 / denominator;
  if (!design) {
    row[3] = sections(k, 1);
    row[4] = sections(k, 2);
    row[5] = sections(k, 3);
    row[6] = row[4] + row[5];
  }
  return row;
}

namespace {
void check_room(const MeshBuild& mesh, long new_nodes, long new_elements, int k, MeshLimits limits) {
  if (limits == MeshLimits::counted) return;
  const std::string where = "box/bar " + std::to_string(k);
  if (mesh.node_count() + new_nodes > max_nodes)
    raise_error(err::capacity, "more than " + std::to_string(max_nodes) + " nodes at " + where);
  if (mesh.element_count() + new_elements > max_elements)
    raise_error(err::capacity, "more than " + std::to_string(max_elements) + " elements at " + where);
}

Vec3 mean_of(const CornerSet& p, int a, int b, int c, int d) {
  Vec3 r;
  for (int x = 1; x <= 3; ++x) r[x] = static_cast<float>((double(p[a][x]) + p[b][x] + p[c][x] + p[d][x]) / 4);
  return r;
}

void append_box(MeshBuild& mesh, const ModelStore& m, int k, int16_t prop, MeshLimits limits) {
  const RecordCorners rc = record_corners(m, k);
  const Lattice lat = record_lattice(m, k, rc.displaced);
  const std::vector<PointPair> pairs = choose_pairs(lat, flat_side_weights(m, k), k);
  check_room(mesh, lat.count(), static_cast<long>(pairs.size()), k, limits);
  const int base = mesh.node_count();
  for (const PointPair& pq : pairs)
    mesh.elements.push_back({static_cast<int16_t>(base + pq.p), static_cast<int16_t>(base + pq.q), prop, Vec3()});
  for (int p = 1; p <= lat.count(); ++p) mesh.nodes.push_back(lat.xyz[p]);
}

// A bar's block has divisions 1, 1, 1: its lattice points are its displaced corners.
void append_bar(MeshBuild& mesh, const ModelStore& m, int k, int16_t prop, MeshLimits limits) {
  const CornerSet p = record_corners(m, k).displaced;
  check_room(mesh, 2, 1, k, limits);
  const int base = mesh.node_count();
  Vec3 ref;  // the bar's local W direction, as long as its hidden width
  for (int a = 1; a <= 3; ++a) ref[a] = p[1][a] - p[5][a];
  mesh.elements.push_back({static_cast<int16_t>(base + 1), static_cast<int16_t>(base + 2), prop, ref});
  mesh.nodes.push_back(mean_of(p, 2, 4, 6, 8));  // "Point2", the -L end
  mesh.nodes.push_back(mean_of(p, 1, 3, 5, 7));  // "Point1", the +L end
}
}  // namespace

MeshBuild generate_mesh(const ModelStore& m, const SectionValueTable& sections, MeshLimits limits) {
  MeshBuild mesh;
  for (int k = 1; k <= m.n_gr; ++k) {
    mesh.props.push_back(limits == MeshLimits::counted ? std::array<float, 8>{} : property_set(m, k, sections));
    const auto prop = static_cast<int16_t>(mesh.prop_count());
    if (m.gr_div(k, 4) == 1)
      append_box(mesh, m, k, prop, limits);
    else if (m.gr_div(k, 4) == 2)
      append_bar(mesh, m, k, prop, limits);
  }
  return mesh;
}

std::string model_count_text(const ModelStore& m) {
  if (m.n_gr < 1) return {};
  MeshBuild mesh;
  try {
    mesh = generate_mesh(m, SectionValueTable(), MeshLimits::counted);
  } catch (const RunTimeError& e) {
    if (e.name() != err::capacity) return {};
    return "Over the limit: " + e.where();
  }
  auto counts = [&] { return plural(mesh.node_count(), "node") + ", " + plural(mesh.element_count(), "element"); };
  if (mesh.node_count() > max_nodes || mesh.element_count() > max_elements)
    return "Over the limit (" + plural(max_nodes, "node") + ", " + plural(max_elements, "element") +
           "): " + counts() + " before merging";
  merge_and_clean(mesh);
  return "Model: " + counts();
}

// ---- The merge walk over nodes ------------------------------------------------------------

namespace {
// The walk as the rule states it, over rows 1..n: a row without a number takes the next one,
// and every later row that is `same` as it takes that number too, even if it had one.
template <typename T, typename Same>
std::vector<int16_t> plain_walk(const std::vector<T>& rows, Same same) {
  const int n = static_cast<int>(rows.size()) - 1;
  std::vector<int16_t> number(rows.size(), 0);
  int16_t count = 0;
  for (int i = 1; i <= n; ++i) {
    if (number[i] != 0) continue;
    number[i] = ++count;
    for (int j = i + 1; j <= n; ++j)
      if (same(rows[i], rows[j])) number[j] = count;
  }
  return number;
}
}  // namespace

std::vector<int16_t> merge_node_numbers_plain(const std::vector<Vec3>& nodes) {
  return plain_walk(nodes, nodes_coincide);
}

namespace {
// Open-addressing table from a 64-bit key to an int, for the cell grid and the node pairs.
class KeyTable {
 public:
  explicit KeyTable(size_t entries) {
    size_t size = 16;
    while (size < 2 * entries) size *= 2;
    keys_.assign(size, empty);
    values_.assign(size, 0);
    mask_ = size - 1;
  }
  // The slot of key: found, or the empty slot where it belongs.
  size_t slot(uint64_t key) const {
    size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask_;
    while (keys_[at] != empty && keys_[at] != key) at = (at + 1) & mask_;
    return at;
  }
  bool used(size_t at) const { return keys_[at] != empty; }
  int& value(size_t at) { return values_[at]; }
  void put(size_t at, uint64_t key, int value) {
    keys_[at] = key;
    values_[at] = value;
  }

 private:
  static constexpr uint64_t empty = ~0ull;
  std::vector<uint64_t> keys_;
  std::vector<int> values_;
  size_t mask_ = 0;
};
}  // namespace

// Every node goes into a cubic cell at least as wide as the tolerance (with room for the
// rounding of the single-precision distance), so the nodes within tolerance of node i lie in
// its own cell or the 26 around it. The walk itself is the plain one: same order, same rule.
std::vector<int16_t> merge_node_numbers(const std::vector<Vec3>& nodes) {
  const int n = static_cast<int>(nodes.size()) - 1;
  if (n < 1) return std::vector<int16_t>(nodes.size(), 0);

  double lo[3], hi[3];
  for (int a = 0; a < 3; ++a) lo[a] = hi[a] = nodes[1][a + 1];
  for (int i = 2; i <= n; ++i)
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], double(nodes[i][a + 1]));
      hi[a] = std::max(hi[a], double(nodes[i][a + 1]));
    }
  double extent = 0;
  for (int a = 0; a < 3; ++a) extent = std::max(extent, hi[a] - lo[a]);
  if (!std::isfinite(extent)) return merge_node_numbers_plain(nodes);
  // Cells of a quarter millimetre, coarser for huge models so that a cell index fits 20 bits.
  constexpr int index_bits = 21;
  const double cell = std::max(0.25, extent / (1 << 20));

  std::vector<uint64_t> cell_of(nodes.size(), 0);
  std::vector<int> cell_index(3 * nodes.size(), 0);
  std::vector<int> next_in_cell(nodes.size(), 0);
  auto key_of = [](int x, int y, int z) {
    // +1 keeps the neighbours of cell 0 non-negative.
    return (uint64_t(x + 1) << (2 * index_bits)) | (uint64_t(y + 1) << index_bits) | uint64_t(z + 1);
  };
  KeyTable heads(static_cast<size_t>(n));
  // Inserted from the last node down, so every cell lists its nodes in increasing order.
  for (int i = n; i >= 1; --i) {
    for (int a = 0; a < 3; ++a)
      cell_index[3 * i + a] = static_cast<int>(std::floor((nodes[i][a + 1] - lo[a]) / cell));
    cell_of[i] = key_of(cell_index[3 * i], cell_index[3 * i + 1], cell_index[3 * i + 2]);
    const size_t at = heads.slot(cell_of[i]);
    next_in_cell[i] = heads.used(at) ? heads.value(at) : 0;
    heads.put(at, cell_of[i], i);
  }

  std::vector<int16_t> number(nodes.size(), 0);
  int16_t count = 0;
  for (int i = 1; i <= n; ++i) {
    if (number[i] != 0) continue;
    number[i] = ++count;
    const int* c = &cell_index[3 * i];
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        for (int dz = -1; dz <= 1; ++dz) {
          const size_t at = heads.slot(key_of(c[0] + dx, c[1] + dy, c[2] + dz));
          if (!heads.used(at)) continue;
          for (int j = heads.value(at); j != 0; j = next_in_cell[j])
            if (j > i && nodes_coincide(nodes[i], nodes[j])) number[j] = count;
        }
  }
  return number;
}

// ---- The duplicate walk over elements ------------------------------------------------------

namespace {
bool same_ends(const MeshElement& a, const MeshElement& b) {
  return (a.n1 == b.n1 && a.n2 == b.n2) || (a.n1 == b.n2 && a.n2 == b.n1);
}

uint64_t ends_key(const MeshElement& e) {
  const auto lo = static_cast<uint16_t>(std::min(e.n1, e.n2)), hi = static_cast<uint16_t>(std::max(e.n1, e.n2));
  return (uint64_t(lo) << 16) | hi;
}
}  // namespace

std::vector<int16_t> duplicate_element_numbers_plain(const std::vector<MeshElement>& elements) {
  return plain_walk(elements, same_ends);
}

// "Same ends in either order" is an equivalence, so every element takes the number given at
// the first element of its class, which the table remembers.
std::vector<int16_t> duplicate_element_numbers(const std::vector<MeshElement>& elements) {
  const int n = static_cast<int>(elements.size()) - 1;
  std::vector<int16_t> number(elements.size(), 0);
  KeyTable first(static_cast<size_t>(std::max(n, 1)));
  int16_t count = 0;
  for (int e = 1; e <= n; ++e) {
    const uint64_t key = ends_key(elements[e]);
    const size_t at = first.slot(key);
    if (!first.used(at)) first.put(at, key, ++count);
    number[e] = static_cast<int16_t>(first.value(at));
  }
  return number;
}

// ---- Cleaning and storing ------------------------------------------------------------------

void merge_and_clean(MeshBuild& mesh, MergeWalk walk) {
  const bool fast = walk == MergeWalk::fast;
  const int n_nodes = mesh.node_count();

  // Nodes: each row moves to its new number in increasing old number, so the last stays.
  const std::vector<int16_t> node_no = fast ? merge_node_numbers(mesh.nodes) : merge_node_numbers_plain(mesh.nodes);
  const int merged = n_nodes == 0 ? 0 : *std::max_element(node_no.begin() + 1, node_no.end());
  std::vector<Vec3> nodes(static_cast<size_t>(merged) + 1);
  for (int i = 1; i <= n_nodes; ++i) nodes[node_no[i]] = mesh.nodes[i];
  for (int e = 1; e <= mesh.element_count(); ++e) {
    MeshElement& el = mesh.elements[e];
    if (el.n1 < 1 || el.n1 > n_nodes || el.n2 < 1 || el.n2 > n_nodes)
      raise_error(err::subscript, "end node of element " + std::to_string(e));
    el.n1 = node_no[el.n1];
    el.n2 = node_no[el.n2];
  }
  mesh.nodes = std::move(nodes);

  // Elements: the same walk; of duplicates the last row stays, at the first one's number.
  const std::vector<int16_t> elem_no =
      fast ? duplicate_element_numbers(mesh.elements) : duplicate_element_numbers_plain(mesh.elements);
  const int kept = mesh.element_count() == 0 ? 0 : *std::max_element(elem_no.begin() + 1, elem_no.end());
  std::vector<MeshElement> elements(static_cast<size_t>(kept) + 1);
  for (int e = 1; e <= mesh.element_count(); ++e) elements[elem_no[e]] = mesh.elements[e];

  // Short elements (ends merged into one node, or nearly): dropped, the rest keep their order.
  mesh.elements.assign(1, MeshElement());
  for (int e = 1; e <= kept; ++e)
    if (node_distance(mesh.nodes[elements[e].n1], mesh.nodes[elements[e].n2]) >= shortest_element)
      mesh.elements.push_back(elements[e]);
}

void build_analysis_model(ModelStore& m, const SectionValueTable& sections, MergeWalk walk) {
  if (m.n_gr < 1) return;
  MeshBuild mesh = generate_mesh(m, sections);
  merge_and_clean(mesh, walk);

  // Complete: only now does the store change.
  const int old_nodes = std::clamp<int>(m.n_node, 0, max_nodes);
  const int old_elements = std::clamp<int>(m.n_elem, 0, max_elements);
  m.n_node = static_cast<int16_t>(mesh.node_count());
  m.n_elem = static_cast<int16_t>(mesh.element_count());
  m.n_prop = static_cast<int16_t>(mesh.prop_count());
  for (int i = 1; i <= std::max<int>(m.n_node, old_nodes); ++i)
    for (int a = 1; a <= 3; ++a) m.node_xyz(i, a) = i <= m.n_node ? mesh.nodes[i][a] : 0.0f;
  for (int e = 1; e <= std::max<int>(m.n_elem, old_elements); ++e) {
    const MeshElement el = e <= m.n_elem ? mesh.elements[e] : MeshElement();
    m.elem_nod(e, 1) = el.n1;
    m.elem_nod(e, 2) = el.n2;
    m.elem_nod(e, 3) = el.prop;
    for (int a = 1; a <= 3; ++a) m.elem_prop(e, a) = el.ref[a];
  }
  for (int p = 1; p <= m.n_prop; ++p)
    for (int c = 1; c <= 7; ++c) m.prop_tab(p, c) = mesh.props[p][c];
}

std::string floating_bar(const ModelStore& m) {
  if (m.n_elem < 2) return {};
  std::vector<int> meets(static_cast<size_t>(m.n_node) + 1, 0);
  for (int j = 1; j <= m.n_elem; ++j)
    for (int end = 1; end <= 2; ++end) ++meets[static_cast<size_t>(m.elem_nod(j, end))];
  auto at = [&, size = model_size(m)](int node) {
    return point_text(m.node_xyz(node, 1), m.node_xyz(node, 2), m.node_xyz(node, 3), size);
  };
  for (int j = 1; j <= m.n_elem; ++j) {
    const int k = m.elem_nod(j, 3), a = m.elem_nod(j, 1), b = m.elem_nod(j, 2);
    if (k < 1 || k > m.n_gr || m.gr_div(k, 4) != 2) continue;
    if (meets[static_cast<size_t>(a)] == 1 && meets[static_cast<size_t>(b)] == 1)
      return "bar " + std::to_string(k) + " meets no lattice point and no other bar at either end, " + at(a) + " and " + at(b);
  }
  return {};
}

void build_analysis_model(ModelStore& m, const std::string& section_path) {
  if (m.n_gr < 1) return;
  build_analysis_model(m, with_section_file_advice([&] { return read_section_values(section_path); }));
}
