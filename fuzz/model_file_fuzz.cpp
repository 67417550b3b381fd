// Fuzz target for the analysis model file: the whole parse (the solvers' reader), the parse up
// to the elements (the post-processing window's) and the re-analysis read-back into a model
// store of the file's own mesh.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/model_file.h"
#include "formats/errors.h"
#include "fuzz_support.h"
#include "model/model_store.h"

namespace {

// Marks in the store that a failed read-back must leave in place.
void mark(ModelStore& m) {
  m.mx_case = 4;
  m.case_cnt(1) = 3;
  m.bc_flag(2, 1) = 1;
  m.bc_val(1, 1, 2, 1) = 42;
  m.spring_val(5, 1, 6) = 7;
}

bool marked(const ModelStore& m) {
  return m.mx_case == 4 && m.case_cnt(1) == 3 && m.bc_flag(2, 1) == 1 && m.bc_val(1, 1, 2, 1) == 42 &&
         m.spring_val(5, 1, 6) == 7;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::input(data, size);
  const std::string path = fuzz::put(model_file_name, bytes);

  std::optional<ModelFile> whole, head;
  try {
    whole = read_model_file(path);
  } catch (const RunTimeError&) {
  }
  try {
    head = read_model_file(path, ModelFileExtent::through_elements);
  } catch (const RunTimeError&) {
  }
  fuzz::check(!whole || head, "a file read whole is read up to its elements");

  // The re-analysis, against a rebuilt model of the header's counts when they fit the store.
  if (!head || head->n_node > max_nodes || head->n_elem > max_elements || head->n_prop > max_records) return 0;
  static ModelStore m = [] {
    ModelStore s;
    s.form_load();
    return s;
  }();
  m.n_node = static_cast<int16_t>(head->n_node);
  m.n_elem = static_cast<int16_t>(head->n_elem);
  m.n_prop = static_cast<int16_t>(head->n_prop);
  mark(m);
  try {
    read_back_model_file(m, path);
  } catch (const RunTimeError&) {
    fuzz::check(marked(m), "a failed read-back leaves the model as it was");
    return 0;
  }
  fuzz::check(whole.has_value(), "a read-back succeeds only on a file the parser takes whole");
  const int cases = static_cast<int>(whole->cases.size());
  fuzz::check(m.mx_case == std::max(cases, 1), "the read-back opens one case per block");
  for (int c = 1; c <= cases; ++c)
    fuzz::check(m.case_cnt(c) == static_cast<int>(whole->cases[static_cast<size_t>(c - 1)].records.size()),
                "each case keeps its record count");
  return 0;
}
