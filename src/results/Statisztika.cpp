// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Statisztika.h"

#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <set>
#include <utility>

#include "base/Settings.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/Keyboard.h"
#include "practice/LessonLibrary.h"
#include "practice/WeakKeyDrill.h"
#include "results/CsvTable.h"
#include "results/Progress.h"
#include "results/ProgressChart.h"
#include "results/ScoreRecording.h"
#include "ui/KeyboardView.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr int kDesignWidth = 900;
constexpr int kDesignHeight = 680;
constexpr size_t kWorstShown = 10;
constexpr std::array<int, kPeriodCount> kPeriodDays = {0, 30, 7};

// The error rates of the colour scale: green at none, yellow at kYellowRate, red from kRedRate.
constexpr double kYellowRate = 0.05;
constexpr double kRedRate = 0.15;

QColor Mix(const QColor& a, const QColor& b, double t) {
  const auto channel = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
  return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                channel(a.blue(), b.blue()));
}

// A calm scale: green, yellow, red.
QColor RateColor(double rate) {
  static const QColor green(0x7C, 0xC4, 0x7C), yellow(0xF2, 0xD2, 0x5C), red(0xE2, 0x5E, 0x50);
  if (rate <= kYellowRate) return Mix(green, yellow, std::max(0.0, rate) / kYellowRate);
  return Mix(yellow, red, std::min(1.0, (rate - kYellowRate) / (kRedRate - kYellowRate)));
}

QString Percent(double rate, int decimals = 1) {
  return QLocale(QLocale::Hungarian, QLocale::Hungary).toString(rate * 100, 'f', decimals) +
         QStringLiteral("%");
}

QString Name(unsigned char ch) {
  return ToQ(KeyName(ch));
}

Date Shifted(Date date, int days) {
  using namespace std::chrono;
  const year_month_day day(
      sys_days(year_month_day(year(date.year), month(static_cast<unsigned>(date.month)),
                              std::chrono::day(static_cast<unsigned>(date.day)))) +
      std::chrono::days(days));
  return Date{int{day.year()}, static_cast<int>(unsigned{day.month()}),
              static_cast<int>(unsigned{day.day()})};
}

// Each key's paint: a key judged too few times hatched, a judged one coloured by the error rate
// of its characters together, a key without a character plain.
std::vector<KeyPaint> KeyPaints(const Keyboard& keyboard, const std::vector<KeyTally>& tallies) {
  const std::vector<KeyCap>& keys = keyboard.Keys();
  std::vector<KeyTally> perKey(keys.size());
  for (const KeyTally& tally : tallies) {
    const std::optional<KeyStroke> stroke = keyboard.Find(tally.ch);
    if (!stroke) continue;
    KeyTally& key = perKey[static_cast<size_t>(stroke->key - keys.data())];
    key.judged += tally.judged;
    key.wrong += tally.wrong;
  }
  std::vector<KeyPaint> paints(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    const bool typesCharacter = (keys[i].base && !keys[i].base->dead) || keys[i].shift;
    if (!typesCharacter) continue;
    if (FewData(perKey[i])) {
      paints[i].hatched = true;
    } else {
      paints[i].fill = RateColor(ErrorRate(perKey[i]));
    }
  }
  return paints;
}

// "ő helyett ö: 12, o: 3 (23,1%)"
QString WorstLine(const KeyTally& tally) {
  QString line = Name(tally.ch) + QStringLiteral(" helyett");
  for (size_t i = 0; i < tally.substitutes.size(); ++i) {
    line += (i == 0 ? QStringLiteral(" ") : QStringLiteral(", ")) + Name(tally.substitutes[i].ch) +
            QStringLiteral(": ") + QString::number(tally.substitutes[i].count);
  }
  return line + QStringLiteral("  (") + Percent(ErrorRate(tally)) + QStringLiteral(")");
}

