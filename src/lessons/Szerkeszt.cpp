// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/Szerkeszt.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <string_view>
#include <utility>

#include "base/Commands.h"
#include "lessons/FileNyitas.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Fonts.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "platform/StorableText.h"
#include "practice/LessonFile.h"
#include "practice/LessonLibrary.h"
#include "practice/TextPane.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr std::string_view kSection = "frm_Szerkeszt";
constexpr int kDesignWidth = 781;
constexpr int kDesignHeight = 522;
constexpr int kButtonWidth = 85;
constexpr int kButtonHeight = 36;
constexpr int kTitleBarHeight = 28;
constexpr int32_t kActiveLineColor = 0x9DFFFF;  // pale yellow
constexpr int32_t kSelectedColor = 0x808080;    // grey
// The name of a lesson that has no file yet.
constexpr std::string_view kNoname = "Noname.lck";
const QString kCaption = QStringLiteral("Szerkesztés: ");
const QString kNewTitle = QStringLiteral("<add meg a teszt címét>");
const QString kOpenFilter = QStringLiteral("Tastrel lecke állományok (*.lck)");
const QString kSaveFilter = QStringLiteral("Tastrel lecke állomány (*.lck)");
const QString kLessonExtension = QStringLiteral("lck");

// The open dialog is one for the whole run, as the main window's own: it starts with the file
// last chosen in it, whichever editor chose it.
fs::path& LastOpenedLesson() {
  static fs::path last;
  return last;
}

// The characters of the document that its lines cannot store; the blocks' separators are line
// ends.
QString UnstorableCharacters(const QString& raw) {
  QString refused;
  KeepCp1250(QString(raw).remove(QChar::ParagraphSeparator), refused);
  if (raw.contains(QChar(0))) refused += QChar(0);
  return refused;
}

}  // namespace

Tfrm_Szerkeszt::Tfrm_Szerkeszt(QWidget* owner)
    : FormDialog(owner, {.section = kSection,
                         .resizable = true,
                         .designSize = {kDesignWidth, kDesignHeight},
                         .menus = true}),
      editFile_(std::string(kNoname)) {
  setObjectName(QStringLiteral("frm_Szerkeszt"));
  setWindowTitle(QStringLiteral("Teszt szerkesztése"));
  setFont(DesignFont(QStringLiteral("Tahoma"), 8));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);
  resize(kDesignWidth, kDesignHeight);

  CreateActions();
  QToolBar* toolBar = CreateToolBar();
  QWidget* titleBar = CreateTitleBar();
  QWidget* goalBar = CreateGoalBar();
  CreateTextPane();
  CreatePopupMenu();
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar);
  layout->addWidget(titleBar);
  layout->addWidget(goalBar);
  layout->addWidget(SynEdit1, 1);
  layout->addWidget(StatusBar1);
  // Tab goes from the title on to the text; the goal is reached by the mouse or Alt+S, Alt+P.
  setTabOrder(Edit1, SynEdit1);
  setTabOrder(SynEdit1, EditSebesseg);
  setTabOrder(EditSebesseg, EditPontossag);
  UpdateCaption();
}

// ---- composition ---------------------------------------------------------------------------

