// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ScoreRecording.h"

#include <bit>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/Error.h"
#include "platform/Files.h"
#include "results/CsvTable.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

// A positive number significand × 2^exponent with the significand's top bit set: the 64-bit
// significand of the x87 extended format.
struct Extended {
  uint64_t significand = 0;
  int exponent = 0;
};

constexpr uint64_t kTopBit = uint64_t{1} << 63;

// The 64 bits `kept` followed by the first dropped bit `guard` and the other dropped bits
// (`sticky`: any of them set) rounded to the nearest, halves to even. `kept` × 2^exponent is
// the truncated value; a carry out of the 64 bits moves the exponent up.
Extended RoundToSignificand(uint64_t kept, bool guard, bool sticky, int exponent) {
  if (guard && (sticky || (kept & 1) != 0)) {
    ++kept;
    if (kept == 0) {
      kept = kTopBit;
      ++exponent;
    }
  }
  return {kept, exponent};
}

// a / b for 0 < a, b < 2^34 by binary long division, one bit of the quotient per step; the
// remainder stays below 2^35, so plain 64-bit arithmetic is exact.
Extended Quotient(uint64_t a, uint64_t b) {
  int exponent = 0;
  while (a < b) {
    a <<= 1;
    --exponent;
  }
  while (a >= 2 * b) {
    b <<= 1;
    ++exponent;
  }
  // Now 1 <= a / b < 2: the leading bit is 1.
  uint64_t bits = 1;
  uint64_t rest = a - b;
  for (int i = 0; i < 63; ++i) {
    rest <<= 1;
    bits <<= 1;
    if (rest >= b) {
      rest -= b;
      bits |= 1;
    }
  }
  rest <<= 1;
  const bool guard = rest >= b;
  if (guard) rest -= b;
  return RoundToSignificand(bits, guard, rest != 0, exponent - 63);
}

// x × factor rounded to a 64-bit significand. The product has at most 96 bits: `high` holds
// the bits from 32 up, `low` the 32 below.
Extended Times(const Extended& x, uint32_t factor) {
  const uint64_t lowProduct = (x.significand & 0xFFFFFFFFU) * factor;
  const uint64_t high = (x.significand >> 32) * factor + (lowProduct >> 32);
  const uint64_t low = lowProduct & 0xFFFFFFFFU;
  const int excess = std::bit_width(high) - 32;  // bits beyond 64; 1 to 32 for factor > 1
  if (excess <= 0) return {(high << 32) | low, x.exponent};
  const uint64_t kept = (high << (32 - excess)) | (low >> excess);
  const uint64_t dropped = low & ((uint64_t{1} << excess) - 1);
  const uint64_t half = uint64_t{1} << (excess - 1);
  return RoundToSignificand(kept, (dropped & half) != 0, (dropped & (half - 1)) != 0,
                            x.exponent + excess);
}

// x rounded to the nearest integer, halves to even, as the x87 unit stores it by default.
// Only values below 2^63 come here: the exponent is negative.
uint64_t RoundHalfEven(const Extended& x) {
  const int shift = -x.exponent;
  if (shift > 64) return 0;  // below one half
  const uint64_t whole = shift == 64 ? 0 : x.significand >> shift;
  const uint64_t fraction =
      shift == 64 ? x.significand : x.significand & ((uint64_t{1} << shift) - 1);
  const uint64_t half = uint64_t{1} << (shift - 1);
  if (fraction > half || (fraction == half && (whole & 1) != 0)) return whole + 1;
  return whole;
}

bool FileExists(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}

// Loads `file` into the open `table`; what is wrong with it when it was read but is no table of
// the schema's fields. Errors of reading go on.
std::optional<std::string> Damage(CsvTable& table, const fs::path& file,
                                  const std::vector<FieldSpec>& schema) {
  try {
    table.LoadFile(file);
  } catch (const DamagedFileError& e) {
    return e.what();
  }
  for (const FieldSpec& field : schema) {
    if (table.FieldIndex(field.name) < 0) return "Tbl: Field '" + field.name + "' not found";
  }
  return std::nullopt;
}

