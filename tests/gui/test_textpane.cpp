// The text pane behind the practice panes: lines, caret in stored lines and columns, the
// one-character highlight, removed key bindings, clicks and what the learner sees on screen.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>
#include <memory>

#include "TestSupport.h"
#include "platform/Colors.h"
#include "practice/TextPane.h"

using pekto::TextPane;

namespace {

// Colour values as the settings file keeps them: red in the low byte.
constexpr int32_t kBlack = 0x000000;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kActiveLine = 0xFFECD9;  // light blue
constexpr int32_t kSelection = 0x2080F0;   // orange

QColor Rgb(int32_t value) {
  return pekto::ColorFromValue(value);
}

void UseTestLook(TextPane& pane) {
  pane.SetFontColor(kBlack);
  pane.SetBackgroundColor(kWhite);
  pane.SetActiveLineColor(kActiveLine);
  pane.SetSelectedColor(kSelection);
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
  void tabMovesFocus();
  void clickedAfterRelease();
  void coloursRoundTrip_data();
  void coloursRoundTrip();
  void selectionStaysVisibleWithoutFocus();
  void caretShowsWithFocus();
  void appearance();
  void strikeOutShows();

 private:
  pekto::test::TempDataDir data_;
};

void TestTextPane::initTestCase() {
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
  QTest::addColumn<int>("offset");
  QTest::addColumn<QString>("selected");
  QTest::addColumn<int>("caretLine");
  QTest::addColumn<int>("caretColumn");
  // The lesson "ab" / "c": offsets 2, 3 and 5, 6 are the break positions.
  QTest::newRow("0") << 0 << "a" << 1 << 2;
  QTest::newRow("1") << 1 << "b" << 1 << 3;
  QTest::newRow("2") << 2 << "" << 1 << 4;
  QTest::newRow("3") << 3 << "" << 1 << 4;
  QTest::newRow("4") << 4 << "c" << 2 << 2;
  QTest::newRow("5") << 5 << "" << 2 << 3;
  QTest::newRow("6") << 6 << "" << 2 << 3;
}

void TestTextPane::highlightOffset() {
  QFETCH(int, offset);
  QFETCH(QString, selected);
  TextPane pane;
  pane.AppendLines({"ab", "c"});
  // Reached from the start, from beyond, and after a walk over every other offset.
  for (const int from : {0, 6, 3}) {
    pane.HighlightOffset(from);
    pane.HighlightOffset(offset);
    QCOMPARE(QString::fromStdString(pane.SelectedText()), selected);
    QTEST(pane.CaretLine(), "caretLine");
    QTEST(pane.CaretColumn(), "caretColumn");
  }
}

void TestTextPane::highlightOffsetEdgeCases() {
  TextPane pane;
  // No line at all: nothing selected, caret at 1:1.
  pane.HighlightOffset(3);
  QCOMPARE(pane.SelectedText(), std::string());
  QCOMPARE(pane.CaretLine(), 1);
  QCOMPARE(pane.CaretColumn(), 1);

  // Empty lines hold only their break positions.
  pane.AppendLines({"", "", "x\xf5"});
  pane.HighlightOffset(1);
  QCOMPARE(pane.SelectedText(), std::string());
  QCOMPARE(pane.CaretLine(), 1);
  QCOMPARE(pane.CaretColumn(), 2);
  pane.HighlightOffset(5);
  QCOMPARE(pane.SelectedText(), std::string("\xf5"));
  QCOMPARE(pane.CaretLine(), 3);
  QCOMPARE(pane.CaretColumn(), 3);
  pane.HighlightOffset(2);
  QCOMPARE(pane.CaretLine(), 2);
  QCOMPARE(pane.CaretColumn(), 2);

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
  w.typing->setFocus();
  QTRY_VERIFY(w.typing->hasFocus());
  QVERIFY2(unchanged(w.typing), "the typing pane changed");
  w.lesson->setFocus();
  QTRY_VERIFY(w.lesson->hasFocus());
  if (actsInStandardPane) QVERIFY2(!unchanged(w.lesson), "the key did nothing in a standard pane");
}

void TestTextPane::typedCharactersNeverChangeReadOnlyText() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  for (TextPane* pane : {w.typing, w.lesson}) {
    pane->AppendLines({"abc", "d"});
    pane->SetCaret(1, 2);
    pane->setFocus();
    QTRY_VERIFY(pane->hasFocus());
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
      pane->setFocus();
      QTRY_VERIFY(pane->hasFocus());
      QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
      QCOMPARE(triggered.count(), ++expected);
      QCOMPARE(pane->SelectedText(), std::string());
    }
  }
}

void TestTextPane::tabMovesFocus() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  w.typing->AppendLines({"abc"});
  w.typing->setFocus();  // on request
  QTRY_VERIFY(w.typing->hasFocus());
  QTest::keyClick(w.typing, Qt::Key_Tab);
  QTRY_VERIFY(w.lesson->hasFocus());
  QTest::keyClick(w.lesson, Qt::Key_Tab);
  QTRY_VERIFY(w.chooser->hasFocus());
  w.typing->setFocus();
  QTRY_VERIFY(w.typing->hasFocus());
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
  QFETCH(int, value);
  TextPane pane;
  pane.SetFontColor(value);
  pane.SetBackgroundColor(value);
  pane.SetActiveLineColor(value);
  pane.SetSelectedColor(value);
  QCOMPARE(pane.FontColor(), value);
  QCOMPARE(pane.BackgroundColor(), value);
  QCOMPARE(pane.ActiveLineColor(), value);
  QCOMPARE(pane.SelectedColor(), value);
  const QColor shown = pekto::ColorFromValue(value);
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
  w.typing->setFocus();
  QTRY_VERIFY(w.typing->hasFocus());
  QVERIFY(!w.lesson->hasFocus());

  const QImage image = Screen(*w.lesson);
  const QRect selected = CharactersRect(*w.lesson, 0, 2, 3);
  const int area = selected.width() * selected.height();
  QVERIFY2(CountPixels(image, selected, Rgb(kSelection)) > area / 3,
           "the selected character is not in the selection colour");
  // Its neighbours are not selected.
  QCOMPARE(CountPixels(image, CharactersRect(*w.lesson, 0, 4, 5), Rgb(kSelection)), 0);

  // A new selection colour shows at once, also without the focus.
  w.lesson->SetSelectedColor(0x00C000);
  QVERIFY(CountPixels(Screen(*w.lesson), selected, Rgb(0x00C000)) > area / 3);
}

void TestTextPane::caretShowsWithFocus() {
  PracticeWindow w;
  QVERIFY(w.Ready());
  TextPane& pane = *w.typing;
  pane.AppendLines({"abcdefgh", "de"});
  pane.setFocus();
  QTRY_VERIFY(pane.hasFocus());
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
  lesson.setFocus();
  QTRY_VERIFY(lesson.hasFocus());
  lesson.SetCaret(1, 6);
  const QRect bar = lesson.CaretRectangle();
  QVERIFY(bar.width() < CharactersRect(lesson, 0, 0, 1).width() / 2);
  QVERIFY(CountPixels(Screen(lesson), bar, ink) >= bar.height());
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

QTEST_MAIN(TestTextPane)
#include "test_textpane.moc"
