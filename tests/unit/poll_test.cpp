// The poll cycle: readout texts, the alignment band, call order and the reentrancy guard.
#include "monitor/poll.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes.h"
#include "monitor/number_text.h"
#include "panel/panel.h"

namespace korvane {
namespace {

using testing::FakeHost;
using testing::FakeView;
using testing::Int;
using testing::Real;

struct Up : testing::AttachedPanel {
  std::size_t TickAndCountMacros(std::deque<HostReading> audio) {
    host.audio = std::move(audio);
    host.calls.clear();
    panel.Tick();
    return host.Macros().size();
  }
};

// Every kind of number the host may answer, at both edges of the band and one step outside each.
TEST(Poll, BandEdgesAndOutside) {
  using testing::Single;
  using testing::Unsigned;
  const struct {
    HostReading reading;
    std::size_t macros;
  } rows[] = {
      {Int(2170), 0},
      {Int(2250), 0},
      {Int(2169), 1},
      {Int(2251), 1},
      {Unsigned(2170), 0},
      {Unsigned(2250), 0},
      {Unsigned(2169), 1},
      {Unsigned(2251), 1},
      {Single(2170.0f), 0},
      {Single(2250.0f), 0},
      {Single(std::nextafter(2170.0f, 0.0f)), 1},
      {Single(std::nextafter(2250.0f, 3000.0f)), 1},
      {Real(2170.0), 0},
      {Real(2250.0), 0},
      {Real(std::nextafter(2170.0, 0.0)), 1},
      {Real(std::nextafter(2250.0, 3000.0)), 1},
      {Real(2169.5), 1},
      {Real(2250.5), 1},
  };
  Up up;
  for (const auto& row : rows)
    EXPECT_EQ(up.TickAndCountMacros({row.reading}), row.macros) << GeneralText(*row.reading.number, L".");
}

TEST(Poll, SingleReadingsKeepTheirKindInTextAndBand) {
  Up up;
  up.host.audio = {testing::Single(2169.3f)};
  up.host.radio = {testing::Single(7035100.0f)};
  up.panel.Tick();
  EXPECT_EQ(up.view.text2, L"2169.3 Hz");
  EXPECT_EQ(up.view.text3, L"7035.1 kHz ");  // divided in double precision
  EXPECT_EQ(up.host.Macros().size(), 1u);
  EXPECT_EQ(up.TickAndCountMacros({testing::Single(2170.0f)}), 0u);
  EXPECT_EQ(up.TickAndCountMacros({testing::Single(2250.0f)}), 0u);
  EXPECT_EQ(up.TickAndCountMacros({testing::Single(2250.01f)}), 1u);
  EXPECT_TRUE(BelowBand(HostNumber::Single(2169.99f)));
  EXPECT_FALSE(BelowBand(HostNumber::Single(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_TRUE(AboveBand(HostNumber::Single(std::numeric_limits<float>::infinity())));
}

TEST(Poll, WhichTestFires) {
  EXPECT_TRUE(BelowBand(HostNumber::Signed(2169)));
  EXPECT_FALSE(AboveBand(HostNumber::Signed(2169)));
  EXPECT_TRUE(AboveBand(HostNumber::Signed(2251)));
  EXPECT_FALSE(BelowBand(HostNumber::Signed(2251)));
  // No overflow at the ends of the integer range, no wrap for large unsigned values.
  EXPECT_TRUE(BelowBand(HostNumber::Signed(std::numeric_limits<std::int64_t>::min())));
  EXPECT_TRUE(AboveBand(HostNumber::Signed(std::numeric_limits<std::int64_t>::max())));
  EXPECT_TRUE(AboveBand(HostNumber::Unsigned(std::numeric_limits<std::uint64_t>::max())));
  EXPECT_FALSE(BelowBand(HostNumber::Unsigned(std::numeric_limits<std::uint64_t>::max())));
  EXPECT_TRUE(BelowBand(HostNumber::Unsigned(0)));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(BelowBand(HostNumber::Floating(nan)));
  EXPECT_FALSE(AboveBand(HostNumber::Floating(nan)));
  EXPECT_TRUE(AboveBand(HostNumber::Floating(inf)));
  EXPECT_TRUE(BelowBand(HostNumber::Floating(-inf)));
}

TEST(Poll, OneTickInOrder) {
  Up up;
  up.host.audio = {Int(2290)};
  up.host.radio = {Int(14085500)};
  up.panel.Tick();
  const std::vector<std::wstring> expected = {L"AudioFq", L"FqA", L"AudioFq", L"AudioFq",
                                              L"ExecuteMacros [<ALIGN:2210>]"};
  EXPECT_EQ(up.host.calls, expected);
  EXPECT_EQ(up.view.text2, L"2290 Hz");
  EXPECT_EQ(up.view.text3, L"14085.5 kHz ");
}

TEST(Poll, EachTestUsesItsOwnFreshReading) {
  Up up;
  up.host.audio = {Int(1500)};
  up.panel.Tick();
  EXPECT_EQ(up.view.text2, L"1500 Hz");
  EXPECT_EQ(up.host.Macros(), std::vector<std::wstring>{L"<ALIGN:2210>"});

  up.host.calls.clear();
  up.host.audio = {Int(2300), Int(2100), Int(2300)};
  up.panel.Tick();
  EXPECT_EQ(up.view.text2, L"2300 Hz");
  const std::vector<std::wstring> expected = {
      L"AudioFq", L"FqA", L"AudioFq", L"ExecuteMacros [<ALIGN:2210>]", L"AudioFq", L"ExecuteMacros [<ALIGN:2210>]"};
  EXPECT_EQ(up.host.calls, expected);
}

TEST(Poll, RadioFrequencyInKilohertz) {
  Up up;
  for (const auto& [reading, text] :
       std::vector<std::pair<HostReading, std::wstring>>{{Int(14085500), L"14085.5 kHz "},
                                                         {Int(7035125), L"7035.125 kHz "},
                                                         {Int(14100000), L"14100 kHz "},
                                                         {Int(0), L"0 kHz "},
                                                         {Real(7035125.0), L"7035.125 kHz "}}) {
    up.host.radio = {reading};
    up.panel.Tick();
    EXPECT_EQ(up.view.text3, text);
  }
  up.view.separator = L",";
  up.host.radio = {Int(7035125)};
  up.panel.Tick();
  EXPECT_EQ(up.view.text3, L"7035,125 kHz ");
}

TEST(Poll, TextsWrittenEveryTickEvenWhenUnchanged) {
  Up up;
  up.panel.Tick();
  up.panel.Tick();
  EXPECT_EQ(up.view.text_writes, 4);
}

TEST(Poll, TickInsideAHostCallIsDroppedAndClickWaitsForTheTick) {
  Up up;
  int reentries = 0;
  up.host.during_call = [&] {
    if (reentries++ == 0) {
      up.panel.Tick();
      up.panel.Click(CommandButton::Command5);
      up.panel.Click(CommandButton::Command4);
    }
  };
  up.host.audio = {Int(2210)};
  up.panel.Tick();
  const std::vector<std::wstring> expected = {
      L"AudioFq", L"FqA", L"AudioFq", L"AudioFq", L"ExecuteMacros [<TX>]", L"ExecuteMacros [<RXANDCLEAR>]"};
  EXPECT_EQ(up.host.calls, expected);

  up.host.calls.clear();
  up.panel.Tick();
  EXPECT_EQ(up.host.calls.size(), 4u) << "the guard is released after the tick";
}

}  // namespace
}  // namespace korvane
