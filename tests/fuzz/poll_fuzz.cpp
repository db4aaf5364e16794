// libFuzzer target: random host answers thrown at the panel's poll, clicks and number text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../unit/fakes.h"
#include "host/host_failure.h"
#include "monitor/number_text.h"
#include "panel/panel.h"

namespace {

using korvane::HostNumber;
using korvane::HostReading;

// Stops the run with a message when an invariant breaks; the fuzzer reports the input.
void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint64_t Word() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | Byte();
    return v;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

HostReading Reading(Bytes& in) {
  const std::uint8_t kind = in.Byte();
  const std::uint64_t bits = in.Word();
  switch (kind % 8) {
    case 0: return {korvane::kHostOk, HostNumber::Signed(static_cast<std::int64_t>(bits))};
    case 1: return {korvane::kHostOk, HostNumber::Unsigned(bits)};
    case 2: {
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return {korvane::kHostOk, HostNumber::Floating(d)};
    }
    case 3: return {korvane::kHostOk, HostNumber::Signed(static_cast<std::int64_t>(bits % 5000))};
    case 7: {
      float f;
      const auto low = static_cast<std::uint32_t>(bits);
      std::memcpy(&f, &low, sizeof f);
      return {korvane::kHostOk, HostNumber::Single(f)};
    }
    case 4: return {korvane::kHostOk, std::nullopt};
    case 5: return {0x80020009u, std::nullopt};                            // the host threw
    default: return {kind & 1 ? 0x800706BAu : 0x80010001u, std::nullopt};  // gone, or busy
  }
}

// The text must read back as the number, to its kind's significant digits, in plain or exponent form.
void CheckText(const HostNumber& number, const std::wstring& separator) {
  const bool single = number.kind() == HostNumber::Kind::Single;
  const double value = number.ToDouble();
  const std::wstring text =
      single ? korvane::SingleText(number.single_value(), separator) : korvane::GeneralText(value, separator);
  Require(!text.empty() && text.size() <= 24, "text length");
  if (!std::isfinite(value)) return;
  std::string ascii;
  for (wchar_t c : text) ascii += c == separator[0] ? '.' : static_cast<char>(c);
  Require(ascii.find_first_not_of("0123456789.-E+") == std::string::npos, "text characters");
  // Read back wider than double: 15 digits of a value near the largest double round past it.
  const long double back = std::strtold(ascii.c_str(), nullptr);
  const long double tolerance = single ? 1e-6L : 1e-14L;
  Require(std::fabs(back - static_cast<long double>(value)) <= std::fabs(static_cast<long double>(value)) * tolerance,
          "text reads back as the value");
  if (single) {
    const std::string mantissa = ascii.substr(0, ascii.find('E'));
    const std::size_t first = mantissa.find_first_of("123456789");
    std::size_t digits = 0;
    if (first != std::string::npos)
      for (char c : mantissa.substr(first)) digits += c >= '0' && c <= '9';
    Require(digits <= 7, "at most 7 significant digits");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  korvane::testing::FakeHost host;
  korvane::testing::FakeView view;
  view.separator = in.Byte() & 1 ? L"," : L".";
  host.audio.clear();
  host.radio.clear();
  for (int i = 0; i < 12 && !in.empty(); ++i) {
    host.audio.push_back(Reading(in));
    if (i % 3 == 0) host.radio.push_back(Reading(in));
  }
  if (host.audio.empty()) host.audio.push_back(Reading(in));
  if (host.radio.empty()) host.radio.push_back(Reading(in));
  for (const auto& r : host.audio)
    if (r.number) CheckText(*r.number, view.separator);

  korvane::Panel panel(host, view, host.state);
  panel.Load();
  bool lost = false;
  while (!in.empty()) {
    const std::size_t before = host.calls.size();
    const std::uint8_t action = in.Byte();
    if (action % 5 == 0) {
      panel.Click(static_cast<korvane::CommandButton>(action / 5 % 4));
    } else {
      panel.Tick();
    }
    const std::size_t made = host.calls.size() - before;
    Require(made <= 7, "at most four reads, two macros and one release a tick");
    if (lost) Require(made == 0, "nothing after the host is lost");
    lost = panel.link().HostLost();
    Require(view.text2 == L"2210  Hz" || view.text2.ends_with(L" Hz"), "Text2 form");
    Require(view.text3 == L"14100" || view.text3.ends_with(L" kHz "), "Text3 form");
    Require(host.Macros().size() <= host.calls.size(), "macro count");
  }
  return 0;
}
