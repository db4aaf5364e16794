// The command buttons: exact macro texts and one call per click.
#include <gtest/gtest.h>

#include "fakes.h"
#include "panel/panel.h"

namespace korvane {
namespace {

using testing::AttachedPanel;

// What the host receives, character for character (the captions are checked against the layout when
// the panel is compiled).
TEST(Commands, EachButtonHandsTheHostItsExactMacro) {
  const std::pair<CommandButton, std::wstring_view> sent[] = {
      {CommandButton::Command1, L"<CATCMDHEX:FE FE 50 E0 06 04 02  FD>"},
      {CommandButton::Command2, L"<CATCMDHEX:FE FE 50 E0 06 04 FD>"},
      {CommandButton::Command4, L"<RXANDCLEAR>"},
      {CommandButton::Command5, L"<TX>"},
  };
  for (const auto& [button, macro] : sent) {
    AttachedPanel a;
    a.panel.Click(button);
    EXPECT_EQ(a.host.Macros(), std::vector<std::wstring>{std::wstring(macro)});
  }
  EXPECT_EQ(sent[0].second.size(), 36u);
  EXPECT_EQ(sent[1].second.size(), 32u);
}

// A click on a control reaches a command only from the four buttons, each its own.
TEST(Commands, OnlyTheFourButtonsHaveACommandEachItsOwn) {
  std::vector<std::wstring> reached;
  for (const ControlSpec& control : kControls)
    if (const CommandSpec* command = CommandOfControl(control.id))
      reached.push_back(std::wstring(control.name) + L" " + std::wstring(command->macro));
  EXPECT_EQ(reached, (std::vector<std::wstring>{L"Command1 <CATCMDHEX:FE FE 50 E0 06 04 02  FD>",
                                                L"Command2 <CATCMDHEX:FE FE 50 E0 06 04 FD>", L"Command5 <TX>",
                                                L"Command4 <RXANDCLEAR>"}));
  EXPECT_EQ(CommandOfControl(0), nullptr);
}

TEST(Commands, EachClickIsOneCallInOrder) {
  AttachedPanel a;
  a.panel.Click(CommandButton::Command5);
  a.panel.Click(CommandButton::Command4);
  a.panel.Click(CommandButton::Command4);
  a.panel.Click(CommandButton::Command1);
  const std::vector<std::wstring> expected = {L"<TX>", L"<RXANDCLEAR>", L"<RXANDCLEAR>",
                                              L"<CATCMDHEX:FE FE 50 E0 06 04 02  FD>"};
  EXPECT_EQ(a.host.Macros(), expected);
  EXPECT_EQ(a.host.calls.size(), 4u);
  EXPECT_EQ(a.view.text_writes, 0);
  EXPECT_EQ(a.view.caption, L"Korvane");
}

TEST(Commands, ClicksInsideAClickAreQueuedNotNested) {
  AttachedPanel a;
  int depth = 0;
  int deepest = 0;
  a.host.during_call = [&] {
    deepest = std::max(deepest, ++depth);
    if (a.host.calls.size() == 1) a.panel.Click(CommandButton::Command2);
    --depth;
  };
  a.panel.Click(CommandButton::Command1);
  EXPECT_EQ(deepest, 1);
  const std::vector<std::wstring> expected = {L"<CATCMDHEX:FE FE 50 E0 06 04 02  FD>",
                                              L"<CATCMDHEX:FE FE 50 E0 06 04 FD>"};
  EXPECT_EQ(a.host.Macros(), expected);
}

}  // namespace
}  // namespace korvane
