// Carries out the close CallState decides: the window goes now or once the call is back, or the
// process ends and leaves the host; and a close that outlives its grace ends the process.
#pragma once

#include <windows.h>

#include "host/call_state.h"

namespace korvane {

// A loop of the window system's own that the window is in when its close is asked.
enum class WindowLoop { None, Menu, SizeMove };

class WindowClose {
 public:
  explicit WindowClose(CallState& calls) : calls_(calls) {}
  WindowClose(const WindowClose&) = delete;
  WindowClose& operator=(const WindowClose&) = delete;

  // The window's WM_CLOSE, whoever sent or posted it, during a host call or between calls.
  void Asked(HWND window, WindowLoop loop);
  // The window's thread, between messages: a close held for a call, once the call is back.
  void CarryOutHeld();
  // The call watch's thread: a close past its grace ends the process, whatever the window's
  // thread is stuck in.
  void EndIfOverdue() const;

  // Ends the process at once, exit code 0: no release, no COM teardown, nothing more
  // asked of a host that has stopped answering. The panel has nothing to save.
  [[noreturn]] static void EndLeavingHost();

 private:
  CallState& calls_;
  HWND held_ = nullptr;  // a window whose close waits for the call under way
};

}  // namespace korvane
