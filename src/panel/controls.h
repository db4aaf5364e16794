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

// The controls in tab-index order: the order they are created in, which is
// the order the dialog manager moves the focus in.
std::vector<const ControlSpec*> ControlsInTabOrder();

// Names of the controls that can take the focus, in the order Tab visits them.
std::vector<std::wstring_view> FocusOrder();

}  // namespace korvane
