// Entry point: korvane.exe, the panel with everything it has.
#include <windows.h>

#include "run_panel_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return korvane::RunPanel(instance, show_command, {});
}
