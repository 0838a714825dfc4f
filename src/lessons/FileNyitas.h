// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lesson picker "Lecke megnyitása": the lessons of the lesson folder by name, those whose goal
// the current player has reached marked, or any lesson file on disk through the open-file dialog.

#include <QStringList>
#include <QVariant>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/Form.h"

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

// A lesson of the lesson folder: the name shown, readable whatever bytes the file's name has,
// and the name as the folder holds it, which opens the file.
struct LessonName {
  QString shown;
  std::string stored;
};

// The lessons of the lesson folder, sorted by the name shown without regard to case in the
// user's locale.
std::vector<LessonName> SortedLessons(const std::filesystem::path& dataDir);

// What a list item of a lesson keeps beside its text (Qt::UserRole): the stored name.
QVariant LessonItemData(const LessonName& lesson);
// The path of the lesson whose item keeps `data`.
std::filesystem::path LessonOfItem(const std::filesystem::path& dataDir, const QVariant& data);

class Tfrm_FileNyitas : public FormDialog {
  Q_OBJECT

 public:
  Tfrm_FileNyitas(const std::string& current, QWidget* owner);

  // The chosen path; the path passed in until the user chooses another.
  const std::filesystem::path& ChosenPath() const { return lessonPath_; }

 private:
  void FormCreate(const std::string& current);
  void FormShow() override;
  // Marks the items of the lessons named (stored names) in `passed`.
  void MarkPassed(const std::set<std::string>& passed);
  void ListBox1DblClick();
  void Button3Click();

  std::filesystem::path lessonPath_;
  QListWidget* ListBox1 = nullptr;
  QPushButton* Button1 = nullptr;  // "Megnyit"
  QPushButton* Button2 = nullptr;  // "Mégsem"
  QPushButton* Button3 = nullptr;  // "File-ból"
};

}  // namespace pekto