// An open table of `schema` holding `file` when it exists. A damaged file is renamed out of the
// way, noted in `setAside`, and the table starts empty.
CsvTable LoadedTable(const fs::path& file, const std::vector<FieldSpec>& schema,
                     const Collator* collator, SetAside* setAside) {
  CsvTable table("Tbl", schema, collator);
  table.Open();
  if (!FileExists(file)) return table;
  std::optional<std::string> damage = Damage(table, file, schema);
  if (!damage) return table;
  const fs::path kept = SetAsideDamaged(file);
  if (setAside != nullptr) *setAside = SetAside{kept, std::move(*damage)};
  CsvTable fresh("Tbl", schema, collator);
  fresh.Open();
  return fresh;
}

}  // namespace

int32_t ExtendedPercent(int32_t correct, int32_t wrong) {
  const int64_t judged = int64_t{correct} + wrong;
  if (judged == 0 || correct == 0) return 0;
  const bool negative = (correct < 0) != (judged < 0);
  const Extended share = Quotient(static_cast<uint64_t>(std::llabs(correct)),
                                  static_cast<uint64_t>(std::llabs(judged)));
  const auto percent = static_cast<int64_t>(RoundHalfEven(Times(share, 100)));
  return static_cast<int32_t>(negative ? -percent : percent);
}

int32_t RecordScore(const fs::path& scoreFile, const ScoreEntry& entry, SetAside* setAside) {
  // Nothing is compared. The first row of the file is current, so the new row goes before it:
  // the newest result is always the first data line.
  CsvTable table = LoadedTable(scoreFile, ScoreSchema(), nullptr, setAside);
  table.InsertRow();
  table.SetText(score_field::kTitle, entry.title);
  table.SetText(score_field::kPlayer, entry.player);
  table.SetInteger(score_field::kTotal, entry.total);
  table.SetInteger(score_field::kCorrect, entry.correct);
  table.SetInteger(score_field::kWrong, entry.wrong);
  table.SetInteger(score_field::kPercent, entry.percent);
  table.SetInteger(score_field::kSeconds, entry.seconds);
  table.SetDate(score_field::kDate, entry.date);
  table.PostRow();
  const int32_t id = NullToInt(table.Value(score_field::kId), 0);
  table.SaveFile(scoreFile);
  table.Close();
  return id;
}

std::vector<std::string> ReadPlayerNames(const fs::path& playerFile) {
  std::vector<std::string> names;
  if (!FileExists(playerFile)) return names;
  CsvTable table("Tbl", PlayerSchema(), nullptr);  // nothing is compared
  table.Open();
  table.LoadFile(playerFile);
  for (; !table.AtEnd(); table.MoveNext()) {
    names.push_back(NullToStr(table.Value(score_field::kPlayer), ""));
  }
  return names;
}

bool StorePlayerName(const fs::path& playerFile, std::string_view name, const Collator* collator,
                     SetAside* setAside) {
  CsvTable table = LoadedTable(playerFile, PlayerSchema(), collator, setAside);
  // Stepping through every row leaves the last one current, so a new name goes before it.
  while (!table.AtEnd()) table.MoveNext();
  if (table.FindRow(score_field::kPlayer, FieldValue(std::string(name)))) return false;
  table.InsertRow();
  table.SetValue(score_field::kPlayer, FieldValue(std::string(name)));
  table.PostRow();
  table.SaveFile(playerFile);
  return true;
}

std::string SetAsideNotice(const fs::path& file, const SetAside& setAside,
                           std::string_view stored) {
  const std::string name = "\"" + PathText(file.filename()) + "\"";
  return "A(z) " + name + " sérült, nem olvasható be:\n" + setAside.reason +
         "\nA régi fájl változatlanul megmaradt ezen a néven:\n" + PathText(setAside.keptAs) +
         "\n" + std::string(stored) + " egy új " + name + " fájlba került.";
}

}  // namespace pekto
