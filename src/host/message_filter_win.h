// The COM message filter: a busy host is retried for about two seconds, no busy dialog is ever shown,
// and a close asked for during a call abandons the call.
#pragma once

#include <windows.h>

#include <objidl.h>

#include "host/host_failure.h"

namespace korvane {

class BusyHostFilter final : public IMessageFilter {
 public:
  static constexpr DWORD kRetryWindowMs = 2000;
  static constexpr DWORD kRetryDelayMs = 100;
  // A close cancels only a call this old: a quick call finishes, and the close then releases the host.
  static constexpr DWORD kCancelAfterMs = 200;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // Lives as long as its registration; COM's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed_ms, DWORD reject_type) override;
  // Paint messages keep flowing while a call waits and input waits for it, unless the operator
  // asks to close: then the call is cancelled, and the close runs once it has unwound.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed_ms, DWORD) override;
};

// True once the operator has asked to close while a host call was outstanding; every
// host call after that is cancelled before it starts.
bool CloseRequested();
// How long ago the filter first cancelled a call for the close; 0 when it has not.
ULONGLONG MsSinceCallCancelled();
// Looks for a close the operator asked for in the queue, and notes it.
bool CheckForCloseRequest();
// For a close that reached the window itself during a call.
void NoteCloseRequest();

// Makes a host call; while the host answers "busy", waits and calls again,
// painting meanwhile, until the filter's retry window has passed. COM's own
// retry through the filter covers hosts whose runtime rejects calls before
// they run; this covers hosts that answer busy from the call itself.
template <typename Call>
HRESULT RetryWhileBusy(Call&& call);

// Waits up to `ms`, dispatching only paint messages (sent messages are
// handled by the wait itself), as the filter does during a call. Returns
// early, false, when the operator asks to close meanwhile.
bool WaitPainting(DWORD ms);

// Registers the filter for the calling STA thread and puts the previous one back at the end.
class MessageFilterRegistration {
 public:
  MessageFilterRegistration();
  MessageFilterRegistration(const MessageFilterRegistration&) = delete;
  MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;
  ~MessageFilterRegistration();

 private:
  BusyHostFilter filter_;
  IMessageFilter* previous_ = nullptr;
  bool registered_ = false;
};

template <typename Call>
HRESULT RetryWhileBusy(Call&& call) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (CloseRequested()) return RPC_E_CALL_CANCELED;
    const HRESULT hr = call();
    if (!IsBusyStatus(static_cast<HostStatus>(hr)) ||
        GetTickCount64() - start + BusyHostFilter::kRetryDelayMs >= BusyHostFilter::kRetryWindowMs)
      return hr;
    if (!WaitPainting(BusyHostFilter::kRetryDelayMs)) return RPC_E_CALL_CANCELED;  // the host answers: only busy
  }
}

}  // namespace korvane