void Tfrm_Szerkeszt::CreateActions() {
  // The program's own images: a new page, the folder, the page with the saving arrow (as in the
  // certificate's preview), the page being written under a new name, and the door. The shortcuts
  // work wherever the focus is in the window, the title field and the text pane included.
  using K = QKeySequence;
  // clang-format off
  AddCommands(*this, {
      {&aUj, "aUj", QStringLiteral("Új lecke"), "uj",
       {K(Qt::CTRL | Qt::Key_N)}, [this] { aUjExecute(); }},
      {&aMegnyit, "aMegnyit", QStringLiteral("Megnyitás"), "megnyit",
       {K(Qt::CTRL | Qt::Key_O)}, [this] { aMegnyitExecute(); }},
      {&aMent, "aMent", QStringLiteral("Mentés"), "pdf_mentes",
       {K(Qt::CTRL | Qt::Key_S)}, [this] { aMentExecute(); }},
      {&aMentMaskent, "aMentMaskent", QStringLiteral("Mentés másként"), "szerkeszt",
       {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, [this] { aMentMaskentExecute(); }},
      {&aBezar, "aBezar", QStringLiteral("Bezár"), "bezar",
       {K(Qt::Key_Escape)}, [this] { aBezarExecute(); }}});
  // clang-format on
}

QToolBar* Tfrm_Szerkeszt::CreateToolBar() {
  ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  ToolBar1->addActions({aUj, aMegnyit, aMent, aMentMaskent});
  ToolBar1->addSeparator();
  ToolBar1->addAction(aBezar);
  for (QAction* action : {aUj, aMegnyit, aMent, aMentMaskent, aBezar}) {
    if (QWidget* button = ToolBar1->widgetForAction(action)) {
      // A caption wider than the button widens it rather than being cut short.
      button->setMinimumWidth(kButtonWidth);
      button->setFixedHeight(kButtonHeight);
      button->setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the title and the text
    }
  }
  ToolBar1->toggleViewAction()->setEnabled(false);
  return ToolBar1;
}

QWidget* Tfrm_Szerkeszt::CreateTitleBar() {
  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("Panel1"));
  bar->setFixedHeight(kTitleBarHeight);
  auto* label = new QLabel(QStringLiteral("Cím"), bar);
  label->setObjectName(QStringLiteral("Label1"));
  label->move(16, 8);
  Edit1 = new QLineEdit(bar);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8, true));
  Edit1->setGeometry(56, 4, 581, Edit1->sizeHint().height());
  Edit1->setValidator(
      new StorableTextValidator(Edit1, [this](const QString& refused) { ShowRefused(refused); }));
  Edit1->setContextMenuPolicy(Qt::CustomContextMenu);
  label->setBuddy(Edit1);
  connect(Edit1, &QLineEdit::textChanged, this, [this] {
    if (!filling_) saved_ = false;
  });
  // Enter in the title goes on to the text.
  connect(Edit1, &QLineEdit::returnPressed, this, [this] {
    if (SynEdit1) SynEdit1->setFocus();
  });
  return bar;
}

// Below the title: the goal a learner's result must reach for the lesson to count as passed.
QWidget* Tfrm_Szerkeszt::CreateGoalBar() {
  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("Panel2"));
  bar->setFixedHeight(kTitleBarHeight);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(16, 0, 16, 4);
  const auto field = [this, bar, layout](const QString& caption, const char* name, int top,
                                         int example, const QString& unit) {
    auto* label = new QLabel(caption, bar);
    auto* edit = new QLineEdit(bar);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setValidator(new QIntValidator(0, top, edit));
    edit->setPlaceholderText(QStringLiteral("pl. %1").arg(example));
    label->setBuddy(edit);
    connect(edit, &QLineEdit::textChanged, this, [this] {
      if (!filling_) saved_ = false;
    });
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(unit, bar));
    layout->addSpacing(16);
    return edit;
  };
  EditSebesseg = field(QStringLiteral("Cél: &sebesség"), "EditSebesseg", 9999, kSuggestedPerMinute,
                       QStringLiteral("leütés/perc"));
  EditPontossag = field(QStringLiteral("&pontosság"), "EditPontossag", 100, kSuggestedPercent,
                        QStringLiteral("% helyes"));
  auto* hint = new QLabel(QStringLiteral("(üresen hagyva: nincs cél)"), bar);
  hint->setEnabled(false);
  layout->addWidget(hint);
  layout->addStretch();
  return bar;
}

void Tfrm_Szerkeszt::CreateTextPane() {
  SynEdit1 = new TextPane(this);
  SynEdit1->setObjectName(QStringLiteral("SynEdit1"));
  SynEdit1->setReadOnly(false);
  SynEdit1->KeepUndoHistory();
  SynEdit1->SetInsertMode(true);
  QFont font = DesignFont(QStringLiteral("Courier New"), 14, true);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  SynEdit1->SetPaneFont(font);
  SynEdit1->SetActiveLineColor(ColorFromValue(kActiveLineColor));
  SynEdit1->SetSelectedColor(ColorFromValue(kSelectedColor));
  SynEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SynEdit1, &QPlainTextEdit::textChanged, this, [this] {
    if (!filling_) saved_ = false;
  });
  connect(SynEdit1, &TextPane::textRefused, this,
          [this](const QString& refused) { ShowRefused(refused); });
}

