// General text of numbers: plain digits, 15 significant digits, exponent form at the extremes.
#include "monitor/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace korvane {
namespace {

std::wstring T(double v, std::wstring_view sep = L".") { return GeneralText(v, sep); }

TEST(NumberText, PlainForms) {
  EXPECT_EQ(T(2210), L"2210");
  EXPECT_EQ(T(14085.5), L"14085.5");
  EXPECT_EQ(T(7035.125), L"7035.125");
  EXPECT_EQ(T(-40.25), L"-40.25");
  EXPECT_EQ(T(0.0001), L"0.0001");
  EXPECT_EQ(T(123456789012345.0), L"123456789012345");
  EXPECT_EQ(T(0.1 + 0.2), L"0.3");
  EXPECT_EQ(T(1.0 / 3.0), L"0.333333333333333");
  EXPECT_EQ(T(2.0 / 3.0), L"0.666666666666667");
  EXPECT_EQ(T(-0.0), L"0");
  EXPECT_EQ(T(999999999999999.4), L"999999999999999");
}

TEST(NumberText, ExactTiesRoundAwayFromZero) {
  // Exactly representable 16-digit values whose 16th digit is a 5 and nothing follows.
  EXPECT_EQ(T(3013838856592345.0), L"3.01383885659235E+15");
  EXPECT_EQ(T(-3359084026348565.0), L"-3.35908402634857E+15");
  EXPECT_EQ(T(9999999999999995.0), L"1E+16");
  EXPECT_EQ(T(0.5), L"0.5");
  // A 4 in the 16th place stays down; a 9 there carries.
  EXPECT_EQ(T(3013838856592344.0), L"3.01383885659234E+15");
  EXPECT_EQ(T(0.1234567890123449), L"0.123456789012345");
}

TEST(NumberText, ExponentForms) {
  EXPECT_EQ(T(1e15), L"1E+15");
  EXPECT_EQ(T(999999999999999.9), L"1E+15");
  EXPECT_EQ(T(1e-5), L"1E-05");
  EXPECT_EQ(T(1.5e20), L"1.5E+20");
  EXPECT_EQ(T(-2.5e-7), L"-2.5E-07");
  EXPECT_EQ(T(1e100), L"1E+100");
  EXPECT_EQ(T(1.25e-5, L","), L"1,25E-05");
}

TEST(NumberText, LocaleSeparatorAndNonFinite) {
  EXPECT_EQ(T(7035.125, L","), L"7035,125");
  EXPECT_EQ(T(2210, L","), L"2210");
  EXPECT_EQ(T(std::numeric_limits<double>::quiet_NaN()), L"NaN");
  EXPECT_EQ(T(-std::numeric_limits<double>::infinity()), L"-Infinity");
}

TEST(NumberText, IntegersKeepEveryDigit) {
  EXPECT_EQ(GeneralText(HostNumber::Signed(std::numeric_limits<std::int64_t>::min()), L"."), L"-9223372036854775808");
  EXPECT_EQ(GeneralText(HostNumber::Unsigned(std::numeric_limits<std::uint64_t>::max()), L"."),
            L"18446744073709551615");
  EXPECT_EQ(GeneralText(HostNumber::Signed(2210), L","), L"2210");
  EXPECT_EQ(GeneralText(HostNumber::Floating(2169.5), L","), L"2169,5");
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

std::wstring S(float v, std::wstring_view sep = L".") { return SingleText(v, sep); }

// A single carries 7 significant digits; its double's 15 would show noise.
TEST(SingleText, SevenDigitsAsTheSingleCarries) {
  EXPECT_EQ(S(2169.3f), L"2169.3");
  EXPECT_EQ(GeneralText(static_cast<double>(2169.3f), L"."), L"2169.30004882813");
  EXPECT_EQ(S(2169.5f), L"2169.5");
  EXPECT_EQ(S(0.1f), L"0.1");
  EXPECT_EQ(S(-40.7f), L"-40.7");
  EXPECT_EQ(S(1234567.0f), L"1234567");
  EXPECT_EQ(S(2169.3f, L","), L"2169,3");
  EXPECT_EQ(GeneralText(HostNumber::Single(2169.3f), L"."), L"2169.3");
}

TEST(SingleText, ExponentFormFromTheSeventhDigitAndBelowMinusFour) {
  EXPECT_EQ(S(1e-5f), L"1E-05");
  EXPECT_EQ(S(1e-4f), L"0.0001");
  EXPECT_EQ(S(1e20f), L"1E+20");
  EXPECT_EQ(S(14085500.0f), L"1.40855E+07");  // 8 digits before the point
  EXPECT_EQ(S(9999999.0f), L"9999999");
  EXPECT_EQ(S(16777215.0f), L"1.677722E+07");
}

TEST(SingleText, TiesAtTheSeventhDigitRoundAwayFromZero) {
  // 16777205 is exact in a single; its 8th digit is an exact 5.
  EXPECT_EQ(S(16777205.0f), L"1.677721E+07");
  EXPECT_EQ(S(-16777205.0f), L"-1.677721E+07");
  EXPECT_EQ(S(9999999.5f), L"1E+07");  // rounds up into a new digit (not exact in a single: 10000000)
}

}  // namespace
}  // namespace korvane
