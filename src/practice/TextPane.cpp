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
#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <utility>

#include "base/PaneFontSize.h"
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

constexpr int kGutterRightOffset = 3;  // between the numbers and the text
constexpr int kBarCaretWidth = 2;

QFont GutterFont() {
  // Every style set, so that the numbers do not take the pane's italic or underline.
  QFont font(QStringLiteral("Courier New"));
  font.setBold(true);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
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

// A block whose user state is kContinued continues the stored line of the block before it.
constexpr int kContinued = 1;
constexpr int kLineStart = -1;  // a new block's state
// The longest segment a stored line is cut into when it is written as a whole. Qt measures a
// block by walking all its wrapped rows, dozens of times for one key, so a key costs more the
// more rows its segments have; each segment end also ends a row early. 1 KB (some twenty rows)
// keeps a key on a long line within one and a half times a key on a short one.
constexpr int kSegmentLength = 1024;
// The longest segment that characters are appended to one by one: each appended character lays
// it out again. It is cut where a wrapped row begins, so its ends do not show.
constexpr int kGrowingSegmentLength = 256;
constexpr qsizetype kInsertChunk = 1 << 20;

bool IsContinuation(const QTextBlock& block) {
  return block.isValid() && block.userState() == kContinued;
}

// Where the segment that starts at `start` ends: after the last blank of its second half, or at
// the length limit when that half holds none.
int SegmentEnd(std::string_view text, int start, int limit) {
  const int length = static_cast<int>(text.size());
  if (length - start <= limit) return length;
  for (int end = start + limit; end > start + limit / 2; --end) {
    if (text[static_cast<size_t>(end) - 1] == ' ') return end;
  }
  return start + limit;
}

// Calls `segment` with every segment of a stored line, in order; an empty line has one.
template <typename F>
void ForEachSegment(std::string_view line, int limit, F&& segment) {
  int start = 0;
  do {
    const int end = SegmentEnd(line, start, limit);
    segment(line.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
    start = end;
  } while (start < static_cast<int>(line.size()));
}

// A stored line as the text of its segments, a line feed at every segment end; and the count.
std::pair<QString, int> Segmented(std::string_view line, int limit) {
  QString text;
  text.reserve(static_cast<qsizetype>(line.size() + line.size() / limit));
  int segments = 0;
  ForEachSegment(line, limit, [&](std::string_view segment) {
    if (segments++ > 0) text += u'\n';
    AppendToQ(text, segment);
  });
  return {std::move(text), segments};
}

// Where a full segment that characters are appended to is cut when the pane has not laid it
// out: after its last blank in the second half, or at its end.
int GrowingSegmentCut(const QString& text) {
  const qsizetype blank = text.lastIndexOf(u' ');
  return blank >= text.size() / 2 ? static_cast<int>(blank + 1) : static_cast<int>(text.size());
}

// Undo and redo: Ctrl+Z and Alt+Backspace, Ctrl+Shift+Z and Alt+Shift+Backspace, and the keys
// the platform gives the two commands.
bool IsUndoKey(const QKeyEvent* event) {
  const QKeyCombination keys = CombinationOf(event);
  return keys == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
         keys == QKeyCombination(Qt::AltModifier, Qt::Key_Backspace) ||
         event->matches(QKeySequence::Undo);
}

bool IsRedoKey(const QKeyEvent* event) {
  const QKeyCombination keys = CombinationOf(event);
  return keys == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z) ||
         keys == QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, Qt::Key_Backspace) ||
         event->matches(QKeySequence::Redo);
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
  connect(document(), &QTextDocument::contentsChange, this,
          [this](int from, int, int added) { DocumentChanged(from, added); });
  connect(this, &QPlainTextEdit::updateRequest, this,
          [this](const QRect& rect, int dy) { UpdateGutter(rect, dy); });
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (placingCaret_) return;
    virtualColumn_ = 0;
    // While the pane writes, its lines are marked when the writing is done.
    if (writing_) return;
    MarkActiveLine();
    UpdateCaret();
  });
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setBold(true);
  font.setPixelSize(19);
  SetPaneFont(font);
  ApplyPalette();
  UpdateGutterWidth(0);
  MarkActiveLine();
}

// ---- stored lines over segments ------------------------------------------------------------

QTextBlock TextPane::FirstSegment(int line) const {
  return document()->findBlockByNumber(lineBlocks_[static_cast<size_t>(line)]);
}

