// Numbers as text. Everything here is locale-independent (std::from_chars / std::to_chars):
// the windows run under the user's locale, and a decimal comma must never leak into a data file.
#include "formats/numtext.h"

#include <sstream>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>
#include <vector>

#include "formats/errors.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

enum class Parse { ok, mismatch, overflow };

// The grammar is checked by hand because from_chars also takes "inf", "nan" and hex forms,
// and strtod follows the C locale, which the GUI may have changed.
Parse parse_number(std::string_view text, double& out) {
  std::string_view s = trim_blanks(text);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const size_t body = i;  // from_chars takes no leading '+'

  // Decimal position of the first significant digit, for telling overflow from underflow
  // when from_chars reports a range error.
  long long lead = 0;
  bool significant = false;
  size_t digits = 0;
  long long int_digits = 0;
  for (; i < s.size() && is_digit(s[i]); ++i, ++digits) {
    if (significant) {
      ++int_digits;
    } else if (s[i] != '0') {
      significant = true;
      int_digits = 1;
    }
  }
  if (significant) lead = int_digits - 1;
  if (i < s.size() && s[i] == '.') {
    ++i;
    long long zeros = 0;
    for (; i < s.size() && is_digit(s[i]); ++i, ++digits) {
      if (!significant) {
        if (s[i] == '0') {
          ++zeros;
        } else {
          significant = true;
          lead = -zeros - 1;
        }
      }
    }
  }
  if (digits == 0) return Parse::mismatch;

  long long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool exp_negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      exp_negative = s[i] == '-';
      ++i;
    }
    size_t exp_digits = 0;
    for (; i < s.size() && is_digit(s[i]); ++i, ++exp_digits) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i] - '0');  // saturates
    }
    if (exp_digits == 0) return Parse::mismatch;
    if (exp_negative) exponent = -exponent;
  }
  if (i != s.size()) return Parse::mismatch;

  double value = 0;
  const auto result = std::from_chars(s.data() + body, s.data() + s.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (significant && lead + exponent > 0) return Parse::overflow;
    value = 0;  // underflow: the nearest double is zero
  } else if (result.ec != std::errc() || result.ptr != s.data() + s.size()) {
    return Parse::mismatch;
  }
  out = negative ? -value : value;
  return Parse::ok;
}

// Nearest whole number, halves to the even neighbour, whatever the FPU rounding mode is.
double round_half_even(double v) {
  const double down = std::floor(v);
  const double diff = v - down;  // exact: the fraction of a double is a double
  if (diff > 0.5) return down + 1;
  if (diff == 0.5) return std::fmod(down, 2.0) == 0 ? down : down + 1;
  return down;
}

// A non-negative decimal 0.DIGITS x 10^point: "12345", 2 is 12.345. Zero has no digits.
struct Decimal {
  std::string digits;
  int point = 0;
};

// The exact decimal value of a finite non-negative double. 767 significant digits hold the
// longest expansion a double has, so no digit here is itself rounded.
Decimal exact_decimal(double v) {
  Decimal d;
  if (v == 0) return d;
  std::array<char, 800> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific, 767);
  const std::string_view text(buf.data(), static_cast<size_t>(r.ptr - buf.data()));
  const size_t e = text.find('e');
  d.digits.push_back(text[0]);
  d.digits.append(text.substr(2, e - 2));
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  int exp10 = 0;
  std::string_view exp_text = text.substr(e + 1);
  if (exp_text.front() == '+') exp_text.remove_prefix(1);
  std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exp10);
  d.point = exp10 + 1;
  return d;
}

