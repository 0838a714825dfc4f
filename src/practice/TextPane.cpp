#include "practice/TextPane.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <array>

#include "platform/Colors.h"
#include "platform/Cp1250.h"
#include "platform/QtText.h"

namespace pekto {

// The line-number gutter at the pane's left edge.
class LineNumberGutter : public QWidget {
 public:
  explicit LineNumberGutter(TextPane* pane) : QWidget(pane), pane_(pane) {}
  QSize sizeHint() const override { return QSize(pane_->GutterWidth(), 0); }

 protected:
  void paintEvent(QPaintEvent* event) override { pane_->PaintGutter(event); }

 private:
  TextPane* pane_;
};

namespace {

constexpr int kGutterDigits = 3;       // room for at least this many digits
constexpr int kGutterRightOffset = 3;  // between the numbers and the text
constexpr int kBarCaretWidth = 2;

QFont GutterFont() {
  QFont font(QStringLiteral("Courier New"));
  font.setBold(true);
  font.setPixelSize(13);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

// One key combination in the form the bindings are kept in: Shift+Tab arrives as Backtab, the
// keypad's Enter is the same as Return, and the keypad flag does not count.
QKeyCombination Normalized(Qt::KeyboardModifiers modifiers, Qt::Key key) {
  modifiers &= Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (key == Qt::Key_Backtab) {
    key = Qt::Key_Tab;
    modifiers |= Qt::ShiftModifier;
  }
  if (key == Qt::Key_Enter) key = Qt::Key_Return;
  return QKeyCombination(modifiers, key);
}

QKeyCombination CombinationOf(const QKeyEvent* event) {
  return Normalized(event->modifiers(), static_cast<Qt::Key>(event->key()));
}

std::vector<QKeySequence> MakeStandardBindings() {
  using K = Qt::Key;
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier,
                              ctrl = Qt::ControlModifier, alt = Qt::AltModifier,
                              ctrlShift = ctrl | shift;
  std::vector<QKeySequence> keys;
  const auto add = [&keys](Qt::KeyboardModifiers mods, K key) {
    keys.emplace_back(QKeyCombination(mods, key));
  };
  add(none, K::Key_Return);  // line break: the one binding the typing pane keeps
  // Caret movement, selection and word steps.
  for (const K key : {K::Key_Up, K::Key_Down, K::Key_Left, K::Key_Right}) add(none, key);
  for (const K key : {K::Key_Up, K::Key_Down, K::Key_Left, K::Key_Right}) add(shift, key);
  add(ctrl, K::Key_Left);
  add(ctrl, K::Key_Right);
  add(ctrlShift, K::Key_Left);
  add(ctrlShift, K::Key_Right);
  // Scrolling by a line.
  add(ctrl, K::Key_Up);
  add(ctrl, K::Key_Down);
  // Pages, line start and end, text start and end, with and without selection.
  for (const K key : {K::Key_PageUp, K::Key_PageDown, K::Key_Home, K::Key_End}) {
    for (const auto mods : {none, shift, ctrl, ctrlShift}) add(mods, key);
  }
  add(none, K::Key_Insert);  // insert or overwrite mode
  add(ctrl, K::Key_Insert);  // copy
  add(ctrl, K::Key_C);
  add(shift, K::Key_Delete);  // cut
  add(ctrl, K::Key_X);
  add(shift, K::Key_Insert);  // paste
  add(ctrl, K::Key_V);
  add(none, K::Key_Delete);
  add(none, K::Key_Backspace);
  add(shift, K::Key_Backspace);
  add(ctrl, K::Key_Backspace);
  add(alt, K::Key_Backspace);  // undo
  add(ctrl, K::Key_Z);
  add(alt | shift, K::Key_Backspace);  // redo
  add(ctrlShift, K::Key_Z);
  add(shift, K::Key_Return);  // line break
  add(ctrl, K::Key_M);
  add(ctrl, K::Key_N);  // insert line
  add(ctrl, K::Key_T);  // delete word, line, to line end
  add(ctrl, K::Key_Y);
  add(ctrlShift, K::Key_Y);
  add(none, K::Key_Tab);
  add(shift, K::Key_Tab);
  add(ctrlShift, K::Key_I);  // block indent and unindent
  add(ctrlShift, K::Key_U);
  add(none, K::Key_F1);
  add(ctrl, K::Key_A);
  for (int digit = 0; digit <= 9; ++digit) add(ctrl, static_cast<K>(K::Key_0 + digit));
  for (int digit = 0; digit <= 9; ++digit) add(ctrlShift, static_cast<K>(K::Key_0 + digit));
  add(ctrlShift, K::Key_N);  // selection modes
  add(ctrlShift, K::Key_C);
  add(ctrlShift, K::Key_L);
  add(ctrlShift, K::Key_B);  // matching bracket
  return keys;
}

// The platform's keys for the commands the standard bindings stand for; a pane without its
// standard bindings ignores these too, whatever keys the platform gives them.
constexpr std::array kEditingKeys = {
    QKeySequence::Copy,
    QKeySequence::Cut,
    QKeySequence::Paste,
    QKeySequence::Undo,
    QKeySequence::Redo,
    QKeySequence::SelectAll,
    QKeySequence::Delete,
    QKeySequence::Backspace,
    QKeySequence::DeleteStartOfWord,
    QKeySequence::DeleteEndOfWord,
    QKeySequence::DeleteEndOfLine,
    QKeySequence::DeleteCompleteLine,
    QKeySequence::InsertLineSeparator,
    QKeySequence::MoveToNextChar,
    QKeySequence::MoveToPreviousChar,
    QKeySequence::MoveToNextWord,
    QKeySequence::MoveToPreviousWord,
    QKeySequence::MoveToNextLine,
    QKeySequence::MoveToPreviousLine,
    QKeySequence::MoveToNextPage,
    QKeySequence::MoveToPreviousPage,
    QKeySequence::MoveToStartOfLine,
    QKeySequence::MoveToEndOfLine,
    QKeySequence::MoveToStartOfBlock,
    QKeySequence::MoveToEndOfBlock,
    QKeySequence::MoveToStartOfDocument,
    QKeySequence::MoveToEndOfDocument,
    QKeySequence::SelectNextChar,
    QKeySequence::SelectPreviousChar,
    QKeySequence::SelectNextWord,
    QKeySequence::SelectPreviousWord,
    QKeySequence::SelectNextLine,
    QKeySequence::SelectPreviousLine,
    QKeySequence::SelectNextPage,
    QKeySequence::SelectPreviousPage,
    QKeySequence::SelectStartOfLine,
    QKeySequence::SelectEndOfLine,
    QKeySequence::SelectStartOfBlock,
    QKeySequence::SelectEndOfBlock,
    QKeySequence::SelectStartOfDocument,
    QKeySequence::SelectEndOfDocument,
    QKeySequence::Deselect,
};

// The text of a whole list of lines joined with line breaks, converted in one buffer.
QString JoinedText(const std::vector<std::string>& lines) {
  qsizetype size = static_cast<qsizetype>(lines.size()) - 1;
  for (const auto& line : lines) size += static_cast<qsizetype>(line.size());
  QString text(size, Qt::Uninitialized);
  QChar* out = text.data();
  bool first = true;
  for (const auto& line : lines) {
    if (!first) *out++ = u'\n';
    first = false;
    for (const char ch : line) {
      *out++ = QChar(static_cast<char16_t>(cp1250::ToUnicode(static_cast<unsigned char>(ch))));
    }
  }
  return text;
}

}  // namespace

TextPane::TextPane(QWidget* parent) : QPlainTextEdit(parent), gutter_(new LineNumberGutter(this)) {
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
  document()->setDocumentMargin(2);
  connect(document(), &QTextDocument::contentsChange, this, [this] { DocumentChanged(); });
  connect(this, &QPlainTextEdit::blockCountChanged, this,
          [this](int count) { UpdateGutterWidth(count); });
  connect(this, &QPlainTextEdit::updateRequest, this,
          [this](const QRect& rect, int dy) { UpdateGutter(rect, dy); });
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (!placingCaret_) {
      virtualColumn_ = 0;
      MarkActiveLine();
      UpdateCaret();
    }
  });
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setBold(true);
  font.setPixelSize(19);
  SetPaneFont(font);
  ApplyPalette();
  UpdateGutterWidth(document()->blockCount());
  MarkActiveLine();
}

