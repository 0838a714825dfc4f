// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/TextPane.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>
#include <memory>
#include <utility>

#include "base/PaneFontSize.h"
#include "platform/ColorValues.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/StorableText.h"

namespace pekto {

namespace {

constexpr int kBarCaretWidth = 2;

bool TypesOnly(const QKeyEvent* key) {
  constexpr auto kCommandModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  const QString text = key->text();
  return (key->modifiers() & kCommandModifiers) == 0 && text.size() == 1 && text.front().isPrint();
}

}  // namespace

// The pane's own writing of lines is no edit of the user's: it is not recorded for undo, and
// the edits before it can no longer be undone.
class TextPane::OwnWrite {
 public:
  explicit OwnWrite(TextPane& pane) : pane_(pane), writing_(pane.writing_, true) {
    if (pane_.keepsHistory_) pane_.setUndoRedoEnabled(false);  // which also empties it
  }
  ~OwnWrite() {
    if (pane_.keepsHistory_) pane_.setUndoRedoEnabled(true);
  }
  OwnWrite(const OwnWrite&) = delete;
  OwnWrite& operator=(const OwnWrite&) = delete;

 private:
  TextPane& pane_;
  QScopedValueRollback<bool> writing_;
};

QFont TextPane::DefaultFont() {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setBold(true);
  font.setPixelSize(19);
  return font;
}

TextPane::TextPane(QWidget* parent, const QFont& font)
    : QPlainTextEdit(parent),
      gutter_(new LineNumberGutter(this, [this](int bottom) { return GutterNumbers(bottom); })),
      lines_(*document()),
      fontColor_(ColorFromValue(kPaneFontColor)),
      activeLineColor_(ColorFromValue(kPaneActiveLineColor)),
      selectedColor_(ColorFromValue(kPaneSelectedColor)),
      backgroundColor_(ColorFromValue(kPaneBackgroundColor)) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setUndoRedoEnabled(false);
  setTabChangesFocus(true);
  // The pane draws its own caret: a block in overwrite mode, a bar in insert mode, both also
  // beyond the end of the line.
  setCursorWidth(0);
  // The pane paints its own background (paintEvent), so that a narrow repaint keeps the rest.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  document()->setDocumentMargin(2);
  connect(document(), &QTextDocument::contentsChange, this,
          [this](int from, int, int added) { DocumentChanged(from, added); });
  connect(this, &QPlainTextEdit::updateRequest, this,
          [this](const QRect& rect, int dy) { UpdateGutter(rect, dy); });
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (placingCaret_) return;
    virtualColumn_ = 0;
    // While the pane writes, its lines are marked when the writing is done.
    if (writing_) return;
    DropCells();  // the user moved the caret or changed the selection
    MarkActiveLine();
    UpdateCaret();
  });
  SetPaneFont(font);
  ApplyPalette();
  UpdateGutterWidth(0);
  MarkActiveLine();
}

// ---- lines -------------------------------------------------------------------------------

void TextPane::IndexChanged(bool blocksKept) {
  UpdateGutterWidth(LineCount());
  MarkActiveLine(blocksKept);
  UpdateCaret();
}

std::pair<int, int> TextPane::CaretSegments() const {
  if (LineCount() == 0) return {0, 0};
  const int line = lines_.LineOfBlock(textCursor().blockNumber());
  return {lines_.FirstBlockNumber(line), lines_.LastSegmentNumber(line)};
}

void TextPane::DocumentChanged(int from, int added) {
  hint_ = {};
  DropGlyphs();
  changedSinceMark_ = true;
  if (writing_) return;
  DropCells();
  // The user edited an editable pane.
  IndexChanged(lines_.TakeEdit(from, added));
}

int TextPane::LineCount() const {
  return lines_.LineCount();
}

std::string TextPane::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  return FromQ(lines_.Text(index));
}

int TextPane::LineLength(int index) const {
  if (index < 0 || index >= LineCount()) return 0;
  return lines_.Length(index);
}

