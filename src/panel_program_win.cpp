// The panel's objects brought to life: COM, the window, the pump serving it, the call watch.
#include "panel_program_win.h"

namespace korvane {

bool PanelProgram::Create(HINSTANCE instance) {
  if (!apartment || !form.Create(instance)) return false;
  pump.Serve(form);
  if (setup.call_watch) watch.Start(form.hwnd(), kHostCallAgeMessage);
  return true;
}

}  // namespace korvane
