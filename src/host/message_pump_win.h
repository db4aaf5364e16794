// The window thread's messages, handled the same way by its loop and while a host call waits.
#pragma once

#include <windows.h>

namespace korvane {

class CallWatch;
class WindowClose;

// The window's own handling of one message (its dialog keys, then dispatch).
class MessageTarget {
 public:
  virtual void Dispatch(MSG& message) = 0;

 protected:
  ~MessageTarget() = default;
};

class MessagePump {
 public:
  MessagePump(CallWatch& watch, WindowClose& close) : watch_(watch), close_(close) {}
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;

  // The window the messages are for; until it is given, only paint messages run during a call.
  void Serve(MessageTarget& target) { target_ = &target; }
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
  MessageTarget* target_ = nullptr;
  bool running_queued_ = false;
};

}  // namespace korvane