int TextPane::LastSegmentNumber(int line) const {
  const auto next = static_cast<size_t>(line) + 1;
  return next < lineBlocks_.size() ? lineBlocks_[next] - 1 : document()->blockCount() - 1;
}

int TextPane::LineOfBlock(int blockNumber) const {
  const auto after = std::upper_bound(lineBlocks_.begin(), lineBlocks_.end(), blockNumber);
  return std::max(0, static_cast<int>(after - lineBlocks_.begin()) - 1);
}

int TextPane::ColumnAt(int position) const {
  if (empty_) return position;
  const QTextBlock block = document()->findBlock(position);
  const QTextBlock first = FirstSegment(LineOfBlock(block.blockNumber()));
  // Each segment end before the position takes one document position.
  return position - first.position() - (block.blockNumber() - first.blockNumber());
}

int TextPane::PositionOf(int line, int column) const {
  const QTextBlock first = FirstSegment(line);
  const int firstNumber = first.blockNumber();
  const auto segmentStart = [&](const QTextBlock& block) {
    return block.position() - first.position() - (block.blockNumber() - firstNumber);
  };
  // The last segment that starts at or before the column: a column on a segment end stands
  // before the first character of the next segment.
  int low = firstNumber;
  int high = LastSegmentNumber(line);
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (segmentStart(document()->findBlockByNumber(middle)) <= column) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  const QTextBlock block = low == firstNumber ? first : document()->findBlockByNumber(low);
  return block.position() + std::clamp(column - segmentStart(block), 0, block.length() - 1);
}

QString TextPane::LineText(int line) const {
  QString text;
  const int last = LastSegmentNumber(line);
  for (QTextBlock block = FirstSegment(line); block.isValid() && block.blockNumber() <= last;
       block = block.next()) {
    text += block.text();
  }
  return text;
}

QString TextPane::TextBetween(int start, int end, QStringView lineBreak) const {
  QString text;
  for (QTextBlock block = document()->findBlock(start); block.isValid();) {
    const int from = std::max(start, block.position()) - block.position();
    const int to = std::min(end, block.position() + block.length() - 1) - block.position();
    if (to > from) text += QStringView(block.text()).mid(from, to - from);
    const QTextBlock next = block.next();
    // The end of `block` lies within the range when the next block starts at or before its end.
    if (!next.isValid() || next.position() > end) break;
    if (!IsContinuation(next)) text += lineBreak;
    block = next;
  }
  return text;
}

void TextPane::MarkSegments(int first, int count) {
  QTextBlock block = document()->findBlockByNumber(first);
  for (int i = 0; i < count && block.isValid(); ++i, block = block.next()) {
    block.setUserState(i == 0 ? kLineStart : kContinued);
  }
}

void TextPane::ShiftLines(int fromLine, int blocks) {
  if (blocks == 0) return;
  for (auto it = lineBlocks_.begin() + fromLine; it != lineBlocks_.end(); ++it) *it += blocks;
}

void TextPane::ReindexFrom(int blockNumber) {
  lineBlocks_.erase(std::lower_bound(lineBlocks_.begin(), lineBlocks_.end(), blockNumber),
                    lineBlocks_.end());
  for (QTextBlock block = document()->findBlockByNumber(blockNumber); block.isValid();
       block = block.next()) {
    if (block.blockNumber() == 0 || !IsContinuation(block)) {
      lineBlocks_.push_back(block.blockNumber());
    }
  }
}

void TextPane::IndexChanged() {
  indexedBlocks_ = document()->blockCount();
  UpdateGutterWidth(LineCount());
  MarkActiveLine();
  UpdateCaret();
}

std::pair<int, int> TextPane::CaretSegments() const {
  if (LineCount() == 0) return {0, 0};
  const int line = LineOfBlock(textCursor().blockNumber());
  return {lineBlocks_[static_cast<size_t>(line)], LastSegmentNumber(line)};
}

