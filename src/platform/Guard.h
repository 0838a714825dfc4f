// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every command and event handler runs inside Guarded: an error that escapes it goes to the
// general error report, the rest of the handler is skipped and the program goes on.

#include <exception>
#include <utility>

namespace pekto {

// Reports the exception that is being handled; call only inside a catch block.
void ReportCurrentException();

template <class Handler>
bool Guarded(Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
    return true;
  } catch (...) {
    ReportCurrentException();
    return false;
  }
}

}  // namespace pekto
