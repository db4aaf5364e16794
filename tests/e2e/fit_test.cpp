// Every text fits its control at the window's DPI, fields are named by their labels, and the
// system-DPI path for older Windows lays the panel out exactly as the per-monitor path does.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdio>

#include "harness/harness_win.h"
#include "harness/in_process_form_win.h"
#include "host/com_ptr_win.h"
#include "panel/controls.h"
#include "panel/dpi_win.h"

namespace {

using e2e::Narrow;
using korvane::ControlKind;
using korvane::kControls;

DWORD_PTR Ask(HWND hwnd, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, 2000, &answer);
  return answer;
}

// Defined here: linked statically, mingw's import library resolves IID_IAccessible to an import
// thunk's code bytes instead of the GUID, and every query for the interface then fails.
constexpr IID kIidIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct OwnedBstr {
  BSTR b = nullptr;
  OwnedBstr() = default;
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  ~OwnedBstr() { SysFreeString(b); }
};

VARIANT SelfChild() {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

// A panel with no host: nothing overwrites its readouts, so Text3 can serve as a measuring tape.
struct IdlePanel {
  e2e::Session session;
  const HWND form;
  explicit IdlePanel(const std::wstring& exe = L"korvane.exe")
      : session(e2e::Session::kNoHost, {exe}), form(session.form) {}
  HWND Control(int id) const { return GetDlgItem(form, id); }

  // The width of `text` in the panel's font, laid out by one of the panel's own edit controls.
  // (The panel sets one font on every control; WM_GETFONT does not answer across processes under Wine.)
  int Width(std::wstring_view text, int edit_id = korvane::kIdText3) const {
    const HWND tape = Control(edit_id);
    const std::wstring probe = std::wstring(text) + L"|";
    Ask(tape, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(probe.c_str()));
    const auto x = [&](std::size_t index) { return static_cast<short>(LOWORD(Ask(tape, EM_POSFROMCHAR, index))); };
    return x(text.size()) - x(0);
  }
};

// The room a control leaves its text: an edit's formatting rectangle, else the client width.
int RoomOf(HWND control, ControlKind kind) {
  RECT client{};
  GetClientRect(control, &client);
  if (kind != ControlKind::TextBox) return client.right;
  RECT format{};
  if (!Ask(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format))) {
    // EM_GETRECT answers nothing; an empty rectangle tells that it was not filled.
  }
  EXPECT_GE(format.left, 0);
  EXPECT_LE(format.right, client.right) << "the formatting rectangle lies within the client area";
  return format.right - format.left;
}

// The character height of the system's message font whose widths the panel's font shows.
int FontHeightOf(const IdlePanel& idle, UINT dpi) {
  LOGFONTW face{};
  if (!korvane::MessageFontForDpi(dpi, face)) return -1;
  const std::wstring_view sample = L"RTTY-N Mode Audio Freq 29999.999 kHz 9999 Hz";
  const int shown = idle.Width(sample);
  const HDC dc = CreateCompatibleDC(nullptr);
  int found = -1;
  for (int height = 4 * (face.lfHeight < 0 ? -face.lfHeight : face.lfHeight); height > 0 && found < 0; --height) {
    face.lfHeight = -height;
    const HFONT font = CreateFontIndirectW(&face);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, sample.data(), static_cast<int>(sample.size()), &size);
    SelectObject(dc, previous);
    DeleteObject(font);
    if (size.cx == shown) found = height;
  }
  DeleteDC(dc);
  return found;
}

