// Pieces by chain, lines by section.
#include "evaluate/bill_of_materials.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "formats/fields.h"
#include "formats/numtext.h"

namespace {
std::string section_name(const ShownFrame& f, size_t j) {
  const std::string& name = f.sections[j].name;
  return name.empty() ? "property set " + std::to_string(f.model.elements[j].prop) : name;
}
}  // namespace

int Bill::pieces() const {
  int n = 0;
  for (const BillLine& l : lines) n += static_cast<int>(l.cut_lengths.size());
  return n;
}

double Bill::mass() const {
  double m = 0;
  for (const BillLine& l : lines) m += l.mass;
  return m;
}

Bill bill_of_materials(const ShownFrame& f, const std::vector<int>& chain, double density) {
  // A piece: its section and length, and its steel's volume (a general section's area times length).
  struct Piece {
    std::string section;
    double length = 0, volume = 0;
  };
  std::vector<Piece> pieces;
  std::map<std::pair<int, std::string>, size_t> piece_of;  // (chain, section) -> piece
  for (size_t j = 0; j < f.sections.size(); ++j) {
    const std::string section = section_name(f, j);
    const auto [at, added] = piece_of.try_emplace({chain[j], section}, pieces.size());
    if (added) pieces.push_back({section, 0, 0});
    Piece& p = pieces[at->second];
    const double length = member_length(f.model, j);
    p.length += length;
    p.volume += f.sections[j].values.A * length;
  }
  Bill b;
  std::map<std::string, size_t> line_of;
  for (const Piece& p : pieces) {
    const auto [at, added] = line_of.try_emplace(p.section, b.lines.size());
    if (added) b.lines.push_back({p.section, {}, 0, 0});
    BillLine& l = b.lines[at->second];
    l.cut_lengths.push_back(p.length);
    l.total_length += p.length;
    l.mass += p.volume * density * 1e-9;
  }
  for (BillLine& l : b.lines) std::sort(l.cut_lengths.rbegin(), l.cut_lengths.rend());
  return b;
}

void write_bill(const Bill& b, const std::string& path) {
  DataFileWriter out(path);
  write_bill(b, out);
  out.commit();
}

void write_bill(const Bill& b, DataFileWriter& out) {
  out.line("section,pieces,cut_lengths_mm,total_length_mm,mass_kg");
  for (const BillLine& l : b.lines) {
    std::string cuts;
    for (double c : l.cut_lengths) cuts += (cuts.empty() ? "" : " ") + plain_text(std::round(c * 10) / 10);
    out.line(l.section + "," + std::to_string(l.cut_lengths.size()) + "," + cuts + "," + plain_text(l.total_length) + "," +
             plain_text(l.mass));
  }
  double length = 0;
  for (const BillLine& l : b.lines) length += l.total_length;
  out.line("total," + std::to_string(b.pieces()) + ",," + plain_text(length) + "," + plain_text(b.mass()));
}
