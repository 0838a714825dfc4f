// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtCollator.h"

#include "platform/QtText.h"

namespace pekto {

QtCollator::QtCollator() : QtCollator(QLocale::system()) {}

QtCollator::QtCollator(const QLocale& locale) : caseSensitive_(locale), caseInsensitive_(locale) {
  caseSensitive_.setCaseSensitivity(Qt::CaseSensitive);
  caseInsensitive_.setCaseSensitivity(Qt::CaseInsensitive);
}

int QtCollator::Compare(std::string_view a, std::string_view b, bool caseInsensitive) const {
  const QCollator& collator = caseInsensitive ? caseInsensitive_ : caseSensitive_;
  const int result = collator.compare(ToQ(a), ToQ(b));
  return (result > 0) - (result < 0);
}

}  // namespace pekto
