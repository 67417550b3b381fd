// The self-weight direction, the combinations file and the check that a combination's cases can
// be summed.
#include "evaluate/loading.h"

#include <cmath>
#include <set>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/json.h"
#include "formats/numtext.h"

namespace {
// The first node (0-based) where two cases hold the frame differently, or -1.
int where_supports_differ(const ModelFileCase& a, const ModelFileCase& b) {
  for (size_t i = 0; i < a.fixed.size() && i < b.fixed.size(); ++i)
    if (a.fixed[i] != b.fixed[i] || a.springs[i] != b.springs[i]) return static_cast<int>(i);
  return -1;
}

}  // namespace

bool direction_vector(const std::string& text, std::array<double, 3>& unit) {
  if (text.size() != 2 || (text[0] != '+' && text[0] != '-')) return false;
  const std::string axes = "LWH";
  const size_t k = axes.find(text[1]);
  if (k == std::string::npos) return false;
  unit = {0, 0, 0};
  unit[k] = text[0] == '+' ? 1 : -1;
  return true;
}

const char* limit_state_name(LimitState kind) { return kind == LimitState::uls ? "ULS" : "SLS"; }

Combination combination_from_cells(const std::vector<std::string>& c, int case_count) {
  if (c.size() < 3) raise_error(err::type_mismatch, "a combination is name, kind, self-weight factor, factors of the cases");
  if (c[0].empty() || c[0].find_first_of(",\r\n") != std::string::npos || !valid_utf8(c[0]))
    raise_error(err::invalid_setting, "a combination needs a name of UTF-8 text without a comma");
  Combination k;
  k.name = c[0];
  if (c[1] == "ULS") k.kind = LimitState::uls;
  else if (c[1] == "SLS") k.kind = LimitState::sls;
  else raise_error(err::invalid_setting, "the kind of a combination is ULS or SLS");
  if (static_cast<int>(c.size()) - 3 > case_count)
    raise_error(err::invalid_setting, "more factors than the " + plural(case_count, "load case"));
  for (size_t i = 2; i < c.size(); ++i) {
    const bool blank_case = i > 2 && c[i].empty();  // an empty case factor is 0
    if (!blank_case && !is_number(c[i])) raise_error(err::type_mismatch, "a factor is a number");
    const double v = blank_case ? 0.0 : to_number(c[i]);
    if (std::fabs(v) > max_combination_factor)
      raise_error(err::invalid_setting, "a factor is from " + plain_text(-max_combination_factor) + " to " +
                                            plain_text(max_combination_factor));
    if (i == 2) k.self_weight = v;
    else k.factors.push_back(v);
  }
  return k;
}

std::vector<Combination> read_combinations(const std::string& path, int case_count, FileStamp* source) {
  std::vector<Combination> list;
  if (source) *source = {};
  if (file_absent(path)) return list;
  DataFileReader in(path, LineEnds::any);  // a spreadsheet may end its lines with CR alone
  std::set<std::string> names;
  while (!in.at_end()) {
    const std::vector<std::string> c = comma_cells(in.next_line());
    if (c.size() == 1 && c[0].empty()) continue;
    // The line of column names, known by its columns, not by a name that begins like one.
    if (in.line_no() == 1 && c.size() >= 3 && c[0] == "name" && c[1] == "kind" && c[2] == "self-weight") continue;
    if (static_cast<int>(list.size()) == max_combinations)
      in.fail(err::capacity, "at most " + std::to_string(max_combinations) + " combinations");
    try {
      list.push_back(combination_from_cells(c, case_count));
    } catch (const RunTimeError& e) {
      in.fail(e.name(), e.where());
    }
    if (!names.insert(list.back().name).second) in.fail(err::invalid_setting, "the name " + list.back().name + " is used twice");
  }
  if (source) *source = in.stamp();
  return list;
}

FileStamp write_combinations(const std::vector<Combination>& list, int case_count, const std::string& path) {
  DataFileWriter out(path);
  std::string head = "name,kind,self-weight";
  for (int i = 1; i <= case_count; ++i) head += ",case " + std::to_string(i);
  out.line(head);
  for (const Combination& k : list) {
    std::string line = k.name + "," + limit_state_name(k.kind) + "," + plain_text(k.self_weight);
    for (size_t i = 0; i < static_cast<size_t>(case_count); ++i) line += "," + plain_text(k.factor(i));
    out.line(line);
  }
  out.commit();
  return out.stamp();
}

std::string combination_problem(const ModelFile& m, const std::vector<Combination>& list) {
  for (const Combination& k : list) {
    if (k.factors.size() > m.cases.size())
      return "Combination " + k.name + " has factors of " + plural(static_cast<int>(k.factors.size()), "load case") +
             ", the model " + std::to_string(m.cases.size());
    int first = -1;
    for (size_t i = 0; i < m.cases.size(); ++i) {
      if (k.factor(i) == 0) continue;
      if (first < 0) {
        first = static_cast<int>(i);
        continue;
      }
      if (const int node = where_supports_differ(m.cases[static_cast<size_t>(first)], m.cases[i]); node >= 0)
        return "Combination " + k.name + " combines load cases " + std::to_string(first + 1) + " and " +
               std::to_string(i + 1) + ", whose supports differ at node " + std::to_string(node + 1);
    }
  }
  return {};
}

void write_combinations_json(JsonWriter& j, const std::vector<Combination>& list) {
  j.key("combinations").begin_array();
  for (const Combination& k : list) {
    j.begin_object().key("name").value(k.name).key("kind").value(limit_state_name(k.kind));
    j.key("self_weight").value(k.self_weight).key("factors").begin_array();
    for (double f : k.factors) j.value(f);
    j.end_array().end_object();
  }
  j.end_array();
}
