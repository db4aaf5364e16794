// Entry point: one STA, the host binding, the panel window and its message loop.
#include <windows.h>

#include <objbase.h>

#include "host/com_host_win.h"
#include "host/message_filter_win.h"
#include "panel/form1_win.h"

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
  ComApartment apartment;
  if (!apartment) return 1;
  const korvane::MessageFilterRegistration busy_host_retries;
  korvane::ComHost host;
  korvane::Form1 form(host);
  if (!form.Create(instance)) return 1;
  form.Load(show_command);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Lets Tab, Space and Enter move between and press the controls.
    if (form.hwnd() && IsDialogMessageW(form.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
