// The panel's program from its entry on: one STA, the host binding, the window and its message loop.
#include "run_panel_win.h"

#include <objbase.h>

#include <cstdlib>

#include "host/call_watch_win.h"
#include "host/com_host_win.h"
#include "panel/system_library_win.h"

#if defined(__GLIBCXX__)
// libstdc++'s default terminate handler prints the exception's demangled type, which brings its
// demangler (about 40 KB) into the exe. The panel has no console to print to; it just ends.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

namespace korvane {
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

int RunPanel(HINSTANCE instance, int show_command, const PanelSetup& setup) {
  // Before anything can load a DLL by name: the panel may run from a downloads folder.
  RestrictDllSearchToSystem32();

  CallState calls(+[]() -> Millis { return GetTickCount64(); });
  WindowClose close(calls);
  // Declared before COM and destroyed after it: the close's deadline covers COM's teardown too.
  CallWatch watch(calls, close);
  ComApartment apartment;
  if (!apartment) return 1;
  MessagePump pump(watch, close);
  MessageFilterRegistration filter(calls, pump, setup.com_rules);
  ComHost host(filter.filter());
  Form1 form(host, calls, close, pump, setup.parts);
  if (!form.Create(instance)) return 1;
  pump.Serve(form);
  if (setup.call_watch) watch.Start(form.hwnd(), kHostCallAgeMessage);
  form.Load(show_command);
  return pump.Run();
}

}  // namespace korvane
