// The panel's program from its entry on: the DLL search, the panel's objects and the message loop.
#include "run_panel_win.h"

#include <cstdlib>

#include "panel/system_library_win.h"

#if defined(__GLIBCXX__)
// libstdc++'s default terminate handler prints the exception's demangled type, which brings its
// demangler (about 40 KB) into the exe. The panel has no console to print to; it just ends.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

namespace korvane {

int RunPanel(HINSTANCE instance, int show_command, const PanelSetup& setup) {
  // Before anything can load a DLL by name: the panel may run from a downloads folder.
  RestrictDllSearchToSystem32();
  PanelProgram panel(setup);
  if (!panel.Create(instance)) return 1;
  panel.form.Load(show_command);
  return panel.pump.Run();
}

}  // namespace korvane
