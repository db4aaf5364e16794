// Benchmarks against the floor the host link sets: tick cost, start-up, idle CPU, footprint, timer fidelity.
#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "floor_tick_win.h"
#include "harness/harness_win.h"
#include "harness/process_usage_win.h"
#include "host/com_ptr_win.h"
#include "panel/control_classes_win.h"
#include "panel_program_win.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// "fastest / lower quartile / upper quartile / slowest", in ms.
std::string Spread(std::vector<double> v) {
  if (v.empty()) return "none";
  std::sort(v.begin(), v.end());
  char text[96];
  std::snprintf(text, sizeof text, "%.1f / %.1f / %.1f / %.1f", v.front(), v[v.size() / 4], v[(3 * v.size()) / 4],
                v.back());
  return text;
}

// The floor's tick: the poll's reads and writes made plainly, and the align the panel sends.
void FloorTick(IDispatch* host, HWND readouts) {
  floor_tick::ReadAndShow(host, readouts);
  const korvane::Bstr macro(L"<ALIGN:2210>");
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = macro.Get();
  floor_tick::CallByName(host, L"ExecuteMacros", DISPATCH_METHOD, &arg);
}

struct TickFigures {
  double panel_ms, floor_ms, panel_cpu_ms, floor_cpu_ms;  // medians of wall time; mean CPU of the process
};

