#include "practice/TextPane.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

#include "platform/Colors.h"
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

QFont GutterFont() {
  QFont font(QStringLiteral("Courier New"));
  font.setBold(true);
  font.setPixelSize(13);
  font.setStyleHint(QFont::TypeWriter);
  return font;
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
  document()->setDocumentMargin(2);
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { UpdateGutterWidth(); });
  connect(this, &QPlainTextEdit::updateRequest, this,
          [this](const QRect& rect, int dy) { UpdateGutter(rect, dy); });
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (!placingCaret_) virtualColumn_ = 0;
    MarkActiveLine();
  });
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setBold(true);
  font.setPixelSize(19);
  SetPaneFont(font);
  ApplyPalette();
  UpdateGutterWidth();
  MarkActiveLine();
}

// ---- lines -------------------------------------------------------------------------------

QTextBlock TextPane::BlockAt(int index) const {
  return document()->findBlockByNumber(index);
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
  const QTextBlock block = BlockAt(index);
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(ToQ(text));
}

void TextPane::AppendLine(std::string_view text) {
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  if (!empty_) cursor.insertBlock();
  empty_ = false;
  cursor.insertText(ToQ(text));
}

void TextPane::AppendLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  QString text;
  qsizetype size = 0;
  for (const auto& line : lines) size += static_cast<qsizetype>(line.size()) + 1;
  text.reserve(size);
  bool first = true;
  for (const auto& line : lines) {
    if (!first) text += u'\n';
    first = false;
    text += ToQ(line);
  }
  if (empty_) {
    setPlainText(text);
  } else {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u'\n' + text);
  }
  empty_ = false;
}

void TextPane::AppendToLine(int index, std::string_view text) {
  if (index < 0 || index >= LineCount()) return;
  const QTextBlock block = BlockAt(index);
  QTextCursor cursor(document());
  cursor.setPosition(block.position() + block.length() - 1);
  cursor.insertText(ToQ(text));
}

void TextPane::Clear() {
  clear();
  empty_ = true;
  virtualColumn_ = 0;
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
  const int count = std::max(1, LineCount());
  line = std::clamp(line, 1, count);
  column = std::max(1, column);
  const QTextBlock block = BlockAt(line - 1);
  const int length = block.length() - 1;
  QTextCursor cursor(block);
  placingCaret_ = true;
  if (selectOne && column <= length) {
    cursor.setPosition(block.position() + column - 1);
    cursor.setPosition(block.position() + column, QTextCursor::KeepAnchor);
    virtualColumn_ = 0;
  } else {
    const int real = std::min(column - 1, length);
    cursor.setPosition(block.position() + real);
    virtualColumn_ = column - 1 > length ? column : 0;
  }
  setTextCursor(cursor);
  placingCaret_ = false;
  MarkActiveLine();
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
  const int count = LineCount();
  if (count == 0) {
    SetCaret(1, 1);
    return;
  }
  int start = 0;
  QTextBlock block = document()->begin();
  for (int k = 0; k < count; ++k, block = block.next()) {
    const int length = block.length() - 1;
    if (start + length + 2 > offset || k == count - 1) {
      const int column = offset - start;
      if (column < length) {
        SelectCharacter(k + 1, column + 1);
      } else {
        SetCaret(k + 1, length + 2);
      }
      return;
    }
    start += length + 2;
  }
}

// ---- look --------------------------------------------------------------------------------

void TextPane::SetPaneFont(const QFont& font) {
  setFont(font);
  UpdateGutterWidth();
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
  QTextEdit::ExtraSelection line;
  line.format.setBackground(ColorFromValue(activeLineColor_));
  line.format.setProperty(QTextFormat::FullWidthSelection, true);
  line.cursor = textCursor();
  line.cursor.clearSelection();
  setExtraSelections({line});
}

void TextPane::SetInsertMode(bool insert) {
  setOverwriteMode(!insert);
  setCursorWidth(insert ? 1 : 0);
}

// ---- keys and mouse ----------------------------------------------------------------------

QKeySequence TextPane::SequenceOf(const QKeyEvent* event) const {
  return QKeySequence(QKeyCombination(event->modifiers() & ~Qt::KeypadModifier,
                                      static_cast<Qt::Key>(event->key())));
}

void TextPane::RemoveKeyBinding(const QKeySequence& keys) {
  if (!keys.isEmpty()) removed_.insert(keys[0].toCombined());
}

bool TextPane::IsBindingRemoved(const QKeySequence& keys) const {
  return !keys.isEmpty() && removed_.contains(keys[0].toCombined());
}

