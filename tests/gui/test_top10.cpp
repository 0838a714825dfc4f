// SPDX-License-Identifier: GPL-3.0-or-later
// The results window: the lesson list, the filter of one lesson, the order of the rows, the
// columns and their colours, the commands, the placement, and a score file that cannot be read.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <fstream>
#include <optional>
#include <vector>

#include "TestSupport.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Guard.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "results/CsvTable.h"
#include "results/Top10.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

struct Score {
  int32_t id = 0;
  std::string title;  // Windows-1250
  std::string player;
  double percent = 0;
  Date date{2024, 3, 6};
};

// A score file as the evaluation writes it, rows in the given order.
void WriteScores(const fs::path& file, const std::vector<Score>& scores) {
  // An error fails the test that writes, not the whole program.
  test::Survives([&] {
    CsvTable table("Tbl", ScoreSchema(), nullptr);
    table.Open();
    for (const Score& s : scores) {
      table.AppendRow();
      table.SetInteger("id", s.id);
      table.SetText("tesztneve", s.title);
      table.SetText("jatekos", s.player);
      table.SetInteger("osszes", 120);
      table.SetInteger("helyes", 100 + s.id);
      table.SetInteger("hibas", s.id % 7);
      table.SetValue("szazalek", FieldValue(s.percent));
      table.SetInteger("ido", 60 + s.id);
      table.SetDate("datum", s.date);
      table.PostRow();
    }
    table.SaveFile(file);
  });
}

using test::ScoreFile;
using test::WriteBytes;

QColor Highlight() {
  return QColor(0xFF, 0xFF, 0xB9);  // $B9FFFF, red in the low byte
}

}  // namespace

