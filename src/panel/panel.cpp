// Routes the window's events to start-up, the poll, the commands and close.
#include "panel/panel.h"

#include <utility>

#include "monitor/poll.h"
#include "panel/controls.h"

namespace korvane {

Panel::Panel(HostAutomation& binding, PanelView& view, CallState& calls)
    : link_(binding, calls), view_(view), calls_(calls) {
  link_.OnHostLost([this] { view_.SetCaption(kHostLostCaption); });
  link_.OnCallEnded([this] {
    if (!std::exchange(not_responding_shown_, false)) return;
    view_.SetCaption(link_.HostLost() ? kHostLostCaption : kAppTitle);
  });
}

void Panel::Load() {
  link_.StartUp([this] { view_.ShowMessage(kNotLoadedMessage, kAppTitle); });
  // The readouts keep their starting texts, which look like a healthy reading: the caption tells.
  if (!link_.IsUp() && !link_.HostLost() && !calls_.Closing()) view_.SetCaption(kNotLoadedCaption);
  view_.FillModeList(kModeListEntry);
}

void Panel::Tick() {
  if (in_modal_loop_) {
    tick_held_ = true;
    return;
  }
  tick_held_ = false;
  if (busy_) return;
  Exclusive([this] { PollTick(link_, view_); });
}

void Panel::ModalLoopBegan() {
  in_modal_loop_ = true;
  calls_.PauseAge();
}

bool Panel::ModalLoopEnded() {
  in_modal_loop_ = false;
  calls_.ResumeAge();
  return tick_held_ || (!busy_ && !pending_clicks_.empty());
}

bool Panel::RunHeldWork() {
  if (in_modal_loop_ || busy_) return false;  // held again, or run by the call in progress
  const bool tick = std::exchange(tick_held_, false);
  if (!tick && pending_clicks_.empty()) return false;
  Exclusive([this, tick] {
    if (tick) PollTick(link_, view_);
  });
  return tick;
}

void Panel::Click(CommandButton button) {
  // Made while the host is not answering, a click would be carried out whenever the
  // host comes back, seconds later: a transmitter keyed when nobody expects it.
  if (calls_.Closing() || calls_.NotResponding()) return;
  if (busy_ || in_modal_loop_) {
    pending_clicks_.push_back(button);
    return;
  }
  Exclusive([this, button] { RunCommand(link_, button); });
}

void Panel::Unload() { link_.Close(); }

void Panel::HostNotResponding() {
  if (!calls_.NotResponding() || not_responding_shown_) return;
  not_responding_shown_ = true;
  pending_clicks_.clear();
  view_.SetCaption(kNotRespondingCaption);
}

template <typename Work>
void Panel::Exclusive(Work&& work) {
  busy_ = true;
  work();
  while (!pending_clicks_.empty() && !calls_.Closing()) {
    const CommandButton next = pending_clicks_.front();
    pending_clicks_.erase(pending_clicks_.begin());
    RunCommand(link_, next);
  }
  pending_clicks_.clear();
  busy_ = false;
}

}  // namespace korvane
