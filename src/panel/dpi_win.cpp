// Per-monitor DPI where Windows has it, the system DPI where it has not.
#include "panel/dpi_win.h"

#include "panel/gdi_ptr_win.h"
#include "panel/system_library_win.h"

namespace korvane {
namespace {

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE, which the Windows 7 headers do not have.
const HANDLE kPerMonitorAwareV1 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

struct ChosenTable {
  bool chosen = false;
  PerMonitorDpi functions;
};
ChosenTable& Chosen() {
  static ChosenTable table;
  return table;
}

}  // namespace

PerMonitorDpi LookUpPerMonitorDpi() {
  PerMonitorDpi found;
  if (const HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
    LookUpFunction(user32, "GetDpiForWindow", found.get_dpi_for_window);
    LookUpFunction(user32, "SystemParametersInfoForDpi", found.system_parameters_info_for_dpi);
    LookUpFunction(user32, "GetSystemMetricsForDpi", found.get_system_metrics_for_dpi);
    LookUpFunction(user32, "GetThreadDpiAwarenessContext", found.get_thread_dpi_awareness_context);
    LookUpFunction(user32, "AreDpiAwarenessContextsEqual", found.are_dpi_awareness_contexts_equal);
    LookUpFunction(user32, "EnableNonClientDpiScaling", found.enable_non_client_dpi_scaling);
  }
  // Loaded for good: the function is kept for the process's life. Windows 7 has no shcore.dll, so a
  // search by name would find one planted beside the exe.
  LookUpFunction(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor", found.get_dpi_for_monitor);
  return found;
}

void UsePerMonitorDpi(const PerMonitorDpi& functions) { Chosen() = {true, functions}; }

const PerMonitorDpi& PerMonitorDpiFunctions() {
  ChosenTable& table = Chosen();
  if (!table.chosen) table = {true, LookUpPerMonitorDpi()};
  return table.functions;
}

UINT SystemDpi() {
  const WindowDc screen(nullptr);
  const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT MonitorDpi(HWND hwnd) {
  const auto& f = PerMonitorDpiFunctions();
  UINT x = 0, y = 0;
  if (!f.get_dpi_for_monitor || FAILED(f.get_dpi_for_monitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST),
                                                             0 /* MDT_EFFECTIVE_DPI */, &x, &y)))
    return 0;
  return y;
}

UINT WindowDpi(HWND hwnd) {
  const auto& f = PerMonitorDpiFunctions();
  if (const UINT dpi = f.get_dpi_for_window ? f.get_dpi_for_window(hwnd) : 0) return dpi;
  if (const UINT dpi = MonitorDpi(hwnd)) return dpi;
  return SystemDpi();
}

void ScaleFrameWithDpi(HWND hwnd) {
  const auto& f = PerMonitorDpiFunctions();
  if (!f.get_thread_dpi_awareness_context || !f.are_dpi_awareness_contexts_equal || !f.enable_non_client_dpi_scaling)
    return;
  if (f.are_dpi_awareness_contexts_equal(f.get_thread_dpi_awareness_context(), kPerMonitorAwareV1))
    f.enable_non_client_dpi_scaling(hwnd);
}

int SystemMetricForDpi(int index, UINT dpi) {
  const auto& f = PerMonitorDpiFunctions();
  if (f.get_system_metrics_for_dpi) return f.get_system_metrics_for_dpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

bool MessageFontForDpi(UINT dpi, LOGFONTW& font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  const auto& f = PerMonitorDpiFunctions();
  if (f.system_parameters_info_for_dpi &&
      f.system_parameters_info_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    font = metrics.lfMessageFont;
    return true;
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
  font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  return true;
}

HICON LoadIconAtSize(HINSTANCE instance, const wchar_t* name, int size) {
  using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, const wchar_t*, int, int, HICON*);
  // The manifest makes this the common controls 6, which has it.
  static const auto scale_down = LookUpFunction<ScaleDown>(LoadSystemLibrary(L"comctl32.dll"), "LoadIconWithScaleDown");
  HICON icon = nullptr;
  if (scale_down && SUCCEEDED(scale_down(instance, name, size, size, &icon)) && icon) return icon;
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace korvane
