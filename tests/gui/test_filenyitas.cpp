// SPDX-License-Identifier: GPL-3.0-or-later
// The lesson picker: the sorted list, the preselected lesson, the ways of choosing and of
// cancelling, "File-ból", and the main window's "Lecke megnyitása" loading the chosen lesson.

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <optional>

#include "TestSupport.h"
#include "app/Main.h"
#include "base/Placement.h"
#include "base/Settings.h"
#include "lessons/FileNyitas.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/LessonLibrary.h"
#include "practice/TextPane.h"
#include "results/LessonGoals.h"
#include "results/ScoreRecording.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

using Reply = test::DialogAnswers::Reply;

void WriteLesson(const fs::path& path, std::string_view title = "Lecke") {
  std::ofstream out(path, std::ios::binary);
  out << title << "\r\nasdf\r\n";
}

QListWidget* List(QDialog& dialog) {
  return test::Find<QListWidget>(&dialog, "ListBox1");
}

QStringList Items(QDialog& dialog) {
  QStringList items;
  for (int row = 0; row < List(dialog)->count(); ++row) items << List(dialog)->item(row)->text();
  return items;
}

// The selected item's text; empty when nothing is selected.
QString Selected(QDialog& dialog) {
  const auto selected = List(dialog)->selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->text();
}

Reply Click(const char* button) {
  return [button](QDialog& dialog) { test::Find<QPushButton>(&dialog, button)->click(); };
}

// What the picker shows when it opens, then `then`.
Reply Look(QStringList& items, QString& selected, Reply then) {
  return [&items, &selected, then](QDialog& dialog) {
    items = Items(dialog);
    selected = Selected(dialog);
    then(dialog);
  };
}

// Answers the open-file dialog with `chosen`, noting where it opened and the name it offered.
Reply ChooseFile(QString& folder, QString& offered, const fs::path& chosen) {
  return [&folder, &offered, chosen](QDialog& dialog) {
    auto* file = qobject_cast<QFileDialog*>(&dialog);
    if (!file) return dialog.reject();
    // Qt's dialogs give paths with '/', also on Windows, where the program has '\'.
    folder = QDir::toNativeSeparators(file->directory().absolutePath());
    offered = QDir::toNativeSeparators(file->selectedFiles().value(0));
    if (chosen.empty()) return dialog.reject();
    file->selectFile(FromPath(chosen));
    dialog.accept();
  };
}

}  // namespace

class FileNyitasTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenFontSize = 8, .withLessonFolder = true}};

  fs::path Folder() const { return LessonFolder(Startup().DataDir); }

  void FillFolder(std::initializer_list<const char*> names) {
    for (const char* name : names) WriteLesson(Folder() / name);
  }

 private slots:
  void init() { run_.Reset(); }

  void theListIsSortedWithoutRegardToCase() {
    FillFolder({"b.lck", "A.lck", "c.LCK"});
    QStringList items;
    QString selected;
    QString caption;
    QSize size;
    test::DialogAnswers answers;
    answers.Then(Look(items, selected, [&](QDialog& dialog) {
      caption = dialog.windowTitle();
      size = dialog.size();
      dialog.reject();
    }));
    QCOMPARE(PickLesson("", nullptr), std::nullopt);
    QCOMPARE(answers.Records().front().object, QStringLiteral("frm_FileNyitas"));
    QCOMPARE(caption, QStringLiteral("Lecke megnyitása"));
    QCOMPARE(size, QSize(506, 370));
    QCOMPARE(items, QStringList({"A.lck", "b.lck", "c.LCK"}));
    // No last lesson: the first item.
    QCOMPARE(selected, QStringLiteral("A.lck"));
  }

  void theLastLessonIsPreselectedWithoutRegardToCase() {
    FillFolder({"001_fdjk.lck", "002_ASDF.lck", "003_x.lck"});
    for (const std::string current :
         {"C:\\Docs\\002_asdf.lck", "/home/someone/docs/002_asdf.lck", "D:002_Asdf.LCK"}) {
      QStringList items;
      QString selected;
      test::DialogAnswers answers;
      answers.Then(Look(items, selected, Click("Button1")));
      const auto picked = PickLesson(current, nullptr);
      QCOMPARE(selected, QStringLiteral("002_ASDF.lck"));
      // The listed file, not the one the last path named.
      QCOMPARE(picked, std::optional<fs::path>(Folder() / "002_ASDF.lck"));
    }
  }

  void aLastLessonNotListedSelectsTheFirstItem() {
    FillFolder({"b.lck", "a.lck"});
    QStringList items;
    QString selected;
    test::DialogAnswers answers;
    answers.Then(Look(items, selected, Click("Button2")));
    QCOMPARE(PickLesson("/elsewhere/zzz.lck", nullptr), std::nullopt);
    QCOMPARE(selected, QStringLiteral("a.lck"));
  }

  void aDoubleClickOpensTheItemUnderTheMouse() {
    FillFolder({"a.lck", "b.lck"});
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      QListWidget* list = List(dialog);
      const QRect item = list->visualItemRect(list->item(1));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
    });
    QCOMPARE(PickLesson("", nullptr), std::optional<fs::path>(Folder() / "b.lck"));
  }

  void enterOpensTheSelectedItem() {
    FillFolder({"a.lck", "b.lck"});
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      List(dialog)->setFocus();
      QTest::keyClick(List(dialog), Qt::Key_Down);
      QTest::keyClick(List(dialog), Qt::Key_Return);
    });
    QCOMPARE(PickLesson("", nullptr), std::optional<fs::path>(Folder() / "b.lck"));
  }

  void cancelEscAndTheCloseBoxReturnNothing() {
    FillFolder({"a.lck"});
    const std::vector<Reply> cancels{
        Click("Button2"),
        [](QDialog& dialog) { QTest::keyClick(List(dialog), Qt::Key_Escape); },
        [](QDialog& dialog) { dialog.close(); },
    };
    for (const Reply& cancel : cancels) {
      test::DialogAnswers answers;
      answers.Then(cancel);
      QCOMPARE(PickLesson("", nullptr), std::nullopt);
      QCOMPARE(answers.Count(), 1);
    }
  }

  void anEmptyFolderSaysNoLessonIsSelected() {
    bool stillOpen = false;
    QStringList items{"x"};
    QString selected{"x"};
    test::DialogAnswers answers;
    answers.Then(Look(items, selected, [&](QDialog& dialog) {
      test::Find<QPushButton>(&dialog, "Button1")->click();
      stillOpen = dialog.isVisible();
      dialog.reject();
    }));
    QCOMPARE(PickLesson("", nullptr), std::nullopt);
    QVERIFY(items.isEmpty());
    QVERIFY(selected.isEmpty());
    QVERIFY(stillOpen);
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(answers.Records()[1].caption, QStringLiteral("Hiba"));
    QCOMPARE(answers.Records()[1].text, QStringLiteral("Nincs lecke kiválasztva"));
    QCOMPARE(answers.Records()[1].icon, static_cast<int>(QMessageBox::Critical));
  }

  void aMissingLessonFolderGivesAnEmptyList() {
    fs::remove_all(Folder());
    QStringList items{"x"};
    QString selected;
    test::DialogAnswers answers;
    answers.Then(Look(items, selected, Click("Button2")));
    QCOMPARE(PickLesson("", nullptr), std::nullopt);
    QVERIFY(items.isEmpty());
  }

  void fromFileStartsAtTheLastLessonAndReturnsTheChosenPath() {
    FillFolder({"a.lck"});
    QTemporaryDir elsewhere;
    const fs::path last = ToPath(elsewhere.path()) / u8"utolsó.lck";
    const fs::path chosen = ToPath(elsewhere.path()) / u8"másik.lck";
    WriteLesson(last);
    WriteLesson(chosen);
    Beall.LastFile = Cp1250FromPath(last);
    QString folder;
    QString offered;
    test::DialogAnswers answers;
    answers.Then(Click("Button3")).Then(ChooseFile(folder, offered, chosen));
    QCOMPARE(PickLesson(Beall.LastFile, nullptr), std::optional<fs::path>(chosen));
    QCOMPARE(answers.Records()[1].object, QStringLiteral("OpenDialog1"));
    QCOMPARE(folder, QDir::toNativeSeparators(elsewhere.path()));
    QCOMPARE(offered, FromPath(last));
  }

  void fromFileWithoutTheLastLessonOffersTheFirstLesson() {
    Beall.LastFile = "/gone/away.lck";
    QString folder;
    QString offered;
    QString filter;
    QString suffix;
    bool pickerOpen = false;
    test::DialogAnswers answers;
    // A cancelled file dialog leaves the picker open; "Mégsem" then gives nothing.
    answers.Then([&](QDialog& dialog) {
      test::Find<QPushButton>(&dialog, "Button3")->click();
      pickerOpen = dialog.isVisible();
      test::Find<QPushButton>(&dialog, "Button2")->click();
    });
    answers.Then([&](QDialog& dialog) {
      if (auto* file = qobject_cast<QFileDialog*>(&dialog)) {
        filter = file->selectedNameFilter();
        suffix = file->defaultSuffix();
      }
      ChooseFile(folder, offered, {})(dialog);
    });
    QCOMPARE(PickLesson(Beall.LastFile, nullptr), std::nullopt);
    QCOMPARE(answers.Count(), 2);
    QVERIFY(pickerOpen);
    QCOMPARE(folder, FromPath(Folder()));
    QCOMPARE(offered, FromPath(Folder() / "001_fdjk.lck"));
    QCOMPARE(filter, QStringLiteral("Tastrel lecke állományok (*.lck)"));
    QCOMPARE(suffix, QStringLiteral("lck"));
  }

  void aTypedNameGetsTheDefaultExtension() {
    QTemporaryDir elsewhere;
    const fs::path typed = ToPath(elsewhere.path()) / "uj";
    QString folder;
    QString offered;
    test::DialogAnswers answers;
    answers.Then(Click("Button3")).Then(ChooseFile(folder, offered, typed));
    QCOMPARE(PickLesson("", nullptr), std::optional<fs::path>(ToPath(elsewhere.path()) / "uj.lck"));
  }

  void closingStoresThePlacement() {
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      dialog.resize(600, 400);
      dialog.reject();
    });
    QCOMPARE(PickLesson("", nullptr), std::nullopt);
    const IniFile ini = SettingsIni();
    QCOMPARE(ini.ReadInteger("frm_FileNyitas", "Width", 0), 600);
    QCOMPARE(ini.ReadInteger("frm_FileNyitas", "Height", 0), 400);
    QSize size;
    answers.Then([&size](QDialog& dialog) {
      size = dialog.size();
      dialog.reject();
    });
    PickLesson("", nullptr);
    QCOMPARE(size, QSize(600, 400));
  }

  // Lessons whose goal the current player has reached carry a tick; a goal file that cannot be
  // read is named in a warning and the list comes without marks.
  void passedLessonsAreMarked() {
    WriteLesson(Folder() / "a.lck", "Alapsor");
    WriteLesson(Folder() / "b.lck", "M\xE1sodik");
    WriteLesson(Folder() / "c.lck", "Alapsor");  // the same title, without goal
    const fs::path goals = Folder() / std::string(kGoalFileName);
    for (const char* name : {"a.lck", "b.lck"}) QVERIFY(!WriteGoal(goals, name, {180, 98}));
    Beall.LastPlayer = "Anna";
    for (const auto& [title, player] : {std::pair{"Alapsor", "Anna"}, {"M\xE1sodik", "Bence"}}) {
      RecordScore(test::ScoreFile(), {title, player, 0, 180, 0, 100, 60, {2026, 12, 1}});
    }
    QStringList seen;
    int icons = 0;  // every name has its room for a mark, so that the names stay in line
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      for (int row = 0; row < List(dialog)->count(); ++row) {
        seen << List(dialog)->item(row)->toolTip();
        const QSize room = List(dialog)->iconSize();
        icons += List(dialog)->item(row)->icon().actualSize(room) == room ? 1 : 0;
      }
      dialog.reject();
    });
    PickLesson("", nullptr);
    QCOMPARE(seen, QStringList({QStringLiteral("Teljesítve: a lecke célját elérted"), "", ""}));
    QCOMPARE(icons, 3);

    test::WriteBytes(goals, "\"@@FILE VERSION@@\",\"251\"\r\nnot a table\r\n");
    test::DialogAnswers damaged;
    damaged.Then(test::DialogAnswers::Accept()).Then([&](QDialog& dialog) {
      seen = Items(dialog);
      dialog.reject();
    });
    PickLesson("", nullptr);
    QVERIFY(damaged.Records().front().text.contains(FromPath(goals)));
    QCOMPARE(seen, QStringList({"a.lck", "b.lck", "c.lck"}));
  }

  void lessonOpeningInTheMainWindowLoadsTheChosenLesson() {
    FillFolder({"a.lck"});
    WriteLesson(Folder() / "b.lck", "B\xE9 lecke");
    Tfrm_Main window;
    window.show();
    QVERIFY(test::WaitStarted(window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    test::Find<QWidget>(&window, "ComboBox1")->setFocus();
    QCOMPARE(window.focusWidget(), test::Find<QWidget>(&window, "ComboBox1"));
    // The window has read the settings file by now.
    Beall.LastFile = Cp1250FromPath(Folder() / "B.LCK");
    QString selected;
    QStringList items;
    {
      test::DialogAnswers answers;
      answers.Then(Look(items, selected, Click("Button1")));
      test::Find<QAction>(&window, "aMegnyit")->trigger();
      QCOMPARE(answers.Count(), 1);
    }
    QCOMPARE(selected, QStringLiteral("b.lck"));
    QVERIFY(window.State().ExerciseActive);
    QCOMPARE(window.State().LessonTitle, std::string("B\xE9 lecke"));
    QCOMPARE(Beall.LastFile, Cp1250FromPath(Folder() / "b.lck"));
    // The focus within the window: offscreen, the closed dialog does not give the activation
    // back to its owner.
    QCOMPARE(window.focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(&window, "SynEdit1")));
  }

  void cancellingInTheMainWindowLoadsNothing() {
    FillFolder({"a.lck"});
    Tfrm_Main window;
    window.show();
    QVERIFY(test::WaitStarted(window));
    test::DialogAnswers answers;
    answers.Then(Click("Button2"));
    test::Find<QAction>(&window, "aMegnyit")->trigger();
    QCOMPARE(answers.Count(), 1);
    QVERIFY(!window.State().ExerciseActive);
  }
};

PEKTO_TEST_MAIN(FileNyitasTest)

#include "test_filenyitas.moc"
