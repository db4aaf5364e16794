// What a process uses: private bytes, handles, GUI objects, threads and CPU time, read where Wine leaves gaps too.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace e2e {

struct Usage {
  std::size_t private_bytes = 0;
  DWORD handles = 0;
  DWORD gdi = 0;   // 0 where GetGuiResources is not implemented (Wine)
  DWORD user = 0;  // likewise
  double cpu_ms = 0;
  std::size_t threads = 0;
};

// `exe_name` names the program for the /proc fallbacks under Wine; empty for this process. Where
// several copies run, `tag` is an argument that only this one was started with.
Usage UsageOf(HANDLE process, DWORD pid, const std::string& exe_name, const std::string& tag = "");

}  // namespace e2e
