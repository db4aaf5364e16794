// The window class and styles each kind of control in the table is created with.
#pragma once

#include <windows.h>

#include "panel/controls.h"

namespace korvane {

struct ControlClass {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

inline ControlClass ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::ModeList: return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::TextBox: return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
  }
  return {L"STATIC", 0, 0};
}

}  // namespace korvane
