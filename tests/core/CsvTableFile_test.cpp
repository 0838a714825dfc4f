// SPDX-License-Identifier: GPL-3.0-or-later
// Table files: the written layout, reading it back, numbering and the failures of both.

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <locale>
#include <string>

#include "FileSizeLimit.h"
#include "TempDir.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "results/CsvTable.h"

namespace pekto {
namespace {

using test::TempDir;
using namespace std::string_literals;

template <typename F>
std::string MessageOf(F&& operation) {
  try {
    operation();
  } catch (const Error& e) {
    return e.what();
  }
  return "<no error>";
}

const std::string kScoreHead =
    "\"@@FILE VERSION@@\",\"251\"\r\n"
    "\"@@TABLEDEF START@@\"\r\n"
    "\"id=AutoInc,0,\"\"id\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
    "\"tesztneve=String,50,\"\"tesztneve\"\",\"\"\"\",50,Data,\"\"\"\"\"\r\n"
    "\"jatekos=String,50,\"\"jatekos\"\",\"\"\"\",50,Data,\"\"\"\"\"\r\n"
    "\"osszes=Integer,0,\"\"osszes\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
    "\"helyes=Integer,0,\"\"helyes\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
    "\"hibas=Integer,0,\"\"hibas\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
    "\"szazalek=Float,0,\"\"szazalek\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
    "\"ido=Integer,0,\"\"ido\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
    "\"datum=Date,0,\"\"datum\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
    "\"@@INDEXDEF START@@\"\r\n\"@@INDEXDEF END@@\"\r\n\"@@TABLEDEF END@@\"\r\n"
    "\"id\",\"tesztneve\",\"jatekos\",\"osszes\",\"helyes\",\"hibas\",\"szazalek\",\"ido\","
    "\"datum\",\r\n";

std::string Golden(const char* name) {
  return TempDir::Read(std::filesystem::path(PEKTO_GOLDEN_DIR) / name);
}

// One score row as the evaluation records it.
void RecordScore(CsvTable& table, std::string_view player, int correct, int wrong, int percent,
                 int seconds, Date date) {
  table.InsertRow();
  table.SetText("tesztneve", "Alapsor");
  table.SetText("jatekos", player);
  table.SetInteger("osszes", 120);
  table.SetInteger("helyes", correct);
  table.SetInteger("hibas", wrong);
  table.SetInteger("szazalek", percent);
  table.SetInteger("ido", seconds);
  table.SetDate("datum", date);
  table.PostRow();
}

// The evaluation's road: open, load the file when it exists, insert before the first row, save.
void EvaluationRecords(const std::filesystem::path& file, std::string_view player, int correct,
                       int wrong, int percent, int seconds, Date date) {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  if (std::filesystem::exists(file)) table.LoadFile(file);
  RecordScore(table, player, correct, wrong, percent, seconds, date);
  table.SaveFile(file);
}

// The player dialog's road: load, step to the end, store the name when it is new.
void PlayerDialogStores(const std::filesystem::path& file, const std::string& name) {
  CsvTable table("Tbl", PlayerSchema(), nullptr);
  table.Open();
  if (std::filesystem::exists(file)) table.LoadFile(file);
  for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
  }
  if (table.FindRow("jatekos", name)) return;
  table.InsertRow();
  table.SetValue("jatekos", name);
  table.PostRow();
  table.SaveFile(file);
}

std::string Loaded(const std::filesystem::path& file, std::vector<FieldSpec> schema,
                   std::string_view field) {
  CsvTable table("Tbl", std::move(schema), nullptr);
  table.Open();
  table.LoadFile(file);
  std::string out;
  for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
    out += NullToStr(table.Value(field), "<null>") + "|";
  }
  return out;
}

TEST(CsvTableGolden, ScoreExampleThroughTheEvaluation) {
  TempDir dir;
  const auto file = dir / "Score.csv";
  EvaluationRecords(file, "Kiss Anna", 114, 9, 93, 95, {2024, 3, 5});
  EvaluationRecords(file, "Nagy B\xE9la", 120, 0, 100, 71, {2024, 3, 6});
  EXPECT_EQ(TempDir::Read(file), Golden("score_example.csv"));
}

TEST(CsvTableGolden, PlayerExampleThroughThePlayerDialog) {
  TempDir dir;
  const auto file = dir / "Players.csv";
  PlayerDialogStores(file, "Kiss Anna");
  PlayerDialogStores(file, "Nagy B\xE9la");
  EXPECT_EQ(TempDir::Read(file), Golden("players_example.csv"));
  PlayerDialogStores(file, "Kiss Anna");  // known: the file is not rewritten
  EXPECT_EQ(TempDir::Read(file), Golden("players_example.csv"));
  PlayerDialogStores(file, "Szab\xF3 \xC9va");  // before the last row
  EXPECT_EQ(Loaded(file, PlayerSchema(), "jatekos"), "Nagy B\xE9la|Szab\xF3 \xC9va|Kiss Anna|");
}

