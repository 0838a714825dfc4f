// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The busy cursor over the program's windows for as long as the object lives, for work that
// keeps the user waiting, such as reading a big lesson.

#include <QGuiApplication>

namespace pekto {

class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace pekto
