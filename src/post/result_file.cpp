// Readers of "Read Data": the result file, then the model files.
#include "post/result_file.h"

#include <cfloat>
#include <cmath>
#include <exception>
#include <filesystem>
#include <fstream>

#include "base/run_files.h"
#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"

namespace {

constexpr int i5 = 5;
constexpr int e15 = 15;

// A count or number that must lie in low..high.
int16_t int_in_range(const DataFileReader& in, int col, int low, int high) {
  const int16_t v = in.int16(col, i5);
  if (v < low || v > high) in.fail(err::subscript);
  return v;
}

float single_field(const DataFileReader& in, int col) {
  const double v = in.real(col, e15);
  if (!(std::fabs(v) <= FLT_MAX)) in.fail(err::overflow);
  return static_cast<float>(v);
}

// A diameter, mm: a negative one would be drawn, exported and checked as a thin member.
float diameter_field(const DataFileReader& in, int col) {
  const float d = single_field(in, col);
  if (d < 0) in.fail(err::invalid_setting, "a diameter cannot be negative");
  return d;
}

// A field of the cycle line: the solver's summary, which only the convergence plot uses, so a
// line that does not hold it is no fault of the file.
double summary_field(const DataFileReader& in, int col) {
  try {
    return in.real(col, e15);
  } catch (const RunTimeError&) {
    return std::nan("");
  }
}

// What the window can hold, for the message of a result it cannot.
std::string window_limits() {
  return "the post-processing window holds at most " + plural(max_result_nodes, "node") + ", " +
         plural(max_result_elements, "element") + " and " + plural(max_result_cycles, "cycle") + ", in " +
         std::to_string(max_data_file_bytes >> 20) + " MB";
}

std::string node_and_element_counts(double nodes, double elements) {
  return plural(static_cast<int>(nodes), "node") + " and " + plural(static_cast<int>(elements), "element");
}

// The counts of a result file's first line, where it holds them: ", 15625 nodes and 99999
// elements"; read on its own, for a file too large to read whole.
std::string counts_of_first_line(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line(40, ' ');
  in.read(line.data(), static_cast<std::streamsize>(line.size()));
  try {
    return ", " + node_and_element_counts(to_number(line.substr(0, i5)), to_number(line.substr(5, i5)));
  } catch (const RunTimeError&) {
    return {};
  }
}

// The counts of the first line, refused where the window cannot hold them.
void read_counts(const DataFileReader& in, ResultStore& r) {
  const double nodes = in.real(1, i5), elements = in.real(6, i5);
  if (nodes > max_result_nodes || elements > max_result_elements)
    in.fail(err::capacity, node_and_element_counts(nodes, elements) + "; " + window_limits());
  r.pn_node = int_in_range(in, 1, 0, max_result_nodes);
  r.pn_elem = int_in_range(in, 6, 0, max_result_elements);
}

}  // namespace

void read_result_file(ResultStore& r, const std::string& path) {
  std::error_code ec;
  if (const std::uintmax_t size = std::filesystem::file_size(path, ec); !ec && size > max_data_file_bytes)
    raise_error(err::too_large, path + ": " + std::to_string((size + (1 << 19)) >> 20) + " MB" +
                                    counts_of_first_line(path) + "; " + window_limits());
  DataFileReader in(path);
  in.next_line();
  read_counts(in, r);
  r.pd_max = diameter_field(in, 11);
  for (int e = 1; e <= r.pn_elem; ++e) {
    in.next_line();
    // An end node the cycles do not hold would fail every drawing later: refused here.
    r.pe_nod(e, 1) = int_in_range(in, 6, 1, r.pn_node);
    r.pe_nod(e, 2) = int_in_range(in, 11, 1, r.pn_node);
    r.pe_flag(e) = in.int16(16, i5);
  }
  r.pn_cyc = 0;
  while (!in.at_end()) {
    if (r.pn_cyc == max_result_cycles)
      in.fail(err::capacity, "more than " + plural(max_result_cycles, "cycle") + "; " + window_limits());
    const int c = ++r.pn_cyc;
    in.next_line();
    r.pc_comp(c) = summary_field(in, 6);
    r.pc_vol(c) = summary_field(in, 21);
    for (int i = 1; i <= r.pn_node; ++i) {
      in.next_line();
      for (int a = 1; a <= 3; ++a) r.pnode_xyz(c, i, a) = single_field(in, 6 + e15 * (a - 1));
    }
    for (int e = 1; e <= r.pn_elem; ++e) {
      in.next_line();
      r.pe_dia(c, e) = diameter_field(in, 6);
    }
  }
  r.source = in.stamp();
}

std::string read_result_model(ResultStore& r, const std::string& section_path, const std::string& model_path) {
  r.sections = read_section_file(section_path, ThicknessField::if_readable);
  const ModelFile f =
      read_model_file(model_path, ModelFileExtent::through_elements, {r.pn_node, r.pn_elem, -1, post_file_name});
  for (int e = 1; e <= r.pn_elem; ++e) {
    const auto& ref = f.elements[static_cast<size_t>(e - 1)].ref;
    for (int a = 1; a <= 3; ++a) r.pe_ref(e, a) = static_cast<float>(ref[static_cast<size_t>(a - 1)]);
  }
  return f.max_diameter_text;
}

namespace {
const char* const other_run = "the results in this folder were written by another run (another program or a solver "
                              "started by hand); press \"To Re-Analysis\" to run this model again";
}  // namespace

ResultSet read_result_set(const ResultPaths& paths, const std::string& token) {
  auto store = std::make_unique<ResultStore>();
  if (!token.empty() && read_run_token(paths.token) != token) {
    std::error_code ec;
    if (!std::filesystem::exists(paths.results, ec)) {  // nothing written yet
      ResultSet none;
      none.problem = "the run has written no " + paths.results + " yet";
      return none;
    }
    ResultSet refused;
    refused.refused = other_run;
    return refused;
  }
  // The one place besides the box zoom that traps its errors: a result file that is missing,
  // still being written or malformed is simply not read.
  try {
    read_result_file(*store, paths.results);
  } catch (const std::exception& e) {
    ResultSet none;
    none.problem = e.what();
    return none;
  }
  if (!token.empty() && read_run_token(paths.token) != token) {
    ResultSet refused;
    refused.refused = other_run;
    return refused;
  }
  store->res_ok = 1;
  ResultSet set;
  set.max_diameter_text = read_result_model(*store, paths.sections, paths.model);
  set.store = std::move(store);
  return set;
}
