// The result file writer.
#include "result_file.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/analysis_model.h"
#include "base/files.h"
#include "formats/errors.h"
#include "formats/fields.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void put(std::string& text, const FieldLine& line) {
  text += line.str();
  text += "\r\n";
}

void append_header(std::string& text, const ModelFile& model) {
  put(text, FieldLine().i5(model.n_node).i5(model.n_elem).e15(model.settings.max_diameter));
  for (size_t j = 0; j < model.elements.size(); ++j) {
    const ModelFileElement& e = model.elements[j];
    const bool design = model.props[static_cast<size_t>(e.prop - 1)][0] < 0;
    put(text, FieldLine().i5(static_cast<long>(j + 1)).i5(e.node1).i5(e.node2).i5(design ? 0 : 1));
  }
}

// The node lines are the same in every cycle: formatted once.
std::string node_lines(const ModelFile& model) {
  std::string text;
  for (size_t i = 0; i < model.nodes.size(); ++i) {
    const auto& xyz = model.nodes[i];
    put(text, FieldLine().i5(static_cast<long>(i + 1)).e15(xyz[0]).e15(xyz[1]).e15(xyz[2]));
  }
  return text;
}

void append_cycle(std::string& text, const std::string& nodes, const CycleRecord& c) {
  FieldLine line;
  put(text, line.i5(c.cycle).e15(c.compliance).e15(c.volume_ratio).e15(c.change));
  text += nodes;
  for (size_t j = 0; j < c.diameters.size(); ++j) put(text, line.clear().i5(static_cast<long>(j + 1)).e15(c.diameters[j]));
}

void replace_file(const std::string& path, const std::string& text) {
  DataFileWriter out(path);
  out.bytes(text);
  out.commit();
}

}  // namespace

void write_result_file(const std::string& path, const ModelFile& model, const std::vector<CycleRecord>& cycles) {
  std::string text;
  append_header(text, model);
  const std::string nodes = node_lines(model);
  for (const CycleRecord& c : cycles) append_cycle(text, nodes, c);
  replace_file(path, text);
}

void remove_result_file(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (ec && std::filesystem::exists(path)) throw SolverError("cannot remove the old " + path + ": " + ec.message());
}

ResultFileWriter::ResultFileWriter(std::string path, const ModelFile& model, double min_interval, double rewrite_share)
    : path_(std::move(path)),
      spool_path_(temp_file_path(path_, ::getpid()) + ".cycles"),
      nodes_(node_lines(model)),
      min_interval_(min_interval),
      rewrite_share_(rewrite_share),
      last_write_(Clock::now()) {
  // The name is this process's own: a file or pipe there (a pipe would stop the open) is a leftover.
  ::unlink(spool_path_.c_str());
  spool_.open(spool_path_, std::ios::binary | std::ios::trunc);
  std::string header;
  append_header(header, model);
  spool(header);
}

ResultFileWriter::~ResultFileWriter() {
  spool_.close();
  std::error_code ec;
  std::filesystem::remove(spool_path_, ec);
}

void ResultFileWriter::spool(const std::string& text) {
  spool_.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!spool_) raise_error(err::write_failed, path_);
  spooled_ += text.size();
}

void ResultFileWriter::add(const CycleRecord& c) {
  const auto started = Clock::now();
  std::string text;
  append_cycle(text, nodes_, c);
  spool(text);
  ++spooled_cycles_;
  const double interval = std::max(min_interval_, last_cost_ / rewrite_share_);
  if (std::chrono::duration<double>(started - last_write_).count() >= interval) rewrite();
  last_seconds_ = seconds_since(started);
  seconds_ += last_seconds_;
}

void ResultFileWriter::flush() {
  const auto started = Clock::now();
  if (written_ != spooled_) rewrite();
  last_seconds_ = seconds_since(started);
  seconds_ += last_seconds_;
}

// The spool, read back in blocks, becomes the new result file; a spool that comes back short
// (changed behind the writer's back) fails the write rather than publish a cut file.
void ResultFileWriter::rewrite() {
  const auto started = Clock::now();
  if (!spool_.flush()) raise_error(err::write_failed, path_);
  std::ifstream in(spool_path_, std::ios::binary);
  DataFileWriter out(path_);
  std::string block(1 << 20, '\0');
  size_t copied = 0;
  while (copied < spooled_ && in.read(block.data(), static_cast<std::streamsize>(std::min(block.size(), spooled_ - copied)))) {
    out.bytes(std::string_view(block.data(), static_cast<size_t>(in.gcount())));
    copied += static_cast<size_t>(in.gcount());
  }
  if (copied != spooled_) raise_error(err::write_failed, path_);
  out.commit();
  written_ = spooled_;
  written_cycles_ = spooled_cycles_;
  if (on_written) on_written(spooled_cycles_);
  ++rewrites_;
  last_write_ = Clock::now();
  last_cost_ = seconds_since(started);
  rewrite_seconds_ += last_cost_;
}

std::string post_window_notice(const ModelFile& model) {
  if (model.n_node <= max_result_nodes && model.n_elem <= max_result_elements) return "";
  return "Note: " + std::to_string(model.n_node) + " nodes, " + std::to_string(model.n_elem) +
         " elements: more than the post-processing window reads (" + std::to_string(max_result_nodes) +
         " nodes, " + std::to_string(max_result_elements) + " elements); the results are still written to " +
         post_file_name + " for other tools";
}
