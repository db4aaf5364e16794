// One periodic timer on the system's timer queue, looking at whichever host call is outstanding.
#include "host/call_watch_win.h"

namespace korvane {

CallWatch::~CallWatch() {
  // Waits for a callback under way; it never waits on the window's thread, so this cannot deadlock.
  if (timer_) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
}

bool CallWatch::Start(HWND window, UINT message) {
  window_ = window;
  message_ = message;
  if (!timer_ && !CreateTimerQueueTimer(&timer_, nullptr, &CallWatch::Fire, this, kIntervalMs, kIntervalMs,
                                        WT_EXECUTEINTIMERTHREAD))
    timer_ = nullptr;
  return timer_ != nullptr;
}

void CALLBACK CallWatch::Fire(void* self, BOOLEAN) {
  auto* watch = static_cast<CallWatch*>(self);
  watch->close_.EndIfOverdue();
  if (!watch->calls_.InCall()) return;
  // A WM_NULL of an earlier call may have been taken by the window's own loop.
  if (const std::uint64_t call = watch->calls_.CallNumber(); call != watch->woken_for_call_) {
    watch->woken_for_call_ = call;
    watch->wake_queued_ = false;
  }
  SendNotifyMessageW(watch->window_, watch->message_, static_cast<WPARAM>(watch->calls_.Age()), 0);
  if (!watch->wake_queued_.exchange(true)) PostMessageW(watch->window_, WM_NULL, 0, 0);
}

}  // namespace korvane
