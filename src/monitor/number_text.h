// The general text of a number: plain digits, up to 15 significant, locale decimal separator.
#pragma once

#include <string>
#include <string_view>

#include "host/host_automation.h"

namespace korvane {

// Whole values without a decimal point, otherwise up to 15 significant digits
// with trailing zeros dropped; values outside 1E-05 .. 1E+15 in exponent form
// ("1.5E+20", "1E-05"). `decimal_separator` replaces the point.
std::wstring GeneralText(double value, std::wstring_view decimal_separator);
// A single-precision value the same way, with the 7 significant digits a
// single carries: 2169.3f is "2169.3", not the double's "2169.30004882813".
std::wstring SingleText(float value, std::wstring_view decimal_separator);
// Integers keep every digit; singles and doubles as above.
std::wstring GeneralText(const HostNumber& number, std::wstring_view decimal_separator);

}  // namespace korvane
