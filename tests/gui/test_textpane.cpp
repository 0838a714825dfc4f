// SPDX-License-Identifier: GPL-3.0-or-later
// The text pane behind the practice panes: lines, caret in stored lines and columns, the
// one-character highlight, removed key bindings, clicks and what the learner sees on screen;
// long lines, which the pane keeps in several blocks, behaving exactly like short ones.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>
#include <memory>
#include <numeric>

#include "TestSupport.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "practice/Exercise.h"
#include "practice/LineNumberGutter.h"
#include "practice/MemoryPane.h"
#include "practice/TextPane.h"

using pekto::TextPane;

namespace {

using Lines = std::vector<std::string>;

// Colour values as the settings file keeps them: red in the low byte.
constexpr int32_t kBlack = 0x000000;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kActiveLine = 0xFFECD9;  // light blue
constexpr int32_t kSelection = 0x2080F0;   // orange

QColor Rgb(int32_t value) {
  return pekto::ColorFromValue(value);
}

void UseTestLook(TextPane& pane) {
  pane.SetFontColor(Rgb(kBlack));
  pane.SetBackgroundColor(Rgb(kWhite));
  pane.SetActiveLineColor(Rgb(kActiveLine));
  pane.SetSelectedColor(Rgb(kSelection));
}

int CountPixels(const QImage& image, const QRect& rect, const QColor& color) {
  int count = 0;
  const QRect area = rect.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y).rgb() == color.rgb()) ++count;
    }
  }
  return count;
}

QImage Screen(TextPane& pane) {
  return pane.viewport()->grab().toImage();
}

// What the window holds of the pane's viewport now, as its last paints left it.
QImage OnScreen(TextPane& pane) {
  const QPoint at = pane.viewport()->mapTo(pane.window(), QPoint(0, 0));
  const QSize size = pane.viewport()->size();
  return pane.screen()
      ->grabWindow(pane.window()->winId(), at.x(), at.y(), size.width(), size.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

// The rectangle of the characters [from, to) of stored line `line` (from 0), on one row, in
// viewport coordinates.
QRect CharactersRect(const TextPane& pane, int line, int from, int to) {
  const QTextBlock block = pane.document()->findBlockByNumber(line);
  const QTextLine row = block.layout()->lineForTextPosition(from);
  QTextCursor cursor(block);
  cursor.setPosition(block.position() + from);
  const QRect start = pane.cursorRect(cursor);
  const qreal width = row.cursorToX(to) - row.cursorToX(from);
  return QRect(start.left(), start.top(), qRound(width), start.height());
}

// Collects the regions a widget paints.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
  QRegion region;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

// The two practice panes and a third control, as the main window holds them: shown, active.
struct PracticeWindow {
  QWidget window;
  TextPane* typing = new TextPane;
  TextPane* lesson = new TextPane;
  QLineEdit* chooser = new QLineEdit;

  PracticeWindow() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(typing);
    layout->addWidget(lesson);
    layout->addWidget(chooser);
    typing->SetInsertMode(false);
    typing->RemoveStandardKeyBindings();
    lesson->SetInsertMode(true);
    UseTestLook(*typing);
    UseTestLook(*lesson);
    window.resize(500, 420);
    window.show();
    window.activateWindow();
  }
  bool Ready() { return QTest::qWaitForWindowActive(&window); }
};

// A paragraph of words, `length` characters long, with Windows-1250 letters.
std::string Paragraph(size_t length, size_t seed = 0) {
  static const char* kWords[] = {"alma",   "k\xf6rte", "szilva", "f\xfcge",
                                 "di\xf3", "asdf",     "\xf5r"};
  std::string text;
  for (size_t word = seed; text.size() < length; ++word) {
    text += kWords[word % std::size(kWords)];
    text += ' ';
  }
  text.resize(length);
  return text;
}

// The lines of a lesson pasted as long paragraphs, between short lines: a paragraph of words,
// one run without any blank, an empty line.
std::vector<std::string> MixedLines() {
  return {"ab", Paragraph(5000), "", std::string(2500, 'w'), Paragraph(1500, 3), "c"};
}

// The segments (document blocks) of the pane's stored line `line` (from 0), as found in the
// document: the first block of every line is known from the line lengths.
std::vector<QTextBlock> SegmentsOf(const TextPane& pane, int line) {
  // Blocks are laid out line after line; the stored lengths tell where each line ends.
  QTextBlock block = pane.document()->firstBlock();
  for (int i = 0; i < line; ++i) {
    int left = pane.LineLength(i);
    while (left > block.length() - 1) {
      left -= block.length() - 1;
      block = block.next();
    }
    block = block.next();
  }
  std::vector<QTextBlock> segments{block};
  int left = pane.LineLength(line) - (block.length() - 1);
  while (left > 0) {
    block = block.next();
    segments.push_back(block);
    left -= block.length() - 1;
  }
  return segments;
}

// The column (from 0) where each segment of a stored line after its first begins.
std::vector<int> SegmentStarts(const TextPane& pane, int line) {
  std::vector<int> starts;
  int column = 0;
  for (const QTextBlock& block : SegmentsOf(pane, line)) {
    if (column > 0) starts.push_back(column);
    column += block.length() - 1;
  }
  return starts;
}

struct PaneLook {
  int lines, caretLine, caretColumn;
  std::string selected;
  bool operator==(const PaneLook&) const = default;
};

PaneLook LookOf(const pekto::PaneModel& pane) {
  return {pane.LineCount(), pane.CaretLine(), pane.CaretColumn(), pane.SelectedText()};
}

// QCOMPARE of two looks names what differs.
char* toString(const PaneLook& look) {
  return qstrdup(qPrintable(QStringLiteral("%1 lines, caret %2:%3, selected \"%4\"")
                                .arg(look.lines)
                                .arg(look.caretLine)
                                .arg(look.caretColumn)
                                .arg(QString::fromStdString(look.selected))));
}

// Gives `widget` the focus; false when it does not get it.
bool Focus(QWidget* widget) {
  widget->setFocus();
  return QTest::qWaitFor([widget] { return widget->hasFocus(); });
}

std::vector<std::string> NumberedLines(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back("line " + std::to_string(i));
  return lines;
}

}  // namespace

class TestTextPane : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void lines();
  void linesAfterUserEdits();
  void anEditablePaneTakesOnlyStorableText();
  void caretClampsAndStandsBeyondEnd_data();
  void caretClampsAndStandsBeyondEnd();
  void caretCountsStoredLinesNotRows();
  void caretScrollsIntoViewAndMarksItsLine();
  void clickMovesCaretAndDropsVirtualColumn();
  void highlightOffset_data();
  void highlightOffset();
  void highlightOffsetEdgeCases();
  void standardBindingList();
  void removedBindingsDoNothing_data();
  void removedBindingsDoNothing();
  void typedCharactersNeverChangeReadOnlyText();
  void removedBindingsReachWindowShortcuts();
  void aKeyWithoutANameStartsNoShortcut();
  void tabMovesFocus();
  void clickedAfterRelease();
  void coloursRoundTrip_data();
  void coloursRoundTrip();
  void selectionStaysVisibleWithoutFocus();
  void caretShowsWithFocus();
  void anExerciseKeyRepaintsOnlyTheCaretRows_data();
  void anExerciseKeyRepaintsOnlyTheCaretRows();
  void appearance();
  void strikeOutShows();
  void longLinesBehaveLikeShortOnes_data();
  void longLinesBehaveLikeShortOnes();
  void longLineGutterAndActiveLine();
  void anEmptyPaneNumbersItsFirstLine();
  void selectionAcrossLineBreakReadsCrLf();
  void editingAcrossSegmentEnds();
  void growingLineWrapsAsOneLine();

 private:
  pekto::test::TempDataDir data_;
};

