// A panel run from a folder holding DLLs named like Windows' own loads none of them, and still polls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/harness_win.h"
#include "panel/controls.h"

namespace {

// What the panel loads at run time (shcore: Windows 7 has none in System32, so a search by name
// reaches the exe's folder; comctl32), and what Windows itself loads into a windowed COM client on
// the way: themes, composition, text, accessibility, security and the usual suspects.
const wchar_t* const kPlantedNames[] = {
    L"shcore.dll",  L"comctl32.dll", L"uxtheme.dll",  L"dwmapi.dll",    L"version.dll",  L"winmm.dll",
    L"msimg32.dll", L"dwrite.dll",   L"usp10.dll",    L"imm32.dll",     L"msctf.dll",    L"oleacc.dll",
    L"propsys.dll", L"profapi.dll",  L"userenv.dll",  L"cryptbase.dll", L"sspicli.dll",  L"secur32.dll",
    L"bcrypt.dll",  L"crypt32.dll",  L"wintrust.dll", L"dbghelp.dll",   L"apphelp.dll",  L"wtsapi32.dll",
    L"winsta.dll",  L"ntmarta.dll",  L"iphlpapi.dll", L"dnsapi.dll",    L"riched20.dll", L"windowscodecs.dll",
    L"combase.dll", L"clbcatq.dll",  L"rpcrt4.dll",   L"shell32.dll",   L"shlwapi.dll",  L"textinputframework.dll",
};

std::wstring MakeFolder(const std::wstring& path) {
  CreateDirectoryW(path.c_str(), nullptr);
  return path + L"\\";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class PlantedDlls : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeFolder(e2e::TempFile(L"planted"));
    exe_dir_ = MakeFolder(root_ + L"unpacked");
    current_dir_ = MakeFolder(root_ + L"current");
    const std::wstring marker = e2e::ExeDir() + L"planted_marker.dll";
    ASSERT_TRUE(Exists(marker));
    for (const std::wstring& dir : {exe_dir_, current_dir_})
      for (const wchar_t* name : kPlantedNames) Plant(marker, dir + name);
  }
  void TearDown() override {
    for (const std::wstring& path : planted_) {
      DeleteFileW(path.c_str());
      DeleteFileW((path + L".loaded").c_str());
    }
    RemoveDirectoryW(exe_dir_.c_str());
    RemoveDirectoryW(current_dir_.c_str());
    RemoveDirectoryW(root_.c_str());
  }
  bool Plant(const std::wstring& from, const std::wstring& to) {
    planted_.push_back(to);
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
  }
  std::vector<std::string> Loaded() const {
    std::vector<std::string> loaded;
    for (const std::wstring& path : planted_)
      if (Exists(path + L".loaded")) loaded.push_back(e2e::Narrow(path));
    return loaded;
  }

  std::wstring root_, exe_dir_, current_dir_;
  std::vector<std::wstring> planted_;
};

TEST_F(PlantedDlls, NoneLoadsFromTheExesFolderOrTheCurrentDirectoryAndThePanelStillPolls) {
  // The marker tells a load: one loaded here on purpose says so.
  const std::wstring probe = root_ + L"probe.dll";
  ASSERT_TRUE(Plant(e2e::ExeDir() + L"planted_marker.dll", probe));
  const HMODULE probed = LoadLibraryW(probe.c_str());
  ASSERT_NE(probed, nullptr);
  FreeLibrary(probed);
  ASSERT_TRUE(Exists(probe + L".loaded"));
  DeleteFileW((probe + L".loaded").c_str());

  const std::wstring exe = exe_dir_ + L"korvane.exe";
  ASSERT_TRUE(Plant(e2e::ExeDir() + e2e::PanelExe(), exe));
  {
    e2e::Session s("AudioFq I4:2290\nFqA I4:14085500\n", {exe, current_dir_});
    ASSERT_NE(s.form, nullptr);
    EXPECT_TRUE(e2e::WaitFor([&] { return s.panel.Text(korvane::kIdText2) == L"2290 Hz"; }, 1500));
    ASSERT_TRUE(s.WaitForTicks(2));
    // A click makes the host calls a command makes.
    e2e::Click(s.panel.Control(korvane::kIdCommand2));
    ASSERT_TRUE(s.WaitForMacros(1));
    s.Finish();
    ASSERT_TRUE(s.panel.process.WaitExit(5000));
  }
  EXPECT_EQ(Loaded(), std::vector<std::string>{});
}

}  // namespace
