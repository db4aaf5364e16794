// Runs a command button's macro.
#include "panel/commands.h"

namespace korvane {

const CommandSpec& FindCommand(CommandButton button) {
  for (const CommandSpec& command : kCommands) {
    if (command.button == button) return command;
  }
  return kCommands.front();  // unreachable: every button is in the table
}

const CommandSpec* CommandOfControl(int id) {
  for (const CommandSpec& command : kCommands) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

void RunCommand(HostLink& link, CommandButton button) { link.ExecuteMacros(FindCommand(button).macro); }

}  // namespace korvane
