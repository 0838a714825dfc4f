// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The key table Keys.csv beside Score.csv: per score row and expected character the figures of
// the exercise's keys (practice/KeyStats.h), in the same table-file format and code page as the
// score. No locking here: the caller holds the file's lock (platform/FileLock.h), as for the
// score.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "practice/KeyStats.h"
#include "results/CsvValue.h"

namespace pekto {

inline constexpr std::string_view kKeyFileName = "Keys.csv";

// eredmeny (the score row's id), jatekos, datum, betu, leutes (judged), hibas (wrong),
// helyette (the substitutes, "á:3 o:1"), ido (the sum of the correct hits' intervals, ms).
std::vector<FieldSpec> KeySchema();

// Whose exercise the rows belong to: the score row's id, player (Windows-1250) and date.
struct KeyRowOwner {
  int32_t scoreId = 0;
  std::string player;
  Date date;
};

// Adds a row per tally at the end of `keysFile`, made when missing; nothing is written for no
// tallies. The table, which grows to millions of rows, is not rewritten: its head is checked,
// the rows are appended and flushed to disk (a last line that a crash cut short gets its line
// end first, so that no row is glued to it; readers skip such a line). Only a table of another
// layout is loaded and written whole. Returns the message (UTF-8, naming the file) when nothing
// could be written: a damaged file is then left as it is, never replaced or moved.
std::optional<std::string> AppendKeyRows(const std::filesystem::path& keysFile,
                                         const KeyRowOwner& owner,
                                         const std::vector<KeyTally>& tallies);

// The message for the key rows that `keysFile` did not get: `reason` is why (UTF-8).
std::string KeysNotWrittenMessage(const std::filesystem::path& keysFile, std::string_view reason);

// The tallies of `player`'s rows (the name compared byte for byte) dated `since` or later (every
// date when nothing), summed per character in byte order; none when the file does not exist.
// Read through the sums kept beside the file (results/KeySums.h): only rows added since they
// were last kept are read. Throws pekto::Error naming the file when it cannot be read or is
// damaged.
std::vector<KeyTally> ReadKeyTallies(const std::filesystem::path& keysFile, std::string_view player,
                                     std::optional<Date> since);

// Every player's tallies in one reading of `keysFile`: per player (Windows-1250) one list of
// tallies per period of `periods` (rows dated its start or later; nothing: every row), in the
// periods' order, summed as ReadKeyTallies sums them; none when the file does not exist. Throws
// as ReadKeyTallies.
using PlayerKeyTallies = std::map<std::string, std::vector<std::vector<KeyTally>>>;
PlayerKeyTallies ReadPlayerKeyTallies(const std::filesystem::path& keysFile,
                                      const std::vector<std::optional<Date>>& periods);

}  // namespace pekto