void TextPane::ReplaceLine(int index, std::string_view text) {
  if (index == LineCount()) {
    AppendLine(text);
    return;
  }
  if (index < 0 || index > LineCount()) return;
  const OwnWrite write(*this);
  DropCells();
  lines_.Replace(index, text);
  IndexChanged();
}

void TextPane::AppendLine(std::string_view text) {
  const OwnWrite write(*this);
  DropCells();
  lines_.Append(text);
  IndexChanged(true);  // a line at the end
}

void TextPane::AppendLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const bool wasEmpty = lines_.Empty();
  {
    const OwnWrite write(*this);
    DropCells();
    // The gutter takes its new width while the text is short, not after the insertion, when
    // the new width would lay out the whole text once more.
    UpdateGutterWidth(LineCount() + static_cast<int>(lines.size()));
    lines_.Append(lines);
    IndexChanged();
  }
  // The caret stood at the very end of an empty pane and went along with the new text.
  if (wasEmpty) SetCaret(1, 1);
}

void TextPane::AppendToLine(int index, std::string_view text) {
  if (index < 0 || index >= LineCount()) return;
  const OwnWrite write(*this);
  // Characters that stay on the row of the line's end change only the cells they fill.
  const int lastNumber = lines_.LastSegmentNumber(index);
  const QTextBlock before = document()->findBlockByNumber(lastNumber);
  const int length = before.length() - 1;
  const int rows = before.layout() ? before.layout()->lineCount() : -1;
  const int blocks = document()->blockCount();
  const QRect end = CellsAt(before, length, length, CharacterWidth());
  const bool inPlace = lines_.AppendTo(index, text);
  const QTextBlock after = document()->findBlockByNumber(lastNumber);
  const QRect filled = CellsAt(after, length, after.length() - 1, CharacterWidth());
  if (inPlace && document()->blockCount() == blocks && after.layout() &&
      after.layout()->lineCount() == rows && !end.isEmpty() && filled.top() == end.top()) {
    NoteCells(end.united(filled));
  } else {
    DropCells();
  }
  // The blocks before a last line that grows in place stay where they were.
  IndexChanged(inPlace && index == LineCount() - 1);
}

void TextPane::Clear() {
  const OwnWrite write(*this);
  DropCells();
  clear();
  lines_.Clear();
  virtualColumn_ = 0;
  IndexChanged();
}

std::vector<std::string> TextPane::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(LineCount()));
  for (int line = 0; line < LineCount(); ++line) lines.push_back(FromQ(lines_.Text(line)));
  return lines;
}

// ---- caret and selection -----------------------------------------------------------------

void TextPane::PlaceCursor(int line, int column, bool selectOne) {
  line = std::clamp(line, 1, std::max(1, LineCount()));
  column = std::max(1, column);
  const int length = LineLength(line - 1);
  QTextCursor cursor(document());
  int virtualColumn = 0;
  if (lines_.Empty()) {
    if (column > 1) virtualColumn = column;
  } else if (selectOne && column <= length) {
    // The character and the position after it lie in one segment.
    const int position = lines_.PositionOf(line - 1, column - 1);
    KeepShapesOf(document()->findBlock(position));
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
  } else {
    const int position = lines_.PositionOf(line - 1, std::min(column - 1, length));
    KeepShapesOf(document()->findBlock(position));
    cursor.setPosition(position);
    if (column - 1 > length) virtualColumn = column;
  }
  const QRect cellsBefore = CellsOf(textCursor());
  const int scrolledBefore = verticalScrollBar()->value();
  // The typing pane's caret has mostly gone along with the character appended at it already.
  const QTextCursor current = textCursor();
  if (cursor.position() != current.position() || cursor.anchor() != current.anchor()) {
    const QScopedValueRollback placing(placingCaret_, true);
    setTextCursor(cursor);
  }
  const QRect cellsAfter = CellsOf(textCursor());
  if (cellsBefore.top() == cellsAfter.top()) {
    NoteCells(cellsBefore.united(cellsAfter));
  } else {
    NoteCells(cellsBefore);
    NoteCells(cellsAfter);
  }
  virtualColumn_ = virtualColumn;
  MarkActiveLine();
  UpdateCaret();
  ensureCursorVisible();
  if (verticalScrollBar()->value() != scrolledBefore) DropCells();
}

