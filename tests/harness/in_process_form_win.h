// The panel's window made in the test or benchmark process, through the panel's own objects.
#pragma once

#include <windows.h>

#include "panel_program_win.h"

namespace e2e {

// The panel's window, created but not loaded (no host is asked for), and taken down with its class,
// so that the next test can make it again.
struct InProcessForm {
  korvane::PanelProgram program;
  bool created = program.Create(GetModuleHandleW(nullptr));

  HWND hwnd() const { return program.form.hwnd(); }
  ~InProcessForm() {
    if (hwnd()) DestroyWindow(hwnd());
    MSG quit;  // the panel's window ends its program's loop as it goes; this program has none
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    UnregisterClassW(korvane::kForm1ClassName, GetModuleHandleW(nullptr));
  }
};

}  // namespace e2e