void TextPane::DocumentChanged(int from, int added) {
  hint_ = {};
  if (writing_) return;
  // The user edited an editable pane. Blocks before the change are as they were, and so is
  // whether the block holding its start begins a stored line, whatever Qt left in its state
  // when blocks were merged. Blocks made by the edit begin lines: a typed or pasted line break
  // is a real one.
  empty_ = document()->isEmpty();
  if (empty_) {
    lineBlocks_.clear();
    IndexChanged();
    return;
  }
  QTextBlock block = document()->findBlock(from);
  const int number = block.blockNumber();
  const bool lineStart = number == 0 || lineBlocks_.empty() ||
                         std::binary_search(lineBlocks_.begin(), lineBlocks_.end(), number);
  block.setUserState(lineStart ? kLineStart : kContinued);
  const bool withinBlock = document()->blockCount() == indexedBlocks_ &&
                           document()->findBlock(from + added).blockNumber() == number;
  if (lineBlocks_.empty() || !withinBlock) ReindexFrom(lineBlocks_.empty() ? 0 : number);
  IndexChanged();
}

// ---- lines -------------------------------------------------------------------------------

int TextPane::LineCount() const {
  return empty_ ? 0 : static_cast<int>(lineBlocks_.size());
}

std::string TextPane::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  return FromQ(LineText(index));
}

int TextPane::LineLength(int index) const {
  if (index < 0 || index >= LineCount()) return 0;
  const QTextBlock first = FirstSegment(index);
  const int lastNumber = LastSegmentNumber(index);
  const QTextBlock last =
      lastNumber == first.blockNumber() ? first : document()->findBlockByNumber(lastNumber);
  return last.position() + last.length() - 1 - first.position() -
         (lastNumber - first.blockNumber());
}

void TextPane::ReplaceLine(int index, std::string_view text) {
  if (index == LineCount()) {
    AppendLine(text);
    return;
  }
  if (index < 0 || index > LineCount()) return;
  const OwnWrite write(*this);
  // Block handles do not outlive the edit: the numbers are taken before it.
  const int firstNumber = lineBlocks_[static_cast<size_t>(index)];
  const int lastNumber = LastSegmentNumber(index);
  const QTextBlock last = document()->findBlockByNumber(lastNumber);
  const auto [segmented, segments] = Segmented(text, SegmentLength());
  QTextCursor cursor(document());
  cursor.setPosition(FirstSegment(index).position());
  cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
  cursor.insertText(segmented);
  MarkSegments(firstNumber, segments);
  ShiftLines(index + 1, segments - (lastNumber - firstNumber + 1));
  IndexChanged();
}

void TextPane::AppendLine(std::string_view text) {
  const OwnWrite write(*this);
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  if (!empty_) cursor.insertBlock();
  empty_ = false;
  const int first = cursor.blockNumber();
  const auto [segmented, segments] = Segmented(text, SegmentLength());
  cursor.insertText(segmented);
  MarkSegments(first, segments);
  lineBlocks_.push_back(first);
  IndexChanged();
}

void TextPane::AppendLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const bool wasEmpty = empty_;
  {
    const OwnWrite write(*this);
    // The gutter takes its new width while the text is short, not after the insertion, when
    // the new width would lay out the whole text once more.
    UpdateGutterWidth(LineCount() + static_cast<int>(lines.size()));
    lineBlocks_.reserve(lineBlocks_.size() + lines.size());
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // One insertion at the end per chunk of text: cheaper for a long text than setPlainText,
    // which also applies a character format to the whole text, and the converted copy stays
    // small however long the lines are.
    int block = empty_ ? 0 : document()->blockCount();
    bool first = empty_;
    QString chunk;
    std::vector<int> continued;  // blocks of the chunk that continue a line
    const auto flush = [&] {
      cursor.insertText(chunk);
      chunk.clear();
      for (const int number : continued) {
        document()->findBlockByNumber(number).setUserState(kContinued);
      }
      continued.clear();
    };
    for (const auto& line : lines) {
      lineBlocks_.push_back(block);
      bool lineStart = true;
      ForEachSegment(line, SegmentLength(), [&](std::string_view segment) {
        if (!first) chunk += u'\n';
        first = false;
        if (!lineStart) continued.push_back(block);
        lineStart = false;
        AppendToQ(chunk, segment);
        ++block;
        if (chunk.size() >= kInsertChunk) flush();
      });
    }
    flush();
    empty_ = false;
    if (wasEmpty) document()->firstBlock().setUserState(kLineStart);
    IndexChanged();
  }
  // The caret stood at the very end of an empty pane and went along with the new text.
  if (wasEmpty) SetCaret(1, 1);
}

