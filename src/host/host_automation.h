// The one interface through which every call to the host program goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvane {

// The host's own status word for a call: 0 is success, anything else is the
// failure the transport or the host reported (HRESULT values on Windows).
using HostStatus = std::uint32_t;
inline constexpr HostStatus kHostOk = 0;

// A number as the host returned it, keeping its kind: integer readings stay
// integers (signed or unsigned, so a large unsigned value never turns
// negative), single-precision readings stay single, others are double.
class HostNumber {
 public:
  enum class Kind { Signed, Unsigned, Single, Floating };

  static HostNumber Signed(std::int64_t v) { return HostNumber(Kind::Signed, v, 0, 0.0); }
  static HostNumber Unsigned(std::uint64_t v) { return HostNumber(Kind::Unsigned, 0, v, 0.0); }
  static HostNumber Single(float v) { return HostNumber(Kind::Single, 0, 0, v); }  // a double holds it exactly
  static HostNumber Floating(double v) { return HostNumber(Kind::Floating, 0, 0, v); }

  Kind kind() const { return kind_; }
  std::int64_t signed_value() const { return s_; }
  std::uint64_t unsigned_value() const { return u_; }
  double floating_value() const { return d_; }
  float single_value() const { return static_cast<float>(d_); }
  double ToDouble() const {
    switch (kind_) {
      case Kind::Signed: return static_cast<double>(s_);
      case Kind::Unsigned: return static_cast<double>(u_);
      case Kind::Single:
      case Kind::Floating: break;
    }
    return d_;
  }

  bool operator==(const HostNumber&) const = default;

 private:
  HostNumber(Kind k, std::int64_t s, std::uint64_t u, double d) : kind_(k), s_(s), u_(u), d_(d) {}
  Kind kind_;
  std::int64_t s_;
  std::uint64_t u_;
  double d_;
};

// What a property read came back with. `number` is empty when the call failed
// or when the host answered something that is not a number.
struct HostReading {
  HostStatus status = kHostOk;
  std::optional<HostNumber> number;
};

class HostAutomation {
 public:
  virtual ~HostAutomation() = default;
  // Finds the running object registered under `prog_id` and holds it. Never
  // starts the host. True when a reference is now held.
  virtual bool Attach(std::wstring_view prog_id) = 0;
  // Drops the held reference, if any. Asks nothing of the host.
  virtual void Release() = 0;
  virtual HostStatus ExecuteMacros(std::wstring_view macro) = 0;
  virtual HostReading AudioFq() = 0;
  virtual HostReading FqA() = 0;
};

}  // namespace korvane
