// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lesson editor "Szerkesztés": writes a new lesson or changes an existing one, and the
// lesson's goal (results/LessonGoals.h), saved with it.

#include <filesystem>
#include <string>

#include "base/Form.h"
#include "results/LessonGoals.h"

class QAction;
class QLineEdit;
class QMenu;
class QStatusBar;
class QToolBar;

namespace pekto {

class TextPane;

// Opens the editor modally on the lesson at `path` (Windows-1250), or on a new lesson when
// `path` is empty; returns when the editor has closed. A lesson that cannot be read throws
// pekto::Error before the editor is shown.
void EditLesson(const std::string& path, QWidget* owner);
// The same for a path of any name, one that Windows-1250 cannot spell included.
void EditLessonFile(const std::filesystem::path& path, QWidget* owner);

class Tfrm_Szerkeszt : public FormDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Szerkeszt(QWidget* owner);

  // Reads the lesson at `file` into the title field and the text pane and edits that file from
  // now on. Throws pekto::Error, changing nothing, when the file cannot be read.
  void OpenFile(const std::filesystem::path& file);

  // The file being edited; the bare name "Noname.lck" while the lesson has none.
  const std::filesystem::path& EditFile() const { return editFile_; }
  // False once the title or the text has changed since the lesson was started, opened or saved.
  bool Saved() const { return saved_; }

 private:
  // Building the window.
  void CreateActions();
  QToolBar* CreateToolBar();
  QWidget* CreateTitleBar();
  QWidget* CreateGoalBar();
  void CreateTextPane();
  void CreatePopupMenu();

  // Handlers.
  void FormShow() override;
  bool FormCloseQuery() override;
  void aUjExecute();
  void aMegnyitExecute();
  void aMentExecute();
  void aMentMaskentExecute();
  void aBezarExecute();

  // Writes the title field and the text pane to `EditFile`; throws pekto::Error when it cannot,
  // leaving the file as it was.
  void WriteFile();
  // Saves before the lesson is left: under its name, or under one asked for when it has none;
  // false when the user cancelled the name.
  bool SaveChanges();
  // Asks whether to save a changed lesson before it is left; false when the command stops.
  bool MayLeaveLesson();
  // The save-as dialog; the chosen path, or an empty one when cancelled.
  std::filesystem::path AskSaveName(const std::filesystem::path& preset);
  void SaveAs();
  void UpdateCaption();
  void ShowRefused(const QString& characters);

  // The goal fields: filled from the goal file of `file`'s folder, or emptied (no file). A goal
  // file that cannot be read is reported, and the fields stay disabled until another lesson.
  void LoadGoal(const std::filesystem::path& file);
  LessonGoal TypedGoal() const;
  // Writes the typed goal of EditFile into its folder's goal file when it differs from the one
  // stored there; reports what could not be written, the lesson being saved all the same.
  void SaveGoal();

  std::filesystem::path editFile_;
  bool saved_ = true;
  bool filling_ = false;  // the editor itself is filling the fields
  // The name last chosen in this editor's save-as dialog.
  std::filesystem::path lastSaveName_;
  // The goal as the goal file holds it for `goalLesson_`.
  LessonGoal storedGoal_;
  std::filesystem::path goalLesson_;

  QToolBar* ToolBar1 = nullptr;
  QLineEdit* Edit1 = nullptr;          // the title
  QLineEdit* EditSebesseg = nullptr;   // the goal's keystrokes per minute
  QLineEdit* EditPontossag = nullptr;  // the goal's percentage correct
  TextPane* SynEdit1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* aUj = nullptr;
  QAction* aMegnyit = nullptr;
  QAction* aMent = nullptr;
  QAction* aMentMaskent = nullptr;
  QAction* aBezar = nullptr;
};

}  // namespace pekto
