// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/KeyTable.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "results/CsvTable.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

FieldSpec CharField() {
  FieldSpec field = MakeField("betu", FieldType::String);
  field.size = 1;
  field.displayWidth = 1;
  return field;
}

std::string Quoted(const fs::path& file) {
  return "\"" + PathText(file.filename()) + "\"";
}

// `keysFile` loaded into an open table of the key fields (empty when the file does not exist).
// Throws pekto::DamagedFileError when the file holds no table of those fields.
CsvTable LoadedKeyTable(const fs::path& keysFile) {
  CsvTable table("Tbl", KeySchema(), nullptr);  // nothing is compared
  table.Open();
  std::error_code ec;
  if (!fs::is_regular_file(keysFile, ec)) return table;
  table.LoadFile(keysFile);
  for (const FieldSpec& field : KeySchema()) RequiredField(table.Fields(), field.name);
  return table;
}

int32_t Clamped(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

void AppendRow(CsvTable& table, const KeyRowOwner& owner, const KeyTally& tally) {
  table.AppendRow();
  table.SetInteger("eredmeny", owner.scoreId);
  table.SetText("jatekos", owner.player);
  table.SetDate("datum", owner.date);
  table.SetText("betu", std::string(1, static_cast<char>(tally.ch)));
  table.SetInteger("leutes", tally.judged);
  table.SetInteger("hibas", tally.wrong);
  table.SetText("helyette", FormatSubstitutes(tally.substitutes));
  table.SetInteger("ido", Clamped(tally.intervalMs));
  table.PostRow();
}

// The places of the key fields among the fields of a file; throws pekto::DamagedFileError for a
// missing one, as a table that loads the file would.
struct KeyFields {
  explicit KeyFields(const std::vector<FieldSpec>& fields)
      : player(RequiredField(fields, "jatekos")),
        date(RequiredField(fields, "datum")),
        ch(RequiredField(fields, "betu")),
        judged(RequiredField(fields, "leutes")),
        wrong(RequiredField(fields, "hibas")),
        subs(RequiredField(fields, "helyette")),
        time(RequiredField(fields, "ido")) {}

  size_t player, date, ch, judged, wrong, subs, time;
};

// Calls `use(player, date, tally)` for each row of the key file whose character is one byte, the
// rows read one at a time (the file may hold millions); nothing when the file does not exist.
template <typename Use>
void ForEachKeyRow(const fs::path& keysFile, Use&& use) {
  std::error_code ec;
  if (!fs::is_regular_file(keysFile, ec)) return;
  std::optional<KeyFields> at;
  const auto row = [&](const std::vector<FieldSpec>& fields,
                       const std::vector<NullableValue>& values) {
    if (!at) at.emplace(fields);
    const std::string ch = NullToStr(values[at->ch], "");
    if (ch.size() != 1) return;
    const NullableValue& date = values[at->date];
    use(NullToStr(values[at->player], ""), date ? std::get_if<Date>(&*date) : nullptr,
        KeyTally{static_cast<unsigned char>(ch[0]), NullToInt(values[at->judged], 0),
                 NullToInt(values[at->wrong], 0), ParseSubstitutes(NullToStr(values[at->subs], "")),
                 NullToInt(values[at->time], 0)});
  };
  // A file without rows must have the fields too.
  KeyFields{ForEachFileRow(keysFile, KeySchema(), row)};
}

bool InPeriod(const Date* date, const std::optional<Date>& since) {
  return !since || (date != nullptr && *date >= *since);
}

// The tallies of the player's rows from `since` on, summed per character.
std::vector<KeyTally> SummedRows(const fs::path& keysFile, std::string_view player,
                                 std::optional<Date> since) {
  KeyRecord record;
  ForEachKeyRow(keysFile, [&](const std::string& who, const Date* date, const KeyTally& tally) {
    if (who == player && InPeriod(date, since)) record.Add(tally);
  });
  return record.Tallies();
}

// Every player's tallies per period.
PlayerKeyTallies SummedByPlayer(const fs::path& keysFile,
                                const std::vector<std::optional<Date>>& periods) {
  std::map<std::string, std::vector<KeyRecord>> records;
  ForEachKeyRow(keysFile, [&](const std::string& who, const Date* date, const KeyTally& tally) {
    auto [it, added] = records.try_emplace(who);
    if (added) it->second.resize(periods.size());
    for (size_t p = 0; p < periods.size(); ++p) {
      if (InPeriod(date, periods[p])) it->second[p].Add(tally);
    }
  });
  PlayerKeyTallies tallies;
  for (const auto& [player, perPeriod] : records) {
    std::vector<std::vector<KeyTally>>& lists = tallies[player];
    for (const KeyRecord& record : perPeriod) lists.push_back(record.Tallies());
  }
  return tallies;
}

// What `sum` makes of the file; an error names the file.
template <typename Sum>
auto Summed(const fs::path& keysFile, Sum&& sum) {
  try {
    return sum(keysFile);
  } catch (const Error& e) {
    throw Error("A(z) " + Quoted(keysFile) + " nem olvasható be:\n" + e.what());
  }
}

}  // namespace

std::vector<FieldSpec> KeySchema() {
  return {MakeField("eredmeny", FieldType::Integer), MakeField("jatekos", FieldType::String),
          MakeField("datum", FieldType::Date),       CharField(),
          MakeField("leutes", FieldType::Integer),   MakeField("hibas", FieldType::Integer),
          MakeField("helyette", FieldType::String),  MakeField("ido", FieldType::Integer)};
}

std::optional<std::string> AppendKeyRows(const fs::path& keysFile, const KeyRowOwner& owner,
                                         const std::vector<KeyTally>& tallies) {
  if (tallies.empty()) return std::nullopt;
  try {
    CsvTable table = LoadedKeyTable(keysFile);
    for (const KeyTally& tally : tallies) AppendRow(table, owner, tally);
    table.SaveFile(keysFile);
  } catch (const DamagedFileError& e) {
    return "A(z) " + Quoted(keysFile) + " sérült, nem olvasható be:\n" + e.what() +
           "\nA fájl változatlanul megmaradt, a billentyűk adatai nem kerültek bele.";
  } catch (const Error& e) {
    return KeysNotWrittenMessage(keysFile, e.what());
  }
  return std::nullopt;
}

std::string KeysNotWrittenMessage(const fs::path& keysFile, std::string_view reason) {
  return "A billentyűk adatai nem kerültek a(z) " + Quoted(keysFile) + " fájlba:\n" +
         std::string(reason);
}

std::vector<KeyTally> ReadKeyTallies(const fs::path& keysFile, std::string_view player,
                                     std::optional<Date> since) {
  return Summed(keysFile, [&](const fs::path& file) { return SummedRows(file, player, since); });
}

PlayerKeyTallies ReadPlayerKeyTallies(const fs::path& keysFile,
                                      const std::vector<std::optional<Date>>& periods) {
  return Summed(keysFile, [&](const fs::path& file) { return SummedByPlayer(file, periods); });
}

}  // namespace pekto
