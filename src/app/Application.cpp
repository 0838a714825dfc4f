// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#ifndef _WIN32
#include <csignal>
#endif

#include "base/Icons.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"

namespace pekto {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
#ifndef _WIN32
  // A write beyond the user's file-size limit (ulimit -f) then fails with an error that the
  // save reports, instead of the signal ending the program with the unsaved work.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  setApplicationName(QStringLiteral("Pekto"));
  // No display name: Qt would append it to every window's caption ("Eredmények — Pekto"),
  // where each window's caption is its own.
  // Matches the installed desktop entry, so that docks and Wayland compositors group the
  // windows under Pekto's icon.
  setDesktopFileName(QStringLiteral("pekto"));
  InstallHungarianTranslations(*this);
  // The desktop's own file, colour and font dialogs speak the user's system language, which
  // may not be Hungarian; Qt's dialogs speak the translations loaded above.
  setAttribute(Qt::AA_DontUseNativeDialogs);
  setStyle(new AppStyle);  // the application owns its style
  InstallFontSubstitutions();
}

QIcon AppStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                             const QWidget* widget) const {
  switch (icon) {
    case SP_ToolBarHorizontalExtensionButton:
      return ChevronIcon(true);
    case SP_ToolBarVerticalExtensionButton:
      return ChevronIcon(false);
    default:
      return QProxyStyle::standardIcon(icon, option, widget);
  }
}

bool Application::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  Guarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

void InstallHungarianTranslations(QCoreApplication& app) {
  const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
  auto translator = std::make_unique<QTranslator>();
  if (translator->load(hungarian, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    translator->setParent(&app);  // the application owns it from here on
    QCoreApplication::installTranslator(translator.release());
  }
}

}  // namespace pekto