void TextPane::RemoveStandardKeyBindings() {
  using K = Qt::Key;
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier,
                              ctrl = Qt::ControlModifier, alt = Qt::AltModifier,
                              ctrlShift = ctrl | shift;
  const auto add = [this](Qt::KeyboardModifiers mods, K key) {
    RemoveKeyBinding(QKeySequence(QKeyCombination(mods, key)));
  };
  for (const K key : {K::Key_Up, K::Key_Down, K::Key_Left, K::Key_Right}) {
    add(none, key);
    add(shift, key);
  }
  for (const K key : {K::Key_Left, K::Key_Right}) {
    add(ctrl, key);
    add(ctrlShift, key);
  }
  add(ctrl, K::Key_Up);
  add(ctrl, K::Key_Down);
  for (const K key : {K::Key_PageUp, K::Key_PageDown, K::Key_Home, K::Key_End}) {
    for (const auto mods : {none, shift, ctrl, ctrlShift}) add(mods, key);
  }
  add(none, K::Key_Insert);
  add(ctrl, K::Key_Insert);
  add(ctrl, K::Key_C);
  add(shift, K::Key_Delete);
  add(ctrl, K::Key_X);
  add(shift, K::Key_Insert);
  add(ctrl, K::Key_V);
  add(none, K::Key_Delete);
  add(none, K::Key_Backspace);
  add(shift, K::Key_Backspace);
  add(ctrl, K::Key_Backspace);
  add(alt, K::Key_Backspace);
  add(ctrl, K::Key_Z);
  add(alt | shift, K::Key_Backspace);
  add(ctrlShift, K::Key_Z);
  add(shift, K::Key_Return);
  add(shift, K::Key_Enter);
  add(ctrl, K::Key_M);
  add(ctrl, K::Key_N);
  add(ctrl, K::Key_T);
  add(ctrl, K::Key_Y);
  add(ctrlShift, K::Key_Y);
  add(none, K::Key_Tab);
  add(shift, K::Key_Backtab);
  add(shift, K::Key_Tab);
  add(ctrlShift, K::Key_I);
  add(ctrlShift, K::Key_U);
  add(none, K::Key_F1);
  add(ctrl, K::Key_A);
  for (int digit = 0; digit <= 9; ++digit) {
    add(ctrl, static_cast<K>(K::Key_0 + digit));
    add(ctrlShift, static_cast<K>(K::Key_0 + digit));
  }
  add(ctrlShift, K::Key_N);
  add(ctrlShift, K::Key_C);
  add(ctrlShift, K::Key_L);
  add(ctrlShift, K::Key_B);
  setContextMenuPolicy(Qt::NoContextMenu);
}

bool TextPane::event(QEvent* event) {
  // A removed binding must not claim its keys before the window's shortcuts see them.
  if (event->type() == QEvent::ShortcutOverride &&
      IsBindingRemoved(SequenceOf(static_cast<QKeyEvent*>(event)))) {
    event->ignore();
    return false;
  }
  // Tab without a binding moves the focus along the window's tab order.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        IsBindingRemoved(SequenceOf(key))) {
      focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
      return true;
    }
  }
  return QPlainTextEdit::event(event);
}

void TextPane::keyPressEvent(QKeyEvent* event) {
  if (IsBindingRemoved(SequenceOf(event))) {
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TextPane::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  emit clicked();
}

// ---- gutter ------------------------------------------------------------------------------

int TextPane::GutterWidth() const {
  const int digits =
      std::max(3, static_cast<int>(QString::number(document()->blockCount()).size()));
  return 6 + QFontMetrics(GutterFont()).horizontalAdvance(u'9') * digits;
}

void TextPane::UpdateGutterWidth() {
  setViewportMargins(GutterWidth(), 0, 0, 0);
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
  gutter_->setGeometry(QRect(area.left(), area.top(), GutterWidth(), area.height()));
}

void TextPane::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  // The typing pane shows its caret as a block in overwrite mode, also beyond the line end.
  if (!overwriteMode() || !hasFocus()) return;
  QPainter painter(viewport());
  QRect caret = cursorRect();
  const int extra = virtualColumn_ > 0 ? virtualColumn_ - 1 - textCursor().positionInBlock() : 0;
  const int width = fontMetrics().horizontalAdvance(u'M');
  caret.moveLeft(caret.left() + extra * width);
  caret.setWidth(width);
  painter.fillRect(caret, ColorFromValue(fontColor_));
}

void TextPane::PaintGutter(QPaintEvent* event) {
  QPainter painter(gutter_);
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  painter.setFont(GutterFont());
  painter.setPen(palette().color(QPalette::Dark));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  const int lineHeight = QFontMetrics(GutterFont()).height();
  while (block.isValid() && top <= event->rect().bottom()) {
    if (block.isVisible() && !empty_) {
      painter.drawText(0, top, gutter_->width() - 3, lineHeight, Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    top += qRound(blockBoundingRect(block).height());
    block = block.next();
  }
}

}  // namespace pekto
