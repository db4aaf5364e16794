// Failed host calls: which end the link, which spoil one call, and what a tick does with each.
#include <gtest/gtest.h>

#include "fakes.h"
#include "host/host_failure.h"
#include "panel/panel.h"

namespace korvane {
namespace {

using testing::AttachedPanel;
using testing::Fails;
using testing::Int;
using testing::NotANumber;
using testing::PanelOnFakeHost;

constexpr HostStatus kServerUnavailable = 0x800706BA;
constexpr HostStatus kDispException = 0x80020009;

// Every status that means the host is gone, every one that means busy, and neighbours of both.
TEST(HostFailure, Classification) {
  using enum FailureKind;
  const struct {
    HostStatus status;
    FailureKind kind;
    bool busy;
  } rows[] = {
      {0, None, false},
      {0x800706BA, HostGone, false},    // RPC_S_SERVER_UNAVAILABLE
      {0x800706BE, HostGone, false},    // RPC_S_CALL_FAILED
      {0x800706BF, HostGone, false},    // RPC_S_CALL_FAILED_DNE
      {0x800706B5, HostGone, false},    // RPC_S_UNKNOWN_IF
      {0x80010108, HostGone, false},    // RPC_E_DISCONNECTED
      {0x80010007, HostGone, false},    // RPC_E_SERVER_DIED
      {0x80010012, HostGone, false},    // RPC_E_SERVER_DIED_DNE
      {0x80010006, HostGone, false},    // RPC_E_CONNECTION_TERMINATED
      {0x800401FD, HostGone, false},    // CO_E_OBJNOTCONNECTED
      {0x80004028, HostGone, false},    // CO_E_SERVER_STOPPING
      {0x80010114, HostGone, false},    // RPC_E_INVALID_OBJECT
      {0x80010001, CallFailed, true},   // RPC_E_CALL_REJECTED
      {0x8001010A, CallFailed, true},   // RPC_E_SERVERCALL_RETRYLATER
      {0x800706BB, CallFailed, true},   // RPC_S_SERVER_TOO_BUSY
      {0x8001010B, CallFailed, false},  // RPC_E_SERVERCALL_REJECTED: refused outright, not busy
      {0x80020009, CallFailed, false},  // DISP_E_EXCEPTION
      {0x80020006, CallFailed, false},  // DISP_E_UNKNOWNNAME
      {0x80020005, CallFailed, false},  // DISP_E_TYPEMISMATCH
      {0x80004005, CallFailed, false},  // E_FAIL
      {0x80010113, CallFailed, false},  // next to RPC_E_INVALID_OBJECT
      {0x800706B9, CallFailed, false},  // next to RPC_S_SERVER_UNAVAILABLE
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ClassifyHostStatus(row.status), row.kind) << std::hex << row.status;
    EXPECT_EQ(IsBusyStatus(row.status), row.busy) << std::hex << row.status;
  }
}

TEST(HostFailure, HostGoneTakesTheLinkDownForGood) {
  PanelOnFakeHost a;
  a.panel.Load();
  a.panel.Tick();
  const std::wstring text2 = a.view.text2;
  a.host.calls.clear();
  a.host.radio = {Fails(kServerUnavailable)};

  a.panel.Tick();
  const std::vector<std::wstring> expected = {L"AudioFq", L"FqA", L"Release"};
  EXPECT_EQ(a.host.calls, expected) << "released at once, no further call in that tick";
  EXPECT_EQ(a.panel.link().host_up(), 0);
  EXPECT_TRUE(a.panel.link().HostLost());
  EXPECT_EQ(a.view.caption, L"Korvane - host lost");
  EXPECT_TRUE(a.view.messages.empty());

  for (int i = 0; i < 3; ++i) a.panel.Tick();
  a.panel.Click(CommandButton::Command5);
  a.panel.Unload();
  EXPECT_EQ(a.host.calls.size(), 3u) << "nothing after the loss, not even a second release";
  EXPECT_EQ(a.host.references, 0);
  EXPECT_EQ(a.view.text2, text2);
}

TEST(HostFailure, MacroFailingWithHostGoneAlsoEndsTheLink) {
  PanelOnFakeHost a;
  a.panel.Load();
  a.host.macro_status = {kServerUnavailable};
  a.panel.Click(CommandButton::Command1);
  a.panel.Click(CommandButton::Command2);
  EXPECT_EQ(a.host.Macros().size(), 1u);
  EXPECT_EQ(a.view.caption, L"Korvane - host lost");
}

TEST(HostFailure, OtherFailuresSkipOnlyTheirStep) {
  AttachedPanel a;
  a.host.audio = {Fails(kDispException), Int(2100), Int(2300), Int(2200)};
  a.host.radio = {Int(7035125)};
  a.panel.Tick();
  EXPECT_EQ(a.view.text2, L"2210  Hz") << "a failed read writes nothing";
  EXPECT_EQ(a.view.text3, L"7035.125 kHz ");
  EXPECT_EQ(a.host.Macros().size(), 2u);
  EXPECT_TRUE(a.panel.link().IsUp());

  a.panel.Tick();
  EXPECT_EQ(a.view.text2, L"2200 Hz") << "the next tick is normal";
  EXPECT_EQ(a.view.caption, L"Korvane");
}

TEST(HostFailure, NotANumberSkipsTheStepAndFailedMacroIsNotRetried) {
  AttachedPanel a;
  a.host.audio = {NotANumber()};
  a.host.radio = {NotANumber()};
  a.host.macro_status = {kDispException};
  a.panel.Tick();
  EXPECT_EQ(a.view.text_writes, 0);
  EXPECT_TRUE(a.host.Macros().empty());
  a.panel.Click(CommandButton::Command5);
  EXPECT_EQ(a.host.Macros(), std::vector<std::wstring>{L"<TX>"});
  EXPECT_TRUE(a.panel.link().IsUp());
}

}  // namespace
}  // namespace korvane
