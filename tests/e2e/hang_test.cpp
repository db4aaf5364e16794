// A host that hangs inside a call without pumping messages: the panel stays responsive, says so in
// its caption, closes at once when asked, and leaves the host fit for the next panel.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness/harness_win.h"
#include "host/call_state.h"
#include "host/call_watch_win.h"
#include "panel/controls.h"

namespace {

using e2e::Narrow;
using e2e::TextOf;
using e2e::WaitFor;

using e2e::NowMs;

// The first tick's FqA (the host's call 2) blocks for `ms`.
std::string Blocking(int ms) {
  return "AudioFq I4:2210\nFqA I4:14085500\nstall-on-call 2\nstall-ms " + std::to_string(ms) + "\n";
}

// `began_after`, when given, gets a moment before the blocking call began.
bool WaitForBlock(const e2e::HostDouble& host, double* began_after = nullptr) {
  return WaitFor([&] { return host.Logged(" call FqA #2 "); }, 5000, began_after);
}

// Where `event` stands among the host's log lines; -1 when it is not there.
long LineOf(const e2e::HostDouble& host, const std::string& event) {
  const auto lines = host.LogLines();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(event) != std::string::npos) return static_cast<long>(i);
  return -1;
}

TEST(HostHangs, StaysResponsiveAndClosesAtOnceLeavingTheHostFitForTheNextPanel) {
  e2e::Session s(Blocking(8000));
  ASSERT_NE(s.form, nullptr);
  const e2e::HostDouble& host = s.host;
  e2e::Panel& panel = s.panel;
  const HWND form = s.form;
  double began_after = 0;
  ASSERT_TRUE(WaitForBlock(host, &began_after));

  // (a) The window's thread still answers the window system.
  Sleep(500);
  double start = NowMs();
  DWORD_PTR ignored = 0;
  EXPECT_TRUE(SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored));
  const double null_ms = NowMs() - start;
  EXPECT_LT(null_ms, 2000.0);

  // The caption says the host is not responding once the call is 2 s old: not before. Measured from
  // the last look at which the host had not logged the call, so a late look here cannot make it seem
  // early; the call begins in the panel a few ms before the host logs it, hence the 50 ms.
  ASSERT_TRUE(WaitFor([&] { return TextOf(form) == L"Korvane - host not responding"; }, 4000))
      << "caption is '" << Narrow(TextOf(form)) << "'";
  const double caption_ms = NowMs() - began_after;
  EXPECT_GE(caption_ms, 1950.0);

  // (c) Close from the system menu while the call is still blocked: the panel ends within 1 s.
  start = NowMs();
  PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(panel.process.WaitExit(1000)) << "the panel waited for the host";
  const double exit_ms = NowMs() - start;
  EXPECT_EQ(panel.process.ExitCode(), 0u);
  EXPECT_EQ(panel.MessageBox(0), nullptr);
  std::printf("WM_NULL answered in %.0f ms; caption after %.0f ms; exit %.0f ms after SC_CLOSE, code %lu\n", null_ms,
              caption_ms, exit_ms, panel.process.ExitCode());

  // The host runs on; once its block ends it answers a new panel as usual.
  EXPECT_TRUE(host.process.Running());
  ASSERT_TRUE(WaitFor([&] { return host.Logged(" done FqA #2"); }, 12000));
  const std::size_t calls_before = host.Calls().size();
  EXPECT_EQ(calls_before, 2u) << "nothing was sent after the close";
  ASSERT_TRUE(s.StartPanelAgain());
  EXPECT_TRUE(WaitFor([&] { return panel.Text(korvane::kIdText3) == L"14085.5 kHz "; }, 3000))
      << "Text3 is '" << Narrow(panel.Text(korvane::kIdText3)) << "'";
  EXPECT_EQ(TextOf(s.form), L"Korvane");
  EXPECT_EQ(panel.MessageBox(0), nullptr);
  panel.Close();
  EXPECT_TRUE(panel.process.WaitExit(5000));
  EXPECT_EQ(panel.process.ExitCode(), 0u);
}

