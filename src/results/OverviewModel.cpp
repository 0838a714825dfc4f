// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/OverviewModel.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/Collator.h"
#include "platform/QtText.h"

namespace pekto {
namespace {

// "96,4": one decimal, a decimal comma and no group separator, as a Hungarian spreadsheet
// reads a number.
QString Decimal(double value) {
  QLocale locale(QLocale::Hungarian, QLocale::Hungary);
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(value, 'f', 1);
}

// "ő 23%  ö 12%  e 5%": two blanks between the keys, as the comma is a key too.
QString WeakKeysText(const std::vector<KeyTally>& keys) {
  QStringList parts;
  for (const KeyTally& key : keys) {
    parts << ToQ(KeyName(key.ch)) + QStringLiteral(" %1%").arg(std::lround(ErrorRate(key) * 100));
  }
  return parts.isEmpty() ? QStringLiteral("–") : parts.join(QStringLiteral("  "));
}

double WorstRate(const PlayerOverview& row) {
  return row.weakest.empty() ? 0.0 : ErrorRate(row.weakest.front());
}

bool IsNumber(int column) {
  return column != OverviewModel::kName && column != OverviewModel::kWeakKeys;
}

}  // namespace

OverviewModel::OverviewModel(const Collator& collator, QObject* parent)
    : QAbstractTableModel(parent), collator_(collator) {}

void OverviewModel::SetRows(std::vector<PlayerOverview> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  keys_ = Keys::Reading;
  Resort();
  endResetModel();
}

void OverviewModel::SetKeys(const PlayerKeyTallies& tallies) {
  SetWeakestKeys(rows_, tallies);
  keys_ = Keys::Read;
  if (sortColumn_ == kWeakKeys) {
    emit layoutAboutToBeChanged();
    Resort();
    emit layoutChanged();
  }
  if (!rows_.empty()) emit dataChanged(index(0, kWeakKeys), index(rowCount() - 1, kWeakKeys));
}

void OverviewModel::SetKeysFailed() {
  keys_ = Keys::Failed;
  if (!rows_.empty()) emit dataChanged(index(0, kWeakKeys), index(rowCount() - 1, kWeakKeys));
}

QString OverviewModel::Text(int row, int column) const {
  const PlayerOverview& r = rows_.at(static_cast<size_t>(row));
  switch (column) {
    case kName:
      return ToQ(r.player);
    case kLessons:
      return QString::number(r.lessons);
    case kDays:
      return QString::number(r.days);
    case kLast:
      return QString::number(r.lastPerMinute);
    case kBest:
      return QString::number(r.bestPerMinute);
    case kPercent:
      return Decimal(CorrectPercent(r));
    case kWeakKeys:
      if (keys_ == Keys::Reading) return QStringLiteral("Betöltés…");
      return keys_ == Keys::Failed ? QStringLiteral("?") : WeakKeysText(r.weakest);
    default:
      return {};
  }
}

QString OverviewModel::Title(int column) {
  static const std::array<const char*, kColumnCount> titles = {"Játékos",
                                                               "Leckék",
                                                               "Napok",
                                                               "Utolsó leütés/perc",
                                                               "Legjobb leütés/perc",
                                                               "Helyes (%)",
                                                               "Leggyengébb billentyűk"};
  return column >= 0 && column < kColumnCount
             ? QString::fromUtf8(titles[static_cast<size_t>(column)])
             : QString();
}

int OverviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int OverviewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant OverviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Text(index.row(), index.column());
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (IsNumber(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::ForegroundRole:
      if (index.column() == kWeakKeys && keys_ == Keys::Reading) return QColor(Qt::gray);
      return {};
    default:
      return {};
  }
}

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return Title(section);
  if (role != Qt::ToolTipRole) return {};
  switch (section) {
    case kLessons:
      return QStringLiteral("Az időszakban elvégzett leckék száma (az ismétlések is)");
    case kDays:
      return QStringLiteral("Hány napon gyakorolt az időszakban");
    case kLast:
      return QStringLiteral("Az utolsó lecke sebessége: leütések száma percenként");
    case kBest:
      return QStringLiteral("A leggyorsabb lecke sebessége: leütések száma percenként");
    case kPercent:
      return QStringLiteral("A helyes leütések aránya az időszak összes leütéséből");
    case kWeakKeys:
      return QStringLiteral(
                 "A legtöbbet tévesztett három billentyű és hibaarányuk (legalább "
                 "%1 leütés mindegyikből)")
          .arg(kOverviewMinJudged);
    default:
      return {};
  }
}

