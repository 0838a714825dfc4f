// SPDX-License-Identifier: GPL-3.0-or-later
// The lesson editor: opening, writing and saving lessons, the file dialogs, the shortcuts
// wherever the focus is, the question before a changed lesson is left, failed reads and saves,
// and text the lesson file cannot store.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <fstream>
#include <functional>

#include "../core/FileSizeLimit.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "base/Placement.h"
#include "base/Settings.h"
#include "lessons/Szerkeszt.h"
#include "platform/Colors.h"
#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/LessonLibrary.h"
#include "practice/TextPane.h"
#include "results/LessonGoals.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

using Reply = test::DialogAnswers::Reply;
using Lines = std::vector<std::string>;

const QString kQuestion = QStringLiteral("Jelenlegi lecke nincs mentve. Elmentsem?");

using test::ReadBytes;
using test::WriteBytes;

QLineEdit* Title(QWidget& editor) {
  return test::Find<QLineEdit>(&editor, "Edit1");
}
TextPane* Pane(QWidget& editor) {
  return test::Find<TextPane>(&editor, "SynEdit1");
}
void Run(QWidget& editor, const char* action) {
  test::Find<QAction>(&editor, action)->trigger();
}

// Drives the editor once it is up. The editor then closes as the steps left it; one a failed
// step left open closes without a question, so that the test goes on to report the failure.
Reply Drive(std::function<void(Tfrm_Szerkeszt&)> steps) {
  return [steps](QDialog& dialog) {
    auto* editor = qobject_cast<Tfrm_Szerkeszt*>(&dialog);
    if (editor != nullptr) {
      dialog.activateWindow();
      if (QTest::qWaitForWindowActive(&dialog)) steps(*editor);
    }
    if (dialog.isVisible()) dialog.QDialog::done(QDialog::Rejected);
  };
}

// The offscreen platform gives the activation back to no window when a dialog has closed, as
// a window manager would: the editor takes it again, so that its shortcuts apply.
bool Activate(QWidget& editor) {
  editor.activateWindow();
  return QTest::qWaitForWindowActive(&editor);
}

// What a file dialog offered when it opened.
struct FileDialogSeen {
  QString object;
  QString folder;
  QString name;  // the text of its file-name field
  QStringList filters;
  QString suffix;
  bool confirmsOverwrite = true;
  bool saving = false;
};

// Answers a file dialog with `chosen` (an empty path cancels it), noting what it offered.
Reply ChooseFile(const fs::path& chosen, FileDialogSeen* seen = nullptr) {
  return [chosen, seen](QDialog& dialog) {
    auto* file = qobject_cast<QFileDialog*>(&dialog);
    if (file == nullptr) return dialog.reject();
    if (seen != nullptr) {
      seen->object = file->objectName();
      seen->folder = QDir::toNativeSeparators(file->directory().absolutePath());  // '\' on Windows
      const auto* name = file->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      seen->name = name ? name->text() : QStringLiteral("?");
      seen->filters = file->nameFilters();
      seen->suffix = file->defaultSuffix();
      seen->confirmsOverwrite = !file->testOption(QFileDialog::DontConfirmOverwrite);
      seen->saving = file->acceptMode() == QFileDialog::AcceptSave;
    }
    if (chosen.empty()) return dialog.reject();
    file->selectFile(FromPath(chosen));
    dialog.accept();
  };
}

Reply Press(QMessageBox::StandardButton button) {
  return test::DialogAnswers::Press(button);
}

