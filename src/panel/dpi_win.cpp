// Per-monitor DPI where Windows has it, the system DPI where it has not.
#include "panel/dpi_win.h"

#include "panel/gdi_ptr_win.h"
#include "panel/system_library_win.h"

namespace korvane {
namespace {

template <typename Function>
void LookUp(HMODULE module, const char* name, Function& function) {
  // Through void(*)(), which converts to any function type without a cast-type warning.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

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
    LookUp(user32, "GetDpiForWindow", found.get_dpi_for_window);
    LookUp(user32, "AdjustWindowRectExForDpi", found.adjust_window_rect_ex_for_dpi);
    LookUp(user32, "SystemParametersInfoForDpi", found.system_parameters_info_for_dpi);
    LookUp(user32, "GetSystemMetricsForDpi", found.get_system_metrics_for_dpi);
  }
  // Loaded for good: the function is kept for the process's life. Windows 7 has no shcore.dll, so a
  // search by name would find one planted beside the exe.
  if (const HMODULE shcore = LoadSystemLibrary(L"shcore.dll"))
    LookUp(shcore, "GetDpiForMonitor", found.get_dpi_for_monitor);
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

void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD ex_style, UINT dpi) {
  const auto& f = PerMonitorDpiFunctions();
  if (f.adjust_window_rect_ex_for_dpi && f.adjust_window_rect_ex_for_dpi(&rect, style, FALSE, ex_style, dpi)) return;
  AdjustWindowRectEx(&rect, style, FALSE, ex_style);
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
  static const ScaleDown scale_down = [] {
    ScaleDown found = nullptr;
    // The manifest makes this the common controls 6, which has it.
    if (const HMODULE comctl32 = LoadSystemLibrary(L"comctl32.dll")) LookUp(comctl32, "LoadIconWithScaleDown", found);
    return found;
  }();
  HICON icon = nullptr;
  if (scale_down && SUCCEEDED(scale_down(instance, name, size, size, &icon)) && icon) return icon;
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace korvane
