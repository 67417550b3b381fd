// Readers and writers of the cross-section data file, and the editor's two file procedures
// that the modelling window calls.
#include "section/section_table.h"

#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "formats/errors.h"
#include "formats/fields.h"
#include "section/section_props.h"

void SectionTable::prepare() {
  n_pnt.fill(0);
  n_line.fill(0);
  pnt_xy.fill(0);
  line_pnt.fill(0);
  line_t.fill(0);
}

void SectionTable::set_empty(int s) {
  n_pnt(s) = 0;
  n_line(s) = 0;
}

void write_section_block(DataFileWriter& out, const SectionTable& t, int s, MomentSums sums) {
  out.line(FieldLine().i5(t.n_pnt(s)).i5(t.n_line(s)));
  for (int p = 1; p <= t.n_pnt(s); ++p) out.line(FieldLine().e15(t.pnt_xy(s, p, 1)).e15(t.pnt_xy(s, p, 2)));
  for (int l = 1; l <= t.n_line(s); ++l)
    out.line(FieldLine().i5(t.line_pnt(s, l, 1)).i5(t.line_pnt(s, l, 2)).e15(t.line_t(s, l)));
  // Readers skip exactly one property line after the line records of a section with lines,
  // and none otherwise: the counts alone keep them in step.
  if (t.n_line(s) > 0) {
    const SectionProperties p = section_properties(t, s, sums);
    out.line(FieldLine().e15(p.sec_a).e15(p.sec_iw).e15(p.sec_ih));
  }
}

void write_section_table(DataFileWriter& out, const SectionTable& t, MomentSums sums) {
  out.line(FieldLine().i5(t.n_sec));
  for (int s = 1; s <= t.n_sec; ++s) write_section_block(out, t, s, sums);
}

void write_section_file(const SectionTable& t, MomentSums sums, const std::string& path) {
  DataFileWriter out(path);
  write_section_table(out, t, sums);
  out.commit();
}

namespace {
// A count or index field that must lie in 0..max to fit the table.
int16_t bounded(const DataFileReader& in, int col, int width, int max) {
  const int16_t v = in.int16(col, width);
  if (v < 0 || v > max) in.fail(err::subscript);
  return v;
}

// Header of section s: its point and line counts.
void read_counts(DataFileReader& in, int16_t& points, int16_t& lines) {
  in.next_line();
  points = bounded(in, 1, 5, max_section_points);
  lines = bounded(in, 6, 5, max_section_lines);
}

// A thickness the reader does not insist on: one that cannot be read is no thickness.
float thickness_or_zero(const DataFileReader& in) {
  try {
    return in.single(11, 15);
  } catch (const RunTimeError&) {
    return 0;
  }
}

void skip_lines(DataFileReader& in, int count) {
  for (int i = 0; i < count; ++i) in.next_line();
}
}  // namespace

SectionTable read_section_table(DataFileReader& in, ThicknessField thickness) {
  SectionTable t;
  in.next_line();
  t.n_sec = bounded(in, 1, 5, max_sections);
  for (int s = 1; s <= t.n_sec; ++s) {
    read_counts(in, t.n_pnt(s), t.n_line(s));
    for (int p = 1; p <= t.n_pnt(s); ++p) {
      in.next_line();
      t.pnt_xy(s, p, 1) = in.single(1, 15);
      t.pnt_xy(s, p, 2) = in.single(16, 15);
    }
    for (int l = 1; l <= t.n_line(s); ++l) {
      in.next_line();
      // A line ends at points the sketch has: one it does not have would be drawn, measured
      // and exported from a point that is not there.
      t.line_pnt(s, l, 1) = bounded(in, 1, 5, max_section_points);
      t.line_pnt(s, l, 2) = bounded(in, 6, 5, max_section_points);
      for (int end = 1; end <= 2; ++end)
        if (t.line_pnt(s, l, end) < 1 || t.line_pnt(s, l, end) > t.n_pnt(s))
          in.fail(err::subscript, "line " + std::to_string(l) + " of section " + std::to_string(s) + " ends at point " +
                                      std::to_string(t.line_pnt(s, l, end)) + " of " + std::to_string(t.n_pnt(s)));
      if (thickness == ThicknessField::read) t.line_t(s, l) = in.single(11, 15);
      if (thickness == ThicknessField::if_readable) t.line_t(s, l) = thickness_or_zero(in);
    }
    if (t.n_line(s) > 0) in.next_line();  // the property line: recomputed at every write
  }
  return t;
}

void raise_missing_file(const RunTimeError& e) {
  const std::filesystem::path file = e.where();
  const std::filesystem::path folder = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
  if (::access(folder.c_str(), W_OK) == 0) throw e;
  const std::string name = folder == "." ? std::string("the working folder") : folder.string();
  raise_error(err::write_failed, name + " cannot be written, so " + file.filename().string() +
                                     " was never made there: work in a folder you can write to");
}

SectionTable read_section_file(const std::string& path, ThicknessField thickness) {
  DataFileReader in(path);
  return read_section_table(in, thickness);
}

SectionValueTable read_section_values(const std::string& path) {
  DataFileReader in(path);
  SectionValueTable values;
  in.next_line();
  const int n_sec = bounded(in, 1, 5, max_sections);
  for (int s = 1; s <= n_sec; ++s) {
    int16_t points = 0, lines = 0;
    read_counts(in, points, lines);
    skip_lines(in, points + lines);
    if (lines == 0) continue;
    in.next_line();
    // Only records 1..100 have property sets; later sections are read past.
    if (s > max_records) continue;
    values(s, 1) = in.single(1, 15);
    values(s, 2) = in.single(16, 15);
    values(s, 3) = in.single(31, 15);
  }
  return values;
}

namespace {
int section_of_record(int n_gr, int n_gr_m) {
  const int s = n_gr - n_gr_m;
  if (s > max_sections) raise_error(err::capacity, "section " + std::to_string(s) + " of at most 200");
  if (s < 1) raise_error(err::subscript, "section " + std::to_string(s));
  return s;
}
}  // namespace

void write_record_section(SectionTable& table, int n_gr, int n_gr_m, const std::string& path) {
  const int sec_no = section_of_record(n_gr, n_gr_m);
  SectionTable t;
  std::error_code ec;
  if (n_gr > 1 && std::filesystem::exists(path, ec)) {
    t = with_section_file_advice([&] { return read_section_file(path); });
  } else {
    // A first record, or a file that is gone: nothing to keep, every section is empty.
    t.n_sec = n_gr > 1 ? 0 : table.n_sec;
    t.set_empty(1);
  }
  if (t.n_sec < sec_no) {
    t.n_sec = static_cast<int16_t>(sec_no);
    t.set_empty(sec_no);
  }
  write_section_file(t, MomentSums::single_precision, path);
  table = std::move(t);
}

void delete_record_section(SectionTable& table, int n_gr, int n_gr_m, const std::string& path) {
  const int sec_no = section_of_record(n_gr, n_gr_m);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  SectionTable t = with_section_file_advice([&] { return read_section_file(path); });
  if (sec_no <= t.n_sec) {
    DataFileWriter out(path);
    out.line(FieldLine().i5(t.n_sec - 1));
    for (int s = 1; s <= t.n_sec; ++s)
      if (s != sec_no) write_section_block(out, t, s, MomentSums::single_precision);
    out.commit();
  }
  table = std::move(t);
}