// ---- lines -------------------------------------------------------------------------------

QTextBlock TextPane::BlockAt(int index) const {
  return document()->findBlockByNumber(index);
}

void TextPane::DocumentChanged() {
  hintLine_ = -1;
  markedStart_ = -1;  // clearing the text also drops the marks
  // An edit by the user in an editable pane: an emptied text has no lines, any text has some.
  if (!writing_) empty_ = document()->isEmpty();
}

int TextPane::LineCount() const {
  return empty_ ? 0 : document()->blockCount();
}

std::string TextPane::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  return FromQ(BlockAt(index).text());
}

int TextPane::LineLength(int index) const {
  if (index < 0 || index >= LineCount()) return 0;
  return BlockAt(index).length() - 1;
}

void TextPane::ReplaceLine(int index, std::string_view text) {
  if (index == LineCount()) {
    AppendLine(text);
    return;
  }
  if (index < 0 || index > LineCount()) return;
  const QScopedValueRollback writing(writing_, true);
  const QTextBlock block = BlockAt(index);
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(ToQ(text));
}

void TextPane::AppendLine(std::string_view text) {
  const QScopedValueRollback writing(writing_, true);
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  if (!empty_) cursor.insertBlock();
  empty_ = false;
  cursor.insertText(ToQ(text));
}

