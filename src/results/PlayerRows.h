// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of one player from a date on, in a score or key table: what the statistics sum.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/Error.h"
#include "results/CsvTable.h"

namespace pekto {

// The index of a field the table must have; throws pekto::Error as the table names a missing one.
inline size_t RequiredField(const CsvTable& table, std::string_view name) {
  const int index = table.FieldIndex(name);
  if (index < 0) throw Error("Tbl: Field '" + std::string(name) + "' not found");
  return static_cast<size_t>(index);
}

// Calls `use(row, date)` for each row the table shows whose "jatekos" is `player` (byte for byte)
// and whose "datum" is `since` or later (any date, or none, when `since` is nothing).
template <typename Use>
void ForEachPlayerRow(const CsvTable& table, std::string_view player, std::optional<Date> since,
                      Use&& use) {
  const size_t playerField = RequiredField(table, "jatekos");
  const size_t dateField = RequiredField(table, "datum");
  for (size_t row = 0; row < table.VisibleRowCount(); ++row) {
    if (NullToStr(table.ValueAt(row, playerField), "") != player) continue;
    const NullableValue value = table.ValueAt(row, dateField);
    const Date* date = value ? std::get_if<Date>(&*value) : nullptr;
    if (since && (date == nullptr || *date < *since)) continue;
    use(row, date);
  }
}

}  // namespace pekto
