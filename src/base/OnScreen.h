// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work that follows a window's first showing once the window stands complete on the screen. The
// window system puts a window on the screen (exposes it) a moment after show(), from the event
// loop; a minimised window may not be exposed at all.

#include <chrono>
#include <functional>

class QWidget;

namespace pekto {

// Runs `then` once, from the event loop: right after the window system has exposed `window` and
// the window has painted itself there, or once `deadline` has passed with the window shown but not
// exposed. Nothing runs while the window is hidden (closed): a window shown again finishes the
// wait then. Nothing runs after the window is destroyed. For the window's show handler.
void WhenOnScreen(QWidget& window, std::chrono::milliseconds deadline, std::function<void()> then);

}  // namespace pekto