// Keeps the first `keep` digits, halves away from zero. The digits are exact, so the first
// dropped digit alone decides.
void round_digits(Decimal& d, long long keep) {
  if (keep >= static_cast<long long>(d.digits.size())) return;
  if (keep < 0) {
    d = Decimal{};
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    size_t i = d.digits.size();
    while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
    if (i == 0) {
      d.digits.insert(d.digits.begin(), '1');  // 9.99 -> 10.0: one more integer digit
      ++d.point;
    } else {
      ++d.digits[i - 1];
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.point = 0;
}

char digit_at(const Decimal& d, long long index) {
  return index >= 0 && index < static_cast<long long>(d.digits.size()) ? d.digits[static_cast<size_t>(index)]
                                                                        : '0';
}

// One section of a pattern, taken apart once.
struct Token {
  enum Kind { literal, int_digit, point, frac_digit, exponent } kind;
  char ch = 0;            // the literal; '0' or '#' for digits; 'E' or 'e' for the exponent
  bool sign_always = false;  // "E+"
  int exp_digits = 0;        // zeros after "E+"/"E-": the least number of exponent digits
};

struct Section {
  std::vector<Token> tokens;
  int int_places = 0;
  int frac_places = 0;
  bool numeric = false;  // has somewhere to write the number
  bool scientific = false;
};

Section parse_section(std::string_view s) {
  Section sec;
  bool seen_point = false;
  bool seen_placeholder = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if ((c == '0' || c == '#') && !sec.scientific) {
      sec.tokens.push_back({seen_point ? Token::frac_digit : Token::int_digit, c});
      ++(seen_point ? sec.frac_places : sec.int_places);
      seen_placeholder = true;
    } else if (c == '.' && !seen_point && !sec.scientific) {
      sec.tokens.push_back({Token::point, c});
      seen_point = true;
    } else if ((c == 'E' || c == 'e') && !sec.scientific && (seen_placeholder || seen_point) &&
               i + 2 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-') && (s[i + 2] == '0' || s[i + 2] == '#')) {
      Token t{Token::exponent, c};
      t.sign_always = s[i + 1] == '+';
      i += 2;
      for (; i < s.size() && (s[i] == '0' || s[i] == '#'); ++i) {
        if (s[i] == '0') ++t.exp_digits;
      }
      --i;
      sec.tokens.push_back(t);
      sec.scientific = true;
    } else {
      sec.tokens.push_back({Token::literal, c});
    }
  }
  sec.numeric = seen_placeholder || seen_point;
  return sec;
}

// The digits a section shows of a magnitude, rounded to its places.
struct ShownDigits {
  std::string int_digits;  // without leading zeros; empty for an integer part of 0
  std::string frac_digits;
  int exponent = 0;
  bool zero = false;  // nothing but zeros is shown
};

ShownDigits shown_digits(double magnitude, const Section& sec) {
  Decimal d = exact_decimal(magnitude);
  ShownDigits shown;
  std::string& int_digits = shown.int_digits;
  std::string& frac_digits = shown.frac_digits;
  int& exponent = shown.exponent;
  if (sec.scientific) {
    int mantissa_int = sec.int_places;
    if (mantissa_int + sec.frac_places == 0) mantissa_int = 1;
    round_digits(d, mantissa_int + sec.frac_places);
    if (!d.digits.empty()) {
      exponent = d.point - mantissa_int;
      for (int k = 0; k < mantissa_int; ++k) int_digits.push_back(digit_at(d, k));
      for (int k = 0; k < sec.frac_places; ++k) frac_digits.push_back(digit_at(d, mantissa_int + k));
    } else {
      frac_digits.assign(static_cast<size_t>(sec.frac_places), '0');
    }
  } else {
    round_digits(d, static_cast<long long>(d.point) + sec.frac_places);
    for (long long k = 0; k < d.point; ++k) int_digits.push_back(digit_at(d, k));
    for (int k = 0; k < sec.frac_places; ++k) frac_digits.push_back(digit_at(d, static_cast<long long>(d.point) + k));
  }
  shown.zero = d.digits.empty();
  return shown;
}

// How many fraction digits are written: '#' places at the end of the fraction drop their zeros.
size_t kept_fraction_places(const std::string& frac_digits, const Section& sec) {
  size_t place = frac_digits.size();
  for (auto it = sec.tokens.rbegin(); it != sec.tokens.rend() && place > 0; ++it) {
    if (it->kind != Token::frac_digit) continue;
    if (it->ch != '#' || frac_digits[place - 1] != '0') break;
    --place;
  }
  return place;
}

// Formats a non-negative finite value with one section. `shown_zero` tells whether the
// rounded value is zero, which decides the sign of a one-section pattern.
std::string format_section(double magnitude, const Section& sec, bool& shown_zero) {
  const ShownDigits shown = shown_digits(magnitude, sec);
  const std::string& int_digits = shown.int_digits;
  const std::string& frac_digits = shown.frac_digits;
  const int exponent = shown.exponent;
  shown_zero = shown.zero;
  const size_t frac_kept = kept_fraction_places(frac_digits, sec);

  std::string out;
  const int n_int = static_cast<int>(int_digits.size());
  int int_place = 0;
  int frac_place = 0;
  bool int_written = sec.int_places > 0;
  for (const Token& t : sec.tokens) {
    switch (t.kind) {
      case Token::literal:
        out.push_back(t.ch);
        break;
      case Token::int_digit: {
        // Integer places take digits from the right; the leftmost takes all the rest.
        const int from_right = sec.int_places - 1 - int_place;
        if (int_place == 0 && n_int > sec.int_places) out.append(int_digits, 0, static_cast<size_t>(n_int - sec.int_places));
        if (from_right < n_int) {
          out.push_back(int_digits[static_cast<size_t>(n_int - 1 - from_right)]);
        } else if (t.ch == '0') {
          out.push_back('0');
        }
        ++int_place;
        break;
      }
      case Token::point:
        if (!int_written) {
          out.append(int_digits);
          int_written = true;
        }
        out.push_back('.');
        break;
      case Token::frac_digit:
        if (static_cast<size_t>(frac_place) < frac_kept) out.push_back(frac_digits[static_cast<size_t>(frac_place)]);
        ++frac_place;
        break;
      case Token::exponent: {
        out.push_back(t.ch);
        if (exponent < 0) {
          out.push_back('-');
        } else if (t.sign_always) {
          out.push_back('+');
        }
        std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
        if (e == "0" && t.exp_digits == 0) e.clear();
        if (static_cast<int>(e.size()) < t.exp_digits) e.insert(0, static_cast<size_t>(t.exp_digits) - e.size(), '0');
        out.append(e);
        break;
      }
    }
  }
  return out;
}

// Shortest digits and decimal exponent of the text std::to_chars gives ("1.5e+02", "-3e-07"),
// written out without an exponent.
std::string expand_plain(std::string_view sci) {
  std::string out;
  if (!sci.empty() && sci.front() == '-') {
    out.push_back('-');
    sci.remove_prefix(1);
  }
  const size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string_view exp_text = sci.substr(e + 1);
  if (!exp_text.empty() && exp_text.front() == '+') exp_text.remove_prefix(1);
  int exp10 = 0;
  std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exp10);
  const long long point = static_cast<long long>(exp10) + 1;
  const auto n = static_cast<long long>(digits.size());
  if (point <= 0) {
    out += "0.";
    out.append(static_cast<size_t>(-point), '0');
    out += digits;
  } else if (point >= n) {
    out += digits;
    out.append(static_cast<size_t>(point - n), '0');
  } else {
    out.append(digits, 0, static_cast<size_t>(point));
    out.push_back('.');
    out.append(digits, static_cast<size_t>(point), std::string::npos);
  }
  return out;
}

