// Transport failures end the link; everything else only spoils the one call.
#include "host/host_failure.h"

#include <algorithm>
#include <array>

namespace korvane {
namespace {

// HRESULTs that COM returns when the process behind a proxy has exited,
// crashed, or disconnected its object. No later call can succeed. A busy
// host (RPC_E_CALL_REJECTED, RPC_S_SERVER_TOO_BUSY) is not among them.
constexpr std::array<HostStatus, 11> kTransportFailures = {
    0x800706BAu,  // RPC_S_SERVER_UNAVAILABLE
    0x800706BEu,  // RPC_S_CALL_FAILED
    0x800706BFu,  // RPC_S_CALL_FAILED_DNE
    0x800706B5u,  // RPC_S_UNKNOWN_IF
    0x80010108u,  // RPC_E_DISCONNECTED
    0x80010007u,  // RPC_E_SERVER_DIED
    0x80010012u,  // RPC_E_SERVER_DIED_DNE
    0x80010006u,  // RPC_E_CONNECTION_TERMINATED
    0x800401FDu,  // CO_E_OBJNOTCONNECTED
    0x80004028u,  // CO_E_SERVER_STOPPING
    0x80010114u,  // RPC_E_INVALID_OBJECT
};

}  // namespace

FailureKind ClassifyHostStatus(HostStatus status) {
  if (status == kHostOk) return FailureKind::None;
  const bool gone = std::find(kTransportFailures.begin(), kTransportFailures.end(), status) != kTransportFailures.end();
  return gone ? FailureKind::HostGone : FailureKind::CallFailed;
}

bool IsBusyStatus(HostStatus status) {
  return status == 0x80010001u      // RPC_E_CALL_REJECTED
         || status == 0x8001010Au   // RPC_E_SERVERCALL_RETRYLATER
         || status == 0x800706BBu;  // RPC_S_SERVER_TOO_BUSY
}

}  // namespace korvane