// The legend under the keyboard: the colour scale and the hatching.
class RateLegend : public QWidget {
 public:
  explicit RateLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Jelmagyarazat"));
    setFixedHeight(QFontMetrics(font()).height() + 10);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    int x = 4;
    const auto text = [&](const QString& s) {
      painter.setPen(palette().color(QPalette::WindowText));
      painter.drawText(QRect(x, 0, metrics.horizontalAdvance(s), height()), Qt::AlignVCenter, s);
      x += metrics.horizontalAdvance(s) + 6;
    };
    text(QStringLiteral("Hibaarány:"));
    for (const double rate : {0.0, kYellowRate, kRedRate}) {
      painter.fillRect(QRect(x, (height() - h) / 2, h * 2, h), RateColor(rate));
      x += h * 2 + 4;
      text(Percent(rate, 0) + (rate >= kRedRate ? QStringLiteral(" felett") : QString()));
      x += 8;
    }
    const QRect hatch(x, (height() - h) / 2, h * 2, h);
    painter.fillRect(hatch, palette().color(QPalette::Base));
    painter.fillRect(hatch, QBrush(QColor(0x90, 0x90, 0x90), Qt::BDiagPattern));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(hatch.adjusted(0, 0, -1, -1));
    x += h * 2 + 4;
    text(QStringLiteral("kevés adat (%1-nél kevesebb leütés)").arg(kRatedFrom));
  }
};

}  // namespace

std::optional<DrillChoice> ShowStatistics(const std::string& player, QWidget* owner) {
  const QDate today = QDate::currentDate();
  Tfrm_Statisztika window(Startup().DataDir, BundleDir(), player,
                          Date{today.year(), today.month(), today.day()}, owner);
  ExecDialog(window);
  if (!window.ChosenDrill()) return std::nullopt;
  return DrillChoice{*window.ChosenDrill(), window.ChosenPlayer()};
}

namespace {

std::optional<fs::path> OfferedDrill;

std::chrono::year_month_day Today() {
  const QDate today = QDate::currentDate();
  return std::chrono::year_month_day{std::chrono::year(today.year()),
                                     std::chrono::month(static_cast<unsigned>(today.month())),
                                     std::chrono::day(static_cast<unsigned>(today.day()))};
}

std::optional<fs::path> SaveDrill(const DrillChoice& drill, QWidget* owner) {
  try {
    return SaveDrillLesson(LessonFolder(Startup().DataDir), drill.lesson, drill.player, Today());
  } catch (const Error& e) {
    ShowError(ToQ(e.what()), owner);
    return std::nullopt;
  }
}

}  // namespace

std::optional<fs::path> ShowStatisticsAndSaveDrill(const std::string& player, QWidget* owner) {
  std::optional<DrillChoice> drill;
  try {
    drill = ShowStatistics(player, owner);
  } catch (const Error& e) {
    ShowError(ToQ(e.what()), owner);
  }
  if (!drill) return std::nullopt;
  return SaveDrill(*drill, owner);
}

std::optional<fs::path> SaveWeakKeyDrill(const std::string& player, QWidget* owner) {
  std::optional<Lesson> drill;
  try {
    const BusyCursor busy;
    const auto tallies =
        ReadKeyTallies(Startup().DataDir / std::string(kKeyFileName), player, std::nullopt);
    if (!WorstKeys(tallies, kDrillKeyCount, kDrillMinJudged).empty()) {
      drill = WeakKeyDrill(tallies, ReadWordList(WordListFile(BundleDir())));
    }
  } catch (const Error& e) {
    ShowError(ToQ(e.what()), owner);
    return std::nullopt;
  }
  if (!drill) {
    ShowWarning(QStringLiteral("Még nincs elég adat a gyenge billentyűk gyakorlásához: egy "
                               "billentyűt legalább %1-szer kell leütni, és legalább egyszer "
                               "eltéveszteni. Gyakoroljon még néhány leckét!")
                    .arg(kDrillMinJudged),
                owner);
    return std::nullopt;
  }
  return SaveDrill({*drill, player}, owner);
}

void OfferDrill(fs::path lesson) {
  OfferedDrill = std::move(lesson);
}

std::optional<fs::path> TakeOfferedDrill() {
  return std::exchange(OfferedDrill, std::nullopt);
}

