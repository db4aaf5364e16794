// Runs a command button's macro.
#include "panel/commands.h"

namespace korvane {

const CommandSpec& FindCommand(CommandButton button) {
  for (const CommandSpec& spec : kCommands) {
    if (spec.button == button) return spec;
  }
  return kCommands.front();  // unreachable: every button is in the table
}

void RunCommand(HostLink& link, CommandButton button) { link.ExecuteMacros(FindCommand(button).macro); }

}  // namespace korvane
