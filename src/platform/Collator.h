// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Locale-aware comparison of Windows-1250 texts: the tables sort and search with it, and the
// platform supplies the user's locale through it (QtCollator), so the tables need no Qt.

#include <string_view>

namespace pekto {

class Collator {
 public:
  virtual ~Collator() = default;
  // <0, 0 or >0 as a sorts before, equal to or after b in the user's locale.
  virtual int Compare(std::string_view a, std::string_view b, bool caseInsensitive) const = 0;
};

}  // namespace pekto
