// The result file writer.
#include "result_file.h"

#include <filesystem>
#include <system_error>

#include "analysis/model_file.h"
#include "formats/fields.h"

void write_result_file(const std::string& path, const ModelFile& model, const std::vector<CycleRecord>& cycles) {
  DataFileWriter out(path);
  out.line(FieldLine().i5(model.n_node).i5(model.n_elem).e15(model.settings.max_diameter));
  for (size_t j = 0; j < model.elements.size(); ++j) {
    const ModelFileElement& e = model.elements[j];
    const bool design = model.props[static_cast<size_t>(e.prop - 1)][0] < 0;
    out.line(FieldLine().i5(static_cast<long>(j + 1)).i5(e.node1).i5(e.node2).i5(design ? 0 : 1));
  }
  for (const CycleRecord& c : cycles) {
    out.line(FieldLine().i5(c.cycle).e15(c.compliance).e15(c.volume_ratio).e15(c.change));
    for (size_t i = 0; i < model.nodes.size(); ++i) {
      const auto& xyz = model.nodes[i];
      out.line(FieldLine().i5(static_cast<long>(i + 1)).e15(xyz[0]).e15(xyz[1]).e15(xyz[2]));
    }
    for (size_t j = 0; j < c.diameters.size(); ++j) out.line(FieldLine().i5(static_cast<long>(j + 1)).e15(c.diameters[j]));
  }
  out.commit();
}

void remove_result_file(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (ec && std::filesystem::exists(path)) throw SolverError("cannot remove the old " + path + ": " + ec.message());
}
