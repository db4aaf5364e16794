// The window thread's messages, handled the same way by its loop and while a host call waits.
#pragma once

#include <windows.h>

namespace korvane {

class CallWatch;
class WindowClose;

class MessagePump {
 public:
  MessagePump(CallWatch& watch, WindowClose& close) : watch_(watch), close_(close) {}
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;

  // The window the messages are for, by its own handling of one message, `Dispatch(MSG&)` (its
  // dialog keys, then dispatch); until it is given, only paint messages run during a call.
  // (A function, not an interface: a second base class for the window would bring the run-time
  // support for multiple inheritance, about 3 KB, into the exe.)
  template <typename Window>
  void Serve(Window& window) {
    window_ = &window;
    dispatch_ = [](void* served, MSG& message) { static_cast<Window*>(served)->Dispatch(message); };
  }
  // The thread's loop, until WM_QUIT; returns its exit code.
  int Run();
  // From inside a host call's wait (the message filter, the call watch's word): the queued messages,
  // up to a hundred, as Run would handle them. A message run here may ask for this in turn, which
  // does nothing.
  void RunQueued();

 private:
  void Handle(MSG& message);

  CallWatch& watch_;
  WindowClose& close_;
  void* window_ = nullptr;
  void (*dispatch_)(void* window, MSG& message) = nullptr;
  bool running_queued_ = false;
};

}  // namespace korvane
