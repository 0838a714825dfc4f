// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window over a small known score and key table: the colours of a weak, a good
// and a rarely judged key, the worst keys' text, another player, a damaged key table, the drill
// the button hands over; and the class overview over the same folder.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QThreadPool>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "TestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "platform/Files.h"
#include "platform/Startup.h"
#include "practice/LessonLibrary.h"
#include "practice/WeakKeyDrill.h"
#include "results/CsvTable.h"
#include "results/KeyTable.h"
#include "results/Osszesito.h"
#include "results/ScoreRecording.h"
#include "results/Statisztika.h"
#include "ui/KeyboardView.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

constexpr Date kToday{2026, 12, 9};
constexpr unsigned char kO2 = 0xF5;  // ő
constexpr unsigned char kO3 = 0xF6;  // ö
constexpr unsigned char kO4 = 0xF3;  // ó

// Anna practised on two days, Béla on one.
void WriteScores(const fs::path& file) {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  for (const int day : {7, 8, 9}) {
    const std::string player = day < 9 ? "Anna" : "B\xE9la";
    table.AppendRow();
    table.SetText("tesztneve", "Lecke");
    table.SetText("jatekos", player);
    table.SetInteger("osszes", 200);
    table.SetInteger("helyes", 180);
    table.SetInteger("hibas", 20);
    table.SetInteger("szazalek", 90);
    table.SetInteger("ido", 60 + day);
    table.SetDate("datum", {2026, 12, day});
    table.PostRow();
  }
  table.SaveFile(file);
}

bool IsGrey(const QColor& c) {
  return c.red() == c.green() && c.green() == c.blue();
}

}  // namespace

class StatisztikaTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_;  // the window saves its placement in the settings file
  test::TempDataDir temp_;
  fs::path data_, bundle_;

  std::unique_ptr<Tfrm_Statisztika> Open() {
    auto window = std::make_unique<Tfrm_Statisztika>(data_, bundle_, "Anna", kToday, nullptr);
    QSignalSpy arrived(window.get(), &Tfrm_Statisztika::KeyTalliesShown);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("window not exposed");
    if (arrived.isEmpty() && !arrived.wait(20000)) qWarning("no key tallies");
    return window;
  }

  // The colour in the upper right quarter of the key typing `ch`, away from its characters.
  static QColor KeyColor(KeyboardView* view, unsigned char ch, int dx = 0) {
    const auto& keys = view->Board().Keys();
    const size_t index = static_cast<size_t>(view->Board().Find(ch)->key - keys.data());
    const QRectF key = view->KeyRect(index);
    const QImage image = view->grab().toImage();
    const QPoint spot(static_cast<int>(key.right() - key.width() / 4) + dx,
                      static_cast<int>(key.top() + key.height() / 3));
    return image.pixelColor(spot * image.devicePixelRatio());
  }

 private slots:
  void init() {
    run_.Reset();
    data_ = temp_.FsPath() / "data";
    bundle_ = temp_.FsPath() / "bundle";
    fs::create_directories(data_);
    fs::create_directories(bundle_ / "keyboard");
    test::CopyOver(PEKTO_KEYBOARD_FILE, KeyboardFile(bundle_));
    test::WriteBytes(WordListFile(bundle_), "# szavak\nk\xC5\x91\nt\xC5\x91r\nalma\n");
    WriteScores(data_ / "Score.csv");
    fs::remove(data_ / "Keys.csv");
    // ő half wrong (ö 8, ó 2), a never, e once in 20, k judged too few times; Béla a little.
    const std::vector<KeyTally> anna = {{'a', 40, 0, {}, 9000},
                                        {'e', 20, 1, {{'r', 1}}, 4000},
                                        {'k', 3, 0, {}, 600},
                                        {kO2, 20, 10, {{kO3, 8}, {kO4, 2}}, 3000}};
    QVERIFY(!AppendKeyRows(data_ / "Keys.csv", {1, "Anna", {2026, 12, 8}}, anna));
    QVERIFY(
        !AppendKeyRows(data_ / "Keys.csv", {2, "B\xE9la", {2026, 12, 8}}, {{'a', 3, 1, {}, 0}}));
  }

  void keysColouredByErrorRateAndWorstKeysListed() {
    const auto window = Open();
    auto* view = test::Find<KeyboardView>(window, "KeyboardView");
    const QColor red = KeyColor(view, kO2), green = KeyColor(view, 'a');
    QVERIFY2(red.red() > 200 && red.green() < 120, qPrintable(red.name()));
    QVERIFY2(green.green() > green.red() + 40, qPrintable(green.name()));
    // Hatched: the plain face with grey strokes across it, no rate colour.
    int strokes = 0, face = 0;
    for (int dx = -6; dx <= 6; ++dx) {
      const QColor c = KeyColor(view, 'k', dx);
      QVERIFY(IsGrey(c));  // never green, yellow or red
      (c.red() > 240 ? face : strokes) += 1;
    }
    QVERIFY(strokes > 0 && face > 0);
    auto* worst = test::Find<QLabel>(window, "LabelGyenge");
    QCOMPARE(worst->text(), QStringLiteral("ő helyett ö: 8, ó: 2  (50,0%)\n"
                                           "e helyett r: 1  (5,0%)"));
    QVERIFY(test::Find<QPushButton>(window, "ButtonGyakorlo")->isEnabled());

    // Béla: nothing rated yet, and so no drill.
    test::Find<QComboBox>(window, "ComboJatekos")->setCurrentText(QStringLiteral("Béla"));
    QCOMPARE(worst->text(), QStringLiteral("Nincs még elég adat."));
    QVERIFY(!test::Find<QPushButton>(window, "ButtonGyakorlo")->isEnabled());
    QVERIFY(IsGrey(KeyColor(view, kO2)));
  }

  void damagedKeyTableIsNamedOverTheKeyboard() {
    test::WriteBytes(data_ / "Keys.csv", "nem tabla\n");
    const auto window = Open();
    QVERIFY(test::Find<KeyboardView>(window, "KeyboardView")->Message().contains("Keys.csv"));
    QVERIFY(!test::Find<QPushButton>(window, "ButtonGyakorlo")->isEnabled());
  }

  void closedBeforeTheKeysArrive() {
    std::make_unique<Tfrm_Statisztika>(data_, bundle_, "Anna", kToday, nullptr).reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();  // the tallies find no window, and go
  }

  void drillButtonHandsOverTheDrillAndCloses() {
    const auto window = Open();
    QSignalSpy chosen(window.get(), &Tfrm_Statisztika::DrillChosen);
    test::Find<QPushButton>(window, "ButtonGyakorlo")->click();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(window->result(), int(QDialog::Accepted));
    const Lesson& drill = *window->ChosenDrill();
    QCOMPARE(drill.title, std::string("Gyakorl\xF3: \xF5 e"));

    // Saved as the player's lesson of the day; a second drill of hers that day takes its place,
    // another learner's stands beside it.
    const fs::path folder = data_ / "Leckek";
    const auto day = std::chrono::year_month_day(std::chrono::year(2026), std::chrono::month(12),
                                                 std::chrono::day(9));
    const fs::path file = SaveDrillLesson(folder, drill, window->ChosenPlayer(), day);
    QCOMPARE(file, folder / "gyakorlo_Anna_2026-12-09.lck");
    SaveDrillLesson(folder, Lesson{"Gyakorl\xF3: x", {"x"}}, "Anna", day);
    SaveDrillLesson(folder, drill, "B\xE9la", day);
    QCOMPARE(ReadLessonFile(file).title, std::string("Gyakorl\xF3: x"));
    QCOMPARE(ReadLessonFile(folder / PathFromText("gyakorlo_Béla_2026-12-09.lck")).title,
             drill.title);
    QCOMPARE(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  }

  // From the main window's results window to its statistics: the drill chosen there closes both
  // windows, and the main window starts it.
  void drillFromTheResultsWindowStartsInTheMainWindow() {
    for (const char* table : {"Score.csv", "Keys.csv"}) {
      fs::copy_file(data_ / table, Startup().DataDir / table);
    }
    fs::create_directories(KeyboardFile(BundleDir()).parent_path());
    test::CopyOver(KeyboardFile(bundle_), KeyboardFile(BundleDir()));
    test::CopyOver(WordListFile(bundle_), WordListFile(BundleDir()));
    const auto main = test::ShowMain();
    test::DialogAnswers answers;
    answers.Then([](QDialog& results) {
      test::Find<QAction>(&results, "aStatisztika")->trigger();
      QVERIFY(results.isHidden());
    });
    answers.Then([](QDialog& statistics) {
      test::Find<QComboBox>(&statistics, "ComboJatekos")->setCurrentText(QStringLiteral("Anna"));
      auto* drill = test::Find<QPushButton>(&statistics, "ButtonGyakorlo");
      QTRY_VERIFY_WITH_TIMEOUT(drill->isEnabled(), 20000);  // the keys arrive in the background
      drill->click();
    });
    test::Find<QAction>(main, "aTop10")->trigger();
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(main->State().LessonTitle, std::string("Gyakorl\xF3: \xF5 e"));
    QVERIFY(!TakeOfferedDrill());
  }

  // Two programs sharing the folder recorded Anna's, Béla's and Ádám's lessons of the 9th; the
  // overview sums the school year per player, sorts numbers as numbers and names as Hungarian
  // does, and a range that ends before the 8th leaves out that day's keys.
  void classOverviewRowsSortAndSpreadsheetFile() {
    const fs::path scores = data_ / "Score.csv";
    RecordScore(scores, {"Lecke", "Anna", 100, 95, 5, 95, 30, {2026, 12, 9}});
    RecordScore(scores, {"Lecke",
                         "\xC1"
                         "d\xE1m; \"\xC1"
                         "di\"",
                         30,
                         30,
                         0,
                         100,
                         20,
                         {2026, 12, 9}});
    RecordScore(scores, {"Lecke", "B\xE9la", 60, 50, 10, 83, 40, {2026, 12, 9}});
    Tfrm_Osszesito window(data_, SchoolYearStart(kToday), kToday, nullptr);
    QSignalSpy keys(&window, &Tfrm_Osszesito::KeysShown);
    QVERIFY(keys.wait(20000));
    const fs::path csv = temp_.FsPath() / "osszesito.csv";
    window.SaveCsv(csv);
    QCOMPARE(test::ReadBytes(csv),
             std::string("\xEF\xBB\xBFJátékos;Leckék;Napok;Utolsó leütés/perc;Legjobb leütés/perc;"
                         "Helyes (%);Leggyengébb billentyűk\r\n"
                         "\"Ádám; \"\"Ádi\"\"\";1;1;90;90;100,0;–\r\n"
                         "Anna;3;3;200;200;91,0;ő 50%  e 5%\r\n"
                         "Béla;2;1;90;174;88,5;–\r\n"));

    auto* table = test::Find<QTableView>(&window, "TablaOsszesito");
    const auto column = [table](int c) {
      QStringList texts;
      for (int r = 0; r < table->model()->rowCount(); ++r) {
        texts << table->model()->index(r, c).data().toString();
      }
      return texts;
    };
    table->sortByColumn(3, Qt::AscendingOrder);  // last keys per minute: 90 before 200
    QCOMPARE(column(3), QStringList({"90", "90", "200"}));
    QCOMPARE(column(0).last(), QStringLiteral("Anna"));
    table->sortByColumn(5, Qt::DescendingOrder);
    QCOMPARE(column(5), QStringList({"100,0", "91,0", "88,5"}));

    window.SetRange({2026, 12, 1}, {2026, 12, 7});
    QVERIFY(keys.wait(20000));
    QCOMPARE(column(0), QStringList({"Anna"}));
    QCOMPARE(column(6), QStringList({"–"}));
  }

  // A class too long for a page prints on several, through the certificate's preview, to PDF.
  void classOverviewPrintsALongClassOnSeveralPages() {
    CsvTable table("Tbl", ScoreSchema(), nullptr);
    table.Open();
    for (int player = 0; player < 120; ++player) {
      table.AppendRow();
      table.SetText("jatekos", "Tanul\xF3 " + std::to_string(player));
      table.SetInteger("helyes", 90);
      table.SetDate("datum", {2026, 10, 1});
      table.PostRow();
    }
    table.SaveFile(data_ / "Score.csv");
    Tfrm_Osszesito window(data_, SchoolYearStart(kToday), kToday, nullptr);
    const fs::path pdf = temp_.FsPath() / "osszesito.pdf";
    test::DialogAnswers answers;
    answers
        .Then([](QDialog& preview) {
          preview.findChild<QAction*>(QStringLiteral("aMent"))->trigger();
          preview.reject();
        })
        .Then(test::DialogAnswers::SaveAs(pdf));
    test::Find<QPushButton>(&window, "ButtonNyomtat")->click();
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(answers.Records()[0].object, QStringLiteral("frm_Preview"));
    QVERIFY2(test::PdfPageCount(pdf) >= 3, qPrintable(QString::number(test::PdfPageCount(pdf))));
  }

  void schoolYearStartsOnTheFirstOfSeptember() {
    QCOMPARE(SchoolYearStart({2026, 8, 31}), (Date{2025, 9, 1}));
    QCOMPARE(SchoolYearStart({2026, 9, 1}), (Date{2026, 9, 1}));
    QCOMPARE(SchoolYearStart({2027, 1, 15}), (Date{2026, 9, 1}));
  }

  // The menu command without the window: too little data is said, enough saves the day's drill.
  void weakKeyCommandSavesTheDrillOrSaysWhy() {
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept());
    QVERIFY(!SaveWeakKeyDrill("Senki", nullptr));
    QCOMPARE(answers.Count(), 1);
    QVERIFY2(answers.Last().text.startsWith(QStringLiteral("Még nincs elég adat")),
             qPrintable(answers.Last().text));
    fs::copy_file(data_ / "Keys.csv", Startup().DataDir / "Keys.csv");
    test::CopyOver(WordListFile(bundle_), WordListFile(BundleDir()));
    const auto file = SaveWeakKeyDrill("Anna", nullptr);
    QVERIFY(file);
    QCOMPARE(file->parent_path(), LessonFolder(Startup().DataDir));
    QCOMPARE(ReadLessonFile(*file).title, std::string("Gyakorl\xF3: \xF5 e"));
    QCOMPARE(answers.Count(), 1);
  }
};

int main(int argc, char** argv) {
  Application app(argc, argv);
  StatisztikaTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_statisztika.moc"
