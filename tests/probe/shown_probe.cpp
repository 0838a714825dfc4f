// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into the program (LD_PRELOAD) by the start-up benchmark and the install test, so
// that the shipped program carries no instrumentation of its own. With PEKTO_REPORT_SHOWN set,
// once the main window has finished its start (its signal started()), it prints
//   shown <steady clock, ns> rss_kib <VmRSS> hwm_kib <VmHWM>
// and, with PEKTO_REPORT_SHOWN=chooser, the lesson status panel ("lesson <text>") and the
// entries of the lesson chooser ("chooser <entry>", one a line); then it ends the program.
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
  }
  return 0;
}

void PrintChooser(const QWidget& window) {
  if (qgetenv("PEKTO_REPORT_SHOWN") != "chooser") return;
  if (const auto* lesson = window.findChild<QLabel*>(QStringLiteral("StatusPanel2"))) {
    std::printf("lesson %s\n", lesson->text().toUtf8().constData());
  }
  if (const auto* chooser = window.findChild<QComboBox*>(QStringLiteral("ComboBox1"))) {
    for (int i = 0; i < chooser->count(); ++i) {
      std::printf("chooser %s\n", chooser->itemText(i).toUtf8().constData());
    }
  }
}

class ShownProbe final : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType() &&
        watched->objectName() == QLatin1String("frm_Main")) {
      window_ = static_cast<QWidget*>(watched);
      QCoreApplication::instance()->removeEventFilter(this);
      // By name: the probe knows the program's classes no more than a user does.
      connect(window_, SIGNAL(started()), this, SLOT(Report()));
    }
    return false;
  }

 private slots:
  void Report() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::printf(
        "shown %lld rss_kib %ld hwm_kib %ld\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
        StatusKiB("VmRSS:"), StatusKiB("VmHWM:"));
    if (window_) PrintChooser(*window_);
    std::fflush(stdout);
    QCoreApplication::quit();
  }

 private:
  QPointer<QWidget> window_;
};

void InstallProbe() {
  if (!qEnvironmentVariableIsSet("PEKTO_REPORT_SHOWN")) return;
  QCoreApplication* app = QCoreApplication::instance();
  app->installEventFilter(new ShownProbe(app));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)

#include "shown_probe.moc"
