// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/KeySums.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <system_error>
#include <type_traits>
#include <utility>

#include "platform/Error.h"
#include "platform/Files.h"
#include "results/CsvFormat.h"
#include "results/CsvTable.h"
#include "results/KeyTable.h"

namespace fs = std::filesystem;

namespace pekto {

using table_detail::FieldReader;
using table_detail::FieldText;
using table_detail::LineReader;

namespace {

// ---- bytes of the cache ------------------------------------------------------------------------

constexpr std::string_view kMagic = "PEKTOKS1";  // the last character is the layout's version
// The part of the table at each end of the covered bytes whose check the cache keeps.
constexpr size_t kCheckedBytes = 4096;
// The start of the table that holds its head: far more than the head of the key table takes.
constexpr size_t kHeadBytes = 64 * 1024;
// The table is read in parts of this size.
constexpr size_t kChunkBytes = size_t{4} << 20;
// The most days kept apart before they are summed into a player's days while reading.
constexpr size_t kPendingDayLimit = 20'000;

void PutVarint(std::string& out, uint64_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

void PutSigned(std::string& out, int64_t value) {
  PutVarint(out, (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63));
}

void PutFixed(std::string& out, uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>(value >> (8 * i));
}

bool GetVarint(std::string_view bytes, size_t& pos, uint64_t& value) {
  value = 0;
  for (int shift = 0; shift < 64 && pos < bytes.size(); shift += 7) {
    const auto byte = static_cast<unsigned char>(bytes[pos++]);
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

bool GetSigned(std::string_view bytes, size_t& pos, int64_t& value) {
  uint64_t raw = 0;
  if (!GetVarint(bytes, pos, raw)) return false;
  value = static_cast<int64_t>(raw >> 1) ^ -static_cast<int64_t>(raw & 1);
  return true;
}

bool GetByte(std::string_view bytes, size_t& pos, unsigned char& value) {
  if (pos >= bytes.size()) return false;
  value = static_cast<unsigned char>(bytes[pos++]);
  return true;
}

uint64_t GetFixed(std::string_view bytes, size_t pos) {
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) {
    value |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[pos + i])) << (8 * i);
  }
  return value;
}

// A check of bytes against damage (no protection against anyone who means harm): four lanes of
// eight bytes at a time, so that megabytes take a millisecond.
uint64_t Check(std::string_view bytes) {
  constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ULL;
  std::array<uint64_t, 4> lanes = {bytes.size(), 1, 2, 3};
  const auto mix = [](uint64_t h, uint64_t word) { return std::rotl((h ^ word) * kPrime, 31); };
  size_t i = 0;
  for (; i + 32 <= bytes.size(); i += 32) {
    for (size_t lane = 0; lane < lanes.size(); ++lane) {
      uint64_t word = 0;
      std::memcpy(&word, bytes.data() + i + 8 * lane, 8);
      lanes[lane] = mix(lanes[lane], word);
    }
  }
  uint64_t h =
      lanes[0] ^ std::rotl(lanes[1], 7) ^ std::rotl(lanes[2], 13) ^ std::rotl(lanes[3], 19);
  for (; i < bytes.size(); i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, std::min<size_t>(8, bytes.size() - i));
    h = mix(h, word);
  }
  h = mix(h, bytes.size());
  return h ^ (h >> 29);
}

uint32_t Packed(const Date& date) {
  return static_cast<uint32_t>(date.year) * 512 + static_cast<uint32_t>(date.month) * 32 +
         static_cast<uint32_t>(date.day);
}

// ---- the rows of the table ---------------------------------------------------------------------

// The key fields in the order this program writes them.
enum Column : size_t { kId, kPlayer, kDate, kChar, kJudged, kWrong, kSubstitutes, kTime, kColumns };

// The table holds exactly the key fields in their order, as AppendKeyRows writes it: its lines
// are then read field by field here, without a value object per field.
bool IsOwnLayout(const table_detail::TableHead& head) {
  const std::vector<FieldSpec> schema = KeySchema();
  if (head.fields.size() != schema.size() || head.columns.size() != schema.size()) return false;
  for (size_t i = 0; i < schema.size(); ++i) {
    if (head.columns[i] != static_cast<int>(i) ||
        table_detail::FieldLine(head.fields[i]) != table_detail::FieldLine(schema[i])) {
      return false;
    }
  }
  return true;
}

// The places of the key fields among the fields of a table (by Column; the score row's id is
// not needed). Throws pekto::DamagedFileError for a missing one, as a table that loads the file
// would.
std::array<size_t, kColumns> KeyFieldPlaces(const std::vector<FieldSpec>& fields) {
  const std::vector<FieldSpec> schema = KeySchema();
  std::array<size_t, kColumns> places{};
  for (size_t column = kPlayer; column < kColumns; ++column) {
    const int index = FindField(fields, schema[column].name);
    if (index < 0) throw DamagedFileError("Tbl: Field '" + schema[column].name + "' not found");
    places[column] = static_cast<size_t>(index);
  }
  return places;
}

// Reads lines of the table's own layout as the table would read them, and hands each row to
// `use(player, date or null, tally)`.
template <typename Use>
class RowReader {
 public:
  explicit RowReader(Use use) : use_(std::move(use)), schema_(KeySchema()) {}

