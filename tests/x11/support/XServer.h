// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the tests that run on a real X server (tests/x11), where a window manager frames
// the windows and keys come through the X server as a keyboard's do.
//
// How the tier works:
// - Each tests/x11/test_*.cpp is a Qt Test program (link pekto_gui, Qt6::Test, these helpers and
//   tests/gui/support), which tests/CMakeLists.txt registers with ctest through
//   tests/x11/run-on-xserver.sh. The runner starts a private Xvfb with openbox for that one
//   program and sets QT_QPA_PLATFORM=xcb and DISPLAY; the variable X11_LAYOUT_<program> in
//   tests/CMakeLists.txt picks a keyboard layout for it (setxkbmap arguments, e.g. "hu").
// - Run one by hand: tests/x11/run-on-xserver.sh [--layout hu] build/bin/test_x11_placement
// - A test works in-process, as tests/gui does: give it a test::FreshRun with the screen's work
//   area ({.screenWorkArea = true}), create the window, show it, WaitUntilFramed, then drive it
//   with ActivateWindow and PressKeys / TypeText, wait for the effect with WaitFor, and close it
//   with CloseAsCloseBox. Start initTestCase with QVERIFY2 on XServerProblem().
// - The external tools (xdotool, wmctrl, xwininfo, xprop, setxkbmap) are run synchronously;
//   what they cause reaches the program as X events, so wait for the effect with WaitFor (which
//   processes Qt events) rather than checking at once.

#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace pekto::x11 {

// The outcome of a command-line tool run to its end.
struct ToolRun {
  bool ok = false;  // it started, ended within the time allowed, with status 0
  QString output;   // its standard output
  QString error;    // what went wrong, for failure messages: the tool's standard error and status
};

// Runs `program` with `arguments` and waits at most `timeoutMs` for it to end.
ToolRun RunTool(const QString& program, const QStringList& arguments, int timeoutMs = 5000);

// Processes Qt events until `condition` holds or `timeoutMs` have passed; returns whether it
// held. The condition is checked every few milliseconds.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

// Processes Qt events for `ms` milliseconds.
void ProcessEventsFor(int ms);

// Empty when the program runs on an X server through Qt's xcb platform with a window manager,
// else why not: for QVERIFY2 in initTestCase.
QString XServerProblem();

// The X window id of a shown top-level window, as the X tools take it ("0x1a00007").
QString WindowId(const QWidget& window);

// A window as the X server sees it, read with xwininfo and xprop, apart from Qt's bookkeeping.
struct ServerWindow {
  QRect client;           // the client area in screen coordinates
  QMargins frame;         // the window manager's frame (_NET_FRAME_EXTENTS); null before framing
  bool viewable = false;  // mapped, with all its ancestors
  QRect Frame() const { return client.marginsAdded(frame); }
};
std::optional<ServerWindow> ServerWindowOf(const QWidget& window);

// The desktop work area as the window manager publishes it (_NET_WORKAREA of desktop 0).
std::optional<QRect> ServerWorkArea();

// Waits until the window manager has mapped and framed the window, the program has finished
// placing it (PlacementPending) and Qt's geometry agrees with the X server's.
bool WaitUntilFramed(const QWidget& window, int timeoutMs = 5000);

// Gives the window the focus through the window manager and waits until Qt sees it active.
bool ActivateWindow(QWidget& window, int timeoutMs = 5000);

// Presses keys through the X server (XTEST), delivered to the focused window as a keyboard's
// would be; each entry is one xdotool key name or combination, for example "a", "Delete",
// "ctrl+1", "alt+x", "ISO_Level3_Shift+v", "odoubleacute" (a key of the current layout).
bool PressKeys(const QStringList& keys);
// Types `text` with the keys of the current layout (xdotool type), `delayMs` apart (0: a burst);
// a line break is the Return key, as on a keyboard.
bool TypeText(const QString& text, int delayMs = 12);

// Asks the window manager to close the window, as its close box does, and waits until the
// window has closed (is hidden).
bool CloseAsCloseBox(QWidget& window, int timeoutMs = 5000);

// Sets the keyboard layout with setxkbmap arguments ({"hu"}, {"us", "-variant", "intl"}) and
// gives Qt a moment to take the new keymap.
bool SetKeyboardLayout(const QStringList& setxkbmapArguments);

}  // namespace pekto::x11
