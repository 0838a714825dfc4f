// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own menu style: every menu bar, drop-down and context menu painted flat, with
// light grey items, a warm tan highlight in a grey frame, grey separator lines, right-aligned
// shortcut texts and the command pictures at the left.

#include <QRect>

#include "base/MenuPaint.h"

class QPainter;
class QStyleOptionMenuItem;
class QWidget;

namespace pekto {

// Switches every menu bar and menu of `window` to the program's painting, and so every menu
// created inside it later when that menu is first shown; applying it again changes nothing.
void ApplyMenuStyle(QWidget& window);

// Paints a drop-down or context-menu item into `rect` (the caption and shortcut, separated by
// a tab as menus hand them over, the picture, whether it is enabled and checked).
void DrawMenuItem(const QStyleOptionMenuItem& item, QPainter& canvas, QRect rect,
                  const MenuItemState& state);
// Paints an item of the menu bar into `rect` in the canvas's font.
void DrawMenuBarItem(const QStyleOptionMenuItem& item, QPainter& canvas, QRect rect,
                     const MenuItemState& state);

}  // namespace pekto
