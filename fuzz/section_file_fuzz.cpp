// Fuzz target for the cross-section data file: the full read (with and without thicknesses),
// the section values of the analysis model, and the editor's two procedures that read the file
// before rewriting it.
#include <cstdint>
#include <optional>
#include <string>

#include "formats/errors.h"
#include "fuzz_support.h"
#include "section/section_table.h"

namespace {

bool same_shape(const SectionTable& a, const SectionTable& b) {
  if (a.n_sec != b.n_sec) return false;
  for (int s = 1; s <= a.n_sec; ++s) {
    if (a.n_pnt(s) != b.n_pnt(s) || a.n_line(s) != b.n_line(s)) return false;
    for (int l = 1; l <= a.n_line(s); ++l)
      if (a.line_pnt(s, l, 1) != b.line_pnt(s, l, 1) || a.line_pnt(s, l, 2) != b.line_pnt(s, l, 2)) return false;
  }
  return true;
}

// The editor's table before a call: a failing call must leave it so.
SectionTable editor_table() {
  SectionTable t;
  t.n_sec = 7;
  t.n_pnt(1) = 3;
  return t;
}

bool is_editor_table(const SectionTable& t) { return t.n_sec == 7 && t.n_pnt(1) == 3 && t.n_line(1) == 0; }

// Runs one of the editor's procedures on the input as the file.
template <typename F>
void editor_call(const std::string& bytes, F&& call) {
  const std::string path = fuzz::put(section_file_name, bytes);
  SectionTable table = editor_table();
  try {
    call(table, path);
  } catch (const RunTimeError&) {
    fuzz::check(is_editor_table(table), "a failed editor procedure leaves the table as it was");
    fuzz::check(fuzz::text_of(path) == bytes, "a failed editor procedure leaves the file as it was");
    return;
  }
  // What the procedure left, the reader reads (an error here escapes and is reported).
  read_section_file(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::input(data, size);
  const std::string path = fuzz::put(section_file_name, bytes);

  std::optional<SectionTable> table;
  try {
    table = read_section_file(path);
  } catch (const RunTimeError&) {
  }
  try {
    read_section_file(path, ThicknessField::ignore);
  } catch (const RunTimeError&) {
  }
  try {
    read_section_values(path);
  } catch (const RunTimeError&) {
  }

  // A table the reader took, the writer writes (or refuses) and the reader takes back whole.
  if (table) {
    const std::string copy = fuzz::path_of("copy.dat");
    bool written = false;
    try {
      write_section_file(*table, MomentSums::double_precision, copy);
      written = true;
    } catch (const RunTimeError&) {
    }
    if (written) fuzz::check(same_shape(read_section_file(copy), *table), "a written table reads back the same");
  }

  // Record 2 confirmed (section 2), record 2 of 3 deleted (section 2).
  editor_call(bytes, [](SectionTable& t, const std::string& p) { write_record_section(t, 2, 0, p); });
  editor_call(bytes, [](SectionTable& t, const std::string& p) { delete_record_section(t, 3, 1, p); });
  return 0;
}
