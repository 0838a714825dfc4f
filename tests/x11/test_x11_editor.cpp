// SPDX-License-Identifier: GPL-3.0-or-later
// A lesson written in the editor on a real X server with the Hungarian keyboard: accented
// letters from their own keys, an AltGr character and a dead-key letter, saved into the lesson
// folder through the save dialog, then picked in "Lecke megnyitása" and typed to its end. A slip
// in the text is undone and redone with the real keys of both bindings.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "XServer.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "lessons/Szerkeszt.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/LessonLibrary.h"
#include "practice/TextPane.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

using test::ReadBytes;

// Letters the Hungarian layout has on keys of their own, a letter made with the dead caron
// (AltGr+2) and an AltGr character. Qt's compose support hands out a dead-key letter as soon as
// it reads the keys from the X server, ahead of key presses still waiting in its queue: each
// group is pressed once the keys before it have arrived, as a typist's would be.
const std::vector<QStringList> kLessonKeys = {
    {QStringLiteral("t"), QStringLiteral("udoubleacute"), QStringLiteral("r"),
     QStringLiteral("odoubleacute"), QStringLiteral("space")},
    {QStringLiteral("ISO_Level3_Shift+2"), QStringLiteral("c")},
    {QStringLiteral("ISO_Level3_Shift+v")}};
// What each group has typed when it has arrived.
const std::vector<std::string> kLessonTyped = {"t\xFBr\xF5 ", "t\xFBr\xF5 \xE8",
                                               "t\xFBr\xF5 \xE8@"};
const std::string kLessonLine = kLessonTyped.back();  // "tűrő č@"

}  // namespace

class EditorOnXServerTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenWorkArea = true}};
  std::unique_ptr<Tfrm_Main> window_;
  QStringList problems_;  // what went wrong while a dialog was driven

  fs::path Folder() const { return LessonFolder(Startup().DataDir); }

  // Waits until the window manager has framed `dialog` and gives it the keyboard.
  bool TakeKeyboard(QDialog& dialog) {
    if (x11::WaitUntilFramed(dialog) && x11::ActivateWindow(dialog)) return true;
    problems_ << dialog.objectName() + QStringLiteral(" was not framed and activated");
    return false;
  }

  // A dialog answered as a user does: keys, then the dialog is left to close on its own.
  test::DialogAnswers::Reply Keys(const QStringList& keys, const QString& text = {}) {
    return [this, keys, text](QDialog& dialog) {
      if (!TakeKeyboard(dialog) || !(text.isEmpty() || x11::TypeText(text)) ||
          !x11::PressKeys(keys)) {
        problems_ << dialog.objectName() + QStringLiteral(" took no keys");
        dialog.reject();
      }
    };
  }

  // A slip after the text, undone and redone with both bindings of each, then deleted.
  static bool UndoAndRedoASlip(const TextPane& pane) {
    const std::string slip = kLessonLine + "x";
    const auto gives = [&](const char* keys, const std::string& line) {
      return x11::PressKeys({QString::fromLatin1(keys)}) && x11::WaitFor([&] {
               return line.empty() ? pane.Line(0) != slip : pane.Line(0) == line;
             });
    };
    return gives("x", slip) && gives("ctrl+z", "") && gives("ctrl+shift+z", slip) &&
           gives("alt+BackSpace", "") && gives("alt+shift+BackSpace", slip) &&
           gives("BackSpace", kLessonLine);
  }

  // The editor: the title and the text with real keys, Ctrl+S (the save dialog is the next
  // reply), and Esc once the lesson is saved.
  test::DialogAnswers::Reply WriteLesson(const fs::path& saved, QString& title, QString& caption) {
    return [this, saved, &title, &caption](QDialog& dialog) {
      auto* editor = qobject_cast<Tfrm_Szerkeszt*>(&dialog);
      auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
      auto* pane = dialog.findChild<TextPane*>(QStringLiteral("SynEdit1"));
      const auto fail = [&](const QString& what) {
        problems_ << what;
        dialog.QDialog::done(QDialog::Rejected);
      };
      if (editor == nullptr || field == nullptr || pane == nullptr) return fail("no editor");
      if (!TakeKeyboard(dialog)) return fail("editor not active");
      if (!x11::WaitFor([&] { return QApplication::focusWidget() == field; })) {
        return fail(QStringLiteral("the title field has no focus"));
      }
      x11::TypeText(QStringLiteral("Árvíztűrő tükör"));
      x11::PressKeys({QStringLiteral("Tab")});
      if (!x11::WaitFor([&] { return QApplication::focusWidget() == pane; })) {
        return fail(QStringLiteral("Tab did not reach the text"));
      }
      for (size_t group = 0; group < kLessonKeys.size(); ++group) {
        x11::PressKeys(kLessonKeys[group]);
        if (!x11::WaitFor([&] { return pane->Line(0) == kLessonTyped[group]; })) {
          return fail(QStringLiteral("the keys did not arrive: ") + ToQ(pane->Line(0)));
        }
      }
      if (!UndoAndRedoASlip(*pane)) return fail(QStringLiteral("undo: ") + ToQ(pane->Line(0)));
      x11::PressKeys({QStringLiteral("ctrl+s")});
      // The save dialog comes up inside this wait and is answered by the next reply.
      if (!x11::WaitFor([&] { return editor->Saved() && editor->EditFile() == saved; }, 30000)) {
        return fail(QStringLiteral("the lesson was not saved; title \"") + field->text() +
                    QStringLiteral("\", text \"") + ToQ(pane->Line(0)) + u'"');
      }
      title = field->text();
      caption = dialog.windowTitle();
      if (!dialog.isActiveWindow()) x11::ActivateWindow(dialog);
      x11::PressKeys({QStringLiteral("Escape")});
      if (!x11::WaitFor([&] { return !dialog.isVisible(); })) fail(QStringLiteral("Esc"));
    };
  }

  // The picker: moves the selection to `name` with the arrow keys and presses Enter.
  test::DialogAnswers::Reply PickByKeys(const QString& name) {
    return [this, name](QDialog& dialog) {
      auto* list = dialog.findChild<QListWidget*>(QStringLiteral("ListBox1"));
      const auto found = list ? list->findItems(name, Qt::MatchExactly) : QList<QListWidgetItem*>();
      if (found.isEmpty() || !TakeKeyboard(dialog)) {
        problems_ << QStringLiteral("the picker does not list ") + name;
        return dialog.reject();
      }
      const int steps = list->row(found.front()) - list->currentRow();
      QStringList keys;
      for (int i = 0; i < std::abs(steps); ++i) {
        keys << (steps > 0 ? QStringLiteral("Down") : QStringLiteral("Up"));
      }
      keys << QStringLiteral("Return");
      if (!x11::PressKeys(keys)) dialog.reject();
    };
  }

 private slots:
  void initTestCase() {
    const QString problem = x11::XServerProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(x11::SetKeyboardLayout({QStringLiteral("hu")}));
  }

  void cleanup() { window_.reset(); }

  void aLessonWrittenInTheEditorIsPickedAndTyped() {
    window_ = std::make_unique<Tfrm_Main>();
    window_->show();
    QVERIFY(x11::WaitUntilFramed(*window_));
    QVERIFY(test::WaitStarted(*window_));
    QVERIFY(x11::ActivateWindow(*window_));
    std::ofstream(Folder() / "001_fdjk.lck", std::ios::binary) << "Alapsor\r\nfdjk\r\n";
    const fs::path saved = Folder() / "árvíz.lck";

    QString title, caption;
    test::DialogAnswers answers;
    answers.Then(WriteLesson(saved, title, caption))
        .Then(Keys({QStringLiteral("Return")}, QStringLiteral("árvíz")))  // the save dialog
        .Then(PickByKeys(QStringLiteral("árvíz.lck")))
        .Then(Keys({QStringLiteral("Return")}))                                 // the evaluation
        .Then(Keys({QStringLiteral("Return")}, QStringLiteral("Kovács Ödön")))  // the player
        .Then(Keys({QStringLiteral("Escape")}));                                // the results

    // "Új lecke készítése" from the main window.
    QVERIFY(x11::PressKeys({QStringLiteral("ctrl+n")}));
    QVERIFY(x11::WaitFor([&] { return answers.Count() >= 2 && !QApplication::activeModalWidget(); },
                         60000));
    QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
    QCOMPARE(answers.Records().at(0).object, QStringLiteral("frm_Szerkeszt"));
    QCOMPARE(answers.Records().at(1).object, QStringLiteral("SaveDialog1"));
    QCOMPARE(title, QStringLiteral("Árvíztűrő tükör"));
    QCOMPARE(caption, QStringLiteral("Szerkesztés: ") + FromPath(saved));
    QCOMPARE(ToQ(ReadBytes(saved)),
             ToQ("\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6r\r\n" + kLessonLine + "\r\n"));

    // "Lecke megnyitása": the new lesson from the list.
    QVERIFY(x11::ActivateWindow(*window_));
    QVERIFY(x11::PressKeys({QStringLiteral("ctrl+o")}));
    QVERIFY(x11::WaitFor([this] { return window_->State().ExerciseActive; }, 20000));
    QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
    QCOMPARE(window_->State().LessonTitle, std::string("\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6r"));
    QVERIFY(x11::WaitFor([this] {
      return QApplication::focusWidget() == test::Find<QWidget>(window_, "SynEdit1");
    }));

    // Typed to its end with the same keys: the evaluation, the player and the results follow.
    for (size_t group = 0; group < kLessonKeys.size(); ++group) {
      QVERIFY(x11::PressKeys(kLessonKeys[group]));
      if (group + 1 < kLessonKeys.size()) {
        const auto typed = static_cast<int32_t>(kLessonTyped[group].size());
        QVERIFY(x11::WaitFor([&] { return window_->State().CorrectCount == typed; }));
      }
    }
    QVERIFY(x11::WaitFor([this] { return !window_->State().ExerciseActive; }, 30000));
    QVERIFY(x11::WaitFor([&] { return answers.Count() == 6 && !QApplication::activeModalWidget(); },
                         30000));
    QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n')));
    QCOMPARE(answers.Records().at(3).object, QStringLiteral("frm_Ertekel"));
    QCOMPARE(answers.Records().at(4).object, QStringLiteral("frm_Jatekos"));
    const std::string scores = ReadBytes(Startup().DataDir / "Score.csv");
    // Seven letters, all correct.
    QVERIFY2(scores.find("\"\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6r\",\"Kov\xE1"
                         "cs \xD6"
                         "d\xF6n\",\"7\",\"7\","
                         "\"0\",\"100\"") != std::string::npos,
             scores.c_str());
  }
};

PEKTO_TEST_MAIN(EditorOnXServerTest)

#include "test_x11_editor.moc"
