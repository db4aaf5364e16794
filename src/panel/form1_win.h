// Form1: the panel's one window, its controls, its timer and its event routing.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "host/message_pump_win.h"
#include "host/window_close_win.h"
#include "panel/controls.h"
#include "panel/gdi_ptr_win.h"
#include "panel/panel.h"
#include "panel/panel_view.h"

namespace korvane {

inline constexpr wchar_t kForm1ClassName[] = L"KorvaneForm1";
inline constexpr int kAppIconId = 1;  // korvane.rc
// Timer1's id: its WM_TIMER is the panel's tick.
inline constexpr UINT_PTR kTimer1Id = 1;
// Looks, every so often, whether a loop of the window system's seen running has ended.
inline constexpr UINT_PTR kLoopEndTimerId = 2;
// The call watch's word while a host call is outstanding.
inline constexpr UINT kHostCallAgeMessage = WM_APP + 1;
// Posted by the window to itself: the work held during a menu or move loop, once it has ended.
inline constexpr UINT kHeldWorkMessage = WM_APP + 2;
// Posted by the window to itself: a click that arrived inside another program's send (WPARAM: the id).
inline constexpr UINT kRepostedClickMessage = WM_APP + 3;
// Posted by the window to itself: its frame changed and took from the client area, which it gives back.
inline constexpr UINT kKeepClientMessage = WM_APP + 4;

// The window's own additions. korvane.exe has both; the benchmark's entries leave one out to weigh it.
struct Form1Parts {
  bool font_fit = true;  // else the message font at its own size
  bool icons = true;     // else the window system's default icon
};

class Form1 final : public PanelView {
 public:
  Form1(HostAutomation& host, CallState& calls, WindowClose& close, MessagePump& pump, Form1Parts parts = {})
      : calls_(calls), close_(close), pump_(pump), parts_(parts), panel_(host, *this, calls) {}
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;
  ~Form1() override;

  // Creates the window hidden, with its controls and running timer.
  bool Create(HINSTANCE instance);
  // Start-up (attach, the failure message, the mode list), then shows the window.
  void Load(int show_command);
  HWND hwnd() const { return hwnd_; }
  // One message as the panel handles it, from its own loop or while a host call waits.
  void Dispatch(MSG& message);

  // PanelView
  void ShowMessage(std::wstring_view text, std::wstring_view caption) override;
  void FillModeList(std::wstring_view entry) override;
  void SetText2(std::wstring_view text) override { SetText(kIdText2, text); }
  void SetText3(std::wstring_view text) override { SetText(kIdText3, text); }
  void SetCaption(std::wstring_view text) override;
  std::wstring DecimalSeparator() const override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCreate();
  void OnTimer();
  void OnCommand(int id, int code);
  void OnClick(int id);
  void OnClose();
  void OnHostCallAge();
  void OnSize();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnMessageFontChanged();
  void RestartTimer();
  void OnDestroy();

  // Every loop of the window system's that runs on this thread, whether the window is told of it
  // (its own menus and drags) or only sees it (a text box's menu, whose owner is the text box):
  // the panel holds its host calls through it.
  void OnLoopTold(WindowLoop loop);
  void FollowLoops();
  // The frame sized so that the client area is `client`, whatever the frame's own metrics.
  void SizeFrameForClient(SIZE client);
  // The client area the operator or the panel chose, kept when only the frame changes.
  void NoteClientArea();
  void LayOut(UINT dpi);
  void SetIcons(UINT dpi);
  void SetText(int id, std::wstring_view text);
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

  CallState& calls_;
  WindowClose& close_;
  MessagePump& pump_;
  const Form1Parts parts_;
  HWND hwnd_ = nullptr;
  int show_command_ = SW_SHOWDEFAULT;
  HWND last_focus_ = nullptr;
  WindowLoop told_loop_ = WindowLoop::None;    // by WM_ENTERMENULOOP or WM_ENTERSIZEMOVE
  WindowLoop window_loop_ = WindowLoop::None;  // the loop the panel holds its calls for
  SIZE window_size_{};                         // at the last WM_SIZE, frame included
  SIZE client_size_{};                         // the client area to keep
  UniqueFont font_;
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
  Panel panel_;
};

}  // namespace korvane
