#pragma once
// The lesson picker "Lecke megnyitása": the lessons of the lesson folder by name, or any lesson
// file on disk through the open-file dialog.

#include <QDialog>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pekto {

// Shows the picker with `current` (Windows-1250, usually LastFile) preselected by its file
// name; the full path of the chosen lesson when the picker closed with OK, else nothing.
std::optional<std::filesystem::path> PickLesson(const std::string& current, QWidget* owner);

// The text after the last folder separator or drive colon: a path saved on Windows names its
// file the same way as one saved here.
QString FileNamePart(const QString& path);

// The names of the lesson folder's lessons, sorted without regard to case in the user's locale.
QStringList SortedLessonNames(const std::filesystem::path& dataDir);

class Tfrm_FileNyitas : public QDialog {
  Q_OBJECT

 public:
  Tfrm_FileNyitas(const std::string& current, QWidget* owner);

  // The chosen path; the path passed in until the user chooses another.
  const std::filesystem::path& ChosenPath() const { return lessonPath_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void FormCreate(const std::string& current);
  void FormShow();
  void FormClose();
  void ListBox1DblClick();
  void Button3Click();

  std::filesystem::path lessonPath_;
  bool shown_ = false;
  QListWidget* ListBox1 = nullptr;
  QPushButton* Button1 = nullptr;  // "Megnyit"
  QPushButton* Button2 = nullptr;  // "Mégsem"
  QPushButton* Button3 = nullptr;  // "File-ból"
};

}  // namespace pekto
