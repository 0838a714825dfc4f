#include "results/KeyTable.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "results/CsvTable.h"
#include "results/PlayerRows.h"

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
  for (const FieldSpec& field : KeySchema()) {
    if (table.FieldIndex(field.name) < 0) {
      throw DamagedFileError("Tbl: Field '" + field.name + "' not found");
    }
  }
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

// The field indices of a key table's tally.
struct TallyFields {
  explicit TallyFields(const CsvTable& table)
      : ch(RequiredField(table, "betu")),
        judged(RequiredField(table, "leutes")),
        wrong(RequiredField(table, "hibas")),
        subs(RequiredField(table, "helyette")),
        time(RequiredField(table, "ido")) {}

  // The row's tally; nothing for a row whose character is not one byte.
  std::optional<KeyTally> Of(const CsvTable& table, size_t row) const {
    const auto value = [&](size_t f) { return table.ValueAt(row, f); };
    const std::string text = NullToStr(value(ch), "");
    if (text.size() != 1) return std::nullopt;
    return KeyTally{static_cast<unsigned char>(text[0]), NullToInt(value(judged), 0),
                    NullToInt(value(wrong), 0), ParseSubstitutes(NullToStr(value(subs), "")),
                    NullToInt(value(time), 0)};
  }

  size_t ch, judged, wrong, subs, time;
};

// The tallies of the player's rows from `since` on, summed per character.
std::vector<KeyTally> SummedRows(const CsvTable& table, std::string_view player,
                                 std::optional<Date> since) {
  const TallyFields fields(table);
  KeyRecord record;
  ForEachPlayerRow(table, player, since, [&](size_t row, const Date*) {
    if (const std::optional<KeyTally> tally = fields.Of(table, row)) record.Add(*tally);
  });
  return record.Tallies();
}

// Every player's tallies per period.
PlayerKeyTallies SummedByPlayer(const CsvTable& table,
                                const std::vector<std::optional<Date>>& periods) {
  const TallyFields fields(table);
  const size_t playerField = RequiredField(table, "jatekos");
  const size_t dateField = RequiredField(table, "datum");
  std::map<std::string, std::vector<KeyRecord>> records;
  for (size_t row = 0; row < table.VisibleRowCount(); ++row) {
    const std::optional<KeyTally> tally = fields.Of(table, row);
    if (!tally) continue;
    auto [it, added] = records.try_emplace(NullToStr(table.ValueAt(row, playerField), ""));
    if (added) it->second.resize(periods.size());
    const NullableValue value = table.ValueAt(row, dateField);
    const Date* date = value ? std::get_if<Date>(&*value) : nullptr;
    for (size_t p = 0; p < periods.size(); ++p) {
      if (!periods[p] || (date != nullptr && *date >= *periods[p])) it->second[p].Add(*tally);
    }
  }
  PlayerKeyTallies tallies;
  for (const auto& [player, perPeriod] : records) {
    std::vector<std::vector<KeyTally>>& lists = tallies[player];
    for (const KeyRecord& record : perPeriod) lists.push_back(record.Tallies());
  }
  return tallies;
}

// What `sum` makes of the loaded file; an error names the file.
template <typename Sum>
auto Summed(const fs::path& keysFile, Sum&& sum) {
  try {
    return sum(LoadedKeyTable(keysFile));
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
  return Summed(keysFile, [&](const CsvTable& table) { return SummedRows(table, player, since); });
}

PlayerKeyTallies ReadPlayerKeyTallies(const fs::path& keysFile,
                                      const std::vector<std::optional<Date>>& periods) {
  return Summed(keysFile, [&](const CsvTable& table) { return SummedByPlayer(table, periods); });
}

}  // namespace pekto
