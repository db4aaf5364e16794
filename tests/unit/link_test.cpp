// Start-up, close and the link flag against the in-process fake host.
#include <gtest/gtest.h>

#include "fakes.h"
#include "panel/panel.h"

namespace korvane {
namespace {

using testing::FakeHost;
using testing::FakeView;

TEST(LinkLifecycle, HostRunningAttachesOnceWithoutMessage) {
  FakeHost host;
  FakeView view;
  Panel panel(host, view, host.state);
  EXPECT_FALSE(panel.link().host_up().has_value());
  EXPECT_FALSE(panel.link().IsUp());

  panel.Load();
  EXPECT_EQ(host.calls, std::vector<std::wstring>{L"Attach MixW2.Application"});
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(panel.link().host_up(), 1);
  EXPECT_EQ(panel.link().host_app(), &host);
  EXPECT_TRUE(panel.link().IsUp());
  EXPECT_EQ(view.mode_list, std::vector<std::wstring>{L"RTTY"});
}

TEST(LinkLifecycle, HostMissingShowsMessageOnceThenStaysDown) {
  FakeHost host;
  host.attach_succeeds = false;
  FakeView view;
  Panel panel(host, view, host.state);
  std::optional<int> up_while_message_open;
  bool up_test_while_open = true;
  std::wstring caption_while_open;
  view.during_message = [&] {
    caption_while_open = view.caption;
    up_while_message_open = panel.link().host_up();
    up_test_while_open = panel.link().IsUp();
    panel.Tick();  // the timer may fire while the box is open
    panel.Click(CommandButton::Command5);
  };

  panel.Load();
  EXPECT_EQ(view.messages, std::vector<std::wstring>{L"Korvane: MixW2 is not loaded"});
  EXPECT_EQ(up_while_message_open, 1);
  EXPECT_FALSE(up_test_while_open) << "HostUp alone must not make the link up";
  EXPECT_EQ(panel.link().host_up(), 0);
  EXPECT_EQ(panel.link().host_app(), nullptr);
  EXPECT_EQ(view.mode_list, std::vector<std::wstring>{L"RTTY"});
  EXPECT_EQ(caption_while_open, L"Korvane");
  EXPECT_EQ(view.caption, L"Korvane - MixW2 not loaded") << "the idle panel says why its readouts stand still";

  for (int i = 0; i < 5; ++i) panel.Tick();
  for (auto b : {CommandButton::Command1, CommandButton::Command2, CommandButton::Command4}) panel.Click(b);
  panel.Unload();
  EXPECT_EQ(host.calls, std::vector<std::wstring>{L"Attach MixW2.Application"}) << "nothing after a failed attach";
  EXPECT_EQ(view.text2, L"2210  Hz");
  EXPECT_EQ(view.text3, L"14100");
  EXPECT_EQ(view.text_writes, 0);
  EXPECT_EQ(view.messages.size(), 1u);
}

TEST(LinkLifecycle, NothingIsCalledBeforeLoad) {
  FakeHost host;
  FakeView view;
  Panel panel(host, view, host.state);
  panel.Tick();
  panel.Click(CommandButton::Command1);
  EXPECT_TRUE(host.calls.empty());
}

TEST(LinkLifecycle, CloseReleasesExactlyOnceAndSendsNothing) {
  FakeHost host;
  FakeView view;
  Panel panel(host, view, host.state);
  panel.Load();
  host.calls.clear();

  panel.Unload();
  panel.Unload();
  EXPECT_EQ(host.calls, std::vector<std::wstring>{L"Release"});
  EXPECT_EQ(host.references, 0);
  EXPECT_EQ(panel.link().host_up(), 1) << "close leaves the flag alone";
  EXPECT_FALSE(panel.link().IsUp());

  panel.Tick();
  panel.Click(CommandButton::Command4);
  EXPECT_EQ(host.calls.size(), 1u);
}

}  // namespace
}  // namespace korvane