void TextPane::AppendLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const bool wasEmpty = empty_;
  {
    const QScopedValueRollback writing(writing_, true);
    // The gutter takes its new width while the text is short, not after the insertion, when
    // the new width would lay out the whole text once more.
    UpdateGutterWidth(LineCount() + static_cast<int>(lines.size()));
    // One insertion at the end: cheaper for a long text than setPlainText, which also applies
    // a character format to the whole text.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(wasEmpty ? JoinedText(lines) : JoinedText(lines).prepend(u'\n'));
    empty_ = false;
  }
  // The caret stood at the very end of an empty pane and went along with the new text.
  if (wasEmpty) SetCaret(1, 1);
}

void TextPane::AppendToLine(int index, std::string_view text) {
  if (index < 0 || index >= LineCount()) return;
  const QScopedValueRollback writing(writing_, true);
  const QTextBlock block = BlockAt(index);
  QTextCursor cursor(document());
  cursor.setPosition(block.position() + block.length() - 1);
  cursor.insertText(ToQ(text));
}

void TextPane::Clear() {
  const QScopedValueRollback writing(writing_, true);
  clear();
  empty_ = true;
  virtualColumn_ = 0;
  MarkActiveLine();
  UpdateCaret();
}

std::vector<std::string> TextPane::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(LineCount()));
  for (QTextBlock b = document()->begin(); !empty_ && b.isValid(); b = b.next()) {
    lines.push_back(FromQ(b.text()));
  }
  return lines;
}

// ---- caret and selection -----------------------------------------------------------------

void TextPane::PlaceCursor(int line, int column, bool selectOne) {
  line = std::clamp(line, 1, std::max(1, LineCount()));
  column = std::max(1, column);
  const QTextBlock block = BlockAt(line - 1);
  const int length = block.length() - 1;
  QTextCursor cursor(block);
  int virtualColumn = 0;
  if (selectOne && column <= length) {
    cursor.setPosition(block.position() + column - 1);
    cursor.setPosition(block.position() + column, QTextCursor::KeepAnchor);
  } else {
    cursor.setPosition(block.position() + std::min(column - 1, length));
    if (column - 1 > length) virtualColumn = column;
  }
  {
    const QScopedValueRollback placing(placingCaret_, true);
    setTextCursor(cursor);
  }
  virtualColumn_ = virtualColumn;
  MarkActiveLine();
  UpdateCaret();
  ensureCursorVisible();
}

void TextPane::SetCaret(int line, int column) {
  PlaceCursor(line, column, false);
}

void TextPane::SelectCharacter(int line, int column) {
  PlaceCursor(line, column, true);
}

int TextPane::CaretLine() const {
  return textCursor().blockNumber() + 1;
}

int TextPane::CaretColumn() const {
  if (virtualColumn_ > 0) return virtualColumn_;
  return textCursor().positionInBlock() + 1;
}

std::string TextPane::SelectedText() const {
  return FromQ(textCursor().selectedText());
}

void TextPane::HighlightOffset(int offset) {
  if (LineCount() == 0) {
    SetCaret(1, 1);
    return;
  }
  offset = std::max(0, offset);
  // Walk from the line found last time, so that a highlight moving along the text costs by the
  // distance it moves rather than by the length of the text.
  QTextBlock block = hintLine_ >= 0 ? BlockAt(hintLine_) : document()->begin();
  int start = hintLine_ >= 0 ? hintStart_ : 0;
  while (offset < start && block.previous().isValid()) {
    block = block.previous();
    start -= block.length() + 1;  // the line and its two-character break
  }
  while (start + block.length() + 1 <= offset && block.next().isValid()) {
    start += block.length() + 1;
    block = block.next();
  }
  hintLine_ = block.blockNumber();
  hintStart_ = start;
  const int length = block.length() - 1;
  const int column = offset - start;
  if (column < length) {
    SelectCharacter(hintLine_ + 1, column + 1);
  } else {
    SetCaret(hintLine_ + 1, length + 2);
  }
}

