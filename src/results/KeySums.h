// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of the key table Keys.csv summed per player and character, over every row and per
// day, for the statistics that read them: a class's year is millions of rows, which take
// seconds to read, while their sums take a fraction of that.
//
// The sums are kept in "Keys.cache" beside the table (derived data, written whenever it is
// behind and never reported when it cannot be): with the length of the table they cover and a
// check of that part's first and last 4 KB. The table only grows (rows are appended), so a
// reading takes the sums and reads only the rows added since; a table whose covered part changed
// and a cache that is damaged or of another version are summed anew from the whole table.
//
// A row counts once its line has ended and it holds every field up to the record terminator: a
// line cut short by a crash (the last line, or one that a later append left behind it) is no row.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "practice/KeyStats.h"
#include "results/CsvValue.h"

namespace pekto {

class InputFile;
class KeySumTable;

// The tallies of a set of rows per character, substitutes kept whole (not cut to the three most
// frequent), in character order.
class KeySumGroup {
 public:
  void Add(const KeyTally& tally);
  void Add(const KeySumGroup& other);

  void Encode(std::string& out) const;
  // Reads what Encode wrote from `bytes` at `pos`, which it moves past; false for bytes that are
  // no group (the group is then unusable).
  bool Decode(std::string_view bytes, size_t& pos);

 private:
  struct CharSum {
    unsigned char ch = 0;
    int64_t judged = 0;
    int64_t wrong = 0;
    int64_t intervalMs = 0;
  };
  struct SubstituteSum {
    unsigned char ch = 0;     // the expected character
    unsigned char typed = 0;  // what was typed in its place
    int64_t count = 0;
  };
  CharSum& CharOf(unsigned char ch);
  void Place(size_t index);
  void AddSubstitute(unsigned char ch, unsigned char typed, int64_t count);

  friend class KeySumTable;

  std::vector<CharSum> chars_;
  // Per character its index in chars_ + 1; 0 for none, or one beyond the 255th.
  std::array<uint8_t, 256> place_{};
  std::vector<SubstituteSum> substitutes_;  // by expected, then typed character
};

// Every player's sums (player names in Windows-1250, compared byte for byte).
class KeySums {
 public:
  KeySums() = default;
  // The days of the players lie in the cache's bytes: sums are moved, never copied.
  KeySums(KeySums&&) = default;
  KeySums& operator=(KeySums&&) = default;
  KeySums(const KeySums&) = delete;
  KeySums& operator=(const KeySums&) = delete;

  // The sums of `keysFile` (none when it does not exist), from its cache where that covers the
  // table; the cache is written anew when it was behind. Throws pekto::Error (not naming the
  // file) when the table cannot be read or is damaged.
  static KeySums Of(const std::filesystem::path& keysFile);

  // The player's tallies of the rows dated `since` or later (every row when nothing), as
  // KeyRecord gives them.
  std::vector<KeyTally> Tallies(std::string_view player, std::optional<Date> since) const;
  // Per player one list of tallies per period of `periods`, in their order.
  std::map<std::string, std::vector<std::vector<KeyTally>>> ByPlayer(
      const std::vector<std::optional<Date>>& periods) const;

 private:
  struct Player {
    KeySumGroup total;
    // Per day, the latest first: the packed date, the group's length and the group; in the
    // cache's bytes, or in ownDays once days were added.
    std::string_view days;
    std::string ownDays;
    // The rows added since the last Settle, per day and without a date.
    std::map<uint32_t, KeySumGroup> pending;
    KeySumGroup undated;
  };
  // Reads the rows of the table in its own layout from `from` on; returns where the last whole
  // line ends.
  std::uintmax_t ReadRows(InputFile& file, std::uintmax_t from);
  void ReadAnyLayout(const std::filesystem::path& keysFile);
  void AddRow(std::string_view player, const Date* date, const KeyTally& row);
  Player& PlayerNamed(std::string_view name);
  // Takes the pending days into the encoded ones.
  void Settle();
  // The sums as the cache holds them, and back from the cache's bytes, which they keep (false
  // for bytes that are no sums).
  void Encode(std::string& out) const;
  bool Decode(std::shared_ptr<const std::string> cache, std::string_view bytes);
  // Calls `use(date, group)` for each day of `player` from the latest back to `since`.
  template <typename Use>
  static void ForEachDaySince(const Player& player, uint32_t since, Use&& use);

  std::shared_ptr<const std::string> cache_;
  std::map<std::string, Player, std::less<>> players_;
  Player* last_ = nullptr;  // the player of the previous row, who is most often the next one's
  std::string lastName_;
  // The pending day of the previous row.
  const Player* lastDayOwner_ = nullptr;
  KeySumGroup* lastDay_ = nullptr;
  uint32_t lastDate_ = 0;
  size_t pendingDays_ = 0;
};

// The cache file of `keysFile`: "Keys.cache" for "Keys.csv".
std::filesystem::path KeyCacheFile(const std::filesystem::path& keysFile);

}  // namespace pekto