TEST(CsvTableGolden, LoadingAndSavingAgainChangesNoByte) {
  TempDir dir;
  for (const char* name : {"score_example.csv", "players_example.csv"}) {
    CsvTable table("Tbl", {}, nullptr);
    table.Open();
    table.LoadFile(std::filesystem::path(PEKTO_GOLDEN_DIR) / name);
    table.SaveFile(dir / name);
    EXPECT_EQ(TempDir::Read(dir / name), Golden(name)) << name;
  }
}

TEST(CsvTableRows, ReadOneAtATimeAsLoadFileReadsThem) {
  TempDir dir;
  FieldSpec note = MakeField("megj", FieldType::String);
  note.defaultExpression = "alap";  // a text every row takes from before the rows
  const auto plain = dir.Write("plain.csv", "\"jatekos\",\n\"A\",\n\"B\",\n");
  for (const auto& [file, schema] :
       {std::pair{std::filesystem::path(PEKTO_GOLDEN_DIR) / "score_example.csv", ScoreSchema()},
        std::pair{plain, std::vector<FieldSpec>{MakeField("jatekos", FieldType::String), note}}}) {
    CsvTable table("Tbl", schema, nullptr);
    table.Open();
    table.LoadFile(file);
    size_t row = 0;
    const auto fields = ForEachFileRow(file, schema, [&](const auto&, const auto& values) {
      for (size_t f = 0; f < values.size(); ++f) EXPECT_EQ(values[f], table.ValueAt(row, f));
      ++row;
    });
    EXPECT_EQ(row, table.VisibleRowCount());
    EXPECT_EQ(fields.size(), table.Fields().size());
  }
}

TEST(CsvTableNumbering, FreshTableRoundTripAndNextIds) {
  TempDir dir;
  const auto file = dir / "Score.csv";
  EvaluationRecords(file, "Kiss Anna", 114, 9, 93, 95, {2024, 3, 5});
  CsvTable table("Tbl", {}, nullptr);
  table.Open();
  table.LoadFile(file);
  ASSERT_EQ(table.Fields().size(), 9U);
  EXPECT_EQ(table.Fields()[8].name, "datum");
  EXPECT_EQ(table.Fields()[8].type, FieldType::Date);
  EXPECT_EQ(table.Fields()[1].size, 50);
  EXPECT_EQ(table.IdCounter(), 0);
  EXPECT_EQ(table.Value("id"), NullableValue(0));
  EXPECT_EQ(table.Value("szazalek"), NullableValue(93.0));
  EXPECT_EQ(table.Value("datum"), NullableValue(Date{2024, 3, 5}));
  table.InsertRow();
  EXPECT_EQ(table.Value("id"), NullableValue(1));
}

TEST(CsvTableNumbering, IdsFromTheFileAndEmptyFiles) {
  TempDir dir;
  const auto ids = dir.Write("ids.csv", kScoreHead + "\"4\",\r\n\"2\",\r\n\"7\",\r\n");
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  table.LoadFile(ids);
  EXPECT_EQ(Loaded(ids, ScoreSchema(), "id"), "4|2|7|");
  table.AppendRow();
  EXPECT_EQ(NullToInt(table.Value("id"), -1), 8);

  CsvTable empty("Tbl", ScoreSchema(), nullptr);
  empty.Open();
  empty.LoadFile(dir.Write("empty.csv", kScoreHead));
  EXPECT_EQ(empty.RowCount(), 0U);
  EXPECT_TRUE(empty.AtEnd());
  empty.InsertRow();
  EXPECT_EQ(NullToInt(empty.Value("id"), -1), 0);
  empty.PostRow();
  EXPECT_EQ(empty.RowCount(), 1U);

  // A file of 0 bytes changes nothing, rows and fields included.
  table.PostRow();
  table.LoadFile(dir.Write("zero.csv", ""));
  EXPECT_EQ(table.RowCount(), 4U);
  EXPECT_EQ(table.IdCounter(), 8);
}

TEST(CsvTableReading, LineEndsBlankLinesShortAndLongLines) {
  TempDir dir;
  const std::string rows =
      "\"1\",\"A\",\"x\",\"3\",\r\n\"2\",\"B\",\"y\",\"4\",\"5\",\"6\",\"7\",\"8\","
      "\"09/09/2024\",\"surplus\",\"more\",\r\n";
  auto lfOnly = kScoreHead + rows;
  std::erase(lfOnly, '\r');
  std::string blanks = kScoreHead + rows;
  blanks.replace(blanks.find("\"2\","), 0, "\r\n\r\n\n\r");
  for (const auto& content : {kScoreHead + rows, lfOnly, blanks}) {
    const auto file = dir.Write("t.csv", content);
    EXPECT_EQ(Loaded(file, ScoreSchema(), "osszes"), "3|4|");
    EXPECT_EQ(Loaded(file, ScoreSchema(), "helyes"), "<null>|5|");
    EXPECT_EQ(Loaded(file, ScoreSchema(), "datum"), "<null>|09/09/2024|");
  }
}