// ---- look --------------------------------------------------------------------------------

void TextPane::SetPaneFont(const QFont& font) {
  setFont(font);
  UpdateCaret();
}

void TextPane::SetFontColor(int32_t color) {
  fontColor_ = color;
  ApplyPalette();
}

void TextPane::SetActiveLineColor(int32_t color) {
  activeLineColor_ = color;
  MarkActiveLine();
}

void TextPane::SetSelectedColor(int32_t color) {
  selectedColor_ = color;
  ApplyPalette();
}

void TextPane::SetBackgroundColor(int32_t color) {
  backgroundColor_ = color;
  ApplyPalette();
}

void TextPane::ApplyPalette() {
  // The inactive colours equal the active ones: a selection stays visible, unchanged, while
  // the pane does not have the focus.
  QPalette pal = palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, QPalette::Text, ColorFromValue(fontColor_));
    pal.setColor(group, QPalette::Base, ColorFromValue(backgroundColor_));
    pal.setColor(group, QPalette::Highlight, ColorFromValue(selectedColor_));
    pal.setColor(group, QPalette::HighlightedText,
                 QGuiApplication::palette().color(QPalette::Active, QPalette::HighlightedText));
  }
  setPalette(pal);
}

void TextPane::MarkActiveLine() {
  // The whole stored line holding the caret, all its wrapped rows, across the full width.
  const QTextBlock block = textCursor().block();
  const int start = block.position();
  const int end = start + block.length() - 1;
  if (start == markedStart_ && end == markedEnd_ && activeLineColor_ == markedColor_) return;
  markedStart_ = start;
  markedEnd_ = end;
  markedColor_ = activeLineColor_;
  QTextEdit::ExtraSelection rows;
  rows.format.setBackground(ColorFromValue(activeLineColor_));
  rows.format.setProperty(QTextFormat::FullWidthSelection, true);
  // A position alone marks the row that holds it, to the right edge; a range marks every row
  // it covers but stops at the end of the text on its last row. Both together cover the line.
  QTextEdit::ExtraSelection lastRow = rows;
  lastRow.cursor = QTextCursor(document());
  lastRow.cursor.setPosition(end);
  QList<QTextEdit::ExtraSelection> selections;
  if (end > start) {
    rows.cursor = QTextCursor(document());
    rows.cursor.setPosition(start);
    rows.cursor.setPosition(end, QTextCursor::KeepAnchor);
    selections.append(rows);
  }
  selections.append(lastRow);
  setExtraSelections(selections);
}

void TextPane::SetInsertMode(bool insert) {
  setOverwriteMode(!insert);
  UpdateCaret();
}

// ---- caret drawing -----------------------------------------------------------------------

qreal TextPane::CharacterWidth() const {
  // Columns beyond the end of a line are as wide as an average character, unrounded, so that
  // in a fixed-pitch font they line up with the characters above and below.
  return std::max(1.0, QFontMetricsF(font()).averageCharWidth());
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
    x += (virtualColumn_ - 1 - position) * CharacterWidth();
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
  if (!paintedCaret_.isNull()) {
    viewport()->update(QRect(0, paintedCaret_.top(), width, paintedCaret_.height()));
  }
  const QRect caret = CaretRectangle();
  if (!caret.isNull()) viewport()->update(QRect(0, caret.top(), width, caret.height()));
}

void TextPane::PaintCaret(QPaintEvent* event) {
  paintedCaret_ = QRect();
  if (!hasFocus()) return;
  const QRect caret = CaretRectangle();
  if (caret.isNull()) return;
  paintedCaret_ = caret;
  if (!event->rect().intersects(caret)) return;
  QPainter painter(viewport());
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
  painter.setClipRect(caret);
  block.layout()->draw(&painter, blockBoundingGeometry(block).translated(contentOffset()).topLeft(),
                       {inverse}, caret);
}

void TextPane::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  PaintCaret(event);
}

void TextPane::focusInEvent(QFocusEvent* event) {
  QPlainTextEdit::focusInEvent(event);
  UpdateCaret();
}

void TextPane::focusOutEvent(QFocusEvent* event) {
  QPlainTextEdit::focusOutEvent(event);
  UpdateCaret();
}

// ---- keys and mouse ----------------------------------------------------------------------

const std::vector<QKeySequence>& TextPane::StandardKeyBindings() {
  static const std::vector<QKeySequence> bindings = MakeStandardBindings();
  return bindings;
}

