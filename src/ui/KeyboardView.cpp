// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KeyboardView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/QtText.h"

namespace pekto {
namespace {

// The gap between two keys and the rounding of their corners, in key units.
constexpr double kGap = 0.08;
constexpr double kRadius = 0.1;
// The smallest key unit in pixels the view asks for, and the one it prefers.
constexpr int kMinUnit = 26;
constexpr int kPreferredUnit = 44;
// The frame of a lit key; at most as wide as the margin a key's repaint leaves around it.
const QColor kLitFrame(0x20, 0x28, 0x50);
constexpr double kMaxFrame = 3.5;
constexpr size_t kPicturesPerCap = 4;

QString CharText(const std::optional<KeySymbol>& symbol) {
  if (!symbol || symbol->ch == ' ') return {};
  return ToQ(std::string(1, static_cast<char>(symbol->ch)));
}

// A letter key shows its capital alone, as keycaps do.
bool IsLetterKey(const KeyCap& key) {
  return key.base && key.shift && !key.base->dead && !key.shift->dead &&
         key.shift->ch != key.base->ch && cp1250::ToLower(key.shift->ch) == key.base->ch;
}

QFont SizedFont(const QFont& base, double pixels, bool bold = false) {
  QFont font(base);
  font.setPixelSize(std::max(6, static_cast<int>(pixels)));
  font.setBold(bold);
  return font;
}

}  // namespace

QColor FingerColor(Finger finger) {
  // From the left little finger to the right one: warm on the left hand, cool on the right.
  static const std::array<QColor, kFingerCount> kColors = {
      QColor(0xEA, 0xAC, 0xC8), QColor(0xF3, 0xC6, 0x8E), QColor(0xEE, 0xE0, 0x90),
      QColor(0xB0, 0xDA, 0xA0), QColor(0xD8, 0xD8, 0xD8), QColor(0x9F, 0xCB, 0xEE),
      QColor(0xC3, 0xB3, 0xE8), QColor(0x93, 0xD6, 0xCC), QColor(0xE6, 0xB8, 0xA2)};
  return kColors.at(static_cast<size_t>(finger));
}

KeyboardView::KeyboardView(Keyboard keyboard, QWidget* parent)
    : QWidget(parent), keyboard_(std::move(keyboard)) {
  setObjectName(QStringLiteral("KeyboardView"));
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
  paints_.resize(keyboard_.Keys().size());
  columns_ = 0;
  rows_ = 0;
  for (const KeyCap& key : keyboard_.Keys()) {
    columns_ = std::max(columns_, key.x + key.width);
    rows_ = std::max(rows_, static_cast<double>(key.row + 1));
  }
  MakeCaps();
}

// Two lines of the same label in neighbouring rows whose keys overlap are one key.
void KeyboardView::MakeCaps() {
  const std::vector<KeyCap>& keys = keyboard_.Keys();
  capOf_.assign(keys.size(), 0);
  for (size_t i = 0; i < keys.size(); ++i) {
    const KeyCap& key = keys[i];
    const auto joined = std::find_if(caps_.begin(), caps_.end(), [&](const Cap& cap) {
      const KeyCap& above = keys[cap.keys.back()];
      return !key.label.empty() && above.label == key.label && above.row + 1 == key.row &&
             above.x < key.x + key.width && key.x < above.x + above.width;
    });
    if (joined != caps_.end()) {
      joined->keys.push_back(i);
      capOf_[i] = static_cast<size_t>(joined - caps_.begin());
    } else {
      capOf_[i] = caps_.size();
      caps_.push_back(Cap{{i}, {}, {}, {}});
    }
  }
}

QRectF KeyboardView::UnitRect(const KeyCap& key) const {
  return QRectF(origin_.x() + key.x * unit_, origin_.y() + key.row * unit_, key.width * unit_,
                unit_);
}

void KeyboardView::Layout() {
  unit_ = std::min(width() / columns_, height() / rows_);
  origin_ = QPointF((width() - columns_ * unit_) / 2, (height() - rows_ * unit_) / 2);
  const double gap = kGap * unit_;
  const double radius = kRadius * unit_;
  for (Cap& cap : caps_) {
    cap.outline = QPainterPath();
    for (size_t n = 0; n < cap.keys.size(); ++n) {
      QRectF rect =
          UnitRect(keyboard_.Keys()[cap.keys[n]]).adjusted(gap / 2, gap / 2, -gap / 2, -gap / 2);
      // A line of the same key below joins without a gap or a notch of the rounded corners.
      if (n + 1 < cap.keys.size()) rect.setBottom(rect.bottom() + gap + 2 * radius);
      QPainterPath part;
      part.addRoundedRect(rect, radius, radius);
      cap.outline = cap.outline.united(part);
    }
    cap.box = cap.outline.boundingRect().toAlignedRect().adjusted(-2, -2, 2, 2);
    cap.drawn.clear();
  }
}

void KeyboardView::SetKeyPaints(std::vector<KeyPaint> paints) {
  paints.resize(keyboard_.Keys().size());
  for (size_t i = 0; i < paints.size(); ++i) {
    if (paints[i] == paints_[i]) continue;
    update(caps_[capOf_[i]].box);
  }
  paints_ = std::move(paints);
}

void KeyboardView::SetMessage(const QString& text) {
  if (text == message_) return;
  message_ = text;
  update();
}

QRectF KeyboardView::KeyRect(size_t index) const {
  return caps_.at(capOf_.at(index)).outline.boundingRect();
}

QSize KeyboardView::sizeHint() const {
  return QSize(static_cast<int>(columns_ * kPreferredUnit),
               static_cast<int>(rows_ * kPreferredUnit));
}

QSize KeyboardView::minimumSizeHint() const {
  return QSize(static_cast<int>(columns_ * kMinUnit), static_cast<int>(rows_ * kMinUnit));
}

int KeyboardView::heightForWidth(int width) const {
  return static_cast<int>(width * rows_ / columns_);
}

void KeyboardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void KeyboardView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // The region, not its bounding rectangle: two keys far apart repaint those two alone.
  const QRegion& dirty = event->region();
  for (Cap& cap : caps_) {
    if (dirty.intersects(cap.box)) painter.drawPixmap(cap.box.topLeft(), Picture(cap));
  }
  if (!message_.isEmpty()) PaintMessage(painter);
}

