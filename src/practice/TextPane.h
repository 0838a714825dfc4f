#pragma once
// The text view behind the practice panes, the lesson editor and the settings sample: lines of
// Windows-1250 text, a caret in stored lines and columns that may stand beyond the end of its
// line, a one-character highlight, a line-number gutter and removable key bindings.

#include <QKeySequence>
#include <QPlainTextEdit>
#include <QSet>
#include <cstdint>

#include "practice/PaneModel.h"

namespace pekto {

class TextPane : public QPlainTextEdit, public PaneModel {
  Q_OBJECT

 public:
  explicit TextPane(QWidget* parent = nullptr);

  // Lines (PaneModel).
  int LineCount() const override;
  std::string Line(int index) const override;
  int LineLength(int index) const override;
  void ReplaceLine(int index, std::string_view text) override;
  void AppendLine(std::string_view text) override;
  void AppendLines(const std::vector<std::string>& lines) override;
  void AppendToLine(int index, std::string_view text) override;
  void Clear() override;
  std::vector<std::string> Lines() const;

  // Caret and selection (PaneModel).
  void SetCaret(int line, int column) override;
  int CaretLine() const override;
  int CaretColumn() const override;
  void SelectCharacter(int line, int column) override;
  std::string SelectedText() const override;

  // Highlights the character at `offset` of the text joined with two-character line breaks;
  // an offset on a line break leaves nothing selected with the caret after that line.
  void HighlightOffset(int offset);

  // Look. Colours are stored colour values (red in the low byte, negative for system colours)
  // and read back unchanged.
  void SetPaneFont(const QFont& font);
  QFont PaneFont() const { return font(); }
  void SetFontColor(int32_t color);
  int32_t FontColor() const { return fontColor_; }
  void SetActiveLineColor(int32_t color);
  int32_t ActiveLineColor() const { return activeLineColor_; }
  void SetSelectedColor(int32_t color);
  int32_t SelectedColor() const { return selectedColor_; }
  void SetBackgroundColor(int32_t color);
  int32_t BackgroundColor() const { return backgroundColor_; }

  // Overwrite mode with a block caret (the typing pane) or insert mode.
  void SetInsertMode(bool insert);
  bool InsertMode() const { return !overwriteMode(); }

  // Key bindings: a removed binding does nothing in this pane.
  void RemoveKeyBinding(const QKeySequence& keys);
  // Removes every standard binding but plain Enter.
  void RemoveStandardKeyBindings();
  bool IsBindingRemoved(const QKeySequence& keys) const;

  int GutterWidth() const;

 signals:
  // After a mouse button has been released over the text.
  void clicked();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  friend class LineNumberGutter;
  void PaintGutter(QPaintEvent* event);
  void UpdateGutterWidth();
  void UpdateGutter(const QRect& rect, int dy);
  void MarkActiveLine();
  void ApplyPalette();
  void PlaceCursor(int line, int column, bool selectOne);
  QTextBlock BlockAt(int index) const;
  QKeySequence SequenceOf(const QKeyEvent* event) const;

  QWidget* gutter_ = nullptr;  // child widget, owned by this pane
  bool empty_ = true;          // the document's single empty block stands for "no lines"
  int virtualColumn_ = 0;      // caret column beyond the line end, 0 when the real one holds
  bool placingCaret_ = false;
  int32_t fontColor_ = 0;
  int32_t activeLineColor_ = 0xFFECD9;
  int32_t selectedColor_ = 0x808080;
  int32_t backgroundColor_ = static_cast<int32_t>(0xFF000005);
  QSet<int> removed_;  // key combinations (QKeyCombination::toCombined)
};

}  // namespace pekto
