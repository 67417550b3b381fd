// The analysis model file: writer, parser and the re-analysis read-back.
#include "analysis/model_file.h"

#include <cfloat>
#include <cmath>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"
#include "model/model_store.h"

namespace {

constexpr int i5 = 5;
constexpr int e15 = 15;

// Columns of the E15 fields that follow a leading I5 field: 6, 21, 36, ...
constexpr int after_i5(int k) { return 6 + e15 * k; }

// The model is held in Singles: a value beyond their range is not one this program wrote.
// The value itself stays as written, for the solver.
double real_field(const DataFileReader& in, int col) {
  const double value = in.real(col, e15);
  if (!in_single_range(value)) in.fail(err::overflow);
  return value;
}

// An I5 field as a whole number. Counts and numbers may exceed the 16-bit range of the store
// (the solver takes models up to the field's five digits), so this is not int16().
int int_field(const DataFileReader& in, int col) {
  const double value = std::nearbyint(in.real(col, i5));  // halves to even
  if (!(std::fabs(value) <= 99999)) in.fail(err::overflow);
  return static_cast<int>(value);
}

int int_in_range(const DataFileReader& in, int col, int low, int high) {
  const int value = int_field(in, col);
  if (value < low || value > high) in.fail(err::subscript);
  return value;
}

void expect_count(const DataFileReader& in, int found, int expected, const char* what, const char* source) {
  if (expected >= 0 && found != expected)
    in.fail(err::model_mismatch, std::to_string(found) + " " + what + ", " + source + " has " + std::to_string(expected));
}

void read_header(DataFileReader& in, ModelFile& f, MeshCounts expect) {
  in.next_line();
  f.n_node = int_in_range(in, 1, 0, 99999);
  f.n_elem = int_in_range(in, 6, 0, 99999);
  f.n_prop = int_in_range(in, 11, 0, 99999);
  expect_count(in, f.n_node, expect.n_node, "nodes", expect.source);
  expect_count(in, f.n_elem, expect.n_elem, "elements", expect.source);
  expect_count(in, f.n_prop, expect.n_prop, "property sets", expect.source);
  f.cases.resize(static_cast<size_t>(int_in_range(in, 16, 0, 99999)));
  // Columns 21-25 hold a constant -1 that no reader interprets.
  f.max_diameter_text = in.field(26, e15);
  AnalysisSettings& s = f.settings;
  s.max_diameter = static_cast<float>(real_field(in, 26));
  s.init_ratio = static_cast<float>(real_field(in, 41));
  s.volume_ratio = static_cast<float>(real_field(in, 56));
  s.move_limit = static_cast<float>(real_field(in, 71));
  s.penalty = static_cast<float>(real_field(in, 86));
  s.display = in.int16(101, i5);
}

void read_mesh(DataFileReader& in, ModelFile& f) {
  f.nodes.resize(static_cast<size_t>(f.n_node));
  for (auto& xyz : f.nodes) {  // the node number is not read: the line's position gives it
    in.next_line();
    for (int a = 0; a < 3; ++a) xyz[a] = real_field(in, after_i5(a));
  }
  f.elements.resize(static_cast<size_t>(f.n_elem));
  for (auto& e : f.elements) {
    in.next_line();
    e.node1 = int_in_range(in, 6, 1, f.n_node);
    e.node2 = int_in_range(in, 11, 1, f.n_node);
    e.prop = int_in_range(in, 16, 1, f.n_prop);
    for (int a = 0; a < 3; ++a) e.ref[a] = real_field(in, 21 + e15 * a);
  }
}

void read_props(DataFileReader& in, ModelFile& f) {
  f.props.resize(static_cast<size_t>(f.n_prop));
  for (auto& p : f.props) {
    in.next_line();
    for (int v = 0; v < 7; ++v) p[v] = real_field(in, after_i5(v));
  }
}

void read_case(DataFileReader& in, ModelFileCase& c, int n_node) {
  const auto n = static_cast<size_t>(n_node);
  c.fixed.assign(n, {});
  c.loads.assign(n, {});
  c.springs.assign(n, {});
  in.next_line();
  c.count_line = in.line_no();
  const int count = int_in_range(in, 1, 0, 99999);
  c.records.resize(static_cast<size_t>(count));
  for (auto& r : c.records) {
    in.next_line();
    r.node = int_in_range(in, 1, 1, n_node);
    r.dof = int_in_range(in, 6, 1, 6);
    r.kind = int_field(in, 11);
    const auto i = static_cast<size_t>(r.node - 1);
    const auto k = static_cast<size_t>(r.dof - 1);
    if (r.kind == 0) {
      c.fixed[i][k] = true;
    } else {
      r.load = real_field(in, 16);
      c.loads[i][k] = r.load;
    }
  }
  for (auto& spring : c.springs) {  // one line per node, in node order
    in.next_line();
    for (int k = 0; k < 6; ++k) spring[k] = real_field(in, after_i5(k));
  }
}

bool rounds_to_one(float flag) { return std::nearbyint(static_cast<double>(flag)) == 1.0; }

FieldLine e15_line(int number, const float* values, int count) {
  FieldLine line;
  line.i5(number);
  for (int k = 0; k < count; ++k) line.e15(values[k]);
  return line;
}

}  // namespace

AnalysisSettings settings_from_texts(const std::array<std::string, 5>& texts, int check5) {
  AnalysisSettings s;
  s.max_diameter = typed_single(texts[0], "Max Diame.");
  s.init_ratio = typed_single(texts[1], "Init.Valu.Ratio");
  s.volume_ratio = typed_single(texts[2], "Obj.Vol.Ratio");
  s.move_limit = typed_single(texts[3], "Move Limit");
  s.penalty = typed_single(texts[4], "Penalty Factor");
  s.display = checked_i16(check5);
  return s;
}

std::string settings_problem(const AnalysisSettings& s) {
  const std::pair<float, const char*> positive[] = {{s.max_diameter, "Max Diame."},
                                                    {s.init_ratio, "Init.Valu.Ratio"},
                                                    {s.volume_ratio, "Obj.Vol.Ratio"},
                                                    {s.move_limit, "Move Limit"},
                                                    {s.penalty, "Penalty Factor"}};
  for (const auto& [value, name] : positive)
    if (!(value > 0)) return "\"" + std::string(name) + "\" must be positive (it is " + plain_text(value) + ")";
  if (!(s.volume_ratio > s.init_ratio))
    return "\"Obj.Vol.Ratio\" must be above \"Init.Valu.Ratio\" (" + plain_text(s.init_ratio) +
           "): the thinnest beams already take that volume";
  if (s.volume_ratio > 1)
    return "\"Obj.Vol.Ratio\" must be at most 1 (it is " + plain_text(s.volume_ratio) +
           "): more volume than every beam at \"Max Diame.\" takes";
  return {};
}

ModelFile read_model_file(const std::string& path, ModelFileExtent extent, MeshCounts expect) {
  DataFileReader in(path);
  ModelFile f;
  read_header(in, f, expect);
  read_mesh(in, f);
  if (extent == ModelFileExtent::through_elements) return f;
  read_props(in, f);
  for (auto& c : f.cases) read_case(in, c, f.n_node);
  return f;
}

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
  out.line(FieldLine()
               .i5(m.n_node)
               .i5(m.n_elem)
               .i5(m.n_prop)
               .i5(blocks)
               .i5(-1)
               .e15(s.max_diameter)
               .e15(s.init_ratio)
               .e15(s.volume_ratio)
               .e15(s.move_limit)
               .e15(s.penalty)
               .i5(s.display));
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
