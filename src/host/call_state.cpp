// The state of the call in progress and of the close, in atomics: the watcher thread only reads.
#include "host/call_state.h"

namespace korvane {

// The window's thread writes; a reader that sees a call begun also sees when it began
// (store before the flag, release; load the flag first, acquire).
void CallState::Began() {
  paused_ms_.store(0, std::memory_order_relaxed);
  paused_at_.store(0, std::memory_order_relaxed);
  began_at_.store(clock_(), std::memory_order_relaxed);
  call_number_.fetch_add(1, std::memory_order_relaxed);
  in_call_.store(true, std::memory_order_release);
  if (listener_) listener_->CallBegan();
}

void CallState::Ended() { in_call_.store(false, std::memory_order_release); }

bool CallState::InCall() const { return in_call_.load(std::memory_order_acquire); }

Millis CallState::Age() const {
  if (!InCall()) return 0;
  const Millis began = began_at_.load(std::memory_order_relaxed);
  const Millis now = clock_();
  Millis paused = paused_ms_.load(std::memory_order_relaxed);
  // Read after the total: while ResumeAge adds a loop's time and then clears this, the watcher may
  // count that loop twice, which makes the call look younger for one look, never older.
  if (const Millis loop_began = paused_at_.load(std::memory_order_relaxed); loop_began != 0 && now > loop_began)
    paused += now - loop_began;
  const Millis elapsed = now > began ? now - began : 0;
  return elapsed > paused ? elapsed - paused : 0;
}

void CallState::PauseAge() {
  if (!InCall() || paused_at_.load(std::memory_order_relaxed) != 0) return;
  const Millis now = clock_();
  paused_at_.store(now != 0 ? now : 1, std::memory_order_relaxed);
}

void CallState::ResumeAge() {
  const Millis loop_began = paused_at_.load(std::memory_order_relaxed);
  if (loop_began == 0) return;
  const Millis now = clock_();
  if (now > loop_began) paused_ms_.fetch_add(now - loop_began, std::memory_order_relaxed);
  paused_at_.store(0, std::memory_order_relaxed);
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
