// Formats numbers the way the platform's own number-to-text conversion does.
#include "monitor/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace korvane {
namespace {

// As many significant digits as each kind carries: the platform prints a
// double with 15 and a single with 7.
constexpr int kDoubleDigits = 15;
constexpr int kSingleDigits = 7;

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

template <typename Integer>
std::wstring IntegerText(Integer value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

// The first `count` digits of the exact decimal expansion of `magnitude`, not
// rounded, and its decimal exponent. Rounding at a longer precision cannot
// reach digit `count` unless every digit in between is a 9; only then is the
// exact expansion (at most 767 significant digits) asked for. The C library's
// conversion is exact on every platform this builds for.
std::string TruncatedDigits(double magnitude, std::size_t count, int& exponent) {
  for (int precision : {static_cast<int>(count) + 12, 780}) {
    char buffer[820];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*e", precision, magnitude);
    const std::string_view text(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    const std::size_t e = text.find('e');
    std::string digits(text.substr(0, 1));
    digits += text.substr(2, e - 2);
    exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    if (digits.find_first_not_of('9', count) != std::string::npos || precision == 780) {
      digits.resize(count);
      return digits;
    }
  }
  return {};
}

// `count` significant digits, rounded half away from zero as the platform's
// own conversion does (to_chars alone would round exact ties to even).
std::string SignificantDigits(double magnitude, std::size_t count, int& exponent) {
  std::string digits = TruncatedDigits(magnitude, count + 1, exponent);
  const bool round_up = digits.back() >= '5';
  digits.pop_back();
  if (!round_up) return digits;
  std::size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    ++exponent;
  } else {
    ++digits[i - 1];
  }
  return digits;
}

void DropTrailingZeros(std::string& fraction) {
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
}

// Up to `significant` digits; exponent form where the exponent reaches that
// many digits or lies below -4.
std::wstring Text(double value, int significant, std::wstring_view decimal_separator) {
  if (std::isnan(value)) return L"NaN";
  if (std::isinf(value)) return value < 0 ? L"-Infinity" : L"Infinity";
  if (value == 0) return L"0";  // negative zero as well

  int exponent = 0;
  const std::string digits = SignificantDigits(std::fabs(value), static_cast<std::size_t>(significant), exponent);
  std::string whole;
  std::string fraction;
  std::string exponent_text;
  if (exponent >= significant || exponent < -4) {
    whole = digits.substr(0, 1);
    fraction = digits.substr(1);
    exponent_text = exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) exponent_text += '0';
    exponent_text += std::to_string(magnitude);
  } else if (exponent >= 0) {
    whole = digits.substr(0, static_cast<std::size_t>(exponent) + 1);
    fraction = digits.substr(static_cast<std::size_t>(exponent) + 1);
  } else {
    whole = "0";
    fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  DropTrailingZeros(fraction);

  std::wstring out = value < 0 ? L"-" : L"";
  out += Widen(whole);
  if (!fraction.empty()) {
    out += decimal_separator;
    out += Widen(fraction);
  }
  out += Widen(exponent_text);
  return out;
}

}  // namespace

std::wstring GeneralText(double value, std::wstring_view decimal_separator) {
  return Text(value, kDoubleDigits, decimal_separator);
}

std::wstring SingleText(float value, std::wstring_view decimal_separator) {
  return Text(value, kSingleDigits, decimal_separator);
}

std::wstring GeneralText(const HostNumber& number, std::wstring_view decimal_separator) {
  switch (number.kind()) {
    case HostNumber::Kind::Signed: return IntegerText(number.signed_value());
    case HostNumber::Kind::Unsigned: return IntegerText(number.unsigned_value());
    case HostNumber::Kind::Single: return SingleText(number.single_value(), decimal_separator);
    case HostNumber::Kind::Floating: break;
  }
  return GeneralText(number.floating_value(), decimal_separator);
}

}  // namespace korvane
