// The benchmark floor's tick, shared by the idle floor window and the tick benchmark.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace floor_tick {

// One late-bound call by name, looked up at each call as the panel does; a number comes back as a
// double, anything else (or a failure) as 0.
double CallByName(IDispatch* host, const wchar_t* name, WORD flags = DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                  VARIANTARG* arg = nullptr);

// The poll's four reads, the first two written into `readouts`' Text2 and Text3 as any panel of this
// design must write them every tick.
void ReadAndShow(IDispatch* host, HWND readouts);

}  // namespace floor_tick
