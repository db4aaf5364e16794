// One tick of the poll cycle.
#include "monitor/poll.h"

#include <string>

#include "monitor/number_text.h"

namespace korvane {

// Integers are compared against the band's edges rather than subtracted, which
// is the same test and cannot overflow at the ends of the 64-bit range.
bool BelowBand(const HostNumber& audio) {
  constexpr int edge = kAudioTargetHz - kAudioToleranceHz;
  switch (audio.kind()) {
    case HostNumber::Kind::Signed: return audio.signed_value() < edge;
    case HostNumber::Kind::Unsigned: return audio.unsigned_value() < static_cast<unsigned>(edge);
    case HostNumber::Kind::Single:  // in single precision, as the host returned it
      return static_cast<float>(kAudioTargetHz) - audio.single_value() > static_cast<float>(kAudioToleranceHz);
    case HostNumber::Kind::Floating: break;
  }
  return kAudioTargetHz - audio.floating_value() > kAudioToleranceHz;  // NaN: false
}

bool AboveBand(const HostNumber& audio) {
  constexpr int edge = kAudioTargetHz + kAudioToleranceHz;
  switch (audio.kind()) {
    case HostNumber::Kind::Signed: return audio.signed_value() > edge;
    case HostNumber::Kind::Unsigned: return audio.unsigned_value() > static_cast<unsigned>(edge);
    case HostNumber::Kind::Single:
      return static_cast<float>(kAudioTargetHz) - audio.single_value() < -static_cast<float>(kAudioToleranceHz);
    case HostNumber::Kind::Floating: break;
  }
  return kAudioTargetHz - audio.floating_value() < -kAudioToleranceHz;  // NaN: false
}

void PollTick(HostLink& link, Readouts& view) {
  if (!link.IsUp()) return;
  const std::wstring separator = view.DecimalSeparator();

  if (const auto audio = link.ReadAudioFq()) view.SetText2(GeneralText(*audio, separator) + L" Hz");
  if (const auto radio = link.ReadFqA()) view.SetText3(GeneralText(radio->ToDouble() / 1000.0, separator) + L" kHz ");
  if (const auto audio = link.ReadAudioFq(); audio && BelowBand(*audio)) link.ExecuteMacros(kAlignMacro);
  if (const auto audio = link.ReadAudioFq(); audio && AboveBand(*audio)) link.ExecuteMacros(kAlignMacro);
}

}  // namespace korvane