void TextPane::KeepShapesOf(const QTextBlock& block) {
  // Qt lays out a block and then drops the shapes of its characters, so every caret position,
  // selection and row painted later shapes the whole block again. The caret's block is asked
  // about and repainted with every key: it keeps its shapes, and only it.
  QTextLayout* layout = block.layout();
  if (layout == nullptr) return;
  if (shaped_.isNull() || shaped_.document() != document() || shaped_.block() != block) {
    if (QTextLayout* old = shaped_.isNull() ? nullptr : shaped_.block().layout()) {
      old->setCacheEnabled(false);
    }
    shaped_ = QTextCursor(block);
  }
  // Set every time: a block emptied and written anew gets a new layout.
  layout->setCacheEnabled(true);
}

void TextPane::SetCaret(int line, int column) {
  PlaceCursor(line, column, false);
}

void TextPane::SelectCharacter(int line, int column) {
  PlaceCursor(line, column, true);
}

int TextPane::CaretLine() const {
  return lines_.Empty() ? 1 : lines_.LineOfBlock(textCursor().blockNumber()) + 1;
}

int TextPane::CaretColumn() const {
  if (virtualColumn_ > 0) return virtualColumn_;
  return lines_.ColumnAt(textCursor().position()) + 1;
}

std::string TextPane::SelectedText() const {
  // Lines as the lesson stores them: a selection across a line end holds CR LF.
  const QTextCursor cursor = textCursor();
  return FromQ(lines_.TextBetween(cursor.selectionStart(), cursor.selectionEnd(), u"\r\n"));
}

QMimeData* TextPane::createMimeDataFromSelection() const {
  const QTextCursor cursor = textCursor();
  auto data = std::make_unique<QMimeData>();
  data->setText(lines_.TextBetween(cursor.selectionStart(), cursor.selectionEnd(), u"\n"));
  return data.release();  // the caller owns it
}

void TextPane::HighlightOffset(int offset) {
  if (LineCount() == 0) {
    SetCaret(1, 1);
    return;
  }
  offset = std::max(0, offset);
  // From the line found last time: a highlight moving along the text costs by the distance it
  // moves rather than by the length of the text.
  LocateOffset(
      offset, LineCount(), [this](int line) { return LineLength(line); }, hint_);
  const int line = hint_.line;
  const int start = static_cast<int>(hint_.start);
  const int length = LineLength(line);
  const int column = offset - start;
  if (column < length) {
    SelectCharacter(line + 1, column + 1);
  } else {
    SetCaret(line + 1, length + 2);
  }
}

// ---- look --------------------------------------------------------------------------------

void TextPane::SetPaneFont(const QFont& font) {
  const QFont shown = WithinPaneSizes(font);
  // A window applying its settings again sets the font the pane has: nothing to lay out anew.
  if (testAttribute(Qt::WA_SetFont) && shown == paneFont_) return;
  DropCells();
  paneFont_ = shown;
  // Drawn through the installed family that stands for the name (as Qt would find it), and,
  // where that has every character of the code page a lesson is written in, without Qt's search
  // for fonts to borrow missing characters from.
  QFont drawn = paneFont_;
  drawn.setFamily(InstalledFamily(drawn.family()));
  setFont(WithoutFallback(drawn, Cp1250Characters()));
  UpdateCaret();
}

QFont TextPane::WithinPaneSizes(const QFont& font) {
  QFont shown(font);
  if (font.pointSizeF() > 0) {
    const qreal points =
        std::clamp(font.pointSizeF(), qreal{kMinPaneFontSize}, qreal{kMaxPaneFontSize});
    if (points != font.pointSizeF()) shown.setPointSizeF(points);
  } else if (font.pixelSize() > 0) {
    // Pixels at 96 per inch, as the program's windows are designed.
    const int pixels =
        std::clamp(font.pixelSize(), (kMinPaneFontSize * 96 + 71) / 72, kMaxPaneFontSize * 96 / 72);
    if (pixels != font.pixelSize()) shown.setPixelSize(pixels);
  }
  return shown;
}