void TestTextPane::initTestCase() {
#ifdef _WIN32
  pekto::InstallFontSubstitutions();  // Wine lacks Courier New, which the panes need fixed-pitch
#endif
  QVERIFY(data_.IsValid());
  QCOMPARE(qgetenv("XDG_DATA_HOME"), data_.Path().toLocal8Bit());
}

// ---- lines ---------------------------------------------------------------------------------

void TestTextPane::lines() {
  TextPane pane;
  QCOMPARE(pane.LineCount(), 0);
  QCOMPARE(pane.Line(0), std::string());
  QCOMPARE(pane.LineLength(0), 0);

  // One empty line is not the same as no lines.
  pane.AppendLine("");
  QCOMPARE(pane.LineCount(), 1);
  QCOMPARE(pane.Lines(), std::vector<std::string>{""});
  pane.Clear();
  QCOMPARE(pane.LineCount(), 0);
  QVERIFY(pane.Lines().empty());

  // Windows-1250 bytes: ő, ű, Ő.
  pane.AppendLine("\xf5r\xfclt");
  pane.AppendLine("\xd5");
  QCOMPARE(pane.LineCount(), 2);
  QCOMPARE(pane.Line(0), std::string("\xf5r\xfclt"));
  QCOMPARE(pane.LineLength(0), 5);
  QCOMPARE(pane.toPlainText(), QStringLiteral("őrült\nŐ"));  // shown at once

  // Replacing at the line count appends; outside the list nothing happens.
  pane.ReplaceLine(2, "three");
  pane.ReplaceLine(1, "two");
  pane.ReplaceLine(5, "nowhere");
  pane.ReplaceLine(-1, "nowhere");
  QCOMPARE(pane.Lines(), (std::vector<std::string>{"\xf5r\xfclt", "two", "three"}));
  QCOMPARE(pane.Line(3), std::string());
  QCOMPARE(pane.Line(-1), std::string());

  pane.AppendToLine(2, "!");
  pane.AppendToLine(3, "nowhere");
  QCOMPARE(pane.Line(2), std::string("three!"));

  pane.AppendLines({"", "x", ""});
  QCOMPARE(pane.LineCount(), 6);
  QCOMPARE(pane.Line(4), std::string("x"));
  QCOMPARE(pane.Line(5), std::string());

  // A list into an empty pane, empty lines at both ends kept.
  pane.Clear();
  pane.AppendLines({"", ""});
  QCOMPARE(pane.LineCount(), 2);
  pane.Clear();
  pane.AppendLines({});
  QCOMPARE(pane.LineCount(), 0);
  // Replacing the only line by an empty one keeps the line.
  pane.ReplaceLine(0, "a");
  pane.ReplaceLine(0, "");
  QCOMPARE(pane.LineCount(), 1);
  // Appending a character to a pane without lines has no line to go to.
  pane.Clear();
  pane.AppendToLine(0, "a");
  QCOMPARE(pane.LineCount(), 0);
}

void TestTextPane::linesAfterUserEdits() {
  // The lesson editor lets the user write into the pane: typed text makes lines, and a text
  // erased completely has none.
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  pane.setReadOnly(false);
  pane.setFocus();
  pekto::test::TypeText(&pane, QStringLiteral("áb\nc"));
  QCOMPARE(pane.Lines(), (std::vector<std::string>{"\xe1"
                                                   "b",
                                                   "c"}));
  // Typing beyond the end of a line fills the gap with spaces.
  pane.SetCaret(2, 4);
  pekto::test::TypeText(&pane, QStringLiteral("ű"));
  QCOMPARE(pane.Line(1), std::string("c  \xfb"));
  QCOMPARE(pane.CaretColumn(), 5);
  pane.selectAll();
  QTest::keyClick(&pane, Qt::Key_Delete);
  QCOMPARE(pane.LineCount(), 0);
}

void TestTextPane::anEditablePaneTakesOnlyStorableText() {
  // The lesson editor's text: typed, input-method and pasted characters that a lesson file
  // cannot store are left out and named; Shift+Enter breaks the line for real.
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  pane.setReadOnly(false);
  pane.setFocus();
  QSignalSpy refused(&pane, &TextPane::textRefused);
  pekto::test::TypeText(&pane, QStringLiteral("añb"));
  QCOMPARE(refused.count(), 1);
  QCOMPARE(refused.takeFirst().at(0).toString(), QStringLiteral("ñ"));
  // Letters from dead keys and Compose come as input-method text, also at a caret beyond the
  // end of the line.
  pane.SetCaret(1, 5);
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("őõ"));
  QApplication::sendEvent(&pane, &commit);
  QCOMPARE(pane.Line(0), std::string("ab  \xF5"));
  QCOMPARE(refused.takeFirst().at(0).toString(), QStringLiteral("õ"));
  QTest::keyClick(&pane, Qt::Key_Return, Qt::ShiftModifier);
  QApplication::clipboard()->setText(QStringLiteral("x\u2028y\u00A0日\0z"));
  pane.paste();
  QCOMPARE(pane.Lines(), (std::vector<std::string>{"ab  \xF5", "x", "y\xA0z"}));
  QCOMPARE(refused.takeFirst().at(0).toString(), QStringLiteral("日") + QChar(0));
  QVERIFY(refused.isEmpty());

  // A read-only pane inserts nothing and refuses nothing.
  TextPane& typing = *w.typing;
  typing.setFocus();
  QSignalSpy quiet(&typing, &TextPane::textRefused);
  pekto::test::TypeText(&typing, QStringLiteral("ñ"));
  typing.paste();
  QCOMPARE(typing.LineCount(), 0);
  QVERIFY(quiet.isEmpty());
}

// ---- caret ---------------------------------------------------------------------------------

void TestTextPane::caretClampsAndStandsBeyondEnd_data() {
  QTest::addColumn<int>("lines");
  QTest::addColumn<int>("line");
  QTest::addColumn<int>("column");
  QTest::addColumn<int>("caretLine");
  QTest::addColumn<int>("caretColumn");
  // Lines "ab" and "cde".
  QTest::newRow("inside") << 2 << 2 << 2 << 2 << 2;
  QTest::newRow("line end") << 2 << 1 << 3 << 1 << 3;
  QTest::newRow("break position") << 2 << 1 << 4 << 1 << 4;
  QTest::newRow("far beyond") << 2 << 2 << 99 << 2 << 99;
  QTest::newRow("zeros") << 2 << 0 << 0 << 1 << 1;
  QTest::newRow("negative") << 2 << -5 << -5 << 1 << 1;
  QTest::newRow("line past the end") << 2 << 7 << 2 << 2 << 2;
  QTest::newRow("no lines") << 0 << 3 << 1 << 1 << 1;
  QTest::newRow("no lines, beyond") << 0 << 0 << 5 << 1 << 5;
}

void TestTextPane::caretClampsAndStandsBeyondEnd() {
  QFETCH(int, lines);
  QFETCH(int, line);
  QFETCH(int, column);
  TextPane pane;
  if (lines > 0) pane.AppendLines({"ab", "cde"});
  pane.SelectCharacter(std::min(lines, 1), 1);
  pane.SetCaret(line, column);
  QTEST(pane.CaretLine(), "caretLine");
  QTEST(pane.CaretColumn(), "caretColumn");
  QCOMPARE(pane.SelectedText(), std::string());
  QVERIFY(!pane.textCursor().hasSelection());
}

