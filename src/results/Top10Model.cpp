// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Top10Model.h"

#include <QDate>
#include <QLocale>
#include <variant>

#include "platform/Colors.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "results/CsvTable.h"

namespace pekto {
namespace {

// Texts as the grid shows them: numbers without grouping, dates in the user's short form.
struct CellText {
  QString operator()(int32_t value) const { return QString::number(value); }
  QString operator()(double value) const {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
  }
  QString operator()(const std::string& text) const { return ToQ(text); }
  QString operator()(const Date& date) const {
    return QLocale().toString(QDate(date.year, date.month, date.day), QLocale::ShortFormat);
  }
};

}  // namespace

Top10Model::Top10Model(const CsvTable& table, int32_t highlightId, QObject* parent)
    : QAbstractTableModel(parent), table_(table), highlightId_(highlightId) {
  Reload();
}

QString Top10Model::Title(int column) {
  static const std::array<QString, kScoreColumns.size()> kTitles = {
      QStringLiteral("%"),      QStringLiteral("játékos"), QStringLiteral("összes"),
      QStringLiteral("helyes"), QStringLiteral("hibás"),   QStringLiteral("idő (sec)"),
      QStringLiteral("dátum")};
  if (column < 0 || column >= static_cast<int>(kTitles.size())) return {};
  return kTitles[static_cast<size_t>(column)];
}

QColor Top10Model::NewRowColor() {
  return QColor(255, 236, 236);
}

int Top10Model::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.VisibleRowCount());
}

int Top10Model::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kScoreColumns.size());
}

QVariant Top10Model::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Text(index.row(), index.column());
    case Qt::TextAlignmentRole: {
      const std::string_view field = kScoreColumns[static_cast<size_t>(index.column())].field;
      const bool left = field == score_field::kPlayer || field == score_field::kDate;
      return QVariant::fromValue((left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
      return Background(index.row(), index.column());
    default:
      return {};
  }
}

QVariant Top10Model::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return Title(section);
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  }
  return {};  // the row indicator carries no text
}

Qt::ItemFlags Top10Model::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void Top10Model::Reload() {
  beginResetModel();
  // A loaded score file brings its own field list: find the shown fields in it again.
  for (size_t i = 0; i < kScoreColumns.size(); ++i) {
    fieldOf_[i] = table_.FieldIndex(kScoreColumns[i].field);
  }
  idField_ = table_.FieldIndex(score_field::kId);
  endResetModel();
}

void Top10Model::HighlightColumn(int column) {
  highlighted_ = column;
  const int rows = rowCount();
  if (rows > 0) {
    emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1), {Qt::BackgroundRole});
  }
}

QString Top10Model::Text(int row, int column) const {
  const int field = fieldOf_[static_cast<size_t>(column)];
  if (field < 0) return {};
  const NullableValue value = table_.ValueAt(static_cast<size_t>(row), static_cast<size_t>(field));
  if (!value) return {};
  return std::visit(CellText{}, *value);
}

QVariant Top10Model::Background(int row, int column) const {
  if (column == highlighted_) return ColorFromValue(Startup().HighlightColor);
  if (IsNewRow(row)) return NewRowColor();
  return ColorFromValue(kClWindow);
}

bool Top10Model::IsNewRow(int row) const {
  if (idField_ < 0 || highlightId_ == kNoHighlight) return false;
  const NullableValue id = table_.ValueAt(static_cast<size_t>(row), static_cast<size_t>(idField_));
  return id && std::holds_alternative<int32_t>(*id) && std::get<int32_t>(*id) == highlightId_;
}

}  // namespace pekto
