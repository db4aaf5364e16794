// The panel's controls: names, kinds, texts, twip rectangles and tab order.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace korvane {

enum class ControlKind { Label, ModeList, TextBox, Button };

struct ControlSpec {
  std::wstring_view name;
  ControlKind kind;
  std::wstring_view text;
  int left, top, width, height;  // twips, relative to the client area
  int tab_index;
  int id;  // window control id
};

inline constexpr int kClientWidthTwips = 4230;
inline constexpr int kClientHeightTwips = 1350;
inline constexpr int kTwipsPerInch = 1440;
// The mode list's one entry.
inline constexpr std::wstring_view kModeListEntry = L"RTTY";

enum ControlId : int {
  kIdLabel1 = 101,
  kIdCombo1,
  kIdLabel2,
  kIdText2,
  kIdCommand1,
  kIdLabel4,
  kIdText3,
  kIdCommand2,
  kIdLabel9,
  kIdCommand5,
  kIdCommand4,
};

inline constexpr std::array<ControlSpec, 11> kControls = {{
    {L"Label1", ControlKind::Label, L"Mode", 120, 240, 495, 255, 1, kIdLabel1},
    {L"Combo1", ControlKind::ModeList, L"", 720, 240, 1215, 315, 0, kIdCombo1},
    {L"Label2", ControlKind::Label, L"Audio", 2160, 240, 492, 252, 2, kIdLabel2},
    {L"Text2", ControlKind::TextBox, L"2210  Hz", 2880, 240, 732, 288, 4, kIdText2},
    {L"Command1", ControlKind::Button, L"RTTY-N", 2880, 600, 732, 252, 9, kIdCommand1},
    {L"Label4", ControlKind::Label, L"Freq", 120, 840, 492, 252, 3, kIdLabel4},
    {L"Text3", ControlKind::TextBox, L"14100", 720, 840, 1212, 288, 5, kIdText3},
    {L"Command2", ControlKind::Button, L"RTTY", 2880, 960, 735, 255, 10, kIdCommand2},
    {L"Label9", ControlKind::Label, L"Macro", 120, 1680, 615, 255, 8, kIdLabel9},
    {L"Command5", ControlKind::Button, L"TX", 240, 2280, 1335, 375, 7, kIdCommand5},
    {L"Command4", ControlKind::Button, L"RX", 1800, 2280, 1335, 375, 6, kIdCommand4},
}};

// twips * dpi / 1440, rounded half away from zero as MulDiv does.
int TwipsToPixels(int twips, int dpi);

// Each field and the label that names it. A screen reader names an edit or a
// combo box after the static control just before it in z-order.
struct FieldLabel {
  int label_id;
  int field_id;
};
inline constexpr std::array<FieldLabel, 3> kFieldLabels = {{
    {kIdLabel1, kIdCombo1},
    {kIdLabel2, kIdText2},
    {kIdLabel4, kIdText3},
}};

// The widest texts each readout is expected to show (trailing blank aside),
// besides its initial text.
inline constexpr std::array<std::wstring_view, 2> kText2Samples = {L"2290 Hz", L"9999 Hz"};
inline constexpr std::array<std::wstring_view, 2> kText3Samples = {L"14085.5 kHz", L"29999.999 kHz"};

std::vector<const ControlSpec*> ControlsInTabOrder();

// The order the controls are created in, which is their z-order: tab-index
// order, which is the order the dialog manager moves the focus in, with each
// field's label just before the field. Labels take no focus, so moving them
// leaves the focus order as it is.
std::vector<const ControlSpec*> ControlsInCreationOrder();

// Every text a control must show unclipped: its caption or initial text, the
// mode list's entry, the readouts' samples.
std::vector<std::wstring_view> TextsToFit(const ControlSpec& control_spec);

// Names of the controls that can take the focus, in the order Tab visits them.
std::vector<std::wstring_view> FocusOrder();

}  // namespace korvane
