// Text-box/scroll-bar mirrors: a typed text moves its scroll bar only when it reads as a
// number whose nearest Integer (halves to even) lies in the scroll bar's range.
#pragma once

#include <optional>
#include <string_view>

// The scroll-bar value a text asks for, or nothing: "" and a lone "-" are not yet numbers,
// and a text that is not a number or leaves min..max is ignored. `scale` multiplies the
// number first (a threshold in hundredths uses 100).
std::optional<int> mirror_value(std::string_view text, int min, int max, double scale = 1.0);