bool OverviewModel::Less(const PlayerOverview& a, const PlayerOverview& b, int column) const {
  switch (column) {
    case kLessons:
      return a.lessons < b.lessons;
    case kDays:
      return a.days < b.days;
    case kLast:
      return a.lastPerMinute < b.lastPerMinute;
    case kBest:
      return a.bestPerMinute < b.bestPerMinute;
    case kPercent:
      return CorrectPercent(a) < CorrectPercent(b);
    case kWeakKeys:
      return WorstRate(a) < WorstRate(b);
    default:
      return collator_.Compare(a.player, b.player, true) < 0;
  }
}

void OverviewModel::Resort() {
  // Equal values keep the order of the names.
  std::sort(rows_.begin(), rows_.end(),
            [this](const PlayerOverview& a, const PlayerOverview& b) { return Less(a, b, kName); });
  if (sortColumn_ == kName && sortOrder_ == Qt::AscendingOrder) return;
  std::stable_sort(
      rows_.begin(), rows_.end(), [this](const PlayerOverview& a, const PlayerOverview& b) {
        return sortOrder_ == Qt::AscendingOrder ? Less(a, b, sortColumn_) : Less(b, a, sortColumn_);
      });
}

void OverviewModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= kColumnCount) return;
  emit layoutAboutToBeChanged();
  sortColumn_ = column;
  sortOrder_ = order;
  Resort();
  emit layoutChanged();
}

// ---- the printout ----------------------------------------------------------------------------

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kMarginMm = 15;
// The columns' shares of the table's width.
constexpr std::array<double, OverviewModel::kColumnCount> kColumnWeights = {30, 9,  9, 12,
                                                                            12, 10, 28};

QFont PrintFont(double points, bool bold) {
  QFont font(QStringLiteral("Arial"));
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// Where things go on a page, in device units.
struct PageGeometry {
  double mm = 1;  // device units per millimetre
  QRectF area;    // inside the margins
  QFont title = PrintFont(16, true), text = PrintFont(9.5, false), head = PrintFont(8, true);
  double line = 0;  // a line of the table's text
  double rowHeight = 0;
  double headHeight = 0;  // the column titles: up to three lines
  double tableTop = 0;
  double footerTop = 0;

  explicit PageGeometry(const QPaintDevice& device) : mm(device.logicalDpiX() / kMmPerInch) {
    area = QRectF(kMarginMm * mm, kMarginMm * mm, device.width() - 2 * kMarginMm * mm,
                  device.height() - 2 * kMarginMm * mm);
    line = QFontMetricsF(text, &device).height();
    rowHeight = line * 1.5;
    headHeight = QFontMetricsF(head, &device).height() * 3.3;
    tableTop = area.top() + QFontMetricsF(title, &device).height() + 2 * line + 6 * mm;
    footerTop = area.bottom() - line;
  }
  int RowsPerPage() const {
    return std::max(1, static_cast<int>((footerTop - 3 * mm - tableTop - headHeight) / rowHeight));
  }
  std::array<QRectF, OverviewModel::kColumnCount> Columns(double top, double height) const {
    double total = 0;
    for (const double w : kColumnWeights) total += w;
    std::array<QRectF, OverviewModel::kColumnCount> columns;
    double x = area.left();
    for (size_t i = 0; i < columns.size(); ++i) {
      const double width = area.width() * kColumnWeights[i] / total;
      columns[i] = QRectF(x, top, width, height);
      x += width;
    }
    return columns;
  }
};

void PaintRow(QPainter& painter, const PageGeometry& page, const QStringList& cells, double top,
              double height, bool head) {
  const auto columns = page.Columns(top, height);
  const double pad = 1.5 * page.mm;
  for (int i = 0; i < OverviewModel::kColumnCount && i < cells.size(); ++i) {
    const QRectF box = columns[static_cast<size_t>(i)].adjusted(pad, 0, -pad, 0);
    const int align = head ? Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap
                           : Qt::AlignVCenter | (IsNumber(i) ? Qt::AlignRight : Qt::AlignLeft);
    const QString text =
        head ? cells[i]
             : QFontMetricsF(painter.font()).elidedText(cells[i], Qt::ElideRight, box.width());
    painter.drawText(box, align, text);
  }
}

}  // namespace

