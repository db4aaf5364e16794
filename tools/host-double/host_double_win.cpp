// A stand-in for the host program: an automation object in the running object table that answers
// ExecuteMacros, AudioFq and FqA by name from a script and logs every call.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "script.h"

namespace host_double {
namespace {

// Registered as HKCR\MixW2.Application\CLSID only inside throwaway test prefixes.
constexpr CLSID kClsid = {0x6a1b3c5d, 0x2e4f, 0x4a8b, {0x9c, 0x0d, 0x1e, 0x2f, 0x3a, 0x4b, 0x5c, 0x6d}};
constexpr DISPID kExecuteMacros = 1, kAudioFq = 2, kFqA = 3;
constexpr wchar_t kWindowClass[] = L"KorvaneHostDouble";

class Log {
 public:
  bool Open(const std::wstring& path) {
    if (_wfopen_s(&file_, path.c_str(), L"w, ccs=UTF-8") != 0) file_ = nullptr;
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
    return file_ != nullptr;
  }
  void Line(const std::wstring& text) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double ms =
        1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    std::fwprintf(file_, L"%11.3f %ls\n", ms, text.c_str());
    std::fflush(file_);
  }

 private:
  FILE* file_ = nullptr;
  LARGE_INTEGER frequency_{}, start_{};
};

Log g_log;
Script g_script;
int g_calls = 0;
ULONGLONG g_busy_until = 0;
constexpr UINT kDisconnectMessage = WM_APP, kCrashMessage = WM_APP + 1, kFreezeMessage = WM_APP + 2;

// A host frozen between calls: its thread neither answers calls nor pumps messages.
void Freeze() {
  g_log.Line(L"freeze " + std::to_wstring(g_script.stall_ms) + L" ms");
  Sleep(g_script.stall_ms);
  g_log.Line(L"thaw");
}

// The demo tone drifts away from 2210 Hz by a few hertz a second until the
// panel sends <ALIGN:2210>, then starts again from 2210 in the other direction.
struct Demo {
  double origin_hz = 2210.0;
  double drift_hz_per_s = 23.0;
  DWORD since = 0;
  double Tone() const { return origin_hz + drift_hz_per_s * (GetTickCount() - since) / 1000.0; }
  double Radio() const { return 14085500.0 + 10.0 * ((GetTickCount() / 4000) % 3); }
  void Align() {
    origin_hz = 2210.0;
    drift_hz_per_s = -drift_hz_per_s;
    since = GetTickCount();
  }
} g_demo;

class HostObject final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    g_log.Line(L"addref refs=" + std::to_wstring(++refs_));
    return refs_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    g_log.Line(L"release refs=" + std::to_wstring(left));
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      if (_wcsicmp(names[i], L"ExecuteMacros") == 0)
        ids[i] = kExecuteMacros;
      else if (_wcsicmp(names[i], L"AudioFq") == 0)
        ids[i] = kAudioFq;
      else if (_wcsicmp(names[i], L"FqA") == 0)
        ids[i] = kFqA;
      else {
        ids[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
      }
    }
    g_log.Line(std::wstring(L"lookup ") + (count ? names[0] : L"") + (FAILED(hr) ? L" unknown" : L""));
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (GetTickCount64() < g_busy_until) {
      // Some COM runtimes run the call even when the filter said "retry later".
      g_log.Line(L"busy-reject " + std::to_wstring(id));
      return RPC_E_SERVERCALL_RETRYLATER;
    }
    const int call = ++g_calls;
    std::wstring what = id == kExecuteMacros ? L"ExecuteMacros" : id == kAudioFq ? L"AudioFq" : L"FqA";
    if (id == kExecuteMacros) {
      if (!params || params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR) {
        g_log.Line(L"call ExecuteMacros bad-arguments");
        return DISP_E_TYPEMISMATCH;
      }
      what += L" [" + std::wstring(params->rgvarg[0].bstrVal, SysStringLen(params->rgvarg[0].bstrVal)) + L"]";
    } else if (id != kAudioFq && id != kFqA) {
      return DISP_E_MEMBERNOTFOUND;
    }
    g_log.Line(L"call " + what + L" #" + std::to_wstring(call) + L" flags=" + std::to_wstring(flags) + L" refs=" +
               std::to_wstring(refs_));
    if (g_script.exit_in_call == call) {
      g_log.Line(L"exit inside call");
      ExitProcess(3);
    }
    if (g_script.delay_ms && (g_script.delay_calls == 0 || call <= g_script.delay_calls)) Sleep(g_script.delay_ms);
    if (g_script.stall_on_call == call) Sleep(g_script.stall_ms);

