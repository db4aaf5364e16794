// Chooses the largest font size at which every control's texts fit inside it.
#pragma once

#include <span>
#include <string_view>

namespace korvane {

struct TextSize {
  int width = 0;
  int height = 0;
};

// The room a text has inside its control, in pixels.
struct TextRoom {
  std::wstring_view text;
  int width = 0;
  int height = 0;
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // The text's extent in the face being fitted, `font_height` pixels high
  // (the character height, as a negative LOGFONT height gives it).
  virtual TextSize Measure(int font_height, std::wstring_view text) = 0;
};

// Below this a text is no longer legible; it is used even where it does not fit.
inline constexpr int kSmallestFontHeight = 6;

// The largest height from `preferred` down at which every text fits its room.
// Hinting makes widths grow unevenly with the height, so each height is tried.
int FitFontHeight(int preferred, std::span<const TextRoom> rooms, TextMeasurer& measurer);

}  // namespace korvane
