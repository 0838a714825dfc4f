// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Osszesito.h"

#include <QDate>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtCollator.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "results/ClassOverview.h"
#include "results/CsvTable.h"
#include "results/KeyLoad.h"
#include "results/KeyTable.h"
#include "results/Oklevel.h"
#include "results/OverviewModel.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr int kDesignWidth = 860;
constexpr int kDesignHeight = 560;

QDate ToQDate(Date date) {
  return QDate(date.year, date.month, date.day);
}

Date FromQDate(QDate date) {
  return Date{date.year(), date.month(), date.day()};
}

}  // namespace

Date SchoolYearStart(Date today) {
  return Date{today.month >= 9 ? today.year : today.year - 1, 9, 1};
}

void ShowClassOverview(QWidget* owner) {
  const Date today = FromQDate(QDate::currentDate());
  std::unique_ptr<Tfrm_Osszesito> window;
  try {
    window =
        std::make_unique<Tfrm_Osszesito>(Startup().DataDir, SchoolYearStart(today), today, owner);
  } catch (const Error& e) {
    ShowError(ToQ(e.what()), owner);
    return;
  }
  ExecDialog(*window);
}

// ---- composition ---------------------------------------------------------------------------

Tfrm_Osszesito::Tfrm_Osszesito(fs::path dataDir, Date from, Date to, QWidget* owner)
    : FormDialog(owner, {.section = "frm_Osszesito",
                         .resizable = true,
                         .designSize = QSize(kDesignWidth, kDesignHeight)}),
      dataDir_(std::move(dataDir)),
      // Hungarian names in Hungarian order, whatever language the system speaks.
      collator_(std::make_unique<QtCollator>(QLocale(QLocale::Hungarian, QLocale::Hungary))),
      scores_(std::make_unique<CsvTable>("Tbl", ScoreSchema(), nullptr)) {
  setObjectName(QStringLiteral("frm_Osszesito"));
  setWindowTitle(QStringLiteral("Csoport összesítő"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  QFont base(QStringLiteral("Tahoma"));
  base.setPixelSize(11);
  setFont(base);

  scores_->Open();
  const fs::path scoreFile = dataDir_ / "Score.csv";
  std::error_code ec;
  if (fs::exists(scoreFile, ec)) scores_->LoadFile(scoreFile);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(12, 8, 12, 10);
  column->setSpacing(8);
  column->addWidget(CreateRangeBar());
  CreateGrid();
  column->addWidget(TablaOsszesito, 1);
  column->addWidget(CreateButtonBar());
  SetRange(from, to);
}

Tfrm_Osszesito::~Tfrm_Osszesito() = default;

QWidget* Tfrm_Osszesito::CreateRangeBar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  const auto dateEdit = [bar](const char* name) {
    auto* edit = new QDateEdit(bar);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QStringLiteral("yyyy. MM. dd."));
    edit->setCalendarPopup(true);
    return edit;
  };
  DateTol = dateEdit("DateTol");
  DateIg = dateEdit("DateIg");
  auto* label = new QLabel(QStringLiteral("&Időszak:"), bar);
  label->setBuddy(DateTol);
  row->addWidget(label);
  row->addWidget(DateTol);
  row->addWidget(new QLabel(QStringLiteral("–"), bar));
  row->addWidget(DateIg);
  row->addSpacing(14);
  LabelAllapot = new QLabel(bar);
  LabelAllapot->setObjectName(QStringLiteral("LabelAllapot"));
  LabelAllapot->setTextFormat(Qt::PlainText);
  row->addWidget(LabelAllapot, 1);
  auto* title = new QLabel(QStringLiteral("Csoport összesítő"), bar);
  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(15);
  titleFont.setBold(true);
  title->setFont(titleFont);
  row->addWidget(title);
  for (QDateEdit* edit : {DateTol, DateIg}) {
    connect(edit, &QDateEdit::dateChanged, this, [this] { Guarded([this] { RangeChanged(); }); });
  }
  return bar;
}

void Tfrm_Osszesito::CreateGrid() {
  model_ = new OverviewModel(*collator_, this);
  TablaOsszesito = new QTableView(this);
  TablaOsszesito->setObjectName(QStringLiteral("TablaOsszesito"));
  TablaOsszesito->setModel(model_);
  TablaOsszesito->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TablaOsszesito->setSelectionBehavior(QAbstractItemView::SelectRows);
  TablaOsszesito->setSelectionMode(QAbstractItemView::SingleSelection);
  TablaOsszesito->setWordWrap(false);
  TablaOsszesito->verticalHeader()->hide();
  TablaOsszesito->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
  QHeaderView* titles = TablaOsszesito->horizontalHeader();
  titles->setSectionResizeMode(QHeaderView::Interactive);
  titles->setStretchLastSection(true);
  const std::array<int, OverviewModel::kColumnCount> widths = {190, 60, 60, 120, 125, 80, 170};
  for (int i = 0; i < OverviewModel::kColumnCount; ++i) {
    titles->resizeSection(i, widths[static_cast<size_t>(i)]);
  }
  titles->setSortIndicator(OverviewModel::kName, Qt::AscendingOrder);
  TablaOsszesito->setSortingEnabled(true);
}

