#include "platform/Guard.h"

#include <QString>
#include <stdexcept>

#include "platform/MessageBoxes.h"

namespace pekto {

void ReportCurrentException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    ReportError(QStringLiteral("Out of memory"));
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
}

}  // namespace pekto
