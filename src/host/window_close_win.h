// Carries out the close CallState decides, and ends the process when a close outlives its grace.
#pragma once

#include <windows.h>

#include "host/call_state.h"

namespace korvane {

// A loop of the window system's own that runs on the window's thread when its close is asked.
enum class WindowLoop { None, Menu, SizeMove };

class WindowClose {
 public:
  explicit WindowClose(CallState& calls) : calls_(calls) {}
  WindowClose(const WindowClose&) = delete;
  WindowClose& operator=(const WindowClose&) = delete;
  // Waits for a look of the deadline under way.
  ~WindowClose();

  // The window's WM_CLOSE, whoever sent or posted it, during a host call or between calls, inside a
  // loop of the window system's or not.
  void Asked(HWND window, WindowLoop loop);
  // The window's thread, in its own loop between messages: a close held for a call or for a loop,
  // once that is over.
  void CarryOutHeld();

  // Ends the process at once, exit code 0: no release, no COM teardown, nothing more
  // asked of a host that has stopped answering. The panel has nothing to save.
  [[noreturn]] static void EndLeavingHost();

 private:
  // From the close's first asking: a timer of its own that ends the process once the close is
  // overdue, whatever the window's thread is stuck in.
  void ArmDeadline();
  static void CALLBACK LookAtDeadline(void* self, BOOLEAN);

  CallState& calls_;
  HWND held_ = nullptr;  // a window whose close waits for the call or the loop under way
  HANDLE deadline_ = nullptr;
};

}  // namespace korvane
