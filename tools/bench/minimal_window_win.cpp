// Start-up baseline for the benchmark: the least a Win32 program does to show one window;
// with --attach it first attaches to the host as the panel does, to show what the link costs.
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
  if (std::wcsstr(command_line, L"--attach")) {
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
  ShowWindow(hwnd, show_command);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  if (host) host->Release();
  return 0;
}
