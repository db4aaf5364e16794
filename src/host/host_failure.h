// Tells a failed host call that means "the host is gone" from one that means "this call failed".
#pragma once

#include "host/host_automation.h"

namespace korvane {

enum class FailureKind { None, CallFailed, HostGone };

FailureKind ClassifyHostStatus(HostStatus status);

// The host is busy and asks to be called again later. Such a call is retried
// for a short while before it counts as failed.
bool IsBusyStatus(HostStatus status);

}  // namespace korvane