void TextPane::AppendToLine(int index, std::string_view text) {
  if (index < 0 || index >= LineCount()) return;
  if (static_cast<int>(text.size()) > kGrowingSegmentLength / 2 || keepsHistory_) {
    // Much text at once is cut into segments as a whole line is; a pane that keeps its lines
    // whole writes the line anew.
    ReplaceLine(index, Line(index).append(text));
    return;
  }
  const OwnWrite write(*this);
  const QTextBlock last = document()->findBlockByNumber(LastSegmentNumber(index));
  QTextCursor cursor(document());
  cursor.setPosition(last.position() + last.length() - 1);
  if (last.length() - 1 + static_cast<int>(text.size()) > kGrowingSegmentLength) {
    // A new segment begins where the last wrapped row of the full one begins, so that what is
    // shown stays as it was; without a layout, after a blank.
    const QTextLayout* layout = last.layout();
    const int rows = layout ? layout->lineCount() : 0;
    const int cut =
        rows > 1 ? layout->lineAt(rows - 1).textStart() : GrowingSegmentCut(last.text());
    QTextCursor split(document());
    split.setPosition(last.position() + cut);
    split.insertBlock();
    split.block().setUserState(kContinued);
    ShiftLines(index + 1, 1);
  }
  cursor.insertText(ToQ(text));  // the cursor went along to the end of the line
  IndexChanged();
}

void TextPane::Clear() {
  const OwnWrite write(*this);
  clear();
  empty_ = true;
  lineBlocks_.clear();
  virtualColumn_ = 0;
  IndexChanged();
}

std::vector<std::string> TextPane::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(LineCount()));
  for (int line = 0; line < LineCount(); ++line) lines.push_back(FromQ(LineText(line)));
  return lines;
}

// ---- caret and selection -----------------------------------------------------------------

