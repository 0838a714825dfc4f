// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class overview "Csoport összesítő" for the teacher of a computer room where several
// programs share the data folder: one row per player for a date range (lessons done, days
// practised, the last and the best keys per minute, the share of correct keys, the three
// weakest keys), sortable by any column, printed through the print preview or saved for a
// spreadsheet. It reads Score.csv and Keys.csv and writes neither; the key table is read in the
// background, the weak-key column filling in when it arrives.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Form.h"
#include "results/CsvValue.h"

class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

namespace pekto {

class CsvTable;
struct KeyTalliesRead;
class OverviewModel;
class QtCollator;

// Opens the class overview modally over the tables of the data folder, on the school year up to
// today. A score table that cannot be read is reported and opens no window.
void ShowClassOverview(QWidget* owner);

// The first day of the school year `today` falls in: 1 September.
Date SchoolYearStart(Date today);

class Tfrm_Osszesito : public FormDialog {
  Q_OBJECT

 public:
  // Reads Score.csv of `dataDir` (throws pekto::Error when it cannot be read) and shows the
  // range from `from` to `to`; Keys.csv is read in the background.
  Tfrm_Osszesito(std::filesystem::path dataDir, Date from, Date to, QWidget* owner);
  ~Tfrm_Osszesito() override;

  // Shows the rows of `from` to `to`, both included, as the date fields do.
  void SetRange(Date from, Date to);
  // The column titles and the rows as shown, in the shown order (UTF-8).
  std::vector<std::vector<std::string>> ShownCells() const;
  // Writes ShownCells as a spreadsheet file, all or nothing; throws pekto::Error.
  void SaveCsv(const std::filesystem::path& path) const;

 signals:
  // The weak keys of the range are in the table (or the reason why they cannot be).
  void KeysShown();

 private:
  QWidget* CreateRangeBar();
  QWidget* CreateButtonBar();
  void CreateGrid();
  void RangeChanged();
  void StartKeyLoad(Date from, Date to);
  void KeysArrived(const KeyTalliesRead& load);
  void ShowCount();
  void PrintClicked();
  void CsvClicked();

  std::filesystem::path dataDir_;
  std::unique_ptr<QtCollator> collator_;
  std::unique_ptr<CsvTable> scores_;
  int keyLoads_ = 0;  // the key loads started; an earlier one arriving late is ignored
  QString keyError_;

  QDateEdit* DateTol = nullptr;
  QDateEdit* DateIg = nullptr;
  QTableView* TablaOsszesito = nullptr;
  OverviewModel* model_ = nullptr;
  QLabel* LabelAllapot = nullptr;
  QPushButton* ButtonNyomtat = nullptr;
  QPushButton* ButtonCsv = nullptr;
  QPushButton* ButtonBezar = nullptr;
};

}  // namespace pekto