void TestTextPane::caretCountsStoredLinesNotRows() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  const std::string longLine(300, 'w');
  pane.AppendLines({longLine, "x"});
  QVERIFY(pane.document()->findBlockByNumber(0).layout()->lineCount() > 2);  // wraps
  pane.SelectCharacter(1, 250);
  QCOMPARE(pane.CaretLine(), 1);
  QCOMPARE(pane.CaretColumn(), 251);
  QCOMPARE(pane.SelectedText(), std::string("w"));
  pane.SetCaret(2, 2);
  QCOMPARE(pane.CaretLine(), 2);
  QCOMPARE(pane.CaretColumn(), 2);
  // The end test's reading: the column beyond the end comes back as set.
  pane.SetCaret(1, 302);
  QCOMPARE(pane.CaretLine(), 1);
  QCOMPARE(pane.CaretColumn(), 302);
}

void TestTextPane::caretScrollsIntoViewAndMarksItsLine() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  pane.AppendLines(NumberedLines(300));
  const QRect view = pane.viewport()->rect();

  pane.SetCaret(280, 4);
  QVERIFY(pane.verticalScrollBar()->value() > 0);
  QVERIFY(view.contains(pane.CaretRectangle()));
  pane.SelectCharacter(150, 1);
  QVERIFY(view.contains(pane.CaretRectangle()));
  pane.SetCaret(1, 30);  // beyond the end
  QCOMPARE(pane.verticalScrollBar()->value(), 0);
  QVERIFY(view.contains(pane.CaretRectangle()));

  // The caret's line, and only it, has the active-line colour right of its text.
  const QImage image = Screen(pane);
  const QRect caretRow = CharactersRect(pane, 0, 0, 1);
  const QRect otherRow = CharactersRect(pane, 2, 0, 1);
  const QRect rightOfText(view.width() - 40, 0, 20, 0);
  QVERIFY(CountPixels(image, QRect(rightOfText.left(), caretRow.top(), 20, caretRow.height()),
                      Rgb(kActiveLine)) > 0);
  QCOMPARE(CountPixels(image, QRect(rightOfText.left(), otherRow.top(), 20, otherRow.height()),
                       Rgb(kActiveLine)),
           0);

  // A pane emptied of its lines still marks the caret's line 1.
  pane.Clear();
  pane.AppendLine("");
  pane.SetCaret(1, 1);
  pane.Clear();
  const QRect firstRow = pane.CaretRectangle();
  QVERIFY(CountPixels(Screen(pane),
                      QRect(rightOfText.left(), firstRow.top(), 20, firstRow.height()),
                      Rgb(kActiveLine)) > 0);
}

void TestTextPane::clickMovesCaretAndDropsVirtualColumn() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  pane.AppendLines({"abcdef", "ghijkl", "mn"});
  pane.SetCaret(1, 20);
  QCOMPARE(pane.CaretColumn(), 20);

  // A click on a character puts the real caret there.
  const QRect chars = CharactersRect(pane, 1, 2, 3);
  QTest::mouseClick(pane.viewport(), Qt::LeftButton, {},
                    QPoint(chars.left() + 1, chars.center().y()));
  QCOMPARE(pane.CaretLine(), 2);
  QCOMPARE(pane.CaretColumn(), 3);

  // A click right of a line's end puts the caret beyond the end, at the nearest column.
  const QRect last = CharactersRect(pane, 2, 1, 2);
  const int step = last.width();
  QTest::mouseClick(pane.viewport(), Qt::LeftButton, {},
                    QPoint(last.right() + 3 * step, last.center().y()));
  QCOMPARE(pane.CaretLine(), 3);
  QCOMPARE(pane.CaretColumn(), 6);

  // And a click at the end of a line, where the real caret can stand, drops the virtual column.
  pane.SetCaret(3, 9);
  QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, QPoint(last.right(), last.center().y()));
  QCOMPARE(pane.CaretLine(), 3);
  QCOMPARE(pane.CaretColumn(), 3);
}

// ---- highlight -----------------------------------------------------------------------------

void TestTextPane::highlightOffset_data() {
  QTest::addColumn<Lines>("lines");
  QTest::newRow("short lines") << Lines{"ab", "c"};
  QTest::newRow("empty lines") << Lines{"", "", "x\xf5"};  // only their break positions
  QTest::newRow("across segments") << Lines{"ab", Paragraph(3000), std::string(1200, 'q'), "", "z"};
}

void TestTextPane::highlightOffset() {
  // Every offset of the text joined with two-character breaks, reached walking forwards and
  // back, from the start and from beyond the end: the character at the offset selected, the
  // caret after it; on a break nothing selected and the caret at column length + 2.
  QFETCH(Lines, lines);
  struct Expected {
    std::string selected;
    int line, column;
  };
  std::vector<Expected> expected;
  for (size_t line = 0; line < lines.size(); ++line) {
    const int number = static_cast<int>(line) + 1;
    const int length = static_cast<int>(lines[line].size());
    for (int column = 0; column < length; ++column) {
      expected.push_back({lines[line].substr(static_cast<size_t>(column), 1), number, column + 2});
    }
    expected.push_back({"", number, length + 2});
    expected.push_back({"", number, length + 2});
  }
  TextPane pane;
  pane.AppendLines(lines);
  const int last = static_cast<int>(expected.size()) - 1;
  const auto reach = [&](int offset, std::initializer_list<int> from) {
    for (const int start : from) pane.HighlightOffset(start);
    pane.HighlightOffset(offset);
    const Expected& want = expected[static_cast<size_t>(offset)];
    QCOMPARE(pane.SelectedText(), want.selected);
    QCOMPARE(pane.CaretLine(), want.line);
    QCOMPARE(pane.CaretColumn(), want.column);
  };
  for (int offset = 0; offset <= last && !QTest::currentTestFailed(); ++offset) reach(offset, {});
  for (int offset = last; offset >= 0 && !QTest::currentTestFailed(); --offset) reach(offset, {});
  for (int offset = 0; offset <= last && !QTest::currentTestFailed(); ++offset) {
    reach(offset, {0});
    reach(offset, {last + 5});
  }
}

void TestTextPane::highlightOffsetEdgeCases() {
  TextPane pane;
  // No line at all: nothing selected, caret at 1:1.
  pane.HighlightOffset(3);
  QCOMPARE(pane.SelectedText(), std::string());
  QCOMPARE(pane.CaretLine(), 1);
  QCOMPARE(pane.CaretColumn(), 1);

  // The lines change under a remembered position: the offset is located anew.
  pane.Clear();
  pane.AppendLines({"ab", "cd"});
  pane.HighlightOffset(5);
  QCOMPARE(pane.SelectedText(), std::string("d"));
  pane.ReplaceLine(0, "abcdef");
  pane.HighlightOffset(5);
  QCOMPARE(pane.SelectedText(), std::string("f"));
  QCOMPARE(pane.CaretLine(), 1);
  QCOMPARE(pane.CaretColumn(), 7);
  pane.Clear();
  pane.AppendLines({"z"});
  pane.HighlightOffset(5);
  QCOMPARE(pane.SelectedText(), std::string());
  QCOMPARE(pane.CaretLine(), 1);
  pane.HighlightOffset(0);
  QCOMPARE(pane.SelectedText(), std::string("z"));
}