// Another message font size chosen while the panel runs (Windows' text size setting): the panel
// refits as on a DPI change, and again when the font goes back. A taller caption and wider borders
// come with it, and the frame is redrawn with them, as Windows does: the client area keeps the
// layout's size. The panel's own window, made in this process: Wine keeps a changed setting to the
// process that changed it.
TEST(Layout, FollowsTheMessageFontChangedWhileItRuns) {
  NONCLIENTMETRICSW original{};
  original.cbSize = sizeof original;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof original, &original, 0));
  struct Restore {
    NONCLIENTMETRICSW metrics;
    ~Restore() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0); }
  } restore{original};
  const e2e::InProcessForm form;
  ASSERT_TRUE(form.created);
  const HWND tape = GetDlgItem(form.hwnd(), korvane::kIdText3);
  const auto width = [&] {
    const std::wstring probe = L"RTTY-N Mode Audio Freq 29999.999 kHz 9999 Hz|";
    SetWindowTextW(tape, probe.c_str());
    const auto x = [&](std::size_t index) {
      return static_cast<short>(LOWORD(SendMessageW(tape, EM_POSFROMCHAR, index, 0)));
    };
    return x(probe.size() - 1) - x(0);
  };
  const auto settle = [&](const NONCLIENTMETRICSW& metrics) {
    NONCLIENTMETRICSW set = metrics;
    const bool done = SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof set, &set, 0) != FALSE;
    SetWindowPos(form.hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(form.hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, reinterpret_cast<LPARAM>(L"WindowMetrics"));
    for (MSG message; PeekMessageW(&message, form.hwnd(), 0, 0, PM_REMOVE);) DispatchMessageW(&message);
    return done;
  };
  const auto client = [&] {
    RECT area{};
    GetClientRect(form.hwnd(), &area);
    return std::make_pair(area.right, area.bottom);
  };
  const auto layout = std::make_pair(client().first, client().second);
  const int before = width();
  NONCLIENTMETRICSW changed = original;
  // Smaller: a larger one may be held back by the fit to the controls' boxes.
  changed.lfMessageFont.lfHeight = changed.lfMessageFont.lfHeight * 2 / 3;
  changed.iCaptionHeight += 12;
  changed.iBorderWidth += 3;
  ASSERT_TRUE(settle(changed));
  const int during = width();
  EXPECT_EQ(client(), layout) << "the taller frame took from the client area";
  ASSERT_TRUE(settle(original));
  const int after = width();
  EXPECT_EQ(client(), layout);
  std::printf("the sample: %d px, %d px in the smaller font, %d px back\n", before, during, after);
  EXPECT_NE(during, before) << "the panel kept the old font";
  EXPECT_EQ(after, before);
}

TEST(Layout, EveryTextFitsItsControl) {
  const IdlePanel idle;
  ASSERT_NE(idle.form, nullptr);
  const UINT dpi = korvane::WindowDpi(idle.form);
  LOGFONTW face{};
  korvane::MessageFontForDpi(dpi, face);
  const int font_height = FontHeightOf(idle, dpi);
  wchar_t resolved[LF_FACESIZE] = L"?";
  const HDC dc = CreateCompatibleDC(nullptr);
  const HFONT font = CreateFontIndirectW(&face);
  const HGDIOBJ previous = SelectObject(dc, font);
  GetTextFaceW(dc, LF_FACESIZE, resolved);
  SelectObject(dc, previous);
  DeleteObject(font);
  DeleteDC(dc);
  std::printf("at %u DPI the font is %ls (%ls), %d px high\n", dpi, face.lfFaceName, resolved, font_height);
  // Readable readouts: at least 10 px at 96 DPI (7.5 pt), in Tahoma and in Liberation Sans alike.
  EXPECT_GE(font_height, MulDiv(10, static_cast<int>(dpi), 96));
  for (const auto& control_spec : kControls) {
    const HWND control = idle.Control(control_spec.id);
    if (control_spec.kind == ControlKind::ModeList) continue;  // its one entry is checked below
    const int room = RoomOf(control, control_spec.kind);
    for (std::wstring_view text : korvane::TextsToFit(control_spec)) {
      const int width =
          idle.Width(text, control_spec.kind == ControlKind::TextBox ? control_spec.id : korvane::kIdText3);
      std::printf("  %-8ls %-16ls %3d <= %3d\n", std::wstring(control_spec.name).c_str(),
                  (L"'" + std::wstring(text) + L"'").c_str(), width, room);
      EXPECT_GT(width, 0) << Narrow(text);
      EXPECT_LE(width, room) << Narrow(control_spec.name) << " '" << Narrow(text) << "'";
    }
  }
  // The mode list's entry, beside the drop arrow (a scroll bar wide).
  RECT combo{};
  GetClientRect(idle.Control(korvane::kIdCombo1), &combo);
  EXPECT_LE(idle.Width(korvane::kModeListEntry), combo.right - korvane::SystemMetricForDpi(SM_CXVSCROLL, dpi));
}

