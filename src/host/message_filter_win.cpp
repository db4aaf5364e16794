// Retry policy for calls the host rejects because it is busy, and the window's messages during a call.
#include "host/message_filter_win.h"

namespace korvane {

HRESULT STDMETHODCALLTYPE BusyHostFilter::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
    *out = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

DWORD STDMETHODCALLTYPE BusyHostFilter::RetryRejectedCall(HTASK, DWORD elapsed_ms, DWORD reject_type) {
  // (DWORD)-1 cancels the call, which then fails with RPC_E_CALL_REJECTED.
  if (reject_type == SERVERCALL_RETRYLATER && elapsed_ms < kRetryWindowMs && !Closing()) return kRetryDelayMs;
  return static_cast<DWORD>(-1);
}

DWORD STDMETHODCALLTYPE BusyHostFilter::MessagePending(HTASK, DWORD, DWORD) {
  if (rules_.filter_told_of_messages) pump_.RunQueued();
  return PENDINGMSG_WAITNOPROCESS;
}

bool BusyHostFilter::WaitPumping(DWORD ms) {
  const Millis end = WorkingMillis() + ms;
  for (Millis now = WorkingMillis(); now < end && !Closing(); now = WorkingMillis()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    pump_.RunQueued();
  }
  return !Closing();
}

MessageFilterRegistration::MessageFilterRegistration(const CallState& calls, MessagePump& pump, ComRules rules)
    : filter_(calls, pump, rules) {
  registered_ = SUCCEEDED(CoRegisterMessageFilter(&filter_, &previous_));
}

MessageFilterRegistration::~MessageFilterRegistration() {
  if (!registered_) return;
  IMessageFilter* ours = nullptr;
  CoRegisterMessageFilter(previous_, &ours);
  if (previous_) previous_->Release();
}

}  // namespace korvane
