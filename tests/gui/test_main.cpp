// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the learner meets it: start with a lesson, type it, finish, restart.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <fstream>

#include "TestSupport.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Fonts.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"
#include "ui/KeyboardView.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

// What the main window hands to the evaluation when an exercise ends.
struct Evaluation {
  std::string title;
  int32_t total = -1, correct = -1, wrong = -1, seconds = -1;
  int calls = 0;

  void Watch(Tfrm_Main& window) {
    window.SetEvaluationHandler([this](const std::string& t, int32_t to, int32_t c, int32_t w,
                                       int32_t s) { *this = {t, to, c, w, s, calls + 1}; });
  }
};

// Counts the layouts of a window (or of a widget in it) asked to lay out anew.
class LayoutRequests : public QObject {
 public:
  explicit LayoutRequests(QWidget& window) : window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~LayoutRequests() override { QCoreApplication::instance()->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::LayoutRequest && widget != nullptr &&
        widget->layout() != nullptr && (widget == &window_ || window_.isAncestorOf(widget))) {
      ++count;
    }
    return false;
  }
  int count = 0;

 private:
  QWidget& window_;
};

using test::ReadBytes;
using test::WriteBytes;

// Runs the posted layouts and what they post in turn until the window stands still. On Windows
// that takes a round more: the status bar shows its size grip once the window is on the screen,
// and the Windows style moves the tool bar and the central widget into place by animations of
// no length, whose end lays the window out once more.
void SettleLayout() {
  for (int round = 0; round < 3; ++round) QCoreApplication::sendPostedEvents();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_;
  fs::path lessonPath_;

  // The data folder the program makes: in $XDG_DATA_HOME, on Windows in the common
  // application-data folder (C:\ProgramData), which XDG_DATA_HOME does not move.
  fs::path DataDir() const {
#ifdef _WIN32
    return *SharedDataFolder() / "Pekto";
#else
    return run_.Home() / "Pekto";
#endif
  }

  static QStringList Lines(const TextPane* pane) {
    QStringList lines;
    for (const auto& line : pane->Lines()) lines << QString::fromLatin1(line.c_str());
    return lines;
  }

 private slots:
  void initTestCase() {
    const fs::path lessons = run_.Home() / "lessons";
    fs::create_directories(lessons);
    lessonPath_ = lessons / "ab.lck";
    WriteBytes(lessonPath_,
               "  Pr\xF3"
               "ba\t \r\nab\r\nc\r\n");
  }

  void init() { run_.Reset(); }

  void keyboardLightsTheKeysOfTheNextCharacter_data() {
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("lit");
    QTest::newRow("kisbetű") << QStringLiteral("a") << QStringLiteral("a");
    QTest::newRow("jobb kéz nagybetűje: bal Shift")
        << QStringLiteral("Ő") << QStringLiteral("ő Shift/bal");
    QTest::newRow("bal kéz nagybetűje: jobb Shift")
        << QStringLiteral("Í") << QStringLiteral("í Shift/jobb");
    QTest::newRow("AltGr") << QStringLiteral("@") << QStringLiteral("v Alt Gr");
    QTest::newRow("holt billentyű")
        << QStringLiteral("Ř") << QStringLiteral("2 r Shift/jobb Alt Gr");
  }

  void keyboardLightsTheKeysOfTheNextCharacter() {
    QFETCH(QString, next);
    QFETCH(QString, lit);
    test::BundleKeyboard();
    const fs::path lesson = run_.Home() / "lessons" / "egy.lck";
    WriteBytes(lesson, "Egy\r\n" + FromQ(next) + "\r\n");
    auto w = test::ShowMain({QString::fromStdString(lesson.string())});
    QTest::keyClick(w.get(), Qt::Key_F9);
    QCOMPARE(test::LitKeys(*test::Find<KeyboardView>(w, "Billentyuzet")), lit);
  }

  // Off, the window is what it always was: no keyboard, and after the keyboard came and went the
  // same pixels. On, it follows the keys, flashes a wrong one and is remembered.
  void keyboardFollowsTheKeysAndLeavesNoTrace() {
    test::BundleKeyboard();
    auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
    QVERIFY(w->findChild<KeyboardView*>() == nullptr);
    auto* toggle = test::Find<QAction>(w, "aBillentyuzet");
    QVERIFY(toggle->isCheckable() && !toggle->isChecked());
    SettleLayout();
    const QImage before = w->grab().toImage();
    toggle->trigger();
    QVERIFY(toggle->isChecked());
    auto* view = test::Find<KeyboardView>(w, "Billentyuzet");
    QVERIFY(view->isVisible() && view->height() > 100);
    QVERIFY(w->grab().toImage() != before);
    toggle->trigger();
    QVERIFY(w->findChild<KeyboardView*>() == nullptr);
    QCOMPARE(w->grab().toImage(), before);

    QTest::keyClick(w.get(), Qt::Key_F9);
    view = test::Find<KeyboardView>(w, "Billentyuzet");
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("x"));
    QCOMPARE(test::LitKeys(*view), QStringLiteral("!x b"));
    QTRY_COMPARE(test::LitKeys(*view), QStringLiteral("b"));
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("b"));
    QCOMPARE(test::LitKeys(*view), QStringLiteral("Enter"));
    QVERIFY(w->close());
    QCOMPARE(IniFile(Startup().SettingsFile).ReadString("Billentyuzet", "Lathato", ""),
             std::string("1"));

    w = test::ShowMain();
    QVERIFY(test::Find<QAction>(w, "aBillentyuzet")->isChecked());
    view = test::Find<KeyboardView>(w, "Billentyuzet");
    QVERIFY(view->isVisible());
    QCOMPARE(test::LitKeys(*view), QString());
    QTest::keyClick(w.get(), Qt::Key_F9);
    QVERIFY(w->findChild<KeyboardView*>() == nullptr);
    QVERIFY(w->close());
    QCOMPARE(IniFile(Startup().SettingsFile).ReadString("Billentyuzet", "Lathato", ""),
             std::string("0"));
  }

  void firstStartCreatesFoldersAndShowsAnEmptyWindow() {
    fs::remove_all(DataDir());
    // A theme's fonts for the application and a class, which building the window keeps.
    const QFont themed(QStringLiteral("DejaVu Serif"), 13);
    QApplication::setFont(themed, "QMenu");
    const QFont appFont = QApplication::font();
    auto w = test::ShowMain();
    QCOMPARE(QApplication::font(), appFont);
    QCOMPARE(QApplication::font("QMenu"), themed);
    QApplication::setFont(appFont);  // drops the class font again
    QVERIFY(fs::is_directory(DataDir() / "Leckek"));
    QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->count(), 0);
    QCOMPARE(w->pos(), QPoint(10, 10));
    QCOMPARE(w->size(), QSize(774, 598));
    QCOMPARE(test::Find<QLabel>(w, "LOssz")->text(), QStringLiteral("0"));
    QCOMPARE(test::Find<QLabel>(w, "LHelyes")->text(), QStringLiteral("0"));
    QCOMPARE(test::Find<QLabel>(w, "LHibas")->text(), QStringLiteral("0"));
    QCOMPARE(test::Find<QLabel>(w, "LIdo")->text(), QStringLiteral("0:0"));
    QCOMPARE(test::Find<QLabel>(w, "LSzazalek")->text(), QStringLiteral("0%"));
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto"));
    QVERIFY(test::Find<QLabel>(w, "StatusPanel0")->text().isEmpty());
    QVERIFY(test::Find<QLabel>(w, "StatusPanel2")->text().isEmpty());
    QVERIFY(test::Find<QAction>(w, "aMegnyit")->isVisible() &&
            test::Find<QAction>(w, "aMegnyit")->isEnabled());
    QVERIFY(!test::Find<QAction>(w, "aBefejez")->isVisible() &&
            !test::Find<QAction>(w, "aBefejez")->isEnabled());
    QCOMPARE(w->windowTitle(), QStringLiteral("Pekto"));
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 218, 181));
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
  }

  void typingALessonFromTheCommandLine() {
    auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
    Evaluation eval;
    eval.Watch(*w);
    QVERIFY(w->State().ExerciseActive);
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto :   Próba\t "));
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel2")->text(), QStringLiteral("Lecke: Próba"));
    QCOMPARE(test::Find<QLabel>(w, "LOssz")->text(), QStringLiteral("3"));
    QVERIFY(!test::Find<QAction>(w, "aMegnyit")->isVisible() &&
            !test::Find<QAction>(w, "aMegnyit")->isEnabled());
    QVERIFY(test::Find<QAction>(w, "aBefejez")->isVisible() &&
            test::Find<QAction>(w, "aBefejez")->isEnabled());
    QVERIFY(test::Find<QTimer>(w, "Timer1")->isActive());
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->SelectedText(), std::string("a"));

    // Ctrl+O is disabled during the exercise: nothing but the caret panel changes.
    QTest::keyClick(test::Find<TextPane>(w, "SynEdit1"), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(w->State().ExerciseActive);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->LineCount(), 0);

    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("ax"));
    QCOMPARE(test::Find<QLabel>(w, "LHelyes")->text(), QStringLiteral("1"));
    QCOMPARE(test::Find<QLabel>(w, "LHibas")->text(), QStringLiteral("1"));
    QCOMPARE(test::Find<QLabel>(w, "LSzazalek")->text(), QStringLiteral("50%"));
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel0")->text(), QStringLiteral("1 / 3"));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->SelectedText(), std::string());
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->CaretColumn(), 4);

    // Backspace changes nothing but the caret panel.
    QTest::keyClick(test::Find<TextPane>(w, "SynEdit1"), Qt::Key_Backspace);
    QCOMPARE(Lines(test::Find<TextPane>(w, "SynEdit1")), QStringList{QStringLiteral("ax")});

    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("\rc"));
    QCOMPARE(eval.calls, 1);
    QCOMPARE(eval.title, std::string("Pr\xF3"
                                     "ba"));
    QCOMPARE(eval.total, 3);
    QCOMPARE(eval.correct, 2);
    QCOMPARE(eval.wrong, 1);
    QVERIFY(!w->State().ExerciseActive);
    QVERIFY(!test::Find<QTimer>(w, "Timer1")->isActive());
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->LineCount(), 0);
    QCOMPARE(Lines(test::Find<TextPane>(w, "SynEdit1")),
             (QStringList{QStringLiteral("ax"), QStringLiteral("c")}));
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel0")->text(), QStringLiteral("2 / 2"));
    QCOMPARE(test::Find<QLabel>(w, "LSzazalek")->text(), QStringLiteral("67%"));
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto :   Próba\t "));
    QVERIFY(test::Find<QAction>(w, "aMegnyit")->isVisible() &&
            test::Find<QAction>(w, "aMegnyit")->isEnabled());
    QVERIFY(!test::Find<QAction>(w, "aBefejez")->isVisible());

    // After the end F5 does nothing and keys are not processed.
    QTest::keyClick(test::Find<TextPane>(w, "SynEdit1"), Qt::Key_F5);
    QCOMPARE(eval.calls, 1);
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("zz"));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->LineCount(), 2);
    QCOMPARE(Beall.LastFile, lessonPath_.string());
  }

  void unreadableCommandLineLessonIsReportedAndStartUpGoesOn() {
    const fs::path empty = run_.Home() / "lessons" / "ures.lck";
    WriteBytes(empty, "");
    test::DialogAnswers boxes;
    auto w = test::ShowMain({QString::fromStdString(empty.string()), QStringLiteral("ignored")});
    QTRY_COMPARE(boxes.Count(), 1);
    QCOMPARE(boxes.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(boxes.Last().text, QStringLiteral("List index out of bounds (0)"));
    QVERIFY(!w->State().ExerciseActive);
    QVERIFY(w->isVisible());
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto"));

    // An argument that names no file is ignored.
    auto other = test::ShowMain({QStringLiteral("/nincs/ilyen.lck")});
    QVERIFY(!other->State().ExerciseActive);
    QCOMPARE(boxes.Count(), 1);
  }

  // The start finishes from the event loop, never inside show(): once the window is on the
  // screen, or a second later when the window system does not put it there (minimised); a window
  // closed before its start finishes loads nothing.
  void theStartFinishesAfterShowUnlessClosed_data() {
    QTest::addColumn<bool>("closed");
    QTest::newRow("never on the screen") << false;
    QTest::newRow("closed at once") << true;
  }

  void theStartFinishesAfterShowUnlessClosed() {
    QFETCH(bool, closed);
    Tfrm_Main w({FromPath(lessonPath_)});
    w.setAttribute(Qt::WA_DontShowOnScreen, !closed);
    w.show();
    QVERIFY(!w.IsStarted() && !w.State().ExerciseActive);
    if (closed) {
      QVERIFY(w.close());
      QTest::qWait(1500);  // past the wait for the screen
    }
    QTRY_COMPARE(w.IsStarted(), !closed);
    QCOMPARE(w.State().ExerciseActive, !closed);
  }

  void befejeztemEndsWithTheCountersSoFar() {
    auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
    Evaluation eval;
    eval.Watch(*w);
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("a"));
    QTest::keyClick(test::Find<TextPane>(w, "SynEdit1"), Qt::Key_F5);
    QCOMPARE(eval.calls, 1);
    QCOMPARE(eval.correct, 1);
    QVERIFY(!w->State().ExerciseActive);
  }

  // The last key's end runs once the key's event is over; Befejeztem coming first evaluates
  // once, with every key counted.
  void befejeztemBeforeTheLastKeysEndEvaluatesOnce() {
    auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
    Evaluation eval;
    eval.Watch(*w);
    auto* pane = test::Find<TextPane>(w, "SynEdit1");
    test::TypeText(pane, QStringLiteral("ab\r"));
    QTest::sendKeyEvent(QTest::Click, pane, Qt::Key_C, QStringLiteral("c"), Qt::NoModifier);
    QCOMPARE(eval.calls, 0);
    test::Find<QAction>(w, "aBefejez")->trigger();
    test::RunQueuedCalls();
    QCOMPARE(eval.calls, 1);
    QCOMPARE(eval.correct, 3);
  }

  // A key changes the counters and the caret panel, which repaint themselves: the window is
  // not laid out anew (past the first key, whose text in the empty caret panel lays the window
  // out once).
  void typedKeysLayOutNothing() {
    auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
    auto* pane = test::Find<TextPane>(w, "SynEdit1");
    test::TypeChar(pane, u'a');
    SettleLayout();
    const LayoutRequests requests(*w);
    test::TypeText(pane, QStringLiteral("xb"));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(test::Find<QLabel>(w, "LHibas")->text(), QStringLiteral("1"));
    QCOMPARE(requests.count, 0);
  }

  void accentedLettersAreJudgedByTheirCodePageByte() {
    const fs::path path = run_.Home() / "lessons" / "acc.lck";
    WriteBytes(path, "T\r\n\xF5\xFB\xE1\r\n");  // ő ű á
    auto w = test::ShowMain({QString::fromStdString(path.string())});
    Evaluation eval;  // the last key ends the lesson
    eval.Watch(*w);
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("őüÁ"));
    QCOMPARE(w->State().CorrectCount, 1);
    QCOMPARE(w->State().WrongCount, 2);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->Line(0), std::string("\xF5\xFC\xC1"));
  }

  void chooserLoadsALessonAndFocusesTheTypingPane() {
    fs::create_directories(DataDir() / "Leckek");
    WriteBytes(DataDir() / "Leckek" / "b.lck", "Bravo\r\nxyz\r\n");
    WriteBytes(DataDir() / "Leckek" / "A.LCK", "Alfa\r\nq\r\n");
    WriteBytes(DataDir() / "Leckek" / "ures.lck", "");
    auto w = test::ShowMain();
    QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->count(), 3);
    QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->itemText(0), QStringLiteral("A.LCK"));
    QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->itemText(1), QStringLiteral("b.lck"));
    test::Find<QComboBox>(w, "ComboBox1")->setFocus();
    emit test::Find<QComboBox>(w, "ComboBox1")->activated(1);
    QVERIFY(w->State().ExerciseActive);
    QCOMPARE(w->State().LessonTitle, std::string("Bravo"));
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));

    // A file that cannot be read: the error report, and the running exercise goes on.
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("x"));
    test::DialogAnswers box;
    test::Find<QComboBox>(w, "ComboBox1")->setFocus();
    emit test::Find<QComboBox>(w, "ComboBox1")->activated(2);
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(box.Last().text, QStringLiteral("List index out of bounds (0)"));  // no stop after ")"
    QCOMPARE(box.Last().icon, int(QMessageBox::Critical));
    QCOMPARE(w->State().LessonTitle, std::string("Bravo"));
    QCOMPARE(w->State().CorrectCount, 1);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->LineCount(), 1);
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto : Bravo"));
    // The failed load skipped the focus step.
    QCOMPARE(w->focusWidget(), static_cast<QWidget*>(test::Find<QComboBox>(w, "ComboBox1")));
  }

  void clicksKeepTypingAtTheEnd() {
    const fs::path path = run_.Home() / "lessons" / "long.lck";
    WriteBytes(path, "T\r\nabcdef\r\nghijkl\r\n");
    auto w = test::ShowMain({QString::fromStdString(path.string())});
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("abcdef\rgh"));
    QTest::mouseClick(test::Find<TextPane>(w, "SynEdit1")->viewport(), Qt::LeftButton, {},
                      QPoint(30, 8));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->CaretLine(), 2);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->CaretColumn(), 3);
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("i"));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->Line(1), std::string("ghi"));

    QTest::mouseClick(test::Find<TextPane>(w, "SynEdit2")->viewport(), Qt::LeftButton, {},
                      QPoint(30, 8));
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
    // The lesson pane gave the focus back with the expected character highlighted again.
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->SelectedText(), std::string("j"));
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("j"));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->Line(1), std::string("ghij"));
    QCOMPARE(w->State().CorrectCount, 10);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->SelectedText(), std::string("k"));
  }

  void resizeSplitsThePracticeAreaInHalves() {
    auto w = test::ShowMain();
    test::Find<QSplitter>(w, "Splitter1")->setSizes({50, 300});
    w->resize(800, 640);
    QTest::qWait(20);
    QTRY_COMPARE(test::Find<TextPane>(w, "SynEdit1")->height(),
                 test::Find<QWidget>(w, "Panel6")->height() / 2);
  }

  void fontSizeCommandsStayWithinTheirBounds() {
    auto w = test::ShowMain();
    QCOMPARE(Beall.ScreenFontSize, 9);
    QTest::keyClick(w.get(), Qt::Key_F11);
    QCOMPARE(Beall.ScreenFontSize, 10);
    QCOMPARE(w->font().pointSize(), 10);
    QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->font().pointSize(), 10);
    QTest::keyClick(w.get(), Qt::Key_F11);
    QCOMPARE(Beall.ScreenFontSize, 10);
    for (int expected : {9, 8, 8}) {
      QTest::keyClick(w.get(), Qt::Key_F12);
      QCOMPARE(Beall.ScreenFontSize, expected);
    }
  }

  void fontDialogResultReachesBothPanes() {
    auto w = test::ShowMain();
    QFont chosen(QStringLiteral("Arial"));
    chosen.setPointSize(20);
    chosen.setStrikeOut(true);
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      static_cast<QFontDialog&>(dialog).setCurrentFont(chosen);
      dialog.accept();
    });
    test::Find<QAction>(w, "aBetuTipus")->trigger();
    QCOMPARE(answers.Last().object, QStringLiteral("FontDialog1"));
    for (const TextPane* pane :
         {test::Find<TextPane>(w, "SynEdit1"), test::Find<TextPane>(w, "SynEdit2")}) {
      QCOMPARE(pane->PaneFont().pointSize(), 20);
      QVERIFY(pane->PaneFont().strikeOut());
    }
    answers.Then(test::DialogAnswers::Reject());
    test::Find<QAction>(w, "aBetuTipus")->trigger();
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->PaneFont().pointSize(), 20);
  }

  void settingsAndBoundsSurviveARestart() {
    fs::remove(Startup().SettingsFile);
    {
      auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
      QTest::keyClick(w.get(), Qt::Key_F12);
      w->move(40, 50);
      w->resize(720, 560);
      QFont font = test::Find<TextPane>(w, "SynEdit1")->PaneFont();
      font.setItalic(false);
      font.setUnderline(false);
      test::Find<TextPane>(w, "SynEdit1")->SetPaneFont(font);
      w->close();
    }
    const std::string ini = ReadBytes(Startup().SettingsFile);
    QVERIFY(ini.find("[frm_Main]\r\nLeft=40\r\nTop=50\r\nWidth=720\r\nHeight=560\r\n") !=
            std::string::npos);
    QVERIFY(ini.find("LastFile=" + lessonPath_.string() + "\r\n") != std::string::npos);

    Beall = TBeall{};
    auto w = test::ShowMain();
    QCOMPARE(Beall.ScreenFontSize, 8);
    QCOMPARE(w->pos(), QPoint(40, 50));
    QCOMPARE(w->size(), QSize(720, 560));
    QVERIFY(test::Find<TextPane>(w, "SynEdit2")->PaneFont().bold());
    QVERIFY(!test::Find<TextPane>(w, "SynEdit2")->PaneFont().italic());
    QCOMPARE(Beall.LastFile, lessonPath_.string());
  }

  void fullScreenStartFillsTheWorkArea() {
    IniFile ini(Startup().SettingsFile);
    ini.WriteBool("Defaults", "FullScreen", true);
    auto w = test::ShowMain();
    const WorkRect area = CurrentWorkArea();
    // The whole window, frame included, fills the work area: the offscreen platform draws a
    // frame too, so the client area is the frame's inside.
    QCOMPARE(w->pos(), QPoint(0, 0));
    QCOMPARE(w->frameGeometry(),
             QRect(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top));
#ifdef _WIN32  // Wine's window under openbox has a title bar but no side borders
    QVERIFY(w->size().width() <= area.Right && w->size().height() < area.Bottom);
#else
    QVERIFY(w->size().width() < area.Right && w->size().height() < area.Bottom);
#endif
    ini.WriteBool("Defaults", "FullScreen", false);
    w->close();
  }

  void aDamagedErrorSoundIsReportedOnceAndSwitchedOff() {
    const fs::path wave = run_.Home() / "rossz.wav";
    WriteBytes(wave, "RIFF\x24\x00\x00\x00WAVEjunk");
    fs::create_directories(DataDir());
    {
      IniFile ini(Startup().SettingsFile);
      ini.WriteBool("Defaults", "Sound", true);
      ini.WriteString("Defaults", "SoundFile", wave.string());
    }
    auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
    QVERIFY(Beall.Sound);
    test::DialogAnswers boxes;
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("xx"));
    QTRY_COMPARE(boxes.Count(), 1);
    QCOMPARE(boxes.Last().caption, QStringLiteral("Hiba"));
    QVERIFY(boxes.Last().text.startsWith(
        QStringLiteral("Sérült hangfile, hanglejátszás leállítva\r\n")));
    QVERIFY(!Beall.Sound);
    QCOMPARE(w->State().WrongCount, 2);
    QTest::qWait(30);
    QCOMPARE(boxes.Count(), 1);
    w->close();
    QCOMPARE(IniFile(Startup().SettingsFile).ReadString("Defaults", "Sound", ""), std::string("0"));
  }

  void portableModeKeepsEverythingBesideTheProgram() {
    QTemporaryDir program;
    const fs::path dir = program.path().toStdString();
    WriteBytes(dir / "pekto.ini", "[Screen]\r\nFontSize=10\r\n");
    fs::create_directories(dir / "Leckek");
    WriteBytes(dir / "Leckek" / "hordozhato.lck", "H\r\nx\r\n");
    Startup() = ComputeFolders(dir);
    Startup().WorkArea = WorkRect{0, 0, 1280, 1000};
    Beall = TBeall{};
    {
      auto w = test::ShowMain();
      QCOMPARE(Startup().DataDir, dir);
      QCOMPARE(Startup().SettingsFile, dir / "pekto.ini");
      QCOMPARE(Beall.ScreenFontSize, 10);
      QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->count(), 1);
      QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->itemText(0),
               QStringLiteral("hordozhato.lck"));
      w->close();
    }
    QVERIFY(ReadBytes(dir / "pekto.ini").find("[frm_Main]") != std::string::npos);
    QVERIFY(!fs::exists(DataDir() / "Leckek" / "hordozhato.lck"));
  }

  void bundledLessonsFillANewLessonFolder() {
    QTemporaryDir program;
    const fs::path dir = program.path().toStdString();
    fs::create_directories(dir / "Leckek");
    WriteBytes(dir / "Leckek" / "001_fdjk.lck", "Alapsor\r\nfff jjj\r\n");
    Startup() = ComputeFolders(dir);
    Beall = TBeall{};
    fs::remove_all(DataDir());
    auto w = test::ShowMain();
    QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->count(), 1);
    QCOMPARE(ReadBytes(DataDir() / "Leckek" / "001_fdjk.lck"),
             std::string("Alapsor\r\nfff jjj\r\n"));
    w->close();
    // An existing lesson folder is left as the user keeps it.
    fs::remove(DataDir() / "Leckek" / "001_fdjk.lck");
    Beall = TBeall{};
    auto again = test::ShowMain();
    QCOMPARE(test::Find<QComboBox>(again, "ComboBox1")->count(), 0);
  }

  void hintsShowInTheMiddlePanelAndTabMovesAround() {
    auto w = test::ShowMain();
    QStatusTipEvent tip(test::Find<QComboBox>(w, "ComboBox1")->statusTip());
    QApplication::sendEvent(test::Find<QComboBox>(w, "ComboBox1"), &tip);
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel1")->text(), QStringLiteral("Válasszon leckét!"));
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(test::Find<QWidget>(w, "Panel6"), &none);
    QVERIFY(test::Find<QLabel>(w, "StatusPanel1")->text().isEmpty());

    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit2")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<QComboBox>(w, "ComboBox1")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
  }

  // Key events as the X11 platform delivers them: only what types a character is judged.
  void keysThatTypeNoCharacterChangeNothing() {
    auto w = test::ShowMain({QString::fromStdString(lessonPath_.string())});
    const auto send = [&](int key, Qt::KeyboardModifiers mods, const QString& text) {
      QKeyEvent press(QEvent::KeyPress, key, mods, text);
      QApplication::sendEvent(test::Find<TextPane>(w, "SynEdit1"), &press);
      QKeyEvent release(QEvent::KeyRelease, key, mods, text);
      QApplication::sendEvent(test::Find<TextPane>(w, "SynEdit1"), &release);
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    send(Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7F"));
    send(Qt::Key_1, ctrl, QStringLiteral("1"));
    send(Qt::Key_8, ctrl, QStringLiteral("\x7F"));
    send(Qt::Key_Exclam, ctrl | Qt::ShiftModifier, QStringLiteral("!"));
    send(Qt::Key_Minus, ctrl, QStringLiteral("-"));
    send(Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
    send(Qt::Key_Left, Qt::NoModifier, QString());
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->LineCount(), 0);
    QCOMPARE(w->State().TargetPos, 0);
    QCOMPARE(w->State().CorrectCount + w->State().WrongCount, 0);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->SelectedText(), std::string("a"));
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel0")->text(), QString());  // no key step ran at all

    // Ctrl+Backspace types DEL: judged and echoed. Ctrl+Return's line feed changes nothing.
    send(Qt::Key_Backspace, ctrl, QStringLiteral("\b"));
    QCOMPARE(w->State().WrongCount, 1);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->Line(0), std::string("\x7F"));
    send(Qt::Key_Return, ctrl, QStringLiteral("\r"));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->LineCount(), 1);
    QCOMPARE(w->State().TargetPos, 1);
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel0")->text(), QStringLiteral("1 / 2"));
    // An AltGr character (a level shift on X11) is typed as the character it makes.
    send(Qt::Key_At, Qt::GroupSwitchModifier, QStringLiteral("@"));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->Line(0), std::string("\x7F@"));
    QCOMPARE(w->State().WrongCount, 2);
  }

  // Dead keys and compose sequences arrive as input-method text.
  void inputMethodTextIsTypedAndNeverEditsAPane() {
    const fs::path path = run_.Home() / "lessons" / "ekezet.lck";
    WriteBytes(path,
               "T\r\n\xE9\xE1"
               "b\r\n");
    auto w = test::ShowMain({QString::fromStdString(path.string())});
    const auto commit = [](QWidget* pane, const QString& text) {
      QInputMethodEvent event;
      event.setCommitString(text);
      QApplication::sendEvent(pane, &event);
    };
    QInputMethodEvent preedit(QStringLiteral("\u00B4"), {});
    QApplication::sendEvent(test::Find<TextPane>(w, "SynEdit1"), &preedit);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->LineCount(), 0);
    commit(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("é"));
    QCOMPARE(w->State().CorrectCount, 1);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->Line(0), std::string("\xE9"));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->SelectedText(), std::string("\xE1"));
    // With the lesson pane focused the text is neither judged nor written into the lesson.
    test::Find<TextPane>(w, "SynEdit2")->setFocus();
    commit(test::Find<TextPane>(w, "SynEdit2"), QStringLiteral("x"));
    QCOMPARE(Lines(test::Find<TextPane>(w, "SynEdit2")), QStringList{QString::fromLatin1("\xE9\xE1"
                                                                                         "b")});
    QCOMPARE(w->State().CorrectCount + w->State().WrongCount, 1);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->Line(0), std::string("\xE9"));
  }

  // A lesson ended by a dead-key letter: the evaluation runs after the input method's event,
  // never inside it, and a key arriving before it runs is not judged.
  void lessonEndedByInputMethodTextIsEvaluatedAfterTheEvent() {
    const fs::path path = run_.Home() / "lessons" / "vege.lck";
    WriteBytes(path, "T\r\na\xE9\r\n");
    auto w = test::ShowMain({QString::fromStdString(path.string())});
    bool insideEvent = false;
    bool evaluatedInside = false;
    int evaluations = 0;
    w->SetEvaluationHandler([&](const std::string&, int32_t, int32_t, int32_t, int32_t) {
      evaluatedInside = insideEvent;
      ++evaluations;
    });
    auto* pane = test::Find<TextPane>(w, "SynEdit1");
    QTest::keyClick(pane, Qt::Key_A, Qt::NoModifier);
    QInputMethodEvent event;
    event.setCommitString(QStringLiteral("é"));
    insideEvent = true;
    QApplication::sendEvent(pane, &event);
    insideEvent = false;
    QCOMPARE(evaluations, 0);
    QCOMPARE(w->State().CorrectCount, 2);
    QTest::keyClick(pane, Qt::Key_X, Qt::NoModifier);
    QCOMPARE(w->State().WrongCount, 0);
    QTRY_COMPARE(evaluations, 1);
    QVERIFY(!evaluatedInside);
    QVERIFY(!w->State().ExerciseActive);
  }

  void aDragInTheLessonPaneChangesNothingThatIsJudged() {
    const fs::path path = run_.Home() / "lessons" / "drag.lck";
    WriteBytes(path, "T\r\nabcdefgh\r\n");
    auto w = test::ShowMain({QString::fromStdString(path.string())});
    w->resize(774, 598);
    QTRY_VERIFY(test::Find<TextPane>(w, "SynEdit2")->viewport()->width() > 300);
    QWidget* view = test::Find<TextPane>(w, "SynEdit2")->viewport();
    test::Find<TextPane>(w, "SynEdit2")->setFocus();  // as the press of a real mouse does
    const auto mouse = [view](QEvent::Type type, qreal x, Qt::MouseButton button,
                              Qt::MouseButtons held) {
      QMouseEvent event(type, QPointF(x, 10), view->mapToGlobal(QPointF(x, 10)), button, held,
                        Qt::NoModifier);
      QApplication::sendEvent(view, &event);
    };
    mouse(QEvent::MouseButtonPress, 60, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, 110, Qt::NoButton, Qt::LeftButton);
    QVERIFY(test::Find<TextPane>(w, "SynEdit2")->SelectedText().size() > 1);
    mouse(QEvent::MouseButtonRelease, 110, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->SelectedText(), std::string("a"));
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("a"));
    QCOMPARE(w->State().CorrectCount, 1);
    QCOMPARE(w->State().WrongCount, 0);
  }

  void lessonTitlesShowAsPlainText() {
    const fs::path path = run_.Home() / "lessons" / "rich.lck";
    WriteBytes(path, "<b>x</b>\r\nab\r\n");
    auto w = test::ShowMain({QString::fromStdString(path.string())});
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto : <b>x</b>"));
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->textFormat(), Qt::PlainText);
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel2")->text(), QStringLiteral("Lecke: <b>x</b>"));
    QCOMPARE(test::Find<QLabel>(w, "StatusPanel2")->textFormat(), Qt::PlainText);
  }

  // The dots of a capital Ö stand above the font's ascent: the caption must show them whole,
  // so no ink touches its top edge.
  void counterCaptionsShowTheDotsOfCapitalLetters() {
    auto w = test::ShowMain();
    QLabel* caption = nullptr;
    for (QLabel* label : w->findChildren<QLabel*>()) {
      if (label->text() == QStringLiteral("Összes betű")) caption = label;
    }
    QVERIFY(caption);
    const QImage image = caption->grab().toImage();
    const QRgb background = image.pixel(0, 0);
    bool inked = false;
    for (int x = 0; x < image.width(); ++x) inked = inked || image.pixel(x, 0) != background;
    QVERIFY2(!inked, "the caption's text reaches its top edge");
    bool anyInk = false;  // the check above looks at a caption that shows something
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) anyInk = anyInk || image.pixel(x, y) != background;
    }
    QVERIFY(anyInk);
    // A font that draws the captions wider than the design (as Windows' GDI does) widens the
    // column instead of cutting the captions off.
    w->setFont(QFont(w->font().family(), 14));
    w->resize(774, 598);  // an earlier start may have left it smaller
    QTRY_VERIFY(caption->width() >= caption->sizeHint().width());  // once laid out anew
  }

  // The counters and the caret position paint their text themselves: as a QLabel would.
  void countersLookAsLabelsDo_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("count") << QStringLiteral("LHelyes") << QStringLiteral("1234");
    QTest::newRow("percent") << QStringLiteral("LSzazalek") << QStringLiteral("95%");
    QTest::newRow("caret, framed") << QStringLiteral("StatusPanel0") << QStringLiteral("12 / 345");
  }
  void countersLookAsLabelsDo() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    auto w = test::ShowMain();
    QLabel* counter = test::Find<QLabel>(w, qPrintable(name));
    counter->setText(text);
    QLabel label(text);
    label.setFont(counter->font());
    label.setAlignment(counter->alignment());
    label.setFrameStyle(counter->frameStyle());
    label.setPalette(counter->palette());
    label.setAutoFillBackground(true);
    label.resize(counter->size());
    QCOMPARE(counter->grab().toImage(), label.grab().toImage());
  }

  void onlyTheViewMenuTitleCarriesAHint() {
    auto w = test::ShowMain();
    QStringList hints;
    for (QAction* menu : w->menuBar()->actions()) hints << menu->statusTip();
    QCOMPARE(hints, (QStringList{QString(), QStringLiteral("Nézet"), QString(), QString()}));
  }

  void fontDialogOpensOnThePaneFontAndAnUnchangedOkChangesNothing_data() {
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    for (const bool bold : {false, true})
      for (const bool italic : {false, true})
        QTest::addRow("bold %d italic %d", bold, italic) << bold << italic;
  }

  // In Hungarian, as the program runs: Qt then names the styles otherwise than the font files.
  void fontDialogOpensOnThePaneFontAndAnUnchangedOkChangesNothing() {
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QCOMPARE(QCoreApplication::translate("QFontDatabase", "Bold"), QStringLiteral("Kövér"));
    fs::remove(Startup().SettingsFile);  // a first start
    auto w = test::ShowMain();
    QFont before = test::Find<TextPane>(w, "SynEdit1")->PaneFont();
    QVERIFY(before.bold() && before.italic() && before.underline());
    before.setBold(bold);
    before.setItalic(italic);
    for (const char* pane : {"SynEdit1", "SynEdit2"})
      test::Find<TextPane>(w, pane)->SetPaneFont(before);
    QFont offered;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      offered = static_cast<QFontDialog&>(dialog).currentFont();
      dialog.accept();
    });
    test::Find<QAction>(w, "aBetuTipus")->trigger();
    QCOMPARE(offered.family(), QFontInfo(before).family());
    QCOMPARE(offered.bold(), bold);
    QCOMPARE(offered.italic(), italic);
    QVERIFY(offered.underline());
    QCOMPARE(offered.pointSize(), 14);
    for (const TextPane* pane :
         {test::Find<TextPane>(w, "SynEdit1"), test::Find<TextPane>(w, "SynEdit2")})
      QCOMPARE(pane->PaneFont(), before);
    QVERIFY(w->close());
    const IniFile ini(Startup().SettingsFile);
    QCOMPARE(ini.ReadString("Defaults", "FontName", ""), std::string("Courier New"));
    QCOMPARE(ini.ReadBool("Defaults", "FontBold", !bold), bold);
    QCOMPARE(ini.ReadBool("Defaults", "FontItalic", !italic), italic);
  }

  void aReadOnlySettingsFileIsNotReplaced() {
    auto w = test::ShowMain();
    QVERIFY(w->close());  // a settings file now exists
    w = test::ShowMain();
    const fs::path file = Startup().SettingsFile;
    const std::string bytes = ReadBytes(file);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    const auto writable = qScopeGuard([&] { fs::permissions(file, fs::perms::owner_all); });
    test::Find<TextPane>(w, "SynEdit1")->SetPaneFont(QFont(QStringLiteral("Arial")));
    test::DialogAnswers box;
    QVERIFY(w->close());
    QCOMPARE(box.Last().text, QStringLiteral("Unable to write to ") + FromPath(file) + u'.');
    QCOMPARE(ReadBytes(file), bytes);
#ifdef _WIN32  // no permission bits, but the read-only attribute, which reads as r--r--r--
    QCOMPARE(fs::status(file).permissions(),
             fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
#else
    QCOMPARE(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::group_read);
#endif
  }

  void aFailedSaveIsReportedAndTheWindowStillCloses() {
    auto w = test::ShowMain();
    // The settings path becomes a folder: no value can be written there.
    fs::remove(Startup().SettingsFile);
    fs::create_directories(Startup().SettingsFile);
    test::DialogAnswers box;
    QVERIFY(w->close());
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QVERIFY(box.Last().text.startsWith(QStringLiteral("Unable to write to ")));
    fs::remove_all(Startup().SettingsFile);
  }
};

PEKTO_TEST_MAIN(MainWindowTest)

#include "test_main.moc"
