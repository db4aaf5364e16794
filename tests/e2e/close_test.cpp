// Every close the operator can make, in every state the host can be in: the panel ends within a second,
// sends nothing more, shows no dialog, and lets go normally of a host that still answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "harness_win.h"
#include "panel/controls.h"

namespace {

using e2e::Narrow;
using e2e::TextOf;
using e2e::WaitFor;

enum class Host { Healthy, Slow, HungInACall, HungBetweenCalls, HungAtStartUp };
enum class Close { CloseBox, AltF4, AltF4FromAButton, SystemMenu, Taskbar, WmCloseFromAnotherProcess };

const char* Name(Host h) {
  const char* names[] = {"Healthy", "Slow", "HungInACall", "HungBetweenCalls", "HungAtStartUp"};
  return names[static_cast<int>(h)];
}
const char* Name(Close c) {
  const char* names[] = {"CloseBox", "AltF4", "AltF4FromAButton", "SystemMenu", "Taskbar", "WmCloseFromAnotherProcess"};
  return names[static_cast<int>(c)];
}

// Weakly registered, so that the double sees the panel's release; the tone in the band, so that
// no macro is sent but the ones clicked.
std::string ScriptFor(Host host) {
  const std::string base = "weak\nAudioFq I4:2210\nFqA I4:14085500\n";
  switch (host) {
    case Host::Healthy: return base;
    case Host::Slow: return base + "delay-ms 1000\n";
    case Host::HungInACall: return base + "stall-on-call 2\nstall-ms 30000\n";
    case Host::HungBetweenCalls: return base + "freeze-after-call 4\nstall-ms 30000\n";
    case Host::HungAtStartUp: return base + "freeze-at-start\nstall-ms 30000\n";
  }
  return base;
}

double NowMs() { return static_cast<double>(GetTickCount64()); }

bool NotResponding(HWND form) { return TextOf(form) == L"Korvane - host not responding"; }

// Brings the panel to the state under test. Returns false when it does not get there.
bool Reach(Host host, e2e::HostDouble& double_host, e2e::Panel& panel, HWND form) {
  const auto shown = [&] { return IsWindowVisible(form) != FALSE; };
  switch (host) {
    case Host::Healthy: return WaitFor([&] { return panel.Text(korvane::kIdText3) == L"14085.5 kHz "; }, 3000);
    case Host::Slow: {
      // Half a second into a one-second call, with a click waiting for it.
      const std::size_t seen = double_host.Calls().size();
      if (!WaitFor([&] { return double_host.Calls().size() > seen; }, 3000)) return false;
      Sleep(300);
      e2e::Click(panel.Control(korvane::kIdCommand5));
      Sleep(200);
      return true;
    }
    case Host::HungInACall: return WaitFor([&] { return NotResponding(form); }, 4000);
    case Host::HungBetweenCalls: return WaitFor([&] { return double_host.Logged(" freeze "); }, 3000) && shown();
    case Host::HungAtStartUp: return WaitFor([&] { return shown() && NotResponding(form); }, 5000);
  }
  return false;
}

bool Press(HWND form, LRESULT where) {
  const POINT at = e2e::FramePoint(form, where);
  if (at.x < 0) return false;
  SetCursorPos(at.x, at.y);
  Sleep(50);
  e2e::MouseButton(true);
  Sleep(50);
  return true;
}

// Makes the close; `made_at` is when its last keystroke, click or message went out.
bool CloseThePanel(Close how, HWND form, double& made_at) {
  made_at = NowMs();
  switch (how) {
    case Close::CloseBox:
      if (!Press(form, HTCLOSE)) return false;
      made_at = NowMs();
      e2e::MouseButton(false);
      return true;
    case Close::AltF4: e2e::PressKeys({VK_MENU, VK_F4}); return true;  // the focus is in the mode list, as at start
    case Close::AltF4FromAButton: {
      // Tab round to RTTY-N, wherever the focus is now.
      const HWND button = GetDlgItem(form, korvane::kIdCommand1);
      for (int i = 0; i < 7 && e2e::Focused(form) != button; ++i) {
        e2e::PressKeys({VK_TAB});
        WaitFor([&] { return e2e::Focused(form) == button; }, 300);
      }
      if (e2e::Focused(form) != button) return false;
      made_at = NowMs();
      e2e::PressKeys({VK_MENU, VK_F4});
      return true;
    }
    case Close::SystemMenu:
      if (!Press(form, HTSYSMENU)) return false;
      e2e::MouseButton(false);
      Sleep(300);
      made_at = NowMs();
      e2e::PressKeys({'C'});
      return true;
    case Close::Taskbar: return PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
    case Close::WmCloseFromAnotherProcess: {
      DWORD_PTR ignored = 0;
      return SendMessageTimeoutW(form, WM_CLOSE, 0, 0, SMTO_NORMAL, 1000, &ignored) != 0;
    }
  }
  return false;
}

class Closing : public ::testing::TestWithParam<std::tuple<Host, Close>> {};

TEST_P(Closing, EndsWithinASecondSendsNothingMoreAndLetsGoOfAHostThatAnswers) {
  const auto [host_state, how] = GetParam();
  e2e::HostDouble host;
  ASSERT_TRUE(host.Start(ScriptFor(host_state)));
  const int baseline = host.RegisteredRefs();
  e2e::Panel panel;
  ASSERT_TRUE(panel.Start());
  const HWND form = panel.Form();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(Reach(host_state, host, panel, form))
      << Name(host_state) << " not reached; caption '" << Narrow(TextOf(form)) << "'";

  const std::size_t calls_before = host.Calls().size();
  double made_at = 0;
  ASSERT_TRUE(CloseThePanel(how, form, made_at)) << "could not close by " << Name(how);
  const double waited = NowMs() - made_at;
  const bool ended = panel.process.WaitExit(waited < 1000 ? static_cast<DWORD>(1000 - waited) : 0);
  const double took = NowMs() - made_at;
  std::printf("%s, %s: ended after %.0f ms\n", Name(host_state), Name(how), took);
  ASSERT_TRUE(ended) << "still running after 1 s; caption '" << Narrow(TextOf(form)) << "'";
  EXPECT_EQ(panel.process.ExitCode(), 0u);

  const bool answers = host_state == Host::Healthy || host_state == Host::Slow;
  if (answers) {
    EXPECT_TRUE(WaitFor([&] { return host.LastRefs() <= baseline; }, 3000))
        << "released normally; refs " << host.LastRefs() << ", before the panel " << baseline;
    const std::size_t in_progress = host_state == Host::Healthy ? 4 : 0;  // a healthy tick takes a few ms
    EXPECT_LE(host.Calls().size(), calls_before + in_progress) << "nothing sent after the close";
    EXPECT_TRUE(host.Macros().empty()) << "the click waiting for the slow call is not sent";
  } else {
    EXPECT_EQ(host.Calls().size(), calls_before);
  }
  host.process.Kill();  // a frozen double would not hear a Stop
}

INSTANTIATE_TEST_SUITE_P(
    EveryHostStateAndEveryClose, Closing,
    ::testing::Combine(::testing::Values(Host::Healthy, Host::Slow, Host::HungInACall, Host::HungBetweenCalls,
                                         Host::HungAtStartUp),
                       ::testing::Values(Close::CloseBox, Close::AltF4, Close::AltF4FromAButton, Close::SystemMenu,
                                         Close::Taskbar, Close::WmCloseFromAnotherProcess)),
    [](const auto& info) { return std::string(Name(std::get<0>(info.param))) + "_" + Name(std::get<1>(info.param)); });

// A press on the close box that the operator takes back (let go elsewhere) closes nothing, also during a hang.
TEST(ClosingWithdrawn, APressLetGoOffTheCloseBoxLeavesThePanelRunning) {
  e2e::HostDouble host;
  ASSERT_TRUE(host.Start("AudioFq I4:2210\nFqA I4:14085500\nstall-on-call 2\nstall-ms 3500\n"));
  e2e::Panel panel;
  ASSERT_TRUE(panel.Start());
  const HWND form = panel.Form();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(WaitFor([&] { return NotResponding(form); }, 4000));
  ASSERT_TRUE(Press(form, HTCLOSE));
  const POINT away = e2e::ClientPoint(form, 20, 20);
  SetCursorPos(away.x, away.y);
  Sleep(300);
  e2e::MouseButton(false);
  ASSERT_TRUE(WaitFor([&] { return host.Logged(" done FqA #2"); }, 5000));
  const std::size_t calls = host.Calls().size();
  EXPECT_TRUE(WaitFor([&] { return host.Calls().size() >= calls + 4; }, 2000)) << "the ticks go on";
  EXPECT_TRUE(panel.process.Running());
  EXPECT_EQ(TextOf(form), L"Korvane");
  host.process.Kill();  // a frozen double would not hear a Stop
}

}  // namespace