template <typename T>
std::string shortest_plain(T value) {
  if (!std::isfinite(value)) raise_error(err::overflow);
  if (value == 0) return "0";  // also for -0
  std::array<char, 64> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific);
  return expand_plain(std::string_view(buf.data(), static_cast<size_t>(r.ptr - buf.data())));
}

}  // namespace

double to_number(std::string_view text) {
  double value = 0;
  switch (parse_number(text, value)) {
    case Parse::ok:
      return value;
    case Parse::overflow:
      raise_error(err::overflow);
    case Parse::mismatch:
      break;
  }
  raise_error(err::type_mismatch);
}

bool is_number(std::string_view text) {
  double value = 0;
  return parse_number(text, value) == Parse::ok;
}

int16_t to_i16(double value) {
  if (std::isnan(value)) raise_error(err::overflow);
  const double r = round_half_even(value);
  if (r < -32768.0 || r > 32767.0) raise_error(err::overflow);
  return static_cast<int16_t>(r);
}

int32_t round_even(double value) {
  if (std::isnan(value)) raise_error(err::overflow);
  const double r = round_half_even(value);
  if (r < -2147483648.0 || r > 2147483647.0) raise_error(err::overflow);
  return static_cast<int32_t>(r);
}

int16_t checked_i16(long long value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
    raise_error(err::overflow);
  }
  return static_cast<int16_t>(value);
}