// ---- composition ---------------------------------------------------------------------------

Tfrm_Statisztika::Tfrm_Statisztika(fs::path dataDir, fs::path bundleDir, const std::string& player,
                                   Date today, QWidget* owner)
    : FormDialog(owner, {.section = "frm_Statisztika",
                         .resizable = true,
                         .designSize = QSize(kDesignWidth, kDesignHeight)}),
      dataDir_(std::move(dataDir)),
      bundleDir_(std::move(bundleDir)),
      scores_(std::make_unique<CsvTable>("Tbl", ScoreSchema(), nullptr)) {
  setObjectName(QStringLiteral("frm_Statisztika"));
  setWindowTitle(QStringLiteral("Statisztika"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  QFont base(QStringLiteral("Tahoma"));
  base.setPixelSize(11);
  setFont(base);
  for (size_t i = 0; i < kPeriodCount; ++i) {
    if (kPeriodDays[i] > 0) periodStarts_[i] = Shifted(today, 1 - kPeriodDays[i]);
  }

  // The key table is read on the other core while the score table is read here.
  StartKeyLoad();
  scores_->Open();
  const fs::path scoreFile = dataDir_ / "Score.csv";
  std::error_code ec;
  if (fs::exists(scoreFile, ec)) scores_->LoadFile(scoreFile);
  Billentyuzet = new KeyboardView(Keyboard::Load(KeyboardFile(bundleDir_)), this);
  Billentyuzet->SetMessage(QStringLiteral("Betöltés…"));
  CreateWidgets();
  FillPlayers(player);
  ShowSelection();
}

Tfrm_Statisztika::~Tfrm_Statisztika() = default;

// The keyboard above the chart on the left, the worst keys and the fingers on the right.
void Tfrm_Statisztika::CreateWidgets() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(12, 8, 12, 10);
  column->setSpacing(8);
  column->addWidget(CreateChoiceBar());
  auto* sides = new QHBoxLayout;
  sides->setSpacing(10);
  auto* left = new QVBoxLayout;
  left->setSpacing(8);
  left->addWidget(CreateKeyPanel());
  Grafikon = new ProgressChart(this);
  auto* chartBox = new QGroupBox(QStringLiteral("Gyakorlási napok"), this);
  auto* chartLayout = new QVBoxLayout(chartBox);
  chartLayout->addWidget(Grafikon);
  left->addWidget(chartBox, 1);
  sides->addLayout(left, 1);
  sides->addWidget(CreateSidePanel());
  column->addLayout(sides, 1);
  column->addWidget(CreateButtonBar());
}

QWidget* Tfrm_Statisztika::CreateChoiceBar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  const auto combo = [&](const QString& caption, const char* name) {
    auto* label = new QLabel(caption, bar);
    auto* box = new QComboBox(bar);
    box->setObjectName(QString::fromLatin1(name));
    label->setBuddy(box);
    row->addWidget(label);
    row->addWidget(box);
    row->addSpacing(14);
    return box;
  };
  ComboJatekos = combo(QStringLiteral("&Játékos:"), "ComboJatekos");
  ComboJatekos->setMinimumWidth(220);
  ComboIdoszak = combo(QStringLiteral("&Időszak:"), "ComboIdoszak");
  ComboIdoszak->addItems(
      {QStringLiteral("Összes"), QStringLiteral("Utolsó 30 nap"), QStringLiteral("Utolsó 7 nap")});
  row->addStretch(1);
  auto* title = new QLabel(QStringLiteral("Statisztika"), bar);
  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(15);
  titleFont.setBold(true);
  title->setFont(titleFont);
  row->addWidget(title);
  for (QComboBox* box : {ComboJatekos, ComboIdoszak}) {
    connect(box, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { ShowSelection(); }); });
  }
  return bar;
}

QWidget* Tfrm_Statisztika::CreateKeyPanel() {
  auto* box = new QGroupBox(QStringLiteral("Billentyűk hibaaránya"), this);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(Billentyuzet, 1);
  layout->addWidget(new RateLegend(box));
  return box;
}

