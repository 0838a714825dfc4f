// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Oklevel.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "base/Commands.h"
#include "base/Form.h"
#include "platform/Dialogs.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "results/CertificateLayout.h"
#include "results/CertificatePainter.h"
#include "results/CsvTable.h"
#include "results/PrintDocument.h"

namespace pekto {
namespace {

constexpr int kDesignWidth = 760;
constexpr int kDesignHeight = 940;

// A4 in the document's orientation, painted from the paper's corner (the document keeps its own
// margins).
void SetUpPaper(QPrinter& printer, const PrintDocument& document) {
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(document.Orientation());
  printer.setFullPage(true);
  printer.setDocName(document.JobTitle());
}

// The first and last page (from 1) of the range chosen in the print dialog, all of the `count`
// pages when none was chosen; last < first when the range holds none.
std::pair<int, int> PagesToPrint(int count, const QPrinter& printer) {
  if (printer.printRange() != QPrinter::PageRange || printer.fromPage() < 1) return {1, count};
  const int first = std::min(printer.fromPage(), count + 1);
  const int last = std::clamp(printer.toPage() < 1 ? count : printer.toPage(), first - 1, count);
  return {first, last};
}

}  // namespace

void PrintCertificate(const CsvTable& shown, int32_t id, QWidget* owner) {
  TQrOklevel report;
  report.Prepare(shown, id);
  QPrinter printer(QPrinter::HighResolution);
  Tfrm_Preview preview(report, printer, owner);
  ExecDialog(preview);
}

Tfrm_Preview::Tfrm_Preview(TQrOklevel& report, QPrinter& printer, QWidget* owner)
    : Tfrm_Preview(std::make_unique<CertificateDocument>(report), printer, owner) {}

Tfrm_Preview::Tfrm_Preview(std::unique_ptr<PrintDocument> document, QPrinter& printer,
                           QWidget* owner)
    : Tfrm_Preview(*document, printer, owner) {
  owned_ = std::move(document);
}

Tfrm_Preview::~Tfrm_Preview() = default;

Tfrm_Preview::Tfrm_Preview(PrintDocument& document, QPrinter& printer, QWidget* owner)
    : QDialog(owner), document_(document), printer_(printer) {
  SetUpPaper(printer_, document_);
  setObjectName(QStringLiteral("frm_Preview"));
  setWindowTitle(QStringLiteral("Nyomtatási kép"));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setFont(ScreenFont(QFont(QStringLiteral("Tahoma"))));

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  CreateActions();
  CreateToolBar(this);
  QRPreview = new QPrintPreviewWidget(&printer_, this);
  QRPreview->setObjectName(QStringLiteral("QRPreview"));
  QRPreview->setViewMode(QPrintPreviewWidget::SinglePageView);
  QRPreview->fitInView();
  connect(QRPreview, &QPrintPreviewWidget::paintRequested, this,
          [this](QPrinter* device) { Guarded([&] { QRPreviewPaintRequested(device); }); });
  connect(QRPreview, &QPrintPreviewWidget::previewChanged, this,
          [this] { Guarded([this] { ShowPageNumber(); }); });
  column->addWidget(QRPreview, 1);
  CreateStatusBar(this);
  CentreOnScreen(owner);
}

// ---- composition ---------------------------------------------------------------------------

void Tfrm_Preview::CreateActions() {
  using K = QKeySequence;
  // clang-format off
  AddCommands(*this, {
      {&aEgeszOldal, "aEgeszOldal", QStringLiteral("Egész oldal"), "nezet_oldal",
       {}, [this] { aEgeszOldalExecute(); }},
      {&aSzazSzazalek, "aSzazSzazalek", QStringLiteral("100 %"), "nezet_100",
       {}, [this] { aSzazSzazalekExecute(); }},
      {&aOldalszelesseg, "aOldalszelesseg", QStringLiteral("Oldalszélesség"), "nezet_szelesseg",
       {}, [this] { aOldalszelessegExecute(); }},
      {&aElso, "aElso", QStringLiteral("Első oldal"), "lap_elso",
       {K(Qt::Key_Home), K(Qt::CTRL | Qt::Key_PageUp)}, [this] { aElsoExecute(); }},
      {&aElozo, "aElozo", QStringLiteral("Előző oldal"), "lap_elozo",
       {K(Qt::Key_PageUp)}, [this] { aElozoExecute(); }},
      {&aKovetkezo, "aKovetkezo", QStringLiteral("Következő oldal"), "lap_kovetkezo",
       {K(Qt::Key_PageDown)}, [this] { aKovetkezoExecute(); }},
      {&aUtolso, "aUtolso", QStringLiteral("Utolsó oldal"), "lap_utolso",
       {K(Qt::Key_End), K(Qt::CTRL | Qt::Key_PageDown)}, [this] { aUtolsoExecute(); }},
      {&aBeallit, "aBeallit", QStringLiteral("Nyomtató beállítása"), "nyomtato_beallit",
       {}, [this] { aBeallitExecute(); }},
      {&aNyomtat, "aNyomtat", QStringLiteral("Nyomtatás"), "nyomtat",
       {}, [this] { aNyomtatExecute(); }},
      {&aMent, "aMent", QStringLiteral("Mentés PDF-fájlba"), "pdf_mentes",
       {}, [this] { aMentExecute(); }},
      {&aBezar, "aBezar", QStringLiteral("&Bezár"), "bezar",
       {K(Qt::Key_Escape)}, [this] { reject(); }}},
      CommandHint::CaptionAndKey);
  // clang-format on
  aBeallit->setIconText(QStringLiteral("Beállítás"));
  aMent->setIconText(QStringLiteral("Mentés PDF-be"));
  // The close button takes its text from here; kept with its "&" it underlines B for Alt+B.
  aBezar->setIconText(aBezar->text());
}

// The tool bar, and the close button beside it, outside it so that it never goes into the
// tool bar's overflow menu of a narrow window.
void Tfrm_Preview::CreateToolBar(QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 4, 0);
  line->setSpacing(0);
  auto* bar = new QToolBar(row);
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->addActions({aEgeszOldal, aSzazSzazalek, aOldalszelesseg});
  bar->addSeparator();
  bar->addActions({aElso, aElozo, aKovetkezo, aUtolso});
  bar->addSeparator();
  for (QAction* action : {aBeallit, aNyomtat, aMent}) {
    bar->addAction(action);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
      button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
  }
  line->addWidget(bar, 1);
  auto* close = new QToolButton(row);
  close->setObjectName(QStringLiteral("BezarButton"));
  close->setDefaultAction(aBezar);
  close->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  close->setAutoRaise(true);
  close->setIconSize(bar->iconSize());
  line->addWidget(close);
  parent->layout()->addWidget(row);
}

