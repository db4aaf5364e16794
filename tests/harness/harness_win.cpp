// Process, window and log helpers for the end-to-end tests.
#include "harness/harness_win.h"

#include <objbase.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "host/com_ptr_win.h"

namespace e2e {

std::wstring ExeDir() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

std::wstring TempFile(const std::wstring& stem) {
  static int counter = 0;
  // KORVANE_LOG_DIR keeps the host doubles' logs and scripts where a run can find them afterwards.
  wchar_t dir[MAX_PATH];
  const DWORD chosen = GetEnvironmentVariableW(L"KORVANE_LOG_DIR", dir, MAX_PATH - 1);
  if (chosen > 0 && chosen < MAX_PATH - 1) {
    if (dir[chosen - 1] != L'\\') wcscat_s(dir, L"\\");
  } else {
    GetTempPathW(MAX_PATH, dir);
  }
  return std::wstring(dir) + L"korvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
         L"-" + stem;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeout_ms, double* last_unmet_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    const ULONGLONG polled_at = GetTickCount64();
    if (condition()) return true;
    if (last_unmet_ms) *last_unmet_ms = static_cast<double>(polled_at);
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
}

Child::~Child() { Forget(); }

void Child::Forget() {
  if (!process_) return;
  Kill();
  CloseHandle(std::exchange(process_, nullptr));
  pid_ = 0;
}

void Child::Kill() {
  if (!Running()) return;
  TerminateProcess(process_, 9);
  WaitForSingleObject(process_, 5000);
}

bool Child::Start(const std::wstring& command_line, const wchar_t* environment, const std::wstring& current_directory) {
  Forget();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Under Wine a process start fails now and then (seen twice in some thousand starts); a failed
  // start leaves nothing behind, so it is tried once more.
  bool started = false;
  for (int attempt = 0; attempt < 2 && !started; ++attempt) {
    std::wstring mutable_line = command_line;
    started = CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, FALSE,
                             environment ? CREATE_UNICODE_ENVIRONMENT : 0, const_cast<wchar_t*>(environment),
                             current_directory.empty() ? nullptr : current_directory.c_str(), &startup, &info) != FALSE;
    if (!started) std::printf("process start failed (error %lu), attempt %d\n", GetLastError(), attempt + 1);
  }
  if (!started) return false;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  return true;
}

bool Child::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
bool Child::WaitExit(DWORD timeout_ms) const { return WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0; }
DWORD Child::ExitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

namespace {

struct Search {
  DWORD pid;
  const wchar_t* cls;
  std::vector<HWND> found;
};

BOOL CALLBACK AddIfTopWindowOf(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == s->pid && ClassOf(hwnd) == s->cls) s->found.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK AddChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopWindows(DWORD pid, const wchar_t* window_class) {
  Search search{pid, window_class, {}};
  EnumWindows(&AddIfTopWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = L"";
  GetClassNameW(hwnd, name, 256);
  return name;
}

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[512] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied))
    return L"<no answer>";
  return std::wstring(text, copied);
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, &AddChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND Focused(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool BringToFront(HWND window) {
  if (GetForegroundWindow() == window) return true;
  SetForegroundWindow(window);
  return WaitFor([&] { return GetForegroundWindow() == window; }, 2000);
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *key;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MouseButton(bool down, bool right) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags =
      right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP) : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  SendInput(1, &in, sizeof(INPUT));
}

POINT FramePoint(HWND window, LRESULT hit) {
  RECT frame{};
  GetWindowRect(window, &frame);
  POINT client_top{0, 0};
  ClientToScreen(window, &client_top);
  // Along the middle of the caption, from both ends inwards.
  const int y = (frame.top + client_top.y) / 2;
  for (int dx = 0; dx < (frame.right - frame.left) / 2; ++dx) {
    for (const int x : {frame.right - 1 - dx, frame.left + dx}) {
      DWORD_PTR answer = HTNOWHERE;
      SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 1000, &answer);
      if (static_cast<LRESULT>(answer) == hit) return {x, y};
    }
  }
  return {-1, -1};
}