class Top10Test : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenFontSize = 8}};

  // The window as ShowResults fills it, shown without a modal loop of its own.
  std::unique_ptr<Tfrm_Top10> Open(const std::string& title, int32_t highlightId = -1) {
    auto window = std::make_unique<Tfrm_Top10>(highlightId, nullptr);
    test::Survives([&] { window->LoadScores(title); });
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("window not exposed");
    return window;
  }

  static QTableView* Grid(QWidget& w) { return w.findChild<QTableView*>("DBGrid1"); }
  static QComboBox* Lessons(QWidget& w) { return w.findChild<QComboBox*>("ComboBox1"); }
  static QAbstractItemModel* Model(QWidget& w) { return Grid(w)->model(); }

  static QString Cell(QWidget& w, int row, int column) {
    return Model(w)->index(row, column).data().toString();
  }
  static QStringList Players(QWidget& w) {
    QStringList players;
    for (int row = 0; row < Model(w)->rowCount(); ++row) players << Cell(w, row, 1);
    return players;
  }
  static QColor Background(QWidget& w, int row, int column) {
    return Model(w)->index(row, column).data(Qt::BackgroundRole).value<QColor>();
  }
  // The colour the grid paints in a cell, away from its text.
  static QColor Painted(QWidget& w, int row, int column) {
    QTableView* grid = Grid(w);
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    const QImage image = grid->viewport()->grab().toImage();
    const bool right =
        Model(w)->index(row, column).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight;
    const QPoint spot = right ? QPoint(cell.left() + 3, cell.center().y())
                              : QPoint(cell.right() - 3, cell.center().y());
    return image.pixelColor(spot * image.devicePixelRatio());
  }

  // Picks the item `index` in the drop-down's open list with the keyboard.
  static void PickWithKeyboard(QComboBox* combo, int index) {
    combo->showPopup();
    QTRY_VERIFY(combo->view()->isVisible());
    combo->view()->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QTRY_VERIFY(!combo->view()->isVisible());
  }

  std::vector<Score> Lessons3() {
    return {
        {5, "Abc", "Kiss Anna", 80},
        {4, "Gyakorlat 2", "Nagy B\xE9la", 70},
        {3, "ABC", "Szab\xF3 \xC9va", 95},
        {2, "Gyakorlat*",
         "T\xF3th \xD6"
         "d\xF6n",
         60},
        {1, "Abc", "Varga Gy\xF5z\xF5", 90},
        {0, "O'Neil", "Kiss Anna", 50},
    };
  }

 private slots:
  void init() { run_.Reset(); }

  void withoutAScoreFileTheWindowOpensEmpty() {
    auto w = Open("");
    QCOMPARE(w->objectName(), QStringLiteral("frm_Top10"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Eredmények"));
    QCOMPARE(Lessons(*w)->count(), 0);
    QCOMPARE(Lessons(*w)->currentIndex(), -1);
    QCOMPARE(Model(*w)->rowCount(), 0);
    const QStringList titles{"%", "játékos", "összes", "helyes", "hibás", "idő (sec)", "dátum"};
    QCOMPARE(Model(*w)->columnCount(), 7);
    for (int column = 0; column < 7; ++column) {
      QCOMPARE(Model(*w)->headerData(column, Qt::Horizontal).toString(), titles[column]);
    }
  }

  void columnTitlesStayWhenAFileBringsItsOwnLabels() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("");
    QCOMPARE(Model(*w)->headerData(0, Qt::Horizontal).toString(), QStringLiteral("%"));
    QCOMPARE(Model(*w)->headerData(5, Qt::Horizontal).toString(), QStringLiteral("idő (sec)"));
  }

  void theLessonListHoldsEachTitleOnceInFileOrder() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("");
    QComboBox* combo = Lessons(*w);
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->itemText(0), QStringLiteral("Abc"));
    QCOMPARE(combo->itemText(1), QStringLiteral("Gyakorlat 2"));
    QCOMPARE(combo->itemText(2), QStringLiteral("Gyakorlat*"));
    QCOMPARE(combo->itemText(3), QStringLiteral("O'Neil"));
    // No title: the first lesson, and only the rows titled exactly Abc.
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(Players(*w), QStringList({"Varga Győző", "Kiss Anna"}));
  }

  void aGivenTitleSelectsItsItemWithoutRegardToCase() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("ABC", 3);
    QCOMPARE(Lessons(*w)->currentIndex(), 0);  // the item Abc
    // The rows are those titled exactly as given.
    QCOMPARE(Players(*w), QStringList({"Szabó Éva"}));
  }

  void aTitleWithoutRowsSelectsNothing() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("Nincs ilyen");
    QCOMPARE(Lessons(*w)->currentIndex(), -1);
    QCOMPARE(Lessons(*w)->currentText(), QString());
    QCOMPARE(Model(*w)->rowCount(), 0);
  }

  void aTitleWithAQuotationMarkShowsItsRows() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("O'Neil", 0);
    QCOMPARE(Lessons(*w)->currentText(), QStringLiteral("O'Neil"));
    QCOMPARE(Players(*w), QStringList({"Kiss Anna"}));
  }

  void aStarredTitleShowsEveryLessonItBegins() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("Gyakorlat*");
    QCOMPARE(Players(*w), QStringList({"Nagy Béla", "Tóth Ödön"}));
    auto exact = Open("Gyakorlat 2");
    QCOMPARE(Players(*exact), QStringList({"Nagy Béla"}));
  }

  void rowsStandBestFirstAndTheBestIsSelected() {
    std::vector<Score> scores;
    for (int i = 0; i < 25; ++i) {
      scores.push_back({i, "Alapsor", "J\xE1t\xE9kos " + std::to_string(i),
                        static_cast<double>((i * 37) % 101)});
    }
    scores[11].percent = 100;
    WriteScores(ScoreFile(), scores);
    auto w = Open("Alapsor");
    QCOMPARE(Model(*w)->rowCount(), 25);  // "Top 10" limits nothing
    int previous = 101;
    for (int row = 0; row < 25; ++row) {
      const int percent = Cell(*w, row, 0).toInt();
      QVERIFY2(percent <= previous, qPrintable(QString::number(row)));
      previous = percent;
    }
    QCOMPARE(Cell(*w, 0, 0), QStringLiteral("100"));
    QCOMPARE(Grid(*w)->currentIndex().row(), 0);
    QVERIFY(Grid(*w)->selectionModel()->isRowSelected(0, {}));
  }

  void cellTextsAndAlignment() {
    WriteScores(ScoreFile(), {{7, "Alapsor", "Kiss Anna", 93, {2024, 3, 5}}});
    auto w = Open("Alapsor");
    const QStringList texts{"93",
                            "Kiss Anna",
                            "120",
                            "107",
                            "0",
                            "67",
                            QLocale().toString(QDate(2024, 3, 5), QLocale::ShortFormat)};
    for (int column = 0; column < 7; ++column) {
      QCOMPARE(Cell(*w, 0, column), texts[column]);
      const auto align = Model(*w)->index(0, column).data(Qt::TextAlignmentRole).toInt();
      const bool left = column == 1 || column == 6;
      QCOMPARE(align & Qt::AlignHorizontal_Mask, int(left ? Qt::AlignLeft : Qt::AlignRight));
    }
    // A percentage that is no whole number shows the 15 significant digits it is stored with.
    WriteScores(ScoreFile(), {{8, "Harmad", "Kiss Anna", 200.0 / 3}});
    QCOMPARE(Cell(*Open("Harmad"), 0, 0), QStringLiteral("66.6666666666667"));
  }

  void closingTheListChangesTheLesson() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("");
    QComboBox* combo = Lessons(*w);
    PickWithKeyboard(combo, 3);
    QTRY_COMPARE(Players(*w), QStringList({"Kiss Anna"}));  // O'Neil
    QCOMPARE(Grid(*w)->currentIndex().row(), 0);

    // Arrow keys on the closed drop-down change its text, not the rows.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(combo->currentText(), QStringLiteral("Gyakorlat*"));
    QTest::qWait(20);
    QCOMPARE(Players(*w), QStringList({"Kiss Anna"}));
    // Opening and closing the list without a choice shows the drop-down's lesson.
    combo->showPopup();
    QTRY_VERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QTRY_COMPARE(Players(*w), QStringList({"Nagy Béla", "Tóth Ödön"}));
  }

  void aMouseChoiceInTheListChangesTheLesson() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("");
    QComboBox* combo = Lessons(*w);
    combo->showPopup();
    QTRY_VERIFY(combo->view()->isVisible());
    // The list ignores a button release that comes too soon after it opened.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QListView* list = qobject_cast<QListView*>(combo->view());
    QVERIFY(list != nullptr);
    const QPoint spot = list->visualRect(combo->model()->index(1, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, spot);
    QTRY_VERIFY(!combo->view()->isVisible());
    QCOMPARE(combo->currentIndex(), 1);
    QTRY_COMPARE(Players(*w), QStringList({"Nagy Béla"}));
  }

  void theColumnsShareTheGridByPosition() {
    auto w = Open("");
    QTableView* grid = Grid(*w);
    QHeaderView* titles = grid->horizontalHeader();
    const auto widths = [&] {
      QList<int> result;
      for (int position = 0; position < 7; ++position) {
        result << titles->sectionSize(titles->logicalIndex(position));
      }
      return result;
    };
    w->resize(540, 400);
    QTRY_COMPARE(grid->width(), 540);
    QCOMPARE(widths(), QList<int>({75, 125, 50, 50, 50, 50, 100}));
    w->resize(690, 400);
    QTRY_COMPARE(grid->width(), 690);
    QCOMPARE(widths(), QList<int>({98, 162, 65, 65, 65, 65, 130}));
    // A moved column takes the share of its new place.
    titles->moveSection(6, 0);
    QCOMPARE(titles->logicalIndex(0), 6);
    w->resize(540, 400);
    QTRY_COMPARE(grid->width(), 540);
    QCOMPARE(widths(), QList<int>({75, 125, 50, 50, 50, 50, 100}));
    QCOMPARE(titles->sectionSize(6), 75);
  }

  void theGridIsAReadOnlyRowGrid() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("");
    QTableView* grid = Grid(*w);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(grid->showGrid());
    QVERIFY(grid->verticalHeader()->isVisible());
    QVERIFY(grid->horizontalHeader()->sectionsMovable());
    QVERIFY(grid->horizontalHeader()->sectionsClickable());
    QCOMPARE(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QVERIFY(!(Model(*w)->flags(Model(*w)->index(0, 0)) & Qt::ItemIsEditable));
    // The selection keeps its colours when the grid loses the focus.
    const QPalette palette = grid->palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
             palette.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::HighlightedText),
             palette.color(QPalette::Active, QPalette::HighlightedText));
    QVERIFY(w->findChild<QStatusBar*>("StatusBar1")->currentMessage().isEmpty());
  }

  void thePercentageColumnAndTheNewRowHaveTheirColours() {
    WriteScores(ScoreFile(), {{0, "Alapsor", "Kiss Anna", 93},
                              {1, "Alapsor", "Nagy B\xE9la", 100},
                              {2, "Alapsor", "Szab\xF3 \xC9va", 80}});
    auto w = Open("Alapsor", 0);
    QCOMPARE(Players(*w), QStringList({"Nagy Béla", "Kiss Anna", "Szabó Éva"}));
    const QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    for (int row = 0; row < 3; ++row) {
      QCOMPARE(Background(*w, row, 0), Highlight());
      for (int column = 1; column < 7; ++column) {
        QCOMPARE(Background(*w, row, column), row == 1 ? QColor(255, 236, 236) : window);
      }
    }
    // As painted: the new row is not selected (the best one is).
    QCOMPARE(Painted(*w, 1, 0), Highlight());
    QCOMPARE(Painted(*w, 1, 1), QColor(255, 236, 236));
    QCOMPARE(Painted(*w, 1, 6), QColor(255, 236, 236));
    QCOMPARE(Painted(*w, 2, 3), window);
    QCOMPARE(Painted(*w, 2, 0), Highlight());
  }

  void aSelectedNewRowShowsTheSelectionColours() {
    WriteScores(ScoreFile(), {{0, "Alapsor", "Kiss Anna", 93}, {1, "Alapsor", "Nagy B\xE9la", 99}});
    auto w = Open("Alapsor", 1);  // the new row is the best
    QTableView* grid = Grid(*w);
    const QColor selection = grid->palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(grid->currentIndex().row(), 0);
    QCOMPARE(Painted(*w, 0, 0), selection);
    QCOMPARE(Painted(*w, 0, 1), selection);
    QCOMPARE(Painted(*w, 0, 6), selection);
    grid->setCurrentIndex(Model(*w)->index(1, 0));
    QCOMPARE(Painted(*w, 0, 0), Highlight());
    QCOMPARE(Painted(*w, 0, 1), QColor(255, 236, 236));
    QCOMPARE(Painted(*w, 1, 1), selection);
  }

  void noRowIsNewWithoutAHighlightId() {
    WriteScores(ScoreFile(), {{0, "Alapsor", "Kiss Anna", 93}, {-1, "Alapsor", "Nagy B\xE9la", 9}});
    auto w = Open("Alapsor", -1);
    const QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    QCOMPARE(Background(*w, 0, 1), window);
    QCOMPARE(Background(*w, 1, 1), window);
    QCOMPARE(Painted(*w, 1, 1), window);
  }

  void aClickOnAColumnTitleSortsByIt() {
    WriteScores(ScoreFile(), {{0, "Alapsor", "b\xE9la", 93},
                              {1, "Alapsor", "Anna", 100},
                              {2, "Alapsor", "anna", 80},
                              {3, "Alapsor", "Cecil", 85}});
    auto w = Open("Alapsor");
    QTableView* grid = Grid(*w);
    grid->setCurrentIndex(Model(*w)->index(2, 0));  // Cecil
    QHeaderView* titles = grid->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(1) + 10, titles->height() / 2));
    QCOMPARE(Players(*w).mid(2), QStringList({"béla", "Cecil"}));
    QCOMPARE(QStringList(Players(*w).mid(0, 2)).join(',').toLower(), QStringLiteral("anna,anna"));
    // The current row stays current; the clicked column is the highlighted one.
    QCOMPARE(Cell(*w, grid->currentIndex().row(), 1), QStringLiteral("Cecil"));
    QCOMPARE(Background(*w, 0, 1), Highlight());
    QCOMPARE(Background(*w, 0, 0), QApplication::palette().color(QPalette::Active, QPalette::Base));
    // Back to the percentage: best first again.
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(0) + 10, titles->height() / 2));
    QCOMPARE(Players(*w), QStringList({"Anna", "béla", "Cecil", "anna"}));
    QCOMPARE(Background(*w, 0, 0), Highlight());
  }

  void theCertificateGetsTheSelectedRow() {
    WriteScores(ScoreFile(), Lessons3());
    auto w = Open("Abc");
    std::vector<int32_t> ids;
    std::vector<size_t> shown;
    w->SetCertificatePrinter([&](const CsvTable& table, int32_t id, QWidget* owner) {
      ids.push_back(id);
      shown.push_back(table.VisibleRowCount());
      QCOMPARE(owner, static_cast<QWidget*>(w.get()));
    });
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(ids, std::vector<int32_t>({1}));  // Varga Győző, 90, the best
    Grid(*w)->setCurrentIndex(Model(*w)->index(1, 0));
    w->findChild<QAction*>("aOklevel")->trigger();
    QCOMPARE(ids, std::vector<int32_t>({1, 5}));
    QCOMPARE(shown, std::vector<size_t>({2, 2}));

    // No row: id 0.
    auto empty = Open("Nincs");
    int32_t emptyId = -1;
    empty->SetCertificatePrinter([&](const CsvTable&, int32_t id, QWidget*) { emptyId = id; });
    empty->findChild<QAction*>("aOklevel")->trigger();
    QCOMPARE(emptyId, 0);
  }

  void commandsToolBarAndContextMenu() {
    auto w = Open("");
    auto* oklevel = w->findChild<QAction*>("aOklevel");
    auto* bezar = w->findChild<QAction*>("aBezar");
    auto* frissit = w->findChild<QAction*>("aFrissit");
    auto* statisztika = w->findChild<QAction*>("aStatisztika");
    QCOMPARE(oklevel->text(), QStringLiteral("Oklevél nyomtatás"));
    QCOMPARE(oklevel->toolTip(), QStringLiteral("Oklevél nyomtatás"));
    QCOMPARE(oklevel->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(bezar->text(), QStringLiteral("Bezár"));
    QCOMPARE(bezar->shortcut(), QKeySequence(Qt::Key_Escape));
    QCOMPARE(frissit->text(), QStringLiteral("Frissít"));
    QCOMPARE(frissit->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(statisztika->text(), QStringLiteral("Statisztika"));
    QCOMPARE(statisztika->shortcut(), QKeySequence(Qt::Key_F7));
    auto* osszesito = w->findChild<QAction*>("aOsszesito");
    QCOMPARE(osszesito->text(), QStringLiteral("Csoport összesítő"));
    QCOMPARE(osszesito->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));

    auto* bar = w->findChild<QToolBar*>("ToolBar1");
    const QList<QAction*> onBar = bar->actions();
    QCOMPARE(onBar.size(), 5);
    QCOMPARE(onBar[0], oklevel);
    QCOMPARE(onBar[1], statisztika);
    QCOMPARE(onBar[2], osszesito);
    QVERIFY(onBar[3]->isSeparator());
    QCOMPARE(onBar[4], bezar);
    for (QAction* action : {oklevel, statisztika, bezar}) {
      auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
#ifdef _WIN32
      // The system's dialog font (Segoe UI, or Wine's stand-in) is wider than the design's:
      // the button keeps its height and grows to show the whole caption.
      QCOMPARE(button->height(), 36);
      QVERIFY(button->width() >=
              std::max(96, button->fontMetrics().horizontalAdvance(action->text())));
#else
      QCOMPARE(button->size(), QSize(96, 36));
#endif
      QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
      QVERIFY(button->autoRaise());
    }
    auto* menu = w->findChild<QMenu*>("PopupMenu1");
    QCOMPARE(menu->actions(), QList<QAction*>({oklevel, bezar}));
    QCOMPARE(Lessons(*w)->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(Grid(*w)->contextMenuPolicy(), Qt::CustomContextMenu);
    emit Grid(*w)->customContextMenuRequested(QPoint(20, 20));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    auto* caption = w->findChild<QLabel*>("Label1");
    QCOMPARE(caption->text(), QStringLiteral("Top 10  "));
    QCOMPARE(caption->font().family(), QStringLiteral("Arial"));
    QVERIFY(caption->font().bold());
    QCOMPARE(caption->font().pixelSize(), 15);
    QCOMPARE(Lessons(*w)->width(), 333);
    QVERIFY(!Lessons(*w)->isEditable());
  }

  void fontsFollowTheScreenFontSize() {
    Beall.ScreenFontSize = 10;
    auto w = Open("");
    QCOMPARE(w->font().pointSize(), 10);
    QCOMPARE(w->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(Lessons(*w)->font().pointSize(), 10);
    QCOMPARE(Grid(*w)->font().pointSize(), 10);
    QCOMPARE(w->findChild<QLabel*>("Label1")->font().pixelSize(), 15);
    // A caption that no longer fits 96 pixels widens its button instead of being cut.
    auto* bar = w->findChild<QToolBar*>("ToolBar1");
    auto* oklevel = w->findChild<QAction*>("aOklevel");
    QWidget* button = bar->widgetForAction(oklevel);
    QCOMPARE(button->font().pointSize(), 10);
    QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(oklevel->text()) + 6);
    QVERIFY(button->width() > 96);
    QVERIFY(button->height() >= 36);
  }

  void escClosesAndThePlaceIsKept() {
    WriteScores(ScoreFile(), Lessons3());
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      QCOMPARE(dialog.pos(), QPoint(10, 10));
      QCOMPARE(dialog.size(), QSize(694, 510));
      dialog.move(30, 40);
      dialog.resize(600, 420);
      // F5 does nothing; Esc closes.
      QTest::keyClick(&dialog, Qt::Key_F5);
      QVERIFY(dialog.isVisible());
      QTest::keyClick(&dialog, Qt::Key_Escape);
      if (dialog.isVisible()) dialog.reject();  // a failed test must not leave it open
    });
    ShowResults("", -1, nullptr);
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Top10"));
    const IniFile ini(Startup().SettingsFile);
    QCOMPARE(ini.ReadString("frm_Top10", "Left", ""), std::string("30"));
    QCOMPARE(ini.ReadString("frm_Top10", "Top", ""), std::string("40"));
    QCOMPARE(ini.ReadString("frm_Top10", "Width", ""), std::string("600"));
    QCOMPARE(ini.ReadString("frm_Top10", "Height", ""), std::string("420"));

    answers.Then([](QDialog& dialog) {
      QCOMPARE(dialog.pos(), QPoint(30, 40));
      QCOMPARE(dialog.size(), QSize(600, 420));
      auto* bar = dialog.findChild<QToolBar*>("ToolBar1");
      auto* bezar = dialog.findChild<QAction*>("aBezar");
      QTest::mouseClick(bar->widgetForAction(bezar), Qt::LeftButton);
      if (dialog.isVisible()) dialog.reject();
    });
    ShowResults("", -1, nullptr);
    QCOMPARE(answers.Count(), 2);
  }

  void theMainWindowOpensTheFirstLesson() {
    WriteScores(ScoreFile(), Lessons3());
    Tfrm_Main main;
    main.show();
    QVERIFY(test::WaitStarted(main));
    test::DialogAnswers answers;
    QStringList players;
    QString lesson;
    answers.Then([&](QDialog& dialog) {
      lesson = Lessons(dialog)->currentText();
      players = Players(dialog);
      dialog.reject();
    });
    test::Find<QAction>(&main, "aTop10")->trigger();
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().caption, QStringLiteral("Eredmények"));
    QCOMPARE(lesson, QStringLiteral("Abc"));
    QCOMPARE(players, QStringList({"Varga Győző", "Kiss Anna"}));
    main.close();
  }

  void aScoreFileThatCannotBeReadOpensNoWindow() {
    std::vector<Score> scores = Lessons3();
    WriteScores(ScoreFile(), scores);
    // Spoil one percentage in the file.
    std::ifstream in(ScoreFile(), std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    in.close();
    const auto at = bytes.find("\"90\"");
    QVERIFY(at != std::string::npos);
    bytes.replace(at, 4, "\"9x\"");
    WriteBytes(ScoreFile(), bytes);

    test::DialogAnswers answers;
    QVERIFY(!Guarded([] { ShowResults("", -1, nullptr); }));
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(answers.Last().text,
             QStringLiteral("'9x' is not a valid floating point value for field 'szazalek'"));
    QCOMPARE(answers.Last().icon, int(QMessageBox::Critical));
    // The message box was the only dialog: the window never showed.

    // The same through the main window's command.
    Tfrm_Main main;
    main.show();
    QVERIFY(test::WaitStarted(main));
    test::Find<QAction>(&main, "aTop10")->trigger();
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(answers.Last().caption, QStringLiteral("Pekto"));
    main.close();
  }
};

PEKTO_TEST_MAIN(Top10Test)

#include "test_top10.moc"
