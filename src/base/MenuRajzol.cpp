// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/MenuRajzol.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/Colors.h"
#include "platform/QtText.h"

namespace pekto {
namespace {

// The pictures of the commands are drawn at the size of their image lists.
constexpr int kPictureSize = 16;
// Marks a window whose menus, present and future, take the style.
constexpr char kStyledWindow[] = "pektoMenuStyle";

MenuRect ToMenuRect(const QRect& r) {
  return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

QRect ToQRect(const MenuRect& r) {
  return {r.Left, r.Top, r.Width(), r.Height()};
}

// A rectangle drawn with a one-pixel pen: its outermost pixels.
void Outline(QPainter& canvas, const MenuRect& r, const QColor& color) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  canvas.fillRect(QRect(r.Left, r.Top, r.Width(), 1), color);
  canvas.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), color);
  canvas.fillRect(QRect(r.Left, r.Top, 1, r.Height()), color);
  canvas.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), color);
}

// Text whose cell's top-left corner lies at `at`.
void TextOut(QPainter& canvas, MenuPoint at, const QString& text) {
  canvas.drawText(QPoint(at.X, at.Y + canvas.fontMetrics().ascent()), text);
}

void PaintBackground(QPainter& canvas, const MenuItemPaint& paint) {
  if (paint.FillRect.Width() > 0 && paint.FillRect.Height() > 0) {
    canvas.fillRect(ToQRect(paint.FillRect), ColorFromValue(paint.Fill));
  }
  if (paint.Frame) Outline(canvas, *paint.Frame, ColorFromValue(kMenuHighlightFrame));
}

QFont WingdingsLike(const QFont& menuFont) {
  QFont font(QStringLiteral("Wingdings"));
  if (menuFont.pixelSize() > 0) {
    font.setPixelSize(menuFont.pixelSize());
  } else {
    font.setPointSizeF(menuFont.pointSizeF());
  }
  return font;
}

// Wingdings' "l", a filled round bullet; where the font is missing, a circle of its size and
// place: about 0.57 em across, a tenth of an em in from the left, resting on the baseline.
void DrawBullet(QPainter& canvas, MenuPoint at) {
  const QFont wingdings = WingdingsLike(canvas.font());
  if (QFontInfo(wingdings).family().compare(QStringLiteral("Wingdings"), Qt::CaseInsensitive) ==
      0) {
    canvas.setFont(wingdings);
    TextOut(canvas, at, QStringLiteral("l"));
    return;
  }
  const QFontMetrics metrics(canvas.font());
  const double em = QFontInfo(canvas.font()).pixelSize();
  const int diameter = std::max(4, static_cast<int>(std::lround(em * 0.57)));
  const int left = at.X + static_cast<int>(std::lround(em * 0.1));
  const int top = at.Y + metrics.ascent() - diameter;
  const QColor color = canvas.pen().color();
  canvas.save();
  canvas.setRenderHint(QPainter::Antialiasing);
  canvas.setPen(Qt::NoPen);
  canvas.setBrush(color);
  canvas.drawEllipse(QRectF(left, top, diameter, diameter));
  canvas.restore();
}

// A menu hands the caption and the shortcut text over as one text, separated by a tab.
std::pair<QString, QString> CaptionAndShortcut(const QStyleOptionMenuItem& item) {
  const qsizetype tab = item.text.indexOf(u'\t');
  if (tab < 0) return {item.text, {}};
  return {item.text.left(tab), item.text.mid(tab + 1)};
}

bool IsShownItem(const QStyleOptionMenuItem& item) {
  switch (item.menuItemType) {
    case QStyleOptionMenuItem::Normal:
    case QStyleOptionMenuItem::DefaultItem:
    case QStyleOptionMenuItem::SubMenu:
    case QStyleOptionMenuItem::Separator:
      return true;
    default:
      return false;
  }
}

bool OwnedByStyledWindow(const QWidget& menu) {
  for (const QWidget* w = menu.parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (w->property(kStyledWindow).toBool()) return true;
  }
  return false;
}

// The style of menus and menu bars: their items, the free space around them and the menu's
// frame are painted here; everything else goes to the application's kind of style.
class MenuStyle final : public QProxyStyle {
 public:
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;

  // Gives the style to a menu created inside a styled window when it is first polished,
  // before it measures its items.
  bool eventFilter(QObject* watched, QEvent* event) override;
};

