// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logo.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "platform/Colors.h"
#include "platform/Error.h"
#include "platform/Guard.h"
#include "platform/Jpeg.h"
#include "platform/Startup.h"

namespace pekto {
namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 200;
constexpr int kWaitMs = 1000;
constexpr int kFadeMs = 21;
constexpr int kFadeStep = 10;
constexpr int kCloseAt = 33;  // the fade ends once the opacity is this low
constexpr int32_t kGround = 0xC0C0C0;

// Platforms without translucency (the offscreen one of the tests) complain at every change of
// the opacity; there the banner simply stays opaque until it closes.
bool CanFade() {
  static const bool can = QGuiApplication::platformName() != QLatin1String("offscreen") &&
                          QGuiApplication::platformName() != QLatin1String("minimal");
  return can;
}

}  // namespace

QPixmap BannerPicture() {
  QFile file(QStringLiteral(":/images/banner.jpg"));
  if (!file.open(QIODevice::ReadOnly)) throw Error("The banner picture is missing");
  return QPixmap::fromImage(DecodeJpeg(file.readAll()));
}

Tfrm_Logo::Tfrm_Logo(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frm_Logo"));
  // A splash must not take the keyboard from the main window beneath it, which is usable at once.
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowDoesNotAcceptFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_DeleteOnClose);
  // Closing the main window ends the program even while the banner is still fading.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(kWidth, kHeight);
  QPalette ground = palette();
  ground.setColor(QPalette::Window, ColorFromValue(kGround));
  setPalette(ground);
  setAutoFillBackground(true);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, kWidth, kHeight);
  Image1->setPixmap(BannerPicture());

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kWaitMs);
  connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
  Timer2 = new QTimer(this);
  Timer2->setObjectName(QStringLiteral("Timer2"));
  Timer2->setInterval(kFadeMs);
  connect(Timer2, &QTimer::timeout, this, [this] { Guarded([this] { Timer2Timer(); }); });

  // Centred on the desktop: the available area of the screen the program starts on.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
  }
}

void Tfrm_Logo::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  Guarded([this] { FormShow(); });
}

void Tfrm_Logo::FormShow() {
  Timer1->start();
}

void Tfrm_Logo::Timer1Timer() {
  Timer2->start();
  Timer1->stop();
}

void Tfrm_Logo::Timer2Timer() {
  alphaBlendValue_ -= kFadeStep;
  if (CanFade()) setWindowOpacity(alphaBlendValue_ / 255.0);
  if (alphaBlendValue_ <= kCloseAt) {
    Timer2->stop();
    close();  // and destroyed with its timers
  }
}

void ShowSplash() {
  auto* splash = new Tfrm_Logo;  // deletes itself when its fade ends
  // The banner is the start's last work: what the start freed goes back to the system with it.
  QObject::connect(splash, &QObject::destroyed, [] { ReleaseStartupMemory(); });
  splash->show();
}

}  // namespace pekto
