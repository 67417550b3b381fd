// The text-to-scroll-bar rule shared by every mirrored input.
#include "formats/mirror.h"

#include <exception>

#include "formats/numtext.h"

std::optional<int> mirror_value(std::string_view text, int min, int max, double scale) {
  if (text.empty() || text == "-") return std::nullopt;
  try {
    const int value = to_i16(to_number(text) * scale);
    if (value < min || value > max) return std::nullopt;
    return value;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}