QWidget* Tfrm_Statisztika::CreateSidePanel() {
  auto* panel = new QWidget(this);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* worstBox = new QGroupBox(QStringLiteral("A tíz leggyengébb billentyű"), panel);
  auto* worstLayout = new QVBoxLayout(worstBox);
  LabelGyenge = new QLabel(worstBox);
  LabelGyenge->setObjectName(QStringLiteral("LabelGyenge"));
  LabelGyenge->setTextFormat(Qt::PlainText);
  LabelGyenge->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  LabelGyenge->setMinimumWidth(230);
  worstLayout->addWidget(LabelGyenge);
  layout->addWidget(worstBox);

  auto* fingerBox = new QGroupBox(QStringLiteral("Hibaarány ujjanként"), panel);
  auto* grid = new QGridLayout(fingerBox);
  grid->setVerticalSpacing(2);
  for (size_t i = 0; i < kFingerCount; ++i) {
    const auto row = static_cast<int>(i);
    grid->addWidget(new QLabel(QString::fromUtf8(FingerName(static_cast<Finger>(i))), fingerBox),
                    row, 0);
    fingerRates_[i] = new QLabel(fingerBox);
    fingerRates_[i]->setObjectName(QStringLiteral("LabelUjj%1").arg(i));
    fingerRates_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fingerRates_[i]->setAutoFillBackground(true);
    fingerRates_[i]->setMinimumWidth(56);
    grid->addWidget(fingerRates_[i], row, 1);
  }
  layout->addWidget(fingerBox);
  layout->addStretch(1);
  return panel;
}

QWidget* Tfrm_Statisztika::CreateButtonBar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  ButtonGyakorlo = new QPushButton(QStringLiteral("&Gyenge billentyűk gyakorlása"), bar);
  ButtonGyakorlo->setObjectName(QStringLiteral("ButtonGyakorlo"));
  ButtonGyakorlo->setToolTip(
      QStringLiteral(
          "Gyakorló lecke a legtöbbet tévesztett öt billentyűből (legalább %1 leütés mindegyikből)")
          .arg(kDrillMinJudged));
  connect(ButtonGyakorlo, &QPushButton::clicked, this,
          [this] { Guarded([this] { DrillClicked(); }); });
  ButtonBezar = new QPushButton(QStringLiteral("Bezár"), bar);
  ButtonBezar->setObjectName(QStringLiteral("ButtonBezar"));
  connect(ButtonBezar, &QPushButton::clicked, this, &QDialog::reject);
  row->addWidget(ButtonGyakorlo);
  row->addStretch(1);
  row->addWidget(ButtonBezar);
  return bar;
}

// The players of Players.csv in file order, where the evaluation lists everyone who practised;
// without a readable list, those the score table names.
void Tfrm_Statisztika::FillPlayers(const std::string& player) {
  std::vector<std::string> names;
  std::set<std::string> listed;
  const auto add = [&](const std::string& name) {
    if (!name.empty() && listed.insert(name).second) names.push_back(name);
  };
  try {
    for (const std::string& name : ReadPlayerNames(dataDir_ / "Players.csv")) add(name);
  } catch (const Error&) {
    names.clear();  // the score table below then names them
  }
  const int playerField = names.empty() ? scores_->FieldIndex(score_field::kPlayer) : -1;
  for (size_t row = 0; playerField >= 0 && row < scores_->VisibleRowCount(); ++row) {
    add(NullToStr(scores_->ValueAt(row, static_cast<size_t>(playerField)), ""));
  }
  const QSignalBlocker blocker(ComboJatekos);
  for (const std::string& name : names) ComboJatekos->addItem(ToQ(name));
  const auto found = std::find(names.begin(), names.end(), player);
  ComboJatekos->setCurrentIndex(found != names.end() ? static_cast<int>(found - names.begin())
                                                     : (names.empty() ? -1 : 0));
}

// ---- the key table in the background -------------------------------------------------------

void Tfrm_Statisztika::StartKeyLoad() {
  ReadKeyTalliesInBackground(dataDir_ / std::string(kKeyFileName),
                             {periodStarts_.begin(), periodStarts_.end()}, this,
                             [this](const auto& load) { KeysArrived(load); });
}

