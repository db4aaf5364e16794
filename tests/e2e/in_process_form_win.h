// The panel's own window made in the test process, created but not loaded (no host is asked for),
// and taken down with its class, so that the next test can make it again.
#pragma once

#include <windows.h>

#include "host/com_host_win.h"
#include "panel/form1_win.h"

namespace e2e {

struct InProcessForm {
  korvane::CallState calls;
  korvane::BusyHostFilter filter{calls};
  korvane::ComHost unattached{filter};
  korvane::Form1 form{unattached, calls};
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