void Tfrm_Szerkeszt::CreatePopupMenu() {
  // In place of the usual edit menu: the editor's commands.
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu1->addActions({aUj, aMegnyit, aMent, aMentMaskent});
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(aBezar);
  // The menu has no pictures, only texts; the tool bar keeps the commands' images.
  for (QAction* action : PopupMenu1->actions()) action->setIconVisibleInMenu(false);
  connect(Edit1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(Edit1->mapToGlobal(pos)); });
  connect(SynEdit1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(SynEdit1->viewport()->mapToGlobal(pos)); });
}

// ---- showing and closing -------------------------------------------------------------------

// The label, the tool bar and the status bar follow the interface size; the title field and the
// text pane keep their own fonts. The goal fields hold four digits in the interface font.
void Tfrm_Szerkeszt::FormShow() {
  for (QLineEdit* edit : {EditSebesseg, EditPontossag}) {
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("pl. 0000")) + 12);
  }
  Edit1->setFocus();
}

bool Tfrm_Szerkeszt::FormCloseQuery() {
  return MayLeaveLesson();
}

// ---- the lesson and its file ---------------------------------------------------------------

void Tfrm_Szerkeszt::OpenFile(const fs::path& file) {
  // Read first: a file that cannot be read leaves the fields and EditFile as they were.
  Lesson lesson = ReadLessonFile(file);
  {
    const QScopedValueRollback filling(filling_, true);
    Edit1->setText(ToQ(lesson.title));  // exactly as stored, blanks included
    SynEdit1->Clear();
    SynEdit1->AppendLines(lesson.lines);
  }
  LoadGoal(file);
  editFile_ = file;
  saved_ = true;
  UpdateCaption();
}

void Tfrm_Szerkeszt::WriteFile() {
  // Typed and pasted text has been kept to what a lesson file stores; should anything else have
  // come in, the file is not written with '?' in its place.
  const QString refused =
      UnstorableCharacters(Edit1->text()) + UnstorableCharacters(SynEdit1->document()->toRawText());
  if (!refused.isEmpty()) {
    throw Error(("A lecke nem menthető: ezek a karakterek nem írhatók lecke állományba: " +
                 ReadableCharacters(refused))
                    .toStdString());
  }
  WriteLessonFile(editFile_, Lesson{FromQ(Edit1->text()), SynEdit1->Lines()});
  SaveGoal();
  saved_ = true;
  UpdateCaption();
}

bool Tfrm_Szerkeszt::SaveChanges() {
  if (FileNamePart(FromPath(editFile_)) != QLatin1String(kNoname.data(), kNoname.size())) {
    WriteFile();
    return true;
  }
  const fs::path chosen = AskSaveName(editFile_);
  if (chosen.empty()) return false;
  editFile_ = chosen;
  UpdateCaption();
  WriteFile();
  return true;
}

bool Tfrm_Szerkeszt::MayLeaveLesson() {
  if (saved_) return true;
  switch (AskYesNoCancel(QStringLiteral("Jelenlegi lecke nincs mentve. Elmentsem?"),
                         QStringLiteral("Kérdés"), this)) {
    case IDYES:
      return SaveChanges();
    case IDNO:
      return true;
    default:
      return false;
  }
}

