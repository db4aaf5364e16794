// Tells the panel's window, while one host call is outstanding, how long it has been.
#pragma once

#include <windows.h>

namespace korvane {

// A host that hangs holds the window's thread inside the call, where only sent
// messages get through; so the word comes from a timer-queue timer, whose
// callback only sends the window a notification (never waiting for it) with
// the milliseconds since the call began, and posts it a WM_NULL, which wakes
// COM's wait so that the message filter looks at the queue again. The timer
// runs from the first call on; between calls its callback does nothing.
class CallWatch {
 public:
  static constexpr DWORD kIntervalMs = 250;

  CallWatch() = default;
  CallWatch(const CallWatch&) = delete;
  CallWatch& operator=(const CallWatch&) = delete;
  ~CallWatch();

  // `message` goes to `window` with the elapsed milliseconds as its WPARAM.
  void NotifyTo(HWND window, UINT message) {
    window_ = window;
    message_ = message;
  }
  void Arm();
  // After this nothing more is sent about the call, and what was sent has been delivered.
  void Disarm();

 private:
  static void CALLBACK Fire(void* self, BOOLEAN);

  HWND window_ = nullptr;
  UINT message_ = 0;
  HANDLE timer_ = nullptr;
  SRWLOCK lock_ = SRWLOCK_INIT;  // guards the two below against the timer's thread
  ULONGLONG armed_at_ = 0;       // 0 between calls
  bool sent_ = false;
};

}  // namespace korvane
