// The close carried out on the window's thread, and its deadline on the call watch's.
#include "host/window_close_win.h"

#include <utility>

#include "host/message_filter_win.h"

namespace korvane {
namespace {

// A menu ends on WM_CANCELMODE. A move or size loop ends on Esc, which cancels the move, under
// Windows and Wine alike; Wine's ends on nothing else but the button let go.
void EndWindowLoop(HWND window, WindowLoop loop) {
  if (loop == WindowLoop::None) return;
  SendMessageW(window, WM_CANCELMODE, 0, 0);
  if (loop == WindowLoop::SizeMove) PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace

void WindowClose::Asked(HWND window, WindowLoop loop) {
  // Asked first, whoever asks: it only sets the close's state, and arms its deadline.
  const CallState::CloseStep step = calls_.RequestClose();
  if (step == CallState::CloseStep::GiveUpHost) {
    if (InSendMessage()) ReplyMessage(0);  // a sender waiting on the close hears back before the end
    EndLeavingHost();
  }
  if (InInputSyncCall()) {
    // Sent by another program: the release would fail inside its send, so the close
    // is carried out from the window's own queue.
    PostMessageW(window, WM_CLOSE, 0, 0);
    return;
  }
  if (step == CallState::CloseStep::AfterTheCall) {
    // A menu or move loop beneath the call holds its answer back: the close ends it, so that the
    // call can come back within the close's grace and the host be let go of normally.
    EndWindowLoop(window, loop);
    ShowWindow(window, SW_HIDE);
    held_ = window;
    return;
  }
  held_ = nullptr;
  DestroyWindow(window);
}

void WindowClose::CarryOutHeld() {
  if (held_ && !calls_.InCall()) DestroyWindow(std::exchange(held_, nullptr));
}

void WindowClose::EndIfOverdue() const {
  if (calls_.CloseOverdue()) EndLeavingHost();
}

void WindowClose::EndLeavingHost() {
  TerminateProcess(GetCurrentProcess(), 0);
  ExitProcess(0);  // not reached
}

}  // namespace korvane
