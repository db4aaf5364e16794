// Tab order and twip scaling for the control table.
#include "panel/controls.h"

#include <algorithm>
#include <cstdint>

namespace korvane {

int TwipsToPixels(int twips, int dpi) {
  const std::int64_t product = static_cast<std::int64_t>(twips) * dpi;
  const std::int64_t half = kTwipsPerInch / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kTwipsPerInch : (product - half) / kTwipsPerInch);
}

std::vector<const ControlSpec*> ControlsInTabOrder() {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& control_spec : kControls) order.push_back(&control_spec);
  std::sort(order.begin(), order.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tab_index < b->tab_index; });
  return order;
}

std::vector<std::wstring_view> FocusOrder() {
  std::vector<std::wstring_view> names;
  for (const ControlSpec* control_spec : ControlsInTabOrder()) {
    if (control_spec->kind != ControlKind::Label) names.push_back(control_spec->name);
  }
  return names;
}

}  // namespace korvane
