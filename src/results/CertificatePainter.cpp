// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/CertificatePainter.h"

#include <QDate>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

#include "platform/Colors.h"
#include "platform/QtText.h"

namespace pekto {
namespace {

constexpr double kMmPerInch = 25.4;

// Device units per millimetre.
struct Scale {
  double x = 1;
  double y = 1;

  explicit Scale(const QPaintDevice& device)
      : x(device.logicalDpiX() / kMmPerInch), y(device.logicalDpiY() / kMmPerInch) {}
  QRectF operator()(const MmRect& r) const {
    return QRectF(r.left * x, r.top * y, r.width * x, r.height * y);
  }
};

void PaintText(QPainter& painter, const CertificateItem& item, const QRectF& box) {
  if (item.opaque) painter.fillRect(box, Qt::white);
  painter.setFont(CertificateQFont(item.font));
  painter.setPen(QPen(ColorFromValue(item.color), 0));
  // A box that grows with its text is exactly as wide as the text's advance: the overhang of
  // bold and italic letters may stand outside it.
  const int clip = item.centredOnBand ? Qt::TextDontClip : 0;
  painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | clip,
                   ToQ(item.text));
}

// The picture turned clockwise by `quarterTurns`, its turned top-left corner at the target's.
void PaintOrnament(QPainter& painter, const CertificateItem& item, const Scale& scale,
                   QSvgRenderer& picture) {
  const QRectF target = scale(item.picture);
  painter.save();
  painter.setClipRect(scale(item.box));
  painter.translate(target.topLeft());
  switch (item.quarterTurns % 4) {
    case 1:
      painter.translate(target.width(), 0);
      break;
    case 2:
      painter.translate(target.width(), target.height());
      break;
    case 3:
      painter.translate(0, target.height());
      break;
    default:
      break;
  }
  painter.rotate(90.0 * (item.quarterTurns % 4));
  const QSizeF natural = item.quarterTurns % 2 != 0 ? target.size().transposed() : target.size();
  picture.render(&painter, QRectF(QPointF(0, 0), natural));
  painter.restore();
}

void PaintPage(QPainter& painter, const CertificatePage& page, const Scale& scale,
               QSvgRenderer& picture) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  for (const CertificateBand& band : page.bands) {
    painter.fillRect(scale(band.rect), Qt::white);
    for (const CertificateItem& item : band.items) {
      if (item.kind == CertificateItemKind::Ornament) {
        PaintOrnament(painter, item, scale, picture);
      } else {
        PaintText(painter, item, scale(item.box));
      }
    }
  }
  painter.restore();
}

}  // namespace

MmSize QtTextMeasure::Measure(std::string_view text, const CertificateFont& font) const {
  const QFontMetricsF metrics(CertificateQFont(font), &device_);
  return MmSize{metrics.horizontalAdvance(ToQ(text)) * kMmPerInch / device_.logicalDpiX(),
                metrics.height() * kMmPerInch / device_.logicalDpiY()};
}

QFont CertificateQFont(const CertificateFont& font) {
  QFont result(QString::fromStdString(font.family));
  // Unhinted outlines keep widths in proportion to the size, on paper and in the preview alike.
  result.setHintingPreference(QFont::PreferNoHinting);
  result.setPointSizeF(font.points);
  result.setBold(font.bold);
  result.setItalic(font.italic);
  return result;
}

OrnamentPicture ScreenOrnament() {
  OrnamentPicture ornament;
  // The system's pixels per inch (120 at 125 %): Qt reports the screen's logical resolution in
  // pixels it has already scaled by the device pixel ratio.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    ornament.pixelsPerInch = screen->logicalDotsPerInch() * screen->devicePixelRatio();
  }
  return ornament;
}

std::string PrintDateText() {
  return FromQ(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
}

QString CertificateJobTitle() {
  return QStringLiteral("Oklevél nyomtatás");
}

void PaintCertificatePage(QPainter& painter, const QPaintDevice& device,
                          const CertificatePage& page) {
  QSvgRenderer picture(QStringLiteral(":/images/sarokdisz.svg"));
  PaintPage(painter, page, Scale(device), picture);
}

QString CertificateDocument::JobTitle() const {
  return CertificateJobTitle();
}

QString CertificateDocument::PrintingText() const {
  return QStringLiteral("Az oklevél nyomtatása…");
}

QString CertificateDocument::PdfCaption() const {
  return QStringLiteral("Oklevél mentése PDF-fájlba");
}

QString CertificateDocument::PdfFileName() const {
  const QString player =
      FileNamePart(ToQ(NullToStr(report_.Table().Value(score_field::kPlayer), "")));
  return player.isEmpty() ? QStringLiteral("Oklevél.pdf")
                          : QStringLiteral("Oklevél - %1.pdf").arg(player);
}

int CertificateDocument::LayOut(const QPaintDevice& device) {
  pages_ = report_.Pages(PrintDateText(), QtTextMeasure(device), ScreenOrnament());
  return static_cast<int>(pages_.size());
}

void CertificateDocument::PaintPage(QPainter& painter, const QPaintDevice& device,
                                    int index) const {
  PaintCertificatePage(painter, device, pages_.at(static_cast<size_t>(index)));
}

}  // namespace pekto
