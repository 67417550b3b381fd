// The analysis model file's parser and the settings it carries.
#include "base/analysis_model.h"

#include <cfloat>
#include <cmath>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"

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

namespace {
// The records of a case's block: a line per fixed dof and per load.
long case_records(const ModelFileCase& c) {
  long records = 0;
  for (size_t i = 0; i < c.fixed.size(); ++i)
    for (size_t k = 0; k < 6; ++k) records += (c.fixed[i][k] ? 1 : 0) + (std::fabs(c.loads[i][k]) > 0 ? 1 : 0);
  return records;
}

template <size_t n>
FieldLine numbered_line(size_t index, const std::array<double, n>& values) {
  FieldLine line;
  line.i5(static_cast<long>(index + 1));
  for (double v : values) line.e15(v);
  return line;
}
}  // namespace

void write_model_file(const ModelFile& f, const std::string& path) {
  int blocks = 0;
  for (const ModelFileCase& c : f.cases) blocks += case_records(c) > 0 ? 1 : 0;
  const AnalysisSettings& s = f.settings;
  DataFileWriter out(path);
  out.line(FieldLine()
               .i5(f.n_node)
               .i5(f.n_elem)
               .i5(f.n_prop)
               .i5(blocks)
               .i5(-1)
               .e15(s.max_diameter)
               .e15(s.init_ratio)
               .e15(s.volume_ratio)
               .e15(s.move_limit)
               .e15(s.penalty)
               .i5(s.display));
  for (size_t i = 0; i < f.nodes.size(); ++i) out.line(numbered_line(i, f.nodes[i]));
  for (size_t j = 0; j < f.elements.size(); ++j) {
    const ModelFileElement& e = f.elements[j];
    FieldLine line;
    line.i5(static_cast<long>(j + 1)).i5(e.node1).i5(e.node2).i5(e.prop);
    for (double v : e.ref) line.e15(v);
    out.line(line);
  }
  for (size_t p = 0; p < f.props.size(); ++p) out.line(numbered_line(p, f.props[p]));
  for (const ModelFileCase& c : f.cases) {
    const long records = case_records(c);
    if (records == 0) continue;
    out.line(FieldLine().i5(records));
    for (size_t i = 0; i < c.fixed.size(); ++i)
      for (size_t k = 0; k < 6; ++k)
        if (c.fixed[i][k]) out.line(FieldLine().i5(static_cast<long>(i + 1)).i5(static_cast<long>(k + 1)).i5(0));
    for (size_t i = 0; i < c.loads.size(); ++i)
      for (size_t k = 0; k < 6; ++k)
        if (std::fabs(c.loads[i][k]) > 0)
          out.line(FieldLine().i5(static_cast<long>(i + 1)).i5(static_cast<long>(k + 1)).i5(1).e15(c.loads[i][k]));
    for (size_t i = 0; i < c.springs.size(); ++i) out.line(numbered_line(i, c.springs[i]));
  }
  out.commit();
}

ModelFile read_model_file(const std::string& path, ModelFileExtent extent, MeshCounts expect) {
  DataFileReader in(path);
  ModelFile f;
  read_header(in, f, expect);
  read_mesh(in, f);
  f.source = in.stamp();
  if (extent == ModelFileExtent::through_elements) return f;
  read_props(in, f);
  for (auto& c : f.cases) read_case(in, c, f.n_node);
  return f;
}
