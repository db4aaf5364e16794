// The host double's script: per-property reading sequences and fault settings.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <vector>

namespace host_double {

// One scripted answer: a VARIANT to return, or a failure HRESULT.
struct Answer {
  std::wstring token;  // as written in the script, for the log
  VARTYPE vt = VT_EMPTY;
  std::wstring text;
  HRESULT failure = S_OK;
};

struct Script {
  std::vector<Answer> audio{{L"I4:2210", VT_I4, L"2210", S_OK}};
  std::vector<Answer> radio{{L"I4:14100000", VT_I4, L"14100000", S_OK}};
  DWORD delay_ms = 0;     // each call takes this long...
  int delay_calls = 0;    // ...for this many calls (0: every call)
  int stall_on_call = 0;  // this one call (1-based) takes stall_ms
  DWORD stall_ms = 0;
  int freeze_after_call = 0;     // once this call is answered, answer nothing for stall_ms
  bool freeze_at_start = false;  // answer nothing for stall_ms once registered
  int exit_after_calls = 0;      // exit between calls once this many have been answered
  int exit_in_call = 0;          // exit inside this call (1-based)
  int disconnect_after = 0;      // CoDisconnectObject once this many calls have been answered
  int exception_on_call = 0;     // answer DISP_E_EXCEPTION to this call (1-based)
  DWORD busy_ms = 0;             // reject incoming calls as busy for this long...
  int busy_after_calls = 0;      // ...from the end of this call on (0: from the start)
  bool weak = false;             // weak registration: lets a test see its clients' releases,
                                 // but the object is disconnected when the last client leaves
  bool demo = false;             // tone drifts, <ALIGN:2210> pulls it back
};

// Reads "AudioFq I4:2290 R8:2169.5 ...", "FqA ...", "delay-ms N", ... lines.
// Returns false with `error` set on a line it cannot read.
bool LoadScript(const std::wstring& path, Script& script, std::wstring& error);

// Fills `out` (already cleared) with the answer's value.
HRESULT MakeVariant(const Answer& answer, VARIANT& out);

}  // namespace host_double
