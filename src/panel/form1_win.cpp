// The Win32 side of the panel window: creation, layout at the window's DPI and message dispatch.
#include "panel/form1_win.h"

#include <utility>

#include "host/com_rules_win.h"
#include "host/working_time_win.h"
#include "monitor/poll.h"
#include "panel/control_classes_win.h"
#include "panel/dpi_win.h"

namespace korvane {
namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
// How soon after a loop seen running ends the held work runs.
constexpr UINT kLoopEndCheckMs = 50;

// The loop the thread is in, as the window system tells anyone who asks: it sees every menu, the
// ones owned by a control included, and every move or size.
WindowLoop LoopOfThisThread() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetCurrentThreadId(), &info)) return WindowLoop::None;
  if (info.flags & GUI_INMOVESIZE) return WindowLoop::SizeMove;
  if (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) return WindowLoop::Menu;
  return WindowLoop::None;
}

bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

}  // namespace

Form1::~Form1() {
  if (hwnd_) DestroyWindow(hwnd_);  // before its font and icons go, with the members
}

bool Form1::Create(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Form1::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The class keeps these for the process's life; the window gets its own at its DPI.
  if (parts_.icons) {
    const UINT dpi = SystemDpi();
    wc.hIcon = LoadIconAtSize(instance, MAKEINTRESOURCEW(kAppIconId), SystemMetricForDpi(SM_CXICON, dpi));
    wc.hIconSm = LoadIconAtSize(instance, MAKEINTRESOURCEW(kAppIconId), SystemMetricForDpi(SM_CXSMICON, dpi));
  }
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kForm1ClassName;
  if (!RegisterClassExW(&wc)) return false;
  const std::wstring title(kAppTitle);
  return CreateWindowExW(0, kForm1ClassName, title.c_str(), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, nullptr, nullptr, instance, this) != nullptr;
}

void Form1::Load(int show_command) {
  show_command_ = show_command;
  panel_.Load();
  if (!hwnd_ || calls_.Closing()) return;  // closed during start-up
  ShowWindow(hwnd_, show_command);
  SetFocus(Control(kIdCombo1));
}

void Form1::Dispatch(MSG& message) {
  const bool ours = hwnd_ && (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd));
  if (ours && message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 && (HIWORD(message.lParam) & KF_ALTDOWN)) {
    // Alt+F4 closes from whichever control has the focus; Wine's combo box keeps Alt+keys to itself.
    // (F4 alone also comes as a system key while the panel is active with nothing focused.)
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return;
  }
  // Lets Tab, Space and Enter move between and press the controls.
  if (ours && IsDialogMessageW(hwnd_, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

LRESULT CALLBACK Form1::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    ScaleFrameWithDpi(hwnd);
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->HandleMessage(message, wparam, lparam) : DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_TIMER:
      // Only a tick that may call the host needs to know of a loop it is not told of. With the link
      // down the tick asks the window system nothing: under Wine each question wakes the panel.
      if (wparam == kLoopEndTimerId || panel_.link().IsUp()) FollowLoops();
      if (wparam == kTimer1Id) OnTimer();
      return 0;
    case WM_COMMAND: OnCommand(LOWORD(wparam), HIWORD(wparam)); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case kHostCallAgeMessage: OnHostCallAge(); return 0;
    case WM_ENTERSIZEMOVE: OnLoopTold(WindowLoop::SizeMove); break;
    case WM_ENTERMENULOOP: OnLoopTold(WindowLoop::Menu); break;
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE: OnLoopTold(WindowLoop::None); break;
    case kHeldWorkMessage:
      FollowLoops();
      // The timer kept its old phase through the loop: without a restart the next tick could follow
      // the held one at once, a second <ALIGN:2210> straight after the first.
      if (panel_.RunHeldWork()) RestartTimer();
      return 0;
    case kKeepClientMessage: SizeFrameForClient(client_size_); return 0;
    case kRepostedClickMessage: OnClick(static_cast<int>(wparam)); return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam)); return 0;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETNONCLIENTMETRICS) OnMessageFontChanged();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) last_focus_ = GetFocus();
      break;
    case WM_SETFOCUS: SetFocus(last_focus_ && IsChild(hwnd_, last_focus_) ? last_focus_ : Control(kIdCombo1)); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_NCDESTROY: {
      const HWND hwnd = hwnd_;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    default: break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void Form1::OnCreate() {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  // The creation order is the z-order, which sets both the focus order and the labels' fields.
  for (const ControlSpec* control_spec : ControlsInCreationOrder()) {
    const ControlClass cls = ClassFor(control_spec->kind);
    const std::wstring text(control_spec->text);
    CreateWindowExW(cls.ex_style, cls.window_class, text.c_str(), WS_CHILD | WS_VISIBLE | cls.style, 0, 0, 0, 0, hwnd_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_spec->id)), instance, nullptr);
  }
  const UINT dpi = WindowDpi(hwnd_);
  LayOut(dpi);
  SetIcons(dpi);
  const SIZE client{TwipsToPixels(kClientWidthTwips, static_cast<int>(dpi)),
                    TwipsToPixels(kClientHeightTwips, static_cast<int>(dpi))};
  // By measure rather than reckoned at a DPI: the frame may be drawn at another one than the
  // window's (Windows 10 1607's per-monitor awareness where its scaling is not had).
  SizeFrameForClient(client);
  SetTimer(hwnd_, kTimer1Id, kPollIntervalMs, nullptr);
  OnSize();
}

