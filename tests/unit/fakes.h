// In-process stand-ins for the host program and the panel window.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/call_state.h"
#include "host/host_automation.h"
#include "panel/panel.h"
#include "panel/panel_view.h"

namespace korvane::testing {

// A clock that moves only when a test moves it.
inline Millis fake_now = 1000;
inline Millis FakeNow() { return fake_now; }

// Answers scripted readings (the last one repeats) and records every call.
class FakeHost : public HostAutomation {
 public:
  bool attach_succeeds = true;
  std::deque<HostReading> audio{{kHostOk, HostNumber::Signed(2210)}};
  std::deque<HostReading> radio{{kHostOk, HostNumber::Signed(14100000)}};
  std::deque<HostStatus> macro_status{kHostOk};
  std::vector<std::wstring> calls;
  int references = 0;
  // Runs inside every call after it is recorded; lets a test re-enter the panel.
  std::function<void()> during_call;
  // The panel's call state, on the clock the test moves by hand (`now`, in ms).
  Millis& now = fake_now;
  CallState state{FakeNow};

  bool Attach(std::wstring_view prog_id) override {
    calls.push_back(L"Attach " + std::wstring(prog_id));
    Inside();
    if (attach_succeeds) ++references;
    return attach_succeeds;
  }
  void Release() override {
    calls.push_back(L"Release");
    Inside();
    --references;
  }
  HostStatus ExecuteMacros(std::wstring_view macro) override {
    calls.push_back(L"ExecuteMacros [" + std::wstring(macro) + L"]");
    Inside();
    return Next(macro_status);
  }
  HostReading AudioFq() override {
    calls.push_back(L"AudioFq");
    Inside();
    return Next(audio);
  }
  HostReading FqA() override {
    calls.push_back(L"FqA");
    Inside();
    return Next(radio);
  }

  std::vector<std::wstring> Macros() const {
    std::vector<std::wstring> out;
    for (const auto& c : calls) {
      if (c.rfind(L"ExecuteMacros [", 0) == 0) out.push_back(c.substr(15, c.size() - 16));
    }
    return out;
  }

 private:
  void Inside() {
    if (during_call) during_call();
  }
  template <typename T>
  static T Next(std::deque<T>& queue) {
    T value = queue.front();
    if (queue.size() > 1) queue.pop_front();
    return value;
  }
};

class FakeView : public PanelView {
 public:
  std::wstring text2 = L"2210  Hz";
  std::wstring text3 = L"14100";
  std::wstring caption = L"Korvane";
  std::vector<std::wstring> mode_list;
  std::vector<std::wstring> messages;
  std::wstring separator = L".";
  int text_writes = 0;
  std::function<void()> during_message;

  void ShowMessage(std::wstring_view text, std::wstring_view box_caption) override {
    messages.push_back(std::wstring(box_caption) + L": " + std::wstring(text));
    if (during_message) during_message();
  }
  void FillModeList(std::wstring_view entry) override { mode_list.emplace_back(entry); }
  void SetText2(std::wstring_view text) override {
    text2 = text;
    ++text_writes;
  }
  void SetText3(std::wstring_view text) override {
    text3 = text;
    ++text_writes;
  }
  void SetCaption(std::wstring_view text) override { caption = text; }
  std::wstring DecimalSeparator() const override { return separator; }
};

// A panel over the fake host, not loaded yet: the test sets the host up first.
struct PanelOnFakeHost {
  FakeHost host;
  FakeView view;
  Panel panel{host, view, host.state};
};

// A panel loaded with the host attached, the attach itself cleared from the call list.
struct AttachedPanel : PanelOnFakeHost {
  AttachedPanel() {
    panel.Load();
    host.calls.clear();
  }
};

inline HostReading Int(std::int64_t v) { return {kHostOk, HostNumber::Signed(v)}; }
inline HostReading Unsigned(std::uint64_t v) { return {kHostOk, HostNumber::Unsigned(v)}; }
inline HostReading Real(double v) { return {kHostOk, HostNumber::Floating(v)}; }
inline HostReading Single(float v) { return {kHostOk, HostNumber::Single(v)}; }
inline HostReading Fails(HostStatus status) { return {status, std::nullopt}; }
inline HostReading NotANumber() { return {kHostOk, std::nullopt}; }

}  // namespace korvane::testing
