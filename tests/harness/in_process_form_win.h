// The panel's own objects made in the test or benchmark process, wired as the panel's entry wires them.
#pragma once

#include <windows.h>

#include "host/call_watch_win.h"
#include "host/com_host_win.h"
#include "host/message_pump_win.h"
#include "host/window_close_win.h"
#include "panel/form1_win.h"

namespace e2e {

// What the binding and the window lean on: the call state, the close, the watch (not started) and
// the pump.
struct InProcessParts {
  korvane::CallState calls;
  korvane::WindowClose close{calls};
  korvane::CallWatch watch{calls, close};
  korvane::MessagePump pump{watch, close};
};

// The panel's window, created but not loaded (no host is asked for), and taken down with its class,
// so that the next test can make it again.
struct InProcessForm : InProcessParts {
  korvane::BusyHostFilter filter{calls, pump};
  korvane::ComHost unattached{filter};
  korvane::Form1 form{unattached, calls, close, pump};
  bool created = form.Create(GetModuleHandleW(nullptr));

  HWND hwnd() const { return form.hwnd(); }
  ~InProcessForm() {
    if (form.hwnd()) DestroyWindow(form.hwnd());
    MSG quit;  // the panel's window ends its program's loop as it goes; this program has none
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    UnregisterClassW(korvane::kForm1ClassName, GetModuleHandleW(nullptr));
  }
};

}  // namespace e2e
