// The bill of materials of a frame to build: its pieces (a chain of members in line through
// nodes that nothing braces is one piece, cut as one length) grouped by section, with their
// cut lengths, total length and mass. Lengths are centre-line lengths between the nodes, in mm:
// what the ends lose or gain at the joints is left to the detailing.
#pragma once

#include <string>
#include <vector>

#include "evaluate/shown_frame.h"

class DataFileWriter;

struct BillLine {
  std::string section;              // a standard section's name, or "property set N" for a drawn one
  std::vector<double> cut_lengths;  // mm, longest first
  double total_length = 0;          // mm
  double mass = 0;                  // kg
};

struct Bill {
  std::vector<BillLine> lines;  // in order of the sections' first piece
  int pieces() const;
  double mass() const;  // kg
};

// The pieces of f: the members of each chain (`chain`, per member, from buckling_members) as
// one; members of one chain in different sections are pieces of their own. Mass at `density`
// kg/m3.
Bill bill_of_materials(const ShownFrame& f, const std::vector<int>& chain, double density);

// Writes the bill as a table: section, pieces, cut_lengths_mm (the lengths, space-separated),
// total_length_mm, mass_kg, and a last line "total"; replaced whole or not at all. The second
// form writes to `out` and leaves the commit to the caller.
void write_bill(const Bill& b, const std::string& path);
void write_bill(const Bill& b, DataFileWriter& out);
