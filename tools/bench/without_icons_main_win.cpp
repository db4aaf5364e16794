// korvane_without_icons.exe: the panel without its icons, for the benchmark to weigh them.
#include <windows.h>

#include "run_panel_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return korvane::RunPanel(instance, show_command, {.parts = {.icons = false}});
}
