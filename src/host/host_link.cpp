// Start-up, close and the failure policy of the host link.
#include "host/host_link.h"

#include <utility>

#include "host/host_failure.h"

namespace korvane {

void HostLink::StartUp(const std::function<void()>& show_not_loaded) {
  HostUp = 1;
  if (binding_.Attach(kHostProgId)) {
    HostApp = &binding_;
    return;
  }
  if (show_not_loaded) show_not_loaded();
  HostUp = 0;
}

void HostLink::Close() {
  if (HostApp == nullptr) return;
  HostAutomation* held = HostApp;
  HostApp = nullptr;
  held->Release();
}

std::optional<HostNumber> HostLink::ReadAudioFq() { return Read(&HostAutomation::AudioFq); }

std::optional<HostNumber> HostLink::ReadFqA() { return Read(&HostAutomation::FqA); }

namespace {

// Marks a host call as outstanding for as long as it runs.
class CallInProgress {
 public:
  explicit CallInProgress(bool& flag) : flag_(flag) { flag_ = true; }
  CallInProgress(const CallInProgress&) = delete;
  CallInProgress& operator=(const CallInProgress&) = delete;
  ~CallInProgress() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

template <typename Call>
auto HostLink::Outstanding(Call&& call) {
  const CallInProgress marked(in_call_);
  return call();
}

bool HostLink::ExecuteMacros(std::wstring_view macro) {
  if (!IsUp()) return false;
  const HostStatus status = Outstanding([&] { return HostApp->ExecuteMacros(macro); });
  Finish(status);
  return status == kHostOk;
}

std::optional<HostNumber> HostLink::Read(HostReading (HostAutomation::*member)()) {
  if (!IsUp()) return std::nullopt;
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
  const FailureKind failure = ClassifyHostStatus(status);
  if (HostApp == nullptr) return;
  if (failure == FailureKind::Cancelled) {
    HostAutomation* held = std::exchange(HostApp, nullptr);
    held->Abandon();
    HostUp = 0;
    abandoned_ = true;
    return;
  }
  if (failure != FailureKind::HostGone) return;
  Close();
  HostUp = 0;
  host_lost_ = true;
  if (on_lost_) on_lost_();
}

}  // namespace korvane
