// Numbers as text: the strict reader, 16-bit Integer rounding and arithmetic, the number
// patterns of the text boxes, drawings and data files, and the plain text of Singles and doubles.
#include "support/test_support.h"
#include "formats/numtext.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

#include "formats/errors.h"

using test_support::error_name_of;
namespace {

TEST(ToNumber, StrictGrammar) {
  const struct {
    const char* text;
    double value;
  } good[] = {{"1e3", 1000}, {"+5", 5}, {".5", 0.5}, {"5.", 5}, {"5.e2", 500}, {" \t-2.5E-3\t ", -0.0025},
              {"007", 7}, {"0.1", 0.1}, {"1e-320", 1e-320},
              // a huge exponent is fine when the mantissa brings the value back into range
              {"0.000000000000000000000000001e330", 1e303}};
  for (const auto& c : good) {
    EXPECT_EQ(to_number(c.text), c.value) << c.text;
    EXPECT_TRUE(is_number(c.text)) << c.text;
  }
  EXPECT_TRUE(std::signbit(to_number("-0")));

  for (const char* text : {"", " ", "-", "+", ".", "-.", "1.2.3", "abc", "1e", "1e+", "e5", ".e5", "1 000", "- 5",
                           "1,5", "inf", "nan", "0x10", "1d5", "++1", "1e5.5", "5-", "\n5", "5\r", "\xc2\xa0" "5"}) {
    EXPECT_EQ(error_name_of([&] { to_number(text); }), err::type_mismatch) << '"' << text << '"';
    EXPECT_FALSE(is_number(text)) << '"' << text << '"';
  }
}

TEST(ToNumber, OverflowAndUnderflow) {
  for (const char* text : {"1e309", "-1e309", "1e99999999999999999999", "123456789e301", "0.1e310"}) {
    EXPECT_EQ(error_name_of([&] { to_number(text); }), err::overflow) << text;
    EXPECT_FALSE(is_number(text)) << text;
  }
  for (const char* text : {"1e-400", "-1e-99999999999999999999", "100000e-330", "0e99999"}) {
    EXPECT_EQ(to_number(text), 0.0) << text;
  }
  EXPECT_EQ(to_number("1.7976931348623157e308"), DBL_MAX);
}

TEST(Integer, RoundsHalvesToEvenThenChecksTheRange) {
  const struct {
    double value;
    int expected;
  } cases[] = {{12.5, 12},       {13.5, 14},         {-2.5, -2},       {-3.5, -4},
               {0.5, 0},         {-0.5, 0},          {2.4999, 2},      {-2.5001, -3},
               {32767.4, 32767}, {-32768.5, -32768},  // the even neighbour is still in range
               {0.49999999999999994, 0}};             // adding 0.5 and flooring gets this wrong
  for (const auto& c : cases) {
    EXPECT_EQ(to_i16(c.value), c.expected) << c.value;
    EXPECT_EQ(round_even(c.value), c.expected) << c.value;
  }
  for (double v : {32767.5, -32768.51, -32769.5, std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    EXPECT_EQ(error_name_of([&] { to_i16(v); }), err::overflow) << v;
  }
  EXPECT_EQ(round_even(2147483647.4), INT32_MAX);
  EXPECT_EQ(round_even(-2147483648.5), INT32_MIN);
  for (double v : {2147483647.5, -2147483649.0, 1e300, std::nan("")}) {
    EXPECT_EQ(error_name_of([&] { round_even(v); }), err::overflow) << v;
  }
}

TEST(Integer, CheckedArithmetic) {
  EXPECT_EQ(checked_i16(-32768), -32768);
  EXPECT_EQ(add_i16(32766, 1), 32767);
  EXPECT_EQ(sub_i16(-32767, 1), -32768);
  EXPECT_EQ(mul_i16(-256, 128), -32768);
  const std::string errors[] = {
      error_name_of([] { checked_i16(32768); }),    error_name_of([] { checked_i16(-32769); }),
      error_name_of([] { checked_i16(LLONG_MIN); }), error_name_of([] { add_i16(32767, 1); }),
      error_name_of([] { add_i16(-32768, -1); }),   error_name_of([] { sub_i16(0, -32768); }),
      error_name_of([] { mul_i16(256, 128); }),     error_name_of([] { mul_i16(-32768, -1); })};
  for (const auto& e : errors) EXPECT_EQ(e, err::overflow);
}

struct Formatted {
  double value;
  std::string_view pattern;
  const char* expected;
};

void expect_formats(const std::initializer_list<Formatted>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(format_number(c.value, c.pattern), c.expected) << c.value << " with \"" << c.pattern << '"';
  }
}

TEST(FormatNumber, PatternsInUse) {
  expect_formats({
      {0.5, pattern::fixed4, "   .5000"},
      {-0.5, pattern::fixed4, "  -.5000"},
      {3.14159, pattern::fixed4, "   3.1416"},
      {-0.0, pattern::fixed4, "   .0000"},
      {12.345, pattern::fixed2, " 12.35"},  // stored as 12.3450000000000006...
      {12345.678, pattern::fixed2, " 12345.68"},
      {0, pattern::fixed2, " 0.00"},
      {-3, pattern::fixed2, "-3.00"},
      {12345, pattern::sci4, "  1.2345E+04"},
      {-0.00012345, pattern::sci4, " -1.2345E-04"},  // stored as 1.23449999...E-04
      {5, pattern::one_decimal, "5.0"},
      {0.04, pattern::one_decimal, "0.0"},
      {0.25, pattern::one_decimal, "0.3"},
      {123.45, pattern::one_decimal, "123.5"},  // stored as 123.4500000000000028...
      {-1.25, pattern::one_decimal, "-1.3"},
      {-0.04, pattern::one_decimal, "0.0"},  // no sign on a zero shown
      {-0.05, pattern::one_decimal, "-0.1"},
  });
}

TEST(FormatNumber, CarriesIntoANewDigit) {
  expect_formats({
      {9.99995, pattern::fixed4, "   10.0000"},
      {-9.99995, pattern::fixed4, "  -10.0000"},
      {0.96, "#.0", "1.0"},
      {99999.96, pattern::sci4, "  1.0000E+05"},
      {9.99996e-5, pattern::sci4, "  1.0000E-04"},
      {9.99996e9, "0.0000E+0", "1.0000E+10"},
  });
}

TEST(FormatNumber, SignsSectionsAndExponents) {
  expect_formats({
      {12345, "0", "12345"},  // extra integer digits are all written
      {5, "000", "005"},
      {5, "#.##", "5."},
      {-1.5, "$0.0", "-$1.5"},
      {-1.5, "0.0;(0.0)", "(1.5)"},
      {-1.5, "0.0;", "-1.5"},  // an empty negative section is none
      {45.00000000000001, "", "45"},
      {1.5e123, "0.0E+0", "1.5E+123"},  // more exponent digits when needed
      {0, "0.00E+00", "0.00E+00"},
      {0, "#.00E+00", ".00E+00"},
      {4.9406564584124654e-324, "0.0E+000", "4.9E-324"},
      {DBL_MAX, "0.000E+000", "1.798E+308"},
  });
  for (double v : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    EXPECT_EQ(error_name_of([&] { format_number(v, "0.0;(0.0)"); }), err::overflow) << v;
  }
}

TEST(FormatAt5, RightAlignsAndNeverCuts) {
  EXPECT_EQ(format_at5("7"), "    7");
  EXPECT_EQ(format_at5("12345"), "12345");
  EXPECT_EQ(format_at5("123456"), "123456");
}

TEST(PlainText, Single) {
  EXPECT_EQ(plain_text(0.1f), "0.1");
  EXPECT_EQ(plain_text(1e-7f), "0.0000001");
  EXPECT_EQ(plain_text(1e20f), "100000000000000000000");
  EXPECT_EQ(plain_text(-2.5f), "-2.5");
  EXPECT_EQ(plain_text(1.0f / 3), "0.33333334");
  EXPECT_EQ(plain_text(-0.0f), "0");
  EXPECT_EQ(plain_text(std::numeric_limits<float>::denorm_min()), "0." + std::string(44, '0') + "1");
  EXPECT_EQ(plain_text(FLT_MAX), "34028235" + std::string(31, '0'));
  EXPECT_EQ(error_name_of([] { plain_text(std::numeric_limits<float>::infinity()); }), err::overflow);

  // Every text reads back as the same Single.
  for (float f = 1e-30f; f < 1e30f; f *= 1.37f) {
    for (const float v : {f, -f}) {
      const std::string text = plain_text(v);
      EXPECT_EQ(text.find('e'), std::string::npos) << text;
      EXPECT_EQ(static_cast<float>(to_number(text)), v) << text;
    }
  }
}

TEST(PlainText, Double) {
  EXPECT_EQ(plain_text(45.00000000000001), "45");
  EXPECT_EQ(plain_text(55.0 / 100), "0.55");
  EXPECT_EQ(plain_text(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(plain_text(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(plain_text(-0.0), "0");
  EXPECT_EQ(plain_text(1e21), "1000000000000000000000");
  EXPECT_EQ(plain_text(123456789012345678.0), "123456789012346000");
  EXPECT_EQ(plain_text(-0.000123456789012345678), "-0.000123456789012346");
  // The largest double has no 15-digit neighbour within range; it is written whole.
  const std::string max_text = plain_text(DBL_MAX);
  EXPECT_EQ(max_text.size(), 309u);
  EXPECT_EQ(to_number(max_text), DBL_MAX);
  EXPECT_EQ(error_name_of([] { plain_text(std::nan("")); }), err::overflow);
}

}  // namespace
