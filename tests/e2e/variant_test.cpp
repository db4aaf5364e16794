// Every kind of answer the host might give for AudioFq and FqA, and what the panel makes of it.
#include <gtest/gtest.h>

#include "harness/harness_win.h"
#include "panel/controls.h"

namespace {

struct Case {
  const char* audio;     // the host's AudioFq answer, as the double's script writes it
  const wchar_t* text2;  // what Text2 then shows
  std::size_t macros;    // "<ALIGN:2210>" sent per tick
  const char* radio;     // the host's FqA answer
  const wchar_t* text3;  // what Text3 then shows
};

constexpr wchar_t kIdle2[] = L"2210  Hz";
constexpr wchar_t kIdle3[] = L"14100";

// Integers keep their sign and width (an unsigned 64-bit maximum stays positive), R4 is single, R8, CY
// and DECIMAL are double, numeric text is a number; empty, null, error, boolean, other text and
// objects are not numbers: their step is skipped.
const Case kCases[] = {
    {"I1:100", L"100 Hz", 1, "I4:7035125", L"7035.125 kHz "},
    {"I2:2300", L"2300 Hz", 1, "I2:7035", L"7.035 kHz "},
    {"I8:2300", L"2300 Hz", 1, "I8:7035125", L"7035.125 kHz "},
    {"INT:2251", L"2251 Hz", 1, "INT:14085500", L"14085.5 kHz "},
    {"UI1:200", L"200 Hz", 1, "UI1:255", L"0.255 kHz "},
    {"UI2:2250", L"2250 Hz", 0, "UI2:65535", L"65.535 kHz "},
    {"UI4:2170", L"2170 Hz", 0, "UI4:4294967295", L"4294967.295 kHz "},
    {"UI8:18446744073709551615", L"18446744073709551615 Hz", 1, "UI8:7035125", L"7035.125 kHz "},
    {"UINT:2169", L"2169 Hz", 1, "UINT:14100000", L"14100 kHz "},
    {"R4:2169.5", L"2169.5 Hz", 1, "R4:7035125", L"7035.125 kHz "},
    {"R4:2169.3", L"2169.3 Hz", 1, "R4:7035100", L"7035.1 kHz "},  // a single's digits, not its double's
    {"R8:2250.5", L"2250.5 Hz", 1, "R8:14085500.5", L"14085.5005 kHz "},
    {"CY:2169.5", L"2169.5 Hz", 1, "CY:7035125", L"7035.125 kHz "},
    {"DECIMAL:2210.25", L"2210.25 Hz", 0, "DECIMAL:7035125", L"7035.125 kHz "},
    {"BSTR:2169.5", L"2169.5 Hz", 1, "BSTR:7035125", L"7035.125 kHz "},
    {"BSTR:abc", kIdle2, 0, "BSTR:abc", kIdle3},
    {"EMPTY", kIdle2, 0, "EMPTY", kIdle3},
    {"NULL", kIdle2, 0, "NULL", kIdle3},
    {"ERROR", kIdle2, 0, "ERROR", kIdle3},
    {"BOOL:1", kIdle2, 0, "BOOL:0", kIdle3},
    {"DISPATCH", kIdle2, 0, "DISPATCH", kIdle3},
};

class Answers : public ::testing::TestWithParam<Case> {};

TEST_P(Answers, ReadoutsAndMacrosFollowTheKindOfAnswer) {
  const Case& c = GetParam();
  e2e::Session s(std::string("AudioFq ") + c.audio + "\nFqA " + c.radio + "\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(s.WaitForTicks(3));
  EXPECT_EQ(s.panel.Text(korvane::kIdText2), c.text2);
  EXPECT_EQ(s.panel.Text(korvane::kIdText3), c.text3);
  const auto all = e2e::Ticks(s.Finish());
  ASSERT_FALSE(s.panel.process.Running());
  // Every step was still tried in every tick; only the last may be cut short by the close,
  // after which nothing more is sent.
  ASSERT_GE(all.size(), 3u);
  for (std::size_t i = 0; i + 1 < all.size(); ++i)
    EXPECT_EQ(all[i].size(), 4 + c.macros) << "tick " << i << ": every step was still tried";
  EXPECT_LE(all.back().size(), 4 + c.macros + 1) << "(a tick cut after its first read joins the one before)";
  std::size_t macros_in_full_ticks = 0;
  for (std::size_t i = 0; i + 1 < all.size(); ++i)
    for (const auto& call : all[i]) macros_in_full_ticks += call.rfind("ExecuteMacros", 0) == 0;
  EXPECT_EQ(macros_in_full_ticks, c.macros * (all.size() - 1));
  EXPECT_EQ(s.panel.process.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Variant, Answers, ::testing::ValuesIn(kCases), [](const auto& cell) {
  std::string name = cell.param.audio;
  for (char& ch : name)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

}  // namespace
