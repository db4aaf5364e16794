// The panel's program from its entry on: the DLL search, the panel's objects and the message loop.
#pragma once

#include <windows.h>

#include "panel_program_win.h"

namespace korvane {

int RunPanel(HINSTANCE instance, int show_command, const PanelSetup& setup);

}  // namespace korvane
