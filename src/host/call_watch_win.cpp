// One periodic timer on the system's timer queue, looking at whichever host call is outstanding.
#include "host/call_watch_win.h"

namespace korvane {

CallWatch::~CallWatch() {
  // Waits for a callback under way; it never waits on the window's thread, so this cannot deadlock.
  if (timer_) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
}

void CallWatch::Arm() {
  if (!window_) return;
  if (!timer_ && !CreateTimerQueueTimer(&timer_, nullptr, &CallWatch::Fire, this, kIntervalMs, kIntervalMs,
                                        WT_EXECUTEINTIMERTHREAD))
    timer_ = nullptr;
  AcquireSRWLockExclusive(&lock_);
  armed_at_ = GetTickCount64();
  sent_ = false;
  ReleaseSRWLockExclusive(&lock_);
}

void CallWatch::Disarm() {
  AcquireSRWLockExclusive(&lock_);
  armed_at_ = 0;
  const bool sent = sent_;
  ReleaseSRWLockExclusive(&lock_);
  if (sent) {
    // Deliver a notification still queued while its call still counts as
    // outstanding, so that it cannot be taken for one about the next call.
    MSG ignored;
    PeekMessageW(&ignored, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void CALLBACK CallWatch::Fire(void* self, BOOLEAN) {
  auto* watch = static_cast<CallWatch*>(self);
  AcquireSRWLockExclusive(&watch->lock_);
  if (watch->armed_at_ != 0) {
    watch->sent_ = true;
    // Neither waits for the window's thread, so holding the lock here cannot deadlock.
    SendNotifyMessageW(watch->window_, watch->message_, static_cast<WPARAM>(GetTickCount64() - watch->armed_at_), 0);
    PostMessageW(watch->window_, WM_NULL, 0, 0);
  }
  ReleaseSRWLockExclusive(&watch->lock_);
}

}  // namespace korvane
