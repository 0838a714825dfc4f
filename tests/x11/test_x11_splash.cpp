// SPDX-License-Identifier: GPL-3.0-or-later
// The splash on a real X server with a window manager: it shows above the main window, centred
// and without a frame, while the keyboard stays with the main window's typing pane.

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <memory>

#include "TestSupport.h"
#include "XServer.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"
#include "ui/logo.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

Tfrm_Logo* VisibleSplash() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* splash = qobject_cast<Tfrm_Logo*>(widget); splash && splash->isVisible()) {
      return splash;
    }
  }
  return nullptr;
}

// The X window that has the input focus, as a number.
qulonglong FocusedWindow() {
  const x11::ToolRun run =
      x11::RunTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")});
  return run.ok ? run.output.trimmed().toULongLong() : 0;
}

qulonglong IdOf(const QWidget& window) {
  bool ok = false;
  return x11::WindowId(window).toULongLong(&ok, 16);
}

}  // namespace

class SplashOnXServerTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenWorkArea = true}};

 private slots:
  void initTestCase() {
    const QString problem = x11::XServerProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(x11::SetKeyboardLayout({QStringLiteral("hu")}));
  }

  void theMainWindowKeepsTheKeyboardWhileTheSplashShows() {
    const fs::path lesson = run_.Home() / "a.lck";
    std::ofstream(lesson, std::ios::binary) << "A\r\nasdf\r\n";
    auto window = std::make_unique<Tfrm_Main>(QStringList{QString::fromStdString(lesson.string())});
    window->show();
    QVERIFY(test::WaitStarted(*window));
    QPointer<Tfrm_Logo> splash = VisibleSplash();
    QVERIFY(splash);
    // Held on the screen for as long as the test looks at it.
    test::Find<QTimer>(splash.data(), "Timer1")->stop();
    QVERIFY(x11::WaitUntilFramed(*window));
    QVERIFY(x11::WaitFor([&] {
      const auto seen = x11::ServerWindowOf(*splash);
      return seen && seen->viewable;
    }));

    // No activation asked for: the window manager gave the new main window the focus, and the
    // splash mapped after it did not take it.
    QVERIFY(x11::WaitFor([&] { return QApplication::activeWindow() == window.get(); }));
    x11::ProcessEventsFor(300);
    QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(window.get()));
    QCOMPARE(FocusedWindow(), IdOf(*window));
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(window, "SynEdit1")));
    QVERIFY(x11::PressKeys({QStringLiteral("a"), QStringLiteral("s")}));
    QVERIFY(x11::WaitFor([&] { return window->State().CorrectCount == 2; }));

    // Borderless, centred on the work area.
    const auto seen = x11::ServerWindowOf(*splash);
    QVERIFY(seen);
    QCOMPARE(seen->client.size(), QSize(600, 200));
    QVERIFY(seen->frame.isNull());
    const auto area = x11::ServerWorkArea();
    QVERIFY(area);
    QVERIFY2((seen->client.center() - area->center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2 against %3,%4")
                            .arg(seen->client.center().x())
                            .arg(seen->client.center().y())
                            .arg(area->center().x())
                            .arg(area->center().y())));

    // Opaque first, then ten steps of 255 less per fade tick.
    QCOMPARE(splash->windowOpacity(), 1.0);
    splash->Timer2Timer();
    QCOMPARE(splash->AlphaBlendValue(), 245);
    QCOMPARE(splash->windowOpacity(), 245 / 255.0);

    // Let it fade: it goes by itself and the keyboard stays where it was.
    splash->Timer1Timer();
    QVERIFY(x11::WaitFor([&] { return splash.isNull(); }, 10000));
    QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(window.get()));
    QVERIFY(x11::PressKeys({QStringLiteral("d")}));
    QVERIFY(x11::WaitFor([&] { return window->State().CorrectCount == 3; }));
  }
};

PEKTO_TEST_MAIN(SplashOnXServerTest)

#include "test_x11_splash.moc"
