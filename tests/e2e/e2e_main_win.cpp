// Test entry: per-monitor DPI aware, so window rectangles are read in real pixels.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  // Looked up: the tests build against the same Windows 7 headers as the panel.
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto set_context = reinterpret_cast<SetContext>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  const HANDLE per_monitor_aware_v2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  if (set_context) set_context(per_monitor_aware_v2);
  // The harness asks the running object table whether a host double is up yet.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
