// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paints the certificate's pages (results/CertificateLayout.h) on a printer or a PDF writer, in
// the device's own units: the layout's millimetres are converted at the device's resolution and
// fonts keep their point sizes.

#include <QFont>
#include <string>
#include <vector>

#include "results/CertificateLayout.h"
#include "results/PrintDocument.h"

class QPaintDevice;
class QPainter;

namespace pekto {

// Measures texts as they will be drawn on `device`.
class QtTextMeasure : public TextMeasure {
 public:
  explicit QtTextMeasure(const QPaintDevice& device) : device_(device) {}
  MmSize Measure(std::string_view text, const CertificateFont& font) const override;

 private:
  const QPaintDevice& device_;
};

QFont CertificateQFont(const CertificateFont& font);

// The ornament as the screen shows it: its pixels at the screen's pixels per inch.
OrnamentPicture ScreenOrnament();

// The date of printing: today in the system's short date format, as Windows-1250 text.
std::string PrintDateText();

// Paints one page with `painter`, which is active on `device`, from the paper's top-left corner.
void PaintCertificatePage(QPainter& painter, const QPaintDevice& device,
                          const CertificatePage& page);

// The certificate of a prepared report as the print-preview window prints it. `report` must
// outlive the document.
class CertificateDocument : public PrintDocument {
 public:
  explicit CertificateDocument(TQrOklevel& report) : report_(report) {}

  QString JobTitle() const override;
  QString PrintingText() const override;
  QString PdfCaption() const override;
  QString PdfFileName() const override;
  int LayOut(const QPaintDevice& device) override;
  void PaintPage(QPainter& painter, const QPaintDevice& device, int index) const override;

 private:
  TQrOklevel& report_;
  std::vector<CertificatePage> pages_;
};

// The title that the print job and the PDF document carry.
QString CertificateJobTitle();

}  // namespace pekto