void TextPane::SetFontColor(const QColor& color) {
  fontColor_ = color;
  ApplyPalette();
}

void TextPane::SetActiveLineColor(const QColor& color) {
  if (color == activeLineColor_) return;
  activeLineColor_ = color;
  DropCells();
  viewport()->update();
}

void TextPane::SetSelectedColor(const QColor& color) {
  selectedColor_ = color;
  ApplyPalette();
}

void TextPane::SetBackgroundColor(const QColor& color) {
  backgroundColor_ = color;
  ApplyPalette();
}

void TextPane::ApplyPalette() {
  // The inactive colours equal the active ones: a selection stays visible, unchanged, while
  // the pane does not have the focus.
  DropCells();
  QPalette pal = palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, QPalette::Text, fontColor_);
    pal.setColor(group, QPalette::Base, backgroundColor_);
    pal.setColor(group, QPalette::Highlight, selectedColor_);
    pal.setColor(group, QPalette::HighlightedText,
                 QGuiApplication::palette().color(QPalette::Active, QPalette::HighlightedText));
  }
  setPalette(pal);
}

void TextPane::MarkActiveLine(bool blocksKept) {
  // The marked line is painted under the text (PaintActiveLine). The rows of the old line are
  // found by their block numbers, which hold only while no change has moved blocks about.
  const bool kept = blocksKept || !changedSinceMark_;
  changedSinceMark_ = false;
  const auto [first, last] = CaretSegments();
  if (first == markedFirst_ && last == markedLast_) return;
  DropCells();
  if (kept && markedFirst_ >= 0) {
    viewport()->update(RowsOf(markedFirst_, markedLast_));
    viewport()->update(RowsOf(first, last));
  } else {
    viewport()->update();
  }
  markedFirst_ = first;
  markedLast_ = last;
}

QRect TextPane::RowsOf(int first, int last) const {
  QRectF rows;
  const QPointF offset = contentOffset();
  const int height = viewport()->height();
  for (QTextBlock block = document()->findBlockByNumber(first);
       block.isValid() && block.blockNumber() <= last; block = block.next()) {
    const QRectF box = blockBoundingGeometry(block).translated(offset);
    if (box.top() > height) break;
    if (box.bottom() >= 0) rows |= box;
  }
  if (rows.isEmpty()) return {};
  return QRectF(0, rows.top(), viewport()->width(), rows.height()).toAlignedRect();
}

void TextPane::PaintActiveLine(QPaintEvent* event) {
  // Every wrapped row of the stored line holding the caret, across the full width.
  const auto [first, last] = CaretSegments();
  QPainter painter(viewport());
  painter.setClipRect(event->rect());
  // Block after block from the top, as QPlainTextEdit paints them: blockBoundingGeometry
  // would count the rows from the top again for each block.
  QPointF offset = contentOffset();
  for (QTextBlock block = firstVisibleBlock(); block.isValid() && block.blockNumber() <= last;
       block = block.next()) {
    const QRectF box = blockBoundingRect(block).translated(offset);
    offset.ry() += box.height();
    if (box.top() > event->rect().bottom()) break;
    if (block.blockNumber() < first || !block.isVisible() || !block.layout()) continue;
    const QRectF rows = block.layout()->boundingRect();
    painter.fillRect(QRectF(0, box.top() + rows.top(), viewport()->width(), rows.height()),
                     activeLineColor_);
  }
}

void TextPane::KeepUndoHistory() {
  keepsHistory_ = true;
  lines_.KeepLinesWhole();
  setUndoRedoEnabled(true);
}

void TextPane::SetInsertMode(bool insert) {
  DropCells();
  setOverwriteMode(!insert);
  UpdateCaret();
}

// ---- caret drawing -----------------------------------------------------------------------

