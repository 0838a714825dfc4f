// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: sets the title and translations and keeps any error that escapes an
// event handler from crossing the event loop.

#include <QApplication>
#include <QProxyStyle>

namespace pekto {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The program's style over the platform's: its own drawings where the platform would load
// picture files.
class AppStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                     const QWidget* widget) const override;
};

// Loads Qt's Hungarian translations of its standard dialogs and buttons.
void InstallHungarianTranslations(QCoreApplication& app);

}  // namespace pekto
