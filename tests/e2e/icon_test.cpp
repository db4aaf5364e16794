// The application icon: in korvane.exe at every size the shell asks for, and on the panel's window
// at its DPI. (Under Wine, WM_GETICON from another process answers nothing, so the window is
// created here, in this process, from the same code and the same icon.)
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/harness_win.h"
#include "harness/in_process_form_win.h"
#include "panel/dpi_win.h"

namespace {

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

TEST(Icon, TheExeCarriesItAtEverySize) {
  const std::wstring exe = e2e::ExeDir() + L"korvane.exe";
  const HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  for (int size : {16, 20, 24, 32, 40, 48, 256}) {
    const auto icon = static_cast<HICON>(
        LoadImageW(image, MAKEINTRESOURCEW(korvane::kAppIconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size;
    EXPECT_EQ(IconWidth(icon), size);
    DestroyIcon(icon);
  }
  FreeLibrary(image);
}

TEST(Icon, TheWindowAnswersWmGetIconAtItsDpiForBothSizes) {
  const e2e::InProcessForm form;
  ASSERT_TRUE(form.created);
  const UINT dpi = korvane::WindowDpi(form.hwnd());
  const auto big_icon = reinterpret_cast<HICON>(SendMessageW(form.hwnd(), WM_GETICON, ICON_BIG, 0));
  const auto small_icon = reinterpret_cast<HICON>(SendMessageW(form.hwnd(), WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big_icon, nullptr);
  ASSERT_NE(small_icon, nullptr);
  EXPECT_EQ(IconWidth(big_icon), korvane::SystemMetricForDpi(SM_CXICON, dpi));
  EXPECT_EQ(IconWidth(small_icon), korvane::SystemMetricForDpi(SM_CXSMICON, dpi));
}

}  // namespace
