// Watches an outstanding host call from a thread of its own; between calls it sleeps.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "host/call_state.h"

namespace korvane {

// A host that hangs holds the window's thread inside the call, where only sent
// messages get through; so the word comes from a timer-queue timer. While a call
// is outstanding its callback sends the window a notification (never waiting for
// it), and posts it a WM_NULL, which wakes COM's wait so that the message filter
// runs the window's queued messages; at most one such WM_NULL is queued at a time.
// The timer is armed as a call begins and parks itself at its first look that finds
// no call outstanding: an idle panel is not woken ten times a second for nothing.
class CallWatch final : public CallListener {
 public:
  static constexpr DWORD kIntervalMs = 100;

  explicit CallWatch(CallState& calls) : calls_(calls) {}
  CallWatch(const CallWatch&) = delete;
  CallWatch& operator=(const CallWatch&) = delete;
  ~CallWatch();

  // `message` goes to `window` while a call is outstanding.
  bool Start(HWND window, UINT message);
  // The window's thread has taken the WM_NULL out of its queue.
  void Woken() { wake_queued_ = false; }
  // CallListener, on the window's thread.
  void CallBegan() override;

 private:
  static void CALLBACK Fire(void* self, BOOLEAN);
  void ParkUnlessInCall();

  CallState& calls_;
  HWND window_ = nullptr;
  UINT message_ = 0;
  HANDLE timer_ = nullptr;
  // Arming and parking, and the look at the call that decides them, go one at a time.
  SRWLOCK arming_ = SRWLOCK_INIT;
  bool armed_ = false;  // under arming_
  std::atomic<bool> wake_queued_{false};
  std::uint64_t woken_for_call_ = 0;  // the timer's thread only
};

}  // namespace korvane
