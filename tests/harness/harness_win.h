// Drives the panel and the host double as separate processes: start, find windows, read, click, read logs.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {

std::wstring ExeDir();
// A new file name in $KORVANE_LOG_DIR, where set, else in the temporary folder.
std::wstring TempFile(const std::wstring& stem);
// Polls `condition` every 20 ms. `last_unmet_ms`, when given, gets the GetTickCount64 of the last
// poll at which it did not hold: the state began after that moment.
bool WaitFor(const std::function<bool()>& condition, DWORD timeout_ms, double* last_unmet_ms = nullptr);
// True when these tests run under Wine rather than on Windows itself.
bool UnderWine();

class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child();
  // In `current_directory`, where given; else in this process's. A process started before is ended first.
  bool Start(const std::wstring& command_line, const wchar_t* environment = nullptr,
             const std::wstring& current_directory = L"");
  bool Running() const;
  bool WaitExit(DWORD timeout_ms) const;
  // Ends it at once, if it still runs.
  void Kill();
  DWORD ExitCode() const;
  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_; }

 private:
  void Forget();  // ends the process, if it still runs, and closes its handle

  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// Top-level windows of a process with the given class, shown or hidden.
std::vector<HWND> TopWindows(DWORD pid, const wchar_t* window_class);
std::wstring ClassOf(HWND hwnd);
// The window's text as the window itself reports it (WM_GETTEXT).
std::wstring TextOf(HWND hwnd);
// For failure messages: the panel's texts are ASCII.
inline std::string Narrow(std::wstring_view w) {
  std::string narrow;
  for (const wchar_t c : w) narrow += static_cast<char>(c);
  return narrow;
}
std::vector<HWND> Children(HWND parent);
// The control that has the keyboard focus in the window's thread.
HWND Focused(HWND window);

// One call as the host double logged it: when it began and ended (ms since the double started).
struct TimedCall {
  std::string what;
  double begin = 0;
  double end = -1;  // -1: never ended
};

class HostDouble {
 public:
  // Writes the script, starts the double and waits until its object is registered and other
  // processes see it so (COM must be initialised on the calling thread). The
  // double is host_double.exe beside the tests, or the one KORVANE_HOST_DOUBLE names
  // (another bitness's build, say).
  bool Start(const std::string& script = "");
  std::vector<std::string> LogLines() const;
  // "AudioFq", "FqA", "ExecuteMacros [<TX>]": the calls in the order they arrived.
  std::vector<std::string> Calls() const;
  std::vector<std::string> Macros() const;
  std::vector<TimedCall> TimedCalls() const;
  bool Logged(const std::string& event) const;
  int LastRefs() const;
  int RegisteredRefs() const;
  // The double stops answering now, between calls, for its script's stall-ms.
  void FreezeNow();
  void Stop();
  Child process;

 private:
  bool SeenRunning() const;

  std::wstring log_path_;
};

// The panel build under test: korvane.exe, or the one KORVANE_PANEL_EXE names beside the tests
// (korvane_strict.exe, which keeps the COM rules of Windows that Wine does not).
std::wstring PanelExe();
inline constexpr wchar_t kPanelWindowClass[] = L"KorvaneForm1";

class Panel {
 public:
  // PanelExe(), or another build of the panel beside it, or a full path (one with a backslash);
  // in `current_directory`, where given. A panel this object started before is ended first.
  bool Start(const std::wstring& exe = PanelExe(), const std::wstring& current_directory = L"",
             const wchar_t* window_class = kPanelWindowClass);
  // The panel window, waiting up to 5 s for it to exist (it may still be hidden).
  HWND Form();
  HWND MessageBox(DWORD timeout_ms = 5000);
  HWND Control(int id) { return GetDlgItem(Form(), id); }
  std::wstring Text(int id) { return TextOf(Control(id)); }
  void Close();
  Child process;

 private:
  HWND form_ = nullptr;
  const wchar_t* window_class_ = kPanelWindowClass;
};

// The program a session starts: a build of the panel, or the benchmark's floor, which has a window
// class of its own.
struct Program {
  Program(std::wstring exe_name = PanelExe(), std::wstring directory = L"",
          const wchar_t* top_window_class = kPanelWindowClass)
      : exe(std::move(exe_name)), current_directory(std::move(directory)), window_class(top_window_class) {}
  std::wstring exe;  // as Panel::Start takes it
  std::wstring current_directory;
  const wchar_t* window_class;
  // Says "MixW2 is not loaded" when it finds no host: the panel does, the floor does not.
  bool says_not_loaded = true;
};

// A host double with `script` and a panel attached to it, its window shown; or, made with kNoHost,
// a panel started with no host, its "not loaded" message answered and its window shown.
// The destructor closes the panel and stops the double.
struct Session {
  struct NoHost {};
  static constexpr NoHost kNoHost{};

  explicit Session(const std::string& script = "", const Program& program = {});
  explicit Session(NoHost, const Program& program = {});
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();
  // Closes the panel between two ticks and returns every call the host saw.
  std::vector<std::string> Finish();
  // Closes the panel, if it still runs, and starts the same program again against the same host;
  // false when its window does not show.
  bool StartPanelAgain();
  bool WaitForMacros(std::size_t count);
  // Waits until `count` more ticks have begun at the host from now: the panel has handled
  // everything posted to it before (clicks come before ticks), and sent whatever it was to send.
  bool WaitForTicks(std::size_t count);

  HostDouble host;
  Panel panel;
  HWND form = nullptr;  // null when the host double or the panel did not start, or no window showed

 private:
  bool StartPanel();

  const Program program_;
  const bool with_host_ = true;
};

// Splits a call list into ticks, each beginning at an AudioFq directly followed by FqA.
std::vector<std::vector<std::string>> Ticks(const std::vector<std::string>& calls);

// Clicks a button the way a user's click arrives: posted, never sent.
void Click(HWND button);

// Makes `window` the foreground window, so that real input reaches it; false when Windows' foreground
// lock keeps it back. (The panels these tests start may take the foreground: Panel::Start allows it.)
bool BringToFront(HWND window);
// Real input, as the keyboard and mouse give it, to whichever window is under the pointer or has the focus.
void PressKeys(std::initializer_list<WORD> keys);  // held down in order, let go in reverse
void MouseButton(bool down, bool right = false);
// Screen points on the window's frame: where it answers WM_NCHITTEST with `hit` (HTCLOSE, HTSYSMENU, ...),
// and inside its client area.
POINT FramePoint(HWND window, LRESULT hit);
POINT ClientPoint(HWND window, int x, int y);
// Three times as high, so that the lower row of controls comes into view (posted: the panel may be in a call).
void Enlarge(HWND window);

inline double NowMs() { return static_cast<double>(GetTickCount64()); }
bool NotResponding(HWND form);
// The window's thread is in a menu, or moving or sizing the window.
bool InMenu(HWND form);
bool InMove(HWND form);
// The left button pressed, and held, where the window's frame answers `hit`.
bool Press(HWND form, LRESULT hit);
// The title bar pressed and the pointer moved until the window's move loop runs; the button stays down.
bool BeginTitleDrag(HWND form);
// A right-click in the middle of the control, and its own menu (a text box's Undo, Cut, Copy, Paste)
// open: the menu's owner is the control, which tells the panel nothing.
bool OpenControlMenu(HWND form, HWND control);

}  // namespace e2e