  // One line; a line cut short is no row.
  void Line(std::string_view line) {
    FieldReader reader(line);
    FieldText field;
    size_t column = 0;
    for (; column < kColumns && reader.Next(field); ++column) Take(column, field);
    if (column < kColumns || reader.QuoteLeftOpen() || line.back() != ',') return;
    if (ch_.empty()) return;
    tally_.ch = static_cast<unsigned char>(ch_[0]);
    tally_.judged = numbers_[kJudged];
    tally_.wrong = numbers_[kWrong];
    tally_.intervalMs = numbers_[kTime];
    use_(std::string_view(player_), hasDate_ ? &date_ : nullptr, tally_);
  }

 private:
  void Take(size_t column, const FieldText& field) {
    const FieldSpec& declared = schema_[column];
    switch (column) {
      case kPlayer:
        Text(player_, declared, field);
        return;
      case kChar:
        Text(ch_, declared, field);
        return;
      case kSubstitutes:
        Text(text_, declared, field);
        tally_.substitutes = ParseSubstitutes(text_);
        return;
      case kDate:
        hasDate_ = !field.null && !field.text.empty();
        // The rows of an exercise share their date.
        if (hasDate_ && field.text != dateText_) {
          date_ = Fixed<Date>(declared, field.text);
          dateText_ = field.text;
        }
        return;
      default:
        numbers_[column] =
            field.null || field.text.empty() ? 0 : Fixed<int32_t>(declared, field.text);
    }
  }

  static void Text(std::string& out, const FieldSpec& declared, const FieldText& field) {
    out.clear();
    if (!field.null) table_detail::AppendUnescaped(out, field.text, TextLimit(declared));
  }

  template <typename T>
  static T Fixed(const FieldSpec& declared, std::string_view text) {
    T value{};
    const bool read = ParseFixed(declared.type, text, [&value](const auto& v) {
      if constexpr (std::is_same_v<std::decay_t<decltype(v)>, T>) value = v;
    });
    if (!read) throw DamagedFileError(ConversionError(declared, text).what());
    return value;
  }

