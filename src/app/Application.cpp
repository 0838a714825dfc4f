#include "app/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "platform/Guard.h"

namespace pekto {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Pekto"));
  setApplicationDisplayName(QStringLiteral("Pekto"));
  InstallHungarianTranslations(*this);
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
