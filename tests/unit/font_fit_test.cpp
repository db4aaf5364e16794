// The font size chosen from the fit: the largest that fits every text, measured by a fake.
#include "panel/font_fit.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "panel/controls.h"

namespace korvane {
namespace {

// Every character is `height * 11 / 20` wide (digits and letters alike), the cell 1.2 x the height;
// `quirks` overrides a width at one height, as hinting does.
class FakeMeasurer final : public TextMeasurer {
 public:
  std::map<int, int> quirks;  // height -> width of every text at that height
  std::vector<int> heights_tried;
  TextSize Measure(int font_height, std::wstring_view text) override {
    if (heights_tried.empty() || heights_tried.back() != font_height) heights_tried.push_back(font_height);
    const auto quirk = quirks.find(font_height);
    const int width = quirk != quirks.end() ? quirk->second : static_cast<int>(text.size()) * font_height * 11 / 20;
    return {width, font_height * 6 / 5};
  }
};

TEST(FontFit, KeepsThePreferredSizeWhenEverythingFits) {
  FakeMeasurer measurer;
  const TextRoom rooms[] = {{L"9999 Hz", 100, 30}, {L"Mode", 40, 30}};
  EXPECT_EQ(FitFontHeight(12, rooms, measurer), 12);
  EXPECT_EQ(measurer.heights_tried, std::vector<int>{12});
}

TEST(FontFit, ShrinksToTheLargestSizeAtWhichTheWidestTextFits) {
  FakeMeasurer measurer;
  // "29999.999 kHz" is 13 characters: 13 * h * 11/20 <= 80 holds up to h = 11.
  const TextRoom rooms[] = {{L"Freq", 80, 30}, {L"29999.999 kHz", 80, 30}};
  EXPECT_EQ(FitFontHeight(16, rooms, measurer), 11);
  EXPECT_EQ(measurer.heights_tried, (std::vector<int>{16, 15, 14, 13, 12, 11}));
}

TEST(FontFit, HeightBindsAsWellAsWidth) {
  FakeMeasurer measurer;
  const TextRoom rooms[] = {{L"TX", 500, 15}};  // cell h * 6/5 (rounded down) <= 15: h <= 13
  EXPECT_EQ(FitFontHeight(20, rooms, measurer), 13);
}

TEST(FontFit, UnevenWidthsAreEachTried) {
  FakeMeasurer measurer;
  measurer.quirks = {{12, 90}, {11, 40}};  // at 12 the hinted text is too wide, at 11 it fits
  const TextRoom rooms[] = {{L"RTTY", 50, 30}};
  EXPECT_EQ(FitFontHeight(12, rooms, measurer), 11);
}

TEST(FontFit, NothingFitsGivesTheSmallestLegibleSize) {
  FakeMeasurer measurer;
  const TextRoom rooms[] = {{L"2210  Hz", 3, 30}};
  EXPECT_EQ(FitFontHeight(12, rooms, measurer), kSmallestFontHeight);
  EXPECT_EQ(FitFontHeight(4, rooms, measurer), kSmallestFontHeight);
}

TEST(FontFit, PanelTextsIncludeEveryReadoutSample) {
  std::vector<std::wstring_view> text2, text3, combo;
  for (const ControlSpec& c : kControls) {
    if (c.id == kIdText2) text2 = TextsToFit(c);
    if (c.id == kIdText3) text3 = TextsToFit(c);
    if (c.id == kIdCombo1) combo = TextsToFit(c);
  }
  EXPECT_EQ(text2, (std::vector<std::wstring_view>{L"2210  Hz", L"2290 Hz", L"9999 Hz"}));
  EXPECT_EQ(text3, (std::vector<std::wstring_view>{L"14100", L"14085.5 kHz", L"29999.999 kHz"}));
  EXPECT_EQ(combo, std::vector<std::wstring_view>{L"RTTY"});
}

}  // namespace
}  // namespace korvane