// ---- keyboard ------------------------------------------------------------------------------

void TestTextPane::standardBindingList() {
  const auto& all = TextPane::StandardKeyBindings();
  QCOMPARE(all.size(), size_t{82});
  QSet<QKeySequence> distinct(all.begin(), all.end());
  QCOMPARE(distinct.size(), 82);

  TextPane pane;
  QVERIFY(!pane.IsBindingRemoved(QKeySequence(Qt::Key_Up)));
  pane.RemoveStandardKeyBindings();
  const auto removed = std::count_if(
      all.begin(), all.end(), [&](const QKeySequence& k) { return pane.IsBindingRemoved(k); });
  QCOMPARE(removed, 81);
  QVERIFY(!pane.IsBindingRemoved(QKeySequence(Qt::Key_Return)));
  // A few from every corner of the list.
  for (const QKeySequence& keys :
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right), QKeySequence(Qt::CTRL | Qt::Key_Down),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown), QKeySequence(Qt::Key_Insert),
        QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Backspace),
        QKeySequence(Qt::SHIFT | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_M),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y), QKeySequence(Qt::SHIFT | Qt::Key_Tab),
        QKeySequence(Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U),
        QKeySequence(Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::Key_9),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_0),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), QKeySequence(Qt::SHIFT | Qt::Key_Enter)}) {
    QVERIFY2(pane.IsBindingRemoved(keys), qPrintable(keys.toString()));
  }
  // One binding alone.
  TextPane single;
  single.RemoveKeyBinding(QKeySequence(Qt::Key_Home));
  QVERIFY(single.IsBindingRemoved(QKeySequence(Qt::Key_Home)));
  QVERIFY(!single.IsBindingRemoved(QKeySequence(Qt::Key_End)));
}

void TestTextPane::removedBindingsDoNothing_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  // Whether a pane with its standard bindings, editable, changes something on this key: the
  // proof that the key reaches a pane and would act there.
  QTest::addColumn<bool>("actsInStandardPane");
  const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
  QTest::newRow("Up") << int(Qt::Key_Up) << none << true;
  QTest::newRow("Down") << int(Qt::Key_Down) << none << true;
  QTest::newRow("Left") << int(Qt::Key_Left) << none << true;
  QTest::newRow("Right") << int(Qt::Key_Right) << none << true;
  QTest::newRow("Shift+Right") << int(Qt::Key_Right) << shift << true;
  QTest::newRow("Ctrl+Right") << int(Qt::Key_Right) << ctrl << true;
  QTest::newRow("Ctrl+Down") << int(Qt::Key_Down) << ctrl << false;
  QTest::newRow("Home") << int(Qt::Key_Home) << none << true;
  QTest::newRow("End") << int(Qt::Key_End) << none << true;
  QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << ctrl << true;
  QTest::newRow("Ctrl+Shift+End") << int(Qt::Key_End) << (ctrl | shift) << true;
  QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << true;
  QTest::newRow("Page Down") << int(Qt::Key_PageDown) << none << true;
  QTest::newRow("Shift+Page Down") << int(Qt::Key_PageDown) << shift << true;
  QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << true;
  QTest::newRow("Delete") << int(Qt::Key_Delete) << none << true;
  QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl << true;
  QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << true;
  QTest::newRow("Ctrl+Insert") << int(Qt::Key_Insert) << ctrl << true;
  QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << true;
  QTest::newRow("Shift+Delete") << int(Qt::Key_Delete) << shift << true;
  QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << true;
  QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << shift << true;
  QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << false;
  QTest::newRow("Insert") << int(Qt::Key_Insert) << none << true;
  QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << shift << true;
}

void TestTextPane::removedBindingsDoNothing() {
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(bool, actsInStandardPane);
  PracticeWindow w;
  QVERIFY(w.Ready());
  const auto lines = NumberedLines(120);
  for (TextPane* pane : {w.typing, w.lesson}) {
    pane->AppendLines(lines);
    pane->SelectCharacter(60, 3);
  }
  w.lesson->setReadOnly(false);
  QClipboard* clipboard = QGuiApplication::clipboard();

  struct Look {
    QString text;
    int line, column;
    std::string selected;
    int scroll;
    bool insert;
    QString clipboard;
    bool operator==(const Look&) const = default;
  };
  const auto look = [&](const TextPane* pane) {
    return Look{pane->toPlainText(),
                pane->CaretLine(),
                pane->CaretColumn(),
                pane->SelectedText(),
                pane->verticalScrollBar()->value(),
                pane->InsertMode(),
                clipboard->text()};
  };
  // True when the key changed nothing the learner could see or paste.
  const auto unchanged = [&](TextPane* pane) {
    clipboard->setText(QStringLiteral("sentinel"));
    const Look before = look(pane);
    // Sent without text: QTest::keyClick knows no text for keys such as Copy.
    QTest::sendKeyEvent(QTest::Click, pane, Qt::Key(key), QString(),
                        Qt::KeyboardModifiers(modifiers));
    return look(pane) == before;
  };
  QVERIFY(Focus(w.typing));
  QVERIFY2(unchanged(w.typing), "the typing pane changed");
  QVERIFY(Focus(w.lesson));
  if (actsInStandardPane) QVERIFY2(!unchanged(w.lesson), "the key did nothing in a standard pane");
}

void TestTextPane::typedCharactersNeverChangeReadOnlyText() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  for (TextPane* pane : {w.typing, w.lesson}) {
    pane->AppendLines({"abc", "d"});
    pane->SetCaret(1, 2);
    QVERIFY(Focus(pane));
    pekto::test::TypeText(pane, QStringLiteral("xő \n\t"));
    QTest::keyClick(pane, Qt::Key_Backspace);
    QTest::keyClick(pane, Qt::Key_Delete);
    QTest::keyClick(pane, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pane->Lines(), (std::vector<std::string>{"abc", "d"}));
  }
}

void TestTextPane::removedBindingsReachWindowShortcuts() {
  // A command shortcut of the window comes before the pane's own binding of the same keys,
  // in the typing pane and in a pane with the standard bindings.
  PracticeWindow w;
  QVERIFY(w.Ready());
  QAction selectAll(&w.window);
  selectAll.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  w.window.addAction(&selectAll);
  QSignalSpy triggered(&selectAll, &QAction::triggered);
  int expected = 0;
  for (TextPane* pane : {w.typing, w.lesson}) {
    for (const bool editable : {false, true}) {
      pane->setReadOnly(!editable);
      pane->AppendLines({"abc"});
      pane->SetCaret(1, 1);
      QVERIFY(Focus(pane));
      QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
      QCOMPARE(triggered.count(), ++expected);
      QCOMPARE(pane->SelectedText(), std::string());
    }
  }
}

