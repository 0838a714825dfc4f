// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LineNumberGutter.h"

#include <QPaintEvent>
#include <QPainter>
#include <utility>

#include "platform/Fonts.h"

namespace pekto {
namespace {

constexpr int kRightOffset = 3;  // between the numbers and the text

QFont GutterFont() {
  // Every style set, so that the numbers do not take the pane's italic or underline.
  static const QString family = InstalledFamily(QStringLiteral("Courier New"));
  QFont font(family);
  font.setBold(true);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  font.setPixelSize(13);
  font.setStyleHint(QFont::TypeWriter);
  // Decided once; no font is kept beyond the application, which owns the fonts' caches.
  static const QFont::StyleStrategy strategy = WithoutFallback(font, u"0123456789").styleStrategy();
  font.setStyleStrategy(strategy);
  return font;
}

}  // namespace

LineNumberGutter::LineNumberGutter(QWidget* parent, Numbers numbers)
    : QWidget(parent), numbers_(std::move(numbers)) {}

int LineNumberGutter::WidthFor(int lines) const {
  const int digits = std::max(minimumDigits_, static_cast<int>(QString::number(lines).size()));
  if (digitWidth_ == 0) digitWidth_ = QFontMetrics(GutterFont()).horizontalAdvance(u'9');
  return digitWidth_ * digits + kRightOffset;
}

int LineNumberGutter::RowHeight() const {
  return QFontMetrics(GutterFont()).height();
}

void LineNumberGutter::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  painter.setFont(GutterFont());
  painter.setPen(palette().color(QPalette::Dark));
  const int height = RowHeight();
  const int right = width() - kRightOffset;
  for (const Number& number : numbers_(event->rect().bottom())) {
    painter.drawText(0, number.top, right, height, Qt::AlignRight, QString::number(number.line));
  }
}

}  // namespace pekto
