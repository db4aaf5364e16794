// The benchmark's floor: the least a program with the panel's manifest (common controls 6, the same
// DPI awareness) does to show a window with one control, having first attached to the host as the
// panel does. --no-attach leaves the host out, to show what the link itself costs.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cwchar>

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show_command) {
  IUnknown* host = nullptr;
  if (!std::wcsstr(command_line, L"--no-attach")) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID clsid;
    IUnknown* running = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"MixW2.Application", &clsid)) &&
        SUCCEEDED(GetActiveObject(clsid, nullptr, &running))) {
      running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&host));
      running->Release();
    }
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"KorvaneBenchMinimal";
  RegisterClassW(&wc);
  const HWND hwnd = CreateWindowW(wc.lpszClassName, L"minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 300,
                                  130, nullptr, nullptr, instance, nullptr);
  // One control, which loads common controls 6 as the panel's do.
  CreateWindowW(L"STATIC", L"minimal", WS_CHILD | WS_VISIBLE, 8, 8, 120, 20, hwnd, nullptr, instance, nullptr);
  ShowWindow(hwnd, show_command);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  if (host) host->Release();
  return 0;
}
