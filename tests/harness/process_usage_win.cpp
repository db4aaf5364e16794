// Process usage through the Windows API, with fallbacks for what Wine reports as zero.
#include "harness/process_usage_win.h"

#include "harness/harness_win.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace e2e {
namespace {

// One of the system's lists (NtQuerySystemInformation), whole; empty where it cannot be had.
std::vector<unsigned char> SystemInformation(ULONG kind) {
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  LONG status = -1;
  while (query && (status = query(kind, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
                      static_cast<LONG>(0xC0000004) /* STATUS_INFO_LENGTH_MISMATCH */)
    buffer.resize(buffer.size() * 2);
  if (status < 0) buffer.clear();
  return buffer;
}

// Wine answers 0 for a process's handle count; the system handle list does carry them.
DWORD HandlesFromSystemList(DWORD pid) {
  struct Entry {
    ULONG owner;
    BYTE type, flags;
    USHORT value;
    void* object;
    ULONG access;
  };
  const std::vector<unsigned char> buffer = SystemInformation(16 /* SystemHandleInformation */);
  if (buffer.empty()) return 0;
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
  DWORD owned = 0;
  for (ULONG i = 0; i < count; ++i) owned += entries[i].owner == pid;
  return owned;
}

// Under Wine a Windows process is a Linux process too; its /proc entry is found by argv[0],
// which Wine sets to the Windows path of the program.
// Where several run, `tag` (one of the arguments it was started with) tells which.
std::string ProcDir(const std::string& exe_name, const std::string& tag) {
  if (exe_name.empty()) return "Z:\\proc\\self";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::string match;
  do {
    const std::string dir = std::string("Z:\\proc\\") + found.cFileName;
    std::ifstream cmdline(dir + "\\cmdline", std::ios::binary);
    std::string program;
    std::getline(cmdline, program, '\0');
    const std::size_t slash = program.find_last_of("\\/");
    if (_stricmp(program.c_str() + (slash == std::string::npos ? 0 : slash + 1), exe_name.c_str()) != 0) continue;
    bool tagged = tag.empty();
    for (std::string argument; !tagged && std::getline(cmdline, argument, '\0');) tagged = argument == tag;
    if (tagged) match = dir;
  } while (match.empty() && FindNextFileA(search, &found));
  FindClose(search);
  return match;
}

// Its private resident memory, from that entry: RssAnon.
SIZE_T RssAnon(const std::string& dir) {
  std::ifstream status(dir + "\\status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("RssAnon:", 0) == 0) return static_cast<SIZE_T>(std::stoull(line.substr(8)) * 1024);
  return 0;
}

// User plus system time, fields 14 and 15 of stat, in clock ticks of 10 ms.
double CpuFromStat(const std::string& dir) {
  std::ifstream stat(dir + "\\stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t after_name = text.rfind(')');
  if (after_name == std::string::npos) return 0;
  std::istringstream fields(text.substr(after_name + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i >= 14) ticks += std::stod(field);
  return ticks * 10.0;
}

double CpuFromApi(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](FILETIME f) { return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
}

// Under Wine: each thread's voluntary_ctxt_switches, from task/*/status.
std::uint64_t WakeupsFromProc(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\task\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  std::uint64_t wakeups = 0;
  do {
    if (found.cFileName[0] == '.') continue;
    std::ifstream status(dir + "\\task\\" + found.cFileName + "\\status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) wakeups += std::stoull(line.substr(24));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return wakeups;
}

// On Windows: each thread's context switches, from the system's process list. The layouts are
// ntdll's (SYSTEM_PROCESS_INFORMATION and SYSTEM_THREAD_INFORMATION), which the SDK leaves out.
struct ProcessEntry {
  ULONG next_entry_offset;
  ULONG threads;
  LARGE_INTEGER reserved[6];
  USHORT name_length, name_room;
  wchar_t* name;
  LONG base_priority;
  HANDLE pid;
  HANDLE parent_pid;
  ULONG handles, session;
  ULONG_PTR key;
  SIZE_T peak_virtual, virtual_size;
  ULONG page_faults;
  SIZE_T memory[9];
  LARGE_INTEGER io[6];
};
struct ThreadEntry {
  LARGE_INTEGER times[3];
  ULONG wait_time;
  void* start;
  HANDLE client[2];
  LONG priority, base_priority;
  ULONG context_switches, state, wait_reason;
};

static_assert(sizeof(ProcessEntry) == (sizeof(void*) == 8 ? 256 : 184));
static_assert(sizeof(ThreadEntry) == (sizeof(void*) == 8 ? 80 : 64));

std::uint64_t WakeupsFromSystemList(DWORD pid) {
  const std::vector<unsigned char> buffer = SystemInformation(5 /* SystemProcessInformation */);
  if (buffer.empty()) return 0;
  for (std::size_t at = 0;;) {
    const auto* process = reinterpret_cast<const ProcessEntry*>(buffer.data() + at);
    if (reinterpret_cast<ULONG_PTR>(process->pid) == pid) {
      const auto* thread = reinterpret_cast<const ThreadEntry*>(process + 1);
      std::uint64_t wakeups = 0;
      for (ULONG i = 0; i < process->threads; ++i) wakeups += thread[i].context_switches;
      return wakeups;
    }
    if (process->next_entry_offset == 0) return 0;
    at += process->next_entry_offset;
  }
}

std::size_t ThreadsOf(DWORD pid) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  std::size_t threads = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    threads += entry.th32OwnerProcessID == pid;
  CloseHandle(snapshot);
  return threads;
}

}  // namespace

Usage UsageOf(HANDLE process, DWORD pid, const std::string& exe_name, const std::string& tag) {
  Usage u;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    u.private_bytes = counters.PrivateUsage;
  GetProcessHandleCount(process, &u.handles);
  if (u.handles == 0) u.handles = HandlesFromSystemList(pid);
  u.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  u.user = GetGuiResources(process, GR_USEROBJECTS);
  u.threads = ThreadsOf(pid);
  // Under Wine the Linux view is the one that knows; Windows itself answers through the API.
  const std::string dir = UnderWine() ? ProcDir(exe_name, tag) : std::string();
  u.cpu_ms = dir.empty() ? CpuFromApi(process) : CpuFromStat(dir);
  u.wakeups = dir.empty() ? WakeupsFromSystemList(pid) : WakeupsFromProc(dir);
  if (u.private_bytes == 0 && !dir.empty()) u.private_bytes = RssAnon(dir);
  return u;
}

}  // namespace e2e
