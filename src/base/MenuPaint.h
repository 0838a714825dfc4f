// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program's flat menu style paints for one menu item, worked out without a toolkit:
// the fills, frame, separator line and where text, shortcut, bullet and picture go. The Qt
// painters in ui/MenuRajzol carry it out.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pekto {

// A rectangle as the owner-draw messages give it: Right and Bottom lie just outside it.
struct MenuRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const MenuRect&, const MenuRect&) = default;
};

// `rect` shrunk by one pixel on every side.
MenuRect InsetRect(MenuRect rect);

// `text` after deleting, one character at a time, the character where `pattern` first occurs,
// until it occurs no more: with "&" every ampersand goes, "&&" included. An empty pattern
// changes nothing.
std::string RemoveAll(std::string_view pattern, std::string text);

// Colours, red in the low byte; negative values name system colours.
inline constexpr int32_t kMenuHighlightFill = 0x8DAADE;  // warm tan
inline constexpr int32_t kMenuHighlightFrame = 0x808080;
inline constexpr int32_t kMenuItemFill = 0xDEDEDE;
inline constexpr int32_t kMenuDisabledText = 0x808080;
inline constexpr int32_t kMenuSeparator = 0xA2A2A2;
inline constexpr int32_t kClMenuText = static_cast<int32_t>(0xFF000007);
inline constexpr int32_t kClHighlightText = static_cast<int32_t>(0xFF00000E);
inline constexpr int32_t kClBtnFace = static_cast<int32_t>(0xFF00000F);
inline constexpr int32_t kClGrayText = static_cast<int32_t>(0xFF000011);

// The state the platform reports for the paint of one item.
struct MenuItemState {
  bool Selected = false;
  bool HotLight = false;  // the pointer is over a menu-bar item
  bool Checked = false;
  bool Inactive = false;  // the window is not the active one
};

// What an item is, as far as its painting goes.
struct MenuItemFacts {
  std::string Caption;  // Windows-1250, "&" marking the access key; "-" is a separator
  bool Enabled = true;
  bool HasShortcut = false;
  int ShortcutWidth = 0;    // of the shortcut text in the menu font, in pixels
  bool HasPicture = false;  // an image list with a picture for the item
};

struct MenuPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const MenuPoint&, const MenuPoint&) = default;
};

// One item's painting, in the order it is carried out. Texts are drawn with their cell's
// top-left corner at the point given.
struct MenuItemPaint {
  MenuRect FillRect;
  int32_t Fill = kMenuItemFill;
  std::optional<MenuRect> Frame;      // a one-pixel outline in kMenuHighlightFrame
  std::optional<MenuRect> Separator;  // a line filled in kMenuSeparator; nothing else follows
  std::string Text;                   // the caption without ampersands
  int32_t TextColor = kClMenuText;
  std::optional<MenuPoint> TextAt;
  std::optional<MenuPoint> ShortcutAt;
  std::optional<MenuPoint> BulletAt;  // the Wingdings "l" of a checked item
  std::optional<MenuPoint> PictureAt;
};

// A drop-down (or context-menu) item.
MenuItemPaint PlanMenuItem(const MenuItemFacts& item, MenuRect rect, MenuItemState state);
// An item of the menu bar.
MenuItemPaint PlanMenuBarItem(const MenuItemFacts& item, MenuRect rect, MenuItemState state);

}  // namespace pekto
