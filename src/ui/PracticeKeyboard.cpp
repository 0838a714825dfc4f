// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PracticeKeyboard.h"

#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <utility>

namespace pekto {
namespace {

// A lit key in a stronger tone of its finger's colour; the thumbs' grey darker.
QColor LitColor(const QColor& finger) {
  if (finger.hsvSaturation() < 16) return finger.darker(140);
  QColor lit = finger.toHsv();
  lit.setHsv(lit.hsvHue(), std::min(255, lit.hsvSaturation() * 2 + 40), lit.value() * 9 / 10);
  return lit;
}

}  // namespace

PracticeKeyboard::PracticeKeyboard(Keyboard keyboard, QWidget* parent)
    : KeyboardView(std::move(keyboard), parent), flash_(new QTimer(this)) {
  setObjectName(QStringLiteral("Billentyuzet"));
  // In a maximised window the keys grow a little past their preferred size and leave the rest
  // of the height to the text.
  setMaximumHeight(sizeHint().height() * 13 / 10);
  for (const KeyCap& key : Board().Keys()) {
    // The keys that type a character take their finger's colour; Tab, Shift and the like stay
    // plain until they are to be pressed.
    fingers_.push_back(KeyPaint{key.label.empty() ? FingerColor(key.finger) : QColor(), false});
  }
  flash_->setObjectName(QStringLiteral("FlashTimer"));
  flash_->setSingleShot(true);
  flash_->setInterval(kFlashMs);
  connect(flash_, &QTimer::timeout, this, [this] {
    wrong_.reset();
    Repaint();
  });
  SetKeyPaints(fingers_);
}

void PracticeKeyboard::ShowNext(std::optional<unsigned char> next) {
  std::vector<size_t> lit = next ? KeysToLight(Board(), *next) : std::vector<size_t>{};
  if (lit == lit_) return;
  lit_ = std::move(lit);
  Repaint();
}

void PracticeKeyboard::FlashWrong(unsigned char typed) {
  const std::vector<size_t> keys = KeysToLight(Board(), typed);
  if (keys.empty()) return;
  wrong_ = keys.front();
  flash_->start();
  Repaint();
}

bool PracticeKeyboard::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return KeyboardView::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const std::vector<KeyCap>& keys = Board().Keys();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (KeyRect(i).contains(help->pos())) {
      QToolTip::showText(help->globalPos(), QString::fromUtf8(FingerName(keys[i].finger)), this);
      return true;
    }
  }
  QToolTip::hideText();
  event->ignore();
  return true;
}

void PracticeKeyboard::Repaint() {
  std::vector<KeyPaint> paints = fingers_;
  for (const size_t key : lit_) {
    const QColor finger = FingerColor(Board().Keys()[key].finger);
    paints[key] = KeyPaint{LitColor(finger), false, true};
  }
  if (wrong_) paints[*wrong_] = KeyPaint{WrongColor(), false, false};
  SetKeyPaints(std::move(paints));
}

}  // namespace pekto
