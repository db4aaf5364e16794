// Where the poll writes what a tick shows.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

class Readouts {
 public:
  virtual ~Readouts() = default;
  virtual void SetText2(std::wstring_view text) = 0;
  virtual void SetText3(std::wstring_view text) = 0;
  // The user's decimal separator, asked each time so a locale change shows.
  virtual std::wstring DecimalSeparator() const = 0;
};

}  // namespace korvane
