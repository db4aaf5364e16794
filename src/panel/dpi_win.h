// The window's DPI and what scales with it, on every Windows from 7 on.
#pragma once

#include <windows.h>

namespace korvane {

// The per-monitor DPI functions: user32's from Windows 10 version 1607 on, shcore's
// GetDpiForMonitor from 8.1 on. Looked up once; each is null where Windows lacks it.
struct PerMonitorDpi {
  UINT(WINAPI* get_dpi_for_window)(HWND) = nullptr;
  // GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI = 0, &x, &y)
  HRESULT(WINAPI* get_dpi_for_monitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
  BOOL(WINAPI* system_parameters_info_for_dpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
  int(WINAPI* get_system_metrics_for_dpi)(int, UINT) = nullptr;
  // Windows 10 1607 reads the manifest's per-monitor awareness as version 1, which leaves the
  // caption and borders at the system DPI unless the window asks for them at WM_NCCREATE.
  HANDLE(WINAPI* get_thread_dpi_awareness_context)() = nullptr;
  BOOL(WINAPI* are_dpi_awareness_contexts_equal)(HANDLE, HANDLE) = nullptr;
  BOOL(WINAPI* enable_non_client_dpi_scaling)(HWND) = nullptr;
};
// What this Windows has, looked up in user32 and, from System32, shcore.
PerMonitorDpi LookUpPerMonitorDpi();
// The table the panel uses: the one an entry handed in, before the window is made, else
// what this Windows has. A test entry hands in one with gaps, to stand in for older Windows.
void UsePerMonitorDpi(const PerMonitorDpi& functions);
const PerMonitorDpi& PerMonitorDpiFunctions();

// Where a function is missing, the system DPI stands in: Windows 7 and 8 scale
// every window to it, and 8.1 and early 10 draw the frame at it.
UINT SystemDpi();
// The window's own DPI where Windows has it; on 8.1 and early 10 that of the monitor it is on;
// else the system DPI.
UINT WindowDpi(HWND hwnd);
// The effective DPI of the monitor the window is on (0 where Windows cannot tell).
UINT MonitorDpi(HWND hwnd);
// At WM_NCCREATE: where the thread is per-monitor aware version 1, the frame scales with the
// window's DPI as it does by itself from version 2 on.
void ScaleFrameWithDpi(HWND hwnd);
int SystemMetricForDpi(int index, UINT dpi);
// The system's message font, its height scaled to `dpi`.
bool MessageFontForDpi(UINT dpi, LOGFONTW& font);
// An icon resource at `size` pixels square, scaled down from the next larger image where the
// system can (LoadIconWithScaleDown, from Vista's common controls), else as LoadImage makes it.
// The caller destroys it.
HICON LoadIconAtSize(HINSTANCE instance, const wchar_t* name, int size);

}  // namespace korvane
