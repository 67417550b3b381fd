// The settings file: a header line, then "control,text" lines.
#include "base/window_settings.h"

#include <algorithm>
#include <cctype>

#include "formats/fields.h"

namespace {
constexpr const char* header = "control,text";

bool plain_name(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}
}  // namespace

WindowSettings read_window_settings(const std::string& path) {
  WindowSettings out;
  if (file_absent(path)) return out;
  DataFileReader in(path);
  while (!in.at_end()) {
    const std::string& line = in.next_line();
    const size_t comma = line.find(',');
    if (comma == std::string::npos || line == header) continue;
    std::string name = line.substr(0, comma);
    if (plain_name(name)) out.emplace_back(std::move(name), line.substr(comma + 1));
  }
  return out;
}

void write_window_settings(const WindowSettings& settings, const std::string& path) {
  DataFileWriter out(path);
  out.line(header);
  for (const auto& [name, text] : settings) out.line(name + "," + text);
  out.commit();
}
