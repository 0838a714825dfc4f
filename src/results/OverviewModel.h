// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class overview's table (results/ClassOverview.h) for a QTableView, sortable by any column,
// and its printout.

#include <QAbstractTableModel>
#include <QDate>
#include <QStringList>
#include <vector>

#include "results/ClassOverview.h"
#include "results/PrintDocument.h"

namespace pekto {

class Collator;

// "2026. 12. 10.", as dates are written in Hungarian.
QString HungarianDate(QDate date);
// "Csoport összesítő 2025-09-01 – 2026-06-15.<suffix>": the name a saved overview is offered.
QString OverviewFileName(QDate from, QDate to, const QString& suffix);

class OverviewModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kName, kLessons, kDays, kLast, kBest, kPercent, kWeakKeys, kColumnCount };

  // `collator` orders the names and must outlive the model.
  OverviewModel(const Collator& collator, QObject* parent);

  // New rows, in the order of the last sort; the weak keys are "being read" until SetKeys.
  void SetRows(std::vector<PlayerOverview> rows);
  // The weak keys of the rows have arrived (from `tallies`), or cannot be read (`failed`).
  void SetKeys(const PlayerKeyTallies& tallies);
  void SetKeysFailed();

  // The text of a cell as shown: numbers as a Hungarian spreadsheet reads them ("96,4").
  QString Text(int row, int column) const;
  static QString Title(int column);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Numbers by value, names by the collator, the weak keys by the worst key's error rate.
  void sort(int column, Qt::SortOrder order) override;

 private:
  enum class Keys { Reading, Read, Failed };
  bool Less(const PlayerOverview& a, const PlayerOverview& b, int column) const;
  void Resort();

  const Collator& collator_;
  std::vector<PlayerOverview> rows_;
  Keys keys_ = Keys::Reading;
  int sortColumn_ = kName;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// The overview as a printout: A4 portrait, a title, the range and the date of printing above a
// table of the shown cells, as many pages as the rows need, each with its column titles and
// page number.
class OverviewDocument : public PrintDocument {
 public:
  // The range from `from` to `to`; `cells`: the column titles, then the rows.
  OverviewDocument(QDate from, QDate to, std::vector<QStringList> cells);

  QString JobTitle() const override;
  QString PrintingText() const override;
  QString PdfCaption() const override;
  QString PdfFileName() const override;
  int LayOut(const QPaintDevice& device) override;
  void PaintPage(QPainter& painter, const QPaintDevice& device, int index) const override;

 private:
  QDate from_;
  QDate to_;
  std::vector<QStringList> cells_;
  int rowsPerPage_ = 1;
  int pages_ = 1;
};

}  // namespace pekto
