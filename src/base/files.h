// The data files every stage and the solver share, by name, and the capacities that more than
// one stage must agree on. All files live in the working directory.
#pragma once

// Files of the design and the analysis.
inline constexpr const char* temp_file_name = "temp_save.dat";        // the design (boxes, bars, settings)
inline constexpr const char* section_file_name = "cross_data_4th.dat";  // the section sketches
inline constexpr const char* model_file_name = "fem_gr_jo.dat";       // the analysis model, the solver's input
inline constexpr const char* post_file_name = "post_pl.dat";          // the solver's results, every cycle

// Files of a solver run.
inline constexpr const char* run_lock_name = "topo.lock";
// Its presence asks the solver running in the directory to stop after the cycle under way, as
// closing topo does; a run removes one left from before when it starts.
inline constexpr const char* run_stop_name = "topo.stop";
// The companion of the result file: the token of the run whose results lie in the folder. The
// result file's layout is fixed, so the token has a file of its own.
inline constexpr const char* run_token_name = "post_pl.run";
inline constexpr const char* run_log_name = "topo_run.log";

// Design boxes and bars of a model, and so section records of its file.
inline constexpr int max_records = 100;
// What the post-processing window reads of a result file.
inline constexpr int max_result_cycles = 200;
inline constexpr int max_result_nodes = 1000;
inline constexpr int max_result_elements = 10000;
