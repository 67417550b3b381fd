// The force columns of the design table and the node table beside it.
#include "export/force_tables.h"

#include <filesystem>

#include "formats/fields.h"
#include "formats/numtext.h"

namespace {
std::string field(double v) { return "," + plain_text(v); }
}  // namespace

ExtraColumns force_columns(const ShownFrame& f, const FrameForces& forces, const FrameChecks& checks, int n_elem) {
  ExtraColumns t;
  const size_t cases = forces.cases.size();
  for (size_t c = 1; c <= cases; ++c) {
    const std::string k = std::to_string(c);
    t.header += ",axial_" + k + ",moment_" + k + ",stress_" + k;
  }
  t.header += ",utilisation,governing_case,governing_check";
  bool sized = false;
  for (const MemberSection& s : f.sections) sized = sized || !s.name.empty();
  if (sized) t.header += ",section";
  t.rows.assign(static_cast<size_t>(n_elem) + 1, std::string(3 * cases + 3 + (sized ? 1 : 0), ','));
  for (size_t j = 0; j < f.element.size(); ++j) {
    std::string row;
    for (size_t c = 0; c < cases; ++c) {
      const MemberCheck& m = checks.cases[c][j];
      row += field(m.axial) + field(m.moment) + field(m.stress);
    }
    const MemberEnvelope& e = checks.envelope[j];
    row += field(e.utilisation) + "," + std::to_string(e.load_case + 1) + "," + governs_name(e.governs);
    if (sized) row += "," + f.sections[j].name;
    t.rows[static_cast<size_t>(f.element[j])] = row;
  }
  return t;
}

void write_node_table(const ShownFrame& f, const FrameForces& forces, const std::string& path) {
  static constexpr const char* names[12] = {"uL", "uW", "uH", "rotL", "rotW", "rotH", "RL", "RW", "RH", "ML", "MW", "MH"};
  std::string header = "node,L,W,H";
  for (size_t c = 1; c <= forces.cases.size(); ++c)
    for (const char* n : names) header += std::string(",") + n + "_" + std::to_string(c);
  DataFileWriter out(path);
  out.line(header);
  for (size_t i = 0; i < f.model.nodes.size(); ++i) {
    std::string row = std::to_string(i + 1);
    for (double x : f.model.nodes[i]) row += field(x);
    for (size_t c = 0; c < forces.cases.size(); ++c) {
      for (double u : forces.displacements[c][i]) row += field(u);
      for (double r : forces.cases[c].reactions[i]) row += field(r);
    }
    out.line(row);
  }
  out.commit();
}

std::string node_table_path(const std::string& table_path) {
  std::filesystem::path p = table_path;
  const std::string ext = p.extension().string();
  return (p.parent_path() / (p.stem().string() + "_nodes" + ext)).string();
}
