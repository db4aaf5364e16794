// What a process uses: private bytes, handles, GUI objects, threads, CPU time and wake-ups, read where Wine leaves gaps
// too.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace e2e {

struct Usage {
  std::size_t private_bytes = 0;
  DWORD handles = 0;
  DWORD gdi = 0;   // 0 where GetGuiResources is not implemented (Wine)
  DWORD user = 0;  // likewise
  double cpu_ms = 0;
  std::size_t threads = 0;
  // How often its threads went to sleep and were woken again (voluntary context switches), over
  // the threads it has now; 0 where it cannot be read.
  std::uint64_t wakeups = 0;
};

// `exe_name` names the program for the /proc fallbacks under Wine; empty for this process. Where
// several copies run, `tag` is an argument that only this one was started with.
Usage UsageOf(HANDLE process, DWORD pid, const std::string& exe_name, const std::string& tag = "");

}  // namespace e2e
