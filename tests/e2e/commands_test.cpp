// The four buttons seen from the host: exact texts, order, rapid clicks, keyboard presses, no host.
#include <gtest/gtest.h>

#include "harness/harness_win.h"
#include "panel/controls.h"

namespace {

using namespace korvane;

const std::string kRttyN = "<CATCMDHEX:FE FE 50 E0 06 04 02  FD>";
const std::string kRtty = "<CATCMDHEX:FE FE 50 E0 06 04 FD>";
const std::string kRx = "<RXANDCLEAR>";
const std::string kTx = "<TX>";

// A host whose tone sits in the band, so the only macros are the buttons'.
struct Session : e2e::Session {
  Session() : e2e::Session("AudioFq I4:2210\nFqA I4:14085500\n") {}
};

using e2e::Focused;

// A key as the panel's message loop receives it from the keyboard: posted to the focused control.
void PressKey(HWND target, UINT key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

TEST(Commands, EachButtonSendsItsExactTextOnce) {
  Session s;
  ASSERT_NE(s.form, nullptr);
  const std::pair<int, std::string> buttons[] = {
      {kIdCommand1, kRttyN}, {kIdCommand2, kRtty}, {kIdCommand4, kRx}, {kIdCommand5, kTx}};
  std::vector<std::string> expected;
  for (const auto& [id, macro] : buttons) {
    e2e::Click(s.panel.Control(id));
    expected.push_back(macro);
    ASSERT_TRUE(s.WaitForMacros(expected.size())) << macro;
  }
  ASSERT_TRUE(s.WaitForTicks(1));
  EXPECT_EQ(s.host.Macros(), expected);
  EXPECT_EQ(kRttyN.size(), 36u);
  EXPECT_EQ(kRtty.size(), 32u);
  // The log shows each text in brackets, blanks and all.
  bool bracketed = false;
  for (const auto& line : s.host.LogLines())
    bracketed |= line.find("[<CATCMDHEX:FE FE 50 E0 06 04 02  FD>]") != std::string::npos;
  EXPECT_TRUE(bracketed);
  EXPECT_EQ(s.panel.Text(kIdText2), L"2210 Hz") << "a click changes nothing on the panel";
  EXPECT_EQ(e2e::TextOf(s.form), L"Korvane");
}

TEST(Commands, TxThenRxInThatOrder) {
  Session s;
  ASSERT_NE(s.form, nullptr);
  e2e::Click(s.panel.Control(kIdCommand5));
  e2e::Click(s.panel.Control(kIdCommand4));
  ASSERT_TRUE(s.WaitForMacros(2));
  ASSERT_TRUE(s.WaitForTicks(1));
  EXPECT_EQ(s.host.Macros(), (std::vector<std::string>{kTx, kRx}));
}

TEST(Commands, FiftyRapidClicksAreFiftyCallsInOrder) {
  Session s;
  ASSERT_NE(s.form, nullptr);
  const int ids[] = {kIdCommand5, kIdCommand4, kIdCommand1, kIdCommand2};
  const std::string macros[] = {kTx, kRx, kRttyN, kRtty};
  std::vector<std::string> expected;
  for (int i = 0; i < 50; ++i) {
    const int which = (i * 7 + i / 4) % 4;
    e2e::Click(s.panel.Control(ids[which]));
    expected.push_back(macros[which]);
  }
  ASSERT_TRUE(s.WaitForMacros(50)) << "got " << s.host.Macros().size();
  ASSERT_TRUE(s.WaitForTicks(1));
  EXPECT_EQ(s.host.Macros(), expected);
}

// At the default size Tab visits only what the operator can see; enlarged, RX and TX join in their place.
TEST(Commands, KeyboardTabSkipsWhatIsOutOfViewThenSpaceOrEnterPressesOnce) {
  Session s;
  ASSERT_NE(s.form, nullptr);
  auto focus_reaches = [&](int id) {
    return e2e::WaitFor([&] { return Focused(s.form) == s.panel.Control(id); }, 2000);
  };
  ASSERT_TRUE(focus_reaches(kIdCombo1)) << "focus starts on the mode list";
  for (int id : {kIdText2, kIdText3, kIdCommand1, kIdCommand2, kIdCombo1}) {
    PressKey(Focused(s.form), VK_TAB);
    ASSERT_TRUE(focus_reaches(id)) << "at the default size Tab moves on to control " << id;
  }
  EXPECT_FALSE(IsWindowVisible(s.panel.Control(kIdCommand4)));
  EXPECT_FALSE(IsWindowVisible(s.panel.Control(kIdCommand5)));

  e2e::Enlarge(s.form);
  ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(s.panel.Control(kIdCommand5)) != FALSE; }, 2000));
  for (int id : {kIdText2, kIdText3, kIdCommand4}) {
    PressKey(Focused(s.form), VK_TAB);
    ASSERT_TRUE(focus_reaches(id)) << "enlarged, Tab moves on to control " << id;
  }
  PressKey(Focused(s.form), VK_SPACE);
  ASSERT_TRUE(s.WaitForMacros(1));
  PressKey(Focused(s.form), VK_TAB);
  ASSERT_TRUE(focus_reaches(kIdCommand5)) << "then TX";
  PressKey(Focused(s.form), VK_RETURN);
  ASSERT_TRUE(s.WaitForMacros(2));
  ASSERT_TRUE(s.WaitForTicks(1));
  EXPECT_EQ(s.host.Macros(), (std::vector<std::string>{kRx, kTx}));
}

// A click sent (not posted) by another program, as a screen reader or an automation tool may: Windows
// refuses a COM call made inside that send, so the panel takes it round its own queue. Once each.
TEST(SentClicks, AClickSentByAnotherProgramIsCarriedOutOnce) {
  Session s;
  ASSERT_NE(s.form, nullptr);
  std::vector<std::string> expected;
  for (const auto& [id, macro] :
       {std::pair{kIdCommand5, kTx}, std::pair{kIdCommand4, kRx}, std::pair{kIdCommand1, kRttyN}}) {
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutW(s.panel.Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 2000, &ignored), 0) << macro;
    expected.push_back(macro);
    ASSERT_TRUE(s.WaitForMacros(expected.size())) << macro << " not sent";
  }
  ASSERT_TRUE(s.WaitForTicks(1));
  EXPECT_EQ(s.host.Macros(), expected);
}

TEST(Commands, WithoutAHostClicksDoNothing) {
  e2e::Session idle(e2e::Session::kNoHost);
  ASSERT_NE(idle.form, nullptr);
  e2e::Panel& panel = idle.panel;
  const HWND form = idle.form;
  for (int round = 0; round < 5; ++round)
    for (int id : {kIdCommand1, kIdCommand2, kIdCommand4, kIdCommand5}) e2e::Click(panel.Control(id));
  Sleep(1000);
  EXPECT_TRUE(panel.process.Running());
  EXPECT_EQ(panel.MessageBox(0), nullptr);
  EXPECT_EQ(panel.Text(kIdText2), L"2210  Hz");
  EXPECT_EQ(panel.Text(kIdText3), L"14100");
  EXPECT_EQ(e2e::TextOf(form), L"Korvane - MixW2 not loaded");
  panel.Close();
  EXPECT_TRUE(panel.process.WaitExit(5000));
  EXPECT_EQ(panel.process.ExitCode(), 0u);
}

}  // namespace
