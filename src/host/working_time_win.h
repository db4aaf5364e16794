// The panel's clock: milliseconds of the machine's working time, which stand still while it sleeps.
#pragma once

#include <windows.h>

#include "host/call_state.h"

namespace korvane {

// GetTickCount64 counts sleep and hibernation: a call in flight at suspend would read as hung on
// resume. The unbiased interrupt time (Windows 7 on) leaves those out.
inline Millis WorkingMillis() {
  ULONGLONG hundreds_of_ns = 0;
  QueryUnbiasedInterruptTime(&hundreds_of_ns);
  return hundreds_of_ns / 10000;
}

}  // namespace korvane
