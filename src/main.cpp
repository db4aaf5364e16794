// Entry point: one STA, the host binding, the panel window and its message loop.
#include <windows.h>

#include <objbase.h>

#include <cstdlib>

#include "host/com_host_win.h"
#include "host/message_filter_win.h"
#include "panel/form1_win.h"

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
  // Leaves COM to the process's end: uninitialising would release what is still held.
  void Abandon() { ok_ = false; }

 private:
  bool ok_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  ComApartment apartment;
  if (!apartment) return 1;
  const korvane::MessageFilterRegistration busy_host_retries;
  korvane::CallWatch watch;
  korvane::ComHost host(&watch);
  korvane::Form1 form(host);
  if (!form.Create(instance)) return 1;
  watch.NotifyTo(form.hwnd(), korvane::kHostCallAgeMessage);
  form.Load(show_command);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Lets Tab, Space and Enter move between and press the controls.
    if (form.hwnd() && IsDialogMessageW(form.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // A host that hung is not asked for anything more, not even by COM's teardown.
  if (form.HostAbandoned()) apartment.Abandon();
  return static_cast<int>(message.wParam);
}
