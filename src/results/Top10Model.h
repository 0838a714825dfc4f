// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results grid's model: the rows the score table shows, read straight from the table when a
// cell is drawn, so that opening the window costs nothing per row.

#include <QAbstractTableModel>
#include <QColor>
#include <array>
#include <cstdint>

#include "results/ScoreView.h"

namespace pekto {

class CsvTable;

class Top10Model : public QAbstractTableModel {
 public:
  // The highlight id that paints no row, whatever ids the score file holds.
  static constexpr int32_t kNoHighlight = -1;

  // Shows `table`, which must outlive the model, with the row whose id is `highlightId` painted
  // as the new result.
  Top10Model(const CsvTable& table, int32_t highlightId, QObject* parent = nullptr);

  // The column titles, the same whatever fields a loaded score file brings.
  static QString Title(int column);
  // The background of the rows' new result, RGB 255, 236, 236.
  static QColor NewRowColor();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Call after the table's rows, filter or order have changed.
  void Reload();
  // Gives every column the window background and `column` the highlight colour.
  void HighlightColumn(int column);

 private:
  QString Text(int row, int column) const;
  QVariant Background(int row, int column) const;
  bool IsNewRow(int row) const;

  const CsvTable& table_;
  const int32_t highlightId_;
  int highlighted_ = 0;
  std::array<int, kScoreColumns.size()> fieldOf_{};  // the table's field per column, -1 none
  int idField_ = -1;
};

}  // namespace pekto
