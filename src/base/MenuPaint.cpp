// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/MenuPaint.h"

namespace pekto {
namespace {

// The text colour the platform sets up before an item's painter runs.
int32_t PreparedTextColor(bool dropDown, const MenuItemState& state) {
  if (dropDown && state.Selected) return kClHighlightText;
  return state.Inactive ? kClGrayText : kClMenuText;
}

}  // namespace

MenuRect InsetRect(MenuRect rect) {
  return {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
}

std::string RemoveAll(std::string_view pattern, std::string text) {
  if (pattern.empty()) return text;
  // Deleting one character can only make a new occurrence that starts less than a pattern's
  // length before it, so each search resumes there instead of at the start.
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(pattern, from);
    if (at == std::string::npos) return text;
    text.erase(at, 1);
    from = at >= pattern.size() - 1 ? at - (pattern.size() - 1) : 0;
  }
}

MenuItemPaint PlanMenuItem(const MenuItemFacts& item, MenuRect rect, MenuItemState state) {
  MenuItemPaint paint;
  paint.FillRect = rect;
  int offset = 0;
  if (state.Selected || state.HotLight) {
    paint.Fill = kMenuHighlightFill;
    paint.Frame = rect;
    offset = -1;  // a selected item's picture moves one pixel up and left
  }
  paint.Text = RemoveAll("&", item.Caption);
  if (paint.Text == "-") {
    const int middle = rect.Top + (rect.Bottom - rect.Top) / 2;
    paint.Separator = MenuRect{rect.Left + 2, middle, rect.Right - 2, middle + 1};
    paint.Text.clear();
    return paint;
  }
  paint.TextColor = item.Enabled ? PreparedTextColor(true, state) : kMenuDisabledText;
  paint.TextAt = MenuPoint{rect.Left + 22, rect.Top + 4};
  if (item.HasShortcut) {
    paint.ShortcutAt = MenuPoint{rect.Right - item.ShortcutWidth - 4, rect.Top + 4};
  }
  if (state.Checked) {
    paint.BulletAt = MenuPoint{rect.Left + 8, rect.Top + 5};
  } else if (item.HasPicture) {
    paint.PictureAt = MenuPoint{rect.Left + 2 + offset, rect.Top + 2 + offset};
  }
  return paint;
}

MenuItemPaint PlanMenuBarItem(const MenuItemFacts& item, MenuRect rect, MenuItemState state) {
  MenuItemPaint paint;
  if (state.Selected || state.HotLight) {
    paint.FillRect = InsetRect(InsetRect(rect));
    paint.Fill = kMenuHighlightFill;
    paint.Frame = paint.FillRect;
  } else {
    paint.FillRect = rect;
    paint.Fill = kClBtnFace;
  }
  paint.Text = RemoveAll("&", item.Caption);
  // A top-level menu that cannot open looks like the rest of a window that cannot be used.
  paint.TextColor = item.Enabled ? PreparedTextColor(false, state) : kClGrayText;
  paint.TextAt = MenuPoint{rect.Left + 7, rect.Top + 3};
  return paint;
}

}  // namespace pekto
