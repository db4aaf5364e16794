// The panel's logic: load, clicks, ticks and unload, independent of the window system.
#pragma once

#include <deque>

#include "host/host_link.h"
#include "panel/commands.h"
#include "panel/panel_view.h"

namespace korvane {

inline constexpr std::wstring_view kHostLostCaption = L"Korvane - host lost";
inline constexpr std::wstring_view kNotRespondingCaption = L"Korvane - host not responding";

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
  const CallState& calls_;
  bool busy_ = false;
  bool not_responding_shown_ = false;
  std::deque<CommandButton> pending_clicks_;
};

}  // namespace korvane
