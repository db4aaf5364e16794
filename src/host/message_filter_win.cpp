// Retry policy for calls the host rejects because it is busy.
#include "host/message_filter_win.h"

namespace korvane {
namespace {

bool g_close_requested = false;  // one thread: the window's
ULONGLONG g_cancelled_at = 0;

bool Queued(UINT message, MSG& found) {
  return PeekMessageW(&found, nullptr, message, message, PM_NOREMOVE | PM_NOYIELD) != FALSE;
}

// A close the operator asked for that waits in the queue: a posted close or quit, the system
// menu's or the close box's Close, Alt+F4.
bool CloseInQueue() {
  MSG m;
  return Queued(WM_CLOSE, m) || Queued(WM_QUIT, m) || (Queued(WM_SYSCOMMAND, m) && (m.wParam & 0xFFF0) == SC_CLOSE) ||
         (Queued(WM_SYSKEYDOWN, m) && m.wParam == VK_F4) || (Queued(WM_NCLBUTTONDOWN, m) && m.wParam == HTCLOSE);
}

}  // namespace

bool CloseRequested() { return g_close_requested; }

bool CheckForCloseRequest() {
  if (!g_close_requested && CloseInQueue()) g_close_requested = true;
  return g_close_requested;
}

void NoteCloseRequest() { g_close_requested = true; }

DWORD STDMETHODCALLTYPE BusyHostFilter::MessagePending(HTASK, DWORD elapsed_ms, DWORD) {
  if (elapsed_ms < kCancelAfterMs || !CheckForCloseRequest()) return PENDINGMSG_WAITDEFPROCESS;
  if (g_cancelled_at == 0) g_cancelled_at = GetTickCount64();
  return PENDINGMSG_CANCELCALL;
}

ULONGLONG MsSinceCallCancelled() { return g_cancelled_at ? GetTickCount64() - g_cancelled_at : 0; }

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
  if (reject_type == SERVERCALL_RETRYLATER && elapsed_ms < kRetryWindowMs && !CloseRequested()) return kRetryDelayMs;
  return static_cast<DWORD>(-1);
}

bool WaitPainting(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now),
                              QS_PAINT | QS_SENDMESSAGE | QS_POSTMESSAGE | QS_KEY | QS_MOUSEBUTTON);
    if (CheckForCloseRequest()) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

MessageFilterRegistration::MessageFilterRegistration()
    : registered_(SUCCEEDED(CoRegisterMessageFilter(&filter_, &previous_))) {}

MessageFilterRegistration::~MessageFilterRegistration() {
  if (!registered_) return;
  IMessageFilter* ours = nullptr;
  CoRegisterMessageFilter(previous_, &ours);
  if (previous_) previous_->Release();
}

}  // namespace korvane
