// The window menu, a title-bar drag and the frequency box's own menu: the ticks' rhythm after one, and one
// opened while a slow host's call waits.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "harness/harness_win.h"
#include "panel/controls.h"

namespace {

using e2e::InMenu;
using e2e::InMove;
using e2e::Narrow;
using e2e::NowMs;
using e2e::TextOf;
using e2e::WaitFor;

// The text box's menu tells the panel's window nothing: its owner is the text box.
enum class Loop { SystemMenu, TitleDrag, TextBoxMenu };
const char* Name(Loop loop) {
  const char* names[] = {"SystemMenu", "TitleDrag", "TextBoxMenu"};
  return names[static_cast<int>(loop)];
}

bool InLoop(Loop loop, HWND form) { return loop == Loop::TitleDrag ? InMove(form) : InMenu(form); }

// By real input, as the operator does it: Alt+Space, the title bar pressed and pulled, or a right-click
// on the radio frequency (to copy it into the log).
bool Open(Loop loop, HWND form) {
  if (loop == Loop::TitleDrag) return e2e::BeginTitleDrag(form);
  if (loop == Loop::TextBoxMenu) return e2e::OpenControlMenu(form, GetDlgItem(form, korvane::kIdText3));
  e2e::PressKeys({VK_MENU, VK_SPACE});
  return WaitFor([&] { return InMenu(form); }, 2000);
}

// Esc (twice where the first only leaves the menu's popup), or the mouse let go.
bool End(Loop loop, HWND form) {
  if (loop == Loop::TitleDrag) {
    e2e::MouseButton(false);
    return WaitFor([&] { return !InMove(form); }, 1000);
  }
  for (int press = 0; press < 2 && InMenu(form); ++press) {
    e2e::PressKeys({VK_ESCAPE});
    WaitFor([&] { return !InMenu(form); }, 500);
  }
  return !InMenu(form);
}

// Where each tick began at the host, from the call at `from` on.
std::vector<double> TickStarts(const std::vector<e2e::TimedCall>& calls, std::size_t from) {
  std::vector<double> starts;
  for (std::size_t i = from; i + 1 < calls.size(); ++i)
    if (calls[i].what == "AudioFq" && calls[i + 1].what == "FqA") starts.push_back(calls[i].begin);
  return starts;
}

class AfterAWindowLoop : public ::testing::TestWithParam<Loop> {};

// The tone out of band, so that every tick sends <ALIGN:2210>: a tick straight after the held one
// would send it twice in a row.
TEST_P(AfterAWindowLoop, TheHeldTickRunsOnceAndTheNextComesAFullIntervalLater) {
  const Loop loop = GetParam();
  e2e::Session s("AudioFq I4:2290\nFqA I4:14085500\n");
  ASSERT_NE(s.form, nullptr);
  ASSERT_TRUE(e2e::BringToFront(s.form));
  ASSERT_TRUE(s.WaitForTicks(2));
  ASSERT_TRUE(Open(loop, s.form)) << "no " << Name(loop);
  Sleep(300);  // a tick under way as the loop began has ended by now
  const std::size_t in_the_loop = s.host.Calls().size();
  Sleep(1300);
  ASSERT_TRUE(InLoop(loop, s.form));
  EXPECT_EQ(s.host.Calls().size(), in_the_loop) << "no host call inside the loop";
  ASSERT_TRUE(End(loop, s.form)) << Name(loop) << " did not end";
  ASSERT_TRUE(s.WaitForTicks(4));
  const auto starts = TickStarts(s.host.TimedCalls(), in_the_loop);
  const auto calls = s.host.Calls();
  const auto ticks =
      e2e::Ticks(std::vector<std::string>(calls.begin() + static_cast<std::ptrdiff_t>(in_the_loop), calls.end()));
  s.Finish();
  ASSERT_GE(starts.size(), 3u);
  std::printf("%s: ticks after the held one came %.0f and %.0f ms apart\n", Name(loop), starts[1] - starts[0],
              starts[2] - starts[1]);
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks[0],
            (std::vector<std::string>{"AudioFq", "FqA", "AudioFq", "AudioFq", "ExecuteMacros [<ALIGN:2210>]"}))
      << "one tick for all that fell due in the loop";
  EXPECT_GE(starts[1] - starts[0], 400.0) << "the tick after the held one came too soon";
  EXPECT_GE(starts[2] - starts[1], 400.0);
}

INSTANTIATE_TEST_SUITE_P(MenuAndDrag, AfterAWindowLoop,
                         ::testing::Values(Loop::SystemMenu, Loop::TitleDrag, Loop::TextBoxMenu),
                         [](const auto& cell) { return std::string(Name(cell.param)); });

