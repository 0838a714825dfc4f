// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: command table, lesson chooser, the two practice panes, the counter column
// and the status bar. It owns the running exercise.

#include <QMainWindow>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "base/Form.h"
#include "practice/TypingSession.h"

class QAction;
class QComboBox;
class QFontDialog;
class QLabel;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;

namespace pekto {

class PracticeKeyboard;
class TextPane;

class Tfrm_Main : public QMainWindow {
  Q_OBJECT

 public:
  // Receives the lesson title and the counters of a finished exercise in place of the
  // evaluation dialogs (ShowEvaluation), when one is set.
  using EvaluationHandler = std::function<void(const std::string& title, int32_t total,
                                               int32_t correct, int32_t wrong, int32_t seconds)>;

  // `arguments` are the command-line arguments after the program name.
  explicit Tfrm_Main(QStringList arguments = {}, QWidget* parent = nullptr);
  ~Tfrm_Main() override;

  // Starts an exercise on a lesson file; throws pekto::Error, changing nothing, when the file
  // cannot be read.
  void LoadLesson(const QString& path);
  // The same for a path of any bytes, which a QString may not carry unchanged.
  void LoadLessonFile(const std::filesystem::path& path);
  // Stops the clock, hands the result to the evaluation and ends the exercise.
  void FinishExercise();
  void UpdateCounters();

  void SetEvaluationHandler(EvaluationHandler handler) { showEvaluation_ = std::move(handler); }
  // The time the exercise is measured on, for tests: steady_clock's unless set.
  void SetClock(Exercise::Clock clock);
  const ExerciseState& State() const { return session_->State(); }
  // Whether the first showing has finished: see started().
  bool IsStarted() const { return started_; }

 signals:
  // The start has finished, from the event loop after the first show(): the window stood complete
  // on the screen (or a second passed without the window system putting it there), a lesson named
  // on the command line was loaded, the typing pane has the focus and the splash shows. Nothing
  // of it runs while the window is closed.
  void started();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Building the window.
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  QWidget* CreateLessonBar();
  QWidget* CreatePracticeArea(QWidget* parent);
  QWidget* CreateCounterColumn();
  void CreateStatusBar();

  // Handlers.
  void PrepareFolders();
  void FormCreate();
  void FormShow();
  void FormShown();
  void FormClose();
  void FormResize();
  void FormKeyPress(unsigned char ch);
  void FillLessonChooser();
  void ComboBox1Change(int index);
  void ShowAppHint(const QString& hint);
  void SynEdit1Click();
  void SynEdit2Click();
  void Timer1Timer();
  void ShowSpeed();
  void ApplyPaneLook();
  void SaveSettings();
  void SetErrorSound();
  void SoundFailed(const QString& reason);
  void SetExerciseCommands(bool running);
  void SetScreenFontSize(int32_t size);
  // Creates the on-screen keyboard under the practice panes, or removes it, leaving the window
  // as it was before it came.
  void SetKeyboardShown(bool shown);
  void ShowNextKey();

  // Commands.
  void aMegnyitExecute();
  void aUjExecute();
  void aSzerkesztExecute();
  void aBefejezExecute();
  void aTop10Execute();
  void aStatisztikaExecute();
  void aGyakorloExecute();
  void aOsszesitoExecute();
  void StartOfferedDrill();
  void aBezarExecute();
  void aBetuNovelExecute();
  void aBetuCsokkentExecute();
  void aBetuTipusExecute();
  void aBillentyuzetExecute();
  void aBeallitExecute();
  void aSugoExecute();
  void aLevelExecute();
  void aHonlapExecute();
  void aUjdonsagExecute();
  void aReadMeExecute();
  void aNevjegyExecute();
  // Hands a document, program or address to the shell with the program folder as working folder.
  void LaunchExternal(const QString& target);
  // Launches a file of the program's own; says which is missing when it is not there.
  void LaunchFile(const std::filesystem::path& file, const QString& what);

  // Controls, named as the rest of the program knows them; each carries its name as object
  // name, by which tests find it.
  TextPane* SynEdit1 = nullptr;  // the typing pane
  TextPane* SynEdit2 = nullptr;  // the lesson pane
  QComboBox* ComboBox1 = nullptr;
  QLabel* Panel4 = nullptr;  // lesson bar caption
  QWidget* Panel6 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QLabel* LOssz = nullptr;
  QLabel* LHelyes = nullptr;
  QLabel* LHibas = nullptr;
  QLabel* LIdo = nullptr;
  QLabel* LSebesseg = nullptr;  // keystrokes per minute so far
  QLabel* LSzazalek = nullptr;
  QLabel* StatusPanels[3] = {};
  QToolBar* ToolBar1 = nullptr;
  QToolBar* ToolBar2 = nullptr;
  QTimer* Timer1 = nullptr;
  PracticeKeyboard* Billentyuzet = nullptr;  // exists only while it is shown

  QAction* aMegnyit = nullptr;
  QAction* aUj = nullptr;
  QAction* aSzerkeszt = nullptr;
  QAction* aBefejez = nullptr;
  QAction* aTop10 = nullptr;
  QAction* aStatisztika = nullptr;
  QAction* aGyakorlo = nullptr;
  QAction* aOsszesito = nullptr;
  QAction* aBezar = nullptr;
  QAction* aBetuNovel = nullptr;
  QAction* aBetuCsokkent = nullptr;
  QAction* aBetuTipus = nullptr;
  QAction* aBillentyuzet = nullptr;
  QAction* aBeallit = nullptr;
  QAction* aSugo = nullptr;
  QAction* aLevel = nullptr;
  QAction* aHonlap = nullptr;
  QAction* aUjdonsag = nullptr;
  QAction* aReadMe = nullptr;
  QAction* aNevjegy = nullptr;

  Form form_;
  QStringList arguments_;
  TypingSession* session_ = nullptr;
  EvaluationHandler showEvaluation_;
  bool started_ = false;
};

}  // namespace pekto