void TestTextPane::aKeyWithoutANameStartsNoShortcut() {
  // Under Wine AltGr comes as a key Qt has no name for; the shortcut map would take it as the
  // start of every shortcut and swallow the letter typed with it, so the pane keeps it.
  TextPane pane;
  QKeyEvent nameless(QEvent::ShortcutOverride, 0, Qt::NoModifier);
  QKeyEvent command(QEvent::ShortcutOverride, Qt::Key_A, Qt::ControlModifier);
  QApplication::sendEvent(&pane, &nameless);
  QApplication::sendEvent(&pane, &command);
  QVERIFY(nameless.isAccepted());
  QVERIFY(!command.isAccepted());
  // A key that only types a character is no command's shortcut: the pane keeps it too, and
  // Qt does not look through the window's shortcuts for it. Alt, Ctrl and F-keys it leaves.
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool claimed;
  } keys[] = {{Qt::Key_A, Qt::NoModifier, "a", true},
              {0x150, Qt::ShiftModifier, "\u0150", true},  // Ő
              {Qt::Key_L, Qt::AltModifier, "l", false},
              {Qt::Key_F5, Qt::NoModifier, "", false},
              {Qt::Key_Escape, Qt::NoModifier, "\x1b", false}};
  for (const auto& key : keys) {
    QKeyEvent event(QEvent::ShortcutOverride, key.key, key.modifiers, key.text);
    QApplication::sendEvent(&pane, &event);
    QCOMPARE(event.isAccepted(), key.claimed);
  }
}

void TestTextPane::tabMovesFocus() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  w.typing->AppendLines({"abc"});
  QVERIFY(Focus(w.typing));  // on request
  QTest::keyClick(w.typing, Qt::Key_Tab);
  QTRY_VERIFY(w.lesson->hasFocus());
  QTest::keyClick(w.lesson, Qt::Key_Tab);
  QTRY_VERIFY(w.chooser->hasFocus());
  QVERIFY(Focus(w.typing));
  QTest::keyClick(w.typing, Qt::Key_Backtab, Qt::ShiftModifier);
  QTRY_VERIFY(w.chooser->hasFocus());
  QCOMPARE(w.typing->Lines(), std::vector<std::string>{"abc"});
}

// ---- events --------------------------------------------------------------------------------

void TestTextPane::clickedAfterRelease() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.typing;
  pane.AppendLines({"abc", "def"});
  QSignalSpy clicked(&pane, &TextPane::clicked);
  const QPoint point = CharactersRect(pane, 0, 1, 2).center();

  QTest::mousePress(pane.viewport(), Qt::LeftButton, {}, point);
  QCOMPARE(clicked.count(), 0);
  QTest::mouseRelease(pane.viewport(), Qt::LeftButton, {}, point);
  QCOMPARE(clicked.count(), 1);
  QVERIFY(pane.hasFocus());  // a click gives the focus

  QTest::mouseClick(pane.viewport(), Qt::RightButton, {}, point);
  QCOMPARE(clicked.count(), 1);
}

// ---- look ----------------------------------------------------------------------------------

void TestTextPane::coloursRoundTrip_data() {
  QTest::addColumn<int>("value");
  QTest::newRow("black") << 0;
  QTest::newRow("white") << 0xFFFFFF;
  QTest::newRow("red in the low byte") << 0x0000FF;
  QTest::newRow("mixed") << 0x123456;
  QTest::newRow("system window colour") << -16777211;
  QTest::newRow("system highlight") << -16777203;
}

void TestTextPane::coloursRoundTrip() {
  // A colour of the settings file, shown in the pane and stored again as the main window stores
  // it, comes back unchanged: a system colour as the system colour.
  QFETCH(int, value);
  const QColor shown = pekto::ColorFromValue(value);
  TextPane pane;
  pane.SetFontColor(shown);
  pane.SetBackgroundColor(shown);
  pane.SetActiveLineColor(shown);
  pane.SetSelectedColor(shown);
  for (const QColor& color :
       {pane.FontColor(), pane.BackgroundColor(), pane.ActiveLineColor(), pane.SelectedColor()}) {
    QCOMPARE(pekto::ValueFromColor(color, {value, pekto::kPaneBackgroundColor}), value);
  }
  QCOMPARE(pane.palette().color(QPalette::Active, QPalette::Text), shown);
  QCOMPARE(pane.palette().color(QPalette::Active, QPalette::Base), shown);
  QCOMPARE(pane.palette().color(QPalette::Active, QPalette::Highlight), shown);
  QCOMPARE(pane.palette().color(QPalette::Inactive, QPalette::Highlight), shown);
}

void TestTextPane::selectionStaysVisibleWithoutFocus() {
  // The highlighted character of the lesson pane while the learner types in the typing pane.
  PracticeWindow w;
  QVERIFY(w.Ready());
  w.lesson->AppendLines({"abcdef", "ghi"});
  w.lesson->SelectCharacter(1, 3);
  QVERIFY(Focus(w.typing));
  QVERIFY(!w.lesson->hasFocus());

  const QImage image = Screen(*w.lesson);
  const QRect selected = CharactersRect(*w.lesson, 0, 2, 3);
  const int area = selected.width() * selected.height();
  QVERIFY2(CountPixels(image, selected, Rgb(kSelection)) > area / 3,
           "the selected character is not in the selection colour");
  // Its neighbours are not selected.
  QCOMPARE(CountPixels(image, CharactersRect(*w.lesson, 0, 4, 5), Rgb(kSelection)), 0);

  // A new selection colour shows at once, also without the focus.
  w.lesson->SetSelectedColor(Rgb(0x00C000));
  QVERIFY(CountPixels(Screen(*w.lesson), selected, Rgb(0x00C000)) > area / 3);
}

void TestTextPane::caretShowsWithFocus() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.typing;
  pane.AppendLines({"abcdefgh", "de"});
  QVERIFY(Focus(&pane));
  const QColor ink = Rgb(kBlack);

  // At the end of the line, where the next typed character goes: a block, not a thin line.
  pane.SetCaret(2, 3);
  const QRect atEnd = pane.CaretRectangle();
  QVERIFY(atEnd.width() >= CharactersRect(pane, 1, 0, 1).width() - 1);
  QVERIFY(CountPixels(Screen(pane), atEnd, ink) >= atEnd.width() * atEnd.height() * 9 / 10);

  // Beyond the end of the line: the block stands at its column, below that column of the
  // longer line above, and the end of the text is empty.
  pane.SetCaret(2, 6);
  const QRect beyond = pane.CaretRectangle();
  QVERIFY(std::abs(beyond.left() - CharactersRect(pane, 0, 5, 6).left()) <= 1);
  QImage image = Screen(pane);
  QVERIFY(CountPixels(image, beyond, ink) >= beyond.width() * beyond.height() * 9 / 10);
  QCOMPARE(CountPixels(image, atEnd, ink), 0);

  // Moving the caret repaints where it was and where it goes, also when only the column
  // beyond the end changes.
  QCoreApplication::processEvents();  // the paints still due
  PaintRecorder painted(pane.viewport());
  pane.SetCaret(2, 9);
  QTRY_VERIFY(painted.region.contains(beyond) && painted.region.contains(pane.CaretRectangle()));

  // Over a character the block shows the character in the background colour.
  pane.SetCaret(1, 2);
  const QRect over = pane.CaretRectangle();
  image = Screen(pane);
  QVERIFY(CountPixels(image, over, ink) > 0);
  QVERIFY(CountPixels(image, over, Rgb(kWhite)) > 0);

  // No caret without the focus.
  pane.SetCaret(2, 6);
  w.chooser->setFocus();
  QTRY_VERIFY(!pane.hasFocus());
  QCOMPARE(CountPixels(Screen(pane), beyond, ink), 0);

  // Insert mode: a bar, beyond the end too.
  TextPane& lesson = *w.lesson;
  lesson.AppendLines({"abc"});
  QVERIFY(Focus(&lesson));
  lesson.SetCaret(1, 6);
  const QRect bar = lesson.CaretRectangle();
  QVERIFY(bar.width() < CharactersRect(lesson, 0, 0, 1).width() / 2);
  QVERIFY(CountPixels(Screen(lesson), bar, ink) >= bar.height());
}