  Use use_;
  const std::vector<FieldSpec> schema_;
  std::string player_, ch_, text_, dateText_;
  Date date_;
  bool hasDate_ = false;
  std::array<int32_t, kColumns> numbers_{};
  KeyTally tally_;
};

// ---- the cache file ----------------------------------------------------------------------------
//
// "PEKTOKS1", then four numbers of eight bytes (little-endian): the length of the table that the
// sums cover, the checks of that part's first and last kCheckedBytes bytes and the length of the
// sums; the sums (KeySums::Encode); last the check of everything before it.

constexpr size_t kCacheHead = kMagic.size() + 4 * 8;

struct Covered {
  uint64_t bytes = 0;
  uint64_t firstCheck = 0;
  uint64_t lastCheck = 0;
};

// The check of the covered part's first and last bytes, read from the table.
Covered CoveredPart(InputFile& file, std::string_view start, uint64_t bytes) {
  Covered covered{bytes, Check(start.substr(0, std::min<uint64_t>(bytes, kCheckedBytes))), 0};
  const uint64_t last = std::min<uint64_t>(bytes, kCheckedBytes);
  file.Seek(bytes - last);
  covered.lastCheck = Check(file.Read(last));
  return covered;
}

// The sums of a cache file, with the part they cover; nothing for a file that is no cache.
std::optional<std::pair<Covered, std::string_view>> CacheContent(std::string_view bytes) {
  if (bytes.size() < kCacheHead + 8 || bytes.substr(0, kMagic.size()) != kMagic) return {};
  const uint64_t length = GetFixed(bytes, kMagic.size() + 24);
  if (length != bytes.size() - kCacheHead - 8) return {};
  if (GetFixed(bytes, bytes.size() - 8) != Check(bytes.substr(0, bytes.size() - 8))) return {};
  const Covered covered{GetFixed(bytes, kMagic.size()), GetFixed(bytes, kMagic.size() + 8),
                        GetFixed(bytes, kMagic.size() + 16)};
  return std::pair{covered, bytes.substr(kCacheHead, length)};
}

// Writes the cache with the sums that `encode(out)` appends; a cache that cannot be written is only
// slower to read next time.
template <typename Encode>
void WriteCache(const fs::path& cacheFile, const Covered& covered, Encode&& encode) {
  std::string bytes(kMagic);
  for (const uint64_t value : {covered.bytes, covered.firstCheck, covered.lastCheck, uint64_t{0}}) {
    PutFixed(bytes, value);
  }
  encode(bytes);
  const uint64_t length = bytes.size() - kCacheHead;
  for (size_t i = 0; i < 8; ++i) bytes[kCacheHead - 8 + i] = static_cast<char>(length >> (8 * i));
  PutFixed(bytes, Check(bytes));
  std::string reason;
  ReplaceFileContent(cacheFile, bytes, reason, nullptr, FileFlush::Later);
}

// The cache's bytes; empty when there is none or it cannot be read. A cache is never larger than
// twice the table it sums.
std::string ReadCache(const fs::path& cacheFile, std::uintmax_t tableBytes) {
  try {
    return ReadWholeFile(cacheFile, 2 * tableBytes + kCacheHead + 1024);
  } catch (const Error&) {
    return {};
  }
}

}  // namespace

// ---- a group of sums ---------------------------------------------------------------------------

KeySumGroup::CharSum& KeySumGroup::CharOf(unsigned char ch) {
  if (place_[ch] != 0) return chars_[place_[ch] - 1];
  const auto at = std::lower_bound(chars_.begin(), chars_.end(), ch,
                                   [](const CharSum& c, unsigned char x) { return c.ch < x; });
  if (at != chars_.end() && at->ch == ch) return *at;
  const auto index = static_cast<size_t>(at - chars_.begin());
  chars_.insert(at, CharSum{ch, 0, 0, 0});
  for (size_t i = index; i < chars_.size(); ++i) Place(i);
  return chars_[index];
}

void KeySumGroup::Place(size_t index) {
  place_[chars_[index].ch] = index < UINT8_MAX ? static_cast<uint8_t>(index + 1) : 0;
}

void KeySumGroup::AddSubstitute(unsigned char ch, unsigned char typed, int64_t count) {
  const auto key = std::pair(ch, typed);
  const auto at =
      std::lower_bound(substitutes_.begin(), substitutes_.end(), key,
                       [](const SubstituteSum& s, std::pair<unsigned char, unsigned char> k) {
                         return std::pair(s.ch, s.typed) < k;
                       });
  if (at != substitutes_.end() && at->ch == ch && at->typed == typed) {
    at->count += count;
  } else {
    substitutes_.insert(at, SubstituteSum{ch, typed, count});
  }
}