qreal TextPane::CharacterWidth() const {
  // Columns beyond the end of a line are as wide as an average character, unrounded, so that
  // in a fixed-pitch font they line up with the characters above and below.
  if (!characterWidth_) characterWidth_ = std::max(1.0, QFontMetricsF(font()).averageCharWidth());
  return *characterWidth_;
}

QRect TextPane::CaretRectangle() const {
  const QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const QTextLayout* layout = block.layout();
  const int position = cursor.positionInBlock();
  const QTextLine row = layout ? layout->lineForTextPosition(position) : QTextLine();
  if (!row.isValid()) return {};
  const QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft();
  qreal x = row.cursorToX(position);
  qreal width = kBarCaretWidth;
  const int length = block.length() - 1;
  if (virtualColumn_ > 0) {
    x += (virtualColumn_ - 1 - lines_.ColumnAt(cursor.position())) * CharacterWidth();
  }
  if (overwriteMode()) {
    width = virtualColumn_ == 0 && position < length ? row.cursorToX(position + 1) - x
                                                     : CharacterWidth();
  }
  return QRectF(origin.x() + x, origin.y() + row.y(), width, row.height()).toAlignedRect();
}

void TextPane::UpdateCaret() {
  // The rows of the old and the new caret, across the width: the old rectangle may lie on a
  // row laid out anew since it was drawn.
  const int width = viewport()->width();
  const int spare = qCeil(CharacterWidth());
  if (!paintedCaret_.isNull()) {
    viewport()->update(QRect(0, paintedCaret_.top(), width, paintedCaret_.height()));
    NoteCells(paintedCaret_.adjusted(-spare, 0, spare, 0));
  }
  const QRect caret = CaretRectangle();
  if (!caret.isNull()) {
    viewport()->update(QRect(0, caret.top(), width, caret.height()));
    NoteCells(caret.adjusted(-spare, 0, spare, 0));
  }
}

void TextPane::PaintCaret(QPaintEvent* event) {
  paintedCaret_ = QRect();
  if (!hasFocus()) return;
  const QRect caret = CaretRectangle();
  if (caret.isNull()) return;
  paintedCaret_ = caret;
  if (!event->rect().intersects(caret)) return;
  QPainter painter(viewport());
  painter.setClipRect(event->rect());
  painter.fillRect(caret, palette().text());
  const QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const int position = cursor.positionInBlock();
  if (!overwriteMode() || virtualColumn_ > 0 || position >= block.length() - 1) return;
  // The block caret over a character shows the character in the background colour.
  QTextLayout::FormatRange inverse;
  inverse.start = position;
  inverse.length = 1;
  inverse.format.setForeground(palette().base());
  inverse.format.setBackground(palette().text());
  painter.setClipRect(caret, Qt::IntersectClip);
  block.layout()->draw(&painter, blockBoundingGeometry(block).translated(contentOffset()).topLeft(),
                       {inverse}, caret);
}

void TextPane::paintEvent(QPaintEvent* event) {
  const bool cellsOnly = changes_ == Changes::Cells && (event->region() - changedRows_).isEmpty();
  const QRegion cells = event->region() & changedCells_;
  changes_ = Changes::None;
  changedCells_ = QRegion();
  changedRows_ = QRegion();
  if (!cellsOnly) {
    PaintArea(event);
    return;
  }
  for (const QRect& rect : cells) {
    QPaintEvent part(rect);
    PaintArea(&part, true);
  }
}

void TextPane::PaintArea(QPaintEvent* event, bool cellsOnly) {
  {
    QPainter painter(viewport());
    const QBrush background = viewport()->palette().brush(viewport()->backgroundRole());
    for (const QRect& rect : event->region()) painter.fillRect(rect, background);
  }
  PaintActiveLine(event);
  if (!cellsOnly || !PaintTextIn(event->rect())) QPlainTextEdit::paintEvent(event);
  PaintCaret(event);
}