void TestTextPane::anExerciseKeyRepaintsOnlyTheCaretRows_data() {
  QTest::addColumn<bool>("wrapped");
  QTest::addColumn<bool>("slanted");     // a font whose ink reaches into the neighbouring cells
  QTest::addColumn<QByteArray>("keys");  // typed; empty: the first 60 characters of the text
  QTest::newRow("short lines") << false << false << QByteArray("line 1\rl");
  QTest::newRow("a paragraph over rows") << true << false << QByteArray();
  QTest::newRow("slanted, wrong keys") << false << true << QByteArray("lime 1\rL\xd5ne\xf5");
  QTest::newRow("slanted paragraph") << true << true << QByteArray();
}

void TestTextPane::anExerciseKeyRepaintsOnlyTheCaretRows() {
  QFETCH(bool, wrapped);
  QFETCH(bool, slanted);
  QFETCH(QByteArray, keys);
  // A key of the exercise repaints the rows of the old and the new caret in both panes, also
  // when the highlight goes on to the next line, and no line number. Within those rows it
  // paints only the cells that changed: the panes show what a full repaint would.
  PracticeWindow w;
  QVERIFY(w.Ready());
  if (slanted) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setItalic(true);
    font.setUnderline(true);  // as on a first start
    font.setPixelSize(22);
    for (TextPane* pane : {w.typing, w.lesson}) pane->SetPaneFont(font);
  }
  pekto::Exercise exercise(*w.typing, *w.lesson);
  const std::string paragraph = Paragraph(120);
  exercise.Load(pekto::Lesson{"", wrapped ? std::vector{paragraph} : NumberedLines(20)});
  if (keys.isEmpty()) keys = QByteArray::fromStdString(paragraph.substr(0, 60));
  std::vector<std::unique_ptr<PaintRecorder>> painted;
  for (TextPane* pane : {w.typing, w.lesson}) {
    painted.push_back(std::make_unique<PaintRecorder>(pane->viewport()));
    painted.push_back(std::make_unique<PaintRecorder>(pane->findChild<pekto::LineNumberGutter*>()));
  }
  const int row = w.lesson->CaretRectangle().height();
  QVERIFY(w.lesson->viewport()->height() > 6 * row);
  for (const char key : keys) {
    QCoreApplication::processEvents();
    for (auto& recorder : painted) recorder->region = {};
    exercise.Key(static_cast<unsigned char>(key));
    QTRY_VERIFY(!painted[2]->region.isEmpty());  // the lesson pane's viewport
    QCoreApplication::processEvents();
    QVERIFY(painted[2]->region.boundingRect().height() < 3 * row);
    QVERIFY(painted[3]->region.isEmpty());
    // The typing pane lays out its text anew for a new line or a row that wraps.
    if (key != '\r' && !wrapped) {
      QVERIFY(painted[0]->region.boundingRect().height() < 2 * row);
      QVERIFY(painted[1]->region.isEmpty());
    }
    for (TextPane* pane : {w.typing, w.lesson}) {
      QCOMPARE(OnScreen(*pane), Screen(*pane).convertToFormat(QImage::Format_RGB32));
    }
  }
}

