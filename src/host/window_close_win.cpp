// The close carried out on the window's thread, and its deadline on the system's timer queue.
#include "host/window_close_win.h"

#include <utility>

#include "host/com_rules_win.h"

namespace korvane {
namespace {

// After the first look, should the timer's clock run a little ahead of the close's.
constexpr DWORD kDeadlineRecheckMs = 10;

// A menu ends on EndMenu, whichever window owns it (a text box's own menu included), and on
// WM_CANCELMODE. A move or size loop ends on Esc, which cancels the move, under Windows and Wine
// alike; Wine's ends on nothing else but the button let go.
void EndWindowLoop(HWND window, WindowLoop loop) {
  if (loop == WindowLoop::None) return;
  EndMenu();
  SendMessageW(window, WM_CANCELMODE, 0, 0);
  if (loop == WindowLoop::SizeMove) PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace

WindowClose::~WindowClose() {
  if (deadline_) DeleteTimerQueueTimer(nullptr, deadline_, INVALID_HANDLE_VALUE);
}

void WindowClose::Asked(HWND window, WindowLoop loop) {
  // Asked first, whoever asks: it only sets the close's state, and arms its deadline.
  const CallState::CloseStep step = calls_.RequestClose();
  ArmDeadline();
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
  if (step == CallState::CloseStep::AfterTheCall || loop != WindowLoop::None) {
    // A loop beneath the call holds its answer back, and the window must not go from under a
    // loop that a control of its own runs: the close ends the loop, so that the call can come
    // back within the close's grace and the host be let go of normally.
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

void WindowClose::ArmDeadline() {
  if (deadline_) return;
  if (!CreateTimerQueueTimer(&deadline_, nullptr, &WindowClose::LookAtDeadline, this,
                             static_cast<DWORD>(CallState::kCloseGraceMs), kDeadlineRecheckMs, WT_EXECUTEINTIMERTHREAD))
    deadline_ = nullptr;
}

void CALLBACK WindowClose::LookAtDeadline(void* self, BOOLEAN) {
  if (static_cast<WindowClose*>(self)->calls_.CloseOverdue()) EndLeavingHost();
}

void WindowClose::EndLeavingHost() {
  TerminateProcess(GetCurrentProcess(), 0);
  ExitProcess(0);  // not reached
}

}  // namespace korvane
