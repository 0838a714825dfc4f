// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a few cells of a text pane. QPlainTextEdit draws every glyph of each row it
// repaints, and most of them only to be clipped away; a key changes a few cells of a row, whose
// text is drawn here as Qt would draw it, glyph for glyph, but only where it can show.
#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/QtText.h"
#include "practice/TextPane.h"

namespace pekto {

namespace {

// The height of a row as QTextLayout measures it when it draws (QTextLine::height() rounds up).
qreal RowHeight(const QTextLine& row) {
  return row.ascent() + row.descent() + (row.leadingIncluded() ? std::max(0.0, row.leading()) : 0);
}

bool Whole(qreal value) {
  return value == std::floor(value);
}

}  // namespace

const TextPane::InkReach& TextPane::Ink() const {
  if (ink_) return *ink_;
  // Every character the lines can hold: the printable half of Windows-1250.
  std::string bytes;
  for (int byte = 0x20; byte <= 0xFF; ++byte) bytes.push_back(static_cast<char>(byte));
  QString characters = ToQ(bytes);
  characters.removeIf([](QChar ch) { return !ch.isPrint(); });
  const QFontMetricsF metrics(font());
  const QRectF ink = metrics.boundingRect(characters);
  // Antialiasing and rounding to whole pixels may add a pixel or two to what the outlines cover.
  constexpr qreal kSpare = 2;
  // Sideways no glyph reaches as far as two characters of the widest.
  const qreal offset = metrics.underlinePos();
  qreal underline = std::ceil(offset) + 0.5;
  if (offset <= metrics.descent()) underline = std::min(underline, metrics.descent() - 0.5);
  ink_ = InkReach{-ink.top() + kSpare, ink.bottom() + kSpare, 3 * metrics.maxWidth(), underline,
                  metrics.lineWidth()};
  return *ink_;
}

const TextPane::RowGlyphs& TextPane::GlyphsOf(const QTextBlock& block, int row,
                                              bool& shaped) const {
  const QTextLayout& layout = *block.layout();
  const QTextLine line = layout.lineAt(row);
  const QRectF box = line.rect();
  const auto same = [&](const RowGlyphs& kept) {
    return kept.layout == &layout && kept.row == row && kept.box == box &&
           kept.start == line.textStart() && kept.length == line.textLength();
  };
  auto found = std::find_if(glyphs_.begin(), glyphs_.end(), same);
  if (found != glyphs_.end()) {
    std::rotate(found, found + 1, glyphs_.end());
    return glyphs_.back();
  }
  constexpr size_t kKept = 8;
  if (glyphs_.size() == kKept) glyphs_.erase(glyphs_.begin());
  shaped = true;
  const int start = line.textStart();
  const QString text = block.text().mid(start, line.textLength());
  QLineF underline;
  if (std::any_of(text.begin(), text.end(), [](QChar ch) { return ch != u' '; })) {
    const qreal left = line.cursorToX(start);
    underline = QLineF(left, 0, left + line.naturalTextWidth(), 0);
  }
  glyphs_.push_back({&layout, row, box, start, line.textLength(), line.glyphRuns(), underline});
  return glyphs_.back();
}

void TextPane::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    characterWidth_.reset();
    ink_.reset();
    DropGlyphs();
  }
  QPlainTextEdit::changeEvent(event);
}

bool TextPane::DrawsCellsAsQt() const {
  if (!placeholderText().isEmpty() || font().strikeOut() || font().overline()) return false;
  const QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  // Qt's own block caret (overwrite mode, over a character), drawn while the caret blinks on.
  if (overwriteMode() && hasFocus() && cursor.positionInBlock() < block.length() - 1) {
    return false;
  }
  if (!cursor.hasSelection()) return true;
  // A selection within one row, in a block whose rows lie on whole pixels.
  const QTextBlock selected = document()->findBlock(cursor.selectionStart());
  const QTextLayout* layout = selected.layout();
  if (layout == nullptr) return false;
  const int start = cursor.selectionStart() - selected.position();
  const int end = cursor.selectionEnd() - selected.position();
  const QTextLine row = layout->lineForTextPosition(start);
  if (!row.isValid() || end > row.textStart() + row.textLength()) return false;
  const QRectF box = layout->boundingRect().translated(
      blockBoundingGeometry(selected).translated(contentOffset()).topLeft() + layout->position());
  return Whole(box.left()) && Whole(box.top()) && Whole(box.bottom());
}

bool TextPane::PaintTextIn(const QRect& area) {
  if (!DrawsCellsAsQt()) return false;
  // The blocks and the clip of QPlainTextEdit::paintEvent.
  QPointF offset = contentOffset();
  QRect clip = area;
  const qreal documentWidth = document()->documentLayout()->documentSize().width();
  const int maxX =
      static_cast<int>(offset.x() + std::max<qreal>(viewport()->width(), documentWidth) -
                       document()->documentMargin() + cursorWidth());
  clip.setRight(std::min(clip.right(), maxX));
  QPainter painter(viewport());
  painter.setClipRect(clip);
  painter.setPen(palette().text().color());
  const int height = viewport()->height();
  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    const QRectF box = blockBoundingRect(block).translated(offset);
    if (block.isVisible() && block.layout() && box.bottom() >= clip.top() &&
        box.top() <= clip.bottom()) {
      PaintBlockIn(painter, block, offset, clip);
    }
    offset.ry() += box.height();
    if (offset.y() > height) break;
  }
  return true;
}