TEST(CsvTableReading, HeaderByDisplayNameSkippedColumnsAndNoHeader) {
  TempDir dir;
  // No definition section: the table keeps its fields, columns are matched without ASCII case.
  const auto file = dir.Write("p.csv", "\"JATEKOS\",\"kor\",\r\n\"Anna\",\"33\",\r\n");
  EXPECT_EQ(Loaded(file, PlayerSchema(), "jatekos"), "Anna|");

  CsvTable table("Tbl", PlayerSchema(), nullptr);
  table.Open();
  table.LoadFile(file);
  table.LoadFile(file);  // rows are added after those present
  EXPECT_EQ(table.RowCount(), 2U);

  // A definition section without header line: the columns are the fields in their order.
  const auto bare = dir.Write("bare.csv", kScoreHead.substr(0, kScoreHead.rfind("\"id\",")));
  CsvTable score("Tbl", PlayerSchema(), nullptr);
  score.Open();
  score.LoadFile(bare);
  EXPECT_EQ(score.Fields().size(), 9U);
  EXPECT_EQ(score.RowCount(), 0U);
}

TEST(CsvTableReading, TextsAreCutEscapedAndKeptApartFromNull) {
  TempDir dir;
  const auto file = dir / "t.csv";
  const std::string tricky = "100% \"A\", line\nnext\r\0end"s;
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  table.AppendRow();
  table.SetText("tesztneve", std::string(60, 'x'));
  table.SetText("jatekos", tricky);
  table.PostRow();
  table.AppendRow();
  table.SetText("tesztneve", "");
  table.SetValue("jatekos", std::nullopt);
  table.PostRow();
  table.SaveFile(file);

  const std::string bytes = TempDir::Read(file);
  EXPECT_NE(
      bytes.find("\"0\",\"" + std::string(50, 'x') + "\",\"100%% \"\"A\"\", line%nnext%c%0end\","),
      std::string::npos);
  EXPECT_NE(bytes.find("\"1\",\"\",,,,,,,,\r\n"), std::string::npos);
  EXPECT_EQ(Loaded(file, ScoreSchema(), "tesztneve"), std::string(50, 'x') + "||");
  EXPECT_EQ(Loaded(file, ScoreSchema(), "jatekos"), tricky + "|<null>|");
}

TEST(CsvTableReading, PercentSignsThatWereNeverWritten) {
  TempDir dir;
  const auto file = dir.Write("p.csv", "\"jatekos\",\r\n\"a%xb\",\r\n\"50%\",\r\nplain%%,\r\n");
  EXPECT_EQ(Loaded(file, PlayerSchema(), "jatekos"), "a%xb|50%|plain%|");
}

// Decimal comma and year-first dates in the C library and in the C++ global locale.
struct CommaNumbers : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(CsvTableWriting, FixedFormsUnderAnyLocale) {
  std::string used = "none installed";
  for (const char* name : {"hu_HU.UTF-8", "hu_HU.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      used = name;
      break;
    }
  }
  RecordProperty("c_locale", used);
  const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaNumbers));

  TempDir dir;
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  table.AppendRow();
  table.SetInteger("szazalek", 93);
  table.SetInteger("osszes", 1234567);
  table.SetDate("datum", {2024, 3, 6});
  table.PostRow();
  table.AppendRow();
  table.SetValue("szazalek", 97.5);
  table.PostRow();
  table.SaveFile(dir / "t.csv");
  std::locale::global(previous);
  std::setlocale(LC_ALL, "C");

  const std::string bytes = TempDir::Read(dir / "t.csv");
  EXPECT_NE(bytes.find(",\"1234567\",,,\"93\",,\"06/03/2024\",\r\n"), std::string::npos) << used;
  EXPECT_NE(bytes.find(",\"97.5\","), std::string::npos) << used;
  EXPECT_EQ(NullToStr(93.0, ""), "93");
  EXPECT_EQ(NullToStr(Date{987, 12, 1}, ""), "01/12/0987");
}

