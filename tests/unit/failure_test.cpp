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

TEST(HostFailure, Classification) {
  EXPECT_EQ(ClassifyHostStatus(0), FailureKind::None);
  for (HostStatus gone :
       {0x800706BAu, 0x800706BEu, 0x800706BFu, 0x80010108u, 0x80010007u, 0x80010012u, 0x800401FDu, 0x80010006u})
    EXPECT_EQ(ClassifyHostStatus(gone), FailureKind::HostGone) << std::hex << gone;
  for (HostStatus failed :
       {0x80020009u /*DISP_E_EXCEPTION*/, 0x80020006u /*DISP_E_UNKNOWNNAME*/, 0x80010001u /*RPC_E_CALL_REJECTED*/,
        0x800706BBu /*RPC_S_SERVER_TOO_BUSY*/, 0x80004005u /*E_FAIL*/, 0x80020005u /*DISP_E_TYPEMISMATCH*/})
    EXPECT_EQ(ClassifyHostStatus(failed), FailureKind::CallFailed) << std::hex << failed;
  EXPECT_TRUE(IsBusyStatus(0x80010001u));
  EXPECT_TRUE(IsBusyStatus(0x8001010Au));
  EXPECT_FALSE(IsBusyStatus(0x8001010Bu)) << "rejected outright is not busy";
  EXPECT_FALSE(IsBusyStatus(0x80020009u));
  EXPECT_FALSE(IsBusyStatus(0x800706BAu));
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