void Enlarge(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, 3 * (frame.bottom - frame.top),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

POINT ClientPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

namespace {

// This process's integrity level: an elevated one (High) reads no per-user class registrations
// while UAC is on.
std::string IntegrityLevel() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "unknown";
  alignas(TOKEN_MANDATORY_LABEL) unsigned char buffer[64];
  DWORD size = 0;
  std::string level = "unknown";
  if (GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) {
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    const DWORD rid = *GetSidSubAuthority(sid, static_cast<DWORD>(*GetSidSubAuthorityCount(sid) - 1));
    level = rid >= SECURITY_MANDATORY_SYSTEM_RID   ? "System"
            : rid >= SECURITY_MANDATORY_HIGH_RID   ? "High (elevated)"
            : rid >= SECURITY_MANDATORY_MEDIUM_RID ? "Medium"
                                                   : "Low";
  }
  CloseHandle(token);
  return level;
}

}  // namespace

bool HostDouble::Start(const std::string& script) {
  // Said once and plainly, rather than as every host test's own puzzle.
  if (CLSID clsid{}; FAILED(CLSIDFromProgID(L"MixW2.Application", &clsid))) {
    std::printf(
        "host double: the ProgID MixW2.Application does not resolve in this process (integrity level %s). Register "
        "it where this process reads it: HKLM\\Software\\Classes when elevated, HKCU\\Software\\Classes "
        "otherwise\n",
        IntegrityLevel().c_str());
    return false;
  }
  const std::wstring script_path = TempFile(L"script.txt");
  log_path_ = TempFile(L"host.log");
  std::ofstream(script_path.c_str()) << script;
  wchar_t chosen[MAX_PATH] = L"";
  const DWORD n = GetEnvironmentVariableW(L"KORVANE_HOST_DOUBLE", chosen, MAX_PATH);
  const std::wstring exe = n > 0 && n < MAX_PATH ? std::wstring(chosen) : ExeDir() + L"host_double.exe";
  static bool told = false;
  if (!std::exchange(told, true)) {
    DWORD kind = 0;
    const bool known = GetBinaryTypeW(exe.c_str(), &kind) != FALSE;
    std::printf("host double: %ls (%s)\n", exe.c_str(),
                !known                     ? "?"
                : kind == SCS_64BIT_BINARY ? "64-bit"
                : kind == SCS_32BIT_BINARY ? "32-bit"
                                           : "other");
  }
  if (!process.Start(L"\"" + exe + L"\" --script \"" + script_path + L"\" --log \"" + log_path_ + L"\"")) {
    std::printf("host double: not started (error %lu)\n", GetLastError());
    return false;
  }
  const bool registered = WaitFor(
      [&] {
        for (const auto& line : LogLines())
          if (line.find(" registered") != std::string::npos) return true;
        return false;
      },
      10000);
  if (!registered) {
    std::printf("host double: no registration logged in 10 s (%s)\n", process.Running() ? "running" : "exited");
    return false;
  }
  if (!SeenRunning()) {
    std::printf("host double: registered, but the running object table does not show it\n");
    return false;
  }
  return true;
}

// Wine's running object table can show a registration to other processes some 50-300 ms after
// RegisterActiveObject has returned in the double (measured on a busy machine): a panel started in
// between finds no host. The double is ready once another process sees it running. Asked of the
// table itself, so that no reference to the double's object is taken. Where the ProgID is not
// registered there is nothing to wait for.
bool HostDouble::SeenRunning() const {
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"MixW2.Application", &clsid))) return true;
  wchar_t clsid_text[40] = L"";
  StringFromGUID2(clsid, clsid_text, 40);
  korvane::ComRef<IRunningObjectTable> table;
  korvane::ComRef<IMoniker> name;  // what GetActiveObject looks the class up by
  if (FAILED(GetRunningObjectTable(0, table.Put())) || FAILED(CreateItemMoniker(L"!", clsid_text, name.Put())))
    return false;
  return WaitFor([&] { return table->IsRunning(name.Get()) == S_OK; }, 5000);
}

