// The COM message filter: a busy host is retried for about two seconds, no busy dialog is ever shown,
// and while a call waits the window's messages run as in its own loop, closes included.
#pragma once

#include <windows.h>

#include <objidl.h>

#include "host/call_state.h"
#include "host/host_failure.h"
#include "host/message_pump_win.h"

namespace korvane {

// Inside a message that another thread or program sent and is still waiting on. Windows refuses a
// COM call made there (RPC_E_CANTCALLOUT_ININPUTSYNCCALL); work that calls the host is posted back
// to the window's own queue instead. A notification, whose sender does not wait, is not such a send.
inline bool InInputSyncCall() { return (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND; }

// Which of Windows' COM rules the binding and the filter keep themselves. korvane.exe leaves them to
// the runtime it runs on; under Wine, which keeps neither, a test build keeps Windows' own.
struct ComRules {
  // A host call inside such a send is refused, as Windows refuses it.
  bool refuse_calls_inside_sent_messages = false;
  // The filter hears of the messages that arrive while a call waits (Windows need not tell it).
  bool filter_told_of_messages = true;
};
inline constexpr ComRules kWindowsComRules{true, false};

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
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    const HRESULT hr = call();
    if (!IsBusyStatus(static_cast<HostStatus>(hr)) ||
        GetTickCount64() - start + BusyHostFilter::kRetryDelayMs >= BusyHostFilter::kRetryWindowMs)
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
