// The poll seen from the host's side: readouts, the order of calls in each tick, the macros sent.
#include <gtest/gtest.h>

#include "harness/harness_win.h"
#include "panel/controls.h"

namespace {

using e2e::Session;
using e2e::Ticks;

using korvane::kIdText2;
using korvane::kIdText3;

const std::string kAudio = "AudioFq", kRadio = "FqA", kAlign = "ExecuteMacros [<ALIGN:2210>]";

TEST(Poll, ReadoutsAppearWithinATickAndEveryTickKeepsItsOrder) {
  Session s("AudioFq I4:2290\nFqA I4:14085500\n");
  ASSERT_NE(s.form, nullptr);
  // Text2 is written before FqA is read, so Text3 may lag it by one host call. The first tick falls
  // due 500 ms after the window shows; the rest of the budget is for a loaded machine.
  EXPECT_TRUE(e2e::WaitFor(
      [&] { return s.panel.Text(kIdText2) == L"2290 Hz" && s.panel.Text(kIdText3) == L"14085.5 kHz "; }, 900))
      << "first tick late: Text2 '" << e2e::Narrow(s.panel.Text(kIdText2)) << "', Text3 '"
      << e2e::Narrow(s.panel.Text(kIdText3)) << "'";
  ASSERT_TRUE(s.WaitForTicks(3));
  const auto calls = s.Finish();
  const auto ticks = Ticks(calls);
  ASSERT_GE(ticks.size(), 3u);
  std::size_t counted = 0;
  for (const auto& tick : ticks) {
    EXPECT_EQ(tick, (std::vector<std::string>{kAudio, kRadio, kAudio, kAudio, kAlign}));
    counted += tick.size();
  }
  EXPECT_EQ(counted, calls.size()) << "no call outside a tick";
}

TEST(Poll, FreshReadingsCanSendTwiceInOneTickThenSettle) {
  Session s("AudioFq I4:2300 I4:2100 I4:2300 I4:2210\nFqA I4:7035125\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::WaitFor([&] { return s.panel.Text(kIdText2) == L"2210 Hz"; }, 1500));
  EXPECT_EQ(s.panel.Text(kIdText3), L"7035.125 kHz ");
  const auto ticks = Ticks(s.Finish());
  ASSERT_GE(ticks.size(), 2u);
  EXPECT_EQ(ticks[0], (std::vector<std::string>{kAudio, kRadio, kAudio, kAlign, kAudio, kAlign}));
  for (std::size_t i = 1; i < ticks.size(); ++i)
    EXPECT_EQ(ticks[i], (std::vector<std::string>{kAudio, kRadio, kAudio, kAudio}));
}

TEST(Poll, FloatingReadingsAndTheBandEdges) {
  Session s("AudioFq R8:2210 R8:2169.5 I4:2170 I4:2250 I4:2251\nFqA R8:0\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::WaitFor([&] { return s.panel.Text(kIdText2) == L"2251 Hz"; }, 3000));
  EXPECT_EQ(s.panel.Text(kIdText3), L"0 kHz ");
  const auto ticks = Ticks(s.Finish());
  ASSERT_GE(ticks.size(), 3u);
  // Tick 1 reads 2210, then 2169.5 (below the band: sent), then 2170 (on the edge: not sent).
  EXPECT_EQ(ticks[0], (std::vector<std::string>{kAudio, kRadio, kAudio, kAlign, kAudio}));
  // Tick 2 reads 2250, then 2251 for the below test (no), then 2251 for the above test (sent).
  EXPECT_EQ(ticks[1], (std::vector<std::string>{kAudio, kRadio, kAudio, kAudio, kAlign}));
}

TEST(Poll, TypedTextIsOverwrittenAtTheNextTick) {
  Session s("AudioFq I4:2290\nFqA I4:14085500\n");
  ASSERT_NE(s.form, nullptr);
  const auto shown = [&] { return s.panel.Text(kIdText2) == L"2290 Hz" && s.panel.Text(kIdText3) == L"14085.5 kHz "; };
  ASSERT_TRUE(e2e::WaitFor(shown, 1500));
  for (int id : {kIdText2, kIdText3}) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(s.panel.Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"), SMTO_ABORTIFHUNG, 1000,
                        &ignored);
    ASSERT_EQ(s.panel.Text(id), L"typed");
  }
  EXPECT_TRUE(e2e::WaitFor(shown, 900));
}

// Run with the Wine session's locale set to German: the decimal separator is the comma.
TEST(Locale, RadioFrequencyUsesTheUsersDecimalSeparator) {
  Session s("AudioFq R8:2169.5\nFqA I4:7035125\n");
  ASSERT_NE(s.form, nullptr);
  EXPECT_TRUE(e2e::WaitFor([&] { return s.panel.Text(kIdText3) == L"7035,125 kHz "; }, 1500))
      << "Text3 is '" << e2e::Narrow(s.panel.Text(kIdText3)) << "'";
  EXPECT_EQ(s.panel.Text(kIdText2), L"2169,5 Hz");
}

}  // namespace
