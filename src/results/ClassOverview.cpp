// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ClassOverview.h"

#include <algorithm>
#include <map>
#include <set>
#include <variant>

#include "results/PlayerRows.h"

namespace pekto {
namespace {

// A player's sums while the score rows are read.
struct Sums {
  PlayerOverview row;
  std::set<Date> days;
  Date lastDate;
  int32_t lastId = -1;
};

}  // namespace

double CorrectPercent(const PlayerOverview& row) {
  const int64_t judged = int64_t{row.correct} + row.wrong;
  return judged > 0 ? 100.0 * row.correct / static_cast<double>(judged) : 0.0;
}

std::vector<PlayerOverview> OverviewRows(const CsvTable& scores, Date from, Date to) {
  const size_t idField = RequiredField(scores, score_field::kId);
  const size_t playerField = RequiredField(scores, score_field::kPlayer);
  const size_t dateField = RequiredField(scores, score_field::kDate);
  const size_t correctField = RequiredField(scores, score_field::kCorrect);
  const size_t wrongField = RequiredField(scores, score_field::kWrong);
  const size_t timeField = RequiredField(scores, score_field::kSeconds);
  std::map<std::string, Sums> players;
  for (size_t row = 0; row < scores.VisibleRowCount(); ++row) {
    const NullableValue dateValue = scores.ValueAt(row, dateField);
    const Date* date = dateValue ? std::get_if<Date>(&*dateValue) : nullptr;
    if (date == nullptr || *date < from || to < *date) continue;
    const std::string player = NullToStr(scores.ValueAt(row, playerField), "");
    if (player.empty()) continue;
    const int32_t correct = NullToInt(scores.ValueAt(row, correctField), 0);
    const int32_t wrong = NullToInt(scores.ValueAt(row, wrongField), 0);
    const int32_t perMinute =
        PerMinute(correct + wrong, NullToInt(scores.ValueAt(row, timeField), 0));
    const int32_t id = NullToInt(scores.ValueAt(row, idField), 0);
    Sums& sums = players[player];
    sums.row.lessons += 1;
    sums.row.correct += correct;
    sums.row.wrong += wrong;
    sums.row.bestPerMinute = std::max(sums.row.bestPerMinute, perMinute);
    sums.days.insert(*date);
    if (sums.lastId < 0 || sums.lastDate < *date || (sums.lastDate == *date && sums.lastId < id)) {
      sums.lastDate = *date;
      sums.lastId = id;
      sums.row.lastPerMinute = perMinute;
    }
  }
  std::vector<PlayerOverview> rows;
  rows.reserve(players.size());
  for (auto& [player, sums] : players) {
    sums.row.player = player;
    sums.row.days = static_cast<int32_t>(sums.days.size());
    rows.push_back(std::move(sums.row));
  }
  return rows;
}

std::vector<KeyTally> TalliesBetween(const std::vector<KeyTally>& sinceFrom,
                                     const std::vector<KeyTally>& sinceAfterTo) {
  // Both lists are in byte order; the later one holds no character the earlier one lacks.
  std::vector<KeyTally> result;
  auto later = sinceAfterTo.begin();
  for (const KeyTally& tally : sinceFrom) {
    while (later != sinceAfterTo.end() && later->ch < tally.ch) ++later;
    KeyTally range{tally.ch, tally.judged, tally.wrong, {}, tally.intervalMs};
    if (later != sinceAfterTo.end() && later->ch == tally.ch) {
      range.judged -= later->judged;
      range.wrong -= later->wrong;
      range.intervalMs -= later->intervalMs;
    }
    if (range.judged > 0) result.push_back(range);
  }
  return result;
}

void SetWeakestKeys(std::vector<PlayerOverview>& rows, const PlayerKeyTallies& tallies) {
  for (PlayerOverview& row : rows) {
    const auto it = tallies.find(row.player);
    if (it == tallies.end() || it->second.size() < 2) {
      row.weakest.clear();
      continue;
    }
    row.weakest = WorstKeys(TalliesBetween(it->second[0], it->second[1]), kOverviewWeakKeys,
                            kOverviewMinJudged);
  }
}

std::string SpreadsheetCsv(const std::vector<std::vector<std::string>>& lines) {
  std::string out = "\xEF\xBB\xBF";
  for (const std::vector<std::string>& cells : lines) {
    for (size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) out += ';';
      const std::string& cell = cells[i];
      if (cell.find_first_of(";\"\r\n") == std::string::npos) {
        out += cell;
        continue;
      }
      out += '"';
      for (const char c : cell) {
        if (c == '"') out += '"';
        out += c;
      }
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace pekto
