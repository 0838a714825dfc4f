// SPDX-License-Identifier: GPL-3.0-or-later
// Reading damaged and hostile table files: every input either loads or fails with pekto::Error.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TempDir.h"
#include "platform/Error.h"
#include "results/CsvTable.h"

namespace pekto {
namespace {

using test::TempDir;

std::string Golden() {
  return TempDir::Read(std::filesystem::path(PEKTO_GOLDEN_DIR) / "score_example.csv");
}

// Loads `content` into a fresh score table; returns the error text, or "" when it loaded.
std::string LoadResult(const TempDir& dir, const std::string& content, CsvTable* out = nullptr) {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  try {
    table.LoadFile(dir.Write("in.csv", content));
  } catch (const Error& e) {
    return e.what();
  }
  for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
    for (const auto& field : table.Fields()) NullToStr(table.Value(field.name), "");
  }
  if (out != nullptr) *out = std::move(table);
  return "";
}

TEST(CsvTableRobust, DamagedFiles) {
  TempDir dir;
  const std::string golden = Golden();
  for (size_t cut = 1; cut < golden.size(); cut += 7) {
    EXPECT_NO_FATAL_FAILURE(LoadResult(dir, golden.substr(0, cut)));
  }
  // A quote that never closes, "%" at the very end, a field line with missing items.
  const std::string header = "\"jatekos\",\"id\",\r\n";
  CsvTable table("Tbl", {}, nullptr);
  EXPECT_EQ(LoadResult(dir, header + "\"Anna, \"\"never closed%", &table), "");
  EXPECT_EQ(table.Value("jatekos"), NullableValue("Anna, \"never closed%"));
  EXPECT_EQ(LoadResult(dir,
                       "\"@@TABLEDEF START@@\"\r\n\"id=AutoInc\"\r\n\"t=String,5\"\r\n"
                       "\"@@TABLEDEF END@@\"\r\n\"ID\",\"T\",\r\n\"3\",\"abcdefgh\",\r\n",
                       &table),
            "");
  ASSERT_EQ(table.Fields().size(), 2U);
  EXPECT_EQ(table.Fields()[0].kind, FieldKind::Data);
  EXPECT_EQ(table.Value("t"), NullableValue("abcde"));
  EXPECT_EQ(table.IdCounter(), 3);
  EXPECT_EQ(LoadResult(dir, "\"@@TABLEDEF START@@\"\r\n\"noequals\"\r\n"),
            "Unknown field type () in CSV file. (noequals)");
  EXPECT_EQ(LoadResult(dir, header + ",\"99999999999999999999999\","),
            "'99999999999999999999999' is not a valid integer value for field 'id'");
  // Required, read-only and hidden flags and a default expression survive a round trip.
  EXPECT_EQ(LoadResult(dir,
                       "\"@@TABLEDEF START@@\"\r\n"
                       "\"n=Integer,0,\"\"N\"\",\"\"\"\",10,REQ,RO,INV,Data,\"\"7\"\"\"\r\n",
                       &table),
            "");
  const FieldSpec& n = table.Fields().at(0);
  EXPECT_TRUE(n.required && n.readOnly && n.hidden);
  EXPECT_EQ(n.DisplayName(), "N");
  EXPECT_EQ(n.defaultExpression, "7");
  table.AppendRow();
  EXPECT_EQ(table.Value("n"), NullableValue(7));
  EXPECT_THROW(table.SetInteger("n", 1), Error);  // read-only
}

TEST(CsvTableRobust, EnormousLine) {
  TempDir dir;
  std::string line(8'000'000, 'x');
  CsvTable table("Tbl", {}, nullptr);
  EXPECT_EQ(LoadResult(dir, "\"jatekos\",\r\n\"" + line + "\",\r\n" + line + "\r\n", &table), "");
  EXPECT_EQ(table.RowCount(), 2U);
  EXPECT_EQ(NullToStr(table.Value("jatekos"), "").size(), 50U);
  std::string commas(3'000'000, ',');
  // The header names one field, so that the long line of data is read too.
  EXPECT_EQ(LoadResult(dir, "\"id\"" + commas + "\r\n" + commas), "");
}

// Random bytes and mutations of a good file, with a fixed seed.
TEST(CsvTableRobust, FuzzedInputLoadsOrFailsCleanly) {
  TempDir dir;
  const std::string golden = Golden();
  const std::string alphabet = "\"\",,%\r\n\0=@ AutoIncStringIntegerFloatDate0123456789/-.\xE9";
  std::mt19937 random(20240306);
  const auto pick = [&](size_t n) {
    return std::uniform_int_distribution<size_t>(0, n - 1)(random);
  };
  int loaded = 0;
  int junkLoaded = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string content = golden;
    if (round % 5 == 0) {
      content.resize(pick(400));
      for (char& c : content) c = static_cast<char>(pick(256));
    } else {
      for (size_t edits = 1 + pick(8); edits > 0 && !content.empty(); --edits) {
        const size_t at = pick(content.size());
        const char c = round % 2 ? alphabet[pick(alphabet.size())] : static_cast<char>(pick(256));
        switch (pick(3)) {
          case 0:
            content[at] = c;
            break;
          case 1:
            content.insert(at, 1, c);
            break;
          default:
            content.erase(at, 1 + pick(20));
        }
      }
    }
    try {
      CsvTable table("Tbl", ScoreSchema(), nullptr);
      table.Open();
      table.LoadFile(dir.Write("fuzz.csv", content));
      table.SortBy("id", SortOption::Descending);
      if (round % 5 == 0 && table.RowCount() > 0) ++junkLoaded;
      if (++loaded % 50 == 1) {  // whatever loads, saves and loads again (saves wait for the disk)
        table.SaveFile(dir / "again.csv");
        CsvTable again("Tbl", {}, nullptr);
        again.Open();
        EXPECT_NO_THROW(again.LoadFile(dir / "again.csv"));
        EXPECT_EQ(again.RowCount(), table.RowCount());
      }
    } catch (const Error&) {
    }
  }
  // Random bytes name no field of the table and never become rows of nothing (which a save
  // would then write over the file); many mutations of a good file still load.
  EXPECT_EQ(junkLoaded, 0);
  EXPECT_GT(loaded, 150) << loaded;
}

}  // namespace
}  // namespace pekto
