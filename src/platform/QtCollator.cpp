#include "platform/QtCollator.h"

#include <QString>

#include "platform/Cp1250.h"

namespace pekto {
namespace {

QString FromCp1250(std::string_view bytes) {
  const std::string utf8 = cp1250::ToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

QtCollator::QtCollator() : QtCollator(QLocale::system()) {}

QtCollator::QtCollator(const QLocale& locale) : caseSensitive_(locale), caseInsensitive_(locale) {
  caseSensitive_.setCaseSensitivity(Qt::CaseSensitive);
  caseInsensitive_.setCaseSensitivity(Qt::CaseInsensitive);
}

int QtCollator::Compare(std::string_view a, std::string_view b, bool caseInsensitive) const {
  const QCollator& collator = caseInsensitive ? caseInsensitive_ : caseSensitive_;
  const int result = collator.compare(FromCp1250(a), FromCp1250(b));
  return (result > 0) - (result < 0);
}

}  // namespace pekto