void TextPane::PlaceCursor(int line, int column, bool selectOne) {
  line = std::clamp(line, 1, std::max(1, LineCount()));
  column = std::max(1, column);
  const int length = LineLength(line - 1);
  QTextCursor cursor(document());
  int virtualColumn = 0;
  if (empty_) {
    if (column > 1) virtualColumn = column;
  } else if (selectOne && column <= length) {
    // The character and the position after it lie in one segment.
    const int position = PositionOf(line - 1, column - 1);
    KeepShapesOf(document()->findBlock(position));
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
  } else {
    const int position = PositionOf(line - 1, std::min(column - 1, length));
    KeepShapesOf(document()->findBlock(position));
    cursor.setPosition(position);
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
  return empty_ ? 1 : LineOfBlock(textCursor().blockNumber()) + 1;
}

int TextPane::CaretColumn() const {
  if (virtualColumn_ > 0) return virtualColumn_;
  return ColumnAt(textCursor().position()) + 1;
}

std::string TextPane::SelectedText() const {
  // Lines as the lesson stores them: a selection across a line end holds CR LF.
  const QTextCursor cursor = textCursor();
  return FromQ(TextBetween(cursor.selectionStart(), cursor.selectionEnd(), u"\r\n"));
}

QMimeData* TextPane::createMimeDataFromSelection() const {
  const QTextCursor cursor = textCursor();
  auto data = std::make_unique<QMimeData>();
  data->setText(TextBetween(cursor.selectionStart(), cursor.selectionEnd(), u"\n"));
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
  setFont(WithinPaneSizes(font));
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
  // The marked line is painted under the text (PaintActiveLine); here the pane is repainted
  // when the caret has gone to another line or the line to other segments.
  const auto [first, last] = CaretSegments();
  if (first == markedFirst_ && last == markedLast_ && activeLineColor_ == markedColor_) return;
  markedFirst_ = first;
  markedLast_ = last;
  markedColor_ = activeLineColor_;
  viewport()->update();
}

void TextPane::PaintActiveLine(QPaintEvent* event) {
  // Every wrapped row of the stored line holding the caret, across the full width.
  const auto [first, last] = CaretSegments();
  QPainter painter(viewport());
  const QColor color = ColorFromValue(activeLineColor_);
  const QPointF offset = contentOffset();
  for (QTextBlock block = firstVisibleBlock(); block.isValid() && block.blockNumber() <= last;
       block = block.next()) {
    const QRectF box = blockBoundingGeometry(block).translated(offset);
    if (box.top() > event->rect().bottom()) break;
    if (block.blockNumber() < first || !block.isVisible() || !block.layout()) continue;
    const QRectF rows = block.layout()->boundingRect();
    painter.fillRect(QRectF(0, box.top() + rows.top(), viewport()->width(), rows.height()), color);
  }
}

void TextPane::KeepUndoHistory() {
  keepsHistory_ = true;
  setUndoRedoEnabled(true);
}

int TextPane::SegmentLength() const {
  return keepsHistory_ ? std::numeric_limits<int>::max() / 2 : kSegmentLength;
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
    x += (virtualColumn_ - 1 - ColumnAt(cursor.position())) * CharacterWidth();
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
  PaintActiveLine(event);
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
  // A key Qt has no name for (under Wine AltGr comes so) would be taken by the shortcut map as
  // the start of every shortcut, and the character typed next with it: the pane keeps it.
  if (event->type() == QEvent::ShortcutOverride) {
    event->setAccepted(static_cast<QKeyEvent*>(event)->key() == 0);
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
  cursor.insertText(QString(virtualColumn_ - 1 - ColumnAt(cursor.position()), u' '));
  setTextCursor(cursor);
}

QString TextPane::StorablePart(const QString& text) {
  QString refused;
  QString kept = KeepCp1250(text, refused);
  // A NUL would end the lesson file that the lines are written to.
  if (kept.contains(QChar(0))) {
    kept.remove(QChar(0));
    refused += QChar(0);
  }
  if (!refused.isEmpty()) emit textRefused(refused);
  return kept;
}

void TextPane::inputMethodEvent(QInputMethodEvent* event) {
  if (isReadOnly() || event->commitString().isEmpty()) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  const QString kept = StorablePart(event->commitString());
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
  storable.setText(StorablePart(text));
  if (storable.text().isEmpty()) return;
  FillUpToVirtualCaret();
  QPlainTextEdit::insertFromMimeData(&storable);
}

void TextPane::CrossSegmentEnd(const QKeyEvent* event) {
  // A segment end is no character: a key that deletes or steps over one character next to the
  // caret acts on the character beyond the segment end.
  QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const bool atStart = cursor.positionInBlock() == 0 && IsContinuation(block);
  const bool atEnd = cursor.positionInBlock() == block.length() - 1 && IsContinuation(block.next());
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
  const int number = block.blockNumber();
  const int state = block.userState();
  const int nextLine = LineOfBlock(number) + 1;
  QTextCursor cursor(document());
  cursor.setPosition(block.position() + block.length() - 1);
  cursor.deleteChar();
  document()->findBlockByNumber(number).setUserState(state);
  ShiftLines(nextLine, -1);
  IndexChanged();
}

void TextPane::PlaceVirtualCaretAt(const QPoint& point) {
  // A click right of the end of a line puts the caret there, beyond the end, at the column
  // boundary nearest to the click.
  const QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const int length = block.length() - 1;
  if (cursor.hasSelection() || cursor.positionInBlock() != length || !block.layout() ||
      IsContinuation(block.next())) {
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
  virtualColumn_ = ColumnAt(block.position() + length) + 1 + beyond;
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
  return GutterWidthFor(LineCount());
}

int TextPane::GutterWidthFor(int lines) const {
  const int digits = std::max(gutterDigits_, static_cast<int>(QString::number(lines).size()));
  return QFontMetrics(GutterFont()).horizontalAdvance(u'9') * digits + kGutterRightOffset;
}

void TextPane::SetGutterDigits(int digits) {
  gutterDigits_ = std::max(1, digits);
  UpdateGutterWidth(LineCount());
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
  painter.setFont(GutterFont());
  painter.setPen(palette().color(QPalette::Dark));
  const int lineHeight = QFontMetrics(GutterFont()).height();
  const int right = gutter_->width() - kGutterRightOffset;
  QTextBlock block = firstVisibleBlock();
  if (LineCount() == 0) {
    // An empty pane shows the number of the line its caret stands on.
    const int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    painter.drawText(0, top, right, lineHeight, Qt::AlignRight, QStringLiteral("1"));
    return;
  }
  // Numbers stand at the first segment of every stored line.
  auto line = static_cast<size_t>(LineOfBlock(block.blockNumber()));
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    const int number = block.blockNumber();
    while (line + 1 < lineBlocks_.size() && lineBlocks_[line + 1] <= number) ++line;
    if (block.isVisible() && lineBlocks_[line] == number) {
      painter.drawText(0, top, right, lineHeight, Qt::AlignRight, QString::number(line + 1));
    }
    top += qRound(blockBoundingRect(block).height());
    block = block.next();
  }
}

}  // namespace pekto