void Form1::OnTimer() {
  const Millis began = WorkingMillis();
  panel_.Tick();
  // The host held this tick up past the next one.
  if (WorkingMillis() - began >= kPollIntervalMs) RestartTimer();
}

void Form1::RestartTimer() {
  // A fresh interval from now, rather than the timer that fell due meanwhile firing at once.
  MSG due;
  while (PeekMessageW(&due, hwnd_, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  SetTimer(hwnd_, kTimer1Id, kPollIntervalMs, nullptr);
}

void Form1::OnCommand(int id, int code) {
  if (code == BN_CLICKED) {
    OnClick(id);
  } else if (id == IDOK && IsChild(hwnd_, GetFocus())) {
    OnClick(GetDlgCtrlID(GetFocus()));  // Enter on a focused button, routed by the dialog manager
  }
}

void Form1::OnClick(int id) {
  FollowLoops();
  const CommandSpec* command = CommandOfControl(id);
  if (!command) return;
  if (InInputSyncCall()) {
    // A click sent by another program (a screen reader's BM_CLICK, say): the host call it makes
    // would fail inside that send, so it comes round again through the window's own queue.
    PostMessageW(hwnd_, kRepostedClickMessage, static_cast<WPARAM>(id), 0);
    return;
  }
  panel_.Click(command->button);
}

void Form1::OnClose() {
  FollowLoops();
  close_.Asked(hwnd_, window_loop_);
}

void Form1::OnLoopTold(WindowLoop loop) {
  told_loop_ = loop;
  FollowLoops();
}

void Form1::FollowLoops() {
  // Told of its own loops at once; a loop it is not told of is seen by the first tick, click, close
  // or word of the call watch that it delivers, before any of them can call the host. Its end is
  // seen by the look that the loop end timer takes meanwhile.
  const WindowLoop now = told_loop_ != WindowLoop::None ? told_loop_ : LoopOfThisThread();
  if (now == window_loop_) return;
  const bool began = window_loop_ == WindowLoop::None;
  window_loop_ = now;
  if (began) {
    panel_.ModalLoopBegan();
    SetTimer(hwnd_, kLoopEndTimerId, kLoopEndCheckMs, nullptr);
  } else if (now == WindowLoop::None) {
    KillTimer(hwnd_, kLoopEndTimerId);
    // Run once the loop is over and the message that ended it (a menu's command) has been handled.
    if (panel_.ModalLoopEnded()) PostMessageW(hwnd_, kHeldWorkMessage, 0, 0);
  }
}

void Form1::OnHostCallAge() {
  FollowLoops();
  // COM's wait below runs sent messages but need not run posted ones (input, a posted close):
  // while a call waits, this word runs them. A menu or move loop runs its own.
  if (calls_.InCall() && !panel_.InModalLoop()) pump_.RunQueued();
  if (!calls_.NotResponding()) return;
  panel_.HostNotResponding();
  // Hung while attaching, before the window was first shown: show it, so that the
  // operator sees why and can close it.
  if (!IsWindowVisible(hwnd_) && !calls_.Closing()) ShowWindow(hwnd_, show_command_);
}

void Form1::SizeFrameForClient(SIZE client) {
  RECT window{};
  RECT now{};
  if (!GetWindowRect(hwnd_, &window) || !GetClientRect(hwnd_, &now)) return;
  const int width = client.cx + (window.right - window.left) - now.right;
  const int height = client.cy + (window.bottom - window.top) - now.bottom;
  if (width == window.right - window.left && height == window.bottom - window.top) return;
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::NoteClientArea() {
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
  RECT window{};
  RECT client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  const SIZE window_size{window.right - window.left, window.bottom - window.top};
  const SIZE client_size{client.right, client.bottom};
  // The same outer size with another client area: the frame's metrics changed (a caption or border
  // size, a theme), which would shrink the layout's room. Given back once this message is done.
  if (window_size == window_size_ && client_size != client_size_) {
    PostMessageW(hwnd_, kKeepClientMessage, 0, 0);
    return;
  }
  window_size_ = window_size;
  client_size_ = client_size;
}

void Form1::OnSize() {
  NoteClientArea();
  // A control wholly outside the client area is hidden, which takes it out of the Tab
  // and arrow-key order: Space and Enter never press a button the operator cannot see.
  // Enlarging the window brings it back, in its place in the order.
  RECT client{};
  GetClientRect(hwnd_, &client);
  const HWND focus = GetFocus();
  for (const ControlSpec& control_spec : kControls) {
    const HWND control = Control(control_spec.id);
    RECT placed{};
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&placed), 2);
    RECT shown{};
    const bool in_view = IntersectRect(&shown, &placed, &client) != FALSE;
    if (!in_view && control == focus) SetFocus(Control(kIdCombo1));
    ShowWindow(control, in_view ? SW_SHOWNA : SW_HIDE);
  }
}

void Form1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  LayOut(dpi);
  SetIcons(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  OnSize();
}

void Form1::OnMessageFontChanged() {
  // "Make text bigger", or another message font: refitted as on a DPI change.
  LayOut(WindowDpi(hwnd_));
  OnSize();
}

void Form1::OnDestroy() {
  KillTimer(hwnd_, kTimer1Id);
  panel_.Unload();
  PostQuitMessage(0);
}

void Form1::SetIcons(UINT dpi) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  const auto set = [&](WPARAM which, int metric, UniqueIcon& held) {
    UniqueIcon icon(LoadIconAtSize(instance, MAKEINTRESOURCEW(kAppIconId), SystemMetricForDpi(metric, dpi)));
    if (!icon) return;
    SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon.Get()));
    held = std::move(icon);  // the one the window had goes only now
  };

  if (parts_.icons) {
    set(ICON_BIG, SM_CXICON, big_icon_);
    set(ICON_SMALL, SM_CXSMICON, small_icon_);
  }
}

void Form1::ShowMessage(std::wstring_view text, std::wstring_view caption) {
  const std::wstring body(text);
  const std::wstring title(caption);
  // Shown while the panel is still hidden. Unowned, it has a taskbar button of its own; owned by
  // the hidden window it would have none, and behind MixW2 only Alt+Tab would find it.
  MessageBoxW(nullptr, body.c_str(), title.c_str(), MB_OK | MB_SETFOREGROUND);
}

void Form1::FillModeList(std::wstring_view entry) {
  const std::wstring item(entry);
  SendMessageW(Control(kIdCombo1), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(Control(kIdCombo1), CB_SETCURSEL, 0, 0);
}

void Form1::SetCaption(std::wstring_view text) {
  const std::wstring caption(text);
  SetWindowTextW(hwnd_, caption.c_str());
}

std::wstring Form1::DecimalSeparator() const {
  wchar_t separator[8] = L".";
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) return L".";
  return separator;
}

void Form1::SetText(int id, std::wstring_view text) {
  const std::wstring value(text);
  SetWindowTextW(Control(id), value.c_str());
}

}  // namespace korvane
