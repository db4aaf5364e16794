// A host that stops answering: the caption, the clicks made meanwhile, and closing in every state of a call.
#include <gtest/gtest.h>

#include "fakes.h"
#include "host/call_state.h"
#include "panel/panel.h"

namespace korvane {
namespace {

using testing::Fails;
using Step = CallState::CloseStep;

constexpr HostStatus kServerUnavailable = 0x800706BA;

using Attached = testing::AttachedPanel;

// Runs `inside` during the host's `n`th call from now (1-based).
void DuringCall(Attached& a, int n, std::function<void()> inside) {
  auto count = std::make_shared<int>(0);
  a.host.during_call = [count, n, inside = std::move(inside)] {
    if (++*count == n) inside();
  };
}

TEST(Hang, CaptionSaysNotRespondingFromTwoSecondsUntilTheCallReturns) {
  Attached a;
  std::vector<std::wstring> captions_inside;
  DuringCall(a, 2, [&] {  // the tick's FqA hangs: the window says so meanwhile
    a.host.now += 1999;
    a.panel.HostNotResponding();
    captions_inside.push_back(a.view.caption);
    a.host.now += 1;
    a.panel.HostNotResponding();
    a.panel.HostNotResponding();  // said once
    captions_inside.push_back(a.view.caption);
  });
  a.panel.Tick();
  EXPECT_EQ(captions_inside, (std::vector<std::wstring>{L"Korvane", L"Korvane - host not responding"}));
  EXPECT_EQ(a.view.caption, L"Korvane") << "back once the call returned";
  EXPECT_EQ(a.host.calls.size(), 4u) << "the tick went on as usual";

  a.host.during_call = nullptr;
  a.host.now += 5000;
  a.panel.HostNotResponding();  // a late word, between calls
  EXPECT_EQ(a.view.caption, L"Korvane");
}

TEST(Hang, ACallThatEndsWithTheHostGoneLeavesTheLostCaption) {
  Attached a;
  a.host.audio = {Fails(kServerUnavailable)};
  DuringCall(a, 1, [&] {
    a.host.now += 3000;
    a.panel.HostNotResponding();
  });
  a.panel.Tick();
  EXPECT_EQ(a.view.caption, L"Korvane - host lost");
  EXPECT_TRUE(a.panel.link().HostLost());
}

TEST(Hang, ClicksDuringAShortCallGoAfterItInOrderButNotThoseMadeWhileTheHostIsNotAnswering) {
  Attached a;
  DuringCall(a, 2, [&] {  // a slow call: 1.5 s
    a.host.now += 500;
    a.panel.Click(CommandButton::Command5);
    a.panel.Click(CommandButton::Command4);
    a.host.now += 1000;
  });
  a.panel.Tick();
  EXPECT_EQ(a.host.Macros(), (std::vector<std::wstring>{L"<TX>", L"<RXANDCLEAR>"})) << "once each, in order";

  a.host.calls.clear();
  DuringCall(a, 1, [&] {  // a hang: 4 s
    a.host.now += 1000;
    a.panel.Click(CommandButton::Command2);  // queued while the call still looked slow...
    a.host.now += 1000;
    a.panel.HostNotResponding();  // ...dropped once it is not answering
    a.host.now += 1000;
    a.panel.Click(CommandButton::Command5);  // made during the hang: dropped
    a.host.now += 1000;
  });
  a.panel.Tick();
  EXPECT_TRUE(a.host.Macros().empty()) << "nothing keyed seconds after the click";
  EXPECT_EQ(a.host.calls.size(), 4u);

  a.panel.Click(CommandButton::Command5);  // the host answers again: clicks go
  EXPECT_EQ(a.host.Macros(), std::vector<std::wstring>{L"<TX>"});
}

TEST(Hang, CloseStepDependsOnTheCallOutstanding) {
  Millis& now = testing::fake_now;
  {
    CallState calls{testing::FakeNow};
    EXPECT_EQ(calls.RequestClose(), Step::DestroyNow) << "between calls";
    EXPECT_TRUE(calls.Closing());
  }
  {
    CallState calls{testing::FakeNow};
    calls.Began();
    now += 1999;
    EXPECT_EQ(calls.RequestClose(), Step::AfterTheCall) << "a young call is waited for";
    now += 1;
    EXPECT_EQ(calls.RequestClose(), Step::GiveUpHost) << "asked again once it is not answering";
  }
  {
    CallState calls{testing::FakeNow};
    calls.Began();
    now += 2000;
    EXPECT_EQ(calls.RequestClose(), Step::GiveUpHost);
  }
}

// As the operator sees it: a close made 0.5 s into a healthy 1 s call waits for its answer and a
// release of up to 0.2 s more; a close still held up is given up by 0.8 s, which leaves the forced
// end 0.2 s of the second, the most a loaded machine was seen to need.
TEST(Hang, ACloseIsOverdueAfterItsGraceWhateverHoldsItUp) {
  Millis& now = testing::fake_now;
  CallState calls{testing::FakeNow};
  EXPECT_FALSE(calls.CloseOverdue()) << "no close asked for";
  now += 10000;
  EXPECT_FALSE(calls.CloseOverdue());
  calls.Began();
  now += 500;
  EXPECT_EQ(calls.RequestClose(), Step::AfterTheCall);
  now += 700;
  EXPECT_FALSE(calls.CloseOverdue()) << "the answer came at 0.5 s, the release had 0.2 s";
  EXPECT_EQ(calls.RequestClose(), Step::AfterTheCall) << "asked again: the first close counts";
  now += 100;
  EXPECT_TRUE(calls.CloseOverdue()) << "0.2 s is left for the forced end";
}

// The tone out of band both ways, so that the tick would send <ALIGN:2210> twice: closed during each of its calls
// in turn, with a click waiting, nothing after that call goes, and the host is still let go of.
TEST(Hang, AfterACloseNothingMoreIsSentButTheHostIsReleased) {
  const std::vector<std::wstring> tick = {
      L"AudioFq", L"FqA", L"AudioFq", L"ExecuteMacros [<ALIGN:2210>]", L"AudioFq", L"ExecuteMacros [<ALIGN:2210>]"};
  for (int closed_in = 1; closed_in <= static_cast<int>(tick.size()); ++closed_in) {
    SCOPED_TRACE(closed_in);
    Attached a;
    a.host.audio = {testing::Int(2300), testing::Int(2100), testing::Int(2300)};
    DuringCall(a, closed_in, [&] {
      a.panel.Click(CommandButton::Command5);
      EXPECT_EQ(a.host.state.RequestClose(), Step::AfterTheCall);
      a.panel.Click(CommandButton::Command4);
    });
    a.panel.Tick();
    EXPECT_EQ(a.host.calls, std::vector<std::wstring>(tick.begin(), tick.begin() + closed_in))
        << "no more reads or macros, no queued click";
    a.panel.Tick();
    a.panel.Click(CommandButton::Command1);
    EXPECT_EQ(a.host.calls.size(), static_cast<std::size_t>(closed_in));
    a.host.during_call = nullptr;
    a.panel.Unload();
    EXPECT_EQ(a.host.references, 0);
  }

  Attached a;
  a.host.state.RequestClose();
  bool release_marked = false;
  a.host.during_call = [&] { release_marked = a.host.state.InCall(); };
  a.panel.Unload();
  EXPECT_EQ(a.host.calls.back(), L"Release");
  EXPECT_TRUE(release_marked) << "the release is a host call the close's deadline covers";
  EXPECT_EQ(a.host.references, 0);
}

TEST(Hang, TheAttachIsACallTooSoAHungStartUpIsSeen) {
  testing::PanelOnFakeHost a;
  a.host.during_call = [&] {
    a.host.now += 2500;
    a.panel.HostNotResponding();
  };
  a.panel.Load();
  EXPECT_EQ(a.host.calls, std::vector<std::wstring>{L"Attach MixW2.Application"});
  EXPECT_EQ(a.view.caption, L"Korvane") << "said while attaching, back once attached";
  EXPECT_TRUE(a.panel.link().IsUp());
}

TEST(Hang, ClosedWhileAttachingNoMessageAndNothingSent) {
  testing::PanelOnFakeHost a;
  a.host.attach_succeeds = false;
  a.host.during_call = [&] { a.host.state.RequestClose(); };  // a close from another program, mid-attach
  a.panel.Load();
  EXPECT_TRUE(a.view.messages.empty()) << "no dialog after the operator has closed";
  a.panel.Tick();
  a.panel.Click(CommandButton::Command5);
  EXPECT_EQ(a.host.calls, std::vector<std::wstring>{L"Attach MixW2.Application"});
}

// A menu or a move loop delivers ticks (and may deliver a click) from inside itself: a call that hung
// there would keep the loop from its own input. They wait for the loop's end, then run once.
TEST(ModalLoop, TicksAndClicksDuringAWindowLoopWaitForItsEndThenRunOnce) {
  Attached a;
  a.panel.ModalLoopBegan();
  a.panel.Tick();
  a.panel.Tick();
  a.panel.Click(CommandButton::Command5);
  a.panel.Tick();
  EXPECT_TRUE(a.host.calls.empty()) << "no host call inside the loop";
  EXPECT_TRUE(a.panel.ModalLoopEnded()) << "something was held";
  EXPECT_TRUE(a.panel.RunHeldWork()) << "it ran the held tick: the timer starts a fresh interval";
  EXPECT_EQ(a.host.calls,
            (std::vector<std::wstring>{L"AudioFq", L"FqA", L"AudioFq", L"AudioFq", L"ExecuteMacros [<TX>]"}))
      << "one tick for all the held ones, then the click";
  EXPECT_FALSE(a.panel.RunHeldWork());
  EXPECT_EQ(a.host.calls.size(), 5u) << "run once";

  a.host.calls.clear();
  a.panel.ModalLoopBegan();
  a.panel.Click(CommandButton::Command4);
  EXPECT_TRUE(a.panel.ModalLoopEnded());
  EXPECT_FALSE(a.panel.RunHeldWork()) << "a held click alone leaves the timer's rhythm as it is";
  EXPECT_EQ(a.host.Macros(), std::vector<std::wstring>{L"<RXANDCLEAR>"});

  a.host.calls.clear();
  a.panel.ModalLoopBegan();
  EXPECT_FALSE(a.panel.ModalLoopEnded()) << "a loop in which nothing fell due holds nothing";
  a.panel.ModalLoopBegan();
  a.panel.Tick();
  a.panel.Unload();  // closed from the loop's end, before the held work could run
  EXPECT_TRUE(a.panel.ModalLoopEnded());
  a.panel.RunHeldWork();
  EXPECT_EQ(a.host.calls, std::vector<std::wstring>{L"Release"});
}

// A loop begun inside a call (a menu opened while the host is slow) ends before the call can return:
// what it held is the call's to run, after the tick.
TEST(ModalLoop, ALoopInsideACallLeavesItsClicksToThatCall) {
  Attached a;
  bool held = false;
  DuringCall(a, 1, [&] {
    a.panel.ModalLoopBegan();
    a.panel.Click(CommandButton::Command4);
    a.panel.Tick();
    held = a.panel.ModalLoopEnded();
    a.panel.RunHeldWork();  // the window's posted word, while the call still waits
  });
  a.panel.Tick();
  EXPECT_TRUE(held);
  EXPECT_EQ(a.host.Macros(), std::vector<std::wstring>{L"<RXANDCLEAR>"}) << "once, after the tick";
  EXPECT_EQ(a.host.calls.size(), 5u);
}

// A menu opened while a slow host's call waits holds the call's answer until the menu closes: the
// menu's time is not the host's, so the call is not called not responding for it, and the click
// made before the menu still goes. The age counts again once the loop is over.
TEST(ModalLoop, ALoopBeneathACallDoesNotAgeItSoTheClickMadeBeforeStillGoesAndACloseWaitsForTheAnswer) {
  Attached a;
  std::vector<Millis> ages;
  std::vector<std::wstring> captions;
  DuringCall(a, 1, [&] {
    a.host.now += 200;
    a.panel.Click(CommandButton::Command5);  // waits for the call
    a.panel.ModalLoopBegan();
    a.host.now += 2500;  // the system menu, held open
    a.panel.HostNotResponding();
    ages.push_back(a.host.state.Age());
    captions.push_back(a.view.caption);
    a.panel.ModalLoopEnded();
    a.host.now += 300;  // the answer comes back once the menu has gone
    ages.push_back(a.host.state.Age());
  });
  a.panel.Tick();
  EXPECT_EQ(ages, (std::vector<Millis>{200, 500}));
  EXPECT_EQ(captions, std::vector<std::wstring>{L"Korvane"});
  EXPECT_EQ(a.host.Macros(), std::vector<std::wstring>{L"<TX>"}) << "once, after the tick";

  std::vector<Step> steps;
  DuringCall(a, 1, [&] {
    a.panel.ModalLoopBegan();
    a.host.now += 2500;
    steps.push_back(a.host.state.RequestClose());  // chosen from the menu still open beneath the call
  });
  a.panel.Tick();
  EXPECT_EQ(steps, std::vector<Step>{Step::AfterTheCall}) << "not given up: the host may well have answered";
}

TEST(ModalLoop, AfterALoopBeneathACallTheCallAgesAgainAndANewCallStartsFresh) {
  Attached a;
  std::vector<std::wstring> captions;
  DuringCall(a, 1, [&] {
    a.panel.Click(CommandButton::Command5);
    a.panel.ModalLoopBegan();
    a.host.now += 5000;
    a.panel.ModalLoopEnded();
    a.host.now += 1999;
    a.panel.HostNotResponding();
    captions.push_back(a.view.caption);
    a.host.now += 1;  // two seconds of the host's own, outside the menu
    a.panel.HostNotResponding();
    captions.push_back(a.view.caption);
  });
  a.panel.Tick();
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"Korvane", L"Korvane - host not responding"}));
  EXPECT_TRUE(a.host.Macros().empty()) << "the click waited for a call that stopped answering";

  std::vector<Millis> ages;
  DuringCall(a, 1, [&] {
    a.host.now += 10;
    ages.push_back(a.host.state.Age());
  });
  a.panel.Tick();
  EXPECT_EQ(ages, std::vector<Millis>{10}) << "the next call's age owes nothing to the last one's loop";
  a.panel.ModalLoopBegan();  // between calls: nothing to pause
  a.host.now += 100;
  a.panel.ModalLoopEnded();
  EXPECT_EQ(a.host.state.Age(), 0u);
}

}  // namespace
}  // namespace korvane
