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
  order.reserve(kControls.size());
  for (const ControlSpec& control_spec : kControls) order.push_back(&control_spec);
  std::sort(order.begin(), order.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tab_index < b->tab_index; });
  return order;
}

namespace {

const FieldLabel* LabelOfField(int field_id) {
  for (const FieldLabel& pair : kFieldLabels)
    if (pair.field_id == field_id) return &pair;
  return nullptr;
}

bool NamesAField(int label_id) {
  for (const FieldLabel& pair : kFieldLabels)
    if (pair.label_id == label_id) return true;
  return false;
}

const ControlSpec* SpecOf(int id) {
  for (const ControlSpec& control_spec : kControls)
    if (control_spec.id == id) return &control_spec;
  return nullptr;
}

}  // namespace

std::vector<const ControlSpec*> ControlsInCreationOrder() {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec* control_spec : ControlsInTabOrder()) {
    if (NamesAField(control_spec->id)) continue;  // placed with its field
    if (const FieldLabel* pair = LabelOfField(control_spec->id)) order.push_back(SpecOf(pair->label_id));
    order.push_back(control_spec);
  }
  return order;
}

std::vector<std::wstring_view> TextsToFit(const ControlSpec& control_spec) {
  switch (control_spec.id) {
    case kIdCombo1: return {kModeListEntry};
    case kIdText2: return {control_spec.text, kText2Samples[0], kText2Samples[1]};
    case kIdText3: return {control_spec.text, kText3Samples[0], kText3Samples[1]};
    default: return {control_spec.text};
  }
}

std::vector<std::wstring_view> FocusOrder() {
  std::vector<std::wstring_view> names;
  for (const ControlSpec* control_spec : ControlsInTabOrder()) {
    if (control_spec->kind != ControlKind::Label) names.push_back(control_spec->name);
  }
  return names;
}

}  // namespace korvane
