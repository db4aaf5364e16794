// Tells a failed host call that means "the host is gone" from one that means "this call failed".
#pragma once

#include "host/host_automation.h"

namespace korvane {

// Cancelled: the panel gave up a call it was waiting for, because the
// operator closed it meanwhile; the host may never answer.
enum class FailureKind { None, CallFailed, HostGone, Cancelled };

inline constexpr HostStatus kCallCancelled = 0x80010002u;  // RPC_E_CALL_CANCELED

FailureKind ClassifyHostStatus(HostStatus status);

// The host is busy and asks to be called again later. Such a call is retried
// for a short while before it counts as failed.
bool IsBusyStatus(HostStatus status);

}  // namespace korvane