// A click made once the caption says the host is not responding is dropped: sent when the call came
// back, it would key the transmitter seconds after the operator gave up on it.
TEST(HostHangs, AClickDuringAHangIsDroppedAndTheCaptionComesBack) {
  e2e::Session s(Blocking(5000));
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(WaitForBlock(s.host));
  ASSERT_TRUE(WaitFor([&] { return TextOf(s.form) == L"Korvane - host not responding"; }, 3500));
  e2e::Click(s.panel.Control(korvane::kIdCommand5));  // TX, 2 s or more into a 5 s hang

  ASSERT_TRUE(WaitFor([&] { return s.host.Logged(" done FqA #2"); }, 6000));
  const double returned_at = NowMs();
  ASSERT_TRUE(WaitFor([&] { return TextOf(s.form) == L"Korvane"; }, 1000)) << "the caption comes back";
  std::printf("caption back to 'Korvane' %.0f ms after the call returned\n", NowMs() - returned_at);
  ASSERT_TRUE(s.WaitForTicks(2));
  EXPECT_TRUE(s.host.Macros().empty()) << "the TX clicked during the hang is not sent";
  EXPECT_EQ(s.panel.Text(korvane::kIdText3), L"14085.5 kHz ");
}

// A click during a call that is only slow waits its turn and goes once.
TEST(HostHangs, AClickDuringASlowCallIsSentOnceAfterIt) {
  e2e::Session s(Blocking(1500));
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(WaitForBlock(s.host));
  Sleep(500);
  e2e::Click(s.panel.Control(korvane::kIdCommand5));
  ASSERT_TRUE(s.WaitForMacros(1));
  EXPECT_GT(LineOf(s.host, " call ExecuteMacros [<TX>]"), LineOf(s.host, " done FqA #2"))
      << "the click waits for the call";
  ASSERT_TRUE(s.WaitForTicks(2));
  EXPECT_EQ(s.host.Macros(), std::vector<std::string>{"<TX>"}) << "sent exactly once, after the call";
  EXPECT_EQ(TextOf(s.form), L"Korvane");
}

TEST(HostHangs, ClosingAfterAHangIsAnOrdinaryClose) {
  e2e::Session s(Blocking(2500));
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(WaitFor([&] { return s.host.Logged(" done FqA #2"); }, 6000));
  ASSERT_TRUE(WaitFor([&] { return TextOf(s.form) == L"Korvane"; }, 1000));
  s.panel.Close();
  ASSERT_TRUE(s.panel.process.WaitExit(5000));
  EXPECT_EQ(s.panel.process.ExitCode(), 0u);
  EXPECT_TRUE(s.host.process.Running());
}

// The watch wakes a window stuck in a call with a WM_NULL, but never piles them up: over a long hang
// nothing would take them out, and the queue's limit would one day swallow the close.
TEST(CallWatch, KeepsAtMostOneWakeQueuedForAStuckWindow) {
  korvane::CallState calls;
  korvane::CallWatch watch(calls);
  const HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  constexpr UINT kAge = WM_APP + 1;
  ASSERT_TRUE(watch.Start(window, kAge));
  MSG message;
  const auto queued = [&] { return PeekMessageW(&message, window, WM_NULL, WM_NULL, PM_NOREMOVE) != FALSE; };
  const auto take_all = [&] {
    int wakes = 0;
    while (PeekMessageW(&message, window, WM_NULL, WM_NULL, PM_REMOVE)) ++wakes;
    return wakes;
  };
  calls.Began();  // this thread now plays the window's thread stuck in a host call
  ASSERT_TRUE(WaitFor(queued, 3000)) << "a wake for the stuck window";
  Sleep(8 * korvane::CallWatch::kIntervalMs);  // eight more looks of the watch
  EXPECT_EQ(take_all(), 1) << "one WM_NULL queued however long the call";

  watch.Woken();  // taken out: the next look may queue one again
  ASSERT_TRUE(WaitFor(queued, 3000));
  Sleep(3 * korvane::CallWatch::kIntervalMs);
  EXPECT_EQ(take_all(), 1);
  calls.Ended();
  Sleep(2 * korvane::CallWatch::kIntervalMs);  // a look under way at the end may still have queued one
  take_all();
  watch.Woken();
  Sleep(3 * korvane::CallWatch::kIntervalMs);
  EXPECT_EQ(take_all(), 0) << "nothing between calls";
  DestroyWindow(window);
}

}  // namespace
