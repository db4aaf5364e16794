// The window thread's message loop, and the same handling run from inside a host call.
#include "host/message_pump_win.h"

#include "host/call_watch_win.h"
#include "host/window_close_win.h"

namespace korvane {

int MessagePump::Run() {
  close_.CarryOutHeld();  // a close asked during start-up's calls
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    Handle(message);
    close_.CarryOutHeld();
  }
  return static_cast<int>(message.wParam);
}

void MessagePump::RunQueued() {
  if (running_queued_) return;
  running_queued_ = true;
  MSG message;
  if (!window_) {
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
  } else {
    for (int handled = 0; handled < 100 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // for the loop, once the call is back
        break;
      }
      Handle(message);
    }
  }
  running_queued_ = false;
}

void MessagePump::Handle(MSG& message) {
  if (message.message == WM_NULL) watch_.Woken();
  if (window_) {
    dispatch_(window_, message);
  } else {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace korvane
