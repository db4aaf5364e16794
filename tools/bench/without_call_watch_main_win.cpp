// korvane_without_call_watch.exe: the panel less its watch on calls that do not come back, for the benchmark to weigh
// it.
#include <windows.h>

#include "run_panel_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return korvane::RunPanel(instance, show_command, {.call_watch = false});
}