TEST(CsvTableFailures, LoadMessagesWordForWord) {
  TempDir dir;
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  const auto load = [&](const std::string& content) {
    return MessageOf([&] { table.LoadFile(dir.Write("bad.csv", content)); });
  };
  const std::string header = "\"id\",\"osszes\",\"szazalek\",\"datum\",\"jatekos\",\r\n";
  EXPECT_EQ(load(header + "\"1\",\"12a\","),
            "'12a' is not a valid integer value for field 'osszes'");
  EXPECT_EQ(load(header + "\"4294967297\","),
            "'4294967297' is not a valid integer value for field 'id'");
  EXPECT_EQ(load(header + "\"1\",\"2\",\"9,5\","),
            "'9,5' is not a valid floating point value for field 'szazalek'");
  EXPECT_EQ(load(header + ",,,\"31/02/2024\","), "'31/02/2024' is not a valid date");
  EXPECT_EQ(load(header + ",,,\"2024-03-06\","), "'2024-03-06' is not a valid date");
  EXPECT_EQ(load(header + "\"7\",\r\n\"B\xE9la\","),
            "'B\xC3\xA9la' is not a valid integer value for field 'id'");
  EXPECT_EQ(load("\"@@TABLEDEF START@@\"\r\n\"x=Memo,0,\"\"x\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"),
            "Unknown field type (Memo) in CSV file. (x=Memo,0,\"x\",\"\",10,Data,\"\")");
  EXPECT_EQ(load("\"@@TABLEDEF START@@\"\r\n\"x=String,0,\"\"\"\",\"\"\"\",10,Odd,\"\"\"\"\"\r\n"),
            "Unknown field type (Odd) in CSV file. (x=String,0,\"\",\"\",10,Odd,\"\")");
  EXPECT_EQ(load("\"@@TABLEDEF START@@\"\r\n\"@@TABLEDEF END@@\"\r\n"),
            "Couldnt determine field count for load.");
  // A header that names no field of the table: binary junk, or another program's table.
  EXPECT_EQ(load("\x89PNG\x1A,\x7F\xFE\r\n\x01\x02,\x03\r\n"),
            "Couldnt determine field count for load.");
  EXPECT_EQ(load("\"Name\",\"Age\",\r\n\"Anna\",\"33\",\r\n"),
            "Couldnt determine field count for load.");

  // A failed load leaves the table as it was.
  EXPECT_EQ(table.Fields().size(), 9U);
  EXPECT_EQ(table.RowCount(), 0U);
  const auto missing = dir / "missing.csv";
  EXPECT_EQ(MessageOf([&] { table.LoadFile(missing); }),
            "Cannot open file \"" + PathText(missing) + "\". " + SystemMessage(ENOENT));
}

TEST(CsvTableFailures, FieldNotFoundWhereverANameIsTaken) {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  const std::string message = "Tbl: Field 'nincs' not found";
  EXPECT_EQ(MessageOf([&] { table.Value("nincs"); }), message);
  EXPECT_EQ(MessageOf([&] { table.FindRow("nincs", 1); }), message);
  EXPECT_EQ(MessageOf([&] { table.SortBy("nincs"); }), message);
  table.EnableFilter(true);
  EXPECT_EQ(MessageOf([&] { table.SetFilterText("nincs='a'"); }), message);
  table.InsertRow();
  EXPECT_EQ(MessageOf([&] { table.SetText("nincs", "a"); }), message);
  EXPECT_EQ(table.Value("ID"), NullableValue(0));  // names ignore letter case
}

TEST(CsvTableFailures, FailedSaveLeavesTheOldFileWhole) {
  if (!test::FileSizeLimit::kAvailable) GTEST_SKIP() << test::kNoFileSizeLimit;
  TempDir dir;
  const auto file = dir / "Score.csv";
  EvaluationRecords(file, "Kiss Anna", 114, 9, 93, 95, {2024, 3, 5});
  const std::string before = TempDir::Read(file);

  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  table.LoadFile(file);
  for (int i = 0; i < 200; ++i) RecordScore(table, "Nagy B\xE9la", 1, 2, 33, 4, {2024, 3, 7});

  // A file size limit makes the write fail half-way.
  std::string message;
  {
    const test::FileSizeLimit limit(before.size() + 100);
    message = MessageOf([&] { table.SaveFile(file); });
  }
  EXPECT_EQ(message.rfind("Cannot create file \"" + PathText(file) + "\". ", 0), 0U) << message;
  EXPECT_EQ(TempDir::Read(file), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  EXPECT_EQ(table.RowCount(), 201U);

  // A folder that cannot exist: the path runs through a regular file.
  const auto impossible = file / "Score.csv";
  EXPECT_EQ(MessageOf([&] { table.SaveFile(impossible); }),
            "Cannot create file \"" + PathText(impossible) + "\". " + SystemMessage(ENOTDIR));
  EXPECT_EQ(TempDir::Read(file), before);
}

}  // namespace
}  // namespace pekto
