// The panel's program from its entry on: one STA, the host binding, the window and its message loop.
#pragma once

#include <windows.h>

#include "host/message_filter_win.h"
#include "panel/form1_win.h"

namespace korvane {

// What an entry hands the panel. korvane.exe hands the defaults; a test or benchmark build differs
// only in what its own entry hands in here (and, for the DPI functions, in UsePerMonitorDpi).
struct PanelSetup {
  ComRules com_rules{};
  Form1Parts parts{};
  bool call_watch = true;  // the watch on calls that do not come back
};

int RunPanel(HINSTANCE instance, int show_command, const PanelSetup& setup);

}  // namespace korvane
