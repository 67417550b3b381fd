// The analysis model file fem_gr_jo.dat from the model store: written by "Analysis" with the
// analysis settings, and read back into the store by the re-analysis.
#pragma once

#include <string>

#include "base/analysis_model.h"

struct ModelStore;

// Counts each case's records for c = 1..mx_case into case_cnt: the (node, dof 1..6) pairs whose
// fixed flag rounds to 1 plus those whose load (N, N mm) is non-zero. Returns the number of cases with records,
// which is the number of load-case blocks written.
int count_case_records(ModelStore& m);

// Sets the cross-section reference point of every element of a design set (value 1 of its set
// negative): P1 + (0, 1, 0), or P1 + (0, 0, 1) when |W2 - W1| / len > 0.998 (the element runs
// nearly along W). Coordinates in mm; other elements keep their reference.
void set_design_references(ModelStore& m);

// Counts the cases, sets the design references and replaces the file atomically: header, nodes
// (L, W, H in mm), elements, property sets (N/mm2, mm) and one block for every case with records
// (constraints, loads in N and N mm, springs to ground for every node and dof 1..6).
void write_model_file(ModelStore& m, const AnalysisSettings& settings, const std::string& path = model_file_name);

// The re-analysis: reads the file against the rebuilt model (its node, element and set counts
// must be the file's) and only then replaces every case's conditions, loads and springs, renumbers
// the written cases 1, 2, ... and sets mx_case to their number (at least 1, so that case 1 stays
// editable). Returns the settings for Text31..Text35 and Check5. On any error the model is unchanged.
AnalysisSettings read_back_model_file(ModelStore& m, const std::string& path = model_file_name);
