// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/MenuPaint.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pekto {

// Shows rectangles and points in failure messages.
void PrintTo(const MenuRect& r, std::ostream* os) {
  *os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}
void PrintTo(const MenuPoint& p, std::ostream* os) {
  *os << "(" << p.X << ", " << p.Y << ")";
}

namespace {

constexpr MenuRect kItem{3, 20, 203, 46};  // a drop-down item 200 x 26

MenuItemFacts Item(std::string caption) {
  MenuItemFacts facts;
  facts.Caption = std::move(caption);
  return facts;
}

TEST(RemoveAll, AmpersandsAllGoPairsIncluded) {
  EXPECT_EQ(RemoveAll("&", "&Fájl && mentés"), "Fájl  mentés");
  EXPECT_EQ(RemoveAll("&", "&&&&"), "");
  EXPECT_EQ(RemoveAll("&", "Top10"), "Top10");
  EXPECT_EQ(RemoveAll("&", ""), "");
  EXPECT_EQ(RemoveAll("&", "&Leck\xE9k"), "Leck\xE9k");  // Windows-1250 letters stay
}

TEST(RemoveAll, LongerPatternLosesItsFirstCharacterEachTime) {
  // "ab" in "aabb": the 'a' at 1 goes, then the new "ab" at 0 loses its 'a'.
  EXPECT_EQ(RemoveAll("ab", "aabb"), "bb");
  EXPECT_EQ(RemoveAll("ab", "xaaabbby"), "xbbby");
  EXPECT_EQ(RemoveAll("abc", "ababcc"), "abbcc");
  EXPECT_EQ(RemoveAll("abc", "abc"), "bc");
  EXPECT_EQ(RemoveAll("", "&x"), "&x");
}

TEST(RemoveAll, ManyAmpersandsInALongText) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "&a";
  EXPECT_EQ(RemoveAll("&", text), std::string(100000, 'a'));
}

TEST(InsetRect, ShrinksByOnePixelOnEachSide) {
  EXPECT_EQ(InsetRect({10, 20, 50, 40}), (MenuRect{11, 21, 49, 39}));
  EXPECT_EQ(InsetRect(InsetRect({0, 0, 4, 4})), (MenuRect{2, 2, 2, 2}));
}

TEST(PlanMenuItem, PlainItemIsGreyWithTextAndPicture) {
  MenuItemFacts facts = Item("&Lecke megnyit\xE1sa");
  facts.HasShortcut = true;
  facts.ShortcutWidth = 37;
  facts.HasPicture = true;
  const MenuItemPaint p = PlanMenuItem(facts, kItem, {});
  EXPECT_EQ(p.FillRect, kItem);
  EXPECT_EQ(p.Fill, 0xDEDEDE);
  EXPECT_FALSE(p.Frame);
  EXPECT_FALSE(p.Separator);
  EXPECT_EQ(p.Text, "Lecke megnyit\xE1sa");
  EXPECT_EQ(p.TextColor, kClMenuText);
  EXPECT_EQ(p.TextAt, (MenuPoint{25, 24}));
  EXPECT_EQ(p.ShortcutAt, (MenuPoint{203 - 37 - 4, 24}));
  EXPECT_FALSE(p.BulletAt);
  EXPECT_EQ(p.PictureAt, (MenuPoint{5, 22}));
}

TEST(PlanMenuItem, SelectedItemIsTanWithFrameAndPictureUpLeft) {
  MenuItemFacts facts = Item("Top10");
  facts.HasPicture = true;
  MenuItemState state;
  state.Selected = true;
  const MenuItemPaint p = PlanMenuItem(facts, kItem, state);
  EXPECT_EQ(p.Fill, 0x8DAADE);
  EXPECT_EQ(p.FillRect, kItem);
  EXPECT_EQ(p.Frame, kItem);
  EXPECT_EQ(p.TextColor, kClHighlightText);
  EXPECT_FALSE(p.ShortcutAt);  // no shortcut, no shortcut text
  EXPECT_EQ(p.PictureAt, (MenuPoint{4, 21}));
}

TEST(PlanMenuItem, HotLitDropDownItemIsHighlightedToo) {
  MenuItemState state;
  state.HotLight = true;
  const MenuItemPaint p = PlanMenuItem(Item("x"), kItem, state);
  EXPECT_EQ(p.Fill, 0x8DAADE);
  EXPECT_TRUE(p.Frame);
  EXPECT_EQ(p.TextColor, kClMenuText);  // only selection prepares the highlight text colour
}

