// A misbehaving host: gone, failing, busy or slow. The panel stays calm and never sends twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "harness/harness_win.h"
#include "panel/controls.h"

namespace {

using e2e::Narrow;
using e2e::Session;
using e2e::Ticks;

using korvane::kIdCommand5;
using korvane::kIdText2;
using korvane::kIdText3;

// Host lost: the panel lives on quietly, says so in its caption, and calls nothing ever again.
void ExpectHostLostCalmly(Session& s, e2e::HostDouble* still_listening) {
  ASSERT_TRUE(e2e::WaitFor([&] { return e2e::TextOf(s.form) == L"Korvane - host lost"; }, 5000))
      << "caption is '" << Narrow(e2e::TextOf(s.form)) << "'";
  const std::wstring text2 = s.panel.Text(kIdText2);
  EXPECT_EQ(text2, L"2290 Hz") << "the readouts keep their last texts";

  // A host started afterwards is never picked up; neither it nor the old one hears from the panel.
  e2e::HostDouble restarted;
  ASSERT_TRUE(restarted.Start());
  const std::size_t old_calls = still_listening ? still_listening->Calls().size() : 0;
  e2e::Click(s.panel.Control(kIdCommand5));
  Sleep(5000);
  EXPECT_TRUE(s.panel.process.Running()) << "the panel survives the loss";
  EXPECT_EQ(s.panel.MessageBox(0), nullptr) << "no dialog";
  EXPECT_EQ(e2e::TextOf(s.form), L"Korvane - host lost");
  EXPECT_EQ(s.panel.Text(kIdText2), text2);
  EXPECT_TRUE(restarted.Calls().empty());
  if (still_listening) {
    EXPECT_EQ(still_listening->Calls().size(), old_calls);
  }
  restarted.Stop();
}

const char kTone2290[] = "AudioFq I4:2290\nFqA I4:14085500\n";

TEST(HostGone, ExitBetweenTicks) {
  Session s(std::string(kTone2290) + "exit-after-calls 10\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(s.host.process.WaitExit(5000));
  ExpectHostLostCalmly(s, nullptr);
}

TEST(HostGone, ExitInsideARead) {
  Session s(std::string(kTone2290) + "exit-in-call 7\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(s.host.process.WaitExit(5000));
  ExpectHostLostCalmly(s, nullptr);
}

TEST(HostGone, ObjectDisconnected) {
  Session s(std::string(kTone2290) + "disconnect-after 5\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::WaitFor([&] { return s.host.Logged(" disconnect"); }, 5000));
  ExpectHostLostCalmly(s, &s.host);
  EXPECT_TRUE(s.host.process.Running());
  EXPECT_EQ(s.host.Calls().size(), 5u);
}

TEST(HostFails, ExceptionOnOneReadSkipsOnlyThatStep) {
  // Call 2 is the first tick's FqA.
  Session s(std::string(kTone2290) + "exception-on-call 2\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::WaitFor([&] { return Ticks(s.host.Calls()).size() >= 3; }, 3000));
  const auto ticks = Ticks(s.host.Calls());
  const std::vector<std::string> full = {"AudioFq", "FqA", "AudioFq", "AudioFq", "ExecuteMacros [<ALIGN:2210>]"};
  EXPECT_EQ(ticks[0], full) << "the steps after the failed read still happen";
  EXPECT_EQ(ticks[1], full) << "the next tick is normal";
  EXPECT_EQ(s.panel.Text(kIdText3), L"14085.5 kHz ");
  EXPECT_EQ(e2e::TextOf(s.form), L"Korvane");
  EXPECT_EQ(s.panel.MessageBox(0), nullptr);
}

TEST(HostBusy, BriefRejectionIsRetriedAndNothingIsLost) {
  Session s(std::string(kTone2290) + "busy-after-calls 1\nbusy-ms 1000\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::WaitFor([&] { return Ticks(s.host.Calls()).size() >= 2; }, 5000));
  EXPECT_TRUE(s.host.Logged(" busy-reject")) << "the double did reject";
  const auto calls = s.host.TimedCalls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[1].what, "FqA") << "the rejected read was retried, not skipped";
  EXPECT_GE(calls[1].begin - calls[0].end, 900.0) << "and it went through once the host was free";
  const auto ticks = Ticks(s.host.Calls());
  EXPECT_EQ(ticks[0].size(), 5u);
  EXPECT_EQ(e2e::TextOf(s.form), L"Korvane");
  EXPECT_EQ(s.panel.MessageBox(0), nullptr) << "no busy dialog";
}

TEST(HostBusy, LongRejectionGivesUpAfterAboutTwoSecondsAndCarriesOn) {
  Session s(std::string(kTone2290) + "busy-after-calls 1\nbusy-ms 3500\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::WaitFor([&] { return Ticks(s.host.Calls()).size() >= 3; }, 10000));
  const auto calls = s.host.TimedCalls();
  // The first tick's FqA was abandoned after about 2 s of retries; its next read waited out the rest.
  EXPECT_EQ(calls[1].what, "AudioFq") << "the FqA read was given up";
  EXPECT_GE(calls[1].begin - calls[0].end, 1900.0);
  EXPECT_EQ(s.panel.Text(kIdText2), L"2290 Hz");
  EXPECT_TRUE(s.panel.process.Running());
  EXPECT_EQ(e2e::TextOf(s.form), L"Korvane") << "a busy host is not a lost host";
  EXPECT_EQ(s.panel.MessageBox(0), nullptr);
}

TEST(HostSlow, NoOverlapNoBurstAndTheWindowStaysResponsive) {
  // The first 6 calls take 1.5 s each (slow, not yet "not responding"), then the host is quick again.
  Session s(std::string(kTone2290) + "delay-ms 1500\ndelay-calls 6\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::WaitFor([&] { return s.host.Calls().size() >= 1; }, 3000));
  // While a call waits, the panel's thread still answers the window system.
  DWORD_PTR ignored = 0;
  EXPECT_TRUE(SendMessageTimeoutW(s.form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored));
  const std::wstring shown = s.panel.Text(kIdText2);
  EXPECT_NE(shown, L"<no answer>");
  // Ask for another host call while one is stuck: it must wait its turn.
  e2e::Click(s.panel.Control(kIdCommand5));

  ASSERT_TRUE(e2e::WaitFor([&] { return s.host.Calls().size() >= 20; }, 25000));
  int open = 0, most_open = 0;
  for (const auto& line : s.host.LogLines()) {
    if (line.find(" call ") != std::string::npos) most_open = std::max(most_open, ++open);
    if (line.find(" done ") != std::string::npos) --open;
  }
  EXPECT_EQ(most_open, 1) << "no two host calls overlap";
  const auto macros = s.host.Macros();
  EXPECT_EQ(std::count(macros.begin(), macros.end(), "<TX>"), 1);

  // The stall happened: the first six calls were the slow ones.
  const auto calls = s.host.TimedCalls();
  ASSERT_GE(calls.size(), 7u);
  for (std::size_t i = 0; i < 6; ++i)
    EXPECT_GE(calls[i].end - calls[i].begin, 1400.0) << "call " << i + 1 << " (" << calls[i].what << ") was not slow";
  // After it the ticks come at the normal pace: no burst of catch-up ticks. The first gap, from the
  // stall's end to the next tick, is where a catch-up tick would show.
  std::vector<double> gaps;
  double previous = calls[5].end;
  for (std::size_t i = 6; i + 1 < calls.size(); ++i) {
    if (calls[i].what != "AudioFq" || calls[i + 1].what != "FqA") continue;
    gaps.push_back(calls[i].begin - previous);
    previous = calls[i].begin;
  }
  ASSERT_GE(gaps.size(), 3u);
  std::printf("after the stall: the next tick after %.0f ms, then gaps", gaps[0]);
  for (std::size_t i = 1; i < gaps.size(); ++i) std::printf(" %.0f", gaps[i]);
  std::printf(" ms\n");
  for (std::size_t i = 0; i < gaps.size(); ++i)
    EXPECT_GE(gaps[i], 350.0) << "tick " << i + 1 << " after the stall came too soon";
}

}  // namespace