void TestTextPane::appearance() {
  TextPane pane;
  QVERIFY(pane.isReadOnly());
  QCOMPARE(pane.lineWrapMode(), QPlainTextEdit::WidgetWidth);
  QCOMPARE(pane.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  QVERIFY(pane.verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
  pane.SetInsertMode(false);
  QVERIFY(!pane.InsertMode());
  pane.SetInsertMode(true);
  QVERIFY(pane.InsertMode());

  // The gutter holds three digits of its 13-pixel font, and grows with the fourth.
  QFont numbers(QStringLiteral("Courier New"));
  numbers.setBold(true);
  numbers.setPixelSize(13);
  const int digit = QFontMetrics(numbers).horizontalAdvance(u'9');
  const int narrow = pane.GutterWidth();
  QVERIFY(narrow >= 3 * digit);
  QVERIFY(narrow < 4 * digit);
  pane.AppendLines(NumberedLines(999));
  QCOMPARE(pane.GutterWidth(), narrow);
  pane.AppendLine("1000");
  QVERIFY(pane.GutterWidth() >= 4 * digit);
  QVERIFY(pane.viewport()->geometry().left() >= pane.GutterWidth());
  pane.Clear();
  QCOMPARE(pane.GutterWidth(), narrow);

  QFont font(QStringLiteral("Courier New"));
  font.setPointSize(15);
  font.setItalic(true);
  font.setUnderline(true);
  pane.SetPaneFont(font);
  QCOMPARE(pane.PaneFont().family(), font.family());
  QCOMPARE(pane.PaneFont().pointSize(), 15);
  QVERIFY(pane.PaneFont().italic());
  QVERIFY(pane.PaneFont().underline());
  QVERIFY(pane.document()->defaultFont().italic());
}

void TestTextPane::strikeOutShows() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  pane.AppendLines({"x  x"});
  pane.SetCaret(1, 1);
  // The gap between the two letters holds ink only where the line is struck out.
  const auto inkInGap = [&pane] {
    return CountPixels(Screen(pane), CharactersRect(pane, 0, 1, 3), Rgb(kBlack));
  };
  QCOMPARE(inkInGap(), 0);
  QFont font = pane.PaneFont();
  font.setStrikeOut(true);
  pane.SetPaneFont(font);
  QVERIFY(pane.PaneFont().strikeOut());
  QVERIFY(inkInGap() > 0);
}

// ---- long lines ----------------------------------------------------------------------------

void TestTextPane::longLinesBehaveLikeShortOnes_data() {
  QTest::addColumn<Lines>("lines");
  QTest::addColumn<bool>("typed");  // also as a lesson, key after key
  QTest::newRow("paragraphs, a run, short lines") << MixedLines() << false;
  QTest::newRow("a lesson pasted as paragraphs")
      << Lines{"ab", Paragraph(2500), "", Paragraph(1300, 2), "cd"} << true;
}

void TestTextPane::longLinesBehaveLikeShortOnes() {
  // Every operation of the engine's pane model gives what the plain in-memory pane gives, and
  // the engine on the real panes what it gives on in-memory ones.
  QFETCH(Lines, lines);
  TextPane pane;
  pekto::MemoryPane memory;
  const auto check = [&](const char* what) {
    QCOMPARE(pane.LineCount(), memory.LineCount());
    for (int i = -1; i <= memory.LineCount(); ++i) {
      QCOMPARE(pane.LineLength(i), memory.LineLength(i));
      QVERIFY2(pane.Line(i) == memory.Line(i), what);
    }
  };
  for (pekto::PaneModel* model : std::initializer_list<pekto::PaneModel*>{&pane, &memory}) {
    model->AppendLines(lines);
  }
  check("loaded");
  if (QTest::currentTestFailed()) return;
  QCOMPARE(pane.Lines(), lines);
  // The premise: the long lines do lie in several blocks, each a few KB at most.
  QVERIFY(pane.document()->blockCount() > pane.LineCount() + 2);
  for (QTextBlock block = pane.document()->firstBlock(); block.isValid(); block = block.next()) {
    QVERIFY(block.length() - 1 <= 4096);
  }

  // The caret and the one-character selection on every column of every line, beyond the end
  // too; on the segment ends above all.
  for (int line = 1; line <= memory.LineCount() + 1; ++line) {
    const int length = memory.LineLength(line - 1);
    for (int column = 1; column <= length + 3; ++column) {
      pane.SetCaret(line, column);
      memory.SetCaret(line, column);
      QCOMPARE(LookOf(pane), LookOf(memory));
      if (column > length || line > memory.LineCount()) continue;  // no character to select
      pane.SelectCharacter(line, column);
      memory.SelectCharacter(line, column);
      QCOMPARE(LookOf(pane), LookOf(memory));
    }
  }

  // Characters appended one by one, to the last line as the typing pane gets them and to a
  // line in the middle; lines replaced by long and short ones, and appended.
  for (pekto::PaneModel* model : std::initializer_list<pekto::PaneModel*>{&pane, &memory}) {
    for (const char ch : Paragraph(3000, 1)) model->AppendToLine(model->LineCount() - 1, {&ch, 1});
    for (const char ch : Paragraph(700, 2)) model->AppendToLine(0, {&ch, 1});
    model->AppendToLine(3, Paragraph(3000, 6));  // much text at once
    model->AppendToLine(4, "tail");
    model->ReplaceLine(1, "short");
    model->ReplaceLine(2, Paragraph(9000, 4));
    model->ReplaceLine(model->LineCount(), Paragraph(2000, 5));
    model->AppendLine(std::string(5000, 'x'));
    model->AppendLine("end");
  }
  check("changed");
  if (QTest::currentTestFailed()) return;
  const int last = memory.LineCount();
  for (const int line : {1, 3, last - 2, last - 1}) {
    for (int column = 1; column <= memory.LineLength(line - 1); column += 7) {
      pane.SelectCharacter(line, column);
      memory.SelectCharacter(line, column);
      QCOMPARE(LookOf(pane), LookOf(memory));
    }
  }
  pane.Clear();
  memory.Clear();
  check("cleared");
  QCOMPARE(LookOf(pane), LookOf(memory));
  QFETCH(bool, typed);
  if (!typed) return;

  // The lines as a lesson, typed key after key with a wrong key and keys on break positions.
  TextPane typing, lesson;
  pekto::MemoryPane memoryTyping, memoryLesson;
  pekto::Exercise onPanes(typing, lesson), inMemory(memoryTyping, memoryLesson);
  onPanes.Load({"Title", lines});
  inMemory.Load({"Title", lines});
  std::string keys;
  for (const std::string& line : lines) keys += line + '\r';
  keys[7] = 'X';         // a wrong key
  keys.insert(2, "yy");  // keys on a line's break positions
  size_t step = 0;
  for (const char key : keys) {
    ++step;
    const auto ch = static_cast<unsigned char>(key);
    QCOMPARE(onPanes.Key(ch), inMemory.Key(ch));
    QCOMPARE(LookOf(lesson), LookOf(memoryLesson));
    QCOMPARE(LookOf(typing), LookOf(memoryTyping));
    QCOMPARE(typing.LineLength(typing.LineCount() - 1),
             memoryTyping.LineLength(memoryTyping.LineCount() - 1));
    QCOMPARE(onPanes.EndReached(), inMemory.EndReached());
    if (inMemory.EndReached()) break;
  }
  QVERIFY(inMemory.EndReached());
  QCOMPARE(onPanes.State().CorrectCount, inMemory.State().CorrectCount);
  QCOMPARE(onPanes.State().WrongCount, inMemory.State().WrongCount);
  QCOMPARE(typing.LineCount(), memoryTyping.LineCount());
  for (int i = 0; i < memoryTyping.LineCount(); ++i) QCOMPARE(typing.Line(i), memoryTyping.Line(i));
  QVERIFY(step + 5 > keys.size());  // the end came with the text's last keys
}

void TestTextPane::anEmptyPaneNumbersItsFirstLine() {
  TextPane empty, one;  // the number 1, as beside one empty line
  one.AppendLine("");
  const QRect gutter(empty.contentsRect().topLeft(), QSize(empty.GutterWidth(), 30));
  QCOMPARE(empty.grab(gutter).toImage(), one.grab(gutter).toImage());
}

void TestTextPane::longLineGutterAndActiveLine() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  TextPane& reference = *w.typing;  // the same size, short lines only
  const std::string paragraph = Paragraph(3000);
  pane.AppendLines({"a", paragraph, "b"});
  reference.AppendLines({"a", "x", "b"});
  QVERIFY(SegmentsOf(pane, 1).size() >= 3);

  const QColor active = Rgb(kActiveLine);
  const int viewportTop = pane.viewport()->geometry().top();
  const auto rowOf = [](const TextPane& p, int position) {
    QTextCursor cursor(p.document());
    cursor.setPosition(position);
    return p.cursorRect(cursor);
  };
  // The gutter beside one row, in the pane's own coordinates.
  const auto gutterAt = [&](TextPane& p, const QRect& row) {
    return p
        .grab(
            QRect(p.contentsRect().left(), row.top() + viewportTop, p.GutterWidth(), row.height()))
        .toImage();
  };
  const auto blank = [](const QImage& image) {
    return CountPixels(image, image.rect(), image.pixelColor(0, 0)) ==
           image.width() * image.height();
  };
  const QTextBlock lastBlock = pane.document()->lastBlock();

  // At the end: the caret on line 3; the paragraph's last rows above it have no number and are
  // not marked, line 3 has the number 3.
  pane.SetCaret(3, 1);
  reference.SetCaret(3, 1);
  QVERIFY(pane.verticalScrollBar()->value() > 0);
  const QRect rowB = rowOf(pane, lastBlock.position());
  QCOMPARE(gutterAt(pane, rowB), gutterAt(reference, rowOf(reference, 4)));
  const QTextBlock lastSegment = lastBlock.previous();
  const QRect paragraphEnd = rowOf(pane, lastSegment.position() + lastSegment.length() - 1);
  QVERIFY(pane.viewport()->rect().contains(paragraphEnd));
  QVERIFY(blank(gutterAt(pane, paragraphEnd)));
  const int right = pane.viewport()->width() - 10;
  QImage image = Screen(pane);
  QCOMPARE(image.pixelColor(right, rowB.center().y()), active);
  QVERIFY(image.pixelColor(right, paragraphEnd.center().y()) != active);

  // The caret in the paragraph's last segment: every row of the paragraph in view is marked,
  // across all its segments, and no other.
  pane.SetCaret(2, static_cast<int>(paragraph.size()) - 5);
  QCOMPARE(pane.CaretLine(), 2);
  image = Screen(pane);
  const int paragraphTop =
      std::max(0, rowOf(pane, pane.document()->findBlockByNumber(1).position()).top());
  int marked = 0;
  for (int y = paragraphTop; y <= paragraphEnd.bottom(); ++y) {
    QVERIFY2(image.pixelColor(right, y) == active, qPrintable(QString::number(y)));
    ++marked;
  }
  QVERIFY(marked > 5 * rowB.height());
  QVERIFY(image.pixelColor(right, rowB.center().y()) != active);

  // At the start: the paragraph's first row has the number 2.
  pane.SetCaret(1, 1);
  reference.SetCaret(1, 1);
  QCOMPARE(pane.verticalScrollBar()->value(), 0);
  QCOMPARE(gutterAt(pane, rowOf(pane, 2)), gutterAt(reference, rowOf(reference, 2)));
  QVERIFY(blank(gutterAt(pane, rowOf(pane, 2 + 200))));  // a wrapped row of the paragraph

  // Caret beyond the end of the long line, in view.
  pane.SetCaret(2, static_cast<int>(paragraph.size()) + 4);
  QCOMPARE(pane.CaretColumn(), static_cast<int>(paragraph.size()) + 4);
  QVERIFY(pane.viewport()->rect().contains(pane.CaretRectangle()));
}

