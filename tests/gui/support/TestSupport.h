#pragma once
// Helpers shared by the widget tests: a private data folder for each test and typing into a
// widget with letters outside ASCII.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"

class QWidget;

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

// A file's bytes, written and read as they are.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);
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
