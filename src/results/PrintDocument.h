// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A printout the print-preview window (results/Oklevel.h) shows, prints and saves as a PDF file:
// its titles and paper, and its pages painted on a paged device in the device's own units.

#include <QPageLayout>
#include <QString>
#include <filesystem>
#include <functional>

class QPaintDevice;
class QPainter;
class QPagedPaintDevice;

namespace pekto {

class PrintDocument {
 public:
  virtual ~PrintDocument() = default;

  // The title of the print job and of the PDF document ("Oklevél nyomtatás").
  virtual QString JobTitle() const = 0;
  // What the progress window says while the pages go to the printer.
  virtual QString PrintingText() const = 0;
  // The caption of the PDF file dialog and the file name it offers, without the folder.
  virtual QString PdfCaption() const = 0;
  virtual QString PdfFileName() const = 0;
  virtual QPageLayout::Orientation Orientation() const { return QPageLayout::Portrait; }

  // Lays the pages out for `device` and returns how many there are.
  virtual int LayOut(const QPaintDevice& device) = 0;
  // Paints page `index` (from 0, of the last layout) with `painter`, which is active on
  // `device`, from the paper's top-left corner.
  virtual void PaintPage(QPainter& painter, const QPaintDevice& device, int index) const = 0;
};

// Called before each page with the number of pages painted so far, and once more when all are
// painted; false before a page stops the painting.
using PaintProgress = std::function<bool(int painted)>;

// Paints pages `first` to `last` (from 1; both clamped to the pages there are) of `document`,
// laid out for `device`, one device page each. Returns false when `progress` stopped it. Throws
// pekto::Error when the device cannot be painted on.
bool PaintDocument(QPagedPaintDevice& device, PrintDocument& document, int first = 1, int last = -1,
                   const PaintProgress& progress = {});

// Produces `document` as a PDF file (A4, its job title as document title). Throws pekto::Error
// when the file cannot be written; an existing file stays as it was then.
void SaveDocumentPdf(PrintDocument& document, const std::filesystem::path& path);

// A file name made of `text` without the characters file systems refuse.
QString FileNamePart(QString text);

}  // namespace pekto
