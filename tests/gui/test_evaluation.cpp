// SPDX-License-Identifier: GPL-3.0-or-later
// The end of an exercise as the learner meets it: the evaluation dialog, the player dialog, the
// score row in Score.csv, the player list in Players.csv and the results window it opens.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <fstream>
#include <future>
#include <optional>
#include <set>
#include <thread>

#include "EvaluationSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Error.h"
#include "platform/FileLock.h"
#include "platform/IniFile.h"
#include "platform/QtCollator.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"
#include "results/CsvTable.h"
#include "results/Ertekel.h"
#include "results/JatekosMegad.h"
#include "results/LessonGoals.h"
#include "results/Top10.h"

using namespace pekto;
namespace fs = std::filesystem;
using Reply = test::DialogAnswers::Reply;

namespace {

using test::DataDir;
using test::EnterName;
using test::Golden;
using test::Offered;
using test::PlayerFile;
using test::PlayerList;
using test::ReadBytes;
using test::ReadPlayers;
using test::ResultsWatch;
using test::ScoreFile;
using test::ScoreHead;
using test::WriteBytes;

// `text` with every `from` replaced by `to`.
std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string TodayText() {
  return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString();
}

// The texts the evaluation dialog shows.
struct Shown {
  QString caption, title, total, correct, wrong, time, percent, keysPerMinute, hitsPerMinute;
};

// Notes what the evaluation dialog shows, then presses its OK.
Reply ReadEvaluation(Shown& shown) {
  return [&shown](QDialog& dialog) {
    const auto text = [&dialog](const char* name) {
      const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
      return label ? label->text() : QStringLiteral("<missing>");
    };
    shown = {dialog.windowTitle(), text("StaticText1"), text("Label11"),
             text("Label12"),      text("Label13"),     text("Label2"),
             text("Label14"),      text("LLeutesPerc"), text("LHelyesPerc")};
    dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
  };
}

// Runs `a` and `b` on two threads that start at the same moment. The gate is a shared future:
// std::latch hangs now and then with MinGW's libstdc++ (its atomic wait loses a wake-up).
template <typename A, typename B>
void RunTogether(A&& a, B&& b) {
  std::promise<void> open;
  const std::shared_future<void> start = open.get_future().share();
  std::thread first([&] {
    start.wait();
    a();
  });
  std::thread second([&] {
    start.wait();
    b();
  });
  open.set_value();
  first.join();
  second.join();
}

// Another running program that holds the lock of a file for as long as the object lives: this
// test program started again with kHoldLock, which takes the lock, says so and keeps it until its
// input closes.
constexpr const char* kHoldLock = "PEKTO_TEST_HOLD_LOCK";

class LockHolder {
 public:
  explicit LockHolder(const fs::path& file) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kHoldLock), FromPath(file));
    process_.setProcessEnvironment(environment);
    process_.start(QCoreApplication::applicationFilePath(), {});
    held_ = process_.waitForReadyRead(10000) && process_.readLine().trimmed() == "held";
  }
  ~LockHolder() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(10000)) process_.kill();
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  bool Holds() const { return held_; }

 private:
  QProcess process_;
  bool held_ = false;
};

// The other side of LockHolder.
int HoldLock(int argc, char** argv, const QString& file) {
  const QCoreApplication app(argc, argv);
  const FileLock lock(ToPath(file));
  QTextStream(stdout) << "held" << Qt::endl;
  QTextStream(stdin).readAll();
  return 0;
}

}  // namespace

class EvaluationTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenFontSize = 9}};

  static fs::path KeysFile() { return DataDir() / "Keys.csv"; }

  // A lesson of 12 letters on two lines (Enter between them is not judged).
  fs::path WriteLesson() const {
    const fs::path path = DataDir() / "alapsor.lck";
    WriteBytes(path, "Alapsor\r\nasdf jkl\r\nfdsa\r\n");
    return path;
  }

  static std::unique_ptr<Tfrm_Main> OpenMain(const fs::path& lesson) {
    auto window = test::ShowMain({FromPath(lesson)});
    // The clock is stopped so that the recorded time does not depend on the machine's speed.
    test::Find<QTimer>(window, "Timer1")->stop();
    return window;
  }

  static void Evaluate(int32_t total, int32_t correct, int32_t wrong, int32_t seconds,
                       const std::vector<KeyTally>& keys = {}) {
    ShowEvaluation("Alapsor", total, correct, wrong, seconds, nullptr, keys);
  }

 private slots:
  void init() {
    run_.Reset();
    Beall.LastPlayer = "Pekto";
  }

  // Type a lesson twice, finish, answer both dialogs: the two files hold exactly the bytes of
  // the example files, the newer result first.
  void wholeFlowWritesBothFilesExactly() {
    const std::string dayBefore = TodayText();
    const fs::path lesson = WriteLesson();
    ResultsWatch results;
    auto w = OpenMain(lesson);
    QVERIFY(w->State().ExerciseActive);

    Shown first, second;
    Offered offered;
    {
      test::DialogAnswers answers;
      answers.Then(ReadEvaluation(first))
          .Then(ReadPlayers(offered, EnterName(QStringLiteral("Kiss Anna"))));
      test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("asdf jkl\rfdsa"));
      QCOMPARE(answers.Count(), 3);
      QCOMPARE(answers.Last().object, QStringLiteral("frm_Top10"));  // the results window
      QCOMPARE(answers.Records()[0].object, QStringLiteral("frm_Ertekel"));
      QCOMPARE(answers.Records()[1].object, QStringLiteral("frm_Jatekos"));
    }
    QCOMPARE(first.caption, QStringLiteral("Értékelés"));
    QCOMPARE(first.title, QStringLiteral("Alapsor"));
    QCOMPARE(first.total, QStringLiteral("12"));
    QCOMPARE(first.correct, QStringLiteral("12"));
    QCOMPARE(first.wrong, QStringLiteral("0"));
    QCOMPARE(first.time, QStringLiteral("0:0"));
    QCOMPARE(first.percent, QStringLiteral("100 %"));
    QCOMPARE(offered.names, QStringList());
    QCOMPARE(offered.text, QStringLiteral("Pekto"));  // the default LastPlayer
    QCOMPARE(results.ids.size(), size_t{1});
    QCOMPARE(results.titles[0], std::string("Alapsor"));
    QCOMPARE(results.ids[0], 0);
    QVERIFY(!w->State().ExerciseActive);
    QCOMPARE(test::Find<TextPane>(w, "SynEdit2")->LineCount(), 0);
    QCOMPARE(Beall.LastPlayer, std::string("Kiss Anna"));
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({"Kiss Anna"}));

    w->LoadLesson(FromPath(lesson));
    test::Find<QTimer>(w, "Timer1")->stop();
    {
      test::DialogAnswers answers;
      answers.Then(ReadEvaluation(second))
          .Then(ReadPlayers(offered, EnterName(QStringLiteral("Nagy Béla"))));
      test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("xsdf jkl\rfdsa"));
      QCOMPARE(answers.Count(), 3);
      QCOMPARE(answers.Last().object, QStringLiteral("frm_Top10"));  // the results window
    }
    QCOMPARE(second.correct, QStringLiteral("11"));
    QCOMPARE(second.wrong, QStringLiteral("1"));
    QCOMPARE(second.percent, QStringLiteral("92 %"));
    QCOMPARE(offered.names, QStringList{QStringLiteral("Kiss Anna")});
    QCOMPARE(offered.text, QStringLiteral("Kiss Anna"));
    QCOMPARE(results.ids.size(), size_t{2});
    QCOMPARE(results.ids[1], 1);

    const std::string day = TodayText();
    if (day != dayBefore) QSKIP("the date changed while the test ran");
    QCOMPARE(ReadBytes(ScoreFile()), Replaced(Golden("evaluation_score.csv"), "@TODAY@", day));
    QCOMPARE(ReadBytes(PlayerFile()), Golden("players_example.csv"));
    QVERIFY(!fs::exists(DataDir() / "Score.csv.lock"));
    QVERIFY(!fs::exists(DataDir() / "Players.csv.lock"));

    // Keys.csv: each exercise's rows under its score row; the one mistake, x for a, in the second.
    const std::string keys = ReadBytes(KeysFile());
    for (const std::string& row :
         {"\"0\",\"Kiss Anna\",\"" + day + "\",\"a\",\"2\",\"0\",\"\",\"",
          "\"1\",\"Nagy B\xE9la\",\"" + day + "\",\"a\",\"2\",\"1\",\"x:1\",\""}) {
      QVERIFY2(keys.find(row) != std::string::npos, row.c_str());
    }
    QVERIFY(!fs::exists(DataDir() / "Keys.csv.lock"));
  }

  void cancelWritesNothingAndTheResultsOpenWithoutRow() {
    ResultsWatch results;
    for (const Reply& cancel :
         {test::DialogAnswers::Reject(),
          Reply([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }),
          Reply([](QDialog& d) { d.findChild<QPushButton*>(QStringLiteral("Button2"))->click(); }),
          Reply([](QDialog& d) { d.close(); })}) {
      test::DialogAnswers answers;
      answers.Then(test::DialogAnswers::Accept()).Then([cancel](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"))
            ->setEditText(QStringLiteral("Anna"));
        cancel(dialog);
      });
      Evaluate(120, 114, 9, 95, {KeyTally{'a', 2, 1, {{'x', 1}}, 300}});
      QCOMPARE(answers.Count(), 3);
      QCOMPARE(answers.Last().object, QStringLiteral("frm_Top10"));  // the results window
      QCOMPARE(results.LastId(), -1);
      QVERIFY(!fs::exists(KeysFile()));
      QCOMPARE(results.titles.back(), std::string("Alapsor"));
      QVERIFY(!fs::exists(ScoreFile()));
      QVERIFY(!fs::exists(PlayerFile()));
      QCOMPARE(Beall.LastPlayer, std::string("Pekto"));
    }
    QCOMPARE(results.ids.size(), size_t{4});
  }

  void blanksAroundANameAreTrimmedOnlyInTheScoreRow() {
    ResultsWatch results;
    {
      test::DialogAnswers answers;
      answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("  Anna")));
      Evaluate(8, 3, 5, 65);
    }
    QCOMPARE(results.LastId(), 0);
    CsvTable table("Tbl", ScoreSchema(), nullptr);
    table.Open();
    table.LoadFile(ScoreFile());
    QCOMPARE(NullToStr(table.Value("jatekos"), "?"), std::string("Anna"));
    QCOMPARE(NullToInt(table.Value("szazalek"), -1), 38);
    QCOMPARE(NullToInt(table.Value("ido"), -1), 65);
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({"  Anna"}));
    QCOMPARE(Beall.LastPlayer, std::string("  Anna"));

    // The next time the box shows the blanks too, and the name is found as it stands.
    Offered offered;
    const std::string players = ReadBytes(PlayerFile());
    {
      test::DialogAnswers answers;
      answers.Then(ReadPlayers(offered, test::DialogAnswers::Accept()));
      QCOMPARE(AskPlayerName(nullptr), std::string("Anna"));
    }
    QCOMPARE(offered.text, QStringLiteral("  Anna"));
    QCOMPARE(offered.names, QStringList{QStringLiteral("  Anna")});
    QCOMPARE(ReadBytes(PlayerFile()), players);
  }

  void newPlayersStandBeforeTheLastOne() {
    for (const QString& name :
         {QStringLiteral("Kiss Anna"), QStringLiteral("Nagy Béla"), QStringLiteral("Szabó Éva")}) {
      test::DialogAnswers answers;
      answers.Then([name](QDialog& dialog) {
        // Typed as a user types it: the last player's name is selected and typing replaces it.
        test::TypeText(dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->lineEdit(), name);
        test::PressEnter(dialog.focusWidget());
      });
      QCOMPARE(ToQ(AskPlayerName(nullptr)), name);
    }
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({"Nagy B\xE9la", "Szab\xF3 \xC9va", "Kiss Anna"}));
    Offered offered;
    test::DialogAnswers answers;
    answers.Then(ReadPlayers(offered, test::DialogAnswers::Reject()));
    QCOMPARE(AskPlayerName(nullptr), std::string());
    QCOMPARE(offered.names, (QStringList{QStringLiteral("Nagy Béla"), QStringLiteral("Szabó Éva"),
                                         QStringLiteral("Kiss Anna")}));
    QCOMPARE(offered.text, QStringLiteral("Szabó Éva"));
  }

  void aKnownNameLeavesThePlayerFileAlone() {
    // LF line ends: a rewrite would give CR LF.
    const std::string lf =
        "\"@@TABLEDEF START@@\"\n\"jatekos=String,50,\"\"jatekos\"\",\"\"\"\",50,Data,\"\"\"\"\"\n"
        "\"@@TABLEDEF END@@\"\n\"jatekos\",\n\"Anna\",\n\"B\xE9la\",\n";
    WriteBytes(PlayerFile(), lf);
    for (const QString& name : {QStringLiteral("Béla"), QStringLiteral("Anna")}) {
      test::DialogAnswers answers;
      answers.Then(EnterName(name));
      QCOMPARE(ToQ(AskPlayerName(nullptr)), name);
      QCOMPARE(ReadBytes(PlayerFile()), lf);
    }
    // Letter case counts in the user's collation: anna is a new name, and completing from the
    // list keeps the letters as typed.
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      QLineEdit* edit = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->lineEdit();
      edit->selectAll();
      test::TypeText(edit, QStringLiteral("anna"));
      test::PressEnter(edit);
    });
    QCOMPARE(AskPlayerName(nullptr), std::string("anna"));
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({"Anna", "anna", "B\xE9la"}));
  }

  // The name goes to Windows-1250 files: õ and û, typed or pasted, become ő and ű; any other
  // character they cannot hold is refused with a hint, never stored as '?'.
  void namesOutsideTheCodePage_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refused");  // named by the hint; empty: no hint
    QTest::newRow("typed") << QStringLiteral("Tõth Nuñ") << false << QStringLiteral("Tőth Nu")
                           << QStringLiteral("ñ");
    QTest::newRow("pasted") << QStringLiteral("Tõth Ûrsula") << true
                            << QStringLiteral("Tőth Űrsula") << QString();
    QTest::newRow("pasted, refused")
        << QStringLiteral("Nuñez") << true << QStringLiteral("Pekto") << QStringLiteral("ñ");
  }
  void namesOutsideTheCodePage() {
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, name);
    QFETCH(QString, refused);
    QString hint;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      QLineEdit* edit = test::Find<QComboBox>(&dialog, "ComboBox1")->lineEdit();
      if (pasted) {
        QApplication::clipboard()->setText(typed);
        edit->paste();  // over the selected last name
      } else {
        test::TypeText(edit, typed);
      }
      const auto* label = test::Find<QLabel>(&dialog, "LabelHint");
      if (label->isVisible()) hint = label->text();
      test::PressEnter(edit);
    });
    QCOMPARE(ToQ(AskPlayerName(nullptr)), name);
    QCOMPARE(hint, refused.isEmpty() ? QString()
                                     : QStringLiteral("A névben nem használható: ") + refused +
                                           QStringLiteral(" (csak a közép-európai Windows-1250 "
                                                          "kódlap betűi menthetők)"));
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({FromQ(name)}));
  }

  void okWithAnEmptyBoxStoresTheEmptyNameOnceAndNoScore() {
    ResultsWatch results;
    for (int i = 0; i < 2; ++i) {
      test::DialogAnswers answers;
      answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral(" ")));
      Evaluate(3, 1, 2, 4);
      QCOMPARE(results.LastId(), -1);
      QVERIFY(!fs::exists(ScoreFile()));
      QCOMPARE(ReadBytes(PlayerFile()), PlayerList({" "}));
      QCOMPARE(Beall.LastPlayer, std::string(" "));
    }
    test::DialogAnswers answers;
    answers.Then(EnterName(QString()));
    QCOMPARE(AskPlayerName(nullptr), std::string());
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({"", " "}));
  }

  void percentagesAndTimeTexts() {
    ResultsWatch results;
    struct Case {
      int32_t correct, wrong, seconds;
      QString percent, time;
      int keysPerMinute, hitsPerMinute;
    };
    const Case cases[] = {
        {23, 17, 75, QStringLiteral("58 %"), QStringLiteral("1:15"), 32, 18},
        {59, 141, 65, QStringLiteral("29 %"), QStringLiteral("1:5"), 185, 54},
        {1, 7, 3600, QStringLiteral("12 %"), QStringLiteral("60:0"), 0, 0},
        {3, 5, 0, QStringLiteral("38 %"), QStringLiteral("0:0"), 0, 0},
        {114, 9, 95, QStringLiteral("93 %"), QStringLiteral("1:35"), 78, 72},
        {0, 0, 59, QStringLiteral("0 %"), QStringLiteral("0:59"), 0, 0},
    };
    for (const Case& c : cases) {
      Shown shown;
      test::DialogAnswers answers;
      answers.Then(ReadEvaluation(shown)).Then(test::DialogAnswers::Reject());
      Evaluate(120, c.correct, c.wrong, c.seconds);
      QCOMPARE(shown.percent, c.percent);
      QCOMPARE(shown.time, c.time);
      QCOMPARE(shown.correct, QString::number(c.correct));
      QCOMPARE(shown.wrong, QString::number(c.wrong));
      QCOMPARE(shown.total, QStringLiteral("120"));
      QCOMPARE(shown.keysPerMinute, QStringLiteral("Leütés/perc: %1").arg(c.keysPerMinute));
      QCOMPARE(shown.hitsPerMinute, QStringLiteral("Helyes leütés/perc: %1").arg(c.hitsPerMinute));
    }
    // Nothing judged: the row stores 0.
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Anna")));
    Evaluate(120, 0, 0, 1);
    QCOMPARE(ReadBytes(ScoreFile()),
             ScoreHead() + "\"0\",\"Alapsor\",\"Anna\",\"120\",\"0\",\"0\",\"0\",\"1\",\"" +
                 TodayText() + "\",\r\n");
  }

  // A lesson with a goal: the verdict below the speed lines, the dialog grown to hold it whole.
  void goalVerdictBelowTheSpeedLines_data() {
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<QByteArray>("goals");  // Celok.csv; empty: the goal 180 per minute, 98 %
    QTest::addColumn<QString>("verdict");
    QTest::newRow("met") << 178 << 2 << QByteArray()  // 180 per minute, 99 %
                         << QStringLiteral("Sikeres");
    QTest::newRow("missed") << 160 << 8 << QByteArray()  // 168 per minute, 95 %
                            << QStringLiteral(
                                   "A pontosság 3 százalékponttal kevés\n"
                                   "A sebesség 12 leütés/perc-cel kevés");
    QTest::newRow("damaged") << 178 << 2 << QByteArray("junk")
                             << QStringLiteral(
                                    "A(z) \"Celok.csv\" nem olvasható, a cél nem értékelhető.");
  }
  void goalVerdictBelowTheSpeedLines() {
    QFETCH(int, correct);
    QFETCH(int, wrong);
    QFETCH(QByteArray, goals);
    QFETCH(QString, verdict);
    const fs::path lesson = WriteLesson();
    QCOMPARE(WriteGoal(GoalFileOf(lesson), "alapsor.lck", {180, 98}), std::nullopt);
    if (!goals.isEmpty()) WriteBytes(GoalFileOf(lesson), goals.toStdString());
    ResultsWatch results(false);
    QString shown;
    QRect line;
    QSize size;
    bool fits = false;
    test::DialogAnswers answers;
    answers
        .Then([&](QDialog& d) {
          const auto* label = test::Find<QLabel>(&d, "LCel");
          shown = label->isVisible() ? label->text() : QString();
          line = label->geometry();
          size = d.size();
          fits = label->heightForWidth(line.width()) <= line.height();
          d.accept();
        })
        .Then(test::DialogAnswers::Reject());
    ShowEvaluation("Alapsor", 120, correct, wrong, 60, nullptr, {}, lesson);
    QCOMPARE(shown, verdict);
    QCOMPARE(line.topLeft(), QPoint(12, 339));  // below the speed lines, which stay in place
    QVERIFY(fits);
    QCOMPARE(size, QSize(402, line.bottom() + 1 + 8));
  }

  void evaluationDialogLayout() {
    Beall.ScreenFontSize = 10;
    struct Seen {
      bool laidOut = false;
      QFont title, value, percent, caption;
      QColor percentColour;
      Qt::Alignment titleAlign, valueAlign, percentAlign;
      bool defaultButton = false, captionGreyed = false, speedFits = false;
      QString buttonText, captionText;
      QSize picture;
    } seen;
    test::DialogAnswers answers;
    answers
        .Then([&seen](QDialog& d) {
          seen.laidOut =
              test::ExpectLayout(d,
                                 {{"StaticText1", {12, 8, 369, 22}},
                                  {"Image1", {12, 44, 121, 141}},
                                  {"Label11", {288, 48, 90, 21}},
                                  {"Label12", {288, 76, 90, 21}},
                                  {"Label13", {288, 104, 90, 21}},
                                  {"Label2", {288, 132, 90, 21}},
                                  {"Label14", {140, 164, 241, 77}},
                                  {"Button1", {168, 268, 75, 25}},
                                  {"LLeutesPerc", {12, 301, 369, 17}},
                                  {"LHelyesPerc", {12, 318, 369, 17}}},
                                 {402, 343});  // 309 and the two speed lines below the button
          const auto label = [&d](const char* name) {
            return d.findChild<QLabel*>(QString::fromLatin1(name));
          };
          seen.title = label("StaticText1")->font();
          seen.value = label("Label11")->font();
          seen.percent = label("Label14")->font();
          seen.percentColour = label("Label14")->palette().color(QPalette::WindowText);
          seen.titleAlign = label("StaticText1")->alignment();
          seen.valueAlign = label("Label2")->alignment();
          seen.percentAlign = label("Label14")->alignment();
          seen.picture = label("Image1")->pixmap().size();
          for (QLabel* l : d.findChildren<QLabel*>()) {
            if (l->pos() == QPoint(188, 104)) {
              seen.caption = l->font();
              seen.captionText = l->text();
              seen.captionGreyed = !l->isEnabled();
            }
          }
          auto* button = d.findChild<QPushButton*>(QStringLiteral("Button1"));
          seen.defaultButton = button->isDefault();
          seen.buttonText = button->text();
          seen.speedFits = label("LHelyesPerc")->sizeHint().height() <= 17;
          QTest::keyClick(&d, Qt::Key_Return);  // the default button closes it
        })
        .Then([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    Evaluate(120, 114, 9, 95);
    QCOMPARE(answers.Count(), 3);
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Top10"));  // the results window
    QVERIFY(seen.laidOut);
    QVERIFY(seen.speedFits);
    QCOMPARE(seen.picture, QSize(120, 140));
    for (const QFont& f : {seen.title, seen.value}) {
      QCOMPARE(f.family(), QStringLiteral("Arial"));
      QCOMPARE(f.pixelSize(), 19);  // 14 pt
      QVERIFY(f.bold());
    }
    QCOMPARE(seen.percent.family(), QStringLiteral("Arial"));
    QCOMPARE(seen.percent.pixelSize(), 64);  // 48 pt
    QVERIFY(seen.percent.bold());
    QCOMPARE(seen.percentColour, QColor(255, 0, 0));
    QVERIFY(seen.titleAlign & Qt::AlignHCenter);
    QVERIFY(seen.valueAlign & Qt::AlignRight);
    QVERIFY(seen.percentAlign & Qt::AlignHCenter);
    QCOMPARE(seen.captionText, QStringLiteral("hibás leütés"));
    QVERIFY(seen.captionGreyed);
    // The window font takes the interface font size; the values keep their own.
    QCOMPARE(seen.caption.family(), QStringLiteral("Tahoma"));
    QCOMPARE(seen.caption.pointSize(), 10);
    QVERIFY(seen.defaultButton);
    QCOMPARE(seen.buttonText, QStringLiteral("OK"));
  }

  void playerDialogLayout() {
    WriteBytes(PlayerFile(), PlayerList({"Anna", "", "B\xE9la"}));
    struct Seen {
      QString caption;
      bool editable = false, okDefault = false, cancelDefault = true;
      bool laidOut = false;
      QRect box;
      QString ok, cancel, label, selected;
      QFont font;
      QStringList names;
      QSize picture;
    } seen;
    test::DialogAnswers answers;
    answers.Then([&seen](QDialog& d) {
      seen.caption = d.windowTitle();
      seen.laidOut = test::ExpectLayout(d,
                                        {{"Image1", {12, 68, 64, 64}},
                                         {"Button1", {276, 76, 75, 25}},
                                         {"Button2", {276, 108, 75, 25}}},
                                        {369, 146});
      seen.box = d.findChild<QWidget*>(QStringLiteral("ComboBox1"))->geometry();
      auto* box = d.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
      seen.editable = box->isEditable();
      for (int i = 0; i < box->count(); ++i) seen.names << box->itemText(i);
      seen.selected = box->lineEdit()->selectedText();
      auto* ok = d.findChild<QPushButton*>(QStringLiteral("Button1"));
      auto* cancel = d.findChild<QPushButton*>(QStringLiteral("Button2"));
      seen.ok = ok->text();
      seen.cancel = cancel->text();
      seen.okDefault = ok->isDefault();
      seen.cancelDefault = cancel->isDefault();
      seen.picture = d.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().size();
      for (QLabel* l : d.findChildren<QLabel*>()) {
        if (l->pos() == QPoint(8, 24)) {
          seen.label = l->text();
          seen.font = l->font();
        }
      }
      // Enter in the name box presses OK.
      box->lineEdit()->selectAll();
      test::TypeText(box->lineEdit(), QStringLiteral("Enter Elek"));
      QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    });
    QCOMPARE(AskPlayerName(nullptr), std::string("Enter Elek"));
    QCOMPARE(seen.caption, QStringLiteral("Játékos"));
    QCOMPARE(seen.box.topLeft(), QPoint(60, 20));
    QCOMPARE(seen.box.width(), 233);
    QVERIFY(seen.laidOut);
    QCOMPARE(seen.picture, QSize(64, 64));
    QVERIFY(seen.editable);
    QCOMPARE(seen.names, (QStringList{QStringLiteral("Anna"), QString(), QStringLiteral("Béla")}));
    QCOMPARE(seen.selected, QStringLiteral("Pekto"));
    QCOMPARE(seen.ok, QStringLiteral("OK"));
    QCOMPARE(seen.cancel, QStringLiteral("Mégsem"));
    QVERIFY(seen.okDefault);
    QVERIFY(!seen.cancelDefault);
    QCOMPARE(seen.label, QStringLiteral("Játékos"));
    QCOMPARE(seen.font.family(), QStringLiteral("Tahoma"));
    QCOMPARE(seen.font.pointSize(), 9);
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({"Anna", "", "Enter Elek", "B\xE9la"}));
  }

  void dialogsKeepTheirPlaces() {
    IniFile ini(Startup().SettingsFile);
    ini.WriteInteger("frm_Ertekel", "Left", 123);
    ini.WriteInteger("frm_Ertekel", "Top", 45);
    QPoint evaluationAt, playerAt;
    {
      test::DialogAnswers answers;
      answers
          .Then([&evaluationAt](QDialog& d) {
            evaluationAt = d.pos();
            d.move(300, 200);
            d.accept();
          })
          .Then([&playerAt](QDialog& d) {
            playerAt = d.pos();
            d.move(50, 60);
            d.reject();
          });
      Evaluate(1, 1, 0, 1);
    }
    QCOMPARE(evaluationAt, QPoint(123, 45));
    QCOMPARE(playerAt, QPoint(10, 10));  // no section yet
    QCOMPARE(ini.ReadInteger("frm_Ertekel", "Left", -1), 300);
    QCOMPARE(ini.ReadInteger("frm_Ertekel", "Top", -1), 200);
    QCOMPARE(ini.ReadInteger("frm_Jatekos", "Left", -1), 50);
    QCOMPARE(ini.ReadInteger("frm_Jatekos", "Top", -1), 60);
    QVERIFY(ini.ReadString("frm_Ertekel", "Width", "none") == "none");

    test::DialogAnswers answers;
    answers.Then([&playerAt](QDialog& d) {
      playerAt = d.pos();
      d.reject();
    });
    AskPlayerName(nullptr);
    QCOMPARE(playerAt, QPoint(50, 60));
  }

  // The player file is damaged: the error is reported, the dialog opens empty, and a name
  // entered there is returned and recorded; the damaged file is kept whole under a new name and
  // never replaced by a shorter list.
  void aDamagedPlayerFileIsKeptAsideWhenANameIsStored() {
    const std::string broken =
        "\"@@TABLEDEF START@@\"\r\n\"jatekos=Blob,50,\"\"j\"\",\"\"\"\",50\"\r\n"
        "\"@@TABLEDEF END@@\"\r\n\"jatekos\",\r\n\"Anna\",\r\n";
    WriteBytes(PlayerFile(), broken);
    ResultsWatch results;
    Offered offered;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept())
        .Then(test::DialogAnswers::Accept())
        .Then(ReadPlayers(offered, EnterName(QStringLiteral("Kiss Anna"))));
    Evaluate(120, 114, 9, 95);
    QCOMPARE(answers.Count(), 5);
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Top10"));  // the results window
    QCOMPARE(answers.Records()[1].caption, QStringLiteral("Pekto"));
    QVERIFY(answers.Records()[1].text.startsWith(QStringLiteral("Unknown field type (Blob)")));
    QCOMPARE(answers.Records()[2].object, QStringLiteral("frm_Jatekos"));
    QCOMPARE(answers.Records()[3].caption, QStringLiteral("Figyelem"));
    QCOMPARE(offered.names, QStringList());
    QCOMPARE(offered.text, QString());
    QCOMPARE(ReadBytes(test::KeptAside(PlayerFile())), broken);
    QCOMPARE(ReadBytes(PlayerFile()), PlayerList({"Kiss Anna"}));
    QCOMPARE(results.LastId(), 0);
    QCOMPARE(Beall.LastPlayer, std::string("Kiss Anna"));
    QVERIFY(ReadBytes(ScoreFile())
                .find("\"0\",\"Alapsor\",\"Kiss Anna\",\"120\",\"114\",\"9\",\"93\",\"95\"") !=
            std::string::npos);
  }

  // The player file cannot be written: the error is reported, and the dialog still closes with
  // OK, returns the name and the score is recorded.
  void aPlayerFileThatCannotBeWrittenStillRecordsTheScore() {
    fs::create_directories(PlayerFile() / "in-the-way");
    ResultsWatch results;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Kiss Anna")));
    Evaluate(120, 114, 9, 95);
    QCOMPARE(answers.Count(), 4);
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Top10"));  // the results window
    QCOMPARE(answers.Records()[2].caption, QStringLiteral("Pekto"));
    QVERIFY(answers.Records()[2].text.startsWith(QStringLiteral("Cannot create file")));
    QCOMPARE(results.LastId(), 0);
    QCOMPARE(Beall.LastPlayer, std::string("Kiss Anna"));
    QVERIFY(ReadBytes(ScoreFile()).find("\"0\",\"Alapsor\",\"Kiss Anna\"") != std::string::npos);
    QVERIFY(!fs::exists(DataDir() / "Players.csv.lock"));
  }

  // Score.csv is damaged: it is kept whole under a new name, the result goes to a new file, the
  // exercise ends as usual and the results window shows the new row.
  void aDamagedScoreFileIsKeptAsideAndTheResultRecorded() {
    const std::string broken =
        "\"@@TABLEDEF START@@\"\r\n\"id=Money,0,\"\"id\"\",\"\"\"\",10\"\r\n";
    WriteBytes(ScoreFile(), broken);
    ResultsWatch results;
    auto w = OpenMain(WriteLesson());
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Anna")));
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("asdf jkl\rfdsa"));
    QCOMPARE(answers.Count(), 4);
    QCOMPARE(answers.Records()[2].caption, QStringLiteral("Figyelem"));
    QCOMPARE(ReadBytes(test::KeptAside(ScoreFile())), broken);
    QCOMPARE(results.LastId(), 0);
    QVERIFY(ReadBytes(ScoreFile()).find("\"0\",\"Alapsor\",\"Anna\",\"12\",\"12\",\"0\",\"100\"") !=
            std::string::npos);
    QVERIFY(!w->State().ExerciseActive);
    QVERIFY(!fs::exists(DataDir() / "Score.csv.lock"));
  }

  // Two programs finishing at the same moment: every row and every name lands.
  void concurrentRecordingLosesNothing() {
    constexpr int kEach = 25;
    const auto recordScores = [this](const char* player) {
      for (int i = 0; i < kEach; ++i) {
        RecordScoreLocked(ScoreFile(),
                          ScoreEntry{"Alapsor", player, 1, 1, 0, 100, i, {2024, 3, 5}});
      }
    };
    const auto storeNames = [this](char prefix) {
      const QtCollator collator;
      for (int i = 0; i < kEach; ++i) {
        StorePlayerLocked(PlayerFile(), prefix + std::to_string(i), collator);
      }
    };
    RunTogether([&] { recordScores("A"); }, [&] { recordScores("B"); });
    RunTogether([&] { storeNames('a'); }, [&] { storeNames('b'); });

    CsvTable table("Tbl", ScoreSchema(), nullptr);
    table.Open();
    table.LoadFile(ScoreFile());
    QCOMPARE(table.RowCount(), size_t{2 * kEach});
    std::set<int32_t> ids;
    for (; !table.AtEnd(); table.MoveNext()) ids.insert(NullToInt(table.Value("id"), -1));
    QCOMPARE(ids.size(), size_t{2 * kEach});
    QCOMPARE(*ids.begin(), 0);
    QCOMPARE(*ids.rbegin(), 2 * kEach - 1);
    CsvTable players("Tbl", PlayerSchema(), nullptr);
    players.Open();
    players.LoadFile(PlayerFile());
    QCOMPARE(players.RowCount(), size_t{2 * kEach});
    QVERIFY(!fs::exists(DataDir() / "Score.csv.lock"));
    QVERIFY(!fs::exists(DataDir() / "Players.csv.lock"));
  }

  // A lock left behind by a program that died does not block the next result, whatever it
  // holds: a process id that is gone, nothing (killed before writing it), or the id of a living
  // program of the same name that has been given it since.
  void aLockOfADeadProgramIsTakenOver_data() {
    const std::string host = QSysInfo::machineHostName().toStdString();
    const std::string me = QCoreApplication::applicationFilePath().section(u'/', -1).toStdString();
    QTest::addColumn<QByteArray>("lock");
    QTest::newRow("dead process") << QByteArray::fromStdString("99999999\npekto\n" + host + "\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("reused id") << QByteArray::fromStdString(
        std::to_string(QCoreApplication::applicationPid()) + "\n" + me + "\n" + host + "\n");
  }
  void aLockOfADeadProgramIsTakenOver() {
    QFETCH(QByteArray, lock);
    const fs::path lockPath = FileLock::LockPathOf(ScoreFile());
    WriteBytes(lockPath, lock.toStdString());
    // Some seconds old, as a leftover is: younger than the age at which any lock counts as stale.
    fs::last_write_time(lockPath, fs::file_time_type::clock::now() - std::chrono::seconds(5));
    QCOMPARE(
        RecordScoreLocked(ScoreFile(), ScoreEntry{"Alapsor", "A", 1, 1, 0, 100, 1, {2024, 3, 5}}),
        0);
    QVERIFY(!fs::exists(lockPath));
  }

  // A lock that its holder keeps is never taken over, however old its file, nor one that
  // another machine sharing the folder made; the holder may be another running program.
  void aHeldLockIsNeverTakenOver_data() {
    QTest::addColumn<QString>("holder");
    for (const char* holder : {"this program", "another program", "another machine"}) {
      QTest::newRow(holder) << QString::fromLatin1(holder);
    }
  }
  void aHeldLockIsNeverTakenOver() {
    QFETCH(QString, holder);
    const fs::path lockPath = FileLock::LockPathOf(ScoreFile());
    std::optional<FileLock> own;
    std::optional<LockHolder> other;
    if (holder == QStringLiteral("this program")) {
      own.emplace(ScoreFile());
    } else if (holder == QStringLiteral("another program")) {
      QVERIFY(other.emplace(ScoreFile()).Holds());
    } else {
      WriteBytes(lockPath, "1\npekto\nmasik-gep\n");
    }
    // Windows lets nobody touch a file that its holder keeps open: there the lock stays young.
    std::error_code ec;
    fs::last_write_time(lockPath, fs::file_time_type::clock::now() - std::chrono::seconds(5), ec);
    QString message;
    try {
      const FileLock second(ScoreFile(), 300);
    } catch (const Error& e) {
      message = QString::fromUtf8(e.what());
    }
    QCOMPARE(message,
             "Cannot lock file \"" + FromPath(lockPath) + "\". Another program is using the file");
  }

  // A lesson title longer than the score row keeps: the results window finds the lesson as the
  // row stored it and shows the new row.
  void aLongTitleShowsItsNewRow() {
    const std::string title = "Mondatok " + std::string(50, 'x');  // 59 characters
    int rows = -1;
    QString lesson;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept())
        .Then(EnterName(QStringLiteral("Anna")))
        .Then([&](QDialog& dialog) {
          rows = test::Find<QTableView>(&dialog, "DBGrid1")->model()->rowCount();
          lesson = test::Find<QComboBox>(&dialog, "ComboBox1")->currentText();
          dialog.reject();
        });
    ShowEvaluation(title, 120, 114, 9, 95, nullptr);
    QCOMPARE(rows, 1);
    QCOMPARE(lesson, ToQ(title.substr(0, 50)));
  }
};

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsSet(kHoldLock))
    return HoldLock(argc, argv, qEnvironmentVariable(kHoldLock));
  Application app(argc, argv);
  EvaluationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_evaluation.moc"
