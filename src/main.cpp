// Entry point: one STA, the host binding, the panel window and its message loop.
#include <windows.h>

#include <objbase.h>

#include <cstdlib>

#include "host/call_watch_win.h"
#include "host/com_host_win.h"
#include "host/message_filter_win.h"
#include "panel/form1_win.h"
#include "panel/system_library_win.h"

#if defined(__GLIBCXX__)
// libstdc++'s default terminate handler prints the exception's demangled type, which brings its
// demangler (about 40 KB) into the exe. The panel has no console to print to; it just ends.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

namespace {

class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  explicit operator bool() const { return ok_; }

 private:
  bool ok_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  // Before anything can load a DLL by name: the panel may run from a downloads folder.
  korvane::RestrictDllSearchToSystem32();
  korvane::CallState calls(+[]() -> korvane::Millis { return GetTickCount64(); });
  // Declared before COM and destroyed after it: the close's deadline covers COM's teardown too.
  korvane::CallWatch watch(calls);
  ComApartment apartment;
  if (!apartment) return 1;
  korvane::MessageFilterRegistration filter(calls);
  korvane::ComHost host(filter.filter());
  korvane::Form1 form(host, calls);
  if (!form.Create(instance)) return 1;

  const auto handle = [&](MSG& message) {
    if (message.message == WM_NULL) watch.Woken();
    form.Dispatch(message);
  };
  // While a host call waits, the queued messages run as they would in the loop below.
  filter.filter().PumpWith([&] {
    MSG message;
    for (int handled = 0; handled < 100 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      handle(message);
    }
  });
  form.RunQueuedMessagesWith([&] { filter.filter().Pump(); });
  if constexpr (korvane::Built(korvane::kCallWatchPart)) watch.Start(form.hwnd(), korvane::kHostCallAgeMessage);
  form.Load(show_command);
  form.CloseWhenCallIsBack();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    handle(message);
    form.CloseWhenCallIsBack();
  }
  return static_cast<int>(message.wParam);
}
