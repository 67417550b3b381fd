// "Read Data" of the post-processing window without the window: the solver's result file
// post_pl.dat, then the parts of the model it does not carry (the section sketches of
// cross_data_4th.dat, the cross-section references of fem_gr_jo.dat).
//
// post_pl.dat, fields by 1-based column (I5 integer, E15 real), lines ended by CR LF:
//   header          1-5 node count, 6-10 element count, 11-25 maximum diameter (mm)
//   element lines   1-5 number (not read), 6-10 node 1, 11-15 node 2, 16-20 kind (1 non-design)
//   per cycle, until the end of the file:
//     cycle line    1-5 cycle (not read), 6-20 compliance (N mm), 21-35 volume ratio; a line
//                   without them is no fault: the cycle is left out of the convergence plot
//     node lines    1-5 number (not read), 6-20 L, 21-35 W, 36-50 H (mm)
//     element lines 1-5 number (not read), 6-20 diameter (mm)
// Nothing marks the end of a block: the header's counts keep the reader in step, and the end of
// the file is looked for only before a cycle line.
#pragma once

#include <memory>
#include <string>

#include "base/analysis_model.h"
#include "base/run_files.h"
#include "post/result_store.h"

// Reads the result file into r: counts, pd_max, pe_nod, pe_flag, pn_cyc, pnode_xyz, pe_dia,
// and the cycle summaries pc_comp, pc_vol.
// Any fault is a RunTimeError naming the file and line, after which r holds part of the file:
// a missing file, a field that is not a number, a count beyond 1000 nodes or 10000 elements,
// an end node outside 1..pn_node, a diameter (pd_max or an element's) that is negative or
// beyond the Single range, a 201st cycle, or a file that ends inside a cycle block (a cycle cut
// short rejects the whole file, whole cycles before it included).
void read_result_file(ResultStore& r, const std::string& path = post_file_name);

// Reads the section sketches (a thickness that cannot be read is 0) and the cross-section reference of each of
// r's pn_elem elements into r, from the model files of the mesh in r's header (a model file of
// another node or element count is "Model does not match"). Returns the model file's maximum
// diameter field as written (header columns 26-40, leading blanks kept), for the text beside
// the threshold. A missing or malformed file is a RunTimeError naming the file.
std::string read_result_model(ResultStore& r, const std::string& section_path = section_file_name,
                              const std::string& model_path = model_file_name);

struct ResultSet {
  std::unique_ptr<ResultStore> store;  // null when the result file could not be read
  std::string max_diameter_text;
  std::string problem;  // why the result file could not be read
  std::string refused;  // why results in the folder were not taken (another run's), else ""
};

struct ResultPaths {
  std::string results = post_file_name;
  std::string sections = section_file_name;
  std::string model = model_file_name;
  std::string token = run_token_name;  // the companion naming the run of the results
};

// Both readers into a fresh store, so that a failure leaves the caller's store as it was. A
// result file that cannot be read ends the read quietly (the store is null: the solver may
// still be writing, and the user presses again later); a fault of the model files that follow
// is the RunTimeError of read_result_model. res_ok is 1 in a store that is returned.
// With a run `token`, only that run's results are read: the companion must name it before and
// after the result file is read (a run started in between changes it first); results there
// under another token, or none, give no store and say so in `refused`. No companion yet, with
// no result file either, is a run that has written nothing so far: no store, nothing refused,
// and the `problem` says so. A store that is not returned always comes with a reason.
ResultSet read_result_set(const ResultPaths& paths = {}, const std::string& token = {});
