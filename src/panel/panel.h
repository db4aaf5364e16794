// The panel's logic: load, clicks, ticks and unload, independent of the window system.
#pragma once

#include <vector>

#include "host/host_link.h"
#include "panel/commands.h"
#include "panel/panel_view.h"

namespace korvane {

inline constexpr std::wstring_view kHostLostCaption = L"Korvane - host lost";
inline constexpr std::wstring_view kNotRespondingCaption = L"Korvane - host not responding";
// The idle panel's caption, once the operator has dismissed the start-up message.
inline constexpr std::wstring_view kNotLoadedCaption = L"Korvane - MixW2 not loaded";

class Panel {
 public:
  Panel(HostAutomation& binding, PanelView& view, CallState& calls);

  void Load();
  void Tick();
  void Click(CommandButton button);
  void Unload();
  // The window's word that the call in progress may have stopped answering: once
  // it has, the caption says so until the call returns, and the clicks waiting for
  // it are dropped. Ignored between calls.
  void HostNotResponding();

  // The window system runs a loop of its own (a menu, a move or a resize), which still delivers
  // ticks and may deliver clicks. A host call that hung in there would take that loop's input from
  // it, so ticks and clicks are held until it ends. True when something is held, to be run once
  // by RunHeldWork, after the loop. A loop entered while a call waits holds that call's answer
  // back until it ends, so its time does not count towards the call's age.
  void ModalLoopBegan();
  bool ModalLoopEnded();
  // True when it ran the held tick: the next one is due a full interval after it.
  bool RunHeldWork();
  bool InModalLoop() const { return in_modal_loop_; }

  const HostLink& link() const { return link_; }

 private:
  // A host call may let the window system deliver messages while it waits.
  // Ticks that arrive then are dropped (the next one comes on time); clicks
  // are queued and carried out, in order, once the call in progress is over,
  // unless that call stops answering or the panel is closing meanwhile.
  template <typename Work>
  void Exclusive(Work&& work);

  HostLink link_;
  PanelView& view_;
  CallState& calls_;
  bool busy_ = false;
  bool not_responding_shown_ = false;
  bool in_modal_loop_ = false;
  bool tick_held_ = false;
  std::vector<CommandButton> pending_clicks_;  // a few at most
};

}  // namespace korvane