TEST(PlanMenuItem, SeparatorIsALineInTheMiddleTwoPixelsShortOfEachSide) {
  const MenuItemPaint p = PlanMenuItem(Item("-"), {3, 20, 203, 33}, {});
  EXPECT_EQ(p.Fill, 0xDEDEDE);
  ASSERT_TRUE(p.Separator);
  EXPECT_EQ(*p.Separator, (MenuRect{5, 26, 201, 27}));  // 20 + 13 / 2, toward zero
  EXPECT_FALSE(p.TextAt);
  EXPECT_FALSE(p.ShortcutAt);
  EXPECT_FALSE(p.PictureAt);
  EXPECT_FALSE(p.BulletAt);
  // "&-" is a separator too, as its text without ampersands is "-".
  EXPECT_TRUE(PlanMenuItem(Item("&-"), kItem, {}).Separator);
  EXPECT_FALSE(PlanMenuItem(Item("--"), kItem, {}).Separator);
}

TEST(PlanMenuItem, DisabledItemHasGreyTextAndItsPicture) {
  MenuItemFacts facts = Item("Befejeztem");
  facts.Enabled = false;
  facts.HasPicture = true;
  MenuItemState selected;
  selected.Selected = true;
  for (const MenuItemState& state : {MenuItemState{}, selected}) {
    const MenuItemPaint p = PlanMenuItem(facts, kItem, state);
    EXPECT_EQ(p.TextColor, 0x808080);
    EXPECT_TRUE(p.PictureAt);
  }
}

TEST(PlanMenuItem, CheckedItemHasTheBulletAndNoPicture) {
  MenuItemFacts facts = Item("Hang");
  facts.HasPicture = true;
  MenuItemState state;
  state.Checked = true;
  const MenuItemPaint p = PlanMenuItem(facts, kItem, state);
  EXPECT_EQ(p.BulletAt, (MenuPoint{11, 25}));
  EXPECT_FALSE(p.PictureAt);
}

TEST(PlanMenuItem, ItemWithoutPictureIsStillIndented) {
  const MenuItemPaint p = PlanMenuItem(Item("Kiv\xE1g\xE1s"), kItem, {});
  EXPECT_FALSE(p.PictureAt);
  EXPECT_EQ(p.TextAt, (MenuPoint{25, 24}));
}

TEST(PlanMenuItem, InactiveWindowPreparesGreyText) {
  MenuItemState state;
  state.Inactive = true;
  EXPECT_EQ(PlanMenuItem(Item("x"), kItem, state).TextColor, kClGrayText);
}

TEST(PlanMenuBarItem, OpenOrPointedAtIsInsetByTwo) {
  constexpr MenuRect bar{0, 0, 60, 20};
  MenuItemState selected;
  selected.Selected = true;
  MenuItemState hot;
  hot.HotLight = true;
  for (const MenuItemState& state : {selected, hot}) {
    const MenuItemPaint p = PlanMenuBarItem(Item("&Leck\xE9k"), bar, state);
    EXPECT_EQ(p.FillRect, (MenuRect{2, 2, 58, 18}));
    EXPECT_EQ(p.Fill, 0x8DAADE);
    EXPECT_EQ(p.Frame, (MenuRect{2, 2, 58, 18}));
    EXPECT_EQ(p.Text, "Leck\xE9k");
    EXPECT_EQ(p.TextColor, kClMenuText);
    EXPECT_EQ(p.TextAt, (MenuPoint{7, 3}));
  }
}

TEST(PlanMenuBarItem, OtherwiseButtonFaceOverTheWholeItem) {
  constexpr MenuRect bar{60, 0, 120, 20};
  const MenuItemPaint p = PlanMenuBarItem(Item("&N\xE9zet"), bar, {});
  EXPECT_EQ(p.FillRect, bar);
  EXPECT_EQ(p.Fill, kClBtnFace);
  EXPECT_FALSE(p.Frame);
  EXPECT_EQ(p.TextAt, (MenuPoint{67, 3}));
  EXPECT_FALSE(p.PictureAt);
  EXPECT_FALSE(p.ShortcutAt);
  MenuItemState inactive;
  inactive.Inactive = true;
  EXPECT_EQ(PlanMenuBarItem(Item("x"), bar, inactive).TextColor, kClGrayText);
}

// A top-level menu that cannot open takes the system's grey text, open or not.
TEST(PlanMenuBarItem, DisabledItemHasTheSystemGreyText) {
  MenuItemFacts facts = Item("&Leck\xE9k");
  facts.Enabled = false;
  MenuItemState selected;
  selected.Selected = true;
  for (const MenuItemState& state : {MenuItemState{}, selected}) {
    EXPECT_EQ(PlanMenuBarItem(facts, {0, 0, 60, 20}, state).TextColor, kClGrayText);
  }
}

}  // namespace
}  // namespace pekto
