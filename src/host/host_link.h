// The link to the host: the held reference, the link flag, start-up, close and guarded calls.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "host/call_state.h"
#include "host/host_automation.h"

namespace korvane {

inline constexpr std::wstring_view kHostProgId = L"MixW2.Application";
inline constexpr std::wstring_view kAppTitle = L"Korvane";
inline constexpr std::wstring_view kNotLoadedMessage = L"MixW2 is not loaded";

class HostLink {
 public:
  // Every call through `binding`, the attach and the release included, is marked in `calls`.
  HostLink(HostAutomation& binding, CallState& calls) : binding_(binding), calls_(calls) {}
  HostLink(const HostLink&) = delete;
  HostLink& operator=(const HostLink&) = delete;

  // Runs once: HostUp := 1, one attach attempt; on failure `show_not_loaded`
  // runs (it returns when the operator has dismissed the message), then
  // HostUp := 0. There is no second attempt for the rest of the run.
  void StartUp(const std::function<void()>& show_not_loaded);
  // Drops the host reference. Sends nothing and leaves HostUp as it is.
  void Close();

  bool IsUp() const { return HostUp.value_or(0) != 0 && HostApp != nullptr; }
  // The held host: the binding while it holds the reference, else null.
  const HostAutomation* host_app() const { return HostApp; }
  // 1 up, 0 down; no value before start-up (tests as down).
  std::optional<int> host_up() const { return HostUp; }
  // True once a transport failure has taken the link down.
  bool HostLost() const { return host_lost_; }

  // Each call is made only while the link is up and no close has been asked
  // for. A reading comes back only when the call succeeded and the host
  // answered a number. A transport failure releases the host, sets
  // HostUp := 0 and runs the lost callback.
  std::optional<HostNumber> ReadAudioFq();
  std::optional<HostNumber> ReadFqA();
  bool ExecuteMacros(std::wstring_view macro);

  void OnHostLost(std::function<void()> callback) { on_lost_ = std::move(callback); }
  // Runs after every host call, once its outcome has been applied.
  void OnCallEnded(std::function<void()> callback) { on_call_ended_ = std::move(callback); }

 private:
  bool MayCall() const { return IsUp() && !calls_.Closing(); }
  std::optional<HostNumber> Read(HostReading (HostAutomation::*member)());
  // Makes one host call, which counts as outstanding while it runs.
  template <typename Call>
  auto Outstanding(Call&& call);
  void Finish(HostStatus status);
  void Check(HostStatus status);

  HostAutomation& binding_;
  CallState& calls_;
  HostAutomation* HostApp = nullptr;
  std::optional<int> HostUp;
  bool host_lost_ = false;
  std::function<void()> on_lost_;
  std::function<void()> on_call_ended_;
};

}  // namespace korvane
