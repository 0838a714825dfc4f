// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Icons.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace pekto {
namespace {

// Draws an SVG resource at whatever size a button or menu asks for, when it first asks. Using
// the renderer directly keeps start-up free of the icon and image-format plug-ins.
class SvgIconEngine final : public QIconEngine {
 public:
  explicit SvgIconEngine(QString path) : path_(std::move(path)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect,
                        pixmap(rect.size() * painter->device()->devicePixelRatioF(), mode, state));
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    const QString key = QStringLiteral("%1x%2/%3").arg(size.width()).arg(size.height()).arg(mode);
    if (const auto it = cache_.constFind(key); it != cache_.constEnd()) return *it;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QSvgRenderer renderer(path_);
      QPainter painter(&image);
      renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    if (mode == QIcon::Disabled) Grey(image);
    return cache_.insert(key, QPixmap::fromImage(image)).value();
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QIconEngine* clone() const override { return new SvgIconEngine(path_); }
  QString key() const override { return QStringLiteral("pekto-svg"); }

 private:
  static void Grey(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const int grey = qGray(line[x]);
        const int alpha = qAlpha(line[x]) / 2;
        line[x] = qPremultiply(qRgba(grey, grey, grey, alpha));
      }
    }
  }

  QString path_;
  QHash<QString, QPixmap> cache_;
};

// The "more buttons" arrows of tool bars and menu bars, drawn with two chevrons.
class ChevronIconEngine final : public QIconEngine {
 public:
  explicit ChevronIconEngine(bool horizontal) : horizontal_(horizontal) {}
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(mode == QIcon::Disabled ? QColor(160, 160, 160) : QColor(31, 78, 140), 1.5,
                         Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QRectF r = QRectF(rect).adjusted(rect.width() * 0.25, rect.height() * 0.3,
                                           -rect.width() * 0.25, -rect.height() * 0.3);
    for (const double shift : {0.0, 0.45}) {
      QPolygonF chevron;
      if (horizontal_) {
        const double x = r.left() + shift * r.width();
        chevron << QPointF(x, r.top()) << QPointF(x + r.width() * 0.4, r.center().y())
                << QPointF(x, r.bottom());
      } else {
        const double y = r.top() + shift * r.height();
        chevron << QPointF(r.left(), y) << QPointF(r.center().x(), y + r.height() * 0.4)
                << QPointF(r.right(), y);
      }
      painter->drawPolyline(chevron);
    }
    painter->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }
  QIconEngine* clone() const override { return new ChevronIconEngine(horizontal_); }

 private:
  bool horizontal_;
};

}  // namespace

QIcon ChevronIcon(bool horizontal) {
  return QIcon(new ChevronIconEngine(horizontal));
}

QIcon CommandIcon(QStringView name) {
  // QIcon takes ownership of its engine.
  return QIcon(new SvgIconEngine(QStringLiteral(":/icons/%1.svg").arg(name)));
}

QIcon AppIcon() {
  return CommandIcon(u"pekto");
}

QPixmap SvgPicture(const QString& path, const QSize& size) {
  return QIcon(new SvgIconEngine(path)).pixmap(size);
}

}  // namespace pekto
