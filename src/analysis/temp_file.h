// The temporary data file temp_save.dat: the design list (boxes and bars with every input,
// corner displacements and material) followed by a copy of the cross-section table. It lets
// the modelling window save a design and restore it, and the re-analysis rebuild it.
// Units: mm, degrees, N/mm2.
#pragma once

#include <string>

#include "base/files.h"
#include "model/model_store.h"
#include "section/section_table.h"

// The design list of records 1..n_gr as the file holds it, with the cross-section table that
// follows it. The analysis layer of `design` is unused.
struct SavedDesign {
  ModelStore design;
  SectionTable sections;
};

// "Save": reads the cross-section data file into `sections` (the modelling window's copy;
// "File not found" before anything is written when it is missing), then replaces the
// temporary file whole with the count line, 13 lines per record and the cross-section table.
void save_design(const ModelStore& m, SectionTable& sections, const std::string& path = temp_file_name,
                 const std::string& section_path = section_file_name);

// Parses the whole temporary file. A missing file is "File not found"; a count above 100 or
// below 0 "Subscript out of range"; a field that is not a number "Type mismatch"; a value beyond
// the Integer or Single range, or a division below 1, "Overflow"; divisions of more than 1000
// lattice points "Capacity exceeded"; an early end "Input past end of file"; a section line
// to a point its sketch does not have "Subscript out of range"; lines after the cross-section
// table, or a non-design bar without a drawn section, "Sections do not match the design" —
// each naming the file (and the line, where there is one). Nothing outside is changed.
SavedDesign read_saved_design(const std::string& path = temp_file_name);

// Puts a parsed design into the store: n_gr and the records 1..n_gr (sides, rotations, centre,
// divisions and kind, corner displacements, material).
void restore_design(ModelStore& m, const ModelStore& design);
