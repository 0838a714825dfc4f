// Program entry: start-up values, the application object, the main window, the message loop.

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "app/Application.h"
#include "app/Main.h"
#include "base/Icons.h"
#include "platform/Fonts.h"
#include "platform/Startup.h"

namespace {

// With PEKTO_REPORT_SHOWN=chooser, the report goes on with the lesson status panel and the
// entries of the lesson chooser, one a line, so that a test can see what an installed program
// found.
void PrintChooser(const pekto::Tfrm_Main& window) {
  const char* report = std::getenv("PEKTO_REPORT_SHOWN");
  if (report == nullptr || std::string_view(report) != "chooser") return;
  if (const auto* lesson = window.findChild<QLabel*>(QStringLiteral("StatusPanel2"))) {
    std::printf("lesson %s\n", lesson->text().toUtf8().constData());
  }
  if (const auto* chooser = window.findChild<QComboBox*>(QStringLiteral("ComboBox1"))) {
    for (int i = 0; i < chooser->count(); ++i) {
      std::printf("chooser %s\n", chooser->itemText(i).toUtf8().constData());
    }
  }
}

// For the start-up benchmark: with PEKTO_REPORT_SHOWN set, prints the monotonic clock and the
// resident memory once the main window is shown, then quits.
void ReportWhenShown(pekto::Tfrm_Main& window) {
  if (std::getenv("PEKTO_REPORT_SHOWN") == nullptr) return;
  QTimer::singleShot(0, &window, [&window] {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    long rssKiB = 0, peakKiB = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmRSS:", 0) == 0) rssKiB = std::stol(line.substr(6));
      if (line.rfind("VmHWM:", 0) == 0) peakKiB = std::stol(line.substr(6));
    }
    std::printf(
        "shown %lld rss_kib %ld hwm_kib %ld\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
        rssKiB, peakKiB);
    PrintChooser(window);
    std::fflush(stdout);
    QCoreApplication::quit();
  });
}

}  // namespace

int main(int argc, char* argv[]) {
  pekto::InitStartupFolders();
  pekto::Application app(argc, argv);
  pekto::CaptureWorkArea();
  pekto::InstallFontSubstitutions();
  app.setWindowIcon(pekto::AppIcon());

  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  pekto::Tfrm_Main frm_Main(arguments);
  frm_Main.show();
  ReportWhenShown(frm_Main);
  return QCoreApplication::exec();
}
