// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The splash banner that fades out after start-up.

#include <QWidget>

class QLabel;
class QTimer;

namespace pekto {

// The program's banner, 600 × 200, shown by the splash and the about box.
QPixmap BannerPicture();

// Shows the splash without waiting for it; it closes and destroys itself after its fade.
void ShowSplash();

// A borderless, always-on-top banner that never takes the keyboard focus: it stays opaque for
// a second, then fades and closes itself.
class Tfrm_Logo : public QWidget {
  Q_OBJECT

 public:
  explicit Tfrm_Logo(QWidget* parent = nullptr);

  // The opacity on the 0–255 scale.
  int AlphaBlendValue() const { return alphaBlendValue_; }

  // The handlers of the wait timer (Timer1) and the fade timer (Timer2); public so that a test
  // can step through the fade without waiting for the clock.
  void Timer1Timer();
  void Timer2Timer();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();

  int alphaBlendValue_ = 255;
  bool shown_ = false;
  QLabel* Image1 = nullptr;
  QTimer* Timer1 = nullptr;  // wait before the fade
  QTimer* Timer2 = nullptr;  // fade step
};

}  // namespace pekto
