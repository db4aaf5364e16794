// The four command buttons and the fixed macros they hand to the host.
#pragma once

#include <array>
#include <string_view>

#include "host/host_link.h"
#include "panel/controls.h"

namespace korvane {

enum class CommandButton { Command1, Command2, Command4, Command5 };

struct CommandSpec {
  CommandButton button;
  int id;  // the button's control id
  std::wstring_view caption;
  std::wstring_view macro;
};

// The one table of the buttons. The texts go to the host character for character: "RTTY-N" has
// two blanks before FD. The CI-V frames set mode 04h (RTTY), the first one with filter 02h.
inline constexpr std::array<CommandSpec, 4> kCommands = {{
    {CommandButton::Command1, kIdCommand1, L"RTTY-N", L"<CATCMDHEX:FE FE 50 E0 06 04 02  FD>"},
    {CommandButton::Command2, kIdCommand2, L"RTTY", L"<CATCMDHEX:FE FE 50 E0 06 04 FD>"},
    {CommandButton::Command4, kIdCommand4, L"RX", L"<RXANDCLEAR>"},
    {CommandButton::Command5, kIdCommand5, L"TX", L"<TX>"},
}};

// The layout places the buttons; their captions there are this table's.
constexpr bool LayoutCaptionsAreTheCommands() {
  for (const CommandSpec& command : kCommands) {
    bool found = false;
    for (const ControlSpec& control : kControls)
      found |= control.id == command.id && control.kind == ControlKind::Button && control.text == command.caption;
    if (!found) return false;
  }
  return true;
}
static_assert(LayoutCaptionsAreTheCommands());

const CommandSpec& FindCommand(CommandButton button);
// The command of a control id; null for a control that is no command button.
const CommandSpec* CommandOfControl(int id);

// One click: one ExecuteMacros call while the link is up, nothing otherwise.
void RunCommand(HostLink& link, CommandButton button);

}  // namespace korvane
