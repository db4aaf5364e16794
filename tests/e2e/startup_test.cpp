// Start-up with and without a host, the failure message, close and release, seen from outside.
#include <gtest/gtest.h>
#include <objbase.h>

#include "harness/harness_win.h"
#include "panel/controls.h"

namespace {

using e2e::Children;
using e2e::ClassOf;
using e2e::TextOf;
using e2e::WaitFor;
using korvane::kIdCombo1;
using korvane::kIdText2;
using korvane::kIdText3;

// The failure box: caption, text, a single OK button and no icon.
void ExpectNotLoadedBox(HWND box) {
  ASSERT_NE(box, nullptr) << "no message box";
  EXPECT_EQ(TextOf(box), L"Korvane");
  std::vector<std::wstring> buttons, texts;
  int icons = 0;
  for (HWND child : Children(box)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring cls = ClassOf(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (cls == L"Button") buttons.push_back(TextOf(child));
    if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON && SendMessageW(child, STM_GETICON, 0, 0)) ++icons;
    if (cls == L"Static" && !TextOf(child).empty()) texts.push_back(TextOf(child));
  }
  EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_EQ(texts, std::vector<std::wstring>{L"MixW2 is not loaded"});
  EXPECT_EQ(icons, 0);
  // Owned by the hidden panel it would have no taskbar button, and behind another program only
  // Alt+Tab would find it.
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the box has a taskbar button of its own";
  EXPECT_EQ(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == box; }, 2000)) << "the box comes to the front";
}

HWND OkButton(HWND box) {
  for (HWND child : Children(box))
    if (ClassOf(child) == L"Button" && TextOf(child) == L"OK") return child;
  return nullptr;
}

// With no host: the box first, no panel on screen; after OK an idle panel that never changes.
void RunWithoutHost() {
  e2e::Panel panel;
  ASSERT_TRUE(panel.Start());
  const HWND box = panel.MessageBox();
  ExpectNotLoadedBox(box);
  const HWND form = panel.Form();
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(IsWindowVisible(form)) << "the panel must not show before the message is dismissed";
  Sleep(700);  // a tick or two arrive while the box is open
  EXPECT_EQ(panel.Text(kIdText2), L"2210  Hz");

  e2e::Click(OkButton(box));
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(form) != FALSE; }, 5000));
  EXPECT_EQ(TextOf(form), L"Korvane - MixW2 not loaded") << "the idle panel says why it stands still";
  for (int look = 0; look < 2; ++look) {
    EXPECT_EQ(panel.Text(kIdCombo1), L"RTTY");
    EXPECT_EQ(panel.Text(kIdText2), L"2210  Hz");
    EXPECT_EQ(panel.Text(kIdText3), L"14100");
    Sleep(1200);
  }
  EXPECT_EQ(panel.MessageBox(0), nullptr) << "the message comes once";
  panel.Close();
  ASSERT_TRUE(panel.process.WaitExit(5000));
  EXPECT_EQ(panel.process.ExitCode(), 0u);
}

TEST(StartUp, NoHostRunningShowsTheMessageThenAnIdlePanel) {
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(L"MixW2.Application", &clsid), S_OK) << "this case wants the ProgID registered";
  RunWithoutHost();
}

TEST(NotRegistered, ProgIdMissingShowsTheSameMessage) {
  CLSID clsid;
  ASSERT_NE(CLSIDFromProgID(L"MixW2.Application", &clsid), S_OK) << "this case wants the ProgID absent";
  RunWithoutHost();
}

TEST(StartUp, HostRunningAttachesQuietlyAndReleasesOnClose) {
  e2e::Session s("weak\n");
  ASSERT_NE(s.form, nullptr) << "the panel shows";
  const int baseline = s.host.RegisteredRefs();  // as the double registered, before the panel came
  ASSERT_GT(baseline, 0);
  EXPECT_EQ(s.panel.MessageBox(0), nullptr);
  EXPECT_EQ(s.panel.Text(kIdCombo1), L"RTTY");
  EXPECT_GT(s.host.LastRefs(), baseline) << "the attach holds a reference";
  ASSERT_TRUE(WaitFor([&] { return !s.host.Calls().empty(); }, 2000)) << "the first tick reaches the host";
  EXPECT_EQ(s.panel.MessageBox(0), nullptr);

  s.panel.Close();
  ASSERT_TRUE(s.panel.process.WaitExit(5000)) << "closing the window ends the panel";
  EXPECT_EQ(s.panel.process.ExitCode(), 0u);
  EXPECT_TRUE(WaitFor([&] { return s.host.LastRefs() <= baseline; }, 5000))
      << "the host sees the panel's references released; refs now " << s.host.LastRefs() << ", before the panel "
      << baseline;
  EXPECT_TRUE(s.host.process.Running()) << "the host keeps running";
  const std::size_t calls = s.host.Calls().size();
  Sleep(600);
  EXPECT_EQ(s.host.Calls().size(), calls) << "nothing is sent after close";
}

TEST(StartUp, APanelStartedAgainAttachesAgain) {
  e2e::Session s;
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(run == 0 ? s.form != nullptr : s.StartPanelAgain()) << "run " << run << ": the panel shows";
    EXPECT_EQ(s.panel.MessageBox(0), nullptr) << "run " << run;
    EXPECT_EQ(TextOf(s.form), L"Korvane") << "run " << run << ": attached";
    s.panel.Close();
    ASSERT_TRUE(s.panel.process.WaitExit(5000));
  }
  EXPECT_TRUE(s.host.process.Running());
}

}  // namespace
