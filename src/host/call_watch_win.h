// Watches the host calls from a thread of its own: their age for the window, and the close's deadline.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "host/call_state.h"
#include "host/window_close_win.h"

namespace korvane {

// A host that hangs holds the window's thread inside the call, where only sent
// messages get through; so the word comes from a timer-queue timer. While a call
// is outstanding its callback sends the window a notification (never waiting for
// it) with the call's age, and posts it a WM_NULL, which wakes COM's wait so that
// the message filter runs the window's queued messages; at most one such WM_NULL
// is queued at a time. Once a close has waited its grace, the callback has the close
// end the process.
class CallWatch {
 public:
  static constexpr DWORD kIntervalMs = 100;

  CallWatch(const CallState& calls, const WindowClose& close) : calls_(calls), close_(close) {}
  CallWatch(const CallWatch&) = delete;
  CallWatch& operator=(const CallWatch&) = delete;
  ~CallWatch();

  // `message` goes to `window` with the call's age in milliseconds as its WPARAM.
  bool Start(HWND window, UINT message);
  // The window's thread has taken the WM_NULL out of its queue.
  void Woken() { wake_queued_ = false; }

 private:
  static void CALLBACK Fire(void* self, BOOLEAN);

  const CallState& calls_;
  const WindowClose& close_;
  HWND window_ = nullptr;
  UINT message_ = 0;
  HANDLE timer_ = nullptr;
  std::atomic<bool> wake_queued_{false};
  std::uint64_t woken_for_call_ = 0;  // the timer's thread only
};

}  // namespace korvane
