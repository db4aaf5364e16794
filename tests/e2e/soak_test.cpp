// Long runs: many reads through the real binding, and the panel ticking for a minute, with resources flat.
#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "harness_win.h"
#include "host/com_host_win.h"

namespace {

struct Usage {
  SIZE_T private_bytes = 0;
  DWORD handles = 0;
  DWORD gdi = 0;
  DWORD user = 0;
};

// Wine answers 0 for a process's handle count; the system handle list does carry them.
DWORD HandlesFromSystemList(DWORD pid) {
  struct Entry {
    ULONG owner;
    BYTE type, flags;
    USHORT value;
    void* object;
    ULONG access;
  };
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  while (query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) ==
         static_cast<LONG>(0xC0000004) /* STATUS_INFO_LENGTH_MISMATCH */)
    buffer.resize(buffer.size() * 2);
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
  DWORD owned = 0;
  for (ULONG i = 0; i < count; ++i) owned += entries[i].owner == pid;
  return owned;
}

// Under Wine a Windows process is a Linux process too: its private resident memory is RssAnon.
SIZE_T RssAnon(const std::string& proc_dir) {
  std::ifstream status(proc_dir + "\\status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("RssAnon:", 0) == 0) return std::stoull(line.substr(8)) * 1024;
  return 0;
}

// `exe_name` empty: this process.
SIZE_T PrivateBytesFromProc(const std::string& exe_name) {
  if (exe_name.empty()) return RssAnon("Z:\\proc\\self");
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  SIZE_T bytes = 0;
  do {
    const std::string dir = std::string("Z:\\proc\\") + found.cFileName;
    std::ifstream cmdline(dir + "\\cmdline", std::ios::binary);
    std::string program;  // argv[0]: a Wine process shows its Windows path there
    std::getline(cmdline, program, '\0');
    const std::string suffix = "\\" + exe_name;
    if (program.size() < suffix.size() ||
        _stricmp(program.c_str() + program.size() - suffix.size(), suffix.c_str()) != 0)
      continue;
    bytes = RssAnon(dir);
  } while (bytes == 0 && FindNextFileA(search, &found));
  FindClose(search);
  return bytes;
}

Usage UsageOf(HANDLE process, DWORD pid, const std::string& exe_name) {
  Usage u;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    u.private_bytes = counters.PrivateUsage;
  if (u.private_bytes == 0) u.private_bytes = PrivateBytesFromProc(exe_name);
  GetProcessHandleCount(process, &u.handles);
  if (u.handles == 0) u.handles = HandlesFromSystemList(pid);
  u.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  u.user = GetGuiResources(process, GR_USEROBJECTS);
  return u;
}

std::size_t WindowsOf(DWORD pid) {
  std::size_t n = 0;
  for (const wchar_t* cls : {L"KorvaneForm1", L"#32770"})
    for (HWND top : e2e::TopWindows(pid, cls)) n += 1 + e2e::Children(top).size();
  return n;
}

TEST(Soak, TwentyThousandReadsThroughTheBindingKeepMemoryAndHandlesFlat) {
  e2e::HostDouble double_host;
  ASSERT_TRUE(double_host.Start("AudioFq R8:2169.5\nFqA I4:14085500\n"));
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    korvane::ComHost host;
    ASSERT_TRUE(host.Attach(L"MixW2.Application"));
    auto read = [&](int i) {
      const korvane::HostReading r = i % 2 ? host.FqA() : host.AudioFq();
      return r.status == korvane::kHostOk && r.number.has_value();
    };
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(read(i));  // warm-up: caches, proxies, heaps
    const Usage before = UsageOf(GetCurrentProcess(), GetCurrentProcessId(), "");
    int good = 0;
    for (int i = 0; i < 20000; ++i) good += read(i);
    const Usage after = UsageOf(GetCurrentProcess(), GetCurrentProcessId(), "");
    EXPECT_EQ(good, 20000);
    ASSERT_GT(before.private_bytes, 0u) << "private bytes cannot be read here";
    ASSERT_GT(before.handles, 0u) << "handles cannot be counted here";
    std::printf("20000 reads: private bytes %zu -> %zu (%+lld), handles %lu -> %lu\n", before.private_bytes,
                after.private_bytes,
                static_cast<long long>(after.private_bytes) - static_cast<long long>(before.private_bytes),
                before.handles, after.handles);
    // Bounds: a leak of one BSTR, VARIANT or reference per read would be far above these.
    EXPECT_LE(after.private_bytes, before.private_bytes + 256 * 1024);
    EXPECT_LE(after.handles, before.handles + 4);
    host.Release();
  }
  CoUninitialize();
  double_host.Stop();
}

TEST(Soak, PanelTicksForAMinuteWithWindowObjectsAndMemoryFlat) {
  e2e::HostDouble host;
  ASSERT_TRUE(host.Start("AudioFq I4:2290 I4:2100 I4:2300 I4:2210\nFqA R8:14085500.5\n"));
  e2e::Panel panel;
  ASSERT_TRUE(panel.Start());
  ASSERT_NE(panel.Form(), nullptr);
  Sleep(5000);
  const Usage before = UsageOf(panel.process.handle(), panel.process.pid(), "korvane.exe");
  const std::size_t windows_before = WindowsOf(panel.process.pid());
  const std::size_t calls_before = host.Calls().size();
  Sleep(60000);
  const Usage after = UsageOf(panel.process.handle(), panel.process.pid(), "korvane.exe");
  const std::size_t windows_after = WindowsOf(panel.process.pid());
  const std::size_t calls = host.Calls().size() - calls_before;
  std::printf(
      "60 s of ticks (%zu host calls): private bytes %zu -> %zu, handles %lu -> %lu, GDI %lu -> %lu, "
      "USER %lu -> %lu, windows %zu -> %zu\n",
      calls, before.private_bytes, after.private_bytes, before.handles, after.handles, before.gdi, after.gdi,
      before.user, after.user, windows_before, windows_after);
  EXPECT_GE(calls, 115u * 4) << "the panel kept ticking";
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_LE(after.user, before.user + 2);
  EXPECT_EQ(windows_after, windows_before);
  ASSERT_GT(before.private_bytes, 0u);
  ASSERT_GT(before.handles, 0u);
  ASSERT_GT(windows_before, 0u);
  EXPECT_LE(after.private_bytes, before.private_bytes + 256 * 1024);
  EXPECT_LE(after.handles, before.handles + 4);
  panel.Close();
  EXPECT_TRUE(panel.process.WaitExit(5000));
  host.Stop();
}

}  // namespace
