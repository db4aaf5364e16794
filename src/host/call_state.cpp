// The state of the call in progress and of the close, behind one lock.
#include "host/call_state.h"

#include <chrono>

namespace korvane {

Millis SteadyMillis() {
  using namespace std::chrono;
  return static_cast<Millis>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CallState::Began() {
  const Millis now = clock_();
  const std::lock_guard<std::mutex> held(lock_);
  in_call_ = true;
  began_at_ = now;
  ++call_number_;
}

void CallState::Ended() {
  const std::lock_guard<std::mutex> held(lock_);
  in_call_ = false;
}

bool CallState::InCall() const {
  const std::lock_guard<std::mutex> held(lock_);
  return in_call_;
}

Millis CallState::Age() const {
  const Millis now = clock_();
  const std::lock_guard<std::mutex> held(lock_);
  return in_call_ ? now - began_at_ : 0;
}

std::uint64_t CallState::CallNumber() const {
  const std::lock_guard<std::mutex> held(lock_);
  return call_number_;
}

bool CallState::NotResponding() const {
  const Millis now = clock_();
  const std::lock_guard<std::mutex> held(lock_);
  return NotRespondingLocked(now);
}

bool CallState::NotRespondingLocked(Millis now) const { return in_call_ && now - began_at_ >= kNotRespondingAfterMs; }

CallState::CloseStep CallState::RequestClose() {
  const Millis now = clock_();
  const std::lock_guard<std::mutex> held(lock_);
  if (!closing_) {
    closing_ = true;
    close_asked_at_ = now;
  }
  if (!in_call_) return CloseStep::DestroyNow;
  return NotRespondingLocked(now) ? CloseStep::GiveUpHost : CloseStep::AfterTheCall;
}

bool CallState::Closing() const {
  const std::lock_guard<std::mutex> held(lock_);
  return closing_;
}

bool CallState::CloseOverdue() const {
  const Millis now = clock_();
  const std::lock_guard<std::mutex> held(lock_);
  return closing_ && now - close_asked_at_ >= kCloseGraceMs;
}

}  // namespace korvane
