// The portable number text against the platform's own conversions, VarBstrFromR8 and VarBstrFromR4.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleauto.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <type_traits>

#include "harness/harness_win.h"
#include "host/com_ptr_win.h"
#include "monitor/number_text.h"

namespace {

std::wstring UserDecimalSeparator() {
  wchar_t separator[8] = L".";
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  return separator;
}

template <typename Real>
std::wstring Platform(Real value) {
  BSTR text = nullptr;
  HRESULT hr;
  if constexpr (std::is_same_v<Real, float>) {
    hr = VarBstrFromR4(value, LOCALE_USER_DEFAULT, 0, &text);
  } else {
    hr = VarBstrFromR8(value, LOCALE_USER_DEFAULT, 0, &text);
  }
  if (FAILED(hr)) return L"<failed>";
  std::wstring out(text, SysStringLen(text));
  SysFreeString(text);
  return out;
}

// Values over 1e-6 .. 1e18 with 1 to 17 significant digits, both signs, whole numbers among them.
std::vector<double> Values() {
  std::mt19937_64 random(20261208);
  std::uniform_int_distribution<int> exponent(-6, 18), digits(1, 17), sign(0, 1);
  std::vector<double> values = {
      0.0,       1e-6,   1e-5,     1e-4,    1e15,   1e16, 1e18, 999999999999999.0, 123456789012345.6,
      0.1 + 0.2, 2169.5, 7035.125, 14085.5, -2210.0};
  for (int i = 0; i < 12000; ++i) {
    const int n = digits(random);
    std::uint64_t mantissa = random() % static_cast<std::uint64_t>(std::pow(10.0, n));
    double value = static_cast<double>(mantissa) * std::pow(10.0, exponent(random) - n);
    if (i % 4 == 0) value = std::floor(value);
    if (sign(random)) value = -value;
    values.push_back(value);
  }
  return values;
}

// Our text against the platform's for every value of a sweep at least `at_least` long; the first
// ten differences are reported.
template <typename Real, typename Ours>
void ExpectParity(const std::vector<Real>& values, std::size_t at_least, Ours&& ours, const char* kind) {
  EXPECT_GE(values.size(), at_least) << "the sweep is too short";
  const std::wstring separator = UserDecimalSeparator();
  int mismatches = 0;
  for (Real value : values) {
    const std::wstring mine = ours(value, separator);
    const std::wstring platform = Platform(value);
    if (mine != platform && ++mismatches <= 10)
      ADD_FAILURE() << kind << " " << value << ": ours '" << e2e::Narrow(mine) << "', platform '"
                    << e2e::Narrow(platform) << "'";
  }
  std::printf("compared %zu %s with separator '%ls': %d mismatches\n", values.size(), kind, separator.c_str(),
              mismatches);
  EXPECT_EQ(mismatches, 0);
}

TEST(Parity, GeneralTextMatchesVarBstrFromR8) {
  ExpectParity(
      Values(), 10000, [](double v, const std::wstring& sep) { return korvane::GeneralText(v, sep); }, "values");
}

// Singles over 1e-6 .. 1e18, both signs, whole numbers among them, and the values on either
// side of every 7th-digit rounding boundary: d.dddddd5 x 10^k and its neighbouring singles.
std::vector<float> Singles() {
  std::mt19937_64 random(20261209);
  std::uniform_int_distribution<int> exponent(-6, 18), digits(1, 9), sign(0, 1);
  std::vector<float> values = {0.0f,       1e-6f,       1e-5f,       1e-4f,      2169.3f, 2169.5f,
                               7035100.0f, 16777215.0f, 16777205.0f, 9999999.0f, 1e20f,   -2210.0f};
  for (int i = 0; i < 12000; ++i) {
    const int n = digits(random);
    const std::uint64_t mantissa = random() % static_cast<std::uint64_t>(std::pow(10.0, n));
    double value = static_cast<double>(mantissa) * std::pow(10.0, exponent(random) - n);
    if (i % 4 == 0) value = std::floor(value);
    if (i % 3 == 0) {  // a boundary: seven digits then a 5
      const double seven = static_cast<double>(1000000 + random() % 9000000);
      value = (seven + 0.5) * std::pow(10.0, exponent(random) - 6);
    }
    float single = static_cast<float>(sign(random) ? -value : value);
    values.push_back(single);
    if (i % 3 == 0) {
      values.push_back(std::nextafter(single, 0.0f));
      values.push_back(std::nextafter(single, single < 0 ? -INFINITY : INFINITY));
    }
  }
  return values;
}

TEST(Parity, SingleTextMatchesVarBstrFromR4) {
  ExpectParity(
      Singles(), 16000, [](float v, const std::wstring& sep) { return korvane::SingleText(v, sep); }, "singles");
}

}  // namespace
