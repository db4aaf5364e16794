// Whether a host call is outstanding and for how long, and whether the operator has asked to close.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace korvane {

using Millis = std::uint64_t;

// Milliseconds on a steady clock. (Inline: the panel passes the system's tick count instead, and
// so does not carry the C++ clock's run-time support.)
inline Millis SteadyMillis() {
  using namespace std::chrono;
  return static_cast<Millis>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Told on the window's thread as a call begins, so that a watcher can sleep between calls.
class CallListener {
 public:
  virtual void CallBegan() = 0;

 protected:
  ~CallListener() = default;
};

// Decides the close (WindowClose carries it out) and judges a call that does not come back. Shared by the
// window's thread, which makes the calls and takes the close, and the threads that watch the calls
// (CallWatch) and the close's deadline, which read the age of the call and the close.
class CallState {
 public:
  // From this age on a call counts as not answering: the caption says so, clicks made
  // meanwhile are dropped, and a close gives the host up at once.
  static constexpr Millis kNotRespondingAfterMs = 2000;
  // How long a close waits for a call already under way, and then for the release,
  // before it gives the host up: an operator's close ends the panel within a second. The
  // second is shared between the two ends a close can have. A close made halfway through a
  // slow host's 1 s call needs the call's last 0.5 s and the release; a forced end was seen
  // done 5 to 110 ms past the grace under Wine, both cores busy, counted from the close's
  // keystroke or message. The grace leaves each of them about 0.25 s to spare.
  static constexpr Millis kCloseGraceMs = 750;

  enum class CloseStep {
    DestroyNow,    // no call outstanding: close as usual, releasing the host
    AfterTheCall,  // a young call is outstanding: close once it is back
    GiveUpHost,    // the call is not answering: end now, without asking the host anything more
  };

  // `clock` counts milliseconds steadily; the window's thread and the watcher both read it.
  explicit CallState(Millis (*clock)() = SteadyMillis) : clock_(clock) {}
  CallState(const CallState&) = delete;
  CallState& operator=(const CallState&) = delete;

  // One listener at most, for the life of this state (null to stop).
  void Listen(CallListener* listener) { listener_ = listener; }

  void Began();
  void Ended();
  bool InCall() const;
  // Of the call outstanding, less the time a loop of the window system's own (a menu, a move)
  // ran beneath it; 0 between calls. COM hands the call its answer only once such a loop,
  // entered from the messages run while the call waits, has returned: the operator's menu
  // would otherwise age a call that the host had answered in time.
  Millis Age() const;
  // The window system's loop begins, or ends, beneath the outstanding call (ignored between calls).
  void PauseAge();
  void ResumeAge();
  // Counts up by one with every call, so a watcher can tell one call from the next.
  std::uint64_t CallNumber() const;
  bool NotResponding() const;

  // The operator asks to close (any number of times; the first one counts for the grace).
  CloseStep RequestClose();
  bool Closing() const;
  // A close has waited its grace and the panel is still here: the host holds it up.
  bool CloseOverdue() const;

 private:
  Millis (*clock_)();
  CallListener* listener_ = nullptr;  // the window's thread only
  std::atomic<bool> in_call_{false};
  std::atomic<Millis> began_at_{0};
  std::atomic<Millis> paused_ms_{0};  // of the call outstanding, in loops that have ended
  std::atomic<Millis> paused_at_{0};  // when the loop under way began; 0: none
  std::atomic<std::uint64_t> call_number_{0};
  std::atomic<bool> closing_{false};
  std::atomic<Millis> close_asked_at_{0};
};

}  // namespace korvane
