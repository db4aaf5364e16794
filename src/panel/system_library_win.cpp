// The process's DLL search narrowed to System32, and System32's DLLs loaded by flag or by full path.
#include "panel/system_library_win.h"

#include <cwchar>

namespace korvane {
namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// The function and the LOAD_LIBRARY_SEARCH_ flags came together (Windows 8, and 7 with KB2533623).
SetDefaultDllDirectoriesFunction SetDefaultDllDirectoriesIfAny() {
  static const auto function =
      LookUpFunction<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  return function;
}

}  // namespace

void RestrictDllSearchToSystem32() {
  if (const auto set_default = SetDefaultDllDirectoriesIfAny()) {
    if (set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  }
  SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (SetDefaultDllDirectoriesIfAny()) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  wchar_t path[MAX_PATH];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  const std::size_t name_length = wcslen(name);
  if (length == 0 || length + 1 + name_length >= MAX_PATH) return nullptr;
  path[length] = L'\\';
  wmemcpy(path + length + 1, name, name_length + 1);
  return LoadLibraryW(path);
}

}  // namespace korvane
