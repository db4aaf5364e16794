// Tells the panel's window, while one host call is outstanding, how long it has been.
#pragma once

#include <windows.h>

#include <atomic>

namespace korvane {

// A host that hangs holds the window's thread inside the call, where only sent
// messages get through; so the word comes from a timer-queue timer, whose
// callback only sends the window a notification (never waiting for it) with
// the milliseconds since the call began, and posts it a WM_NULL, which wakes
// COM's wait so that the message filter looks at the queue again.
class CallWatch {
 public:
  static constexpr DWORD kIntervalMs = 250;

  CallWatch() = default;
  CallWatch(const CallWatch&) = delete;
  CallWatch& operator=(const CallWatch&) = delete;
  ~CallWatch() { Disarm(); }

  // `message` goes to `window` with the elapsed milliseconds as its WPARAM.
  void NotifyTo(HWND window, UINT message) {
    window_ = window;
    message_ = message;
  }
  void Arm();
  // After this nothing more is sent, and what was sent has been delivered.
  void Disarm();

 private:
  static void CALLBACK Fire(void* self, BOOLEAN);

  HWND window_ = nullptr;
  UINT message_ = 0;
  HANDLE timer_ = nullptr;
  ULONGLONG armed_at_ = 0;
  std::atomic<bool> fired_{false};
};

}  // namespace korvane