int16_t add_i16(int16_t a, int16_t b) { return checked_i16(static_cast<long long>(a) + b); }
int16_t sub_i16(int16_t a, int16_t b) { return checked_i16(static_cast<long long>(a) - b); }
int16_t mul_i16(int16_t a, int16_t b) { return checked_i16(static_cast<long long>(a) * b); }

// Sections after the second are ignored. An empty pattern writes the plain text; a negative
// value without a (non-empty) second section gets a "-" in front, unless it rounds to zero
// in the digits shown: "-0.0" would claim a sign the number shown does not have.
// Infinities and NaN have no text in any pattern: "Overflow".
std::string format_number(double value, std::string_view pattern) {
  if (!std::isfinite(value)) raise_error(err::overflow);
  const size_t semi = pattern.find(';');
  const std::string_view first = pattern.substr(0, semi);
  std::string_view second;
  if (semi != std::string_view::npos) second = pattern.substr(semi + 1, pattern.find(';', semi + 1) - (semi + 1));

  bool shown_zero = false;
  if (value < 0 && !second.empty()) return format_section(-value, parse_section(second), shown_zero);
  if (first.empty()) return plain_text(value);
  const Section sec = parse_section(first);
  std::string text = format_section(std::fabs(value), sec, shown_zero);
  if (value < 0 && sec.numeric && !shown_zero) text.insert(0, 1, '-');
  return text;
}

std::string format_at5(std::string_view text) {
  std::string out;
  if (text.size() < 5) out.assign(5 - text.size(), ' ');
  out.append(text);
  return out;
}

// Shortest round-trip digits, written without an exponent however large or small:
// 1e20f -> "100000000000000000000".
std::string plain_text(float value) { return shortest_plain(value); }

std::string plain_text(double value) {
  if (!std::isfinite(value)) raise_error(err::overflow);
  if (value == 0) return "0";
  // Round to 15 significant digits first, so arithmetic noise past them disappears.
  std::array<char, 64> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific, 14);
  double rounded = 0;
  // Near the top of the range the 15 digits can exceed the largest double: keep the value.
  if (std::from_chars(buf.data(), r.ptr, rounded).ec != std::errc()) rounded = value;
  return shortest_plain(rounded);
}

void raise_single_overflow() { raise_error(err::overflow); }

double typed_number(std::string_view text, const std::string& field) {
  try {
    return to_number(text);
  } catch (const RunTimeError& e) {
    raise_error(e.name(), field);
  }
}

float typed_single(std::string_view text, const std::string& field) {
  const double v = typed_number(text, field);
  if (!in_single_range(v)) raise_error(err::overflow, field);
  return static_cast<float>(v);
}

std::string significant_text(double value, int digits) {
  std::ostringstream s;
  s.precision(digits);
  s << value;
  return s.str();
}

std::string report_number(double value, int digits) {
  if (!std::isfinite(value)) return "-";
  const double size = std::fabs(value);
  if (size < 1e-9) return "0";
  const int magnitude = static_cast<int>(std::floor(std::log10(size)));
  const int decimals = std::clamp(digits - 1 - magnitude, 0, 9);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string s = text;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

std::string plural(int n, const char* one) { return std::to_string(n) + " " + one + (n == 1 ? "" : "s"); }