QRect TextPane::CellsOf(const QTextCursor& cursor) const {
  const QTextBlock block = cursor.block();
  const int start = cursor.selectionStart() - block.position();
  const int end = cursor.selectionEnd() - block.position();
  if (start < 0 || end > block.length() - 1) return {};
  // A selection changes only the pixels of its own cells: the background, and the ink of any
  // character within them in the selection's colour; the ink of its characters beyond them is
  // drawn as if they were not selected.
  return CellsAt(block, start, end, cursor.hasSelection() ? 0 : CharacterWidth());
}

QRect TextPane::CellsAt(const QTextBlock& block, int positionInBlock, int endInBlock,
                        qreal spare) const {
  const QTextLayout* layout = block.isVisible() ? block.layout() : nullptr;
  const QTextLine row = layout ? layout->lineForTextPosition(positionInBlock) : QTextLine();
  if (!row.isValid() || endInBlock > row.textStart() + row.textLength()) return {};
  const QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft();
  const qreal left = origin.x() + row.cursorToX(positionInBlock) - spare;
  const qreal right = origin.x() + row.cursorToX(endInBlock) + spare;
  return QRectF(left, origin.y() + row.y(), right - left, row.height()).toAlignedRect();
}

void TextPane::NoteCells(const QRect& cells) {
  if (changes_ == Changes::Wide) return;
  if (cells.isEmpty()) {
    DropCells();
    return;
  }
  changes_ = Changes::Cells;
  changedCells_ += cells;
  // Qt repaints a row with the block's margin and a pixel more around it.
  const int around = qCeil(document()->documentMargin()) + 2;
  changedRows_ += QRect(0, cells.top() - around, viewport()->width(), cells.height() + 2 * around);
}

void TextPane::focusInEvent(QFocusEvent* event) {
  DropCells();
  QPlainTextEdit::focusInEvent(event);
  UpdateCaret();
}

void TextPane::focusOutEvent(QFocusEvent* event) {
  DropCells();
  QPlainTextEdit::focusOutEvent(event);
  UpdateCaret();
}

// ---- keys and mouse ----------------------------------------------------------------------

void TextPane::RemoveKeyBinding(const QKeySequence& keys) {
  bindings_.Remove(keys);
  if (bindings_.StandardRemoved()) setContextMenuPolicy(Qt::NoContextMenu);
}

bool TextPane::IsBindingRemoved(const QKeySequence& keys) const {
  return bindings_.IsRemoved(keys);
}

void TextPane::RemoveStandardKeyBindings() {
  bindings_.RemoveStandard();
  if (bindings_.StandardRemoved()) setContextMenuPolicy(Qt::NoContextMenu);
}

bool TextPane::event(QEvent* event) {
  // The window's shortcuts come before the pane's own keys: the pane never claims a key
  // combination that is also a command's shortcut.
  // A key Qt has no name for (under Wine AltGr comes so) would be taken by the shortcut map as
  // the start of every shortcut, and the character typed next with it: the pane keeps it.
  // A key that only types a character (no Ctrl, Alt or Meta with it) is no command's shortcut
  // either: the pane claims it, which spares the search through the window's shortcuts.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    event->setAccepted(key->key() == 0 || TypesOnly(key));
    return true;
  }
  // Tab without a binding moves the focus along the window's tab order.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && bindings_.IsRemoved(key)) {
      focusNextPrevChild(CombinationOf(key).keyboardModifiers() == Qt::NoModifier);
      return true;
    }
  }
  return QPlainTextEdit::event(event);
}