// What follows the loop: it ends, or the panel is closed from another program while it is still
// open, or (the menu) by its Close.
enum class Then { Ends, ClosedFromAnotherProgram, ClosedFromTheMenu };
const char* Name(Then then) {
  const char* names[] = {"Ends", "ClosedFromAnotherProgram", "ClosedFromTheMenu"};
  return names[static_cast<int>(then)];
}

class AWindowLoopDuringASlowCall : public ::testing::TestWithParam<std::tuple<Loop, Then>> {};

// A healthy host whose first call takes 1.5 s. TX and RX are clicked during it, the loop opened 0.2 s
// later and held 2.5 s: the host answered meanwhile, and COM hands the answer over once the loop is
// over. The host is never called not responding for that, the clicks go once each, in order, and a
// close made then ends the panel within a second and lets go of the host normally.
TEST_P(AWindowLoopDuringASlowCall, NeverLooksHungAndTheClicksOrACloseGoAsUsual) {
  const auto [loop, then] = GetParam();
  e2e::Session s("weak\nAudioFq I4:2210\nFqA I4:14085500\ndelay-ms 1500\ndelay-calls 1\n");
  ASSERT_NE(s.form, nullptr);
  const HWND form = s.form;
  const int baseline = s.host.RegisteredRefs();
  ASSERT_TRUE(e2e::BringToFront(form));
  ASSERT_TRUE(WaitFor([&] { return !s.host.Calls().empty(); }, 4000));
  e2e::Click(s.panel.Control(korvane::kIdCommand5));
  e2e::Click(s.panel.Control(korvane::kIdCommand4));
  Sleep(200);
  ASSERT_TRUE(Open(loop, form)) << "no " << Name(loop);
  ASSERT_FALSE(s.host.Logged(" done AudioFq #1")) << "the loop began after the slow call had been answered";

  bool looked_hung = false;
  const auto watch = [&](DWORD ms) {
    const double until = NowMs() + ms;
    while (NowMs() < until) {
      looked_hung |= e2e::NotResponding(form);
      Sleep(20);
    }
  };
  watch(2500);
  ASSERT_TRUE(InLoop(loop, form)) << Name(loop) << " ended by itself";
  EXPECT_FALSE(looked_hung) << "called not responding during the " << Name(loop);

  if (then == Then::Ends) {
    ASSERT_TRUE(End(loop, form));
    EXPECT_TRUE(s.WaitForMacros(2));
    watch(300);
    EXPECT_FALSE(looked_hung) << "called not responding after the " << Name(loop);
    EXPECT_EQ(s.host.Macros(), (std::vector<std::string>{"<TX>", "<RXANDCLEAR>"}));
    EXPECT_EQ(TextOf(form), L"Korvane");
    s.Finish();
    return;
  }

  const double made_at = NowMs();
  if (then == Then::ClosedFromTheMenu) {
    e2e::PressKeys({'C'});
  } else {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(form, WM_CLOSE, 0, 0, SMTO_NORMAL, 1000, &ignored);
  }
  const double waited = NowMs() - made_at;
  const bool ended = s.panel.process.WaitExit(waited < 1000 ? static_cast<DWORD>(1000 - waited) : 0);
  std::printf("%s, %s: ended after %.0f ms\n", Name(loop), Name(then), NowMs() - made_at);
  if (loop == Loop::TitleDrag) e2e::MouseButton(false);
  ASSERT_TRUE(ended) << "still running after 1 s; caption '" << Narrow(TextOf(form)) << "'";
  EXPECT_EQ(s.panel.process.ExitCode(), 0u);
  EXPECT_EQ(s.panel.MessageBox(0), nullptr) << "no dialog";
  EXPECT_TRUE(WaitFor([&] { return s.host.LastRefs() <= baseline; }, 3000))
      << "released normally; refs " << s.host.LastRefs() << ", before the panel " << baseline;
  EXPECT_TRUE(s.host.Macros().empty()) << "nothing sent after the close";
}

INSTANTIATE_TEST_SUITE_P(MenuAndDrag, AWindowLoopDuringASlowCall,
                         ::testing::Values(std::make_tuple(Loop::SystemMenu, Then::Ends),
                                           std::make_tuple(Loop::TitleDrag, Then::Ends),
                                           std::make_tuple(Loop::TextBoxMenu, Then::Ends),
                                           std::make_tuple(Loop::SystemMenu, Then::ClosedFromAnotherProgram),
                                           std::make_tuple(Loop::TitleDrag, Then::ClosedFromAnotherProgram),
                                           std::make_tuple(Loop::TextBoxMenu, Then::ClosedFromAnotherProgram),
                                           std::make_tuple(Loop::SystemMenu, Then::ClosedFromTheMenu)),
                         [](const auto& cell) {
                           return std::string(Name(std::get<0>(cell.param))) + "_" + Name(std::get<1>(cell.param));
                         });

}  // namespace
