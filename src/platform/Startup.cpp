// SPDX-License-Identifier: GPL-3.0-or-later
// The work area of the start-up values and the memory of the start; the folders are in
// StartupFolders.cpp.

#include <QGuiApplication>
#include <QScreen>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/Startup.h"

namespace pekto {

// Qt's available geometry rather than the system's work area: windows are placed in Qt's
// device-independent pixels, which differ from the system's on a scaled display.
WorkRect CurrentWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return WorkRect{0, 0, 1024, 768};
  const QRect area = screen->availableGeometry();
  return WorkRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
}

void CaptureWorkArea() {
  Startup().WorkArea = CurrentWorkArea();
}

void ReleaseStartupMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

}  // namespace pekto
