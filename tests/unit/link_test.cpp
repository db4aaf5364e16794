// Start-up, close and the link flag against the in-process fake host.
#include <gtest/gtest.h>

#include "fakes.h"
#include "panel/panel.h"

namespace korvane {
namespace {

using testing::AttachedPanel;
using testing::PanelOnFakeHost;

TEST(LinkLifecycle, HostRunningAttachesOnceWithoutMessage) {
  PanelOnFakeHost a;
  EXPECT_FALSE(a.panel.link().host_up().has_value());
  EXPECT_FALSE(a.panel.link().IsUp());

  a.panel.Load();
  EXPECT_EQ(a.host.calls, std::vector<std::wstring>{L"Attach MixW2.Application"});
  EXPECT_TRUE(a.view.messages.empty());
  EXPECT_EQ(a.panel.link().host_up(), 1);
  EXPECT_EQ(a.panel.link().host_app(), &a.host);
  EXPECT_TRUE(a.panel.link().IsUp());
  EXPECT_EQ(a.view.mode_list, std::vector<std::wstring>{L"RTTY"});
}

TEST(LinkLifecycle, HostMissingShowsMessageOnceThenStaysDown) {
  PanelOnFakeHost a;
  a.host.attach_succeeds = false;
  std::optional<int> up_while_message_open;
  bool up_test_while_open = true;
  std::wstring caption_while_open;
  a.view.during_message = [&] {
    caption_while_open = a.view.caption;
    up_while_message_open = a.panel.link().host_up();
    up_test_while_open = a.panel.link().IsUp();
    a.panel.Tick();  // the timer may fire while the box is open
    a.panel.Click(CommandButton::Command5);
  };

  a.panel.Load();
  EXPECT_EQ(a.view.messages, std::vector<std::wstring>{L"Korvane: MixW2 is not loaded"});
  EXPECT_EQ(up_while_message_open, 1);
  EXPECT_FALSE(up_test_while_open) << "HostUp alone must not make the link up";
  EXPECT_EQ(a.panel.link().host_up(), 0);
  EXPECT_EQ(a.panel.link().host_app(), nullptr);
  EXPECT_EQ(a.view.mode_list, std::vector<std::wstring>{L"RTTY"});
  EXPECT_EQ(caption_while_open, L"Korvane");
  EXPECT_EQ(a.view.caption, L"Korvane - MixW2 not loaded") << "the idle panel says why its readouts stand still";

  for (int i = 0; i < 5; ++i) a.panel.Tick();
  for (auto b : {CommandButton::Command1, CommandButton::Command2, CommandButton::Command4}) a.panel.Click(b);
  a.panel.Unload();
  EXPECT_EQ(a.host.calls, std::vector<std::wstring>{L"Attach MixW2.Application"}) << "nothing after a failed attach";
  EXPECT_EQ(a.view.text2, L"2210  Hz");
  EXPECT_EQ(a.view.text3, L"14100");
  EXPECT_EQ(a.view.text_writes, 0);
  EXPECT_EQ(a.view.messages.size(), 1u);
}

TEST(LinkLifecycle, NothingIsCalledBeforeLoad) {
  PanelOnFakeHost a;
  a.panel.Tick();
  a.panel.Click(CommandButton::Command1);
  EXPECT_TRUE(a.host.calls.empty());
}

TEST(LinkLifecycle, CloseReleasesExactlyOnceAndSendsNothing) {
  AttachedPanel a;

  a.panel.Unload();
  a.panel.Unload();
  EXPECT_EQ(a.host.calls, std::vector<std::wstring>{L"Release"});
  EXPECT_EQ(a.host.references, 0);
  EXPECT_EQ(a.panel.link().host_up(), 1) << "close leaves the flag alone";
  EXPECT_FALSE(a.panel.link().IsUp());

  a.panel.Tick();
  a.panel.Click(CommandButton::Command4);
  EXPECT_EQ(a.host.calls.size(), 1u);
}

}  // namespace
}  // namespace korvane