void SendCommit(QWidget* widget, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

class SzerkesztTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenFontSize = 8, .withLessonFolder = true}};

  fs::path Folder() const { return LessonFolder(Startup().DataDir); }
  fs::path Lesson(const char* name) const { return Folder() / name; }

 private slots:
  void init() { run_.Reset(); }

  // ---- opening and saving ------------------------------------------------------------------

  void editingTheLastLessonShowsItsTitleUntrimmedAndSavesWithCrLf() {
    const fs::path file = Lesson("kezdo.lck");
    WriteBytes(file, "  C\xEDm\t \nsor1\n\nsor3");
    Tfrm_Main main;  // reads the settings
    Beall.LastFile = Cp1250FromPath(file);
    QString title;
    Lines lines;
    QString caption;
    test::DialogAnswers answers;
    answers.Then(Drive([&](Tfrm_Szerkeszt& editor) {
      title = Title(editor)->text();
      lines = Pane(editor)->Lines();
      caption = editor.windowTitle();
      QVERIFY(editor.Saved());
      Run(editor, "aMent");
      Run(editor, "aBezar");
    }));
    test::Find<QAction>(&main, "aSzerkeszt")->trigger();
    QCOMPARE(answers.Count(), 1);  // no question, no dialog
    QCOMPARE(answers.Records().front().object, QStringLiteral("frm_Szerkeszt"));
    QCOMPARE(title, QStringLiteral("  Cím\t "));
    QCOMPARE(lines, (Lines{"sor1", "", "sor3"}));
    QCOMPARE(caption, QStringLiteral("Szerkesztés: ") + FromPath(file));
    QCOMPARE(ReadBytes(file), std::string("  C\xEDm\t \r\nsor1\r\n\r\nsor3\r\n"));
  }

  // The goal is saved with the lesson into Celok.csv beside it, and shown when the lesson is
  // opened again.
  void theGoalIsSavedBesideTheLesson() {
    const fs::path file = Lesson("cel.lck");
    WriteBytes(file, "C\r\nccc\r\n");
    const auto edit = [&](const std::function<void(Tfrm_Szerkeszt&)>& steps) {
      test::DialogAnswers answers;
      answers.Then(Drive(steps));
      EditLessonFile(file, nullptr);
    };
    edit([](Tfrm_Szerkeszt& editor) {
      test::Find<QLineEdit>(&editor, "EditSebesseg")->setText(QStringLiteral("150"));
      QVERIFY(!editor.Saved());
      Run(editor, "aMent");
      Run(editor, "aBezar");
    });
    QCOMPARE(GoalOf(ReadGoals(GoalFileOf(file)), "cel.lck"), (LessonGoal{150, std::nullopt}));
    QString shown;
    edit([&](Tfrm_Szerkeszt& editor) {
      shown = test::Find<QLineEdit>(&editor, "EditSebesseg")->text();
      Run(editor, "aBezar");
    });
    QCOMPARE(shown, QStringLiteral("150"));
  }

  // A damaged Celok.csv is named in a warning and left as it is: the goal fields are off, and
  // saving the lesson saves the lesson only.
  void aDamagedGoalFileIsLeftWhole() {
    const fs::path file = Lesson("cel.lck");
    WriteBytes(file, "C\r\nccc\r\n");
    const std::string damaged = "\"@@FILE VERSION@@\",\"251\"\r\nnot a table";
    WriteBytes(GoalFileOf(file), damaged);
    bool goalsOff = false;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(Drive([&](Tfrm_Szerkeszt& editor) {
      goalsOff = !test::Find<QLineEdit>(&editor, "EditSebesseg")->isEnabled() &&
                 !test::Find<QLineEdit>(&editor, "EditPontossag")->isEnabled();
      Title(editor)->setText(QStringLiteral("D"));
      Run(editor, "aMent");
      Run(editor, "aBezar");
    }));
    EditLessonFile(file, nullptr);
    QVERIFY(answers.Records().front().text.contains(QStringLiteral("nem olvashatók be")));
    QVERIFY(goalsOff);
    QCOMPARE(ReadBytes(file), std::string("D\r\nccc\r\n"));
    QCOMPARE(ReadBytes(GoalFileOf(file)), damaged);
  }

  void theMainWindowOpensANewLessonWithAnEmptyTitle() {
    Tfrm_Main main;
    for (const char* command : {"aSzerkeszt", "aUj"}) {
      Beall.LastFile = command == std::string("aUj") ? Cp1250FromPath(Lesson("x.lck")) : "";
      QString title{"x"};
      int lines = -1;
      QString caption;
      test::DialogAnswers answers;
      answers.Then(Drive([&](Tfrm_Szerkeszt& editor) {
        title = Title(editor)->text();
        lines = Pane(editor)->LineCount();
        caption = editor.windowTitle();
        Run(editor, "aBezar");
      }));
      test::Find<QAction>(&main, command)->trigger();
      QCOMPARE(answers.Count(), 1);
      QVERIFY(title.isEmpty());
      QCOMPARE(lines, 0);
      QCOMPARE(caption, QStringLiteral("Szerkesztés: Noname.lck"));
    }
  }

  void aLessonThatCannotBeReadOpensNoEditor() {
    test::DialogAnswers answers;
    QVERIFY_THROWS_EXCEPTION(Error, EditLesson(Cp1250FromPath(Lesson("nincs.lck")), nullptr));
    WriteBytes(Lesson("ures.lck"), "");
    QVERIFY_THROWS_EXCEPTION(Error, EditLesson(Cp1250FromPath(Lesson("ures.lck")), nullptr));
    QCOMPARE(answers.Count(), 0);
    // From the main window the error is reported and the window goes on.
    Tfrm_Main main;  // reads the settings
    Beall.LastFile = Cp1250FromPath(Lesson("nincs.lck"));
    test::Find<QAction>(&main, "aSzerkeszt")->trigger();
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().caption, QStringLiteral("Pekto"));
    QVERIFY(answers.Last().text.startsWith(QStringLiteral("Cannot open file ")));
  }

  void aOneLineLessonHasAnEmptyTextAndSavesOneLine() {
    const fs::path file = Lesson("egy.lck");
    WriteBytes(file, "Egy sor");
    Lines lines{"x"};
    test::DialogAnswers answers;
    answers.Then(Drive([&](Tfrm_Szerkeszt& editor) {
      lines = Pane(editor)->Lines();
      QCOMPARE(Title(editor)->text(), QStringLiteral("Egy sor"));
      Run(editor, "aMent");
      Run(editor, "aBezar");
    }));
    EditLesson(Cp1250FromPath(file), nullptr);
    QVERIFY(lines.empty());
    QCOMPARE(ReadBytes(file), std::string("Egy sor\r\n"));
  }

  void savingANewLessonAsksForANameOnce() {
    const fs::path chosen = Folder() / "uj";  // the dialog adds the extension
    const fs::path saved = Folder() / "uj.lck";
    FileDialogSeen first, second;
    QString prompt;
    bool promptSelected = false;
    bool titleFocused = false;
    int dialogsAfterSecondSave = -1;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          Run(editor, "aUj");
          prompt = Title(editor)->text();
          promptSelected = Title(editor)->selectedText() == prompt;
          titleFocused = QApplication::focusWidget() == Title(editor);
          QVERIFY(editor.Saved());
          test::TypeText(Title(editor), QStringLiteral("Árvíztűrő"));
          QVERIFY(!editor.Saved());
          Pane(editor)->setFocus();
          test::TypeText(Pane(editor), QStringLiteral("tükörfúrógép\nő"));
          Run(editor, "aMent");  // asks for a name
          QCOMPARE(editor.EditFile(), saved);
          QCOMPARE(editor.windowTitle(), QStringLiteral("Szerkesztés: ") + FromPath(saved));
          QVERIFY(editor.Saved());
          test::TypeText(Pane(editor), QStringLiteral("!"));
          Run(editor, "aMent");  // writes without asking
          dialogsAfterSecondSave = answers.Count();
          Run(editor, "aMentMaskent");  // starts with the name chosen last; cancelled
          Run(editor, "aBezar");
        }))
        .Then(ChooseFile(chosen, &first))
        .Then(ChooseFile({}, &second));
    EditLesson("", nullptr);
    QCOMPARE(prompt, QStringLiteral("<add meg a teszt címét>"));
    QVERIFY(promptSelected);
    QVERIFY(titleFocused);
    QCOMPARE(answers.Count(), 3);
    QCOMPARE(dialogsAfterSecondSave, 2);
    QCOMPARE(first.object, QStringLiteral("SaveDialog1"));
    QVERIFY(first.saving);
    QVERIFY(!first.confirmsOverwrite);
    QCOMPARE(first.filters, QStringList{QStringLiteral("Tastrel lecke állomány (*.lck)")});
    QCOMPARE(first.suffix, QStringLiteral("lck"));
    QCOMPARE(first.name, QString());  // no name at first
    QCOMPARE(first.folder, FromPath(Folder()));
    QCOMPARE(second.name, QStringLiteral("uj.lck"));
    QCOMPARE(ReadBytes(saved),
             std::string("\xC1rv\xEDzt\xFBr\xF5\r\nt\xFCk\xF6rf\xFAr\xF3g\xE9p\r\n\xF5!\r\n"));
  }

  void aRealFileNamedNonameIsSavedWithoutADialog() {
    const fs::path folder = Folder() / "sajat";
    fs::create_directories(folder);
    const fs::path file = folder / "Noname.lck";
    WriteBytes(file, "Nevtelen\r\nasdf\r\n");
    FileDialogSeen open;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          Run(editor, "aMegnyit");
          QCOMPARE(editor.EditFile(), file);
          Pane(editor)->SetCaret(1, 5);
          test::TypeText(Pane(editor), QStringLiteral(" jkl"));
          Run(editor, "aMent");
          Run(editor, "aBezar");
        }))
        .Then(ChooseFile(file, &open));
    EditLesson("", nullptr);
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(open.object, QStringLiteral("OpenDialog1"));
    QVERIFY(!open.saving);
    QCOMPARE(open.filters, QStringList{QStringLiteral("Tastrel lecke állományok (*.lck)")});
    QCOMPARE(open.suffix, QStringLiteral("lck"));
    QCOMPARE(ReadBytes(file), std::string("Nevtelen\r\nasdf jkl\r\n"));
  }

  void theOpenDialogStartsWithTheFileLastChosenInIt() {
    const fs::path a = Lesson("a.lck");
    const fs::path b = Folder() / "masik" / "b.lck";
    fs::create_directories(b.parent_path());
    WriteBytes(a, "A\r\n");
    WriteBytes(b, "B\r\nbbb\r\n");
    FileDialogSeen seen;
    {
      test::DialogAnswers answers;
      answers.Then(Drive([](Tfrm_Szerkeszt& editor) { Run(editor, "aMegnyit"); }))
          .Then(ChooseFile(b));
      EditLesson(Cp1250FromPath(a), nullptr);
    }
    // Another editor, later in the run: the same dialog, with the same file.
    QString title;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          Run(editor, "aMegnyit");
          title = Title(editor)->text();
        }))
        .Then(ChooseFile({}, &seen));
    EditLesson(Cp1250FromPath(a), nullptr);
    QCOMPARE(seen.folder, FromPath(b.parent_path()));
    QCOMPARE(seen.name, QStringLiteral("b.lck"));
    QCOMPARE(title, QStringLiteral("A"));  // cancelled: nothing changed
  }

  void saveAsStartsWithoutANameInEveryEditor() {
    const fs::path a = Lesson("a.lck");
    WriteBytes(a, "A\r\n");
    for (int round = 0; round < 2; ++round) {
      FileDialogSeen seen;
      test::DialogAnswers answers;
      answers.Then(Drive([](Tfrm_Szerkeszt& editor) { Run(editor, "aMentMaskent"); }))
          .Then(ChooseFile(Folder() / "b.lck", &seen));
      EditLesson(Cp1250FromPath(a), nullptr);
      QCOMPARE(seen.name, QString());
      QCOMPARE(seen.folder, FromPath(Folder()));
    }
    QCOMPARE(ReadBytes(Folder() / "b.lck"), std::string("A\r\n"));
  }

  // ---- shortcuts and menus -----------------------------------------------------------------

  void shortcutsWorkInTheTextPaneAndTheTitleField() {
    const fs::path file = Lesson("gyors.lck");
    WriteBytes(file, "Gyors\r\nasdf\r\n");
    bool saved = false;
    QString newTitle;
    bool stillOpenAfterSave = false;
    bool closedByBezar = false;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          TextPane* pane = Pane(editor);
          pane->setFocus();
          pane->SetCaret(1, 5);
          test::TypeText(pane, QStringLiteral("é"));
          QTest::keyClick(pane, Qt::Key_S, Qt::ControlModifier);
          saved = ReadBytes(file) == "Gyors\r\nasdf\xE9\r\n";
          stillOpenAfterSave = editor.isVisible();
          // Ctrl+Shift+S from the title field opens the save-as dialog (cancelled).
          Title(editor)->setFocus();
          QTest::keyClick(Title(editor), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
          // Ctrl+O from the pane opens the open dialog (cancelled).
          QVERIFY(Activate(editor));
          pane->setFocus();
          QTest::keyClick(pane, Qt::Key_O, Qt::ControlModifier);
          // Ctrl+N from the pane starts a new lesson.
          QVERIFY(Activate(editor));
          pane->setFocus();
          QTest::keyClick(pane, Qt::Key_N, Qt::ControlModifier);
          newTitle = Title(editor)->text();
          QVERIFY(Activate(editor));
          Title(editor)->setFocus();
          // Esc in the title field closes the window through "Bezár".
          QSignalSpy bezar(test::Find<QAction>(&editor, "aBezar"), &QAction::triggered);
          QTest::keyClick(Title(editor), Qt::Key_Escape);
          closedByBezar = bezar.count() == 1;
        }))
        .Then(ChooseFile({}))
        .Then(ChooseFile({}));
    EditLesson(Cp1250FromPath(file), nullptr);
    QVERIFY(saved);
    QVERIFY(stillOpenAfterSave);
    QVERIFY(closedByBezar);
    QCOMPARE(answers.Count(), 3);
    QCOMPARE(answers.Records()[1].object, QStringLiteral("SaveDialog1"));
    QCOMPARE(answers.Records()[2].object, QStringLiteral("OpenDialog1"));
    QCOMPARE(newTitle, QStringLiteral("<add meg a teszt címét>"));
  }

  void theTitleFieldAndThePaneCarryTheCommandMenu() {
    QStringList items;
    QList<QKeySequence> keys;
    Qt::ContextMenuPolicy title{}, pane{};
    QImage picture;
    test::DialogAnswers answers;
    answers.Then(Drive([&](Tfrm_Szerkeszt& editor) {
      for (QAction* action : test::Find<QMenu>(&editor, "PopupMenu1")->actions()) {
        items << action->text();
        keys << action->shortcut();
      }
      title = Title(editor)->contextMenuPolicy();
      pane = Pane(editor)->contextMenuPolicy();
      // Texts only: the first item's picture column holds nothing but its fill.
      auto* menu = test::Find<QMenu>(&editor, "PopupMenu1");
      menu->popup(editor.mapToGlobal(QPoint(100, 100)));
      const QRect first = menu->actionGeometry(menu->actions().at(0)).adjusted(1, 1, 0, -1);
      picture = menu->grab(QRect(first.topLeft(), QSize(20, first.height()))).toImage();
      menu->hide();
      Run(editor, "aBezar");
    }));
    EditLesson("", nullptr);
    QCOMPARE(items,
             QStringList({"Új lecke", "Megnyitás", "Mentés", "Mentés másként", "", "Bezár"}));
    QCOMPARE(keys, QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_N),
                                        QKeySequence(Qt::CTRL | Qt::Key_O),
                                        QKeySequence(Qt::CTRL | Qt::Key_S),
                                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                                        QKeySequence(), QKeySequence(Qt::Key_Escape)}));
    QCOMPARE(title, Qt::CustomContextMenu);
    QCOMPARE(pane, Qt::CustomContextMenu);
    QImage fill(picture.size(), picture.format());
    fill.fill(picture.pixel(0, 0));
    QCOMPARE(picture, fill);
  }

  void theWindowAsDesigned() {
    QSize size;
    QStringList buttons;
    QList<QSize> buttonSizes;
    QRect titleField;
    QFont titleFont, paneFont;
    bool titleShownBold = false;
    QColor activeLine, selected;
    bool readOnly = true, insert = false, wraps = false;
    int labelPoints = 0;
    QString status{"x"};
    test::DialogAnswers answers;
    answers.Then(Drive([&](Tfrm_Szerkeszt& editor) {
      size = editor.size();
      auto* bar = test::Find<QToolBar>(&editor, "ToolBar1");
      for (QAction* action : bar->actions()) {
        buttons << action->text();
        if (QWidget* button = bar->widgetForAction(action); button && !action->isSeparator()) {
          buttonSizes << button->size();
          // The whole caption is shown.
          QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(action->text()));
          QCOMPARE(qobject_cast<QToolButton*>(button)->toolButtonStyle(),
                   Qt::ToolButtonTextUnderIcon);
          QCOMPARE(button->toolTip(), action->text());
        }
      }
      titleField = Title(editor)->geometry();
      titleFont = Title(editor)->font();
      titleShownBold = QFontInfo(titleFont).bold();
      TextPane* pane = Pane(editor);
      paneFont =
          pane->PaneFont();  // the name the pane was given; it draws through the installed family
      activeLine = pane->ActiveLineColor();
      selected = pane->SelectedColor();
      readOnly = pane->isReadOnly();
      insert = pane->InsertMode();
      wraps = pane->lineWrapMode() == QPlainTextEdit::WidgetWidth;
      labelPoints = test::Find<QLabel>(&editor, "Label1")->font().pointSize();
      status = test::Find<QStatusBar>(&editor, "StatusBar1")->currentMessage();
      editor.move(40, 50);
      editor.resize(700, 480);
      Run(editor, "aBezar");
    }));
    Beall.ScreenFontSize = 9;
    EditLesson("", nullptr);
    QCOMPARE(size, QSize(781, 522));
    QCOMPARE(buttons,
             QStringList({"Új lecke", "Megnyitás", "Mentés", "Mentés másként", "", "Bezár"}));
    QCOMPARE(buttonSizes.size(), 5);
    QCOMPARE(buttonSizes.front(), QSize(85, 36));
    for (const QSize& button : buttonSizes) QVERIFY(button.width() >= 85 && button.height() == 36);
    QCOMPARE(titleField.topLeft(), QPoint(56, 4));
    QCOMPARE(titleField.width(), 581);
    QVERIFY(titleFont.bold());
    QVERIFY(titleShownBold);
    QCOMPARE(titleFont.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(titleFont.pixelSize(), 11);
    QCOMPARE(paneFont.family(), QStringLiteral("Courier New"));
    QCOMPARE(paneFont.pixelSize(), 19);
    QVERIFY(paneFont.bold());
    QCOMPARE(activeLine, ColorFromValue(0x9DFFFF));
    QCOMPARE(selected, ColorFromValue(0x808080));
    QVERIFY(!readOnly);
    QVERIFY(insert);
    QVERIFY(wraps);
    QCOMPARE(labelPoints, 9);
    QVERIFY(status.isEmpty());
    const IniFile ini(Startup().SettingsFile);
    QCOMPARE(ini.ReadString("frm_Szerkeszt", "Width", ""), std::string("700"));
    QCOMPARE(ini.ReadString("frm_Szerkeszt", "Height", ""), std::string("480"));
  }

  // ---- the question before a changed lesson is left ----------------------------------------

  void closingAChangedLessonAsks() {
    const fs::path file = Lesson("zar.lck");
    WriteBytes(file, "Z\r\nzzz\r\n");
    bool openAfterCancel = false;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          test::TypeText(Title(editor), QStringLiteral("!"));
          Run(editor, "aBezar");  // Cancel
          openAfterCancel = editor.isVisible();
          editor.close();  // the close box; No
        }))
        .Then(Press(QMessageBox::Cancel))
        .Then(Press(QMessageBox::No));
    EditLesson(Cp1250FromPath(file), nullptr);
    QVERIFY(openAfterCancel);
    QCOMPARE(answers.Count(), 3);
    QCOMPARE(answers.Records()[1].caption, QStringLiteral("Kérdés"));
    QCOMPARE(answers.Records()[1].text, kQuestion);
    QCOMPARE(answers.Records()[1].icon, static_cast<int>(QMessageBox::Question));
    QCOMPARE(answers.Records()[2].text, kQuestion);
    QCOMPARE(ReadBytes(file), std::string("Z\r\nzzz\r\n"));  // No: nothing written

    // Yes saves and closes.
    test::DialogAnswers yes;
    yes.Then(Drive([&](Tfrm_Szerkeszt& editor) {
         Pane(editor)->SetCaret(1, 4);
         test::TypeText(Pane(editor), QStringLiteral("\nű"));
         QTest::keyClick(Pane(editor), Qt::Key_Escape);
       }))
        .Then(Press(QMessageBox::Yes));
    EditLesson(Cp1250FromPath(file), nullptr);
    QCOMPARE(yes.Count(), 2);
    QCOMPARE(ReadBytes(file), std::string("Z\r\nzzz\r\n\xFB\r\n"));
  }

  void closingANewChangedLessonAsksForAName() {
    bool openAfterCancelledName = false;
    const fs::path saved = Folder() / "Noname.lck";
    FileDialogSeen seen;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          test::TypeText(Title(editor), QStringLiteral("Cím"));
          Run(editor, "aBezar");  // Yes, then the name is cancelled: the window stays
          openAfterCancelledName = editor.isVisible();
          Run(editor, "aBezar");  // Yes, and a name
        }))
        .Then(Press(QMessageBox::Yes))
        .Then(ChooseFile({}, &seen))
        .Then(Press(QMessageBox::Yes))
        .Then(ChooseFile(saved));
    EditLesson("", nullptr);
    QVERIFY(openAfterCancelledName);
    QCOMPARE(answers.Count(), 5);
    QCOMPARE(seen.object, QStringLiteral("SaveDialog1"));
    QCOMPARE(seen.name, QStringLiteral("Noname.lck"));  // the name of the new lesson
    QCOMPARE(ReadBytes(saved), std::string("C\xEDm\r\n"));
  }

  void aNewLessonOverAChangedOneAsks() {
    const fs::path file = Lesson("uj.lck");
    WriteBytes(file, "U\r\nuuu\r\n");
    QString afterCancel, afterNo, afterYes;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          test::TypeText(Pane(editor), QStringLiteral("x"));
          Run(editor, "aUj");  // Cancel: nothing happens
          afterCancel = Title(editor)->text();
          Run(editor, "aUj");  // No: a new lesson, unsaved text dropped
          afterNo = Title(editor)->text();
          QCOMPARE(editor.EditFile(), fs::path("Noname.lck"));
          // The new lesson is unchanged: no question.
          Run(editor, "aUj");
          editor.OpenFile(file);
          test::TypeText(Title(editor), QStringLiteral("2"));
          Run(editor, "aUj");  // Yes: written first
          afterYes = Title(editor)->text();
          Run(editor, "aBezar");
        }))
        .Then(Press(QMessageBox::Cancel))
        .Then(Press(QMessageBox::No))
        .Then(Press(QMessageBox::Yes));
    EditLesson(Cp1250FromPath(file), nullptr);
    QCOMPARE(answers.Count(), 4);
    QCOMPARE(afterCancel, QStringLiteral("U"));
    QCOMPARE(afterNo, QStringLiteral("<add meg a teszt címét>"));
    QCOMPARE(afterYes, QStringLiteral("<add meg a teszt címét>"));
    QCOMPARE(ReadBytes(file), std::string("U2\r\nuuu\r\n"));
  }

  void openingOverAChangedLessonAsks() {
    const fs::path file = Lesson("m.lck");
    const fs::path other = Lesson("n.lck");
    WriteBytes(file, "M\r\n");
    WriteBytes(other, "N\r\nnnn\r\n");
    QString afterCancel, afterYes;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          test::TypeText(Pane(editor), QStringLiteral("m"));
          Run(editor, "aMegnyit");  // Cancel: no open dialog
          afterCancel = Title(editor)->text();
          Run(editor, "aMegnyit");  // Yes: written, then the dialog
          afterYes = Title(editor)->text();
          QVERIFY(editor.Saved());
          test::TypeText(Pane(editor), QStringLiteral("n"));
          Run(editor, "aMegnyit");  // No: the dialog, cancelled: the text stays
          QVERIFY(!editor.Saved());
          QCOMPARE(Pane(editor)->Line(0), std::string("nnnn"));
          editor.QDialog::done(QDialog::Rejected);
        }))
        .Then(Press(QMessageBox::Cancel))
        .Then(Press(QMessageBox::Yes))
        .Then(ChooseFile(other))
        .Then(Press(QMessageBox::No))
        .Then(ChooseFile({}));
    EditLesson(Cp1250FromPath(file), nullptr);
    QCOMPARE(answers.Count(), 6);
    QCOMPARE(answers.Records()[3].object, QStringLiteral("OpenDialog1"));
    QCOMPARE(answers.Records()[5].object, QStringLiteral("OpenDialog1"));
    QCOMPARE(afterCancel, QStringLiteral("M"));
    QCOMPARE(afterYes, QStringLiteral("N"));
    QCOMPARE(ReadBytes(file), std::string("M\r\nm\r\n"));
    QCOMPARE(ReadBytes(other), std::string("N\r\nnnn\r\n"));
  }

  // ---- failures ----------------------------------------------------------------------------

  void aFailedOpenKeepsTheLessonAndItsFile() {
    const fs::path file = Lesson("jo.lck");
    const fs::path empty = Lesson("ures.lck");
    WriteBytes(file, "J\xF3\r\nasdf\r\n");
    WriteBytes(empty, "");
    QString title, caption;
    Lines lines;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          Run(editor, "aMegnyit");
          title = Title(editor)->text();
          lines = Pane(editor)->Lines();
          caption = editor.windowTitle();
          QCOMPARE(editor.EditFile(), file);
          Run(editor, "aMent");  // writes the shown lesson to its own file
          Run(editor, "aBezar");
        }))
        .Then(ChooseFile(empty));
    EditLesson(Cp1250FromPath(file), nullptr);
    QCOMPARE(answers.Count(), 3);
    QCOMPARE(answers.Records()[2].caption, QStringLiteral("Pekto"));
    QCOMPARE(answers.Records()[2].text, QStringLiteral("List index out of bounds (0)"));
    QCOMPARE(title, QStringLiteral("Jó"));
    QCOMPARE(lines, Lines{"asdf"});
    QCOMPARE(caption, QStringLiteral("Szerkesztés: ") + FromPath(file));
    QCOMPARE(ReadBytes(empty), std::string());
    QCOMPARE(ReadBytes(file), std::string("J\xF3\r\nasdf\r\n"));
  }

  void aFailedSaveKeepsTheOldFileWhole() {
    if (!test::FileSizeLimit::kAvailable) QSKIP("Windows has no file-size limit to fill the disk");
    const fs::path file = Lesson("regi.lck");
    const std::string old = "R\xE9gi\r\nasdf\r\n";
    WriteBytes(file, old);
    bool openAfterFailure = false;
    bool savedAfterFailure = true;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          Pane(editor)->AppendLines(Lines(300, std::string(60, 'x')));
          {
            // The disk fills up while the new content is written.
            const test::FileSizeLimit limit(4096);
            Run(editor, "aMent");
          }
          openAfterFailure = editor.isVisible();
          savedAfterFailure = editor.Saved();
          QCOMPARE(editor.EditFile(), file);
          // A read-only lesson is not written either.
          fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
          Run(editor, "aMent");
          fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
          Run(editor, "aBezar");  // the question: No
        }))
        .Then(test::DialogAnswers::Accept())
        .Then(test::DialogAnswers::Accept())
        .Then(Press(QMessageBox::No));
    EditLesson(Cp1250FromPath(file), nullptr);
    QVERIFY(openAfterFailure);
    QVERIFY(!savedAfterFailure);
    QCOMPARE(answers.Count(), 4);
    for (const int box : {1, 2}) {
      QCOMPARE(answers.Records()[box].caption, QStringLiteral("Pekto"));
      QVERIFY(answers.Records()[box].text.startsWith(QStringLiteral("Cannot create file \"") +
                                                     FromPath(file) + QStringLiteral("\". ")));
    }
    QCOMPARE(answers.Records()[3].text, kQuestion);
    QCOMPARE(ReadBytes(file), old);
    QCOMPARE(std::distance(fs::directory_iterator(Folder()), {}), 1);  // no leftovers
  }

  void aFailedSaveAsKeepsTheNewName() {
    const fs::path nowhere = Folder() / "nincs" / "uj.lck";
    QString caption;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          test::TypeText(Title(editor), QStringLiteral("Új"));
          Run(editor, "aMentMaskent");
          QCOMPARE(editor.EditFile(), nowhere);
          caption = editor.windowTitle();
          QVERIFY(!editor.Saved());
          editor.QDialog::done(QDialog::Rejected);
        }))
        .Then(ChooseFile(nowhere))
        .Then(test::DialogAnswers::Accept());
    EditLesson("", nullptr);
    QCOMPARE(answers.Count(), 3);
    QVERIFY(answers.Records()[2].text.startsWith(QStringLiteral("Cannot create file ")));
    QCOMPARE(caption, QStringLiteral("Szerkesztés: ") + FromPath(nowhere));
  }

  // ---- undo --------------------------------------------------------------------------------

  // Back to the lesson as opened, not before it, and forth again, also across a line longer than
  // the blocks a practice pane cuts lines into; the lesson then still counts as changed.
  void undoAndRedoWalkTheEditsSinceTheLessonWasOpened() {
    const std::string line = QStringLiteral("ab ").repeated(600).toStdString();
    const fs::path file = Lesson("vissza.lck");
    WriteBytes(file, "C\r\n" + line + "\r\nxy\r\n");
    const Lines opened{line, "xy"}, edited{std::string(line).erase(1022, 1), "xyq", ""};
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          TextPane* pane = Pane(editor);
          const auto press = [pane](Qt::KeyboardModifiers modifiers) {
            for (int i = 0; i < 4; ++i) QTest::keyClick(pane, Qt::Key_Z, modifiers);
            return pane->Lines();
          };
          QCOMPARE(press(Qt::ControlModifier), opened);
          pane->SetCaret(2, 3);
          test::TypeText(pane, QStringLiteral("q\n"));
          pane->SetCaret(1, 1024);
          QTest::keyClick(pane, Qt::Key_Backspace);
          QCOMPARE(press(Qt::ControlModifier), opened);
          QCOMPARE(press(Qt::ControlModifier | Qt::ShiftModifier), edited);
          Run(editor, "aBezar");
        }))
        .Then(Press(QMessageBox::No));
    EditLesson(Cp1250FromPath(file), nullptr);
    QCOMPARE(answers.Last().text, kQuestion);
  }

  // ---- what a lesson file can store --------------------------------------------------------

  void textOutsideTheCodePageIsRefusedAsItIsTypedOrPasted() {
    const fs::path saved = Folder() / "kodlap.lck";
    QString refusedMessage;
    Lines lines;
    QString title;
    test::DialogAnswers answers;
    answers
        .Then(Drive([&](Tfrm_Szerkeszt& editor) {
          TextPane* pane = Pane(editor);
          QLineEdit* field = Title(editor);
          field->setFocus();
          test::TypeText(field, QStringLiteral("Año ő"));
          title = field->text();
          refusedMessage = test::Find<QStatusBar>(&editor, "StatusBar1")->currentMessage();
          // Pasting into the title: refused as a whole.
          QApplication::clipboard()->setText(QStringLiteral("日本"));
          field->paste();
          QCOMPARE(field->text(), title);
          pane->setFocus();
          test::TypeText(pane, QStringLiteral("ñaõ"));               // typed: ñ and õ refused
          SendCommit(pane, QStringLiteral("éñ"));                    // a dead key's letters
          QTest::keyClick(pane, Qt::Key_Return, Qt::ShiftModifier);  // a real line break
          QApplication::clipboard()->setText(QStringLiteral("mañana\r\n€ „x” ") +
                                             QString::fromUtf8("\xF0\x9F\x98\x80"));
          pane->paste();
          lines = pane->Lines();
          // Undone and redone, the text comes back as it was kept.
          for (int i = 0; i < 16; ++i)
            QTest::keyClick(pane, Qt::Key_Z,
                            Qt::ControlModifier | (i < 8 ? Qt::NoModifier : Qt::ShiftModifier));
          QCOMPARE(pane->Lines(), lines);
          Run(editor, "aMentMaskent");
          Run(editor, "aBezar");
        }))
        .Then(ChooseFile(saved));
    EditLesson("", nullptr);
    QCOMPARE(title, QStringLiteral("Ao ő"));
    QVERIFY2(refusedMessage.contains(QStringLiteral("ñ")), qPrintable(refusedMessage));
    QCOMPARE(lines, (Lines{"a\xE9", "maana", "\x80 \x84x\x94 "}));
    QCOMPARE(ReadBytes(saved), std::string("Ao \xF5\r\na\xE9\r\nmaana\r\n\x80 \x84x\x94 \r\n"));
  }
};

PEKTO_TEST_MAIN(SzerkesztTest)

#include "test_szerkeszt.moc"