TickFigures MeasureTicks(int ticks) {
  e2e::HostDouble host;
  host.Start("AudioFq I4:2290\nFqA I4:14085500\n");
  korvane::PanelProgram program;  // watching every call, as in the panel
  program.Create(GetModuleHandleW(nullptr));
  korvane::Form1& form = program.form;
  form.Load(SW_HIDE);
  KillTimer(form.hwnd(), korvane::kTimer1Id);  // ticks come from here, one at a time
  korvane::ComRef<IDispatch> floor_host;
  CLSID clsid;
  CLSIDFromProgID(L"MixW2.Application", &clsid);
  korvane::ComRef<IUnknown> running;
  GetActiveObject(clsid, nullptr, running.Put());
  running->QueryInterface(IID_IDispatch, floor_host.PutVoid());

  // The floor's readouts: text boxes of the panel's class, styles and font, in a hidden window.
  const HWND readouts = CreateWindowW(L"STATIC", L"floor", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  for (const int id : {korvane::kIdText2, korvane::kIdText3}) {
    const korvane::ControlClass cls = korvane::ClassFor(korvane::ControlKind::TextBox);
    const HWND box = CreateWindowExW(
        cls.ex_style, cls.window_class, L"", WS_CHILD | WS_VISIBLE | cls.style, 0, id == korvane::kIdText2 ? 0 : 40,
        120, 24, readouts, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(box, WM_SETFONT, static_cast<WPARAM>(SendDlgItemMessageW(form.hwnd(), id, WM_GETFONT, 0, 0)), FALSE);
  }

  std::vector<double> panel, plain;
  double floor_cpu = 0, panel_cpu = 0;
  for (int i = 0; i < ticks + 50; ++i) {  // interleaved, so drift hits both alike; 50 warm-up
    double t = Now();
    SendMessageW(form.hwnd(), WM_TIMER, korvane::kTimer1Id, 0);
    const double panel_ms = Now() - t;
    t = Now();
    FloorTick(floor_host.Get(), readouts);
    const double plain_ms = Now() - t;
    if (i < 50) continue;
    panel.push_back(panel_ms);
    plain.push_back(plain_ms);
  }
  // CPU of the whole process, COM's own threads included, over a block of each kind of tick.
  auto process_cpu = [] { return e2e::UsageOf(GetCurrentProcess(), GetCurrentProcessId(), "").cpu_ms; };
  double before = process_cpu();
  for (int i = 0; i < ticks; ++i) SendMessageW(form.hwnd(), WM_TIMER, korvane::kTimer1Id, 0);
  panel_cpu = (process_cpu() - before) / ticks;
  before = process_cpu();
  for (int i = 0; i < ticks; ++i) FloorTick(floor_host.Get(), readouts);
  floor_cpu = (process_cpu() - before) / ticks;
  DestroyWindow(readouts);
  DestroyWindow(form.hwnd());
  host.Stop();
  return {Median(panel), Median(plain), panel_cpu, floor_cpu};
}

// Process start to its first visible top-level window of `window_class`.
double StartToVisible(const std::wstring& exe, const wchar_t* window_class, const std::wstring& args = L"") {
  e2e::Child child;
  const double start = Now();
  if (!child.Start(L"\"" + exe + L"\"" + args)) return -1;
  double shown = -1;
  while (Now() - start < 10000 && shown < 0) {
    for (HWND hwnd : e2e::TopWindows(child.pid(), window_class))
      if (IsWindowVisible(hwnd)) shown = Now() - start;
    if (shown < 0) Sleep(1);
  }
  for (HWND hwnd : e2e::TopWindows(child.pid(), window_class)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  child.WaitExit(5000);
  return shown;
}

struct IdleFigures {
  double cpu_ms = 0;
  std::uint64_t wakeups = 0;
  std::size_t ticks_seen = 0;
};

// CPU time and wake-ups of a program left idle for `seconds`: the panel, or the floor, which makes
// the same host calls a tick; with the link down, the panel after its message, or the floor finding
// no host, which keeps the same 500 ms timer.
IdleFigures MeasureIdle(bool host_up, int seconds, const e2e::Program& program = {L"korvane.exe"}) {
  const auto session = host_up ? std::make_unique<e2e::Session>("AudioFq I4:2210\nFqA I4:14085500\n", program)
                               : std::make_unique<e2e::Session>(e2e::Session::kNoHost, program);
  Sleep(2000);
  const e2e::Child& child = session->panel.process;
  const std::string name = e2e::Narrow(program.exe);
  const auto usage = [&] { return e2e::UsageOf(child.handle(), child.pid(), name); };
  const std::size_t calls_before = host_up ? session->host.Calls().size() : 0;
  const e2e::Usage before = usage();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const e2e::Usage after = usage();
  IdleFigures f;
  f.cpu_ms = after.cpu_ms - before.cpu_ms;
  f.wakeups = after.wakeups > before.wakeups ? after.wakeups - before.wakeups : 0;
  if (!host_up) return f;
  const auto calls = session->host.Calls();
  for (std::size_t i = calls_before; i < calls.size(); ++i) f.ticks_seen += calls[i] == "FqA";
  return f;
}

// After one 3 s stall inside a call: how long the stall took, when the next tick starts, and how far
// apart the ones after are.
struct StallFigures {
  double stall_ms = -1;
  std::vector<double> gaps;  // the first from the stalled call's end
};

StallFigures GapsAfterStall() {
  e2e::Session session("AudioFq I4:2210\nFqA I4:14085500\nstall-on-call 10\nstall-ms 3000\n", {L"korvane.exe"});
  Sleep(7000);
  session.Finish();
  const auto calls = session.host.TimedCalls();
  StallFigures f;
  if (calls.size() <= 9 || calls[9].end < 0) return f;
  f.stall_ms = calls[9].end - calls[9].begin;  // the stalled call
  double previous = calls[9].end;
  for (std::size_t i = 10; i + 1 < calls.size() && f.gaps.size() < 5; ++i) {
    if (calls[i].what == "AudioFq" && calls[i + 1].what == "FqA") {
      f.gaps.push_back(calls[i].begin - previous);
      previous = calls[i].begin;
    }
  }
  return f;
}

const char* Verdict(bool met) { return met ? "met" : "NOT met"; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // --quick: fewer samples and 10 s idle runs; --startup: only the start-up figures.
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const bool quick = mode == L"--quick";
  const int ticks = quick ? 200 : 1000, starts = quick ? 5 : 30, idle_s = quick ? 10 : 60;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;

  const TickFigures t = mode == L"--startup" ? TickFigures{} : MeasureTicks(ticks);
  if (mode != L"--startup")
    std::printf(
        "tick: panel %.3f ms, floor %.3f ms (the same calls by name, both readouts written; median of %d; CPU %.3f and "
        "%.3f ms), ratio %.3f  [goal <= 1.10: "
        "%s]\n",
        t.panel_ms, t.floor_ms, ticks, t.panel_cpu_ms, t.floor_cpu_ms, t.panel_ms / t.floor_ms,
        Verdict(t.panel_ms / t.floor_ms <= 1.10));

  // The panel, its floor, the floor without the host, and the panel without each of its own additions.
  struct Program {
    const wchar_t* exe;
    const wchar_t* window_class;
    const wchar_t* args;
    std::vector<double> starts;
    std::size_t private_bytes = 0;
  };
  Program programs[] = {{L"korvane.exe", L"KorvaneForm1", L"", {}},
                        {L"minimal_window.exe", L"KorvaneBenchMinimal", L"", {}},
                        {L"minimal_window.exe", L"KorvaneBenchMinimal", L" --no-attach", {}},
                        {L"korvane_without_call_watch.exe", L"KorvaneForm1", L"", {}},
                        {L"korvane_without_font_fit.exe", L"KorvaneForm1", L"", {}},
                        {L"korvane_without_icons.exe", L"KorvaneForm1", L"", {}}};
  Program &panel = programs[0], &floor_program = programs[1], &bare = programs[2];
  Program* const additions[] = {&programs[3], &programs[4], &programs[5]};
  const char* const addition_names[] = {"call watch", "font fit", "icons"};
  {
    e2e::HostDouble host;
    host.Start("AudioFq I4:2210\nFqA I4:14085500\n");
    for (int i = 0; i < starts; ++i)  // interleaved, so drift hits all alike
      for (Program& program : programs)
        program.starts.push_back(StartToVisible(e2e::ExeDir() + program.exe, program.window_class, program.args));
    host.Stop();
  }
  const double ps = Median(panel.starts), fs = Median(floor_program.starts), bs = Median(bare.starts);
  std::printf(
      "start-up: panel %.1f ms, floor %.1f ms (eleven controls from the table, attach, four reads a tick; median of "
      "%d), ratio %.3f  [goal <= 1.10: %s]\n",
      ps, fs, starts, ps / fs, Verdict(ps / fs <= 1.10));
  std::printf("start-up spread of the %d starts (fastest / quartiles / slowest, ms): panel %s; floor %s\n", starts,
              Spread(panel.starts).c_str(), Spread(floor_program.starts).c_str());
  std::printf("start-up: the panel's own additions, each the panel against a build without it:");
  for (int i = 0; i < 3; ++i)
    std::printf(" %s %+.1f ms%s", addition_names[i], ps - Median(additions[i]->starts), i < 2 ? "," : "\n");
  std::printf("start-up: the floor without attaching %.1f ms: the link costs %.1f ms of it\n", bs, fs - bs);
  if (mode == L"--startup") return 0;

  e2e::Program floor_window{L"minimal_window.exe", L"", L"KorvaneBenchMinimal"};
  const IdleFigures up = MeasureIdle(true, idle_s);
  const IdleFigures floor_up = MeasureIdle(true, idle_s, floor_window);
  floor_window.says_not_loaded = false;
  const IdleFigures down = MeasureIdle(false, idle_s);
  const IdleFigures floor_down = MeasureIdle(false, idle_s, floor_window);
  const double budget_ms = idle_s * 1000 * 0.001;
  // The floor makes the same host calls a tick, or with no host keeps the same timer: what the panel
  // spends beyond it is the cost of its own idling (readouts repainted, the call watch, the filter).
  // A busy loop would show here, and so would a timer that wakes the panel for nothing.
  const auto report = [&](const char* what, const IdleFigures& panel_idle, const IdleFigures& floor_idle) {
    const double beyond_floor = panel_idle.cpu_ms - floor_idle.cpu_ms;
    const double extra_wakeups_per_s =
        (static_cast<double>(panel_idle.wakeups) - static_cast<double>(floor_idle.wakeups)) / idle_s;
    std::printf(
        "idle: %s %.1f ms CPU and %llu wake-ups in %d s, floor %.1f ms and %llu wake-ups; beyond the floor %.1f ms "
        "= %.3f%%  [goal <= 0.1%%: %s], %+.1f wake-ups a second\n",
        what, panel_idle.cpu_ms, static_cast<unsigned long long>(panel_idle.wakeups), idle_s, floor_idle.cpu_ms,
        static_cast<unsigned long long>(floor_idle.wakeups), beyond_floor, 100.0 * beyond_floor / (idle_s * 1000),
        Verdict(beyond_floor <= budget_ms), extra_wakeups_per_s);
    return extra_wakeups_per_s;
  };
  report("link up (floor: the same calls)", up, floor_up);
  const double down_wakeups = report("link down (floor: the same timer)", down, floor_down);
  // Between calls the panel wakes for Timer1 only, as the floor does.
  std::printf("idle: link down, wake-ups beyond the floor's timer %+.1f a second  [goal <= 1: %s]\n", down_wakeups,
              Verdict(down_wakeups <= 1.0));
  std::printf("idle: %zu ticks with the link up, %zu on the floor\n", up.ticks_seen, floor_up.ticks_seen);

  // Private bytes after the same time, side by side against one host: the panel, its floor
  // holding the host and polling, and the panel without each of its own additions, three of each
  // (the median counts: under Wine one thread's stack more or less is a megabyte).
  {
    e2e::HostDouble host;
    host.Start("AudioFq I4:2210\nFqA I4:14085500\n");
    constexpr std::size_t kWeighed = 5, kCopies = 3;
    Program* const weighed[kWeighed] = {&panel, &floor_program, additions[0], additions[1], additions[2]};
    e2e::Child children[kWeighed][kCopies];
    // Appended, not "..." + to_string(): GCC 12 at -O3 for i686 reports a false -Wrestrict there.
    const auto tag = [](std::size_t copy) { return std::string("--bench-copy=").append(std::to_string(copy)); };
    for (std::size_t i = 0; i < kWeighed; ++i)
      for (std::size_t copy = 0; copy < kCopies; ++copy) {
        const std::string copy_tag = tag(copy);
        std::wstring command = L"\"";
        command.append(e2e::ExeDir()).append(weighed[i]->exe).append(L"\"").append(weighed[i]->args).append(L" ");
        command.append(copy_tag.begin(), copy_tag.end());
        children[i][copy].Start(command);
      }
    Sleep(static_cast<DWORD>(idle_s) * 1000 + 2000);
    for (std::size_t i = 0; i < kWeighed; ++i) {
      const std::string name = e2e::Narrow(weighed[i]->exe);
      std::vector<double> bytes;
      for (std::size_t copy = 0; copy < kCopies; ++copy) {
        e2e::Child& child = children[i][copy];
        bytes.push_back(static_cast<double>(e2e::UsageOf(child.handle(), child.pid(), name, tag(copy)).private_bytes));
        for (HWND hwnd : e2e::TopWindows(child.pid(), weighed[i]->window_class)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
      }
      weighed[i]->private_bytes = static_cast<std::size_t>(Median(bytes));
    }
    for (auto& copies : children)
      for (e2e::Child& child : copies) child.WaitExit(5000);
    host.Stop();
  }
  auto kb_of = [](const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) return -1.0;
    return attributes.nFileSizeLow / 1024.0;
  };
  const double kb64 = kb_of(e2e::ExeDir() + L"korvane.exe");
  const double kb86 = kb_of(e2e::ExeDir() + L"..\\mingw-x86\\korvane.exe");
  auto size_text = [](double kb) {
    char text[32] = "not built";
    if (kb >= 0) std::snprintf(text, sizeof text, "%.1f KB", kb);
    return std::string(text);
  };
  std::printf("footprint: korvane.exe x64 %s, x86 %s  [goal both <= 256 KB: %s]\n", size_text(kb64).c_str(),
              size_text(kb86).c_str(), Verdict(kb64 > 0 && kb64 <= 256 && kb86 > 0 && kb86 <= 256));
  const double memory_ratio =
      static_cast<double>(panel.private_bytes) / static_cast<double>(floor_program.private_bytes);
  std::printf(
      "footprint: private bytes after %d s: panel %.2f MB, floor holding the host and polling %.2f MB, ratio %.3f  "
      "[goal <= 1.25: %s]\n",
      idle_s, static_cast<double>(panel.private_bytes) / 1048576.0,
      static_cast<double>(floor_program.private_bytes) / 1048576.0, memory_ratio, Verdict(memory_ratio <= 1.25));
  std::printf("footprint: the panel's own additions, each the panel against a build without it:");
  for (int i = 0; i < 3; ++i)
    std::printf(
        " %s %+.2f MB%s", addition_names[i],
        (static_cast<double>(panel.private_bytes) - static_cast<double>(additions[i]->private_bytes)) / 1048576.0,
        i < 2 ? "," : "\n");

  std::printf("timer: %zu ticks seen by the host in %d s  [goal %d +- 1: %s]\n", up.ticks_seen, idle_s, idle_s * 2,
              Verdict(up.ticks_seen + 1 >= static_cast<std::size_t>(idle_s * 2) &&
                      up.ticks_seen <= static_cast<std::size_t>(idle_s * 2 + 1)));
  const StallFigures stall = GapsAfterStall();
  const std::vector<double>& gaps = stall.gaps;
  std::printf("timer: a stall of %.0f ms, then the next tick after %.0f ms, then gaps", stall.stall_ms,
              gaps.empty() ? -1.0 : gaps[0]);
  // A catch-up tick would come at once after the stall: the first gap is judged like the rest.
  bool no_burst = stall.stall_ms >= 2900 && gaps.size() >= 3;
  for (std::size_t i = 0; i < gaps.size(); ++i) {
    if (i > 0) std::printf(" %.0f", gaps[i]);
    no_burst &= gaps[i] >= 400;
  }
  std::printf(" ms  [a 3 s stall, then no catch-up burst: %s]\n", Verdict(no_burst));
  CoUninitialize();
  return 0;
}