void KeySumGroup::Add(const KeyTally& tally) {
  CharSum& sum = CharOf(tally.ch);
  sum.judged += tally.judged;
  sum.wrong += tally.wrong;
  sum.intervalMs += tally.intervalMs;
  for (const Substitute& s : tally.substitutes) AddSubstitute(tally.ch, s.ch, s.count);
}

void KeySumGroup::Add(const KeySumGroup& other) {
  for (const CharSum& c : other.chars_) {
    CharSum& sum = CharOf(c.ch);
    sum.judged += c.judged;
    sum.wrong += c.wrong;
    sum.intervalMs += c.intervalMs;
  }
  for (const SubstituteSum& s : other.substitutes_) AddSubstitute(s.ch, s.typed, s.count);
}

// Groups summed in flat tables, for the periods of a query: no search and no insertion per
// character and substitute.
class KeySumTable {
 public:
  KeySumTable() : substitutes_(256 * 256, -1) {}

  void Add(const KeySumGroup& group) {
    for (const KeySumGroup::CharSum& c : group.chars_) {
      KeySumGroup::CharSum& sum = chars_[c.ch];
      if (!seen_[c.ch]) {
        seen_[c.ch] = true;
        sum = {c.ch, 0, 0, 0};
      }
      sum.judged += c.judged;
      sum.wrong += c.wrong;
      sum.intervalMs += c.intervalMs;
    }
    for (const KeySumGroup::SubstituteSum& s : group.substitutes_) {
      int64_t& count = substitutes_[s.ch * 256U + s.typed];
      if (count < 0) {
        count = 0;
        typed_.push_back(static_cast<uint16_t>(s.ch * 256U + s.typed));
      }
      count += s.count;
    }
  }

  // The tallies as KeyRecord gives them for the same rows: in character order, the most frequent
  // substitutes only. The table is empty afterwards.
  std::vector<KeyTally> Take() {
    std::sort(typed_.begin(), typed_.end());
    std::vector<KeyTally> tallies;
    std::vector<Substitute> typed;
    auto sub = typed_.begin();
    for (size_t ch = 0; ch < chars_.size(); ++ch) {
      if (!seen_[ch]) continue;
      typed.clear();
      for (; sub != typed_.end() && *sub / 256U == ch; ++sub) {
        typed.push_back(
            {static_cast<unsigned char>(*sub % 256U), static_cast<int32_t>(substitutes_[*sub])});
        substitutes_[*sub] = -1;
      }
      const KeySumGroup::CharSum& c = chars_[ch];
      tallies.push_back(KeyTally{c.ch, static_cast<int32_t>(c.judged),
                                 static_cast<int32_t>(c.wrong), MostFrequent(typed), c.intervalMs});
      seen_[ch] = false;
    }
    typed_.clear();
    return tallies;
  }

 private:
  std::array<KeySumGroup::CharSum, 256> chars_{};
  std::array<bool, 256> seen_{};
  std::vector<int64_t> substitutes_;  // per expected and typed character; -1 for none
  std::vector<uint16_t> typed_;       // the places of substitutes_ in use
};

void KeySumGroup::Encode(std::string& out) const {
  PutVarint(out, chars_.size());
  auto sub = substitutes_.begin();
  for (const CharSum& c : chars_) {
    out += static_cast<char>(c.ch);
    PutSigned(out, c.judged);
    PutSigned(out, c.wrong);
    PutSigned(out, c.intervalMs);
    while (sub != substitutes_.end() && sub->ch < c.ch) ++sub;
    const auto first = sub;
    while (sub != substitutes_.end() && sub->ch == c.ch) ++sub;
    PutVarint(out, static_cast<uint64_t>(sub - first));
    for (auto s = first; s != sub; ++s) {
      out += static_cast<char>(s->typed);
      PutSigned(out, s->count);
    }
  }
}

