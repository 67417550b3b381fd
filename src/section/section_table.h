// The cross-section table and its data file cross_data_4th.dat: one section per design record,
// each a sketch of points (W, H) joined by lines with a wall thickness; in the file every
// section with lines is followed by its properties. Units: mm; W horizontal, H vertical.
#pragma once

#include <cstdint>
#include <string>

#include "base/files.h"
#include "base/table.h"
#include "formats/errors.h"

class DataFileReader;
class DataFileWriter;

inline constexpr int max_sections = 200;
inline constexpr int max_section_points = 100;  // per section
inline constexpr int max_section_lines = 200;   // per section

struct SectionTable {
  int16_t n_sec = 0;                                            // sections in the table
  Table<int16_t, max_sections> n_pnt;                           // points of section s
  Table<int16_t, max_sections> n_line;                          // lines of section s
  Table<float, max_sections, max_section_points, 2> pnt_xy;     // point p: W (1), H (2), mm
  Table<int16_t, max_sections, max_section_lines, 2> line_pnt;  // line l: first (1), second (2) point
  Table<float, max_sections, max_section_lines> line_t;         // line l: wall thickness, mm

  // Clears every array at full capacity; n_sec keeps its value.
  void prepare();
  // Section s without points and lines.
  void set_empty(int s);
};

// How the moment sums of the properties are kept (see section_props.h).
enum class MomentSums {
  single_precision,  // each sum stored back as Single after every addition: the editor's writers
  double_precision,  // the second moments summed in double: the modelling window's copy writer
};

// Whether a reader converts the thickness field of a line record. The post-processing reload
// does not insist on it: a thickness that cannot be read is kept as 0 (the exports then give
// that bar its circle of equal area); every other reader takes it.
enum class ThicknessField { read, ignore, if_readable };

// Writes the count line and the blocks of sections 1..n_sec, each with its property line when
// it has lines. Used for the file itself and for the tail of the temporary data file.
void write_section_table(DataFileWriter& out, const SectionTable& table, MomentSums sums);
// The block of section s alone: header, point lines, line records, property line.
void write_section_block(DataFileWriter& out, const SectionTable& table, int s, MomentSums sums);
// Replaces the file whole (atomically) with the table.
void write_section_file(const SectionTable& table, MomentSums sums = MomentSums::single_precision,
                        const std::string& path = section_file_name);

// Reads a table from the reader's next line on: the count line, then every block, the
// property lines read and dropped. The result is a fresh table (arrays cleared), so a reader
// that fails leaves the caller's table as it was.
// Errors name the file and line: a count, point number or section count beyond the table
// ("Subscript out of range"), a field that is not a number ("Type mismatch"), a value beyond
// the Integer or Single range ("Overflow"), an early end of the file ("Input past end of file").
SectionTable read_section_table(DataFileReader& in, ThicknessField thickness = ThicknessField::read);
// The whole file; "File not found" when it does not exist.
SectionTable read_section_file(const std::string& path = section_file_name,
                               ThicknessField thickness = ThicknessField::read);

inline constexpr const char* damaged_section_file_advice =
    "rename or repair this file: without it, \"OK\" of a box/bar writes a new one with empty sections";

// A file missing from a folder that cannot be written was never made there: "Cannot write
// file" saying so, naming the folder; otherwise the "File not found" `e` itself.
[[noreturn]] void raise_missing_file(const RunTimeError& e);

// Runs a read of the cross-section file for the design stage. A damaged file (anything but a
// missing one) would stop every "OK", "Delete", "Save" and "Go to Analysis" alike, so its
// message also says how to go on.
template <typename F>
auto with_section_file_advice(F&& read) {
  try {
    return read();
  } catch (const RunTimeError& e) {
    if (e.name() == err::file_not_found) raise_missing_file(e);
    raise_error(e.name(), e.where() + "; " + damaged_section_file_advice);
  }
}

// Section values sec_a (mm2), sec_iw, sec_ih (mm4) of sections 1..100 in columns 1..3, taken
// from the property lines of the file; a section without lines has zeros. Point and line
// records are skipped unread; counts are checked as by read_section_table.
using SectionValueTable = Table<float, max_records, 3>;
SectionValueTable read_section_values(const std::string& path = section_file_name);

// The editor's write for a record confirmed in the modelling window (a box or a design bar):
// makes sure the table holds a section for record n_gr - n_gr_m and rewrites the file.
// With n_gr above 1 the table is read from the file (a missing file is an empty table);
// with n_gr = 1 it is cleared, so that every section written is empty. A new last section
// is empty; an existing one keeps its content; n_sec otherwise keeps its value.
// `table` is the editor's table; it is changed only when the file was written.
// A section number above 200 is the capacity error, one below 1 "Subscript out of range".
void write_record_section(SectionTable& table, int n_gr, int n_gr_m, const std::string& path = section_file_name);

// The editor's delete: reads the file into `table`, then rewrites it without section
// n_gr - n_gr_m and with the count lowered by one, so that later sections move down as the
// records do. A section the file does not hold (or no file at all) leaves the file alone.
void delete_record_section(SectionTable& table, int n_gr, int n_gr_m, const std::string& path = section_file_name);
