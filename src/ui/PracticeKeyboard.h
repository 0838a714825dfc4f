// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The on-screen keyboard of the main window, under the practice panes while the learner wants it:
// every key that types a character in its finger's colour, the keys of the next character lit
// (its key and the Shift of the other hand or AltGr it needs), and the key of a wrong character
// flashed red for a moment.

#include <optional>
#include <vector>

#include "ui/KeyboardView.h"

class QTimer;

namespace pekto {

class PracticeKeyboard : public KeyboardView {
  Q_OBJECT

 public:
  // How long a wrong key stays red.
  static constexpr int kFlashMs = 300;
  // The colour of a wrong key.
  static QColor WrongColor() { return {0xE0, 0x48, 0x48}; }

  PracticeKeyboard(Keyboard keyboard, QWidget* parent);

  // Lights the keys of the character to be typed next ('\r': Enter); nothing lights no key.
  void ShowNext(std::optional<unsigned char> next);
  // Flashes red the key that typed `typed`, a character judged wrong.
  void FlashWrong(unsigned char typed);

 protected:
  // A key's tooltip names the finger that strikes it.
  bool event(QEvent* event) override;

 private:
  void Repaint();

  std::vector<KeyPaint> fingers_;  // the paints of the keys at rest
  std::vector<size_t> lit_;
  std::optional<size_t> wrong_;
  QTimer* flash_ = nullptr;
};

}  // namespace pekto
