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
  Panel(HostAutomation& binding, PanelView& view);

  void Load();
  void Tick();
  void Click(CommandButton button);
  void Unload();
  // The window's word that the call in progress has been outstanding for a
  // while: the caption says so until the call returns. Ignored between calls.
  void HostNotResponding();

  const HostLink& link() const { return link_; }

 private:
  // A host call may let the window system deliver messages while it waits.
  // Ticks that arrive then are dropped (the next one comes on time); clicks
  // are queued and carried out, in order, once the call in progress is over.
  template <typename Work>
  void Exclusive(Work&& work);

  HostLink link_;
  PanelView& view_;
  bool busy_ = false;
  bool not_responding_shown_ = false;
  std::deque<CommandButton> pending_clicks_;
};

}  // namespace korvane
