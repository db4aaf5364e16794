// The poll cycle: readouts refreshed and the audio tone kept near 2210 Hz.
#pragma once

#include <string_view>

#include "host/host_link.h"
#include "monitor/readouts.h"

namespace korvane {

inline constexpr int kPollIntervalMs = 500;
inline constexpr int kAudioTargetHz = 2210;
inline constexpr int kAudioToleranceHz = 40;
inline constexpr std::wstring_view kAlignMacro = L"<ALIGN:2210>";

// 2210 minus the reading is greater than 40, in the reading's own kind of number.
bool BelowBand(const HostNumber& audio);
// 2210 minus the reading is less than -40.
bool AboveBand(const HostNumber& audio);

// One tick: AudioFq -> Text2, FqA -> Text3, then two fresh AudioFq reads, each
// of which may send the alignment macro. Nothing while the link is not up; a
// step whose call failed or whose reading is not a number is skipped.
void PollTick(HostLink& link, Readouts& view);

}  // namespace korvane
