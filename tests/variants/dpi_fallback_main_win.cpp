// korvane_dpi_fallback.exe: the panel as on Windows 7 and 8, which have none of the per-monitor DPI functions.
#include <windows.h>

#include "panel/dpi_win.h"
#include "run_panel_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  korvane::UsePerMonitorDpi({});
  return korvane::RunPanel(instance, show_command, {});
}
