// One timer on the system's timer queue, armed while a host call is outstanding.
#include "host/call_watch_win.h"

namespace korvane {
namespace {

// Due in some 49 days: the timer is parked. It stays periodic, so that it can be armed again.
constexpr DWORD kParked = 0xFFFFFFFEu;

}  // namespace

CallWatch::~CallWatch() {
  calls_.Listen(nullptr);
  // Waits for a callback under way; it never waits on the window's thread, so this cannot deadlock.
  if (timer_) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
}

bool CallWatch::Start(HWND window, UINT message) {
  window_ = window;
  message_ = message;
  if (!timer_ &&
      !CreateTimerQueueTimer(&timer_, nullptr, &CallWatch::Fire, this, kParked, kIntervalMs, WT_EXECUTEINTIMERTHREAD))
    timer_ = nullptr;
  if (timer_) calls_.Listen(this);
  return timer_ != nullptr;
}

void CallWatch::CallBegan() {
  AcquireSRWLockExclusive(&arming_);
  if (!armed_ && ChangeTimerQueueTimer(nullptr, timer_, kIntervalMs, kIntervalMs)) armed_ = true;
  ReleaseSRWLockExclusive(&arming_);
}

void CallWatch::ParkUnlessInCall() {
  // Looked at again under the lock: a call that began meanwhile has armed the timer already, or
  // waits to, and finds it parked.
  AcquireSRWLockExclusive(&arming_);
  if (armed_ && !calls_.InCall() && ChangeTimerQueueTimer(nullptr, timer_, kParked, kIntervalMs)) armed_ = false;
  ReleaseSRWLockExclusive(&arming_);
}

void CALLBACK CallWatch::Fire(void* self, BOOLEAN) {
  auto* watch = static_cast<CallWatch*>(self);
  if (!watch->calls_.InCall()) {
    watch->ParkUnlessInCall();
    return;
  }
  // A WM_NULL of an earlier call may have been taken by the window's own loop.
  if (const std::uint64_t call = watch->calls_.CallNumber(); call != watch->woken_for_call_) {
    watch->woken_for_call_ = call;
    watch->wake_queued_ = false;
  }
  SendNotifyMessageW(watch->window_, watch->message_, 0, 0);
  if (!watch->wake_queued_.exchange(true)) PostMessageW(watch->window_, WM_NULL, 0, 0);
}

}  // namespace korvane
