// Start-up, close and the failure policy of the host link.
#include "host/host_link.h"

#include <utility>

#include "host/host_failure.h"

namespace korvane {
namespace {

// Marks a host call as outstanding for as long as it runs.
class CallInProgress {
 public:
  explicit CallInProgress(CallState& calls) : calls_(calls) { calls_.Began(); }
  CallInProgress(const CallInProgress&) = delete;
  CallInProgress& operator=(const CallInProgress&) = delete;
  ~CallInProgress() { calls_.Ended(); }

 private:
  CallState& calls_;
};

}  // namespace

template <typename Call>
auto HostLink::Outstanding(Call&& call) {
  const CallInProgress marked(calls_);
  return call();
}

void HostLink::StartUp(const std::function<void()>& show_not_loaded) {
  HostUp = 1;
  const bool attached = Outstanding([this] { return binding_.Attach(kHostProgId); });
  if (attached) HostApp = &binding_;
  if (on_call_ended_) on_call_ended_();
  if (attached) return;
  // Closed while the attach still ran: no message for a panel the operator has already left.
  if (show_not_loaded && !calls_.Closing()) show_not_loaded();
  HostUp = 0;
}

void HostLink::Close() {
  if (HostApp == nullptr) return;
  HostAutomation* held = std::exchange(HostApp, nullptr);
  Outstanding([held] { held->Release(); });
}

std::optional<HostNumber> HostLink::ReadAudioFq() { return Read(&HostAutomation::AudioFq); }

std::optional<HostNumber> HostLink::ReadFqA() { return Read(&HostAutomation::FqA); }

bool HostLink::ExecuteMacros(std::wstring_view macro) {
  if (!MayCall()) return false;
  const HostStatus status = Outstanding([&] { return HostApp->ExecuteMacros(macro); });
  Finish(status);
  return status == kHostOk;
}

std::optional<HostNumber> HostLink::Read(HostReading (HostAutomation::*member)()) {
  if (!MayCall()) return std::nullopt;
  const HostReading reading = Outstanding([&] { return (HostApp->*member)(); });
  Finish(reading.status);
  if (reading.status != kHostOk) return std::nullopt;
  return reading.number;
}

void HostLink::Finish(HostStatus status) {
  Check(status);
  if (on_call_ended_) on_call_ended_();
}

void HostLink::Check(HostStatus status) {
  if (HostApp == nullptr || ClassifyHostStatus(status) != FailureKind::HostGone) return;
  Close();
  HostUp = 0;
  host_lost_ = true;
  if (on_lost_) on_lost_();
}

}  // namespace korvane
