// The panel's objects, made once in the order they lean on each other: the panel's program, the
// in-process tests and the benchmark all make the panel through this.
#pragma once

#include <windows.h>

#include "host/call_state.h"
#include "host/call_watch_win.h"
#include "host/com_host_win.h"
#include "host/com_ptr_win.h"
#include "host/message_filter_win.h"
#include "host/message_pump_win.h"
#include "host/window_close_win.h"
#include "host/working_time_win.h"
#include "panel/form1_win.h"

namespace korvane {

// What an entry hands the panel. korvane.exe hands the defaults; a test or benchmark build differs
// only in what its own entry hands in here (and, for the DPI functions, in UsePerMonitorDpi).
struct PanelSetup {
  ComRules com_rules{};
  Form1Parts parts{};
  bool call_watch = true;  // the watch on calls that do not come back
};

// Each member is made after those it leans on and goes before them.
struct PanelProgram {
  explicit PanelProgram(const PanelSetup& panel_setup = {}) : setup(panel_setup) {}
  PanelProgram(const PanelProgram&) = delete;
  PanelProgram& operator=(const PanelProgram&) = delete;

  // COM, then the window, hidden, with its controls and running timer, then the call watch on it.
  bool Create(HINSTANCE instance);

  const PanelSetup setup;
  CallState calls{WorkingMillis};
  WindowClose close{calls};
  // After the close: the close's deadline covers COM's teardown too.
  ComApartment apartment;
  CallWatch watch{calls};
  MessagePump pump{watch, close};
  MessageFilterRegistration filter{calls, pump, setup.com_rules};
  ComHost host{filter.filter()};
  Form1 form{host, calls, close, pump, setup.parts};
};

}  // namespace korvane
