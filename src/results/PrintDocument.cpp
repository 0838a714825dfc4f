// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/PrintDocument.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <string>

#include "platform/Error.h"
#include "platform/Files.h"

namespace pekto {

bool PaintDocument(QPagedPaintDevice& device, PrintDocument& document, int first, int last,
                   const PaintProgress& progress) {
  const int count = document.LayOut(device);
  first = std::max(first, 1);
  last = last < 1 ? count : std::min(last, count);
  QPainter painter;
  if (!painter.begin(&device)) throw Error("A nyomtatás nem indítható el.");
  for (int page = first; page <= last; ++page) {
    if (progress && !progress(page - first)) return false;
    if (page > first && !device.newPage()) throw Error("A nyomtató nem fogad új oldalt.");
    document.PaintPage(painter, device, page - 1);
  }
  if (progress) progress(std::max(0, last - first + 1));
  return true;
}

void SaveDocumentPdf(PrintDocument& document, const std::filesystem::path& path) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), document.Orientation(), QMarginsF(0, 0, 0, 0)));
    writer.setTitle(document.JobTitle());
    writer.setCreator(QStringLiteral("Pekto"));
    PaintDocument(writer, document);
  }
  WriteFileContent(path, std::string_view(bytes.constData(), bytes.size()));
}

QString FileNamePart(QString text) {
  for (QChar& c : text) {
    if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32) c = u'_';
  }
  return text.trimmed();
}

}  // namespace pekto
