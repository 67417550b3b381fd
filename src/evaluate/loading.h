// What the checks load a frame with, beyond the load cases of the model file: the frame's own
// weight, the load combinations of combinations.csv (ultimate limit states for the strength
// checks, serviceability states for the deflection check) and the deflection limit. The
// optimisation never sees these; they enter the evaluation of a frame shown.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/analysis_model.h"
#include "formats/fields.h"

class JsonWriter;

inline constexpr const char* combinations_file_name = "combinations.csv";
inline constexpr int max_combinations = 20;
inline constexpr double max_combination_factor = 100;  // a factor is from -100 to 100
inline constexpr double gravity = 9.81;  // m/s2

enum class LimitState { uls, sls };

// One line of combinations.csv: the factors of the self-weight and of each load case.
struct Combination {
  std::string name;
  LimitState kind = LimitState::uls;
  double self_weight = 0;
  std::vector<double> factors;  // per load case; cases past the end have factor 0
  double factor(size_t load_case) const { return load_case < factors.size() ? factors[load_case] : 0.0; }
  bool operator==(const Combination&) const = default;
};

struct Loading {
  bool self_weight = false;
  std::string direction = "-H";  // +L, -L, +W, -W, +H or -H
  double density = 7850;         // kg/m3
  std::vector<Combination> combinations;  // none: every load case as it stands
  double deflection_limit = 0;            // mm, 0: no check
  bool operator==(const Loading&) const = default;
};

// The unit vector of a direction text ("-H" is {0, 0, -1}); false for any other text.
bool direction_vector(const std::string& text, std::array<double, 3>& unit);

// "ULS" or "SLS".
const char* limit_state_name(LimitState kind);

// One combination from its cells: name (any text of valid UTF-8 without a comma or a line end),
// kind (ULS or SLS), self-weight factor, then at most `case_count` case factors (an empty one is
// 0), each from -max_combination_factor to max_combination_factor. Cells that cannot be one are a
// RunTimeError saying what is wrong.
Combination combination_from_cells(const std::vector<std::string>& cells, int case_count);

// Reads combinations.csv: a line "name,kind,self-weight factor,factor of case 1,..." per
// combination (kind ULS or SLS, missing case factors 0), blank lines skipped, a first line of
// column names ("name,kind,self-weight", then the cases) allowed. A line that cannot be read, a
// name that is empty or used twice, more than `case_count` case factors or more than
// max_combinations lines is a RunTimeError naming the file and line. Nothing at the path is no
// combination; anything else that cannot be read is the reader's error. `source`, when given,
// becomes the file as read.
std::vector<Combination> read_combinations(const std::string& path, int case_count, FileStamp* source = nullptr);
// Writes the table with its line of column names, replacing the file whole or not at all;
// returns the file as written.
FileStamp write_combinations(const std::vector<Combination>& list, int case_count, const std::string& path);

// The window's dump: `combinations`, a list of {name, kind, self_weight, factors (per case)}.
void write_combinations_json(JsonWriter& j, const std::vector<Combination>& list);

// Why a combination cannot be analysed as the sum of its cases: it uses (with a factor other
// than 0) two load cases whose supports or springs differ, named with the node where they differ:
// "Combination ULS1 combines load cases 1 and 2, whose supports differ at node 5"; or it has
// factors of more load cases than the model has. "" when every combination can; the first that
// cannot is named.
std::string combination_problem(const ModelFile& m, const std::vector<Combination>& list);
