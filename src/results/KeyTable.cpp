// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/KeyTable.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "results/CsvTable.h"
#include "results/KeySums.h"

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
    CsvTable rows("Tbl", KeySchema(), nullptr);
    rows.Open();
    for (const KeyTally& tally : tallies) AppendRow(rows, owner, tally);
    if (!rows.AppendToFile(keysFile)) {
      // A new table, or one of another layout: written whole.
      CsvTable table = LoadedKeyTable(keysFile);
      for (const KeyTally& tally : tallies) AppendRow(table, owner, tally);
      table.SaveFile(keysFile);
    }
  } catch (const DamagedFileError& e) {
    return DamagedLeftWholeMessage(Quoted(keysFile), e.what(),
                                   "a billentyűk adatai nem kerültek bele");
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
  return Summed(keysFile,
                [&](const fs::path& file) { return KeySums::Of(file).Tallies(player, since); });
}

PlayerKeyTallies ReadPlayerKeyTallies(const fs::path& keysFile,
                                      const std::vector<std::optional<Date>>& periods) {
  return Summed(keysFile,
                [&](const fs::path& file) { return KeySums::Of(file).ByPlayer(periods); });
}

}  // namespace pekto
