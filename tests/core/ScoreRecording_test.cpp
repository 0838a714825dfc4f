// SPDX-License-Identifier: GPL-3.0-or-later
// The evaluation's arithmetic and its two table files: the percentage in 80-bit extended
// precision, the score row before the first row, the player list with new names before the
// last row.

#include "results/ScoreRecording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "TempDir.h"
#include "platform/Error.h"
#include "results/CsvTable.h"

namespace pekto {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

std::string Golden(const char* name) {
  return TempDir::Read(fs::path(PEKTO_GOLDEN_DIR) / name);
}

const std::string kPlayerHead =
    "\"@@FILE VERSION@@\",\"251\"\r\n"
    "\"@@TABLEDEF START@@\"\r\n"
    "\"jatekos=String,50,\"\"jatekos\"\",\"\"\"\",50,Data,\"\"\"\"\"\r\n"
    "\"@@INDEXDEF START@@\"\r\n\"@@INDEXDEF END@@\"\r\n\"@@TABLEDEF END@@\"\r\n"
    "\"jatekos\",\r\n";

// The percentage as the x87 unit computes it: quotient and product each rounded to the 64-bit
// significand of long double, then rounded to the nearest integer, halves to even.
int64_t X87Percent(int32_t correct, int32_t wrong) {
  const long double share = static_cast<long double>(correct) / (int64_t{correct} + wrong);
  const long double product = share * 100.0L;
  return std::llrint(product);
}

// ---- percentage ------------------------------------------------------------------------------

TEST(ExtendedPercent, CasesWhereDoublePrecisionDiffers) {
  EXPECT_EQ(ExtendedPercent(23, 17), 58);   // 57 in double precision
  EXPECT_EQ(ExtendedPercent(59, 141), 29);  // 30 in double precision
  EXPECT_EQ(ExtendedPercent(1, 7), 12);
  EXPECT_EQ(ExtendedPercent(3, 5), 38);
  EXPECT_EQ(ExtendedPercent(114, 9), 93);
}

TEST(ExtendedPercent, NothingJudgedAllRightAllWrong) {
  EXPECT_EQ(ExtendedPercent(0, 0), 0);
  EXPECT_EQ(ExtendedPercent(0, 12), 0);
  EXPECT_EQ(ExtendedPercent(120, 0), 100);
  EXPECT_EQ(ExtendedPercent(1, 0), 100);
  EXPECT_EQ(ExtendedPercent(12, 1), 92);
  // Exact halves round to even: 12.5, 37.5, 62.5 and 87.5 of eight keys.
  EXPECT_EQ(ExtendedPercent(1, 7), 12);
  EXPECT_EQ(ExtendedPercent(3, 5), 38);
  EXPECT_EQ(ExtendedPercent(5, 3), 62);
  EXPECT_EQ(ExtendedPercent(7, 1), 88);
}

TEST(ExtendedPercent, LargeCounters) {
  EXPECT_EQ(ExtendedPercent(2147483647, 0), 100);
  EXPECT_EQ(ExtendedPercent(1, 2147483646), 0);
  EXPECT_EQ(ExtendedPercent(2147483647, 2147483647), 50);
  EXPECT_EQ(ExtendedPercent(2000000000, 1000000000), 67);
}

TEST(ExtendedPercent, AgreesWithX87LongDouble) {
  if (std::numeric_limits<long double>::digits != 64) {
    GTEST_SKIP() << "long double is not the 80-bit extended format on this machine";
  }
  constexpr int kMaxJudged = 3000;
  int checked = 0;
  for (int32_t judged = 1; judged <= kMaxJudged; ++judged) {
    for (int32_t correct = 0; correct <= judged; ++correct) {
      const int32_t wrong = judged - correct;
      const int64_t expected = X87Percent(correct, wrong);
      if (ExtendedPercent(correct, wrong) != expected) {
        FAIL() << correct << " correct, " << wrong << " wrong: x87 gives " << expected;
      }
      ++checked;
    }
  }
  EXPECT_EQ(checked, kMaxJudged * (kMaxJudged + 3) / 2);
  // Some large ones as well.
  for (const auto& [correct, wrong] : {std::pair{123456789, 987654321},
                                       {2147483647, 1},
                                       {999999937, 1000000007},
                                       {7, 2147483640}}) {
    EXPECT_EQ(ExtendedPercent(correct, wrong), X87Percent(correct, wrong))
        << correct << "/" << wrong;
  }
}

// ---- score file --------------------------------------------------------------------------------

ScoreEntry Entry(std::string player, int32_t correct, int32_t wrong, int32_t seconds, Date date) {
  return ScoreEntry{
      "Alapsor", std::move(player), 120, correct, wrong, ExtendedPercent(correct, wrong), seconds,
      date};
}

TEST(RecordScore, TheExampleFileOfTwoResults) {
  TempDir dir;
  const fs::path file = dir / "Score.csv";
  EXPECT_EQ(RecordScore(file, Entry("Kiss Anna", 114, 9, 95, {2024, 3, 5})), 0);
  EXPECT_EQ(RecordScore(file, Entry("Nagy B\xE9la", 120, 0, 71, {2024, 3, 6})), 1);
  EXPECT_EQ(TempDir::Read(file), Golden("score_example.csv"));
}

TEST(RecordScore, NewRowStandsFirstWithTheLargestIdPlusOne) {
  TempDir dir;
  // The last row does not hold the largest id.
  const std::string rows =
      "\"4\",\"Alapsor\",\"A\",\"1\",\"1\",\"0\",\"100\",\"1\",\"01/01/2024\",\r\n"
      "\"7\",\"Alapsor\",\"B\",\"1\",\"1\",\"0\",\"100\",\"1\",\"01/01/2024\",\r\n"
      "\"2\",\"Alapsor\",\"C\",\"1\",\"1\",\"0\",\"100\",\"1\",\"01/01/2024\",\r\n";
  const std::string example = Golden("score_example.csv");
  const std::string head = example.substr(0, example.find("\"1\",\"Alapsor\""));
  const fs::path file = dir.Write("Score.csv", head + rows);
  EXPECT_EQ(RecordScore(file, Entry("D", 3, 5, 65, {2024, 12, 31})), 8);
  EXPECT_EQ(TempDir::Read(file),
            head + "\"8\",\"Alapsor\",\"D\",\"120\",\"3\",\"5\",\"38\",\"65\",\"31/12/2024\",\r\n" +
                rows);
}

TEST(RecordScore, TextsAreCutToFiftyBytes) {
  TempDir dir;
  const fs::path file = dir / "Score.csv";
  ScoreEntry entry = Entry(std::string(60, 'p'), 1, 7, 0, {2024, 3, 5});
  entry.title = std::string(60, 't');
  RecordScore(file, entry);
  EXPECT_NE(TempDir::Read(file).find("\"0\",\"" + std::string(50, 't') + "\",\"" +
                                     std::string(50, 'p') + "\",\"120\",\"1\",\"7\",\"12\",\"0\","),
            std::string::npos);
}

// A damaged file is kept whole beside the new one that holds the result; a second one damaged
// in the same second gets a name of its own.
TEST(RecordScore, ADamagedFileIsKeptWholeBesideTheNewOne) {
  TempDir dir;
  const std::string broken = "\"@@TABLEDEF START@@\"\r\n\"id=Money,0,\"\"id\"\",\"\"\"\",10\"\r\n";
  const fs::path file = dir.Write("Score.csv", broken);
  SetAside first, second;
  EXPECT_EQ(RecordScore(file, Entry("A", 1, 0, 1, {2024, 1, 1}), &first), 0);
  EXPECT_EQ(first.reason, "Unknown field type (Money) in CSV file. (id=Money,0,\"id\",\"\",10)");
  EXPECT_EQ(first.keptAs.parent_path(), file.parent_path());
  EXPECT_NE(TempDir::Read(file).find("\"0\",\"Alapsor\",\"A\""), std::string::npos);
  dir.Write("Score.csv", Golden("players_example.csv"));  // a table without the score's fields
  EXPECT_EQ(RecordScore(file, Entry("A", 1, 0, 1, {2024, 1, 1}), &second), 0);
  EXPECT_EQ(second.reason, "Tbl: Field 'id' not found");
  EXPECT_NE(second.keptAs, first.keptAs);
  EXPECT_EQ(TempDir::Read(first.keptAs), broken);
  EXPECT_EQ(TempDir::Read(second.keptAs), Golden("players_example.csv"));
}

// A percentage that is no whole number, which the evaluation never stores, is written in the
// general form with 15 significant digits.
TEST(ScoreTable, FloatThatIsNotWhole) {
  TempDir dir;
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  table.InsertRow();
  table.SetValue("szazalek", FieldValue(200.0 / 3.0));
  table.PostRow();
  const fs::path file = dir / "Score.csv";
  table.SaveFile(file);
  const std::string text = TempDir::Read(file);
  EXPECT_NE(text.find("\r\n\"0\",,,,,,\"66.6666666666667\",,,\r\n"), std::string::npos) << text;

  CsvTable back("Tbl", ScoreSchema(), nullptr);
  back.Open();
  back.LoadFile(file);
  EXPECT_EQ(NullToStr(back.Value("szazalek"), ""), "66.6666666666667");
  EXPECT_EQ(NullToInt(back.Value("szazalek"), -1), 67);
}

// ---- player file -------------------------------------------------------------------------------

std::string PlayerFile(std::initializer_list<const char*> names) {
  std::string text = kPlayerHead;
  for (const char* name : names) text += "\"" + std::string(name) + "\",\r\n";
  return text;
}

TEST(PlayerNames, NewNamesGoBeforeTheLastRow) {
  TempDir dir;
  const fs::path file = dir / "Players.csv";
  EXPECT_TRUE(StorePlayerName(file, "Kiss Anna", nullptr));
  EXPECT_EQ(TempDir::Read(file), PlayerFile({"Kiss Anna"}));
  EXPECT_TRUE(StorePlayerName(file, "Nagy B\xE9la", nullptr));
  EXPECT_EQ(TempDir::Read(file), Golden("players_example.csv"));
  EXPECT_TRUE(StorePlayerName(file, "Szab\xF3 \xC9va", nullptr));
  EXPECT_EQ(TempDir::Read(file), PlayerFile({"Nagy B\xE9la", "Szab\xF3 \xC9va", "Kiss Anna"}));
  EXPECT_EQ(ReadPlayerNames(file),
            (std::vector<std::string>{"Nagy B\xE9la", "Szab\xF3 \xC9va", "Kiss Anna"}));
  EXPECT_TRUE(StorePlayerName(file,
                              "T\xF3th \xD6"
                              "d\xF6n",
                              nullptr));
  EXPECT_EQ(ReadPlayerNames(file), (std::vector<std::string>{"Nagy B\xE9la", "Szab\xF3 \xC9va",
                                                             "T\xF3th \xD6"
                                                             "d\xF6n",
                                                             "Kiss Anna"}));
}

TEST(PlayerNames, AKnownNameDoesNotRewriteTheFile) {
  TempDir dir;
  // LF line ends: a rewrite would give CR LF.
  const std::string lf =
      "\"@@TABLEDEF START@@\"\n\"jatekos=String,50,\"\"jatekos\"\",\"\"\"\",50,Data,\"\"\"\"\"\n"
      "\"@@TABLEDEF END@@\"\n\"jatekos\",\n\"Anna\",\n\"B\xE9la\",\n";
  const fs::path file = dir.Write("Players.csv", lf);
  EXPECT_FALSE(StorePlayerName(file, "B\xE9la", nullptr));
  EXPECT_FALSE(StorePlayerName(file, "Anna", nullptr));
  EXPECT_EQ(TempDir::Read(file), lf);
  // Letter case counts: anna is a new name.
  EXPECT_TRUE(StorePlayerName(file, "anna", nullptr));
  EXPECT_EQ(ReadPlayerNames(file), (std::vector<std::string>{"Anna", "anna", "B\xE9la"}));
}

TEST(PlayerNames, KeptAsTypedAndCutToFiftyBytes) {
  TempDir dir;
  const fs::path file = dir / "Players.csv";
  EXPECT_TRUE(StorePlayerName(file, "  Anna", nullptr));
  const std::string longName(60, 'n');
  EXPECT_TRUE(StorePlayerName(file, longName, nullptr));
  const std::string written = TempDir::Read(file);
  EXPECT_FALSE(StorePlayerName(file, longName, nullptr));  // finds the stored 50
  EXPECT_EQ(TempDir::Read(file), written);
  EXPECT_EQ(ReadPlayerNames(file), (std::vector<std::string>{std::string(50, 'n'), "  Anna"}));
}

TEST(PlayerNames, AnEmptyNameIsStoredOnce) {
  TempDir dir;
  const fs::path file = dir / "Players.csv";
  EXPECT_TRUE(StorePlayerName(file, "Anna", nullptr));
  EXPECT_TRUE(StorePlayerName(file, "", nullptr));
  EXPECT_FALSE(StorePlayerName(file, "", nullptr));
  EXPECT_EQ(TempDir::Read(file), PlayerFile({"", "Anna"}));
  EXPECT_EQ(ReadPlayerNames(file), (std::vector<std::string>{"", "Anna"}));
}

TEST(PlayerNames, MissingFileListsNothingNullNameListsEmpty) {
  TempDir dir;
  EXPECT_TRUE(ReadPlayerNames(dir / "Players.csv").empty());
  const fs::path file = dir.Write("Players.csv", kPlayerHead + ",\r\n\"Anna\",\r\n");
  EXPECT_EQ(ReadPlayerNames(file), (std::vector<std::string>{"", "Anna"}));
}

TEST(PlayerNames, ADamagedFileThrowsOnReadingAndIsKeptAsideOnStoring) {
  TempDir dir;
  const std::string broken =
      "\"@@TABLEDEF START@@\"\r\n\"jatekos=Blob,50,\"\"j\"\",\"\"\"\",50\"\r\n";
  const fs::path file = dir.Write("Players.csv", broken);
  EXPECT_THROW(ReadPlayerNames(file), DamagedFileError);
  SetAside setAside;
  EXPECT_TRUE(StorePlayerName(file, "Anna", nullptr, &setAside));
  EXPECT_EQ(TempDir::Read(setAside.keptAs), broken);
  EXPECT_EQ(ReadPlayerNames(file), std::vector<std::string>{"Anna"});
}

}  // namespace
}  // namespace pekto
