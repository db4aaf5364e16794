// Windows' own DLLs, loaded from System32 only: nothing from the exe's folder or the current directory.
#pragma once

#include <windows.h>

namespace korvane {

// For the whole process, from the entry's first line: every DLL loaded by name, by the panel or by
// Windows on its behalf, comes from System32. Where Windows 7 lacks KB2533623 (no
// SetDefaultDllDirectories), the current directory at least leaves the search.
void RestrictDllSearchToSystem32();

// `name` (a bare file name) from System32: by LOAD_LIBRARY_SEARCH_SYSTEM32 where Windows knows the
// flag, else by its full path there. Side-by-side redirection (comctl32 6, from the manifest) still
// applies to the first; the second gets System32's own file.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function that newer Windows have, looked up at run time in a module already loaded: null where
// the module or the function is missing.
template <typename Function>
Function LookUpFunction(HMODULE module, const char* name) {
  if (!module) return nullptr;
  // Through void(*)(), which converts to any function type without a cast-type warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
// The same, into a function pointer of the right type.
template <typename Function>
void LookUpFunction(HMODULE module, const char* name, Function& function) {
  function = LookUpFunction<Function>(module, name);
}

}  // namespace korvane
