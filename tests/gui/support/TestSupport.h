#pragma once
// Helpers shared by the widget tests: a private data folder for each test and typing into a
// widget with letters outside ASCII.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>

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

// Sends one key click carrying the character `ch` as its text, also for letters such as á or ő
// that QTest::keyClicks cannot send. '\n' and '\r' are sent as Enter.
void TypeChar(QWidget* widget, QChar ch);
// Types every character of `text` into `widget`, one key click each.
void TypeText(QWidget* widget, const QString& text);
// Enter as a keyboard sends it: Qt::Key_Return with the text "\r".
void PressEnter(QWidget* widget);

}  // namespace pekto::test
