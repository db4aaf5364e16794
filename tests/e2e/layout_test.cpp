// The window's layout at its DPI, the tab order, and the exe's version record.
#include <gtest/gtest.h>

#include <cstdlib>

#include "harness/harness_win.h"
#include "panel/controls.h"
#include "panel/dpi_win.h"

namespace {

using korvane::kControls;
using korvane::TwipsToPixels;

int ExpectedDpi() {
  wchar_t value[16] = L"";
  return GetEnvironmentVariableW(L"KORVANE_EXPECT_DPI", value, 16) ? _wtoi(value) : 96;
}

TEST(Layout, ClientAreaAndControlsFollowTheTableAtTheWindowsDpi) {
  e2e::Session run;
  ASSERT_NE(run.form, nullptr);
  const int dpi = static_cast<int>(korvane::WindowDpi(run.form));
  ASSERT_EQ(dpi, ExpectedDpi());

  RECT client;
  GetClientRect(run.form, &client);
  EXPECT_EQ(client.right, TwipsToPixels(korvane::kClientWidthTwips, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(korvane::kClientHeightTwips, dpi));
  if (dpi == 96) {
    EXPECT_EQ(client.right, 282);
    EXPECT_EQ(client.bottom, 90);
  }

  for (const auto& control_spec : kControls) {
    SCOPED_TRACE(e2e::Narrow(control_spec.name));
    const HWND control = GetDlgItem(run.form, control_spec.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(e2e::TextOf(control), control_spec.kind == korvane::ControlKind::ModeList ? L"RTTY" : control_spec.text);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, run.form, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, TwipsToPixels(control_spec.left, dpi), 1);
    EXPECT_NEAR(r.top, TwipsToPixels(control_spec.top, dpi), 1);
    EXPECT_NEAR(r.right - r.left, TwipsToPixels(control_spec.width, dpi), 1);
    if (control_spec.kind != korvane::ControlKind::ModeList) {
      EXPECT_NEAR(r.bottom - r.top, TwipsToPixels(control_spec.height, dpi), 1);
    }
  }
}

// Tab visits the controls in tab-index order, but only those the operator can see: at the default
// size RX, TX and the Macro label lie wholly below the client area. Enlarged, all of them.
TEST(Layout, TabMovesTheFocusInTabIndexOrderAmongTheControlsInView) {
  e2e::Session run;
  ASSERT_NE(run.form, nullptr);
  const auto tab_round = [&] {
    std::vector<std::wstring_view> visited;
    HWND at = GetDlgItem(run.form, korvane::kIdCombo1);
    do {
      const int id = GetDlgCtrlID(at);
      for (const auto& control_spec : kControls)
        if (control_spec.id == id) visited.push_back(control_spec.name);
      at = GetNextDlgTabItem(run.form, at, FALSE);
    } while (at && at != GetDlgItem(run.form, korvane::kIdCombo1) && visited.size() <= kControls.size());
    return visited;
  };
  std::vector<std::wstring_view> in_view;
  for (const std::wstring_view name : korvane::FocusOrder())
    for (const auto& control_spec : kControls)
      if (control_spec.name == name && control_spec.top < korvane::kClientHeightTwips) in_view.push_back(name);
  EXPECT_EQ(in_view.size(), 5u);
  EXPECT_EQ(tab_round(), in_view) << "at the default size";

  e2e::Enlarge(run.form);
  ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(GetDlgItem(run.form, korvane::kIdCommand5)) != FALSE; }, 2000));
  EXPECT_EQ(tab_round(), korvane::FocusOrder()) << "enlarged";
}

TEST(Version, RecordNamesKorvaneOneHundred) {
  const std::wstring exe = e2e::ExeDir() + L"korvane.exe";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
  auto field = [&](const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(value));
  };
  EXPECT_EQ(field(L"ProductName"), L"Korvane");
  EXPECT_EQ(field(L"InternalName"), L"Korvane");
  EXPECT_EQ(field(L"FileVersion"), L"1.00");
  EXPECT_EQ(field(L"ProductVersion"), L"1.00");
}

// The manifest Windows reads from the exe: run as invoker (no virtualised writes), the common
// controls 6, per-monitor DPI awareness, Windows 7 to 11.
TEST(Manifest, DeclaresAsInvokerCommonControlsDpiAwarenessAndTheWindowsItKnows) {
  const std::wstring exe = e2e::ExeDir() + e2e::PanelExe();
  const HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  const HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
  ASSERT_NE(found, nullptr) << "no manifest resource 1";
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
  const std::string manifest(bytes, SizeofResource(image, found));
  FreeLibrary(image);
  for (const char* wanted :
       {"<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
    EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
}

}  // namespace