bool KeySumGroup::Decode(std::string_view bytes, size_t& pos) {
  chars_.clear();
  substitutes_.clear();
  place_.fill(0);
  uint64_t count = 0;
  if (!GetVarint(bytes, pos, count) || count > 256) return false;
  for (uint64_t i = 0; i < count; ++i) {
    CharSum c;
    uint64_t subs = 0;
    if (!GetByte(bytes, pos, c.ch) || !GetSigned(bytes, pos, c.judged) ||
        !GetSigned(bytes, pos, c.wrong) || !GetSigned(bytes, pos, c.intervalMs) ||
        !GetVarint(bytes, pos, subs) || subs > 256 ||
        (!chars_.empty() && chars_.back().ch >= c.ch)) {
      return false;
    }
    chars_.push_back(c);
    Place(chars_.size() - 1);
    for (uint64_t k = 0; k < subs; ++k) {
      SubstituteSum s{c.ch, 0, 0};
      if (!GetByte(bytes, pos, s.typed) || !GetSigned(bytes, pos, s.count)) return false;
      if (k > 0 && substitutes_.back().typed >= s.typed) return false;
      substitutes_.push_back(s);
    }
  }
  return true;
}

// ---- every player's sums -----------------------------------------------------------------------

namespace {

// One day of the encoded days: its packed date and its group's bytes; false at the end or for
// bytes that are no day.
bool NextDay(std::string_view days, size_t& pos, uint32_t& date, std::string_view& group) {
  uint64_t packed = 0, length = 0;
  if (!GetVarint(days, pos, packed) || !GetVarint(days, pos, length) ||
      length > days.size() - pos || packed > UINT32_MAX) {
    return false;
  }
  date = static_cast<uint32_t>(packed);
  group = days.substr(pos, length);
  pos += length;
  return true;
}

void PutDay(std::string& days, uint32_t date, const KeySumGroup& group) {
  std::string bytes;
  group.Encode(bytes);
  PutVarint(days, date);
  PutVarint(days, bytes.size());
  days += bytes;
}

}  // namespace

KeySums::Player& KeySums::PlayerNamed(std::string_view name) {
  if (last_ != nullptr && lastName_ == name) return *last_;
  auto it = players_.find(name);
  if (it == players_.end()) it = players_.emplace(std::string(name), Player{}).first;
  last_ = &it->second;
  lastName_ = name;
  return *last_;
}

void KeySums::AddRow(std::string_view player, const Date* date, const KeyTally& row) {
  Player& sums = PlayerNamed(player);
  if (date == nullptr) {
    sums.undated.Add(row);
    return;
  }
  // The rows of an exercise share their player and day.
  const uint32_t day = Packed(*date);
  if (lastDayOwner_ != &sums || lastDate_ != day) {
    const auto [it, added] = sums.pending.try_emplace(day);
    pendingDays_ += added ? 1 : 0;
    lastDay_ = &it->second;
    lastDayOwner_ = &sums;
    lastDate_ = day;
  }
  lastDay_->Add(row);
}

void KeySums::Settle() {
  for (auto& [name, player] : players_) {
    player.total.Add(player.undated);
    player.undated = KeySumGroup();
    if (player.pending.empty()) continue;
    // Both run from the latest day back; a day in both is summed.
    const std::string_view old = player.days;
    std::string days;
    size_t pos = 0;
    for (auto it = player.pending.rbegin(); it != player.pending.rend(); ++it) {
      KeySumGroup& added = it->second;
      player.total.Add(added);
      for (size_t at = pos; true; pos = at) {
        uint32_t date = 0;
        std::string_view group;
        if (!NextDay(old, at, date, group) || date < it->first) break;
        if (date == it->first) {
          KeySumGroup earlier;
          size_t read = 0;
          if (earlier.Decode(group, read)) added.Add(earlier);
          pos = at;
          break;
        }
        days.append(old.substr(pos, at - pos));
      }
      PutDay(days, it->first, added);
    }
    days.append(old.substr(pos));
    player.ownDays = std::move(days);
    player.days = player.ownDays;
    player.pending.clear();
  }
  last_ = nullptr;
  lastDayOwner_ = nullptr;
  pendingDays_ = 0;
}

