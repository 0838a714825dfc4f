// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the widget tests: a fresh run of the program for each test, typing into a
// widget with letters outside ASCII, answering dialogs and checking a window's layout.

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QTest>

#include "app/Application.h"
#include "platform/Dialogs.h"

class QWidget;

namespace pekto {
class KeyboardView;
class Tfrm_Main;
}  // namespace pekto

namespace pekto::test {

// Points XDG_DATA_HOME at a new empty temporary folder for the object's lifetime, so that the
// program's data folder lies inside it; the previous value returns afterwards and the folder
// is removed.
class TempDataDir {
 public:
  TempDataDir();
  ~TempDataDir();
  TempDataDir(const TempDataDir&) = delete;
  TempDataDir& operator=(const TempDataDir&) = delete;

  bool IsValid() const { return dir_.isValid(); }
  QString Path() const { return dir_.path(); }
  std::filesystem::path FsPath() const;

 private:
  QTemporaryDir dir_;
  QByteArray previous_;
  bool hadPrevious_ = false;
};

struct RunOptions {
  int32_t screenFontSize = 0;     // the settings record's interface font size; 0 keeps its default
  bool withLessonFolder = false;  // the data folder holds its lesson folder "Leckek"
  bool screenWorkArea = false;    // the screen's work area as it is, not 1280 x 1000
};

// The program's folders in temporary folders of its own (the test program stops when they cannot
// be made) and the font substitutions of the program, removed with the object. Reset() gives
// each test a fresh start: the start-up values of the program folder (which holds no bundled
// lessons) with a work area of 1280 x 1000 (or the screen's), an empty data folder and the settings
// record at its defaults with the options applied. Make it a member of the test object and call
// Reset() from init().
class FreshRun {
 public:
  explicit FreshRun(RunOptions options = {});

  void Reset() const;
  std::filesystem::path ProgramDir() const;
  // The folder the data folder lies in ($XDG_DATA_HOME), which Reset() leaves alone.
  std::filesystem::path Home() const { return data_.FsPath(); }

 private:
  RunOptions options_;
  TempDataDir data_;
  QTemporaryDir program_;
};

// Where the running program keeps its files (they follow Startup().DataDir).
std::filesystem::path DataDir();
std::filesystem::path LessonDir();
std::filesystem::path ScoreFile();
std::filesystem::path PlayerFile();
// The bytes of a file of tests/golden.
std::string Golden(const char* name);

// Waits until the main window has finished its start (Tfrm_Main::started); fails the running
// test when it does not within five seconds.
bool WaitStarted(const Tfrm_Main& window);

// The main window with `args` on its command line, shown, started and active.
std::unique_ptr<Tfrm_Main> ShowMain(QStringList args = {});

// Runs `step`; an exception it lets out fails the running test with its message instead of ending
// the test program with the tests after it unrun. Returns whether it ran through.
bool Survives(const std::function<void()>& step);

// A child of a window and the rectangle it must have in its parent.
struct Place {
  const char* name;
  QRect rect;
};
// Every named child of `window` has its rectangle, and the window has the fixed size `fixed`
// unless that is empty; otherwise the running test fails with a list of every difference. Usable
// inside a dialog's reply, as it returns instead of leaving the caller.
bool ExpectLayout(const QWidget& window, std::initializer_list<Place> places, QSize fixed = {});

// A wave file of 16-bit mono PCM: `dataBytes` bytes of silence in a data chunk that claims
// `claimed` bytes.
QByteArray Wave(quint32 dataBytes, quint32 claimed);

// Runs the calls queued so far, as the event loop does before the next key arrives: the end of
// an exercise comes by such a call after its last key.
void RunQueuedCalls();
// Sends one key click carrying the character `ch` as its text, also for letters such as á or ő
// that QTest::keyClicks cannot send. '\n' and '\r' are sent as Enter. The calls the key
// queued have run when it returns.
void TypeChar(QWidget* widget, QChar ch);
// Types every character of `text` into `widget`, one key click each.
void TypeText(QWidget* widget, const QString& text);
// Enter as a keyboard sends it: Qt::Key_Return with the text "\r".
void PressEnter(QWidget* widget);

// Copies the keyboard file, which the build puts beside the test program, into the program's
// bundle folder, where the windows that show the keyboard read it.
void BundleKeyboard();
// The lit keys of an on-screen keyboard in file order, each by its character or name ("Shift/bal"
// is the left Shift), and the key flashed red after "!".
QString LitKeys(const KeyboardView& view);
// The pages of a PDF file.
int PdfPageCount(const std::filesystem::path& path);

// A file's bytes, written and read as they are.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);
// Copies `from` over `to`. MinGW's copy_file refuses an existing target even when told to
// overwrite it, so the target goes first.
void CopyOver(const std::filesystem::path& from, const std::filesystem::path& to);
// The file beside `file` that a damaged `file` was kept as ("<name>.hibas-YYYYMMDD-HHMMSS");
// empty unless there is exactly one.
std::filesystem::path KeptAside(const std::filesystem::path& file);

// The child of `parent` with the object name `name` (the component name of the control); the
// test program stops with a message when there is none, as a wrong name is a fault of the test.
template <typename T>
T* Find(const QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("no child named %s", name);
  return child;
}
template <typename T, typename Owner>
T* Find(const std::unique_ptr<Owner>& parent, const char* name) {
  return Find<T>(parent.get(), name);
}

// Answers the program's modal dialogs while it lives, in the order they open: each queued reply
// gets the dialog as it opens and closes it. Message boxes without a queued reply are accepted
// (their OK), any other dialog without one is rejected; every dialog is recorded.
class DialogAnswers {
 public:
  using Reply = std::function<void(QDialog&)>;
  struct Record {
    QString caption;
    QString text;        // a message box's text
    int icon = -1;       // a message box's icon
    QString object;      // the dialog's object name
    bool plain = false;  // a message box that shows its text as plain text, never as markup
  };

  DialogAnswers();
  ~DialogAnswers();
  DialogAnswers(const DialogAnswers&) = delete;
  DialogAnswers& operator=(const DialogAnswers&) = delete;

  DialogAnswers& Then(Reply reply);
  // Presses a message box's button, such as QMessageBox::No.
  static Reply Press(int standardButton);
  static Reply Accept();
  static Reply Reject();
  // A file dialog: `path` chosen and accepted; any other dialog rejected.
  static Reply SaveAs(const std::filesystem::path& path);

  const std::vector<Record>& Records() const { return records_; }
  int Count() const { return static_cast<int>(records_.size()); }
  // The last dialog seen; an empty record when none was.
  Record Last() const { return records_.empty() ? Record{} : records_.back(); }

 private:
  void Respond(QDialog& dialog);

  std::deque<Reply> replies_;
  std::vector<Record> records_;
  DialogHook previous_;
};

}  // namespace pekto::test

// The main function of a widget test program: the program's application object, then `Test`.
#define PEKTO_TEST_MAIN(Test)                 \
  int main(int argc, char** argv) {           \
    const pekto::Application app(argc, argv); \
    Test test;                                \
    return QTest::qExec(&test, argc, argv);   \
  }