QString HungarianDate(QDate date) {
  return date.toString(QStringLiteral("yyyy. MM. dd."));
}

QString OverviewFileName(QDate from, QDate to, const QString& suffix) {
  return QStringLiteral("Csoport összesítő %1 – %2.%3")
      .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate), suffix);
}

OverviewDocument::OverviewDocument(QDate from, QDate to, std::vector<QStringList> cells)
    : from_(from), to_(to), cells_(std::move(cells)) {}

QString OverviewDocument::JobTitle() const {
  return QStringLiteral("Csoport összesítő");
}

QString OverviewDocument::PrintingText() const {
  return QStringLiteral("A csoport összesítőjének nyomtatása…");
}

QString OverviewDocument::PdfCaption() const {
  return QStringLiteral("Csoport összesítő mentése PDF-fájlba");
}

QString OverviewDocument::PdfFileName() const {
  return OverviewFileName(from_, to_, QStringLiteral("pdf"));
}

int OverviewDocument::LayOut(const QPaintDevice& device) {
  rowsPerPage_ = PageGeometry(device).RowsPerPage();
  const int rows = std::max(0, static_cast<int>(cells_.size()) - 1);
  pages_ = std::max(1, (rows + rowsPerPage_ - 1) / rowsPerPage_);
  return pages_;
}

void OverviewDocument::PaintPage(QPainter& painter, const QPaintDevice& device, int index) const {
  const PageGeometry page(device);
  painter.save();
  painter.setPen(QPen(Qt::black, 0.25 * page.mm));
  painter.setFont(page.title);
  const double titleHeight = QFontMetricsF(page.title, &device).height();
  painter.drawText(QRectF(page.area.left(), page.area.top(), page.area.width(), titleHeight),
                   Qt::AlignLeft | Qt::AlignTop, JobTitle());
  painter.setFont(page.text);
  const double infoTop = page.area.top() + titleHeight + 2 * page.mm;
  painter.drawText(
      QRectF(page.area.left(), infoTop, page.area.width(), page.line), Qt::AlignLeft,
      QStringLiteral("Időszak: %1 – %2").arg(HungarianDate(from_), HungarianDate(to_)));
  painter.drawText(QRectF(page.area.left(), infoTop, page.area.width(), page.line), Qt::AlignRight,
                   QStringLiteral("Nyomtatva: ") + HungarianDate(QDate::currentDate()));

  // The column titles on a grey band, then the rows with a thin line under each.
  const QRectF head(page.area.left(), page.tableTop, page.area.width(), page.headHeight);
  painter.fillRect(head, QColor(0xE4, 0xE4, 0xE4));
  painter.setFont(page.head);
  if (!cells_.empty()) PaintRow(painter, page, cells_.front(), head.top(), head.height(), true);
  painter.drawLine(head.bottomLeft(), head.bottomRight());
  painter.setFont(page.text);
  const size_t first = 1 + static_cast<size_t>(index) * static_cast<size_t>(rowsPerPage_);
  const size_t end = std::min(cells_.size(), first + static_cast<size_t>(rowsPerPage_));
  double top = head.bottom();
  painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 0.15 * page.mm));
  for (size_t row = first; row < end; ++row) {
    painter.setPen(Qt::black);
    PaintRow(painter, page, cells_[row], top, page.rowHeight, false);
    top += page.rowHeight;
    painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 0.15 * page.mm));
    painter.drawLine(QPointF(page.area.left(), top), QPointF(page.area.right(), top));
  }
  painter.setPen(QPen(Qt::black, 0.25 * page.mm));
  painter.drawRect(QRectF(head.topLeft(), QPointF(page.area.right(), top)));

  const QRectF footer(page.area.left(), page.footerTop, page.area.width(), page.line);
  painter.drawText(footer, Qt::AlignLeft, QStringLiteral("Pekto – Csoport összesítő"));
  painter.drawText(footer, Qt::AlignRight,
                   QStringLiteral("%1. oldal (összesen %2)").arg(index + 1).arg(pages_));
  painter.restore();
}

}  // namespace pekto
