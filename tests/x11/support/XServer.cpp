// SPDX-License-Identifier: GPL-3.0-or-later
#include "XServer.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include "base/Placement.h"

namespace pekto::x11 {
namespace {

constexpr int kPollMs = 5;

// The numbers after "=" in xprop's answer for one property ("NAME(CARDINAL) = 1, 1, 20, 5").
QList<int> PropertyNumbers(const QString& xpropOutput) {
  QList<int> numbers;
  const qsizetype equals = xpropOutput.indexOf(u'=');
  if (equals < 0) return numbers;
  for (const QString& part : xpropOutput.mid(equals + 1).split(u',', Qt::SkipEmptyParts)) {
    bool ok = false;
    const int n = part.trimmed().toInt(&ok);
    if (ok) numbers << n;
  }
  return numbers;
}

// One "Label:  value" line of xwininfo's answer.
std::optional<int> WinInfoNumber(const QString& output, const QString& label) {
  const QRegularExpression line(
      QStringLiteral("^\\s*%1:\\s*(-?\\d+)\\s*$").arg(QRegularExpression::escape(label)),
      QRegularExpression::MultilineOption);
  const auto match = line.match(output);
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1).toInt();
}

ToolRun RunToolQuietly(const QString& program, const QStringList& arguments, int timeoutMs) {
  ToolRun run;
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted(timeoutMs)) {
    run.error = program + QStringLiteral(" did not start: ") + process.errorString();
    return run;
  }
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished(1000);
    run.error = program + QStringLiteral(" did not end within %1 ms").arg(timeoutMs);
    return run;
  }
  run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
  run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  if (!run.ok) {
    run.error = QStringLiteral("%1 %2 ended with status %3: %4")
                    .arg(program, arguments.join(u' '))
                    .arg(process.exitCode())
                    .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
  }
  return run;
}

}  // namespace

ToolRun RunTool(const QString& program, const QStringList& arguments, int timeoutMs) {
  ToolRun run = RunToolQuietly(program, arguments, timeoutMs);
  if (!run.ok) qWarning("%s", qPrintable(run.error));
  return run;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  while (true) {
    QCoreApplication::processEvents();
    if (condition()) return true;
    if (deadline.hasExpired()) return false;
    QTest::qWait(kPollMs);  // runs events, deferred deletes included, and sleeps in between
  }
}

void ProcessEventsFor(int ms) {
  WaitFor([] { return false; }, ms);
}

QString XServerProblem() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    return QStringLiteral(
               "the X server tests need Qt's xcb platform (this is \"%1\"): run them "
               "through tests/x11/run-on-xserver.sh")
        .arg(QGuiApplication::platformName());
  }
  const ToolRun wm = RunTool(QStringLiteral("xprop"),
                             {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
  if (!wm.ok || !wm.output.contains(QLatin1String("window id"))) {
    return QStringLiteral("no window manager runs on the display: ") + wm.error + wm.output;
  }
  return {};
}

QString WindowId(const QWidget& window) {
  return QStringLiteral("0x") + QString::number(window.winId(), 16);
}

std::optional<ServerWindow> ServerWindowOf(const QWidget& window) {
  const QString id = WindowId(window);
  const ToolRun info = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
  if (!info.ok) return std::nullopt;
  const auto x = WinInfoNumber(info.output, QStringLiteral("Absolute upper-left X"));
  const auto y = WinInfoNumber(info.output, QStringLiteral("Absolute upper-left Y"));
  const auto width = WinInfoNumber(info.output, QStringLiteral("Width"));
  const auto height = WinInfoNumber(info.output, QStringLiteral("Height"));
  if (!x || !y || !width || !height) return std::nullopt;

  ServerWindow server;
  server.client = QRect(*x, *y, *width, *height);
  server.viewable = info.output.contains(QLatin1String("Map State: IsViewable"));
  const ToolRun extents = RunTool(
      QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
  const QList<int> e = PropertyNumbers(extents.output);
  // _NET_FRAME_EXTENTS: left, right, top, bottom.
  if (extents.ok && e.size() == 4) server.frame = QMargins(e[0], e[2], e[1], e[3]);
  return server;
}

std::optional<QRect> ServerWorkArea() {
  const ToolRun run =
      RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")});
  const QList<int> n = PropertyNumbers(run.output);
  if (!run.ok || n.size() < 4) return std::nullopt;
  return QRect(n[0], n[1], n[2], n[3]);
}

bool WaitUntilFramed(const QWidget& window, int timeoutMs) {
  return WaitFor(
      [&window] {
        if (!window.isVisible() || PlacementPending(window)) return false;
        const auto server = ServerWindowOf(window);
        return server && server->viewable && !server->frame.isNull() &&
               server->client == window.geometry() && server->Frame() == window.frameGeometry();
      },
      timeoutMs);
}

bool ActivateWindow(QWidget& window, int timeoutMs) {
  const ToolRun run = RunTool(
      QStringLiteral("xdotool"),
      {QStringLiteral("windowactivate"), QStringLiteral("--sync"), WindowId(window)}, timeoutMs);
  if (!run.ok) return false;
  return WaitFor([&window] { return QApplication::activeWindow() == &window; }, timeoutMs);
}

bool PressKeys(const QStringList& keys) {
  return RunTool(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + keys).ok;
}

bool TypeText(const QString& text, int delayMs) {
  // xdotool types "\r" with the Return key and "\n" with Linefeed, a key no PC keyboard has.
  QString keys = text;
  keys.replace(u'\n', u'\r');
  return RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                             QString::number(delayMs), QStringLiteral("--"), keys})
      .ok;
}

bool CloseAsCloseBox(QWidget& window, int timeoutMs) {
  const ToolRun run = RunTool(QStringLiteral("wmctrl"),
                              {QStringLiteral("-i"), QStringLiteral("-c"), WindowId(window)});
  if (!run.ok) return false;
  return WaitFor([&window] { return !window.isVisible(); }, timeoutMs);
}

bool SetKeyboardLayout(const QStringList& setxkbmapArguments) {
  if (!RunTool(QStringLiteral("setxkbmap"), setxkbmapArguments).ok) return false;
  // Qt rereads the keymap when the server announces the change.
  ProcessEventsFor(100);
  return true;
}

}  // namespace pekto::x11