std::vector<std::string> HostDouble::LogLines() const {
  std::ifstream in(log_path_.c_str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> HostDouble::Calls() const {
  std::vector<std::string> calls;
  for (const auto& line : LogLines()) {
    const std::size_t at = line.find(" call ");
    if (at == std::string::npos) continue;
    const std::size_t end = line.rfind(" #");
    calls.push_back(line.substr(at + 6, end - at - 6));
  }
  return calls;
}

std::vector<std::string> HostDouble::Macros() const {
  std::vector<std::string> macros;
  for (const auto& call : Calls())
    if (call.rfind("ExecuteMacros [", 0) == 0) macros.push_back(call.substr(15, call.size() - 16));
  return macros;
}

std::vector<TimedCall> HostDouble::TimedCalls() const {
  std::vector<TimedCall> calls;
  for (const auto& line : LogLines()) {
    const double at = std::atof(line.c_str());
    const std::size_t call = line.find(" call ");
    const std::size_t done = line.find(" done ");
    if (call != std::string::npos) {
      calls.push_back({line.substr(call + 6, line.rfind(" #") - call - 6), at, -1});
    } else if (done != std::string::npos && !calls.empty()) {
      calls.back().end = at;  // the double answers one call at a time
    }
  }
  return calls;
}

bool HostDouble::Logged(const std::string& event) const {
  for (const auto& line : LogLines())
    if (line.find(event) != std::string::npos) return true;
  return false;
}

static int RefsOf(const std::string& line) {
  const std::size_t at = line.find("refs=");
  return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 5);
}

int HostDouble::LastRefs() const {
  int refs = -1;
  for (const auto& line : LogLines())
    if (line.find(" addref ") != std::string::npos || line.find(" release ") != std::string::npos) refs = RefsOf(line);
  return refs;
}

int HostDouble::RegisteredRefs() const {
  int refs = -1;
  for (const auto& line : LogLines()) {
    if (line.find(" registered") != std::string::npos) return refs;
    if (line.find(" addref ") != std::string::npos || line.find(" release ") != std::string::npos) refs = RefsOf(line);
  }
  return refs;
}

void HostDouble::FreezeNow() {
  for (HWND hwnd : TopWindows(process.pid(), L"KorvaneHostDouble")) PostMessageW(hwnd, WM_APP + 2, 0, 0);
}

void HostDouble::Stop() {
  for (HWND hwnd : TopWindows(process.pid(), L"KorvaneHostDouble")) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  process.WaitExit(5000);
}

std::wstring PanelExe() {
  wchar_t chosen[MAX_PATH] = L"";
  const DWORD n = GetEnvironmentVariableW(L"KORVANE_PANEL_EXE", chosen, MAX_PATH);
  const std::wstring exe = n > 0 && n < MAX_PATH ? std::wstring(chosen) : L"korvane.exe";
  static bool told = false;
  if (!std::exchange(told, true)) std::printf("panel: %ls\n", exe.c_str());
  return exe;
}

bool Panel::Start(const std::wstring& exe, const std::wstring& current_directory, const wchar_t* window_class) {
  form_ = nullptr;
  window_class_ = window_class;
  // Whoever holds the foreground may pass it on: the panel then comes up in front, as for an operator.
  AllowSetForegroundWindow(ASFW_ANY);
  const std::wstring path = exe.find(L'\\') == std::wstring::npos ? ExeDir() + exe : exe;
  return process.Start(L"\"" + path + L"\"", nullptr, current_directory);
}

HWND Panel::Form() {
  if (form_ && IsWindow(form_)) return form_;
  WaitFor(
      [&] {
        const auto found = TopWindows(process.pid(), window_class_);
        form_ = found.empty() ? nullptr : found.front();
        return form_ != nullptr;
      },
      5000);
  return form_;
}

HWND Panel::MessageBox(DWORD timeout_ms) {
  HWND box = nullptr;
  WaitFor(
      [&] {
        const auto found = TopWindows(process.pid(), L"#32770");
        box = found.empty() ? nullptr : found.front();
        return box != nullptr;
      },
      timeout_ms);
  return box;
}

void Panel::Close() { PostMessageW(Form(), WM_CLOSE, 0, 0); }

Session::Session(const std::string& script, const Program& program) : program_(program) {
  if (!host.Start(script)) {
    std::printf("session: the host double did not register\n");
    return;
  }
  StartPanel();
}

Session::Session(NoHost, const Program& program) : program_(program), with_host_(false) { StartPanel(); }

Session::~Session() {
  Finish();
  if (with_host_) host.Stop();
}

bool Session::StartPanelAgain() {
  Finish();
  return StartPanel();
}

bool Session::StartPanel() {
  form = nullptr;
  if (!panel.Start(program_.exe, program_.current_directory, program_.window_class)) {
    std::printf("session: the panel did not start\n");
    return false;
  }
  if (!with_host_ && program_.says_not_loaded) {
    // The one message comes before the window shows; answered as the operator would.
    const HWND box = panel.MessageBox();
    if (!box) {
      std::printf("session: no message box within 5 s from a panel with no host (%s)\n",
                  panel.process.Running() ? "running" : "ended");
      return false;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  const HWND created = panel.Form();
  if (created && WaitFor([&] { return IsWindowVisible(created) != FALSE; }, 5000)) {
    form = created;
    return true;
  }
  // Why not, for the failure that follows.
  const HWND box = panel.MessageBox(0);
  std::printf("session: no panel shown within 5 s: window %s, caption '%s', message box %s, panel %s, host calls %zu\n",
              created ? "hidden" : "none", created ? Narrow(TextOf(created)).c_str() : "", box ? "open" : "none",
              panel.process.Running() ? "running" : "ended", with_host_ ? host.Calls().size() : 0);
  return false;
}

std::vector<std::string> Session::Finish() {
  if (panel.process.Running()) {
    // Between two ticks: a close during a tick cuts it short, and the tests compare whole ticks.
    std::size_t seen = host.Calls().size();
    ULONGLONG quiet_since = GetTickCount64();
    WaitFor(
        [&] {
          const std::size_t now_seen = host.Calls().size();
          if (now_seen != seen) {
            seen = now_seen;
            quiet_since = GetTickCount64();
          }
          return GetTickCount64() - quiet_since >= 150;
        },
        3000);
    panel.Close();
    panel.process.WaitExit(5000);
  }
  return host.Calls();
}

bool Session::WaitForMacros(std::size_t count) {
  return WaitFor([&] { return host.Macros().size() >= count; }, 5000);
}

bool Session::WaitForTicks(std::size_t count) {
  // A tick begun already may not have read FqA yet: one more than asked for is a whole new one.
  const auto begun = [&] {
    std::size_t reads = 0;
    for (const auto& call : host.Calls()) reads += call == "FqA";
    return reads;
  };
  const std::size_t from = begun();
  return WaitFor([&] { return begun() >= from + count + 1; }, static_cast<DWORD>(1000 * count + 3000));
}

std::vector<std::vector<std::string>> Ticks(const std::vector<std::string>& calls) {
  std::vector<std::vector<std::string>> ticks;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (i + 1 < calls.size() && calls[i] == "AudioFq" && calls[i + 1] == "FqA") ticks.emplace_back();
    if (!ticks.empty()) ticks.back().push_back(calls[i]);
  }
  return ticks;
}

bool NotResponding(HWND form) { return TextOf(form) == L"Korvane - host not responding"; }

namespace {
DWORD GuiFlags(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
  return info.flags;
}
}  // namespace

bool InMenu(HWND form) { return (GuiFlags(form) & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0; }
bool InMove(HWND form) { return (GuiFlags(form) & GUI_INMOVESIZE) != 0; }

bool Press(HWND form, LRESULT hit) {
  const POINT at = FramePoint(form, hit);
  if (at.x < 0) return false;
  SetCursorPos(at.x, at.y);
  Sleep(50);
  MouseButton(true);
  Sleep(50);
  return true;
}

bool BeginTitleDrag(HWND form) {
  const POINT grip = FramePoint(form, HTCAPTION);
  if (grip.x < 0) return false;
  SetCursorPos(grip.x, grip.y);
  Sleep(50);
  MouseButton(true);
  for (int step = 1; step <= 6 && !InMove(form); ++step) {
    SetCursorPos(grip.x + 5 * step, grip.y + 3 * step);
    Sleep(50);
  }
  return WaitFor([&] { return InMove(form); }, 1000);
}

bool OpenControlMenu(HWND form, HWND control) {
  RECT box{};
  GetWindowRect(control, &box);
  SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  Sleep(50);
  MouseButton(true, true);
  MouseButton(false, true);
  return WaitFor([&] { return InMenu(form); }, 2000);
}

}  // namespace e2e
