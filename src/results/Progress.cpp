// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Progress.h"

#include <map>

#include "practice/Counters.h"
#include "practice/KeyStats.h"
#include "results/PlayerRows.h"

namespace pekto {

std::vector<DayProgress> DailyProgress(const CsvTable& scores, std::string_view player,
                                       std::optional<Date> since) {
  const size_t correctField = RequiredField(scores, "helyes");
  const size_t wrongField = RequiredField(scores, "hibas");
  const size_t timeField = RequiredField(scores, "ido");
  std::map<Date, DayProgress> days;
  ForEachPlayerRow(scores, player, since, [&](size_t row, const Date* date) {
    if (date == nullptr) return;
    DayProgress& day = days[*date];
    day.date = *date;
    day.correct += NullToInt(scores.ValueAt(row, correctField), 0);
    day.wrong += NullToInt(scores.ValueAt(row, wrongField), 0);
    day.seconds += NullToInt(scores.ValueAt(row, timeField), 0);
  });
  std::vector<DayProgress> result;
  result.reserve(days.size());
  for (auto& [date, day] : days) {
    day.keysPerMinute = PerMinute(day.correct + day.wrong, day.seconds);
    day.percent = RoundedPercent(day.correct, day.wrong);
    result.push_back(day);
  }
  return result;
}

}  // namespace pekto