fs::path Tfrm_Szerkeszt::AskSaveName(const fs::path& preset) {
  // A name without a folder is offered in the folder of the lesson being edited, else in the
  // lesson folder.
  fs::path folder = preset.parent_path();
  if (folder.empty()) folder = editFile_.parent_path();
  if (folder.empty()) folder = LessonFolder(Startup().DataDir);
  QFileDialog dialog(this, QStringLiteral("Mentés másként"), FromPath(folder), kSaveFilter);
  dialog.setObjectName(QStringLiteral("SaveDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(kLessonExtension);
  // Replacing an existing lesson is what the user chose the name for.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!preset.empty()) dialog.selectFile(FromPath(preset.filename()));
  if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  lastSaveName_ = fs::absolute(ToPath(dialog.selectedFiles().front()));
  return lastSaveName_;
}

void Tfrm_Szerkeszt::SaveAs() {
  const fs::path chosen = AskSaveName(lastSaveName_);
  if (chosen.empty()) return;
  // The lesson now belongs to the chosen file, also when writing it fails.
  editFile_ = chosen;
  UpdateCaption();
  WriteFile();
}

void Tfrm_Szerkeszt::UpdateCaption() {
  setWindowTitle(kCaption + FromPath(editFile_));
}

void Tfrm_Szerkeszt::ShowRefused(const QString& characters) {
  QApplication::beep();
  StatusBar1->showMessage(
      QStringLiteral("Lecke állományba nem írható karakter: %1 (csak a közép-európai "
                     "Windows-1250 kódlap betűi menthetők)")
          .arg(ReadableCharacters(characters)),
      kRefusedHintMs);
}

// ---- the goal ------------------------------------------------------------------------------

void Tfrm_Szerkeszt::LoadGoal(const fs::path& file) {
  LessonGoal goal;
  bool readable = true;
  if (!file.empty()) {
    const fs::path goalFile = GoalFileOf(file);
    try {
      goal = GoalOf(ReadGoals(goalFile), PathText(file.filename())).value_or(LessonGoal{});
    } catch (const Error& e) {
      readable = false;
      ShowWarning(QString::fromStdString(GoalsUnreadableMessage(goalFile, e.what())), this);
    }
  }
  const QScopedValueRollback filling(filling_, true);
  const auto show = [readable](QLineEdit* edit, const std::optional<int32_t>& value) {
    edit->setText(value ? QString::number(*value) : QString());
    edit->setEnabled(readable);
  };
  show(EditSebesseg, goal.perMinute);
  show(EditPontossag, goal.percent);
  storedGoal_ = goal;
  goalLesson_ = file;
}

LessonGoal Tfrm_Szerkeszt::TypedGoal() const {
  const auto number = [](const QLineEdit* edit) -> std::optional<int32_t> {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? std::optional<int32_t>(value) : std::nullopt;
  };
  return {number(EditSebesseg), number(EditPontossag)};
}

void Tfrm_Szerkeszt::SaveGoal() {
  const LessonGoal goal = TypedGoal();
  if (!EditSebesseg->isEnabled() || (goal == storedGoal_ && editFile_ == goalLesson_)) return;
  const fs::path goalFile = GoalFileOf(editFile_);
  std::optional<std::string> problem;
  try {
    const FileLock lock(goalFile);
    problem = WriteGoal(goalFile, PathText(editFile_.filename()), goal);
  } catch (const Error& e) {
    problem = GoalNotWrittenMessage(goalFile, e.what());
  }
  if (problem) {
    ShowWarning(QString::fromStdString(*problem), this);
    return;
  }
  storedGoal_ = goal;
  goalLesson_ = editFile_;
}

// ---- commands ------------------------------------------------------------------------------

void Tfrm_Szerkeszt::aUjExecute() {
  if (!MayLeaveLesson()) return;
  {
    const QScopedValueRollback filling(filling_, true);
    Edit1->setText(kNewTitle);
    SynEdit1->Clear();
  }
  LoadGoal({});
  // Typing replaces the prompt.
  Edit1->setFocus();
  Edit1->selectAll();
  saved_ = true;
  editFile_ = std::string(kNoname);
  UpdateCaption();
}

void Tfrm_Szerkeszt::aMegnyitExecute() {
  if (!MayLeaveLesson()) return;
  const fs::path& last = LastOpenedLesson();
  const fs::path folder = last.empty() ? LessonFolder(Startup().DataDir) : last.parent_path();
  QFileDialog dialog(this, QStringLiteral("Megnyitás"), FromPath(folder), kOpenFilter);
  dialog.setObjectName(QStringLiteral("OpenDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name is taken as it is; reading it tells whether it is a lesson.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(kLessonExtension);
  if (!last.empty()) dialog.selectFile(FromPath(last.filename()));
  if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const fs::path chosen = fs::absolute(ToPath(dialog.selectedFiles().front()));
  LastOpenedLesson() = chosen;
  OpenFile(chosen);
}

void Tfrm_Szerkeszt::aMentExecute() {
  // Only the bare name of a new lesson asks for a name: a real file called Noname.lck in some
  // folder has a full path.
  if (editFile_ != fs::path(std::string(kNoname))) {
    WriteFile();
  } else {
    SaveAs();
  }
}

void Tfrm_Szerkeszt::aMentMaskentExecute() {
  SaveAs();
}

void Tfrm_Szerkeszt::aBezarExecute() {
  accept();
}

void EditLesson(const std::string& path, QWidget* owner) {
  EditLessonFile(path.empty() ? fs::path() : PathFromCp1250(path), owner);
}

void EditLessonFile(const fs::path& path, QWidget* owner) {
  Tfrm_Szerkeszt editor(owner);
  if (!path.empty()) editor.OpenFile(path);
  ExecDialog(editor);
}

}  // namespace pekto
