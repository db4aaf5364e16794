// Start-up, close and the failure policy of the host link.
#include "host/host_link.h"

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

bool HostLink::ExecuteMacros(std::wstring_view macro) {
  if (!IsUp()) return false;
  const HostStatus status = HostApp->ExecuteMacros(macro);
  Check(status);
  return status == kHostOk;
}

std::optional<HostNumber> HostLink::Read(HostReading (HostAutomation::*member)()) {
  if (!IsUp()) return std::nullopt;
  const HostReading reading = (HostApp->*member)();
  Check(reading.status);
  if (reading.status != kHostOk) return std::nullopt;
  return reading.number;
}

void HostLink::Check(HostStatus status) {
  if (ClassifyHostStatus(status) != FailureKind::HostGone || HostApp == nullptr) return;
  Close();
  HostUp = 0;
  host_lost_ = true;
  if (on_lost_) on_lost_();
}

}  // namespace korvane
