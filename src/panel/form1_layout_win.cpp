// Form1's layout at a DPI: the control table in pixels, and the message font sized so every text fits.
#include <utility>
#include <vector>

#include "panel/dpi_win.h"
#include "panel/font_fit.h"
#include "panel/form1_win.h"

namespace korvane {
namespace {

int Scaled(int pixels_at_96, UINT dpi) { return MulDiv(pixels_at_96, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }

// Measures texts in one face at the heights being tried, on a memory DC.
class GdiMeasurer final : public TextMeasurer {
 public:
  explicit GdiMeasurer(const LOGFONTW& face) : face_(face), dc_(CreateCompatibleDC(nullptr)) {}

  // The fit asks for every text at one height, then at the next: one font at a time is kept.
  TextSize Measure(int font_height, std::wstring_view text) override {
    if (font_height != height_ || !font_) {
      LOGFONTW face = face_;
      face.lfHeight = -font_height;
      font_.Reset(CreateFontIndirectW(&face));
      height_ = font_height;
    }
    SIZE size{};
    if (!dc_ || !font_) return {};
    const HGDIOBJ previous = SelectObject(dc_.Get(), font_.Get());
    GetTextExtentPoint32W(dc_.Get(), text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc_.Get(), previous);
    return {size.cx, size.cy};
  }

 private:
  LOGFONTW face_;
  // Declared before the font, so that it goes after it: the font is not selected into it by then.
  UniqueMemoryDc dc_;
  UniqueFont font_;
  int height_ = 0;
};

// The readouts' boxes are narrow for their texts ("2210  Hz" in 49 px at 96 DPI): the edits
// get no margins beyond their own inset, so that their text can be as large as the labels'.
void ClearEditMargins(HWND edit) {
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
}

// The room a control gives its text, once it is placed.
TextRoom RoomIn(HWND control, const ControlSpec& control_spec, UINT dpi) {
  RECT client{};
  GetClientRect(control, &client);
  TextRoom room{{}, client.right, client.bottom};
  switch (control_spec.kind) {
    case ControlKind::Label: break;
    case ControlKind::TextBox: {
      // The formatting rectangle: the client area less the margins and the edit's own inset.
      // Its width does not depend on the font once the margins are fixed.
      ClearEditMargins(control);
      RECT format{};
      SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
      if (format.right > format.left) room.width = format.right - format.left;
      break;
    }
    case ControlKind::Button: room.width -= 2 * Scaled(2, dpi); break;  // the button's own edges
    case ControlKind::ModeList:
      // The closed box sizes itself to the font; its drop arrow takes a scroll bar's width.
      room.width -= SystemMetricForDpi(SM_CXVSCROLL, dpi) + 2 * Scaled(3, dpi);
      room.height = TwipsToPixels(control_spec.height, static_cast<int>(dpi));
      break;
  }
  return room;
}

}  // namespace

void Form1::LayOut(UINT dpi) {
  const int d = static_cast<int>(dpi);
  std::vector<TextRoom> rooms;
  for (const ControlSpec& control_spec : kControls) {
    const HWND control = Control(control_spec.id);
    // A drop-down list's height is that of its open list; the closed box sizes itself to the font.
    const int height = control_spec.kind == ControlKind::ModeList ? TwipsToPixels(control_spec.height * 6, d)
                                                                  : TwipsToPixels(control_spec.height, d);
    SetWindowPos(control, nullptr, TwipsToPixels(control_spec.left, d), TwipsToPixels(control_spec.top, d),
                 TwipsToPixels(control_spec.width, d), height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (parts_.font_fit) {
      const TextRoom room = RoomIn(control, control_spec, dpi);
      for (std::wstring_view text : TextsToFit(control_spec)) rooms.push_back({text, room.width, room.height});
    }
  }

  LOGFONTW face{};
  UniqueFont retired;  // the controls' font until they have the new one
  if (MessageFontForDpi(dpi, face)) {
    if (parts_.font_fit) {
      GdiMeasurer measurer(face);
      const int preferred = face.lfHeight < 0 ? -face.lfHeight : face.lfHeight;
      face.lfHeight = -FitFontHeight(preferred, rooms, measurer);
    }
    if (UniqueFont font(CreateFontIndirectW(&face)); font) {
      retired = std::move(font_);
      font_ = std::move(font);
    }
  }
  for (const ControlSpec& control_spec : kControls) {
    const HWND control = Control(control_spec.id);
    if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    // After the font: setting one gives an edit the margins of that font.
    if (control_spec.kind == ControlKind::TextBox) ClearEditMargins(control);
  }
  // `retired` goes only now that no control uses it any more.
}

}  // namespace korvane
