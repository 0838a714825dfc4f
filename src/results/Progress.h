// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The learner's progress per practice day, from the score table: keys per minute and the
// percentage of correct keys, for the statistics window's chart.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "results/CsvTable.h"

namespace pekto {

struct DayProgress {
  Date date;
  int32_t correct = 0;  // the day's sums over its score rows
  int32_t wrong = 0;
  int32_t seconds = 0;
  int32_t keysPerMinute = 0;  // judged keys × 60 / seconds (PerMinute)
  int32_t percent = 0;        // correct among the judged keys (RoundedPercent)
};

// The days of `player`'s score rows (the name compared byte for byte) dated `since` or later
// (every date when nothing), the earliest first, from the rows the open `scores` shows; rows
// without a date are left out. Throws pekto::Error for a missing field or a count that is no
// number.
std::vector<DayProgress> DailyProgress(const CsvTable& scores, std::string_view player,
                                       std::optional<Date> since);

}  // namespace pekto