template <typename Use>
void KeySums::ForEachDaySince(const Player& player, uint32_t since, Use&& use) {
  KeySumGroup group;
  size_t pos = 0;
  uint32_t date = 0;
  std::string_view bytes;
  while (NextDay(player.days, pos, date, bytes) && date >= since) {
    size_t read = 0;
    if (group.Decode(bytes, read)) use(date, group);
  }
}

std::vector<KeyTally> KeySums::Tallies(std::string_view player, std::optional<Date> since) const {
  const auto it = players_.find(player);
  if (it == players_.end()) return {};
  KeySumTable sum;
  if (!since) {
    sum.Add(it->second.total);
  } else {
    ForEachDaySince(it->second, Packed(*since),
                    [&sum](uint32_t, const KeySumGroup& day) { sum.Add(day); });
  }
  return sum.Take();
}

std::map<std::string, std::vector<std::vector<KeyTally>>> KeySums::ByPlayer(
    const std::vector<std::optional<Date>>& periods) const {
  std::optional<uint32_t> earliest;
  for (const std::optional<Date>& since : periods) {
    if (since) earliest = std::min(earliest.value_or(UINT32_MAX), Packed(*since));
  }
  std::map<std::string, std::vector<std::vector<KeyTally>>> tallies;
  std::vector<KeySumTable> sums(periods.size());
  for (const auto& [name, player] : players_) {
    for (size_t p = 0; p < periods.size(); ++p) {
      if (!periods[p]) sums[p].Add(player.total);
    }
    if (earliest) {
      ForEachDaySince(player, *earliest, [&](uint32_t date, const KeySumGroup& day) {
        for (size_t p = 0; p < periods.size(); ++p) {
          if (periods[p] && date >= Packed(*periods[p])) sums[p].Add(day);
        }
      });
    }
    std::vector<std::vector<KeyTally>>& lists = tallies[name];
    for (KeySumTable& sum : sums) lists.push_back(sum.Take());
  }
  return tallies;
}

void KeySums::Encode(std::string& out) const {
  PutVarint(out, players_.size());
  for (const auto& [name, player] : players_) {
    PutVarint(out, name.size());
    out += name;
    player.total.Encode(out);
    PutVarint(out, player.days.size());
    out += player.days;
  }
}

bool KeySums::Decode(std::shared_ptr<const std::string> cache, std::string_view bytes) {
  players_.clear();
  cache_ = std::move(cache);
  last_ = nullptr;
  lastDayOwner_ = nullptr;
  size_t pos = 0;
  uint64_t count = 0;
  if (!GetVarint(bytes, pos, count)) return false;
  for (uint64_t i = 0; i < count; ++i) {
    uint64_t length = 0;
    if (!GetVarint(bytes, pos, length) || length > bytes.size() - pos) return false;
    Player& player = players_[std::string(bytes.substr(pos, length))];
    pos += length;
    if (!player.total.Decode(bytes, pos) || !GetVarint(bytes, pos, length) ||
        length > bytes.size() - pos) {
      return false;
    }
    player.days = bytes.substr(pos, length);
    pos += length;
  }
  return pos == bytes.size();
}

// ---- reading the table -------------------------------------------------------------------------

