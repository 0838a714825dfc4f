// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Ertekel.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <utility>

#include "base/Icons.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Fonts.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/Counters.h"
#include "results/JatekosMegad.h"
#include "results/LessonGoals.h"
#include "results/Top10.h"

namespace pekto {
namespace {

constexpr std::string_view kSection = "frm_Ertekel";
constexpr int kClientWidth = 402;
// The speed lines below the OK button: the dialog grows by their height only.
constexpr int kSpeedTop = 301;
constexpr int kSpeedLineHeight = 17;
constexpr int kClientHeight = kSpeedTop + 2 * kSpeedLineHeight + 8;
// The goal's lines a little below them, as high as their text needs: the dialog grows by that
// only.
constexpr int kGoalTop = kSpeedTop + 2 * kSpeedLineHeight + 4;
constexpr int kLineWidth = 369;
const QColor kMetColour(0, 128, 0);

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& bounds, Qt::Alignment align) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(bounds);
  label->setAlignment(align);
  return label;
}

// A value beside its caption: Arial 14 pt bold, right-aligned in its box.
QLabel* ValueLabel(QWidget* parent, const char* name, int top) {
  QLabel* label = MakeLabel(parent, name, QRect(288, top, 90, 21), Qt::AlignRight | Qt::AlignTop);
  label->setFont(DesignFont(QStringLiteral("Arial"), 14, true));
  return label;
}

// A greyed caption in the window font, as wide as its text.
QLabel* Caption(QWidget* parent, const QString& text, int top) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setEnabled(false);
  label->move(188, top);
  label->adjustSize();
  return label;
}

ResultsOpener& Opener() {
  static ResultsOpener opener;
  return opener;
}

// The verdict on the goal of `lesson` for the speed and percentage; nothing when the lesson has
// no goal. A goal file that cannot be read is named, and the exercise goes on without goal.
std::optional<std::pair<QString, bool>> GoalLine(const std::filesystem::path& lesson,
                                                 int32_t perMinute, int32_t percent) {
  if (lesson.empty()) return std::nullopt;
  const std::filesystem::path goalFile = GoalFileOf(lesson);
  try {
    const auto goal = GoalOf(ReadGoals(goalFile), PathText(lesson.filename()));
    if (!goal) return std::nullopt;
    const GoalShortfall shortfall = CheckGoal(*goal, perMinute, percent);
    return std::pair{QString::fromStdString(GoalVerdict(shortfall)), shortfall.Met()};
  } catch (const Error&) {
    return std::pair{QStringLiteral("A(z) \"%1\" nem olvasható, a cél nem értékelhető.")
                         .arg(FromPath(goalFile.filename())),
                     false};
  }
}

Date Today() {
  const QDate today = QDate::currentDate();
  return Date{today.year(), today.month(), today.day()};
}

}  // namespace

Tfrm_Ertekel::Tfrm_Ertekel(QWidget* owner) : FormDialog(owner, {.section = kSection}) {
  setObjectName(QStringLiteral("frm_Ertekel"));
  setWindowTitle(QStringLiteral("Értékelés"));
  setFont(DesignFont(QStringLiteral("Tahoma"), 8));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kClientWidth, kClientHeight);

  StaticText1 =
      MakeLabel(this, "StaticText1", QRect(12, 8, 369, 22), Qt::AlignHCenter | Qt::AlignTop);
  StaticText1->setFont(DesignFont(QStringLiteral("Arial"), 14, true));

  Image1 = MakeLabel(this, "Image1", QRect(12, 44, 121, 141), Qt::AlignLeft | Qt::AlignTop);
  Image1->setPixmap(SvgPicture(QStringLiteral(":/images/ertekel.svg"), QSize(120, 140)));

  captions_.push_back(Caption(this, QStringLiteral("összes betű"), 48));
  Label11 = ValueLabel(this, "Label11", 48);
  captions_.push_back(Caption(this, QStringLiteral("helyes leütés"), 76));
  Label12 = ValueLabel(this, "Label12", 76);
  captions_.push_back(Caption(this, QStringLiteral("hibás leütés"), 104));
  Label13 = ValueLabel(this, "Label13", 104);
  captions_.push_back(Caption(this, QStringLiteral("felhasznált idő"), 132));
  Label2 = ValueLabel(this, "Label2", 132);

  Label14 = MakeLabel(this, "Label14", QRect(140, 164, 241, 77), Qt::AlignHCenter | Qt::AlignTop);
  Label14->setFont(DesignFont(QStringLiteral("Arial"), 48, true));
  QPalette red = Label14->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  Label14->setPalette(red);

  // Enter presses it as the default button; Esc and the close box close the dialog as well,
  // and nobody looks at how it was closed.
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(168, 268, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

  LLeutesPerc = MakeLabel(this, "LLeutesPerc", QRect(12, kSpeedTop, 369, kSpeedLineHeight),
                          Qt::AlignHCenter | Qt::AlignVCenter);
  LHelyesPerc =
      MakeLabel(this, "LHelyesPerc", QRect(12, kSpeedTop + kSpeedLineHeight, 369, kSpeedLineHeight),
                Qt::AlignHCenter | Qt::AlignVCenter);
  LCel = MakeLabel(this, "LCel", QRect(12, kGoalTop, kLineWidth, kSpeedLineHeight),
                   Qt::AlignHCenter | Qt::AlignTop);
  LCel->setWordWrap(true);
  LCel->hide();
}