void TextPane::PaintBlockIn(QPainter& painter, const QTextBlock& block, const QPointF& offset,
                            const QRect& area) const {
  const QTextLayout& layout = *block.layout();
  const QPointF position = offset + layout.position();
  // The rows QTextLayout::draw takes for the clip: from the last one wholly above it (sic) to
  // the last one starting within it.
  const qreal clipTop = area.y() - position.y();
  const qreal clipBottom = clipTop + area.height();
  int first = 0;
  int last = layout.lineCount();
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine row = layout.lineAt(i);
    if (row.y() > clipBottom) {
      last = i;
      break;
    }
    if (row.y() + RowHeight(row) < clipTop) first = i;
  }
  // The selection: its background and its characters in its own colours, within the cells it
  // covers, rounded out to whole pixels; the other characters around it.
  const QTextCursor cursor = textCursor();
  const int start = cursor.selectionStart() - block.position();
  const int end = cursor.selectionEnd() - block.position();
  QRect selected;
  int selectedRow = -1;
  if (cursor.hasSelection() && start < block.length() && end > 0) {
    const QTextLine row = layout.lineForTextPosition(start);
    if (row.lineNumber() >= first && row.lineNumber() < last) {
      const QRectF cells(position.x() + row.cursorToX(start), position.y() + row.y(),
                         row.cursorToX(end) - row.cursorToX(start), RowHeight(row));
      QRectF text = row.naturalTextRect().translated(position);
      text.setBottom(qCeil(text.bottom()));
      selected = (text & QRectF(area) & cells).toAlignedRect();
      selectedRow = row.lineNumber();
    }
  }
  const InkReach& ink = Ink();
  // The glyphs of a row whose ink can reach the area.
  bool shaped = false;
  const auto draw = [&](int row) {
    const qreal left = area.left() - position.x() - ink.sideways;
    const qreal right = area.right() + 1 - position.x() + ink.sideways;
    const RowGlyphs& glyphs = GlyphsOf(block, row, shaped);
    for (QGlyphRun run : glyphs.runs) {
      const QList<quint32> glyphs = run.glyphIndexes();
      const QList<QPointF> points = run.positions();
      QList<quint32> shownGlyphs;
      QList<QPointF> shownPoints;
      for (qsizetype i = 0; i < points.size(); ++i) {
        if (points[i].x() < left || points[i].x() > right) continue;
        shownGlyphs.push_back(glyphs[i]);
        shownPoints.push_back(points[i]);
      }
      if (shownGlyphs.isEmpty()) continue;
      run.setGlyphIndexes(shownGlyphs);
      run.setPositions(shownPoints);
      run.setUnderline(false);  // drawn below as QTextLine::draw draws it
      painter.drawGlyphRun(position, run);
    }
    if (!font().underline() || glyphs.underline.isNull()) return;
    const QTextLine line = layout.lineAt(row);
    const qreal y = position.y() + line.y() + line.ascent() + ink.underline;  // the baseline
    const QPen pen = painter.pen();
    QPen underline = pen;
    underline.setStyle(Qt::SolidLine);
    underline.setWidthF(ink.lineWidth);
    underline.setCapStyle(Qt::FlatCap);
    painter.setPen(underline);
    painter.drawLine(QLineF(qFloor(position.x() + glyphs.underline.x1()), y,
                            qFloor(position.x() + glyphs.underline.x2()), y));
    painter.setPen(pen);
  };
  if (!selected.isNull()) {
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    painter.fillRect(selected, palette().brush(group, QPalette::Highlight));
    painter.save();
    painter.setClipRect(selected, Qt::IntersectClip);
    painter.setPen(QPen(palette().brush(group, QPalette::HighlightedText), 0));
    // Qt draws the whole run of text the selection lies in, clipped to it: a neighbour's ink
    // shows in the selection's colours too.
    draw(selectedRow);
    painter.restore();
    painter.save();
    QRectF rows = layout.boundingRect().translated(position);
    rows.setRight(area.right() + 1);
    painter.setClipRegion(QRegion(rows.toRect() & area) - selected, Qt::IntersectClip);
  }
  for (int i = first; i < last; ++i) {
    const QTextLine row = layout.lineAt(i);
    // A row whose ink cannot reach the area adds nothing to it.
    const qreal baseline = position.y() + row.y() + row.ascent();
    if (baseline - ink.above >= area.bottom() + 1 || baseline + ink.below <= area.top()) continue;
    draw(i);
  }
  if (!selected.isNull()) painter.restore();
  // Rows drawn from shapes Qt would have dropped: dropped here too, as QTextLayout::draw does
  // after drawing (a clip above the first row draws nothing).
  if (shaped && !layout.cacheEnabled()) {
    layout.draw(&painter, position, {}, QRectF(0, -1e7, 1, 1));
  }
}

}  // namespace pekto
