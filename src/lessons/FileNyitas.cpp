// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/FileNyitas.h"

#include <QCollator>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <string_view>

#include "base/Icons.h"
#include "base/Settings.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/LessonFile.h"
#include "practice/LessonLibrary.h"
#include "results/LessonGoals.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr std::string_view kSection = "frm_FileNyitas";
constexpr int kDesignWidth = 506;
constexpr int kDesignHeight = 370;
constexpr int kBarHeight = 48;
constexpr int kGroupWidth = 177;
constexpr int kButtonTop = 11;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// Offered by "File-ból" when the last lesson is gone: the first lesson of the library.
constexpr std::string_view kFirstLesson = "001_fdjk.lck";
// The side of the blank mark: more than any line is high, so that it is scaled down like the tick.
constexpr int kMarkPixels = 64;

// The stored names of the listed lessons whose goal the current player has reached. A goal
// file that cannot be read is reported; a lesson or score that cannot be read marks nothing
// (the score is reported where it is written).
std::set<std::string> PassedOf(const std::vector<LessonName>& lessons, QWidget* owner) {
  const fs::path dataDir = Startup().DataDir;
  const fs::path goalFile = LessonFolder(dataDir) / std::string(kGoalFileName);
  GoalRows goals;
  try {
    goals = ReadGoals(goalFile);
  } catch (const Error& e) {
    ShowWarning(QString::fromStdString(GoalsUnreadableMessage(goalFile, e.what())), owner);
    return {};
  }
  std::vector<GoalLesson> withGoal;
  for (const LessonName& lesson : lessons) {
    const auto goal = GoalOf(goals, lesson.stored);
    if (!goal) continue;
    try {
      withGoal.push_back(
          {lesson.stored, ReadLessonTitle(LessonPath(dataDir, lesson.stored)), *goal});
    } catch (const Error&) {
      continue;  // a lesson that cannot be read cannot have been passed
    }
  }
  try {
    return PassedLessons(dataDir / "Score.csv", Beall.LastPlayer, withGoal);
  } catch (const Error&) {
    return {};
  }
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name, int left) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
  return button;
}

}  // namespace

QString FileNamePart(const QString& path) {
  const auto separator =
      std::max({path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':')});
  return path.mid(separator + 1);
}

std::vector<LessonName> SortedLessons(const fs::path& dataDir) {
  std::vector<LessonName> lessons;
  for (auto& name : ListLessons(dataDir)) lessons.push_back({ReadableText(name), std::move(name)});
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(lessons.begin(), lessons.end(), [&collator](const auto& a, const auto& b) {
    return collator.compare(a.shown, b.shown) < 0;
  });
  return lessons;
}

QVariant LessonItemData(const LessonName& lesson) {
  return QByteArray::fromStdString(lesson.stored);
}

fs::path LessonOfItem(const fs::path& dataDir, const QVariant& data) {
  return LessonPath(dataDir, data.toByteArray().toStdString());
}

Tfrm_FileNyitas::Tfrm_FileNyitas(const std::string& current, QWidget* owner)
    : FormDialog(owner, {.section = kSection,
                         .resizable = true,
                         .designSize = {kDesignWidth, kDesignHeight},
                         .menus = true}),
      lessonPath_(PathFromCp1250(current)) {
  setObjectName(QStringLiteral("frm_FileNyitas"));
  setWindowTitle(QStringLiteral("Lecke megnyitása"));
  setFont(DesignFont(QStringLiteral("Tahoma"), 8));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  resize(kDesignWidth, kDesignHeight);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  connect(ListBox1, &QListWidget::itemDoubleClicked, this,
          [this] { Guarded([this] { ListBox1DblClick(); }); });

  auto* bar = new QWidget(this);
  bar->setFixedHeight(kBarHeight);
  Button3 = MakeButton(bar, QStringLiteral("File-ból"), "Button3", 12);
  Button3->setAutoDefault(false);
  connect(Button3, &QPushButton::clicked, this, [this] { Guarded([this] { Button3Click(); }); });
  // The right-hand buttons keep their place at the right edge as the window is resized.
  auto* group = new QWidget(bar);
  group->setFixedSize(kGroupWidth, kBarHeight);
  Button1 = MakeButton(group, QStringLiteral("Megnyit"), "Button1", 8);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this,
          [this] { Guarded([this] { ListBox1DblClick(); }); });
  Button2 = MakeButton(group, QStringLiteral("Mégsem"), "Button2", 90);
  Button2->setAutoDefault(false);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects as well

  auto* barLayout = new QHBoxLayout(bar);
  barLayout->setContentsMargins(0, 0, 0, 0);
  barLayout->addStretch();
  barLayout->addWidget(group);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ListBox1);
  layout->addWidget(bar);

  setTabOrder(ListBox1, Button3);
  setTabOrder(Button3, Button1);
  setTabOrder(Button1, Button2);
  Guarded([this, &current] { FormCreate(current); });
}