    HRESULT hr = S_OK;
    std::wstring answer;
    if (g_script.exception_on_call == call) {
      if (exception) {
        *exception = EXCEPINFO{};
        exception->scode = E_FAIL;
        exception->bstrDescription = SysAllocString(L"scripted failure");
      }
      hr = DISP_E_EXCEPTION;
      answer = L"DISP_E_EXCEPTION";
    } else if (id == kExecuteMacros) {
      if (g_script.demo && what.find(L"<ALIGN:2210>") != std::wstring::npos) g_demo.Align();
    } else if (g_script.demo) {
      // The tone goes out as whole hertz (VT_I4), the radio as a double; the log says what went out.
      const double value = id == kAudioFq ? g_demo.Tone() : g_demo.Radio();
      const LONG tone = static_cast<LONG>(value);
      if (result) {
        result->vt = id == kAudioFq ? VT_I4 : VT_R8;
        if (id == kAudioFq)
          result->lVal = tone;
        else
          result->dblVal = value;
      }
      answer = id == kAudioFq ? std::to_wstring(tone) : std::to_wstring(value);
    } else {
      hr = Answer(id == kAudioFq ? g_script.audio : g_script.radio, id == kAudioFq ? audio_next_ : radio_next_, result,
                  answer);
    }
    g_log.Line(L"done " + what + L" #" + std::to_wstring(call) + (answer.empty() ? L"" : L" -> " + answer));
    AfterCall(call);
    return hr;
  }

 private:
  static HRESULT Answer(const std::vector<host_double::Answer>& sequence, std::size_t& next, VARIANT* result,
                        std::wstring& logged) {
    const host_double::Answer& answer = sequence[next < sequence.size() ? next : sequence.size() - 1];
    if (next < sequence.size() - 1) ++next;
    logged = answer.token;
    if (answer.failure != S_OK) return answer.failure;
    if (!result) return S_OK;
    VariantClear(result);
    return MakeVariant(answer, *result);
  }
  void AfterCall(int call) {
    if (g_script.exit_after_calls == call) PostMessageW(window_, kCrashMessage, 0, 0);
    if (g_script.freeze_after_call == call) PostMessageW(window_, kFreezeMessage, 0, 0);
    if (g_script.disconnect_after == call) PostMessageW(window_, kDisconnectMessage, 0, 0);
    if (g_script.busy_ms && g_script.busy_after_calls == call) g_busy_until = GetTickCount64() + g_script.busy_ms;
  }

 public:
  HWND window_ = nullptr;

 private:
  ULONG refs_ = 1;
  std::size_t audio_next_ = 0, radio_next_ = 0;
};

HostObject* g_object = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kDisconnectMessage && g_object) {
    g_log.Line(L"disconnect");
    CoDisconnectObject(g_object, 0);
    return 0;
  }
  if (message == kCrashMessage) {
    g_log.Line(L"exit between calls");
    ExitProcess(4);  // no revoke, no disconnect: as if the host crashed
  }
  if (message == kFreezeMessage) {
    Freeze();
    return 0;
  }
  if (message == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// Rejects calls as "busy, retry later" while a busy period is on.
class BusyFilter final : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    if (GetTickCount64() < g_busy_until) {
      g_log.Line(L"busy-reject incoming");
      return SERVERCALL_RETRYLATER;
    }
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

}  // namespace
}  // namespace host_double

int wmain(int argc, wchar_t** argv) {
  using namespace host_double;
  std::wstring script_path, log_path;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring flag = argv[i];
    if (flag == L"--script")
      script_path = argv[i + 1];
    else if (flag == L"--log")
      log_path = argv[i + 1];
  }
  std::wstring error;
  if (log_path.empty() || !g_log.Open(log_path)) {
    std::fwprintf(stderr, L"usage: host_double --log FILE [--script FILE]\n");
    return 2;
  }
  if (!script_path.empty() && !LoadScript(script_path, g_script, error)) {
    g_log.Line(L"script error: " + error);
    return 2;
  }
  g_demo.since = GetTickCount();
  if (g_script.busy_ms && g_script.busy_after_calls == 0) g_busy_until = GetTickCount64() + g_script.busy_ms;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  BusyFilter filter;
  IMessageFilter* previous = nullptr;
  if (g_script.busy_ms) CoRegisterMessageFilter(&filter, &previous);

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kWindowClass;
  RegisterClassW(&wc);
  const HWND window =
      CreateWindowW(kWindowClass, L"Korvane host double", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);

  g_object = new HostObject;  // our own reference keeps it alive under a weak registration
  g_object->window_ = window;
  DWORD cookie = 0;
  // Strong, as a host stays attachable after a client leaves; a strong registration's own
  // reference hides the clients' releases, so a test that watches them asks for weak.
  const HRESULT registered =
      RegisterActiveObject(g_object, kClsid, g_script.weak ? ACTIVEOBJECT_WEAK : ACTIVEOBJECT_STRONG, &cookie);
  g_log.Line(SUCCEEDED(registered) ? L"registered" : L"register failed");
  if (g_script.freeze_at_start) Freeze();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);

  RevokeActiveObject(cookie, nullptr);
  g_log.Line(L"revoked");
  CoDisconnectObject(g_object, 0);
  g_object->Release();
  if (g_script.busy_ms) CoRegisterMessageFilter(previous, nullptr);
  CoUninitialize();
  g_log.Line(L"exit");
  return static_cast<int>(message.wParam);
}
