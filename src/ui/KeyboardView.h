// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture of the keyboard (practice/Keyboard.h): every key in its place with the characters it
// types, filled with the colour its owner gives it, or hatched; a text can lie over the keys
// ("Betöltés…"). The statistics window colours the keys by their error rate; an on-screen
// keyboard can colour them by finger (FingerColor).

#include <QColor>
#include <QPainterPath>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <vector>

#include "practice/Keyboard.h"

namespace pekto {

// How a key is filled: its colour (an invalid one: the plain key face), hatched or not; a lit
// key has a strong frame.
struct KeyPaint {
  QColor fill;
  bool hatched = false;
  bool lit = false;
  friend bool operator==(const KeyPaint&, const KeyPaint&) = default;
};

// A calm colour for each of the eight fingers; the thumbs grey.
QColor FingerColor(Finger finger);

class KeyboardView : public QWidget {
  Q_OBJECT

 public:
  KeyboardView(Keyboard keyboard, QWidget* parent);

  const Keyboard& Board() const { return keyboard_; }

  // The paint of every key, indexed as Keyboard::Keys() (missing ones plain). Only the keys whose
  // paint changes are repainted. A key of two rows takes the paint of its first line.
  void SetKeyPaints(std::vector<KeyPaint> paints);
  const std::vector<KeyPaint>& KeyPaints() const { return paints_; }

  // A text over the keys; an empty one shows the keys alone.
  void SetMessage(const QString& text);
  const QString& Message() const { return message_; }

  // The key's area in the widget: the outline that is filled.
  QRectF KeyRect(size_t index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // A cap drawn once with a paint, kept for the next time it shows that paint.
  struct Drawn {
    KeyPaint paint;
    QPixmap picture;
  };
  // One key as drawn: a key of two rows (Enter) is one cap of two lines.
  struct Cap {
    std::vector<size_t> keys;  // indices into Keyboard::Keys()
    QPainterPath outline;
    QRect box;                 // what a repaint of the cap covers: the outline with its frame
    std::vector<Drawn> drawn;  // the latest few paints, emptied when the size or look changes
  };

  void MakeCaps();
  void Layout();
  const QPixmap& Picture(Cap& cap);
  void PaintCap(QPainter& painter, const Cap& cap) const;
  void PaintLabels(QPainter& painter, const Cap& cap) const;
  void PaintMessage(QPainter& painter) const;
  QRectF UnitRect(const KeyCap& key) const;

  Keyboard keyboard_;
  double columns_ = 15;  // the board's size in key units
  double rows_ = 5;
  std::vector<Cap> caps_;
  std::vector<size_t> capOf_;  // per key: its cap
  std::vector<KeyPaint> paints_;
  QString message_;
  double unit_ = 0;  // one key unit in pixels
  QPointF origin_;
};

}  // namespace pekto
