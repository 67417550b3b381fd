// Writing and reading the temporary data file.
#include "analysis/temp_file.h"

#include "formats/errors.h"
#include "formats/fields.h"
#include "model/geometry.h"

namespace {
// Columns of the three E15 fields of a record line.
constexpr int e15_columns[] = {1, 16, 31};

FieldLine three_reals(float a, float b, float c) { return FieldLine().e15(a).e15(b).e15(c); }

// A value beyond the Single range is "Overflow" here, naming the line, rather than an infinity
// that fails later in some drawing or mesh far from the file.
template <typename T>
void read_three(DataFileReader& in, T& table, int m) {
  in.next_line();
  for (int a = 1; a <= 3; ++a) table(m, a) = in.single(e15_columns[a - 1], 15);
}

void write_record(DataFileWriter& out, const ModelStore& s, int m) {
  out.line(three_reals(s.gr_len(m, 1), s.gr_len(m, 2), s.gr_len(m, 3)));
  out.line(three_reals(s.gr_rot(m, 1), s.gr_rot(m, 2), s.gr_rot(m, 3)));
  out.line(three_reals(s.gr_cen(m, 1), s.gr_cen(m, 2), s.gr_cen(m, 3)));
  out.line(FieldLine().i5(s.gr_div(m, 1)).i5(s.gr_div(m, 2)).i5(s.gr_div(m, 3)).i5(s.gr_div(m, 4)));
  for (int p = 1; p <= 8; ++p) out.line(three_reals(s.gr_apex(m, p, 1), s.gr_apex(m, p, 2), s.gr_apex(m, p, 3)));
  out.line(three_reals(s.gr_mat(m, 1), s.gr_mat(m, 2), s.gr_mat(m, 3)));
}

void read_record(DataFileReader& in, ModelStore& s, int m) {
  read_three(in, s.gr_len, m);
  read_three(in, s.gr_rot, m);
  read_three(in, s.gr_cen, m);
  in.next_line();
  for (int c = 1; c <= 4; ++c) s.gr_div(m, c) = in.int16(1 + 5 * (c - 1), 5);
  // Divisions that give no lattice would fail every later refresh of the restored design.
  if (const char* fault = division_fault(s.gr_div(m, 1), s.gr_div(m, 2), s.gr_div(m, 3))) in.fail(fault);
  for (int p = 1; p <= 8; ++p) {
    in.next_line();
    for (int a = 1; a <= 3; ++a) s.gr_apex(m, p, a) = in.single(e15_columns[a - 1], 15);
  }
  read_three(in, s.gr_mat, m);
}
// The line of section s's header in a table whose count line is `table_line`.
int section_header_line(const SectionTable& t, int table_line, int s) {
  int line = table_line + 1;
  for (int k = 1; k < s; ++k) line += 1 + t.n_pnt(k) + t.n_line(k) + (t.n_line(k) > 0 ? 1 : 0);
  return line;
}

// The sections must be the design's: a file whose lines have slipped (a count line lost, a
// line doubled, a count changed by hand) would read as some other table and rewrite the
// cross-section file without the sketch a non-design bar needs, failing the next run.
// So nothing may follow the table, and every non-design bar must find its drawn section.
void check_sections_fit(DataFileReader& in, const SavedDesign& saved, int table_line) {
  while (!in.at_end())
    if (in.next_line().find_first_not_of(" \t") != std::string::npos)
      in.fail(err::sections_mismatch, "a line after the cross-section table");
  const ModelStore& d = saved.design;
  const SectionTable& t = saved.sections;
  for (int r = 1; r <= d.n_gr; ++r) {
    const bool non_design_bar = d.gr_div(r, 4) == 2 && !(d.gr_mat(r, 3) > 0);
    if (!non_design_bar || (r <= t.n_sec && t.n_line(r) > 0)) continue;
    const int line = r <= t.n_sec ? section_header_line(t, table_line, r) : table_line;
    raise_error(err::sections_mismatch, in.path() + ", line " + std::to_string(line) + ": record " +
                                            std::to_string(r) + " is a non-design bar without a drawn section");
  }
}
}  // namespace

void save_design(const ModelStore& m, SectionTable& sections, const std::string& path,
                 const std::string& section_path) {
  sections = with_section_file_advice([&] { return read_section_file(section_path); });
  DataFileWriter out(path);
  out.line(FieldLine().i5(m.n_gr));
  for (int r = 1; r <= m.n_gr; ++r) write_record(out, m, r);
  write_section_table(out, sections, MomentSums::double_precision);
  out.commit();
}

SavedDesign read_saved_design(const std::string& path) {
  SavedDesign saved;
  DataFileReader in(path);
  in.next_line();
  const int n = in.int16(1, 5);
  if (n < 0 || n > max_records) in.fail(err::subscript);
  saved.design.n_gr = static_cast<int16_t>(n);
  for (int r = 1; r <= n; ++r) read_record(in, saved.design, r);
  const int table_line = in.line_no() + 1;
  saved.sections = read_section_table(in);
  check_sections_fit(in, saved, table_line);
  return saved;
}

void restore_design(ModelStore& m, const ModelStore& d) {
  m.n_gr = d.n_gr;
  for (int r = 1; r <= d.n_gr; ++r) {
    for (int a = 1; a <= 3; ++a) {
      m.gr_len(r, a) = d.gr_len(r, a);
      m.gr_rot(r, a) = d.gr_rot(r, a);
      m.gr_cen(r, a) = d.gr_cen(r, a);
      m.gr_mat(r, a) = d.gr_mat(r, a);
      for (int p = 1; p <= 8; ++p) m.gr_apex(r, p, a) = d.gr_apex(r, p, a);
    }
    for (int c = 1; c <= 4; ++c) m.gr_div(r, c) = d.gr_div(r, c);
  }
}
