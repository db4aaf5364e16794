// The COM message filter: a busy host retried for two seconds, no busy dialog, the window's messages run in a call.
#pragma once

#include <windows.h>

#include <objidl.h>

#include "host/call_state.h"
#include "host/com_rules_win.h"
#include "host/host_failure.h"
#include "host/message_pump_win.h"
#include "host/working_time_win.h"

namespace korvane {

class BusyHostFilter final : public IMessageFilter {
 public:
  static constexpr DWORD kRetryWindowMs = 2000;
  static constexpr DWORD kRetryDelayMs = 100;

  BusyHostFilter(const CallState& calls, MessagePump& pump, ComRules rules = {})
      : calls_(calls), pump_(pump), rules_(rules) {}
  const ComRules& rules() const { return rules_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // Lives as long as its registration; COM's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed_ms, DWORD reject_type) override;
  // The window's messages run while the call waits: the operator can type, click (the
  // panel queues or drops the clicks) and close; a close is carried out by the window
  // once the call is back, or by the call watch when the host does not answer.
  // Windows need not call this for every message (posted ones in particular), so the
  // call watch's notification runs the same pump as well.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override;

  bool Closing() const { return calls_.Closing(); }
  // Waits up to `ms`, running the window's messages meanwhile. Returns early,
  // false, when the operator asks to close.
  bool WaitPumping(DWORD ms);

 private:
  const CallState& calls_;
  MessagePump& pump_;
  const ComRules rules_;
};

// Makes a host call; while the host answers "busy", waits and calls again,
// running the window's messages meanwhile, until the filter's retry window has
// passed. COM's own retry through the filter covers hosts whose runtime rejects
// calls before they run; this covers hosts that answer busy from the call itself.
template <typename Call>
HRESULT RetryWhileBusy(BusyHostFilter& filter, Call&& call) {
  const Millis start = WorkingMillis();
  for (;;) {
    const HRESULT hr = call();
    if (!IsBusyStatus(static_cast<HostStatus>(hr)) ||
        WorkingMillis() - start + BusyHostFilter::kRetryDelayMs >= BusyHostFilter::kRetryWindowMs)
      return hr;
    if (!filter.WaitPumping(BusyHostFilter::kRetryDelayMs)) return hr;
  }
}

// Registers a filter for the calling STA thread and puts the previous one back at the end.
class MessageFilterRegistration {
 public:
  MessageFilterRegistration(const CallState& calls, MessagePump& pump, ComRules rules = {});
  MessageFilterRegistration(const MessageFilterRegistration&) = delete;
  MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;
  ~MessageFilterRegistration();
  BusyHostFilter& filter() { return filter_; }

 private:
  BusyHostFilter filter_;
  IMessageFilter* previous_ = nullptr;
  bool registered_ = false;
};

}  // namespace korvane
