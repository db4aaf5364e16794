// korvane_dpi_monitor.exe: the panel as on Windows 8.1 and 10 before 1607, which have only shcore's GetDpiForMonitor.
#include <windows.h>

#include "panel/dpi_win.h"
#include "run_panel_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  korvane::PerMonitorDpi functions;
  functions.get_dpi_for_monitor = korvane::LookUpPerMonitorDpi().get_dpi_for_monitor;
  korvane::UsePerMonitorDpi(functions);
  return korvane::RunPanel(instance, show_command, {});
}
