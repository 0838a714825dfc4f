// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results window: the recorded scores of one lesson at a time, best first.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Form.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStatusBar;
class QTableView;
class QToolBar;

namespace pekto {

class CsvTable;
class QtCollator;
class Top10Model;

// Opens the results window modally on the lesson `title` (Windows-1250; empty for the first
// lesson of the list), with the score row `highlightId` painted (-1 for none). A score file
// that cannot be read throws pekto::Error before the window shows.
void ShowResults(const std::string& title, int32_t highlightId, QWidget* owner);

// The window "Eredmények" (frm_Top10). It reads Score.csv and never writes it.
class Tfrm_Top10 : public FormDialog {
  Q_OBJECT

 public:
  // Shows the certificate of a score row of the table (PrintCertificate unless replaced).
  using CertificatePrinter = std::function<void(const CsvTable& shown, int32_t id, QWidget*)>;

  Tfrm_Top10(int32_t highlightId, QWidget* owner);
  ~Tfrm_Top10() override;

  // Reads Score.csv from the data folder, fills the lesson list, sorts by percentage and shows
  // the lesson `title` (empty: the first of the list). Throws pekto::Error when the file cannot
  // be read.
  void LoadScores(const std::string& title);

  void SetCertificatePrinter(CertificatePrinter printer) { printCertificate_ = std::move(printer); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  QToolBar* CreateToolBar();
  void SizeToolButtons();
  QWidget* CreateLessonBar();
  QTableView* CreateGrid();

  void ShowLesson(const std::string& title);
  void SelectFirstRow();
  void SetCurrentRow(int row);

  void FormShow() override;
  void FormResize();
  void ComboBox1CloseUp();
  void DBGrid1TitleClick(int column);
  void ShowPopupMenu(QWidget* source, const QPoint& pos);
  void aOklevelExecute();
  void aStatisztikaExecute();
  void aOsszesitoExecute();
  void aBezarExecute();
  void aFrissitExecute();

  std::unique_ptr<QtCollator> collator_;
  std::unique_ptr<CsvTable> table_;
  Top10Model* model_ = nullptr;
  CertificatePrinter printCertificate_;

  QAction* aOklevel = nullptr;
  QAction* aStatisztika = nullptr;
  QAction* aOsszesito = nullptr;
  QAction* aBezar = nullptr;
  QAction* aFrissit = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QLabel* Label1 = nullptr;  // "Top 10  "
  QTableView* DBGrid1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
};

}  // namespace pekto
