// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paints the certificate's pages (results/CertificateLayout.h) on a printer or a PDF writer, in
// the device's own units: the layout's millimetres are converted at the device's resolution and
// fonts keep their point sizes.

#include <QFont>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "results/CertificateLayout.h"

class QPaintDevice;
class QPainter;
class QPagedPaintDevice;

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

// Called before each page with the number of pages painted so far, and once more when all are
// painted; false before a page stops the painting.
using PaintProgress = std::function<bool(int painted)>;

// Paints `pages` on `device`, one device page each, with the paper's top-left corner as origin.
// Returns false when `progress` stopped it. Throws pekto::Error when the device cannot be
// painted on.
bool PaintCertificate(QPagedPaintDevice& device, const std::vector<CertificatePage>& pages,
                      const PaintProgress& progress = {});

// Produces the certificate of `report` as a PDF file (A4, the job's title as document title).
// Throws pekto::Error when the file cannot be written; an existing file stays as it was then.
void SaveCertificatePdf(TQrOklevel& report, const std::filesystem::path& path);

// The title that the print job and the PDF document carry.
QString CertificateJobTitle();

}  // namespace pekto
