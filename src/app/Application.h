#pragma once
// The application object: sets the title and translations and keeps any error that escapes an
// event handler from crossing the event loop.

#include <QApplication>

namespace pekto {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Loads Qt's Hungarian translations of its standard dialogs and buttons.
void InstallHungarianTranslations(QCoreApplication& app);

}  // namespace pekto