void TestTextPane::selectionAcrossLineBreakReadsCrLf() {
  TextPane pane;
  pane.AppendLines({"ab", "cd"});
  pane.selectAll();
  QCOMPARE(pane.SelectedText(), std::string("ab\r\ncd"));
  QTextCursor cursor = pane.textCursor();
  cursor.setPosition(1);
  cursor.setPosition(4, QTextCursor::KeepAnchor);
  pane.setTextCursor(cursor);
  QCOMPARE(pane.SelectedText(), std::string("b\r\nc"));

  // Segment ends are no line breaks; copying gives the lines as the clipboard has them.
  const std::string paragraph = Paragraph(4000);
  pane.Clear();
  pane.AppendLines({"x", paragraph, "", "y"});
  pane.selectAll();
  QCOMPARE(pane.SelectedText(), "x\r\n" + paragraph + "\r\n\r\ny");
  pane.setReadOnly(false);
  pane.copy();
  QCOMPARE(QGuiApplication::clipboard()->text(),
           QStringLiteral("x\n") + pekto::ToQ(paragraph) + QStringLiteral("\n\ny"));
}

void TestTextPane::editingAcrossSegmentEnds() {
  // The lesson editor's text: a long line edited where two of its segments meet behaves as one
  // line.
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.lesson;
  pane.setReadOnly(false);
  QVERIFY(Focus(&pane));
  std::string line = Paragraph(12000);
  pane.AppendLines({"top", line, "end"});
  QVERIFY(SegmentStarts(pane, 1).size() >= 8);
  const auto expect = [&](const std::vector<std::string>& lines) {
    if (QTest::currentTestFailed()) return;  // one failure is enough
    QCOMPARE(pane.Lines(), lines);
    QCOMPARE(pane.LineCount(), static_cast<int>(lines.size()));
    for (int i = 0; i < pane.LineCount(); ++i) {
      QCOMPARE(pane.LineLength(i), static_cast<int>(lines[static_cast<size_t>(i)].size()));
    }
  };
  // Where the first two segments of line 2 meet; each deletion there joins them.
  const auto boundary = [&] {
    const auto starts = SegmentStarts(pane, 1);
    return starts.empty() ? 1 : starts.front();
  };
  // The real caret at the end of the first segment, where a click right of its last row puts it.
  const auto caretAtSegmentEnd = [&] {
    const QTextBlock first = SegmentsOf(pane, 1).front();
    QTextCursor cursor(first);
    cursor.setPosition(first.position() + first.length() - 1);
    pane.setTextCursor(cursor);
  };

  int cut = boundary();
  pane.SetCaret(2, cut + 1);  // before the first character of the second segment
  QTest::keyClick(&pane, Qt::Key_Backspace);
  line.erase(static_cast<size_t>(cut) - 1, 1);
  expect({"top", line, "end"});
  QCOMPARE(pane.CaretColumn(), cut);

  cut = boundary();
  caretAtSegmentEnd();
  QCOMPARE(pane.CaretColumn(), cut + 1);
  QTest::keyClick(&pane, Qt::Key_Delete);
  line.erase(static_cast<size_t>(cut), 1);
  expect({"top", line, "end"});

  cut = boundary();
  caretAtSegmentEnd();
  pekto::test::TypeText(&pane, QStringLiteral("ő"));
  line.insert(static_cast<size_t>(cut), "\xf5");
  expect({"top", line, "end"});

  // Arrows step over a segment end as over nothing: one key, one character.
  cut = boundary();
  pane.SetCaret(2, cut - 1);
  for (int column = cut; column <= cut + 2; ++column) {
    QTest::keyClick(&pane, Qt::Key_Right);
    QCOMPARE(pane.CaretColumn(), column);
  }
  for (int column = cut + 1; column >= cut - 2; --column) {
    QTest::keyClick(&pane, Qt::Key_Left);
    QCOMPARE(pane.CaretColumn(), column);
  }

  // A selection across a segment end, deleted.
  cut = boundary();
  pane.SetCaret(2, cut - 4);
  for (int i = 0; i < 9; ++i) QTest::keyClick(&pane, Qt::Key_Right, Qt::ShiftModifier);
  QCOMPARE(pane.SelectedText(), line.substr(static_cast<size_t>(cut) - 5, 9));
  QTest::keyClick(&pane, Qt::Key_Delete);
  line.erase(static_cast<size_t>(cut) - 5, 9);
  expect({"top", line, "end"});

  // Enter where two segments meet breaks the line there; the break is a real one.
  cut = boundary();
  pane.SetCaret(2, cut + 1);
  pekto::test::PressEnter(&pane);
  const std::string head = line.substr(0, static_cast<size_t>(cut));
  std::string tail = line.substr(static_cast<size_t>(cut));
  expect({"top", head, tail, "end"});
  pane.selectAll();
  QCOMPARE(pane.SelectedText(), "top\r\n" + head + "\r\n" + tail + "\r\nend");

  // Pasted lines, and a line break deleted: the lines join.
  QGuiApplication::clipboard()->setText(QStringLiteral("P\nQ"));
  pane.SetCaret(3, 3);
  QTest::keyClick(&pane, Qt::Key_V, Qt::ControlModifier);
  const std::string tailEnd = tail.substr(2);
  expect({"top", head, tail.substr(0, 2) + "P", "Q" + tailEnd, "end"});
  pane.SetCaret(2, static_cast<int>(head.size()) + 1);
  QTest::keyClick(&pane, Qt::Key_Delete);
  expect({"top", head + tail.substr(0, 2) + "P", "Q" + tailEnd, "end"});
  pane.SetCaret(5, 1);
  QTest::keyClick(&pane, Qt::Key_Backspace);
  expect({"top", head + tail.substr(0, 2) + "P", "Q" + tailEnd + "end"});
}

void TestTextPane::growingLineWrapsAsOneLine() {
  // Characters appended one by one to a long line, as the typing pane gets them: its segments
  // begin where wrapped rows begin, so it shows the rows one block of the whole line shows.
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.typing;
  const std::string paragraph = Paragraph(3000);
  pane.AppendLine("");
  for (const char ch : paragraph) {
    pane.AppendToLine(0, {&ch, 1});
    pane.SetCaret(1, pane.LineLength(0) + 1);
  }
  QCOMPARE(pane.Line(0), paragraph);
  const auto segments = SegmentsOf(pane, 0);
  QVERIFY(segments.size() > 3);
  int rows = 0;
  for (const QTextBlock& block : segments) {
    pane.cursorRect(QTextCursor(block));  // laid out
    rows += block.layout()->lineCount();
  }
  QTextLayout whole(pekto::ToQ(paragraph), pane.document()->defaultFont());
  QTextOption option = pane.document()->defaultTextOption();
  option.setWrapMode(pane.wordWrapMode());
  whole.setTextOption(option);
  whole.beginLayout();
  int wholeRows = 0;
  const qreal width = segments.front().layout()->lineAt(0).width();  // the pane's row width
  for (QTextLine row = whole.createLine(); row.isValid(); row = whole.createLine()) {
    row.setLineWidth(width);
    ++wholeRows;
  }
  whole.endLayout();
  QCOMPARE(rows, wholeRows);
}

QTEST_MAIN(TestTextPane)
#include "test_textpane.moc"