void TextPane::keyPressEvent(QKeyEvent* event) {
  if (bindings_.Swallows(event)) {
    event->accept();
    return;
  }
  // A read-only pane takes no typed character: QPlainTextEdit would look the key up among its
  // editing keys only to pass it on. (Space it takes for scrolling by a page.)
  if (isReadOnly() && TypesOnly(event) && event->key() != Qt::Key_Space) {
    event->ignore();
    return;
  }
  if (CombinationOf(event) == QKeyCombination(Qt::Key_Insert)) {
    SetInsertMode(!InsertMode());
    event->accept();
    return;
  }
  if (keepsHistory_ && !isReadOnly() && (IsUndoKey(event) || IsRedoKey(event))) {
    if (IsUndoKey(event)) {
      undo();
    } else {
      redo();
    }
    event->accept();
    return;
  }
  const QString text = event->text();
  if (!isReadOnly()) {
    if (event->matches(QKeySequence::InsertLineSeparator)) {
      // A line break inside a line has no place in stored lines: Shift+Enter breaks the line as
      // Enter does.
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
      QPlainTextEdit::keyPressEvent(&enter);
      event->accept();
      return;
    }
    // Control characters a key carries are never inserted; other characters only when the
    // lines can store them.
    QString refused;
    KeepCp1250(text, refused);
    if (!refused.isEmpty()) {
      emit textRefused(refused);
      event->accept();
      return;
    }
  }
  if (!isReadOnly() && !text.isEmpty() && text.front().isPrint()) FillUpToVirtualCaret();
  if (!isReadOnly()) CrossSegmentEnd(event);
  QPlainTextEdit::keyPressEvent(event);
}

void TextPane::FillUpToVirtualCaret() {
  if (virtualColumn_ == 0) return;
  QTextCursor cursor = textCursor();
  cursor.insertText(QString(virtualColumn_ - 1 - lines_.ColumnAt(cursor.position()), u' '));
  setTextCursor(cursor);
}

QString TextPane::Storable(const QString& text) {
  QString refused;
  QString kept = KeepStorable(text, refused);
  if (!refused.isEmpty()) emit textRefused(refused);
  return kept;
}

void TextPane::inputMethodEvent(QInputMethodEvent* event) {
  if (isReadOnly() || event->commitString().isEmpty()) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  const QString kept = Storable(event->commitString());
  if (!kept.isEmpty()) FillUpToVirtualCaret();
  if (kept == event->commitString()) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent storable(event->preeditString(), event->attributes());
  storable.setCommitString(kept, event->replacementStart(), event->replacementLength());
  QPlainTextEdit::inputMethodEvent(&storable);
  event->accept();
}

void TextPane::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly() || source == nullptr || !source->hasText()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  // Line and paragraph separators break lines as line feeds do.
  QString text = source->text();
  text.replace(QChar::LineSeparator, u'\n').replace(QChar::ParagraphSeparator, u'\n');
  QMimeData storable;
  storable.setText(Storable(text));
  if (storable.text().isEmpty()) return;
  FillUpToVirtualCaret();
  QPlainTextEdit::insertFromMimeData(&storable);
}

void TextPane::CrossSegmentEnd(const QKeyEvent* event) {
  // A segment end is no character: a key that deletes or steps over one character next to the
  // caret acts on the character beyond the segment end.
  QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const bool atStart = cursor.positionInBlock() == 0 && SegmentedLines::IsContinuation(block);
  const bool atEnd = cursor.positionInBlock() == block.length() - 1 &&
                     SegmentedLines::IsContinuation(block.next());
  if (!atStart && !atEnd) return;
  const bool backward = atStart && (event->key() == Qt::Key_Backspace ||
                                    event->matches(QKeySequence::MoveToPreviousChar) ||
                                    event->matches(QKeySequence::SelectPreviousChar));
  const bool forward =
      atEnd && (event->key() == Qt::Key_Delete || event->matches(QKeySequence::MoveToNextChar) ||
                event->matches(QKeySequence::SelectNextChar));
  if (!backward && !forward) return;
  if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
    if (!cursor.hasSelection()) JoinWithNextSegment(backward ? block.previous() : block);
    return;
  }
  const auto mode = event->matches(QKeySequence::SelectPreviousChar) ||
                            event->matches(QKeySequence::SelectNextChar)
                        ? QTextCursor::KeepAnchor
                        : QTextCursor::MoveAnchor;
  cursor.setPosition(cursor.position() + (backward ? -1 : 1), mode);
  setTextCursor(cursor);
}