void Tfrm_Statisztika::KeysArrived(const std::shared_ptr<const KeyTalliesRead>& load) {
  keys_ = load;
  Guarded([this] { ShowKeys(); });
  emit KeyTalliesShown();
}

// ---- showing the choice --------------------------------------------------------------------

std::string Tfrm_Statisztika::ChosenPlayer() const {
  return ComboJatekos->currentIndex() < 0 ? std::string() : FromQ(ComboJatekos->currentText());
}

const std::vector<KeyTally>* Tfrm_Statisztika::ShownTallies() const {
  if (!keys_ || !keys_->error.isEmpty()) return nullptr;
  const auto it = keys_->tallies.find(ChosenPlayer());
  const auto period = static_cast<size_t>(std::max(0, ComboIdoszak->currentIndex()));
  static const std::vector<KeyTally> kNone;
  return it == keys_->tallies.end() ? &kNone : &it->second.at(period);
}

void Tfrm_Statisztika::ShowSelection() {
  const auto period = static_cast<size_t>(std::max(0, ComboIdoszak->currentIndex()));
  Grafikon->SetDays(DailyProgress(*scores_, ChosenPlayer(), periodStarts_.at(period)));
  ShowKeys();
}

void Tfrm_Statisztika::ShowKeys() {
  const std::vector<KeyTally>* tallies = ShownTallies();
  if (keys_ && !keys_->error.isEmpty()) {
    Billentyuzet->SetMessage(keys_->error);
  } else if (tallies != nullptr) {
    Billentyuzet->SetMessage({});
  }
  const std::vector<KeyTally> none;
  const std::vector<KeyTally>& shown = tallies != nullptr ? *tallies : none;
  // Without tallies the keys stay plain: nothing is known of them, not too little.
  Billentyuzet->SetKeyPaints(tallies != nullptr ? KeyPaints(Billentyuzet->Board(), shown)
                                                : std::vector<KeyPaint>{});
  ShowWorstKeys(shown);
  ShowFingers(shown);
  ButtonGyakorlo->setEnabled(!WorstKeys(shown, kDrillKeyCount, kDrillMinJudged).empty());
}

void Tfrm_Statisztika::ShowWorstKeys(const std::vector<KeyTally>& tallies) {
  if (!keys_) {
    LabelGyenge->setText(QStringLiteral("Betöltés…"));
    return;
  }
  QStringList lines;
  for (const KeyTally& tally : WorstKeys(tallies, kWorstShown, kRatedFrom)) {
    lines << WorstLine(tally);
  }
  LabelGyenge->setText(lines.isEmpty() ? QStringLiteral("Nincs még elég adat.")
                                       : lines.join(QLatin1Char('\n')));
}

void Tfrm_Statisztika::ShowFingers(const std::vector<KeyTally>& tallies) {
  const auto fingers = FingerTallies(tallies, Billentyuzet->Board());
  for (size_t i = 0; i < kFingerCount; ++i) {
    const KeyTally sum{0, fingers[i].judged, fingers[i].wrong, {}, 0};
    QLabel* label = fingerRates_[i];
    QPalette palette = label->palette();
    if (FewData(sum)) {
      label->setText(QStringLiteral("–"));
      palette.setColor(QPalette::Window, this->palette().color(QPalette::Window));
    } else {
      label->setText(Percent(ErrorRate(sum)) + QStringLiteral(" "));
      palette.setColor(QPalette::Window, RateColor(ErrorRate(sum)));
    }
    label->setPalette(palette);
  }
}

// ---- handlers --------------------------------------------------------------------------------

void Tfrm_Statisztika::DrillClicked() {
  const std::vector<KeyTally>* tallies = ShownTallies();
  if (tallies == nullptr) return;
  drill_ = WeakKeyDrill(*tallies, ReadWordList(WordListFile(bundleDir_)));
  if (!drill_) return;
  emit DrillChosen();
  accept();
}

}  // namespace pekto
