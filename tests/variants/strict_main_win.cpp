// korvane_strict.exe: the panel keeping Windows' COM rules itself, where Wine does not keep them.
#include <windows.h>

#include "run_panel_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return korvane::RunPanel(instance, show_command, {.com_rules = korvane::kWindowsComRules});
}
