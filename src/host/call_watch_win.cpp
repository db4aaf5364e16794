// A timer on the system's timer queue for as long as a host call lasts.
#include "host/call_watch_win.h"

namespace korvane {

void CallWatch::Arm() {
  Disarm();
  if (!window_) return;
  fired_ = false;
  armed_at_ = GetTickCount64();
  if (!CreateTimerQueueTimer(&timer_, nullptr, &CallWatch::Fire, this, kIntervalMs, kIntervalMs,
                             WT_EXECUTEINTIMERTHREAD))
    timer_ = nullptr;
}

void CallWatch::Disarm() {
  if (!timer_) return;
  // Waits for a callback under way; it never waits on this thread, so this cannot deadlock.
  DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
  timer_ = nullptr;
  if (fired_) {
    // Deliver a notification still queued while its call still counts as
    // outstanding, so that it cannot be taken for one about the next call.
    MSG ignored;
    PeekMessageW(&ignored, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void CALLBACK CallWatch::Fire(void* self, BOOLEAN) {
  auto* watch = static_cast<CallWatch*>(self);
  watch->fired_ = true;
  SendNotifyMessageW(watch->window_, watch->message_, static_cast<WPARAM>(GetTickCount64() - watch->armed_at_), 0);
  PostMessageW(watch->window_, WM_NULL, 0, 0);
}

}  // namespace korvane
