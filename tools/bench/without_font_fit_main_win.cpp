// korvane_without_font_fit.exe: the panel in the message font at its own size, for the benchmark to weigh the fit.
#include <windows.h>

#include "run_panel_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return korvane::RunPanel(instance, show_command, {.parts = {.font_fit = false}});
}
