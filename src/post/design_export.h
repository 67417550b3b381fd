// The design on screen taken out of the program: one cycle of the result store at a density
// threshold, written for a spreadsheet (.csv), a 3-D printer or mesher (.stl, binary) or a CAD
// program (.dxf, ASCII). Every file is written whole and atomically. Units: mm; L, W, H are
// the file's x, y, z.
#pragma once

#include <string>
#include <vector>

#include "post/result_store.h"

class DataFileWriter;

// Columns a table gains beside the design's own (what the members carry): the header's names
// and, per element 1..pn_elem (index 0 unused), the row's fields, each part starting with a comma.
struct ExtraColumns {
  std::string header;
  std::vector<std::string> rows;
};

// The cycle and threshold of a design on screen.
struct DesignChoice {
  int cycle = 1;          // 1..pn_cyc
  float threshold = 1;    // fraction of pd_max, as the result display takes it
  const ExtraColumns* more = nullptr;  // the table's further columns, if any
};

// inp, the input deck of a general FE program, and pdf, the calculation report, are written from
// the analysed frame (export/ and the windows).
enum class ExportFormat { csv, stl, dxf, inp, pdf };

// The format the file's extension asks for, in any letter case; "Bad file name" otherwise.
ExportFormat export_format(const std::string& path);

// Writes cycle `d.cycle` of r to `path` in the format its extension asks for. A cycle outside
// 1..pn_cyc is "Subscript out of range"; a place that cannot be written "Cannot write file"
// naming the path, with nothing left there (an older file of that name stays as it was).
void export_design(const ResultStore& r, const DesignChoice& d, const std::string& path);

// CSV, one row per element after a header row: element, node1, node2, L1, W1, H1, L2, W2, H2,
// length, diameter, kind ("design" / "non-design"), above_threshold ("yes" / "no"; a
// non-design bar is always "yes", as it is always drawn), then the choice's further columns.
// Shortest round-trip numbers, "." as decimal point. The second form writes the rows to `out`
// and leaves the commit to the caller, for a table written together with others.
void write_design_csv(const ResultStore& r, const DesignChoice& d, const std::string& path);
void write_design_csv(const ResultStore& r, const DesignChoice& d, DataFileWriter& out);

// Binary STL of the beams shown at the threshold, each a closed solid with outward facets:
//  - a design beam: a prism of 16 sides whose cross-section has the area of its diameter's
//    circle, so that the mesh holds the beam's volume;
//  - a non-design bar: one plate per section line, line length x wall thickness, swept along
//    the bar in the frame the display uses; a bar without any such plate (no section, or
//    only lines without length or readable thickness) is the prism of its diameter, which the
//    solver writes as the circle of the section's area.
// Elements of zero length or diameter have no volume and are left out.
void write_design_stl(const ResultStore& r, const DesignChoice& d, const std::string& path);

// ASCII DXF (R12 layout): every element a 3-D LINE on layer DESIGN, NON_DESIGN or THIN (a
// design element below the threshold), carrying as extended data of application "MARULLA"
// its element number (1070) and diameter in mm (1040). Header units: mm.
void write_design_dxf(const ResultStore& r, const DesignChoice& d, const std::string& path);
