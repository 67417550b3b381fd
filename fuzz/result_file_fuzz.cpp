// Fuzz target for the solver's result file: the reader of "Read Data", then, for a file it
// takes, the model files of the small result set in tests/data, as "Read Data" reads them next.
#include <cstdint>
#include <string>

#include "formats/errors.h"
#include "fuzz_support.h"
#include "post/result_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::put(post_file_name, fuzz::input(data, size));
  // One store for every input: a fresh one clears some ten megabytes each time. The reader
  // sets every count it depends on before using it.
  static ResultStore store;
  try {
    read_result_file(store, path);
  } catch (const RunTimeError&) {
    return 0;
  }
  fuzz::check(store.pn_node <= max_result_nodes && store.pn_elem <= max_result_elements &&
                  store.pn_cyc <= max_result_cycles,
              "a result file read stays within the store");
  // The drawings take every end node as a row of the cycle's coordinates.
  for (int e = 1; e <= store.pn_elem; ++e)
    for (int k = 1; k <= 2; ++k)
      fuzz::check(store.pe_nod(e, k) >= 1 && store.pe_nod(e, k) <= store.pn_node, "an end node is a node of the file");
  try {
    read_result_model(store, MARULLA_TEST_DATA "/post_small/cross_data_4th.dat",
                      MARULLA_TEST_DATA "/post_small/fem_gr_jo.dat");
  } catch (const RunTimeError&) {
  }
  return 0;
}