bool IsActive(const QWidget* widget) {
  return widget == nullptr || widget->isActiveWindow();
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  const bool inMenu = qobject_cast<const QMenu*>(widget) != nullptr;
  const bool inBar = qobject_cast<const QMenuBar*>(widget) != nullptr;
  if (item != nullptr && painter != nullptr) {
    if (element == CE_MenuItem && inMenu && IsShownItem(*item)) {
      MenuItemState state;
      state.Selected = (item->state & State_Selected) != 0;
      state.Checked = item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked;
      state.Inactive = !IsActive(widget);
      painter->save();
      DrawMenuItem(*item, *painter, item->rect, state);
      painter->restore();
      return;
    }
    if (element == CE_MenuBarItem && inBar) {
      MenuItemState state;
      state.Selected = (item->state & State_Sunken) != 0;  // its menu is open
      state.HotLight = !state.Selected && (item->state & State_Selected) != 0;
      state.Inactive = !IsActive(widget);
      painter->save();
      DrawMenuBarItem(*item, *painter, item->rect, state);
      painter->restore();
      return;
    }
  }
  if (painter != nullptr && option != nullptr) {
    if (element == CE_MenuEmptyArea && inMenu) {
      painter->fillRect(option->rect, ColorFromValue(kMenuItemFill));
      return;
    }
    if (element == CE_MenuBarEmptyArea && inBar) {
      painter->fillRect(option->rect, ColorFromValue(kClBtnFace));
      return;
    }
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

void MenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
  if (painter != nullptr && option != nullptr && qobject_cast<const QMenu*>(widget) != nullptr) {
    if (element == PE_PanelMenu) {
      painter->fillRect(option->rect, ColorFromValue(kMenuItemFill));
      return;
    }
    if (element == PE_FrameMenu) {
      Outline(*painter, ToMenuRect(option->rect), ColorFromValue(kMenuHighlightFrame));
      return;
    }
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                  const QWidget* widget) const {
  QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
  // Drop-down items get room for the picture column and the highlight frame.
  if (type == CT_MenuItem && qobject_cast<const QMenu*>(widget) != nullptr) {
    result += QSize(40, 4);
  }
  // A menu-bar item's caption starts 7 pixels in; as wide a margin on its right keeps its end
  // clear of the highlight frame, which the base measure (made for centred text) does not.
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (type == CT_MenuBarItem && item != nullptr && qobject_cast<const QMenuBar*>(widget)) {
    const QString caption = ToQ(RemoveAll("&", FromQ(item->text)));
    result.setWidth(std::max(result.width(), item->fontMetrics.horizontalAdvance(caption) + 2 * 7));
  }
  return result;
}

bool MenuStyle::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Polish) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu != nullptr && menu->style() != this && OwnedByStyledWindow(*menu)) {
      menu->setStyle(this);
    }
  }
  // A menu bar's titles are grey only while its window is inactive. Qt repaints a widget on
  // activation only when its palette differs between the two states, which the bar's does not:
  // it is repainted here, at start and whenever a dialog gives the activation back.
  if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
    auto* bar = qobject_cast<QMenuBar*>(watched);
    if (bar != nullptr && bar->style() == this) bar->update();
  }
  return false;
}

// One style serves every window; the application owns it, so it outlives the windows.
MenuStyle& TheMenuStyle() {
  static QPointer<MenuStyle> style;
  if (style.isNull()) {
    style = new MenuStyle;
    style->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(style);
  }
  return *style;
}

void UseStyle(QWidget& widget, QStyle& style) {
  if (widget.style() != &style) widget.setStyle(&style);
}

}  // namespace

void ApplyMenuStyle(QWidget& window) {
  MenuStyle& style = TheMenuStyle();
  window.setProperty(kStyledWindow, true);
  if (qobject_cast<QMenu*>(&window) != nullptr || qobject_cast<QMenuBar*>(&window) != nullptr) {
    UseStyle(window, style);
  }
  for (QMenuBar* bar : window.findChildren<QMenuBar*>()) UseStyle(*bar, style);
  for (QMenu* menu : window.findChildren<QMenu*>()) UseStyle(*menu, style);
}

void DrawMenuItem(const QStyleOptionMenuItem& item, QPainter& canvas, QRect rect,
                  const MenuItemState& state) {
  const auto [caption, shortcut] = CaptionAndShortcut(item);
  canvas.setFont(item.font);
  MenuItemFacts facts;
  facts.Caption =
      item.menuItemType == QStyleOptionMenuItem::Separator ? std::string("-") : FromQ(caption);
  facts.Enabled = (item.state & QStyle::State_Enabled) != 0;
  facts.HasShortcut = !shortcut.isEmpty();
  facts.ShortcutWidth = canvas.fontMetrics().horizontalAdvance(shortcut);
  facts.HasPicture = !item.icon.isNull();
  const MenuItemPaint paint = PlanMenuItem(facts, ToMenuRect(rect), state);

  PaintBackground(canvas, paint);
  if (paint.Separator) {
    Outline(canvas, *paint.Separator, ColorFromValue(kMenuSeparator));
    return;
  }
  canvas.setPen(ColorFromValue(paint.TextColor));
  if (paint.TextAt) TextOut(canvas, *paint.TextAt, ToQ(paint.Text));
  if (paint.ShortcutAt) TextOut(canvas, *paint.ShortcutAt, shortcut);
  if (paint.BulletAt) DrawBullet(canvas, *paint.BulletAt);
  if (paint.PictureAt) {
    // Always the enabled form: a disabled command keeps its picture in full colour.
    const QPixmap picture =
        item.icon.pixmap(QSize(kPictureSize, kPictureSize), canvas.device()->devicePixelRatioF(),
                         QIcon::Normal, QIcon::Off);
    canvas.drawPixmap(QPoint(paint.PictureAt->X, paint.PictureAt->Y), picture);
  }
}

void DrawMenuBarItem(const QStyleOptionMenuItem& item, QPainter& canvas, QRect rect,
                     const MenuItemState& state) {
  MenuItemFacts facts;
  facts.Caption = FromQ(item.text);
  facts.Enabled = (item.state & QStyle::State_Enabled) != 0;
  const MenuItemPaint paint = PlanMenuBarItem(facts, ToMenuRect(rect), state);
  PaintBackground(canvas, paint);
  canvas.setPen(ColorFromValue(paint.TextColor));
  if (paint.TextAt) TextOut(canvas, *paint.TextAt, ToQ(paint.Text));
}

}  // namespace pekto
