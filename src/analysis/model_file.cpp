// The analysis model file from the model store: writer and the re-analysis read-back.
#include "analysis/model_file.h"

#include <array>
#include <cmath>
#include <utility>

#include "bc/point_conditions.h"
#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"
#include "model/model_store.h"

namespace {

bool rounds_to_one(float flag) { return std::nearbyint(static_cast<double>(flag)) == 1.0; }

}  // namespace

int count_case_records(ModelStore& m) {
  int blocks = 0;
  for (int c = 1; c <= m.mx_case; ++c) {
    long count = 0;
    for (int i = 1; i <= m.n_node; ++i) {
      for (int k = 1; k <= 6; ++k) {
        if (rounds_to_one(m.bc_val(c, i, 1, k))) ++count;
        if (std::fabs(m.bc_val(c, i, 2, k)) > 0) ++count;
      }
    }
    m.case_cnt(c) = checked_i16(count);
    if (count > 0) ++blocks;
  }
  return blocks;
}

void set_design_references(ModelStore& m) {
  for (int j = 1; j <= m.n_elem; ++j) {
    if (!(m.prop_tab(m.elem_nod(j, 3), 1) < 0)) continue;
    const int n1 = m.elem_nod(j, 1);
    const int n2 = m.elem_nod(j, 2);
    double len2 = 0;
    for (int a = 1; a <= 3; ++a) {
      const double d = double(m.node_xyz(n2, a)) - double(m.node_xyz(n1, a));
      len2 += d * d;
    }
    // Compared in Single, the precision of the model: an element at 0.998 as typed keeps the
    // W offset. A zero-length element gives NaN and keeps it too.
    const double dw = std::fabs(double(m.node_xyz(n2, 2)) - double(m.node_xyz(n1, 2)));
    const auto ratio = static_cast<float>(dw / std::sqrt(len2));
    const int offset_axis = ratio > 0.998f ? 3 : 2;
    for (int a = 1; a <= 3; ++a) m.elem_prop(j, a) = m.node_xyz(n1, a) + (a == offset_axis ? 1.0f : 0.0f);
  }
}

namespace {
// The store's model as the file holds it: every case, whose records the writer counts again.
ModelFile model_of_store(const ModelStore& m, const AnalysisSettings& s) {
  ModelFile f;
  f.n_node = m.n_node;
  f.n_elem = m.n_elem;
  f.n_prop = m.n_prop;
  f.settings = s;
  for (int i = 1; i <= m.n_node; ++i) f.nodes.push_back({m.node_xyz(i, 1), m.node_xyz(i, 2), m.node_xyz(i, 3)});
  for (int j = 1; j <= m.n_elem; ++j)
    f.elements.push_back({m.elem_nod(j, 1), m.elem_nod(j, 2), m.elem_nod(j, 3),
                          {m.elem_prop(j, 1), m.elem_prop(j, 2), m.elem_prop(j, 3)}});
  for (int p = 1; p <= m.n_prop; ++p) {
    std::array<double, 7> values{};
    for (int v = 0; v < 7; ++v) values[static_cast<size_t>(v)] = m.prop_tab(p, v + 1);
    f.props.push_back(values);
  }
  for (int c = 1; c <= m.mx_case; ++c) {
    ModelFileCase mc;
    for (int i = 1; i <= m.n_node; ++i) {
      std::array<bool, 6> fixed{};
      std::array<double, 6> loads{}, springs{};
      for (int k = 1; k <= 6; ++k) {
        const auto at = static_cast<size_t>(k - 1);
        fixed[at] = rounds_to_one(m.bc_val(c, i, 1, k));
        loads[at] = m.bc_val(c, i, 2, k);
        springs[at] = m.spring_val(c, i, k);
      }
      mc.fixed.push_back(fixed);
      mc.loads.push_back(loads);
      mc.springs.push_back(springs);
    }
    f.cases.push_back(std::move(mc));
  }
  return f;
}
}  // namespace

void write_model_file(ModelStore& m, const AnalysisSettings& s, const std::string& path) {
  count_case_records(m);  // the store's counts, and an Integer's overflow refused before anything is written
  set_design_references(m);
  write_model_file(model_of_store(m, s), path);
}

AnalysisSettings read_back_model_file(ModelStore& m, const std::string& path) {
  // Everything is read and checked first; the store changes only after that.
  const ModelFile f = read_model_file(path, ModelFileExtent::whole, {m.n_node, m.n_elem, m.n_prop, "the design of temp_save.dat"});
  if (f.cases.size() > static_cast<size_t>(max_cases)) raise_error(err::capacity, path + ", line 1");
  // The solvers take up to 99999 records a case; the store counts them in an Integer.
  std::array<int16_t, max_cases + 1> counts{};
  for (size_t b = 0; b < f.cases.size(); ++b) {
    const size_t records = f.cases[b].records.size();
    if (records > 32767) raise_error(err::overflow, path + ", line " + std::to_string(f.cases[b].count_line));
    counts[b + 1] = static_cast<int16_t>(records);
  }

  for (int c = 1; c <= max_cases; ++c) {
    m.case_cnt(c) = 0;
    for (int i = 1; i <= max_nodes; ++i) {
      m.bc_flag(c, i) = 0;
      for (int k = 1; k <= 6; ++k) {
        m.bc_val(c, i, 1, k) = 0;
        m.bc_val(c, i, 2, k) = 0;
        m.spring_val(c, i, k) = 0;
      }
    }
  }
  int c = 0;
  for (const ModelFileCase& block : f.cases) {
    ++c;  // the written cases, renumbered in their former order
    m.case_cnt(c) = counts[static_cast<size_t>(c)];
    for (const ModelFileRecord& r : block.records) {
      m.bc_flag(c, r.node) = 1;
      if (r.kind == 0)
        m.bc_val(c, r.node, 1, r.dof) = 1;
      else
        m.bc_val(c, r.node, 2, r.dof) = static_cast<float>(r.load);
    }
    for (int i = 1; i <= m.n_node; ++i) {
      double sum = 0;
      for (int k = 1; k <= 6; ++k) {
        const double spring = block.springs[static_cast<size_t>(i - 1)][static_cast<size_t>(k - 1)];
        m.spring_val(c, i, k) = static_cast<float>(spring);
        sum += std::fabs(spring);
      }
      if (sum > 0) m.bc_flag(c, i) = 1;
    }
  }
  // A file without blocks would leave no case to edit, and conditions entered in case 1 would
  // never be written again: case 1 always stays open.
  m.mx_case = static_cast<int16_t>(c > 0 ? c : 1);
  // The file holds no common conditions: what every case it holds has alike stands for them.
  common_conditions_from_cases(m);
  return f.settings;
}