QWidget* Tfrm_Osszesito::CreateButtonBar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  const auto button = [&](const QString& caption, const char* name) {
    auto* b = new QPushButton(caption, bar);
    b->setObjectName(QString::fromLatin1(name));
    row->addWidget(b);
    return b;
  };
  ButtonNyomtat = button(QStringLiteral("&Nyomtatás…"), "ButtonNyomtat");
  ButtonCsv = button(QStringLiteral("Mentés &CSV-be…"), "ButtonCsv");
  ButtonCsv->setToolTip(
      QStringLiteral("A táblázat mentése táblázatkezelőnek (pl. Excel) "
                     "pontosvesszővel tagolt fájlba"));
  row->addStretch(1);
  ButtonBezar = button(QStringLiteral("Bezár"), "ButtonBezar");
  connect(ButtonNyomtat, &QPushButton::clicked, this,
          [this] { Guarded([this] { PrintClicked(); }); });
  connect(ButtonCsv, &QPushButton::clicked, this, [this] { Guarded([this] { CsvClicked(); }); });
  connect(ButtonBezar, &QPushButton::clicked, this, &QDialog::reject);
  return bar;
}

// ---- the range -------------------------------------------------------------------------------

void Tfrm_Osszesito::SetRange(Date from, Date to) {
  {
    const QSignalBlocker blockFrom(DateTol), blockTo(DateIg);
    DateTol->setDate(ToQDate(from));
    DateIg->setDate(ToQDate(to));
  }
  RangeChanged();
}

void Tfrm_Osszesito::RangeChanged() {
  const Date from = FromQDate(DateTol->date());
  const Date to = FromQDate(DateIg->date());
  model_->SetRows(OverviewRows(*scores_, from, to));
  keyError_.clear();
  StartKeyLoad(from, to);
  ShowCount();
}

void Tfrm_Osszesito::ShowCount() {
  QString text = model_->rowCount() == 0
                     ? QStringLiteral("Ebben az időszakban senki sem gyakorolt.")
                     : QStringLiteral("%1 játékos").arg(model_->rowCount());
  if (!keyError_.isEmpty()) text += QStringLiteral(" – ") + keyError_;
  LabelAllapot->setText(text);
}

// ---- the key table in the background -------------------------------------------------------

// Every player's tallies since the range's first day and since the day after its last: the
// range is the difference.
void Tfrm_Osszesito::StartKeyLoad(Date from, Date to) {
  const int load = ++keyLoads_;
  ReadKeyTalliesInBackground(dataDir_ / std::string(kKeyFileName),
                             {from, FromQDate(ToQDate(to).addDays(1))}, this,
                             [this, load](const auto& read) {
                               if (keyLoads_ == load) KeysArrived(*read);
                             });
}

void Tfrm_Osszesito::KeysArrived(const KeyTalliesRead& load) {
  Guarded([&] {
    if (load.error.isEmpty()) {
      model_->SetKeys(load.tallies);
    } else {
      keyError_ = load.error;
      model_->SetKeysFailed();
    }
    ShowCount();
  });
  emit KeysShown();
}

// ---- printing and saving -----------------------------------------------------------------------

std::vector<std::vector<std::string>> Tfrm_Osszesito::ShownCells() const {
  std::vector<std::vector<std::string>> lines;
  std::vector<std::string> titles;
  for (int column = 0; column < OverviewModel::kColumnCount; ++column) {
    titles.push_back(OverviewModel::Title(column).toStdString());
  }
  lines.push_back(std::move(titles));
  for (int row = 0; row < model_->rowCount(); ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < OverviewModel::kColumnCount; ++column) {
      cells.push_back(model_->Text(row, column).toStdString());
    }
    lines.push_back(std::move(cells));
  }
  return lines;
}

void Tfrm_Osszesito::SaveCsv(const fs::path& path) const {
  WriteFileContent(path, SpreadsheetCsv(ShownCells()));
}

void Tfrm_Osszesito::PrintClicked() {
  std::vector<QStringList> cells;
  for (const std::vector<std::string>& line : ShownCells()) {
    QStringList texts;
    for (const std::string& cell : line) texts << QString::fromStdString(cell);
    cells.push_back(std::move(texts));
  }
  OverviewDocument document(DateTol->date(), DateIg->date(), std::move(cells));
  QPrinter printer(QPrinter::HighResolution);
  Tfrm_Preview preview(document, printer, this);
  ExecDialog(preview);
}

void Tfrm_Osszesito::CsvClicked() {
  const QString name = OverviewFileName(DateTol->date(), DateIg->date(), QStringLiteral("csv"));
  const auto path = AskSaveFile(*this, QStringLiteral("Csoport összesítő mentése CSV-fájlba"),
                                DocumentsFolder() + u'/' + name,
                                QStringLiteral("CSV-fájl, pontosvesszővel tagolt (*.csv)"),
                                QStringLiteral("csv"));
  if (path) SaveCsv(*path);
}

}  // namespace pekto