void Tfrm_Preview::CreateStatusBar(QWidget* parent) {
  auto* status = new QStatusBar(parent);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setSizeGripEnabled(true);
  ProgressBar1 = new QProgressBar(status);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setMaximumWidth(160);
  ProgressBar1->setRange(0, 1);
  ProgressBar1->setValue(0);
  LabelOldal = new QLabel(status);
  LabelOldal->setObjectName(QStringLiteral("LabelOldal"));
  status->addWidget(ProgressBar1);
  status->addWidget(LabelOldal, 1);
  parent->layout()->addWidget(status);
}

void Tfrm_Preview::CentreOnScreen(QWidget* owner) {
  const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  resize(std::min(kDesignWidth, area.width() * 9 / 10),
         std::min(kDesignHeight, area.height() * 9 / 10));
  // The whole window, frame included, goes in the middle. Windows knows a window's frame as soon
  // as the window exists; an X window manager only once it has framed it, so there the frame's
  // few pixels are not counted.
  create();
  QRect outer = frameGeometry();
  outer.moveCenter(area.center());
  move(outer.topLeft());
}

// ---- the page ------------------------------------------------------------------------------

void Tfrm_Preview::QRPreviewPaintRequested(QPrinter* printer) {
  ProgressBar1->setRange(0, document_.LayOut(*printer));
  PaintDocument(*printer, document_, 1, -1, [this](int painted) {
    ProgressBar1->setValue(painted);
    return true;
  });
}

