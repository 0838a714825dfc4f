// SPDX-License-Identifier: GPL-3.0-or-later
// Where windows open under a window manager that frames them (openbox on a real X server):
// they come back where they were closed, with the same numbers in the settings file, and lie
// wholly inside the work area whatever the settings file says.

#include <QDialog>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <iterator>
#include <memory>

#include "TestSupport.h"
#include "XServer.h"
#include "app/Main.h"
#include "base/Placement.h"
#include "base/Settings.h"
#include "platform/IniFile.h"
#include "platform/Startup.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

using test::ReadBytes;

void WriteBytes(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

QString Text(const QRect& r) {
  return QStringLiteral("(%1, %2) %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// A window added later: a resizable one restores its bounds in its show handler and saves them
// in its close handler, as every window of the program does.
class BoundsWindow : public QWidget {
 public:
  BoundsWindow() { setWindowTitle(QStringLiteral("frm_Proba")); }

 protected:
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    RestoreFormBounds(*this, "frm_Proba", 500, 400);
  }
  void closeEvent(QCloseEvent* event) override {
    StoreFormBounds(*this, "frm_Proba");
    QWidget::closeEvent(event);
  }
};

// A fixed-size dialog that takes its position before it is shown.
class PosDialog : public QDialog {
 public:
  PosDialog() {
    setWindowTitle(QStringLiteral("frm_Fix"));
    setFixedSize(420, 300);
    RestoreFormPos(*this, "frm_Fix");
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    StoreFormPos(*this, "frm_Fix");
    QDialog::closeEvent(event);
  }
};

// What one start showed: the frame and client area as the X server had them, and the settings
// file after the close.
struct Start {
  QRect frame;
  QRect client;
  std::string settings;
};

}  // namespace

class PlacementOnXServerTest : public QObject {
  Q_OBJECT

 private:
  test::TempDataDir data_;
  QTemporaryDir program_;
  QRect workArea_;

  fs::path SettingsFile() const { return Startup().SettingsFile; }

  // Shows `window`, waits until openbox has framed it and the program has placed it, checks
  // that it lies wholly in the work area, and closes it with the window manager's close command.
  void ShowAndClose(QWidget& window, Start& start) {
    window.show();
    QVERIFY2(x11::WaitUntilFramed(window), "the window was not framed and placed in time");
    const auto server = x11::ServerWindowOf(window);
    QVERIFY(server.has_value());
    start.frame = server->Frame();
    start.client = server->client;
    QVERIFY2(workArea_.contains(start.frame),
             qPrintable(QStringLiteral("frame %1 outside the work area %2")
                            .arg(Text(start.frame), Text(workArea_))));
    QVERIFY(x11::CloseAsCloseBox(window));
    start.settings = ReadBytes(SettingsFile());
  }

  Start StartMainWindow() {
    Start start;
    auto window = std::make_unique<Tfrm_Main>();
    ShowAndClose(*window, start);
    return start;
  }

  // The saved bounds of a section.
  FormBounds Saved(std::string_view section) const {
    const IniFile ini(SettingsFile());
    return FormBounds{ini.ReadInteger(section, "Left", INT32_MIN),
                      ini.ReadInteger(section, "Top", INT32_MIN),
                      ini.ReadInteger(section, "Width", INT32_MIN),
                      ini.ReadInteger(section, "Height", INT32_MIN)};
  }

  // The saved numbers describe what the X server showed: the frame's corner, the client size.
  void CheckSavedBounds(const Start& start, std::string_view section) {
    const FormBounds saved = Saved(section);
    QCOMPARE(QPoint(saved.Left, saved.Top), start.frame.topLeft());
    QCOMPARE(QSize(saved.Width, saved.Height), start.client.size());
  }
  void CheckSavedPos(const Start& start, std::string_view section) {
    const FormBounds saved = Saved(section);
    QCOMPARE(QPoint(saved.Left, saved.Top), start.frame.topLeft());
  }

 private slots:
  void initTestCase() {
    const QString problem = x11::XServerProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(data_.IsValid() && program_.isValid());
    const auto area = x11::ServerWorkArea();
    QVERIFY(area.has_value());
    workArea_ = *area;
  }

  void init() {
    Startup() = ComputeFolders(fs::path(program_.path().toStdString()));
    // Qt learns a changed work area from the X server a moment after the change.
    QVERIFY(x11::WaitFor([this] {
      const WorkRect w = CurrentWorkArea();
      return QRect(w.Left, w.Top, w.Right - w.Left, w.Bottom - w.Top) == workArea_;
    }));
    CaptureWorkArea();
    Beall = TBeall{};
    fs::remove_all(Startup().DataDir);
  }

  void mainWindowComesBackAfterThreeStartsAndCloses_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QRect>("firstFrameAndClient");  // frame corner, client size
    QTest::newRow("first start") << QByteArray() << QRect(10, 10, 774, 598);
    QTest::newRow("saved bounds") << QByteArray(
                                         "Left=200\r\nTop=150\r\nWidth=640\r\nHeight=540\r\n")
                                  << QRect(200, 150, 640, 540);
    // openbox's frame is 1 + 1 pixels wide and 20 + 5 high: 578 + 702 = 1280, 439 + 585 = 1024.
    QTest::newRow("touching the bottom right corner")
        << QByteArray("Left=578\r\nTop=439\r\nWidth=700\r\nHeight=560\r\n")
        << QRect(578, 439, 700, 560);
  }

  void mainWindowComesBackAfterThreeStartsAndCloses() {
    QFETCH(QByteArray, section);
    QFETCH(QRect, firstFrameAndClient);
    if (!section.isEmpty()) WriteBytes(SettingsFile(), "[frm_Main]\r\n" + section.toStdString());

    const Start first = StartMainWindow();
    if (QTest::currentTestFailed()) return;
    QCOMPARE(first.frame.topLeft(), firstFrameAndClient.topLeft());
    QCOMPARE(first.client.size(), firstFrameAndClient.size());
    CheckSavedBounds(first, "frm_Main");
    for (int run = 2; run <= 3; ++run) {
      const Start again = StartMainWindow();
      if (QTest::currentTestFailed()) return;
      QCOMPARE(again.frame, first.frame);
      QCOMPARE(again.client, first.client);
      QCOMPARE(again.settings, first.settings);
    }
  }

  void mainWindowLiesWhollyOnTheScreen_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("full screen") << QByteArray("[Defaults]\r\nFullScreen=1\r\n");
    QTest::newRow("far left") << QByteArray("[frm_Main]\r\nLeft=-99999999\r\n");
    QTest::newRow("far up and left")
        << QByteArray("[frm_Main]\r\nLeft=-99999999\r\nTop=-99999999\r\n");
    QTest::newRow("above the screen") << QByteArray("[frm_Main]\r\nLeft=100\r\nTop=-15\r\n");
    QTest::newRow("far right and down")
        << QByteArray("[frm_Main]\r\nLeft=99999999\r\nTop=99999999\r\n");
    QTest::newRow("huge size") << QByteArray("[frm_Main]\r\nWidth=99999999\r\nHeight=99999999\r\n");
    QTest::newRow("the screen's size")
        << QByteArray("[frm_Main]\r\nLeft=0\r\nTop=0\r\nWidth=1280\r\nHeight=1024\r\n");
    QTest::newRow("reaching past the corner")
        << QByteArray("[frm_Main]\r\nLeft=1000\r\nTop=900\r\nWidth=600\r\nHeight=400\r\n");
    QTest::newRow("no size") << QByteArray("[frm_Main]\r\nLeft=1270\r\nWidth=0\r\nHeight=-5\r\n");
  }

  // Every start checks that the frame lies inside the work area; the numbers saved then come
  // back unchanged at the next start.
  void mainWindowLiesWhollyOnTheScreen() {
    QFETCH(QByteArray, settings);
    WriteBytes(SettingsFile(), settings.toStdString());
    const Start first = StartMainWindow();
    if (QTest::currentTestFailed()) return;
    CheckSavedBounds(first, "frm_Main");
    // Full screen means the whole window, frame included, fills the work area.
    if (settings.contains("FullScreen=1")) QCOMPARE(first.frame, workArea_);
    const Start again = StartMainWindow();
    if (QTest::currentTestFailed()) return;
    QCOMPARE(again.frame, first.frame);
    QCOMPARE(again.settings, first.settings);
  }

  void laterWindowsKeepTheirPlaceToo() {
    WriteBytes(SettingsFile(),
               "[frm_Proba]\r\nLeft=300\r\nTop=200\r\nWidth=520\r\nHeight=330\r\n"
               "[frm_Fix]\r\nLeft=150\r\nTop=120\r\n");
    std::string lastSettings;
    for (int run = 1; run <= 3; ++run) {
      Start bounds;
      {
        BoundsWindow window;
        ShowAndClose(window, bounds);
        if (QTest::currentTestFailed()) return;
      }
      QCOMPARE(bounds.frame.topLeft(), QPoint(300, 200));
      QCOMPARE(bounds.client.size(), QSize(520, 330));
      Start fixed;
      {
        PosDialog dialog;
        ShowAndClose(dialog, fixed);
        if (QTest::currentTestFailed()) return;
      }
      QCOMPARE(fixed.frame.topLeft(), QPoint(150, 120));
      QCOMPARE(fixed.client.size(), QSize(420, 300));
      if (run > 1) QCOMPARE(fixed.settings, lastSettings);
      lastSettings = fixed.settings;
    }
  }

  void laterWindowsStayOnTheScreen() {
    WriteBytes(SettingsFile(),
               "[frm_Proba]\r\nLeft=-5000\r\nTop=-5000\r\nWidth=99999\r\nHeight=99999\r\n"
               "[frm_Fix]\r\nLeft=-99999999\r\nTop=99999999\r\n");
    Start bounds;
    {
      BoundsWindow window;
      ShowAndClose(window, bounds);
      if (QTest::currentTestFailed()) return;
    }
    QCOMPARE(bounds.frame, workArea_);
    Start fixed;
    {
      PosDialog dialog;
      ShowAndClose(dialog, fixed);
      if (QTest::currentTestFailed()) return;
    }
    QCOMPARE(fixed.client.size(), QSize(420, 300));
    CheckSavedPos(fixed, "frm_Fix");
  }

  // A task bar on the left edge: the work area no longer starts at 0, and the window keeps off
  // the task bar.
  void mainWindowStaysBesideATaskBar_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("full screen") << QByteArray("[Defaults]\r\nFullScreen=1\r\n");
    QTest::newRow("far left") << QByteArray("[frm_Main]\r\nLeft=-99999999\r\nTop=5\r\n");
    QTest::newRow("at 0, 0") << QByteArray("[frm_Main]\r\nLeft=0\r\nTop=0\r\n");
  }

  void mainWindowStaysBesideATaskBar() {
    QFETCH(QByteArray, settings);
    const QRect screen = workArea_;
    QWidget taskBar;
    taskBar.setWindowTitle(QStringLiteral("task bar"));
    taskBar.resize(60, 200);
    taskBar.show();
    QVERIFY(x11::WaitUntilFramed(taskBar));
    // The window manager keeps the strut's 60 pixels on the left free of other windows.
    QVERIFY(x11::RunTool(
                QStringLiteral("xprop"),
                {QStringLiteral("-id"), x11::WindowId(taskBar), QStringLiteral("-f"),
                 QStringLiteral("_NET_WM_STRUT"), QStringLiteral("32c"), QStringLiteral("-set"),
                 QStringLiteral("_NET_WM_STRUT"), QStringLiteral("60, 0, 0, 0")})
                .ok);
    const QRect beside = screen.adjusted(60, 0, 0, 0);
    QVERIFY(x11::WaitFor([&] { return x11::ServerWorkArea() == beside; }));
    workArea_ = beside;
    auto restore = qScopeGuard([&] { workArea_ = screen; });
    init();

    WriteBytes(SettingsFile(), settings.toStdString());
    const Start first = StartMainWindow();
    if (QTest::currentTestFailed()) return;
    CheckSavedBounds(first, "frm_Main");
    QCOMPARE(first.frame.left(), 60);
    if (settings.contains("FullScreen=1")) QCOMPARE(first.frame, beside);
    const Start again = StartMainWindow();
    if (QTest::currentTestFailed()) return;
    QCOMPARE(again.frame, first.frame);
    QCOMPARE(again.settings, first.settings);

    taskBar.close();
    QVERIFY(x11::WaitFor([&] { return x11::ServerWorkArea() == screen; }));
  }
};

QTEST_MAIN(PlacementOnXServerTest)
#include "test_x11_placement.moc"
