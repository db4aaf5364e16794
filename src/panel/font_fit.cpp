// The font size that fits every text of the panel.
#include "panel/font_fit.h"

namespace korvane {

int FitFontHeight(int preferred, std::span<const TextRoom> rooms, TextMeasurer& measurer) {
  for (int height = preferred; height > kSmallestFontHeight; --height) {
    bool fits = true;
    for (const TextRoom& room : rooms) {
      const TextSize size = measurer.Measure(height, room.text);
      if (size.width > room.width || size.height > room.height) {
        fits = false;
        break;
      }
    }
    if (fits) return height;
  }
  return kSmallestFontHeight;
}

}  // namespace korvane
