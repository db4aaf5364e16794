// Tells a failed host call that means "the host is gone" from one that means "this call failed".
#pragma once

#include "host/host_automation.h"

namespace korvane {

enum class FailureKind { None, CallFailed, HostGone };

FailureKind ClassifyHostStatus(HostStatus status);

}  // namespace korvane
