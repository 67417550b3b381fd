// Numbers as text: the strict reading of typed or filed numbers, 16-bit Integer arithmetic,
// the number patterns used in text boxes, on drawings and in data files, and plain text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Strict conversion of a text to a number. Blanks (spaces, tabs) before and after are allowed;
// otherwise the text must be an optional sign, digits with at most one decimal point (at least
// one digit in all), and an optional exponent (E or e, optional sign, digits).
// "1e3", "+5", ".5", "5." are numbers; "", "-", ".", "1.2.3", "abc", "1e" raise "Type mismatch";
// a magnitude beyond the double range raises "Overflow".
double to_number(std::string_view text);

// A typed number for the input named `field` ("E [N/mm2]"): to_number, whose errors then name
// the field, "Overflow (E [N/mm2])". typed_single also refuses a value beyond the Single range.
double typed_number(std::string_view text, const std::string& field);
float typed_single(std::string_view text, const std::string& field);

// True when to_number would succeed.
bool is_number(std::string_view text);

// Nearest whole number, a value exactly halfway going to the even neighbour (12.5 -> 12,
// 13.5 -> 14, -2.5 -> -2), as a 16-bit Integer; "Overflow" outside -32768..32767 (or NaN).
int16_t to_i16(double value);

// The same rounding into a 32-bit value for drawing coordinates (twips); "Overflow" outside int32.
int32_t round_even(double value);

// A double stored as Single: "Overflow" beyond the Single range (NaN included). Inline, since
// the drawings convert every coordinate with it.
inline bool in_single_range(double v) { return v <= 3.4028234663852886e38 && v >= -3.4028234663852886e38; }
[[noreturn]] void raise_single_overflow();
inline float to_single(double v) {
  if (!in_single_range(v)) [[unlikely]]
    raise_single_overflow();
  return static_cast<float>(v);
}

// Checked 16-bit Integer arithmetic: "Overflow" when the exact result leaves -32768..32767.
int16_t checked_i16(long long value);
int16_t add_i16(int16_t a, int16_t b);
int16_t sub_i16(int16_t a, int16_t b);
int16_t mul_i16(int16_t a, int16_t b);

// Number patterns. A pattern has one or two sections separated by ';': the first formats zero
// and positive values, the second (if present) negative values, formatting the absolute value
// and writing its own literal characters. In a section: '0' is a digit always written, '#' a
// digit written only when significant ('#' just before the point writes nothing when the
// integer part is 0), '.' the decimal point, "E+00"/"E-00" scientific notation with at least
// as many exponent digits as zeros ("E+" writes the sign always), any other character is copied.
// Integer digits beyond the placeholders are all written. Values are rounded to the digits
// shown, halves away from zero on the exact decimal value.
std::string format_number(double value, std::string_view pattern);
// A value to `digits` significant digits, trailing zeros dropped: 1.23, 0.5, 2.63e+03.
std::string significant_text(double value, int digits);
// A value with four significant digits in fixed notation ("1234", "12.35", "0.001235"), without
// trailing zeros; "0" for zero (and for anything below 1e-9 of a unit), "-" for a value that is
// not finite.
std::string report_number(double value, int digits = 4);
// A count with its noun, "s" added unless one: "1 cycle", "3 cycles".
std::string plural(int n, const char* one);

namespace pattern {
inline constexpr std::string_view fixed2 = " ###0.00;-###0.00";
inline constexpr std::string_view fixed4 = "   #.0000;  -#.0000";
inline constexpr std::string_view sci4 = "  #.0000E+00; -#.0000E+00";
inline constexpr std::string_view one_decimal = "#0.0";
// The E15 field: its digit before the point is always written, so zero keeps the width.
inline constexpr std::string_view e15 = "    0.00000E+00;   -0.00000E+00";
}  // namespace pattern

// "@@@@@": the text right-aligned in five characters, padded with spaces on the left;
// a longer text is written whole.
std::string format_at5(std::string_view text);

// Shortest plain decimal text (no exponent, no leading blank, "-" for negatives, "0" for
// either zero). A Single gives the shortest text that reads back as the same Single;
// a Double at most 15 significant digits with trailing zeros dropped
// (45.00000000000001 -> "45", 55.0 / 100 -> "0.55").
std::string plain_text(float value);
std::string plain_text(double value);
