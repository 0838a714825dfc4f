// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The locale collation of the tables (FindRow, SortBy) on top of QCollator: Windows-1250 texts
// compared as Unicode in the user's locale, letter case significant unless asked otherwise.

#include <QCollator>
#include <QLocale>

#include "platform/Collator.h"

namespace pekto {

class QtCollator : public Collator {
 public:
  // The system locale.
  QtCollator();
  explicit QtCollator(const QLocale& locale);

  int Compare(std::string_view a, std::string_view b, bool caseInsensitive) const override;

 private:
  QCollator caseSensitive_;
  QCollator caseInsensitive_;
};

}  // namespace pekto
