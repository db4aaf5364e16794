// A host that stops answering: the not-responding caption, and a call given up because the panel closes.
#include <gtest/gtest.h>

#include "fakes.h"
#include "host/host_failure.h"
#include "panel/panel.h"

namespace korvane {
namespace {

using testing::Fails;

constexpr HostStatus kServerUnavailable = 0x800706BA;

using Attached = testing::AttachedPanel;

TEST(Hang, CaptionSaysNotRespondingOnlyWhileTheCallIsOutstanding) {
  Attached a;
  std::vector<std::wstring> captions_inside;
  int call = 0;
  a.host.during_call = [&] {
    if (++call == 2) {  // the tick's FqA hangs: the window says so meanwhile
      a.panel.HostNotResponding();
      a.panel.HostNotResponding();  // said once
      captions_inside.push_back(a.view.caption);
    }
  };
  a.panel.Tick();
  EXPECT_EQ(captions_inside, std::vector<std::wstring>{L"Korvane - host not responding"});
  EXPECT_EQ(a.view.caption, L"Korvane") << "back once the call returned";
  EXPECT_EQ(a.host.calls.size(), 4u) << "the tick went on as usual";

  a.host.during_call = nullptr;
  a.panel.HostNotResponding();  // a late word, between calls
  EXPECT_EQ(a.view.caption, L"Korvane");
}

TEST(Hang, ACallThatEndsWithTheHostGoneLeavesTheLostCaption) {
  Attached a;
  a.host.audio = {Fails(kServerUnavailable)};
  a.host.during_call = [&] { a.panel.HostNotResponding(); };
  a.panel.Tick();
  EXPECT_EQ(a.view.caption, L"Korvane - host lost");
  EXPECT_TRUE(a.panel.link().HostLost());
}

TEST(Hang, ACancelledCallLetsTheHostGoWithoutAReleaseAndNothingMoreIsSent) {
  Attached a;
  // The operator closes the panel while FqA hangs; the call comes back cancelled.
  a.host.radio = {Fails(kCallCancelled)};
  a.host.during_call = [&] {
    if (a.host.calls.back() == L"FqA") a.panel.Click(CommandButton::Command5);  // queued meanwhile
  };
  a.panel.Tick();
  EXPECT_EQ(a.host.calls, (std::vector<std::wstring>{L"AudioFq", L"FqA", L"Abandon"}))
      << "no more reads, and the queued click is not sent";
  EXPECT_TRUE(a.panel.link().Abandoned());
  EXPECT_FALSE(a.panel.link().IsUp());
  EXPECT_FALSE(a.panel.link().HostLost()) << "closing is not losing the host";
  EXPECT_EQ(a.view.caption, L"Korvane");

  a.panel.Unload();
  a.panel.Tick();
  EXPECT_EQ(a.host.calls.size(), 3u) << "close neither releases nor calls";
  EXPECT_EQ(a.host.references, 1) << "the reference is left to the process's end";
}

TEST(Hang, CancelledIsItsOwnKindOfFailure) {
  EXPECT_EQ(ClassifyHostStatus(kCallCancelled), FailureKind::Cancelled);
  EXPECT_FALSE(IsBusyStatus(kCallCancelled));
}

}  // namespace
}  // namespace korvane