void Tfrm_Preview::ShowPageNumber() {
  LabelOldal->setText(QStringLiteral("%1. oldal (összesen %2)")
                          .arg(QRPreview->currentPage())
                          .arg(QRPreview->pageCount()));
}

void Tfrm_Preview::GoToPage(int page) {
  QRPreview->setCurrentPage(std::clamp(page, 1, std::max(1, QRPreview->pageCount())));
  ShowPageNumber();
}

// ---- commands ------------------------------------------------------------------------------

void Tfrm_Preview::aEgeszOldalExecute() {
  QRPreview->fitInView();
}

void Tfrm_Preview::aSzazSzazalekExecute() {
  QRPreview->setZoomFactor(1.0);
}

void Tfrm_Preview::aOldalszelessegExecute() {
  QRPreview->fitToWidth();
}

void Tfrm_Preview::aElsoExecute() {
  GoToPage(1);
}

void Tfrm_Preview::aElozoExecute() {
  GoToPage(QRPreview->currentPage() - 1);
}

void Tfrm_Preview::aKovetkezoExecute() {
  GoToPage(QRPreview->currentPage() + 1);
}

void Tfrm_Preview::aUtolsoExecute() {
  GoToPage(QRPreview->pageCount());
}

void Tfrm_Preview::aBeallitExecute() {
  ChoosePrinter(false);
}

bool Tfrm_Preview::ChoosePrinter(bool toPrint) {
#ifdef _WIN32
  // The system's print dialog opens only for a printer of the system; without any, Qt's printer
  // writes a PDF file, and the dialog would not open at all.
  if (printer_.outputFormat() != QPrinter::NativeFormat) {
    ShowWarning(QStringLiteral("Nincs telepített nyomtató. Az oklevelet a „Mentés PDF-be” gombbal "
                               "fájlba mentheti."),
                this);
    return false;
  }
#endif
  QPrintDialog dialog(&printer_, this);
  dialog.setObjectName(QStringLiteral("PrintDialog1"));
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                    QAbstractPrintDialog::PrintCollateCopies |
                    QAbstractPrintDialog::PrintShowPageSize);
  dialog.setMinMax(1, std::max(1, QRPreview->pageCount()));
  if (!toPrint) {
    // Set-up only chooses: its button must not promise to print.
    dialog.setWindowTitle(QStringLiteral("Nyomtató beállítása"));
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
      if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
        ok->setText(QStringLiteral("OK"));
    }
  }
  if (ExecDialog(dialog) != QDialog::Accepted) return false;
  printer_.setDocName(document_.JobTitle());
  QRPreview->updatePreview();
  return true;
}

bool Tfrm_Preview::HasDestination() const {
  if (printer_.outputFormat() == QPrinter::PdfFormat) return !printer_.outputFileName().isEmpty();
  return printer_.isValid();
}

void Tfrm_Preview::aNyomtatExecute() {
  if (!HasDestination() && !ChoosePrinter(true)) return;
  printer_.setDocName(document_.JobTitle());
  const auto [first, last] = PagesToPrint(document_.LayOut(printer_), printer_);
  if (last < first) return;
  QProgressDialog progress(document_.PrintingText(), QStringLiteral("Mégse"), 0, last - first + 1,
                           this);
  progress.setObjectName(QStringLiteral("PrintProgress"));
  progress.setWindowTitle(document_.JobTitle());
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  PaintDocument(printer_, document_, first, last, [this, &progress](int painted) {
    progress.setValue(painted);
    if (!progress.wasCanceled()) return true;
    printer_.abort();
    return false;
  });
}

QString Tfrm_Preview::SuggestedPdfPath() const {
  return DocumentsFolder() + u'/' + document_.PdfFileName();
}

void Tfrm_Preview::aMentExecute() {
  const auto path = AskSaveFile(*this, document_.PdfCaption(), SuggestedPdfPath(),
                                QStringLiteral("PDF-dokumentum (*.pdf)"), QStringLiteral("pdf"));
  if (path) SaveDocumentPdf(document_, *path);
}

}  // namespace pekto
