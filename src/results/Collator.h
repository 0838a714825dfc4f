#pragma once
// Locale-aware comparison of Windows-1250 texts, supplied by the program to the tables.

#include <string_view>

namespace pekto {

class Collator {
 public:
  virtual ~Collator() = default;
  // <0, 0 or >0 as a sorts before, equal to or after b in the user's locale.
  virtual int Compare(std::string_view a, std::string_view b, bool caseInsensitive) const = 0;
};

}  // namespace pekto
