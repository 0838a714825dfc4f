// SPDX-License-Identifier: GPL-3.0-or-later
// Typing on a real X server: keys come from the X keyboard (XTEST through xdotool) with the
// Hungarian layout, dead keys as input-method text with the US international layout, and mouse
// drags from the X pointer. Only what a Windows keyboard would type is judged, and neither
// pane ever changes by typing.

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "TestSupport.h"
#include "XServer.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"
#include "ui/KeyboardView.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

// What the main window hands to the evaluation when an exercise ends.
struct Evaluation {
  int32_t total = -1, correct = -1, wrong = -1;
  int calls = 0;
};

// The lit keys of an on-screen keyboard as the first key release reaches a widget.
class ReleaseWatch : public QObject {
 public:
  ReleaseWatch(QWidget* widget, const KeyboardView& view) : widget_(widget), view_(view) {
    widget->installEventFilter(this);
  }
  ~ReleaseWatch() override { widget_->removeEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease && lit.isEmpty()) lit = test::LitKeys(view_);
    return false;
  }
  QString lit;

 private:
  QWidget* widget_;
  const KeyboardView& view_;
};

}  // namespace

class KeysOnXServerTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenWorkArea = true}};
  std::unique_ptr<Tfrm_Main> window_;
  Evaluation evaluation_;

  fs::path WriteLesson(std::string_view name, std::string_view bytes) {
    const fs::path path = run_.Home() / "lessons" / std::string(name);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  // Starts the program on a lesson and gives the typing pane the keyboard through the window
  // manager, as a learner's click on the window would.
  void Start(const fs::path& lesson) {
    window_ = std::make_unique<Tfrm_Main>(QStringList{QString::fromStdString(lesson.string())});
    evaluation_ = {};
    window_->SetEvaluationHandler(
        [this](const std::string&, int32_t total, int32_t correct, int32_t wrong, int32_t) {
          evaluation_ = {total, correct, wrong, evaluation_.calls + 1};
        });
    window_->show();
    QVERIFY(x11::WaitUntilFramed(*window_));
    QVERIFY(test::WaitStarted(*window_));
    QVERIFY(x11::ActivateWindow(*window_));
    QVERIFY(x11::WaitFor([this] {
      return QApplication::focusWidget() == test::Find<TextPane>(window_, "SynEdit1");
    }));
  }

  const ExerciseState& State() const { return window_->State(); }

  // Presses the keys and waits until the program has handled them: a key that types a
  // character moves TargetPos, and "End" afterwards is a marker that every key has arrived.
  void Press(const QStringList& keys) {
    QVERIFY(x11::PressKeys(keys));
    x11::ProcessEventsFor(150);
  }

 private slots:
  void initTestCase() {
    const QString problem = x11::XServerProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
  }

  void init() {
    run_.Reset();
    QVERIFY(x11::SetKeyboardLayout({QStringLiteral("hu")}));
  }

  void cleanup() { window_.reset(); }

  void aLessonWithHungarianLettersIsTypedToItsEnd() {
    // árvíztűrő ÖŐÜŰ, then "@\#" from AltGr keys.
    Start(
        WriteLesson("magyar.lck", "Magyar\r\n\xE1rv\xEDzt\xFBr\xF5 \xD6\xD5\xDC\xDB\r\n@\\#\r\n"));
    QVERIFY(x11::TypeText(QStringLiteral("árvíztűrő ÖŐÜŰ")));
    QVERIFY(x11::WaitFor([this] { return State().CorrectCount == 14; }));
    Press({QStringLiteral("Return"), QStringLiteral("ISO_Level3_Shift+v"),
           QStringLiteral("ISO_Level3_Shift+q"), QStringLiteral("ISO_Level3_Shift+x")});
    QVERIFY(x11::WaitFor([this] { return evaluation_.calls == 1; }));
    QCOMPARE(evaluation_.total, 17);
    QCOMPARE(evaluation_.correct, 17);
    QCOMPARE(evaluation_.wrong, 0);
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit1")->Lines(),
             (std::vector<std::string>{"\xE1rv\xEDzt\xFBr\xF5 \xD6\xD5\xDC\xDB", "@\\#"}));
  }

  // A burst of keys, Return included, is counted whole: 18 lines typed without a pause.
  void aMultiLineLessonTypedInABurstCountsEveryKey() {
    std::string lesson = "Sorok\r\n";
    for (int i = 0; i < 18; ++i) lesson += "all\r\n";
    Start(WriteLesson("sorok.lck", lesson));
    QVERIFY(x11::TypeText(QStringLiteral("all\n").repeated(18).chopped(1), 0));
    QVERIFY(x11::WaitFor([this] { return evaluation_.calls == 1; }));
    QCOMPARE(evaluation_.correct, 54);
    QCOMPARE(evaluation_.wrong, 0);
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit1")->LineCount(), 18);
  }

  void editingKeysAndCombinationsChangeNothingAndCountNothing() {
    Start(WriteLesson("abc.lck", "Abc\r\nabc\r\n"));
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    Press({QStringLiteral("Delete"),       QStringLiteral("BackSpace"),
           QStringLiteral("Left"),         QStringLiteral("Right"),
           QStringLiteral("Up"),           QStringLiteral("Home"),
           QStringLiteral("End"),          QStringLiteral("Prior"),
           QStringLiteral("Next"),         QStringLiteral("Insert"),
           QStringLiteral("ctrl+1"),       QStringLiteral("ctrl+9"),
           QStringLiteral("ctrl+0"),       QStringLiteral("ctrl+8"),
           QStringLiteral("ctrl+shift+4"), QStringLiteral("ctrl+minus"),
           QStringLiteral("alt+x"),        QStringLiteral("alt+a"),
           QStringLiteral("ctrl+v"),       QStringLiteral("shift+Insert"),
           QStringLiteral("ctrl+a"),       QStringLiteral("ctrl+c"),
           QStringLiteral("ctrl+z"),       QStringLiteral("ctrl+Return"),
           QStringLiteral("Escape")});
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit1")->LineCount(), 0);
    QCOMPARE(State().TargetPos, 0);
    QCOMPARE(State().CorrectCount, 0);
    QCOMPARE(State().WrongCount, 0);
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit2")->SelectedText(), std::string("a"));
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit2")->Lines(), std::vector<std::string>{"abc"});
    QVERIFY(State().ExerciseActive);

    // Ctrl+Backspace types DEL (127): judged and echoed; then the lesson goes on as usual.
    Press({QStringLiteral("ctrl+BackSpace")});
    QVERIFY(x11::WaitFor([this] { return State().WrongCount == 1; }));
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit1")->Lines(), std::vector<std::string>{"\x7F"});
    Press({QStringLiteral("b"), QStringLiteral("c")});
    QVERIFY(x11::WaitFor([this] { return evaluation_.calls == 1; }));
    QCOMPARE(evaluation_.correct, 2);
    QCOMPARE(evaluation_.wrong, 1);
  }

  void deadKeyLettersAreJudgedAndChangeNoPane() {
    QVERIFY(x11::SetKeyboardLayout(
        {QStringLiteral("us"), QStringLiteral("-variant"), QStringLiteral("intl")}));
    Start(WriteLesson("ekezet.lck",
                      "\xC9kezet\r\n\xE9\xE1"
                      "b\r\n"));
    Press({QStringLiteral("dead_acute"), QStringLiteral("e")});
    QVERIFY(x11::WaitFor([this] { return State().CorrectCount == 1; }));
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit1")->Lines(), std::vector<std::string>{"\xE9"});
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit2")->SelectedText(), std::string("\xE1"));

    // With the lesson pane focused a composed letter neither counts nor lands in the lesson.
    test::Find<TextPane>(window_, "SynEdit2")->setFocus();
    Press({QStringLiteral("dead_acute"), QStringLiteral("a")});
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit2")->Lines(), std::vector<std::string>{"\xE9\xE1"
                                                                                          "b"});
    QCOMPARE(State().CorrectCount + State().WrongCount, 1);
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit1")->Lines(), std::vector<std::string>{"\xE9"});
  }

  // The on-screen keyboard switched on from the Nézet menu: the lit keys follow real keys, and
  // a wrong key is red as its key press ends (checked when its release arrives).
  void theKeyboardFollowsRealKeys() {
    test::BundleKeyboard();
    Start(WriteLesson("billentyu.lck", "Bill\r\n\xD6l@\r\n"));  // Öl@
    Press({QStringLiteral("alt+n"), QStringLiteral("Up"), QStringLiteral("Return")});
    QVERIFY(x11::WaitFor([this] { return window_->findChild<KeyboardView*>() != nullptr; }));
    const auto* view = test::Find<KeyboardView>(window_, "Billentyuzet");
    QCOMPARE(test::LitKeys(*view), QStringLiteral("ö Shift/bal"));
    const ReleaseWatch release(test::Find<TextPane>(window_, "SynEdit1"), *view);
    Press({QStringLiteral("x")});
    QVERIFY(x11::WaitFor([&] { return !release.lit.isEmpty(); }));
    QCOMPARE(release.lit, QStringLiteral("l !x"));
    QVERIFY(x11::WaitFor([&] { return test::LitKeys(*view) == QStringLiteral("l"); }));
    Press({QStringLiteral("l")});
    QVERIFY(x11::WaitFor([&] { return test::LitKeys(*view) == QStringLiteral("v Alt Gr"); }));
    Press({QStringLiteral("F9")});
    QVERIFY(window_->findChild<KeyboardView*>() == nullptr);
    Press({QStringLiteral("ISO_Level3_Shift+v")});
    QVERIFY(x11::WaitFor([this] { return evaluation_.calls == 1; }));
    QCOMPARE(evaluation_.wrong, 1);
  }

  void aDragInTheLessonPaneChangesNothingThatIsJudged() {
    Start(WriteLesson("drag.lck", "Drag\r\nabcdefgh\r\n"));
    QWidget* view = test::Find<TextPane>(window_, "SynEdit2")->viewport();
    const QPoint from = view->mapToGlobal(QPoint(60, 10));
    const QPoint to = view->mapToGlobal(QPoint(110, 10));
    const auto xy = [](const QPoint& p) {
      return QStringList{QString::number(p.x()), QString::number(p.y())};
    };
    QVERIFY(x11::RunTool(QStringLiteral("xdotool"),
                         QStringList{QStringLiteral("mousemove")} + xy(from) +
                             QStringList{QStringLiteral("mousedown"), QStringLiteral("1")})
                .ok);
    QVERIFY(
        x11::RunTool(QStringLiteral("xdotool"), QStringList{QStringLiteral("mousemove")} + xy(to))
            .ok);
    QVERIFY(x11::WaitFor(
        [this] { return test::Find<TextPane>(window_, "SynEdit2")->SelectedText().size() > 1; }));
    QVERIFY(
        x11::RunTool(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")})
            .ok);
    QVERIFY(x11::WaitFor([this] {
      return QApplication::focusWidget() == test::Find<TextPane>(window_, "SynEdit1");
    }));
    QCOMPARE(test::Find<TextPane>(window_, "SynEdit2")->SelectedText(), std::string("a"));
    Press({QStringLiteral("a")});
    QVERIFY(x11::WaitFor([this] { return State().CorrectCount == 1; }));
    QCOMPARE(State().WrongCount, 0);
  }
};

PEKTO_TEST_MAIN(KeysOnXServerTest)

#include "test_x11_keys.moc"
