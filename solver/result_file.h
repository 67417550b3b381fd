// The result file post_pl.dat that the post-processing window reads: the mesh once, then every
// cycle's node coordinates and element diameters.
#pragma once

#include <string>
#include <vector>

#include "optimiser.h"

struct ModelFile;

inline constexpr const char* result_file_name = "post_pl.dat";

// Replaces the result file whole and atomically: header (node count, element count, Dmax in mm),
// one line per element (number, end nodes, kind 1 non-design or 0 design), then per cycle a
// cycle line (cycle, compliance N mm, volume ratio, change), the node lines (L, W, H in mm) and
// one line per element with its diameter in mm.
void write_result_file(const std::string& path, const ModelFile& model, const std::vector<CycleRecord>& cycles);

// Removes a result file left by an earlier run, so that its results are never shown for this model.
void remove_result_file(const std::string& path);
