// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text view behind the practice panes, the lesson editor and the settings sample: lines of
// Windows-1250 text, a caret in stored lines and columns that may stand beyond the end of its
// line, a one-character highlight, a line-number gutter and removable key bindings.
//
// A long stored line is shown as several document blocks ("segments", SegmentedLines.h).
// Everything the pane offers counts in stored lines; the segments show only through
// QPlainTextEdit's own interface (document(), toPlainText()).

#include <QColor>
#include <QGlyphRun>
#include <QKeySequence>
#include <QLineF>
#include <QPlainTextEdit>
#include <QRegion>
#include <QTextCursor>
#include <optional>
#include <utility>
#include <vector>

#include "practice/KeyBindings.h"
#include "practice/LessonOffsets.h"
#include "practice/LineNumberGutter.h"
#include "practice/PaneModel.h"
#include "practice/SegmentedLines.h"

namespace pekto {

class TextPane : public QPlainTextEdit, public PaneModel {
  Q_OBJECT

 public:
  // `font` is the pane's first font (SetPaneFont): a window that knows its panes' font passes
  // it here, so that the pane does not load and lay out its default font first.
  explicit TextPane(QWidget* parent = nullptr, const QFont& font = DefaultFont());
  static QFont DefaultFont();

  // Lines (PaneModel). A pane without lines differs from a pane holding one empty line.
  int LineCount() const override;
  std::string Line(int index) const override;
  int LineLength(int index) const override;
  void ReplaceLine(int index, std::string_view text) override;
  void AppendLine(std::string_view text) override;
  void AppendLines(const std::vector<std::string>& lines) override;
  void AppendToLine(int index, std::string_view text) override;
  void Clear() override;
  std::vector<std::string> Lines() const;

  // Caret and selection (PaneModel). Lines and columns count from 1 in stored lines, not in
  // wrapped rows; a column beyond the end of the line reads back as it was set.
  void SetCaret(int line, int column) override;
  int CaretLine() const override;
  int CaretColumn() const override;
  void SelectCharacter(int line, int column) override;
  std::string SelectedText() const override;

  // Highlights the character at `offset` of the text joined with two-character line breaks;
  // an offset on a line break leaves nothing selected with the caret at column length + 2 of
  // that line. Moving the offset by a few characters costs the same however long the text is.
  void HighlightOffset(int offset);

  // Where the caret is drawn, in viewport coordinates: a block one character wide in
  // overwrite mode, a thin bar in insert mode; an empty rectangle when its line is not laid out.
  QRect CaretRectangle() const;

  // Look. The colours start as the program's default pane look (ColorValues.h). The font size
  // is kept within kMinPaneFontSize..kMaxPaneFontSize points (PaneFontSize.h), whoever sets it.
  void SetPaneFont(const QFont& font);
  // `font` with its size moved into the range the panes show.
  static QFont WithinPaneSizes(const QFont& font);
  // The font as it was set (the name the settings keep), which the pane may draw through the
  // installed family standing in for it.
  QFont PaneFont() const { return paneFont_; }
  void SetFontColor(const QColor& color);
  QColor FontColor() const { return fontColor_; }
  void SetActiveLineColor(const QColor& color);
  QColor ActiveLineColor() const { return activeLineColor_; }
  void SetSelectedColor(const QColor& color);
  QColor SelectedColor() const { return selectedColor_; }
  void SetBackgroundColor(const QColor& color);
  QColor BackgroundColor() const { return backgroundColor_; }

  // Overwrite mode shows a block caret, insert mode a bar. The Insert key switches between them
  // unless its binding has been removed.
  void SetInsertMode(bool insert);
  bool InsertMode() const { return !overwriteMode(); }

  // The 82 standard key bindings of a text pane, plain Enter first.
  static const std::vector<QKeySequence>& StandardKeyBindings() { return KeyBindings::Standard(); }
  // Key bindings: a removed binding does nothing in this pane. A key combination that is also
  // the shortcut of a command of the window runs the command, whether bound here or not.
  void RemoveKeyBinding(const QKeySequence& keys);
  // Removes every standard binding but plain Enter. The pane then also ignores the platform's
  // further keys for moving, selecting, copying, pasting and undoing (such as a Copy key).
  void RemoveStandardKeyBindings();
  bool IsBindingRemoved(const QKeySequence& keys) const;

  // Undo for an editable pane (off as the pane is made): Ctrl+Z or Alt+Backspace undoes the
  // user's edits, Ctrl+Shift+Z or Alt+Shift+Backspace redoes them. The pane's own writing of
  // lines (the PaneModel calls) is not recorded and ends the history. Such a pane keeps every
  // stored line in one block, so that undo brings back line breaks only where lines broke.
  void KeepUndoHistory();

  int GutterWidth() const;
  // Gives the gutter room for at least `digits` digits (3 until set).
  void SetGutterDigits(int digits);

 signals:
  // After the left mouse button has been released over the pane.
  void clicked();
  // An editable pane takes only text its lines can store: typed, input-method, pasted or
  // dropped characters outside Windows-1250 (and the NUL character) are left out and named here.
  void textRefused(const QString& characters);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Dead keys, Compose and input methods: an editable pane inserts their text as typed text.
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void paintEvent(QPaintEvent* event) override;
  // Copied text holds the stored lines: segment ends add nothing.
  QMimeData* createMimeDataFromSelection() const override;