void TextPane::JoinWithNextSegment(const QTextBlock& block) {
  const QScopedValueRollback writing(writing_, true);
  lines_.JoinWithNext(block);
  IndexChanged();
}

void TextPane::PlaceVirtualCaretAt(const QPoint& point) {
  // A click right of the end of a line puts the caret there, beyond the end, at the column
  // boundary nearest to the click.
  const QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const int length = block.length() - 1;
  if (cursor.hasSelection() || cursor.positionInBlock() != length || !block.layout() ||
      SegmentedLines::IsContinuation(block.next())) {
    return;
  }
  const QTextLine row = block.layout()->lineForTextPosition(length);
  if (!row.isValid()) return;
  const QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft();
  const qreal top = origin.y() + row.y();
  const bool onRow = point.y() >= top && point.y() < top + row.height();
  const bool belowText = point.y() >= top && !block.next().isValid();
  if (!onRow && !belowText) return;
  const qreal end = origin.x() + row.cursorToX(length);
  const int beyond = qRound((point.x() - end) / CharacterWidth());
  if (beyond < 1) return;
  virtualColumn_ = lines_.ColumnAt(block.position() + length) + 1 + beyond;
}

void TextPane::mousePressEvent(QMouseEvent* event) {
  DropCells();
  QPlainTextEdit::mousePressEvent(event);
  if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier)) {
    virtualColumn_ = 0;
    PlaceVirtualCaretAt(event->position().toPoint());
    UpdateCaret();
  }
}

void TextPane::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit clicked();
}

// ---- gutter ------------------------------------------------------------------------------

int TextPane::GutterWidth() const {
  return gutter_->WidthFor(LineCount());
}

void TextPane::SetGutterDigits(int digits) {
  gutter_->SetMinimumDigits(digits);
  UpdateGutterWidth(LineCount());
}

void TextPane::UpdateGutterWidth(int lines) {
  // A new width lays out every line again: only when the number of digits changes.
  const int width = gutter_->WidthFor(lines);
  if (width == gutterWidth_) return;
  gutterWidth_ = width;
  setViewportMargins(width, 0, 0, 0);
  const QRect area = contentsRect();
  gutter_->setGeometry(QRect(area.left(), area.top(), width, area.height()));
}

void TextPane::UpdateGutter(const QRect& rect, int dy) {
  // The numbers move only with the rows: when the view scrolls, or when the text is laid out
  // anew, which Qt repaints as a whole. A row repainted in place keeps its number.
  if (dy != 0) {
    gutter_->scroll(0, dy);
  } else if (rect.contains(viewport()->rect())) {
    gutter_->update();
  }
}

void TextPane::resizeEvent(QResizeEvent* event) {
  DropCells();
  DropGlyphs();
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  gutter_->setGeometry(QRect(area.left(), area.top(), gutterWidth_, area.height()));
}

void TextPane::scrollContentsBy(int dx, int dy) {
  DropCells();
  QPlainTextEdit::scrollContentsBy(dx, dy);
}

std::vector<LineNumberGutter::Number> TextPane::GutterNumbers(int bottom) const {
  QTextBlock block = firstVisibleBlock();
  const auto topOf = [this](const QTextBlock& b) {
    return qRound(blockBoundingGeometry(b).translated(contentOffset()).top());
  };
  // An empty pane shows the number of the line its caret stands on.
  if (LineCount() == 0) return {{1, topOf(block)}};
  // Numbers stand at the first segment of every stored line.
  std::vector<LineNumberGutter::Number> numbers;
  int line = lines_.LineOfBlock(block.blockNumber());
  int top = topOf(block);
  while (block.isValid() && top <= bottom) {
    const int number = block.blockNumber();
    while (line + 1 < LineCount() && lines_.FirstBlockNumber(line + 1) <= number) ++line;
    if (block.isVisible() && lines_.FirstBlockNumber(line) == number) {
      numbers.push_back({line + 1, top});
    }
    top += qRound(blockBoundingRect(block).height());
    block = block.next();
  }
  return numbers;
}

}  // namespace pekto