void Tfrm_FileNyitas::FormCreate(const std::string& current) {
  const std::vector<LessonName> lessons = SortedLessons(Startup().DataDir);
  for (const LessonName& lesson : lessons) {
    auto* item = new QListWidgetItem(lesson.shown, ListBox1);
    item->setData(Qt::UserRole, LessonItemData(lesson));
  }
  MarkPassed(PassedOf(lessons, this));
  if (ListBox1->count() == 0) return;
  const QString wanted = FileNamePart(ToQ(current));
  const auto found = ListBox1->findItems(wanted, Qt::MatchFixedString);  // case ignored
  ListBox1->setCurrentItem(found.isEmpty() ? ListBox1->item(0) : found.front());
}

// A reached goal shows as a tick before the name; the other names keep the same room before
// them, so that the names stay in line.
void Tfrm_FileNyitas::MarkPassed(const std::set<std::string>& passed) {
  if (passed.empty()) return;
  const QIcon tick = CommandIcon(u"teljesitve");
  QPixmap blank(kMarkPixels, kMarkPixels);
  blank.fill(Qt::transparent);
  const QIcon none(blank);
  for (int row = 0; row < ListBox1->count(); ++row) {
    QListWidgetItem* item = ListBox1->item(row);
    const bool done = passed.contains(item->data(Qt::UserRole).toByteArray().toStdString());
    item->setIcon(done ? tick : none);
    if (done) {
      item->setToolTip(QStringLiteral("Teljesítve: a lecke célját elérted"));
      item->setData(Qt::AccessibleDescriptionRole, QStringLiteral("teljesítve"));
    }
  }
}

void Tfrm_FileNyitas::ListBox1DblClick() {
  const QListWidgetItem* item = ListBox1->currentItem();
  if (item == nullptr || !item->isSelected()) {
    ShowError(QStringLiteral("Nincs lecke kiválasztva"), this);
    return;
  }
  lessonPath_ = LessonOfItem(Startup().DataDir, item->data(Qt::UserRole));
  accept();
}

void Tfrm_FileNyitas::Button3Click() {
  fs::path start = PathFromCp1250(Beall.LastFile);
  std::error_code ec;
  if (Beall.LastFile.empty() || !fs::is_regular_file(start, ec)) {
    start = LessonFolder(Startup().DataDir) / std::string(kFirstLesson);
  }
  QFileDialog dialog(this, windowTitle(), FromPath(start.parent_path()),
                     QStringLiteral("Tastrel lecke állományok (*.lck)"));
  dialog.setObjectName(QStringLiteral("OpenDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name is taken as it is, whether or not such a file exists.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("lck"));
  dialog.selectFile(FromPath(start.filename()));
  if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  lessonPath_ = fs::absolute(ToPath(dialog.selectedFiles().front()));
  accept();
}

void Tfrm_FileNyitas::FormShow() {
  // The marks a little higher than a line of the interface font.
  const int side = ListBox1->fontMetrics().height() + 2;
  ListBox1->setIconSize(QSize(side, side));
  ListBox1->setFocus();
}

std::optional<fs::path> PickLesson(const std::string& current, QWidget* owner) {
  Tfrm_FileNyitas dialog(current, owner);
  if (ExecDialog(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.ChosenPath();
}

}  // namespace pekto
