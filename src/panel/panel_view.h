// What the panel's logic needs from the window that shows it.
#pragma once

#include <string_view>

#include "monitor/readouts.h"

namespace korvane {

class PanelView : public Readouts {
 public:
  // Modal box with one OK button and no icon; returns once it is dismissed.
  virtual void ShowMessage(std::wstring_view text, std::wstring_view caption) = 0;
  // Adds `entry` to the mode list and selects the first entry.
  virtual void FillModeList(std::wstring_view entry) = 0;
  virtual void SetCaption(std::wstring_view text) = 0;
};

}  // namespace korvane