void TextPane::RemoveKeyBinding(const QKeySequence& keys) {
  if (keys.isEmpty()) return;
  removed_.insert(Normalized(keys[0].keyboardModifiers(), keys[0].key()).toCombined());
  const auto& standard = StandardKeyBindings();
  standardRemoved_ = std::all_of(standard.begin() + 1, standard.end(),
                                 [this](const QKeySequence& k) { return IsBindingRemoved(k); });
  if (standardRemoved_) setContextMenuPolicy(Qt::NoContextMenu);
}

bool TextPane::IsBindingRemoved(const QKeySequence& keys) const {
  return !keys.isEmpty() &&
         removed_.contains(Normalized(keys[0].keyboardModifiers(), keys[0].key()).toCombined());
}

void TextPane::RemoveStandardKeyBindings() {
  const auto& standard = StandardKeyBindings();
  for (auto it = standard.begin() + 1; it != standard.end(); ++it) RemoveKeyBinding(*it);
}

bool TextPane::Swallows(const QKeyEvent* event) const {
  if (removed_.contains(CombinationOf(event).toCombined())) return true;
  if (!standardRemoved_) return false;
  return std::any_of(kEditingKeys.begin(), kEditingKeys.end(),
                     [event](QKeySequence::StandardKey key) { return event->matches(key); });
}

bool TextPane::event(QEvent* event) {
  // The window's shortcuts come before the pane's own keys: the pane never claims a key
  // combination that is also a command's shortcut.
  if (event->type() == QEvent::ShortcutOverride) {
    event->ignore();
    return true;
  }
  // Tab without a binding moves the focus along the window's tab order.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        removed_.contains(CombinationOf(key).toCombined())) {
      focusNextPrevChild(CombinationOf(key).keyboardModifiers() == Qt::NoModifier);
      return true;
    }
  }
  return QPlainTextEdit::event(event);
}

void TextPane::keyPressEvent(QKeyEvent* event) {
  if (Swallows(event)) {
    event->accept();
    return;
  }
  if (CombinationOf(event) == QKeyCombination(Qt::Key_Insert)) {
    SetInsertMode(!InsertMode());
    event->accept();
    return;
  }
  // Typing at a caret beyond the end of its line first fills the line up to it with spaces.
  const QString text = event->text();
  if (virtualColumn_ > 0 && !isReadOnly() && !text.isEmpty() && text.front().isPrint()) {
    QTextCursor cursor = textCursor();
    cursor.insertText(QString(virtualColumn_ - 1 - cursor.positionInBlock(), u' '));
    setTextCursor(cursor);
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TextPane::PlaceVirtualCaretAt(const QPoint& point) {
  // A click right of the end of a line puts the caret there, beyond the end, at the column
  // boundary nearest to the click.
  const QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const int length = block.length() - 1;
  if (cursor.hasSelection() || cursor.positionInBlock() != length || !block.layout()) return;
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
  virtualColumn_ = length + 1 + beyond;
}

void TextPane::mousePressEvent(QMouseEvent* event) {
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
  return GutterWidthFor(document()->blockCount());
}

int TextPane::GutterWidthFor(int lines) {
  const int digits = std::max(kGutterDigits, static_cast<int>(QString::number(lines).size()));
  return QFontMetrics(GutterFont()).horizontalAdvance(u'9') * digits + kGutterRightOffset;
}

void TextPane::UpdateGutterWidth(int lines) {
  // A new width lays out every line again: only when the number of digits changes.
  const int width = GutterWidthFor(lines);
  if (width == gutterWidth_) return;
  gutterWidth_ = width;
  setViewportMargins(width, 0, 0, 0);
  const QRect area = contentsRect();
  gutter_->setGeometry(QRect(area.left(), area.top(), width, area.height()));
}

void TextPane::UpdateGutter(const QRect& rect, int dy) {
  if (dy != 0) {
    gutter_->scroll(0, dy);
  } else {
    gutter_->update(0, rect.y(), gutter_->width(), rect.height());
  }
}

void TextPane::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  gutter_->setGeometry(QRect(area.left(), area.top(), gutterWidth_, area.height()));
}

void TextPane::PaintGutter(QPaintEvent* event) {
  QPainter painter(gutter_);
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  if (empty_) return;
  painter.setFont(GutterFont());
  painter.setPen(palette().color(QPalette::Dark));
  const int lineHeight = QFontMetrics(GutterFont()).height();
  const int right = gutter_->width() - kGutterRightOffset;
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    if (block.isVisible()) {
      painter.drawText(0, top, right, lineHeight, Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    top += qRound(blockBoundingRect(block).height());
    block = block.next();
  }
}

}  // namespace pekto