std::uintmax_t KeySums::ReadRows(InputFile& file, std::uintmax_t from) {
  RowReader rows([this](std::string_view player, const Date* date, const KeyTally& tally) {
    AddRow(player, date, tally);
  });
  constexpr std::string_view kBreaks("\r\n\0", 3);
  file.Seek(from);
  std::uintmax_t ended = from;   // where the last whole line ends
  std::uintmax_t offset = from;  // where the part read begins
  std::string carried;           // the bytes from `ended` up to the part read
  for (std::string read; !(read = file.Read(kChunkBytes)).empty(); offset += read.size()) {
    const std::string_view part = read;
    const size_t last = part.find_last_of(kBreaks);
    if (last == std::string_view::npos) {
      carried += part;
      continue;
    }
    size_t first = 0;
    if (!carried.empty()) {  // the line begun before ends here
      first = part.find_first_of(kBreaks);
      carried += part.substr(0, first);
      LineReader lines(carried);
      while (const auto line = lines.Next()) rows.Line(*line);
    }
    LineReader lines(part.substr(first, last - first));
    while (const auto line = lines.Next()) rows.Line(*line);
    carried.assign(part.substr(last + 1));
    ended = offset + last + 1;
    // The days summed so far take a fraction of the memory of those still apart.
    if (pendingDays_ > kPendingDayLimit) Settle();
  }
  return ended;
}

// A table of other fields or columns, written by no version of this program so far: read as a
// table, row by row, every time.
void KeySums::ReadAnyLayout(const fs::path& keysFile) {
  std::optional<std::array<size_t, kColumns>> at;
  const auto row = [&](const std::vector<FieldSpec>& fields,
                       const std::vector<NullableValue>& values) {
    if (!at) at = KeyFieldPlaces(fields);
    const std::string ch = NullToStr(values[(*at)[kChar]], "");
    if (ch.size() != 1) return;
    const NullableValue& date = values[(*at)[kDate]];
    AddRow(NullToStr(values[(*at)[kPlayer]], ""), date ? std::get_if<Date>(&*date) : nullptr,
           KeyTally{static_cast<unsigned char>(ch[0]), NullToInt(values[(*at)[kJudged]], 0),
                    NullToInt(values[(*at)[kWrong]], 0),
                    ParseSubstitutes(NullToStr(values[(*at)[kSubstitutes]], "")),
                    NullToInt(values[(*at)[kTime]], 0)});
  };
  // A file without rows must have the fields too.
  KeyFieldPlaces(ForEachFileRow(keysFile, KeySchema(), row));
}

KeySums KeySums::Of(const fs::path& keysFile) {
  KeySums sums;
  std::error_code ec;
  if (!fs::is_regular_file(keysFile, ec)) return sums;
  InputFile file(keysFile);
  if (file.Size() == 0) return sums;
  const std::string start = file.Read(kHeadBytes);
  std::optional<table_detail::TableHead> head;
  try {
    head = table_detail::ParseTableHead(start, KeySchema());
  } catch (const Error& e) {
    throw DamagedFileError(e.what());
  }
  if (!head || !IsOwnLayout(*head)) {
    sums.ReadAnyLayout(keysFile);
    sums.Settle();
    return sums;
  }
  const fs::path cacheFile = KeyCacheFile(keysFile);
  const auto cache = std::make_shared<const std::string>(ReadCache(cacheFile, file.Size()));
  std::uintmax_t from = head->rowsStart;
  if (const auto content = CacheContent(*cache)) {
    const auto& [covered, bytes] = *content;
    const auto same = [&was = covered](const Covered& now) {
      return now.firstCheck == was.firstCheck && now.lastCheck == was.lastCheck;
    };
    if (covered.bytes >= from && covered.bytes <= file.Size() &&
        same(CoveredPart(file, start, covered.bytes)) && sums.Decode(cache, bytes)) {
      from = covered.bytes;
    } else {
      sums = KeySums();
    }
  }
  const std::uintmax_t ended = sums.ReadRows(file, from);
  sums.Settle();
  if (ended != from || from == head->rowsStart) {
    WriteCache(cacheFile, CoveredPart(file, start, ended),
               [&sums](std::string& out) { sums.Encode(out); });
  }
  return sums;
}

fs::path KeyCacheFile(const fs::path& keysFile) {
  return fs::path(keysFile).replace_extension(".cache");
}

}  // namespace pekto
