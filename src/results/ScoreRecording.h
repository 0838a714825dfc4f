// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the evaluation of an exercise computes and records: the percentage of correct keys, the
// score row added before the first row of Score.csv, and the list of known players kept in
// Players.csv. No locking here: the callers hold the files' locks (results/Ertekel.h,
// results/JatekosMegad.h).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Collator.h"
#include "results/CsvValue.h"

namespace pekto {

// The share of correct keys among the judged ones as a whole percentage, 0 when none was
// judged: correct / (correct + wrong) rounded to a 64-bit significand (80-bit extended
// precision), times 100 rounded to a 64-bit significand again, then rounded to the nearest
// integer, halves to even. Computed exactly in integers, so every compiler gives the same
// result (23 correct and 17 wrong give 58, where double precision gives 57).
int32_t ExtendedPercent(int32_t correct, int32_t wrong);

// One finished exercise, Windows-1250 texts.
struct ScoreEntry {
  std::string title;
  std::string player;
  int32_t total = 0;
  int32_t correct = 0;
  int32_t wrong = 0;
  int32_t percent = 0;
  int32_t seconds = 0;
  Date date;
};

// A damaged table file (read, but no table of the expected fields) that was kept whole under a
// new name beside it (SetAsideDamaged) while a new file took its place.
struct SetAside {
  std::filesystem::path keptAs;  // empty when nothing was damaged
  std::string reason;            // what is wrong with it, UTF-8
};

// Loads `scoreFile` when it exists, inserts the entry before its first row, writes the whole
// file anew and returns the id the table gave the row (the largest id of the file + 1).
// A damaged file is set aside (noted in `setAside`), and a new file holds the entry alone.
// Throws pekto::Error when the file cannot be read or written; then nothing is moved.
int32_t RecordScore(const std::filesystem::path& scoreFile, const ScoreEntry& entry,
                    SetAside* setAside = nullptr);

// The names of `playerFile` in file order, "" for an empty or missing name; none when the file
// does not exist. Throws pekto::Error when it cannot be read.
std::vector<std::string> ReadPlayerNames(const std::filesystem::path& playerFile);

// Adds `name` (as typed, cut to the field's size) before the last row of `playerFile` unless a
// row holds exactly that name by `collator`, letter case significant. Returns whether the file
// was written. A damaged file is set aside as by RecordScore. Throws pekto::Error when the file
// cannot be read or written.
bool StorePlayerName(const std::filesystem::path& playerFile, std::string_view name,
                     const Collator* collator, SetAside* setAside = nullptr);

// What the user is told when the damaged `file` was set aside and a new one started with
// `stored` ("Az eredmény", "A játékos neve"): UTF-8.
std::string SetAsideNotice(const std::filesystem::path& file, const SetAside& setAside,
                           std::string_view stored);

}  // namespace pekto
