// The COM message filter: a busy host is retried for about two seconds, and no busy dialog is ever shown.
#pragma once

#include <windows.h>

#include <objidl.h>

#include "host/host_failure.h"

namespace korvane {

class BusyHostFilter final : public IMessageFilter {
 public:
  static constexpr DWORD kRetryWindowMs = 2000;
  static constexpr DWORD kRetryDelayMs = 100;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // Lives as long as its registration; COM's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed_ms, DWORD reject_type) override;
  // Paint and timer messages keep flowing while a call waits; input waits for it.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

// Makes a host call; while the host answers "busy", waits and calls again,
// painting meanwhile, until the filter's retry window has passed. COM's own
// retry through the filter covers hosts whose runtime rejects calls before
// they run; this covers hosts that answer busy from the call itself.
template <typename Call>
HRESULT RetryWhileBusy(Call&& call);

// Waits up to `ms`, dispatching only paint messages (sent messages are
// handled by the wait itself), as the filter does during a call.
void WaitPainting(DWORD ms);

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
    const HRESULT hr = call();
    if (!IsBusyStatus(static_cast<HostStatus>(hr)) ||
        GetTickCount64() - start + BusyHostFilter::kRetryDelayMs >= BusyHostFilter::kRetryWindowMs)
      return hr;
    WaitPainting(BusyHostFilter::kRetryDelayMs);
  }
}

}  // namespace korvane
