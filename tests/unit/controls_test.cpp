// The control table: tab order, texts and twips-to-pixels scaling.
#include "panel/controls.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(Controls, FocusFollowsTabIndex) {
  const std::vector<std::wstring_view> expected = {L"Combo1",   L"Text2",    L"Text3",   L"Command4",
                                                   L"Command5", L"Command1", L"Command2"};
  EXPECT_EQ(FocusOrder(), expected);
  const auto order = ControlsInTabOrder();
  ASSERT_EQ(order.size(), kControls.size());
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i]->tab_index, static_cast<int>(i));
}

TEST(Controls, EachFieldsLabelIsCreatedJustBeforeItAndFocusOrderHolds) {
  std::vector<std::wstring_view> created;
  for (const ControlSpec* c : ControlsInCreationOrder()) created.push_back(c->name);
  const std::vector<std::wstring_view> expected = {L"Label1", L"Combo1",   L"Label2",   L"Text2",
                                                   L"Label4", L"Text3",    L"Command4", L"Command5",
                                                   L"Label9", L"Command1", L"Command2"};
  EXPECT_EQ(created, expected);
  // The focus visits the focusable ones in z-order, which is still the tab-index order.
  std::vector<std::wstring_view> focusable;
  for (const ControlSpec* c : ControlsInCreationOrder())
    if (c->kind != ControlKind::Label) focusable.push_back(c->name);
  EXPECT_EQ(focusable, FocusOrder());
}

TEST(Controls, InitialTextsAndUniqueIds) {
  auto find = [](std::wstring_view name) {
    for (const auto& c : kControls)
      if (c.name == name) return c;
    std::string narrow;
    for (const wchar_t ch : name) narrow += static_cast<char>(ch);
    ADD_FAILURE() << "no control named " << narrow;
    return kControls[0];
  };
  EXPECT_EQ(find(L"Text2").text, L"2210  Hz");
  EXPECT_EQ(find(L"Text3").text, L"14100");
  EXPECT_EQ(find(L"Command1").text, L"RTTY-N");
  EXPECT_EQ(find(L"Command5").text, L"TX");
  EXPECT_EQ(find(L"Combo1").kind, ControlKind::ModeList);
  for (std::size_t i = 0; i < kControls.size(); ++i)
    for (std::size_t j = i + 1; j < kControls.size(); ++j) EXPECT_NE(kControls[i].id, kControls[j].id);
}

TEST(Controls, TwipsScaleAtCommonDpis) {
  struct Case {
    int dpi, client_w, client_h, text2_left, command5_height;
  };
  // 4230 x 1350 twips; Text2 left 2880; Command5 height 375.
  for (const Case c : {Case{96, 282, 90, 192, 25}, Case{120, 353, 113, 240, 31}, Case{144, 423, 135, 288, 38},
                       Case{192, 564, 180, 384, 50}}) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, c.dpi), c.client_w);
    EXPECT_EQ(TwipsToPixels(kClientHeightTwips, c.dpi), c.client_h);
    EXPECT_EQ(TwipsToPixels(2880, c.dpi), c.text2_left);
    EXPECT_EQ(TwipsToPixels(375, c.dpi), c.command5_height);
  }
  EXPECT_EQ(TwipsToPixels(-375, 96), -25);
  EXPECT_EQ(TwipsToPixels(0, 192), 0);
}

}  // namespace
}  // namespace korvane