 private:
  class OwnWrite;
  std::vector<LineNumberGutter::Number> GutterNumbers(int bottom) const;
  // Paints `event`'s area: the background, the marked line, the text, the caret. `cellsOnly`:
  // the area is a few cells of a row (Changes::Cells), whose text PaintTextIn draws.
  void PaintArea(QPaintEvent* event, bool cellsOnly = false);
  void PaintActiveLine(QPaintEvent* event);
  // The text of a few cells, pixel for pixel as QPlainTextEdit::paintEvent draws it (the same
  // rows, the selection in the same two passes), but only the glyphs whose ink can reach
  // `area` (TextPanePaint.cpp). False, having drawn nothing, where Qt would draw more: its own
  // block caret, or a selection across rows.
  bool PaintTextIn(const QRect& area);
  bool DrawsCellsAsQt() const;
  void PaintBlockIn(QPainter& painter, const QTextBlock& block, const QPointF& offset,
                    const QRect& area) const;
  // How far the ink of the pane's characters reaches beyond their cells (Windows-1250 is all
  // a pane holds), with pixels of antialiasing to spare; taken once per font.
  struct InkReach {
    qreal above = 0;  // above the baseline
    qreal below = 0;  // below the baseline
    qreal sideways = 0;
    // The underline as Qt draws it: below the baseline by whole pixels and a half, within the
    // descent.
    qreal underline = 0;
    qreal lineWidth = 0;
  };
  const InkReach& Ink() const;
  // The glyphs of a row, relative to its layout, and where Qt underlines it: from its start
  // across its text, without the blanks where it wraps (a null line on a row of blanks, which
  // Qt leaves bare).
  struct RowGlyphs {
    const QTextLayout* layout;
    int row;
    QRectF box;  // the row's place and size, which a new layout changes
    int start;
    int length;
    QList<QGlyphRun> runs;
    QLineF underline;
  };
  // The rows of the lesson stay as they are from key to key: the last few are kept until the
  // text, the width or the font changes. `shaped`: set when the layout had to shape its text.
  const RowGlyphs& GlyphsOf(const QTextBlock& block, int row, bool& shaped) const;
  void DropGlyphs() const { glyphs_.clear(); }
  void PaintCaret(QPaintEvent* event);
  void UpdateGutterWidth(int lines);
  void UpdateGutter(const QRect& rect, int dy);
  void UpdateCaret();
  // Repaints what changes when the caret's line is another one or lies in other segments:
  // the rows of the old and the new line, or everything after a change that renumbered blocks.
  void MarkActiveLine(bool blocksKept = true);
  // The rows of blocks first..last in view, across the viewport's width; empty when none is.
  QRect RowsOf(int first, int last) const;
  void ApplyPalette();
  void PlaceCursor(int line, int column, bool selectOne);
  void PlaceVirtualCaretAt(const QPoint& point);
  void DocumentChanged(int from, int added);
  qreal CharacterWidth() const;
  // Typing at a caret beyond the end of its line first fills the line up to it with spaces.
  void FillUpToVirtualCaret();
  // What an editable pane inserts of `text`; the rest is reported through textRefused.
  QString Storable(const QString& text);
  void CrossSegmentEnd(const QKeyEvent* event);
  void KeepShapesOf(const QTextBlock& block);

  // Narrow repaints. A key moves the highlight or the caret by a character, or appends one to
  // the line, and Qt repaints the whole row for it, blending every glyph of the row again. When
  // all that changed since the last paint lies in known cells, the pane paints only those and
  // leaves the rest of the rows as they stand; any other change paints everything asked for.
  // The cells of `cursor`: its selection within one row, or its position with a character's
  // width to spare on either side; empty when they lie in no single laid-out row.
  QRect CellsOf(const QTextCursor& cursor) const;
  QRect CellsAt(const QTextBlock& block, int positionInBlock, int endInBlock, qreal spare) const;
  void NoteCells(const QRect& cells);
  void DropCells() { changes_ = Changes::Wide; }

  void JoinWithNextSegment(const QTextBlock& block);
  // Takes the lines as they are after a change: the gutter, the marked line, the caret.
  // `blocksKept`: every block before the change kept its number and place.
  void IndexChanged(bool blocksKept = false);
  // The first and last segment of the caret's line.
  std::pair<int, int> CaretSegments() const;

  LineNumberGutter* gutter_ = nullptr;  // child widget, owned by this pane
  SegmentedLines lines_;                // the stored lines in the pane's document
  bool writing_ = false;                // the pane itself is changing the text
  int virtualColumn_ = 0;  // caret column beyond the line end, 0 when the real one holds
  bool placingCaret_ = false;
  QRect paintedCaret_;  // where the caret was last drawn
  int gutterWidth_ = 0;
  // The active line as last marked: its first and last segment.
  int markedFirst_ = -1;
  int markedLast_ = -1;
  bool changedSinceMark_ = false;  // the text has changed since the line was last marked
  // In the block that keeps the shapes of its characters; it moves with the text.
  QTextCursor shaped_;
  // The line found by the last HighlightOffset and its start offset; dropped on every change.
  LineSpot hint_;
  QColor fontColor_;
  QColor activeLineColor_;
  QColor selectedColor_;
  QColor backgroundColor_;
  QFont paneFont_;
  KeyBindings bindings_;
  bool keepsHistory_ = false;  // undo is on (KeepUndoHistory)
  enum class Changes { None, Cells, Wide };
  Changes changes_ = Changes::Wide;  // since the last paint
  QRegion changedCells_;             // while Changes::Cells: the cells that changed
  QRegion changedRows_;              // and the rows they lie on, across the width
  // Taken from the font when first asked for, dropped when the font changes.
  mutable std::optional<qreal> characterWidth_;
  mutable std::optional<InkReach> ink_;
  mutable std::vector<RowGlyphs> glyphs_;  // GlyphsOf(), the last used last
};

}  // namespace pekto
