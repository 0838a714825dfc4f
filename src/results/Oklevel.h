// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The certificate of one recorded result: a one-page printout shown in a print preview.

#include <QDialog>
#include <cstdint>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QProgressBar;
class QWidget;

namespace pekto {

class CsvTable;
class PrintDocument;
class TQrOklevel;

// Shows the certificate of the score row `id` among the rows that `shown` (the results
// window's table) shows now, in a print-preview window; returns when it has closed.
void PrintCertificate(const CsvTable& shown, int32_t id, QWidget* owner);

// The print-preview window "Nyomtatási kép": a document's pages, zoom, paging, printer set-up,
// printing, saving as a PDF file. `document` and `printer` must outlive the window.
class Tfrm_Preview : public QDialog {
  Q_OBJECT

 public:
  Tfrm_Preview(PrintDocument& document, QPrinter& printer, QWidget* owner);
  // The certificate of `report`, which must outlive the window.
  Tfrm_Preview(TQrOklevel& report, QPrinter& printer, QWidget* owner);
  ~Tfrm_Preview() override;

  // Commands; each runs guarded when triggered from the window.
  void aEgeszOldalExecute();
  void aSzazSzazalekExecute();
  void aOldalszelessegExecute();
  void aElsoExecute();
  void aElozoExecute();
  void aKovetkezoExecute();
  void aUtolsoExecute();
  void aBeallitExecute();
  void aNyomtatExecute();
  void aMentExecute();

 private:
  Tfrm_Preview(std::unique_ptr<PrintDocument> document, QPrinter& printer, QWidget* owner);
  void CreateActions();
  void CreateToolBar(QWidget* parent);
  void CreateStatusBar(QWidget* parent);
  void CentreOnScreen(QWidget* owner);
  void QRPreviewPaintRequested(QPrinter* printer);
  void ShowPageNumber();
  void GoToPage(int page);
  bool HasDestination() const;
  // The print dialog; `toPrint` when printing follows at once. False when it was cancelled.
  bool ChoosePrinter(bool toPrint);
  QString SuggestedPdfPath() const;

  std::unique_ptr<PrintDocument> owned_;  // the certificate's document, made here
  PrintDocument& document_;
  QPrinter& printer_;
  QPrintPreviewWidget* QRPreview = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* LabelOldal = nullptr;
  QAction* aEgeszOldal = nullptr;
  QAction* aSzazSzazalek = nullptr;
  QAction* aOldalszelesseg = nullptr;
  QAction* aElso = nullptr;
  QAction* aElozo = nullptr;
  QAction* aKovetkezo = nullptr;
  QAction* aUtolso = nullptr;
  QAction* aBeallit = nullptr;
  QAction* aNyomtat = nullptr;
  QAction* aMent = nullptr;
  QAction* aBezar = nullptr;
};

}  // namespace pekto