void KeyboardView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
    for (Cap& cap : caps_) cap.drawn.clear();
    update();
  }
}

// A cap is drawn (antialiased outline, labels) once per paint it shows; a key that changes only
// copies its picture. The pictures of a few paints are kept, the latest ones.
const QPixmap& KeyboardView::Picture(Cap& cap) {
  const KeyPaint& paint = paints_[cap.keys.front()];
  for (const Drawn& drawn : cap.drawn) {
    if (drawn.paint == paint) return drawn.picture;
  }
  if (cap.drawn.size() >= kPicturesPerCap) cap.drawn.erase(cap.drawn.begin());
  const qreal ratio = devicePixelRatioF();
  QPixmap picture(cap.box.size() * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(-cap.box.topLeft());
  PaintCap(painter, cap);
  painter.end();
  cap.drawn.push_back(Drawn{paint, std::move(picture)});
  return cap.drawn.back().picture;
}

void KeyboardView::PaintCap(QPainter& painter, const Cap& cap) const {
  const KeyPaint& paint = paints_[cap.keys.front()];
  const QColor face = paint.fill.isValid() ? paint.fill : palette().color(QPalette::Base);
  if (paint.lit) {
    painter.setPen(QPen(kLitFrame, std::clamp(unit_ * 0.07, 2.0, kMaxFrame)));
  } else {
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
  }
  painter.setBrush(face);
  painter.drawPath(cap.outline);
  if (paint.hatched) {
    painter.save();
    painter.setClipPath(cap.outline);
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    const QRectF box = cap.outline.boundingRect();
    const double step = std::max(4.0, unit_ / 7);
    for (double x = box.left() - box.height(); x < box.right(); x += step) {
      painter.drawLine(QPointF(x, box.bottom()), QPointF(x + box.height(), box.top()));
    }
    painter.restore();
  }
  PaintLabels(painter, cap);
}

void KeyboardView::PaintLabels(QPainter& painter, const Cap& cap) const {
  const KeyCap& key = keyboard_.Keys()[cap.keys.front()];
  const QRectF box =
      UnitRect(key).adjusted(unit_ * 0.16, unit_ * 0.08, -unit_ * 0.14, -unit_ * 0.08);
  const QColor text = palette().color(QPalette::Text);
  painter.setPen(text);
  if (!key.label.empty()) {
    painter.setFont(SizedFont(font(), unit_ * 0.22));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, QString::fromStdString(key.label));
    return;
  }
  if (IsLetterKey(key)) {
    painter.setFont(SizedFont(font(), unit_ * 0.38));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, CharText(key.shift));
  } else {
    painter.setFont(SizedFont(font(), unit_ * 0.3));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, CharText(key.shift));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, CharText(key.base));
  }
  painter.setFont(SizedFont(font(), unit_ * 0.24));
  painter.setPen(QColor(0x55, 0x55, 0x70));
  painter.drawText(box, Qt::AlignRight | Qt::AlignBottom, CharText(key.altGr));
}

void KeyboardView::PaintMessage(QPainter& painter) const {
  painter.setFont(SizedFont(font(), std::max(12.0, unit_ * 0.4), true));
  const QFontMetricsF metrics(painter.font());
  const QRectF area = rect();
  QRectF box = metrics.boundingRect(area.adjusted(20, 20, -20, -20),
                                    Qt::AlignCenter | Qt::TextWordWrap, message_);
  box.adjust(-16, -10, 16, 10);
  QColor back = palette().color(QPalette::Window);
  back.setAlpha(235);
  painter.setPen(QPen(palette().color(QPalette::Mid), 1));
  painter.setBrush(back);
  painter.drawRoundedRect(box, 6, 6);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, message_);
}

}  // namespace pekto
