// Fuzz target for the temporary data file: the whole parse of "Read" and the re-analysis, then,
// for a file it takes, "Save" of the same design and sections and the parse of that.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/temp_file.h"
#include "formats/errors.h"
#include "fuzz_support.h"

namespace {

bool same_design(const SavedDesign& a, const SavedDesign& b) {
  if (a.design.n_gr != b.design.n_gr || a.sections.n_sec != b.sections.n_sec) return false;
  for (int r = 1; r <= a.design.n_gr; ++r)
    for (int c = 1; c <= 4; ++c)
      if (a.design.gr_div(r, c) != b.design.gr_div(r, c)) return false;
  for (int s = 1; s <= a.sections.n_sec; ++s)
    if (a.sections.n_pnt(s) != b.sections.n_pnt(s) || a.sections.n_line(s) != b.sections.n_line(s)) return false;
  return true;
}

// Every value a file gives the design list is a finite Single.
bool all_finite(const ModelStore& d) {
  for (int r = 1; r <= d.n_gr; ++r)
    for (int a = 1; a <= 3; ++a) {
      if (!std::isfinite(d.gr_len(r, a)) || !std::isfinite(d.gr_rot(r, a)) || !std::isfinite(d.gr_cen(r, a)) ||
          !std::isfinite(d.gr_mat(r, a)))
        return false;
      for (int p = 1; p <= 8; ++p)
        if (!std::isfinite(d.gr_apex(r, p, a))) return false;
    }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::put(temp_file_name, fuzz::input(data, size));
  std::optional<SavedDesign> saved;
  try {
    saved = read_saved_design(path);
  } catch (const RunTimeError&) {
    return 0;
  }
  fuzz::check(all_finite(saved->design), "a design read holds finite values only");

  // "Read" rewrites the section file from the copy; "Save" reads it back and writes both.
  // Either writer may refuse a value it cannot write; what they do write reads back the same.
  const std::string sections = fuzz::path_of(section_file_name);
  const std::string copy = fuzz::path_of("copy.dat");
  SectionTable window_copy;
  try {
    write_section_file(saved->sections, MomentSums::double_precision, sections);
    save_design(saved->design, window_copy, copy, sections);
  } catch (const RunTimeError&) {
    return 0;
  }
  fuzz::check(same_design(read_saved_design(copy), *saved), "a saved design reads back the same");
  return 0;
}
