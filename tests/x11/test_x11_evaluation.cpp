// SPDX-License-Identifier: GPL-3.0-or-later
// The end of an exercise on a real X server: the evaluation and player dialogs come up framed
// by the window manager, take real keys (Enter, Esc, Hungarian letters in the name box) and
// record the result.

#include <QAbstractItemView>
#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <string>

#include "EvaluationSupport.h"
#include "XServer.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/Keyboard.h"
#include "results/Ertekel.h"
#include "results/Top10.h"
#include "ui/KeyboardView.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

using test::DataDir;
using test::ReadBytes;
using test::ResultsWatch;

}  // namespace

class EvaluationOnXServerTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_;  // the work area is the X server's
  std::unique_ptr<Tfrm_Main> window_;
  QStringList problems_;  // what went wrong while a dialog was driven

  // Answers a dialog as a user does: waits until the window manager has framed it, gives it the
  // keyboard, types `text` and presses `keys`. A dialog that cannot be driven is closed, so that
  // the test goes on to report it.
  test::DialogAnswers::Reply Drive(const QStringList& keys, const QString& text = {}) {
    return [this, keys, text](QDialog& dialog) {
      const bool framed = x11::WaitUntilFramed(dialog) && x11::ActivateWindow(dialog);
      const auto server = x11::ServerWindowOf(dialog);
      const auto area = x11::ServerWorkArea();
      if (!framed || !server || !area || !area->contains(server->Frame())) {
        problems_ << dialog.objectName() + QStringLiteral(" was not framed inside the work area");
      }
      if (!(text.isEmpty() || x11::TypeText(text)) || !x11::PressKeys(keys)) {
        problems_ << dialog.objectName() + QStringLiteral(" took no keys");
        dialog.reject();
      }
    };
  }

  void Start(const fs::path& lesson) {
    window_ = std::make_unique<Tfrm_Main>(QStringList{FromPath(lesson)});
    window_->show();
    QVERIFY(x11::WaitUntilFramed(*window_));
    QVERIFY(test::WaitStarted(*window_));
    QVERIFY(x11::ActivateWindow(*window_));
    QVERIFY(x11::WaitFor([this] {
      return QApplication::focusWidget() == test::Find<QWidget>(window_, "SynEdit1");
    }));
  }

 private slots:
  void initTestCase() {
    const QString problem = x11::XServerProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    CaptureWorkArea();
    QVERIFY(x11::SetKeyboardLayout({QStringLiteral("hu")}));
  }

  void cleanup() { window_.reset(); }

  void aResultIsRecordedWithRealKeysAndCancelRecordsNothing() {
    const fs::path lesson = run_.Home() / "alapsor.lck";
    std::ofstream(lesson, std::ios::binary) << "Alapsor\r\nasdf\r\n";
    ResultsWatch results;
    Start(lesson);

    {
      test::DialogAnswers answers;
      answers.Then(Drive({QStringLiteral("Return")}))
          .Then(Drive({QStringLiteral("Return")}, QStringLiteral("Szabó Éva")));
      QVERIFY(x11::TypeText(QStringLiteral("asdf")));
      QVERIFY(x11::WaitFor([&] { return results.ids.size() == 1; }, 20000));
      QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
      QCOMPARE(answers.Records().at(0).object, QStringLiteral("frm_Ertekel"));
      QCOMPARE(answers.Records().at(1).object, QStringLiteral("frm_Jatekos"));
    }
    QCOMPARE(results.ids.front(), 0);
    QCOMPARE(Beall.LastPlayer, std::string("Szab\xF3 \xC9va"));
    const std::string players = ReadBytes(DataDir() / "Players.csv");
    QVERIFY(players.ends_with("\"jatekos\",\r\n\"Szab\xF3 \xC9va\",\r\n"));
    const std::string scores = ReadBytes(DataDir() / "Score.csv");
    QVERIFY(scores.find("\r\n\"0\",\"Alapsor\",\"Szab\xF3 \xC9va\",\"4\",\"4\",\"0\",\"100\",\"") !=
            std::string::npos);
    const IniFile ini(Startup().SettingsFile);
    QVERIFY(ini.ReadString("frm_Ertekel", "Left", "none") != "none");
    QVERIFY(ini.ReadString("frm_Jatekos", "Top", "none") != "none");

    // Esc closes the evaluation and cancels the player dialog: nothing is recorded.
    window_->LoadLesson(FromPath(lesson));
    {
      test::DialogAnswers answers;
      answers.Then(Drive({QStringLiteral("Escape")}))
          .Then(Drive({QStringLiteral("Escape")}, QStringLiteral("Kiss Anna")));
      QVERIFY(x11::ActivateWindow(*window_));
      QVERIFY(x11::WaitFor([this] {
        return QApplication::focusWidget() == test::Find<QWidget>(window_, "SynEdit1");
      }));
      QVERIFY(x11::TypeText(QStringLiteral("asdf")));
      QVERIFY(x11::WaitFor([&] { return results.ids.size() == 2; }, 20000));
      QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
    }
    QCOMPARE(results.ids.back(), -1);
    QCOMPARE(ReadBytes(DataDir() / "Score.csv"), scores);
    QCOMPARE(ReadBytes(DataDir() / "Players.csv"), players);
    QCOMPARE(Beall.LastPlayer, std::string("Szab\xF3 \xC9va"));
    QVERIFY(!window_->State().ExerciseActive);
  }

  // The whole road of an exercise as a learner takes it, with real keys through every window:
  // type the lesson, Enter on the evaluation, a Hungarian name and Enter in the player dialog,
  // the results window with the new row, Ctrl+P for the certificate's preview, Esc twice.
  void theWholeFlowWithRealKeys() {
    const fs::path lesson = run_.Home() / "teljes.lck";
    std::ofstream(lesson, std::ios::binary) << "Teljes \xFAt\r\n\xE1rv\xEDz\r\n";
    Start(lesson);
    QPointer<QDialog> results;
    int rows = -1;
    QString previewTitle;
    test::DialogAnswers answers;
    answers.Then(Drive({QStringLiteral("Return")}))
        .Then(Drive({QStringLiteral("Return")}, QStringLiteral("Nagy Béla")))
        .Then([&](QDialog& dialog) {
          results = &dialog;
          if (x11::WaitUntilFramed(dialog)) {
            rows = test::Find<QAbstractItemView>(&dialog, "DBGrid1")->model()->rowCount();
          }
          Drive({QStringLiteral("ctrl+p")})(dialog);
        })
        .Then([&](QDialog& dialog) {
          previewTitle = dialog.windowTitle();
          Drive({QStringLiteral("Escape")})(dialog);
          // Back in the results window once the preview has gone, Esc closes it too.
          QTimer::singleShot(0, [&] {
            if (x11::WaitFor([&] { return results && results->isActiveWindow(); }) ||
                (results && x11::ActivateWindow(*results))) {
              x11::PressKeys({QStringLiteral("Escape")});
            } else {
              problems_ << QStringLiteral("the results window did not come back");
              if (results) results->reject();
            }
          });
        });
    QVERIFY(x11::TypeText(QStringLiteral("árvíz")));
    QVERIFY(x11::WaitFor([this] { return !window_->State().ExerciseActive; }, 30000));
    QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
    QCOMPARE(answers.Count(), 4);
    QCOMPARE(answers.Records().at(2).object, QStringLiteral("frm_Top10"));
    QCOMPARE(answers.Records().at(3).object, QStringLiteral("frm_Preview"));
    QCOMPARE(previewTitle, QStringLiteral("Nyomtatási kép"));
    QCOMPARE(rows, 1);
    const std::string scores = ReadBytes(DataDir() / "Score.csv");
    QVERIFY(scores.find("\"Teljes \xFAt\",\"Nagy B\xE9la\",\"5\",\"5\",\"0\",\"100\"") !=
            std::string::npos);
  }

  // Two known mistakes through real keys, ö for ő and ü for ű: the evaluation shows its speed
  // lines, Keys.csv holds a row for each mistyped character under the new score row, and the
  // statistics window (F7) shows both keys red.
  void mistakesReachTheSpeedLinesTheKeyTableAndTheStatistics() {
    const fs::path lesson = run_.Home() / "hibak.lck";
    std::ofstream(lesson, std::ios::binary)
        << "Hib\xE1k\r\n\xF5\xF5\xF5\xF5\xF5 \xFB\xFB\xFB\xFB\xFB\r\n";
    ResultsWatch results;
    Start(lesson);
    QStringList speed;
    {
      test::DialogAnswers answers;
      answers
          .Then([&](QDialog& dialog) {
            for (const char* name : {"LLeutesPerc", "LHelyesPerc"}) {
              speed << test::Find<QLabel>(&dialog, name)->text().section(u':', 0, 0);
            }
            Drive({QStringLiteral("Return")})(dialog);
          })
          .Then(Drive({QStringLiteral("Return")}, QStringLiteral("Kovács Ede")));
      QVERIFY(x11::TypeText(QStringLiteral("öőőőő üűűűű")));
      QVERIFY(x11::WaitFor([&] { return results.ids.size() == 1; }, 20000));
      QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
    }
    QCOMPARE(speed,
             (QStringList{QStringLiteral("Leütés/perc"), QStringLiteral("Helyes leütés/perc")}));
    const std::string keys = ReadBytes(DataDir() / "Keys.csv");
    const std::string owner =
        "\"" + std::to_string(results.ids.front()) + "\",\"" + FromQ(QStringLiteral("Kovács Ede")) +
        "\",\"" + FromQ(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))) + "\",";
    // Five judgements, one wrong, the substitute once.
    QVERIFY(keys.find(owner + "\"\xF5\",\"5\",\"1\",\"\xF6:1\",") != std::string::npos);
    QVERIFY(keys.find(owner + "\"\xFB\",\"5\",\"1\",\"\xFC:1\",") != std::string::npos);

    // Once the key table has been read, both keys are red: rated (five judgements) and wrong
    // one time in five.
    const auto red = [](const KeyPaint& paint) {
      return !paint.hatched && paint.fill.red() > 200 && paint.fill.green() < 120;
    };
    bool bothRed = false;
    // The keyboard picture comes from the bundle, which the build puts beside the test program.
    fs::create_directories(KeyboardFile(BundleDir()).parent_path());
    fs::copy_file(KeyboardFile(ToPath(QCoreApplication::applicationDirPath())),
                  KeyboardFile(BundleDir()));
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      const auto* view = test::Find<KeyboardView>(&dialog, "KeyboardView");
      const Keyboard& board = view->Board();
      bothRed = x11::WaitFor(
          [&] {
            return std::ranges::all_of(std::array{0xF5, 0xFB}, [&](int ch) {
              const auto index = static_cast<size_t>(
                  board.Find(static_cast<unsigned char>(ch))->key - board.Keys().data());
              return index < view->KeyPaints().size() && red(view->KeyPaints()[index]);
            });
          },
          20000);
      Drive({QStringLiteral("Escape")})(dialog);
    });
    QVERIFY(x11::PressKeys({QStringLiteral("F7")}));
    QVERIFY(x11::WaitFor([&] { return answers.Count() == 1; }, 20000));
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Statisztika"));
    QVERIFY(bothRed);
  }

  // A lesson whose last letter comes from a dead key: the dialogs that follow get only what is
  // typed into them, never the composed letter once more. A name's Õ from a dead key is the
  // Hungarian Ő.
  void aLessonEndedByADeadKeyRecordsTheNameAsTyped() {
    QVERIFY(x11::SetKeyboardLayout(
        {QStringLiteral("us"), QStringLiteral("-variant"), QStringLiteral("intl")}));
    const fs::path lesson = run_.Home() / "holtbillentyu.lck";
    std::ofstream(lesson, std::ios::binary) << "V\xE9ge\r\na\xE9\r\n";
    ResultsWatch results;
    Start(lesson);
    {
      test::DialogAnswers answers;
      answers.Then(Drive({QStringLiteral("Return")}))
          .Then(Drive({QStringLiteral("dead_tilde"), QStringLiteral("shift+o"), QStringLiteral("r"),
                       QStringLiteral("s"), QStringLiteral("Return")}));
      QVERIFY(x11::PressKeys({QStringLiteral("a")}));
      QVERIFY(x11::WaitFor([this] { return window_->State().CorrectCount == 1; }));
      QVERIFY(x11::PressKeys({QStringLiteral("dead_acute"), QStringLiteral("e")}));
      QVERIFY(x11::WaitFor([&] { return !results.ids.empty(); }, 20000));
      QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
    }
    QVERIFY(x11::SetKeyboardLayout({QStringLiteral("hu")}));
    QCOMPARE(Beall.LastPlayer, std::string("\xD5rs"));
    QVERIFY(ReadBytes(DataDir() / "Players.csv").find("\r\n\"\xD5rs\",\r\n") != std::string::npos);
    QVERIFY(ReadBytes(DataDir() / "Score.csv").find("\"V\xE9ge\",\"\xD5rs\",\"2\",\"2\",\"0\"") !=
            std::string::npos);
  }
};

PEKTO_TEST_MAIN(EvaluationOnXServerTest)

#include "test_x11_evaluation.moc"
