// The force columns of the design table and the node table beside it.
#include "export/force_tables.h"

#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <vector>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"

namespace {
std::string field(double v) { return "," + plain_text(v); }
}  // namespace

namespace {
// The ratios of the round members' checks, in the table's order, and their columns.
constexpr Governs round_checks[] = {Governs::tension, Governs::compression, Governs::bending, Governs::axial_bending,
                                    Governs::shear, Governs::buckling, Governs::interaction, Governs::slenderness};
constexpr const char* ratio_columns = ",ratio_tension,ratio_compression,ratio_bending,ratio_axial_bending,ratio_shear,"
                                      "ratio_buckling,ratio_interaction,ratio_slenderness";

// chain, l_cr, class, lambda_bar, chi and the ratios of the case that governs; what was not
// checked (a drawn section's class and the ratios of round members it has not) left empty.
std::string design_fields(const MemberCheck& k, int chain) {
  const bool round = k.section_class > 0;
  std::string row = "," + std::to_string(chain) + field(k.l_cr);
  row += round ? "," + std::to_string(k.section_class) : std::string(",");
  row += round || k.ratio_of(Governs::buckling) ? field(k.lambda_bar) + field(k.chi) : std::string(",,");
  for (Governs g : round_checks) row += k.ratio_of(g) ? field(*k.ratio_of(g)) : ",";
  return row;
}
}  // namespace

ExtraColumns force_columns(const ShownFrame& f, const FrameForces& forces, const FrameChecks& checks, int n_elem) {
  ExtraColumns t;
  const size_t cases = forces.by_state.size();
  for (const LoadState& s : forces.states) t.header += ",axial_" + s.key + ",moment_" + s.key + ",stress_" + s.key;
  t.header += std::string(",utilisation,governing_case,governing_check,chain,l_cr,class,lambda_bar,chi") + ratio_columns;
  bool sized = false;
  for (const MemberSection& s : f.sections) sized = sized || !s.name.empty();
  if (sized) t.header += ",section";
  const size_t fields = 3 * cases + 3 + 5 + std::size(round_checks) + (sized ? 1 : 0);
  t.rows.assign(static_cast<size_t>(n_elem) + 1, std::string(fields, ','));
  for (size_t j = 0; j < f.element.size(); ++j) {
    std::string row;
    for (size_t c = 0; c < cases; ++c) {
      const MemberCheck& m = checks.by_state[c][j];
      row += field(m.axial) + field(m.moment) + field(m.stress);
    }
    const MemberEnvelope& e = checks.envelope[j];
    row += field(e.utilisation) + "," + forces.states[static_cast<size_t>(e.state)].key + "," + governs_name(e.governs);
    if (!checks.by_state.empty()) row += design_fields(checks.governing(j), checks.chain(j));
    if (sized) row += "," + f.sections[j].name;
    t.rows[static_cast<size_t>(f.element[j])] = row;
  }
  return t;
}

void write_node_table(const ShownFrame& f, const FrameForces& forces, DataFileWriter& out) {
  static constexpr const char* names[12] = {"uL", "uW", "uH", "rotL", "rotW", "rotH", "RL", "RW", "RH", "ML", "MW", "MH"};
  std::string header = "node,L,W,H";
  for (const LoadState& s : forces.states)
    for (const char* n : names) header += std::string(",") + n + "_" + s.key;
  out.line(header);
  for (size_t i = 0; i < f.model.nodes.size(); ++i) {
    std::string row = std::to_string(i + 1);
    for (double x : f.model.nodes[i]) row += field(x);
    for (size_t c = 0; c < forces.by_state.size(); ++c) {
      for (double u : forces.displacements[c][i]) row += field(u);
      for (double r : forces.by_state[c].reactions[i]) row += field(r);
    }
    out.line(row);
  }
}

namespace {
constexpr const char* nodes_suffix = "_nodes";
constexpr const char* bill_suffix = "_bom";
}  // namespace

void write_force_tables(const ResultStore& r, const DesignChoice& d, const ShownFrame& f, const FrameForces& forces,
                        const Bill* bill, const std::string& path) {
  // The node table's name is the longest; it must fit before the table is written.
  const std::string name = std::filesystem::path(path).filename().string();
  const size_t room = max_file_name_bytes - std::strlen(nodes_suffix);
  if (name.size() > room)
    raise_error(err::bad_file_name, path + ": a table's name may have at most " + std::to_string(room) +
                                        " bytes, so that the name of the node table beside it (\"" + nodes_suffix +
                                        "\" added) fits the " + std::to_string(max_file_name_bytes) +
                                        " a file name may have");
  DataFileWriter table(path), nodes(node_table_path(path));
  std::optional<DataFileWriter> materials;
  write_design_csv(r, d, table);
  write_node_table(f, forces, nodes);
  std::vector<DataFileWriter*> together{&table, &nodes};
  if (bill) {
    write_bill(*bill, materials.emplace(bill_path(path)));
    together.push_back(&*materials);
  }
  commit_together(together);
}

std::string table_beside(const std::string& table_path, const std::string& suffix) {
  std::filesystem::path p = table_path;
  return (p.parent_path() / (p.stem().string() + suffix + p.extension().string())).string();
}

std::string node_table_path(const std::string& table_path) { return table_beside(table_path, nodes_suffix); }
std::string bill_path(const std::string& table_path) { return table_beside(table_path, bill_suffix); }

std::vector<std::string> export_file_names(const std::string& path) {
  if (export_format(path) != ExportFormat::csv) return {path};
  return {path, node_table_path(path), bill_path(path)};
}