void Tfrm_Ertekel::Fill(const std::string& title, int32_t total, int32_t correct, int32_t wrong,
                        int32_t percent, int32_t seconds) {
  StaticText1->setText(ToQ(title));
  Label11->setText(QString::number(total));
  Label12->setText(QString::number(correct));
  Label13->setText(QString::number(wrong));
  Label14->setText(QString::number(percent) + QStringLiteral(" %"));
  Label2->setText(QString::fromStdString(TimeText(seconds)));
  LLeutesPerc->setText(QStringLiteral("Leütés/perc: %1").arg(PerMinute(correct + wrong, seconds)));
  LHelyesPerc->setText(QStringLiteral("Helyes leütés/perc: %1").arg(PerMinute(correct, seconds)));
}

void Tfrm_Ertekel::ShowGoal(const QString& text, bool met) {
  LCel->setText(text);
  if (met) {
    QPalette green = LCel->palette();
    green.setColor(QPalette::WindowText, kMetColour);
    LCel->setPalette(green);
  }
  LCel->show();
  FitGoal();
}

void Tfrm_Ertekel::FitGoal() {
  if (LCel->isHidden()) return;
  const int height = std::max(kSpeedLineHeight, LCel->heightForWidth(kLineWidth));
  LCel->setGeometry(12, kGoalTop, kLineWidth, height);
  setFixedSize(kClientWidth, kGoalTop + height + 8);
}

void Tfrm_Ertekel::FormShow() {
  for (QLabel* caption : captions_) caption->adjustSize();
  FitGoal();  // in the interface font
}

int32_t RecordScoreLocked(const std::filesystem::path& scoreFile, const ScoreEntry& entry,
                          SetAside* setAside) {
  const FileLock lock(scoreFile);
  return RecordScore(scoreFile, entry, setAside);
}

std::optional<std::string> RecordKeysLocked(const std::filesystem::path& keysFile,
                                            const KeyRowOwner& owner,
                                            const std::vector<KeyTally>& keys) {
  if (keys.empty()) return std::nullopt;
  try {
    const FileLock lock(keysFile);
    return AppendKeyRows(keysFile, owner, keys);
  } catch (const Error& e) {
    return KeysNotWrittenMessage(keysFile, e.what());
  }
}

void ShowEvaluation(const std::string& title, int32_t total, int32_t correct, int32_t wrong,
                    int32_t seconds, QWidget* owner, const std::vector<KeyTally>& keys,
                    const std::filesystem::path& lesson) {
  const int32_t percent = ExtendedPercent(correct, wrong);
  int32_t newId = -1;
  {
    Tfrm_Ertekel dialog(owner);
    dialog.Fill(title, total, correct, wrong, percent, seconds);
    if (const auto goal = GoalLine(lesson, PerMinute(correct + wrong, seconds), percent)) {
      dialog.ShowGoal(goal->first, goal->second);
    }
    ExecDialog(dialog);
    const std::string name = AskPlayerName(owner);
    if (!name.empty()) {
      const ScoreEntry entry{title, name, total, correct, wrong, percent, seconds, Today()};
      const std::filesystem::path scoreFile = Startup().DataDir / "Score.csv";
      SetAside setAside;
      newId = RecordScoreLocked(scoreFile, entry, &setAside);
      if (!setAside.keptAs.empty()) {
        ShowWarning(QString::fromStdString(SetAsideNotice(scoreFile, setAside, "Az eredmény")),
                    owner);
      }
      const std::filesystem::path keysFile = Startup().DataDir / kKeyFileName;
      if (const auto problem = RecordKeysLocked(keysFile, {newId, name, entry.date}, keys)) {
        ShowWarning(QString::fromStdString(*problem), owner);
      }
    }
  }
  if (const ResultsOpener opener = Opener()) {
    opener(title, newId, owner);
  } else {
    ShowResults(title, newId, owner);
  }
}

ResultsOpener SetResultsOpener(ResultsOpener opener) {
  return std::exchange(Opener(), std::move(opener));
}

}  // namespace pekto
