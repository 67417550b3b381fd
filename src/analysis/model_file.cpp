// The analysis model file from the model store: writer and the re-analysis read-back.
#include "analysis/model_file.h"

#include <cmath>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"
#include "model/model_store.h"

namespace {

bool rounds_to_one(float flag) { return std::nearbyint(static_cast<double>(flag)) == 1.0; }

FieldLine e15_line(int number, const float* values, int count) {
  FieldLine line;
  line.i5(number);
  for (int k = 0; k < count; ++k) line.e15(values[k]);
  return line;
}

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

void write_model_file(ModelStore& m, const AnalysisSettings& s, const std::string& path) {
  const int blocks = count_case_records(m);
  set_design_references(m);

  DataFileWriter out(path);
  out.line(model_file_header(m.n_node, m.n_elem, m.n_prop, blocks, s));
  for (int i = 1; i <= m.n_node; ++i) {
    const float xyz[3] = {m.node_xyz(i, 1), m.node_xyz(i, 2), m.node_xyz(i, 3)};
    out.line(e15_line(i, xyz, 3));
  }
  for (int j = 1; j <= m.n_elem; ++j) {
    FieldLine line;
    line.i5(j).i5(m.elem_nod(j, 1)).i5(m.elem_nod(j, 2)).i5(m.elem_nod(j, 3));
    for (int a = 1; a <= 3; ++a) line.e15(m.elem_prop(j, a));
    out.line(line);
  }
  for (int p = 1; p <= m.n_prop; ++p) {
    float values[7];
    for (int v = 0; v < 7; ++v) values[v] = m.prop_tab(p, v + 1);
    out.line(e15_line(p, values, 7));
  }
  for (int c = 1; c <= m.mx_case; ++c) {
    if (m.case_cnt(c) <= 0) continue;
    out.line(FieldLine().i5(m.case_cnt(c)));
    for (int i = 1; i <= m.n_node; ++i)
      for (int k = 1; k <= 6; ++k)
        if (rounds_to_one(m.bc_val(c, i, 1, k))) out.line(FieldLine().i5(i).i5(k).i5(0));
    for (int i = 1; i <= m.n_node; ++i)
      for (int k = 1; k <= 6; ++k)
        if (std::fabs(m.bc_val(c, i, 2, k)) > 0) out.line(FieldLine().i5(i).i5(k).i5(1).e15(m.bc_val(c, i, 2, k)));
    for (int i = 1; i <= m.n_node; ++i) {
      float springs[6];
      for (int k = 0; k < 6; ++k) springs[k] = m.spring_val(c, i, k + 1);
      out.line(e15_line(i, springs, 6));
    }
  }
  out.commit();
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
  return f.settings;
}
