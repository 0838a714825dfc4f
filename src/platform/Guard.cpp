// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Guard.h"

#include <QString>
#include <stdexcept>

#include "platform/MessageBoxes.h"
#include "platform/QtText.h"

namespace pekto {

void ReportCurrentException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    ReportError(QStringLiteral("Out of memory"));
  } catch (const std::exception& e) {
    ReportError(ReadableText(e.what()));  // a file name in it may be of any bytes
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
}

}  // namespace pekto
