// The state of the call in progress and of the close, in atomics: the watcher thread only reads.
#include "host/call_state.h"

namespace korvane {

// The window's thread writes; a reader that sees a call begun also sees when it began
// (store before the flag, release; load the flag first, acquire).
void CallState::Began() {
  began_at_.store(clock_(), std::memory_order_relaxed);
  call_number_.fetch_add(1, std::memory_order_relaxed);
  in_call_.store(true, std::memory_order_release);
}

void CallState::Ended() { in_call_.store(false, std::memory_order_release); }

bool CallState::InCall() const { return in_call_.load(std::memory_order_acquire); }

Millis CallState::Age() const {
  if (!InCall()) return 0;
  const Millis began = began_at_.load(std::memory_order_relaxed);
  const Millis now = clock_();
  return now > began ? now - began : 0;
}

std::uint64_t CallState::CallNumber() const { return call_number_.load(std::memory_order_relaxed); }

bool CallState::NotResponding() const { return InCall() && Age() >= kNotRespondingAfterMs; }

CallState::CloseStep CallState::RequestClose() {
  if (!Closing()) {
    close_asked_at_.store(clock_(), std::memory_order_relaxed);
    closing_.store(true, std::memory_order_release);
  }
  if (!InCall()) return CloseStep::DestroyNow;
  return NotResponding() ? CloseStep::GiveUpHost : CloseStep::AfterTheCall;
}

bool CallState::Closing() const { return closing_.load(std::memory_order_acquire); }

bool CallState::CloseOverdue() const {
  return Closing() && clock_() - close_asked_at_.load(std::memory_order_relaxed) >= kCloseGraceMs;
}

}  // namespace korvane