TEST(Layout, EachFieldIsNamedByTheLabelJustBeforeIt) {
  e2e::Session run;
  ASSERT_NE(run.form, nullptr);
  for (const auto& [label_id, field_id] : korvane::kFieldLabels) {
    const HWND field = GetDlgItem(run.form, field_id);
    const HWND label = GetDlgItem(run.form, label_id);
    EXPECT_EQ(GetWindow(field, GW_HWNDPREV), label) << "field " << field_id;
  }

  // The names a screen reader announces. Wine's accessibility layer names edits and buttons as
  // Windows does, but a combo box after its text rather than its label: there it is not checked.
  int checked = 0;
  for (const auto& control_spec : kControls) {
    if (control_spec.kind == ControlKind::Label) continue;
    std::wstring expected(control_spec.text);
    for (const auto& [label_id, field_id] : korvane::kFieldLabels)
      if (field_id == control_spec.id) expected = e2e::TextOf(GetDlgItem(run.form, label_id));
    const bool labelled_by_this_layer = control_spec.kind != ControlKind::ModeList || !e2e::UnderWine();
    korvane::ComRef<IAccessible> accessible;
    const HRESULT found = AccessibleObjectFromWindow(
        GetDlgItem(run.form, control_spec.id), static_cast<DWORD>(OBJID_CLIENT), kIidIAccessible, accessible.PutVoid());
    ASSERT_TRUE(SUCCEEDED(found) && accessible)
        << Narrow(control_spec.name) << ": no accessible object (0x" << std::hex << found << ")";
    OwnedBstr name;
    const bool named = accessible->get_accName(SelfChild(), &name.b) == S_OK && name.b;
    const std::wstring said = named ? std::wstring(name.b, SysStringLen(name.b)) : L"";
    std::printf("  %-8s named '%s'%s\n", Narrow(control_spec.name).c_str(), Narrow(said).c_str(),
                labelled_by_this_layer ? "" : " (not checked)");
    if (!labelled_by_this_layer) continue;
    EXPECT_TRUE(named) << Narrow(control_spec.name) << " has no accessible name";
    EXPECT_EQ(said, expected) << Narrow(control_spec.name);
    checked += named;
  }
  EXPECT_GT(checked, 0);
  std::printf("accessible names checked for %d of 7 controls\n", checked);
}

struct Placement {
  RECT client{};
  std::vector<RECT> controls;
  std::vector<int> widths;  // every text to fit, in the panel's font
  int font_height = -1;
};

Placement PlacementOf(const std::wstring& exe) {
  const IdlePanel idle(exe);
  Placement p;
  EXPECT_NE(idle.form, nullptr) << Narrow(exe);
  if (!idle.form) return p;
  GetClientRect(idle.form, &p.client);
  for (const auto& control_spec : kControls) {
    RECT r{};
    GetWindowRect(idle.Control(control_spec.id), &r);
    MapWindowPoints(nullptr, idle.form, reinterpret_cast<POINT*>(&r), 2);
    p.controls.push_back(r);
    for (std::wstring_view text : korvane::TextsToFit(control_spec)) p.widths.push_back(idle.Width(text));
  }
  p.font_height = FontHeightOf(idle, korvane::WindowDpi(idle.form));
  return p;
}

// The fallback builds look up no per-monitor function, as on Windows 7 and 8, or only shcore's
// GetDpiForMonitor, as on 8.1 and 10 before 1607: each lays the panel out as the per-monitor path does.
TEST(LayoutFallback, SystemDpiAndMonitorDpiPathsMatchThePerMonitorPath) {
  const Placement normal = PlacementOf(L"korvane.exe");
  ASSERT_EQ(normal.controls.size(), kControls.size());
  const int dpi = static_cast<int>(korvane::SystemDpi());
  for (const wchar_t* exe : {L"korvane_dpi_fallback.exe", L"korvane_dpi_monitor.exe"}) {
    SCOPED_TRACE(Narrow(exe));
    const Placement fallback = PlacementOf(exe);
    ASSERT_EQ(fallback.controls.size(), kControls.size());
    EXPECT_EQ(fallback.client.right, korvane::TwipsToPixels(korvane::kClientWidthTwips, dpi));
    EXPECT_EQ(fallback.client.bottom, korvane::TwipsToPixels(korvane::kClientHeightTwips, dpi));
    EXPECT_TRUE(EqualRect(&normal.client, &fallback.client));
    for (std::size_t i = 0; i < kControls.size(); ++i)
      EXPECT_TRUE(EqualRect(&normal.controls[i], &fallback.controls[i])) << Narrow(kControls[i].name);
    EXPECT_EQ(normal.widths, fallback.widths) << "the same font";
    EXPECT_GT(fallback.font_height, 0);
    EXPECT_EQ(normal.font_height, fallback.font_height);
    std::printf("system DPI %d, %ls: client %ldx%ld, font %d px (per-monitor path: %d px)\n", dpi, exe,
                fallback.client.right, fallback.client.bottom, fallback.font_height, normal.font_height);
  }
}

// The middle path itself: where shcore.dll is there (8.1 on), GetDpiForMonitor is found and gives the
// DPI of the monitor the panel is on.
TEST(LayoutFallback, MonitorDpiIsFoundAndAgreesWithTheWindowsDpi) {
  if (!LoadLibraryW(L"shcore.dll")) GTEST_SKIP() << "no shcore.dll: Windows 7 or 8";
  ASSERT_NE(korvane::PerMonitorDpiFunctions().get_dpi_for_monitor, nullptr);
  e2e::Session run;
  ASSERT_NE(run.form, nullptr);
  EXPECT_EQ(korvane::MonitorDpi(run.form), korvane::WindowDpi(run.form));
}

}  // namespace
