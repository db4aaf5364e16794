// The benchmark's floor: what any panel to this design must do, done plainly. The panel's manifest
// (common controls 6, the same DPI awareness), its eleven controls from the same table at the
// window's DPI, the attach, and every 500 ms the poll's four reads by name with both readouts
// written. None of the panel's own additions: no call watch, no font fit, no icons.
// --no-attach leaves the host out, to show what the link itself costs.
#include <windows.h>

#include <objbase.h>

#include <cwchar>
#include <string>

#include "floor_tick_win.h"
#include "panel/control_classes_win.h"
#include "panel/controls.h"

namespace {

IDispatch* g_host = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && g_host) floor_tick::ReadAndShow(g_host, hwnd);
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show_command) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (!std::wcsstr(command_line, L"--no-attach")) {
    CLSID clsid;
    IUnknown* running = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"MixW2.Application", &clsid)) &&
        SUCCEEDED(GetActiveObject(clsid, nullptr, &running))) {
      running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&g_host));
      running->Release();
    }
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"KorvaneBenchMinimal";
  RegisterClassW(&wc);
  const HWND hwnd = CreateWindowW(wc.lpszClassName, L"minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  for (const korvane::ControlSpec* control : korvane::ControlsInCreationOrder()) {
    const korvane::ControlClass cls = korvane::ClassFor(control->kind);
    const std::wstring text(control->text);
    const int rows = control->kind == korvane::ControlKind::ModeList ? 6 : 1;  // a drop-down list's open height
    const int height = korvane::TwipsToPixels(control->height * rows, dpi);
    CreateWindowExW(cls.ex_style, cls.window_class, text.c_str(), WS_CHILD | WS_VISIBLE | cls.style,
                    korvane::TwipsToPixels(control->left, dpi), korvane::TwipsToPixels(control->top, dpi),
                    korvane::TwipsToPixels(control->width, dpi), height, hwnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id)), instance, nullptr);
  }
  const std::wstring entry(korvane::kModeListEntry);
  SendDlgItemMessageW(hwnd, korvane::kIdCombo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  SendDlgItemMessageW(hwnd, korvane::kIdCombo1, CB_SETCURSEL, 0, 0);
  RECT frame{0, 0, korvane::TwipsToPixels(korvane::kClientWidthTwips, dpi),
             korvane::TwipsToPixels(korvane::kClientHeightTwips, dpi)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
  SetTimer(hwnd, 1, 500, nullptr);
  ShowWindow(hwnd, show_command);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (g_host) g_host->Release();
  CoUninitialize();
  return 0;
}
