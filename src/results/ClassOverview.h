// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class overview for the teacher: per player, what the score and key tables say of a date
// range (lessons done, days practised, speed, correctness, the weakest keys), and the table as a
// file for a Hungarian spreadsheet.

#include <cstdint>
#include <string>
#include <vector>

#include "practice/KeyStats.h"
#include "practice/WeakKeyDrill.h"
#include "results/CsvTable.h"
#include "results/KeyTable.h"

namespace pekto {

// One player's row of the overview.
struct PlayerOverview {
  std::string player;         // Windows-1250
  int32_t lessons = 0;        // score rows in the range
  int32_t days = 0;           // dates with a score row
  int32_t lastPerMinute = 0;  // of the latest row: the latest date, then the highest id
  int32_t bestPerMinute = 0;
  int32_t correct = 0;  // judged keys of the range
  int32_t wrong = 0;
  std::vector<KeyTally> weakest;  // the worst keys of the range, filled once Keys.csv is read
};

// The share of correct keys in per cent, 0 when none was judged.
double CorrectPercent(const PlayerOverview& row);

// One row per player with a score row dated from `from` to `to` (both included), by name in
// byte order; keys per minute as the evaluation computes them (PerMinute of the judged keys).
// Throws pekto::Error for a missing field.
std::vector<PlayerOverview> OverviewRows(const CsvTable& scores, Date from, Date to);

// How many weak keys a row shows, and how often a key must have been judged in the range to be
// counted among them: as often as the weak-key drill asks.
inline constexpr size_t kOverviewWeakKeys = 3;
inline constexpr int32_t kOverviewMinJudged = kDrillMinJudged;

// The key tallies of the range from two periods of ReadPlayerKeyTallies: every row since the
// range's first day minus every row since the day after its last.
std::vector<KeyTally> TalliesBetween(const std::vector<KeyTally>& sinceFrom,
                                     const std::vector<KeyTally>& sinceAfterTo);

// Sets each row's weakest keys from `tallies`, read with the periods {from, to + 1 day}.
void SetWeakestKeys(std::vector<PlayerOverview>& rows, const PlayerKeyTallies& tallies);

// A table as a file a Hungarian spreadsheet opens as it is: UTF-8 with a byte order mark, the
// cells (UTF-8) separated by semicolons, lines ended by CR LF, a cell holding a semicolon, a
// quote or a line break quoted with its quotes doubled.
std::string SpreadsheetCsv(const std::vector<std::vector<std::string>>& lines);

}  // namespace pekto
