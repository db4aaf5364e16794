// Formats numbers the way the platform's own number-to-text conversion does.
#include "monitor/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace korvane {
namespace {

constexpr int kSignificantDigits = 15;

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

template <typename Integer>
std::wstring IntegerText(Integer value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

void DropTrailingZeros(std::string& fraction) {
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
}

}  // namespace

std::wstring GeneralText(double value, std::wstring_view decimal_separator) {
  if (std::isnan(value)) return L"NaN";
  if (std::isinf(value)) return value < 0 ? L"-Infinity" : L"Infinity";
  if (value == 0) return L"0";  // negative zero as well

  // Fifteen significant digits, correctly rounded: "d.dddddddddddddde+XX".
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific,
                                    kSignificantDigits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = text.find('e');
  std::string digits(text.substr(0, 1));
  digits += text.substr(2, e - 2);
  const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

  std::string whole;
  std::string fraction;
  std::string exponent_text;
  if (exponent >= kSignificantDigits || exponent < -4) {
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

std::wstring GeneralText(const HostNumber& number, std::wstring_view decimal_separator) {
  switch (number.kind()) {
    case HostNumber::Kind::Signed: return IntegerText(number.signed_value());
    case HostNumber::Kind::Unsigned: return IntegerText(number.unsigned_value());
    case HostNumber::Kind::Floating: break;
  }
  return GeneralText(number.floating_value(), decimal_separator);
}

}  // namespace korvane
