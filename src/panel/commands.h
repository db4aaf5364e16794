// The four command buttons and the fixed macros they hand to the host.
#pragma once

#include <array>
#include <string_view>

#include "host/host_link.h"

namespace korvane {

enum class CommandButton { Command1, Command2, Command4, Command5 };

struct CommandSpec {
  CommandButton button;
  std::wstring_view caption;
  std::wstring_view macro;
};

// The texts go to the host character for character: "RTTY-N" has two blanks
// before FD. The CI-V frames set mode 04h (RTTY), the first one with filter 02h.
inline constexpr std::array<CommandSpec, 4> kCommands = {{
    {CommandButton::Command1, L"RTTY-N", L"<CATCMDHEX:FE FE 50 E0 06 04 02  FD>"},
    {CommandButton::Command2, L"RTTY", L"<CATCMDHEX:FE FE 50 E0 06 04 FD>"},
    {CommandButton::Command4, L"RX", L"<RXANDCLEAR>"},
    {CommandButton::Command5, L"TX", L"<TX>"},
}};

const CommandSpec& FindCommand(CommandButton button);

// One click: one ExecuteMacros call while the link is up, nothing otherwise.
void RunCommand(HostLink& link, CommandButton button);

}  // namespace korvane
